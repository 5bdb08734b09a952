// Open-addressing hash index from keys (keywords, OID contents) to record
// positions: one hash and, on average, about one key comparison per lookup.
// Keys are hashed and compared eight octets at a time; for keywords the index
// keeps its own copy of each key in lower case.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lyrdua::util {

class KeyIndex {
 public:
  enum class Match { kBytes, kIgnoreAsciiCase };

  explicit KeyIndex(Match match) : match_(match) {}

  // Adds a key; a key added twice keeps its first record.
  void add(const uint8_t *key, uint32_t length, int32_t record);

  // The record of key, or -1.
  int32_t find(const uint8_t *key, uint32_t length) const;

 private:
  struct Slot {
    uint32_t offset = 0;  // of the key in keys_
    uint32_t length = 0;
    uint32_t hash = 0;
    int32_t record = -1;  // -1: empty slot
  };

  uint64_t word(const uint8_t *key, uint32_t length, uint32_t at) const;
  uint32_t hash(const uint8_t *key, uint32_t length) const;
  bool same(const Slot &slot, const uint8_t *key, uint32_t length) const;
  void grow();

  Match match_;
  std::vector<Slot> slots_;
  std::string keys_;  // every key, lower case for kIgnoreAsciiCase
  uint32_t used_ = 0;
};

}  // namespace lyrdua::util
