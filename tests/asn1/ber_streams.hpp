// Data streams for the codec tests: one that delivers a given input in chunks
// and one that collects an encoding from buffers of a given size.
#pragma once

#include <lyrdua/kor_asn1.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace lyrdua::test {

// A codec context released at the end of the scope.
struct Ctx {
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  Ctx() = default;
  Ctx(const Ctx &) = delete;
  Ctx &operator=(const Ctx &) = delete;
  ~Ctx() { kor_asn1_free_ctx(ctx); }
  operator kor_asn1_ctx *() const { return ctx; }
};

// Delivers the input in chunks of chunk_size octets (the last may be
// shorter); each chunk is a separate allocation that lives as long as the
// stream, so that out-of-bounds reads are caught by the sanitizers. After the
// input, it answers end_answer.
struct ChunkStream {
  kor_asn1_dstrm base;
  std::vector<uint8_t> input;
  size_t chunk_size;
  size_t offset = 0;
  uint32_t end_answer = KOR_ASN1_DSTRM_END;
  int opened = -1;
  std::deque<std::unique_ptr<uint8_t[]>> chunks;

  ChunkStream(std::vector<uint8_t> octets, size_t chunk)
      : base{&kOps}, input(std::move(octets)), chunk_size(chunk) {}

  static uint32_t KOR_API get_fwd(kor_asn1_dstrm *s, uint8_t **buf, uint32_t *len) {
    auto *self = reinterpret_cast<ChunkStream *>(s);
    if (self->offset >= self->input.size()) return self->end_answer;
    size_t n = std::min(self->chunk_size, self->input.size() - self->offset);
    self->chunks.emplace_back(new uint8_t[n]);
    std::copy_n(self->input.data() + self->offset, n, self->chunks.back().get());
    self->offset += n;
    *buf = self->chunks.back().get();
    *len = static_cast<uint32_t>(n);
    return KOR_ASN1_DSTRM_OK;
  }
  static uint32_t KOR_API unused_filled(kor_asn1_dstrm *, uint8_t *, uint32_t) { return 1; }
  static uint32_t KOR_API unused_get(kor_asn1_dstrm *, uint8_t **, uint32_t *) { return 1; }
  static void KOR_API open(kor_asn1_dstrm *s, uint32_t direction) {
    reinterpret_cast<ChunkStream *>(s)->opened = static_cast<int>(direction);
  }
  static void *KOR_API alloc(kor_asn1_dstrm *, uint32_t) { return nullptr; }
  static constexpr kor_asn1_dstrm_ops kOps = {get_fwd,       unused_filled, unused_get,
                                              unused_filled, open,          alloc};
};

// Hands out fresh buffers of buffer_size octets and collects what bwd_filled
// hands back. The pieces arrive last piece first; joined() puts them in order.
struct CollectStream {
  kor_asn1_dstrm base;
  size_t buffer_size;
  size_t buffers_left;  // get_bwd_buffer answers end_answer after these
  uint32_t end_answer = KOR_ASN1_DSTRM_END;
  uint32_t filled_answer = KOR_ASN1_DSTRM_OK;
  int opened = -1;
  std::deque<std::unique_ptr<uint8_t[]>> buffers;
  std::vector<std::vector<uint8_t>> pieces;  // in the order handed over

  explicit CollectStream(size_t size, size_t max_buffers = SIZE_MAX)
      : base{&kOps}, buffer_size(size), buffers_left(max_buffers) {}

  std::vector<uint8_t> joined() const {
    std::vector<uint8_t> all;
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
      all.insert(all.end(), it->begin(), it->end());
    return all;
  }

  static uint32_t KOR_API get_bwd(kor_asn1_dstrm *s, uint8_t **buf, uint32_t *len) {
    auto *self = reinterpret_cast<CollectStream *>(s);
    if (self->buffers_left == 0) return self->end_answer;
    --self->buffers_left;
    self->buffers.emplace_back(new uint8_t[self->buffer_size]);
    *buf = self->buffers.back().get();
    *len = static_cast<uint32_t>(self->buffer_size);
    return KOR_ASN1_DSTRM_OK;
  }
  static uint32_t KOR_API bwd_filled(kor_asn1_dstrm *s, uint8_t *first, uint32_t count) {
    auto *self = reinterpret_cast<CollectStream *>(s);
    self->pieces.emplace_back(first, first + count);
    return self->filled_answer;
  }
  static uint32_t KOR_API unused_get(kor_asn1_dstrm *, uint8_t **, uint32_t *) { return 1; }
  static uint32_t KOR_API unused_filled(kor_asn1_dstrm *, uint8_t *, uint32_t) { return 1; }
  static void KOR_API open(kor_asn1_dstrm *s, uint32_t direction) {
    reinterpret_cast<CollectStream *>(s)->opened = static_cast<int>(direction);
  }
  static void *KOR_API alloc(kor_asn1_dstrm *, uint32_t) { return nullptr; }
  static constexpr kor_asn1_dstrm_ops kOps = {unused_get, unused_filled, get_bwd,
                                              bwd_filled, open,          alloc};
};

}  // namespace lyrdua::test
