// The structure form of distinguished names: what the parser records, how the
// formatter quotes and escapes, the output contract at every capacity, parsing
// in place, and release.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/ahs/dn_support.hpp"

namespace lyrdua::test {
namespace {

std::string format(const kor_ahs_dn &dn, uint32_t capacity, uint32_t *result, uint32_t *out_len) {
  std::vector<char> out(capacity + 1, '\x7F');
  *out_len = capacity;
  *result = kor_ahs_StructToExt_DistinguishedNameA(&dn, out.data(), out_len);
  EXPECT_EQ(out[capacity], '\x7F') << "written past the capacity";
  return capacity == 0 ? std::string() : std::string(out.data());
}

struct ParseCase {
  const char *about;
  std::string text;
  uint32_t result;
  const char *shape;
  const char *formatted;
};

const ParseCase kParseCases[] = {
    {"two RDNs, the first of two AVAs", "CN=a+SN=b,O=c", 0, "CN|a|0+SN|b|0,O|c|0", "CN=a+SN=b,O=c"},
    {"white space around types and before separators", "CN = x , O=y", 0, "CN|x |0,O|y|0",
     "CN=x ,O=y"},
    {"hex value", "CN=#0101", 0, "CN|0101|1", "CN=0101"},
    {"quoted value with a comma", "O=\"Acme, Inc.\";C=GB", 0, "O|Acme, Inc.|0,C|GB|0",
     "O=\"Acme, Inc.\",C=GB"},
    {"escaped backslash and quote", "CN=a\\\\b\\\"c", 0, "CN|a\\b\"c|0", "CN=a\\\\b\\\"c"},
    {"quotes and backslashes inside quotes", "CN=\"x+\\\"\"", 0, "CN|x+\"|0", "CN=\"x+\\\"\""},
    {"types are kept as written", "oid.2.5.4.3=x", 0, "oid.2.5.4.3|x|0", "oid.2.5.4.3=x"},
    // Chosen: an escape at the very end adds nothing.
    {"final backslash", "CN=a\\", 0, "CN|a|0", "CN=a"},
    {"line feeds are white space", "\nCN=a,\nO=b", 0, "CN|a|0,O|b|0", "CN=a,O=b"},
    {"an unquoted value keeps white space before its separator", "CN=a \n,O=b", 0,
     "CN|a \n|0,O|b|0", "CN=a \n,O=b"},
    {"only white space", "   ", 0, "", ""},
    {"quote never closed", "CN=\"a,b", 0, "CN|a,b|0", "CN=\"a,b\""},
    {"a closing quote may end an RDN", "CN=\"a\"O=b", 0, "CN|a|0,O|b|0", "CN=a,O=b"},
    {"ends where a type is expected", "CN=a,  ", KOR_AHS_E_DN_END, "", ""},
    {"ends after '+'", "CN=a+", KOR_AHS_E_DN_END, "", ""},
    {"no '='", "CN", KOR_AHS_E_DN_END, "", ""},
    {"separator at the end", "CN=a,", KOR_AHS_E_DN_SYNTAX, "", ""},
    {"empty type", " =x", KOR_AHS_E_DN_SYNTAX, "", ""},
    {"separator where a value begins", "CN=,x", KOR_AHS_E_DN_SYNTAX, "", ""},
    {"quote inside a value", "CN=a\"", KOR_AHS_E_DN_QUOTE, "", ""},
    {"empty value in the second RDN", "CN=a,O=", KOR_AHS_E_DN_EMPTY_VALUE, "", ""},
};

TEST(DnStructure, ParseAndFormat) {
  for (const ParseCase &c : kParseCases) {
    EventProbe events;
    std::vector<char> buffer(c.text.size() + 1);
    kor_ahs_dn dn{};
    dn.buffer = buffer.data();
    std::string text = c.text;
    EXPECT_EQ(kor_ahs_ExtToStruct_DistinguishedNameA(text.data(), length_of(text), &dn), c.result)
        << c.about;
    EXPECT_EQ(events.single().code, c.result) << c.about;
    EXPECT_EQ(text, c.text) << "a buffer of its own leaves the text";
    // Chosen: a failed parse leaves the record empty.
    EXPECT_EQ(shape(dn), c.shape) << c.about;
    if (c.result != KOR_OK) continue;
    uint32_t result = 0, out_len = 0;
    EXPECT_EQ(format(dn, 64, &result, &out_len), c.formatted) << c.about;
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(out_len, std::strlen(c.formatted));
    kor_ahs_Free_DistinguishedName(&dn);
  }
}

TEST(DnStructure, FormatAtEveryCapacity) {
  char text[] = "CN=a\\\"b+SN=\"x,y\",O=c";
  kor_ahs_dn dn{};
  ASSERT_EQ(kor_ahs_ExtToStruct_DistinguishedNameA(text, -1, &dn), KOR_OK);
  const std::string whole = "CN=a\\\"b+SN=\"x,y\",O=c";
  for (uint32_t capacity = 0; capacity <= whole.size() + 1; ++capacity) {
    uint32_t result = 0, out_len = 0;
    std::string out = format(dn, capacity, &result, &out_len);
    bool fits = capacity > whole.size();
    EXPECT_EQ(result, fits ? KOR_OK : KOR_AHS_TRUNCATED) << capacity;
    EXPECT_EQ(out_len, fits ? whole.size() : whole.size() + 1) << capacity;
    EXPECT_EQ(out,
              whole.substr(0, capacity == 0 ? 0 : std::min<size_t>(capacity - 1, whole.size())))
        << capacity;
  }
  kor_ahs_Free_DistinguishedName(&dn);
}

TEST(DnStructure, NullBufferParsesInPlace) {
  char text[] = "CN=\\,x";
  kor_ahs_dn dn{};
  ASSERT_EQ(kor_ahs_ExtToStruct_DistinguishedNameA(text, -1, &dn), KOR_OK);
  EXPECT_EQ(dn.buffer, text);
  EXPECT_EQ(std::string(text, 5), "CN=,x");  // the value moved over the escape
  EXPECT_EQ(as_text(dn.rdn.ava.value, dn.rdn.ava.value_len), ",x");
  kor_ahs_Free_DistinguishedName(&dn);
}

// The record of the empty name encodes as an empty SEQUENCE; other records
// are compared with the text handler on generated names (dn_roundtrip_test.cpp).
TEST(DnStructure, EmptyRecordEncodesTheEmptyName) {
  OpenSchema schema;
  kor_ahs_dn none{};
  Outcome empty = encode_by([&](kor_asn1_ctx *ctx) {
    return kor_ahs_StructTo_Int_DistinguishedNameA(&none, ctx, schema.get());
  });
  EXPECT_EQ(empty.result, 0u);
  EXPECT_EQ(empty.hex, "30 00");
}

TEST(DnStructure, WideParseAndFormat) {
  std::vector<kor_wchar> text = widen("CN=a+SN=\"b,c\", O=d");
  kor_ahs_dnW dn{};
  ASSERT_EQ(kor_ahs_ExtToStruct_DistinguishedNameW(text.data(), -1, &dn), KOR_OK);
  EXPECT_EQ(shape(dn), "CN|a|0+SN|b,c|0,O|d|0");
  std::vector<kor_wchar> out(32);
  uint32_t out_len = 32;
  EXPECT_EQ(kor_ahs_StructToExt_DistinguishedNameW(&dn, out.data(), &out_len), KOR_OK);
  EXPECT_EQ(as_text(out.data(), out_len), "CN=a+SN=\"b,c\",O=d");
  kor_ahs_Free_DistinguishedName(&dn);
}

}  // namespace
}  // namespace lyrdua::test
