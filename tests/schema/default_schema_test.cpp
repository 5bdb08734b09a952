// The built-in default schema: every attribute type and object class that
// users rely on, found by keyword in any case and by OID, with its names,
// syntax and parents.
#include <gtest/gtest.h>
#include <lyrdua/kor_sc.h>

#include <algorithm>
#include <cctype>
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

// One row per attribute type of the default schema's documentation.
const AttributeRow kAttributeTypes[] = {
    {"2.5.4.0", "objectClass", "objectClass", KOR_SC_SYN_OBJECT_IDENTIFIER},
    {"2.5.4.1", "aliasedObjectName", "aliasedObjectName", KOR_SC_SYN_DISTINGUISHED_NAME},
    {"2.5.4.2", "knowledgeInformation", "knowledgeInformation", KOR_SC_SYN_STRING},
    {"2.5.4.3", "CN", "commonName", KOR_SC_SYN_STRING},
    {"2.5.4.4", "SN", "surname", KOR_SC_SYN_STRING},
    {"2.5.4.5", "serialNumber", "serialNumber", KOR_SC_SYN_PRINTABLE_STRING},
    {"2.5.4.6", "C", "countryName", KOR_SC_SYN_COUNTRY_NAME},
    {"2.5.4.7", "L", "localityName", KOR_SC_SYN_STRING},
    {"2.5.4.8", "ST", "stateOrProvinceName", KOR_SC_SYN_STRING},
    {"2.5.4.9", "STREET", "streetAddress", KOR_SC_SYN_STRING},
    {"2.5.4.10", "O", "organizationName", KOR_SC_SYN_STRING},
    {"2.5.4.11", "OU", "organizationalUnitName", KOR_SC_SYN_STRING},
    {"2.5.4.12", "title", "title", KOR_SC_SYN_STRING},
    {"2.5.4.13", "description", "description", KOR_SC_SYN_STRING},
    {"2.5.4.14", "searchGuide", "searchGuide", KOR_SC_SYN_SEARCH_GUIDE},
    {"2.5.4.15", "businessCategory", "businessCategory", KOR_SC_SYN_STRING},
    {"2.5.4.16", "postalAddress", "postalAddress", KOR_SC_SYN_POSTAL_ADDRESS},
    {"2.5.4.17", "postalCode", "postalCode", KOR_SC_SYN_STRING},
    {"2.5.4.18", "postOfficeBox", "postOfficeBox", KOR_SC_SYN_STRING},
    {"2.5.4.19", "physicalDeliveryOfficeName", "physicalDeliveryOfficeName", KOR_SC_SYN_STRING},
    {"2.5.4.20", "telephoneNumber", "telephoneNumber", KOR_SC_SYN_TELEPHONE_NUMBER},
    {"2.5.4.21", "telexNumber", "telexNumber", KOR_SC_SYN_TELEX_NUMBER},
    {"2.5.4.22", "teletexTerminalIdentifier", "teletexTerminalIdentifier",
     KOR_SC_SYN_TELETEX_TERMINAL_IDENTIFIER},
    {"2.5.4.23", "facsimileTelephoneNumber", "facsimileTelephoneNumber",
     KOR_SC_SYN_FACSIMILE_TELEPHONE_NUMBER},
    {"2.5.4.24", "x121Address", "x121Address", KOR_SC_SYN_NUMERIC_STRING},
    {"2.5.4.25", "internationalISDNNumber", "internationalISDNNumber", KOR_SC_SYN_NUMERIC_STRING},
    {"2.5.4.26", "registeredAddress", "registeredAddress", KOR_SC_SYN_POSTAL_ADDRESS},
    {"2.5.4.27", "destinationIndicator", "destinationIndicator", KOR_SC_SYN_PRINTABLE_STRING},
    {"2.5.4.28", "preferredDeliveryMethod", "preferredDeliveryMethod", KOR_SC_SYN_DELIVERY_METHOD},
    {"2.5.4.29", "presentationAddress", "presentationAddress", KOR_SC_SYN_PRESENTATION_ADDRESS},
    {"2.5.4.30", "supportedApplicationContext", "supportedApplicationContext",
     KOR_SC_SYN_OBJECT_IDENTIFIER},
    {"2.5.4.31", "member", "member", KOR_SC_SYN_DISTINGUISHED_NAME},
    {"2.5.4.32", "owner", "owner", KOR_SC_SYN_DISTINGUISHED_NAME},
    {"2.5.4.33", "roleOccupant", "roleOccupant", KOR_SC_SYN_DISTINGUISHED_NAME},
    {"2.5.4.34", "seeAlso", "seeAlso", KOR_SC_SYN_DISTINGUISHED_NAME},
    {"2.5.4.35", "userPassword", "userPassword", KOR_SC_SYN_USER_PASSWORD},
    {"2.5.4.36", "userCertificate", "userCertificate", KOR_SC_SYN_UNDEFINED},
    {"2.5.4.37", "cACertificate", "cACertificate", KOR_SC_SYN_UNDEFINED},
    {"2.5.4.38", "authorityRevocationList", "authorityRevocationList", KOR_SC_SYN_UNDEFINED},
    {"2.5.4.39", "certificateRevocationList", "certificateRevocationList", KOR_SC_SYN_UNDEFINED},
    {"2.5.4.40", "crossCertificatePair", "crossCertificatePair", KOR_SC_SYN_UNDEFINED},
    {"2.5.4.41", "name", "name", KOR_SC_SYN_STRING},
    {"2.5.4.42", "GN", "givenName", KOR_SC_SYN_STRING},
    {"2.5.4.43", "initials", "initials", KOR_SC_SYN_STRING},
    {"2.5.4.44", "generationQualifier", "generationQualifier", KOR_SC_SYN_STRING},
    {"2.5.4.45", "x500UniqueIdentifier", "x500UniqueIdentifier", KOR_SC_SYN_BIT_STRING},
    {"2.5.4.46", "dnQualifier", "dnQualifier", KOR_SC_SYN_PRINTABLE_STRING},
    {"2.5.4.48", "protocolInformation", "protocolInformation", KOR_SC_SYN_PROTOCOL_INFORMATION},
    {"2.5.4.49", "distinguishedName", "distinguishedName", KOR_SC_SYN_DISTINGUISHED_NAME},
    {"2.5.4.50", "uniqueMember", "uniqueMember", KOR_SC_SYN_DISTINGUISHED_NAME},
    {"2.5.4.51", "houseIdentifier", "houseIdentifier", KOR_SC_SYN_STRING},
    {"0.9.2342.19200300.100.1.1", "UID", "userid", KOR_SC_SYN_STRING},
    {"0.9.2342.19200300.100.1.3", "mail", "rfc822Mailbox", KOR_SC_SYN_IA5_STRING},
    {"0.9.2342.19200300.100.1.10", "manager", "manager", KOR_SC_SYN_DISTINGUISHED_NAME},
    {"0.9.2342.19200300.100.1.20", "homePhone", "homeTelephoneNumber", KOR_SC_SYN_TELEPHONE_NUMBER},
    {"0.9.2342.19200300.100.1.23", "lastModifiedTime", "lastModifiedTime", KOR_SC_SYN_UTC_TIME},
    {"0.9.2342.19200300.100.1.24", "lastModifiedBy", "lastModifiedBy",
     KOR_SC_SYN_DISTINGUISHED_NAME},
    {"0.9.2342.19200300.100.1.25", "DC", "domainComponent", KOR_SC_SYN_IA5_STRING},
    {"0.9.2342.19200300.100.1.37", "associatedDomain", "associatedDomain", KOR_SC_SYN_IA5_STRING},
    {"0.9.2342.19200300.100.1.39", "homePostalAddress", "homePostalAddress",
     KOR_SC_SYN_POSTAL_ADDRESS},
    {"0.9.2342.19200300.100.1.41", "mobile", "mobileTelephoneNumber", KOR_SC_SYN_TELEPHONE_NUMBER},
    {"0.9.2342.19200300.100.1.43", "co", "friendlyCountryName", KOR_SC_SYN_STRING},
    {"0.9.2342.19200300.100.1.47", "mailPreferenceOption", "mailPreferenceOption",
     KOR_SC_SYN_INTEGER},
    {"0.9.2342.19200300.100.1.55", "audio", "audio", KOR_SC_SYN_AUDIO},
    {"0.9.2342.19200300.100.1.60", "jpegPhoto", "jpegPhoto", KOR_SC_SYN_JPEG_PHOTO},
};

