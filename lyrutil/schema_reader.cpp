#include "lyrutil/schema_reader.hpp"

#include <string>
#include <utility>
#include <vector>

namespace lyrdua::util {
namespace {

// A directive line and its continuation lines, joined by '\n'.
struct Statement {
  std::vector<int> lines;  // the line number of each joined line
  std::string text;
};

enum class TokenKind { kWord, kQuoted, kOpen, kClose, kDollar };

struct Token {
  TokenKind kind;
  Word word;
};

// What follows a field keyword.
enum class Argument {
  kNone,      // a flag
  kWord,      // one OID, name or syntax
  kWordList,  // one word, or "( w1 $ w2 ... )"
  kNameList,  // one quoted name, or "( 'n1' 'n2' ... )"
  kText,      // one quoted string
  kTextList,  // one quoted string, or "( 't1' 't2' ... )"
};

struct FieldRule {
  const char *keyword;
  Argument argument;
};

const FieldRule kAttributeFields[] = {
    {"NAME", Argument::kNameList},
    {"DESC", Argument::kText},
    {"OBSOLETE", Argument::kNone},
    {"SUP", Argument::kWord},
    {"EQUALITY", Argument::kWord},
    {"ORDERING", Argument::kWord},
    {"SUBSTR", Argument::kWord},
    {"SYNTAX", Argument::kWord},
    {"SINGLE-VALUE", Argument::kNone},
    {"COLLECTIVE", Argument::kNone},
    {"NO-USER-MODIFICATION", Argument::kNone},
    {"USAGE", Argument::kWord},
};

const FieldRule kClassFields[] = {
    {"NAME", Argument::kNameList},  {"DESC", Argument::kText},     {"OBSOLETE", Argument::kNone},
    {"SUP", Argument::kWordList},   {"ABSTRACT", Argument::kNone}, {"STRUCTURAL", Argument::kNone},
    {"AUXILIARY", Argument::kNone}, {"MUST", Argument::kWordList}, {"MAY", Argument::kWordList},
};

struct Field {
  std::string keyword;
  std::vector<Word> values;
};

[[noreturn]] void fail(int line, std::string problem) {
  throw SchemaFileError{line, std::move(problem)};
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string upper(std::string text) {
  for (char &c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  return text;
}

std::vector<Statement> split_statements(std::string_view text) {
  std::vector<Statement> statements;
  int number = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    bool blank = true;
    for (char c : line) blank = blank && is_blank(c);
    if (blank || line[0] == '#') continue;
    if (is_blank(line[0])) {
      if (statements.empty()) fail(number, "continuation line without a directive before it");
      statements.back().text += '\n';
      statements.back().text += line;
      statements.back().lines.push_back(number);
      continue;
    }
    statements.push_back(Statement{{number}, std::string(line)});
  }
  return statements;
}

// RFC 4512 escapes in quoted strings: \27 for a quote, \5C for a backslash.
std::string unescaped(const std::string &text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    std::string code = upper(text.substr(i, 3));
    if (code == "\\27" || code == "\\5C") {
      result.push_back(code == "\\27" ? '\'' : '\\');
      i += 2;
    } else {
      result.push_back(text[i]);
    }
  }
  return result;
}

std::vector<Token> tokenize(const Statement &statement) {
  std::vector<Token> tokens;
  const std::string &text = statement.text;
  size_t line_index = 0;
  auto line = [&] { return statement.lines[line_index]; };
  for (size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == '\n') {
      ++line_index;
      ++i;
    } else if (is_blank(c)) {
      ++i;
    } else if (c == '(' || c == ')' || c == '$') {
      TokenKind kind = c == '('   ? TokenKind::kOpen
                       : c == ')' ? TokenKind::kClose
                                  : TokenKind::kDollar;
      tokens.push_back(Token{kind, Word{std::string(1, c), line()}});
      ++i;
    } else if (c == '\'') {
      int first_line = line();
      std::string quoted;
      for (++i; i < text.size() && text[i] != '\''; ++i) {
        if (text[i] != '\n') {
          quoted.push_back(text[i]);
          continue;
        }
        // A string that runs on over a line break keeps one blank for it.
        ++line_index;
        while (i + 1 < text.size() && is_blank(text[i + 1])) ++i;
        quoted.push_back(' ');
      }
      if (i >= text.size()) fail(first_line, "quoted string is not closed");
      ++i;
      tokens.push_back(Token{TokenKind::kQuoted, Word{unescaped(quoted), first_line}});
    } else {
      size_t start = i;
      while (i < text.size() && !is_blank(text[i]) && text[i] != '\n' && text[i] != '(' &&
             text[i] != ')' && text[i] != '$' && text[i] != '\'')
        ++i;
      tokens.push_back(Token{TokenKind::kWord, Word{text.substr(start, i - start), line()}});
    }
  }
  return tokens;
}

class StatementParser {
 public:
  StatementParser(const Statement &statement, std::vector<Token> tokens)
      : statement_(statement), tokens_(std::move(tokens)) {}

