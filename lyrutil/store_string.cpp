// Store strings: reading their TLVs, turning them into Latin-1 text, and the
// case-insensitive order that the syntax name table is sorted by.
#include "lyrutil/store_string.hpp"

#include <cstring>

#include "lyrutil/schema_store.h"
#include "platform/export.hpp"

namespace lyrdua::util {
namespace {

// Longest length field read: four octets, values below 2^31.
constexpr uint32_t kMaxLengthOctets = 4;

bool is_ascii_string_tag(uint8_t tag) {
  return tag == kNumericStringTag || tag == kPrintableStringTag || tag == kIa5StringTag ||
         tag == kVisibleStringTag;
}

bool ascii_text(const Tlv &tlv, std::string *text) {
  for (uint32_t i = 0; i < tlv.length; ++i) {
    uint8_t c = tlv.contents[i];
    if (c == 0 || c >= 0x80) return false;
  }
  text->assign(reinterpret_cast<const char *>(tlv.contents), tlv.length);
  return true;
}

// BMPString: big-endian UTF-16 code units, each of which must be Latin-1.
bool bmp_text(const Tlv &tlv, std::string *text) {
  if (tlv.length % 2 != 0) return false;
  text->clear();
  for (uint32_t i = 0; i < tlv.length; i += 2) {
    if (tlv.contents[i] != 0 || tlv.contents[i + 1] == 0) return false;
    text->push_back(static_cast<char>(tlv.contents[i + 1]));
  }
  return true;
}

}  // namespace

bool read_tlv(const uint8_t *encoding, Tlv *tlv) {
  if (encoding == nullptr) return false;
  uint8_t identifier = encoding[0];
  // Constructed forms and multi-octet tag numbers are not store strings.
  if ((identifier & 0x20) != 0 || (identifier & 0x1F) == 0x1F) return false;
  uint8_t first = encoding[1];
  const uint8_t *p = encoding + 2;
  uint32_t length = first;
  if (first >= 0x80) {
    uint32_t octets = first & 0x7Fu;
    if (octets == 0 || octets > kMaxLengthOctets) return false;  // indefinite or too long
    length = 0;
    for (uint32_t i = 0; i < octets; ++i) length = (length << 8) | *p++;
    if (length > 0x7FFFFFFFu) return false;
  }
  tlv->tag = static_cast<uint8_t>(identifier & 0x1F);
  tlv->contents = p;
  tlv->length = length;
  return true;
}

std::string make_tlv(uint8_t tag, std::string_view contents) {
  std::string tlv(1, static_cast<char>(tag));
  size_t n = contents.size();
  if (n < 0x80) {
    tlv.push_back(static_cast<char>(n));
  } else {
    std::string octets;
    for (; n != 0; n >>= 8) octets.insert(octets.begin(), static_cast<char>(n & 0xFF));
    tlv.push_back(static_cast<char>(0x80 | octets.size()));
    tlv += octets;
  }
  tlv.append(contents.data(), contents.size());
  return tlv;
}

bool utf8_to_latin1(std::string_view text, std::string *latin1) {
  latin1->clear();
  for (size_t i = 0; i < text.size();) {
    auto c = static_cast<uint8_t>(text[i]);
    if (c == 0) return false;
    if (c < 0x80) {
      latin1->push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    // Only the two-octet forms C2 80..C3 BF reach Latin-1; every other lead
    // octet is either malformed or a character beyond it.
    if ((c != 0xC2 && c != 0xC3) || i + 1 >= text.size()) return false;
    auto next = static_cast<uint8_t>(text[i + 1]);
    if ((next & 0xC0) != 0x80) return false;
    latin1->push_back(static_cast<char>(((c & 0x1F) << 6) | (next & 0x3F)));
    i += 2;
  }
  return true;
}

bool store_string_text(const Tlv &tlv, std::string *text) {
  if (is_ascii_string_tag(tlv.tag)) return ascii_text(tlv, text);
  if (tlv.tag == kUtf8StringTag) {
    return utf8_to_latin1(
        std::string_view(reinterpret_cast<const char *>(tlv.contents), tlv.length), text);
  }
  if (tlv.tag == kBmpStringTag) return bmp_text(tlv, text);
  return false;
}

}  // namespace lyrdua::util

using namespace lyrdua::util;

extern "C" LYRDUA_EXPORT int32_t UTIL_API util_string_to_text(uint32_t,
                                                              const util_allocator *allocator,
                                                              int32_t max_length,
                                                              const uint8_t *string,
                                                              uint32_t *length, char **text) {
  if (allocator == nullptr || allocator->allocate == nullptr || length == nullptr ||
      text == nullptr)
    return 0;
  Tlv tlv{};
  std::string converted;
  try {
    if (!read_tlv(string, &tlv) || !store_string_text(tlv, &converted)) return 0;
  } catch (const std::bad_alloc &) {
    return 0;
  }
  if (max_length >= 0 && converted.size() > static_cast<uint32_t>(max_length)) return 0;
  auto size = static_cast<uint32_t>(converted.size());
  auto *copy = static_cast<char *>(allocator->allocate(size + 1));
  if (copy == nullptr) return 0;
  std::memcpy(copy, converted.data(), size);
  copy[size] = '\0';
  *length = size;
  *text = copy;
  return 1;
}

extern "C" LYRDUA_EXPORT int32_t UTIL_API util_string_compare(const uint8_t *a, const uint8_t *b) {
  Tlv left{0, nullptr, 0};
  Tlv right{0, nullptr, 0};
  // A string that cannot be read orders as empty.
  if (!read_tlv(a, &left)) left.length = 0;
  if (!read_tlv(b, &right)) right.length = 0;
  uint32_t common = left.length < right.length ? left.length : right.length;
  for (uint32_t i = 0; i < common; ++i) {
    int difference = fold_ascii(left.contents[i]) - fold_ascii(right.contents[i]);
    if (difference != 0) return difference;
  }
  if (left.length == right.length) return 0;
  return left.length < right.length ? -1 : 1;
}
