// The attribute-value dispatch: converts one value by the syntax number of
// its attribute, choosing the handler from the rows of the dispatch tables.
// The attribute-value handlers and the distinguished-name encoder share it.
#pragma once

#include <lyrdua/kor_ahs.h>

#include <cstdint>

namespace lyrdua::ahs {

using EncoderA = uint32_t(KOR_API *)(const char *text, int32_t text_len, kor_asn1_ctx *ctx,
                                     uintptr_t aux);
using DecoderA = uint32_t(KOR_API *)(kor_asn1_ctx *ctx, char *out, uint32_t *out_len,
                                     uintptr_t aux);

// How a row of the encoding table converts a value.
enum class EncodeKind : uint8_t {
  kWholeElement,       // the value's bytes are a complete element, laid unchanged
  kOctetContents,      // the value's bytes are the contents of an OCTET STRING
  kHandler,            // the row's handler, with aux 0
  kHandlerWithSchema,  // the row's handler, with the schema handle as aux
  kUnsupported,        // no conversion: result 9
};

struct EncodingRow {
  EncodeKind kind;
  EncoderA handler;
};

// How a row of the decoding table converts an element.
enum class DecodeKind : uint8_t {
  kCopyElement,        // the whole element is copied as bytes
  kOctetString,        // the contents of an OCTET STRING are copied as bytes
  kObjectClass,        // an object class by its formal name, else the row's OID handler
  kHandler,            // the row's handler, with the attribute handle as aux
  kHandlerWithSchema,  // the row's handler, with the schema handle as aux
};

struct DecodingRow {
  DecodeKind kind;
  DecoderA handler;
};

// Rows indexed by syntax number, 0 to KOR_SC_SYN_COUNT.
extern const EncodingRow kEncodingRows[KOR_SC_SYN_COUNT + 1];
extern const DecodingRow kDecodingRows[KOR_SC_SYN_COUNT + 1];

// Encodes value (value_len characters; -1 up to a NUL for text syntaxes) by
// syntax number. The 16-bit twin has no conversion and answers 9.
uint32_t encode_by_syntax(uint32_t syntax, const char *value, int32_t value_len, kor_asn1_ctx *ctx,
                          kor_sc_schema *schema);
uint32_t encode_by_syntax(uint32_t syntax, const kor_wchar *value, int32_t value_len,
                          kor_asn1_ctx *ctx, kor_sc_schema *schema);

// Decodes the next element by syntax number into out under the output
// contract of its handler; attr is the value's attribute.
uint32_t decode_by_syntax(uint32_t syntax, kor_asn1_ctx *ctx, char *out, uint32_t *out_len,
                          kor_sc_attr *attr, kor_sc_schema *schema);

// True when attr is the object-class attribute: its OID, fetched into an
// area of area_size octets, begins with 55 04 00 (2.5.4.0).
bool is_object_class_attribute(kor_sc_attr *attr, uint32_t area_size);

}  // namespace lyrdua::ahs
