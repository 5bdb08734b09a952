// Agreement with glibc's iconv (LATIN1 <-> T.61-8BIT) on large generated texts
// made of the characters that both map. Where the two differ, our results are
// those of the conversion tables test.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <random>
#include <string>

#include "tests/cnv/t61_test_support.hpp"

namespace lyrdua::cnv_test {
namespace {

// glibc's conversion of input, or nothing when it fails or has no converter.
std::optional<Octets> glibc_convert(const char *to, const char *from, Octets input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  Octets output(input.size() * 2 + 16);
  char *in = reinterpret_cast<char *>(input.data());
  size_t in_left = input.size();
  char *out = reinterpret_cast<char *>(output.data());
  size_t out_left = output.size();
  bool converted = iconv(cd, &in, &in_left, &out, &out_left) != static_cast<size_t>(-1) &&
                   iconv(cd, nullptr, nullptr, &out, &out_left) != static_cast<size_t>(-1);
  iconv_close(cd);
  output.resize(output.size() - out_left);
  return converted ? std::optional<Octets>(output) : std::nullopt;
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

TEST(T61Iconv, AgreesOnLargeTexts) {
  if (!glibc_convert("T.61-8BIT", "LATIN1", {})) GTEST_SKIP() << "glibc has no T.61-8BIT here";
  const Octets latin1 = generated_text(common_latin1(), 300000, 61);
  const Octets t61 = generated_text(common_t61(), 300000, 1988);
  struct Row {
    Translate translate;
    const char *to;
    const char *from;
    const Octets &text;
  };
  const Row rows[] = {{kToT61, "T.61-8BIT", "LATIN1", latin1},
                      {kToLatin1, "LATIN1", "T.61-8BIT", t61}};
  for (const Row &row : rows) {
    SCOPED_TRACE(row.from);
    const std::optional<Octets> glibc = glibc_convert(row.to, row.from, row.text);
    ASSERT_TRUE(glibc.has_value());
    const Converted ours = convert(row.translate, row.text);
    ASSERT_EQ(ours.result, KOR_CNV_OK);
    EXPECT_TRUE(ours.output == *glibc);
  }
  // The Latin-1 text comes back.
  const Converted back = convert(kToLatin1, convert(kToT61, latin1).output);
  ASSERT_EQ(back.result, KOR_CNV_OK);
  EXPECT_TRUE(back.output == latin1);
}

}  // namespace
}  // namespace lyrdua::cnv_test
