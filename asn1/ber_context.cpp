// BER context: creation, buffers and streams, the sticky error, capture of
// raw input (mark), scratch memory, and the slow paths of the choke points.
#include "asn1/ber_context.hpp"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/export.hpp"

namespace lyrdua::asn1 {

struct ScratchBlock {
  ScratchBlock *previous;
  alignas(std::max_align_t) uint8_t payload[1];
};

constexpr size_t kScratchHeader = offsetof(ScratchBlock, payload);

namespace {

uint32_t KOR_API null_get_buffer(kor_asn1_dstrm *, uint8_t **, uint32_t *) {
  return KOR_ASN1_DSTRM_END;
}
uint32_t KOR_API null_filled(kor_asn1_dstrm *, uint8_t *, uint32_t) { return KOR_ASN1_DSTRM_END; }
void KOR_API null_open(kor_asn1_dstrm *, uint32_t) {}
void *KOR_API null_alloc(kor_asn1_dstrm *, uint32_t) { return nullptr; }

const kor_asn1_dstrm_ops null_stream_ops = {null_get_buffer, null_filled, null_get_buffer,
                                            null_filled,     null_open,   null_alloc};

// The error that a stream's non-zero answer becomes.
uint32_t stream_answer_error(uint32_t answer) {
  switch (answer) {
    case KOR_ASN1_DSTRM_END:
      return KOR_ASN1_E_END_OF_DATA;
    case KOR_ASN1_DSTRM_FAIL:
      return KOR_ASN1_E_STREAM;
    default:
      return KOR_ASN1_E_STATE;
  }
}

[[gnu::noinline]] void release_segments(kor_asn1_ctx *ctx) {
  for (MarkedSegment *s = ctx->segments; s != nullptr;) {
    MarkedSegment *next = s->next;
    std::free(s);
    s = next;
  }
  ctx->segments = nullptr;
}

// Usually there is none: the test stays inline, the release out of line.
inline void discard_segments(kor_asn1_ctx *ctx) {
  if (ctx->segments != nullptr) release_segments(ctx);
}

// A new buffer or stream starts a new input: the frame stack restarts, and a
// capture of the old input would point into memory the context no longer uses.
void restart(kor_asn1_ctx *ctx) {
  ctx->current = first_frame(ctx);
  ctx->marking = false;
  ctx->mark = ctx->mark_end = nullptr;
  discard_segments(ctx);
}

void set_frame0_for_encoding(kor_asn1_ctx *ctx) {
  Frame *f = first_frame(ctx);
  f->total = 0;
  f->count = 0;
  f->state = kLevelEmpty;
}

void set_frame0_for_decoding(kor_asn1_ctx *ctx, uint32_t total) {
  Frame *f = first_frame(ctx);
  f->total = total;
  f->count = static_cast<int32_t>(total);
  f->state = kBeforeOutermost;
}

// Octets laid in the current encoding buffer.
uint32_t laid_in_buffer(const kor_asn1_ctx *ctx) {
  if (ctx->buffer == nullptr || ctx->cursor == nullptr) return 0;
  return static_cast<uint32_t>(ctx->buffer + ctx->length - ctx->cursor);
}

}  // namespace

const kor_asn1_dstrm null_stream = {&null_stream_ops};

int fetch_octet_refill(kor_asn1_ctx *ctx) {
  if (ctx->error != 0) return -1;
  // The part of a capture that lies in the chunk now used up becomes a marked
  // segment once the next chunk has arrived (the old chunk stays valid).
  const uint8_t *captured_start = ctx->marking ? ctx->mark : nullptr;
  const uint8_t *captured_end = ctx->cursor;
  uint32_t answer = ctx->stream->ops->get_fwd_buffer(ctx->stream, &ctx->buffer, &ctx->length);
  if (answer != KOR_ASN1_DSTRM_OK) {
    record_error(ctx, stream_answer_error(answer));
    return -1;
  }
  if (ctx->buffer == nullptr || ctx->length == 0) {
    // A stream must deliver a chunk with at least one octet.
    record_error(ctx, KOR_ASN1_E_STATE);
    return -1;
  }
  if (captured_start != nullptr && captured_start != captured_end) {
    auto *segment = static_cast<MarkedSegment *>(std::malloc(sizeof(MarkedSegment)));
    if (segment == nullptr) {
      record_error(ctx, KOR_ASN1_E_END_OF_DATA);
      return -1;
    }
    *segment = {captured_start, captured_end, ctx->segments};
    ctx->segments = segment;
  }
  ctx->cursor = ctx->buffer;
  ctx->stop = ctx->buffer + ctx->length;
  if (ctx->marking) ctx->mark = ctx->buffer;
  return *ctx->cursor++;
}

void lay_octet_refill(kor_asn1_ctx *ctx, uint8_t octet) {
  if (ctx->error != 0) return;
  kor_asn1_dstrm *stream = ctx->stream;
  if (ctx->buffer != nullptr) {
    uint32_t answer = stream->ops->bwd_filled(stream, ctx->cursor, laid_in_buffer(ctx));
    if (answer != KOR_ASN1_DSTRM_OK) {
      record_error(ctx, stream_answer_error(answer));
      return;
    }
  }
  uint32_t answer = stream->ops->get_bwd_buffer(stream, &ctx->buffer, &ctx->length);
  if (answer != KOR_ASN1_DSTRM_OK) {
    record_error(ctx, stream_answer_error(answer));
    return;
  }
  if (ctx->buffer == nullptr || ctx->length == 0) {
    record_error(ctx, KOR_ASN1_E_STATE);
    return;
  }
  ctx->stop = ctx->buffer;
  ctx->cursor = ctx->buffer + ctx->length;
  *--ctx->cursor = octet;
}

bool fetch_run(kor_asn1_ctx *ctx, uint8_t *dest, uint32_t n) {
  while (n > 0) {
    size_t take = readable_in_buffer(ctx);
    if (take > n) take = n;
    if (take > 0) {
      if (dest != nullptr) {
        std::memcpy(dest, ctx->cursor, take);
        dest += take;
      }
      ctx->cursor += take;
      n -= static_cast<uint32_t>(take);
      continue;
    }
    int octet = fetch_octet_refill(ctx);
    if (octet < 0) return false;
    if (dest != nullptr) *dest++ = static_cast<uint8_t>(octet);
    --n;
  }
  return true;
}

void lay_run_refill(kor_asn1_ctx *ctx, const uint8_t *data, uint32_t n) {
  while (n > 0) {
    size_t room = room_in_buffer(ctx);
    if (room > n) room = n;
    if (room > 0) {
      ctx->cursor -= room;
      n -= static_cast<uint32_t>(room);
      std::memcpy(ctx->cursor, data + n, room);
      continue;
    }
    lay_octet_refill(ctx, data[n - 1]);
    if (ctx->error != 0) return;
    --n;
  }
}

void *scratch_alloc(kor_asn1_ctx *ctx, size_t size) {
  if (size > SIZE_MAX - kScratchHeader) return nullptr;
  auto *block = static_cast<ScratchBlock *>(std::malloc(kScratchHeader + size));
  if (block == nullptr) return nullptr;
  block->previous = ctx->scratch;
  ctx->scratch = block;
  return block->payload;
}

uint8_t *grow_reserve(GrowingBlock *growing, size_t n) {
  size_t needed = growing->size + n;
  if (needed < growing->size || needed > SIZE_MAX - kScratchHeader) return nullptr;
  // The first call allocates even for n == 0: adopt_growing needs a block.
  if (growing->block == nullptr || needed > growing->capacity) {
    size_t capacity = growing->capacity < 64 ? 64 : growing->capacity;
    while (capacity < needed) capacity = capacity > SIZE_MAX / 2 ? needed : capacity * 2;
    void *grown = std::realloc(growing->block, kScratchHeader + capacity);
    if (grown == nullptr) return nullptr;
    growing->block = static_cast<ScratchBlock *>(grown);
    growing->capacity = capacity;
  }
  uint8_t *at = growing->block->payload + growing->size;
  growing->size = needed;
  return at;
}

bool grow_append(GrowingBlock *growing, const uint8_t *data, size_t n) {
  if (n == 0) return true;
  uint8_t *at = grow_reserve(growing, n);
  if (at == nullptr) return false;
  std::memcpy(at, data, n);
  return true;
}

const uint8_t *adopt_growing(kor_asn1_ctx *ctx, GrowingBlock *growing) {
  if (growing->block == nullptr && grow_reserve(growing, 0) == nullptr) return nullptr;
  growing->block->previous = ctx->scratch;
  ctx->scratch = growing->block;
  const uint8_t *payload = growing->block->payload;
  *growing = GrowingBlock{};
  return payload;
}

void abandon_growing(GrowingBlock *growing) {
  std::free(growing->block);
  *growing = GrowingBlock{};
}

void init_context(kor_asn1_ctx *ctx) {
  // Only the fields before the frame stack and frame 0 need values: every
  // deeper frame is set when it is pushed. Contexts on the stack (OID
  // wrapping in every schema lookup) thus skip clearing 40 frames.
  std::memset(static_cast<void *>(ctx), 0, offsetof(kor_asn1_ctx, frames) + sizeof(Frame));
  ctx->error = KOR_ASN1_E_SEQUENCE;
  ctx->stream = const_cast<kor_asn1_dstrm *>(&null_stream);
  ctx->current = first_frame(ctx);
}

void release_context_memory(kor_asn1_ctx *ctx) {
  discard_segments(ctx);
  for (ScratchBlock *b = ctx->scratch; b != nullptr;) {
    ScratchBlock *previous = b->previous;
    std::free(b);
    b = previous;
  }
  ctx->scratch = nullptr;
}

}  // namespace lyrdua::asn1

