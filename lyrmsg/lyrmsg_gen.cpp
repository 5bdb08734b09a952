// lyrmsg_gen: compiles a message-compiler source (.mc) into the C++ table of
// the POSIX message module. It reads the same file that mc/windmc turn into a
// Windows message table and gives every message the same code:
// severity << 30 | customer bit (-c) << 29 | facility << 16 | number.
//
// usage: lyrmsg_gen [-c] INPUT.mc OUTPUT.cpp
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Message {
  uint32_t code = 0;
  std::string symbol;
  std::string text;
  bool has_text = false;
  size_t line = 0;
};

struct ParseError {
  size_t line;
  std::string problem;
};

std::string trim(const std::string &s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// A number in C notation: 0x1F or 31.
bool parse_number(const std::string &text, uint32_t *value) {
  if (text.empty()) return false;
  size_t used = 0;
  unsigned long parsed = 0;
  try {
    parsed = std::stoul(text, &used, 0);
  } catch (...) {
    return false;
  }
  if (used != text.size() || parsed > 0xFFFFFFFFul) return false;
  *value = static_cast<uint32_t>(parsed);
  return true;
}

class McParser {
 public:
  McParser(std::vector<std::string> lines, bool customer)
      : lines_(std::move(lines)), customer_(customer) {
    severities_ = {{"success", 0}, {"informational", 1}, {"warning", 2}, {"error", 3}};
    facilities_ = {{"system", 0x0FF}, {"application", 0xFFF}};
    languages_ = {"english"};
  }

  std::vector<Message> parse() {
    while (index_ < lines_.size()) {
      const size_t line_number = index_ + 1;
      const std::string line = trim(lines_[index_++]);
      if (line.empty() || line[0] == ';') continue;
      const size_t equals = line.find('=');
      if (equals == std::string::npos) throw ParseError{line_number, "expected 'Keyword=value'"};
      keyword(lower(trim(line.substr(0, equals))), trim(line.substr(equals + 1)), line_number);
    }
    finish_message();
    return messages_;
  }

 private:
  void keyword(const std::string &key, const std::string &value, size_t line) {
    if (key == "messageidtypedef" || key == "outputbase") return;
    if (key == "severitynames") return read_names(value, line, &severities_, 3);
    if (key == "facilitynames") return read_names(value, line, &facilities_, 0xFFF);
    if (key == "languagenames") {
      std::map<std::string, uint32_t> names;
      read_names(value, line, &names, 0xFFFF);
      for (const auto &n : names) languages_.push_back(n.first);
      return;
    }
    if (key == "messageid") return start_message(value, line);
    if (!in_message_) throw ParseError{line, "'" + key + "' before the first MessageId"};
    if (key == "severity") return set_field(value, line, severities_, &severity_, "severity");
    if (key == "facility") return set_field(value, line, facilities_, &facility_, "facility");
    if (key == "symbolicname") {
      messages_.back().symbol = value;
      return;
    }
    if (key == "language") return read_text(lower(value), line);
    throw ParseError{line, "unknown keyword '" + key + "'"};
  }

  // Reads "(name=number:symbol ...)", which may run over several lines.
  void read_names(std::string value, size_t line, std::map<std::string, uint32_t> *names,
                  uint32_t limit) {
    if (value.empty() || value[0] != '(') throw ParseError{line, "expected '(' after the '='"};
    while (value.find(')') == std::string::npos) {
      if (index_ >= lines_.size()) throw ParseError{line, "name list without its ')'"};
      value += " " + trim(lines_[index_++]);
    }
    std::istringstream entries(value.substr(1, value.find(')') - 1));
    names->clear();
    for (std::string entry; entries >> entry;) {
      const size_t equals = entry.find('=');
      uint32_t number = 0;
      if (equals == std::string::npos ||
          !parse_number(entry.substr(equals + 1, entry.find(':') - equals - 1), &number) ||
          number > limit)
        throw ParseError{line, "bad name entry '" + entry + "'"};
      (*names)[lower(entry.substr(0, equals))] = number;
    }
  }

  void start_message(const std::string &value, size_t line) {
    finish_message();
    uint32_t number = next_number_;
    if (!value.empty() && !parse_number(value, &number))
      throw ParseError{line, "bad MessageId '" + value + "'"};
    if (number > 0xFFFF) throw ParseError{line, "MessageId above 0xFFFF"};
    number_ = number;
    next_number_ = number + 1;
    in_message_ = true;
    Message m;
    m.line = line;
    messages_.push_back(m);
  }

  void set_field(const std::string &value, size_t line,
                 const std::map<std::string, uint32_t> &names, uint32_t *field, const char *what) {
    const auto found = names.find(lower(value));
    if (found == names.end())
      throw ParseError{line, std::string("unknown ") + what + " '" + value + "'"};
    *field = found->second;
  }

  // The text runs to a line holding a single '.'; each line keeps its line break.
  void read_text(const std::string &language, size_t line) {
    if (std::find(languages_.begin(), languages_.end(), language) == languages_.end())
      throw ParseError{line, "unknown language '" + language + "'"};
    std::string text;
    for (;;) {
      if (index_ >= lines_.size()) throw ParseError{line, "message text without its '.' line"};
      const std::string &text_line = lines_[index_++];
      if (text_line == ".") break;
      text += text_line + "\n";
    }
    if (language != "english") return;
    messages_.back().text = text;
    messages_.back().has_text = true;
  }

  void finish_message() {
    if (!in_message_) return;
    Message &m = messages_.back();
    if (!m.has_text) throw ParseError{m.line, "message without an English text"};
    m.code = severity_ << 30 | (customer_ ? 1u : 0u) << 29 | facility_ << 16 | number_;
    in_message_ = false;
  }

  std::vector<std::string> lines_;
  size_t index_ = 0;
  bool customer_;
  std::map<std::string, uint32_t> severities_;
  std::map<std::string, uint32_t> facilities_;
  std::vector<std::string> languages_;
  std::vector<Message> messages_;
  bool in_message_ = false;
  uint32_t severity_ = 0;
  uint32_t facility_ = 0;
  uint32_t number_ = 0;
  uint32_t next_number_ = 1;
};

// The text as C string literals, one per line of the message.
std::string c_string(const std::string &text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      out += i + 1 < text.size() ? "\\n\"\n     \"" : "\\n";
    } else if (c == '"' || c == '\\' || c == '?') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", c);
      out += escape;
    }
  }
  return out + "\"";
}

