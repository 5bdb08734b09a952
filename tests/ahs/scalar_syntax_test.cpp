// Boolean, bit string, integer, octet string, object identifier and UTC time
// handlers: text to BER and BER to text, with the events they raise. Every
// row runs through the A handler and, where the W handler converts, through
// the W handler with the same text, which must give the same results.
#include <gtest/gtest.h>

#include "tests/ahs/syntax_harness.hpp"

namespace lyrdua::test {
namespace {

const char kUtcForms[] = ", valid forms, YYMMDDhhmmZ or YYMMDDhhmmssZ or YYMMDDhhmmss\xB1hhss";

struct EncodeCase {
  const char *about;
  EncoderA a;
  EncoderW w;  // null: the W handler has no conversion
  std::string text;
  uint32_t result;
  const char *hex;  // the encoding (empty on failure: nothing written)
  std::vector<std::string> params;
};

void PrintTo(const EncodeCase &c, std::ostream *os) { *os << c.about; }

#define BOOLEAN kor_ahs_ExtToInt_BooleanA, kor_ahs_ExtToInt_BooleanW
#define BITS kor_ahs_ExtToInt_BitStringA, kor_ahs_ExtToInt_BitStringW
#define INTEGER kor_ahs_ExtToInt_IntegerA, kor_ahs_ExtToInt_IntegerW
#define OCTETS kor_ahs_ExtToInt_OctetStringA, kor_ahs_ExtToInt_OctetStringW
#define OID kor_ahs_ExtToInt_OidA, kor_ahs_ExtToInt_OidW
#define UTC kor_ahs_ExtToInt_UTCTimeA, nullptr

const EncodeCase kEncodeCases[] = {
    {"TRUE", BOOLEAN, "TRUE", 0, "01 01 01", {}},
    {"true", BOOLEAN, "true", 0, "01 01 01", {}},
    {"t", BOOLEAN, "t", 0, "01 01 01", {}},
    {"mixed-case prefix Tr", BOOLEAN, "Tr", 0, "01 01 01", {}},
    {"F", BOOLEAN, "F", 0, "01 01 00", {}},
    {"fAlSe", BOOLEAN, "fAlSe", 0, "01 01 00", {}},
    {"empty boolean", BOOLEAN, "", KOR_AHS_E_BOOLEAN_EMPTY, "", {}},
    {"yes", BOOLEAN, "yes", KOR_AHS_E_BOOLEAN_VALUE, "", {}},
    {"truex", BOOLEAN, "truex", KOR_AHS_E_BOOLEAN_VALUE, "", {}},
    {"1 is not a boolean", BOOLEAN, "1", KOR_AHS_E_BOOLEAN_VALUE, "", {}},

    {"empty bit string", BITS, "", 0, "03 00", {}},
    {"spaces only", BITS, "   ", 0, "03 00", {}},
    {"1 0 1", BITS, "1 0 1", 0, "03 02 05 A0", {}},
    {"nine bits", BITS, "10100101 1", 0, "03 03 07 A5 80", {}},
    {"eight ones", BITS, "11111111", 0, "03 02 00 FF", {}},
    {"sixteen zeros", BITS, "0000000000000000", 0, "03 03 00 00 00", {}},
    {"a letter", BITS, "1x", KOR_AHS_E_BITS_CHAR, "", {"1x"}},
    {"a NUL inside the length",
     BITS,
     std::string("10\0"
                 "1",
                 4),
     KOR_AHS_E_BITS_CHAR,
     "",
     {"10"}},

    {"0", INTEGER, "0", 0, "02 01 00", {}},
    {"127", INTEGER, "127", 0, "02 01 7F", {}},
    {"128", INTEGER, "128", 0, "02 02 00 80", {}},
    {"256", INTEGER, "256", 0, "02 02 01 00", {}},
    {"+5", INTEGER, "+5", 0, "02 01 05", {}},
    {"leading zeros", INTEGER, "007", 0, "02 01 07", {}},
    {"-1", INTEGER, "-1", 0, "02 01 FF", {}},
    {"-128", INTEGER, "-128", 0, "02 01 80", {}},
    {"-129", INTEGER, "-129", 0, "02 02 FF 7F", {}},
    {"-256", INTEGER, "-256", 0, "02 02 FF 00", {}},
    {"-32768", INTEGER, "-32768", 0, "02 02 80 00", {}},
    {"-0", INTEGER, "-0", 0, "02 01 00", {}},
    {"2^64", INTEGER, "18446744073709551616", 0, "02 09 01 00 00 00 00 00 00 00 00", {}},
    {"40 digits",
     INTEGER,
     "1234567890123456789012345678901234567890",
     0,
     "02 11 03 A0 C9 20 75 C0 DB F3 B8 AC BC 5F 96 CE 3F 0A D2",
     {}},
    {"empty integer", INTEGER, "", 0, "02 00", {}},
    {"lone minus", INTEGER, "-", 0, "02 00", {}},
    {"lone plus", INTEGER, "+", 0, "02 00", {}},
    {"leading space", INTEGER, " 5", KOR_AHS_E_INTEGER_CHAR, "", {" "}},
    {"trailing space", INTEGER, "5 ", KOR_AHS_E_INTEGER_CHAR, "", {" "}},
    {"second sign", INTEGER, "--5", KOR_AHS_E_INTEGER_CHAR, "", {"-"}},
    {"decimal point", INTEGER, "1.5", KOR_AHS_E_INTEGER_CHAR, "", {"."}},

    {"0aFF", OCTETS, "0aFF", 0, "04 02 0A FF", {}},
    {"empty octet string", OCTETS, "", 0, "04 00", {}},
    {"odd length", OCTETS, "0aF", KOR_AHS_E_HEX_ODD, "", {}},
    {"bad second digit", OCTETS, "0G", KOR_AHS_E_HEX_CHAR, "", {"G"}},
    {"bad first digit", OCTETS, "G0", KOR_AHS_E_HEX_CHAR, "", {"G"}},
    {"space between pairs", OCTETS, "0A 0BC", KOR_AHS_E_HEX_CHAR, "", {" "}},
    {"'g' is just past the table", OCTETS, "0g", KOR_AHS_E_HEX_CHAR, "", {"g"}},

    {"2.5.4.3", OID, "2.5.4.3", 0, "06 03 55 04 03", {}},
    {"spaces separate too", OID, "2 5 4 3", 0, "06 03 55 04 03", {}},
    {"separators around and between", OID, " ..2. .5..4 3. ", 0, "06 03 55 04 03", {}},
    {"RSA", OID, "1.2.840.113549", 0, "06 06 2A 86 48 86 F7 0D", {}},
    {"0.0", OID, "0.0", 0, "06 01 00", {}},
    {"first arc 3", OID, "3.0", 0, "06 01 78", {}},
    {"largest first pair", OID, "53687091.7", 0, "06 05 87 FF FF FF 7F", {}},
    {"first pair too large",
     OID,
     "53687091.8",
     KOR_AHS_E_OID,
     "",
     {"Too large a value for the first subid"}},
    {"huge first arc",
     OID,
     "99999999999999999999999.1",
     KOR_AHS_E_OID,
     "",
     {"Too large a value for the first subid"}},
    {"arc of 2^64",
     OID,
     "1.2.18446744073709551616",
     0,
     "06 0B 2A 82 80 80 80 80 80 80 80 80 00",
     {}},
    {"second arc 40", OID, "1.40", KOR_AHS_E_OID, "", {"Second subid must be less than 40"}},
    {"second arc checked before the first",
     OID,
     "99999999999.40",
     KOR_AHS_E_OID,
     "",
     {"Second subid must be less than 40"}},
    {"one arc", OID, "2", KOR_AHS_E_OID, "", {"More than one subid required"}},
    {"spaces only", OID, "   ", KOR_AHS_E_OID, "", {"More than one subid required"}},
    {"empty OID", OID, "", KOR_AHS_E_OID, "", {"Insufficient number of subids"}},

    {"minutes and Z", UTC, "9712312359Z", 0, "17 0B 39 37 31 32 33 31 32 33 35 39 5A", {}},
    {"seconds and z", UTC, "971231235959z", 0, "17 0D 39 37 31 32 33 31 32 33 35 39 35 39 7A", {}},
    {"no zone", UTC, "9712312359", 0, "17 0A 39 37 31 32 33 31 32 33 35 39", {}},
    {"seconds, no zone", UTC, "971231235959", 0, "17 0C 39 37 31 32 33 31 32 33 35 39 35 39", {}},
    {"positive offset",
     UTC,
     "9712312359+0100",
     0,
     "17 0F 39 37 31 32 33 31 32 33 35 39 2B 30 31 30 30",
     {}},
    {"seconds and negative offset",
     UTC,
     "971231235959-0530",
     0,
     "17 11 39 37 31 32 33 31 32 33 35 39 35 39 2D 30 35 33 30",
     {}},
    {"trailing spaces are not stored",
     UTC,
     "9712312359Z  ",
     0,
     "17 0B 39 37 31 32 33 31 32 33 35 39 5A",
     {}},
    {"empty time", UTC, "", 0, "17 00", {}},
    {"29 February in any year",
     UTC,
     "9702291200Z",
     0,
     "17 0B 39 37 30 32 32 39 31 32 30 30 5A",
     {}},
    {"spaces only",
     UTC,
     "   ",
     KOR_AHS_E_UTC_TIME,
     "",
     {std::string("Insufficient number of characters") + kUtcForms}},
    {"30 February",
     UTC,
     "9702301200Z",
     KOR_AHS_E_UTC_TIME,
     "",
     {std::string("Day incorrect") + kUtcForms}},
    {"month 13",
     UTC,
     "9713011200Z",
     KOR_AHS_E_UTC_TIME,
     "",
     {std::string("Month incorrect") + kUtcForms}},
    {"hour 24",
     UTC,
     "971231245959Z",
     KOR_AHS_E_UTC_TIME,
     "",
     {std::string("Hour incorrect") + kUtcForms}},
    {"year with a letter",
     UTC,
     "9a12312359Z",
     KOR_AHS_E_UTC_TIME,
     "",
     {std::string("Year incorrect") + kUtcForms}},
    {"seconds 60",
     UTC,
     "971231235960Z",
     KOR_AHS_E_UTC_TIME,
     "",
     {std::string("Seconds incorrect") + kUtcForms}},
    {"a character after Z",
     UTC,
     "9712312359Z1",
     KOR_AHS_E_UTC_TIME,
     "",
     {std::string("Too many characters") + kUtcForms}},
    {"eighteen characters",
     UTC,
     "971231235959+01000",
     KOR_AHS_E_UTC_TIME,
     "",
     {std::string("Too many characters") + kUtcForms}},
    {"X after the seconds",
     UTC,
     "971231235959X",
     KOR_AHS_E_UTC_TIME,
     "",
     {"Expecting + or - sign, valid forms, YYMMDDhhmmss+hhss or YYMMDDhhmmss-hhss"}},
    {"offset cut short",
     UTC,
     "9712312359+01",
     KOR_AHS_E_UTC_TIME,
     "",
     {std::string("Minutes incorrect") + kUtcForms}},
    {"offset hour 24",
     UTC,
     "9712312359+2400",
     KOR_AHS_E_UTC_TIME,
     "",
     {std::string("Hour incorrect") + kUtcForms}},
};

class EncodeTable : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTable, WritesTheElementOrRaisesTheEvent) {
  const EncodeCase &c = GetParam();
  EventProbe events;
  Encoded a = encode(c.a, c.text);
  EXPECT_EQ(a.result, c.result);
  EXPECT_EQ(a.hex, normal_hex(c.hex));
  EXPECT_EQ(a.ber_error, 0u);
  RaisedEvent raised = events.single();
  EXPECT_EQ(raised.code, c.result >= 0xE6F00000u ? c.result : 0u);
  EXPECT_EQ(raised.params, c.params);
  if (c.w == nullptr) return;
  Encoded w = encode_w(c.w, c.text);
  EXPECT_EQ(w.result, a.result) << "W";
  EXPECT_EQ(w.hex, a.hex) << "W";
  RaisedEvent raised_w = events.single();
  EXPECT_EQ(raised_w.code, raised.code) << "W";
  EXPECT_EQ(raised_w.params, raised.params) << "W";
}

INSTANTIATE_TEST_SUITE_P(Syntaxes, EncodeTable, ::testing::ValuesIn(kEncodeCases));

#undef BOOLEAN
#undef BITS
#undef INTEGER
#undef OCTETS
#undef OID
#undef UTC
#define BOOLEAN kor_ahs_IntToExt_BooleanA, kor_ahs_IntToExt_BooleanW
#define BITS kor_ahs_IntToExt_BitStringA, kor_ahs_IntToExt_BitStringW
#define INTEGER kor_ahs_IntToExt_IntegerA, kor_ahs_IntToExt_IntegerW
#define OCTETS kor_ahs_IntToExt_OctetStringA, kor_ahs_IntToExt_OctetStringW
#define OID kor_ahs_IntToExt_OidA, kor_ahs_IntToExt_OidW
#define UTC kor_ahs_IntToExt_UTCTimeA, nullptr

const DecodeCase kDecodeCases[] = {
    {"FF reads as TRUE", BOOLEAN, "01 01 FF", 16, 0, "TRUE", 4, {}},
    {"00 01 reads as TRUE", BOOLEAN, "01 02 00 01", 16, 0, "TRUE", 4, {}},
    {"FALSE truncated", BOOLEAN, "01 01 00", 3, KOR_AHS_TRUNCATED, "FA", 6, {}},
    {"FALSE exactly", BOOLEAN, "01 01 00", 6, 0, "FALSE", 5, {}},
    {"capacity 0", BOOLEAN, "01 01 00", 0, KOR_AHS_E_NO_ROOM, "", 0, {}},
    {"no element", BOOLEAN, "", 16, KOR_AHS_NO_ELEMENT, "", 16, {}},
    {"empty boolean contents", BOOLEAN, "01 00", 16, KOR_AHS_E_DECODE, "", 16, {}},
    {"boolean of five octets", BOOLEAN, "01 05 00 00 00 00 01", 16, KOR_AHS_E_DECODE, "", 16, {}},
    {"INTEGER read as BOOLEAN",
     BOOLEAN,
     "02 01 05",
     16,
     KOR_AHS_E_WRONG_TAG,
     "",
     16,
     {"2", "1 (BOOLEAN)"}},

    {"1 0 1", BITS, "03 02 05 A0", 16, 0, "101", 3, {}},
    {"no bits", BITS, "03 00", 16, 0, "", 0, {}},
    {"nine bits truncated", BITS, "03 03 07 A5 80", 5, KOR_AHS_TRUNCATED, "1010", 10, {}},
    {"unused bits not examined", BITS, "03 02 04 FF", 16, 0, "1111", 4, {}},
    {"one octet only", BITS, "03 01 00", 16, KOR_AHS_E_BITS_SHORT, "", 16, {}},
    {"nine unused bits", BITS, "03 02 08 FF", 16, KOR_AHS_E_BITS_UNUSED, "", 16, {}},
    {"INTEGER read as BIT STRING",
     BITS,
     "02 01 05",
     16,
     KOR_AHS_E_WRONG_TAG,
     "",
     16,
     {"2", "3 (BIT_STRING)"}},
    {"context tag prints negative",
     BITS,
     "80 01 05",
     16,
     KOR_AHS_E_WRONG_TAG,
     "",
     16,
     {"-2147483648", "3 (BIT_STRING)"}},
    {"no element", BITS, "", 16, KOR_AHS_NO_ELEMENT, "", 16, {}},

    {"-129", INTEGER, "02 02 FF 7F", 5, 0, "-129", 4, {}},
    {"-129 in too small a buffer", INTEGER, "02 02 FF 7F", 3, KOR_AHS_TRUNCATED, "", 8, {}},
    {"0", INTEGER, "02 01 00", 2, 0, "0", 1, {}},
    {"empty contents", INTEGER, "02 00", 4, 0, "", 0, {}},
    {"INT32_MIN", INTEGER, "02 04 80 00 00 00", 16, 0, "-2147483648", 11, {}},
    {"non-minimal contents", INTEGER, "02 03 00 00 05", 16, 0, "5", 1, {}},
    {"2^64", INTEGER, "02 09 01 00 00 00 00 00 00 00 00", 32, 0, "18446744073709551616", 20, {}},
    {"OCTET STRING read as INTEGER",
     INTEGER,
     "04 00",
     16,
     KOR_AHS_E_WRONG_TAG,
     "",
     16,
     {"4", "2 (INTEGER)"}},

    {"0AFF", OCTETS, "04 02 0A FF", 16, 0, "0AFF", 4, {}},
    {"empty", OCTETS, "04 00", 16, 0, "", 0, {}},
    {"truncated to whole octets", OCTETS, "04 03 01 02 03", 6, KOR_AHS_TRUNCATED, "0102", 7, {}},
    {"exactly", OCTETS, "04 03 01 02 03", 7, 0, "010203", 6, {}},
    {"constructed string joined", OCTETS, "24 80 04 01 AB 04 01 CD 00 00", 16, 0, "ABCD", 4, {}},
    {"no element sets the length 0", OCTETS, "", 16, KOR_AHS_NO_ELEMENT, "", 0, {}},
    {"wrong tag sets the length 0",
     OCTETS,
     "05 00",
     16,
     KOR_AHS_E_WRONG_TAG,
     "",
     0,
     {"5", "4 (OCTET STRING)"}},

    {"2.5.4.3", OID, "06 03 55 04 03", 8, 0, "2.5.4.3", 7, {}},
    {"2.5.4.3 one short", OID, "06 03 55 04 03", 7, KOR_AHS_TRUNCATED, "", 13, {}},
    {"empty contents", OID, "06 00", 4, 0, "", 0, {}},
    {"3.0", OID, "06 01 78", 8, 0, "3.0", 3, {}},
    {"RSA", OID, "06 06 2A 86 48 86 F7 0D", 32, 0, "1.2.840.113549", 14, {}},
    {"arc of 2^64",
     OID,
     "06 0B 2A 82 80 80 80 80 80 80 80 80 00",
     32,
     0,
     "1.2.18446744073709551616",
     24,
     {}},
    {"leading 80 octets add nothing", OID, "06 03 2A 80 05", 16, 0, "1.2.5", 5, {}},
    // Contents that end inside a subidentifier cannot be read.
    {"a first group beyond 64 bits, even in a small buffer",
     OID,
     "06 0B FF FF FF FF FF FF FF FF FF FF 01",
     2,
     KOR_AHS_E_DECODE,
     "",
     2,
     {}},
    {"leading 80 octets in the first group add nothing",
     OID,
     "06 0A 80 80 80 80 80 80 80 80 80 2A",
     16,
     0,
     "1.2",
     3,
     {}},
    {"incomplete last group", OID, "06 02 2A 86", 16, KOR_AHS_E_DECODE, "", 16, {}},
    {"INTEGER read as OID",
     OID,
     "02 01 05",
     16,
     KOR_AHS_E_WRONG_TAG,
     "",
     16,
     {"2", "6 (OBJECT_ID)"}},

    {"stored text", UTC, "17 0B 39 37 31 32 33 31 32 33 35 39 5A", 16, 0, "9712312359Z", 11, {}},
    {"not validated when read", UTC, "17 02 41 42", 16, 0, "AB", 2, {}},
    {"a zero byte ends the copy", UTC, "17 03 41 00 42", 16, 0, "A", 3, {}},
    {"truncated",
     UTC,
     "17 0B 39 37 31 32 33 31 32 33 35 39 5A",
     5,
     KOR_AHS_TRUNCATED,
     "9712",
     12,
     {}},
    {"GeneralizedTime", UTC, "18 00", 16, KOR_AHS_E_WRONG_TAG, "", 16, {"24", "23 (UTC TIME)"}},
};

class DecodeTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTable, WritesTheTextOrRaisesTheEvent) {
  const DecodeCase &c = GetParam();
  EventProbe events;
  RaisedEvent raised;
  Decoded a = expect_decoded_a(c, events, &raised);
  if (c.w == nullptr) return;
  Decoded w = decode_w(c.w, c.hex, c.capacity);
  EXPECT_EQ(w.result, a.result) << "W";
  EXPECT_EQ(w.text, a.text) << "W";
  EXPECT_EQ(w.out_len, a.out_len) << "W";
  EXPECT_EQ(events.single().params, raised.params) << "W";
}

