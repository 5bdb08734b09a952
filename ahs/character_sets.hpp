// The character sets of the string syntaxes.
#pragma once

#include <cstdint>
#include <type_traits>

namespace lyrdua::ahs {

// The printable set, shared by the PrintableString check and the
// DirectoryString classification: space, letters, digits and ' ( ) + , - . / : = ?
constexpr char kPrintableSet[] =
    " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'()+,-./:=?";
constexpr char kNumericSet[] = " 0123456789";

// Membership of the 128 ASCII codes in a set, built from its string.
struct AsciiSet {
  bool member[128] = {};
  constexpr explicit AsciiSet(const char *chars) {
    for (const char *c = chars; *c != '\0'; ++c) member[static_cast<unsigned char>(*c)] = true;
  }
  // Units of 0x80 and above, of either width, are never members.
  template <typename Char>
  constexpr bool contains(Char c) const {
    auto unit = static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(c));
    return unit < 128 && member[unit];
  }
};

constexpr AsciiSet kPrintable(kPrintableSet);
constexpr AsciiSet kNumeric(kNumericSet);

}  // namespace lyrdua::ahs
