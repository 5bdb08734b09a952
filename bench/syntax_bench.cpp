// The scalar and string syntax handlers, each way, on representative values (ns per value).
#include <benchmark/benchmark.h>
#include <lyrdua/kor_ahs.h>

#include <string>
#include <vector>

namespace {

using EncoderA = uint32_t(KOR_API *)(const char *, int32_t, kor_asn1_ctx *, uintptr_t);
using DecoderA = uint32_t(KOR_API *)(kor_asn1_ctx *, char *, uint32_t *, uintptr_t);

void encode_value(benchmark::State &state, EncoderA encoder, const char *text) {
  uint8_t buffer[256];
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  for (auto _ : state) {
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
    benchmark::DoNotOptimize(encoder(text, -1, ctx, 0));
    benchmark::ClobberMemory();
  }
  if (kor_asn1_errno(ctx) != 0) state.SkipWithError("encoding failed");
  kor_asn1_free_ctx(ctx);
}

void decode_value(benchmark::State &state, EncoderA encoder, DecoderA decoder, const char *text) {
  uint8_t buffer[256];
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  encoder(text, -1, ctx, 0);
  uint8_t *ber = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &ber, &len);
  std::vector<uint8_t> encoding(ber, ber + len);
  char out[256];
  for (auto _ : state) {
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, encoding.data(), len);
    uint32_t out_len = sizeof out;
    benchmark::DoNotOptimize(decoder(ctx, out, &out_len, 0));
    benchmark::DoNotOptimize(out);
  }
  kor_asn1_free_ctx(ctx);
}

#define SYNTAX_BENCH(name, syntax, text)                                     \
  BENCHMARK_CAPTURE(encode_value, name, kor_ahs_ExtToInt_##syntax##A, text); \
  BENCHMARK_CAPTURE(decode_value, name, kor_ahs_ExtToInt_##syntax##A,        \
                    kor_ahs_IntToExt_##syntax##A, text)

SYNTAX_BENCH(boolean, Boolean, "TRUE");
SYNTAX_BENCH(bit_string_16, BitString, "1010110011110000");
SYNTAX_BENCH(integer_small, Integer, "-12345");
SYNTAX_BENCH(integer_40_digits, Integer, "1234567890123456789012345678901234567890");
SYNTAX_BENCH(octet_string_20, OctetString, "000102030405060708090a0b0c0d0e0f10111213");
SYNTAX_BENCH(oid_cn, Oid, "2.5.4.3");
SYNTAX_BENCH(oid_rsa, Oid, "1.2.840.113549.1.9.1");
SYNTAX_BENCH(utc_time, UTCTime, "971231235959+0100");
SYNTAX_BENCH(printable_string, PrintableString, "Anne Smith, Acme Ltd.");
SYNTAX_BENCH(directory_string, DirectoryString, "Anne Smith, Acme Ltd.");
SYNTAX_BENCH(t61_string, T61String, "Fran\xE7oise M\xFCller");

}  // namespace

BENCHMARK_MAIN();
