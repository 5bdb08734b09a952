// The set tables of both conversion directions, the escape final lists and the
// combination table of the T.61 diacritics. Every set is written column by
// column, eight cells a line, in octet order.
#include "cnv/t61_tables.hpp"

namespace lyrdua::cnv {
namespace {

// clang-format off

// ---------------------------------------------------------------------------
// Latin-1 -> T.61
// ---------------------------------------------------------------------------

// ISO-IR 1, C0 set of ISO 646.
constexpr Handler iso_ir_1_handlers[] = {
    Handler::kFormFeed,      // 0
    Handler::kShiftOut,      // 1
    Handler::kShiftIn,       // 2
    Handler::kSingleShift2,  // 3
    Handler::kSingleShift3,  // 4
    Handler::kEscape,        // 5
};
constexpr Column iso_ir_1_column_0 = {
    /* 00-07 */ ignored,    ignored,    ignored,    ignored,    ignored,    ignored,    ignored,    ignored,
    /* 08-0F */ emit(0x08), ignored,    emit(0x0A), ignored,    call(0),    emit(0x0D), call(1),    call(2),
};
constexpr Column iso_ir_1_column_1 = {
    /* 10-17 */ ignored,    ignored,    ignored,    ignored,    ignored,    ignored,    ignored,    ignored,
    /* 18-1F */ ignored,    call(3),    emit(0x1A), call(5),    ignored,    call(4),    ignored,    ignored,
};
constexpr SetTable iso_ir_1 = {
    1,
    {&iso_ir_1_column_0, &iso_ir_1_column_1},
    iso_ir_1_handlers, sizeof iso_ir_1_handlers / sizeof iso_ir_1_handlers[0]};

// ISO-IR 6, ASCII.
constexpr Column iso_ir_6_column_2 = {
    /* 20-27 */ emit(0x20), emit(0x21), emit(0x22), emit(0xA6), emit(0xA4), emit(0x25), emit(0x26), emit(0x27),
    /* 28-2F */ emit(0x28), emit(0x29), emit(0x2A), emit(0x2B), emit(0x2C), emit(0x2D), emit(0x2E), emit(0x2F),
};
constexpr Column iso_ir_6_column_3 = {
    /* 30-37 */ emit(0x30), emit(0x31), emit(0x32), emit(0x33), emit(0x34), emit(0x35), emit(0x36), emit(0x37),
    /* 38-3F */ emit(0x38), emit(0x39), emit(0x3A), emit(0x3B), emit(0x3C), emit(0x3D), emit(0x3E), emit(0x3F),
};
constexpr Column iso_ir_6_column_4 = {
    /* 40-47 */ emit(0x40), emit(0x41), emit(0x42), emit(0x43), emit(0x44), emit(0x45), emit(0x46), emit(0x47),
    /* 48-4F */ emit(0x48), emit(0x49), emit(0x4A), emit(0x4B), emit(0x4C), emit(0x4D), emit(0x4E), emit(0x4F),
};
constexpr Column iso_ir_6_column_5 = {
    /* 50-57 */ emit(0x50), emit(0x51), emit(0x52), emit(0x53), emit(0x54), emit(0x55), emit(0x56), emit(0x57),
    /* 58-5F */ emit(0x58), emit(0x59), emit(0x5A), emit(0x5B), emit(0x5C), emit(0x5D), emit(0x5E), emit(0x5F),
};
constexpr Column iso_ir_6_column_6 = {
    /* 60-67 */ emit(0x60), emit(0x61), emit(0x62), emit(0x63), emit(0x64), emit(0x65), emit(0x66), emit(0x67),
    /* 68-6F */ emit(0x68), emit(0x69), emit(0x6A), emit(0x6B), emit(0x6C), emit(0x6D), emit(0x6E), emit(0x6F),
};
constexpr Column iso_ir_6_column_7 = {
    /* 70-77 */ emit(0x70), emit(0x71), emit(0x72), emit(0x73), emit(0x74), emit(0x75), emit(0x76), emit(0x77),
    /* 78-7F */ emit(0x78), emit(0x79), emit(0x7A), emit(0x7B), emit(0x7C), emit(0x7D), emit(0x7E), refused,
};
constexpr SetTable iso_ir_6 = {
    6,
    {nullptr, nullptr, &iso_ir_6_column_2, &iso_ir_6_column_3, &iso_ir_6_column_4,
     &iso_ir_6_column_5, &iso_ir_6_column_6, &iso_ir_6_column_7},
    nullptr, 0};

// ISO-IR 77, C1 set of ISO 6429.
constexpr Handler iso_ir_77_handlers[] = {
    Handler::kControlSequence,  // 0
};
constexpr Column iso_ir_77_column_0 = {
    /* 80-87 */ ignored,    ignored,    ignored,    ignored,    ignored,    ignored,    ignored,    ignored,
    /* 88-8F */ ignored,    ignored,    ignored,    emit(0x8B), emit(0x8C), ignored,    ignored,    ignored,
};
constexpr Column iso_ir_77_column_1 = {
    /* 90-97 */ ignored,    ignored,    ignored,    ignored,    ignored,    ignored,    ignored,    ignored,
    /* 98-9F */ ignored,    ignored,    ignored,    emit_call(0x9B, 0),     ignored,    ignored,    ignored,    ignored,
};
constexpr SetTable iso_ir_77 = {
    77,
    {&iso_ir_77_column_0, &iso_ir_77_column_1},
    iso_ir_77_handlers, sizeof iso_ir_77_handlers / sizeof iso_ir_77_handlers[0]};

// ISO-IR 100, right half of Latin-1. Accented letters emit their T.61
// diacritic and take the base letter from continuation columns 8 to 11.
constexpr Handler iso_ir_100_handlers[] = {
    Handler::kSpace,  // 0
};
constexpr uint8_t kUpperACEI = 8, kUpperNOUY = 9, kLowerACEI = 10, kLowerNOUY = 11;
constexpr Column iso_ir_100_column_2 = {
    /* A0-A7 */ none,                 emit(0xA1),           emit(0xA2),           emit(0xA3),
                emit(0xA8),           emit(0xA5),           none,                 emit(0xA7),
    /* A8-AF */ emit_call(0xC8, 0),   none,                 emit(0xE3),           emit(0xAB),
                none,                 none,                 none,                 emit_call(0xC5, 0),
};
constexpr Column iso_ir_100_column_3 = {
    /* B0-B7 */ emit(0xB0),           emit(0xB1),           emit(0xB2),           emit(0xB3),
                emit_call(0xC2, 0),   emit(0xB5),           emit(0xB6),           emit(0xB7),
    /* B8-BF */ emit_call(0xCB, 0),   none,                 emit(0xEB),           emit(0xBB),
                emit(0xBC),           emit(0xBD),           emit(0xBE),           emit(0xBF),
};
constexpr Column iso_ir_100_column_4 = {
    /* C0-C7 */ pair(0xC1, kUpperACEI), pair(0xC2, kUpperACEI), pair(0xC3, kUpperACEI), pair(0xC4, kUpperACEI),
                pair(0xC8, kUpperACEI), pair(0xCA, kUpperACEI), emit(0xE1),             pair(0xCB, kUpperACEI),
    /* C8-CF */ pair(0xC1, kUpperACEI), pair(0xC2, kUpperACEI), pair(0xC3, kUpperACEI), pair(0xC8, kUpperACEI),
                pair(0xC1, kUpperACEI), pair(0xC2, kUpperACEI), pair(0xC3, kUpperACEI), pair(0xC8, kUpperACEI),
};
constexpr Column iso_ir_100_column_5 = {
    /* D0-D7 */ emit(0xE2),             pair(0xC4, kUpperNOUY), pair(0xC1, kUpperNOUY), pair(0xC2, kUpperNOUY),
                pair(0xC3, kUpperNOUY), pair(0xC4, kUpperNOUY), pair(0xC8, kUpperNOUY), emit(0xB4),
    /* D8-DF */ emit(0xE9),             pair(0xC1, kUpperNOUY), pair(0xC2, kUpperNOUY), pair(0xC3, kUpperNOUY),
                pair(0xC8, kUpperNOUY), pair(0xC2, kUpperNOUY), emit(0xEC),             emit(0xFB),
};
constexpr Column iso_ir_100_column_6 = {
    /* E0-E7 */ pair(0xC1, kLowerACEI), pair(0xC2, kLowerACEI), pair(0xC3, kLowerACEI), pair(0xC4, kLowerACEI),
                pair(0xC8, kLowerACEI), pair(0xCA, kLowerACEI), emit(0xF1),             pair(0xCB, kLowerACEI),
    /* E8-EF */ pair(0xC1, kLowerACEI), pair(0xC2, kLowerACEI), pair(0xC3, kLowerACEI), pair(0xC8, kLowerACEI),
                pair(0xC1, kLowerACEI), pair(0xC2, kLowerACEI), pair(0xC3, kLowerACEI), pair(0xC8, kLowerACEI),
};
constexpr Column iso_ir_100_column_7 = {
    /* F0-F7 */ emit(0xF3),             pair(0xC4, kLowerNOUY), pair(0xC1, kLowerNOUY), pair(0xC2, kLowerNOUY),
                pair(0xC3, kLowerNOUY), pair(0xC4, kLowerNOUY), pair(0xC8, kLowerNOUY), emit(0xB8),
    /* F8-FF */ emit(0xF9),             pair(0xC1, kLowerNOUY), pair(0xC2, kLowerNOUY), pair(0xC3, kLowerNOUY),
                pair(0xC8, kLowerNOUY), pair(0xC2, kLowerNOUY), emit(0xFC),             pair(0xC8, kLowerNOUY),
};
// Continuation columns: the base letter by row.
constexpr Column iso_ir_100_column_8 = {  // rows of C0-CF
    /* 0-7 */ emit('A'), emit('A'), emit('A'), emit('A'), emit('A'), emit('A'), invalid,   emit('C'),
    /* 8-F */ emit('E'), emit('E'), emit('E'), emit('E'), emit('I'), emit('I'), emit('I'), emit('I'),
};
constexpr Column iso_ir_100_column_9 = {  // rows of D0-DF
    /* 0-7 */ invalid,   emit('N'), emit('O'), emit('O'), emit('O'), emit('O'), emit('O'), invalid,
    /* 8-F */ invalid,   emit('U'), emit('U'), emit('U'), emit('U'), emit('Y'), invalid,   invalid,
};
constexpr Column iso_ir_100_column_10 = {  // rows of E0-EF
    /* 0-7 */ emit('a'), emit('a'), emit('a'), emit('a'), emit('a'), emit('a'), invalid,   emit('c'),
    /* 8-F */ emit('e'), emit('e'), emit('e'), emit('e'), emit('i'), emit('i'), emit('i'), emit('i'),
};
constexpr Column iso_ir_100_column_11 = {  // rows of F0-FF
    /* 0-7 */ invalid,   emit('n'), emit('o'), emit('o'), emit('o'), emit('o'), emit('o'), invalid,
    /* 8-F */ invalid,   emit('u'), emit('u'), emit('u'), emit('u'), emit('y'), invalid,   emit('y'),
};
constexpr SetTable iso_ir_100 = {
    100,
    {nullptr, nullptr, &iso_ir_100_column_2, &iso_ir_100_column_3, &iso_ir_100_column_4,
     &iso_ir_100_column_5, &iso_ir_100_column_6, &iso_ir_100_column_7, &iso_ir_100_column_8,
     &iso_ir_100_column_9, &iso_ir_100_column_10, &iso_ir_100_column_11},
    iso_ir_100_handlers, sizeof iso_ir_100_handlers / sizeof iso_ir_100_handlers[0]};

// ---------------------------------------------------------------------------
// T.61 -> Latin-1
// ---------------------------------------------------------------------------

// ISO-IR 106, T.61 primary control set.
constexpr Handler iso_ir_106_handlers[] = {
    Handler::kShiftOut,      // 0
    Handler::kShiftIn,       // 1
    Handler::kSingleShift2,  // 2
    Handler::kSingleShift3,  // 3
    Handler::kEscape,        // 4
};
constexpr Column iso_ir_106_column_0 = {
    /* 00-07 */ refused,    refused,    refused,    refused,    refused,    refused,    refused,    refused,
    /* 08-0F */ emit(0x08), refused,    emit(0x0A), refused,    emit(0x0C), emit(0x0D), call(0),    call(1),
};
constexpr Column iso_ir_106_column_1 = {
    /* 10-17 */ refused,    refused,    refused,    refused,    refused,    refused,    refused,    refused,
    /* 18-1F */ refused,    call(2),    emit(0x1A), call(4),    refused,    call(3),    refused,    refused,
};
constexpr SetTable iso_ir_106 = {
    106,
    {&iso_ir_106_column_0, &iso_ir_106_column_1},
    iso_ir_106_handlers, sizeof iso_ir_106_handlers / sizeof iso_ir_106_handlers[0]};

// ISO-IR 102, T.61 primary graphic set.
constexpr Column iso_ir_102_column_2 = {
    /* 20-27 */ emit(0x20), emit(0x21), emit(0x22), emit(0x23), emit(0xA4), emit(0x25), emit(0x26), emit(0x27),
    /* 28-2F */ emit(0x28), emit(0x29), emit(0x2A), emit(0x2B), emit(0x2C), emit(0x2D), emit(0x2E), emit(0x2F),
};
constexpr Column iso_ir_102_column_3 = {
    /* 30-37 */ emit(0x30), emit(0x31), emit(0x32), emit(0x33), emit(0x34), emit(0x35), emit(0x36), emit(0x37),
    /* 38-3F */ emit(0x38), emit(0x39), emit(0x3A), emit(0x3B), emit(0x3C), emit(0x3D), emit(0x3E), emit(0x3F),
};
constexpr Column iso_ir_102_column_4 = {
    /* 40-47 */ emit(0x40), emit(0x41), emit(0x42), emit(0x43), emit(0x44), emit(0x45), emit(0x46), emit(0x47),
    /* 48-4F */ emit(0x48), emit(0x49), emit(0x4A), emit(0x4B), emit(0x4C), emit(0x4D), emit(0x4E), emit(0x4F),
};
constexpr Column iso_ir_102_column_5 = {
    /* 50-57 */ emit(0x50), emit(0x51), emit(0x52), emit(0x53), emit(0x54), emit(0x55), emit(0x56), emit(0x57),
    /* 58-5F */ emit(0x58), emit(0x59), emit(0x5A), emit(0x5B), emit(0x5C), emit(0x5D), emit(0x5E), emit(0x5F),
};
constexpr Column iso_ir_102_column_6 = {
    /* 60-67 */ emit(0x60), emit(0x61), emit(0x62), emit(0x63), emit(0x64), emit(0x65), emit(0x66), emit(0x67),
    /* 68-6F */ emit(0x68), emit(0x69), emit(0x6A), emit(0x6B), emit(0x6C), emit(0x6D), emit(0x6E), emit(0x6F),
};
constexpr Column iso_ir_102_column_7 = {
    /* 70-77 */ emit(0x70), emit(0x71), emit(0x72), emit(0x73), emit(0x74), emit(0x75), emit(0x76), emit(0x77),
    /* 78-7F */ emit(0x78), emit(0x79), emit(0x7A), emit(0x7B), emit(0x7C), emit(0x7D), emit(0x7E), refused,
};
constexpr SetTable iso_ir_102 = {
    102,
    {nullptr, nullptr, &iso_ir_102_column_2, &iso_ir_102_column_3, &iso_ir_102_column_4,
     &iso_ir_102_column_5, &iso_ir_102_column_6, &iso_ir_102_column_7},
    nullptr, 0};

// ISO-IR 107, T.61 supplementary control set.
constexpr Handler iso_ir_107_handlers[] = {
    Handler::kControlSequence,  // 0
};
constexpr Column iso_ir_107_column_0 = {
    /* 80-87 */ refused,    refused,    refused,    refused,    refused,    refused,    refused,    refused,
    /* 88-8F */ refused,    refused,    refused,    emit(0x8B), emit(0x8C), refused,    refused,    refused,
};
constexpr Column iso_ir_107_column_1 = {
    /* 90-97 */ refused,    refused,    refused,    refused,    refused,    refused,    refused,    refused,
    /* 98-9F */ refused,    refused,    refused,    emit_call(0x9B, 0),     refused,    refused,    refused,    refused,
};
constexpr SetTable iso_ir_107 = {
    107,
    {&iso_ir_107_column_0, &iso_ir_107_column_1},
    iso_ir_107_handlers, sizeof iso_ir_107_handlers / sizeof iso_ir_107_handlers[0]};

// ISO-IR 103, T.61 supplementary set. C1-C8 and CA-CF are the non-spacing
// diacritics, composed with the following letter by the diacritic handler.
constexpr Handler iso_ir_103_handlers[] = {
    Handler::kDiacritic,  // 0
};
constexpr Column iso_ir_103_column_2 = {
    /* A0-A7 */ refused,    emit(0xA1), emit(0xA2), emit(0xA3), emit(0x24), emit(0xA5), emit(0x23), emit(0xA7),
    /* A8-AF */ emit(0xA4), refused,    refused,    emit(0xAB), refused,    refused,    refused,    refused,
};
constexpr Column iso_ir_103_column_3 = {
    /* B0-B7 */ emit(0xB0), emit(0xB1), emit(0xB2), emit(0xB3), emit(0xD7), emit(0xB5), emit(0xB6), emit(0xB7),
    /* B8-BF */ emit(0xF7), refused,    refused,    emit(0xBB), emit(0xBC), emit(0xBD), emit(0xBE), emit(0xBF),
};
constexpr Column iso_ir_103_column_4 = {
    /* C0-C7 */ refused,    call(0),    call(0),    call(0),    call(0),    call(0),    call(0),    call(0),
    /* C8-CF */ call(0),    none,       call(0),    call(0),    call(0),    call(0),    call(0),    call(0),
};
constexpr Column iso_ir_103_column_5 = {
    /* D0-D7 */ refused,    refused,    refused,    refused,    refused,    refused,    refused,    refused,
    /* D8-DF */ refused,    refused,    refused,    refused,    refused,    refused,    refused,    refused,
};
constexpr Column iso_ir_103_column_6 = {
    /* E0-E7 */ none,       emit(0xC6), emit(0xD0), emit(0xAA), none,       refused,    none,       none,
    /* E8-EF */ none,       emit(0xD8), none,       emit(0xBA), emit(0xDE), none,       none,       none,
};
constexpr Column iso_ir_103_column_7 = {
    /* F0-F7 */ none,       emit(0xE6), none,       emit(0xF0), none,       none,       none,       none,
    /* F8-FF */ none,       emit(0xF8), none,       emit(0xDF), emit(0xFE), none,       none,       none,
};
constexpr SetTable iso_ir_103 = {
    103,
    {nullptr, nullptr, &iso_ir_103_column_2, &iso_ir_103_column_3, &iso_ir_103_column_4,
     &iso_ir_103_column_5, &iso_ir_103_column_6, &iso_ir_103_column_7},
    iso_ir_103_handlers, sizeof iso_ir_103_handlers / sizeof iso_ir_103_handlers[0]};

// Combination table of the diacritics: letter -> Latin-1, then the letters
// whose composition has no Latin-1 equivalent; other letters are refused.
// 0xCC (non-spacing underline) composes with no letter into Latin-1: every
// letter under it gives no output, as for the other diacritics without a
// Latin-1 composition.
constexpr CombinationRow combination_rows[] = {
    {0xC1, emit(0x60),  // grave
     {{'a', 0xE0}, {'e', 0xE8}, {'i', 0xEC}, {'o', 0xF2}, {'u', 0xF9},
      {'A', 0xC0}, {'E', 0xC8}, {'I', 0xCC}, {'O', 0xD2}, {'U', 0xD9}},
     ""},
    {0xC2, emit(0xB4),  // acute
     {{'a', 0xE1}, {'e', 0xE9}, {'i', 0xED}, {'o', 0xF3}, {'u', 0xFA}, {'y', 0xFD},
      {'A', 0xC1}, {'E', 0xC9}, {'I', 0xCD}, {'O', 0xD3}, {'U', 0xDA}, {'Y', 0xDD}},
     "cglnrszCLNRSZ"},
    {0xC3, emit(0x5E),  // circumflex
     {{'a', 0xE2}, {'e', 0xEA}, {'i', 0xEE}, {'o', 0xF4}, {'u', 0xFB},
      {'A', 0xC2}, {'E', 0xCA}, {'I', 0xCE}, {'O', 0xD4}, {'U', 0xDB}},
     "cghjswyCGHJSWY"},
    {0xC4, emit(0x7E),  // tilde
     {{'a', 0xE3}, {'n', 0xF1}, {'o', 0xF5}, {'A', 0xC3}, {'N', 0xD1}, {'O', 0xD5}},
     "iuIU"},
    {0xC5, emit(0xAF),  // macron
     {},
     "aeiouAEIOU"},
    {0xC6, none,  // breve
     {},
     "aguAGU"},
    {0xC7, none,  // dot above
     {},
     "cegzCEGIZ"},
    {0xC8, emit(0xA8),  // diaeresis
     {{'a', 0xE4}, {'e', 0xEB}, {'i', 0xEF}, {'o', 0xF6}, {'u', 0xFC}, {'y', 0xFF},
      {'A', 0xC4}, {'E', 0xCB}, {'I', 0xCF}, {'O', 0xD6}, {'U', 0xDC}},
     "Y"},
    {0xCA, none,  // ring
     {{'a', 0xE5}, {'A', 0xC5}},
     "uU"},
    {0xCB, emit(0xB8),  // cedilla
     {{'c', 0xE7}, {'C', 0xC7}},
     "klnrstGKLNRST"},
    {0xCC, none,  // non-spacing underline
     {},
     "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"},
    {0xCD, emit(0xA8),  // double acute
     {},
     "ouOU"},
    {0xCE, none,  // ogonek
     {},
     "aeiuAEIU"},
    {0xCF, none,  // caron
     {},
     "cdelnrstzCDELNRSTZ"},
};

// ---------------------------------------------------------------------------
// Escape sequences: final octet -> ISO-IR number; the first match counts.
// ---------------------------------------------------------------------------

constexpr FinalOctet c0_final_entries[] = {
    {0x40, 1}, {0x45, 106}, {0x43, 77}, {0x48, 107}, {0x42, 6}, {0x75, 102}, {0x76, 103},
};
constexpr FinalOctet c1_final_entries[] = {
    {0x43, 77}, {0x48, 107}, {0x40, 2}, {0x42, 6}, {0x75, 102}, {0x76, 103}, {0x41, 100}, {0x4A, 142},
};
constexpr FinalOctet final_94_entries[] = {
    {0x40, 2}, {0x42, 6}, {0x75, 102}, {0x76, 103}, {0x41, 100}, {0x4A, 142},
};
constexpr FinalOctet final_96_entries[] = {
    {0x41, 100}, {0x4A, 142},
};

// ---------------------------------------------------------------------------
// The two directions: set lookup, initial C0, GL, C1, GR and G0-G3.
// ---------------------------------------------------------------------------

constexpr KnownSet latin1_known_sets[] = {
    {1, &iso_ir_1}, {6, &iso_ir_6}, {77, &iso_ir_77}, {100, &iso_ir_100},
};
constexpr const SetTable *latin1_initial_invoked[kRangeCount] = {
    &iso_ir_1, &iso_ir_6, &iso_ir_77, &iso_ir_100,
};

constexpr KnownSet t61_known_sets[] = {
    {106, &iso_ir_106}, {102, &iso_ir_102}, {107, &iso_ir_107}, {103, &iso_ir_103},
};
constexpr const SetTable *t61_initial_invoked[kRangeCount] = {
    &iso_ir_106, &iso_ir_102, &iso_ir_107, &iso_ir_103,
};

// clang-format on

// Derived from the sets above.
constexpr FastView latin1_initial_view = fast_view_of(latin1_initial_invoked);
constexpr FastView t61_initial_view = fast_view_of(t61_initial_invoked);

template <size_t N>
constexpr FinalList final_list(const FinalOctet (&entries)[N]) {
  return {entries, N};
}

constexpr const CombinationRow *find_combination_row(uint8_t diacritic) {
  for (const CombinationRow &row : combination_rows)
    if (row.diacritic == diacritic) return &row;
  return nullptr;
}

// An octet of the diacritic range without a row composes nothing.
constexpr Combination no_combination() {
  Combination combination{};
  for (Cell &cell : combination.by_slot) cell = refused;
  combination.by_slot[kSpaceSlot] = none;
  return combination;
}

struct CombinationTable {
  Combination by_diacritic[kDiacriticCount];
};

constexpr CombinationTable expand_combinations() {
  CombinationTable table{};
  for (int i = 0; i < kDiacriticCount; ++i) {
    const CombinationRow *row = find_combination_row(static_cast<uint8_t>(kFirstDiacritic + i));
    table.by_diacritic[i] = row != nullptr ? expand_combination(*row) : no_combination();
  }
  return table;
}

constexpr CombinationTable combination_table = expand_combinations();

}  // namespace

// clang-format off
const Direction latin1_to_t61 = {
    latin1_known_sets, sizeof latin1_known_sets / sizeof latin1_known_sets[0],
    latin1_initial_invoked,
    {kNoDesignation, kNoDesignation, kNoDesignation, kNoDesignation},  // G0-G3
    &latin1_initial_view,
};

const Direction t61_to_latin1 = {
    t61_known_sets, sizeof t61_known_sets / sizeof t61_known_sets[0],
    t61_initial_invoked,
    {102, kNoDesignation, kNoDesignation, kNoDesignation},  // G0-G3
    &t61_initial_view,
};
// clang-format on

const FinalList c0_finals = final_list(c0_final_entries);
const FinalList c1_finals = final_list(c1_final_entries);
const FinalList finals_94 = final_list(final_94_entries);
const FinalList finals_96 = final_list(final_96_entries);

const Combination (&diacritic_combinations)[kDiacriticCount] = combination_table.by_diacritic;

}  // namespace lyrdua::cnv
