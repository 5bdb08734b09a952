// IA5String, NumericString, PrintableString and DirectoryString: values whose
// contents are their characters, one byte each. Only the A variants convert;
// the W checks answer 9 once the value passes.
#include "ahs/character_sets.hpp"
#include "ahs/conventions.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

struct StringSyntax {
  uint32_t tag;
  uint32_t bad_char_event;
  bool (*accepts)(uint32_t unit);  // the unit as an unsigned value of its width
  const char *tag_format;
};

const StringSyntax kIa5 = {KOR_ASN1_TAG_IA5_STRING, KOR_AHS_E_IA5_CHAR,
                           [](uint32_t unit) { return unit < 0x80; }, "%d (IA5 STRING)"};
const StringSyntax kNumericString = {KOR_ASN1_TAG_NUMERIC_STRING, KOR_AHS_E_NUMERIC_CHAR,
                                     [](uint32_t unit) { return kNumeric.contains(unit); },
                                     "%d (NUMERIC_STRING)"};
const StringSyntax kPrintableString = {KOR_ASN1_TAG_PRINTABLE_STRING, KOR_AHS_E_PRINTABLE_CHAR,
                                       [](uint32_t unit) { return kPrintable.contains(unit); },
                                       "%d (PRINTABLE STRING)"};

template <typename Char>
uint32_t unit_of(Char c) {
  return static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(c));
}

// The first character outside the syntax's set raises its event.
template <typename Char>
uint32_t check_characters(const StringSyntax &syntax, const Char *text, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i)
    if (!syntax.accepts(unit_of(text[i])))
      return raise_with_text(syntax.bad_char_event, text + i, 1);
  return KOR_OK;
}

uint32_t string_to_ber(const StringSyntax &syntax, const char *text, int32_t text_len,
                       kor_asn1_ctx *ctx) {
  uint32_t n = text_length(text, text_len);
  if (uint32_t result = check_characters(syntax, text, n); result != KOR_OK) return result;
  kor_asn1_put_octets(ctx, text, n);
  kor_asn1_put_tag(ctx, syntax.tag);
  return KOR_OK;
}

uint32_t check_wide(const StringSyntax &syntax, const kor_wchar *text, int32_t text_len) {
  uint32_t result = check_characters(syntax, text, text_length(text, text_len));
  return result != KOR_OK ? result : KOR_AHS_UNSUPPORTED;
}

// Reads the tag; a tag in accepted[] leads to the contents.
uint32_t read_string(kor_asn1_ctx *ctx, uint32_t tag_a, uint32_t tag_b, const char *tag_format,
                     uint32_t format_size, const uint8_t **contents, uint32_t *n) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != tag_a && tag != tag_b) {
    NumberField found = format_number("%d", static_cast<int32_t>(tag), format_size);
    NumberField expected = format_number(tag_format, static_cast<int32_t>(tag_b), format_size);
    return raise(KOR_AHS_E_WRONG_TAG, found.param(), expected.param());
  }
  kor_asn1_get_octets(ctx, contents, n);
  return KOR_OK;
}

uint32_t string_to_text(const StringSyntax &syntax, kor_asn1_ctx *ctx, char *out,
                        uint32_t *out_len) {
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  uint32_t result = read_string(ctx, syntax.tag, syntax.tag, syntax.tag_format,
                                NumberField::kDefaultSize, &contents, &n);
  return result != KOR_OK ? result : plain_copy(contents, n, out, out_len);
}

// W decoders only recognise their element.
uint32_t recognise_wide(const StringSyntax &syntax, kor_asn1_ctx *ctx) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != syntax.tag) return raise_wrong_tag(tag, syntax.tag_format, syntax.tag);
  return KOR_AHS_UNSUPPORTED;
}

// IA5 text shows the bytes 0x20-0x7E as they are and every other byte as '.'.
uint32_t ia5_to_text(kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  uint32_t result = read_string(ctx, kIa5.tag, kIa5.tag, kIa5.tag_format, NumberField::kDefaultSize,
                                &contents, &n);
  if (result != KOR_OK) return result;
  return write_mapped(contents, n, out, out_len,
                      [](uint8_t octet) { return octet >= 0x20 && octet <= 0x7E ? octet : '.'; });
}

