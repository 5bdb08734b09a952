// Object identifier: dotted decimal text <-> OBJECT IDENTIFIER. Subidentifiers
// from the third on are converted digit by digit, so they may be of any size.
#include <cstdlib>
#include <cstring>

#include "ahs/conventions.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

constexpr char kInsufficientSubids[] = "Insufficient number of subids";
constexpr char kMoreThanOneSubid[] = "More than one subid required";
constexpr char kSecondSubidTooLarge[] = "Second subid must be less than 40";
constexpr char kFirstSubidTooLarge[] = "Too large a value for the first subid";

uint32_t raise_oid_error(const char *message) {
  return raise(KOR_AHS_E_OID, {message, static_cast<uint32_t>(std::strlen(message))});
}

template <typename Char>
bool is_separator(Char c) {
  return is(c, ' ') || is(c, '.');
}

// A run of digits [begin, end) of the text.
struct DigitRun {
  uint32_t begin;
  uint32_t end;
};

// The run that ends at or before end, scanning backwards over separators.
template <typename Char>
DigitRun previous_run(const Char *text, uint32_t end) {
  while (end > 0 && is_separator(text[end - 1])) --end;
  uint32_t begin = end;
  while (begin > 0 && !is_separator(text[begin - 1])) --begin;
  return {begin, end};
}

// The decimal value of a run, saturating at UINT64_MAX.
template <typename Char>
uint64_t run_value(const Char *text, DigitRun run) {
  uint64_t value = 0;
  for (uint32_t i = run.begin; i < run.end; ++i) {
    uint32_t digit = static_cast<uint32_t>(text[i]) - '0';
    if (value > (UINT64_MAX - digit) / 10) return UINT64_MAX;
    value = value * 10 + digit;
  }
  return value;
}

// Lays the base-128 form of a decimal run in front of *front (moving it back).
template <typename Char>
void put_subid_base128(const Char *text, DigitRun run, uint8_t **front) {
  uint8_t *end = *front;
  uint8_t *first = end - 1;
  *first = 0;
  for (uint32_t i = run.begin; i < run.end; ++i) {
    uint32_t carry = static_cast<uint32_t>(text[i]) - '0';
    for (uint8_t *p = end; p != first;) {
      --p;
      uint32_t v = *p * 10u + carry;
      *p = static_cast<uint8_t>(v & 0x7F);
      carry = v >> 7;
    }
    while (carry != 0) {
      *--first = static_cast<uint8_t>(carry & 0x7F);
      carry >>= 7;
    }
  }
  for (uint8_t *p = first; p + 1 != end; ++p) *p |= 0x80;
  *front = first;
}

void put_value_base128(uint32_t value, uint8_t **front) {
  uint8_t *p = *front;
  *--p = static_cast<uint8_t>(value & 0x7F);
  for (value >>= 7; value != 0; value >>= 7) *--p = static_cast<uint8_t>(0x80 | (value & 0x7F));
  *front = p;
}

template <typename Char>
uint32_t oid_to_ber(const Char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  uint32_t n = text_length(text, text_len);
  if (n == 0) return raise_oid_error(kInsufficientSubids);
  uint32_t runs = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (is_digit(text[i])) {
      if (i == 0 || !is_digit(text[i - 1])) ++runs;
    } else if (!is_separator(text[i])) {
      raise_with_text(KOR_AHS_E_OID_CHAR, text + i, 1);
      return KOR_AHS_E_OID;
    }
  }
  if (runs < 2) return raise_oid_error(kMoreThanOneSubid);

  // Every digit needs less than one octet and every first/second pair at most five.
  uint32_t size = 4 * n + 8;
  auto *work = static_cast<uint8_t *>(std::calloc(size, 1));
  if (work == nullptr) return KOR_AHS_NOMEM;
  uint8_t *end = work + size;
  uint8_t *front = end;
  DigitRun run = previous_run(text, n);
  for (uint32_t left = runs; left > 2; --left) {
    put_subid_base128(text, run, &front);
    run = previous_run(text, run.begin);
  }
  uint64_t second = run_value(text, run);
  if (second > 39) {
    std::free(work);
    return raise_oid_error(kSecondSubidTooLarge);
  }
  uint64_t first = run_value(text, previous_run(text, run.begin));
  if (first > (0x7FFFFFFFu - second) / 40) {
    std::free(work);
    return raise_oid_error(kFirstSubidTooLarge);
  }
  put_value_base128(static_cast<uint32_t>(first * 40 + second), &front);
  kor_asn1_put_octets(ctx, front, static_cast<uint32_t>(end - front));
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OID);
  std::free(work);
  return KOR_OK;
}

