#include "cfg/default_text.hpp"

#include <lyrdua/kor_cfg.h>

#include <cstddef>
#include <cstring>

namespace lyrdua::cfg {
namespace {

// The registered text and its length at registration; searches stay within
// that length even if the caller's text changes afterwards.
const char *default_text = nullptr;
size_t default_length = 0;

// Whether the text at at begins with the n bytes of part.
bool starts_with(size_t at, const char *part, size_t n) {
  return n <= default_length - at && std::memcmp(default_text + at, part, n) == 0;
}

// The offset just past the first "\n" key_path "\" name, or default_length.
size_t end_of_first_entry(const char *key_path, const char *name) {
  const size_t path_length = std::strlen(key_path);
  const size_t name_length = std::strlen(name);
  for (size_t at = 0; at < default_length; ++at) {
    if (default_text[at] != '\n') continue;
    size_t next = at + 1;
    if (!starts_with(next, key_path, path_length)) continue;
    next += path_length;
    if (!starts_with(next, "\\", 1)) continue;
    next += 1;
    if (starts_with(next, name, name_length)) return next + name_length;
  }
  return default_length;
}

size_t find_byte(size_t from, char wanted) {
  const void *found = std::memchr(default_text + from, wanted, default_length - from);
  return found != nullptr ? static_cast<size_t>(static_cast<const char *>(found) - default_text)
                          : default_length;
}

}  // namespace

void register_default_text(const char *text) {
  default_text = text;
  default_length = text != nullptr ? std::strlen(text) : 0;
}

uint32_t look_up_default(const char *key_path, const char *name, char *buffer, uint32_t *length) {
  const uint32_t capacity = *length;
  *length = 0;
  if (default_text == nullptr) return KOR_OK;
  const size_t colon = find_byte(end_of_first_entry(key_path, name), ':');
  if (colon == default_length) return KOR_OK;
  size_t start = colon + 1;
  while (start < default_length && (default_text[start] == ' ' || default_text[start] == '\t'))
    ++start;
  const size_t end = find_byte(start, '\n');
  if (end == default_length) return KOR_OK;
  const size_t value_length = end - start;
  if (value_length >= capacity) {
    *length = static_cast<uint32_t>(value_length + 1);
    return KOR_CFG_E_BUFFER;
  }
  std::memcpy(buffer, default_text + start, value_length);
  buffer[value_length] = '\0';
  *length = static_cast<uint32_t>(value_length);
  return KOR_OK;
}

}  // namespace lyrdua::cfg
