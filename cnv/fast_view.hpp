// The fast view: what each octet does under the sets invoked at a moment,
// derived from their cells, so that the engine's copy loop can treat most
// octets without running their cells one by one.
#pragma once

#include <cstdint>

#include "cnv/set_table.hpp"

namespace lyrdua::cnv {

// What the engine can do with an octet without leaving its copy loop: emit
// `count` octets (0 to 2); kComposePath: compose diacritic number
// `diacritic` with the next octet; kSlowPath: the cell does more.
constexpr uint8_t kComposePath = 0xFE;
constexpr uint8_t kSlowPath = 0xFF;

struct alignas(4) FastEntry {
  uint8_t count;
  uint8_t octets[2];
  uint8_t diacritic;  // 0 unless kComposePath
};

// Ranges of octets that convert to themselves, which the copy loop can pass
// through many at a time: octets low to low + span.
constexpr int kPassRangeCount = 3;

struct PassRange {
  uint8_t low;
  uint8_t span;
};

// The fast entries of all 256 octets under one choice of invoked sets, and
// the longest pass-through ranges of GL, where text lives. Unused ranges
// repeat the first; `pass_range_count` 0 means there is none.
struct FastView {
  FastEntry entries[256];
  PassRange pass_ranges[kPassRangeCount];
  int pass_range_count;
};

constexpr bool calls_diacritic(const SetTable &table, Cell cell) {
  return action_of(cell) == kCall && operand_of(cell) < table.handler_count &&
         table.handlers[operand_of(cell)] == Handler::kDiacritic;
}

// The fast entry of `octet` under `table`, derived from its cell and, for a
// kEmitContinue cell, the continuation cell.
constexpr FastEntry fast_entry_of(const SetTable *table, uint8_t octet) {
  constexpr FastEntry slow = {kSlowPath, {0, 0}, 0};
  if (table == nullptr) return slow;
  const int row = row_of(octet);
  const Cell cell = cell_at(*table, column_of(octet), row);
  switch (action_of(cell)) {
    case kEmit:
      return {1, {cell.value, 0}, 0};
    case kNoEquivalent:
    case kIgnore:
      return {0, {0, 0}, 0};
    case kEmitContinue: {
      const Cell next = cell_at(*table, operand_of(cell), row);
      if (action_of(next) == kEmit) return {2, {cell.value, next.value}, 0};
      if (action_of(next) == kIgnore || action_of(next) == kNoEquivalent)
        return {1, {cell.value, 0}, 0};
      return slow;
    }
    case kCall:
      if (calls_diacritic(*table, cell) && diacritic_index(octet) >= 0)
        return {kComposePath, {0, 0}, static_cast<uint8_t>(diacritic_index(octet))};
      return slow;
    default:
      return slow;
  }
}

constexpr bool passes_through(const FastEntry &entry, int octet) {
  return entry.count == 1 && entry.octets[0] == octet;
}

// Finds the longest pass-through ranges among GL's octets.
constexpr void find_pass_ranges(FastView &view) {
  view.pass_range_count = 0;
  int octet = 0x20;
  while (octet < 0x80) {
    if (!passes_through(view.entries[octet], octet)) {
      ++octet;
      continue;
    }
    const int low = octet;
    while (octet < 0x80 && passes_through(view.entries[octet], octet)) ++octet;
    const PassRange range = {static_cast<uint8_t>(low), static_cast<uint8_t>(octet - 1 - low)};
    int slot = view.pass_range_count;
    if (slot == kPassRangeCount) {
      slot = 0;  // replace the shortest, if this one is longer
      for (int i = 1; i < kPassRangeCount; ++i)
        if (view.pass_ranges[i].span < view.pass_ranges[slot].span) slot = i;
      if (view.pass_ranges[slot].span >= range.span) continue;
    } else {
      ++view.pass_range_count;
    }
    view.pass_ranges[slot] = range;
  }
  for (int i = view.pass_range_count; i < kPassRangeCount; ++i)
    view.pass_ranges[i] = view.pass_ranges[0];
}

constexpr FastView fast_view_of(const SetTable *const (&invoked)[kRangeCount]) {
  FastView view{};
  for (int octet = 0; octet < 256; ++octet) {
    const uint8_t o = static_cast<uint8_t>(octet);
    view.entries[octet] = fast_entry_of(invoked[range_of(o)], o);
  }
  find_pass_ranges(view);
  return view;
}

}  // namespace lyrdua::cnv
