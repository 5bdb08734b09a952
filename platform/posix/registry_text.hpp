// The text of a registry root file: lines in the REGEDIT4 style, read and
// edited in place so that whatever a person wrote (comments, blank lines, the
// order of keys and values) stays as it was.
//
// Lines, each ending with LF (a CR before it is ignored):
//   REGEDIT4                  the signature, allowed as the first line only
//   ; text                    a comment; blank lines are allowed anywhere
//   [key path]                the following values belong to this key
//   "name"="value"            a string value; @="value" is the unnamed value
// Blanks and tabs may stand around each line and around the "=". Inside the
// quotes, \\ is a backslash, \" a quote and \xHH the byte HH; other bytes stand
// for themselves. When a key appears more than once its values are merged, and
// of two values with the same name the later one counts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/byte_buffer.hpp"

namespace lyrdua::platform::registry_text {

struct Span {
  const char *text;
  size_t length;
};

enum class LineKind { kIgnored, kSignature, kKey, kValue };

struct Line {
  LineKind kind;
  size_t begin;  // offset of the line's first byte
  size_t end;    // offset just past its line break (or the end of the text)
  Span key;      // kKey: the path between the brackets
  Span name;     // kValue: the name as written, escapes and all (empty for @)
  Span value;    // kValue: the value as written
};

// Whether every line of text is one of the kinds above, no value comes before
// the first key, and the signature is on the first line only.
bool is_valid(Span text);

// Whether path is a usable key name: non-empty parts between single
// backslashes, and no control characters.
bool is_valid_key_path(const char *path);

// Whether text names the key path or a key below it.
bool holds_key(Span text, const char *path);

// The value lines of the key path in a valid text, in order.
class KeyValues {
 public:
  KeyValues() = default;
  ~KeyValues();
  KeyValues(const KeyValues &) = delete;
  KeyValues &operator=(const KeyValues &) = delete;

  // Indexes the values of path in text (which must outlive the index); false
  // when memory is exhausted.
  bool index(Span text, const char *path);

  // The written value of name (the later one of duplicates), or false.
  bool find(const char *name, Span *value) const;

 private:
  struct Entry {
    Span name;
    Span value;
  };
  Entry *entries_ = nullptr;
  size_t count_ = 0;
};

// The number of bytes a written value stands for, and the bytes themselves
// (out holds at least that many).
size_t decoded_length(Span written);
void decode(Span written, char *out);

// Edits of a valid text into out. Each gives registry_result::kOk, or
// kNotEnoughMemory; *changed tells whether out differs from text.
//   add_key: the key path is named (a section is added when no key at or
//     below it is).
//   put_value: name holds the length bytes of value (the last line of the
//     name replaced and earlier ones removed, or a line added at the end of
//     the key's last section, or a new section at the end).
//   remove_value: no line of name remains; kFileNotFound when there was none.
uint32_t add_key(Span text, const char *path, ByteBuffer *out, bool *changed);
uint32_t put_value(Span text, const char *path, const char *name, const char *value, size_t length,
                   ByteBuffer *out);
uint32_t remove_value(Span text, const char *path, const char *name, ByteBuffer *out);

}  // namespace lyrdua::platform::registry_text
