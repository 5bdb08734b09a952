// Boolean: any non-empty prefix of TRUE or FALSE, in any case <-> BOOLEAN.
#include "ahs/conventions.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

template <typename Char>
uint32_t fold_ascii(Char c) {
  auto unit = static_cast<uint32_t>(c);
  return unit - 'A' < 26 ? unit + ('a' - 'A') : unit;
}

// Bounded case-insensitive comparison: equal over n characters, or up to a
// NUL that both have at the same place.
template <typename Char>
bool same_word_prefix(const Char *text, uint32_t n, const char *word) {
  for (uint32_t i = 0; i < n; ++i) {
    uint32_t a = fold_ascii(text[i]);
    uint32_t b = fold_ascii(word[i]);
    if (a != b) return false;
    if (a == 0) return true;
  }
  return true;
}

template <typename Char>
uint32_t boolean_to_ber(const Char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  uint32_t n = text_length(text, text_len);
  if (n == 0) return raise(KOR_AHS_E_BOOLEAN_EMPTY);
  int32_t value;
  if (same_word_prefix(text, n, "TRUE")) {
    value = 1;
  } else if (same_word_prefix(text, n, "FALSE")) {
    value = 0;
  } else {
    return raise(KOR_AHS_E_BOOLEAN_VALUE);
  }
  kor_asn1_put_int(ctx, value);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_BOOLEAN);
  return KOR_OK;
}

template <typename Char>
uint32_t boolean_to_text(kor_asn1_ctx *ctx, Char *out, uint32_t *out_len) {
  if (*out_len == 0) return raise(KOR_AHS_E_NO_ROOM);
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != KOR_ASN1_TAG_BOOLEAN)
    return raise_wrong_tag(tag, "%d (BOOLEAN)", KOR_ASN1_TAG_BOOLEAN);
  int32_t value = kor_asn1_get_int(ctx);
  if (kor_asn1_errno(ctx) != 0) return raise(KOR_AHS_E_DECODE);
  return value != 0 ? write_text("TRUE", 4, out, out_len) : write_text("FALSE", 5, out, out_len);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_BooleanA(const char *text, int32_t text_len,
                                                         kor_asn1_ctx *ctx, uintptr_t) {
  return boolean_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_BooleanW(const kor_wchar *text, int32_t text_len,
                                                         kor_asn1_ctx *ctx, uintptr_t) {
  return boolean_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_BooleanA(kor_asn1_ctx *ctx, char *out,
                                                         uint32_t *out_len, uintptr_t) {
  return boolean_to_text(ctx, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_BooleanW(kor_asn1_ctx *ctx, kor_wchar *out,
                                                         uint32_t *out_len, uintptr_t) {
  return boolean_to_text(ctx, out, out_len);
}

}  // extern "C"
