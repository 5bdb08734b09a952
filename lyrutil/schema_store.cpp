// The util_ interface: opening the one schema (the built-in default, then the
// files of LYRDUA_SCHEMA), releasing it, and lookups in it.
#include "lyrutil/schema_store.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "lyrutil/default_schema.hpp"
#include "lyrutil/published_schema.hpp"
#include "lyrutil/schema_reader.hpp"
#include "lyrutil/store_string.hpp"
#include "platform/export.hpp"

namespace lyrdua::util {
namespace {

constexpr char kDefaultSchemaName[] = "default.schema (built in)";
constexpr char kSchemaVariable[] = "LYRDUA_SCHEMA";
// The variable is a list of files as PATH is: ';' apart on Windows, whose paths
// hold ':' after the drive letter, ':' elsewhere.
#if defined(_WIN32)
constexpr char kListSeparator = ';';
#else
constexpr char kListSeparator = ':';
#endif

struct Store {
  std::unique_ptr<PublishedSchema> schema;
  uint32_t references = 0;
};

Store &store() {
  static Store instance;
  return instance;
}

void report(const std::string &message) {
  std::fprintf(stderr, "lyrutil: %s\n", message.c_str());
  std::fflush(stderr);
}

bool read_file(const std::string &path, std::string *text, std::string *problem) {
  std::FILE *file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *problem = std::strerror(errno);
    return false;
  }
  char chunk[8192];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text->append(chunk, n);
  bool failed = std::ferror(file) != 0;
  int error = errno;
  std::fclose(file);
  if (failed) *problem = std::strerror(error);
  return !failed;
}

std::vector<std::string> schema_files() {
  std::vector<std::string> files;
  const char *list = std::getenv(kSchemaVariable);
  if (list == nullptr) return files;
  std::string entries(list);
  for (size_t start = 0; start <= entries.size();) {
    size_t end = entries.find(kListSeparator, start);
    if (end == std::string::npos) end = entries.size();
    if (end > start) files.push_back(entries.substr(start, end - start));
    start = end + 1;
  }
  return files;
}

uint32_t read_source(const std::string &name, std::string_view text, SchemaDraft *draft) {
  try {
    read_schema_text(text, draft);
  } catch (const SchemaFileError &error) {
    report(name + ":" + std::to_string(error.line) + ": " + error.problem);
    return UTIL_E_FILE_INVALID;
  }
  return UTIL_OK;
}

uint32_t load_schema(std::unique_ptr<PublishedSchema> *schema) {
  SchemaDraft draft;
  std::string_view built_in(reinterpret_cast<const char *>(kDefaultSchemaText), kDefaultSchemaSize);
  if (uint32_t status = read_source(kDefaultSchemaName, built_in, &draft)) return status;
  for (const std::string &path : schema_files()) {
    std::string text;
    std::string problem;
    if (!read_file(path, &text, &problem)) {
      report(path + ": cannot be read: " + problem);
      return UTIL_E_FILE_UNREADABLE;
    }
    if (uint32_t status = read_source(path, text, &draft)) return status;
  }
  *schema = std::make_unique<PublishedSchema>(draft);
  return UTIL_OK;
}

PublishedSchema *open_schema(util_schema *schema) {
  Store &s = store();
  if (s.schema == nullptr || schema != s.schema->view()) return nullptr;
  return s.schema.get();
}

// The contents of a complete OBJECT IDENTIFIER TLV.
bool oid_tlv_contents(const uint8_t *oid_tlv, Tlv *tlv) {
  return read_tlv(oid_tlv, tlv) && tlv->tag == kObjectIdentifierTag;
}

template <typename Record, typename Find>
uint32_t by_keyword(util_schema *schema, const char *keyword, int32_t len, Record **out,
                    Find find) {
  PublishedSchema *open = open_schema(schema);
  if (open == nullptr) return UTIL_E_NOT_OPEN;
  if (keyword == nullptr || len <= 0) return UTIL_E_BAD_KEYWORD;
  Record *record = (open->*find)(keyword, static_cast<uint32_t>(len));
  if (record == nullptr) return UTIL_E_NO_KEYWORD;
  *out = record;
  return UTIL_OK;
}

template <typename Record, typename Find>
uint32_t by_oid(util_schema *schema, const uint8_t *oid_tlv, Record **out, Find find) {
  PublishedSchema *open = open_schema(schema);
  if (open == nullptr) return UTIL_E_NOT_OPEN;
  Tlv tlv{};
  if (!oid_tlv_contents(oid_tlv, &tlv)) return UTIL_E_BAD_OID;
  Record *record = (open->*find)(tlv.contents, tlv.length);
  if (record == nullptr) return UTIL_E_NO_OID;
  *out = record;
  return UTIL_OK;
}

}  // namespace
}  // namespace lyrdua::util

using namespace lyrdua::util;

extern "C" {

LYRDUA_EXPORT uint32_t UTIL_API util_schema_open(uint32_t) {
  Store &s = store();
  if (s.references > 0) {
    ++s.references;
    return UTIL_OK;
  }
  try {
    if (uint32_t status = load_schema(&s.schema)) return status;
  } catch (const std::bad_alloc &) {
    return UTIL_E_NOMEM;
  }
  s.references = 1;
  return UTIL_OK;
}

LYRDUA_EXPORT util_schema *UTIL_API util_schema_get(void) {
  Store &s = store();
  return s.schema == nullptr ? nullptr : s.schema->view();
}

LYRDUA_EXPORT void UTIL_API util_schema_release(void) {
  Store &s = store();
  if (s.references == 0) return;
  if (--s.references == 0) s.schema.reset();
}

LYRDUA_EXPORT uint32_t UTIL_API util_attr_by_keyword(util_schema *schema, const char *keyword,
                                                     int32_t len, util_attr **out) {
  return by_keyword(schema, keyword, len, out, &PublishedSchema::attribute_by_keyword);
}

LYRDUA_EXPORT uint32_t UTIL_API util_attr_by_oid(util_schema *schema, const uint8_t *oid_tlv,
                                                 util_attr **out) {
  return by_oid(schema, oid_tlv, out, &PublishedSchema::attribute_by_oid);
}

LYRDUA_EXPORT uint32_t UTIL_API util_oc_by_keyword(util_schema *schema, const char *keyword,
                                                   int32_t len, util_oc **out) {
  return by_keyword(schema, keyword, len, out, &PublishedSchema::class_by_keyword);
}

LYRDUA_EXPORT uint32_t UTIL_API util_oc_by_oid(util_schema *schema, const uint8_t *oid_tlv,
                                               util_oc **out) {
  return by_oid(schema, oid_tlv, out, &PublishedSchema::class_by_oid);
}

LYRDUA_EXPORT uint32_t UTIL_API util_attr_is_multivalued(util_attr *attr) {
  return attr == nullptr ? 0 : attr->multivalued;
}

}  // extern "C"
