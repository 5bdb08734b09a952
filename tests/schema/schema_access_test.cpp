// Schema access through the C API: reference counting, copies into buffers
// that are too small, lookups that fail, parents, attributes without syntax,
// and arguments that are not usable.
#include <gtest/gtest.h>
#include <lyrdua/kor_sc.h>

#include <cstring>
#include <string>
#include <vector>

#include "lyrutil/schema_store.h"
#include "tests/schema/schema_test_support.hpp"

namespace lyrdua::test {
namespace {

const std::string kAllSyntaxes = "tests/data/schema/all-syntaxes.schema";

TEST(SchemaReferences, TwoOpensNeedTwoReleases) {
  SchemaVariable variable("");
  EXPECT_EQ(kor_sc_free_schema(nullptr), KOR_OK) << "nothing open";
  kor_sc_schema *first = nullptr;
  kor_sc_schema *second = nullptr;
  ASSERT_EQ(kor_sc_get_default_schema(&first), KOR_OK);
  ASSERT_EQ(kor_sc_get_default_schema(&second), KOR_OK);
  EXPECT_EQ(first, second);
  kor_sc_attr *cn = nullptr;
  ASSERT_EQ(kor_sc_get_attr_by_keywordA(first, "cn", -1, &cn), KOR_OK);

  EXPECT_EQ(kor_sc_free_schema(first), KOR_OK);
  EXPECT_NE(util_schema_get(), nullptr);
  EXPECT_EQ(lent_text(kor_sc_attr_ref_formal_nameA, cn), "commonName");

  EXPECT_EQ(kor_sc_free_schema(second), KOR_OK);
  EXPECT_EQ(util_schema_get(), nullptr);
  // A handle of the closed schema is refused, not followed.
  const char *text = nullptr;
  uint32_t len = 0;
  EXPECT_EQ(kor_sc_attr_ref_formal_nameA(cn, &text, &len), KOR_SC_E_FAILED);
}

TEST(SchemaReferences, AFailedOpenLeavesTheSchemaClosedAndALaterOpenTriesAgain) {
  {
    SchemaVariable variable("tests/data/schema/no-such-file.schema");
    kor_sc_schema *schema = nullptr;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(kor_sc_get_default_schema(&schema), KOR_SC_E_STATUS3);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(schema, nullptr);
    EXPECT_EQ(util_schema_get(), nullptr);
  }
  OpenSchema schema;
  EXPECT_EQ(schema.result(), KOR_OK);
}

using AttrGetText = uint32_t(KOR_API *)(kor_sc_attr *, char *, uint32_t *);

struct TextCopyRow {
  const char *about;
  AttrGetText get;
  const char *keyword;
  uint32_t capacity;
  uint32_t result;
  uint32_t len;          // *len afterwards
  const char *contents;  // the buffer afterwards, up to and with its NUL
};

const TextCopyRow kTextCopies[] = {
    // Too small: the cut text ends in a NUL, *len is the size needed.
    {"5 bytes for a 15-byte keyword", kor_sc_attr_get_1st_keywordA, "telephoneNumber", 5,
     KOR_SC_E_BUFFER, 16, "tele"},
    // Exactly the text and its NUL: success, *len counts the NUL.
    {"16 bytes for a 15-byte keyword", kor_sc_attr_get_1st_keywordA, "telephoneNumber", 16, KOR_OK,
     16, "telephoneNumber"},
    // One byte short: no room for the NUL.
    {"15 bytes for a 15-byte keyword", kor_sc_attr_get_1st_keywordA, "telephoneNumber", 15,
     KOR_SC_E_BUFFER, 16, "telephoneNumbe"},
    // A one-byte buffer holds just the NUL.
    {"1 byte", kor_sc_attr_get_1st_keywordA, "telephoneNumber", 1, KOR_SC_E_BUFFER, 16, ""},
    // Formal names and descriptions follow the same rule.
    {"formal name that fits", kor_sc_attr_get_formal_nameA, "CN", 64, KOR_OK, 11, "commonName"},
    {"formal name cut", kor_sc_attr_get_formal_nameA, "CN", 7, KOR_SC_E_BUFFER, 11, "common"},
    {"description cut", kor_sc_attr_get_descriptionA, "CN", 7, KOR_SC_E_BUFFER, 41, "common"},
};

TEST(SchemaCopies, TextsCopiedIntoBuffersOfEverySize) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  for (const TextCopyRow &row : kTextCopies) {
    SCOPED_TRACE(row.about);
    std::vector<char> buf(row.capacity + 4, '#');
    uint32_t len = row.capacity;
    EXPECT_EQ(row.get(schema.attr(row.keyword), buf.data(), &len), row.result);
    EXPECT_EQ(len, row.len);
    EXPECT_STREQ(buf.data(), row.contents);
    EXPECT_EQ(buf[row.capacity], '#') << "written past the buffer";
  }
}

TEST(SchemaCopies, AnEmptyBufferOnlyLearnsTheSizeNeeded) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  uint32_t len = 0;
  EXPECT_EQ(kor_sc_attr_get_1st_keywordA(schema.attr("telephoneNumber"), nullptr, &len),
            KOR_SC_E_BUFFER);
  EXPECT_EQ(len, 16u);
}

