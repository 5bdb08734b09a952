// Hex helpers shared by the test suites.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lyrdua::test {

// "30 06 02-01" -> octets; blanks, dashes and colons are ignored.
inline std::vector<uint8_t> from_hex(const std::string &text) {
  std::vector<uint8_t> octets;
  int high = -1;
  for (char c : text) {
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    if (digit < 0) continue;
    if (high < 0) {
      high = digit;
    } else {
      octets.push_back(static_cast<uint8_t>(high << 4 | digit));
      high = -1;
    }
  }
  return octets;
}

inline std::string to_hex(const uint8_t *octets, size_t n) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < n; ++i) {
    if (i) text += ' ';
    text += kHex[octets[i] >> 4];
    text += kHex[octets[i] & 0xF];
  }
  return text;
}

inline std::string to_hex(const std::vector<uint8_t> &octets) {
  return to_hex(octets.data(), octets.size());
}

// Canonical spelling of a hex text, for comparisons in tables.
inline std::string normal_hex(const std::string &text) { return to_hex(from_hex(text)); }

}  // namespace lyrdua::test
