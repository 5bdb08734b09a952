// The structure form of distinguished names: text parsed into RDN and AVA
// nodes, the nodes formatted back into text with quoting, and their release.
#include "ahs/conventions.hpp"
#include "ahs/dn_nodes.hpp"
#include "ahs/text_output.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

template <typename Char>
uint32_t text_to_structure(Char *text, int32_t text_len, DnOf<Char> *dn) {
  if (dn->buffer == nullptr) dn->buffer = text;  // parse in place
  dn->rdn.next = nullptr;
  dn->rdn.ava.next = nullptr;
  dn->rdn.ava.type = nullptr;
  dn->rdn.ava.type_len = 0;
  dn->rdn.ava.value = nullptr;
  dn->rdn.ava.value_len = 0;
  return parse_distinguished_name<Char>(text, text_length(text, text_len), dn);
}

template <typename Char>
bool needs_quotes(const Char *value, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i)
    if (is(value[i], '+') || is(value[i], ',') || is(value[i], ';')) return true;
  return false;
}

// A value as the formatter writes it: quoted when it holds a separator, with
// every quote character and backslash escaped.
template <typename Char>
void append_value(TextOutput<Char> &text, const Char *value, uint32_t n) {
  bool quoted = needs_quotes(value, n);
  if (quoted) text.append('"');
  for (uint32_t i = 0; i < n; ++i) {
    if (is(value[i], '"') || is(value[i], '\\')) text.append('\\');
    text.append(&value[i], 1);
  }
  if (quoted) text.append('"');
}

template <typename Char>
uint32_t structure_to_text(const DnOf<Char> *dn, Char *out, uint32_t *out_len) {
  TextOutput<Char> text(out, *out_len);
  if (dn->rdn.ava.type != nullptr) {
    for (const auto *rdn = &dn->rdn; rdn != nullptr; rdn = rdn->next) {
      for (const auto *ava = &rdn->ava; ava != nullptr; ava = ava->next) {
        text.append(ava->type, ava->type_len);
        if (ava->type_len > 0) text.append('=');
        append_value(text, ava->value, ava->value_len);
        if (ava->next != nullptr) text.append('+');
      }
      if (rdn->next != nullptr) text.append(',');
    }
  }
  return text.finish(out_len);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToStruct_DistinguishedNameA(char *text, int32_t text_len,
                                                                      kor_ahs_dn *dn) {
  return text_to_structure(text, text_len, dn);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToStruct_DistinguishedNameW(kor_wchar *text,
                                                                      int32_t text_len,
                                                                      kor_ahs_dnW *dn) {
  return text_to_structure(text, text_len, dn);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToExt_DistinguishedNameA(const kor_ahs_dn *dn,
                                                                      char *out,
                                                                      uint32_t *out_len) {
  return structure_to_text<char>(dn, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructToExt_DistinguishedNameW(const kor_ahs_dnW *dn,
                                                                      kor_wchar *out,
                                                                      uint32_t *out_len) {
  return structure_to_text<kor_wchar>(dn, out, out_len);
}
// The 16-bit records have the 8-bit layout, so one release serves both.
LYRDUA_EXPORT void KOR_API kor_ahs_Free_DistinguishedName(void *dn) {
  if (dn != nullptr) release_dn_nodes(static_cast<kor_ahs_dn *>(dn));
}

}  // extern "C"
