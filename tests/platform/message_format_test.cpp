// Formatting of message texts: inserts, escapes and the failures of
// FormatMessage with an argument array.
#include <gtest/gtest.h>

#include <string>

#include "platform/message_module.hpp"
#include "tests/support/system_text.hpp"

namespace lyrdua::platform {
namespace {

const char *const kTenArgs[] = {"one", "two",   "three", "four", "five",
                                "six", "seven", "eight", "nine", "ten"};
constexpr MessageInserts kTen{kTenArgs, 10};
constexpr MessageInserts kNone{nullptr, 0};

struct Row {
  const char *about;
  const char *source;
  MessageInserts inserts;
  uint32_t size;
  uint32_t error;
  const char *text;  // on success
};

const Row kRows[] = {
    {"plain text", "abc", kTen, 64, 0, "abc"},
    {"inserts in any order", "%2 and %1", kTen, 64, 0, "two and one"},
    {"a two-digit insert", "%10.", kTen, 64, 0, "ten."},
    {"at most two digits: %100 is insert 10 and a 0", "%100", kTen, 64, 0, "ten0"},
    {"an insert beyond those supplied", "%11", kTen, 64, kErrorInvalidParameter, nullptr},
    {"the highest insert number", "%99", kTen, 64, kErrorInvalidParameter, nullptr},
    {"an insert with no arguments supplied", "x %1", kNone, 64, kErrorInvalidParameter, nullptr},
    {"the string format", "%1!s!", kTen, 64, 0, "one"},
    {"another format", "%1!d!", kTen, 64, kErrorInvalidParameter, nullptr},
    {"an unterminated format", "%1!s", kTen, 64, kErrorInvalidParameter, nullptr},
    {"percent", "100%%", kTen, 64, 0, "100%"},
    {"period, exclamation mark, space", "%.%!% ", kTen, 64, 0, ".! "},
    {"line break, carriage return, tab", "a%nb%rc%td", kTen, 64, 0, "a\nb\rc\td"},
    {"any other character stands for itself", "%x%Z", kTen, 64, 0, "xZ"},
    {"%0 ends the text", "ab%0cd", kTen, 64, 0, "ab"},
    {"%0 drops the line break after it", "text.%0\n", kTen, 64, 0, "text."},
    {"line breaks of the text are kept", "one\ntwo\n", kTen, 64, 0, "one\ntwo\n"},
    {"a percent sign at the end", "50%", kTen, 64, kErrorInvalidParameter, nullptr},
    {"a text that fills the buffer with its NUL", "abcd", kTen, 5, 0, "abcd"},
    {"one byte more", "abcd", kTen, 4, kErrorInsufficientBuffer, nullptr},
    {"an insert that overflows", "<%3>", kTen, 7, kErrorInsufficientBuffer, nullptr},
    {"an empty buffer", "", kTen, 0, kErrorInsufficientBuffer, nullptr},
    {"an empty text", "", kTen, 1, 0, ""},
};

TEST(MessageFormat, FollowsFormatMessage) {
  for (const Row &row : kRows) {
    char buffer[64];
    uint32_t length = 12345;
    const uint32_t error = format_message_text(row.source, row.inserts, buffer, row.size, &length);
    EXPECT_EQ(error, row.error) << row.about;
    if (row.text == nullptr) {
      EXPECT_EQ(length, 12345u) << row.about << ": the length is not written on failure";
      continue;
    }
    EXPECT_EQ(length, std::string(row.text).size()) << row.about;
    EXPECT_EQ(std::string(buffer), row.text) << row.about;
  }
}

TEST(MessageFormat, SystemTexts) {
  char buffer[128];
  uint32_t length = 0;
  ASSERT_EQ(format_system_message(kErrorInsufficientBuffer, buffer, sizeof buffer, &length), 0u);
  EXPECT_EQ(std::string(buffer, length), test::system_text(kErrorInsufficientBuffer));
  // The text for a missing message asks for inserts, which a system text never gets.
  EXPECT_EQ(format_system_message(kErrorMessageNotFound, buffer, sizeof buffer, &length),
            kErrorInvalidParameter);
  EXPECT_EQ(format_system_message(4242, buffer, sizeof buffer, &length), kErrorMessageNotFound);
}

}  // namespace
}  // namespace lyrdua::platform
