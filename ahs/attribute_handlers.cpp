// Attribute types and attribute values: keywords to OBJECT IDENTIFIER
// elements and back, and values converted by the syntax of their attribute.
// Only the 8-bit variants convert.
#include "ahs/attribute_dispatch.hpp"
#include "ahs/conventions.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

kor_sc_schema *schema_of(uintptr_t aux) { return reinterpret_cast<kor_sc_schema *>(aux); }

// The event of a failed keyword lookup: the schema does not hold the keyword,
// or the lookup itself failed.
uint32_t raise_keyword_failure(uint32_t lookup_result) {
  bool unknown = lookup_result == KOR_SC_E_NOT_FOUND || lookup_result == KOR_SC_E_STATUS16;
  return raise(unknown ? KOR_AHS_E_UNKNOWN_ATTR : KOR_AHS_E_SCHEMA);
}

// The attribute of a keyword and its syntax number; 0 or the failing lookup's code.
uint32_t find_attribute(kor_sc_schema *schema, const char *keyword, int32_t keyword_len,
                        kor_sc_attr **attr, uint32_t *syntax_number) {
  uint32_t result = kor_sc_get_attr_by_keywordA(schema, keyword, keyword_len, attr);
  if (result != KOR_OK) return result;
  kor_sc_syntax *syntax = nullptr;
  result = kor_sc_attr_get_syntax(*attr, &syntax);
  if (result != KOR_OK) return result;
  return kor_sc_syntax_get_enum(syntax, syntax_number);
}

uint32_t type_to_ber(const char *text, int32_t text_len, kor_asn1_ctx *ctx, kor_sc_schema *schema) {
  kor_sc_attr *attr = nullptr;
  uint32_t result = kor_sc_get_attr_by_keywordA(schema, text, text_len, &attr);
  uint8_t oid[256];
  uint32_t oid_len = sizeof oid;
  if (result == KOR_OK) result = kor_sc_attr_get_oid(attr, oid, &oid_len);
  if (result != KOR_OK) return raise_keyword_failure(result);
  kor_asn1_put_octets(ctx, oid, oid_len);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OID);
  return KOR_OK;
}

uint32_t type_to_text(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, kor_sc_schema *schema) {
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  if (uint32_t result = read_oid_element(ctx, &contents, &n); result != KOR_OK) return result;
  kor_sc_attr *attr = nullptr;
  uint32_t result = kor_sc_get_attr_by_oid(schema, contents, n, &attr);
  if (result == KOR_SC_E_NOT_FOUND) return raise(KOR_AHS_E_UNKNOWN_ATTR);
  uint32_t size = *out_len;
  if (result == KOR_OK) result = kor_sc_attr_get_1st_keywordA(attr, out, &size);
  // A keyword that does not fit is a failure too: this handler never truncates.
  if (result != KOR_OK) return raise(KOR_AHS_E_DECODE);
  *out_len = size - 1;  // the size counts the NUL
  return KOR_OK;
}

// A value of the object-class attribute may name its class by keyword.
bool object_class_to_ber(const char *value, int32_t value_len, kor_asn1_ctx *ctx,
                         kor_sc_schema *schema) {
  kor_sc_oc *oc = nullptr;
  if (kor_sc_get_oc_by_keywordA(schema, value, value_len, &oc) != KOR_OK) return false;
  uint8_t oid[32];
  uint32_t oid_len = sizeof oid;
  if (kor_sc_oc_get_oid(oc, oid, &oid_len) != KOR_OK) return false;
  kor_asn1_put_octets(ctx, oid, oid_len);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OID);
  return true;
}

uint32_t value_to_ber(const char *type, int32_t type_len, const char *value, int32_t value_len,
                      kor_asn1_ctx *ctx, kor_sc_schema *schema) {
  kor_sc_attr *attr = nullptr;
  uint32_t syntax = 0;
  uint32_t result = find_attribute(schema, type, type_len, &attr, &syntax);
  if (result != KOR_OK) return raise_keyword_failure(result);
  constexpr uint32_t kEncodingOidArea = 32;
  if (syntax == KOR_SC_SYN_OBJECT_IDENTIFIER && is_object_class_attribute(attr, kEncodingOidArea) &&
      object_class_to_ber(value, value_len, ctx, schema))
    return KOR_OK;
  return encode_by_syntax(syntax, value, value_len, ctx, schema);
}

uint32_t value_to_text(const char *type, int32_t type_len, kor_asn1_ctx *ctx, char *out,
                       uint32_t *out_len, kor_sc_schema *schema) {
  kor_sc_attr *attr = nullptr;
  uint32_t syntax = 0;
  if (find_attribute(schema, type, type_len, &attr, &syntax) != KOR_OK)
    return raise(KOR_AHS_E_SCHEMA);
  return decode_by_syntax(syntax, ctx, out, out_len, attr, schema);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_attrtypeA(const char *text, int32_t text_len,
                                                          kor_asn1_ctx *ctx, uintptr_t aux) {
  return type_to_ber(text, text_len, ctx, schema_of(aux));
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_attrtypeA(kor_asn1_ctx *ctx, char *out,
                                                          uint32_t *out_len, uintptr_t aux) {
  return type_to_text(ctx, out, out_len, schema_of(aux));
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_attrvalueA(const char *type, int32_t type_len,
                                                           const char *value, int32_t value_len,
                                                           kor_asn1_ctx *ctx,
                                                           kor_sc_schema *schema) {
  return value_to_ber(type, type_len, value, value_len, ctx, schema);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_attrvalueA(const char *type, int32_t type_len,
                                                           kor_asn1_ctx *ctx, char *out,
                                                           uint32_t *out_len,
                                                           kor_sc_schema *schema) {
  return value_to_text(type, type_len, ctx, out, out_len, schema);
}

// Attribute types and values have no 16-bit conversion.
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_attrtypeW(const kor_wchar *, int32_t,
                                                          kor_asn1_ctx *, uintptr_t) {
  return KOR_AHS_UNSUPPORTED;
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_attrtypeW(kor_asn1_ctx *, kor_wchar *, uint32_t *,
                                                          uintptr_t) {
  return KOR_AHS_UNSUPPORTED;
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_attrvalueW(const kor_wchar *, int32_t,
                                                           const kor_wchar *, int32_t,
                                                           kor_asn1_ctx *, kor_sc_schema *) {
  return KOR_AHS_UNSUPPORTED;
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_attrvalueW(const kor_wchar *, int32_t,
                                                           kor_asn1_ctx *, kor_wchar *, uint32_t *,
                                                           kor_sc_schema *) {
  return KOR_AHS_UNSUPPORTED;
}

}  // extern "C"
