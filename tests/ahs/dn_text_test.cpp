// Distinguished names and RDNs between text and BER with the default schema:
// the order of RDNs and AVAs, types in OID form, hex values, the decoder's
// working area and output contract, and the W variants. The grammar itself is
// driven through the structure form (dn_structure_test.cpp).
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
std::string ps(const std::string &text) {
  return tlv("13", to_hex(reinterpret_cast<const uint8_t *>(text.data()), text.size()));
}
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
const std::string kAnne =
    seq(set(ava(kC, ps("GB"))) + set(ava(kO, ps("Acme"))) + set(ava(kCN, ps("Anne"))));
const std::string kABC = seq(set(ava(kO, ps("c"))) + set(ava(kCN, ps("a")) + ava(kSN, ps("b"))));

// A type in OID form 1.2 followed by arcs of 5 (OID.1.2.5...=#0500), and its
// BER: 29 arcs fill the 32-octet area with tag and length, 30 overflow it.
std::string long_oid(int arcs, bool ber) {
  std::string s = ber ? "2A" : "OID.1.2";
  for (int i = 0; i < arcs; ++i) s += ber ? " 05" : ".5";
  return ber ? seq(set(tlv("30", tlv("06", s) + " 05 00"))) : s + "=#0500";
}

uintptr_t aux_of(const OpenSchema &schema) { return reinterpret_cast<uintptr_t>(schema.get()); }

using TextEncoder = uint32_t(KOR_API *)(const char *, int32_t, kor_asn1_ctx *, uintptr_t);

struct EncodeCase {
  const char *about;
  std::string text;
  uint32_t result;
  std::string hex;
  uint32_t event;  // the event raised, 0 for none
  TextEncoder encoder = kor_ahs_ExtToInt_DistinguishedNameA;
};

const TextEncoder kRdn = kor_ahs_ExtToInt_RDNA;
const uint32_t kOidE = KOR_AHS_E_OID, kUnknown = KOR_AHS_E_UNKNOWN_ATTR;

const EncodeCase kEncodeCases[] = {
    // RDNs are written last first; AVAs keep their text order.
    {"RDN and AVA order", "CN=a+SN=b,O=c", 0, kABC, 0},
    {"empty text", "", 0, "30 00", 0},
    {"type in OID form", "OID.2.5.4.3=x", 0, seq(set(ava(kCN, ps("x")))), 0},
    {"foreign attribute, hex value", "oid.1.2.3.4=#0403414243", 0,
     seq(set(tlv("30", "06 03 2A 03 04 04 03 41 42 43"))), 0},
    {"DN inside a value", "member=CN\\=x", 0, seq(set(ava(kMember, seq(set(ava(kCN, ps("x"))))))),
     0},
    {"foreign attribute without '#'", "OID.1.2.3.4=0403414243", KOR_AHS_NOMEM, "", 0},
    {"odd hex digits", "OID.1.2.3.4=#04034", KOR_AHS_NOMEM, "", 0},
    {"not hex", "OID.1.2.3.4=#04zz", KOR_AHS_NOMEM, "", 0},
    {"only oid. and OID. mark the OID form", "Oid.2.5.4.3=x", kUnknown, "", kUnknown},
    {"bad OID text", "OID.2.x=y", kOidE, "", KOR_AHS_E_OID_CHAR},
    // Chosen: an OID over the 32-octet area raises the OID event.
    {"OID filling the 32-octet area", long_oid(29, false), 0, long_oid(29, true), 0},
    {"OID over 32 octets", long_oid(30, false), kOidE, "", kOidE},
    {"unknown keyword", "X=y", kUnknown, "", kUnknown},
    {"the value's handler refuses", "C=G&", KOR_AHS_E_PRINTABLE_CHAR, "", KOR_AHS_E_PRINTABLE_CHAR},
    // A lone RDN: '+' continues it, anything else is left unread.
    {"RDN of two AVAs", "CN=a + SN=b", 0, set(ava(kCN, ps("a ")) + ava(kSN, ps("b"))), 0, kRdn},
    {"RDN, '+' at the end", "CN=a+", 0, set(ava(kCN, ps("a"))), 0, kRdn},
    {"RDN, rest after a quote", "CN=\"a\",O=b", 0, set(ava(kCN, ps("a"))), 0, kRdn},
    {"RDN, '+' then spaces", "CN=a+ ", KOR_AHS_E_RDN_END, "", KOR_AHS_E_RDN_END, kRdn},
    {"RDN, comma in a value: no event", "CN=a,b", KOR_AHS_E_SCHEMA, "", 0, kRdn},
    {"RDN, '+' where a value begins", "CN=+", KOR_AHS_E_DN_SYNTAX, "", KOR_AHS_E_DN_SYNTAX, kRdn},
};

