// BER reader: walks an encoding forwards, element by element, with definite
// and indefinite lengths, high tag numbers and constructed strings.
#include <climits>
#include <cstddef>

#include "asn1/ber_context.hpp"
#include "platform/export.hpp"

namespace lyrdua::asn1 {

void enter_level_for_encoding(kor_asn1_ctx *ctx);

namespace {

constexpr uint32_t kTagNumberMask = KOR_ASN1_NUMBER_MASK;
// get_octets of a straddling primitive grows its copy by at most this much
// per step, so that a hostile length costs memory only as data arrives.
constexpr uint32_t kCopyStep = 64 * 1024;

[[gnu::noinline]] bool refuse_reading(kor_asn1_ctx *ctx) {
  if (ctx->error == 0) record_error(ctx, KOR_ASN1_E_WRONG_MODE);
  return false;
}

// A decoding context without an error: mode and error are tested in one
// comparison of the two adjacent words, as every reader call begins here.
inline bool is_reading(kor_asn1_ctx *ctx) {
  static_assert(offsetof(kor_asn1_ctx, error) == offsetof(kor_asn1_ctx, mode) + sizeof(uint32_t));
  constexpr uint32_t kReading[2] = {KOR_ASN1_MODE_DECODE, 0};
  uint64_t expected;
  uint64_t found;
  std::memcpy(&expected, kReading, sizeof expected);
  std::memcpy(&found, &ctx->mode, sizeof found);
  return found == expected || refuse_reading(ctx);
}

enum class Closing { Continue, EndOfConstruct, Failed };

// Frame 0 in get_tag's second step: the outermost element comes once.
[[gnu::noinline]] Closing close_outermost_level(kor_asn1_ctx *ctx) {
  Frame *f = first_frame(ctx);
  ctx->current = f;
  if (f->state == kBeforeOutermost) {
    f->state = kAfterOutermost;
    return Closing::Continue;
  }
  record_error(ctx, KOR_ASN1_E_END_OF_DATA);
  return Closing::Failed;
}

[[gnu::noinline]] Closing overran_container(kor_asn1_ctx *ctx, Frame *container) {
  ctx->current = container;
  record_error(ctx, KOR_ASN1_E_END_OF_DATA);
  return Closing::Failed;
}

// Pops the frames whose contents are all consumed (get_tag's second step).
inline Closing close_finished_elements(kor_asn1_ctx *ctx) {
  Frame *f = ctx->current;
  for (;;) {
    if (f == first_frame(ctx)) return close_outermost_level(ctx);
    if (f->count != 0 || f->total == kIndefiniteTotal) {
      ctx->current = f;
      return Closing::Continue;
    }
    Frame *parent = f - 1;
    parent->count -= static_cast<int32_t>(f->total);
    if (parent->count < 0 && parent->total != kIndefiniteTotal)
      return overran_container(ctx, parent);
    if (f->state == kEntered) {
      ctx->current = parent;
      return Closing::EndOfConstruct;
    }
    f = parent;
  }
}

// Reads the length octets of the element whose frame is f.
bool read_length(kor_asn1_ctx *ctx, Frame *f, int32_t header, uint32_t constructed) {
  int first = fetch_octet(ctx);
  if (first < 0) return false;
  if (first == 0x80) {
    f->total = kIndefiniteTotal;
    f->count = -header;
    f->state = kConstructedHeader;
    return true;
  }
  uint32_t length = static_cast<uint32_t>(first);
  if (first > 0x80) {
    length = 0;
    for (int n = first - 0x80; n > 0; --n) {
      int octet = fetch_octet(ctx);
      if (octet < 0) return false;
      ++header;
      if (length > (INT32_MAX >> 8)) {
        record_error(ctx, KOR_ASN1_E_LENGTH);
        return false;
      }
      length = length << 8 | static_cast<uint32_t>(octet);
    }
    if (length > INT32_MAX) {
      record_error(ctx, KOR_ASN1_E_LENGTH);
      return false;
    }
  }
  f->count = static_cast<int32_t>(length);
  f->total = length + static_cast<uint32_t>(header);
  f->state = constructed ? kConstructedHeader : kPrimitiveHeader;
  return true;
}

uint32_t read_tag(kor_asn1_ctx *ctx);

// End-of-contents octets: the second octet and the effect on the frame.
// octets counts the identifier octets read (more than one when a tag number
// of 0 came in the long form) plus the second octet.
uint32_t read_end_of_contents(kor_asn1_ctx *ctx, int32_t octets) {
  Frame *f = ctx->current;
  if (f->total != kIndefiniteTotal) {
    record_error(ctx, KOR_ASN1_E_EOC);
    return 0;
  }
  int second = fetch_octet(ctx);
  if (second < 0) return 0;
  if (second != 0) {
    record_error(ctx, KOR_ASN1_E_EOC);
    return 0;
  }
  f->total = static_cast<uint32_t>(octets - f->count);
  f->count = 0;
  if (f->state == kConstructedHeader) return read_tag(ctx);
  f->state = kConstructedHeader;
  return 0;
}

// Identifier and length octet by octet, asking the stream as needed.
[[gnu::noinline]] uint32_t read_header_octetwise(kor_asn1_ctx *ctx) {
  int octet = fetch_octet(ctx);
  if (octet < 0) return 0;
  uint32_t cls = static_cast<uint32_t>(octet >> 6);
  uint32_t constructed = static_cast<uint32_t>(octet) & 0x20;
  uint32_t number = static_cast<uint32_t>(octet) & 0x1F;
  int32_t header = 2;
  if (number == 0x1F) {
    number = 0;
    do {
      octet = fetch_octet(ctx);
      if (octet < 0) return 0;
      ++header;
      number = (number << 7 | (static_cast<uint32_t>(octet) & 0x7F)) & kTagNumberMask;
    } while (octet & 0x80);
  }
  uint32_t tag = number | cls << 30;
  if (tag == 0) return read_end_of_contents(ctx, header);
  if (ctx->current == last_frame(ctx)) {
    record_error(ctx, KOR_ASN1_E_NESTING);
    return 0;
  }
  Frame *f = ++ctx->current;
  if (!read_length(ctx, f, header, constructed)) return 0;
  return tag;
}

// The tag of every identifier octet with a low tag number; 0 for the
// end-of-contents octets and for the long form, which read_header leaves to
// the octet-by-octet path.
struct LowTagTable {
  uint32_t tag[256];
};

constexpr LowTagTable make_low_tag_table() {
  LowTagTable table{};
  for (uint32_t identifier = 0; identifier < 256; ++identifier) {
    uint32_t number = identifier & 0x1F;
    if (number != 0x1F) table.tag[identifier] = (identifier & 0xC0) << 24 | number;
  }
  return table;
}

constexpr LowTagTable kLowTags = make_low_tag_table();

// The usual header, a low tag number and a short length with both octets in
// the current buffer, in one step; anything else octet by octet.
inline uint32_t read_header(kor_asn1_ctx *ctx) {
  Frame *f = ctx->current;
  if (readable_in_buffer(ctx) >= 2 && f != last_frame(ctx)) {
    const uint8_t *at = ctx->cursor;
    uint32_t tag = kLowTags.tag[at[0]];
    uint32_t length = at[1];
    if (tag != 0 && length < 0x80) {
      consume_in_buffer(ctx, 2);
      Frame *element = f + 1;
      element->total = length + 2;
      element->count = static_cast<int32_t>(length);
      element->state = at[0] & 0x20 ? kConstructedHeader : kPrimitiveHeader;
      ctx->current = element;
      return tag;
    }
  }
  return read_header_octetwise(ctx);
}

inline uint32_t read_tag(kor_asn1_ctx *ctx) {
  switch (close_finished_elements(ctx)) {
    case Closing::Continue:
      break;
    case Closing::EndOfConstruct:
    case Closing::Failed:
      return 0;
  }
  return read_header(ctx);
}

// get_tag for the reader's own loops over members: like the exported one it
// reads nothing once an error is recorded, so that no input is consumed after
// the first error (what a capture holds must not depend on the chunks).
uint32_t read_member_tag(kor_asn1_ctx *ctx) { return ctx->error != 0 ? 0 : read_tag(ctx); }

void enter_element_for_decoding(kor_asn1_ctx *ctx) {
  Frame *f = ctx->current;
  if (f == last_frame(ctx)) {
    record_error(ctx, KOR_ASN1_E_NESTING);
    return;
  }
  switch (f->state) {
    case kConstructedHeader:
      f->state = kEntered;
      return;
    case kPrimitiveHeader:
      record_error(ctx, KOR_ASN1_E_PRIMITIVE);
      return;
    case kEntered:
      record_error(ctx, KOR_ASN1_E_SEQUENCE);
      return;
    default:
      record_error(ctx, KOR_ASN1_E_STATE);
      return;
  }
}

void read_contents(kor_asn1_ctx *ctx, const uint8_t **out, uint32_t *len);

// Contents of a primitive that the current buffer does not hold: a copy
// across chunks, or the end of a fixed buffer.
[[gnu::noinline]] void copy_primitive_contents(kor_asn1_ctx *ctx, uint32_t count,
                                               const uint8_t **out, uint32_t *len) {
  if (ctx->stream->ops == null_stream.ops) {
    record_error(ctx, KOR_ASN1_E_END_OF_DATA);
    return;
  }
  GrowingBlock copy;
  for (uint32_t left = count; left > 0;) {
    uint32_t step = left < kCopyStep ? left : kCopyStep;
    uint8_t *at = grow_reserve(&copy, step);
    if (at == nullptr) {
      record_error(ctx, KOR_ASN1_E_END_OF_DATA);
      abandon_growing(&copy);
      return;
    }
    if (!fetch_run(ctx, at, step)) {
      abandon_growing(&copy);
      return;
    }
    left -= step;
  }
  *out = adopt_growing(ctx, &copy);
  *len = *out == nullptr ? 0 : count;
}

// Contents of a primitive: in place when they lie in the current buffer.
inline void read_primitive_contents(kor_asn1_ctx *ctx, Frame *f, const uint8_t **out,
                                    uint32_t *len) {
  auto count = static_cast<uint32_t>(f->count);
  f->count = 0;
  if (const uint8_t *at = peek_in_buffer(ctx, count)) {
    consume_in_buffer(ctx, count);
    *out = at;
    *len = count;
    return;
  }
  copy_primitive_contents(ctx, count, out, len);
}

// Contents of a constructed string: its OCTET STRING segments joined in order.
void read_constructed_contents(kor_asn1_ctx *ctx, Frame *f, const uint8_t **out, uint32_t *len) {
  f->state = kEntered;
  GrowingBlock joined;
  bool complete = true;
  for (uint32_t tag = read_member_tag(ctx); tag != 0; tag = read_member_tag(ctx)) {
    if (tag != KOR_ASN1_TAG_OCTET_STRING) {
      record_error(ctx, KOR_ASN1_E_UNEXPECTED_TAG);
      break;
    }
    const uint8_t *piece = nullptr;
    uint32_t piece_len = 0;
    read_contents(ctx, &piece, &piece_len);
    if (complete && !grow_append(&joined, piece, piece_len)) complete = false;
  }
  if (!complete) {
    record_error(ctx, KOR_ASN1_E_END_OF_DATA);
    abandon_growing(&joined);
    return;
  }
  *len = static_cast<uint32_t>(joined.size);
  *out = adopt_growing(ctx, &joined);
  if (*out == nullptr) *len = 0;
}

inline void read_contents(kor_asn1_ctx *ctx, const uint8_t **out, uint32_t *len) {
  *out = nullptr;
  *len = 0;
  if (!is_reading(ctx)) return;
  Frame *f = ctx->current;
  if (f->state == kPrimitiveHeader) {
    read_primitive_contents(ctx, f, out, len);
  } else if (f->state == kConstructedHeader) {
    read_constructed_contents(ctx, f, out, len);
  } else {
    record_error(ctx, KOR_ASN1_E_NO_CONTENTS);
  }
}

void skip_element(kor_asn1_ctx *ctx) {
  if (!is_reading(ctx)) return;
  Frame *f = ctx->current;
  if (f->state != kEntered && f->state != kPrimitiveHeader && f->state != kConstructedHeader) {
    record_error(ctx, KOR_ASN1_E_SEQUENCE);
    return;
  }
  if (f->total == kIndefiniteTotal) {
    f->state = kEntered;
    while (read_member_tag(ctx) != 0) skip_element(ctx);
    return;
  }
  auto count = static_cast<uint32_t>(f->count);
  f->count = 0;
  if (f->state == kEntered) f->state = kConstructedHeader;
  fetch_run(ctx, nullptr, count);
}

[[gnu::noinline]] int32_t refuse_int(kor_asn1_ctx *ctx, uint32_t code) {
  record_error(ctx, code);
  return 0;
}

// get_int on contents that straddle chunks: octet by octet.
[[gnu::noinline]] int32_t read_int_octetwise(kor_asn1_ctx *ctx, Frame *f) {
  int first = fetch_octet(ctx);
  if (first < 0) return 0;
  auto value = static_cast<int32_t>(static_cast<int8_t>(first));
  for (int32_t n = f->count - 1; n > 0; --n) {
    int octet = fetch_octet(ctx);
    if (octet < 0) return 0;
    value = static_cast<int32_t>(static_cast<uint32_t>(value) << 8 | static_cast<uint32_t>(octet));
  }
  f->count = 0;
  return value;
}

}  // namespace
}  // namespace lyrdua::asn1

