// Conventions shared by every attribute syntax handler: text lengths, the
// output contract of text results, and raising events with parameters.
#pragma once

#include <lyrdua/kor_ahs.h>
#include <lyrdua/kor_evt.h>

#include <cstddef>
#include <cstdint>

namespace lyrdua::ahs {

// Length of an external text: text_len, or up to the first NUL for -1.
template <typename Char>
uint32_t text_length(const Char *text, int32_t text_len) {
  if (text_len != KOR_NUL_TERMINATED) return text_len < 0 ? 0 : static_cast<uint32_t>(text_len);
  uint32_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

// Compares a text unit with an ASCII character, whatever the width.
template <typename Char>
bool is(Char c, char ascii) {
  return static_cast<uint32_t>(c) == static_cast<unsigned char>(ascii);
}

template <typename Char>
bool is_digit(Char c) {
  return static_cast<uint32_t>(c) - '0' < 10;
}

// Writes n characters, each mapped by map, under the output contract: the
// whole text and a NUL with *out_len = its length and 0, or the first
// *out_len - 1 characters and a NUL with *out_len = the size needed and
// KOR_AHS_TRUNCATED.
template <typename Char, typename Source, typename Map>
uint32_t write_mapped(const Source *text, uint32_t n, Char *out, uint32_t *out_len, Map map) {
  uint32_t cap = *out_len;
  uint32_t shown = n < cap ? n : (cap == 0 ? 0 : cap - 1);
  for (uint32_t i = 0; i < shown; ++i) out[i] = static_cast<Char>(map(text[i]));
  if (cap != 0) out[shown] = 0;
  if (n < cap) {
    *out_len = n;
    return KOR_OK;
  }
  *out_len = n + 1;
  return KOR_AHS_TRUNCATED;
}

// Writes an 8-bit text under the output contract.
template <typename Char>
uint32_t write_text(const char *text, uint32_t n, Char *out, uint32_t *out_len) {
  return write_mapped(text, n, out, out_len, [](char c) { return static_cast<unsigned char>(c); });
}

// The plain copy of a stored value under the output contract: the copy of
// the first bytes stops at a zero byte and zero-fills the rest of them, while
// the length reported is that of the whole value.
inline uint32_t plain_copy(const uint8_t *value, uint32_t n, char *out, uint32_t *out_len) {
  uint32_t cap = *out_len;
  uint32_t shown = n < cap ? n : (cap == 0 ? 0 : cap - 1);
  uint32_t i = 0;
  for (; i < shown && value[i] != 0; ++i) out[i] = static_cast<char>(value[i]);
  for (; i < shown; ++i) out[i] = 0;
  if (cap != 0) out[shown] = 0;
  if (n < cap) {
    *out_len = n;
    return KOR_OK;
  }
  *out_len = n + 1;
  return KOR_AHS_TRUNCATED;
}

// One text parameter of an event: the bytes and their count.
struct EventText {
  const char *text;
  uint32_t length;
};

// Raises code (category KOR_EVT_CAT_SYNTAX), complete or with its text
// parameters attached in index order, and returns code.
uint32_t raise(uint32_t code);
uint32_t raise(uint32_t code, EventText first);
uint32_t raise(uint32_t code, EventText first, EventText second);

// A numeric parameter: the formatted text NUL-terminated inside a field of
// fixed size, attached with the field's size.
struct NumberField {
  static constexpr uint32_t kDefaultSize = 24;
  char text[40] = {};
  uint32_t size = kDefaultSize;
  EventText param() const { return {text, size}; }
};
NumberField format_number(const char *format, int32_t value,
                          uint32_t size = NumberField::kDefaultSize);

// The wrong-tag event of every decoder: parameter 1 the tag found ("%d"),
// parameter 2 the expected tag formatted with the syntax's own text.
uint32_t raise_wrong_tag(uint32_t found, const char *expected_format, uint32_t expected,
                         uint32_t expected_size = NumberField::kDefaultSize);

// Reads an OBJECT IDENTIFIER element for its contents: 0, KOR_AHS_NO_ELEMENT
// when there is no element, or the wrong-tag event for another element.
uint32_t read_oid_element(kor_asn1_ctx *ctx, const uint8_t **contents, uint32_t *n);

// An 8-bit event parameter from external text of either width. 8-bit text is
// attached as it is. From UTF-16, units up to 0xFF keep their Latin-1 byte (so
// ASCII shows as itself) and larger units become '?'; a text longer than the
// inline room is cut there, which only shortens a diagnostic.
template <typename Char>
class TextParam;

template <>
class TextParam<char> {
 public:
  TextParam(const char *text, uint32_t n) : text_{text, n} {}
  EventText param() const { return text_; }

 private:
  EventText text_;
};

template <>
class TextParam<kor_wchar> {
 public:
  TextParam(const kor_wchar *text, uint32_t n) {
    length_ = n < sizeof chars_ ? n : static_cast<uint32_t>(sizeof chars_);
    for (uint32_t i = 0; i < length_; ++i)
      chars_[i] = static_cast<char>(text[i] <= 0xFF ? text[i] : '?');
  }
  EventText param() const { return {chars_, length_}; }

 private:
  char chars_[1024];
  uint32_t length_;
};

// Raises code with one parameter taken from external text.
template <typename Char>
uint32_t raise_with_text(uint32_t code, const Char *text, uint32_t n) {
  return raise(code, TextParam<Char>(text, n).param());
}

}  // namespace lyrdua::ahs
