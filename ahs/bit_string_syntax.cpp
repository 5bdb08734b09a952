// Bit string: the digits 0 and 1, first bit first, spaces ignored <-> BIT STRING.
#include <cstdlib>

#include "ahs/conventions.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

void put_empty_bit_string(kor_asn1_ctx *ctx) {
  kor_asn1_put_novalue(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_BIT_STRING);
}

template <typename Char>
uint32_t bit_string_to_ber(const Char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  uint32_t n = text_length(text, text_len);
  uint32_t bits = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (is(text[i], '0') || is(text[i], '1')) {
      ++bits;
    } else if (!is(text[i], ' ')) {
      return raise_with_text(KOR_AHS_E_BITS_CHAR, text, n);
    }
  }
  if (bits == 0) {
    put_empty_bit_string(ctx);
    return KOR_OK;
  }
  uint32_t data_octets = (bits + 7) / 8;
  auto *block = static_cast<uint8_t *>(std::calloc(data_octets + 1, 1));
  if (block == nullptr) return KOR_AHS_NOMEM;
  uint8_t unused = static_cast<uint8_t>(8 * data_octets - bits);
  block[0] = unused;
  uint32_t placed = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (is(text[i], ' ')) continue;
    uint8_t &octet = block[1 + placed / 8];
    octet = static_cast<uint8_t>(octet << 1 | (is(text[i], '1') ? 1 : 0));
    ++placed;
  }
  block[data_octets] = static_cast<uint8_t>(block[data_octets] << unused);
  kor_asn1_put_octets(ctx, block, data_octets + 1);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_BIT_STRING);
  std::free(block);
  return KOR_OK;
}

// Writes the bits as '0'/'1' characters under the output contract. A
// capacity of 0 is refused as the boolean decoder refuses it.
template <typename Char>
uint32_t write_bits(const uint8_t *octets, uint32_t bit_count, Char *out, uint32_t *out_len) {
  uint32_t cap = *out_len;
  uint32_t shown = bit_count < cap ? bit_count : cap - 1;
  for (uint32_t i = 0; i < shown; ++i)
    out[i] = static_cast<Char>(octets[i / 8] >> (7 - i % 8) & 1 ? '1' : '0');
  out[shown] = 0;
  if (bit_count < cap) {
    *out_len = bit_count;
    return KOR_OK;
  }
  *out_len = bit_count + 1;
  return KOR_AHS_TRUNCATED;
}

template <typename Char>
uint32_t bit_string_to_text(kor_asn1_ctx *ctx, Char *out, uint32_t *out_len) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != KOR_ASN1_TAG_BIT_STRING)
    return raise_wrong_tag(tag, "%d (BIT_STRING)", KOR_ASN1_TAG_BIT_STRING);
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  kor_asn1_get_octets(ctx, &contents, &n);
  if (n == 1) return raise(KOR_AHS_E_BITS_SHORT);
  if (n >= 2 && contents[0] > 7) return raise(KOR_AHS_E_BITS_UNUSED);
  if (*out_len == 0) return raise(KOR_AHS_E_NO_ROOM);
  uint32_t bit_count = n == 0 ? 0 : 8 * (n - 1) - contents[0];
  return write_bits(n == 0 ? contents : contents + 1, bit_count, out, out_len);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_BitStringA(const char *text, int32_t text_len,
                                                           kor_asn1_ctx *ctx, uintptr_t) {
  return bit_string_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_BitStringW(const kor_wchar *text, int32_t text_len,
                                                           kor_asn1_ctx *ctx, uintptr_t) {
  return bit_string_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_BitStringA(kor_asn1_ctx *ctx, char *out,
                                                           uint32_t *out_len, uintptr_t) {
  return bit_string_to_text(ctx, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_BitStringW(kor_asn1_ctx *ctx, kor_wchar *out,
                                                           uint32_t *out_len, uintptr_t) {
  return bit_string_to_text(ctx, out, out_len);
}

}  // extern "C"
