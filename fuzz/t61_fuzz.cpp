// libFuzzer target: both T.61 / Latin-1 conversions on arbitrary input.
// Measuring, converting into a buffer of exactly the measured length, into a
// larger one and into one octet too small must agree; nothing may be written
// past the output; and a successful conversion must convert back. Any broken
// invariant aborts.
#include <lyrdua/kor_cnv.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using Translate = uint32_t(KOR_API *)(const uint8_t *, uint32_t, uint8_t *, uint32_t *, uint32_t *);

constexpr uint32_t kUnset = 0xFFFFFFFFu;
constexpr uint8_t kGuard = 0xA5;
constexpr size_t kGuardLength = 32;

void check(bool holds) {
  if (!holds) std::abort();
}

struct Converted {
  uint32_t result;
  uint32_t err_pos;
  std::vector<uint8_t> output;
};

// Converts into a buffer of `capacity` octets followed by guard octets.
Converted convert_into(Translate translate, const uint8_t *data, uint32_t size, uint32_t capacity) {
  std::vector<uint8_t> buffer(capacity + kGuardLength, kGuard);
  uint32_t length = capacity;
  Converted converted{0, kUnset, {}};
  converted.result = translate(data, size, buffer.data(), &length, &converted.err_pos);
  check(length <= capacity);
  for (size_t i = capacity; i < buffer.size(); ++i) check(buffer[i] == kGuard);
  converted.output.assign(buffer.begin(), buffer.begin() + length);
  return converted;
}

void check_direction(Translate translate, Translate back, const uint8_t *data, uint32_t size) {
  uint32_t measured = 0;
  uint32_t err_pos = kUnset;
  const uint32_t result = translate(data, size, nullptr, &measured, &err_pos);
  check(result == KOR_CNV_OK || result == KOR_CNV_E_INVALID || result == KOR_CNV_E_INCOMPLETE);
  if (result == KOR_CNV_OK) check(err_pos == kUnset);
  if (result != KOR_CNV_OK) check(err_pos < size);
  if (result == KOR_CNV_E_INCOMPLETE) check(err_pos == size - 1);
  check(translate(data, size, nullptr, nullptr, nullptr) == result);

  // Exactly the measured length: the same result, position and length.
  const Converted exact = convert_into(translate, data, size, measured);
  check(exact.result == result && exact.err_pos == err_pos && exact.output.size() == measured);

  // Room to spare (no more than two octets come of one): the same output.
  const Converted roomy = convert_into(translate, data, size, 2 * size + 16);
  check(roomy.result == result && roomy.err_pos == err_pos && roomy.output == exact.output);

  // One octet too small: 303, the output up to there, at or before the
  // octet where the full conversion stopped.
  if (measured > 0) {
    const Converted tight = convert_into(translate, data, size, measured - 1);
    check(tight.result == KOR_CNV_E_NO_ROOM && tight.output.size() == measured - 1);
    check(std::equal(tight.output.begin(), tight.output.end(), exact.output.begin()));
    check(tight.err_pos <= (result == KOR_CNV_OK ? size - 1 : err_pos));
  }

  // What one direction produces, the other accepts.
  if (result == KOR_CNV_OK && measured > 0)
    check(back(exact.output.data(), measured, nullptr, nullptr, nullptr) == KOR_CNV_OK);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > (1u << 20)) return 0;
  const uint32_t n = static_cast<uint32_t>(size);
  check_direction(kor_cnv_latin1_to_t61_translate, kor_cnv_t61_to_latin1_translate, data, n);
  check_direction(kor_cnv_t61_to_latin1_translate, kor_cnv_latin1_to_t61_translate, data, n);
  return 0;
}