TEST(SchemaCopies, OidContentsAreCopiedWithoutNulOrNotAtAll) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  kor_sc_attr *object_class = schema.attr("objectClass");
  uint8_t buf[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  uint32_t len = sizeof buf;
  EXPECT_EQ(kor_sc_attr_get_oid(object_class, buf, &len), KOR_OK);
  EXPECT_EQ(len, 3u);
  EXPECT_EQ(std::vector<uint8_t>(buf, buf + 4), (std::vector<uint8_t>{0x55, 0x04, 0x00, 0xEE}));

  uint8_t small[2] = {0xEE, 0xEE};
  len = sizeof small;
  EXPECT_EQ(kor_sc_attr_get_oid(object_class, small, &len), KOR_SC_E_BUFFER);
  EXPECT_EQ(len, 3u);
  EXPECT_EQ(small[0], 0xEE);

  kor_sc_oc *person = schema.oc("person");
  len = sizeof buf;
  EXPECT_EQ(kor_sc_oc_get_oid(person, buf, &len), KOR_OK);
  EXPECT_EQ(std::vector<uint8_t>(buf, buf + len), oid_octets("2.5.6.6"));
  const uint8_t *lent = nullptr;
  EXPECT_EQ(kor_sc_oc_ref_oid(person, &lent, &len), KOR_OK);
  EXPECT_EQ(std::vector<uint8_t>(lent, lent + len), oid_octets("2.5.6.6"));
}

struct FailedLookupRow {
  const char *about;
  const char *keyword;
  int32_t len;
  uint32_t result;
};

const FailedLookupRow kFailedKeywordLookups[] = {
    // A keyword the schema does not hold.
    {"unknown keyword", "noSuchAttribute", -1, KOR_SC_E_NOT_FOUND},
    // A keyword is matched whole, not as a prefix.
    {"prefix of a keyword", "commonNam", -1, KOR_SC_E_NOT_FOUND},
    {"keyword with a trailing blank", "cn ", -1, KOR_SC_E_NOT_FOUND},
    // Empty and absent keywords are store status 16.
    {"empty keyword", "", -1, KOR_SC_E_STATUS16},
    {"length 0", "cn", 0, KOR_SC_E_STATUS16},
    {"negative length other than -1", "cn", -2, KOR_SC_E_STATUS16},
    {"null keyword", nullptr, -1, KOR_SC_E_STATUS16},
};