using namespace lyrdua::asn1;

extern "C" {

LYRDUA_EXPORT kor_asn1_ctx *KOR_API kor_asn1_new_ctx(void) {
  auto *ctx = static_cast<kor_asn1_ctx *>(std::malloc(sizeof(kor_asn1_ctx)));
  if (ctx != nullptr) init_context(ctx);
  return ctx;
}

LYRDUA_EXPORT void KOR_API kor_asn1_free_ctx(kor_asn1_ctx *ctx) {
  if (ctx == nullptr) return;
  release_context_memory(ctx);
  std::free(ctx);
}

LYRDUA_EXPORT void KOR_API kor_asn1_set_buf(kor_asn1_ctx *ctx, uint32_t mode, void *buf,
                                            uint32_t len) {
  auto *octets = static_cast<uint8_t *>(buf);
  ctx->buffer = octets;
  ctx->length = len;
  if (mode == KOR_ASN1_MODE_ENCODE) {
    ctx->mode = mode;
    ctx->error = 0;
    ctx->stop = octets;
    ctx->cursor = octets == nullptr ? nullptr : octets + len;
    set_frame0_for_encoding(ctx);
  } else if (mode == KOR_ASN1_MODE_DECODE) {
    ctx->mode = mode;
    ctx->error = 0;
    ctx->cursor = octets;
    ctx->stop = len == KOR_ASN1_UNBOUNDED || octets == nullptr ? nullptr : octets + len;
    if (octets == nullptr) ctx->cursor = nullptr;
    set_frame0_for_decoding(ctx, len);
  } else {
    // An unknown mode leaves the context out of use, as a new one is.
    ctx->mode = 0;
    ctx->error = KOR_ASN1_E_SEQUENCE;
    ctx->cursor = ctx->stop = nullptr;
  }
  restart(ctx);  // last, so that releasing earlier captures is a tail call
}

LYRDUA_EXPORT void KOR_API kor_asn1_get_buf(kor_asn1_ctx *ctx, uint8_t **out, uint32_t *len) {
  *out = nullptr;
  *len = 0;
  if (ctx->error != 0) return;
  if (ctx->mode != KOR_ASN1_MODE_ENCODE) {
    record_error(ctx, KOR_ASN1_E_WRONG_MODE);
    return;
  }
  *len = laid_in_buffer(ctx);
  if (*len != 0) *out = ctx->cursor;
}

LYRDUA_EXPORT void KOR_API kor_asn1_set_dstrm(kor_asn1_ctx *ctx, kor_asn1_dstrm *strm,
                                              uint32_t mode) {
  if (strm == nullptr) strm = const_cast<kor_asn1_dstrm *>(&null_stream);
  restart(ctx);
  ctx->stream = strm;
  ctx->buffer = nullptr;
  ctx->length = 0;
  ctx->cursor = ctx->stop = nullptr;
  if (mode != KOR_ASN1_MODE_ENCODE && mode != KOR_ASN1_MODE_DECODE) {
    ctx->mode = 0;
    ctx->error = KOR_ASN1_E_SEQUENCE;
    return;
  }
  ctx->mode = mode;
  ctx->error = 0;
  strm->ops->open(strm, mode == KOR_ASN1_MODE_ENCODE ? KOR_ASN1_DSTRM_WRITE : KOR_ASN1_DSTRM_READ);
  if (mode == KOR_ASN1_MODE_ENCODE) {
    set_frame0_for_encoding(ctx);
  } else {
    set_frame0_for_decoding(ctx, kIndefiniteTotal);
  }
}

LYRDUA_EXPORT void KOR_API kor_asn1_flush(kor_asn1_ctx *ctx) {
  if (ctx->error != 0 || ctx->mode != KOR_ASN1_MODE_ENCODE || ctx->buffer == nullptr) return;
  ctx->stream->ops->bwd_filled(ctx->stream, ctx->cursor, laid_in_buffer(ctx));
}

LYRDUA_EXPORT kor_asn1_dstrm *KOR_API kor_asn1_get_dstrm(kor_asn1_ctx *ctx) {
  if (ctx->mode == KOR_ASN1_MODE_ENCODE) kor_asn1_flush(ctx);
  ctx->error = KOR_ASN1_E_SEQUENCE;
  kor_asn1_dstrm *stream = ctx->stream;
  ctx->stream = const_cast<kor_asn1_dstrm *>(&null_stream);
  ctx->buffer = nullptr;
  ctx->length = 0;
  ctx->cursor = ctx->stop = nullptr;
  return stream;
}

LYRDUA_EXPORT uint32_t KOR_API kor_asn1_errno(kor_asn1_ctx *ctx) { return ctx->error; }

LYRDUA_EXPORT void KOR_API kor_asn1_set_errno(kor_asn1_ctx *ctx, uint32_t code) {
  record_error(ctx, code);
}

LYRDUA_EXPORT void *KOR_API kor_asn1_scratch_alloc(kor_asn1_ctx *ctx, uint32_t size) {
  return scratch_alloc(ctx, size);
}

LYRDUA_EXPORT void KOR_API kor_asn1_mark(kor_asn1_ctx *ctx) {
  discard_segments(ctx);
  ctx->marking = true;
  ctx->mark = ctx->cursor;
  ctx->mark_end = nullptr;
}

LYRDUA_EXPORT void KOR_API kor_asn1_get_marked(kor_asn1_ctx *ctx, const uint8_t **out,
                                               uint32_t *len) {
  static const uint8_t empty[1] = {0};
  *out = empty;
  *len = 0;
  if (!ctx->marking) return;
  if (ctx->segments == nullptr) {
    if (ctx->mark != nullptr && ctx->cursor != ctx->mark) {
      *out = ctx->mark;
      *len = static_cast<uint32_t>(ctx->cursor - ctx->mark);
    }
    ctx->mark = ctx->cursor;
    return;
  }
  ctx->mark_end = ctx->cursor;
  size_t total = static_cast<size_t>(ctx->mark_end - ctx->mark);
  for (const MarkedSegment *s = ctx->segments; s != nullptr; s = s->next)
    total += static_cast<size_t>(s->end - s->start);
  auto *joined = static_cast<uint8_t *>(scratch_alloc(ctx, total));
  if (joined == nullptr) {
    record_error(ctx, KOR_ASN1_E_END_OF_DATA);
  } else {
    // The head is the newest input: it goes last, older segments in front of it.
    uint8_t *at = joined + total;
    size_t head = static_cast<size_t>(ctx->mark_end - ctx->mark);
    at -= head;
    std::memcpy(at, ctx->mark, head);
    for (const MarkedSegment *s = ctx->segments; s != nullptr; s = s->next) {
      size_t n = static_cast<size_t>(s->end - s->start);
      at -= n;
      std::memcpy(at, s->start, n);
    }
    *out = joined;
    *len = static_cast<uint32_t>(total);
  }
  discard_segments(ctx);
  ctx->mark = ctx->cursor;
}

}  // extern "C"
