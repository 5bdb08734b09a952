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
  uint8_t buffer[8192];
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  Outcome o;
  o.result = encode(ctx);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  o.hex = to_hex(out, len);
  kor_asn1_free_ctx(ctx);
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

}  // namespace lyrdua::test
