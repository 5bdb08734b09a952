#include "platform/posix/registry_text.hpp"

#include <cstring>

#include "platform/registry.hpp"

namespace lyrdua::platform::registry_text {
namespace {

constexpr size_t kNone = static_cast<size_t>(-1);
constexpr char kSignature[] = "REGEDIT4";
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char fold_case(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equal_ignoring_case(const char *a, const char *b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (fold_case(a[i]) != fold_case(b[i])) return false;
  return true;
}

bool names_key(Span key, const char *path) {
  const size_t n = std::strlen(path);
  return key.length == n && equal_ignoring_case(key.text, path, n);
}

bool names_key_or_below(Span key, const char *path) {
  const size_t n = std::strlen(path);
  return key.length >= n && equal_ignoring_case(key.text, path, n) &&
         (key.length == n || key.text[n] == '\\');
}

// Steps over the quoted string that starts at text[*at]; content is what
// stands between the quotes. False when it is not closed on the line or holds
// an unknown escape.
bool scan_quoted(const char *text, size_t end, size_t *at, Span *content) {
  const size_t start = *at + 1;
  size_t i = start;
  while (i < end) {
    const char c = text[i];
    if (c == '"') {
      *content = {text + start, i - start};
      *at = i + 1;
      return true;
    }
    if (c != '\\') {
      ++i;
      continue;
    }
    if (i + 1 < end && (text[i + 1] == '\\' || text[i + 1] == '"')) {
      i += 2;
    } else if (i + 3 < end && text[i + 1] == 'x' && hex_value(text[i + 2]) >= 0 &&
               hex_value(text[i + 3]) >= 0) {
      i += 4;
    } else {
      return false;
    }
  }
  return false;
}

bool scan_value_line(const char *text, size_t begin, size_t end, Line *line) {
  size_t at = begin;
  line->name = {text + at, 0};
  if (text[at] == '@') {
    ++at;
  } else if (!scan_quoted(text, end, &at, &line->name)) {
    return false;
  }
  while (at < end && is_blank(text[at])) ++at;
  if (at == end || text[at] != '=') return false;
  ++at;
  while (at < end && is_blank(text[at])) ++at;
  if (at == end || text[at] != '"' || !scan_quoted(text, end, &at, &line->value)) return false;
  line->kind = LineKind::kValue;
  return at == end;
}

// Reads the line that starts at offset at; false when it is none of the kinds.
bool scan_line(Span text, size_t at, Line *line) {
  const char *s = text.text;
  const void *feed = std::memchr(s + at, '\n', text.length - at);
  size_t end =
      feed != nullptr ? static_cast<size_t>(static_cast<const char *>(feed) - s) : text.length;
  line->begin = at;
  line->end = feed != nullptr ? end + 1 : end;
  while (end > at && (is_blank(s[end - 1]) || s[end - 1] == '\r')) --end;
  while (at < end && is_blank(s[at])) ++at;
  line->kind = LineKind::kIgnored;
  if (at == end || s[at] == ';') return true;
  const size_t length = end - at;
  if (length == sizeof kSignature - 1 && std::memcmp(s + at, kSignature, length) == 0) {
    line->kind = LineKind::kSignature;
    return true;
  }
  if (s[at] == '[') {
    if (length < 3 || s[end - 1] != ']') return false;
    line->kind = LineKind::kKey;
    line->key = {s + at + 1, length - 2};
    return true;
  }
  if (s[at] == '"' || s[at] == '@') return scan_value_line(s, at, end, line);
  return false;
}

// Calls visit(line, in_key) for every line of a valid text, in_key telling
// whether the line belongs to a section of path.
template <typename Visit>
void for_each_line(Span text, const char *path, Visit visit) {
  bool in_key = false;
  Line line;
  for (size_t at = 0; at < text.length; at = line.end) {
    scan_line(text, at, &line);
    if (line.kind == LineKind::kKey) in_key = names_key(line.key, path);
    visit(line, in_key);
  }
}

// Calls take(byte) for each byte that a written string stands for.
template <typename Take>
void for_each_decoded(Span written, Take take) {
  for (size_t i = 0; i < written.length;) {
    const char c = written.text[i];
    if (c != '\\') {
      take(c);
      ++i;
    } else if (written.text[i + 1] == 'x') {
      take(static_cast<char>(hex_value(written.text[i + 2]) * 16 + hex_value(written.text[i + 3])));
      i += 4;
    } else {
      take(written.text[i + 1]);
      i += 2;
    }
  }
}

bool names_value(Span written, const char *name) {
  bool same = true;
  size_t i = 0;
  for_each_decoded(written, [&](char c) {
    if (same && (name[i] == '\0' || fold_case(name[i]) != fold_case(c))) same = false;
    if (same) ++i;
  });
  return same && name[i] == '\0';
}

bool is_value_of(const Line &line, bool in_key, const char *name) {
  return in_key && line.kind == LineKind::kValue && names_value(line.name, name);
}

bool append_escaped(ByteBuffer *out, const char *bytes, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    bool ok;
    if (c == '\\' || c == '"') {
      const char escaped[2] = {'\\', static_cast<char>(c)};
      ok = out->append(escaped, 2);
    } else if (c < 0x20 || c == 0x7F) {
      const char escaped[4] = {'\\', 'x', kHexDigits[c >> 4], kHexDigits[c & 0xF]};
      ok = out->append(escaped, 4);
    } else {
      ok = out->append(static_cast<char>(c));
    }
    if (!ok) return false;
  }
  return true;
}

bool append_value_line(ByteBuffer *out, const char *name, const char *value, size_t length) {
  bool ok = name[0] == '\0' ? out->append('@')
                            : out->append('"') && append_escaped(out, name, std::strlen(name)) &&
                                  out->append('"');
  return ok && out->append("=\"") && append_escaped(out, value, length) && out->append("\"\n");
}

// Copies a line; one that ended the text without a line break gets one when
// more lines follow it.
bool append_line(ByteBuffer *out, Span text, const Line &line, bool more_follows) {
  if (!out->append(text.text + line.begin, line.end - line.begin)) return false;
  const bool broken = line.end > line.begin && text.text[line.end - 1] == '\n';
  return broken || !more_follows || out->append('\n');
}

// Appends text and then a new section for path, separated by a blank line; an
// empty text becomes a new file with its signature.
bool append_with_section(ByteBuffer *out, Span text, const char *path) {
  bool ok;
  if (text.length == 0) {
    ok = out->append(kSignature) && out->append("\n\n");
  } else {
    ok = out->append(text.text, text.length) &&
         (text.text[text.length - 1] == '\n' || out->append('\n')) && out->append('\n');
  }
  return ok && out->append('[') && out->append(path) && out->append("]\n");
}

}  // namespace

bool is_valid(Span text) {
  bool in_some_key = false;
  Line line;
  for (size_t at = 0; at < text.length; at = line.end) {
    if (!scan_line(text, at, &line)) return false;
    if (line.kind == LineKind::kSignature && at != 0) return false;
    if (line.kind == LineKind::kValue && !in_some_key) return false;
    if (line.kind == LineKind::kKey) in_some_key = true;
  }
  return true;
}

bool is_valid_key_path(const char *path) {
  size_t part = 0;
  for (const char *p = path;; ++p) {
    if (*p == '\0' || *p == '\\') {
      if (part == 0) return false;
      if (*p == '\0') return true;
      part = 0;
    } else if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F) {
      return false;
    } else {
      ++part;
    }
  }
}

