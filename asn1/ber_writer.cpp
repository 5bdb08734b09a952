// BER writer: lays definite-length encodings backwards, contents first, each
// level of the frame stack counting the octets laid for it.
#include "asn1/ber_context.hpp"
#include "platform/export.hpp"

namespace lyrdua::asn1 {
namespace {

// What the state rule allows when a level in state kContentsLaid is written to.
enum class AfterContents { Continue, Refuse };

// Records code and answers null; kept out of line so that the writers' usual
// paths stay short.
[[gnu::noinline]] Frame *refuse(kor_asn1_ctx *ctx, uint32_t code) {
  record_error(ctx, code);
  return nullptr;
}

// Applies the state rule shared by the writers that start (or continue) an
// element in the current level. Returns the level's frame, or null after
// recording the rule's error.
inline Frame *begin_element(kor_asn1_ctx *ctx, AfterContents after_contents) {
  if (ctx->error != 0) return nullptr;
  if (ctx->mode != KOR_ASN1_MODE_ENCODE) return refuse(ctx, KOR_ASN1_E_WRONG_MODE);
  Frame *f = ctx->current;
  switch (f->state) {
    case kLevelEmpty:
      return f;
    case kContentsLaid:
      if (after_contents == AfterContents::Continue) return f;
      return refuse(ctx, KOR_ASN1_E_SEQUENCE);
    case kLevelComplete:
      if (f == first_frame(ctx)) return refuse(ctx, KOR_ASN1_E_LEVEL);
      // The element completed in this level becomes a member of the parent's sum.
      f[-1].count += f->count;
      f->count = 0;
      f->state = kLevelEmpty;
      return f;
    default:
      return refuse(ctx, KOR_ASN1_E_WRONG_MODE);
  }
}

// Identifier octets (up to 1 + 5 for a 30-bit number) and length octets (up
// to 1 + 4), composed in their final order.
struct Header {
  uint8_t octets[11];
  uint32_t size = 0;
};

void compose_identifier(Header *h, uint32_t tag, uint8_t constructed) {
  // The identifier octet takes the argument's whole top byte: the class bits.
  auto first = static_cast<uint8_t>((tag >> 24) | constructed);
  uint32_t number = tag & KOR_ASN1_NUMBER_MASK;
  if (number <= 30) {
    h->octets[h->size++] = static_cast<uint8_t>(first | number);
    return;
  }
  h->octets[h->size++] = static_cast<uint8_t>(first | 0x1F);
  int groups = 1;
  while (groups < 5 && (number >> (7 * groups)) != 0) ++groups;
  for (int g = groups - 1; g > 0; --g)
    h->octets[h->size++] = static_cast<uint8_t>(0x80 | ((number >> (7 * g)) & 0x7F));
  h->octets[h->size++] = static_cast<uint8_t>(number & 0x7F);
}

void compose_length(Header *h, uint32_t length) {
  if (length < 0x80) {
    h->octets[h->size++] = static_cast<uint8_t>(length);
    return;
  }
  int octets = 1;
  while (octets < 4 && (length >> (8 * octets)) != 0) ++octets;
  h->octets[h->size++] = static_cast<uint8_t>(0x80 | octets);
  for (int i = octets - 1; i >= 0; --i)
    h->octets[h->size++] = static_cast<uint8_t>(length >> (8 * i));
}

// Any header, composed first and laid as one run.
[[gnu::noinline]] void lay_composed_header(kor_asn1_ctx *ctx, Frame *f, uint32_t tag,
                                           uint8_t constructed) {
  Header h;
  compose_identifier(&h, tag, constructed);
  compose_length(&h, static_cast<uint32_t>(f->count));
  lay_run(ctx, h.octets, h.size);
  f->count += static_cast<int32_t>(h.size);
}

inline void lay_header(kor_asn1_ctx *ctx, Frame *f, uint32_t tag) {
  uint8_t constructed = f->state == kLevelComplete ? 0x20 : 0;
  f->state = kLevelComplete;
  auto length = static_cast<uint32_t>(f->count);
  // The usual header: low tag number, short length, room in the buffer.
  if (length < 0x80 && (tag & KOR_ASN1_NUMBER_MASK) <= 30) {
    if (uint8_t *at = reserve_in_buffer(ctx, 2)) {
      at[0] = static_cast<uint8_t>((tag >> 24) | constructed | (tag & 0x1F));
      at[1] = static_cast<uint8_t>(length);
      f->count += 2;
      return;
    }
  }
  lay_composed_header(ctx, f, tag, constructed);
}

// Number of octets of value's minimal two's complement form: the fewest
// whose top bit, sign-extended, gives back the value.
inline uint32_t int_octets(int32_t value) {
  // The magnitude bits of value, whatever its sign; the top bit stays clear.
  auto bits = static_cast<uint32_t>(value ^ (value >> 31));
  return bits < 0x80 ? 1 : bits < 0x8000 ? 2 : bits < 0x800000 ? 3 : 4;
}

[[gnu::noinline]] void lay_int_octetwise(kor_asn1_ctx *ctx, int32_t value, uint32_t n) {
  uint8_t octets[4];
  for (uint32_t i = 0; i < n; ++i) octets[i] = static_cast<uint8_t>(value >> (8 * (n - 1 - i)));
  lay_run(ctx, octets, n);
}

}  // namespace
}  // namespace lyrdua::asn1

