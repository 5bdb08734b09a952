// The BER reader through the C API: walks of example encodings, written as
// tables of reader calls with the result each call must give.
#include <gtest/gtest.h>
#include <lyrdua/kor_asn1.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/hex.hpp"

namespace lyrdua::test {
namespace {

// One reader call of a walk and the result it must give.
struct ReaderCall {
  enum Kind { Tag, Expect, Enter, Int, Octets, Skip, Length, Constructed } kind;
  int64_t arg;      // Expect: the tag expected
  int64_t result;   // Tag, Expect, Int, Length, Constructed
  const char *hex;  // Octets: the contents given (nullptr: a null pointer)
};

ReaderCall get_tag(uint32_t result) { return {ReaderCall::Tag, 0, result, ""}; }
ReaderCall expect_tag(uint32_t tag, uint32_t result) {
  return {ReaderCall::Expect, tag, result, ""};
}
ReaderCall enter() { return {ReaderCall::Enter, 0, 0, ""}; }
ReaderCall get_int(int32_t result) { return {ReaderCall::Int, 0, result, ""}; }
ReaderCall get_octets(const char *hex) { return {ReaderCall::Octets, 0, 0, hex}; }
ReaderCall skip() { return {ReaderCall::Skip, 0, 0, ""}; }
ReaderCall length(int32_t result) { return {ReaderCall::Length, 0, result, ""}; }
ReaderCall constructed(uint32_t result) { return {ReaderCall::Constructed, 0, result, ""}; }

struct ReaderCase {
  const char *about;
  const char *input;
  std::vector<ReaderCall> calls;
  uint32_t expected_error;  // after the last call
};

const ReaderCase kReaderCases[] = {
    {"definite SEQUENCE",
     "30 03 02 01 05",
     {get_tag(16), constructed(1), length(3), enter(), get_tag(2), constructed(0), length(1),
      get_int(5), get_tag(0)},
     0},
    {"a further get_tag after the outermost element",
     "30 03 02 01 05",
     {get_tag(16), enter(), get_tag(2), get_int(5), get_tag(0), get_tag(0)},
     KOR_ASN1_E_END_OF_DATA},
    {"indefinite SEQUENCE reads like the definite one",
     "30 80 02 01 05 00 00",
     {get_tag(16), length(-1), enter(), get_tag(2), get_int(5), get_tag(0), get_tag(0)},
     KOR_ASN1_E_END_OF_DATA},
    {"a closed indefinite element counts its whole length in its container",
     "30 09 30 80 02 01 05 00 00 05 00",
     {get_tag(16), enter(), get_tag(16), enter(), get_tag(2), get_int(5), get_tag(0), get_tag(5),
      get_octets(""), get_tag(0)},
     0},
    {"empty input", "", {get_tag(0)}, KOR_ASN1_E_END_OF_DATA},
    {"high tag number 128", "1F 81 00 00", {get_tag(128), get_octets("")}, 0},
    {"context-specific 31 in the high-tag form", "9F 1F 00", {get_tag(0x80000000 | 31)}, 0},
    {"APPLICATION and PRIVATE classes",
     "61 03 C5 01 07",
     {get_tag(0x40000001), enter(), get_tag(0xC0000005), get_int(7), get_tag(0)},
     0},
    {"four length octets",
     "04 84 00 00 00 05 41 42 43 44 45",
     {get_tag(4), length(5), get_octets("41 42 43 44 45")},
     0},
    {"a length of 2^31", "04 84 80 00 00 00", {get_tag(0)}, KOR_ASN1_E_LENGTH},
    {"a length of 2^31 - 1 is accepted",
     "04 84 7F FF FF FF 41",
     {get_tag(4), length(INT32_MAX)},
     0},
    {"leading zero length octets are allowed",
     "04 88 00 00 00 00 00 00 00 01 41",
     {get_tag(4), get_octets("41")},
     0},
    {"non-minimal length",
     "04 82 00 05 01 02 03 04 05",
     {get_tag(4), get_octets("01 02 03 04 05")},
     0},
    {"end-of-contents at the outermost level", "00 00", {get_tag(0)}, KOR_ASN1_E_EOC},
    {"end-of-contents inside a definite element",
     "30 02 00 00",
     {get_tag(16), enter(), get_tag(0)},
     KOR_ASN1_E_EOC},
    {"00 followed by a non-zero octet",
     "30 80 00 01",
     {get_tag(16), enter(), get_tag(0)},
     KOR_ASN1_E_EOC},
    {"an element overruns its container",
     "30 03 04 05 41 42 43 44 45",
     {get_tag(16), enter(), get_tag(4), get_octets("41 42 43 44 45"), get_tag(0)},
     KOR_ASN1_E_END_OF_DATA},
    {"the outermost element is longer than the input",
     "30 05 02 01 05",
     {get_tag(16), enter(), get_tag(2), get_int(5), get_tag(0)},
     KOR_ASN1_E_END_OF_DATA},
    {"INTEGER of five octets",
     "02 05 01 02 03 04 05",
     {get_tag(2), get_int(0)},
     KOR_ASN1_E_INT_TOO_LONG},
    {"INTEGER of no octets", "02 00", {get_tag(2), get_int(0)}, KOR_ASN1_E_INT_EMPTY},
    {"INTEGER -1", "02 01 FF", {get_tag(2), get_int(-1)}, 0},
    {"INTEGER of four octets, sign-extended",
     "02 04 80 00 00 01",
     {get_tag(2), get_int(INT32_MIN + 1)},
     0},
    {"get_int on a constructed element",
     "30 00",
     {get_tag(16), get_int(0)},
     KOR_ASN1_E_NOT_PRIMITIVE},
    {"constructed OCTET STRING joined",
     "24 80 04 02 41 42 04 01 43 00 00",
     {get_tag(4), constructed(1), get_octets("41 42 43"), get_tag(0)},
     KOR_ASN1_E_END_OF_DATA},
    {"an empty constructed string", "24 00", {get_tag(4), get_octets("")}, 0},
    {"an end-of-contents marker in the high-tag form counts all three octets",
     "30 09 30 80 02 01 05 1F 00 00 05 00",
     {get_tag(16), enter(), get_tag(16), enter(), get_tag(2), get_int(5), get_tag(0), get_tag(5),
      get_octets(""), get_tag(0)},
     KOR_ASN1_E_END_OF_DATA},
    {"nested constructed segments",
     "24 0A 24 04 04 02 41 42 04 02 43 44",
     {get_tag(4), get_octets("41 42 43 44")},
     0},
    {"a segment with another tag gives what was joined",
     "24 80 04 01 41 02 01 05 00 00",
     {get_tag(4), get_octets("41")},
     KOR_ASN1_E_UNEXPECTED_TAG},
    {"contents running past a fixed buffer",
     "04 05 41 42",
     {get_tag(4), get_octets(nullptr)},
     KOR_ASN1_E_END_OF_DATA},
    {"get_octets before any element", "04 01 41", {get_octets(nullptr)}, KOR_ASN1_E_NO_CONTENTS},
    {"get_octets on an entered element",
     "30 00",
     {get_tag(16), enter(), get_octets(nullptr)},
     KOR_ASN1_E_NO_CONTENTS},
    {"skip an indefinite element holding indefinite elements",
     "30 80 30 80 04 01 41 00 00 31 80 00 00 00 00",
     {get_tag(16), skip(), get_tag(0)},
     KOR_ASN1_E_END_OF_DATA},
    {"skip inside a SEQUENCE, then read on",
     "30 0A 30 80 02 01 01 00 00 02 01 09 05 00",
     {get_tag(16), enter(), get_tag(16), skip(), get_tag(2), get_int(9)},
     0},
    {"skip an entered definite element: its end gives no 0",
     "30 08 30 03 02 01 01 02 01 09",
     {get_tag(16), enter(), get_tag(16), enter(), skip(), get_tag(2), get_int(9), get_tag(0)},
     0},
    {"a construct not entered shows its members at the outer level",
     "30 06 30 04 02 02 01 00",
     {get_tag(16), enter(), get_tag(16), get_tag(2), get_int(256), get_tag(0)},
     0},
    {"skip out of sequence", "02 01 05", {skip()}, KOR_ASN1_E_SEQUENCE},
    {"enter at the outermost level", "02 01 05", {enter()}, KOR_ASN1_E_STATE},
    {"enter a primitive", "02 01 05", {get_tag(2), enter()}, KOR_ASN1_E_PRIMITIVE},
    {"enter twice", "30 00", {get_tag(16), enter(), enter()}, KOR_ASN1_E_SEQUENCE},
    {"expect_tag with the right tag", "05 00", {expect_tag(5, 5)}, 0},
    {"expect_tag with another tag returns the tag read",
     "05 00",
     {expect_tag(4, 5)},
     KOR_ASN1_E_UNEXPECTED_TAG},
    {"expect_tag at the end of a construct",
     "30 00",
     {get_tag(16), enter(), expect_tag(2, 0)},
     KOR_ASN1_E_UNEXPECTED_TAG},
    {"identifier cut off in the high-tag form", "1F 81", {get_tag(0)}, KOR_ASN1_E_END_OF_DATA},
    {"length octets cut off", "04 82 01", {get_tag(0)}, KOR_ASN1_E_END_OF_DATA},
    {"every call returns nothing after an error",
     "02 00",
     {get_tag(2), get_int(0), get_tag(0), length(0), constructed(0), get_octets(nullptr)},
     KOR_ASN1_E_INT_EMPTY},
};

void check_call(kor_asn1_ctx *ctx, const ReaderCall &call, const std::string &where) {
  switch (call.kind) {
    case ReaderCall::Tag:
      EXPECT_EQ(kor_asn1_get_tag(ctx), static_cast<uint32_t>(call.result)) << where;
      break;
    case ReaderCall::Expect:
      EXPECT_EQ(kor_asn1_expect_tag(ctx, static_cast<uint32_t>(call.arg)),
                static_cast<uint32_t>(call.result))
          << where;
      break;
    case ReaderCall::Enter:
      kor_asn1_enter_construct(ctx);
      break;
    case ReaderCall::Int:
      EXPECT_EQ(kor_asn1_get_int(ctx), static_cast<int32_t>(call.result)) << where;
      break;
    case ReaderCall::Octets: {
      const uint8_t *out = reinterpret_cast<const uint8_t *>(1);
      uint32_t len = 99;
      kor_asn1_get_octets(ctx, &out, &len);
      if (call.hex == nullptr) {
        EXPECT_EQ(out, nullptr) << where;
        EXPECT_EQ(len, 0u) << where;
      } else {
        EXPECT_EQ(to_hex(out, len), normal_hex(call.hex)) << where;
      }
      break;
    }
    case ReaderCall::Skip:
      kor_asn1_skip(ctx);
      break;
    case ReaderCall::Length:
      EXPECT_EQ(kor_asn1_get_length(ctx), static_cast<int32_t>(call.result)) << where;
      break;
    case ReaderCall::Constructed:
      EXPECT_EQ(kor_asn1_is_constructed(ctx), static_cast<uint32_t>(call.result)) << where;
      break;
  }
}

void PrintTo(const ReaderCase &c, std::ostream *os) { *os << c.about; }

class ReaderTable : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderTable, GivesTheExpectedResults) {
  const ReaderCase &c = GetParam();
  std::vector<uint8_t> input = from_hex(c.input);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input.data(), static_cast<uint32_t>(input.size()));
  for (size_t i = 0; i < c.calls.size(); ++i)
    check_call(ctx, c.calls[i], std::string(c.about) + ", call " + std::to_string(i));
  EXPECT_EQ(kor_asn1_errno(ctx), c.expected_error) << c.about;
  kor_asn1_free_ctx(ctx);
}

