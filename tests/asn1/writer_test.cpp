// The BER writer through the C API: calling patterns, state rules and limits.
// Tag and length forms are checked against an independent encoder by the
// round-trip property test.
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

// Writer calls apart by blanks: In put_int(n), Tn put_tag(n), O<hex>
// put_octets, P<hex> put_encoding, N put_novalue, [ enter_construct and
// ] exit_construct.
void run_calls(kor_asn1_ctx *ctx, const std::string &text) {
  std::istringstream calls(text);
  for (std::string call; calls >> call;) {
    const std::string arg = call.substr(1);
    const std::vector<uint8_t> data = from_hex(arg);
    const auto size = static_cast<uint32_t>(data.size());
    switch (call[0]) {
      case 'I':
        kor_asn1_put_int(ctx, static_cast<int32_t>(std::stoll(arg)));
        break;
      case 'T':
        kor_asn1_put_tag(ctx, static_cast<uint32_t>(std::stoll(arg, nullptr, 0)));
        break;
      case 'O':
        kor_asn1_put_octets(ctx, data.data(), size);
        break;
      case 'P':
        kor_asn1_put_encoding(ctx, data.data(), size);
        break;
      case 'N':
        kor_asn1_put_novalue(ctx);
        break;
      case '[':
        kor_asn1_enter_construct(ctx);
        break;
      case ']':
        kor_asn1_exit_construct(ctx);
        break;
      default:
        FAIL() << "unknown call " << call;
    }
  }
}

struct WriterCase {
  const char *about;
  const char *calls;
  const char *expected_hex;  // the encoding when no error is expected
  uint32_t expected_error;
  size_t capacity = 256;
};

const WriterCase kWriterCases[] = {
    // INTEGER contents in the fewest octets, on every boundary.
    {"zero takes one octet", "I0 T2", "02 01 00", 0},
    {"127 is the largest one-octet value", "I127 T2", "02 01 7F", 0},
    {"128 needs a leading zero octet", "I128 T2", "02 02 00 80", 0},
    {"-128 is the smallest one-octet value", "I-128 T2", "02 01 80", 0},
    {"-129 needs two octets", "I-129 T2", "02 02 FF 7F", 0},
    {"INT32_MAX", "I2147483647 T2", "02 04 7F FF FF FF", 0},
    {"INT32_MIN", "I-2147483648 T2", "02 04 80 00 00 00", 0},
    {"NULL has no contents", "N T5", "05 00", 0},
    {"explicit tag wraps a complete element", "I5 T2 T0x80000000", "A0 03 02 01 05", 0},
    {"SEQUENCE written last member first", "[ I1 T1 I5 T2 ] T16", "30 06 02 01 05 01 01 01", 0},
    {"contents in pieces: the last call's octets come first", "O4142 O4344 T4", "04 04 43 44 41 42",
     0},
    {"pre-encoded element", "P020105", "02 01 05", 0},
    {"pre-encoded element wrapped", "P020105 T16", "30 03 02 01 05", 0},
    {"pre-encoded member beside a written one", "[ P0500 I7 T2 ] T16", "30 05 02 01 07 05 00", 0},
    // A buffer exactly large enough is filled from its first octet; one short fails.
    {"exact buffer", "[ I1 T1 I5 T2 ] T16", "30 06 02 01 05 01 01 01", 0, 8},
    {"buffer one octet short", "[ I1 T1 I5 T2 ] T16", "", KOR_ASN1_E_END_OF_DATA, 7},
    {"put_tag on a fresh level", "T4", "", KOR_ASN1_E_WRONG_MODE},
    {"put_tag on an empty nested level", "[ T4", "", KOR_ASN1_E_WRONG_MODE},
    {"put_int after untagged contents", "O01 I5", "", KOR_ASN1_E_SEQUENCE},
    {"put_novalue after untagged contents", "I5 N", "", KOR_ASN1_E_SEQUENCE},
    {"put_encoding after untagged contents", "I5 P0500", "", KOR_ASN1_E_SEQUENCE},
    {"enter after untagged contents", "I5 [", "", KOR_ASN1_E_SEQUENCE},
    {"exit after untagged contents", "[ I5 ]", "", KOR_ASN1_E_SEQUENCE},
    {"exit at the outermost level", "]", "", KOR_ASN1_E_LEVEL},
    {"exit of a complete outermost element", "I5 T2 ]", "", KOR_ASN1_E_LEVEL},
    {"a second outermost element", "I5 T2 I6", "", KOR_ASN1_E_LEVEL},
    {"a second outermost pre-encoded element", "P0500 P0500", "", KOR_ASN1_E_LEVEL},
    {"enter after a complete outermost element", "I5 T2 [", "", KOR_ASN1_E_LEVEL},
    {"the first error stays", "T4 ] I1 T2", "", KOR_ASN1_E_WRONG_MODE},
};

