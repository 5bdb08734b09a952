// The syntax name table: the 37 syntax names the library knows and their
// numbers, in ascending order of the names compared without regard to case.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lyrdua::schema {

struct SyntaxName {
  uint8_t name[40];  // a PrintableString TLV: 13, the length, the characters
  uint32_t value;
};

extern const SyntaxName kSyntaxNames[];
extern const size_t kSyntaxNameCount;

}  // namespace lyrdua::schema
