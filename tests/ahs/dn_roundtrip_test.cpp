// Generated distinguished names (1 to 8 RDNs of 1 to 3 AVAs, keyword and
// OID. types, values needing quotes or escapes) through every form: text,
// structure, formatted text and BER must agree.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/ahs/dn_support.hpp"

namespace lyrdua::test {
namespace {

struct GeneratedAva {
  std::string type;
  std::string value;
};
using GeneratedDn = std::vector<std::vector<GeneratedAva>>;

// Types of string syntax, so that any Latin-1 value converts.
const char *const kTypes[] = {"CN", "SN",         "O",           "OU",          "L",
                              "ST", "commonName", "OID.2.5.4.3", "oid.2.5.4.10"};
const char kPlain[] = "abcXYZ019 .-'=\xE9";
const char kSpecial[] = "abc ,+;\"\\=#";

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  GeneratedDn dn(bool plain) {
    GeneratedDn dn(pick(8) + 1);
    for (auto &rdn : dn) {
      rdn.resize(pick(3) + 1);
      for (GeneratedAva &ava : rdn) ava = {kTypes[pick(std::size(kTypes))], value(plain)};
    }
    return dn;
  }

  // The text, each value quoted or escaped at random, with white space where
  // the grammar skips it (not before a separator: an unquoted value keeps it).
  std::string text(const GeneratedDn &dn) {
    std::string text;
    for (size_t r = 0; r < dn.size(); ++r) {
      if (r > 0) text += pick(2) ? ", " : ";";
      for (size_t a = 0; a < dn[r].size(); ++a) {
        if (a > 0) text += pick(2) ? "+ " : "+";
        text += dn[r][a].type + (pick(2) ? " = " : "=") + written(dn[r][a].value);
      }
    }
    return text;
  }

 private:
  size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

  // Values neither start with white space or '#' nor are empty, which the
  // grammar would read otherwise.
  std::string value(bool plain) {
    const char *alphabet = plain ? kPlain : kSpecial;
    size_t size = std::strlen(alphabet);
    std::string value(1, 'a' + static_cast<char>(pick(26)));
    for (size_t n = pick(10); n > 0; --n) value += alphabet[pick(size)];
    return value;
  }

  std::string written(const std::string &value) {
    bool quoted = pick(2) != 0;
    std::string text = quoted ? "\"" : "";
    for (char c : value) {
      bool special = c == '"' || c == '\\' || (!quoted && std::strchr(",+;", c) != nullptr);
      if (special) text += '\\';
      text += c;
    }
    if (quoted) text += '"';
    return text;
  }

  std::mt19937 random_;
};

std::string shape_of(const GeneratedDn &dn) {
  std::string text;
  for (const auto &rdn : dn) {
    if (!text.empty()) text += '\n';
    for (const GeneratedAva &ava : rdn) text += ava.type + '=' + ava.value + '\t';
  }
  return text;
}

std::string shape_of(const kor_ahs_dn &dn) {
  std::string text;
  for (const kor_ahs_rdn *rdn = &dn.rdn; rdn != nullptr; rdn = rdn->next) {
    if (!text.empty()) text += '\n';
    for (const kor_ahs_ava *ava = &rdn->ava; ava != nullptr; ava = ava->next)
      text += std::string(ava->type, ava->type_len) + '=' +
              std::string(ava->value, ava->value_len) + '\t';
  }
  return text;
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
  Generator generate(8);
  for (int i = 0; i < 400; ++i) {
    bool plain = i % 2 == 0;
    GeneratedDn names = generate.dn(plain);
    std::string text = generate.text(names);
    SCOPED_TRACE(text);

    Outcome ber = to_ber(text);
    ASSERT_EQ(ber.result, 0u);
    Parsed parsed(text);
    ASSERT_EQ(parsed.result, 0u);
    EXPECT_EQ(shape_of(parsed.dn), shape_of(names));

    // Structure -> formatted text -> the same structure and BER.
    char formatted[1024];
    uint32_t formatted_len = sizeof formatted;
    ASSERT_EQ(kor_ahs_StructToExt_DistinguishedNameA(&parsed.dn, formatted, &formatted_len), 0u);
    std::string again(formatted, formatted_len);
    EXPECT_EQ(shape_of(Parsed(again).dn), shape_of(names)) << again;
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