  // The body of a definition: "( OID fields... )" and nothing after it.
  Word parse_definition(const char *directive, const FieldRule *rules, size_t rule_count,
                        std::vector<Field> *fields) {
    const Token *open = next();
    if (open == nullptr || open->kind != TokenKind::kOpen)
      fail(line_of(open), std::string("expected '(' after ") + directive);
    const Token *oid = next();
    if (oid == nullptr || oid->kind != TokenKind::kWord)
      fail(line_of(oid), "expected an object identifier after '('");
    Word result = oid->word;
    for (;;) {
      const Token *token = next();
      if (token == nullptr) fail(statement_.lines.front(), "definition is not closed by ')'");
      if (token->kind == TokenKind::kClose) break;
      if (token->kind != TokenKind::kWord)
        fail(token->word.line, "unexpected '" + token->word.text + "'");
      fields->push_back(parse_field(*token, rules, rule_count, *fields));
    }
    if (const Token *extra = next())
      fail(extra->word.line, "unexpected '" + extra->word.text + "' after the closing ')'");
    return result;
  }

  // The two words of an objectidentifier statement.
  std::pair<Word, Word> parse_macro() {
    const Token *name = next();
    const Token *value = next();
    if (name == nullptr || value == nullptr || name->kind != TokenKind::kWord ||
        value->kind != TokenKind::kWord || next() != nullptr)
      fail(statement_.lines.front(), "objectidentifier takes a name and an object identifier");
    return {name->word, value->word};
  }

  const Token *next() { return position_ < tokens_.size() ? &tokens_[position_++] : nullptr; }

 private:
  int line_of(const Token *token) const {
    return token != nullptr ? token->word.line : statement_.lines.back();
  }

  Field parse_field(const Token &keyword_token, const FieldRule *rules, size_t rule_count,
                    const std::vector<Field> &earlier) {
    Field field{upper(keyword_token.word.text), {}};
    for (const Field &f : earlier)
      if (f.keyword == field.keyword)
        fail(keyword_token.word.line, field.keyword + " is given twice");
    if (field.keyword.rfind("X-", 0) == 0) {
      field.values = parse_argument(Argument::kTextList, field.keyword);
      return field;
    }
    for (size_t i = 0; i < rule_count; ++i) {
      if (field.keyword != rules[i].keyword) continue;
      field.values = parse_argument(rules[i].argument, field.keyword);
      return field;
    }
    fail(keyword_token.word.line, "unknown field '" + keyword_token.word.text + "'");
  }

  // One value of a field: a word, a quoted string, or a name in either form.
  Word take(Argument argument, const std::string &keyword) {
    const Token *token = next();
    bool taken = token != nullptr &&
                 (token->kind == TokenKind::kQuoted
                      ? argument != Argument::kWordList
                      : token->kind == TokenKind::kWord && argument != Argument::kTextList &&
                            argument != Argument::kText);
    if (!taken) {
      const char *what = argument == Argument::kWordList   ? "an object identifier or name"
                         : argument == Argument::kNameList ? "a name"
                                                           : "a quoted string";
      fail(line_of(token), std::string("expected ") + what + " after " + keyword);
    }
    return token->word;
  }

