// The BER reader through the C API: walks of example encodings, written as
// tables of reader calls with the result each call must give.
#include <gtest/gtest.h>
#include <lyrdua/kor_asn1.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "tests/asn1/ber_streams.hpp"
#include "tests/support/hex.hpp"

namespace lyrdua::test {
namespace {

// A walk: reader calls apart by blanks, each a letter and what the call must
// give. Tn get_tag gives n; Xt=n expect_tag(t) gives n; In get_int; Ln
// get_length; Cn is_constructed; O<hex> get_octets gives the hex octets and
// O! a null pointer with length 0; E enter_construct; S skip.
void run_walk(kor_asn1_ctx *ctx, const std::string &walk) {
  std::istringstream calls(walk);
  for (std::string call; calls >> call;) {
    SCOPED_TRACE(call);
    const std::string arg = call.substr(1);
    const auto number = [&arg] { return static_cast<uint32_t>(std::stoll(arg, nullptr, 0)); };
    const uint8_t *out = reinterpret_cast<const uint8_t *>(1);
    uint32_t len = 99;
    switch (call[0]) {
      case 'T':
        EXPECT_EQ(kor_asn1_get_tag(ctx), number());
        break;
      case 'X':
        EXPECT_EQ(kor_asn1_expect_tag(ctx, number()), std::stoul(arg.substr(arg.find('=') + 1)));
        break;
      case 'I':
        EXPECT_EQ(kor_asn1_get_int(ctx), static_cast<int32_t>(number()));
        break;
      case 'L':
        EXPECT_EQ(kor_asn1_get_length(ctx), static_cast<int32_t>(number()));
        break;
      case 'C':
        EXPECT_EQ(kor_asn1_is_constructed(ctx), number());
        break;
      case 'E':
        kor_asn1_enter_construct(ctx);
        break;
      case 'S':
        kor_asn1_skip(ctx);
        break;
      case 'O':
        kor_asn1_get_octets(ctx, &out, &len);
        if (arg == "!") {
          EXPECT_EQ(out, nullptr);
          EXPECT_EQ(len, 0u);
        } else {
          EXPECT_EQ(to_hex(out, len), normal_hex(arg));
        }
        break;
      default:
        FAIL() << "unknown call";
    }
  }
}

struct ReaderCase {
  const char *about;
  const char *input;
  const char *walk;
  uint32_t expected_error;  // after the last call
};

const ReaderCase kReaderCases[] = {
    {"definite SEQUENCE", "30 03 02 01 05", "T16 C1 L3 E T2 C0 L1 I5 T0", 0},
    {"a further get_tag after the outermost element", "30 03 02 01 05", "T16 E T2 I5 T0 T0",
     KOR_ASN1_E_END_OF_DATA},
    {"a closed indefinite element counts its whole length in its container",
     "30 09 30 80 02 01 05 00 00 05 00", "T16 E T16 E T2 I5 T0 T5 O T0", 0},
    {"empty input", "", "T0", KOR_ASN1_E_END_OF_DATA},
    {"a length of 2^31", "04 84 80 00 00 00", "T0", KOR_ASN1_E_LENGTH},
    {"a length of 2^31 - 1 is accepted", "04 84 7F FF FF FF 41", "T4 L2147483647", 0},
    {"leading zero length octets are allowed", "04 88 00 00 00 00 00 00 00 01 41", "T4 O41", 0},
    {"end-of-contents at the outermost level", "00 00", "T0", KOR_ASN1_E_EOC},
    {"end-of-contents inside a definite element", "30 02 00 00", "T16 E T0", KOR_ASN1_E_EOC},
    {"00 followed by a non-zero octet", "30 80 00 01", "T16 E T0", KOR_ASN1_E_EOC},
    {"an element overruns its container", "30 03 04 05 41 42 43 44 45", "T16 E T4 O4142434445 T0",
     KOR_ASN1_E_END_OF_DATA},
    {"the outermost element is longer than the input", "30 05 02 01 05", "T16 E T2 I5 T0",
     KOR_ASN1_E_END_OF_DATA},
    {"INTEGER of five octets", "02 05 01 02 03 04 05", "T2 I0", KOR_ASN1_E_INT_TOO_LONG},
    {"INTEGER of no octets", "02 00", "T2 I0", KOR_ASN1_E_INT_EMPTY},
    {"INTEGER -1", "02 01 FF", "T2 I-1", 0},
    {"INTEGER of four octets, sign-extended", "02 04 80 00 00 01", "T2 I-2147483647", 0},
    {"get_int on a constructed element", "30 00", "T16 I0", KOR_ASN1_E_NOT_PRIMITIVE},
    {"constructed OCTET STRING joined", "24 80 04 02 41 42 04 01 43 00 00", "T4 C1 O414243 T0",
     KOR_ASN1_E_END_OF_DATA},
    {"an empty constructed string", "24 00", "T4 O", 0},
    {"an end-of-contents marker in the high-tag form counts all three octets",
     "30 09 30 80 02 01 05 1F 00 00 05 00", "T16 E T16 E T2 I5 T0 T5 O T0", KOR_ASN1_E_END_OF_DATA},
    {"nested constructed segments", "24 0A 24 04 04 02 41 42 04 02 43 44", "T4 O41424344", 0},
    {"a segment with another tag gives what was joined", "24 80 04 01 41 02 01 05 00 00", "T4 O41",
     KOR_ASN1_E_UNEXPECTED_TAG},
    {"contents running past a fixed buffer", "04 05 41 42", "T4 O!", KOR_ASN1_E_END_OF_DATA},
    {"get_octets before any element", "04 01 41", "O!", KOR_ASN1_E_NO_CONTENTS},
    {"get_octets on an entered element", "30 00", "T16 E O!", KOR_ASN1_E_NO_CONTENTS},
    {"skip an indefinite element holding indefinite elements",
     "30 80 30 80 04 01 41 00 00 31 80 00 00 00 00", "T16 S T0", KOR_ASN1_E_END_OF_DATA},
    {"skip inside a SEQUENCE, then read on", "30 0A 30 80 02 01 01 00 00 02 01 09 05 00",
     "T16 E T16 S T2 I9", 0},
    {"skip an entered definite element: its end gives no 0", "30 08 30 03 02 01 01 02 01 09",
     "T16 E T16 E S T2 I9 T0", 0},
    {"a construct not entered shows its members at the outer level", "30 06 30 04 02 02 01 00",
     "T16 E T16 T2 I256 T0", 0},
    {"skip out of sequence", "02 01 05", "S", KOR_ASN1_E_SEQUENCE},
    {"enter at the outermost level", "02 01 05", "E", KOR_ASN1_E_STATE},
    {"enter a primitive", "02 01 05", "T2 E", KOR_ASN1_E_PRIMITIVE},
    {"enter twice", "30 00", "T16 E E", KOR_ASN1_E_SEQUENCE},
    {"expect_tag with the right tag", "05 00", "X5=5", 0},
    {"expect_tag with another tag returns the tag read", "05 00", "X4=5",
     KOR_ASN1_E_UNEXPECTED_TAG},
    {"expect_tag at the end of a construct", "30 00", "T16 E X2=0", KOR_ASN1_E_UNEXPECTED_TAG},
    {"identifier cut off in the high-tag form", "1F 81", "T0", KOR_ASN1_E_END_OF_DATA},
    {"length octets cut off", "04 82 01", "T0", KOR_ASN1_E_END_OF_DATA},
    {"every call returns nothing after an error", "02 00", "T2 I0 T0 L0 C0 O!",
     KOR_ASN1_E_INT_EMPTY},
};

void PrintTo(const ReaderCase &c, std::ostream *os) { *os << c.about; }

class ReaderTable : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderTable, GivesTheExpectedResults) {
  const ReaderCase &c = GetParam();
  std::vector<uint8_t> input = from_hex(c.input);
  Ctx ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input.data(), static_cast<uint32_t>(input.size()));
  run_walk(ctx, c.walk);
  EXPECT_EQ(kor_asn1_errno(ctx), c.expected_error);
}