using namespace lyrdua::asn1;

extern "C" {

LYRDUA_EXPORT void KOR_API kor_asn1_put_octets(kor_asn1_ctx *ctx, const void *data, uint32_t len) {
  Frame *f = begin_element(ctx, AfterContents::Continue);
  if (f == nullptr) return;
  f->count += static_cast<int32_t>(len);
  f->state = kContentsLaid;
  lay_run(ctx, static_cast<const uint8_t *>(data), len);
}

LYRDUA_EXPORT void KOR_API kor_asn1_put_int(kor_asn1_ctx *ctx, int32_t value) {
  Frame *f = begin_element(ctx, AfterContents::Refuse);
  if (f == nullptr) return;
  f->state = kContentsLaid;
  uint32_t n = int_octets(value);
  f->count += static_cast<int32_t>(n);
  if (uint8_t *at = reserve_in_buffer(ctx, n)) {
    for (uint32_t i = 0; i < n; ++i) at[i] = static_cast<uint8_t>(value >> (8 * (n - 1 - i)));
    return;
  }
  lay_int_octetwise(ctx, value, n);
}

LYRDUA_EXPORT void KOR_API kor_asn1_put_novalue(kor_asn1_ctx *ctx) {
  Frame *f = begin_element(ctx, AfterContents::Refuse);
  if (f == nullptr) return;
  f->state = kContentsLaid;
}

LYRDUA_EXPORT void KOR_API kor_asn1_put_encoding(kor_asn1_ctx *ctx, const void *data,
                                                 uint32_t len) {
  Frame *f = begin_element(ctx, AfterContents::Refuse);
  if (f == nullptr) return;
  f->count = static_cast<int32_t>(len);
  f->state = kLevelComplete;
  lay_run(ctx, static_cast<const uint8_t *>(data), len);
}

LYRDUA_EXPORT void KOR_API kor_asn1_put_tag(kor_asn1_ctx *ctx, uint32_t tag) {
  if (ctx->error != 0) return;
  Frame *f = ctx->current;
  if (ctx->mode != KOR_ASN1_MODE_ENCODE ||
      (f->state != kContentsLaid && f->state != kLevelComplete)) {
    refuse(ctx, KOR_ASN1_E_WRONG_MODE);
    return;
  }
  lay_header(ctx, f, tag);
}

LYRDUA_EXPORT void KOR_API kor_asn1_exit_construct(kor_asn1_ctx *ctx) {
  if (ctx->error != 0) return;
  Frame *f = ctx->current;
  if (ctx->mode != KOR_ASN1_MODE_ENCODE) {
    record_error(ctx, KOR_ASN1_E_WRONG_MODE);
    return;
  }
  if (f->state == kContentsLaid) {
    record_error(ctx, KOR_ASN1_E_SEQUENCE);
    return;
  }
  if (f == first_frame(ctx)) {
    record_error(ctx, KOR_ASN1_E_LEVEL);
    return;
  }
  // The closed level's last member (nothing when it stayed empty) joins the parent's sum.
  if (f->state == kLevelComplete) f[-1].count += f->count;
  ctx->current = f - 1;
}

}  // extern "C"

namespace lyrdua::asn1 {

// enter_construct while encoding (the exported function serves both directions).
void enter_level_for_encoding(kor_asn1_ctx *ctx) {
  if (ctx->current == last_frame(ctx)) {
    record_error(ctx, KOR_ASN1_E_NESTING);
    return;
  }
  Frame *f = begin_element(ctx, AfterContents::Refuse);
  if (f == nullptr) return;
  f->state = kLevelComplete;
  Frame *child = f + 1;
  child->count = 0;
  child->state = kLevelEmpty;
  ctx->current = child;
}

}  // namespace lyrdua::asn1
