// The G3 facsimile non-basic parameters: their names in the external form,
// in their fixed order, and the bit of the parameters BIT STRING each sets.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lyrdua::ahs {

struct FaxParameter {
  const char *name;
  uint32_t bit;    // bit number in the BIT STRING
  uint32_t octet;  // contents octet holding it, octet 0 being the unused-bit count
  uint8_t mask;
};

// clang-format off
constexpr FaxParameter kFaxParameters[] = {
    // parameter           bit  octet  mask
    {"twoDimensional",      8,   2,    0x80},
    {"fineResolution",      9,   2,    0x40},
    {"unlimitedLength",    20,   3,    0x08},
    {"b4Length",           21,   3,    0x04},
    {"a3Width",            22,   3,    0x02},
    {"b4Width",            23,   3,    0x01},
    {"uncompressed",       30,   4,    0x02},
};
// clang-format on

constexpr size_t kFaxParameterCount = sizeof kFaxParameters / sizeof *kFaxParameters;

// Contents of the parameters BIT STRING: one unused bit and four data octets.
constexpr uint32_t kFaxBitsOctets = 5;

}  // namespace lyrdua::ahs
