// Agreement with glibc's iconv (LATIN1 <-> T.61-8BIT) on large generated texts
// made of the characters that both map, and the list of where the two differ.
#include <gtest/gtest.h>
#include <iconv.h>

#include <random>
#include <string>

#include "tests/cnv/t61_test_support.hpp"

namespace lyrdua::cnv_test {
namespace {

struct IconvResult {
  bool converted;
  Octets output;
};

IconvResult glibc_convert(const char *to, const char *from, const Octets &input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {false, {}};
  Octets output(input.size() * 2 + 16);
  Octets copy = input;
  char *in = reinterpret_cast<char *>(copy.data());
  size_t in_left = copy.size();
  char *out = reinterpret_cast<char *>(output.data());
  size_t out_left = output.size();
  bool converted = iconv(cd, &in, &in_left, &out, &out_left) != static_cast<size_t>(-1);
  if (converted)
    converted = iconv(cd, nullptr, nullptr, &out, &out_left) != static_cast<size_t>(-1);
  iconv_close(cd);
  output.resize(output.size() - out_left);
  return {converted, output};
}

IconvResult glibc_to_t61(const Octets &input) {
  return glibc_convert("T.61-8BIT", "LATIN1", input);
}
IconvResult glibc_to_latin1(const Octets &input) {
  return glibc_convert("LATIN1", "T.61-8BIT", input);
}

bool glibc_has_t61() {
  iconv_t cd = iconv_open("T.61-8BIT", "LATIN1");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

// Text of `length` units drawn from `alphabet` (each unit one or two octets).
Octets generated_text(const std::vector<Octets> &alphabet, size_t length, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  Octets text;
  for (size_t i = 0; i < length; ++i) {
    const Octets &unit = alphabet[pick(random)];
    text.insert(text.end(), unit.begin(), unit.end());
  }
  return text;
}

// Latin-1 characters that both map the same way: BS, LF, CR, SUB, ASCII but
// \ ^ ` { } ~ DEL, and the right half but the seven without a T.61 form.
std::vector<Octets> common_latin1() {
  std::vector<Octets> alphabet = {{0x08}, {0x0A}, {0x0D}, {0x1A}};
  const std::string left_out = "\\^`{}~";
  for (int c = 0x20; c < 0x7F; ++c)
    if (left_out.find(static_cast<char>(c)) == std::string::npos)
      alphabet.push_back({static_cast<uint8_t>(c)});
  const Octets no_t61_form = hex("A0 A6 A9 AC AD AE B9");
  for (int c = 0xA0; c < 0x100; ++c)
    if (std::find(no_t61_form.begin(), no_t61_form.end(), c) == no_t61_form.end())
      alphabet.push_back({static_cast<uint8_t>(c)});
  return alphabet;
}

// T.61 characters that both map the same way: the same controls and FF, the
// primary set but # $ \ ^ ` { } ~ DEL, the supplementary characters with a
// Latin-1 form, the composed letters, and the four spacing forms both know.
std::vector<Octets> common_t61() {
  std::vector<Octets> alphabet = {{0x08}, {0x0A}, {0x0C}, {0x0D}, {0x1A}};
  const std::string left_out = "#$\\^`{}~";
  for (int c = 0x20; c < 0x7F; ++c)
    if (left_out.find(static_cast<char>(c)) == std::string::npos)
      alphabet.push_back({static_cast<uint8_t>(c)});
  for (uint8_t c : hex("A1 A2 A3 A4 A5 A6 A7 A8 AB B0 B1 B2 B3 B4 B5 B6 B7 B8 BB BC BD BE BF "
                       "E1 E2 E3 E9 EB EC F1 F3 F9 FB FC"))
    alphabet.push_back({c});
  const char *const composed[] = {
      "C1 aeiouAEIOU",  "C2 aeiouyAEIOUY", "C3 aeiouAEIOU", "C4 anoANO",
      "C8 aeiouyAEIOU", "CA aA",           "CB cC",
  };
  for (const char *row : composed) {
    const uint8_t diacritic = static_cast<uint8_t>(std::stoul(std::string(row, 2), nullptr, 16));
    for (const char *letter = row + 3; *letter != 0; ++letter)
      alphabet.push_back({diacritic, static_cast<uint8_t>(*letter)});
  }
  for (uint8_t diacritic : hex("C2 C5 C8 CB")) alphabet.push_back({diacritic, 0x20});
  return alphabet;
}

TEST(T61Iconv, AgreesOnLargeLatin1Text) {
  if (!glibc_has_t61()) GTEST_SKIP() << "glibc has no T.61-8BIT converter here";
  const Octets text = generated_text(common_latin1(), 300000, 61);
  const IconvResult glibc = glibc_to_t61(text);
  ASSERT_TRUE(glibc.converted);
  const Converted ours = convert(kToT61, text);
  ASSERT_EQ(ours.result, KOR_CNV_OK);
  EXPECT_TRUE(ours.output == glibc.output);
  // And back again: both give the original text.
  const Converted back = convert(kToLatin1, ours.output);
  ASSERT_EQ(back.result, KOR_CNV_OK);
  EXPECT_TRUE(back.output == text);
  EXPECT_TRUE(glibc_to_latin1(glibc.output).output == text);
}

TEST(T61Iconv, AgreesOnLargeT61Text) {
  if (!glibc_has_t61()) GTEST_SKIP() << "glibc has no T.61-8BIT converter here";
  const Octets text = generated_text(common_t61(), 300000, 1988);
  const IconvResult glibc = glibc_to_latin1(text);
  ASSERT_TRUE(glibc.converted);
  const Converted ours = convert(kToLatin1, text);
  ASSERT_EQ(ours.result, KOR_CNV_OK);
  EXPECT_TRUE(ours.output == glibc.output);
}

// Where the two differ: what we give, and what glibc gives (null: it fails).
struct Difference {
  Translate translate;
  const char *input;
  uint32_t our_result;
  const char *our_output;
  const char *glibc_output;
};

const Difference kDifferences[] = {
    // Control octets: glibc copies every one; we follow ISO 2022 sets, in which
    // Latin-1 controls without a T.61 meaning are ignored ...
    {kToT61, "00 09 1C", KOR_CNV_OK, "", "00 09 1C"},
    // ... and T.61 controls outside its primary control set are refused.
    {kToLatin1, "09", KOR_CNV_E_INVALID, "", "09"},
    // A Latin-1 form feed becomes CR FF, the way a teletex page starts.
    {kToT61, "0C", KOR_CNV_OK, "0D 0C", "0C"},
    // C1 octets other than PLD, PLU, CSI: ignored from Latin-1, refused from T.61.
    {kToT61, "85", KOR_CNV_OK, "", "85"},
    {kToLatin1, "85", KOR_CNV_E_INVALID, "", "85"},
    // ESC, SO, SI are code extension to us: the designation is consumed.
    {kToT61, "1B 28 42 41", KOR_CNV_OK, "41", "1B 28 42 41"},
    {kToLatin1, "1B 28 75 41", KOR_CNV_OK, "41", "1B 28 75 41"},
    // \ ^ ` { } ~ are missing from T.61's primary set: glibc refuses them,
    // we copy them as ASCII both ways.
    {kToT61, "5C 5E 60 7B 7D 7E", KOR_CNV_OK, "5C 5E 60 7B 7D 7E", nullptr},
    {kToLatin1, "5C 5E 60 7B 7D 7E", KOR_CNV_OK, "5C 5E 60 7B 7D 7E", nullptr},
    // DEL: glibc copies it, we refuse it.
    {kToT61, "7F", KOR_CNV_E_INVALID, "", "7F"},
    {kToLatin1, "7F", KOR_CNV_E_INVALID, "", "7F"},
    // T.61 keeps # and $ at A6 and A4: glibc refuses 23 and 24, we read them
    // as # and as the currency sign.
    {kToLatin1, "23", KOR_CNV_OK, "23", nullptr},
    {kToLatin1, "24", KOR_CNV_OK, "A4", nullptr},
    // Latin-1 characters without a T.61 form: glibc fails, we drop them.
    {kToT61, "A0", KOR_CNV_OK, "", nullptr},
    {kToT61, "A6", KOR_CNV_OK, "", nullptr},
    {kToT61, "A9", KOR_CNV_OK, "", nullptr},
    {kToT61, "AC", KOR_CNV_OK, "", nullptr},
    {kToT61, "AD", KOR_CNV_OK, "", nullptr},
    {kToT61, "AE", KOR_CNV_OK, "", nullptr},
    {kToT61, "B9", KOR_CNV_OK, "", nullptr},
    // T.61 characters without a Latin-1 form (Omega, L-stroke, OE, ...): glibc
    // fails, we drop them.
    {kToLatin1, "E0", KOR_CNV_OK, "", nullptr},
    {kToLatin1, "E8", KOR_CNV_OK, "", nullptr},
    {kToLatin1, "EA", KOR_CNV_OK, "", nullptr},
    {kToLatin1, "C9", KOR_CNV_OK, "", nullptr},
    // Letters whose composition is not in Latin-1: glibc fails, we drop them.
    {kToLatin1, "C2 63", KOR_CNV_OK, "", nullptr},
    {kToLatin1, "C8 59", KOR_CNV_OK, "", nullptr},
    {kToLatin1, "CF 7A", KOR_CNV_OK, "", nullptr},
    // Spacing grave, circumflex, tilde and double acute: glibc fails, we give
    // ` ^ ~ and the diaeresis.
    {kToLatin1, "C1 20", KOR_CNV_OK, "60", nullptr},
    {kToLatin1, "C3 20", KOR_CNV_OK, "5E", nullptr},
    {kToLatin1, "C4 20", KOR_CNV_OK, "7E", nullptr},
    {kToLatin1, "CD 20", KOR_CNV_OK, "A8", nullptr},
    // Other diacritics before a space: glibc fails, we give nothing.
    {kToLatin1, "C6 20", KOR_CNV_OK, "", nullptr},
};

TEST(T61Iconv, DiffersWhereListed) {
  if (!glibc_has_t61()) GTEST_SKIP() << "glibc has no T.61-8BIT converter here";
  for (const Difference &row : kDifferences) {
    SCOPED_TRACE(testing::Message()
                 << (row.translate == kToT61 ? "to T.61: " : "to Latin-1: ") << row.input);
    const Octets input = hex(row.input);
    const Converted ours = convert(row.translate, input);
    EXPECT_EQ(ours.result, row.our_result);
    EXPECT_EQ(to_hex(ours.output), to_hex(hex(row.our_output)));
    const IconvResult glibc =
        row.translate == kToT61 ? glibc_to_t61(input) : glibc_to_latin1(input);
    EXPECT_EQ(glibc.converted, row.glibc_output != nullptr);
    if (row.glibc_output != nullptr) {
      EXPECT_EQ(to_hex(glibc.output), to_hex(hex(row.glibc_output)));
    }
  }
}

}  // namespace
}  // namespace lyrdua::cnv_test
