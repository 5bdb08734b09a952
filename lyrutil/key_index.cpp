#include "lyrutil/key_index.hpp"

#include <cstring>

#include "lyrutil/store_string.hpp"

namespace lyrdua::util {
namespace {

constexpr uint32_t kFirstCapacity = 64;
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

// ASCII letters of eight octets at once in lower case: bit 7 of each octet
// marks 'A'..'Z' (below 0x80, at least 'A', at most 'Z'), moved to bit 5.
uint64_t ascii_lower(uint64_t octets) {
  uint64_t low_bits = octets & (0x7F * kOnes);
  uint64_t above_z = low_bits + (0x7F - 'Z') * kOnes;
  uint64_t from_a = low_bits + (0x80 - 'A') * kOnes;
  uint64_t upper = from_a & ~above_z & ~octets & (0x80 * kOnes);
  return octets | (upper >> 2);
}

// Up to eight octets as one word: a whole word is one load, a shorter tail
// is gathered octet by octet (zeros after it).
uint64_t load_octets(const uint8_t *octets, uint32_t n) {
  uint64_t value = 0;
  if (n >= 8) {
    std::memcpy(&value, octets, 8);
    return value;
  }
  for (uint32_t i = 0; i < n; ++i) value |= static_cast<uint64_t>(octets[i]) << (8 * i);
  return value;
}

}  // namespace

// Octets at..at+7 of key, folded when case is ignored.
uint64_t KeyIndex::word(const uint8_t *key, uint32_t length, uint32_t at) const {
  uint64_t octets = load_octets(key + at, length - at);
  return match_ == Match::kIgnoreAsciiCase ? ascii_lower(octets) : octets;
}

uint32_t KeyIndex::hash(const uint8_t *key, uint32_t length) const {
  uint64_t h = length;
  for (uint32_t at = 0; at < length; at += 8) h = (h ^ word(key, length, at)) * kMultiplier;
  // The low bits pick the slot: the product's high bits are folded into them.
  h ^= h >> 29;
  h *= kMultiplier;
  return static_cast<uint32_t>(h >> 32);
}

bool KeyIndex::same(const Slot &slot, const uint8_t *key, uint32_t length) const {
  if (slot.length != length) return false;
  const auto *stored = reinterpret_cast<const uint8_t *>(keys_.data()) + slot.offset;
  for (uint32_t at = 0; at < length; at += 8)
    if (load_octets(stored + at, length - at) != word(key, length, at)) return false;
  return true;
}

void KeyIndex::grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.resize(old.empty() ? kFirstCapacity : old.size() * 2);
  auto mask = static_cast<uint32_t>(slots_.size() - 1);
  for (const Slot &slot : old) {
    if (slot.record < 0) continue;
    uint32_t i = slot.hash & mask;
    while (slots_[i].record >= 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void KeyIndex::add(const uint8_t *key, uint32_t length, int32_t record) {
  // Kept at most half full so that probe runs stay short.
  if ((used_ + 1) * 2 > slots_.size()) grow();
  auto mask = static_cast<uint32_t>(slots_.size() - 1);
  uint32_t h = hash(key, length);
  uint32_t slot = h & mask;
  for (; slots_[slot].record >= 0; slot = (slot + 1) & mask)
    if (slots_[slot].hash == h && same(slots_[slot], key, length)) return;
  auto offset = static_cast<uint32_t>(keys_.size());
  for (uint32_t i = 0; i < length; ++i)
    keys_.push_back(
        static_cast<char>(match_ == Match::kIgnoreAsciiCase ? fold_ascii(key[i]) : key[i]));
  slots_[slot] = Slot{offset, length, h, record};
  ++used_;
}

int32_t KeyIndex::find(const uint8_t *key, uint32_t length) const {
  if (slots_.empty()) return -1;
  auto mask = static_cast<uint32_t>(slots_.size() - 1);
  uint32_t h = hash(key, length);
  for (uint32_t i = h & mask; slots_[i].record >= 0; i = (i + 1) & mask)
    if (slots_[i].hash == h && same(slots_[i], key, length)) return slots_[i].record;
  return -1;
}

}  // namespace lyrdua::util
