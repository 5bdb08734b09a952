#include "tools/hex.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace lyrdua::tool {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool is_separator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ':'; }

}  // namespace

bool parse_hex(const std::vector<std::string> &words, std::vector<uint8_t> *octets,
               std::string *problem) {
  std::string text;
  for (const std::string &word : words) {
    if (!text.empty()) text += ' ';
    text += word;
  }
  octets->clear();
  int high = -1;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (is_separator(c)) {
      if (high >= 0) {
        *problem = "a lone hex digit before position " + std::to_string(i + 1);
        return false;
      }
      continue;
    }
    int digit = hex_digit(c);
    if (digit < 0) {
      *problem =
          std::string("'") + c + "' at position " + std::to_string(i + 1) + " is not a hex digit";
      return false;
    }
    if (high < 0) {
      high = digit;
    } else {
      octets->push_back(static_cast<uint8_t>(high << 4 | digit));
      high = -1;
    }
  }
  if (high >= 0) {
    *problem = "an odd number of hex digits";
    return false;
  }
  return true;
}

bool read_binary(const std::string &path, std::vector<uint8_t> *octets, std::string *problem) {
  FILE *file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *problem = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  octets->clear();
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    octets->insert(octets->end(), chunk, chunk + n);
  bool failed = std::ferror(file) != 0;
  if (failed) *problem = "cannot read " + path + ": " + std::strerror(errno);
  if (file != stdin) std::fclose(file);
  return !failed;
}

std::string to_hex(const uint8_t *octets, size_t n) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(2 * n);
  for (size_t i = 0; i < n; ++i) {
    text += kHex[octets[i] >> 4];
    text += kHex[octets[i] & 0xF];
  }
  return text;
}

}  // namespace lyrdua::tool
