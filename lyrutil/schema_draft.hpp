// The schema while its files are read: definitions are checked, resolved
// against what was defined before them, and added or put in place of an
// earlier definition with the same OID.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace lyrdua::util {

// A definition that cannot be taken: the line it is on and what is wrong.
struct SchemaFileError {
  int line;
  std::string problem;
};

// A word of a schema file with the line it stands on.
struct Word {
  std::string text;
  int line = 0;
};

struct AttributeDefinition {
  Word oid;  // numeric, or an object identifier macro
  std::vector<Word> names;
  std::optional<Word> description;  // UTF-8
  std::optional<Word> superior;
  std::optional<Word> syntax;  // syntax name or LDAP syntax OID, maybe with {len}
  bool single_value = false;
};

struct ClassDefinition {
  Word oid;
  std::vector<Word> names;
  std::optional<Word> description;
  std::vector<Word> superiors;
};

struct AttributeDraft {
  std::string oid;  // contents octets
  std::string dotted;
  std::vector<std::string> names;
  std::optional<std::string> description;  // UTF-8
  int syntax = -1;                         // position in syntaxes(), -1 for none
  bool multivalued = true;
};

struct ClassDraft {
  std::string oid;
  std::string dotted;
  std::vector<std::string> names;
  std::optional<std::string> description;
  std::vector<int> parents;  // positions in classes()
};

class SchemaDraft {
 public:
  SchemaDraft();

  // Each throws SchemaFileError when the definition cannot be taken.
  void add_oid_macro(const Word &name, const Word &value);
  void add_attribute(const AttributeDefinition &definition);
  void add_class(const ClassDefinition &definition);

  const std::vector<AttributeDraft> &attributes() const { return attributes_; }
  const std::vector<ClassDraft> &classes() const { return classes_; }
  const std::vector<std::string> &syntaxes() const { return syntaxes_; }

 private:
  using NameMap = std::unordered_map<std::string, int>;  // folded name -> position
  using OidMap = std::unordered_map<std::string, int>;   // contents -> position

  std::string dotted_oid(const Word &word) const;
  int find(const NameMap &names, const OidMap &oids, const Word &reference) const;
  int syntax_position(const Word &syntax);
  std::optional<std::string> checked_description(const std::optional<Word> &description) const;
  template <typename Draft>
  int place(std::vector<Draft> *records, NameMap *names, OidMap *oids, const char *kind,
            const Word &oid, const std::vector<Word> &new_names, Draft draft);

  std::vector<AttributeDraft> attributes_;
  std::vector<ClassDraft> classes_;
  std::vector<std::string> syntaxes_;
  NameMap attribute_names_;
  OidMap attribute_oids_;
  NameMap class_names_;
  OidMap class_oids_;
  std::unordered_map<std::string, std::string> macros_;  // folded name -> dotted OID
};

// Folds ASCII letters to lower case: the form names are compared in.
std::string folded(const std::string &name);

}  // namespace lyrdua::util
