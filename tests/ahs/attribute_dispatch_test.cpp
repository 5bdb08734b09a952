// Attribute types and values through the schema: keywords to OIDs and back,
// and one value of every syntax through the dispatch in both directions.
#include <gtest/gtest.h>

#include "tests/ahs/dn_support.hpp"

namespace lyrdua::test {
namespace {

const uint32_t kUnknown = KOR_AHS_E_UNKNOWN_ATTR;
const uint32_t kTag = KOR_AHS_E_WRONG_TAG, kCut = KOR_AHS_TRUNCATED;
const char *const kClass = "objectClass";
const char *const kPassword = "userPassword";

uintptr_t aux_of(kor_sc_schema *schema) { return reinterpret_cast<uintptr_t>(schema); }

Outcome encode_value(kor_sc_schema *schema, const std::string &type, const std::string &value,
                     int32_t value_len) {
  return encode_by([&](kor_asn1_ctx *ctx) {
    return kor_ahs_ExtToInt_attrvalueA(type.data(), length_of(type), value.data(), value_len, ctx,
                                       schema);
  });
}

Outcome decode_value(kor_sc_schema *schema, const std::string &type, const std::string &hex,
                     uint32_t capacity) {
  return decode_by<char>(hex, capacity, [&](kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
    return kor_ahs_IntToExt_attrvalueA(type.data(), length_of(type), ctx, out, out_len, schema);
  });
}

// A decoding row: attribute keyword (unused for types), input, capacity, and
// what comes back; the event is the result when that is an event code.
struct DecodeCase {
  const char *about;
  const char *keyword;
  const char *hex;
  uint32_t capacity;
  uint32_t result;
  std::string text;
  uint32_t out_len;
  std::vector<std::string> params = {};
};

void expect_decoded(const DecodeCase &c, const Outcome &o) {
  EXPECT_EQ(o.result, c.result) << c.about;
  EXPECT_EQ(o.text, c.text) << c.about;
  EXPECT_EQ(o.out_len, c.out_len) << c.about;
  EXPECT_EQ(o.event.code, c.result >= 0xE6F00000u ? c.result : 0u) << c.about;
  EXPECT_EQ(o.event.params, c.params) << c.about;
}

struct TypeCase {
  const char *about;
  std::string keyword;
  uint32_t result;
  const char *hex;
};

const TypeCase kTypeEncodeCases[] = {
    {"first keyword", "CN", 0, "06 03 55 04 03"},
    {"formal name in another case", "COMMONNAME", 0, "06 03 55 04 03"},
    {"a long OID", "mail", 0, "06 0A 09 92 26 89 93 F2 2C 64 01 03"},
    {"unknown keyword", "colour", kUnknown, ""},
    {"empty keyword", "", kUnknown, ""},
};

const DecodeCase kTypeDecodeCases[] = {
    {"first keyword", "", "06 03 55 04 03", 64, 0, "CN", 2},
    {"keyword and NUL just fit", "", "06 03 55 04 03", 3, 0, "CN", 2},
    // Never truncated: a keyword without room for its NUL is a failure.
    {"one short", "", "06 03 55 04 03", 2, KOR_AHS_E_DECODE, "", 2},
    {"OID the schema lacks", "", "06 02 2A 03", 64, kUnknown, "", 64},
    {"not an OID", "", "04 01 41", 64, kTag, "", 64, {"4", "6 (OBJECT_ID)"}},
    {"no element", "", "", 64, KOR_AHS_NO_ELEMENT, "", 64},
};

TEST(AttributeType, BothWays) {
  OpenSchema schema;
  for (const TypeCase &c : kTypeEncodeCases) {
    Outcome o = encode_by([&](kor_asn1_ctx *ctx) {
      return kor_ahs_ExtToInt_attrtypeA(c.keyword.data(), length_of(c.keyword), ctx,
                                        aux_of(schema.get()));
    });
    EXPECT_EQ(o.result, c.result) << c.about;
    EXPECT_EQ(o.hex, normal_hex(c.hex)) << c.about;
    EXPECT_EQ(o.event.code, c.result) << c.about;
  }
  for (const DecodeCase &c : kTypeDecodeCases) {
    expect_decoded(
        c, decode_by<char>(c.hex, c.capacity, [&](kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
          return kor_ahs_IntToExt_attrtypeA(ctx, out, out_len, aux_of(schema.get()));
        }));
  }
}

// One value of each syntax number, with the attribute of that syntax in the
// fixture schema. Byte syntaxes take and give the value's bytes. Syntaxes that
// share a handler or a copying rule are represented by the first and last.
struct SyntaxCase {
  uint32_t syntax;
  const char *keyword;
  std::string value;
  const char *hex;
  std::string decoded;  // the text the decoder gives back for hex
};

const std::string kNull("\x05\x00", 2);

const SyntaxCase kSyntaxCases[] = {
    {0, "unknownSyntaxAttr", kNull, "05 00", kNull},
    {2, "objectIdentifierAttr", "1.2.3", "06 02 2A 03", "1.2.3"},
    {3, "aciAttr", "\x04\x01\x41", "04 01 41", "\x04\x01\x41"},
    {4, "printableStringAttr", "Anne", "13 04 41 6E 6E 65", "Anne"},
    {5, "numericStringAttr", "12 34", "12 05 31 32 20 33 34", "12 34"},
    {6, "booleanAttr", "t", "01 01 01", "TRUE"},
    {7, "integerAttr", "-129", "02 02 FF 7F", "-129"},
    {8, "octetStringAttr", std::string("a\0z", 3), "04 03 61 00 7A", std::string("a\0z", 3)},
    {9, "uTCTimeAttr", "9712312359Z", "17 0B 39 37 31 32 33 31 32 33 35 39 5A", "9712312359Z"},
    {12, "stringAttr", "caf\xE9", "14 04 63 61 66 E9", "caf\xE9"},
    {15, "postalAddressAttr", "A$B C", "30 08 13 01 41 13 03 42 20 43", "A$B C"},
    {16, "telexNumberAttr", "1$DE$AB", "30 0B 13 01 31 13 02 44 45 13 02 41 42", "1$DE$AB"},
    {18, "facsimileTelephoneNumberAttr", "12345$fineResolution$uncompressed",
     "30 0E 13 05 31 32 33 34 35 03 05 01 00 40 00 02", "12345$fineResolution$uncompressed"},
    {23, "bitStringAttr", "1 0 1", "03 02 05 A0", "101"},
    {24, "t61StringAttr", "caf\xE9", "14 05 63 61 66 C2 65", "caf\xE9"},
    {27, "iA5StringAttr", "a@b", "16 03 61 40 62", "a@b"},
    {31, "enumeratedAttr", "\x0A\x01\x02", "0A 01 02", "\x0A\x01\x02"},
    {34, "distinguishedNameAttr", "CN=a, C=GB",
     "30 19 31 0B 30 09 06 03 55 04 06 13 02 47 42 31 0A 30 08 06 03 55 04 03 13 01 61",
     "CN=a,C=GB"},
    {37, "qamMtsRoutingDomainGdiAttr", kNull, "05 00", kNull},
};

TEST(AttributeValue, EverySyntaxBothWays) {
  OpenSchema schema(kAllSyntaxesSchema);
  ASSERT_EQ(schema.result(), KOR_OK);
  for (const SyntaxCase &c : kSyntaxCases) {
    ASSERT_EQ(syntax_number(schema.attr(c.keyword)), c.syntax) << c.keyword;
    Outcome e = encode_value(schema.get(), c.keyword, c.value, length_of(c.value));
    EXPECT_EQ(e.result, 0u) << c.keyword;
    EXPECT_EQ(e.hex, normal_hex(c.hex)) << c.keyword;
    Outcome d = decode_value(schema.get(), c.keyword, c.hex, 256);
    EXPECT_EQ(d.result, 0u) << c.keyword;
    EXPECT_EQ(d.text, c.decoded) << c.keyword;
  }
}

struct ValueCase {
  const char *about;
  const char *keyword;
  std::string value;
  uint32_t result;
  const char *hex;
  uint32_t event;           // the event raised, 0 for none
  bool terminated = false;  // passed with length -1
};

const uint32_t kNone = KOR_AHS_UNSUPPORTED, kOidE = KOR_AHS_E_OID, kOidChar = KOR_AHS_E_OID_CHAR;

const ValueCase kValueEncodeCases[] = {
    {"object class by keyword", kClass, "person", 0, "06 03 55 06 06", 0},
    {"object class in dotted form", kClass, "2.5.6.6", 0, "06 03 55 06 06", 0},
    {"object class the schema lacks", kClass, "robot", kOidE, "", kOidChar},
    // Only the object-class attribute takes class keywords.
    {"other OID attribute", "supportedApplicationContext", "person", kOidE, "", kOidChar},
    {"NUL-terminated text value", "CN", "Anne", 0, "13 04 41 6E 6E 65", 0, true},
    // Byte values have no terminator: -1 is refused with 9, nothing laid.
    {"byte value without length", kPassword, "pw", kNone, "", 0, true},
    {"raw value without length", "presentationAddress", "\x05", kNone, "", 0, true},
    {"no conversion for the syntax", "teletexTerminalIdentifier", "x", kNone, "", 0},
    {"unknown keyword", "colour", "red", kUnknown, "", kUnknown},
    {"syntax handler's event passes", "C", "G&", KOR_AHS_E_PRINTABLE_CHAR, "",
     KOR_AHS_E_PRINTABLE_CHAR},
};

TEST(AttributeValue, Encoding) {
  OpenSchema schema;
  for (const ValueCase &c : kValueEncodeCases) {
    Outcome o =
        encode_value(schema.get(), c.keyword, c.value, c.terminated ? -1 : length_of(c.value));
    EXPECT_EQ(o.result, c.result) << c.about;
    EXPECT_EQ(o.hex, normal_hex(c.hex)) << c.about;
    EXPECT_EQ(o.event.code, c.event) << c.about;
  }
}

const DecodeCase kValueDecodeCases[] = {
    {"class by formal name", kClass, "06 03 55 06 06", 64, 0, "person", 6},
    {"class the schema lacks", kClass, "06 03 55 06 63", 64, 0, "2.5.6.99", 8},
    // A formal name that does not fit: 6, the cut name, out_len unchanged.
    {"formal name cut", kClass, "06 03 55 06 06", 4, kCut, "per", 4},
    {"object class not an OID", kClass, "04 00", 64, kTag, "", 64, {"4", "6 (OBJECT_ID)"}},
    {"other OID attribute", "supportedApplicationContext", "06 03 55 06 06", 64, 0, "2.5.6.6", 7},
    {"octet string cut", kPassword, "04 03 61 62 63", 2, kCut, "ab", 3},
    {"octet string wrong tag", kPassword, "02 01 05", 64, kTag, "", 64, {"2", "4 (OCTET STRING)"}},
    {"whole element copied", "teletexTerminalIdentifier", "13 01 41", 64, 0, "\x13\x01\x41", 3},
    {"no element", "presentationAddress", "", 64, KOR_AHS_NO_ELEMENT, "", 64},
    {"unknown keyword", "colour", "13 01 41", 64, KOR_AHS_E_SCHEMA, "", 64},
};

TEST(AttributeValue, Decoding) {
  OpenSchema schema;
  for (const DecodeCase &c : kValueDecodeCases)
    expect_decoded(c, decode_value(schema.get(), c.keyword, c.hex, c.capacity));
}

TEST(AttributeValue, AttributeWithoutSyntaxFailsBothWays) {
  OpenSchema schema(kAllSyntaxesSchema);
  EXPECT_EQ(encode_value(schema.get(), "noSyntaxAttr", "x", 1).result, KOR_AHS_E_SCHEMA);
  EXPECT_EQ(decode_value(schema.get(), "noSyntaxAttr", "13 01 78", 8).result, KOR_AHS_E_SCHEMA);
}

}  // namespace
}  // namespace lyrdua::test
