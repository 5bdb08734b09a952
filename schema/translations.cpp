#include "schema/translations.hpp"

#include <lyrdua/kor_sc.h>

#include <cstdlib>
#include <cstring>

#include "platform/export.hpp"
#include "schema/schema_cache.hpp"

namespace lyrdua::schema {
namespace {

Translation *pending;
Translation *active;

void free_list(Translation **list) {
  for (Translation *entry = *list; entry != nullptr;) {
    Translation *next = entry->next;
    std::free(entry->schema_keyword);
    std::free(entry->external_keyword);
    std::free(entry);
    entry = next;
  }
  *list = nullptr;
}

char *copy_of(const char *text, uint32_t length) {
  auto *copy = static_cast<char *>(std::malloc(length + 1u));
  if (copy == nullptr) return nullptr;
  if (length > 0) std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

// A pending entry made of the text before and after its first '='.
uint32_t add_pending(const char *text, uint32_t length) {
  const auto *equals = static_cast<const char *>(std::memchr(text, '=', length));
  if (equals == nullptr) return KOR_SC_E_FAILED;
  auto schema_length = static_cast<uint32_t>(equals - text);
  uint32_t external_length = length - schema_length - 1;
  auto *entry = static_cast<Translation *>(std::malloc(sizeof(Translation)));
  char *schema_keyword = copy_of(text, schema_length);
  char *external_keyword = copy_of(equals + 1, external_length);
  if (entry == nullptr || schema_keyword == nullptr || external_keyword == nullptr) {
    std::free(entry);
    std::free(schema_keyword);
    std::free(external_keyword);
    return KOR_SC_E_NOMEM;
  }
  *entry = Translation{pending, schema_keyword, external_keyword, schema_length, external_length};
  pending = entry;
  return KOR_OK;
}

}  // namespace

const Translation *translation_from_external(const char *keyword, int32_t length) {
  if (keyword == nullptr || length < 0) return nullptr;
  for (const Translation *entry = active; entry != nullptr; entry = entry->next) {
    if (entry->external_length == static_cast<uint32_t>(length) &&
        std::memcmp(entry->external_keyword, keyword, entry->external_length) == 0)
      return entry;
  }
  return nullptr;
}

const Translation *translation_from_schema(const char *keyword, uint32_t length) {
  for (const Translation *entry = active; entry != nullptr; entry = entry->next) {
    if (entry->schema_length == length &&
        std::memcmp(entry->schema_keyword, keyword, entry->schema_length) == 0)
      return entry;
  }
  return nullptr;
}

}  // namespace lyrdua::schema

using namespace lyrdua::schema;

extern "C" {

LYRDUA_EXPORT void KOR_API kor_start_translations(void) { free_list(&pending); }

LYRDUA_EXPORT uint32_t KOR_API kor_process_attr_trans_value(const uint8_t *value, uintptr_t) {
  CachedText text{nullptr, 0};
  uint32_t result = convert_store_string(value, &text);
  if (result == KOR_OK) result = add_pending(text.text, text.length);
  free_text(&text);
  return result;
}

LYRDUA_EXPORT void KOR_API kor_adopt_translations(void) {
  free_list(&active);
  active = pending;
  pending = nullptr;
}

}  // extern "C"
