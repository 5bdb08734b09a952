// lyrdua schema attr|oc|list: attribute types and object classes of the
// schema that the library opens (the built-in default and LYRDUA_SCHEMA).
//
// The C API has no way to walk the schema or to list every name of a record,
// so list and the names line read the store's records (their layout is in
// lyrutil/schema_store.h; the handles are those records) and decode the names
// with the BER reader. Everything else goes through kor_sc_.
#include <lyrdua/kor_ahs.h>
#include <lyrdua/kor_asn1.h>
#include <lyrdua/kor_sc.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lyrutil/schema_store.h"
#include "tools/commands.hpp"
#include "tools/conversion.hpp"
#include "tools/hex.hpp"

namespace lyrdua::tool {
namespace {

// The contents octets of a dotted OID, through the OID syntax handler.
bool oid_contents(const std::string &dotted, std::vector<uint8_t> *contents) {
  uint8_t buffer[256];
  Context ctx(kor_asn1_new_ctx());
  if (!ctx) return false;
  kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  if (kor_ahs_ExtToInt_OidA(dotted.data(), static_cast<int32_t>(dotted.size()), ctx.get(), 0) != 0)
    return false;
  uint8_t *tlv = nullptr;
  uint32_t tlv_len = 0;
  kor_asn1_get_buf(ctx.get(), &tlv, &tlv_len);
  kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_DECODE, tlv, tlv_len);
  kor_asn1_expect_tag(ctx.get(), KOR_ASN1_TAG_OID);
  const uint8_t *octets = nullptr;
  uint32_t n = 0;
  kor_asn1_get_octets(ctx.get(), &octets, &n);
  if (kor_asn1_errno(ctx.get()) != 0 || n == 0) return false;
  contents->assign(octets, octets + n);
  return true;
}

// The dotted text of OID contents, through the OID syntax handler; hex when
// the handler cannot read them.
std::string dotted_oid(const uint8_t *contents, uint32_t n) {
  uint8_t buffer[300];
  char text[1024];
  uint32_t text_len = sizeof text;
  Context ctx(kor_asn1_new_ctx());
  if (!ctx) return to_hex(contents, n);
  kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  kor_asn1_put_octets(ctx.get(), contents, n);
  kor_asn1_put_tag(ctx.get(), KOR_ASN1_TAG_OID);
  uint8_t *tlv = nullptr;
  uint32_t tlv_len = 0;
  kor_asn1_get_buf(ctx.get(), &tlv, &tlv_len);
  kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_DECODE, tlv, tlv_len);
  if (tlv == nullptr || kor_ahs_IntToExt_OidA(ctx.get(), text, &text_len, 0) != 0)
    return to_hex(contents, n);
  return std::string(text, text_len);
}

// The text of a name of the store: a PrintableString TLV.
std::string name_text(const uint8_t *name) {
  Context ctx(kor_asn1_new_ctx());
  if (!ctx) return "?";
  kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_DECODE, const_cast<uint8_t *>(name), 256);
  kor_asn1_get_tag(ctx.get());
  const uint8_t *octets = nullptr;
  uint32_t n = 0;
  kor_asn1_get_octets(ctx.get(), &octets, &n);
  if (kor_asn1_errno(ctx.get()) != 0) return "?";
  return std::string(reinterpret_cast<const char *>(octets), n);
}

std::string names_text(const util_name_list &names) {
  std::string text;
  for (int32_t i = 0; i < names.count; ++i) text += (i > 0 ? ", " : "") + name_text(names.names[i]);
  return text;
}

template <typename Handle>
std::string lent(uint32_t(KOR_API *ref)(Handle *, const char **, uint32_t *), Handle *handle) {
  const char *text = nullptr;
  uint32_t len = 0;
  if (ref(handle, &text, &len) != KOR_OK) return "?";
  return std::string(text, len);
}

template <typename Handle>
std::string oid_of(uint32_t(KOR_API *ref)(Handle *, const uint8_t **, uint32_t *), Handle *handle) {
  const uint8_t *oid = nullptr;
  uint32_t len = 0;
  if (ref(handle, &oid, &len) != KOR_OK) return "?";
  return dotted_oid(oid, len);
}

std::string syntax_text(kor_sc_attr *attr) {
  kor_sc_syntax *syntax = nullptr;
  if (kor_sc_attr_get_syntax(attr, &syntax) != KOR_OK) return "none";
  uint32_t number = 0;
  kor_sc_syntax_get_enum(syntax, &number);
  return lent(kor_sc_syntax_ref_nameA, syntax) + " (" + std::to_string(number) + ")";
}

void print_field(const char *label, const std::string &value) {
  std::printf("%-14s %s\n", label, value.c_str());
}

bool is_oid_argument(const std::string &word) {
  return !word.empty() && word[0] >= '0' && word[0] <= '9';
}

std::string not_found(const char *kind, const std::string &word, uint32_t result) {
  return std::string("no ") + kind + " '" + word + "' in the schema (" + code_text(result) + ")";
}

