// T61String: Latin-1 text <-> T.61 contents under tag 20, through the T.61
// conversion (measure, allocate, convert). Only the A variants convert.
#include <lyrdua/kor_cnv.h>

#include <cstdlib>

#include "ahs/conventions.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

using Translate = uint32_t(KOR_API *)(const uint8_t *, uint32_t, uint8_t *, uint32_t *, uint32_t *);

// The converted octets in a heap block, or the conversion's failure.
struct Converted {
  uint32_t result = KOR_CNV_OK;
  uint32_t failed_at = 0;
  uint8_t *octets = nullptr;
  uint32_t length = 0;

  Converted() = default;
  Converted(const Converted &) = delete;
  Converted &operator=(const Converted &) = delete;
  ~Converted() { std::free(octets); }
};

// Measures, allocates and converts. A result of KOR_CNV_E_NOMEM (or a block
// that cannot be allocated) is a memory failure; other results carry the
// position where the conversion stopped.
void convert(Translate translate, const uint8_t *src, uint32_t n, Converted *out) {
  out->result = translate(src, n, nullptr, &out->length, &out->failed_at);
  if (out->result != KOR_CNV_OK) return;
  out->octets = static_cast<uint8_t *>(std::malloc(out->length == 0 ? 1 : out->length));
  if (out->octets == nullptr) {
    out->result = KOR_CNV_E_NOMEM;
    return;
  }
  out->result = translate(src, n, out->octets, &out->length, &out->failed_at);
}

uint32_t t61_to_ber(const char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  uint32_t n = text_length(text, text_len);
  if (n == 0) {
    kor_asn1_put_novalue(ctx);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_T61_STRING);
    return KOR_OK;
  }
  Converted t61;
  convert(kor_cnv_latin1_to_t61_translate, reinterpret_cast<const uint8_t *>(text), n, &t61);
  if (t61.result == KOR_CNV_E_NOMEM) return KOR_AHS_NOMEM;
  if (t61.result != KOR_CNV_OK) {
    uint32_t shown = t61.failed_at < n ? 1 : 0;
    return raise(KOR_AHS_E_T61_ENCODE, {text + (shown ? t61.failed_at : 0), shown});
  }
  kor_asn1_put_octets(ctx, t61.octets, t61.length);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_T61_STRING);
  return KOR_OK;
}

uint32_t t61_to_text(kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != KOR_ASN1_TAG_T61_STRING)
    return raise_wrong_tag(tag, "%d (T61 STRING)", KOR_ASN1_TAG_T61_STRING);
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  kor_asn1_get_octets(ctx, &contents, &n);
  Converted latin1;
  convert(kor_cnv_t61_to_latin1_translate, contents, n, &latin1);
  if (latin1.result == KOR_CNV_E_NOMEM) return KOR_AHS_NOMEM;
  if (latin1.result != KOR_CNV_OK)
    return raise(KOR_AHS_E_T61_DECODE,
                 format_number("%d", static_cast<int32_t>(latin1.failed_at), 20).param());
  return plain_copy(latin1.octets, latin1.length, out, out_len);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_T61StringA(const char *text, int32_t text_len,
                                                           kor_asn1_ctx *ctx, uintptr_t) {
  return t61_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_T61StringA(kor_asn1_ctx *ctx, char *out,
                                                           uint32_t *out_len, uintptr_t) {
  return t61_to_text(ctx, out, out_len);
}
// T61String has no 16-bit conversion.
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_T61StringW(const kor_wchar *, int32_t,
                                                           kor_asn1_ctx *, uintptr_t) {
  return KOR_AHS_UNSUPPORTED;
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_T61StringW(kor_asn1_ctx *, kor_wchar *, uint32_t *,
                                                           uintptr_t) {
  return KOR_AHS_UNSUPPORTED;
}

}  // extern "C"