uint32_t directory_string_to_ber(const char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  uint32_t n = text_length(text, text_len);
  uint32_t printable = 0;
  while (printable < n && kPrintable.contains(text[printable])) ++printable;
  kor_asn1_put_octets(ctx, text, n);
  kor_asn1_put_tag(ctx, printable == n ? KOR_ASN1_TAG_PRINTABLE_STRING : KOR_ASN1_TAG_T61_STRING);
  return KOR_OK;
}

uint32_t directory_string_to_text(kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  uint32_t result = read_string(ctx, KOR_ASN1_TAG_PRINTABLE_STRING, KOR_ASN1_TAG_T61_STRING,
                                "%d (T61_STRING OR PRINTABLESTRING)", 40, &contents, &n);
  return result != KOR_OK ? result : plain_copy(contents, n, out, out_len);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_IA5StringA(const char *text, int32_t text_len,
                                                           kor_asn1_ctx *ctx, uintptr_t) {
  return string_to_ber(kIa5, text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_IA5StringW(const kor_wchar *text, int32_t text_len,
                                                           kor_asn1_ctx *, uintptr_t) {
  return check_wide(kIa5, text, text_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_IA5StringA(kor_asn1_ctx *ctx, char *out,
                                                           uint32_t *out_len, uintptr_t) {
  return ia5_to_text(ctx, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_IA5StringW(kor_asn1_ctx *ctx, kor_wchar *,
                                                           uint32_t *, uintptr_t) {
  return recognise_wide(kIa5, ctx);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_NumericStringA(const char *text, int32_t text_len,
                                                               kor_asn1_ctx *ctx, uintptr_t) {
  return string_to_ber(kNumericString, text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_NumericStringW(const kor_wchar *text,
                                                               int32_t text_len, kor_asn1_ctx *,
                                                               uintptr_t) {
  return check_wide(kNumericString, text, text_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_NumericStringA(kor_asn1_ctx *ctx, char *out,
                                                               uint32_t *out_len, uintptr_t) {
  return string_to_text(kNumericString, ctx, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_NumericStringW(kor_asn1_ctx *ctx, kor_wchar *,
                                                               uint32_t *, uintptr_t) {
  return recognise_wide(kNumericString, ctx);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_PrintableStringA(const char *text, int32_t text_len,
                                                                 kor_asn1_ctx *ctx, uintptr_t) {
  return string_to_ber(kPrintableString, text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_PrintableStringW(const kor_wchar *text,
                                                                 int32_t text_len, kor_asn1_ctx *,
                                                                 uintptr_t) {
  return check_wide(kPrintableString, text, text_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_PrintableStringA(kor_asn1_ctx *ctx, char *out,
                                                                 uint32_t *out_len, uintptr_t) {
  return string_to_text(kPrintableString, ctx, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_PrintableStringW(kor_asn1_ctx *ctx, kor_wchar *,
                                                                 uint32_t *, uintptr_t) {
  return recognise_wide(kPrintableString, ctx);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_DirectoryStringA(const char *text, int32_t text_len,
                                                                 kor_asn1_ctx *ctx, uintptr_t) {
  return directory_string_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_DirectoryStringA(kor_asn1_ctx *ctx, char *out,
                                                                 uint32_t *out_len, uintptr_t) {
  return directory_string_to_text(ctx, out, out_len);
}
// DirectoryString has no 16-bit conversion.
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_DirectoryStringW(const kor_wchar *, int32_t,
                                                                 kor_asn1_ctx *, uintptr_t) {
  return KOR_AHS_UNSUPPORTED;
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_DirectoryStringW(kor_asn1_ctx *, kor_wchar *,
                                                                 uint32_t *, uintptr_t) {
  return KOR_AHS_UNSUPPORTED;
}

}  // extern "C"
