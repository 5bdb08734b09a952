// libFuzzer target: the scalar and string syntax handlers on arbitrary input. The first
// octet picks the handler pair and the direction; the rest is text to encode
// or BER to decode. Aborts when an invariant breaks:
// - an encoder that succeeds lays exactly one element, whose decode succeeds
//   and re-encodes to the same octets;
// - a decoder honours the output contract at every capacity it is given.
#include <lyrdua/kor_ahs.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using EncoderA = uint32_t(KOR_API *)(const char *, int32_t, kor_asn1_ctx *, uintptr_t);
using EncoderW = uint32_t(KOR_API *)(const kor_wchar *, int32_t, kor_asn1_ctx *, uintptr_t);
using DecoderA = uint32_t(KOR_API *)(kor_asn1_ctx *, char *, uint32_t *, uintptr_t);
using DecoderW = uint32_t(KOR_API *)(kor_asn1_ctx *, kor_wchar *, uint32_t *, uintptr_t);

struct Syntax {
  EncoderA encode;
  EncoderW encode_w;
  DecoderA decode;
  DecoderW decode_w;
  bool canonical_text;  // decoding gives text that encodes to the same octets
};

const Syntax kSyntaxes[] = {
    {kor_ahs_ExtToInt_BooleanA, kor_ahs_ExtToInt_BooleanW, kor_ahs_IntToExt_BooleanA,
     kor_ahs_IntToExt_BooleanW, true},
    {kor_ahs_ExtToInt_BitStringA, kor_ahs_ExtToInt_BitStringW, kor_ahs_IntToExt_BitStringA,
     kor_ahs_IntToExt_BitStringW, true},
    {kor_ahs_ExtToInt_IntegerA, kor_ahs_ExtToInt_IntegerW, kor_ahs_IntToExt_IntegerA,
     kor_ahs_IntToExt_IntegerW, true},
    {kor_ahs_ExtToInt_OctetStringA, kor_ahs_ExtToInt_OctetStringW, kor_ahs_IntToExt_OctetStringA,
     kor_ahs_IntToExt_OctetStringW, true},
    {kor_ahs_ExtToInt_OidA, kor_ahs_ExtToInt_OidW, kor_ahs_IntToExt_OidA, kor_ahs_IntToExt_OidW,
     true},
    {kor_ahs_ExtToInt_UTCTimeA, nullptr, kor_ahs_IntToExt_UTCTimeA, nullptr, true},
    // The string syntaxes convert only in A; IA5 reading maps control bytes to
    // '.', and the plain copy zero-fills after a NUL, so their text is not canonical.
    {kor_ahs_ExtToInt_IA5StringA, nullptr, kor_ahs_IntToExt_IA5StringA, nullptr, false},
    {kor_ahs_ExtToInt_NumericStringA, nullptr, kor_ahs_IntToExt_NumericStringA, nullptr, true},
    {kor_ahs_ExtToInt_PrintableStringA, nullptr, kor_ahs_IntToExt_PrintableStringA, nullptr, true},
    {kor_ahs_ExtToInt_DirectoryStringA, nullptr, kor_ahs_IntToExt_DirectoryStringA, nullptr, false},
    {kor_ahs_ExtToInt_T61StringA, nullptr, kor_ahs_IntToExt_T61StringA, nullptr, false},
};

void check(bool ok) {
  if (!ok) std::abort();
}

std::vector<uint8_t> encode_text(EncoderA encoder, const char *text, size_t n, uint32_t *result) {
  std::vector<uint8_t> buffer(4 * n + 64);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), static_cast<uint32_t>(buffer.size()));
  *result = encoder(text, static_cast<int32_t>(n), ctx, 0);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  check(kor_asn1_errno(ctx) == 0);
  std::vector<uint8_t> encoding(out, out + len);
  if (*result != 0) check(len == 0);  // a failing encoder lays nothing
  kor_asn1_free_ctx(ctx);
  return encoding;
}

template <typename Char, typename Decoder>
uint32_t decode_into(Decoder decoder, const std::vector<uint8_t> &ber, std::vector<Char> *out,
                     uint32_t *len) {
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, const_cast<uint8_t *>(ber.data()),
                   static_cast<uint32_t>(ber.size()));
  uint32_t result = decoder(ctx, out->data(), len, 0);
  kor_asn1_free_ctx(ctx);
  return result;
}

// Decodes with a capacity derived from the input and with what it asks for.
template <typename Char, typename Decoder>
void check_decoder(Decoder decoder, const std::vector<uint8_t> &ber, uint32_t first_cap) {
  std::vector<Char> out(first_cap);
  uint32_t len = first_cap;
  uint32_t result = decode_into(decoder, ber, &out, &len);
  if (result == KOR_AHS_TRUNCATED) {
    check(len > first_cap);
    std::vector<Char> bigger(len);
    uint32_t cap = len;
    check(decode_into(decoder, ber, &bigger, &cap) == 0);
    check(cap < len && bigger[cap] == 0);
  } else if (result == 0) {
    check(len < first_cap && out[len] == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2) return 0;
  const Syntax &syntax = kSyntaxes[data[0] % (sizeof kSyntaxes / sizeof *kSyntaxes)];
  bool decoding = (data[0] & 0x80) != 0;
  const char *text = reinterpret_cast<const char *>(data + 1);
  size_t n = size - 1;
  if (decoding) {
    std::vector<uint8_t> ber(data + 1, data + size);
    uint32_t cap = 1 + data[1] % 64;
    check_decoder<char>(syntax.decode, ber, cap);
    if (syntax.decode_w != nullptr) check_decoder<kor_wchar>(syntax.decode_w, ber, cap);
    return 0;
  }
  uint32_t result = 0;
  std::vector<uint8_t> encoding = encode_text(syntax.encode, text, n, &result);
  if (syntax.encode_w != nullptr) {
    std::vector<kor_wchar> wide(text, text + n);
    for (size_t i = 0; i < n; ++i) wide[i] = static_cast<unsigned char>(text[i]);
    std::vector<uint8_t> buffer(4 * n + 64);
    kor_asn1_ctx *ctx = kor_asn1_new_ctx();
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(),
                     static_cast<uint32_t>(buffer.size()));
    check(syntax.encode_w(wide.data(), static_cast<int32_t>(n), ctx, 0) == result);
    uint8_t *out = nullptr;
    uint32_t len = 0;
    kor_asn1_get_buf(ctx, &out, &len);
    check(len == encoding.size() && (len == 0 || std::memcmp(out, encoding.data(), len) == 0));
    kor_asn1_free_ctx(ctx);
  }
  if (result != 0) return 0;
  std::vector<char> decoded(8 * n + 64);
  auto len = static_cast<uint32_t>(decoded.size());
  check(decode_into(syntax.decode, encoding, &decoded, &len) == 0);
  if (syntax.canonical_text) {
    uint32_t again = 0;
    check(encode_text(syntax.encode, decoded.data(), len, &again) == encoding && again == 0);
  }
  return 0;
}
