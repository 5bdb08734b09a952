#include "tools/input.hpp"

#include "tools/hex.hpp"

namespace lyrdua::tool {
namespace {

enum class Source { Words, File, StandardInput };

// Where the input comes from; false after complaining about a bad --file.
bool input_source(const Args &words, Source *source, std::string *path) {
  if (!words.empty() && (words[0] == "--file" || words[0] == "-f")) {
    if (words.size() != 2) {
      complain("--file takes exactly one file name ('-' for standard input)");
      return false;
    }
    *source = Source::File;
    *path = words[1];
    return true;
  }
  *source = words.empty() ? Source::StandardInput : Source::Words;
  *path = "-";
  return true;
}

int read_file(const std::string &path, std::vector<uint8_t> *octets) {
  std::string problem;
  if (read_binary(path, octets, &problem)) return kExitOk;
  complain(problem);
  return kExitFailure;
}

}  // namespace

int read_octets(const Args &words, std::vector<uint8_t> *octets) {
  Source source;
  std::string path;
  if (!input_source(words, &source, &path)) return kExitUsage;
  if (source != Source::Words) return read_file(path, octets);
  std::string problem;
  if (parse_hex(words, octets, &problem)) return kExitOk;
  complain(problem);
  return kExitUsage;
}

int read_text(const Args &words, std::string *text) {
  Source source;
  std::string path;
  if (!input_source(words, &source, &path)) return kExitUsage;
  if (source == Source::Words) {
    text->clear();
    for (const std::string &w : words) *text += (text->empty() ? "" : " ") + w;
    return kExitOk;
  }
  std::vector<uint8_t> octets;
  if (int status = read_file(path, &octets); status != kExitOk) return status;
  text->assign(octets.begin(), octets.end());
  if (!text->empty() && text->back() == '\n') text->pop_back();
  if (!text->empty() && text->back() == '\r') text->pop_back();
  return kExitOk;
}

}  // namespace lyrdua::tool