std::string table_source(const std::vector<Message> &messages, const std::string &input) {
  std::ostringstream out;
  out << "// Generated by lyrmsg_gen from " << input << ": do not edit.\n"
      << "#include \"lyrmsg/message_table.hpp\"\n\nnamespace {\n\n"
      << "constexpr lyrdua::msg::MessageEntry kEntries[] = {\n";
  for (const Message &m : messages) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08Xu", m.code);
    out << "    // " << (m.symbol.empty() ? "(no symbolic name)" : m.symbol) << "\n"
        << "    {" << code << ", " << m.text.size() << "u,\n     " << c_string(m.text) << "},\n";
  }
  out << "};\n\n}  // namespace\n\n"
      << "extern \"C\" __attribute__((visibility(\"default\"))) const lyrdua::msg::MessageTable\n"
      << "    lyrmsg_message_table = {lyrdua::msg::kTableMagic, " << messages.size()
      << "u, kEntries};\n";
  return out.str();
}

bool read_lines(const std::string &path, std::vector<std::string> *lines) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(line);
  }
  return true;
}

int fail(const std::string &message) {
  std::fprintf(stderr, "lyrmsg_gen: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool customer = !args.empty() && args[0] == "-c";
  if (customer) args.erase(args.begin());
  if (args.size() != 2) return fail("usage: lyrmsg_gen [-c] INPUT.mc OUTPUT.cpp");
  const std::string &input = args[0];

  std::vector<std::string> lines;
  if (!read_lines(input, &lines)) return fail("cannot read " + input);
  std::vector<Message> messages;
  try {
    messages = McParser(lines, customer).parse();
  } catch (const ParseError &e) {
    return fail(input + ":" + std::to_string(e.line) + ": " + e.problem);
  }
  std::sort(messages.begin(), messages.end(),
            [](const Message &a, const Message &b) { return a.code < b.code; });
  for (size_t i = 1; i < messages.size(); ++i)
    if (messages[i].code == messages[i - 1].code)
      return fail(input + ":" + std::to_string(messages[i].line) + ": code of line " +
                  std::to_string(messages[i - 1].line) + " given twice");

  const std::string source = table_source(messages, input.substr(input.find_last_of('/') + 1));
  std::ofstream out(args[1], std::ios::binary | std::ios::trunc);
  if (!(out << source)) return fail("cannot write " + args[1]);
  return 0;
}
