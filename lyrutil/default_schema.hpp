// The text of lyrutil/schema/default.schema, built into the library.
#pragma once

#include <cstddef>

namespace lyrdua::util {

extern const unsigned char kDefaultSchemaText[];
extern const size_t kDefaultSchemaSize;

}  // namespace lyrdua::util