TEST(SchemaLookups, KeywordsTheSchemaDoesNotHold) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  for (const FailedLookupRow &row : kFailedKeywordLookups) {
    SCOPED_TRACE(row.about);
    kor_sc_attr *attr = nullptr;
    EXPECT_EQ(kor_sc_get_attr_by_keywordA(schema.get(), row.keyword, row.len, &attr), row.result);
    EXPECT_EQ(attr, nullptr);
    kor_sc_oc *oc = nullptr;
    EXPECT_EQ(kor_sc_get_oc_by_keywordA(schema.get(), row.keyword, row.len, &oc), row.result);
    EXPECT_EQ(oc, nullptr);
  }
}

TEST(SchemaLookups, AnExplicitLengthCutsTheKeyword) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  kor_sc_attr *attr = nullptr;
  ASSERT_EQ(kor_sc_get_attr_by_keywordA(schema.get(), "cnXYZ", 2, &attr), KOR_OK);
  EXPECT_EQ(attr, schema.attr("commonName"));
}

TEST(SchemaLookups, ObjectIdentifiersTheSchemaDoesNotHold) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  std::vector<uint8_t> unknown = oid_octets("2.5.4.47");
  std::vector<uint8_t> longer = oid_octets("2.5.4.3.1");
  struct Row {
    const char *about;
    std::vector<uint8_t> oid;
    uint32_t result;
  } rows[] = {
      {"unused arc 2.5.4.47", unknown, KOR_SC_E_NOT_FOUND},
      {"an arc below a known OID", longer, KOR_SC_E_NOT_FOUND},
      {"no contents", {}, KOR_SC_E_NOT_FOUND},
      // The longest contents whose TLV (06 81 fd ...) fits 256 octets are
      // looked up; one octet more is a buffer too small.
      {"253 octets of contents", std::vector<uint8_t>(253, 0x01), KOR_SC_E_NOT_FOUND},
      {"254 octets of contents", std::vector<uint8_t>(254, 0x01), KOR_SC_E_BUFFER},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.about);
    kor_sc_attr *attr = nullptr;
    EXPECT_EQ(kor_sc_get_attr_by_oid(schema.get(), row.oid.data(),
                                     static_cast<uint32_t>(row.oid.size()), &attr),
              row.result);
    EXPECT_EQ(attr, nullptr);
    kor_sc_oc *oc = nullptr;
    EXPECT_EQ(kor_sc_get_oc_by_oid(schema.get(), row.oid.data(),
                                   static_cast<uint32_t>(row.oid.size()), &oc),
              row.result);
    EXPECT_EQ(oc, nullptr);
  }
}

// A schema handle other than the open one is store status 5.
TEST(SchemaLookups, ANullSchemaHandleIsRefused) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  kor_sc_attr *attr = nullptr;
  EXPECT_EQ(kor_sc_get_attr_by_keywordA(nullptr, "cn", -1, &attr), KOR_SC_E_STATUS5);
  std::vector<uint8_t> cn = oid_octets("2.5.4.3");
  EXPECT_EQ(kor_sc_get_attr_by_oid(nullptr, cn.data(), 3, &attr), KOR_SC_E_STATUS5);
  EXPECT_EQ(attr, nullptr);
}

TEST(SchemaParents, IndexesRunFromZeroToTheCountLessOne) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  kor_sc_oc *inet_org_person = schema.oc("inetOrgPerson");
  kor_sc_oc *parent = inet_org_person;
  // Up the chain to top, which has no parent.
  std::vector<std::string> chain;
  while (parent != nullptr) {
    chain.push_back(lent_text(kor_sc_oc_ref_formal_nameA, parent));
    EXPECT_EQ(kor_sc_oc_get_parent_by_idx(parent, 0, &parent), KOR_OK);
  }
  EXPECT_EQ(chain,
            (std::vector<std::string>{"inetOrgPerson", "organizationalPerson", "person", "top"}));
  // The index equal to the count and a negative one give no parent.
  for (int32_t idx : {1, -1, 1000}) {
    parent = inet_org_person;
    EXPECT_EQ(kor_sc_oc_get_parent_by_idx(inet_org_person, idx, &parent), KOR_OK);
    EXPECT_EQ(parent, nullptr) << idx;
  }
}

