// Facsimile telephone number: number[$parameter...] <-> SEQUENCE {
// PrintableString, BIT STRING }, with the structure form between them.
#include "ahs/conventions.hpp"
#include "ahs/fax_parameters.hpp"
#include "ahs/member_strings.hpp"
#include "ahs/text_output.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

constexpr uint32_t kMaxNumberLength = 32;
constexpr uint32_t kNumberLimitFieldSize = 8;

template <typename Char>
using Fax = typename StructureForms<Char>::Fax;

// The parameter names as constant text of each width: the structure's
// parameter pointers point here after parsing.
template <typename Char>
struct FaxNames {
  Char text[kFaxParameterCount][16] = {};
  uint32_t length[kFaxParameterCount] = {};
  constexpr FaxNames() {
    for (size_t i = 0; i < kFaxParameterCount; ++i) {
      const char *name = kFaxParameters[i].name;
      uint32_t n = 0;
      for (; name[n] != '\0'; ++n) text[i][n] = static_cast<Char>(name[n]);
      length[i] = n;
    }
  }
};

template <typename Char>
constexpr FaxNames<Char> kFaxNames{};

// The structure's pointer and length of each parameter, in table order.
template <typename Char>
struct ParameterField {
  const Char *Fax<Char>::*text;
  uint32_t Fax<Char>::*length;
};

template <typename Char>
constexpr ParameterField<Char> kParameterFields[kFaxParameterCount] = {
    {&Fax<Char>::two_dimensional, &Fax<Char>::two_dimensional_len},
    {&Fax<Char>::fine_resolution, &Fax<Char>::fine_resolution_len},
    {&Fax<Char>::unlimited_length, &Fax<Char>::unlimited_length_len},
    {&Fax<Char>::b4_length, &Fax<Char>::b4_length_len},
    {&Fax<Char>::a3_width, &Fax<Char>::a3_width_len},
    {&Fax<Char>::b4_width, &Fax<Char>::b4_width_len},
    {&Fax<Char>::uncompressed, &Fax<Char>::uncompressed_len},
};

template <typename Char>
void set_parameter(Fax<Char> *fax, size_t i, const Char *text, uint32_t length) {
  fax->*kParameterFields<Char>[i].text = text;
  fax->*kParameterFields<Char>[i].length = length;
}

uint32_t fold_case(uint32_t unit) { return unit - 'A' < 26 ? unit + ('a' - 'A') : unit; }

// A parameter names a parameter when it is, ignoring case, a non-empty
// prefix of the name.
template <typename Char>
bool abbreviates(const Char *param, uint32_t n, size_t i) {
  if (n > kFaxNames<Char>.length[i]) return false;
  for (uint32_t k = 0; k < n; ++k)
    if (fold_case(unit_value(param[k])) != fold_case(unit_value(kFaxNames<Char>.text[i][k])))
      return false;
  return true;
}

// Sets every parameter that the trimmed text names; exactly one must match.
template <typename Char>
uint32_t parse_parameter(const Char *param, uint32_t n, Fax<Char> *fax) {
  while (n > 0 && is(param[0], ' ')) {
    ++param;
    --n;
  }
  while (n > 0 && is(param[n - 1], ' ')) --n;
  if (n == 0) return raise(KOR_AHS_E_FAX_EMPTY_PARAM);
  uint32_t matches = 0;
  for (size_t i = 0; i < kFaxParameterCount; ++i) {
    if (!abbreviates(param, n, i)) continue;
    set_parameter(fax, i, kFaxNames<Char>.text[i], kFaxNames<Char>.length[i]);
    ++matches;
  }
  return matches == 1 ? KOR_OK : raise(KOR_AHS_E_FAX_PARAM);
}

template <typename Char>
uint32_t fax_text_to_struct(const Char *text, int32_t text_len, Fax<Char> *fax) {
  *fax = {};
  uint32_t n = text_length(text, text_len);
  if (n == 0 || is(text[0], '$')) return raise(KOR_AHS_E_FAX_EMPTY);
  uint32_t end = 0;
  while (end < n && !is(text[end], '$')) ++end;
  if (end > kMaxNumberLength) {
    NumberField limit = format_number("%d", kMaxNumberLength, kNumberLimitFieldSize);
    return raise(KOR_AHS_E_FAX_NUMBER_LONG, limit.param());
  }
  fax->telephone_number = text;
  fax->telephone_number_len = end;
  while (end < n) {
    uint32_t start = end + 1;
    end = start;
    while (end < n && !is(text[end], '$')) ++end;
    if (uint32_t result = parse_parameter(text + start, end - start, fax); result != KOR_OK)
      return result;
  }
  return KOR_OK;
}

// A null telephone number is taken as an empty one.
template <typename Char>
uint32_t number_length(const Fax<Char> *fax) {
  return fax->telephone_number == nullptr ? 0 : fax->telephone_number_len;
}

template <typename Char>
uint32_t fax_struct_to_ber(const Fax<Char> *fax, kor_asn1_ctx *ctx) {
  uint8_t bits[kFaxBitsOctets] = {1, 0, 0, 0, 0};
  for (size_t i = 0; i < kFaxParameterCount; ++i)
    if (fax->*kParameterFields<Char>[i].text != nullptr)
      bits[kFaxParameters[i].octet] |= kFaxParameters[i].mask;
  kor_asn1_enter_construct(ctx);
  kor_asn1_put_octets(ctx, bits, sizeof bits);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_BIT_STRING);
  uint32_t result =
      MemberStrings<Char>::put_printable(fax->telephone_number, number_length<Char>(fax), ctx);
  if (result != KOR_OK) return result;
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  return KOR_OK;
}