INSTANTIATE_TEST_SUITE_P(Syntaxes, DecodeTable, ::testing::ValuesIn(kDecodeCases));

TEST(Boolean, ExplicitLengthStopsAtTheCommonNul) {
  EXPECT_EQ(encode_with(kor_ahs_ExtToInt_BooleanA, "true", 10).hex, "01 01 01");
  EXPECT_EQ(encode_with(kor_ahs_ExtToInt_BooleanA, "true", KOR_NUL_TERMINATED).hex, "01 01 01");
  EXPECT_EQ(encode_with(kor_ahs_ExtToInt_BooleanA, "truex", 4).hex, "01 01 01");
  EXPECT_EQ(encode_with(kor_ahs_ExtToInt_BooleanA, "true", 0).result, KOR_AHS_E_BOOLEAN_EMPTY);
}

TEST(Boolean, CapacityZeroLeavesTheContextUntouched) {
  uint8_t input[] = {0x01, 0x01, 0xFF};
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input, sizeof input);
  char out[1];
  uint32_t len = 0;
  EXPECT_EQ(kor_ahs_IntToExt_BooleanA(ctx, out, &len, 0), KOR_AHS_E_NO_ROOM);
  len = sizeof out + 4;
  char text[5];
  EXPECT_EQ(kor_ahs_IntToExt_BooleanA(ctx, text, &len, 0), 0u) << "the element is still there";
  kor_asn1_free_ctx(ctx);
}