TEST(SchemaSyntaxes, AnAttributeWithoutSyntaxGivesAFailureAndNoSyntax) {
  OpenSchema schema(kAllSyntaxes);
  ASSERT_EQ(schema.result(), KOR_OK);
  kor_sc_syntax *syntax = reinterpret_cast<kor_sc_syntax *>(&syntax);
  EXPECT_EQ(kor_sc_attr_get_syntax(schema.attr("noSyntaxAttr"), &syntax), KOR_SC_E_FAILED);
  EXPECT_EQ(syntax, nullptr);
}

TEST(SchemaSyntaxes, NamesAreLentAndCopied) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  kor_sc_syntax *syntax = nullptr;
  ASSERT_EQ(kor_sc_attr_get_syntax(schema.attr("mail"), &syntax), KOR_OK);
  EXPECT_EQ(lent_text(kor_sc_syntax_ref_nameA, syntax), "iA5StringSyntax");
  char buf[8];
  uint32_t len = sizeof buf;
  EXPECT_EQ(kor_sc_syntax_get_nameA(syntax, buf, &len), KOR_SC_E_BUFFER);
  EXPECT_EQ(len, 16u);
  EXPECT_STREQ(buf, "iA5Stri");
  EXPECT_EQ(kor_sc_free_syntax(syntax), KOR_OK);
}

// Unusable arguments give KOR_SC_E_FAILED and touch nothing.
TEST(SchemaArguments, NullOutputsAndForeignHandlesAreRefused) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  kor_sc_attr *cn = schema.attr("cn");
  const char *text = nullptr;
  uint32_t len = 0;
  util_attr foreign{};
  kor_sc_attr *not_in_schema = reinterpret_cast<kor_sc_attr *>(&foreign);
  EXPECT_EQ(kor_sc_get_default_schema(nullptr), KOR_SC_E_FAILED);
  EXPECT_EQ(kor_sc_get_attr_by_keywordA(schema.get(), "cn", -1, nullptr), KOR_SC_E_FAILED);
  EXPECT_EQ(kor_sc_get_oc_by_keywordA(schema.get(), "top", -1, nullptr), KOR_SC_E_FAILED);
  EXPECT_EQ(kor_sc_attr_ref_formal_nameA(cn, nullptr, &len), KOR_SC_E_FAILED);
  EXPECT_EQ(kor_sc_attr_ref_formal_nameA(cn, &text, nullptr), KOR_SC_E_FAILED);
  EXPECT_EQ(kor_sc_attr_ref_formal_nameA(nullptr, &text, &len), KOR_SC_E_FAILED);
  EXPECT_EQ(kor_sc_attr_ref_formal_nameA(not_in_schema, &text, &len), KOR_SC_E_FAILED);
  EXPECT_EQ(kor_sc_attr_get_formal_nameA(cn, nullptr, nullptr), KOR_SC_E_FAILED);
  len = 8;
  EXPECT_EQ(kor_sc_attr_get_formal_nameA(cn, nullptr, &len), KOR_SC_E_FAILED);
  EXPECT_EQ(kor_sc_attr_get_syntax(cn, nullptr), KOR_SC_E_FAILED);
  uint32_t value = 99;
  EXPECT_EQ(kor_sc_syntax_get_enum(nullptr, &value), KOR_OK);
  EXPECT_EQ(value, KOR_SC_SYN_UNKNOWN);
  EXPECT_EQ(kor_sc_oc_get_parent_by_idx(nullptr, 0, nullptr), KOR_OK);
  EXPECT_EQ(kor_sc_free_attr(cn), KOR_OK);
  EXPECT_EQ(kor_sc_free_oc(nullptr), KOR_OK);
}

}  // namespace
}  // namespace lyrdua::test
