// Syntax numbers: every syntax name found in any case by the store's
// comparison, and names it does not hold.
#include <gtest/gtest.h>
#include <lyrdua/kor_sc.h>

#include <string>
#include <vector>

#include "lyrutil/schema_store.h"
#include "tests/schema/schema_test_support.hpp"

namespace lyrdua::test {
namespace {

// The number of a syntax record named by the store string name.
uint32_t number_of(const std::vector<uint8_t> &name) {
  util_syntax record{name.data()};
  uint32_t value = 0xFFFFFFFFu;
  EXPECT_EQ(kor_sc_syntax_get_enum(reinterpret_cast<kor_sc_syntax *>(&record), &value), KOR_OK);
  return value;
}

// The fixture's attribute N has the syntax of number N, and names it in its
// description ("attribute of NAME"); the name is found in any case (a binary
// search also misses rows of a table out of the store's order).
TEST(SyntaxNumbers, EveryNameOfTheFixtureInThreeCasings) {
  OpenSchema schema("tests/data/schema/all-syntaxes.schema");
  ASSERT_EQ(schema.result(), KOR_OK);
  for (uint32_t n = 1; n <= KOR_SC_SYN_COUNT; ++n) {
    SCOPED_TRACE(n);
    std::vector<uint8_t> oid = oid_octets("1.3.6.1.4.1.32473.1.1." + std::to_string(n));
    kor_sc_attr *attr = nullptr;
    ASSERT_EQ(
        kor_sc_get_attr_by_oid(schema.get(), oid.data(), static_cast<uint32_t>(oid.size()), &attr),
        KOR_OK);
    EXPECT_EQ(syntax_number(attr), n);
    const std::string name =
        lent_text(kor_sc_attr_ref_descriptionA, attr).substr(std::string("attribute of ").size());
    kor_sc_syntax *syntax = nullptr;
    ASSERT_EQ(kor_sc_attr_get_syntax(attr, &syntax), KOR_OK);
    EXPECT_EQ(lent_text(kor_sc_syntax_ref_nameA, syntax), name);
    for (const std::string &spelling : {name, upper(name), lower(name)})
      EXPECT_EQ(number_of(printable_tlv(spelling)), n) << spelling;
  }
  EXPECT_EQ(syntax_number(schema.attr("unknownSyntaxAttr")), KOR_SC_SYN_UNKNOWN);
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

}  // namespace
}  // namespace lyrdua::test