// A bad character is raised as an event of its own and returned as the OID code.
TEST(Oid, BadCharacterRaisesItsOwnEvent) {
  EventProbe events;
  for (const char *text : {"OID.2.5", "2,5"}) {
    EXPECT_EQ(encode(kor_ahs_ExtToInt_OidA, text).result, KOR_AHS_E_OID) << text;
    RaisedEvent raised = events.single();
    EXPECT_EQ(raised.code, KOR_AHS_E_OID_CHAR) << text;
    EXPECT_EQ(raised.params, std::vector<std::string>{text[0] == 'O' ? "O" : ","}) << text;
    EXPECT_EQ(encode_w(kor_ahs_ExtToInt_OidW, text).result, KOR_AHS_E_OID) << text;
    EXPECT_EQ(events.single().params, raised.params) << text;
  }
}

TEST(UtcTime, WideHandlersHaveNoConversion) {
  EventProbe events;
  EXPECT_EQ(encode_w(kor_ahs_ExtToInt_UTCTimeW, "9712312359Z").result, KOR_AHS_UNSUPPORTED);
  EXPECT_EQ(encode_w(kor_ahs_ExtToInt_UTCTimeW, "9712312359Z").hex, "");
  Decoded d = decode_w(kor_ahs_IntToExt_UTCTimeW, "17 01 41", 8);
  EXPECT_EQ(d.result, KOR_AHS_UNSUPPORTED);
  EXPECT_EQ(d.out_len, 8u);
  EXPECT_TRUE(events.take().empty());
}

