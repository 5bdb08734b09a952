// The digit values of the characters '0'-'9', 'A'-'F' and 'a'-'f', indexed by
// character code; -1 elsewhere. Codes of 103 ('f' + 1) and above are never digits.
#pragma once

#include <cstdint>

namespace lyrdua::ahs {

// clang-format off
constexpr int8_t kHexDigitValues[103] = {
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 0x00
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 0x10
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 0x20
     0,  1,  2,  3,  4,  5,  6,  7,  8,  9, -1, -1, -1, -1, -1, -1,  // 0x30 '0'-'9'
    -1, 10, 11, 12, 13, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 0x40 'A'-'F'
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 0x50
    -1, 10, 11, 12, 13, 14, 15,                                      // 0x60 'a'-'f'
};
// clang-format on

template <typename Char>
int hex_digit_value(Char c) {
  auto code = static_cast<uint32_t>(c);
  return code < sizeof kHexDigitValues ? kHexDigitValues[code] : -1;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace lyrdua::ahs
