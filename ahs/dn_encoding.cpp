// Distinguished names and RDNs from text to BER: the AVA encoding, the DN
// encoder over the structure form, and the text handlers that parse first.
// The writer lays each element in front of the last, so AVAs are laid last
// first (keeping their text order) while RDNs are laid in text order (the
// last RDN of the text coming first in the encoding).
#include <cstdlib>

#include "ahs/attribute_dispatch.hpp"
#include "ahs/conventions.hpp"
#include "ahs/dn_nodes.hpp"
#include "ahs/hex_digits.hpp"
#include "asn1/ber_context.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

kor_sc_schema *schema_of(uintptr_t aux) { return reinterpret_cast<kor_sc_schema *>(aux); }

// The handlers an AVA of each width goes through.
template <typename Char>
struct AvaHandlers;

template <>
struct AvaHandlers<char> {
  static constexpr auto oid = kor_ahs_ExtToInt_OidA;
  static constexpr auto type = kor_ahs_ExtToInt_attrtypeA;
  static constexpr auto value = kor_ahs_ExtToInt_attrvalueA;
};

template <>
struct AvaHandlers<kor_wchar> {
  static constexpr auto oid = kor_ahs_ExtToInt_OidW;
  static constexpr auto type = kor_ahs_ExtToInt_attrtypeW;
  static constexpr auto value = kor_ahs_ExtToInt_attrvalueW;
};

// A type written "oid.<dotted>" or "OID.<dotted>" (these spellings only).
template <typename Char>
bool in_oid_form(const AvaOf<Char> &ava) {
  if (ava.type_len < 4 || !is(ava.type[3], '.')) return false;
  bool lower = is(ava.type[0], 'o') && is(ava.type[1], 'i') && is(ava.type[2], 'd');
  bool upper = is(ava.type[0], 'O') && is(ava.type[1], 'I') && is(ava.type[2], 'D');
  return lower || upper;
}

// The OBJECT IDENTIFIER element of a type in OID form and its contents.
struct TypeOid {
  static constexpr uint32_t kArea = 32;  // tag and length included
  uint8_t area[kArea];
  const uint8_t *element = nullptr;
  uint32_t element_len = 0;
  const uint8_t *contents = nullptr;
  uint32_t contents_len = 0;
};

uint32_t raise_oid_too_long() {
  static const char kTooLong[] = "More than 32 octets for the object identifier of a type";
  return raise(KOR_AHS_E_OID, {kTooLong, sizeof kTooLong - 1});
}

template <typename Char>
uint32_t encode_type_oid(const Char *dotted, uint32_t n, TypeOid *oid) {
  kor_asn1_ctx ctx;
  asn1::init_context(&ctx);
  kor_asn1_set_buf(&ctx, KOR_ASN1_MODE_ENCODE, oid->area, TypeOid::kArea);
  uint32_t result = AvaHandlers<Char>::oid(dotted, static_cast<int32_t>(n), &ctx, 0);
  if (result == KOR_OK && kor_asn1_errno(&ctx) != 0) result = raise_oid_too_long();
  uint8_t *element = nullptr;
  if (result == KOR_OK) kor_asn1_get_buf(&ctx, &element, &oid->element_len);
  oid->element = element;
  asn1::release_context_memory(&ctx);
  return result;
}

// Reads the element back for its contents.
uint32_t read_type_oid(TypeOid *oid) {
  kor_asn1_ctx ctx;
  asn1::init_context(&ctx);
  kor_asn1_set_buf(&ctx, KOR_ASN1_MODE_DECODE, const_cast<uint8_t *>(oid->element),
                   oid->element_len);
  uint32_t tag = kor_asn1_get_tag(&ctx);
  uint32_t result = KOR_OK;
  if (tag == KOR_ASN1_TAG_OID)
    kor_asn1_get_octets(&ctx, &oid->contents, &oid->contents_len);
  else
    result = raise_wrong_tag(tag, "%d (OBJECT_ID)", KOR_ASN1_TAG_OID);
  asn1::release_context_memory(&ctx);
  return result;
}

