// The table-driven ISO 2022 engine that converts in both directions.
#pragma once

#include <cstdint>

#include "cnv/direction.hpp"

namespace lyrdua::cnv {

// Converts src_len octets of src in `direction` with the contract of the
// kor_cnv_ functions: dst null measures, *len is the capacity in and the
// octets produced out, *err_pos is set for results 1, 302 and 303.
uint32_t translate(const Direction &direction, const uint8_t *src, uint32_t src_len, uint8_t *dst,
                   uint32_t *len, uint32_t *err_pos);

}  // namespace lyrdua::cnv
