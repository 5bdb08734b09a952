// lyrdua t61 encode / decode, run as a program: output, error reports and
// exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/cnv/t61_test_support.hpp"

namespace lyrdua::cnv_test {
namespace {

struct ToolRun {
  int status;
  Octets out;
  std::string err;
};

std::string read_file(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs `lyrdua <arguments>` with `input` on standard input.
ToolRun run_tool(const std::string &arguments, const Octets &input) {
  const std::string base = testing::TempDir() + "lyrdua_t61_tool_" +
                           testing::UnitTest::GetInstance()->current_test_info()->name();
  {
    std::ofstream in(base + ".in", std::ios::binary);
    in.write(reinterpret_cast<const char *>(input.data()),
             static_cast<std::streamsize>(input.size()));
  }
  const std::string command = std::string("'") + LYRDUA_TOOL + "' " + arguments + " < '" + base +
                              ".in' > '" + base + ".out' 2> '" + base + ".err'";
  const int status = std::system(command.c_str());
  const std::string out = read_file(base + ".out");
  ToolRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Octets(out.begin(), out.end()),
              read_file(base + ".err")};
  for (const char *suffix : {".in", ".out", ".err"}) std::remove((base + suffix).c_str());
  return run;
}

struct ToolCase {
  const char *arguments;
  const char *input;  // hex
  int status;
  const char *output;  // hex
  const char *error;   // standard error, exactly
};

const ToolCase kToolCases[] = {
    // Latin-1 "Célèbre" and a line feed to T.61.
    {"t61 encode", "43 E9 6C E8 62 72 65 0A", 0, "43 C2 65 6C C1 65 62 72 65 0A", ""},
    // And back.
    {"t61 decode", "43 C2 65 6C C1 65 62 72 65 0A", 0, "43 E9 6C E8 62 72 65 0A", ""},
    // Empty input, empty output.
    {"t61 encode", "", 0, "", ""},
    // DEL cannot be converted: nothing is written, the offset and octet are reported.
    {"t61 encode", "41 42 7F 43", 1, "",
     "lyrdua: t61 encode: cannot convert the octet 0x7F at offset 2 (result 1)\n"},
    // A letter refused after a diacritic is reported at the letter.
    {"t61 decode", "41 C2 31", 1, "",
     "lyrdua: t61 decode: cannot convert the octet 0x31 at offset 2 (result 1)\n"},
    // A diacritic at the end of the input.
    {"t61 decode", "41 C2", 1, "",
     "lyrdua: t61 decode: the input ends inside an escape sequence, control sequence or "
     "diacritic, at offset 1 (result 302)\n"},
    // The commands read standard input only.
    {"t61 encode extra", "41", 2, "",
     "lyrdua: t61 encode takes no arguments; it reads standard input\n"},
    // A family without its command.
    {"t61", "", 2, "", "lyrdua: unknown command 't61'; 'lyrdua --help' lists the commands\n"},
};

TEST(T61Tool, ConvertsAndReportsFailures) {
  for (const ToolCase &c : kToolCases) {
    SCOPED_TRACE(testing::Message() << "lyrdua " << c.arguments << " < " << c.input);
    const ToolRun run = run_tool(c.arguments, hex(c.input));
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(to_hex(run.out), to_hex(hex(c.output)));
    EXPECT_EQ(run.err, c.error);
  }
}

TEST(T61Tool, HelpDescribesTheCommand) {
  const ToolRun run = run_tool("t61 decode --help", {});
  EXPECT_EQ(run.status, 0);
  const std::string text(run.out.begin(), run.out.end());
  EXPECT_EQ(text.rfind("usage: lyrdua t61 decode < T61 > LATIN1\n", 0), 0u) << text;
}

// A text far longer than any internal buffer goes through both commands.
TEST(T61Tool, LongTextRoundTrips) {
  Octets text;
  for (int i = 0; i < 20000; ++i)
    for (uint8_t octet : hex("47 72 FC DF 65 20 E0 20 4E 6F EB 6C 0A")) text.push_back(octet);
  const ToolRun encoded = run_tool("t61 encode", text);
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  EXPECT_EQ(encoded.out.size(), text.size() + 3 * 20000);  // ü, à, ë take a diacritic each
  const ToolRun decoded = run_tool("t61 decode", encoded.out);
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_TRUE(decoded.out == text);
}

}  // namespace
}  // namespace lyrdua::cnv_test
