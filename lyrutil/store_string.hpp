// Store strings (BER string TLVs) as the store makes and reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lyrdua::util {

// Universal tags of the string types a store string can be.
constexpr uint8_t kUtf8StringTag = 12;
constexpr uint8_t kNumericStringTag = 18;
constexpr uint8_t kPrintableStringTag = 19;
constexpr uint8_t kIa5StringTag = 22;
constexpr uint8_t kVisibleStringTag = 26;
constexpr uint8_t kBmpStringTag = 30;
constexpr uint8_t kObjectIdentifierTag = 6;

// One primitive element with a one-octet identifier and a definite length.
struct Tlv {
  uint8_t tag;
  const uint8_t *contents;
  uint32_t length;
};

// Reads the element that starts at encoding; false when it is not one of the
// form above (a null pointer included).
bool read_tlv(const uint8_t *encoding, Tlv *tlv);

// The identifier, the minimal definite length and the contents.
std::string make_tlv(uint8_t tag, std::string_view contents);

// The Latin-1 text of a store string's contents; false when the type is not
// one the store converts, the contents do not follow it, or a character is
// NUL or beyond Latin-1.
bool store_string_text(const Tlv &tlv, std::string *text);

// True when text is well-formed UTF-8 whose characters are all in Latin-1
// (U+0001 to U+00FF); *latin1 then holds them as octets.
bool utf8_to_latin1(std::string_view text, std::string *latin1);

// ASCII letters folded to lower case, every other octet unchanged.
inline uint8_t fold_ascii(uint8_t c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + ('a' - 'A')) : c;
}

}  // namespace lyrdua::util