// The value of a foreign attribute: a complete element in hex after '#'.
// Anything else gives 10, without an event.
template <typename Char>
uint32_t put_hex_element(const AvaOf<Char> &ava, kor_asn1_ctx *ctx) {
  if (!ava.is_hex || ava.value_len % 2 != 0) return KOR_AHS_NOMEM;
  uint32_t n = ava.value_len / 2;
  uint8_t local[256];
  auto *octets = n <= sizeof local ? local : static_cast<uint8_t *>(std::malloc(n));
  if (octets == nullptr) return KOR_AHS_NOMEM;
  uint32_t result = KOR_OK;
  for (uint32_t i = 0; i < n; ++i) {
    int high = hex_digit_value(ava.value[2 * i]);
    int low = hex_digit_value(ava.value[2 * i + 1]);
    if (high < 0 || low < 0) {
      result = KOR_AHS_NOMEM;
      break;
    }
    octets[i] = static_cast<uint8_t>(high << 4 | low);
  }
  if (result == KOR_OK) kor_asn1_put_encoding(ctx, octets, n);
  if (octets != local) std::free(octets);
  return result;
}

// The attribute of a type in OID form: known, with its syntax number, or
// foreign (not in the schema). Other lookup failures give 10.
uint32_t find_attribute_by_oid(kor_sc_schema *schema, const TypeOid &oid, bool *foreign,
                               uint32_t *syntax_number) {
  kor_sc_attr *attr = nullptr;
  uint32_t result = kor_sc_get_attr_by_oid(schema, oid.contents, oid.contents_len, &attr);
  *foreign = result == KOR_SC_E_NOT_FOUND;
  if (*foreign) return KOR_OK;
  kor_sc_syntax *syntax = nullptr;
  if (result == KOR_OK) result = kor_sc_attr_get_syntax(attr, &syntax);
  if (result != KOR_OK) return KOR_AHS_NOMEM;
  return kor_sc_syntax_get_enum(syntax, syntax_number);
}

template <typename Char>
uint32_t encode_oid_form_ava(const AvaOf<Char> &ava, kor_asn1_ctx *ctx, kor_sc_schema *schema) {
  TypeOid oid;
  uint32_t result = encode_type_oid(ava.type + 4, ava.type_len - 4, &oid);
  if (result == KOR_OK) result = read_type_oid(&oid);
  if (result != KOR_OK) return result;
  bool foreign = false;
  uint32_t syntax = 0;
  if ((result = find_attribute_by_oid(schema, oid, &foreign, &syntax)) != KOR_OK) return result;
  kor_asn1_enter_construct(ctx);
  result = foreign ? put_hex_element<Char>(ava, ctx)
                   : encode_by_syntax(syntax, ava.value, static_cast<int32_t>(ava.value_len), ctx,
                                      schema);
  if (result != KOR_OK) return result;
  kor_asn1_put_encoding(ctx, oid.element, oid.element_len);
  return KOR_OK;
}

template <typename Char>
uint32_t encode_keyword_ava(const AvaOf<Char> &ava, kor_asn1_ctx *ctx, kor_sc_schema *schema) {
  auto type_len = static_cast<int32_t>(ava.type_len);
  kor_asn1_enter_construct(ctx);
  uint32_t result = AvaHandlers<Char>::value(ava.type, type_len, ava.value,
                                             static_cast<int32_t>(ava.value_len), ctx, schema);
  if (result != KOR_OK) return result;
  return AvaHandlers<Char>::type(ava.type, type_len, ctx, reinterpret_cast<uintptr_t>(schema));
}

template <typename Char>
uint32_t encode_ava(const AvaOf<Char> &ava, kor_asn1_ctx *ctx, kor_sc_schema *schema) {
  uint32_t result = in_oid_form<Char>(ava) ? encode_oid_form_ava<Char>(ava, ctx, schema)
                                           : encode_keyword_ava<Char>(ava, ctx, schema);
  if (result != KOR_OK) return result;
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  return KOR_OK;
}

// Texts of up to this many characters are parsed in a buffer on the stack.
constexpr uint32_t kStackText = 256;

// The parse buffer of a text: on the stack when short, else on the heap.
template <typename Char>
class TextBuffer {
 public:
  explicit TextBuffer(uint32_t n)
      : chars_(n <= kStackText ? local_ : static_cast<Char *>(std::malloc(n * sizeof(Char)))) {}
  ~TextBuffer() {
    if (chars_ != local_) std::free(chars_);
  }
  TextBuffer(const TextBuffer &) = delete;
  TextBuffer &operator=(const TextBuffer &) = delete;
  Char *get() const { return chars_; }

 private:
  Char local_[kStackText];
  Char *chars_;
};

