// Syntax handles: their names, and their numbers by the syntax name table.
#include <lyrdua/kor_sc.h>

#include <cstdlib>

#include "platform/export.hpp"
#include "schema/schema_cache.hpp"
#include "schema/store_handles.hpp"
#include "schema/syntax_names.hpp"

namespace lyrdua::schema {
namespace {

// bsearch comparison of a store string key with a row's name.
int compare_with_row(const void *key, const void *row) {
  return util_string_compare(static_cast<const uint8_t *>(key),
                             static_cast<const SyntaxName *>(row)->name);
}

uint32_t syntax_number(const uint8_t *name) {
  if (name == nullptr) return KOR_SC_SYN_UNKNOWN;
  const void *row =
      std::bsearch(name, kSyntaxNames, kSyntaxNameCount, sizeof(SyntaxName), compare_with_row);
  return row == nullptr ? KOR_SC_SYN_UNKNOWN : static_cast<const SyntaxName *>(row)->value;
}

}  // namespace
}  // namespace lyrdua::schema

using namespace lyrdua::schema;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_sc_free_syntax(kor_sc_syntax *) { return KOR_OK; }

LYRDUA_EXPORT uint32_t KOR_API kor_sc_syntax_ref_nameA(kor_sc_syntax *syntax, const char **text,
                                                       uint32_t *len) {
  SyntaxEntry *entry = syntax_entry(store_syntax(syntax));
  if (entry == nullptr || text == nullptr || len == nullptr) return KOR_SC_E_FAILED;
  return lend_text(&entry->name, store_syntax(syntax)->name, text, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_syntax_get_nameA(kor_sc_syntax *syntax, char *buf,
                                                       uint32_t *len) {
  const char *text = nullptr;
  uint32_t length = 0;
  if (len == nullptr) return KOR_SC_E_FAILED;
  uint32_t result = kor_sc_syntax_ref_nameA(syntax, &text, &length);
  return result != KOR_OK ? result : copy_text(text, length, buf, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_syntax_get_enum(kor_sc_syntax *syntax, uint32_t *value) {
  if (value == nullptr) return KOR_OK;
  if (syntax == nullptr) {
    *value = KOR_SC_SYN_UNKNOWN;
    return KOR_OK;
  }
  // Every value conversion asks for its syntax's number: the schema's
  // syntaxes keep it in their cache entry once searched.
  SyntaxEntry *entry = syntax_entry(store_syntax(syntax));
  if (entry != nullptr && entry->number_known) {
    *value = entry->number;
    return KOR_OK;
  }
  *value = syntax_number(store_syntax(syntax)->name);
  if (entry != nullptr) {
    entry->number = *value;
    entry->number_known = true;
  }
  return KOR_OK;
}

}  // extern "C"
