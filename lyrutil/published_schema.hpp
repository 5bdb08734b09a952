// The schema as the store hands it out: the record arrays of schema_store.h,
// the store strings they point to, and the lookup indexes over them.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "lyrutil/key_index.hpp"
#include "lyrutil/schema_draft.hpp"
#include "lyrutil/schema_store.h"

namespace lyrdua::util {

class PublishedSchema {
 public:
  explicit PublishedSchema(const SchemaDraft &draft);
  PublishedSchema(const PublishedSchema &) = delete;
  PublishedSchema &operator=(const PublishedSchema &) = delete;

  util_schema *view() { return &view_; }

  // Records by keyword (ASCII case ignored) or by OID contents; null when absent.
  util_attr *attribute_by_keyword(const char *keyword, uint32_t length);
  util_attr *attribute_by_oid(const uint8_t *contents, uint32_t length);
  util_oc *class_by_keyword(const char *keyword, uint32_t length);
  util_oc *class_by_oid(const uint8_t *contents, uint32_t length);

 private:
  const uint8_t *keep(std::string tlv);
  util_name_list name_list(const std::vector<std::string> &names);
  const uint8_t *description(const std::optional<std::string> &text);
  template <typename Record>
  void index_record(const Record &record, int32_t position, KeyIndex *keywords, KeyIndex *oids);

  std::deque<std::string> strings_;  // store strings; a deque keeps their addresses
  std::deque<std::vector<const uint8_t *>> name_arrays_;
  std::deque<std::vector<util_oc *>> parent_arrays_;
  std::vector<util_syntax> syntaxes_;
  std::vector<util_attr> attributes_;
  std::vector<util_oc> classes_;
  std::vector<util_parent_list> parent_lists_;
  KeyIndex attribute_keywords_{KeyIndex::Match::kIgnoreAsciiCase};
  KeyIndex attribute_oids_{KeyIndex::Match::kBytes};
  KeyIndex class_keywords_{KeyIndex::Match::kIgnoreAsciiCase};
  KeyIndex class_oids_{KeyIndex::Match::kBytes};
  util_schema view_{};
};

}  // namespace lyrdua::util
