// The BER writer through the C API: calling patterns, state rules and limits.
#include <gtest/gtest.h>
#include <lyrdua/kor_asn1.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/asn1/ber_streams.hpp"
#include "tests/support/hex.hpp"

namespace lyrdua::test {
namespace {

// One writer call of a table row.
struct WriterCall {
  enum Kind { Octets, Int, NoValue, Encoding, Tag, Enter, Exit } kind;
  int64_t value;
  const char *hex;
};

WriterCall octets(const char *hex) { return {WriterCall::Octets, 0, hex}; }
WriterCall integer(int32_t v) { return {WriterCall::Int, v, ""}; }
WriterCall novalue() { return {WriterCall::NoValue, 0, ""}; }
WriterCall encoding(const char *hex) { return {WriterCall::Encoding, 0, hex}; }
WriterCall tag(uint32_t t) { return {WriterCall::Tag, t, ""}; }
WriterCall enter() { return {WriterCall::Enter, 0, ""}; }
WriterCall leave() { return {WriterCall::Exit, 0, ""}; }

void apply(kor_asn1_ctx *ctx, const WriterCall &call) {
  std::vector<uint8_t> data = from_hex(call.hex);
  switch (call.kind) {
    case WriterCall::Octets:
      kor_asn1_put_octets(ctx, data.data(), static_cast<uint32_t>(data.size()));
      break;
    case WriterCall::Int:
      kor_asn1_put_int(ctx, static_cast<int32_t>(call.value));
      break;
    case WriterCall::NoValue:
      kor_asn1_put_novalue(ctx);
      break;
    case WriterCall::Encoding:
      kor_asn1_put_encoding(ctx, data.data(), static_cast<uint32_t>(data.size()));
      break;
    case WriterCall::Tag:
      kor_asn1_put_tag(ctx, static_cast<uint32_t>(call.value));
      break;
    case WriterCall::Enter:
      kor_asn1_enter_construct(ctx);
      break;
    case WriterCall::Exit:
      kor_asn1_exit_construct(ctx);
      break;
  }
}

struct WriterCase {
  const char *about;
  std::vector<WriterCall> calls;
  const char *expected_hex;  // the encoding when no error is expected
  uint32_t expected_error;
};

const WriterCase kWriterCases[] = {
    {"INTEGER 5", {integer(5), tag(2)}, "02 01 05", 0},
    {"zero takes one octet", {integer(0), tag(2)}, "02 01 00", 0},
    {"127 is the largest one-octet value", {integer(127), tag(2)}, "02 01 7F", 0},
    {"128 needs a leading zero octet", {integer(128), tag(2)}, "02 02 00 80", 0},
    {"256", {integer(256), tag(2)}, "02 02 01 00", 0},
    {"-1", {integer(-1), tag(2)}, "02 01 FF", 0},
    {"-128 is the smallest one-octet value", {integer(-128), tag(2)}, "02 01 80", 0},
    {"-129 needs two octets", {integer(-129), tag(2)}, "02 02 FF 7F", 0},
    {"INT32_MAX", {integer(INT32_MAX), tag(2)}, "02 04 7F FF FF FF", 0},
    {"INT32_MIN", {integer(INT32_MIN), tag(2)}, "02 04 80 00 00 00", 0},
    {"NULL has no contents", {novalue(), tag(5)}, "05 00", 0},
    {"BOOLEAN TRUE as the handlers write it", {integer(1), tag(1)}, "01 01 01", 0},
    {"implicit context tag", {integer(5), tag(0x80000000)}, "80 01 05", 0},
    {"explicit tag wraps a complete element",
     {integer(5), tag(2), tag(0x80000000)},
     "A0 03 02 01 05",
     0},
    {"a second put_tag counts the inner header",
     {integer(5), tag(2), tag(0x40000001)},
     "61 03 02 01 05",
     0},
    {"SEQUENCE written last member first",
     {enter(), integer(1), tag(1), integer(5), tag(2), leave(), tag(16)},
     "30 06 02 01 05 01 01 01",
     0},
    {"empty SEQUENCE", {enter(), leave(), tag(16)}, "30 00", 0},
    {"SET of SEQUENCE",
     {enter(), enter(), octets("41"), tag(19), octets("55 04 03"), tag(6), leave(), tag(16),
      leave(), tag(17)},
     "31 0A 30 08 06 03 55 04 03 13 01 41",
     0},
    {"empty contents", {octets(""), tag(4)}, "04 00", 0},
    {"contents in pieces: the last call's octets come first",
     {octets("41 42"), octets("43 44"), tag(4)},
     "04 04 43 44 41 42",
     0},
    {"pre-encoded element", {encoding("02 01 05")}, "02 01 05", 0},
    {"pre-encoded element wrapped", {encoding("02 01 05"), tag(16)}, "30 03 02 01 05", 0},
    {"pre-encoded member beside a written one",
     {enter(), encoding("05 00"), integer(7), tag(2), leave(), tag(16)},
     "30 05 02 01 07 05 00",
     0},
    {"tag number 30 fits the identifier octet", {novalue(), tag(30)}, "1E 00", 0},
    {"tag number 31 takes the high-tag form", {novalue(), tag(31)}, "1F 1F 00", 0},
    {"APPLICATION 31", {novalue(), tag(0x40000000 | 31)}, "5F 1F 00", 0},
    {"context-specific 200", {novalue(), tag(0x80000000 | 200)}, "9F 81 48 00", 0},
    {"PRIVATE 5", {novalue(), tag(0xC0000000 | 5)}, "C5 00", 0},
    {"tag number 127 in one octet", {novalue(), tag(127)}, "1F 7F 00", 0},
    {"tag number 128 in two octets", {novalue(), tag(128)}, "1F 81 00 00", 0},
    {"tag number 16384 in three octets", {novalue(), tag(16384)}, "1F 81 80 00 00", 0},
    {"largest tag number in use", {novalue(), tag(0xFFFFFF)}, "1F 87 FF FF 7F 00", 0},
    {"constructed high tag",
     {enter(), novalue(), tag(5), leave(), tag(0x80000000 | 200)},
     "BF 81 48 02 05 00",
     0},

    {"put_tag on a fresh level", {tag(4)}, "", KOR_ASN1_E_WRONG_MODE},
    {"put_tag on an empty nested level", {enter(), tag(4)}, "", KOR_ASN1_E_WRONG_MODE},
    {"put_int after untagged contents", {octets("01"), integer(5)}, "", KOR_ASN1_E_SEQUENCE},
    {"put_novalue after untagged contents", {integer(5), novalue()}, "", KOR_ASN1_E_SEQUENCE},
    {"put_encoding after untagged contents",
     {integer(5), encoding("05 00")},
     "",
     KOR_ASN1_E_SEQUENCE},
    {"enter after untagged contents", {integer(5), enter()}, "", KOR_ASN1_E_SEQUENCE},
    {"exit after untagged contents", {enter(), integer(5), leave()}, "", KOR_ASN1_E_SEQUENCE},
    {"exit at the outermost level", {leave()}, "", KOR_ASN1_E_LEVEL},
    {"exit of a complete outermost element", {integer(5), tag(2), leave()}, "", KOR_ASN1_E_LEVEL},
    {"a second outermost element", {integer(5), tag(2), integer(6)}, "", KOR_ASN1_E_LEVEL},
    {"a second outermost pre-encoded element",
     {encoding("05 00"), encoding("05 00")},
     "",
     KOR_ASN1_E_LEVEL},
    {"enter after a complete outermost element",
     {integer(5), tag(2), enter()},
     "",
     KOR_ASN1_E_LEVEL},
    {"the first error stays", {tag(4), leave(), integer(1), tag(2)}, "", KOR_ASN1_E_WRONG_MODE},
};

void PrintTo(const WriterCase &c, std::ostream *os) { *os << c.about; }

class WriterTable : public ::testing::TestWithParam<WriterCase> {};

TEST_P(WriterTable, LaysTheExpectedOctets) {
  const WriterCase &c = GetParam();
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  uint8_t buffer[256];
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  for (const WriterCall &call : c.calls) apply(ctx, call);
  EXPECT_EQ(kor_asn1_errno(ctx), c.expected_error) << c.about;
  uint8_t *out = nullptr;
  uint32_t len = 99;
  kor_asn1_get_buf(ctx, &out, &len);
  if (c.expected_error == 0) {
    ASSERT_NE(out, nullptr) << c.about;
    EXPECT_EQ(out + len, buffer + sizeof buffer) << "the encoding ends the caller's buffer";
    EXPECT_EQ(to_hex(out, len), normal_hex(c.expected_hex)) << c.about;
  } else {
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(len, 0u);
  }
  kor_asn1_free_ctx(ctx);
}

INSTANTIATE_TEST_SUITE_P(Calls, WriterTable, ::testing::ValuesIn(kWriterCases));

struct LengthCase {
  uint32_t contents;
  const char *header;  // identifier and length octets
};

// Lengths on every boundary of the short and long forms.
const LengthCase kLengthCases[] = {
    {0, "04 00"},
    {127, "04 7F"},
    {128, "04 81 80"},
    {255, "04 81 FF"},
    {256, "04 82 01 00"},
    {65535, "04 82 FF FF"},
    {65536, "04 83 01 00 00"},
    {16777216, "04 84 01 00 00 00"},
};

TEST(Writer, LengthFormsOnEveryBoundary) {
  for (const LengthCase &c : kLengthCases) {
    std::vector<uint8_t> contents(c.contents, 0x5A);
    std::vector<uint8_t> buffer(c.contents + 8);
    kor_asn1_ctx *ctx = kor_asn1_new_ctx();
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(),
                     static_cast<uint32_t>(buffer.size()));
    kor_asn1_put_octets(ctx, contents.data(), c.contents);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
    uint8_t *out = nullptr;
    uint32_t len = 0;
    kor_asn1_get_buf(ctx, &out, &len);
    std::vector<uint8_t> header = from_hex(c.header);
    ASSERT_EQ(len, header.size() + c.contents) << c.contents;
    EXPECT_EQ(to_hex(out, header.size()), normal_hex(c.header)) << c.contents;
    EXPECT_EQ(kor_asn1_errno(ctx), 0u);
    kor_asn1_free_ctx(ctx);
  }
}

TEST(Writer, FixedBufferExactlyLargeEnoughAndOneShort) {
  const uint8_t expected[] = {0x30, 0x06, 0x02, 0x01, 0x05, 0x01, 0x01, 0x01};
  for (size_t size : {sizeof expected, sizeof expected - 1}) {
    std::vector<uint8_t> buffer(size);
    kor_asn1_ctx *ctx = kor_asn1_new_ctx();
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), static_cast<uint32_t>(size));
    kor_asn1_enter_construct(ctx);
    kor_asn1_put_int(ctx, 1);
    kor_asn1_put_tag(ctx, 1);
    kor_asn1_put_int(ctx, 5);
    kor_asn1_put_tag(ctx, 2);
    kor_asn1_exit_construct(ctx);
    kor_asn1_put_tag(ctx, 16);
    uint8_t *out = nullptr;
    uint32_t len = 0;
    kor_asn1_get_buf(ctx, &out, &len);
    if (size == sizeof expected) {
      EXPECT_EQ(kor_asn1_errno(ctx), 0u);
      EXPECT_EQ(out, buffer.data()) << "an exact buffer is filled from its first octet";
      EXPECT_EQ(to_hex(out, len), to_hex(expected, sizeof expected));
    } else {
      EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_END_OF_DATA);
      EXPECT_EQ(out, nullptr);
    }
    kor_asn1_free_ctx(ctx);
  }
}

