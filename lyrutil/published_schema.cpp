#include "lyrutil/published_schema.hpp"

#include "lyrutil/store_string.hpp"

namespace lyrdua::util {

PublishedSchema::PublishedSchema(const SchemaDraft &draft) {
  for (const std::string &name : draft.syntaxes())
    syntaxes_.push_back(util_syntax{keep(make_tlv(kPrintableStringTag, name))});

  attributes_.reserve(draft.attributes().size());
  for (const AttributeDraft &a : draft.attributes()) {
    util_syntax *syntax = a.syntax < 0 ? nullptr : &syntaxes_[static_cast<size_t>(a.syntax)];
    attributes_.push_back(util_attr{keep(make_tlv(kObjectIdentifierTag, a.oid)), name_list(a.names),
                                    description(a.description), syntax, a.multivalued ? 1u : 0u});
  }

  // Parents point into classes_, so it is sized before any pointer is taken.
  classes_.resize(draft.classes().size());
  parent_lists_.resize(draft.classes().size());
  for (size_t i = 0; i < classes_.size(); ++i) {
    const ClassDraft &c = draft.classes()[i];
    std::vector<util_oc *> &parents = parent_arrays_.emplace_back();
    for (int parent : c.parents) parents.push_back(&classes_[static_cast<size_t>(parent)]);
    parent_lists_[i] = util_parent_list{static_cast<int32_t>(parents.size()), 0, parents.data()};
    classes_[i] =
        util_oc{keep(make_tlv(kObjectIdentifierTag, c.oid)), name_list(c.names),
                description(c.description), parents.empty() ? nullptr : &parent_lists_[i]};
  }

  for (size_t i = 0; i < attributes_.size(); ++i)
    index_record(attributes_[i], static_cast<int32_t>(i), &attribute_keywords_, &attribute_oids_);
  for (size_t i = 0; i < classes_.size(); ++i)
    index_record(classes_[i], static_cast<int32_t>(i), &class_keywords_, &class_oids_);

  view_ = util_schema{static_cast<int16_t>(attributes_.size()), attributes_.data(),
                      static_cast<int16_t>(classes_.size()),    classes_.data(),
                      static_cast<int16_t>(syntaxes_.size()),   syntaxes_.data()};
}

const uint8_t *PublishedSchema::keep(std::string tlv) {
  return reinterpret_cast<const uint8_t *>(strings_.emplace_back(std::move(tlv)).data());
}

util_name_list PublishedSchema::name_list(const std::vector<std::string> &names) {
  std::vector<const uint8_t *> &array = name_arrays_.emplace_back();
  for (const std::string &name : names) array.push_back(keep(make_tlv(kPrintableStringTag, name)));
  auto count = static_cast<int32_t>(array.size());
  return util_name_list{count > 0 ? count - 1 : 0, count, array.data()};
}

const uint8_t *PublishedSchema::description(const std::optional<std::string> &text) {
  return text ? keep(make_tlv(kUtf8StringTag, *text)) : nullptr;
}

template <typename Record>
void PublishedSchema::index_record(const Record &record, int32_t position, KeyIndex *keywords,
                                   KeyIndex *oids) {
  Tlv tlv{};
  for (int32_t n = 0; n < record.names.count; ++n) {
    read_tlv(record.names.names[n], &tlv);
    keywords->add(tlv.contents, tlv.length, position);
  }
  read_tlv(record.oid, &tlv);
  oids->add(tlv.contents, tlv.length, position);
}

util_attr *PublishedSchema::attribute_by_keyword(const char *keyword, uint32_t length) {
  int32_t i = attribute_keywords_.find(reinterpret_cast<const uint8_t *>(keyword), length);
  return i < 0 ? nullptr : &attributes_[static_cast<size_t>(i)];
}

util_attr *PublishedSchema::attribute_by_oid(const uint8_t *contents, uint32_t length) {
  int32_t i = attribute_oids_.find(contents, length);
  return i < 0 ? nullptr : &attributes_[static_cast<size_t>(i)];
}

util_oc *PublishedSchema::class_by_keyword(const char *keyword, uint32_t length) {
  int32_t i = class_keywords_.find(reinterpret_cast<const uint8_t *>(keyword), length);
  return i < 0 ? nullptr : &classes_[static_cast<size_t>(i)];
}

util_oc *PublishedSchema::class_by_oid(const uint8_t *contents, uint32_t length) {
  int32_t i = class_oids_.find(contents, length);
  return i < 0 ? nullptr : &classes_[static_cast<size_t>(i)];
}

}  // namespace lyrdua::util