INSTANTIATE_TEST_SUITE_P(Walks, ReaderTable, ::testing::ValuesIn(kReaderCases));

// Without a bound the reader ends only with the outermost element.
TEST(Reader, UnboundedInputHasNoEnd) {
  uint8_t input[] = {0x30, 0x80, 0x02, 0x01, 0x05, 0x00, 0x00};
  Ctx ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input, KOR_ASN1_UNBOUNDED);
  run_walk(ctx, "T16 E T2 I5 T0");
  EXPECT_EQ(kor_asn1_errno(ctx), 0u);
}

// The reader walks 38 nested elements into frames 1-38; the 39th element's
// header takes the last frame, which cannot be entered.
TEST(Reader, NestingStopsAtTheLastFrame) {
  std::vector<uint8_t> input;
  for (int i = 0; i < 39; ++i) input.insert(input.end(), {0x30, 0x80});
  Ctx ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input.data(), static_cast<uint32_t>(input.size()));
  for (int i = 0; i < 39; ++i) {
    ASSERT_EQ(kor_asn1_errno(ctx), 0u) << i;
    ASSERT_EQ(kor_asn1_get_tag(ctx), 16u) << i;
    kor_asn1_enter_construct(ctx);
  }
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_NESTING);
}

}  // namespace
}  // namespace lyrdua::test