// Writes text right to left; fails once it would leave the buffer.
template <typename Char>
class BackwardText {
 public:
  BackwardText(Char *out, uint32_t cap) : out_(out), at_(out + cap - 1) { *at_ = 0; }
  bool put(char c) {
    if (at_ == out_) return false;
    *--at_ = static_cast<Char>(c);
    return true;
  }
  bool has_room() const { return at_ != out_; }
  bool put_number(uint64_t value) {
    do {
      if (!put(static_cast<char>('0' + value % 10))) return false;
      value /= 10;
    } while (value != 0);
    return true;
  }
  Char *text() const { return at_; }

 private:
  Char *out_;
  Char *at_;
};

// Writes one base-128 group in decimal by repeated division (the group's
// octets are consumed).
template <typename Char>
bool put_group_decimal(uint8_t *group, uint32_t n, BackwardText<Char> *text) {
  for (uint32_t i = 0; i < n; ++i) group[i] &= 0x7F;
  uint32_t first = 0;
  while (first < n && group[first] == 0) ++first;
  do {
    uint32_t remainder = 0;
    for (uint32_t i = first; i < n; ++i) {
      uint32_t v = remainder * 128 + group[i];
      group[i] = static_cast<uint8_t>(v / 10);
      remainder = v % 10;
    }
    while (first < n && group[first] == 0) ++first;
    if (!text->put(static_cast<char>('0' + remainder))) return false;
  } while (first < n);
  return true;
}

// The value of the first group (first * 40 + second), read before anything is
// written so that an unreadable value is refused whatever the capacity.
bool first_group_value(const uint8_t *contents, uint32_t n, uint64_t *value) {
  *value = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (*value > (UINT64_MAX >> 7)) return false;
    *value = *value << 7 | (contents[i] & 0x7F);
    if (!(contents[i] & 0x80)) return true;
  }
  return false;
}

enum class OidText { Written, TooSmall };

template <typename Char>
OidText write_oid(uint8_t *work, uint32_t n, uint64_t first_value, BackwardText<Char> *text) {
  uint32_t end = n;
  while (end > 0) {
    uint32_t begin = end - 1;
    while (begin > 0 && (work[begin - 1] & 0x80)) --begin;
    if (begin == 0) break;
    if (!put_group_decimal(work + begin, end - begin, text)) return OidText::TooSmall;
    if (!text->put('.')) return OidText::TooSmall;
    end = begin;
  }
  if (!text->put_number(first_value % 40) || !text->put('.') || !text->put_number(first_value / 40))
    return OidText::TooSmall;
  return OidText::Written;
}

constexpr uint32_t kWorkCopy = 128;

template <typename Char>
uint32_t oid_to_text(kor_asn1_ctx *ctx, Char *out, uint32_t *out_len) {
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  if (uint32_t result = read_oid_element(ctx, &contents, &n); result != KOR_OK) return result;
  uint32_t groups = 0;
  for (uint32_t i = 0; i < n; ++i) groups += (contents[i] & 0x80) == 0;
  uint32_t enough = groups + 3 * n + 1;
  if (*out_len == 0) {
    *out_len = enough;
    return KOR_AHS_TRUNCATED;
  }
  if (n == 0) {
    out[0] = 0;
    *out_len = 0;
    return KOR_OK;
  }
  // Contents must end with a complete group, and the first group must fit 64 bits.
  uint64_t first_value = 0;
  if ((contents[n - 1] & 0x80) || !first_group_value(contents, n, &first_value))
    return raise(KOR_AHS_E_DECODE);
  uint8_t stack_copy[kWorkCopy];
  uint8_t *work = n <= kWorkCopy ? stack_copy : static_cast<uint8_t *>(std::malloc(n));
  if (work == nullptr) return KOR_AHS_NOMEM;
  std::memcpy(work, contents, n);
  BackwardText<Char> text(out, *out_len);
  OidText written = write_oid(work, n, first_value, &text);
  if (work != stack_copy) std::free(work);
  if (written == OidText::TooSmall) {
    // The digits written so far are no usable text.
    out[0] = 0;
    *out_len = enough;
    return KOR_AHS_TRUNCATED;
  }
  uint32_t length = static_cast<uint32_t>(out + *out_len - 1 - text.text());
  std::memmove(out, text.text(), (length + 1) * sizeof(Char));
  *out_len = length;
  return KOR_OK;
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_OidA(const char *text, int32_t text_len,
                                                     kor_asn1_ctx *ctx, uintptr_t) {
  return oid_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_OidW(const kor_wchar *text, int32_t text_len,
                                                     kor_asn1_ctx *ctx, uintptr_t) {
  return oid_to_ber(text, text_len, ctx);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_OidA(kor_asn1_ctx *ctx, char *out,
                                                     uint32_t *out_len, uintptr_t) {
  return oid_to_text(ctx, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_OidW(kor_asn1_ctx *ctx, kor_wchar *out,
                                                     uint32_t *out_len, uintptr_t) {
  return oid_to_text(ctx, out, out_len);
}

}  // extern "C"
