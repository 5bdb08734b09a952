// UTC time: a UTCTime text checked field by field and stored unchanged <-> UTCTime.
#include <cstring>

#include "ahs/conventions.hpp"
#include "platform/export.hpp"

namespace lyrdua::ahs {
namespace {

// The messages are in the ANSI code page, where 0xB1 is the plus-minus sign.
#define LYRDUA_UTC_FORMS ", valid forms, YYMMDDhhmmZ or YYMMDDhhmmssZ or YYMMDDhhmmss\xB1hhss"
constexpr char kTooMany[] = "Too many characters" LYRDUA_UTC_FORMS;
constexpr char kTooFew[] = "Insufficient number of characters" LYRDUA_UTC_FORMS;
constexpr char kYear[] = "Year incorrect" LYRDUA_UTC_FORMS;
constexpr char kMonth[] = "Month incorrect" LYRDUA_UTC_FORMS;
constexpr char kDay[] = "Day incorrect" LYRDUA_UTC_FORMS;
constexpr char kHour[] = "Hour incorrect" LYRDUA_UTC_FORMS;
constexpr char kMinutes[] = "Minutes incorrect" LYRDUA_UTC_FORMS;
constexpr char kSeconds[] = "Seconds incorrect" LYRDUA_UTC_FORMS;
constexpr char kSign[] =
    "Expecting + or - sign, valid forms, YYMMDDhhmmss+hhss or YYMMDDhhmmss-hhss";
#undef LYRDUA_UTC_FORMS

constexpr int kDaysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Reads the text's fields; characters at or beyond the length count as none.
class UtcTimeText {
 public:
  UtcTimeText(const char *text, uint32_t n) : text_(text), n_(n) {}

  // The two-digit number at position at, or -1.
  int pair(uint32_t at) const {
    if (at + 2 > n_ || !is_digit(text_[at]) || !is_digit(text_[at + 1])) return -1;
    return (text_[at] - '0') * 10 + (text_[at + 1] - '0');
  }
  bool pair_in(uint32_t at, int low, int high) const {
    int v = pair(at);
    return v >= low && v <= high;
  }
  bool char_is(uint32_t at, char c) const { return at < n_ && text_[at] == c; }
  bool zone_z(uint32_t at) const { return char_is(at, 'Z') || char_is(at, 'z'); }
  bool sign(uint32_t at) const { return char_is(at, '+') || char_is(at, '-'); }

 private:
  const char *text_;
  uint32_t n_;
};

// Checks the text and gives the message of its first fault, or null.
const char *utc_time_fault(const char *text, uint32_t n) {
  if (n > 17) return kTooMany;
  if (n < 10) return kTooFew;
  UtcTimeText t(text, n);
  if (t.pair(0) < 0) return kYear;
  int month = t.pair(2);
  if (month < 1 || month > 12) return kMonth;
  if (!t.pair_in(4, 1, kDaysInMonth[month - 1])) return kDay;
  if (!t.pair_in(6, 0, 23)) return kHour;
  if (!t.pair_in(8, 0, 59)) return kMinutes;
  uint32_t end = 10;
  if (t.zone_z(10)) {
    end = 11;
  } else if (n > 10) {
    uint32_t offset = 10;
    if (!t.sign(10)) {
      if (!t.pair_in(10, 0, 59)) return kSeconds;
      end = offset = 12;
      if (t.zone_z(12))
        end = 13;
      else if (n > 12 && !t.sign(12))
        return kSign;
    }
    if (t.sign(offset)) {
      if (!t.pair_in(offset + 1, 0, 23)) return kHour;
      if (!t.pair_in(offset + 3, 0, 59)) return kMinutes;
      end = offset + 5;
    }
  }
  return end == n ? nullptr : kTooMany;
}

uint32_t utc_time_to_ber(const char *text, int32_t text_len, kor_asn1_ctx *ctx) {
  uint32_t n = text_length(text, text_len);
  if (n == 0) {
    kor_asn1_put_octets(ctx, text, 0);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_UTC_TIME);
    return KOR_OK;
  }
  while (n > 0 && text[n - 1] == ' ') --n;
  if (const char *fault = utc_time_fault(text, n))
    return raise(KOR_AHS_E_UTC_TIME, {fault, static_cast<uint32_t>(std::strlen(fault))});
  kor_asn1_put_octets(ctx, text, n);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_UTC_TIME);
  return KOR_OK;
}

uint32_t utc_time_to_text(kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != KOR_ASN1_TAG_UTC_TIME)
    return raise_wrong_tag(tag, "%d (UTC TIME)", KOR_ASN1_TAG_UTC_TIME);
  const uint8_t *contents = nullptr;
  uint32_t n = 0;
  kor_asn1_get_octets(ctx, &contents, &n);
  return plain_copy(contents, n, out, out_len);
}

}  // namespace
}  // namespace lyrdua::ahs

using namespace lyrdua::ahs;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_UTCTimeA(const char *text, int32_t text_len,
                                                         kor_asn1_ctx *ctx, uintptr_t) {
  return utc_time_to_ber(text, text_len, ctx);
}
// The 16-bit variants have no conversion.
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_ExtToInt_UTCTimeW(const kor_wchar *, int32_t, kor_asn1_ctx *,
                                                         uintptr_t) {
  return KOR_AHS_UNSUPPORTED;
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_UTCTimeA(kor_asn1_ctx *ctx, char *out,
                                                         uint32_t *out_len, uintptr_t) {
  return utc_time_to_text(ctx, out, out_len);
}
LYRDUA_EXPORT uint32_t KOR_API kor_ahs_IntToExt_UTCTimeW(kor_asn1_ctx *, kor_wchar *, uint32_t *,
                                                         uintptr_t) {
  return KOR_AHS_UNSUPPORTED;
}

}  // extern "C"