template <typename Char>
uint32_t fax_text_to_ber(const Char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  Fax<Char> fax;
  uint32_t result = fax_text_to_struct(text, text_len, &fax);
  return result != KOR_OK ? result : fax_struct_to_ber<Char>(&fax, ctx);
}

// The number, then "$" and each present parameter's own text.
template <typename Char>
uint32_t fax_struct_to_text(const Fax<Char> *fax, Char *out, uint32_t *out_len) {
  TextOutput<Char> text(out, *out_len);
  text.append(fax->telephone_number, number_length<Char>(fax));
  for (size_t i = 0; i < kFaxParameterCount; ++i) {
    const Char *param = fax->*kParameterFields<Char>[i].text;
    if (param == nullptr) continue;
    text.append('$');
    text.append(param, fax->*kParameterFields<Char>[i].length);
  }
  return text.finish(out_len);
}

// Appends "$" and the name of every parameter whose bit is set; only names
// written whole are recorded in the structure.
template <typename Char>
void write_parameters(const uint8_t *bits, TextOutput<Char> &text, Fax<Char> *fax) {
  for (size_t i = 0; i < kFaxParameterCount; ++i) {
    if ((bits[kFaxParameters[i].octet] & kFaxParameters[i].mask) == 0) continue;
    text.append('$');
    Char *name = text.position();
    if (text.append(kFaxNames<Char>.text[i], kFaxNames<Char>.length[i]))
      set_parameter(fax, i, static_cast<const Char *>(name), kFaxNames<Char>.length[i]);
  }
}

template <typename Char>
uint32_t fax_ber_to_text(kor_asn1_ctx *ctx, Char *out, uint32_t *out_len, Fax<Char> *struct_out) {
  // Callers must pass a structure; one that does not still gets the text.
  Fax<Char> unused;
  Fax<Char> *fax = struct_out != nullptr ? struct_out : &unused;
  *fax = {};
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != KOR_ASN1_TAG_SEQUENCE) return raise_wrong_tag(tag, "%d (SEQ)", KOR_ASN1_TAG_SEQUENCE);
  kor_asn1_enter_construct(ctx);

  uint32_t capacity = *out_len;
  TextOutput<Char> text(out, capacity);
  uint32_t number_len = capacity;
  uint32_t result = MemberStrings<Char>::get_printable(ctx, out, &number_len);
  if (result == KOR_AHS_NO_ELEMENT) return KOR_AHS_MISSING;
  if (result == KOR_OK) {
    fax->telephone_number = out;
    fax->telephone_number_len = number_len;
    text.advance(number_len, number_len);
  } else if (result == KOR_AHS_TRUNCATED) {
    // The number alone fills the buffer; the parameters are only counted.
    text.advance(capacity == 0 ? 0 : capacity - 1, number_len - 1);
  } else {
    return result;
  }

  tag = kor_asn1_get_tag(ctx);
  if (tag != 0) {
    if (tag != KOR_ASN1_TAG_BIT_STRING)
      return raise_wrong_tag(tag, "%d (BIT_STRING)", KOR_ASN1_TAG_BIT_STRING);
    const uint8_t *bits = nullptr;
    uint32_t n = 0;
    kor_asn1_get_octets(ctx, &bits, &n);
    if (n < kFaxBitsOctets || bits[0] >= 2) return raise(KOR_AHS_E_FAX_BITS);
    write_parameters(bits, text, fax);
    tag = kor_asn1_get_tag(ctx);
    if (tag != 0) return raise_wrong_tag(tag, "%d (EOC)", 0);
  }
  return text.finish(out_len);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToStruct_FaxTelephoneNumberA(
    const char *text, int32_t text_len, kor_ahs_fax_telephone_number *fax) {
  return fax_text_to_struct(text, text_len, fax);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToStruct_FaxTelephoneNumberW(
    const kor_wchar *text, int32_t text_len, kor_ahs_fax_telephone_numberW *fax) {
  return fax_text_to_struct(text, text_len, fax);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToInt_FaxTelephoneNumberA(
    const kor_ahs_fax_telephone_number *fax, kor_asn1_ctx *ctx) {
  return fax_struct_to_ber<char>(fax, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToInt_FaxTelephoneNumberW(
    const kor_ahs_fax_telephone_numberW *fax, kor_asn1_ctx *ctx) {
  return fax_struct_to_ber<kor_wchar>(fax, ctx);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToExt_FaxTelephoneNumberA(
    const kor_ahs_fax_telephone_number *fax, char *out, uint32_t *out_len) {
  return fax_struct_to_text(fax, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToExt_FaxTelephoneNumberW(
    const kor_ahs_fax_telephone_numberW *fax, kor_wchar *out, uint32_t *out_len) {
  return fax_struct_to_text(fax, out, out_len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_FaxTelephoneNumberA(const char *text,
                                                                    int32_t text_len,
                                                                    kor_asn1_ctx *ctx, uintptr_t) {
  return fax_text_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_FaxTelephoneNumberW(const kor_wchar *text,
                                                                    int32_t text_len,
                                                                    kor_asn1_ctx *ctx, uintptr_t) {
  return fax_text_to_ber(text, text_len, ctx);
}

LYRDUA_EXPORT uint32_t KOR_API
kor_ahs_IntToExt_FaxTelephoneNumberA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len,
                                     kor_ahs_fax_telephone_number *struct_out, uintptr_t) {
  return fax_ber_to_text(ctx, out, out_len, struct_out);
}
LYRDUA_EXPORT uint32_t KOR_API
kor_ahs_IntToExt_FaxTelephoneNumberW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len,
                                     kor_ahs_fax_telephone_numberW *struct_out, uintptr_t) {
  return fax_ber_to_text(ctx, out, out_len, struct_out);
}

}  // extern "C"
