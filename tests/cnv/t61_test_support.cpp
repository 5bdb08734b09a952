#include "tests/cnv/t61_test_support.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace lyrdua::cnv_test {

Octets hex(const std::string &text) {
  Octets octets;
  std::istringstream words(text);
  std::string word;
  while (words >> word) octets.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
  return octets;
}

std::string to_hex(const Octets &octets) {
  std::string text;
  for (uint8_t octet : octets) {
    char word[4];
    std::snprintf(word, sizeof word, "%02X", octet);
    if (!text.empty()) text += ' ';
    text += word;
  }
  return text;
}

Converted convert_into(Translate translate, const Octets &input, uint32_t capacity) {
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

Converted convert(Translate translate, const Octets &input) {
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
