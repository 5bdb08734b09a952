// lyrdua ber print, run as a user runs it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/run_tool.hpp"

namespace lyrdua::test {
namespace {

const char kRecord[] =
    "3030020230390414000102030405060708090a0b0c0d0e0f101112130101ff30110603550403130a416e6e6520"
    "536d697468";

std::string record_binary() {
  std::string octets;
  for (size_t i = 0; kRecord[i] != '\0'; i += 2)
    octets += static_cast<char>(std::stoi(std::string(kRecord + i, 2), nullptr, 16));
  return octets;
}

TEST(BerPrint, HexArgumentsFilesAndStandardInputPrintTheSame) {
  std::string golden = slurp("tests/data/asn1/record.txt");
  ASSERT_FALSE(golden.empty());

  ToolRun from_hex = run_tool(LYRDUA_TOOL, {"ber", "print", kRecord});
  EXPECT_EQ(from_hex.status, 0) << from_hex.err;
  EXPECT_EQ(from_hex.out, golden);

  // Octets may be spread over several arguments and separated by blanks or colons.
  ToolRun spread = run_tool(LYRDUA_TOOL, {"ber", "print", "30:06 02", "01 05", "01:01:FF"});
  EXPECT_EQ(spread.status, 0);
  EXPECT_EQ(spread.out.substr(0, 4), "3006");

  ToolRun from_stdin = run_tool(LYRDUA_TOOL, {"ber", "print"}, record_binary());
  EXPECT_EQ(from_stdin.status, 0);
  EXPECT_EQ(from_stdin.out, golden);

  std::string path = ::testing::TempDir() + "record.ber";
  std::ofstream(path, std::ios::binary) << record_binary();
  ToolRun from_file = run_tool(LYRDUA_TOOL, {"ber", "print", "--file", path});
  EXPECT_EQ(from_file.status, 0);
  EXPECT_EQ(from_file.out, golden);
  std::remove(path.c_str());
}

struct FailureCase {
  const char *about;
  std::vector<std::string> args;
  int status;
  const char *message;  // standard error
};

const FailureCase kFailures[] = {
    {"decoding error",
     {"ber", "print", "02 05 01 02 03 04 05"},
     1,
     "lyrdua: BER decoding failed with error 0xE6F00014\n"},
    {"truncated input",
     {"ber", "print", "30 05 02 01"},
     1,
     "lyrdua: BER decoding failed with error 0xE6F0001D\n"},
    {"octets after the element",
     {"ber", "print", "05 00 01 02"},
     1,
     "lyrdua: 2 octets follow the element at offset 2 and were not printed\n"},
    {"not hex", {"ber", "print", "30 0G"}, 2, "lyrdua: 'G' at position 5 is not a hex digit\n"},
    {"odd number of digits", {"ber", "print", "300"}, 2, "lyrdua: an odd number of hex digits\n"},
    {"missing file",
     {"ber", "print", "--file", "/nonexistent/x.ber"},
     1,
     "lyrdua: cannot open /nonexistent/x.ber: No such file or directory\n"},
    {"--file without a name",
     {"ber", "print", "--file"},
     2,
     "lyrdua: --file takes exactly one file name ('-' for standard input)\n"},
    {"unknown command",
     {"frobnicate"},
     2,
     "lyrdua: unknown command 'frobnicate'; 'lyrdua --help' lists the commands\n"},
};

TEST(BerPrint, FailuresNameTheProblemAndExitNonZero) {
  for (const FailureCase &c : kFailures) {
    ToolRun run = run_tool(LYRDUA_TOOL, c.args);
    EXPECT_EQ(run.status, c.status) << c.about;
    EXPECT_EQ(run.err, c.message) << c.about;
  }
}

TEST(BerPrint, HelpDescribesTheCommand) {
  ToolRun usage = run_tool(LYRDUA_TOOL, {"--help"});
  EXPECT_EQ(usage.status, 0);
  EXPECT_NE(usage.out.find("lyrdua ber print"), std::string::npos);
  ToolRun help = run_tool(LYRDUA_TOOL, {"ber", "print", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: lyrdua ber print", 0), 0u);
  ToolRun bare = run_tool(LYRDUA_TOOL, {});
  EXPECT_EQ(bare.status, 2);
}

}  // namespace
}  // namespace lyrdua::test
