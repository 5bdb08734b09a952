// Speed of the buffer lists against one flat buffer: encoding 1 MiB of
// elements into a list (blocks allocated as it goes, released afterwards)
// and into a fixed buffer; decoding the same encoding from a chain of full
// blocks and from one flat buffer.
#include <benchmark/benchmark.h>
#include <lyrdua/kor_asn1.h>
#include <lyrdua/kor_buflist.h>

#include <cstdint>
#include <vector>

namespace lyrdua::bench {
namespace {

// A SEQUENCE of OCTET STRINGs of 60 octets each, about 1 MiB in all.
constexpr uint32_t kElementSize = 60;
constexpr size_t kElements = (1u << 20) / (kElementSize + 2);
constexpr size_t kCapacity = kElements * (kElementSize + 2) + 16;

const std::vector<uint8_t> &element_octets() {
  static const std::vector<uint8_t> octets = [] {
    std::vector<uint8_t> v(kElementSize);
    for (uint32_t i = 0; i < kElementSize; ++i) v[i] = static_cast<uint8_t>(i * 7);
    return v;
  }();
  return octets;
}

void encode_megabyte(kor_asn1_ctx *ctx) {
  const uint8_t *octets = element_octets().data();
  kor_asn1_enter_construct(ctx);
  for (size_t i = 0; i < kElements; ++i) {
    kor_asn1_put_octets(ctx, octets, kElementSize);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
  }
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
}

// Reads every element; the sum of contents lengths keeps the work observable.
uint64_t decode_megabyte(kor_asn1_ctx *ctx) {
  uint64_t total = 0;
  kor_asn1_get_tag(ctx);
  kor_asn1_enter_construct(ctx);
  while (kor_asn1_get_tag(ctx) != 0) {
    const uint8_t *out = nullptr;
    uint32_t len = 0;
    kor_asn1_get_octets(ctx, &out, &len);
    total += len;
  }
  return total;
}

std::vector<uint8_t> flat_encoding() {
  std::vector<uint8_t> buffer(kCapacity);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), kCapacity);
  encode_megabyte(ctx);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  std::vector<uint8_t> octets(out, out + len);
  kor_asn1_free_ctx(ctx);
  return octets;
}

void BM_EncodeFixed(benchmark::State &state) {
  std::vector<uint8_t> buffer(kCapacity);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  for (auto _ : state) {
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), kCapacity);
    encode_megabyte(ctx);
    uint8_t *out = nullptr;
    uint32_t len = 0;
    kor_asn1_get_buf(ctx, &out, &len);
    benchmark::DoNotOptimize(out);
    if (len == 0) state.SkipWithError("encoding failed");
  }
  kor_asn1_free_ctx(ctx);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kCapacity);
}

void BM_EncodeBufferList(benchmark::State &state) {
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  for (auto _ : state) {
    kor_buflist *list = kor_buflist_create(nullptr);
    kor_asn1_set_dstrm(ctx, reinterpret_cast<kor_asn1_dstrm *>(list), KOR_ASN1_MODE_ENCODE);
    encode_megabyte(ctx);
    if (kor_asn1_errno(ctx) != 0) state.SkipWithError("encoding failed");
    kor_buflist_destroy(reinterpret_cast<kor_buflist *>(kor_asn1_get_dstrm(ctx)));
  }
  kor_asn1_free_ctx(ctx);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kCapacity);
}

void BM_DecodeFlat(benchmark::State &state) {
  std::vector<uint8_t> encoding = flat_encoding();
  for (auto _ : state) {
    // A new context each time, as the chain's reads leave scratch copies.
    kor_asn1_ctx *ctx = kor_asn1_new_ctx();
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, encoding.data(),
                     static_cast<uint32_t>(encoding.size()));
    benchmark::DoNotOptimize(decode_megabyte(ctx));
    kor_asn1_free_ctx(ctx);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * encoding.size()));
}

void BM_DecodeChain(benchmark::State &state) {
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_buflist *list = kor_buflist_create(nullptr);
  kor_asn1_set_dstrm(ctx, reinterpret_cast<kor_asn1_dstrm *>(list), KOR_ASN1_MODE_ENCODE);
  encode_megabyte(ctx);
  kor_asn1_get_dstrm(ctx);
  kor_asn1_free_ctx(ctx);
  list = kor_buflist_fromPelk(kor_buflist_toPelk(list), nullptr);
  size_t size = flat_encoding().size();
  for (auto _ : state) {
    kor_asn1_ctx *reader = kor_asn1_new_ctx();
    kor_asn1_set_dstrm(reader, reinterpret_cast<kor_asn1_dstrm *>(list), KOR_ASN1_MODE_DECODE);
    benchmark::DoNotOptimize(decode_megabyte(reader));
    kor_asn1_get_dstrm(reader);
    kor_asn1_free_ctx(reader);
  }
  kor_buflist_destroy(list);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

BENCHMARK(BM_EncodeFixed)->Name("encode/fixed")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeBufferList)->Name("encode/buflist")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeFlat)->Name("decode/flat")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeChain)->Name("decode/chain")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lyrdua::bench

BENCHMARK_MAIN();
