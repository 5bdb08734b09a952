#include "schema/schema_cache.hpp"

#include <lyrdua/kor_sc.h>

#include <cstdlib>
#include <cstring>

#include "asn1/oid_wrap.hpp"
#include "schema/store_status.hpp"

namespace lyrdua::schema {
namespace {

void *UTIL_API heap_allocate(uint32_t size) { return std::malloc(size); }
void UTIL_API heap_release(uint32_t, void *block) { std::free(block); }

// The allocator through which the store makes every text the library keeps.
const util_allocator kHeapAllocator = {heap_allocate, heap_release, 0};

struct SchemaState {
  uint32_t references;
  util_schema *schema;
  AttributeEntry *attributes;
  ClassEntry *classes;
  SyntaxEntry *syntaxes;
};

SchemaState state;

template <typename Entry>
Entry *new_table(int16_t count) {
  // One entry at least, so that an empty array still has a table.
  size_t entries = count > 0 ? static_cast<size_t>(count) : 1;
  return static_cast<Entry *>(std::calloc(entries, sizeof(Entry)));
}

void free_tables() {
  std::free(state.attributes);
  std::free(state.classes);
  std::free(state.syntaxes);
  state.attributes = nullptr;
  state.classes = nullptr;
  state.syntaxes = nullptr;
}

void free_cached_texts() {
  for (int16_t i = 0; i < state.schema->attr_count; ++i) {
    free_text(&state.attributes[i].first_keyword);
    free_text(&state.attributes[i].formal_name);
    free_text(&state.attributes[i].description);
  }
  for (int16_t i = 0; i < state.schema->oc_count; ++i) {
    free_text(&state.classes[i].formal_name);
    free_text(&state.classes[i].description);
  }
  for (int16_t i = 0; i < state.schema->syntax_count; ++i) free_text(&state.syntaxes[i].name);
}

// The entry of record in table when record lies on an element of array.
template <typename Entry, typename Record>
Entry *entry_of(const Record *record, const Record *array, int16_t count, Entry *table) {
  if (state.references == 0 || record == nullptr) return nullptr;
  auto address = reinterpret_cast<uintptr_t>(record);
  auto first = reinterpret_cast<uintptr_t>(array);
  if (address < first) return nullptr;
  uintptr_t offset = address - first;
  if (offset % sizeof(Record) != 0 || offset / sizeof(Record) >= static_cast<uintptr_t>(count))
    return nullptr;
  return &table[offset / sizeof(Record)];
}

}  // namespace

uint32_t open_schema(util_schema **schema) {
  if (state.references == 0) {
    uint32_t status = util_schema_open(0);
    if (status != 0) return result_of_store_status(status);
    util_schema *opened = util_schema_get();
    if (opened == nullptr) {
      util_schema_release();
      return KOR_SC_E_FAILED;
    }
    state.attributes = new_table<AttributeEntry>(opened->attr_count);
    state.classes = new_table<ClassEntry>(opened->oc_count);
    state.syntaxes = new_table<SyntaxEntry>(opened->syntax_count);
    if (state.attributes == nullptr || state.classes == nullptr || state.syntaxes == nullptr) {
      free_tables();
      util_schema_release();
      return KOR_SC_E_NOMEM;
    }
    state.schema = opened;
  }
  ++state.references;
  *schema = state.schema;
  return KOR_OK;
}

void release_schema() {
  if (state.references == 0) return;
  if (--state.references != 0) return;
  free_cached_texts();
  free_tables();
  state.schema = nullptr;
  util_schema_release();
}

AttributeEntry *attribute_entry(const util_attr *attr) {
  if (state.schema == nullptr) return nullptr;
  return entry_of(attr, state.schema->attrs, state.schema->attr_count, state.attributes);
}

ClassEntry *class_entry(const util_oc *oc) {
  if (state.schema == nullptr) return nullptr;
  return entry_of(oc, state.schema->ocs, state.schema->oc_count, state.classes);
}

SyntaxEntry *syntax_entry(const util_syntax *syntax) {
  if (state.schema == nullptr) return nullptr;
  return entry_of(syntax, state.schema->syntaxes, state.schema->syntax_count, state.syntaxes);
}

uint32_t convert_store_string(const uint8_t *store_string, CachedText *field) {
  if (store_string == nullptr) {
    field->text = static_cast<char *>(std::calloc(1, 1));
    field->length = 0;
    return field->text != nullptr ? KOR_OK : KOR_SC_E_NOMEM;
  }
  return util_string_to_text(0, &kHeapAllocator, -1, store_string, &field->length, &field->text) !=
                 0
             ? KOR_OK
             : KOR_SC_E_FAILED;
}

void free_text(CachedText *field) {
  std::free(field->text);
  field->text = nullptr;
  field->length = 0;
}

uint32_t unwrap_oid(const uint8_t *oid_tlv, CachedOid *field) {
  return asn1::oid_contents_from_ber(asn1::kOidEncodingBound, oid_tlv, &field->length,
                                     &field->contents);
}

uint32_t lend_text(CachedText *field, const uint8_t *store_string, const char **text,
                   uint32_t *len) {
  uint32_t result = field->text == nullptr ? convert_store_string(store_string, field) : KOR_OK;
  *text = field->text;
  *len = field->length;
  return result;
}

uint32_t lend_oid(CachedOid *field, const uint8_t *oid_tlv, const uint8_t **oid, uint32_t *len) {
  uint32_t result = field->contents == nullptr ? unwrap_oid(oid_tlv, field) : KOR_OK;
  *oid = field->contents;
  *len = field->length;
  return result;
}

uint32_t copy_text(const char *text, uint32_t length, char *buf, uint32_t *len) {
  uint32_t capacity = *len;
  if (buf == nullptr && capacity > 0) return KOR_SC_E_FAILED;
  uint32_t copied = length < capacity ? length : capacity;
  if (copied > 0) std::memcpy(buf, text, copied);
  *len = length + 1;
  if (length < capacity) {
    buf[length] = '\0';
    return KOR_OK;
  }
  if (capacity > 0) buf[capacity - 1] = '\0';
  return KOR_SC_E_BUFFER;
}

uint32_t copy_oid(const uint8_t *oid, uint32_t length, uint8_t *buf, uint32_t *len) {
  uint32_t capacity = *len;
  if (buf == nullptr && capacity > 0) return KOR_SC_E_FAILED;
  *len = length;
  if (capacity < length) return KOR_SC_E_BUFFER;
  if (length > 0) std::memcpy(buf, oid, length);
  return KOR_OK;
}

const uint8_t *name_at(const util_name_list &names, int32_t index) {
  if (names.count <= 0 || index < 0 || index >= names.count) return nullptr;
  return names.names[index];
}

}  // namespace lyrdua::schema
