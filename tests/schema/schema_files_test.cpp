// Schema files named by LYRDUA_SCHEMA: OpenLDAP-style definitions, later
// files redefining earlier definitions, and files that cannot be taken,
// each reported with its file, line and problem.
#include <gtest/gtest.h>
#include <lyrdua/kor_sc.h>

#include <string>
#include <vector>

#include "lyrutil/schema_store.h"
#include "tests/schema/schema_test_support.hpp"

namespace lyrdua::test {
namespace {

const std::string kOpenLdapStyle = "tests/data/schema/openldap-style.schema";
const std::string kRedefine = "tests/data/schema/redefine.schema";

TEST(SchemaFiles, OpenLdapStyleDefinitions) {
  OpenSchema schema(kOpenLdapStyle);
  ASSERT_EQ(schema.result(), KOR_OK);

  // OID macros, a quoted name list, a length bound, escapes in DESC.
  kor_sc_attr *nick = schema.attr("nickName");
  EXPECT_EQ(attr_oid(nick), oid_octets("1.3.6.1.4.1.32473.2.1.1"));
  EXPECT_EQ(schema.attr("NICK"), nick);
  EXPECT_EQ(schema.attr("alias-name"), nick);
  EXPECT_EQ(lent_text(kor_sc_attr_ref_1st_keywordA, nick), "nickName");
  EXPECT_EQ(lent_text(kor_sc_attr_ref_formal_nameA, nick), "alias-name");
  EXPECT_EQ(lent_text(kor_sc_attr_ref_descriptionA, nick),
            "a name people use, with 'quotes' and a \\");
  EXPECT_EQ(syntax_number(nick), KOR_SC_SYN_STRING);

  // SUP gives the syntax of the superior type; no DESC gives the empty text.
  kor_sc_attr *desk_phone = schema.attr("deskPhone");
  EXPECT_EQ(syntax_number(desk_phone), KOR_SC_SYN_TELEPHONE_NUMBER);
  EXPECT_EQ(lent_text(kor_sc_attr_ref_descriptionA, desk_phone), "");
  kor_sc_attr *home_country = schema.attr("homeCountry");
  EXPECT_EQ(syntax_number(home_country), KOR_SC_SYN_COUNTRY_NAME);
  EXPECT_EQ(kor_sc_attr_is_multivalued(home_country), 0u);

  // Continuation lines, a DESC over two lines, flags and extensions.
  kor_sc_attr *badge = schema.attr("badgeNumber");
  EXPECT_EQ(lent_text(kor_sc_attr_ref_descriptionA, badge),
            "a description that runs on over two lines");
  EXPECT_EQ(syntax_number(badge), KOR_SC_SYN_INTEGER);
  EXPECT_EQ(kor_sc_attr_is_multivalued(badge), 0u);

  // An LDAP syntax without counterpart: a syntax named by its OID, number 0.
  kor_sc_attr *blob = schema.attr("certificateBlob");
  kor_sc_syntax *syntax = nullptr;
  ASSERT_EQ(kor_sc_attr_get_syntax(blob, &syntax), KOR_OK);
  EXPECT_EQ(lent_text(kor_sc_syntax_ref_nameA, syntax), "1.3.6.1.4.1.1466.115.121.1.8");
  EXPECT_EQ(syntax_number(blob), KOR_SC_SYN_UNKNOWN);

  // A class with two superior classes.
  kor_sc_oc *person = schema.oc("lyrTestPerson");
  kor_sc_oc *parent = nullptr;
  EXPECT_EQ(kor_sc_oc_get_parent_by_idx(person, 0, &parent), KOR_OK);
  EXPECT_EQ(parent, schema.oc("inetOrgPerson"));
  EXPECT_EQ(kor_sc_oc_get_parent_by_idx(person, 1, &parent), KOR_OK);
  EXPECT_EQ(parent, schema.oc("strongAuthenticationUser"));
  EXPECT_EQ(kor_sc_oc_get_parent_by_idx(person, 2, &parent), KOR_OK);
  EXPECT_EQ(parent, nullptr);
}

TEST(SchemaFiles, LaterDefinitionsReplaceEarlierOnesByOid) {
  OpenSchema schema(kRedefine);
  ASSERT_EQ(schema.result(), KOR_OK);
  kor_sc_attr *cn = schema.attr("cn");
  EXPECT_EQ(schema.attr("fullName"), cn);
  EXPECT_EQ(attr_oid(cn), oid_octets("2.5.4.3"));
  EXPECT_EQ(lent_text(kor_sc_attr_ref_formal_nameA, cn), "fullName");
  EXPECT_EQ(lent_text(kor_sc_attr_ref_descriptionA, cn), "redefined common name");
  EXPECT_EQ(syntax_number(cn), KOR_SC_SYN_PRINTABLE_STRING);

  // The name dropped by the redefinition of 2.5.4.4 now names the new type.
  kor_sc_attr *surname = schema.attr("surname");
  EXPECT_EQ(lent_text(kor_sc_attr_ref_1st_keywordA, surname), "surname");
  kor_sc_attr *sn = schema.attr("SN");
  EXPECT_NE(sn, surname);
  EXPECT_EQ(attr_oid(sn), oid_octets("1.3.6.1.4.1.32473.3.1"));

  // Subclasses of a redefined class reach the new definition.
  kor_sc_oc *parent = nullptr;
  EXPECT_EQ(kor_sc_oc_get_parent_by_idx(schema.oc("organizationalPerson"), 0, &parent), KOR_OK);
  EXPECT_EQ(lent_text(kor_sc_oc_ref_descriptionA, parent), "redefined person");
}

// Files are read in their order: the later one wins.
TEST(SchemaFiles, SeveralFilesAreReadInOrder) {
  std::string first = write_temp_file(
      "first.schema", "attributetype ( 1.3.6.1.4.1.32473.4.1 NAME 'orderTest' DESC 'first' )\n");
  std::string second = write_temp_file(
      "second.schema", "attributetype ( 1.3.6.1.4.1.32473.4.1 NAME 'orderTest' DESC 'second' )\n");
  OpenSchema schema(first + kListSeparator + kListSeparator + second + kListSeparator);
  ASSERT_EQ(schema.result(), KOR_OK);
  EXPECT_EQ(lent_text(kor_sc_attr_ref_descriptionA, schema.attr("orderTest")), "second");
}

struct BadFileRow {
  const char *about;
  const char *text;
  int line;
  const char *problem;
};

const BadFileRow kBadFiles[] = {
    {"unknown directive", "attributetyp ( 1.2.3 NAME 'x' )", 1, "unknown directive 'attributetyp'"},
    {"no parenthesis", "attributetype 1.2.3 NAME 'x'", 1, "expected '(' after attributetype"},
    // An unclosed definition is reported where it starts.
    {"no closing parenthesis", "# c\nattributetype ( 1.2.3 NAME 'x'\n  SYNTAX stringSyntax\n", 2,
     "definition is not closed by ')'"},
    {"words after the definition", "objectclass ( 1.2.3 NAME 'x' ) more", 1,
     "unexpected 'more' after the closing ')'"},
    {"OID with a letter", "attributetype ( 1.2.x NAME 'x' )", 1,
     "'1.2.x' is not a numeric object identifier"},
    {"OID of one arc", "attributetype ( 1 NAME 'x' )", 1, "'1' is not a numeric object identifier"},
    {"OID with a leading zero", "attributetype ( 1.02 NAME 'x' )", 1,
     "'1.02' is not a numeric object identifier"},
    {"first arc above 2", "attributetype ( 3.1 NAME 'x' )", 1,
     "'3.1' is not a valid object identifier"},
    {"second arc 40 under arc 1", "attributetype ( 1.40 NAME 'x' )", 1,
     "'1.40' is not a valid object identifier"},
    {"arc of 20 digits", "attributetype ( 1.2.12345678901234567890 NAME 'x' )", 1,
     "arc 12345678901234567890 of 1.2.12345678901234567890 is too large"},
    {"unknown field", "attributetype ( 1.2.3 NAME 'x' SYNTAXX stringSyntax )", 1,
     "unknown field 'SYNTAXX'"},
    {"field given twice", "attributetype ( 1.2.3 NAME 'x'\n NAME 'y' )", 2, "NAME is given twice"},
    {"unknown syntax name", "attributetype ( 1.2.3 NAME 'x' SYNTAX fooSyntax )", 1,
     "unknown syntax 'fooSyntax'"},
    {"bad length bound", "attributetype ( 1.2.3 SYNTAX 1.3.6.1.4.1.1466.115.121.1.15{x} )", 1,
     "bad length bound in '1.3.6.1.4.1.1466.115.121.1.15{x}'"},
    {"unknown superior type", "attributetype ( 1.2.3 NAME 'x' SUP nosuch )", 1,
     "unknown superior attribute type 'nosuch'"},
    {"unknown superior class", "objectclass ( 1.2.3 NAME 'x' SUP ( top $ nosuch ) )", 1,
     "unknown superior object class 'nosuch'"},
    {"superior list without '$'", "objectclass ( 1.2.3 NAME 'x' SUP ( top person ) )", 1,
     "expected '$' or ')' in the list after SUP"},
    {"empty name list", "attributetype ( 1.2.3 NAME ( ) )", 1, "expected a name after NAME"},
    {"unquoted description", "attributetype ( 1.2.3 DESC text )", 1,
     "expected a quoted string after DESC"},
    {"unclosed quote", "attributetype ( 1.2.3\n NAME 'x )\n", 2, "quoted string is not closed"},
    {"name starting with a digit", "attributetype ( 1.2.3 NAME '1x' )", 1,
     "'1x' is not a valid name"},
    {"name with an underscore", "attributetype ( 1.2.3 NAME 'a_b' )", 1,
     "'a_b' is not a valid name"},
    {"name twice in a list", "attributetype ( 1.2.3 NAME ( 'ab' 'AB' ) )", 1,
     "name 'AB' is given twice"},
    // A name of another OID is not taken over.
    {"name of another attribute type", "attributetype ( 1.2.3 NAME 'commonName' )", 1,
     "name 'commonName' is already used by attribute type 2.5.4.3"},
    {"name of another object class", "objectclass ( 1.2.3 NAME 'Top' )", 1,
     "name 'Top' is already used by object class 2.5.6.0"},
    {"description beyond Latin-1", "attributetype ( 1.2.3 DESC '\xE2\x82\xAC' )", 1,
     "DESC is not UTF-8 text within Latin-1"},
    {"continuation first", "  attributetype ( 1.2.3 )", 1,
     "continuation line without a directive before it"},
    {"unknown OID macro", "attributetype ( myOid:1 NAME 'x' )", 1,
     "unknown object identifier macro 'myOid'"},
    {"objectidentifier of one word", "objectidentifier myOid", 1,
     "objectidentifier takes a name and an object identifier"},
    {"statement of a parenthesis", "( 1.2.3 )", 1, "expected a directive, not '('"},
};

TEST(SchemaFiles, EachProblemIsReportedWithFileAndLine) {
  for (const BadFileRow &row : kBadFiles) {
    SCOPED_TRACE(row.about);
    std::string path = write_temp_file("bad.schema", row.text);
    ::testing::internal::CaptureStderr();
    OpenSchema schema(path);
    std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(schema.result(), KOR_SC_E_STATUS4);
    EXPECT_EQ(report,
              "lyrutil: " + path + ":" + std::to_string(row.line) + ": " + row.problem + "\n");
  }
}

// The report names the file that holds the problem, after good ones.
TEST(SchemaFiles, AProblemInASecondFileNamesThatFile) {
  std::string bad = write_temp_file("second-bad.schema", "\n\nobjectclass ( 1.2.3 SUP nosuch )\n");
  ::testing::internal::CaptureStderr();
  OpenSchema schema(kOpenLdapStyle + kListSeparator + bad);
  std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(schema.result(), KOR_SC_E_STATUS4);
  EXPECT_EQ(report, "lyrutil: " + bad + ":3: unknown superior object class 'nosuch'\n");
}

TEST(SchemaFiles, AFileThatCannotBeReadIsStatus3) {
  const std::string missing = "tests/data/schema/no-such-file.schema";
  const std::string folder = "tests/data/schema";
  for (const std::string &path : {missing, folder}) {
    ::testing::internal::CaptureStderr();
    OpenSchema schema(path);
    std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(schema.result(), KOR_SC_E_STATUS3) << path;
    EXPECT_EQ(report.rfind("lyrutil: " + path + ": cannot be read: ", 0), 0u) << report;
  }
}

// The schema counts its records in signed 16 bits: 32767 attribute types in
// all (the default schema's included) are taken, one more is not.
TEST(SchemaFiles, AtMost32767AttributeTypes) {
  kor_sc_schema *schema = nullptr;
  {
    SchemaVariable variable("");
    ASSERT_EQ(kor_sc_get_default_schema(&schema), KOR_OK);
  }
  int defaults = util_schema_get()->attr_count;
  kor_sc_free_schema(schema);
  std::string text;
  int room = 32767 - defaults;
  for (int i = 1; i <= room + 1; ++i) {
    if (i == room + 1) text += "\n";
    text += "attributetype ( 1.3.6.1.4.1.32473.5." + std::to_string(i) + " NAME 'many" +
            std::to_string(i) + "' SYNTAX stringSyntax )\n";
  }
  size_t last_line = text.rfind("attributetype");
  std::string full = write_temp_file("full.schema", text.substr(0, last_line));
  std::string over = write_temp_file("over.schema", text);
  {
    OpenSchema at_limit(full);
    ASSERT_EQ(at_limit.result(), KOR_OK);
    EXPECT_EQ(util_schema_get()->attr_count, 32767);
    EXPECT_EQ(at_limit.attr("many" + std::to_string(room)),
              at_limit.attr("MANY" + std::to_string(room)));
  }
  ::testing::internal::CaptureStderr();
  OpenSchema over_limit(over);
  std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(over_limit.result(), KOR_SC_E_STATUS4);
  EXPECT_EQ(report, "lyrutil: " + over + ":" + std::to_string(room + 2) +
                        ": more than 32767 attribute type definitions\n");
}

}  // namespace
}  // namespace lyrdua::test
