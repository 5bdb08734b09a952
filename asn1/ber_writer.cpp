// BER writer: lays definite-length encodings backwards, contents first, each
// level of the frame stack counting the octets laid for it.
#include "asn1/ber_context.hpp"
#include "platform/export.hpp"

namespace lyrdua::asn1 {
namespace {

// What the state rule allows when a level in state kContentsLaid is written to.
enum class AfterContents { Continue, Refuse };

// Applies the state rule shared by the writers that start (or continue) an
// element in the current level. Returns the level's frame, or null after
// recording the rule's error.
Frame *begin_element(kor_asn1_ctx *ctx, AfterContents after_contents) {
  if (ctx->error != 0) return nullptr;
  Frame *f = ctx->current;
  if (ctx->mode != KOR_ASN1_MODE_ENCODE) {
    record_error(ctx, KOR_ASN1_E_WRONG_MODE);
    return nullptr;
  }
  switch (f->state) {
    case kLevelEmpty:
      return f;
    case kContentsLaid:
      if (after_contents == AfterContents::Continue) return f;
      record_error(ctx, KOR_ASN1_E_SEQUENCE);
      return nullptr;
    case kLevelComplete:
      if (f == first_frame(ctx)) {
        record_error(ctx, KOR_ASN1_E_LEVEL);
        return nullptr;
      }
      // The element completed in this level becomes a member of the parent's sum.
      f[-1].count += f->count;
      f->count = 0;
      f->state = kLevelEmpty;
      return f;
    default:
      record_error(ctx, KOR_ASN1_E_WRONG_MODE);
      return nullptr;
  }
}

void lay_length(kor_asn1_ctx *ctx, uint32_t length, int32_t *header) {
  if (length < 0x80) {
    lay_octet(ctx, static_cast<uint8_t>(length));
    return;
  }
  uint8_t octets = 0;
  for (; length != 0; length >>= 8, ++octets) lay_octet(ctx, static_cast<uint8_t>(length));
  lay_octet(ctx, static_cast<uint8_t>(0x80 | octets));
  *header += octets;
}

// Lays the identifier; returns the low five bits of its first octet.
uint8_t lay_tag_number(kor_asn1_ctx *ctx, uint32_t number, int32_t *header) {
  if (number <= 30) return static_cast<uint8_t>(number);
  lay_octet(ctx, static_cast<uint8_t>(number & 0x7F));
  ++*header;
  for (number >>= 7; number != 0; number >>= 7, ++*header)
    lay_octet(ctx, static_cast<uint8_t>(0x80 | (number & 0x7F)));
  return 0x1F;
}

void lay_header(kor_asn1_ctx *ctx, Frame *f, uint32_t tag) {
  uint8_t constructed = f->state == kLevelComplete ? 0x20 : 0;
  f->state = kLevelComplete;
  int32_t header = 2;
  lay_length(ctx, static_cast<uint32_t>(f->count), &header);
  uint8_t low_bits = lay_tag_number(ctx, tag & KOR_ASN1_NUMBER_MASK, &header);
  lay_octet(ctx, static_cast<uint8_t>((tag >> 24) | constructed | low_bits));
  f->count += header;
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
  // Minimal two's complement: stop once the remaining value is only the sign
  // extension of the octet just laid.
  for (;;) {
    auto octet = static_cast<uint8_t>(value);
    lay_octet(ctx, octet);
    ++f->count;
    value >>= 8;
    if ((value == 0 && !(octet & 0x80)) || (value == -1 && (octet & 0x80))) break;
  }
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
    record_error(ctx, KOR_ASN1_E_WRONG_MODE);
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