TEST(Writer, SecondOutermostElementLeavesTheFirstInTheBuffer) {
  uint8_t buffer[8] = {0};
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  kor_asn1_put_int(ctx, 5);
  kor_asn1_put_tag(ctx, 2);
  kor_asn1_put_octets(ctx, "\x11\x22", 2);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_LEVEL);
  EXPECT_EQ(to_hex(buffer, sizeof buffer), "00 00 00 00 00 02 01 05");
  kor_asn1_free_ctx(ctx);
}

// The outermost level and 39 nested levels fill the 40 frames.
TEST(Writer, NestsThirtyNineLevelsAndRefusesTheFortieth) {
  uint8_t buffer[256];
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  for (int i = 0; i < 39; ++i) kor_asn1_enter_construct(ctx);
  ASSERT_EQ(kor_asn1_errno(ctx), 0u);
  kor_asn1_put_novalue(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_NULL);
  for (int i = 0; i < 39; ++i) {
    kor_asn1_exit_construct(ctx);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  }
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  ASSERT_EQ(kor_asn1_errno(ctx), 0u);
  ASSERT_EQ(len, 39u * 2 + 2);
  for (uint32_t i = 0; i < 39; ++i) {
    EXPECT_EQ(out[2 * i], 0x30);
    EXPECT_EQ(out[2 * i + 1], len - 2 * i - 2);
  }

  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  for (int i = 0; i < 40; ++i) kor_asn1_enter_construct(ctx);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_NESTING);
  kor_asn1_free_ctx(ctx);
}

