// The built-in default schema: every attribute type and object class that
// users rely on, found by keyword in any case and by OID, with its names,
// syntax and parents.
#include <gtest/gtest.h>
#include <lyrdua/kor_sc.h>

#include <string>

#include "tests/schema/schema_test_support.hpp"

namespace lyrdua::test {
namespace {

struct AttributeRow {
  const char *oid;
  const char *first_keyword;
  const char *formal_name;
  uint32_t syntax;
};

// Attribute types of the default schema that carry its variety: keywords
// unlike the formal name, a one-letter keyword, the first and a long arc,
// arcs past a gap, no syntax, the second OID tree. The tool tests count the
// records of the whole schema.
const AttributeRow kAttributeTypes[] = {
    {"2.5.4.0", "objectClass", "objectClass", KOR_SC_SYN_OBJECT_IDENTIFIER},
    {"2.5.4.3", "CN", "commonName", KOR_SC_SYN_STRING},
    {"2.5.4.6", "C", "countryName", KOR_SC_SYN_COUNTRY_NAME},
    {"2.5.4.22", "teletexTerminalIdentifier", "teletexTerminalIdentifier",
     KOR_SC_SYN_TELETEX_TERMINAL_IDENTIFIER},
    {"2.5.4.36", "userCertificate", "userCertificate", KOR_SC_SYN_UNDEFINED},
    {"2.5.4.48", "protocolInformation", "protocolInformation", KOR_SC_SYN_PROTOCOL_INFORMATION},
    {"2.5.4.51", "houseIdentifier", "houseIdentifier", KOR_SC_SYN_STRING},
    {"0.9.2342.19200300.100.1.1", "UID", "userid", KOR_SC_SYN_STRING},
    {"0.9.2342.19200300.100.1.3", "mail", "rfc822Mailbox", KOR_SC_SYN_IA5_STRING},
    {"0.9.2342.19200300.100.1.60", "jpegPhoto", "jpegPhoto", KOR_SC_SYN_JPEG_PHOTO},
};

struct ClassRow {
  const char *oid;
  const char *name;
  const char *parent;  // "" for none
};

// Object classes: the root, parents other than top, the other OID trees.
const ClassRow kObjectClasses[] = {
    {"2.5.6.0", "top", ""},
    {"2.5.6.7", "organizationalPerson", "person"},
    {"2.5.6.13", "dSA", "applicationEntity"},
    {"0.9.2342.19200300.100.4.5", "account", "top"},
    {"1.3.6.1.4.1.1466.344", "dcObject", "top"},
    {"2.16.840.1.113730.3.2.2", "inetOrgPerson", "organizationalPerson"},
};

TEST(DefaultSchema, AttributeTypesByOidAndByEveryKeywordInAnyCase) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  for (const AttributeRow &row : kAttributeTypes) {
    SCOPED_TRACE(row.oid);
    std::vector<uint8_t> oid = oid_octets(row.oid);
    kor_sc_attr *by_oid = nullptr;
    ASSERT_EQ(kor_sc_get_attr_by_oid(schema.get(), oid.data(), static_cast<uint32_t>(oid.size()),
                                     &by_oid),
              KOR_OK);
    EXPECT_EQ(lent_text(kor_sc_attr_ref_1st_keywordA, by_oid), row.first_keyword);
    EXPECT_EQ(lent_text(kor_sc_attr_ref_formal_nameA, by_oid), row.formal_name);
    EXPECT_EQ(syntax_number(by_oid), row.syntax);
    EXPECT_EQ(attr_oid(by_oid), oid);
    for (const std::string &keyword :
         {std::string(row.first_keyword), upper(row.first_keyword), lower(row.first_keyword),
          std::string(row.formal_name), upper(row.formal_name), lower(row.formal_name)}) {
      kor_sc_attr *by_keyword = nullptr;
      EXPECT_EQ(kor_sc_get_attr_by_keywordA(schema.get(), keyword.data(),
                                            static_cast<int32_t>(keyword.size()), &by_keyword),
                KOR_OK)
          << keyword;
      EXPECT_EQ(by_keyword, by_oid) << keyword;
    }
  }
}

TEST(DefaultSchema, ObjectClassesByOidAndByNameInAnyCaseWithTheirParent) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  for (const ClassRow &row : kObjectClasses) {
    SCOPED_TRACE(row.oid);
    std::vector<uint8_t> oid = oid_octets(row.oid);
    kor_sc_oc *by_oid = nullptr;
    ASSERT_EQ(
        kor_sc_get_oc_by_oid(schema.get(), oid.data(), static_cast<uint32_t>(oid.size()), &by_oid),
        KOR_OK);
    EXPECT_EQ(lent_text(kor_sc_oc_ref_formal_nameA, by_oid), row.name);
    for (const std::string &keyword : {std::string(row.name), upper(row.name), lower(row.name)}) {
      kor_sc_oc *by_keyword = nullptr;
      EXPECT_EQ(kor_sc_get_oc_by_keywordA(schema.get(), keyword.c_str(), -1, &by_keyword), KOR_OK);
      EXPECT_EQ(by_keyword, by_oid) << keyword;
    }
    kor_sc_oc *parent = nullptr;
    EXPECT_EQ(kor_sc_oc_get_parent_by_idx(by_oid, 0, &parent), KOR_OK);
    if (*row.parent == '\0') {
      EXPECT_EQ(parent, nullptr);
      continue;
    }
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(lent_text(kor_sc_oc_ref_formal_nameA, parent), row.parent);
    // A single superior class: the index past it gives no parent.
    EXPECT_EQ(kor_sc_oc_get_parent_by_idx(by_oid, 1, &parent), KOR_OK);
    EXPECT_EQ(parent, nullptr);
  }
}

// Single-valued only where the schema says SINGLE-VALUE.
TEST(DefaultSchema, MultiValuedUnlessDeclaredSingleValued) {
  OpenSchema schema;
  ASSERT_EQ(schema.result(), KOR_OK);
  EXPECT_EQ(kor_sc_attr_is_multivalued(schema.attr("C")), 0u);
  EXPECT_EQ(kor_sc_attr_is_multivalued(schema.attr("DC")), 0u);
  EXPECT_NE(kor_sc_attr_is_multivalued(schema.attr("CN")), 0u);
  EXPECT_NE(kor_sc_attr_is_multivalued(schema.attr("member")), 0u);
}

}  // namespace
}  // namespace lyrdua::test
