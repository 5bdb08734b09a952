// Helpers of the conversion tests: a conversion that checks measuring against
// converting on every call, and writes nothing past its output.
#pragma once

#include <gtest/gtest.h>
#include <lyrdua/kor_cnv.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/hex.hpp"

namespace lyrdua::cnv_test {

using Octets = std::vector<uint8_t>;
using Translate = uint32_t(KOR_API *)(const uint8_t *, uint32_t, uint8_t *, uint32_t *, uint32_t *);
using test::to_hex;

inline constexpr Translate kToT61 = kor_cnv_latin1_to_t61_translate;
inline constexpr Translate kToLatin1 = kor_cnv_t61_to_latin1_translate;

// An error position that no call wrote.
constexpr uint32_t kUntouched = 0xDEADBEEF;

// "C2 65" -> {0xC2, 0x65}.
inline Octets hex(const std::string &text) { return test::from_hex(text); }

struct Converted {
  uint32_t result;
  Octets output;
  uint32_t err_pos;  // kUntouched when the call did not set it
};

// Converts into a caller buffer of `capacity` octets.
inline Converted convert_into(Translate translate, const Octets &input, uint32_t capacity) {
  constexpr uint8_t kGuard = 0xEE;
  Octets buffer(capacity + 16, kGuard);
  uint32_t length = capacity;
  uint32_t err_pos = kUntouched;
  const uint32_t result = translate(input.data(), static_cast<uint32_t>(input.size()),
                                    buffer.data(), &length, &err_pos);
  EXPECT_LE(length, capacity);
  for (size_t i = length; i < buffer.size(); ++i)
    EXPECT_EQ(buffer[i], kGuard) << "written past the output at " << i;
  buffer.resize(std::min<size_t>(length, buffer.size()));
  return {result, buffer, err_pos};
}

// Measures, then converts into a buffer of exactly the measured length, and
// checks that both passes agree.
inline Converted convert(Translate translate, const Octets &input) {
  uint32_t measured = 0;
  uint32_t measured_pos = kUntouched;
  const uint32_t measure_result = translate(input.data(), static_cast<uint32_t>(input.size()),
                                            nullptr, &measured, &measured_pos);
  Converted converted = convert_into(translate, input, measured);
  EXPECT_EQ(converted.result, measure_result) << "input " << to_hex(input);
  EXPECT_EQ(converted.output.size(), measured) << "input " << to_hex(input);
  EXPECT_EQ(converted.err_pos, measured_pos) << "input " << to_hex(input);
  return converted;
}

}  // namespace lyrdua::cnv_test
