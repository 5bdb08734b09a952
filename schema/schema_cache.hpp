// The open schema as the library keeps it: the reference count, the store's
// schema, and the cache of texts and OID contents taken from its records.
#pragma once

#include <cstdint>

#include "lyrutil/schema_store.h"

namespace lyrdua::schema {

// A text converted from a store string; text is null until it is filled.
struct CachedText {
  char *text;
  uint32_t length;  // without the NUL
};

// OID contents inside the store's TLV; contents is null until filled.
struct CachedOid {
  const uint8_t *contents;
  uint32_t length;
};

struct AttributeEntry {
  CachedText first_keyword;
  CachedText formal_name;
  CachedText description;
  CachedOid oid;
};

struct ClassEntry {
  CachedText formal_name;
  CachedText description;
  CachedOid oid;
};

struct SyntaxEntry {
  CachedText name;
  uint32_t number;  // the syntax name table's number, once number_known
  bool number_known;
};

// Opens the schema (the store and the cache on the first call); 0 or a code.
uint32_t open_schema(util_schema **schema);
// Drops one reference; the last one frees the cache and lets the store go.
void release_schema();

// The cache entry of a record of the open schema; null when the schema is
// closed or the record is not one of its array.
AttributeEntry *attribute_entry(const util_attr *attr);
ClassEntry *class_entry(const util_oc *oc);
SyntaxEntry *syntax_entry(const util_syntax *syntax);

// Fills field from a store string: an absent string gives the empty text.
// 0, or KOR_SC_E_FAILED when the store cannot convert it.
uint32_t convert_store_string(const uint8_t *store_string, CachedText *field);
// Frees a text made by convert_store_string and empties the field.
void free_text(CachedText *field);

// Fills field with the contents of an OBJECT IDENTIFIER TLV; 0 or the codec's error.
uint32_t unwrap_oid(const uint8_t *oid_tlv, CachedOid *field);

// Ref operations: fill the field from its source unless it is filled, then
// lend it. The result is that of the filling (0 when it was filled already).
uint32_t lend_text(CachedText *field, const uint8_t *store_string, const char **text,
                   uint32_t *len);
uint32_t lend_oid(CachedOid *field, const uint8_t *oid_tlv, const uint8_t **oid, uint32_t *len);

// Get operations: copy what a ref operation lent into the caller's buffer.
uint32_t copy_text(const char *text, uint32_t length, char *buf, uint32_t *len);
uint32_t copy_oid(const uint8_t *oid, uint32_t length, uint8_t *buf, uint32_t *len);

// The name at position index of a name list; null when the list has no names.
const uint8_t *name_at(const util_name_list &names, int32_t index);

}  // namespace lyrdua::schema
