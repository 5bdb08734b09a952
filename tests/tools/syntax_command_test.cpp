// lyrdua syntax SYNTAX encode|decode, run as a user runs it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run_tool.hpp"

namespace lyrdua::test {
namespace {

struct ToolCase {
  std::vector<std::string> args;
  int status;
  const char *out;  // standard output
  const char *err;  // the start of standard error
};

const ToolCase kCases[] = {
    {{"syntax", "boolean", "encode", "tRu"}, 0, "010101\n010101        BOOLEAN(1)  TRUE\n", ""},
    {{"syntax", "integer", "encode", "-129"}, 0, "0202FF7F\n0202FF7F      INTEGER(2)  -129\n", ""},
    {{"syntax", "octetstring", "decode", "04 02 0a ff"}, 0, "0AFF\n", ""},
    {{"syntax", "bitstring", "decode", "030205A0"}, 0, "101\n", ""},
    {{"syntax", "utctime", "decode", "17 0B 39 37 31 32 33 31 32 33 35 39 5A"},
     0,
     "9712312359Z\n",
     ""},
    // The decoder is asked again with the size it reports.
    {{"syntax", "integer", "decode", "02 81 80 7F", std::string(254, 'F')}, 0, nullptr, ""},
    {{"syntax", "integer", "encode", "1x"}, 1, "", "lyrdua: "},
    {{"syntax", "oid", "decode", "02 01 05"}, 1, "", "lyrdua: "},
    {{"syntax", "oid", "decode", ""}, 1, "", "lyrdua: the input holds no element\n"},
    {{"syntax", "boolean"}, 2, "", "lyrdua: usage: lyrdua syntax SYNTAX encode TEXT"},
    // Without TEXT the value is read from standard input, here empty.
    {{"syntax", "boolean", "encode"}, 1, "", "lyrdua: "},
    {{"syntax", "color", "encode", "red"},
     2,
     "",
     "lyrdua: unknown syntax 'color'; the syntaxes are boolean, bitstring, integer, octetstring, "
     "oid, utctime, ia5string, numericstring, printablestring, directorystring, t61string, fax, "
     "postaladdress, telex\n"},
    // The structured syntaxes print the parts of their structure form too.
    {{"syntax", "fax", "decode", "30 0E 13 05 31 32 33 34 35 03 05 01 00 40 00 02"},
     0,
     "12345$fineResolution$uncompressed\n  telephone number: 12345\n"
     "  parameter: fineResolution\n  parameter: uncompressed\n",
     ""},
    {{"syntax", "postaladdress", "decode", "30 08 13 01 41 13 03 42 20 43"},
     0,
     "A$B C\n  line 1: A\n  line 2: B C\n",
     ""},
    {{"syntax", "telex", "encode", "1 AB DE"},
     0,
     "300B1301311302444513024142\n300B          SEQ(11) \n                {\n"
     "130131          PRINTABLE(1) \"1\"\n13024445        PRINTABLE(2) \"DE\"\n"
     "13024142        PRINTABLE(2) \"AB\"\n                }\n",
     ""},
    {{"syntax", "telex", "decode", "300B1301311302444513024142"},
     0,
     "1$DE$AB\n  telex number: 1\n  country code: DE\n  answerback: AB\n",
     ""},
    {{"syntax", "fax", "encode", "12345$b4"}, 1, "", "lyrdua: "},
    {{"syntax", "t61string", "encode", "caf\xE9"},
     0,
     "1405636166C265\n1405636166C2..T61(5) \"caf\xC2"
     "e\"\n",
     ""},
    {{"syntax", "printablestring", "encode", "A&B"}, 1, "", "lyrdua: "},
    {{"syntax", "integer", "decode", "0"}, 2, "", "lyrdua: an odd number of hex digits\n"},
};

TEST(SyntaxCommand, ConvertsAndReportsFailures) {
  for (const ToolCase &c : kCases) {
    std::string about = c.args[1] + " " + (c.args.size() > 2 ? c.args[2] : "");
    ToolRun run = run_tool(LYRDUA_TOOL, c.args);
    EXPECT_EQ(run.status, c.status) << about << "\n" << run.err;
    if (c.out != nullptr) {
      EXPECT_EQ(run.out, c.out) << about;
    }
    EXPECT_EQ(run.err.substr(0, std::string(c.err).size()), c.err) << about;
  }
}

// A failing conversion prints the text of the event it raised, with the
// offending character in it.
TEST(SyntaxCommand, FailurePrintsTheEventText) {
  ToolRun run = run_tool(LYRDUA_TOOL, {"syntax", "integer", "encode", "12x4"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("'x'"), std::string::npos) << run.err;
  ToolRun tag = run_tool(LYRDUA_TOOL, {"syntax", "oid", "decode", "02 01 05"});
  EXPECT_NE(tag.err.find("6 (OBJECT_ID)"), std::string::npos) << tag.err;
}

}  // namespace
}  // namespace lyrdua::test
