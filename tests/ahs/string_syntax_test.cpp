// IA5String, NumericString, PrintableString, DirectoryString and T61String
// handlers through the C API, with the events they raise.
#include <gtest/gtest.h>

#include "tests/ahs/syntax_harness.hpp"

namespace lyrdua::test {
namespace {

struct StringEncodeCase {
  const char *about;
  EncoderA a;
  EncoderW w;
  std::string text;
  uint32_t result;  // of the A handler; the W handler checks and answers 9 where it would pass
  const char *hex;
  std::vector<std::string> params;
};

void PrintTo(const StringEncodeCase &c, std::ostream *os) { *os << c.about; }

#define IA5 kor_ahs_ExtToInt_IA5StringA, kor_ahs_ExtToInt_IA5StringW
#define NUMERIC kor_ahs_ExtToInt_NumericStringA, kor_ahs_ExtToInt_NumericStringW
#define PRINTABLE kor_ahs_ExtToInt_PrintableStringA, kor_ahs_ExtToInt_PrintableStringW
#define DIRECTORY kor_ahs_ExtToInt_DirectoryStringA, kor_ahs_ExtToInt_DirectoryStringW
#define T61 kor_ahs_ExtToInt_T61StringA, kor_ahs_ExtToInt_T61StringW

const StringEncodeCase kStringEncodeCases[] = {
    {"printable with marks",
     PRINTABLE,
     "Anne Smith, (B.A.)/2x",
     0,
     "13 15 41 6E 6E 65 20 53 6D 69 74 68 2C 20 28 42 2E 41 2E 29 2F 32 78",
     {}},
    {"every printable mark",
     PRINTABLE,
     "'()+,-./:=?",
     0,
     "13 0B 27 28 29 2B 2C 2D 2E 2F 3A 3D 3F",
     {}},
    {"ampersand", PRINTABLE, "A&B", KOR_AHS_E_PRINTABLE_CHAR, "", {"&"}},
    {"NUL inside a printable value",
     PRINTABLE,
     std::string("A\0B", 3),
     KOR_AHS_E_PRINTABLE_CHAR,
     "",
     {""}},
    {"empty printable", PRINTABLE, "", 0, "13 00", {}},
    {"digits and spaces", NUMERIC, "12 34", 0, "12 05 31 32 20 33 34", {}},
    {"hyphen in a number", NUMERIC, "12-34", KOR_AHS_E_NUMERIC_CHAR, "", {"-"}},
    {"IA5 with control characters", IA5, "a\tb", 0, "16 03 61 09 62", {}},
    {"IA5 with a NUL", IA5, std::string("a\0b", 3), 0, "16 03 61 00 62", {}},
    {"IA5 with e-acute", IA5, "caf\xE9", KOR_AHS_E_IA5_CHAR, "", {"\xE9"}},
    {"directory: plain letters", DIRECTORY, "Acme", 0, "13 04 41 63 6D 65", {}},
    {"directory: e-acute stays unconverted", DIRECTORY, "caf\xE9", 0, "14 04 63 61 66 E9", {}},
    {"directory: ampersand", DIRECTORY, "A&B", 0, "14 03 41 26 42", {}},
    {"directory: a NUL makes it T61", DIRECTORY, std::string("A\0", 2), 0, "14 02 41 00", {}},
    {"directory: empty", DIRECTORY, "", 0, "13 00", {}},
    {"T61: empty", T61, "", 0, "14 00", {}},
    {"T61: plain", T61, "Acme", 0, "14 04 41 63 6D 65", {}},
    {"T61: e-acute becomes diacritic and letter", T61, "caf\xE9", 0, "14 05 63 61 66 C2 65", {}},
};

class StringEncodeTable : public ::testing::TestWithParam<StringEncodeCase> {};

TEST_P(StringEncodeTable, WritesTheElementOrRaisesTheEvent) {
  const StringEncodeCase &c = GetParam();
  EventProbe events;
  Encoded a = encode(c.a, c.text);
  EXPECT_EQ(a.result, c.result);
  EXPECT_EQ(a.hex, normal_hex(c.hex));
  RaisedEvent raised = events.single();
  EXPECT_EQ(raised.code, c.result >= 0xE6F00000u ? c.result : 0u);
  EXPECT_EQ(raised.params, c.params);

  Encoded w = encode_w(c.w, c.text);
  bool converts_nothing =
      c.w == kor_ahs_ExtToInt_DirectoryStringW || c.w == kor_ahs_ExtToInt_T61StringW;
  EXPECT_EQ(w.result, c.result == 0 || converts_nothing ? KOR_AHS_UNSUPPORTED : c.result) << "W";
  EXPECT_EQ(w.hex, "") << "the W handlers write nothing";
  RaisedEvent raised_w = events.single();
  EXPECT_EQ(raised_w.params, converts_nothing ? std::vector<std::string>{} : raised.params);
}

INSTANTIATE_TEST_SUITE_P(Strings, StringEncodeTable, ::testing::ValuesIn(kStringEncodeCases));

#undef IA5
#undef NUMERIC
#undef PRINTABLE
#undef DIRECTORY
#undef T61
#define IA5 kor_ahs_IntToExt_IA5StringA, kor_ahs_IntToExt_IA5StringW
#define NUMERIC kor_ahs_IntToExt_NumericStringA, kor_ahs_IntToExt_NumericStringW
#define PRINTABLE kor_ahs_IntToExt_PrintableStringA, kor_ahs_IntToExt_PrintableStringW
#define DIRECTORY kor_ahs_IntToExt_DirectoryStringA, kor_ahs_IntToExt_DirectoryStringW
#define T61 kor_ahs_IntToExt_T61StringA, kor_ahs_IntToExt_T61StringW

// The W decoders of these syntaxes do not convert; see WideDecoders.
const DecodeCase kStringDecodeCases[] = {
    {"IA5 mapping", IA5, "16 04 41 09 42 FF", 16, 0, "A.B.", 4, {}},
    {"IA5 mapping does not stop at a NUL", IA5, "16 03 41 00 42", 16, 0, "A.B", 3, {}},
    {"printable truncated",
     PRINTABLE,
     "13 0A 30 31 32 33 34 35 36 37 38 39",
     8,
     KOR_AHS_TRUNCATED,
     "0123456",
     11,
     {}},
    {"printable exactly",
     PRINTABLE,
     "13 0A 30 31 32 33 34 35 36 37 38 39",
     11,
     0,
     "0123456789",
     10,
     {}},
    {"plain copy stops at a NUL but reports the whole length",
     NUMERIC,
     "12 03 31 00 32",
     8,
     0,
     "1",
     3,
     {}},
    {"numeric wrong tag",
     NUMERIC,
     "13 01 31",
     8,
     KOR_AHS_E_WRONG_TAG,
     "",
     8,
     {"19", "18 (NUMERIC_STRING)"}},
    {"directory as PrintableString", DIRECTORY, "13 02 41 42", 8, 0, "AB", 2, {}},
    {"directory as T61String, unconverted",
     DIRECTORY,
     "14 02 C2 65",
     8,
     0,
     "\xC2"
     "e",
     2,
     {}},
    {"directory wrong tag",
     DIRECTORY,
     "16 01 41",
     8,
     KOR_AHS_E_WRONG_TAG,
     "",
     8,
     {"22", "20 (T61_STRING OR PRINTABLESTRING)"}},
    {"T61 diacritic composed", T61, "14 05 63 61 66 C2 65", 8, 0, "caf\xE9", 4, {}},
    {"T61 cut after a diacritic", T61, "14 02 61 C2", 8, KOR_AHS_E_T61_DECODE, "", 8, {"1"}},
    {"T61 wrong tag", T61, "13 01 41", 8, KOR_AHS_E_WRONG_TAG, "", 8, {"19", "20 (T61 STRING)"}},
    {"no element", PRINTABLE, "", 8, KOR_AHS_NO_ELEMENT, "", 8, {}},
};

class StringDecodeTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(StringDecodeTable, WritesTheTextOrRaisesTheEvent) {
  EventProbe events;
  RaisedEvent raised;
  expect_decoded_a(GetParam(), events, &raised);
}

INSTANTIATE_TEST_SUITE_P(Strings, StringDecodeTable, ::testing::ValuesIn(kStringDecodeCases));

// The W decoders of the checked strings recognise their element and answer
// 9 without reading it; DirectoryString and T61String answer 9 at once.
TEST(StringSyntaxes, WideDecoders) {
  EventProbe events;
  EXPECT_EQ(decode_w(kor_ahs_IntToExt_IA5StringW, "16 01 41").result, KOR_AHS_UNSUPPORTED);
  EXPECT_EQ(decode_w(kor_ahs_IntToExt_NumericStringW, "").result, KOR_AHS_NO_ELEMENT);
  EXPECT_EQ(decode_w(kor_ahs_IntToExt_PrintableStringW, "16 01 41").result, KOR_AHS_E_WRONG_TAG);
  EXPECT_EQ(events.single().params, (std::vector<std::string>{"22", "19 (PRINTABLE STRING)"}));
  EXPECT_EQ(decode_w(kor_ahs_IntToExt_DirectoryStringW, "").result, KOR_AHS_UNSUPPORTED);
  EXPECT_EQ(decode_w(kor_ahs_IntToExt_T61StringW, "05 00").result, KOR_AHS_UNSUPPORTED);
}

// Every character of the printable set passes and every other byte is refused.
TEST(StringSyntaxes, PrintableSetExactly) {
  const std::string printable =
      " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'()+,-./:=?";
  EventProbe events;
  for (int byte = 0; byte < 256; ++byte) {
    std::string text(1, static_cast<char>(byte));
    bool expected = printable.find(static_cast<char>(byte)) != std::string::npos && byte != 0;
    EXPECT_EQ(encode(kor_ahs_ExtToInt_PrintableStringA, text).result == 0, expected) << byte;
    EXPECT_EQ(encode(kor_ahs_ExtToInt_DirectoryStringA, text).hex.substr(0, 2),
              expected ? "13" : "14")
        << byte;
  }
  events.take();
}

}  // namespace
}  // namespace lyrdua::test
