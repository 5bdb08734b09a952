// Distinguished names and RDNs from BER to text. The RDN texts are assembled
// in a working area, each with a terminator, while the SETs are read; the
// output then receives them from the last read to the first, so the text
// lists the RDNs in the opposite order of the encoding. Reading is a loop, not
// a recursion per RDN, so that the stack does not grow with the input.

#include "ahs/conventions.hpp"
#include "ahs/dn_nodes.hpp"
#include "ahs/text_output.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

template <typename Char>
struct AvaDecoders;

template <>
struct AvaDecoders<char> {
  static constexpr auto type = kor_ahs_IntToExt_attrtypeA;
  static constexpr auto value = kor_ahs_IntToExt_attrvalueA;
};

template <>
struct AvaDecoders<kor_wchar> {
  static constexpr auto type = kor_ahs_IntToExt_attrtypeW;
  static constexpr auto value = kor_ahs_IntToExt_attrvalueW;
};

template <typename Char>
class RdnReader {
 public:
  static constexpr uint32_t kArea = 1024;  // characters, terminators included

  RdnReader(kor_asn1_ctx *ctx, uintptr_t schema, Char *out, uint32_t capacity)
      : ctx_(ctx), schema_(schema), output_(out, capacity) {}

  // Reads the SETs that follow at the current level into the area, then
  // writes their texts to the output from the last one read to the first.
  uint32_t read_rdns(bool *read_one) {
    uint32_t count = 0;
    uint32_t tag = 0;
    while ((tag = kor_asn1_get_tag(ctx_)) != 0) {
      if (tag != KOR_ASN1_TAG_SET) return raise_wrong_tag(tag, "%d (SET)", KOR_ASN1_TAG_SET);
      if (uint32_t result = read_rdn(); result != KOR_OK) return result;
      ends_[count++] = static_cast<uint16_t>(used_++);  // past the terminator
    }
    *read_one = count > 0;
    for (uint32_t i = count; i-- > 0;) {
      uint32_t start = i == 0 ? 0 : ends_[i - 1] + 1u;
      output_.append(area_ + start, ends_[i] - start);
      if (i > 0) output_.append(',');
    }
    return KOR_OK;
  }

  uint32_t finish(uint32_t *out_len) { return output_.finish(out_len); }

 private:
  // One SET: its AVAs joined by '+', then a terminator.
  uint32_t read_rdn() {
    kor_asn1_enter_construct(ctx_);
    uint32_t avas = 0;
    uint32_t tag = 0;
    while ((tag = kor_asn1_get_tag(ctx_)) != 0) {
      if (tag != KOR_ASN1_TAG_SEQUENCE) return raise_wrong_tag(tag, "%d (EOC)", 0);
      if (avas++ > 0) area_[used_++] = '+';  // over the previous value's terminator
      if (uint32_t result = read_ava(); result != KOR_OK) return result;
    }
    if (avas == 0) {  // an RDN without AVAs has the empty text
      if (used_ == kArea) return KOR_AHS_TRUNCATED;
      area_[used_] = 0;
    }
    return KOR_OK;
  }

  // type=value into the area, the value followed by its terminator.
  uint32_t read_ava() {
    kor_asn1_enter_construct(ctx_);
    uint32_t room = kArea - used_;
    uint32_t result = AvaDecoders<Char>::type(ctx_, area_ + used_, &room, schema_);
    if (result != KOR_OK) return result;
    const Char *keyword = area_ + used_;
    uint32_t keyword_len = room;
    used_ += keyword_len;
    area_[used_++] = '=';  // over the keyword's NUL
    room = kArea - used_;
    result =
        AvaDecoders<Char>::value(keyword, static_cast<int32_t>(keyword_len), ctx_, area_ + used_,
                                 &room, reinterpret_cast<kor_sc_schema *>(schema_));
    if (result != KOR_OK) return result;
    used_ += room;
    // Binary values come without a NUL: the terminator needs its own place.
    if (used_ == kArea) return KOR_AHS_TRUNCATED;
    area_[used_] = 0;
    kor_asn1_expect_tag(ctx_, 0);  // the AVA holds nothing more
    return KOR_OK;
  }

  kor_asn1_ctx *ctx_;
  uintptr_t schema_;
  TextOutput<Char> output_;
  Char area_[kArea];
  uint32_t used_ = 0;
  uint16_t ends_[kArea];  // where each RDN's text ends, in the order read
};

template <typename Dn>
void clear_structure(Dn *dn) {
  if (dn == nullptr) return;
  dn->buffer = nullptr;
  dn->rdn.next = nullptr;
  dn->rdn.ava.next = nullptr;
  dn->rdn.ava.type = nullptr;
  dn->rdn.ava.type_len = 0;
  dn->rdn.ava.value = nullptr;
  dn->rdn.ava.value_len = 0;
}

template <typename Char>
uint32_t dn_ber_to_text(kor_asn1_ctx *ctx, Char *out, uint32_t *out_len, DnOf<Char> *struct_out,
                        uintptr_t schema) {
  clear_structure(struct_out);
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != KOR_ASN1_TAG_SEQUENCE) return raise_wrong_tag(tag, "%d (SEQ)", KOR_ASN1_TAG_SEQUENCE);
  kor_asn1_enter_construct(ctx);
  RdnReader<Char> reader(ctx, schema, out, *out_len);
  bool read_one = false;
  if (uint32_t result = reader.read_rdns(&read_one); result != KOR_OK) return result;
  return reader.finish(out_len);
}

template <typename Char>
uint32_t rdn_ber_to_text(kor_asn1_ctx *ctx, Char *out, uint32_t *out_len, uintptr_t schema) {
  RdnReader<Char> reader(ctx, schema, out, *out_len);
  bool read_one = false;
  if (uint32_t result = reader.read_rdns(&read_one); result != KOR_OK) return result;
  if (!read_one) return raise(KOR_AHS_E_DECODE);
  return reader.finish(out_len);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_DistinguishedNameA(kor_asn1_ctx *ctx, char *out,
                                                                   uint32_t *out_len,
                                                                   kor_ahs_dn *struct_out,
                                                                   uintptr_t aux) {
  return dn_ber_to_text(ctx, out, out_len, struct_out, aux);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_DistinguishedNameW(
    kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, kor_ahs_dnW *struct_out, uintptr_t aux) {
  return dn_ber_to_text(ctx, out, out_len, struct_out, aux);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_RDNA(kor_asn1_ctx *ctx, char *out,
                                                     uint32_t *out_len, void *, uintptr_t aux) {
  return rdn_ber_to_text(ctx, out, out_len, aux);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_RDNW(kor_asn1_ctx *ctx, kor_wchar *out,
                                                     uint32_t *out_len, void *, uintptr_t aux) {
  return rdn_ber_to_text(ctx, out, out_len, aux);
}

}  // extern "C"
