// Statuses of the schema store turned into the library's result codes.
#pragma once

#include <cstdint>

namespace lyrdua::schema {

uint32_t result_of_store_status(uint32_t status);

}  // namespace lyrdua::schema