struct ClassRow {
  const char *oid;
  const char *name;
  const char *parent;  // "" for none
};

// One row per object class of the default schema's documentation.
const ClassRow kObjectClasses[] = {
    {"2.5.6.0", "top", ""},
    {"2.5.6.1", "alias", "top"},
    {"2.5.6.2", "country", "top"},
    {"2.5.6.3", "locality", "top"},
    {"2.5.6.4", "organization", "top"},
    {"2.5.6.5", "organizationalUnit", "top"},
    {"2.5.6.6", "person", "top"},
    {"2.5.6.7", "organizationalPerson", "person"},
    {"2.5.6.8", "organizationalRole", "top"},
    {"2.5.6.9", "groupOfNames", "top"},
    {"2.5.6.10", "residentialPerson", "person"},
    {"2.5.6.11", "applicationProcess", "top"},
    {"2.5.6.12", "applicationEntity", "top"},
    {"2.5.6.13", "dSA", "applicationEntity"},
    {"2.5.6.14", "device", "top"},
    {"2.5.6.15", "strongAuthenticationUser", "top"},
    {"2.5.6.16", "certificationAuthority", "top"},
    {"2.5.6.17", "groupOfUniqueNames", "top"},
    {"0.9.2342.19200300.100.4.5", "account", "top"},
    {"0.9.2342.19200300.100.4.13", "domain", "top"},
    {"1.3.6.1.4.1.1466.344", "dcObject", "top"},
    {"2.16.840.1.113730.3.2.2", "inetOrgPerson", "organizationalPerson"},
};

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

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
