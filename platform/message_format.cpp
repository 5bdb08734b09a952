// Formatting of message texts with an argument array, following FormatMessage
// with FORMAT_MESSAGE_ARGUMENT_ARRAY and no line width limit.
#include <cstring>

#include "platform/message_module.hpp"

namespace lyrdua::platform {
namespace {

// Writes into the caller's buffer while there is room for the text and its NUL,
// and goes on counting past it so that an overflow is known at the end.
class BoundedOutput {
 public:
  BoundedOutput(char *buffer, uint32_t size) : buffer_(buffer), size_(size) {}

  void put(char c) {
    if (length_ + 1 < size_) buffer_[length_] = c;
    ++length_;
  }
  void put(const char *text) {
    while (*text != '\0') put(*text++);
  }
  bool fits() const { return length_ < size_; }
  uint32_t finish() {
    buffer_[length_] = '\0';
    return static_cast<uint32_t>(length_);
  }

 private:
  char *buffer_;
  uint32_t size_;
  uint64_t length_ = 0;
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads the insert number after '%' (one or two digits) and an optional !s!
// format. Returns the number, or 0 when the format is not one this host knows.
unsigned read_insert(const char **cursor) {
  const char *p = *cursor;
  unsigned number = static_cast<unsigned>(*p++ - '0');
  if (is_digit(*p)) number = number * 10 + static_cast<unsigned>(*p++ - '0');
  if (*p == '!') {
    // Every insert is a string, so "s" is the only format that applies.
    if (p[1] != 's' || p[2] != '!') return 0;
    p += 3;
  }
  *cursor = p;
  return number;
}

// The character that an escape stands for; '\0' for %0, the end of the text.
char escaped_character(char c) {
  switch (c) {
    case '0':
      return '\0';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    default:
      return c;  // %%, %., %!, %space and any other character stand for themselves
  }
}

}  // namespace

uint32_t format_message_text(const char *source, MessageInserts inserts, char *buffer,
                             uint32_t size, uint32_t *length) {
  if (size == 0) return kErrorInsufficientBuffer;
  BoundedOutput out(buffer, size);
  const char *p = source;
  while (*p != '\0') {
    const char c = *p++;
    if (c != '%') {
      out.put(c);
      continue;
    }
    if (*p == '\0') return kErrorInvalidParameter;
    if (is_digit(*p) && *p != '0') {
      const unsigned number = read_insert(&p);
      if (number == 0 || inserts.args == nullptr || number > inserts.count)
        return kErrorInvalidParameter;
      const char *arg = inserts.args[number - 1];
      out.put(arg != nullptr ? arg : "(null)");
      continue;
    }
    const char escaped = escaped_character(*p++);
    if (escaped == '\0') break;
    out.put(escaped);
  }
  if (!out.fits()) return kErrorInsufficientBuffer;
  *length = out.finish();
  return 0;
}

}  // namespace lyrdua::platform
