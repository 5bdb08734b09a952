// Keyword translations: values staged, adopted whole, and used by the
// attribute-type lookups in both directions.
#include <gtest/gtest.h>
#include <lyrdua/kor_sc.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/schema/schema_test_support.hpp"

namespace lyrdua::test {
namespace {

class Translations : public ::testing::Test {
 protected:
  // Each test starts with empty pending and active lists.
  void SetUp() override {
    ASSERT_EQ(schema_.result(), KOR_OK);
    kor_start_translations();
    kor_adopt_translations();
  }
  void TearDown() override {
    kor_start_translations();
    kor_adopt_translations();
  }

  static uint32_t process(const std::string &value) {
    return kor_process_attr_trans_value(printable_tlv(value).data(), 0);
  }

  // The attribute that keyword finds (exact length given), or null.
  kor_sc_attr *find(const std::string &keyword) const {
    kor_sc_attr *attr = nullptr;
    kor_sc_get_attr_by_keywordA(schema_.get(), keyword.data(), static_cast<int32_t>(keyword.size()),
                                &attr);
    return attr;
  }

  OpenSchema schema_;
};

TEST_F(Translations, PendingValuesAreUnusedUntilAdopted) {
  ASSERT_EQ(process("CN=name"), KOR_OK);
  EXPECT_EQ(find("name"), schema_.attr("name"));
  kor_adopt_translations();
  EXPECT_EQ(find("name"), schema_.attr("commonName"));
}

TEST_F(Translations, TheExternalKeywordIsShownAsTheFirstKeywordButNotAsFormalName) {
  ASSERT_EQ(process("telephoneNumber=phone"), KOR_OK);
  kor_adopt_translations();
  kor_sc_attr *phone = find("phone");
  ASSERT_EQ(phone, schema_.attr("telephoneNumber"));
  EXPECT_EQ(lent_text(kor_sc_attr_ref_1st_keywordA, phone), "phone");
  char buf[16];
  uint32_t len = sizeof buf;
  EXPECT_EQ(kor_sc_attr_get_1st_keywordA(phone, buf, &len), KOR_OK);
  EXPECT_STREQ(buf, "phone");
  EXPECT_EQ(len, 6u);
  EXPECT_EQ(lent_text(kor_sc_attr_ref_formal_nameA, phone), "telephoneNumber");
}

// The chosen reading: the caller's length is compared before -1 is resolved,
// so a NUL-terminated keyword is never translated.
TEST_F(Translations, ANulTerminatedKeywordIsNotTranslated) {
  ASSERT_EQ(process("CN=fullName"), KOR_OK);
  kor_adopt_translations();
  kor_sc_attr *attr = nullptr;
  EXPECT_EQ(kor_sc_get_attr_by_keywordA(schema_.get(), "fullName", -1, &attr), KOR_SC_E_NOT_FOUND);
  EXPECT_EQ(find("fullName"), schema_.attr("CN"));
}

// Translations compare bytes, unlike the schema's keyword lookups.
TEST_F(Translations, TranslationsCompareKeywordsWithTheirCase) {
  ASSERT_EQ(process("cn=fullName"), KOR_OK);
  kor_adopt_translations();
  EXPECT_EQ(find("FULLNAME"), nullptr);
  // The schema keyword "cn" reaches the store, which ignores case ...
  EXPECT_EQ(find("fullName"), schema_.attr("CN"));
  // ... but the first keyword "CN" is not the bytes "cn", so it is not translated.
  EXPECT_EQ(lent_text(kor_sc_attr_ref_1st_keywordA, schema_.attr("CN")), "CN");
}

struct SplitRow {
  const char *about;
  const char *value;
  const char *schema_keyword;  // the attribute the external keyword then finds
  const char *external;
};

const SplitRow kSplits[] = {
    // The first '=' cuts; the external keyword keeps the second.
    {"two equals signs", "CN=a=b", "commonName", "a=b"},
    // A value ending in its '=' has an empty external keyword (length 0).
    {"empty external keyword", "SN=", "surname", ""},
    // A value beginning with '=' has an empty schema keyword, which finds nothing.
    {"empty schema keyword", "=nothing", nullptr, "nothing"},
};

TEST_F(Translations, AValueIsCutAtItsFirstEqualsSign) {
  for (const SplitRow &row : kSplits) {
    SCOPED_TRACE(row.about);
    kor_start_translations();
    ASSERT_EQ(process(row.value), KOR_OK);
    kor_adopt_translations();
    kor_sc_attr *attr = nullptr;
    uint32_t result = kor_sc_get_attr_by_keywordA(
        schema_.get(), row.external, static_cast<int32_t>(std::strlen(row.external)), &attr);
    if (row.schema_keyword == nullptr) {
      EXPECT_EQ(result, KOR_SC_E_STATUS16);
      continue;
    }
    ASSERT_EQ(result, KOR_OK);
    EXPECT_EQ(attr, schema_.attr(row.schema_keyword));
    EXPECT_EQ(lent_text(kor_sc_attr_ref_1st_keywordA, attr), row.external);
  }
}

TEST_F(Translations, OfTwoValuesWithOneExternalKeywordTheLastProcessedWins) {
  ASSERT_EQ(process("CN=who"), KOR_OK);
  ASSERT_EQ(process("SN=who"), KOR_OK);
  kor_adopt_translations();
  EXPECT_EQ(find("who"), schema_.attr("surname"));
}

TEST_F(Translations, AdoptingTwiceEmptiesTheActiveList) {
  ASSERT_EQ(process("CN=who"), KOR_OK);
  kor_adopt_translations();
  EXPECT_EQ(find("who"), schema_.attr("CN"));
  kor_adopt_translations();
  EXPECT_EQ(find("who"), nullptr);
  EXPECT_EQ(lent_text(kor_sc_attr_ref_1st_keywordA, schema_.attr("CN")), "CN");
}

TEST_F(Translations, StartingAgainDiscardsPendingValuesAndKeepsTheActiveOnes) {
  ASSERT_EQ(process("CN=active"), KOR_OK);
  kor_adopt_translations();
  ASSERT_EQ(process("SN=discarded"), KOR_OK);
  kor_start_translations();
  EXPECT_EQ(find("active"), schema_.attr("CN"));
  kor_adopt_translations();
  EXPECT_EQ(find("discarded"), nullptr);
  EXPECT_EQ(find("active"), nullptr);
}

struct BadValueRow {
  const char *about;
  std::vector<uint8_t> value;
};

TEST_F(Translations, ValuesThatCannotBeTakenAddNothing) {
  const BadValueRow rows[] = {
      {"no equals sign", printable_tlv("CNname")},
      {"empty value", printable_tlv("")},
      // T61String is not a type the store converts.
      {"T61String", {0x14, 0x04, 'C', 'N', '=', 'x'}},
      // A UTF-8 character beyond Latin-1 (the euro sign).
      {"UTF8String beyond Latin-1", {0x0C, 0x06, 'C', 'N', '=', 0xE2, 0x82, 0xAC}},
      {"indefinite length", {0x13, 0x80, 'C', '=', 'x', 0x00, 0x00}},
  };
  ASSERT_EQ(process("SN=kept"), KOR_OK);
  for (const BadValueRow &row : rows) {
    SCOPED_TRACE(row.about);
    EXPECT_EQ(kor_process_attr_trans_value(row.value.data(), 0), KOR_SC_E_FAILED);
  }
  EXPECT_EQ(kor_process_attr_trans_value(nullptr, 0), KOR_SC_E_FAILED);
  kor_adopt_translations();
  // The value pending before the failures is still there.
  EXPECT_EQ(find("kept"), schema_.attr("SN"));
  EXPECT_EQ(find("x"), nullptr);
}

}  // namespace
}  // namespace lyrdua::test
