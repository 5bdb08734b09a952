// The vocabulary of the conversion tables: cells, set tables with their
// columns and handler lists, escape final lists, set lookups and diacritic
// combinations. The tables themselves are constant data in t61_tables.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lyrdua::cnv {

// What a cell does with its input octet (bits 0-2 of the cell's first octet).
enum Action : uint8_t {
  kEmit = 0,          // emit the value
  kRefuse = 1,        // the octet has no place in the source set
  kEmitContinue = 2,  // emit the value, then the same octet again through continuation column
                      // `operand` (same row)
  kCall = 3,          // call handler `operand` of the table
  kEmitCall = 4,      // emit the value, then call handler `operand`
  kNoEquivalent = 5,  // no output: the character has no equivalent in the target set
  kIgnore = 6,        // no output: the octet is ignored
  kInvalidCell = 7,   // a cell that must never be reached
};

// Two octets: action in bits 0-2 and operand in bits 3-7 of the first, value in the second.
struct Cell {
  uint8_t control;
  uint8_t value;
};

constexpr Action action_of(Cell cell) { return static_cast<Action>(cell.control & 0x07); }
constexpr uint8_t operand_of(Cell cell) { return static_cast<uint8_t>(cell.control >> 3); }

// Cell makers: the words the tables are written in.
constexpr Cell emit(uint8_t value) { return {kEmit, value}; }
constexpr Cell pair(uint8_t value, uint8_t continuation_column) {
  return {static_cast<uint8_t>(kEmitContinue | continuation_column << 3), value};
}
constexpr Cell call(uint8_t handler) { return {static_cast<uint8_t>(kCall | handler << 3), 0}; }
constexpr Cell emit_call(uint8_t value, uint8_t handler) {
  return {static_cast<uint8_t>(kEmitCall | handler << 3), value};
}
constexpr Cell refused = {kRefuse, 0};
constexpr Cell none = {kNoEquivalent, 0};
constexpr Cell ignored = {kIgnore, 0};
constexpr Cell invalid = {kInvalidCell, 0};

// The handlers that cells of kCall and kEmitCall reach through their table's handler list.
enum class Handler : uint8_t {
  kShiftIn,
  kShiftOut,
  kSingleShift2,
  kSingleShift3,
  kEscape,
  kControlSequence,
  kFormFeed,
  kSpace,
  kDiacritic,
};

constexpr int kRowsPerColumn = 16;
constexpr int kMaxColumns = 12;  // 0-7 cover the 128 octets of a half, 8 and up continue

using Column = Cell[kRowsPerColumn];

// One coded character set. An absent column (null) produces nothing.
struct SetTable {
  uint16_t iso_ir;  // ISO-IR registration number
  const Column *columns[kMaxColumns];
  const Handler *handlers;
  uint8_t handler_count;
};

constexpr int column_of(uint8_t octet) { return (octet & 0x70) >> 4; }
constexpr int row_of(uint8_t octet) { return octet & 0x0F; }

// The cell of `row` in column `column` of `table`; an absent column ignores the octet.
constexpr Cell cell_at(const SetTable &table, int column, int row) {
  const Column *cells = column < kMaxColumns ? table.columns[column] : nullptr;
  return cells != nullptr ? (*cells)[row] : ignored;
}

// The four ranges of an 8-bit code, each with its own invoked set.
enum Range : uint8_t { kC0 = 0, kGL = 1, kC1 = 2, kGR = 3 };
constexpr int kRangeCount = 4;

constexpr Range range_of(uint8_t octet) {
  return octet < 0x20 ? kC0 : octet < 0x80 ? kGL : octet < 0xA0 ? kC1 : kGR;
}

// An ISO-IR number of "no set designated".
constexpr uint16_t kNoDesignation = 0xFFFF;

// One entry of an escape sequence's final-octet list.
struct FinalOctet {
  uint8_t final_octet;
  uint16_t iso_ir;
};

struct FinalList {
  const FinalOctet *entries;
  size_t count;
};

// One entry of a direction's set lookup.
struct KnownSet {
  uint16_t iso_ir;
  const SetTable *table;
};

// Diacritics occupy 0xC1-0xCF of the supplementary set, wherever that set is
// invoked; -1 for an octet outside them.
constexpr uint8_t kFirstDiacritic = 0xC1;
constexpr uint8_t kLastDiacritic = 0xCF;
constexpr int kDiacriticCount = kLastDiacritic - kFirstDiacritic + 1;

constexpr int diacritic_index(uint8_t octet) {
  const int diacritic = octet | 0x80;
  return diacritic >= kFirstDiacritic && diacritic <= kLastDiacritic ? diacritic - kFirstDiacritic
                                                                     : -1;
}

// A letter with its Latin-1 composition, in a diacritic's combination row.
struct ComposedLetter {
  char letter;
  uint8_t latin1;
};

// One diacritic as written in the combination table: the spacing form (the
// diacritic followed by a space), the letters it composes with, and the
// letters whose composition has no Latin-1 equivalent. Other letters are refused.
struct CombinationRow {
  uint8_t diacritic;
  Cell spacing;
  ComposedLetter composed[12];  // ends at the first entry with letter 0
  const char *no_output;
};

// A combination row expanded for lookup by the octet that follows the
// diacritic: letters a-z at slots 0-25, A-Z at 26-51, the space at 52, and
// every other octet at 53 (refused).
constexpr int kSpaceSlot = 52;
constexpr int kOtherSlot = 53;
constexpr int kSlotCount = 54;

struct Combination {
  Cell by_slot[kSlotCount];
};

constexpr int combination_slot(uint8_t octet) {
  if (octet >= 'a' && octet <= 'z') return octet - 'a';
  if (octet >= 'A' && octet <= 'Z') return 26 + (octet - 'A');
  return octet == ' ' ? kSpaceSlot : kOtherSlot;
}

constexpr Combination expand_combination(const CombinationRow &row) {
  Combination combination{};
  for (Cell &cell : combination.by_slot) cell = refused;
  combination.by_slot[kSpaceSlot] = row.spacing;
  for (const ComposedLetter &c : row.composed) {
    if (c.letter == 0) break;
    combination.by_slot[combination_slot(static_cast<uint8_t>(c.letter))] = emit(c.latin1);
  }
  for (const char *p = row.no_output; *p != 0; ++p)
    combination.by_slot[combination_slot(static_cast<uint8_t>(*p))] = none;
  return combination;
}

}  // namespace lyrdua::cnv
