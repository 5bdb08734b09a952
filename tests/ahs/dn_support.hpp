// Runs the schema-driven handlers (attribute types and values, DNs, RDNs)
// through the C API: any call on an encoding context, or on a decoding
// context over hex, with the events it raised.
#pragma once

#include <gtest/gtest.h>
#include <lyrdua/kor_ahs.h>

#include <string>
#include <vector>

#include "tests/ahs/syntax_harness.hpp"
#include "tests/schema/schema_test_support.hpp"

namespace lyrdua::test {

constexpr const char *kAllSyntaxesSchema = "tests/data/schema/all-syntaxes.schema";

struct Outcome {
  uint32_t result = 0;
  std::string hex;   // encoding: what the context holds; decoding: unused
  std::string text;  // decoding: the text (result 0: out_len characters; 6: up to the NUL)
  uint32_t out_len = 0;
  RaisedEvent event;  // the one event raised (code 0 when none)
};

// Calls encode(ctx) on a fresh encoding context.
template <typename Encode>
Outcome encode_by(Encode encode) {
  EventProbe events;
  Encoded e = encode_with<char>(
      [&](const char *, int32_t, kor_asn1_ctx *ctx, uintptr_t) { return encode(ctx); }, "", 0);
  Outcome o;
  o.result = e.result;
  o.hex = e.hex;
  o.event = events.single();
  return o;
}

// Calls decode(ctx, out, &out_len) over the hex with a buffer of capacity
// units, checking that nothing is written past it.
template <typename Char, typename Decode>
Outcome decode_by(const std::string &hex, uint32_t capacity, Decode decode) {
  EventProbe events;
  std::vector<uint8_t> input = from_hex(hex);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input.data(), static_cast<uint32_t>(input.size()));
  std::vector<Char> out(capacity + 1, static_cast<Char>(0x7F));
  Outcome o;
  o.out_len = capacity;
  o.result = decode(ctx, out.data(), &o.out_len);
  EXPECT_EQ(out[capacity], static_cast<Char>(0x7F)) << "written past the capacity";
  size_t n = 0;
  if (o.result == KOR_OK) n = o.out_len;
  if (o.result == KOR_AHS_TRUNCATED)
    while (n < capacity && out[n] != 0) ++n;
  for (size_t i = 0; i < n; ++i) o.text += static_cast<char>(out[i]);
  kor_asn1_free_ctx(ctx);
  o.event = events.single();
  return o;
}

inline int32_t length_of(const std::string &text) { return static_cast<int32_t>(text.size()); }

template <typename Char>
inline std::string as_text(const Char *text, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += static_cast<char>(text[i]);
  return out;
}

// A parsed record as text: RDNs joined by ',', AVAs by '+', each AVA as
// type|value|is_hex.
template <typename Dn>
inline std::string shape(const Dn &dn) {
  std::string text;
  if (dn.rdn.ava.type == nullptr) return text;
  for (auto *rdn = &dn.rdn; rdn != nullptr; rdn = rdn->next) {
    if (rdn != &dn.rdn) text += ',';
    for (auto *ava = &rdn->ava; ava != nullptr; ava = ava->next) {
      if (ava != &rdn->ava) text += '+';
      text += as_text(ava->type, ava->type_len) + '|' + as_text(ava->value, ava->value_len) + '|' +
              std::to_string(ava->is_hex);
    }
  }
  return text;
}

}  // namespace lyrdua::test