// Looks word up as a dotted OID (by_oid) or as a keyword (by_keyword); 0 or
// the result code, with *problem set on failure.
template <typename Handle>
uint32_t look_up(const CommandSchema &schema, const std::string &word, const char *kind,
                 uint32_t(KOR_API *by_oid)(kor_sc_schema *, const uint8_t *, uint32_t, Handle **),
                 uint32_t(KOR_API *by_keyword)(kor_sc_schema *, const char *, int32_t, Handle **),
                 Handle **handle, std::string *problem) {
  if (!is_oid_argument(word)) {
    uint32_t result =
        by_keyword(schema.get(), word.data(), static_cast<int32_t>(word.size()), handle);
    if (result != KOR_OK) *problem = not_found(kind, word, result);
    return result;
  }
  std::vector<uint8_t> contents;
  if (!oid_contents(word, &contents)) {
    *problem = "'" + word + "' is not an object identifier";
    return KOR_SC_E_FAILED;
  }
  uint32_t result =
      by_oid(schema.get(), contents.data(), static_cast<uint32_t>(contents.size()), handle);
  if (result != KOR_OK) *problem = not_found(kind, word, result);
  return result;
}

// Opens the schema and checks that args is one word; false after complaining.
bool start(const CommandSchema &schema, const Args &args, size_t words, int *status) {
  if (args.size() != words) {
    complain(words == 0 ? "schema list takes no arguments"
                        : "give one keyword or dotted object identifier");
    *status = kExitUsage;
    return false;
  }
  if (schema.opened()) return true;
  *status = kExitFailure;
  return false;
}

// Every class above oc, nearest first, each once.
std::vector<kor_sc_oc *> ancestors(kor_sc_oc *oc) {
  std::vector<kor_sc_oc *> found{oc};
  for (size_t i = 0; i < found.size(); ++i) {
    kor_sc_oc *parent = nullptr;
    for (int32_t idx = 0; kor_sc_oc_get_parent_by_idx(found[i], idx, &parent) == KOR_OK && parent;
         ++idx) {
      bool seen = false;
      for (kor_sc_oc *known : found) seen = seen || known == parent;
      if (!seen) found.push_back(parent);
    }
  }
  found.erase(found.begin());
  return found;
}

std::string parents_text(kor_sc_oc *oc) {
  std::string text;
  kor_sc_oc *parent = nullptr;
  for (int32_t idx = 0; kor_sc_oc_get_parent_by_idx(oc, idx, &parent) == KOR_OK && parent; ++idx)
    text += (idx > 0 ? ", " : "") + lent(kor_sc_oc_ref_formal_nameA, parent);
  return text.empty() ? "none" : text;
}

}  // namespace

int run_schema_attr(const Args &args) {
  CommandSchema schema;
  int status = kExitOk;
  if (!start(schema, args, 1, &status)) return status;
  kor_sc_attr *attr = nullptr;
  std::string problem;
  if (look_up(schema, args[0], "attribute type", kor_sc_get_attr_by_oid,
              kor_sc_get_attr_by_keywordA, &attr, &problem) != KOR_OK) {
    complain(problem);
    return kExitFailure;
  }
  print_field("OID", oid_of(kor_sc_attr_ref_oid, attr));
  print_field("names", names_text(reinterpret_cast<const util_attr *>(attr)->names));
  print_field("first keyword", lent(kor_sc_attr_ref_1st_keywordA, attr));
  print_field("formal name", lent(kor_sc_attr_ref_formal_nameA, attr));
  print_field("description", lent(kor_sc_attr_ref_descriptionA, attr));
  print_field("syntax", syntax_text(attr));
  print_field("multi-valued", kor_sc_attr_is_multivalued(attr) != 0 ? "yes" : "no");
  return kExitOk;
}

int run_schema_oc(const Args &args) {
  CommandSchema schema;
  int status = kExitOk;
  if (!start(schema, args, 1, &status)) return status;
  kor_sc_oc *oc = nullptr;
  std::string problem;
  if (look_up(schema, args[0], "object class", kor_sc_get_oc_by_oid, kor_sc_get_oc_by_keywordA, &oc,
              &problem) != KOR_OK) {
    complain(problem);
    return kExitFailure;
  }
  std::string all;
  for (kor_sc_oc *ancestor : ancestors(oc))
    all += (all.empty() ? "" : ", ") + lent(kor_sc_oc_ref_formal_nameA, ancestor);
  print_field("OID", oid_of(kor_sc_oc_ref_oid, oc));
  print_field("names", names_text(reinterpret_cast<const util_oc *>(oc)->names));
  print_field("formal name", lent(kor_sc_oc_ref_formal_nameA, oc));
  print_field("description", lent(kor_sc_oc_ref_descriptionA, oc));
  print_field("parents", parents_text(oc));
  print_field("ancestors", all.empty() ? "none" : all);
  return kExitOk;
}

int run_schema_list(const Args &args) {
  CommandSchema schema;
  int status = kExitOk;
  if (!start(schema, args, 0, &status)) return status;
  const auto &records = *reinterpret_cast<const util_schema *>(schema.get());
  std::printf("attribute types (%d)\n", records.attr_count);
  for (int16_t i = 0; i < records.attr_count; ++i) {
    auto *attr = reinterpret_cast<kor_sc_attr *>(&records.attrs[i]);
    std::printf("  %-28s %-30s %s\n", oid_of(kor_sc_attr_ref_oid, attr).c_str(),
                lent(kor_sc_attr_ref_1st_keywordA, attr).c_str(), syntax_text(attr).c_str());
  }
  std::printf("object classes (%d)\n", records.oc_count);
  for (int16_t i = 0; i < records.oc_count; ++i) {
    auto *oc = reinterpret_cast<kor_sc_oc *>(&records.ocs[i]);
    std::printf("  %-28s %-30s %s\n", oid_of(kor_sc_oc_ref_oid, oc).c_str(),
                lent(kor_sc_oc_ref_formal_nameA, oc).c_str(), parents_text(oc).c_str());
  }
  return kExitOk;
}

}  // namespace lyrdua::tool
