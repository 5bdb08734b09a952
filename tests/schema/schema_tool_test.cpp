// The lyrdua tool's schema commands, run as a user runs them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/schema/schema_test_support.hpp"
#include "tests/support/run_tool.hpp"

namespace lyrdua::test {
namespace {

// Runs the tool with arguments (words apart by blanks) and LYRDUA_SCHEMA set
// to schema (empty: unset).
ToolRun run_schema_tool(const std::string &arguments, const std::string &schema) {
  SchemaVariable variable(schema);
  std::istringstream words(arguments);
  std::vector<std::string> argv;
  for (std::string word; words >> word;) argv.push_back(word);
  return run_tool(LYRDUA_TOOL, argv);
}

struct ToolRow {
  const char *about;
  const char *arguments;
  const char *schema;
  int status;
  const char *out;
  const char *err;
};

const ToolRow kRows[] = {
    {"attribute type by keyword in another case", "schema attr commonname", "", 0,
     "OID            2.5.4.3\n"
     "names          CN, commonName\n"
     "first keyword  CN\n"
     "formal name    commonName\n"
     "description    common name by which the object is known\n"
     "syntax         stringSyntax (12)\n"
     "multi-valued   yes\n",
     ""},
    {"attribute type by OID, single-valued", "schema attr 2.5.4.6", "", 0,
     "OID            2.5.4.6\n"
     "names          C, countryName\n"
     "first keyword  C\n"
     "formal name    countryName\n"
     "description    two-letter ISO 3166 country code\n"
     "syntax         countryNameSyntax (13)\n"
     "multi-valued   no\n",
     ""},
    {"attribute type of a file, without syntax", "schema attr noSyntaxAttr",
     "tests/data/schema/all-syntaxes.schema", 0,
     "OID            1.3.6.1.4.1.32473.1.2.1\n"
     "names          noSyntaxAttr\n"
     "first keyword  noSyntaxAttr\n"
     "formal name    noSyntaxAttr\n"
     "description    attribute without a syntax\n"
     "syntax         none\n"
     "multi-valued   yes\n",
     ""},
    {"object class with its parents", "schema oc inetOrgPerson", "", 0,
     "OID            2.16.840.1.113730.3.2.2\n"
     "names          inetOrgPerson\n"
     "formal name    inetOrgPerson\n"
     "description    a person of an organization on the Internet\n"
     "parents        organizationalPerson\n"
     "ancestors      organizationalPerson, person, top\n",
     ""},
    {"object class with two parents, from a file", "schema oc 1.3.6.1.4.1.32473.2.2.1",
     "tests/data/schema/openldap-style.schema", 0,
     "OID            1.3.6.1.4.1.32473.2.2.1\n"
     "names          lyrTestPerson\n"
     "formal name    lyrTestPerson\n"
     "description    a person of the tests\n"
     "parents        inetOrgPerson, strongAuthenticationUser\n"
     "ancestors      inetOrgPerson, strongAuthenticationUser, organizationalPerson, top, "
     "person\n",
     ""},
    {"unknown keyword", "schema attr nosuch", "", 1, "",
     "lyrdua: no attribute type 'nosuch' in the schema (0xE6F00004)\n"},
    {"attribute keyword asked as a class", "schema oc cn", "", 1, "",
     "lyrdua: no object class 'cn' in the schema (0xE6F00004)\n"},
    {"unknown OID", "schema oc 2.5.6.99", "", 1, "",
     "lyrdua: no object class '2.5.6.99' in the schema (0xE6F00004)\n"},
    {"no argument", "schema attr", "", 2, "",
     "lyrdua: give one keyword or dotted object identifier\n"},
    {"schema file missing", "schema list", "tests/data/schema/missing.schema", 1, "",
     "lyrutil: tests/data/schema/missing.schema: cannot be read: No such file or directory\n"
     "lyrdua: the schema cannot be opened (0xE6F00005)\n"},
};

TEST(SchemaTool, CommandsAndTheirOutput) {
  for (const ToolRow &row : kRows) {
    SCOPED_TRACE(row.about);
    ToolRun run = run_schema_tool(row.arguments, row.schema);
    EXPECT_EQ(run.status, row.status);
    EXPECT_EQ(run.out, row.out);
    EXPECT_EQ(run.err, row.err);
  }
}

TEST(SchemaTool, AFileThatCannotBeTakenIsNamedWithItsLine) {
  std::string bad = write_temp_file("tool-bad.schema",
                                    "attributetype ( 1.2.3 NAME 'x'\n  SYNTAX nosuchSyntax )\n");
  ToolRun run = run_schema_tool("schema attr cn", bad);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "lyrutil: " + bad + ":2: unknown syntax 'nosuchSyntax'\n" +
                         "lyrdua: the schema cannot be opened (0xE6F00006)\n");
}

// One line per record, each under its heading with the count.
TEST(SchemaTool, ListShowsEveryRecord) {
  ToolRun run = run_schema_tool("schema list", "");
  ASSERT_EQ(run.status, 0) << run.err;
  std::istringstream lines(run.out);
  std::string line;
  int attributes = 0;
  int classes = 0;
  int *counting = nullptr;
  while (std::getline(lines, line)) {
    if (line.rfind("attribute types (", 0) == 0) {
      EXPECT_EQ(line, "attribute types (65)");
      counting = &attributes;
    } else if (line.rfind("object classes (", 0) == 0) {
      EXPECT_EQ(line, "object classes (22)");
      counting = &classes;
    } else {
      ASSERT_NE(counting, nullptr) << line;
      ++*counting;
    }
  }
  EXPECT_EQ(attributes, 65);
  EXPECT_EQ(classes, 22);
  EXPECT_NE(
      run.out.find(
          "  2.5.4.3                      CN                             stringSyntax (12)\n"),
      std::string::npos);
  EXPECT_NE(run.out.find("  2.5.6.7                      organizationalPerson           person\n"),
            std::string::npos);
}

}  // namespace
}  // namespace lyrdua::test
