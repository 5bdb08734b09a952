// BER reader: walks an encoding forwards, element by element, with definite
// and indefinite lengths, high tag numbers and constructed strings.
#include <climits>

#include "asn1/ber_context.hpp"
#include "platform/export.hpp"

namespace lyrdua::asn1 {

void enter_level_for_encoding(kor_asn1_ctx *ctx);

namespace {

constexpr uint32_t kTagNumberMask = KOR_ASN1_NUMBER_MASK;
// get_octets of a straddling primitive grows its copy by at most this much
// per step, so that a hostile length costs memory only as data arrives.
constexpr uint32_t kCopyStep = 64 * 1024;

bool is_reading(kor_asn1_ctx *ctx) {
  if (ctx->error != 0) return false;
  if (ctx->mode == KOR_ASN1_MODE_DECODE) return true;
  record_error(ctx, KOR_ASN1_E_WRONG_MODE);
  return false;
}

enum class Closing { Continue, EndOfConstruct, Failed };

// Pops the frames whose contents are all consumed (get_tag's second step).
Closing close_finished_elements(kor_asn1_ctx *ctx) {
  for (;;) {
    Frame *f = ctx->current;
    if (f == first_frame(ctx)) {
      if (f->state == kBeforeOutermost) {
        f->state = kAfterOutermost;
        return Closing::Continue;
      }
      record_error(ctx, KOR_ASN1_E_END_OF_DATA);
      return Closing::Failed;
    }
    if (f->count != 0 || f->total == kIndefiniteTotal) return Closing::Continue;
    Frame *parent = f - 1;
    ctx->current = parent;
    parent->count -= static_cast<int32_t>(f->total);
    if (parent->count < 0 && parent->total != kIndefiniteTotal) {
      record_error(ctx, KOR_ASN1_E_END_OF_DATA);
      return Closing::Failed;
    }
    if (f->state == kEntered) return Closing::EndOfConstruct;
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
uint32_t read_end_of_contents(kor_asn1_ctx *ctx) {
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
  f->total = static_cast<uint32_t>(2 - f->count);
  f->count = 0;
  if (f->state == kConstructedHeader) return read_tag(ctx);
  f->state = kConstructedHeader;
  return 0;
}

uint32_t read_tag(kor_asn1_ctx *ctx) {
  switch (close_finished_elements(ctx)) {
    case Closing::Continue:
      break;
    case Closing::EndOfConstruct:
    case Closing::Failed:
      return 0;
  }
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
  if (tag == 0) return read_end_of_contents(ctx);
  if (ctx->current == last_frame(ctx)) {
    record_error(ctx, KOR_ASN1_E_NESTING);
    return 0;
  }
  Frame *f = ++ctx->current;
  if (!read_length(ctx, f, header, constructed)) return 0;
  return tag;
}

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

// Contents of a primitive: in place when they lie in the current buffer.
void read_primitive_contents(kor_asn1_ctx *ctx, Frame *f, const uint8_t **out, uint32_t *len) {
  auto count = static_cast<uint32_t>(f->count);
  f->count = 0;
  if (readable_in_buffer(ctx) >= count) {
    *out = ctx->cursor;
    *len = count;
    ctx->cursor += count;
    return;
  }
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

// Contents of a constructed string: its OCTET STRING segments joined in order.
void read_constructed_contents(kor_asn1_ctx *ctx, Frame *f, const uint8_t **out, uint32_t *len) {
  f->state = kEntered;
  GrowingBlock joined;
  bool complete = true;
  for (uint32_t tag = read_tag(ctx); tag != 0; tag = read_tag(ctx)) {
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

void read_contents(kor_asn1_ctx *ctx, const uint8_t **out, uint32_t *len) {
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
    while (read_tag(ctx) != 0) skip_element(ctx);
    return;
  }
  auto count = static_cast<uint32_t>(f->count);
  f->count = 0;
  if (f->state == kEntered) f->state = kConstructedHeader;
  fetch_run(ctx, nullptr, count);
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
  uint32_t found = kor_asn1_get_tag(ctx);
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
  if (f->state != kPrimitiveHeader) {
    record_error(ctx, KOR_ASN1_E_NOT_PRIMITIVE);
    return 0;
  }
  if (f->count <= 0) {
    record_error(ctx, KOR_ASN1_E_INT_EMPTY);
    return 0;
  }
  if (f->count > 4) {
    record_error(ctx, KOR_ASN1_E_INT_TOO_LONG);
    return 0;
  }
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
