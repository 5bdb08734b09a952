// Octet string: two hex digits per octet, no separators <-> OCTET STRING, and
// the same text to and from a plain buffer of octets.
#include <cstdlib>

#include "ahs/conventions.hpp"
#include "ahs/hex_digits.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

template <typename Char>
uint32_t hex_to_octets(const Char *text, int32_t text_len, uint8_t *buf, uint32_t *buf_len) {
  uint32_t n = text_length(text, text_len);
  if (n == 0) {
    *buf_len = 0;
    return KOR_OK;
  }
  if (n % 2 != 0) return raise(KOR_AHS_E_HEX_ODD);
  if (*buf_len < n / 2) return KOR_AHS_TRUNCATED;
  for (uint32_t i = 0; i < n; i += 2) {
    int high = hex_digit_value(text[i]);
    int low = hex_digit_value(text[i + 1]);
    if (high < 0 || low < 0) {
      *buf_len = 0;
      return raise_with_text(KOR_AHS_E_HEX_CHAR, text + (high < 0 ? i : i + 1), 1);
    }
    buf[i / 2] = static_cast<uint8_t>(high << 4 | low);
  }
  *buf_len = n / 2;
  return KOR_OK;
}

template <typename Char>
uint32_t octets_to_hex(const uint8_t *data, uint32_t n, Char *out, uint32_t *out_len) {
  uint64_t needed = uint64_t{n} * 2 + 1;
  if (*out_len == 0) {  // no room even for the NUL: nothing is written
    *out_len = static_cast<uint32_t>(needed);
    return KOR_AHS_TRUNCATED;
  }
  uint32_t converted = needed > *out_len ? (*out_len - 1) / 2 : n;
  for (uint32_t i = 0; i < converted; ++i) {
    out[2 * i] = static_cast<Char>(kHexDigits[data[i] >> 4]);
    out[2 * i + 1] = static_cast<Char>(kHexDigits[data[i] & 0xF]);
  }
  out[2 * converted] = 0;
  if (converted < n) {
    *out_len = static_cast<uint32_t>(needed);
    return KOR_AHS_TRUNCATED;
  }
  *out_len = 2 * n;
  return KOR_OK;
}

template <typename Char>
uint32_t octet_string_to_ber(const Char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  uint32_t n = text_length(text, text_len);
  if (n == 0) {
    kor_asn1_put_novalue(ctx);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
    return KOR_OK;
  }
  uint32_t count = n / 2;
  auto *octets = static_cast<uint8_t *>(std::malloc(count == 0 ? 1 : count));
  if (octets == nullptr) return KOR_AHS_NOMEM;
  uint32_t result = hex_to_octets(text, static_cast<int32_t>(n), octets, &count);
  if (result == KOR_OK) {
    kor_asn1_put_octets(ctx, octets, count);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
  }
  std::free(octets);
  return result;
}

template <typename Char>
uint32_t octet_string_to_text(kor_asn1_ctx *ctx, Char *out, uint32_t *out_len) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == KOR_ASN1_TAG_OCTET_STRING) {
    const uint8_t *contents = nullptr;
    uint32_t n = 0;
    kor_asn1_get_octets(ctx, &contents, &n);
    return octets_to_hex(contents, n, out, out_len);
  }
  *out_len = 0;
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  return raise_wrong_tag(tag, "%d (OCTET STRING)", KOR_ASN1_TAG_OCTET_STRING);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToBuf_OctetStringA(const char *text, int32_t text_len,
                                                             uint8_t *buf, uint32_t *buf_len) {
  return hex_to_octets(text, text_len, buf, buf_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToBuf_OctetStringW(const kor_wchar *text,
                                                             int32_t text_len, uint8_t *buf,
                                                             uint32_t *buf_len) {
  return hex_to_octets(text, text_len, buf, buf_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_BufToExt_OctetStringA(const uint8_t *data, uint32_t data_len,
                                                             char *out, uint32_t *out_len) {
  return octets_to_hex(data, data_len, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_BufToExt_OctetStringW(const uint8_t *data, uint32_t data_len,
                                                             kor_wchar *out, uint32_t *out_len) {
  return octets_to_hex(data, data_len, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_OctetStringA(const char *text, int32_t text_len,
                                                             kor_asn1_ctx *ctx, uintptr_t) {
  return octet_string_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_OctetStringW(const kor_wchar *text,
                                                             int32_t text_len, kor_asn1_ctx *ctx,
                                                             uintptr_t) {
  return octet_string_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_OctetStringA(kor_asn1_ctx *ctx, char *out,
                                                             uint32_t *out_len, uintptr_t) {
  return octet_string_to_text(ctx, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_OctetStringW(kor_asn1_ctx *ctx, kor_wchar *out,
                                                             uint32_t *out_len, uintptr_t) {
  return octet_string_to_text(ctx, out, out_len);
}

}  // extern "C"
