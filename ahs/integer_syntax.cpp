// Integer: an optional sign and decimal digits of any length <-> INTEGER. The
// conversion runs digit by digit on an array of octets, so no range applies.
#include <cstdlib>
#include <cstring>

#include "ahs/conventions.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

// Octets of the INTEGER contents being built, at the end of a work array.
class Magnitude {
 public:
  explicit Magnitude(uint32_t capacity) : capacity_(capacity) {
    octets_ = static_cast<uint8_t *>(std::calloc(capacity_, 1));
    if (octets_ != nullptr) used_ = 1;  // starts as one octet of value 0
  }
  ~Magnitude() { std::free(octets_); }
  Magnitude(const Magnitude &) = delete;
  Magnitude &operator=(const Magnitude &) = delete;

  bool valid() const { return octets_ != nullptr; }
  const uint8_t *data() const { return octets_ + capacity_ - used_; }
  uint32_t size() const { return used_; }

  // value = value * 10 + digit; keeps a clear top bit by a leading 0 octet.
  void add_digit(uint32_t digit) {
    uint32_t carry = digit;
    for (uint8_t *p = octets_ + capacity_; p != octets_ + capacity_ - used_;) {
      --p;
      uint32_t v = *p * 10u + carry;
      *p = static_cast<uint8_t>(v);
      carry = v >> 8;
    }
    if (carry != 0 || (octets_[capacity_ - used_] & 0x80))
      octets_[capacity_ - ++used_] = static_cast<uint8_t>(carry);
  }

  // Two's complement, in the fewest octets.
  void negate() {
    uint8_t *first = octets_ + capacity_ - used_;
    uint32_t carry = 1;
    for (uint8_t *p = octets_ + capacity_; p != first;) {
      --p;
      uint32_t v = static_cast<uint8_t>(~*p) + carry;
      *p = static_cast<uint8_t>(v);
      carry = v >> 8;
    }
    if (used_ > 1 && first[0] == 0xFF && (first[1] & 0x80)) --used_;
  }

 private:
  uint8_t *octets_ = nullptr;
  uint32_t capacity_;
  uint32_t used_ = 0;
};

template <typename Char>
uint32_t integer_to_ber(const Char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  uint32_t n = text_length(text, text_len);
  Magnitude magnitude(n / 2 + 2);
  if (!magnitude.valid()) return KOR_AHS_NOMEM;
  bool negative = n > 0 && is(text[0], '-');
  uint32_t start = n > 0 && (negative || is(text[0], '+')) ? 1 : 0;
  if (start == n) {
    kor_asn1_put_novalue(ctx);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_INTEGER);
    return KOR_OK;
  }
  for (uint32_t i = start; i < n; ++i)
    if (!is_digit(text[i])) return raise_with_text(KOR_AHS_E_INTEGER_CHAR, text + i, 1);
  for (uint32_t i = start; i < n; ++i) magnitude.add_digit(static_cast<uint32_t>(text[i]) - '0');
  if (negative) magnitude.negate();
  kor_asn1_put_octets(ctx, magnitude.data(), magnitude.size());
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_INTEGER);
  return KOR_OK;
}

// Contents of up to this many octets are worked on in place on the stack.
constexpr uint32_t kWorkCopy = 128;

// Writes the decimal text of big-endian two's complement contents right to
// left in front of out[cap - 1]. Returns the first character written, or null
// when the buffer is too small.
template <typename Char>
Char *write_decimal(uint8_t *work, uint32_t n, Char *out, uint32_t cap) {
  bool negative = (work[0] & 0x80) != 0;
  if (negative) {
    uint32_t carry = 1;
    for (uint32_t i = n; i-- > 0;) {
      uint32_t v = static_cast<uint8_t>(~work[i]) + carry;
      work[i] = static_cast<uint8_t>(v);
      carry = v >> 8;
    }
  }
  Char *at = out + cap - 1;
  uint32_t first = 0;
  do {
    uint32_t remainder = 0;
    for (uint32_t i = first; i < n; ++i) {
      uint32_t v = remainder * 256 + work[i];
      work[i] = static_cast<uint8_t>(v / 10);
      remainder = v % 10;
    }
    while (first < n && work[first] == 0) ++first;
    if (at == out) return nullptr;
    *--at = static_cast<Char>('0' + remainder);
  } while (first < n);
  if (negative) {
    if (at == out) return nullptr;
    *--at = static_cast<Char>('-');
  }
  return at;
}

template <typename Char>
uint32_t integer_to_text(kor_asn1_ctx *ctx, Char *out, uint32_t *out_len) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != KOR_ASN1_TAG_INTEGER)
    return raise_wrong_tag(tag, "%d (INTEGER)", KOR_ASN1_TAG_INTEGER);
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  kor_asn1_get_octets(ctx, &contents, &n);
  uint32_t cap = *out_len;
  uint32_t enough = 3 * n + 2;
  if (cap < 1) {
    *out_len = enough;
    return KOR_AHS_TRUNCATED;
  }
  out[cap - 1] = 0;
  if (n == 0) {
    out[0] = 0;
    *out_len = 0;
    return KOR_OK;
  }
  // Longer contents than the usual work copy are converted on the heap, exactly.
  uint8_t stack_copy[kWorkCopy];
  uint8_t *work = n <= kWorkCopy ? stack_copy : static_cast<uint8_t *>(std::malloc(n));
  if (work == nullptr) return KOR_AHS_NOMEM;
  std::memcpy(work, contents, n);
  Char *text = write_decimal(work, n, out, cap);
  if (work != stack_copy) std::free(work);
  if (text == nullptr) {
    // The digits written so far are no usable text.
    out[0] = 0;
    *out_len = enough;
    return KOR_AHS_TRUNCATED;
  }
  uint32_t length = static_cast<uint32_t>(out + cap - 1 - text);
  std::memmove(out, text, (length + 1) * sizeof(Char));
  *out_len = length;
  return KOR_OK;
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_IntegerA(const char *text, int32_t text_len,
                                                         kor_asn1_ctx *ctx, uintptr_t) {
  return integer_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_IntegerW(const kor_wchar *text, int32_t text_len,
                                                         kor_asn1_ctx *ctx, uintptr_t) {
  return integer_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_IntegerA(kor_asn1_ctx *ctx, char *out,
                                                         uint32_t *out_len, uintptr_t) {
  return integer_to_text(ctx, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_IntegerW(kor_asn1_ctx *ctx, kor_wchar *out,
                                                         uint32_t *out_len, uintptr_t) {
  return integer_to_text(ctx, out, out_len);
}

}  // extern "C"
