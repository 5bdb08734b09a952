// The OBJECT IDENTIFIER wrap and unwrap helpers of the schema code.
#include <gtest/gtest.h>
#include <lyrdua/kor_asn1.h>

#include <vector>

#include "asn1/oid_wrap.hpp"
#include "tests/support/hex.hpp"

namespace lyrdua::test {
namespace {

using asn1::oid_contents_from_ber;
using asn1::oid_contents_to_ber;

TEST(OidWrap, WrapsContentsAtTheEndOfTheBuffer) {
  const uint8_t contents[] = {0x55, 0x04, 0x03};
  uint8_t buffer[16];
  uint32_t len = sizeof buffer;
  const uint8_t *out = nullptr;
  EXPECT_EQ(oid_contents_to_ber(contents, sizeof contents, buffer, &len, &out), 0u);
  EXPECT_EQ(out, buffer + 11);
  EXPECT_EQ(to_hex(out, len), "06 03 55 04 03");
}

TEST(OidWrap, TooSmallABufferFailsWithNothing) {
  const uint8_t contents[] = {0x55, 0x04, 0x03};
  uint8_t buffer[4];
  uint32_t len = sizeof buffer;
  const uint8_t *out = buffer;
  EXPECT_EQ(oid_contents_to_ber(contents, sizeof contents, buffer, &len, &out),
            KOR_ASN1_E_END_OF_DATA);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(len, 0u);
}

struct UnwrapCase {
  const char *about;
  const char *encoding;
  uint32_t expected_error;
  const char *expected_contents;
};

const UnwrapCase kUnwrapCases[] = {
    {"commonName", "06 03 55 04 03", 0, "55 04 03"},
    {"a long OID", "06 09 2A 86 48 86 F7 0D 01 09 01", 0, "2A 86 48 86 F7 0D 01 09 01"},
    {"empty contents", "06 00", 0, ""},
    {"another tag", "04 03 55 04 03", KOR_ASN1_E_UNEXPECTED_TAG, ""},
    // The joined copy of a constructed form would not outlive the call.
    {"constructed form is refused", "26 05 04 03 55 04 03", KOR_ASN1_E_UNEXPECTED_TAG, ""},
    {"contents past the bound", "06 05 55 04", KOR_ASN1_E_END_OF_DATA, ""},
    {"nothing at all", "", KOR_ASN1_E_END_OF_DATA, ""},
};

TEST(OidWrap, UnwrapsContentsInPlace) {
  for (const UnwrapCase &c : kUnwrapCases) {
    std::vector<uint8_t> encoding = from_hex(c.encoding);
    const uint8_t *out = nullptr;
    uint32_t len = 99;
    uint32_t error =
        oid_contents_from_ber(static_cast<uint32_t>(encoding.size()), encoding.data(), &len, &out);
    EXPECT_EQ(error, c.expected_error) << c.about;
    if (error == 0) {
      EXPECT_EQ(to_hex(out, len), normal_hex(c.expected_contents)) << c.about;
      if (len != 0) {
        EXPECT_EQ(out, encoding.data() + 2) << c.about;
      }
    } else {
      EXPECT_EQ(out, nullptr) << c.about;
      EXPECT_EQ(len, 0u) << c.about;
    }
  }
}

}  // namespace
}  // namespace lyrdua::test
