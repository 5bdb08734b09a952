// Distinguished names and RDNs between text and BER with the default schema:
// the grammar's edge cases, the order of RDNs and AVAs, types in OID form,
// the decoder's working area and output contract, and the W variants.
#include <gtest/gtest.h>

#include "tests/ahs/dn_support.hpp"

namespace lyrdua::test {
namespace {

// BER built here, independently of the library.
std::string tlv(const char *tag, const std::string &body) {
  size_t n = from_hex(body).size();
  std::vector<uint8_t> length{static_cast<uint8_t>(n)};
  if (n >= 128) length = {0x82, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
  return normal_hex(std::string(tag) + to_hex(length) + body);
}
std::string str(const char *tag, const std::string &text) {
  return tlv(tag, to_hex(reinterpret_cast<const uint8_t *>(text.data()), text.size()));
}
std::string ps(const std::string &text) { return str("13", text); }
std::string ava(const char *oid, const std::string &value) {
  return tlv("30", tlv("06", oid) + " " + value);
}
std::string set(const std::string &avas) { return tlv("31", avas); }
std::string seq(const std::string &rdns) { return tlv("30", rdns); }

const char *const kCN = "55 04 03";
const char *const kSN = "55 04 04";
const char *const kC = "55 04 06";
const char *const kO = "55 04 0A";
const char *const kMember = "55 04 1F";

// A type in OID form of 1.2 and arcs of 5, and its contents in hex: 29 arcs
// fill the 32-octet area with tag and length, 30 overflow it.
std::string long_oid_type(int arcs) {
  std::string type = "OID.1.2";
  for (int i = 0; i < arcs; ++i) type += ".5";
  return type;
}
std::string long_oid_contents(int arcs) {
  std::string hex = "2A";
  for (int i = 0; i < arcs; ++i) hex += " 05";
  return hex;
}

uintptr_t aux_of(const OpenSchema &schema) { return reinterpret_cast<uintptr_t>(schema.get()); }

using TextEncoder = uint32_t(KOR_API *)(const char *, int32_t, kor_asn1_ctx *, uintptr_t);

struct EncodeCase {
  const char *about;
  std::string text;
  uint32_t result;
  std::string hex;
  uint32_t event;  // the event raised, 0 for none
};

const EncodeCase kDnEncodeCases[] = {
    {"the typical request: the last RDN comes first", "CN=Anne, O=Acme, C=GB", 0,
     seq(set(ava(kC, ps("GB"))) + set(ava(kO, ps("Acme"))) + set(ava(kCN, ps("Anne")))), 0},
    {"empty text", "", 0, "30 00", 0},
    {"only white space", "  \n ", 0, "30 00", 0},
    {"AVAs keep their text order", "CN=a+SN=b,O=c", 0,
     seq(set(ava(kO, ps("c"))) + set(ava(kCN, ps("a")) + ava(kSN, ps("b")))), 0},
    {"spaces before a separator stay", "CN = x ,O=y", 0,
     seq(set(ava(kO, ps("y"))) + set(ava(kCN, ps("x ")))), 0},
    {"quoted comma", "O=\"Acme, Inc.\", C=GB", 0,
     seq(set(ava(kC, ps("GB"))) + set(ava(kO, ps("Acme, Inc.")))), 0},
    {"escaped comma", "CN=a\\,b", 0, seq(set(ava(kCN, ps("a,b")))), 0},
    {"quote never closed", "CN=\"a,b", 0, seq(set(ava(kCN, ps("a,b")))), 0},
    {"escaped quote", "CN=\\\"x", 0, seq(set(ava(kCN, str("14", "\"x")))), 0},
    {"';' separates RDNs", "CN=a;O=b", 0, seq(set(ava(kO, ps("b"))) + set(ava(kCN, ps("a")))), 0},
    {"a closing quote may end an RDN", "CN=\"a\"O=b", 0,
     seq(set(ava(kO, ps("b"))) + set(ava(kCN, ps("a")))), 0},
    {"type in OID form", "OID.2.5.4.3=x", 0, seq(set(ava(kCN, ps("x")))), 0},
    {"foreign attribute with a hex value", "oid.1.2.3.4=#0403414243", 0,
     seq(set(tlv("30", "06 03 2A 03 04 04 03 41 42 43"))), 0},
    {"DN inside a value", "member=CN\\=x", 0, seq(set(ava(kMember, seq(set(ava(kCN, ps("x"))))))),
     0},
    {"separator at the end", "CN=a,", KOR_AHS_E_DN_SYNTAX, "", KOR_AHS_E_DN_SYNTAX},
    {"separator, then spaces", "CN=a, ", KOR_AHS_E_DN_END, "", KOR_AHS_E_DN_END},
    {"'+' at the end", "CN=a+", KOR_AHS_E_DN_END, "", KOR_AHS_E_DN_END},
    {"no '='", "CN", KOR_AHS_E_DN_END, "", KOR_AHS_E_DN_END},
    {"empty value", "CN=", KOR_AHS_E_DN_EMPTY_VALUE, "", KOR_AHS_E_DN_EMPTY_VALUE},
    {"empty quotes", "CN=\"\"", KOR_AHS_E_DN_EMPTY_VALUE, "", KOR_AHS_E_DN_EMPTY_VALUE},
    {"lone '#'", "CN=#", KOR_AHS_E_DN_EMPTY_VALUE, "", KOR_AHS_E_DN_EMPTY_VALUE},
    {"empty type", " =x", KOR_AHS_E_DN_SYNTAX, "", KOR_AHS_E_DN_SYNTAX},
    {"separator where a value begins", "CN=,x", KOR_AHS_E_DN_SYNTAX, "", KOR_AHS_E_DN_SYNTAX},
    {"quote inside a value", "CN=a\"b", KOR_AHS_E_DN_QUOTE, "", KOR_AHS_E_DN_QUOTE},
    {"text after a closing quote has no '='", "CN=\"a\"b", KOR_AHS_E_DN_END, "", KOR_AHS_E_DN_END},
    {"foreign attribute without '#'", "OID.1.2.3.4=0403414243", KOR_AHS_NOMEM, "", 0},
    {"odd hex digits", "OID.1.2.3.4=#04034", KOR_AHS_NOMEM, "", 0},
    {"not hex", "OID.1.2.3.4=#04zz", KOR_AHS_NOMEM, "", 0},
    {"only oid. and OID. mark the OID form", "Oid.2.5.4.3=x", KOR_AHS_E_UNKNOWN_ATTR, "",
     KOR_AHS_E_UNKNOWN_ATTR},
    {"bad OID text", "OID.2.x=y", KOR_AHS_E_OID, "", KOR_AHS_E_OID_CHAR},
    // Chosen: an OID over the 32-octet area raises the OID event.
    {"OID filling the 32-octet area", long_oid_type(29) + "=#0500", 0,
     seq(set(tlv("30", tlv("06", long_oid_contents(29)) + " 05 00"))), 0},
    // Chosen: an OID over the area raises the OID event.
    {"OID over 32 octets", long_oid_type(30) + "=#0500", KOR_AHS_E_OID, "", KOR_AHS_E_OID},
    {"unknown keyword", "X=y", KOR_AHS_E_UNKNOWN_ATTR, "", KOR_AHS_E_UNKNOWN_ATTR},
    {"the value's handler refuses", "C=G&", KOR_AHS_E_PRINTABLE_CHAR, "", KOR_AHS_E_PRINTABLE_CHAR},
};

const EncodeCase kRdnEncodeCases[] = {
    {"one AVA", "CN=a", 0, set(ava(kCN, ps("a"))), 0},
    {"two AVAs", "CN=a + SN=b", 0, set(ava(kCN, ps("a ")) + ava(kSN, ps("b"))), 0},
    {"'+' at the end", "CN=a+", 0, set(ava(kCN, ps("a"))), 0},
    {"the rest after a closing quote is left", "CN=\"a\",O=b", 0, set(ava(kCN, ps("a"))), 0},
    {"an escape starts the value", "CN=\\,a", 0, set(ava(kCN, ps(",a"))), 0},
    {"'+' then spaces", "CN=a+ ", KOR_AHS_E_RDN_END, "", KOR_AHS_E_RDN_END},
    {"no '='", "CN", KOR_AHS_E_RDN_END, "", KOR_AHS_E_RDN_END},
    {"empty text", "", KOR_AHS_E_RDN_END, "", KOR_AHS_E_RDN_END},
    {"comma in a value: no event", "CN=a,b", KOR_AHS_E_SCHEMA, "", 0},
    {"';' where a value begins: no event", "CN=;", KOR_AHS_E_SCHEMA, "", 0},
    {"'+' where a value begins", "CN=+", KOR_AHS_E_DN_SYNTAX, "", KOR_AHS_E_DN_SYNTAX},
    {"quote inside a value", "CN=a\"", KOR_AHS_E_DN_QUOTE, "", KOR_AHS_E_DN_QUOTE},
};

void expect_encodings(TextEncoder encoder, const EncodeCase *cases, size_t n) {
  OpenSchema schema;
  for (const EncodeCase &c : std::vector<EncodeCase>(cases, cases + n)) {
    Outcome o = encode_by([&](kor_asn1_ctx *ctx) {
      return encoder(c.text.data(), length_of(c.text), ctx, aux_of(schema));
    });
    EXPECT_EQ(o.result, c.result) << c.about;
    EXPECT_EQ(o.hex, c.result == KOR_OK ? normal_hex(c.hex) : o.hex) << c.about;
    EXPECT_EQ(o.event.code, c.event) << c.about;
  }
}

TEST(DnText, Encoding) {
  expect_encodings(kor_ahs_ExtToInt_DistinguishedNameA, kDnEncodeCases, std::size(kDnEncodeCases));
}

TEST(RdnText, Encoding) {
  expect_encodings(kor_ahs_ExtToInt_RDNA, kRdnEncodeCases, std::size(kRdnEncodeCases));
}

struct DecodeCase {
  const char *about;
  std::string hex;
  uint32_t result;
  std::string text;
  std::vector<std::string> params;
};

const DecodeCase kDnDecodeCases[] = {
    {"RDNs back in text order, first keywords",
     seq(set(ava(kC, ps("GB"))) + set(ava(kO, ps("Acme"))) + set(ava(kCN, ps("Anne")))),
     0,
     "CN=Anne,O=Acme,C=GB",
     {}},
    {"empty DN", "30 00", 0, "", {}},
    {"AVAs joined by '+'",
     seq(set(ava(kO, ps("c"))) + set(ava(kCN, ps("a")) + ava(kSN, ps("b")))),
     0,
     "CN=a+SN=b,O=c",
     {}},
    {"values are not quoted", seq(set(ava(kCN, ps("a,b")))), 0, "CN=a,b", {}},
    {"DN inside a value",
     seq(set(ava(kMember, seq(set(ava(kCN, ps("x"))))))),
     0,
     "member=CN=x",
     {}},
    // Chosen: byte values enter the text as they are, NUL bytes included.
    {"byte value",
     seq(set(ava("55 04 23", "04 03 61 00 62"))),
     0,
     std::string("userPassword=a\0b", 16),
     {}},
    // Chosen: an RDN without AVAs has the empty text.
    {"SETs without AVAs", "30 04 31 00 31 00", 0, ",", {}},
    {"no element", "", KOR_AHS_NO_ELEMENT, "", {}},
    {"not a SEQUENCE", "04 00", KOR_AHS_E_WRONG_TAG, "", {"4", "16 (SEQ)"}},
    {"not a SET", "30 02 04 00", KOR_AHS_E_WRONG_TAG, "", {"4", "17 (SET)"}},
    {"not an AVA", "30 04 31 02 04 00", KOR_AHS_E_WRONG_TAG, "", {"4", "0 (EOC)"}},
    {"type the schema lacks", seq(set(ava("2A 03 04", ps("a")))), KOR_AHS_E_UNKNOWN_ATTR, "", {}},
    {"value of the wrong syntax",
     seq(set(ava(kCN, "02 01 05"))),
     KOR_AHS_E_WRONG_TAG,
     "",
     {"2", "20 (T61_STRING OR PRINTABLESTRING)"}},
};

template <typename Char, typename Decoder>
Outcome decode_dn(Decoder decoder, const std::string &hex, uint32_t capacity, uintptr_t aux) {
  return decode_by<Char>(hex, capacity, [&](kor_asn1_ctx *ctx, Char *out, uint32_t *out_len) {
    return decoder(ctx, out, out_len, nullptr, aux);
  });
}

TEST(DnText, Decoding) {
  OpenSchema schema;
  for (const DecodeCase &c : kDnDecodeCases) {
    Outcome o = decode_dn<char>(kor_ahs_IntToExt_DistinguishedNameA, c.hex, 256, aux_of(schema));
    EXPECT_EQ(o.result, c.result) << c.about;
    EXPECT_EQ(o.text, c.text) << c.about;
    EXPECT_EQ(o.out_len, c.result == 0 ? c.text.size() : 256u) << c.about;
    EXPECT_EQ(o.event.code, c.result >= 0xE6F00000u ? c.result : 0u) << c.about;
    EXPECT_EQ(o.event.params, c.params) << c.about;
  }
}

TEST(DnText, ExtraElementInAnAvaKeepsTheRdnsReadSoFar) {
  OpenSchema schema;
  std::string extra = tlv("30", tlv("06", kCN) + ps("a") + ps("b"));
  std::string hex = seq(set(ava(kO, ps("c"))) + set(extra));
  Outcome o = decode_dn<char>(kor_ahs_IntToExt_DistinguishedNameA, hex, 64, aux_of(schema));
  EXPECT_EQ(o.result, 0u);
  EXPECT_EQ(o.text, "CN=a,O=c");
}

TEST(DnText, StructureOutIsOnlyCleared) {
  OpenSchema schema;
  kor_ahs_ava dangling{};
  kor_ahs_dn dn{};
  dn.rdn.next = reinterpret_cast<kor_ahs_rdn *>(&dangling);
  dn.rdn.ava.type = "x";
  dn.rdn.ava.is_hex = 1;
  Outcome o = decode_by<char>(
      seq(set(ava(kCN, ps("a")))), 16, [&](kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
        return kor_ahs_IntToExt_DistinguishedNameA(ctx, out, out_len, &dn, aux_of(schema));
      });
  EXPECT_EQ(o.text, "CN=a");
  EXPECT_EQ(dn.rdn.next, nullptr);
  EXPECT_EQ(dn.rdn.ava.type, nullptr);
  EXPECT_EQ(dn.rdn.ava.is_hex, 1u);
}

TEST(DnText, DecoderOutputAtEveryCapacity) {
  OpenSchema schema;
  const std::string text = "CN=Anne,O=Acme,C=GB";
  std::string hex =
      seq(set(ava(kC, ps("GB"))) + set(ava(kO, ps("Acme"))) + set(ava(kCN, ps("Anne"))));
  for (uint32_t capacity = 1; capacity <= text.size() + 1; ++capacity) {
    Outcome o = decode_dn<char>(kor_ahs_IntToExt_DistinguishedNameA, hex, capacity, aux_of(schema));
    bool fits = capacity > text.size();
    EXPECT_EQ(o.result, fits ? KOR_OK : KOR_AHS_TRUNCATED) << capacity;
    EXPECT_EQ(o.text, text.substr(0, fits ? text.size() : capacity - 1)) << capacity;
    EXPECT_EQ(o.out_len, fits ? text.size() : text.size() + 1) << capacity;
  }
}

// The working area holds 1024 characters: each RDN's text and a terminator.
TEST(DnText, WorkingAreaOf1024Characters) {
  OpenSchema schema;
  for (uint32_t value_len : {1020u, 1021u}) {
    std::string hex = seq(set(ava(kCN, ps(std::string(value_len, 'v')))));
    Outcome o = decode_dn<char>(kor_ahs_IntToExt_DistinguishedNameA, hex, 2048, aux_of(schema));
    // 'CN=', 1020 characters and the terminator fill the area exactly.
    EXPECT_EQ(o.result, value_len == 1020 ? KOR_OK : KOR_AHS_TRUNCATED) << value_len;
    EXPECT_EQ(o.out_len, value_len == 1020 ? 1023u : 2048u) << value_len;
  }
}

TEST(RdnText, Decoding) {
  OpenSchema schema;
  Outcome one = decode_dn<char>(kor_ahs_IntToExt_RDNA, set(ava(kCN, ps("a")) + ava(kSN, ps("b"))),
                                64, aux_of(schema));
  EXPECT_EQ(one.result, 0u);
  EXPECT_EQ(one.text, "CN=a+SN=b");
  Outcome none = decode_dn<char>(kor_ahs_IntToExt_RDNA, "", 64, aux_of(schema));
  EXPECT_EQ(none.result, KOR_AHS_E_DECODE);
  EXPECT_EQ(none.event.code, KOR_AHS_E_DECODE);
}

// The W handlers convert only what needs no schema keyword.
TEST(DnText, WideVariants) {
  OpenSchema schema;
  auto encode_w = [&](auto handler, const std::string &text) {
    std::vector<kor_wchar> wide = widen(text);
    return encode_by(
        [&](kor_asn1_ctx *ctx) { return handler(wide.data(), -1, ctx, aux_of(schema)); });
  };
  EXPECT_EQ(encode_w(kor_ahs_ExtToInt_DistinguishedNameW, " ").hex, "30 00");
  Outcome foreign = encode_w(kor_ahs_ExtToInt_DistinguishedNameW, "OID.1.2.3.4=#0500");
  EXPECT_EQ(foreign.result, 0u);
  EXPECT_EQ(foreign.hex, normal_hex(seq(set(tlv("30", "06 03 2A 03 04 05 00")))));
  EXPECT_EQ(encode_w(kor_ahs_ExtToInt_RDNW, "oid.1.2.3.4=#0500").hex,
            normal_hex(set(tlv("30", "06 03 2A 03 04 05 00"))));
  EXPECT_EQ(encode_w(kor_ahs_ExtToInt_DistinguishedNameW, "CN=a").result, KOR_AHS_UNSUPPORTED);
  EXPECT_EQ(encode_w(kor_ahs_ExtToInt_RDNW, "OID.2.5.4.3=a").result, KOR_AHS_UNSUPPORTED);

  Outcome empty =
      decode_dn<kor_wchar>(kor_ahs_IntToExt_DistinguishedNameW, "30 00", 4, aux_of(schema));
  EXPECT_EQ(empty.result, 0u);
  EXPECT_EQ(empty.out_len, 0u);
  EXPECT_EQ(decode_dn<kor_wchar>(kor_ahs_IntToExt_DistinguishedNameW, seq(set(ava(kCN, ps("a")))),
                                 16, aux_of(schema))
                .result,
            KOR_AHS_UNSUPPORTED);
}

}  // namespace
}  // namespace lyrdua::test
