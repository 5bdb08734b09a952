// Converting one attribute value by the row of its syntax number, and the
// conversions that the rows name instead of a handler: values taken as bytes
// and object classes shown by name.
#include "ahs/attribute_dispatch.hpp"

#include <cstring>

#include "ahs/conventions.hpp"

namespace lyrdua::ahs {
namespace {

// The binary output contract: the bytes without a NUL, or as many as fit with
// the full size in *out_len and result 6.
uint32_t copy_bytes(const uint8_t *bytes, uint32_t n, char *out, uint32_t *out_len) {
  uint32_t copied = n < *out_len ? n : *out_len;
  if (copied > 0) std::memcpy(out, bytes, copied);
  uint32_t result = n <= *out_len ? KOR_OK : KOR_AHS_TRUNCATED;
  *out_len = n;
  return result;
}

uint32_t copy_element(kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
  kor_asn1_mark(ctx);
  if (kor_asn1_get_tag(ctx) == 0) return KOR_AHS_NO_ELEMENT;
  kor_asn1_skip(ctx);
  const uint8_t *element = nullptr;
  uint32_t n = 0;
  kor_asn1_get_marked(ctx, &element, &n);
  return copy_bytes(element, n, out, out_len);
}

uint32_t copy_octet_string(kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != KOR_ASN1_TAG_OCTET_STRING)
    return raise_wrong_tag(tag, "%d (OCTET STRING)", KOR_ASN1_TAG_OCTET_STRING);
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  kor_asn1_get_octets(ctx, &contents, &n);
  return copy_bytes(contents, n, out, out_len);
}

// Contents of this length or more cannot be rebuilt with one length octet.
constexpr uint32_t kLongestRebuiltOid = 125;

// The dotted form of OID contents, through a decoding context of their own.
uint32_t dotted_oid(DecoderA oid_decoder, const uint8_t *contents, uint32_t n, char *out,
                    uint32_t *out_len, kor_sc_attr *attr) {
  if (n > kLongestRebuiltOid) return KOR_AHS_TRUNCATED;
  uint8_t element[2 + kLongestRebuiltOid];
  element[0] = KOR_ASN1_TAG_OID;
  element[1] = static_cast<uint8_t>(n);
  if (n > 0) std::memcpy(element + 2, contents, n);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  if (ctx == nullptr) return KOR_AHS_NOMEM;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, element, n + 2);
  uint32_t result = oid_decoder(ctx, out, out_len, reinterpret_cast<uintptr_t>(attr));
  kor_asn1_free_ctx(ctx);
  return result;
}

// Values of the object-class attribute show a class the schema knows by its
// formal name; other OIDs keep the dotted form.
uint32_t object_class_text(DecoderA oid_decoder, kor_asn1_ctx *ctx, char *out, uint32_t *out_len,
                           kor_sc_attr *attr, kor_sc_schema *schema) {
  constexpr uint32_t kDecodingOidArea = 128;
  if (!is_object_class_attribute(attr, kDecodingOidArea))
    return oid_decoder(ctx, out, out_len, reinterpret_cast<uintptr_t>(attr));
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  if (uint32_t result = read_oid_element(ctx, &contents, &n); result != KOR_OK) return result;
  kor_sc_oc *oc = nullptr;
  if (kor_sc_get_oc_by_oid(schema, contents, n, &oc) == KOR_OK) {
    uint32_t size = *out_len;
    uint32_t result = kor_sc_oc_get_formal_nameA(oc, out, &size);
    if (result == KOR_OK) {
      *out_len = size - 1;  // the size counts the NUL
      return KOR_OK;
    }
    if (result == KOR_SC_E_BUFFER) return KOR_AHS_TRUNCATED;
  }
  return dotted_oid(oid_decoder, contents, n, out, out_len, attr);
}

}  // namespace

bool is_object_class_attribute(kor_sc_attr *attr, uint32_t area_size) {
  static const uint8_t kObjectClassOid[] = {0x55, 0x04, 0x00};
  uint8_t oid[128];
  uint32_t n = area_size < sizeof oid ? area_size : static_cast<uint32_t>(sizeof oid);
  if (kor_sc_attr_get_oid(attr, oid, &n) != KOR_OK) return false;
  return n >= sizeof kObjectClassOid && std::memcmp(oid, kObjectClassOid, 3) == 0;
}

uint32_t encode_by_syntax(uint32_t syntax, const char *value, int32_t value_len, kor_asn1_ctx *ctx,
                          kor_sc_schema *schema) {
  if (syntax > KOR_SC_SYN_COUNT) return KOR_AHS_UNSUPPORTED;
  const EncodingRow &row = kEncodingRows[syntax];
  switch (row.kind) {
    case EncodeKind::kHandler:
      return row.handler(value, value_len, ctx, 0);
    case EncodeKind::kHandlerWithSchema:
      return row.handler(value, value_len, ctx, reinterpret_cast<uintptr_t>(schema));
    case EncodeKind::kWholeElement:
    case EncodeKind::kOctetContents:
      // Bytes have no terminator: a length must be given.
      if (value_len < 0) return KOR_AHS_UNSUPPORTED;
      if (row.kind == EncodeKind::kWholeElement) {
        kor_asn1_put_encoding(ctx, value, static_cast<uint32_t>(value_len));
      } else {
        kor_asn1_put_octets(ctx, value, static_cast<uint32_t>(value_len));
        kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
      }
      return KOR_OK;
    case EncodeKind::kUnsupported:
      break;
  }
  return KOR_AHS_UNSUPPORTED;
}

uint32_t encode_by_syntax(uint32_t, const kor_wchar *, int32_t, kor_asn1_ctx *, kor_sc_schema *) {
  return KOR_AHS_UNSUPPORTED;
}

uint32_t decode_by_syntax(uint32_t syntax, kor_asn1_ctx *ctx, char *out, uint32_t *out_len,
                          kor_sc_attr *attr, kor_sc_schema *schema) {
  if (syntax > KOR_SC_SYN_COUNT) return KOR_AHS_UNSUPPORTED;
  const DecodingRow &row = kDecodingRows[syntax];
  switch (row.kind) {
    case DecodeKind::kHandler:
      return row.handler(ctx, out, out_len, reinterpret_cast<uintptr_t>(attr));
    case DecodeKind::kHandlerWithSchema:
      return row.handler(ctx, out, out_len, reinterpret_cast<uintptr_t>(schema));
    case DecodeKind::kCopyElement:
      return copy_element(ctx, out, out_len);
    case DecodeKind::kOctetString:
      return copy_octet_string(ctx, out, out_len);
    case DecodeKind::kObjectClass:
      break;
  }
  return object_class_text(row.handler, ctx, out, out_len, attr, schema);
}

}  // namespace lyrdua::ahs
