// OBJECT IDENTIFIER contents to and from their encoding, through a context
// that lives on the stack for the one call.
#include "asn1/oid_wrap.hpp"

#include "asn1/ber_context.hpp"

namespace lyrdua::asn1 {
namespace {

class StackContext {
 public:
  StackContext() { init_context(&ctx_); }
  ~StackContext() { release_context_memory(&ctx_); }
  StackContext(const StackContext &) = delete;
  StackContext &operator=(const StackContext &) = delete;
  kor_asn1_ctx *get() { return &ctx_; }

 private:
  kor_asn1_ctx ctx_;
};

}  // namespace

uint32_t oid_contents_to_ber(const uint8_t *contents, uint32_t contents_len, uint8_t *buffer,
                             uint32_t *len, const uint8_t **out) {
  StackContext context;
  kor_asn1_ctx *ctx = context.get();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, *len);
  kor_asn1_put_octets(ctx, contents, contents_len);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OID);
  uint32_t error = kor_asn1_errno(ctx);
  uint8_t *encoding = nullptr;
  kor_asn1_get_buf(ctx, &encoding, len);
  *out = encoding;
  return error;
}

uint32_t oid_contents_from_ber(uint32_t bound, const uint8_t *encoding, uint32_t *len,
                               const uint8_t **out) {
  StackContext context;
  kor_asn1_ctx *ctx = context.get();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, const_cast<uint8_t *>(encoding), bound);
  kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_OID);
  // A constructed form would be joined into scratch memory that dies with this
  // context; an OBJECT IDENTIFIER is always primitive, so it is refused.
  if (kor_asn1_is_constructed(ctx)) kor_asn1_set_errno(ctx, KOR_ASN1_E_UNEXPECTED_TAG);
  kor_asn1_get_octets(ctx, out, len);
  uint32_t error = kor_asn1_errno(ctx);
  if (error != 0) {
    *out = nullptr;
    *len = 0;
  }
  return error;
}

}  // namespace lyrdua::asn1
