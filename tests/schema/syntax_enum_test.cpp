// Syntax numbers: the syntax name table found in any case by the store's
// comparison, and names it does not hold.
#include <gtest/gtest.h>
#include <lyrdua/kor_sc.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "lyrutil/schema_store.h"
#include "schema/syntax_names.hpp"
#include "tests/schema/schema_test_support.hpp"

namespace lyrdua::test {
namespace {

struct SyntaxRow {
  const char *name;
  uint32_t value;
};

// The 37 names with the numbers callers rely on, by number.
const SyntaxRow kSyntaxes[] = {
    {"undefinedSyntax", KOR_SC_SYN_UNDEFINED},
    {"objectIdentifierSyntax", KOR_SC_SYN_OBJECT_IDENTIFIER},
    {"aciSyntax", KOR_SC_SYN_ACI},
    {"printableStringSyntax", KOR_SC_SYN_PRINTABLE_STRING},
    {"numericStringSyntax", KOR_SC_SYN_NUMERIC_STRING},
    {"booleanSyntax", KOR_SC_SYN_BOOLEAN},
    {"integerSyntax", KOR_SC_SYN_INTEGER},
    {"octetStringSyntax", KOR_SC_SYN_OCTET_STRING},
    {"uTCTimeSyntax", KOR_SC_SYN_UTC_TIME},
    {"telephoneNumberSyntax", KOR_SC_SYN_TELEPHONE_NUMBER},
    {"presentationAddressSyntax", KOR_SC_SYN_PRESENTATION_ADDRESS},
    {"stringSyntax", KOR_SC_SYN_STRING},
    {"countryNameSyntax", KOR_SC_SYN_COUNTRY_NAME},
    {"stringListSyntax", KOR_SC_SYN_STRING_LIST},
    {"postalAddressSyntax", KOR_SC_SYN_POSTAL_ADDRESS},
    {"telexNumberSyntax", KOR_SC_SYN_TELEX_NUMBER},
    {"teletexTerminalIdentifierSyntax", KOR_SC_SYN_TELETEX_TERMINAL_IDENTIFIER},
    {"facsimileTelephoneNumberSyntax", KOR_SC_SYN_FACSIMILE_TELEPHONE_NUMBER},
    {"integerListSyntax", KOR_SC_SYN_INTEGER_LIST},
    {"searchGuideSyntax", KOR_SC_SYN_SEARCH_GUIDE},
    {"generalizedTimeSyntax", KOR_SC_SYN_GENERALIZED_TIME},
    {"userPasswordSyntax", KOR_SC_SYN_USER_PASSWORD},
    {"bitStringSyntax", KOR_SC_SYN_BIT_STRING},
    {"t61StringSyntax", KOR_SC_SYN_T61_STRING},
    {"mhs-or-address-syntax", KOR_SC_SYN_MHS_OR_ADDRESS},
    {"mhs-or-name-syntax", KOR_SC_SYN_MHS_OR_NAME},
    {"iA5StringSyntax", KOR_SC_SYN_IA5_STRING},
    {"deliveryMethodSyntax", KOR_SC_SYN_DELIVERY_METHOD},
    {"jpegPhotoSyntax", KOR_SC_SYN_JPEG_PHOTO},
    {"protocolInformationSyntax", KOR_SC_SYN_PROTOCOL_INFORMATION},
    {"enumeratedSyntax", KOR_SC_SYN_ENUMERATED},
    {"imageSyntax", KOR_SC_SYN_IMAGE},
    {"audioSyntax", KOR_SC_SYN_AUDIO},
    {"distinguishedNameSyntax", KOR_SC_SYN_DISTINGUISHED_NAME},
    {"qam-mts-oraddress-translation-syntax", KOR_SC_SYN_QAM_MTS_ORADDRESS_TRANSLATION},
    {"qam-mts-print-or-num-syntax", KOR_SC_SYN_QAM_MTS_PRINT_OR_NUM},
    {"qam-mts-routing-domain-gdi-syntax", KOR_SC_SYN_QAM_MTS_ROUTING_DOMAIN_GDI},
};

// The number of a syntax record named by the store string name.
uint32_t number_of(const std::vector<uint8_t> &name) {
  util_syntax record{name.data()};
  uint32_t value = 0xFFFFFFFFu;
  EXPECT_EQ(kor_sc_syntax_get_enum(reinterpret_cast<kor_sc_syntax *>(&record), &value), KOR_OK);
  return value;
}

std::string recased(std::string text, int (*change)(int)) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [change](unsigned char c) { return static_cast<char>(change(c)); });
  return text;
}