TEST(Writer, WritersOnADecodingContextAreRefused) {
  uint8_t input[] = {0x05, 0x00};
  for (int call = 0; call < 6; ++call) {
    kor_asn1_ctx *ctx = kor_asn1_new_ctx();
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input, sizeof input);
    switch (call) {
      case 0:
        kor_asn1_put_octets(ctx, "A", 1);
        break;
      case 1:
        kor_asn1_put_int(ctx, 1);
        break;
      case 2:
        kor_asn1_put_novalue(ctx);
        break;
      case 3:
        kor_asn1_put_encoding(ctx, input, 2);
        break;
      case 4:
        kor_asn1_put_tag(ctx, 2);
        break;
      case 5:
        kor_asn1_exit_construct(ctx);
        break;
    }
    EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_WRONG_MODE) << "call " << call;
    kor_asn1_free_ctx(ctx);
  }
}

// Every writer is a no-op once an error is recorded: the buffer stays as it was.
TEST(Writer, StickyErrorLaysNothingMore) {
  uint8_t buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  kor_asn1_put_tag(ctx, 2);
  kor_asn1_put_int(ctx, 5);
  kor_asn1_put_octets(ctx, "abc", 3);
  kor_asn1_put_novalue(ctx);
  kor_asn1_put_encoding(ctx, "\x05\x00", 2);
  kor_asn1_enter_construct(ctx);
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, 4);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_WRONG_MODE);
  for (uint8_t octet : buffer) EXPECT_EQ(octet, 0xEE);
  kor_asn1_free_ctx(ctx);
}

}  // namespace
}  // namespace lyrdua::test