bool holds_key(Span text, const char *path) {
  bool held = false;
  for_each_line(text, path, [&](const Line &line, bool) {
    if (line.kind == LineKind::kKey && names_key_or_below(line.key, path)) held = true;
  });
  return held;
}

KeyValues::~KeyValues() { std::free(entries_); }

bool KeyValues::index(Span text, const char *path) {
  std::free(entries_);
  entries_ = nullptr;
  count_ = 0;
  size_t count = 0;
  for_each_line(text, path, [&](const Line &line, bool in_key) {
    if (in_key && line.kind == LineKind::kValue) ++count;
  });
  if (count == 0) return true;
  entries_ = static_cast<Entry *>(std::malloc(count * sizeof(Entry)));
  if (entries_ == nullptr) return false;
  for_each_line(text, path, [&](const Line &line, bool in_key) {
    if (in_key && line.kind == LineKind::kValue) entries_[count_++] = {line.name, line.value};
  });
  return true;
}

bool KeyValues::find(const char *name, Span *value) const {
  for (size_t i = count_; i-- > 0;) {
    if (names_value(entries_[i].name, name)) {
      *value = entries_[i].value;
      return true;
    }
  }
  return false;
}

size_t decoded_length(Span written) {
  size_t n = 0;
  for_each_decoded(written, [&](char) { ++n; });
  return n;
}

void decode(Span written, char *out) {
  for_each_decoded(written, [&](char c) { *out++ = c; });
}

uint32_t add_key(Span text, const char *path, ByteBuffer *out, bool *changed) {
  *changed = !holds_key(text, path);
  if (!*changed) return registry_result::kOk;
  return append_with_section(out, text, path) ? registry_result::kOk
                                              : registry_result::kNotEnoughMemory;
}

uint32_t put_value(Span text, const char *path, const char *name, const char *value, size_t length,
                   ByteBuffer *out) {
  size_t last_line_of_name = kNone;
  size_t end_of_key = kNone;
  for_each_line(text, path, [&](const Line &line, bool in_key) {
    if (in_key && line.kind != LineKind::kIgnored) end_of_key = line.end;
    if (is_value_of(line, in_key, name)) last_line_of_name = line.begin;
  });
  if (end_of_key == kNone) {
    return append_with_section(out, text, path) && append_value_line(out, name, value, length)
               ? registry_result::kOk
               : registry_result::kNotEnoughMemory;
  }
  bool ok = true;
  for_each_line(text, path, [&](const Line &line, bool in_key) {
    if (is_value_of(line, in_key, name)) {
      if (line.begin == last_line_of_name) ok = ok && append_value_line(out, name, value, length);
      return;
    }
    const bool insert_here = last_line_of_name == kNone && line.end == end_of_key;
    ok = ok && append_line(out, text, line, insert_here || line.end < text.length);
    if (insert_here) ok = ok && append_value_line(out, name, value, length);
  });
  return ok ? registry_result::kOk : registry_result::kNotEnoughMemory;
}

uint32_t remove_value(Span text, const char *path, const char *name, ByteBuffer *out) {
  bool removed = false;
  bool ok = true;
  for_each_line(text, path, [&](const Line &line, bool in_key) {
    if (is_value_of(line, in_key, name))
      removed = true;
    else
      ok = ok && append_line(out, text, line, line.end < text.length);
  });
  if (!removed) return registry_result::kFileNotFound;
  return ok ? registry_result::kOk : registry_result::kNotEnoughMemory;
}

}  // namespace lyrdua::platform::registry_text
