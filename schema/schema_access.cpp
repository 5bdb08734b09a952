// Schema access: opening the default schema, attribute types and object
// classes by keyword or OID, and their names, descriptions and OIDs lent
// (ref_) or copied (get_).
#include <lyrdua/kor_asn1.h>
#include <lyrdua/kor_sc.h>

#include <cstring>

#include "asn1/oid_wrap.hpp"
#include "platform/export.hpp"
#include "schema/schema_cache.hpp"
#include "schema/store_handles.hpp"
#include "schema/store_status.hpp"
#include "schema/translations.hpp"

namespace lyrdua::schema {
namespace {

// Room for a whole OBJECT IDENTIFIER TLV handed to the store.
constexpr uint32_t kOidTlvRoom = 256;

// The complete TLV of the OID contents, laid in buffer; 0 or a result code.
uint32_t wrap_oid(const uint8_t *oid, uint32_t oid_len, uint8_t (&buffer)[kOidTlvRoom],
                  const uint8_t **tlv) {
  if (oid == nullptr && oid_len > 0) return KOR_SC_E_FAILED;
  uint32_t size = kOidTlvRoom;
  uint32_t error = asn1::oid_contents_to_ber(oid, oid_len, buffer, &size, tlv);
  if (error == KOR_ASN1_E_END_OF_DATA) return KOR_SC_E_BUFFER;
  return error == 0 ? KOR_OK : KOR_SC_E_FAILED;
}

int32_t resolved_length(const char *keyword, int32_t len) {
  if (len != KOR_NUL_TERMINATED || keyword == nullptr) return len;
  return static_cast<int32_t>(std::strlen(keyword));
}

uint32_t attr_by_keyword(kor_sc_schema *schema, const char *keyword, int32_t len,
                         kor_sc_attr **attr) {
  // The caller's length is compared before -1 is resolved, so a NUL-terminated
  // keyword is never translated.
  if (const Translation *t = translation_from_external(keyword, len)) {
    keyword = t->schema_keyword;
    len = static_cast<int32_t>(t->schema_length);
  }
  util_attr *found = nullptr;
  uint32_t status =
      util_attr_by_keyword(store_schema(schema), keyword, resolved_length(keyword, len), &found);
  if (status == 0) *attr = attr_handle(found);
  return result_of_store_status(status);
}

uint32_t attr_by_oid(kor_sc_schema *schema, const uint8_t *oid, uint32_t oid_len,
                     kor_sc_attr **attr) {
  uint8_t buffer[kOidTlvRoom];
  const uint8_t *tlv = nullptr;
  uint32_t result = wrap_oid(oid, oid_len, buffer, &tlv);
  if (result != KOR_OK) return result;
  util_attr *found = nullptr;
  uint32_t status = util_attr_by_oid(store_schema(schema), tlv, &found);
  if (status == 0) *attr = attr_handle(found);
  return result_of_store_status(status);
}

uint32_t oc_by_keyword(kor_sc_schema *schema, const char *keyword, int32_t len, kor_sc_oc **oc) {
  util_oc *found = nullptr;
  uint32_t status =
      util_oc_by_keyword(store_schema(schema), keyword, resolved_length(keyword, len), &found);
  if (status == 0) *oc = oc_handle(found);
  return result_of_store_status(status);
}

uint32_t oc_by_oid(kor_sc_schema *schema, const uint8_t *oid, uint32_t oid_len, kor_sc_oc **oc) {
  uint8_t buffer[kOidTlvRoom];
  const uint8_t *tlv = nullptr;
  uint32_t result = wrap_oid(oid, oid_len, buffer, &tlv);
  if (result != KOR_OK) return result;
  util_oc *found = nullptr;
  uint32_t status = util_oc_by_oid(store_schema(schema), tlv, &found);
  if (status == 0) *oc = oc_handle(found);
  return result_of_store_status(status);
}

// Which text of a record a ref_ operation lends.
enum class TextField { kFirstKeyword, kFormalName, kDescription };

uint32_t ref_attr_text(kor_sc_attr *handle, TextField which, const char **text, uint32_t *len) {
  util_attr *attr = store_attr(handle);
  AttributeEntry *entry = attribute_entry(attr);
  if (entry == nullptr || text == nullptr || len == nullptr) return KOR_SC_E_FAILED;
  switch (which) {
    case TextField::kFirstKeyword:
      return lend_text(&entry->first_keyword, name_at(attr->names, 0), text, len);
    case TextField::kFormalName:
      return lend_text(&entry->formal_name, name_at(attr->names, attr->names.formal_index), text,
                       len);
    case TextField::kDescription:
      break;
  }
  return lend_text(&entry->description, attr->description, text, len);
}

uint32_t ref_oc_text(kor_sc_oc *handle, TextField which, const char **text, uint32_t *len) {
  util_oc *oc = store_oc(handle);
  ClassEntry *entry = class_entry(oc);
  if (entry == nullptr || text == nullptr || len == nullptr) return KOR_SC_E_FAILED;
  if (which == TextField::kFormalName)
    return lend_text(&entry->formal_name, name_at(oc->names, oc->names.formal_index), text, len);
  return lend_text(&entry->description, oc->description, text, len);
}

// The first keyword, shown as the external keyword when a translation names it.
uint32_t ref_first_keyword(kor_sc_attr *attr, const char **text, uint32_t *len) {
  uint32_t result = ref_attr_text(attr, TextField::kFirstKeyword, text, len);
  if (result != KOR_OK) return result;
  if (const Translation *t = translation_from_schema(*text, *len)) {
    *text = t->external_keyword;
    *len = t->external_length;
  }
  return KOR_OK;
}

template <typename Ref, typename Handle>
uint32_t get_text(Ref ref, Handle handle, char *buf, uint32_t *len) {
  if (len == nullptr) return KOR_SC_E_FAILED;
  const char *text = nullptr;
  uint32_t length = 0;
  uint32_t result = ref(handle, &text, &length);
  return result != KOR_OK ? result : copy_text(text, length, buf, len);
}

uint32_t ref_attr_oid(kor_sc_attr *handle, const uint8_t **oid, uint32_t *len) {
  util_attr *attr = store_attr(handle);
  AttributeEntry *entry = attribute_entry(attr);
  if (entry == nullptr || oid == nullptr || len == nullptr) return KOR_SC_E_FAILED;
  return lend_oid(&entry->oid, attr->oid, oid, len);
}

uint32_t ref_oc_oid(kor_sc_oc *handle, const uint8_t **oid, uint32_t *len) {
  util_oc *oc = store_oc(handle);
  ClassEntry *entry = class_entry(oc);
  if (entry == nullptr || oid == nullptr || len == nullptr) return KOR_SC_E_FAILED;
  return lend_oid(&entry->oid, oc->oid, oid, len);
}

template <typename Ref, typename Handle>
uint32_t get_oid(Ref ref, Handle handle, uint8_t *buf, uint32_t *len) {
  if (len == nullptr) return KOR_SC_E_FAILED;
  const uint8_t *oid = nullptr;
  uint32_t length = 0;
  uint32_t result = ref(handle, &oid, &length);
  return result != KOR_OK ? result : copy_oid(oid, length, buf, len);
}

}  // namespace
}  // namespace lyrdua::schema

