// The BER context shared by the writer, the reader and the printer, and the
// two choke points through which every octet enters or leaves it.
#pragma once

#include <lyrdua/kor_asn1.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lyrdua::asn1 {

// States of a frame. The writer uses 0-2, the reader 3-7.
enum FrameState : uint32_t {
  kLevelEmpty = 0,         // nothing laid for this level yet
  kContentsLaid = 1,       // primitive contents laid, identifier still to come
  kLevelComplete = 2,      // a complete element, or the sum of an open level's members
  kEntered = 3,            // an entered constructed element
  kPrimitiveHeader = 4,    // header of a primitive read, contents next
  kConstructedHeader = 5,  // header of a constructed element read, not entered
  kBeforeOutermost = 6,    // frame 0 before the outermost element
  kAfterOutermost = 7,     // frame 0 after the outermost element's header
};

// Total of a frame whose length is indefinite (or whose input has no known end).
constexpr uint32_t kIndefiniteTotal = 0xFFFFFFFFu;

struct Frame {
  uint32_t total;  // decoding: the element's whole encoded length
  int32_t count;   // octets laid (encoding) or contents still unread (decoding)
  uint32_t state;
};

// Input captured in an earlier chunk of a stream while a mark was set.
struct MarkedSegment {
  const uint8_t *start;
  const uint8_t *end;
  MarkedSegment *next;
};

struct ScratchBlock;

// The stream of a context that works on a fixed buffer: it never delivers.
extern const kor_asn1_dstrm null_stream;

}  // namespace lyrdua::asn1

// The opaque context of the C API.
//
// The cursor pair replaces the classic position/limit pair so that no pointer
// ever points in front of a buffer:
//   encoding: cursor = first octet laid, stop = buffer; laying moves cursor down;
//   decoding: cursor = next octet to read, stop = buffer + length, or null for
//             an unbounded input (the cursor never reaches it).
// cursor == stop means "ask the stream"; both are null before a stream's
// first buffer.
struct kor_asn1_ctx {
  uint32_t mode;
  uint32_t error;
  uint8_t *buffer;
  uint32_t length;
  uint8_t *cursor;
  uint8_t *stop;
  bool marking;         // a capture is running (the mark may still be null
                        // when it began before a stream's first buffer)
  const uint8_t *mark;  // start of the capture in the current buffer
  const uint8_t *mark_end;
  lyrdua::asn1::MarkedSegment *segments;
  kor_asn1_dstrm *stream;
  lyrdua::asn1::ScratchBlock *scratch;
  lyrdua::asn1::Frame *current;
  lyrdua::asn1::Frame frames[KOR_ASN1_MAX_FRAMES];
};

namespace lyrdua::asn1 {

inline Frame *first_frame(kor_asn1_ctx *ctx) { return ctx->frames; }
inline Frame *last_frame(kor_asn1_ctx *ctx) { return ctx->frames + KOR_ASN1_MAX_FRAMES - 1; }

// Records code unless an error is already recorded: the first error wins.
inline void record_error(kor_asn1_ctx *ctx, uint32_t code) {
  if (ctx->error == 0) ctx->error = code;
}

// Octets that can still be read from the current buffer without the stream.
// Computed on the addresses, so that a null stop (unbounded input) leaves room
// for any read and a context without a buffer (both null) has none.
inline size_t readable_in_buffer(const kor_asn1_ctx *ctx) {
  return reinterpret_cast<uintptr_t>(ctx->stop) - reinterpret_cast<uintptr_t>(ctx->cursor);
}

// Octets that can still be laid in the current buffer without the stream.
inline size_t room_in_buffer(const kor_asn1_ctx *ctx) {
  return reinterpret_cast<uintptr_t>(ctx->cursor) - reinterpret_cast<uintptr_t>(ctx->stop);
}

// The n octets at the cursor when the current buffer holds them, else null.
// Lets the reader decode a header in one step; fetch_octet does the rest.
inline const uint8_t *peek_in_buffer(const kor_asn1_ctx *ctx, size_t n) {
  return readable_in_buffer(ctx) >= n ? ctx->cursor : nullptr;
}

// Moves the cursor past n octets that peek_in_buffer gave.
inline void consume_in_buffer(kor_asn1_ctx *ctx, size_t n) { ctx->cursor += n; }

// Room for n octets in front of those laid, when the current buffer has it:
// the cursor moves to the first of them. Null, and nothing moves, otherwise.
inline uint8_t *reserve_in_buffer(kor_asn1_ctx *ctx, size_t n) {
  if (room_in_buffer(ctx) < n) return nullptr;
  ctx->cursor -= n;
  return ctx->cursor;
}

// Slow paths of the choke points (ber_context.cpp).
int fetch_octet_refill(kor_asn1_ctx *ctx);
void lay_octet_refill(kor_asn1_ctx *ctx, uint8_t octet);

// Takes the next input octet; -1 once the input failed (the error is recorded).
inline int fetch_octet(kor_asn1_ctx *ctx) {
  if (ctx->cursor != ctx->stop) return *ctx->cursor++;
  return fetch_octet_refill(ctx);
}

// Lays one octet in front of those laid before.
inline void lay_octet(kor_asn1_ctx *ctx, uint8_t octet) {
  if (ctx->cursor != ctx->stop) {
    *--ctx->cursor = octet;
    return;
  }
  lay_octet_refill(ctx, octet);
}

// Takes n input octets across chunks, copying them to dest unless it is null.
// False once the input failed.
bool fetch_run(kor_asn1_ctx *ctx, uint8_t *dest, uint32_t n);

// Lays n octets so that they stand in their given order in front of those
// laid before, octet by octet once the current buffer is full.
void lay_run_refill(kor_asn1_ctx *ctx, const uint8_t *data, uint32_t n);
inline void lay_run(kor_asn1_ctx *ctx, const uint8_t *data, uint32_t n) {
  if (n == 0) return;
  if (uint8_t *at = reserve_in_buffer(ctx, n)) {
    std::memcpy(at, data, n);
    return;
  }
  lay_run_refill(ctx, data, n);
}

// Puts a context in the state of a new one, and releases what it owns; used
// by kor_asn1_new_ctx/kor_asn1_free_ctx and by contexts that live on the stack.
void init_context(kor_asn1_ctx *ctx);
void release_context_memory(kor_asn1_ctx *ctx);

// A context-owned block of size octets, or null when memory is exhausted.
void *scratch_alloc(kor_asn1_ctx *ctx, size_t size);

// Scratch blocks that grow while their final size is unknown; adopted by the
// context once complete, released by abandon_growing otherwise.
struct GrowingBlock {
  ScratchBlock *block = nullptr;
  size_t size = 0;
  size_t capacity = 0;
};
bool grow_append(GrowingBlock *growing, const uint8_t *data, size_t n);
uint8_t *grow_reserve(GrowingBlock *growing, size_t n);
const uint8_t *adopt_growing(kor_asn1_ctx *ctx, GrowingBlock *growing);
void abandon_growing(GrowingBlock *growing);

}  // namespace lyrdua::asn1