  std::vector<Word> parse_argument(Argument argument, const std::string &keyword) {
    if (argument == Argument::kNone) return {};
    if (argument == Argument::kWord) return {take(Argument::kWordList, keyword)};
    const Token *first = peek();
    if (argument == Argument::kText || first == nullptr || first->kind != TokenKind::kOpen)
      return {take(argument, keyword)};
    next();
    std::vector<Word> values;
    for (;;) {
      const Token *token = peek();
      if (token != nullptr && token->kind == TokenKind::kClose && !values.empty()) {
        next();
        return values;
      }
      if (argument == Argument::kWordList && !values.empty()) {
        if (token == nullptr || token->kind != TokenKind::kDollar)
          fail(line_of(token), "expected '$' or ')' in the list after " + keyword);
        next();
      }
      values.push_back(take(argument, keyword));
    }
  }

  const Token *peek() const { return position_ < tokens_.size() ? &tokens_[position_] : nullptr; }

  const Statement &statement_;
  std::vector<Token> tokens_;
  size_t position_ = 0;
};

const Field *field(const std::vector<Field> &fields, const char *keyword) {
  for (const Field &f : fields)
    if (f.keyword == keyword) return &f;
  return nullptr;
}

std::optional<Word> single(const std::vector<Field> &fields, const char *keyword) {
  const Field *f = field(fields, keyword);
  if (f == nullptr) return std::nullopt;
  return f->values.front();
}

std::vector<Word> all(const std::vector<Field> &fields, const char *keyword) {
  const Field *f = field(fields, keyword);
  return f == nullptr ? std::vector<Word>{} : f->values;
}

void read_attribute(StatementParser *parser, const char *directive, SchemaDraft *draft) {
  std::vector<Field> fields;
  AttributeDefinition definition;
  definition.oid =
      parser->parse_definition(directive, kAttributeFields, std::size(kAttributeFields), &fields);
  definition.names = all(fields, "NAME");
  definition.description = single(fields, "DESC");
  definition.superior = single(fields, "SUP");
  definition.syntax = single(fields, "SYNTAX");
  definition.single_value = field(fields, "SINGLE-VALUE") != nullptr;
  draft->add_attribute(definition);
}

void read_class(StatementParser *parser, const char *directive, SchemaDraft *draft) {
  std::vector<Field> fields;
  ClassDefinition definition;
  definition.oid =
      parser->parse_definition(directive, kClassFields, std::size(kClassFields), &fields);
  definition.names = all(fields, "NAME");
  definition.description = single(fields, "DESC");
  definition.superiors = all(fields, "SUP");
  draft->add_class(definition);
}

}  // namespace

void read_schema_text(std::string_view text, SchemaDraft *draft) {
  for (const Statement &statement : split_statements(text)) {
    StatementParser parser(statement, tokenize(statement));
    const Token *directive = parser.next();
    std::string name = upper(directive->word.text);
    if (directive->kind != TokenKind::kWord) {
      fail(directive->word.line, "expected a directive, not '" + directive->word.text + "'");
    } else if (name == "ATTRIBUTETYPE" || name == "ATTRIBUTETYPES") {
      read_attribute(&parser, "attributetype", draft);
    } else if (name == "OBJECTCLASS" || name == "OBJECTCLASSES") {
      read_class(&parser, "objectclass", draft);
    } else if (name == "OBJECTIDENTIFIER") {
      auto [macro, value] = parser.parse_macro();
      draft->add_oid_macro(macro, value);
    } else {
      fail(directive->word.line, "unknown directive '" + directive->word.text + "'");
    }
  }
}

}  // namespace lyrdua::util
