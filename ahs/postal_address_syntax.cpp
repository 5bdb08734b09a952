// Postal address: line$line$... (1 to 32 lines) <-> SEQUENCE OF
// DirectoryString, with the structure form between them.
#include "ahs/conventions.hpp"
#include "ahs/member_strings.hpp"
#include "ahs/text_output.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

constexpr uint32_t kMaxLines = KOR_AHS_POSTAL_LINES;
constexpr uint32_t kMaxLineLength = 1024;
constexpr uint32_t kLineLimitFieldSize = 16;
// Lines are read through a buffer of this many characters, NUL included, so
// a decoded line holds at most 255.
constexpr uint32_t kReadLineBuffer = 256;

template <typename Char>
using Postal = typename StructureForms<Char>::Postal;

template <typename Char>
uint32_t postal_text_to_struct(const Char *text, int32_t text_len, Postal<Char> *pa) {
  *pa = {};
  uint32_t n = text_length(text, text_len);
  uint32_t start = 0;
  for (uint32_t k = 0;; ++k) {
    if (k == kMaxLines) return raise(KOR_AHS_E_POSTAL_LINES);
    uint32_t end = start;
    while (end < n && !is(text[end], '$')) ++end;
    // Covers the empty text, a "$" first or last, and two adjacent "$".
    if (end == start) return raise(KOR_AHS_E_POSTAL_EMPTY);
    pa->lines[k].line = text + start;
    pa->lines[k].line_len = end - start;
    if (end - start > kMaxLineLength) {
      NumberField limit = format_number("%d", kMaxLineLength, kLineLimitFieldSize);
      return raise(KOR_AHS_E_POSTAL_LINE_LONG, limit.param());
    }
    if (end == n) return KOR_OK;
    start = end + 1;
  }
}

// Present lines from the last to the first, as the backward writer leaves
// them in order.
template <typename Char>
uint32_t postal_struct_to_ber(const Postal<Char> *pa, kor_asn1_ctx *ctx) {
  kor_asn1_enter_construct(ctx);
  for (uint32_t k = kMaxLines; k-- > 0;) {
    if (pa->lines[k].line == nullptr) continue;
    uint32_t result =
        MemberStrings<Char>::put_directory(pa->lines[k].line, pa->lines[k].line_len, ctx);
    if (result != KOR_OK) return result;
  }
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  return KOR_OK;
}

template <typename Char>
uint32_t postal_text_to_ber(const Char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  Postal<Char> pa;
  uint32_t result = postal_text_to_struct(text, text_len, &pa);
  return result != KOR_OK ? result : postal_struct_to_ber<Char>(&pa, ctx);
}

template <typename Char>
uint32_t postal_struct_to_text(const Postal<Char> *pa, Char *out, uint32_t *out_len) {
  TextOutput<Char> text(out, *out_len);
  bool first = true;
  for (const auto &entry : pa->lines) {
    if (entry.line == nullptr) continue;
    if (!first) text.append('$');
    text.append(entry.line, entry.line_len);
    first = false;
  }
  return text.finish(out_len);
}

template <typename Char>
uint32_t postal_ber_to_text(kor_asn1_ctx *ctx, Char *out, uint32_t *out_len,
                            Postal<Char> *struct_out) {
  // Callers must pass a structure; one that does not still gets the text.
  Postal<Char> unused;
  Postal<Char> *pa = struct_out != nullptr ? struct_out : &unused;
  *pa = {};
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != KOR_ASN1_TAG_SEQUENCE) return raise_wrong_tag(tag, "%d (SEQ)", KOR_ASN1_TAG_SEQUENCE);
  kor_asn1_enter_construct(ctx);

  TextOutput<Char> text(out, *out_len);
  Char line[kReadLineBuffer];
  for (uint32_t k = 0;; ++k) {
    uint32_t n = kReadLineBuffer;
    uint32_t result = MemberStrings<Char>::get_directory(ctx, line, &n);
    if (result == KOR_AHS_NO_ELEMENT) break;
    if (result == KOR_AHS_TRUNCATED) return raise(KOR_AHS_E_POSTAL_READ_LONG);
    if (result != KOR_OK) return result;
    if (k >= kMaxLines) continue;  // read, and left out of the text
    // A line is recorded only when it and the "$" before it were written whole.
    bool separated = k == 0 || text.append('$');
    Char *at = text.position();
    if (text.append(line, n) && separated) {
      pa->lines[k].line = at;
      pa->lines[k].line_len = n;
    }
  }
  return text.finish(out_len);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToStruct_PostalAddressA(const char *text,
                                                                  int32_t text_len,
                                                                  kor_ahs_postal_address *pa) {
  return postal_text_to_struct(text, text_len, pa);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToStruct_PostalAddressW(const kor_wchar *text,
                                                                  int32_t text_len,
                                                                  kor_ahs_postal_addressW *pa) {
  return postal_text_to_struct(text, text_len, pa);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToInt_PostalAddressA(const kor_ahs_postal_address *pa,
                                                                  kor_asn1_ctx *ctx) {
  return postal_struct_to_ber<char>(pa, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToInt_PostalAddressW(const kor_ahs_postal_addressW *pa,
                                                                  kor_asn1_ctx *ctx) {
  return postal_struct_to_ber<kor_wchar>(pa, ctx);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToExt_PostalAddressA(const kor_ahs_postal_address *pa,
                                                                  char *out, uint32_t *out_len) {
  return postal_struct_to_text(pa, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToExt_PostalAddressW(const kor_ahs_postal_addressW *pa,
                                                                  kor_wchar *out,
                                                                  uint32_t *out_len) {
  return postal_struct_to_text(pa, out, out_len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_PostalAddressA(const char *text, int32_t text_len,
                                                               kor_asn1_ctx *ctx, uintptr_t) {
  return postal_text_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_PostalAddressW(const kor_wchar *text,
                                                               int32_t text_len, kor_asn1_ctx *ctx,
                                                               uintptr_t) {
  return postal_text_to_ber(text, text_len, ctx);
}

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_PostalAddressA(kor_asn1_ctx *ctx, char *out,
                                                               uint32_t *out_len,
                                                               kor_ahs_postal_address *struct_out,
                                                               uintptr_t) {
  return postal_ber_to_text(ctx, out, out_len, struct_out);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_PostalAddressW(kor_asn1_ctx *ctx, kor_wchar *out,
                                                               uint32_t *out_len,
                                                               kor_ahs_postal_addressW *struct_out,
                                                               uintptr_t) {
  return postal_ber_to_text(ctx, out, out_len, struct_out);
}

}  // extern "C"
