// lyrdua dn and lyrdua value, run as a user runs them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run_tool.hpp"

namespace lyrdua::test {
namespace {

struct ToolCase {
  std::vector<std::string> args;
  int status;
  std::string out;  // standard output
  const char *err;  // the start of standard error
};

const std::string kAnne =
    "302B310B3009060355040613024742310D300B060355040A130441636D65310D300B06035504031304416E6E65";
const std::string kOverview = slurp("tests/data/tools/dn_encode_overview.txt");

const ToolCase kCases[] = {
    {{"dn", "encode", "CN=Anne, O=Acme, C=GB"}, 0, kOverview, ""},
    {{"dn", "decode", kAnne}, 0, "CN=Anne,O=Acme,C=GB\n", ""},
    {{"dn", "encode", "CN=a,"}, 1, "", "lyrdua: "},
    {{"dn", "decode", "30 02 04 00"}, 1, "", "lyrdua: "},
    {{"dn", "decode", "3Z"}, 2, "", "lyrdua: "},
    {{"dn"}, 2, "", "lyrdua: usage: lyrdua dn encode TEXT"},
    // The text from a file; --quiet leaves the dump out, --verbose adds the codes.
    {{"dn", "encode", "--file", "tests/data/tools/anne.dn"}, 0, kOverview, ""},
    {{"dn", "encode", "-q", "CN=Anne, O=Acme, C=GB"}, 0, kAnne + "\n", ""},
    {{"dn", "encode", "--quiet", "CN=a,"}, 1, "", ""},
    {{"dn", "encode", "CN=a,", "--verbose"}, 1, "", "lyrdua: event 0xE6F001CA: "},
    {{"value", "encode", "C", "GB"}, 0, "13024742\n13024742      PRINTABLE(2) \"GB\"\n", ""},
    {{"value", "decode", "objectClass", "06 03 55 06 06"}, 0, "person\n", ""},
    {{"value", "decode", "userPassword", "04 03 61 00 63"}, 0, std::string("a\0c\n", 4), ""},
    {{"value", "encode", "colour", "red"}, 1, "", "lyrdua: "},
    {{"value", "decode"}, 2, "", "lyrdua: usage: lyrdua value encode TYPE TEXT"},
};

TEST(DnCommand, ConvertsAndReportsFailures) {
  for (const ToolCase &c : kCases) {
    ToolRun run = run_tool(LYRDUA_TOOL, c.args);
    std::string about = c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : "");
    EXPECT_EQ(run.status, c.status) << about;
    EXPECT_EQ(run.err.substr(0, std::string(c.err).size()), c.err) << about;
    EXPECT_EQ(run.out, c.status == 0 ? c.out : "") << about;
  }
}

// Long names need a larger buffer than the first one tried.
TEST(DnCommand, LongNamesGrowTheBuffers) {
  std::string text = "CN=" + std::string(600, 'x') + ", O=" + std::string(300, 'y');
  ToolRun encoded = run_tool(LYRDUA_TOOL, {"dn", "encode", text});
  ASSERT_EQ(encoded.status, 0);
  std::string hex = encoded.out.substr(0, encoded.out.find('\n'));
  ToolRun decoded = run_tool(LYRDUA_TOOL, {"dn", "decode", hex});
  EXPECT_EQ(decoded.status, 0);
  EXPECT_EQ(decoded.out, "CN=" + std::string(600, 'x') + ",O=" + std::string(300, 'y') + "\n");
}

}  // namespace
}  // namespace lyrdua::test