using namespace lyrdua::asn1;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_asn1_get_tag(kor_asn1_ctx *ctx) {
  if (!is_reading(ctx)) return 0;
  return read_tag(ctx);
}

LYRDUA_EXPORT uint32_t KOR_API kor_asn1_expect_tag(kor_asn1_ctx *ctx, uint32_t tag) {
  uint32_t found = is_reading(ctx) ? read_tag(ctx) : 0;
  if (found != tag) record_error(ctx, KOR_ASN1_E_UNEXPECTED_TAG);
  return found;
}

LYRDUA_EXPORT int32_t KOR_API kor_asn1_get_length(kor_asn1_ctx *ctx) {
  if (ctx->error != 0) return 0;
  if (ctx->current->total == kIndefiniteTotal) return KOR_ASN1_INDEFINITE;
  return ctx->current->count;
}

LYRDUA_EXPORT int32_t KOR_API kor_asn1_get_int(kor_asn1_ctx *ctx) {
  if (!is_reading(ctx)) return 0;
  Frame *f = ctx->current;
  if (f->state != kPrimitiveHeader) return refuse_int(ctx, KOR_ASN1_E_NOT_PRIMITIVE);
  if (f->count <= 0) return refuse_int(ctx, KOR_ASN1_E_INT_EMPTY);
  if (f->count > 4) return refuse_int(ctx, KOR_ASN1_E_INT_TOO_LONG);
  const uint8_t *at = peek_in_buffer(ctx, static_cast<uint32_t>(f->count));
  if (at == nullptr) return read_int_octetwise(ctx, f);
  consume_in_buffer(ctx, static_cast<uint32_t>(f->count));
  auto value = static_cast<int32_t>(static_cast<int8_t>(at[0]));
  for (int32_t i = 1; i < f->count; ++i)
    value = static_cast<int32_t>(static_cast<uint32_t>(value) << 8 | at[i]);
  f->count = 0;
  return value;
}

LYRDUA_EXPORT void KOR_API kor_asn1_get_octets(kor_asn1_ctx *ctx, const uint8_t **out,
                                               uint32_t *len) {
  read_contents(ctx, out, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_asn1_is_constructed(kor_asn1_ctx *ctx) {
  if (ctx->error != 0) return 0;
  uint32_t state = ctx->current->state;
  return state == kLevelComplete || state == kEntered || state == kConstructedHeader;
}

LYRDUA_EXPORT void KOR_API kor_asn1_skip(kor_asn1_ctx *ctx) { skip_element(ctx); }

LYRDUA_EXPORT void KOR_API kor_asn1_enter_construct(kor_asn1_ctx *ctx) {
  if (ctx->error != 0) return;
  if (ctx->mode == KOR_ASN1_MODE_ENCODE) {
    enter_level_for_encoding(ctx);
  } else {
    enter_element_for_decoding(ctx);
  }
}

}  // extern "C"
