#include "lyrutil/schema_draft.hpp"

#include <cstdint>
#include <unordered_set>

#include "lyrutil/object_identifier.hpp"
#include "lyrutil/store_string.hpp"
#include "lyrutil/store_syntaxes.hpp"

namespace lyrdua::util {
namespace {

// Records per array: the schema counts them in signed 16 bits.
constexpr size_t kMaxRecords = INT16_MAX;
// Longest OID contents: the library looks OIDs up through a 256-octet TLV.
constexpr size_t kMaxOidContents = 253;

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A name (RFC 4512 descr): a letter, then letters, digits and hyphens.
bool is_name(const std::string &text) {
  if (text.empty() || !is_letter(text[0])) return false;
  for (char c : text)
    if (!is_letter(c) && !is_digit(c) && c != '-') return false;
  return true;
}

[[noreturn]] void fail(int line, std::string problem) {
  throw SchemaFileError{line, std::move(problem)};
}

std::string quoted(const std::string &text) { return "'" + text + "'"; }

bool same_ignoring_case(const std::string &a, const std::string &b) {
  return folded(a) == folded(b);
}

// Takes a "{len}" bound off a syntax; the bound itself is not kept.
std::string without_length_bound(const Word &syntax) {
  size_t brace = syntax.text.find('{');
  if (brace == std::string::npos) return syntax.text;
  std::string bound = syntax.text.substr(brace + 1);
  bool digits = bound.size() >= 2 && bound.back() == '}';
  for (size_t i = 0; digits && i + 1 < bound.size(); ++i) digits = is_digit(bound[i]);
  if (!digits || brace == 0) fail(syntax.line, "bad length bound in " + quoted(syntax.text));
  return syntax.text.substr(0, brace);
}

std::string encoded_oid(const std::string &dotted, int line) {
  std::string contents;
  std::string problem;
  if (!oid_contents(dotted, &contents, &problem)) fail(line, problem);
  if (contents.size() > kMaxOidContents) fail(line, "object identifier " + dotted + " is too long");
  return contents;
}

}  // namespace

std::string folded(const std::string &name) {
  std::string result(name);
  for (char &c : result) c = static_cast<char>(fold_ascii(static_cast<uint8_t>(c)));
  return result;
}

SchemaDraft::SchemaDraft() {
  for (size_t i = 0; i < kStoreSyntaxCount; ++i) syntaxes_.emplace_back(kStoreSyntaxNames[i]);
}

std::string SchemaDraft::dotted_oid(const Word &word) const {
  if (word.text.empty() || is_digit(word.text[0])) return word.text;
  // An object identifier macro, alone or as "macro:suffix".
  size_t colon = word.text.find(':');
  std::string macro = word.text.substr(0, colon);
  auto found = macros_.find(folded(macro));
  if (found == macros_.end()) fail(word.line, "unknown object identifier macro " + quoted(macro));
  if (colon == std::string::npos) return found->second;
  return found->second + "." + word.text.substr(colon + 1);
}

void SchemaDraft::add_oid_macro(const Word &name, const Word &value) {
  if (!is_name(name.text)) fail(name.line, quoted(name.text) + " is not a valid name");
  std::string dotted = dotted_oid(value);
  encoded_oid(dotted, value.line);
  macros_[folded(name.text)] = dotted;
}

int SchemaDraft::find(const NameMap &names, const OidMap &oids, const Word &reference) const {
  if (!reference.text.empty() && is_digit(reference.text[0])) {
    auto found = oids.find(encoded_oid(reference.text, reference.line));
    return found == oids.end() ? -1 : found->second;
  }
  auto found = names.find(folded(reference.text));
  return found == names.end() ? -1 : found->second;
}

int SchemaDraft::syntax_position(const Word &syntax) {
  std::string name = without_length_bound(syntax);
  if (!name.empty() && is_digit(name[0])) {
    encoded_oid(name, syntax.line);
    for (size_t i = 0; i < kLdapSyntaxCount; ++i)
      if (name == kLdapSyntaxes[i].oid) name = kLdapSyntaxes[i].name;
    for (size_t i = 0; i < syntaxes_.size(); ++i)
      if (syntaxes_[i] == name) return static_cast<int>(i);
    // A syntax OID without a counterpart becomes a syntax of its own.
    if (syntaxes_.size() >= kMaxRecords) fail(syntax.line, "more than 32767 syntaxes");
    syntaxes_.push_back(name);
    return static_cast<int>(syntaxes_.size() - 1);
  }
  for (size_t i = 0; i < kStoreSyntaxCount; ++i)
    if (same_ignoring_case(name, syntaxes_[i])) return static_cast<int>(i);
  fail(syntax.line, "unknown syntax " + quoted(name));
}

std::optional<std::string> SchemaDraft::checked_description(
    const std::optional<Word> &description) const {
  if (!description) return std::nullopt;
  std::string latin1;
  if (!utf8_to_latin1(description->text, &latin1))
    fail(description->line, "DESC is not UTF-8 text within Latin-1");
  return description->text;
}

template <typename Draft>
int SchemaDraft::place(std::vector<Draft> *records, NameMap *names, OidMap *oids, const char *kind,
                       const Word &oid, const std::vector<Word> &new_names, Draft draft) {
  auto earlier = oids->find(draft.oid);
  int position = earlier == oids->end() ? -1 : earlier->second;
  std::unordered_set<std::string> seen;
  for (const Word &name : new_names) {
    if (!is_name(name.text)) fail(name.line, quoted(name.text) + " is not a valid name");
    std::string key = folded(name.text);
    if (!seen.insert(key).second) fail(name.line, "name " + quoted(name.text) + " is given twice");
    auto owner = names->find(key);
    if (owner != names->end() && owner->second != position) {
      fail(name.line, "name " + quoted(name.text) + " is already used by " + kind + " " +
                          (*records)[static_cast<size_t>(owner->second)].dotted);
    }
    draft.names.push_back(name.text);
  }
  if (position < 0) {
    if (records->size() >= kMaxRecords)
      fail(oid.line, std::string("more than 32767 ") + kind + " definitions");
    position = static_cast<int>(records->size());
    records->emplace_back();
    (*oids)[draft.oid] = position;
  } else {
    // A later definition with the same OID replaces the earlier one in its place.
    for (const std::string &name : (*records)[static_cast<size_t>(position)].names)
      names->erase(folded(name));
  }
  for (const std::string &name : draft.names) (*names)[folded(name)] = position;
  (*records)[static_cast<size_t>(position)] = std::move(draft);
  return position;
}

void SchemaDraft::add_attribute(const AttributeDefinition &definition) {
  AttributeDraft draft;
  draft.dotted = dotted_oid(definition.oid);
  draft.oid = encoded_oid(draft.dotted, definition.oid.line);
  draft.description = checked_description(definition.description);
  if (definition.superior) {
    int superior = find(attribute_names_, attribute_oids_, *definition.superior);
    if (superior < 0) {
      fail(definition.superior->line,
           "unknown superior attribute type " + quoted(definition.superior->text));
    }
    draft.syntax = attributes_[static_cast<size_t>(superior)].syntax;
  }
  if (definition.syntax) draft.syntax = syntax_position(*definition.syntax);
  draft.multivalued = !definition.single_value;
  place(&attributes_, &attribute_names_, &attribute_oids_, "attribute type", definition.oid,
        definition.names, std::move(draft));
}

void SchemaDraft::add_class(const ClassDefinition &definition) {
  ClassDraft draft;
  draft.dotted = dotted_oid(definition.oid);
  draft.oid = encoded_oid(draft.dotted, definition.oid.line);
  draft.description = checked_description(definition.description);
  for (const Word &superior : definition.superiors) {
    int parent = find(class_names_, class_oids_, superior);
    if (parent < 0) fail(superior.line, "unknown superior object class " + quoted(superior.text));
    draft.parents.push_back(parent);
  }
  place(&classes_, &class_names_, &class_oids_, "object class", definition.oid, definition.names,
        std::move(draft));
}

}  // namespace lyrdua::util