TEST(OctetString, BufferFormBothWays) {
  uint8_t octets[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  uint32_t count = 2;
  EXPECT_EQ(kor_ahs_ExtToBuf_OctetStringA("0aFF", -1, octets, &count), 0u);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(to_hex(octets, 2), "0A FF");
  count = 1;
  EXPECT_EQ(kor_ahs_ExtToBuf_OctetStringA("0102", -1, octets, &count), KOR_AHS_TRUNCATED);
  EXPECT_EQ(count, 1u) << "one octet short leaves the count as it was";
  count = 4;
  EXPECT_EQ(kor_ahs_ExtToBuf_OctetStringA("0102zz", -1, octets, &count), KOR_AHS_E_HEX_CHAR);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(to_hex(octets, 2), "01 02") << "the pairs before the bad one are written";

  const uint8_t data[] = {0x01, 0xAB, 0xFF};
  char text[8];
  uint32_t len = 6;
  EXPECT_EQ(kor_ahs_BufToExt_OctetStringA(data, 3, text, &len), KOR_AHS_TRUNCATED);
  EXPECT_EQ(len, 7u);
  EXPECT_STREQ(text, "01AB");
  len = 7;
  EXPECT_EQ(kor_ahs_BufToExt_OctetStringA(data, 3, text, &len), 0u);
  EXPECT_EQ(len, 6u);
  EXPECT_STREQ(text, "01ABFF");
  kor_wchar wide[8];
  len = 8;
  EXPECT_EQ(kor_ahs_BufToExt_OctetStringW(data, 3, wide, &len), 0u);
  EXPECT_EQ(narrow(wide, len), "01ABFF");
  EXPECT_EQ(wide[6], 0);
}

// A UTF-16 unit above 0xFF becomes '?' in an event parameter; one up to 0xFF
// keeps its Latin-1 byte.
TEST(WideText, EventParametersFromUtf16) {
  EventProbe events;
  const kor_wchar text[] = {'1', 0x263A, 0};
  EXPECT_EQ(encode_with(kor_ahs_ExtToInt_BitStringW, text, -1).result, KOR_AHS_E_BITS_CHAR);
  EXPECT_EQ(events.single().params, std::vector<std::string>{"1?"});
  const kor_wchar latin[] = {'5', 0xE9, 0};
  EXPECT_EQ(encode_with(kor_ahs_ExtToInt_IntegerW, latin, -1).result, KOR_AHS_E_INTEGER_CHAR);
  EXPECT_EQ(events.single().params, std::vector<std::string>{"\xE9"});
}

}  // namespace
}  // namespace lyrdua::test