INSTANTIATE_TEST_SUITE_P(Walks, ReaderTable, ::testing::ValuesIn(kReaderCases));

TEST(Reader, UnboundedInputHasNoEnd) {
  uint8_t input[] = {0x30, 0x80, 0x02, 0x01, 0x05, 0x00, 0x00};
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input, KOR_ASN1_UNBOUNDED);
  EXPECT_EQ(kor_asn1_get_tag(ctx), 16u);
  kor_asn1_enter_construct(ctx);
  EXPECT_EQ(kor_asn1_get_tag(ctx), 2u);
  EXPECT_EQ(kor_asn1_get_int(ctx), 5);
  EXPECT_EQ(kor_asn1_get_tag(ctx), 0u);
  EXPECT_EQ(kor_asn1_errno(ctx), 0u);
  kor_asn1_free_ctx(ctx);
}

TEST(Reader, PrimitiveContentsAreGivenInPlace) {
  uint8_t input[] = {0x04, 0x03, 0x41, 0x42, 0x43};
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input, sizeof input);
  kor_asn1_get_tag(ctx);
  const uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_octets(ctx, &out, &len);
  EXPECT_EQ(out, input + 2);
  EXPECT_EQ(len, 3u);
  kor_asn1_free_ctx(ctx);
}

// The reader walks 38 nested elements into frames 1-38; the 39th element's
// header takes the last frame, which cannot be entered.
TEST(Reader, NestingStopsAtTheLastFrame) {
  std::vector<uint8_t> input;
  for (int i = 0; i < 39; ++i) input.insert(input.end(), {0x30, 0x80});
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input.data(), static_cast<uint32_t>(input.size()));
  for (int i = 0; i < 38; ++i) {
    ASSERT_EQ(kor_asn1_get_tag(ctx), 16u) << i;
    kor_asn1_enter_construct(ctx);
  }
  ASSERT_EQ(kor_asn1_errno(ctx), 0u);
  EXPECT_EQ(kor_asn1_get_tag(ctx), 16u);
  kor_asn1_enter_construct(ctx);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_NESTING);
  kor_asn1_free_ctx(ctx);
}

TEST(Reader, ReadersOnAnEncodingContextAreRefused) {
  uint8_t buffer[8];
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  EXPECT_EQ(kor_asn1_get_tag(ctx), 0u);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_WRONG_MODE);
  kor_asn1_free_ctx(ctx);
}

}  // namespace
}  // namespace lyrdua::test