void PrintTo(const WriterCase &c, std::ostream *os) { *os << c.about; }

class WriterTable : public ::testing::TestWithParam<WriterCase> {};

TEST_P(WriterTable, LaysTheExpectedOctets) {
  const WriterCase &c = GetParam();
  Ctx ctx;
  std::vector<uint8_t> buffer(c.capacity);
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), static_cast<uint32_t>(c.capacity));
  run_calls(ctx, c.calls);
  EXPECT_EQ(kor_asn1_errno(ctx), c.expected_error);
  uint8_t *out = nullptr;
  uint32_t len = 99;
  kor_asn1_get_buf(ctx, &out, &len);
  if (c.expected_error != 0) {
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(len, 0u);
    return;
  }
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out + len, buffer.data() + c.capacity) << "the encoding ends the caller's buffer";
  EXPECT_EQ(to_hex(out, len), normal_hex(c.expected_hex));
}

INSTANTIATE_TEST_SUITE_P(Calls, WriterTable, ::testing::ValuesIn(kWriterCases));

// The four-octet length form, beyond what the round-trip trees reach.
TEST(Writer, ContentsOf16MiBTakeFourLengthOctets) {
  std::vector<uint8_t> contents(1u << 24, 0x5A), buffer(contents.size() + 8);
  Ctx ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), static_cast<uint32_t>(buffer.size()));
  kor_asn1_put_octets(ctx, contents.data(), 1u << 24);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  ASSERT_EQ(len, (1u << 24) + 6);
  EXPECT_EQ(to_hex(out, 6), "04 84 01 00 00 00");
}

// A failed element leaves what was laid before it, and every writer is a no-op
// once an error is recorded.
TEST(Writer, AnErrorLaysNothingMore) {
  uint8_t buffer[8] = {0};
  Ctx ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  kor_asn1_put_int(ctx, 5);
  kor_asn1_put_tag(ctx, 2);
  kor_asn1_put_octets(ctx, "\x11\x22", 2);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_LEVEL);
  kor_asn1_enter_construct(ctx);
  kor_asn1_put_novalue(ctx);
  kor_asn1_put_encoding(ctx, "\x05\x00", 2);
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, 4);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_LEVEL);
  EXPECT_EQ(to_hex(buffer, sizeof buffer), "00 00 00 00 00 02 01 05");
}

// The outermost level and 39 nested levels fill the 40 frames.
TEST(Writer, NestsThirtyNineLevelsAndRefusesTheFortieth) {
  uint8_t buffer[256];
  Ctx ctx;
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
  for (uint32_t i = 0; i < 39; ++i)
    EXPECT_EQ(to_hex(out + 2 * i, 2), to_hex({0x30, static_cast<uint8_t>(len - 2 * i - 2)}));

  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  for (int i = 0; i < 40; ++i) kor_asn1_enter_construct(ctx);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_NESTING);
}

}  // namespace
}  // namespace lyrdua::test
