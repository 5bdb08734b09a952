// Telex number: number$country$answerback (or "number answerback country")
// <-> SEQUENCE of three PrintableStrings, with the structure form between them.
#include "ahs/conventions.hpp"
#include "ahs/member_strings.hpp"
#include "ahs/text_output.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

template <typename Char>
using Telex = typename StructureForms<Char>::Telex;

// Where the telex number ends: at the first "$" when the text holds one (the
// separator is then "$"), else at the first space that neither starts the
// text nor follows another space (the separator is then the space). n when
// there is no such place.
template <typename Char>
uint32_t telex_number_end(const Char *text, uint32_t n, char *separator) {
  uint32_t end = 0;
  while (end < n && !is(text[end], '$')) ++end;
  *separator = '$';
  if (end < n) return end;
  *separator = ' ';
  for (end = 1; end < n; ++end)
    if (is(text[end], ' ') && !is(text[end - 1], ' ')) return end;
  return n;
}

template <typename Char>
uint32_t telex_text_to_struct(const Char *text, int32_t text_len, Telex<Char> *tx) {
  *tx = {};
  uint32_t n = text_length(text, text_len);
  char separator = '$';
  uint32_t first = telex_number_end(text, n, &separator);
  if (first == 0 || first >= n) return raise(KOR_AHS_E_TELEX);
  // The last separator followed by something else, from the second-to-last
  // character back to just after the first separator.
  uint32_t last = 0;
  for (uint32_t i = n - 1; i-- > first + 1;) {
    if (is(text[i], separator) && !is(text[i + 1], separator)) {
      last = i;
      break;
    }
  }
  if (last == 0) return raise(KOR_AHS_E_TELEX);
  uint32_t middle = first + 1;
  while (middle < last && is(text[middle], separator)) ++middle;
  if (middle == last) return raise(KOR_AHS_E_TELEX);
  // Every part is now non-empty; the middle part keeps its leading separators.
  const Char *middle_part = text + first + 1;
  uint32_t middle_len = last - first - 1;
  const Char *last_part = text + last + 1;
  uint32_t last_len = n - last - 1;
  tx->telex_number = text;
  tx->telex_number_len = first;
  if (separator == '$') {
    tx->country_code = middle_part;
    tx->country_code_len = middle_len;
    tx->answerback = last_part;
    tx->answerback_len = last_len;
  } else {
    tx->answerback = middle_part;
    tx->answerback_len = middle_len;
    tx->country_code = last_part;
    tx->country_code_len = last_len;
  }
  return KOR_OK;
}

// A null part is taken as an empty one.
template <typename Char>
uint32_t part_length(const Char *part, uint32_t length) {
  return part == nullptr ? 0 : length;
}

// The members last first, as the backward writer leaves them in order.
template <typename Char>
uint32_t telex_struct_to_ber(const Telex<Char> *tx, kor_asn1_ctx *ctx) {
  kor_asn1_enter_construct(ctx);
  const Char *parts[] = {tx->answerback, tx->country_code, tx->telex_number};
  const uint32_t lengths[] = {tx->answerback_len, tx->country_code_len, tx->telex_number_len};
  for (size_t i = 0; i < 3; ++i) {
    uint32_t result =
        MemberStrings<Char>::put_printable(parts[i], part_length(parts[i], lengths[i]), ctx);
    if (result != KOR_OK) return result;
  }
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  return KOR_OK;
}

template <typename Char>
uint32_t telex_text_to_ber(const Char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  Telex<Char> tx;
  uint32_t result = telex_text_to_struct(text, text_len, &tx);
  return result != KOR_OK ? result : telex_struct_to_ber<Char>(&tx, ctx);
}

template <typename Char>
uint32_t telex_struct_to_text(const Telex<Char> *tx, Char *out, uint32_t *out_len) {
  TextOutput<Char> text(out, *out_len);
  text.append(tx->telex_number, part_length(tx->telex_number, tx->telex_number_len));
  text.append('$');
  text.append(tx->country_code, part_length(tx->country_code, tx->country_code_len));
  text.append('$');
  text.append(tx->answerback, part_length(tx->answerback, tx->answerback_len));
  return text.finish(out_len);
}

