// lyrdua t61 encode / decode, run as a program: output, error reports and
// exit statuses.
#include <gtest/gtest.h>

#include <string>

#include "tests/cnv/t61_test_support.hpp"
#include "tests/support/run_tool.hpp"

namespace lyrdua::cnv_test {
namespace {

using test::run_tool;
using test::ToolRun;

std::string octets_text(const Octets &octets) { return std::string(octets.begin(), octets.end()); }

struct ToolCase {
  std::vector<std::string> arguments;
  const char *input;  // hex
  int status;
  const char *output;  // hex
  const char *error;   // standard error, exactly
};

const ToolCase kToolCases[] = {
    // Latin-1 "Célèbre" and a line feed to T.61.
    {{"t61", "encode"}, "43 E9 6C E8 62 72 65 0A", 0, "43 C2 65 6C C1 65 62 72 65 0A", ""},
    // And back.
    {{"t61", "decode"}, "43 C2 65 6C C1 65 62 72 65 0A", 0, "43 E9 6C E8 62 72 65 0A", ""},
    // Empty input, empty output.
    {{"t61", "encode"}, "", 0, "", ""},
    // DEL cannot be converted: nothing is written, the offset and octet are reported.
    {{"t61", "encode"},
     "41 42 7F 43",
     1,
     "",
     "lyrdua: t61 encode: cannot convert the octet 0x7F at offset 2 (result 1)\n"},
    // A letter refused after a diacritic is reported at the letter.
    {{"t61", "decode"},
     "41 C2 31",
     1,
     "",
     "lyrdua: t61 decode: cannot convert the octet 0x31 at offset 2 (result 1)\n"},
    // A diacritic at the end of the input.
    {{"t61", "decode"},
     "41 C2",
     1,
     "",
     "lyrdua: t61 decode: the input ends inside an escape sequence, control sequence or "
     "diacritic, at offset 1 (result 302)\n"},
    // The commands read standard input or --file FILE, nothing else.
    {{"t61", "encode", "extra"},
     "41",
     2,
     "",
     "lyrdua: t61 encode reads standard input or --file FILE\n"},
    // A family without its command.
    {{"t61"}, "", 2, "", "lyrdua: unknown command 't61'; 'lyrdua --help' lists the commands\n"},
};

TEST(T61Tool, ConvertsAndReportsFailures) {
  for (const ToolCase &c : kToolCases) {
    SCOPED_TRACE(testing::Message() << c.arguments.back() << " < " << c.input);
    const ToolRun run = run_tool(LYRDUA_TOOL, c.arguments, octets_text(hex(c.input)));
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, octets_text(hex(c.output)));
    EXPECT_EQ(run.err, c.error);
  }
  const ToolRun help = run_tool(LYRDUA_TOOL, {"t61", "decode", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: lyrdua t61 decode [--file T61] > LATIN1\n", 0), 0u) << help.out;
}

// A text far longer than any internal buffer goes through both commands.
TEST(T61Tool, LongTextRoundTrips) {
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += octets_text(hex("47 72 FC DF 65 20 E0 20 4E 6F EB 6C 0A"));
  const ToolRun encoded = run_tool(LYRDUA_TOOL, {"t61", "encode"}, text);
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  EXPECT_EQ(encoded.out.size(), text.size() + 3 * 20000);  // ü, à, ë take a diacritic each
  const ToolRun decoded = run_tool(LYRDUA_TOOL, {"t61", "decode"}, encoded.out);
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_TRUE(decoded.out == text);
}

}  // namespace
}  // namespace lyrdua::cnv_test