TEST(SyntaxNumbers, EveryNameInThreeCasings) {
  ASSERT_EQ(std::size(kSyntaxes), size_t{KOR_SC_SYN_COUNT});
  for (const SyntaxRow &row : kSyntaxes) {
    for (const std::string &name :
         {std::string(row.name), recased(row.name, std::toupper), recased(row.name, std::tolower)})
      EXPECT_EQ(number_of(printable_tlv(name)), row.value) << name;
  }
}

TEST(SyntaxNumbers, NamesOutsideTheTableGiveZero) {
  const char *names[] = {
      "",                          // empty
      "fooSyntax",                 // unknown
      "aciSyntaxx",                // the first row's name with one more letter
      "aciSynta",                  // ... and with one less
      "uTCTimeSyntay",             // past the last row
      "AAA",                       // before the first row
      "distinguishedName Syntax",  // a blank inside
      "mhs_or_name_syntax",        // underscores for hyphens
      "1.3.6.1.4.1.1466.115.121.1.5",
  };
  for (const char *name : names) EXPECT_EQ(number_of(printable_tlv(name)), 0u) << name;
  // A name that is not a readable store string gives 0 as well.
  EXPECT_EQ(number_of({0x13, 0x80}), 0u);
}

// A binary search misses rows unless the table is in the store's order.
TEST(SyntaxNumbers, TheTableIsInTheOrderOfTheStoreComparison) {
  using lyrdua::schema::kSyntaxNameCount;
  using lyrdua::schema::kSyntaxNames;
  ASSERT_EQ(kSyntaxNameCount, size_t{KOR_SC_SYN_COUNT});
  for (size_t i = 0; i + 1 < kSyntaxNameCount; ++i)
    EXPECT_LT(util_string_compare(kSyntaxNames[i].name, kSyntaxNames[i + 1].name), 0)
        << reinterpret_cast<const char *>(kSyntaxNames[i].name + 2);
}

// The syntaxes of a real schema: the fixture's attribute N has syntax number N.
TEST(SyntaxNumbers, TheAllSyntaxesFixtureHoldsEverySyntax) {
  OpenSchema schema("tests/data/schema/all-syntaxes.schema");
  ASSERT_EQ(schema.result(), KOR_OK);
  for (uint32_t n = 1; n <= KOR_SC_SYN_COUNT; ++n) {
    std::vector<uint8_t> oid = oid_octets("1.3.6.1.4.1.32473.1.1." + std::to_string(n));
    kor_sc_attr *attr = nullptr;
    ASSERT_EQ(
        kor_sc_get_attr_by_oid(schema.get(), oid.data(), static_cast<uint32_t>(oid.size()), &attr),
        KOR_OK)
        << n;
    EXPECT_EQ(syntax_number(attr), n);
    kor_sc_syntax *syntax = nullptr;
    ASSERT_EQ(kor_sc_attr_get_syntax(attr, &syntax), KOR_OK);
    EXPECT_EQ(lent_text(kor_sc_syntax_ref_nameA, syntax), kSyntaxes[n - 1].name);
  }
  EXPECT_EQ(syntax_number(schema.attr("unknownSyntaxAttr")), KOR_SC_SYN_UNKNOWN);
}

}  // namespace
}  // namespace lyrdua::test
