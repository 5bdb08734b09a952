// The facsimile telephone number, postal address and telex number handlers,
// each way, on representative values (ns per value).
#include <benchmark/benchmark.h>
#include <lyrdua/kor_ahs.h>

#include <vector>

namespace {

using EncoderA = uint32_t(KOR_API *)(const char *, int32_t, kor_asn1_ctx *, uintptr_t);

void encode_value(benchmark::State &state, EncoderA encoder, const char *text) {
  uint8_t buffer[1024];
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  for (auto _ : state) {
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
    benchmark::DoNotOptimize(encoder(text, -1, ctx, 0));
    benchmark::ClobberMemory();
  }
  if (kor_asn1_errno(ctx) != 0) state.SkipWithError("encoding failed");
  kor_asn1_free_ctx(ctx);
}

using DecoderA = uint32_t(KOR_API *)(kor_asn1_ctx *, char *, uint32_t *, uintptr_t);

// A five-argument decoder with its structure form, called as a four-argument one.
template <typename Struct,
          uint32_t(KOR_API *decoder)(kor_asn1_ctx *, char *, uint32_t *, Struct *, uintptr_t)>
uint32_t KOR_API with_structure(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux) {
  Struct s;
  return decoder(ctx, out, out_len, &s, aux);
}

constexpr DecoderA kFaxDecoder =
    with_structure<kor_ahs_fax_telephone_number, kor_ahs_IntToExt_FaxTelephoneNumberA>;
constexpr DecoderA kPostalDecoder =
    with_structure<kor_ahs_postal_address, kor_ahs_IntToExt_PostalAddressA>;
constexpr DecoderA kTelexDecoder =
    with_structure<kor_ahs_telex_number, kor_ahs_IntToExt_TelexNumberA>;

void decode_value(benchmark::State &state, EncoderA encoder, DecoderA decoder, const char *text) {
  uint8_t buffer[1024];
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  encoder(text, -1, ctx, 0);
  uint8_t *ber = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &ber, &len);
  std::vector<uint8_t> encoding(ber, ber + len);
  char out[1024];
  for (auto _ : state) {
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, encoding.data(), len);
    uint32_t out_len = sizeof out;
    benchmark::DoNotOptimize(decoder(ctx, out, &out_len, 0));
    benchmark::DoNotOptimize(out);
  }
  kor_asn1_free_ctx(ctx);
}

#define STRUCTURED_BENCH(name, syntax, decoder, text)                        \
  BENCHMARK_CAPTURE(encode_value, name, kor_ahs_ExtToInt_##syntax##A, text); \
  BENCHMARK_CAPTURE(decode_value, name, kor_ahs_ExtToInt_##syntax##A, decoder, text)

STRUCTURED_BENCH(fax_number_only, FaxTelephoneNumber, kFaxDecoder, "+49 89 1234567");
STRUCTURED_BENCH(fax_three_parameters, FaxTelephoneNumber, kFaxDecoder,
                 "+49 89 1234567$twoDimensional$fineResolution$a3Width");
STRUCTURED_BENCH(postal_three_lines, PostalAddress, kPostalDecoder,
                 "10 Main Street$Springfield$USA");
STRUCTURED_BENCH(postal_six_lines_latin1, PostalAddress, kPostalDecoder,
                 "Acme Ltd.$Attn. Fran\xE7oise M\xFCller$Hauptstra\xDF"
                 "e 12$80331 M\xFCnchen$Bavaria$Germany");
STRUCTURED_BENCH(telex_dollar, TelexNumber, kTelexDecoder, "841234567$DE$ACME D");
STRUCTURED_BENCH(telex_spaces, TelexNumber, kTelexDecoder, "841234567 ACMED DE");

}  // namespace

BENCHMARK_MAIN();
