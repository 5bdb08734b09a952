// Helpers of the conversion tests: hex notation and a conversion that checks
// measuring against converting on every call.
#pragma once

#include <lyrdua/kor_cnv.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lyrdua::cnv_test {

using Octets = std::vector<uint8_t>;
using Translate = uint32_t(KOR_API *)(const uint8_t *, uint32_t, uint8_t *, uint32_t *, uint32_t *);

inline constexpr Translate kToT61 = kor_cnv_latin1_to_t61_translate;
inline constexpr Translate kToLatin1 = kor_cnv_t61_to_latin1_translate;

// An error position that no call wrote.
constexpr uint32_t kUntouched = 0xDEADBEEF;

// "C2 65" -> {0xC2, 0x65}.
Octets hex(const std::string &text);
std::string to_hex(const Octets &octets);

struct Converted {
  uint32_t result;
  Octets output;
  uint32_t err_pos;  // kUntouched when the call did not set it
};

// Measures, then converts into a buffer of exactly the measured length, and
// checks that both passes agree and that nothing is written past the output.
Converted convert(Translate translate, const Octets &input);

// Converts into a caller buffer of `capacity` octets.
Converted convert_into(Translate translate, const Octets &input, uint32_t capacity);

}  // namespace lyrdua::cnv_test