template <typename Char>
uint32_t dn_text_to_ber(const Char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux) {
  uint32_t n = text_length(text, text_len);
  TextBuffer<Char> buffer(n);
  if (buffer.get() == nullptr) return KOR_AHS_NOMEM;
  DnOf<Char> dn{};
  dn.buffer = buffer.get();
  uint32_t result = parse_distinguished_name(text, n, &dn);
  if (result != KOR_OK) return result;
  result = encode_distinguished_name<Char>(&dn, ctx, schema_of(aux));
  release_dn_nodes(&dn);
  return result;
}

template <typename Char>
uint32_t rdn_text_to_ber(const Char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux) {
  uint32_t n = text_length(text, text_len);
  TextBuffer<Char> buffer(n);
  if (buffer.get() == nullptr) return KOR_AHS_NOMEM;
  AvaOf<Char> first{};
  uint32_t result = parse_relative_name(text, n, buffer.get(), &first);
  if (result != KOR_OK) return result;
  kor_asn1_enter_construct(ctx);
  result = encode_ava_chain<Char>(&first, ctx, schema_of(aux));
  if (result == KOR_OK) {
    kor_asn1_exit_construct(ctx);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SET);
  }
  release_ava_nodes(&first);
  return result;
}

}  // namespace

template <typename Char>
uint32_t encode_ava_chain(const AvaOf<Char> *first, kor_asn1_ctx *ctx, kor_sc_schema *schema) {
  // The chain is singly linked: each pass finds the AVA in front of the one
  // laid last. RDNs hold few AVAs.
  const AvaOf<Char> *laid = nullptr;
  while (laid != first) {
    const AvaOf<Char> *ava = first;
    while (ava->next != laid) ava = ava->next;
    if (uint32_t result = encode_ava<Char>(*ava, ctx, schema); result != KOR_OK) return result;
    laid = ava;
  }
  return KOR_OK;
}

template <typename Char>
uint32_t encode_distinguished_name(const DnOf<Char> *dn, kor_asn1_ctx *ctx, kor_sc_schema *schema) {
  kor_asn1_enter_construct(ctx);
  if (dn->rdn.ava.type != nullptr) {
    for (const auto *rdn = &dn->rdn; rdn != nullptr; rdn = rdn->next) {
      kor_asn1_enter_construct(ctx);
      uint32_t result = encode_ava_chain<Char>(&rdn->ava, ctx, schema);
      if (result != KOR_OK) return result;
      kor_asn1_exit_construct(ctx);
      kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SET);
    }
  }
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  return KOR_OK;
}

template uint32_t encode_ava_chain<char>(const kor_ahs_ava *, kor_asn1_ctx *, kor_sc_schema *);
template uint32_t encode_ava_chain<kor_wchar>(const kor_ahs_avaW *, kor_asn1_ctx *,
                                              kor_sc_schema *);
template uint32_t encode_distinguished_name<char>(const kor_ahs_dn *, kor_asn1_ctx *,
                                                  kor_sc_schema *);
template uint32_t encode_distinguished_name<kor_wchar>(const kor_ahs_dnW *, kor_asn1_ctx *,
                                                       kor_sc_schema *);

}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_DistinguishedNameA(const char *text,
                                                                   int32_t text_len,
                                                                   kor_asn1_ctx *ctx,
                                                                   uintptr_t aux) {
  return dn_text_to_ber(text, text_len, ctx, aux);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_DistinguishedNameW(const kor_wchar *text,
                                                                   int32_t text_len,
                                                                   kor_asn1_ctx *ctx,
                                                                   uintptr_t aux) {
  return dn_text_to_ber(text, text_len, ctx, aux);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_RDNA(const char *text, int32_t text_len,
                                                     kor_asn1_ctx *ctx, uintptr_t aux) {
  return rdn_text_to_ber(text, text_len, ctx, aux);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_RDNW(const kor_wchar *text, int32_t text_len,
                                                     kor_asn1_ctx *ctx, uintptr_t aux) {
  return rdn_text_to_ber(text, text_len, ctx, aux);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructTo_Int_DistinguishedNameA(const kor_ahs_dn *dn,
                                                                       kor_asn1_ctx *ctx,
                                                                       kor_sc_schema *schema) {
  return encode_distinguished_name<char>(dn, ctx, schema);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_StructTo_Int_DistinguishedNameW(const kor_ahs_dnW *dn,
                                                                       kor_asn1_ctx *ctx,
                                                                       kor_sc_schema *schema) {
  return encode_distinguished_name<kor_wchar>(dn, ctx, schema);
}

}  // extern "C"
