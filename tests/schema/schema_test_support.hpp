// Helpers of the schema tests: OID octets from dotted text, the schema
// variable, temporary schema files, and an open schema for the test's length.
#pragma once

#include <gtest/gtest.h>
#include <lyrdua/kor_sc.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/run_tool.hpp"

namespace lyrdua::test {

// BER contents octets of a dotted OID, encoded here independently of the library.
inline std::vector<uint8_t> oid_octets(const std::string &dotted) {
  std::vector<uint64_t> arcs;
  size_t start = 0;
  for (;;) {
    size_t dot = dotted.find('.', start);
    arcs.push_back(std::stoull(dotted.substr(start, dot - start)));
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  std::vector<uint64_t> subidentifiers{arcs[0] * 40 + arcs[1]};
  subidentifiers.insert(subidentifiers.end(), arcs.begin() + 2, arcs.end());
  std::vector<uint8_t> octets;
  for (uint64_t value : subidentifiers) {
    std::vector<uint8_t> groups;
    do {
      groups.insert(groups.begin(), static_cast<uint8_t>((value & 0x7F) | 0x80));
      value >>= 7;
    } while (value != 0);
    groups.back() &= 0x7F;
    octets.insert(octets.end(), groups.begin(), groups.end());
  }
  return octets;
}

// The text with its letters in upper or lower case.
inline std::string recased(std::string text, int (*change)(int)) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [change](unsigned char c) { return static_cast<char>(change(c)); });
  return text;
}
inline std::string upper(const std::string &text) { return recased(text, std::toupper); }
inline std::string lower(const std::string &text) { return recased(text, std::tolower); }

// A PrintableString store string (13, length, characters) of a short text.
inline std::vector<uint8_t> printable_tlv(const std::string &text) {
  std::vector<uint8_t> tlv{0x13, static_cast<uint8_t>(text.size())};
  tlv.insert(tlv.end(), text.begin(), text.end());
  return tlv;
}

// What parts the files of LYRDUA_SCHEMA: ';' on Windows, as in PATH.
#if defined(_WIN32)
const std::string kListSeparator = ";";
#else
const std::string kListSeparator = ":";
#endif

// Sets LYRDUA_SCHEMA for its lifetime; an empty value unsets it.
struct SchemaVariable : EnvVariable {
  explicit SchemaVariable(const std::string &value)
      : EnvVariable("LYRDUA_SCHEMA", value.empty() ? nullptr : value.c_str()) {}
};

// Writes text to a file of the test's temporary folder; returns its path.
inline std::string write_temp_file(const std::string &name, const std::string &text) {
  std::string path = ::testing::TempDir() + "lyrdua_schema_" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// The default schema opened with LYRDUA_SCHEMA set to files (empty: the
// default alone), released at the end of the scope.
class OpenSchema {
 public:
  explicit OpenSchema(const std::string &files = "") : variable_(files) {
    result_ = kor_sc_get_default_schema(&schema_);
  }
  ~OpenSchema() {
    if (result_ == KOR_OK) kor_sc_free_schema(schema_);
  }
  OpenSchema(const OpenSchema &) = delete;
  OpenSchema &operator=(const OpenSchema &) = delete;

  uint32_t result() const { return result_; }
  kor_sc_schema *get() const { return schema_; }

  kor_sc_attr *attr(const std::string &keyword) const {
    kor_sc_attr *attr = nullptr;
    EXPECT_EQ(kor_sc_get_attr_by_keywordA(schema_, keyword.c_str(), -1, &attr), KOR_OK) << keyword;
    return attr;
  }
  kor_sc_oc *oc(const std::string &keyword) const {
    kor_sc_oc *oc = nullptr;
    EXPECT_EQ(kor_sc_get_oc_by_keywordA(schema_, keyword.c_str(), -1, &oc), KOR_OK) << keyword;
    return oc;
  }

 private:
  SchemaVariable variable_;
  kor_sc_schema *schema_ = nullptr;
  uint32_t result_ = 0;
};

// What a ref_ text function lends, or "<error 0x...>".
template <typename Handle>
std::string lent_text(uint32_t(KOR_API *ref)(Handle *, const char **, uint32_t *), Handle *h) {
  const char *text = nullptr;
  uint32_t len = 0;
  uint32_t result = ref(h, &text, &len);
  if (result != KOR_OK) return "<error " + std::to_string(result) + ">";
  return std::string(text, len);
}

inline uint32_t syntax_number(kor_sc_attr *attr) {
  kor_sc_syntax *syntax = nullptr;
  uint32_t value = 0xFFFFFFFFu;
  if (kor_sc_attr_get_syntax(attr, &syntax) != KOR_OK) return value;
  EXPECT_EQ(kor_sc_syntax_get_enum(syntax, &value), KOR_OK);
  return value;
}

inline std::vector<uint8_t> attr_oid(kor_sc_attr *attr) {
  uint8_t buf[256];
  uint32_t len = sizeof buf;
  EXPECT_EQ(kor_sc_attr_get_oid(attr, buf, &len), KOR_OK);
  return std::vector<uint8_t>(buf, buf + len);
}

}  // namespace lyrdua::test
