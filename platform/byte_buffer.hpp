// A growable run of bytes on the C heap. Running out of memory is a result
// (append gives false), never an abort, so that callers can report it.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace lyrdua::platform {

class ByteBuffer {
 public:
  ByteBuffer() = default;
  ~ByteBuffer() { std::free(data_); }
  ByteBuffer(const ByteBuffer &) = delete;
  ByteBuffer &operator=(const ByteBuffer &) = delete;

  const char *data() const { return data_; }
  size_t size() const { return size_; }

  // Appends n bytes; false when memory is exhausted (the buffer is unchanged).
  bool append(const char *bytes, size_t n) {
    if (n == 0) return true;
    if (!reserve(n)) return false;
    std::memcpy(data_ + size_, bytes, n);
    size_ += n;
    return true;
  }
  bool append(const char *text) { return append(text, std::strlen(text)); }
  bool append(char c) { return append(&c, 1); }

  // Appends a NUL that is not counted in size(), so data() is a C string.
  bool terminate() {
    if (!reserve(1)) return false;
    data_[size_] = '\0';
    return true;
  }

  void clear() { size_ = 0; }

  // Hands the bytes to the caller (who frees them with std::free) and empties the buffer.
  char *release() {
    char *bytes = data_;
    data_ = nullptr;
    size_ = capacity_ = 0;
    return bytes;
  }

 private:
  bool reserve(size_t n) {
    if (n <= capacity_ - size_) return true;
    size_t capacity = capacity_ < 64 ? 64 : capacity_;
    while (capacity - size_ < n) {
      if (capacity > static_cast<size_t>(-1) / 2) return false;
      capacity *= 2;
    }
    auto *grown = static_cast<char *>(std::realloc(data_, capacity));
    if (grown == nullptr) return false;
    data_ = grown;
    capacity_ = capacity;
    return true;
  }

  char *data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace lyrdua::platform