using namespace lyrdua::schema;

extern "C" {

// ---- Schema ----

LYRDUA_EXPORT uint32_t KOR_API kor_sc_get_default_schema(kor_sc_schema **schema) {
  if (schema == nullptr) return KOR_SC_E_FAILED;
  util_schema *opened = nullptr;
  uint32_t result = open_schema(&opened);
  if (result == KOR_OK) *schema = schema_handle(opened);
  return result;
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_free_schema(kor_sc_schema *) {
  release_schema();
  return KOR_OK;
}

// ---- Attribute types ----

LYRDUA_EXPORT uint32_t KOR_API kor_sc_get_attr_by_keywordA(kor_sc_schema *schema,
                                                           const char *keyword, int32_t len,
                                                           kor_sc_attr **attr) {
  if (attr == nullptr) return KOR_SC_E_FAILED;
  return attr_by_keyword(schema, keyword, len, attr);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_get_attr_by_oid(kor_sc_schema *schema, const uint8_t *oid,
                                                      uint32_t oid_len, kor_sc_attr **attr) {
  if (attr == nullptr) return KOR_SC_E_FAILED;
  return attr_by_oid(schema, oid, oid_len, attr);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_free_attr(kor_sc_attr *) { return KOR_OK; }

LYRDUA_EXPORT uint32_t KOR_API kor_sc_attr_ref_1st_keywordA(kor_sc_attr *attr, const char **text,
                                                            uint32_t *len) {
  return ref_first_keyword(attr, text, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_attr_ref_formal_nameA(kor_sc_attr *attr, const char **text,
                                                            uint32_t *len) {
  return ref_attr_text(attr, TextField::kFormalName, text, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_attr_ref_descriptionA(kor_sc_attr *attr, const char **text,
                                                            uint32_t *len) {
  return ref_attr_text(attr, TextField::kDescription, text, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_attr_ref_oid(kor_sc_attr *attr, const uint8_t **oid,
                                                   uint32_t *len) {
  return ref_attr_oid(attr, oid, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_attr_get_1st_keywordA(kor_sc_attr *attr, char *buf,
                                                            uint32_t *len) {
  return get_text(ref_first_keyword, attr, buf, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_attr_get_formal_nameA(kor_sc_attr *attr, char *buf,
                                                            uint32_t *len) {
  return get_text(kor_sc_attr_ref_formal_nameA, attr, buf, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_attr_get_descriptionA(kor_sc_attr *attr, char *buf,
                                                            uint32_t *len) {
  return get_text(kor_sc_attr_ref_descriptionA, attr, buf, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_attr_get_oid(kor_sc_attr *attr, uint8_t *buf, uint32_t *len) {
  return get_oid(ref_attr_oid, attr, buf, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_attr_is_multivalued(kor_sc_attr *attr) {
  return util_attr_is_multivalued(store_attr(attr));
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_attr_get_syntax(kor_sc_attr *attr, kor_sc_syntax **syntax) {
  if (syntax == nullptr) return KOR_SC_E_FAILED;
  *syntax = attr == nullptr ? nullptr : syntax_handle(store_attr(attr)->syntax);
  return *syntax != nullptr ? KOR_OK : KOR_SC_E_FAILED;
}

// ---- Object classes ----

LYRDUA_EXPORT uint32_t KOR_API kor_sc_get_oc_by_keywordA(kor_sc_schema *schema, const char *keyword,
                                                         int32_t len, kor_sc_oc **oc) {
  if (oc == nullptr) return KOR_SC_E_FAILED;
  return oc_by_keyword(schema, keyword, len, oc);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_get_oc_by_oid(kor_sc_schema *schema, const uint8_t *oid,
                                                    uint32_t oid_len, kor_sc_oc **oc) {
  if (oc == nullptr) return KOR_SC_E_FAILED;
  return oc_by_oid(schema, oid, oid_len, oc);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_free_oc(kor_sc_oc *) { return KOR_OK; }

LYRDUA_EXPORT uint32_t KOR_API kor_sc_oc_ref_formal_nameA(kor_sc_oc *oc, const char **text,
                                                          uint32_t *len) {
  return ref_oc_text(oc, TextField::kFormalName, text, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_oc_ref_descriptionA(kor_sc_oc *oc, const char **text,
                                                          uint32_t *len) {
  return ref_oc_text(oc, TextField::kDescription, text, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_oc_ref_oid(kor_sc_oc *oc, const uint8_t **oid,
                                                 uint32_t *len) {
  return ref_oc_oid(oc, oid, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_oc_get_formal_nameA(kor_sc_oc *oc, char *buf, uint32_t *len) {
  return get_text(kor_sc_oc_ref_formal_nameA, oc, buf, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_oc_get_descriptionA(kor_sc_oc *oc, char *buf, uint32_t *len) {
  return get_text(kor_sc_oc_ref_descriptionA, oc, buf, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_oc_get_oid(kor_sc_oc *oc, uint8_t *buf, uint32_t *len) {
  return get_oid(ref_oc_oid, oc, buf, len);
}

LYRDUA_EXPORT uint32_t KOR_API kor_sc_oc_get_parent_by_idx(kor_sc_oc *oc, int32_t idx,
                                                           kor_sc_oc **parent) {
  if (parent == nullptr) return KOR_OK;
  *parent = nullptr;
  const util_parent_list *parents = oc == nullptr ? nullptr : store_oc(oc)->parents;
  if (parents != nullptr && idx >= 0 && idx < parents->count)
    *parent = oc_handle(parents->parents[idx]);
  return KOR_OK;
}

}  // extern "C"
