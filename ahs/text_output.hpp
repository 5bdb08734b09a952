// A text built piece by piece in the caller's buffer under the output
// contract: every piece is counted in the size needed, and written as far as
// it fits before the place kept for the terminating NUL.
#pragma once

#include <lyrdua/kor_ahs.h>

#include <cstdint>
#include <cstring>

namespace lyrdua::ahs {

template <typename Char>
class TextOutput {
 public:
  TextOutput(Char *out, uint32_t capacity) : out_(out), capacity_(capacity) {}

  Char *position() const { return out_ + used_; }

  // Accounts for text that a member handler has already written at the
  // current position: shown characters of a text length long.
  void advance(uint32_t shown, uint32_t length) {
    used_ += shown;
    needed_ += length;
  }

  // Appends as much of text as fits; true when the whole of it did.
  bool append(const Char *text, uint32_t n) {
    needed_ += n;
    uint32_t shown = n < room() ? n : room();
    if (shown != 0) std::memcpy(out_ + used_, text, shown * sizeof(Char));
    used_ += shown;
    return shown == n;
  }

  bool append(char ascii) {
    const Char unit = static_cast<Char>(ascii);
    return append(&unit, 1);
  }

  // Terminates the text: 0 with its length, or KOR_AHS_TRUNCATED with the
  // size needed, NUL included.
  uint32_t finish(uint32_t *out_len) {
    if (capacity_ != 0) out_[used_] = 0;
    if (needed_ < capacity_) {
      *out_len = needed_;
      return KOR_OK;
    }
    *out_len = needed_ + 1;
    return KOR_AHS_TRUNCATED;
  }

 private:
  // Characters that still fit before the NUL.
  uint32_t room() const { return capacity_ == 0 ? 0 : capacity_ - 1 - used_; }

  Char *out_;
  uint32_t capacity_;
  uint32_t used_ = 0;
  uint32_t needed_ = 0;
};

}  // namespace lyrdua::ahs