TEST(DnText, Encoding) {
  OpenSchema schema;
  for (const EncodeCase &c : kEncodeCases) {
    Outcome o = encode_by([&](kor_asn1_ctx *ctx) {
      return c.encoder(c.text.data(), length_of(c.text), ctx, aux_of(schema));
    });
    EXPECT_EQ(o.result, c.result) << c.about;
    EXPECT_EQ(o.hex, c.result == KOR_OK ? normal_hex(c.hex) : o.hex) << c.about;
    EXPECT_EQ(o.event.code, c.event) << c.about;
  }
}

template <typename Char, typename Decoder>
Outcome decode_dn(Decoder decoder, const std::string &hex, uint32_t capacity, uintptr_t aux) {
  return decode_by<Char>(hex, capacity, [&](kor_asn1_ctx *ctx, Char *out, uint32_t *out_len) {
    return decoder(ctx, out, out_len, nullptr, aux);
  });
}

struct DecodeCase {
  const char *about;
  std::string hex;
  uint32_t result;
  std::string text;
  std::vector<std::string> params = {};
  bool rdn = false;  // decoded as one RDN
};

const uint32_t kTag = KOR_AHS_E_WRONG_TAG;

const DecodeCase kDecodeCases[] = {
    {"RDNs back in text order, first keywords", kAnne, 0, "CN=Anne,O=Acme,C=GB"},
    {"empty DN", "30 00", 0, ""},
    {"AVAs joined by '+'", kABC, 0, "CN=a+SN=b,O=c"},
    {"values are not quoted", seq(set(ava(kCN, ps("a,b")))), 0, "CN=a,b"},
    {"DN inside a value", seq(set(ava(kMember, seq(set(ava(kCN, ps("x"))))))), 0, "member=CN=x"},
    // Chosen: byte values enter the text as they are, NUL bytes included.
    {"byte value", seq(set(ava("55 04 23", "04 03 61 00 62"))), 0,
     std::string("userPassword=a\0b", 16)},
    // Chosen: an RDN without AVAs has the empty text.
    {"SETs without AVAs", "30 04 31 00 31 00", 0, ","},
    // An extra element in an AVA ends the reading; the RDNs read so far stay.
    {"extra element in an AVA",
     seq(set(ava(kO, ps("c"))) + set(tlv("30", tlv("06", kCN) + ps("a") + ps("b")))), 0,
     "CN=a,O=c"},
    // The working area holds 1024 characters: 'CN=', 1020 and a terminator.
    {"RDN filling the working area", seq(set(ava(kCN, ps(std::string(1020, 'v'))))), 0,
     "CN=" + std::string(1020, 'v')},
    {"RDN over the working area", seq(set(ava(kCN, ps(std::string(1021, 'v'))))), KOR_AHS_TRUNCATED,
     ""},
    {"no element", "", KOR_AHS_NO_ELEMENT, ""},
    {"not a SEQUENCE", "04 00", kTag, "", {"4", "16 (SEQ)"}},
    {"not a SET", "30 02 04 00", kTag, "", {"4", "17 (SET)"}},
    {"not an AVA", "30 04 31 02 04 00", kTag, "", {"4", "0 (EOC)"}},
    {"type the schema lacks", seq(set(ava("2A 03 04", ps("a")))), kUnknown, ""},
    {"value of the wrong syntax",
     seq(set(ava(kCN, "02 01 05"))),
     kTag,
     "",
     {"2", "20 (T61_STRING OR PRINTABLESTRING)"}},
    {"RDN", set(ava(kCN, ps("a")) + ava(kSN, ps("b"))), 0, "CN=a+SN=b", {}, true},
    {"RDN, no element", "", KOR_AHS_E_DECODE, "", {}, true},
};

TEST(DnText, Decoding) {
  OpenSchema schema;
  for (const DecodeCase &c : kDecodeCases) {
    Outcome o =
        c.rdn ? decode_dn<char>(kor_ahs_IntToExt_RDNA, c.hex, 2048, aux_of(schema))
              : decode_dn<char>(kor_ahs_IntToExt_DistinguishedNameA, c.hex, 2048, aux_of(schema));
    EXPECT_EQ(o.result, c.result) << c.about;
    // Over the working area the output is left unwritten: only the result counts.
    EXPECT_EQ(o.text, c.result == KOR_AHS_TRUNCATED ? o.text : c.text) << c.about;
    EXPECT_EQ(o.out_len, c.result == 0 ? c.text.size() : 2048u) << c.about;
    EXPECT_EQ(o.event.code, c.result >= 0xE6F00000u ? c.result : 0u) << c.about;
    EXPECT_EQ(o.event.params, c.params) << c.about;
  }
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
  for (uint32_t capacity = 1; capacity <= text.size() + 1; ++capacity) {
    Outcome o =
        decode_dn<char>(kor_ahs_IntToExt_DistinguishedNameA, kAnne, capacity, aux_of(schema));
    bool fits = capacity > text.size();
    EXPECT_EQ(o.result, fits ? KOR_OK : KOR_AHS_TRUNCATED) << capacity;
    EXPECT_EQ(o.text, text.substr(0, fits ? text.size() : capacity - 1)) << capacity;
    EXPECT_EQ(o.out_len, fits ? text.size() : text.size() + 1) << capacity;
  }
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
