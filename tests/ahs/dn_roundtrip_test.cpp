// Generated distinguished names (1 to 8 RDNs of 1 to 3 AVAs, keyword and
// OID. types, values needing quotes or escapes) through every form: text,
// structure, formatted text and BER (from the text and from the structure)
// must agree.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/ahs/dn_support.hpp"

namespace lyrdua::test {
namespace {

// Types of string syntax, so that any Latin-1 value converts.
const char *const kTypes[] = {"CN", "SN",         "O",           "OU",          "L",
                              "ST", "commonName", "OID.2.5.4.3", "oid.2.5.4.10"};
const char kPlain[] = "abcXYZ019 .-'=\xE9";
const char kSpecial[] = "abc ,+;\"\\=#";

// A generated name: its text, each value quoted or escaped at random with
// white space where the grammar skips it (not before a separator, which an
// unquoted value keeps), and the shape its record must have.
struct Generated {
  std::string text, shape;
};

Generated generate(std::mt19937 &random, bool plain) {
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
  const char *alphabet = plain ? kPlain : kSpecial;
  Generated g;
  for (size_t r = 0, rdns = pick(8) + 1; r < rdns; ++r) {
    g.shape += r > 0 ? "," : "";
    g.text += r == 0 ? "" : pick(2) ? ", " : ";";
    for (size_t a = 0, avas = pick(3) + 1; a < avas; ++a) {
      g.shape += a > 0 ? "+" : "";
      g.text += a == 0 ? "" : pick(2) ? "+ " : "+";
      // Values neither start with white space or '#' nor are empty.
      std::string type = kTypes[pick(std::size(kTypes))];
      std::string value(1, 'a' + static_cast<char>(pick(26)));
      for (size_t n = pick(10); n > 0; --n) value += alphabet[pick(std::strlen(alphabet))];
      bool quoted = pick(2) != 0;
      g.text += type + (pick(2) ? " = " : "=") + (quoted ? "\"" : "");
      for (char c : value) {
        if (c == '"' || c == '\\' || (!quoted && std::strchr(",+;", c) != nullptr)) g.text += '\\';
        g.text += c;
      }
      g.text += quoted ? "\"" : "";
      g.shape += type + '|' + value + "|0";
    }
  }
  return g;
}

// Parses text into a record over a buffer of its own.
struct Parsed {
  std::vector<char> buffer;
  kor_ahs_dn dn{};
  uint32_t result;
  explicit Parsed(std::string text) : buffer(text.size() + 1) {
    dn.buffer = buffer.data();
    result = kor_ahs_ExtToStruct_DistinguishedNameA(text.data(), length_of(text), &dn);
  }
  ~Parsed() {
    if (result == KOR_OK) kor_ahs_Free_DistinguishedName(&dn);
  }
};

TEST(DnRoundTrip, GeneratedNamesAgreeInEveryForm) {
  OpenSchema schema;
  auto aux = reinterpret_cast<uintptr_t>(schema.get());
  auto to_ber = [&](const std::string &text) {
    return encode_by([&](kor_asn1_ctx *ctx) {
      return kor_ahs_ExtToInt_DistinguishedNameA(text.data(), length_of(text), ctx, aux);
    });
  };
  std::mt19937 random(8);
  for (int i = 0; i < 400; ++i) {
    bool plain = i % 2 == 0;
    Generated g = generate(random, plain);
    const std::string &text = g.text;
    SCOPED_TRACE(text);

    Outcome ber = to_ber(text);
    ASSERT_EQ(ber.result, 0u);
    Parsed parsed(text);
    ASSERT_EQ(parsed.result, 0u);
    EXPECT_EQ(shape(parsed.dn), g.shape);
    Outcome from_structure = encode_by([&](kor_asn1_ctx *ctx) {
      return kor_ahs_StructTo_Int_DistinguishedNameA(&parsed.dn, ctx, schema.get());
    });
    EXPECT_EQ(from_structure.hex, ber.hex);

    // Structure -> formatted text -> the same structure and BER.
    char formatted[1024];
    uint32_t formatted_len = sizeof formatted;
    ASSERT_EQ(kor_ahs_StructToExt_DistinguishedNameA(&parsed.dn, formatted, &formatted_len), 0u);
    std::string again(formatted, formatted_len);
    EXPECT_EQ(shape(Parsed(again).dn), g.shape) << again;
    EXPECT_EQ(to_ber(again).hex, ber.hex) << again;

    // BER -> text -> BER. The decoder neither quotes nor escapes, so only
    // values without the grammar's special characters come back.
    Outcome decoded =
        decode_by<char>(ber.hex, 1024, [&](kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
          return kor_ahs_IntToExt_DistinguishedNameA(ctx, out, out_len, nullptr, aux);
        });
    ASSERT_EQ(decoded.result, 0u);
    if (plain) {
      EXPECT_EQ(to_ber(decoded.text).hex, ber.hex) << decoded.text;
    }
  }
}

}  // namespace
}  // namespace lyrdua::test