// The SEQUENCE header is only checked, not entered: the members are read as
// though they stood at the outer level. Each member is read straight into
// out after those before it, its NUL turned into the "$" that follows it. A
// member that does not fit ends the decoding with KOR_AHS_TRUNCATED and the
// size of the text up to that member and the "$" after it.
template <typename Char>
uint32_t telex_ber_to_text(kor_asn1_ctx *ctx, Char *out, uint32_t *out_len, Telex<Char> *tx) {
  if (tx != nullptr) *tx = {};
  kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  const Char *Telex<Char>::*texts[] = {&Telex<Char>::telex_number, &Telex<Char>::country_code,
                                       &Telex<Char>::answerback};
  uint32_t Telex<Char>::*lengths[] = {&Telex<Char>::telex_number_len,
                                      &Telex<Char>::country_code_len, &Telex<Char>::answerback_len};
  uint32_t capacity = *out_len;
  uint32_t used = 0;
  for (size_t i = 0; i < 3; ++i) {
    bool last = i == 2;
    uint32_t length = capacity - used;
    uint32_t result = MemberStrings<Char>::get_printable(ctx, out + used, &length);
    if (result == KOR_AHS_TRUNCATED) {
      // With no room left the "$" before this member took the NUL's place.
      if (capacity == used && capacity != 0) out[capacity - 1] = 0;
      *out_len = used + length + (last ? 0 : 1);
      return result;
    }
    if (result != KOR_OK) return result;
    if (tx != nullptr) {
      tx->*texts[i] = out + used;
      tx->*lengths[i] = length;
    }
    used += length;
    if (!last) out[used++] = static_cast<Char>('$');
  }
  *out_len = used;
  return KOR_OK;
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToStruct_TelexNumberA(const char *text, int32_t text_len,
                                                                kor_ahs_telex_number *tx) {
  return telex_text_to_struct(text, text_len, tx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToStruct_TelexNumberW(const kor_wchar *text,
                                                                int32_t text_len,
                                                                kor_ahs_telex_numberW *tx) {
  return telex_text_to_struct(text, text_len, tx);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToInt_TelexNumberA(const kor_ahs_telex_number *tx,
                                                                kor_asn1_ctx *ctx) {
  return telex_struct_to_ber<char>(tx, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToInt_TelexNumberW(const kor_ahs_telex_numberW *tx,
                                                                kor_asn1_ctx *ctx) {
  return telex_struct_to_ber<kor_wchar>(tx, ctx);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToExt_TelexNumberA(const kor_ahs_telex_number *tx,
                                                                char *out, uint32_t *out_len) {
  return telex_struct_to_text(tx, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToExt_TelexNumberW(const kor_ahs_telex_numberW *tx,
                                                                kor_wchar *out, uint32_t *out_len) {
  return telex_struct_to_text(tx, out, out_len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_TelexNumberA(const char *text, int32_t text_len,
                                                             kor_asn1_ctx *ctx, uintptr_t) {
  return telex_text_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_TelexNumberW(const kor_wchar *text,
                                                             int32_t text_len, kor_asn1_ctx *ctx,
                                                             uintptr_t) {
  return telex_text_to_ber(text, text_len, ctx);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_TelexNumberA(kor_asn1_ctx *ctx, char *out,
                                                             uint32_t *out_len,
                                                             kor_ahs_telex_number *struct_out,
                                                             uintptr_t) {
  return telex_ber_to_text(ctx, out, out_len, struct_out);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_TelexNumberW(kor_asn1_ctx *ctx, kor_wchar *out,
                                                             uint32_t *out_len,
                                                             kor_ahs_telex_numberW *struct_out,
                                                             uintptr_t) {
  return telex_ber_to_text(ctx, out, out_len, struct_out);
}

}  // extern "C"
