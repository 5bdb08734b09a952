// Store strings of the schema store: their conversion into Latin-1 text and
// the case-insensitive order of their contents.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "lyrutil/schema_store.h"

namespace lyrdua::test {
namespace {

void *UTIL_API test_allocate(uint32_t size) { return std::malloc(size); }
void UTIL_API test_release(uint32_t, void *block) { std::free(block); }
const util_allocator kAllocator = {test_allocate, test_release, 0};

struct TextRow {
  const char *about;
  std::vector<uint8_t> string;
  int32_t max_length;
  bool converted;
  std::string text;
};

std::vector<uint8_t> long_printable(size_t n) {
  std::vector<uint8_t> tlv{0x13, 0x81, static_cast<uint8_t>(n)};
  tlv.insert(tlv.end(), n, 'a');
  return tlv;
}

TEST(StoreStrings, ConversionToLatin1Text) {
  const TextRow rows[] = {
      // PrintableString, the store's names.
      {"PrintableString", {0x13, 0x02, 'C', 'N'}, -1, true, "CN"},
      {"empty PrintableString", {0x13, 0x00}, -1, true, ""},
      {"NumericString", {0x12, 0x03, '1', ' ', '2'}, -1, true, "1 2"},
      {"IA5String", {0x16, 0x03, 'a', '@', 'b'}, -1, true, "a@b"},
      {"VisibleString", {0x1A, 0x01, '~'}, -1, true, "~"},
      // UTF8String, the store's descriptions: two-octet forms reach Latin-1.
      {"UTF8String of Latin-1", {0x0C, 0x04, 0xC3, 0xA9, 0xC2, 0xA0}, -1, true, "\xE9\xA0"},
      {"UTF8String beyond Latin-1", {0x0C, 0x02, 0xC5, 0x81}, -1, false, ""},
      {"UTF8String cut in a character", {0x0C, 0x01, 0xC3}, -1, false, ""},
      {"UTF8String overlong", {0x0C, 0x02, 0xC1, 0x81}, -1, false, ""},
      {"BMPString of Latin-1", {0x1E, 0x04, 0x00, 'A', 0x00, 0xFF}, -1, true, "A\xFF"},
      {"BMPString beyond Latin-1", {0x1E, 0x02, 0x01, 0x41}, -1, false, ""},
      {"BMPString of odd length", {0x1E, 0x03, 0x00, 'A', 0x00}, -1, false, ""},
      // ASCII types hold no octet above 0x7F, and no type holds NUL.
      {"IA5String with 0x80", {0x16, 0x01, 0x80}, -1, false, ""},
      {"PrintableString with NUL", {0x13, 0x02, 'a', 0x00}, -1, false, ""},
      // Types the store does not convert.
      {"T61String", {0x14, 0x01, 'a'}, -1, false, ""},
      {"OCTET STRING", {0x04, 0x01, 'a'}, -1, false, ""},
      {"constructed PrintableString", {0x33, 0x03, 0x13, 0x01, 'a'}, -1, false, ""},
      {"indefinite length", {0x13, 0x80, 'a', 0x00, 0x00}, -1, false, ""},
      {"five length octets", {0x13, 0x85, 0, 0, 0, 0, 1, 'a'}, -1, false, ""},
      // Long-form lengths.
      {"127 octets, short form",
       [] {
         std::vector<uint8_t> t{0x13, 0x7F};
         t.insert(t.end(), 127, 'a');
         return t;
       }(),
       -1, true, std::string(127, 'a')},
      {"128 octets, long form", long_printable(128), -1, true, std::string(128, 'a')},
      // The longest text accepted, at and over it.
      {"text at max_length", {0x13, 0x03, 'a', 'b', 'c'}, 3, true, "abc"},
      {"text over max_length", {0x13, 0x03, 'a', 'b', 'c'}, 2, false, ""},
  };
  for (const TextRow &row : rows) {
    SCOPED_TRACE(row.about);
    uint32_t length = 12345;
    char *text = nullptr;
    int32_t ok =
        util_string_to_text(0, &kAllocator, row.max_length, row.string.data(), &length, &text);
    EXPECT_EQ(ok != 0, row.converted);
    if (!row.converted) {
      EXPECT_EQ(length, 12345u);
      EXPECT_EQ(text, nullptr);
      continue;
    }
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, length), row.text);
    EXPECT_EQ(text[length], '\0');
    std::free(text);
  }
  uint32_t length = 0;
  char *text = nullptr;
  EXPECT_EQ(util_string_to_text(0, &kAllocator, -1, nullptr, &length, &text), 0);
  EXPECT_EQ(util_string_to_text(0, nullptr, -1, rows[0].string.data(), &length, &text), 0);
}

struct CompareRow {
  const char *about;
  const char *a;
  const char *b;
  int sign;
};

std::vector<uint8_t> printable(const char *text) {
  std::vector<uint8_t> tlv{0x13, static_cast<uint8_t>(std::string(text).size())};
  tlv.insert(tlv.end(), text, text + tlv[1]);
  return tlv;
}

int sign(int32_t n) { return (n > 0) - (n < 0); }

TEST(StoreStrings, CompareIgnoresTheCaseOfLettersOnly) {
  const CompareRow rows[] = {
      {"same", "cn", "cn", 0},
      {"letters differ by case only", "uTCTimeSyntax", "UTCTIMESYNTAX", 0},
      {"case ignored, then s before t", "userPasswordSyntax", "uTCTimeSyntax", -1},
      {"a prefix first", "stringSyntax", "stringSyntaxes", -1},
      {"longer after", "integerSyntaxes", "integerSyntax", 1},
      {"hyphen before digits before letters", "a-", "a0", -1},
      {"digit before letter of either case", "t61", "tE", -1},
      {"empty first", "", "a", -1},
      // Letters fold to lower case, so '_' (0x5F) sorts before them.
      {"underscore before letters", "a_", "aB", -1},
  };
  for (const CompareRow &row : rows) {
    SCOPED_TRACE(row.about);
    std::vector<uint8_t> a = printable(row.a);
    std::vector<uint8_t> b = printable(row.b);
    EXPECT_EQ(sign(util_string_compare(a.data(), b.data())), row.sign);
    EXPECT_EQ(sign(util_string_compare(b.data(), a.data())), -row.sign);
  }
}

}  // namespace
}  // namespace lyrdua::test
