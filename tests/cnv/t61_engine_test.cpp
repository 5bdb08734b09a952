// Escape sequences, shifts, control sequences, truncated input, small
// destinations, measuring mode and the calling contract of the conversions.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/cnv/t61_test_support.hpp"

namespace lyrdua::cnv_test {
namespace {

struct Case {
  Translate translate;
  const char *input;
  uint32_t result;
  const char *output;
  uint32_t err_pos;  // kUntouched when the conversion succeeds
};

template <size_t count>
void expect_cases(const Case (&cases)[count]) {
  for (size_t i = 0; i < count; ++i) {
    const Case &c = cases[i];
    SCOPED_TRACE(testing::Message() << "row " << i << ": " << c.input);
    const Converted got = convert(c.translate, hex(c.input));
    EXPECT_EQ(got.result, c.result);
    EXPECT_EQ(to_hex(got.output), to_hex(hex(c.output)));
    EXPECT_EQ(got.err_pos, c.err_pos);
  }
}

constexpr uint32_t kOk = KOR_CNV_OK;
constexpr uint32_t kInvalid = KOR_CNV_E_INVALID;
constexpr uint32_t kIncomplete = KOR_CNV_E_INCOMPLETE;
constexpr uint32_t kNone = kUntouched;

const Case kT61Escapes[] = {
    // ESC ( B designates ASCII as G0, a set this direction has no table for: SI fails.
    {kToLatin1, "1B 28 42 0F", kInvalid, "", 3},
    // G0 starts as the primary set, so SI is accepted.
    {kToLatin1, "41 0F 42", kOk, "41 42", kNone},
    // SO with no G1 designated fails at the SO.
    {kToLatin1, "41 0E 42", kInvalid, "41", 1},
    // ESC ) v: SO invokes the supplementary set into GL, where 42 is the acute
    // diacritic; SI returns to the primary set.
    {kToLatin1, "1B 29 76 0E 42 65 0F 42 65", kOk, "E9 42 65", kNone},
    // ESC * v, LS2 (ESC n): GL reads 21 as the supplementary set's A1.
    {kToLatin1, "1B 2A 76 1B 6E 21", kOk, "A1", kNone},
    // ESC + v, LS3 (ESC o): GL reads 26 as the supplementary set's A6 (#).
    {kToLatin1, "1B 2B 76 1B 6F 26", kOk, "23", kNone},
    // ESC ) u, LS1R (ESC ~): GR reads A1 as 21 and A4 as the primary set's 24.
    {kToLatin1, "1B 29 75 1B 7E A1 A4", kOk, "21 A4", kNone},
    // ESC * u, LS2R (ESC }): GR takes the primary set.
    {kToLatin1, "1B 2A 75 1B 7D C1", kOk, "41", kNone},
    // ESC + u, LS3R (ESC |): GR takes the primary set.
    {kToLatin1, "1B 2B 75 1B 7C E1", kOk, "61", kNone},
    // LS1R with no G1 designated fails at its intermediate octet.
    {kToLatin1, "1B 7E", kInvalid, "", 1},
    // LS2 to a G2 (ASCII) that this direction has no table for.
    {kToLatin1, "1B 2A 42 1B 6E", kInvalid, "", 4},
    // ESC ! v makes the supplementary set the C0 set; it has no C0 columns, so
    // control octets produce nothing instead of being refused.
    {kToLatin1, "1B 21 76 00 07 41", kOk, "41", kNone},
    // ESC ! @ names ISO 646's C0 set, unknown in this direction.
    {kToLatin1, "1B 21 40", kInvalid, "", 2},
    // ESC " C names ISO 6429's C1 set, unknown in this direction.
    {kToLatin1, "1B 22 43", kInvalid, "", 2},
    // ESC " H names the supplementary control set, which this direction has.
    {kToLatin1, "1B 22 48 8B", kOk, "8B", kNone},
    // A final octet missing from the 94-set list.
    {kToLatin1, "1B 28 7A", kInvalid, "", 2},
    // A final octet missing from the 96-set list (B is a 94-set).
    {kToLatin1, "1B 2D 42", kInvalid, "", 2},
    // ESC - A designates Latin-1's right half as G1; a designation is only recorded.
    {kToLatin1, "1B 2D 41 41", kOk, "41", kNone},
    // ... and SO to it fails, for this direction has no table for it.
    {kToLatin1, "1B 2D 41 0E", kInvalid, "", 3},
    // A multiple-octet designation reads one more octet and fails on it.
    {kToLatin1, "1B 24 42 41", kInvalid, "", 2},
    // Any other octet after ESC is consumed without effect.
    {kToLatin1, "1B 41 42", kOk, "42", kNone},
    // ... also below 21 and above 7E.
    {kToLatin1, "1B 20 42 1B 7F 43 1B FF 44", kOk, "42 43 44", kNone},
    // The escape octets produce no output.
    {kToLatin1, "41 1B 28 75 42", kOk, "41 42", kNone},
};

TEST(T61Engine, EscapeSequencesAndShiftsInT61) { expect_cases(kT61Escapes); }

const Case kLatin1Escapes[] = {
    // Escape sequences in Latin-1 input produce no output.
    {kToT61, "41 1B 28 42 42", kOk, "41 42", kNone},
    // Nothing is designated at the start: SO and SI fail.
    {kToT61, "41 0E", kInvalid, "41", 1},
    {kToT61, "0F", kInvalid, "", 0},
    // ESC ) B: SO invokes ASCII as GL (the same characters); SI still has no G0.
    {kToT61, "1B 29 42 0E 23 0F", kInvalid, "A6", 5},
    // ESC ) B, LS1R: GR takes ASCII: A1 is 21, A3 is # (A6), FF is DEL, refused.
    {kToT61, "1B 29 42 1B 7E A1 A3 FF", kInvalid, "21 A6", 7},
    // ESC * A, LS2: Latin-1's right half in GL, where 69 stands for e-acute.
    {kToT61, "1B 2A 41 1B 6E 69", kOk, "C2 65", kNone},
    // ESC ! C: ISO 6429's C1 set as C0: 0B stands for PLD and 1B for CSI.
    {kToT61, "1B 21 43 0B 1B 31 6D", kOk, "8B 9B 31 6D", kNone},
    // ESC ! E names T.61's control set, unknown in this direction.
    {kToT61, "1B 21 45", kInvalid, "", 2},
    // ESC " B: ASCII as the C1 set has no C1 columns: PLD produces nothing.
    {kToT61, "1B 22 42 8B 41", kOk, "41", kNone},
};

TEST(T61Engine, EscapeSequencesAndShiftsInLatin1) { expect_cases(kLatin1Escapes); }

// Single shifts only check that the shifted set is available; the character
// after them is read from the invoked sets as usual.
const Case kSingleShifts[] = {
    // SS2 / SS3 with nothing designated.
    {kToLatin1, "19", kInvalid, "", 0},
    {kToLatin1, "41 1D", kInvalid, "41", 1},
    {kToT61, "19", kInvalid, "", 0},
    // SS2 with G2 = the supplementary set: 41 stays A (not the grave diacritic).
    {kToLatin1, "1B 2A 76 19 41", kOk, "41", kNone},
    // SS3 with G3 designated, then a composed letter from GR.
    {kToLatin1, "1B 2B 76 1D C2 65", kOk, "E9", kNone},
    // SS2 with G2 = ASCII in Latin-1 input.
    {kToT61, "1B 2A 42 19 41", kOk, "41", kNone},
};

TEST(T61Engine, SingleShiftsCheckTheShiftedSetOnly) { expect_cases(kSingleShifts); }

const Case kControlSequences[] = {
    // CSI, parameters and final pass through unchanged in both directions.
    {kToT61, "9B 31 3B 32 6D", kOk, "9B 31 3B 32 6D", kNone},
    {kToLatin1, "9B 31 3B 32 6D", kOk, "9B 31 3B 32 6D", kNone},
    // Parameters are copied as they are up to the first octet in 40-7E; what
    // follows is converted again.
    {kToT61, "9B 00 E9 7F 40 E9", kOk, "9B 00 E9 7F 40 C2 65", kNone},
    {kToLatin1, "9B 0E C2 30 41 C2 65", kOk, "9B 0E C2 30 41 E9", kNone},
    // 7E is the last final octet, 3F is not one.
    {kToT61, "9B 3F 7E 41", kOk, "9B 3F 7E 41", kNone},
};

TEST(T61Engine, ControlSequencesPassThrough) { expect_cases(kControlSequences); }

// Input that ends inside a sequence: result 302, the output so far, and the
// position of the input's last octet (a caller can always name the octet).
const Case kTruncated[] = {
    // A diacritic without its letter.
    {kToLatin1, "41 C2", kIncomplete, "41", 1},
    // ESC alone.
    {kToLatin1, "41 1B", kIncomplete, "41", 1},
    {kToT61, "1B", kIncomplete, "", 0},
    // A designation without its final octet: G0, C0, multiple-octet.
    {kToLatin1, "1B 28", kIncomplete, "", 1},
    {kToLatin1, "1B 21", kIncomplete, "", 1},
    {kToT61, "41 1B 24", kIncomplete, "41", 2},
    // A control sequence without its final octet keeps what it copied.
    {kToT61, "9B 31 3B", kIncomplete, "9B 31 3B", 2},
    {kToLatin1, "41 9B", kIncomplete, "41 9B", 1},
};

TEST(T61Engine, TruncatedInputReports302) { expect_cases(kTruncated); }

// A text as segments: an input run and the output it gives. A segment whose
// input and output are equally long converts octet by octet; otherwise an
// output octet that does not fit fails at the last input octet of its segment.
struct Segmented {
  Translate translate;
  std::vector<std::pair<const char *, const char *>> segments;
};

const Segmented kSegmentedTexts[] = {
    {kToT61,
     {{"43", "43"},
      {"54 68 65 20 71 75 69 63 6B 20 62 72 6F 77 6E 20 66 6F 78 20",  // a run of ASCII
       "54 68 65 20 71 75 69 63 6B 20 62 72 6F 77 6E 20 66 6F 78 20"},
      {"E9", "C2 65"},  // a pair
      {"0C", "0D 0C"},  // form feed
      {"A8", "C8 20"},  // spacing diaeresis
      {"A0", ""},       // no T.61 form
      {"9B", "9B"},     // control sequence, octet by octet
      {"31", "31"},
      {"6D", "6D"},
      {"24", "A4"},
      {"1B 28 42", ""},  // escape sequence
      {"FF", "C8 79"}}},
    {kToLatin1,
     {{"43", "43"},
      {"6A 75 6D 70 73 20 6F 76 65 72 20 74 68 65 20 6C 61 7A 79 20",  // a run of ASCII
       "6A 75 6D 70 73 20 6F 76 65 72 20 74 68 65 20 6C 61 7A 79 20"},
      {"C2 65", "E9"},  // composed at the letter
      {"C8 59", ""},    // no Latin-1 form
      {"C2 20", "B4"},  // spacing acute
      {"9B", "9B"},
      {"31", "31"},
      {"6D", "6D"},
      {"0F", ""},
      {"A4", "24"},
      {"1B 28 75", ""},
      {"E1", "C6"}}},
};

struct Flattened {
  Octets input;
  Octets output;
  std::vector<uint32_t> failing_index;  // per output octet
};

Flattened flatten(const Segmented &text, int repeats) {
  Flattened flat;
  for (int r = 0; r < repeats; ++r) {
    for (const auto &[input, output] : text.segments) {
      const Octets in = hex(input);
      const Octets out = hex(output);
      const size_t first = flat.input.size();
      flat.input.insert(flat.input.end(), in.begin(), in.end());
      for (size_t k = 0; k < out.size(); ++k) {
        flat.output.push_back(out[k]);
        const size_t at = in.size() == out.size() ? first + k : flat.input.size() - 1;
        flat.failing_index.push_back(static_cast<uint32_t>(at));
      }
    }
  }
  return flat;
}

TEST(T61Engine, EveryCapacityBelowTheNeededOneGives303) {
  for (const Segmented &text : kSegmentedTexts) {
    // Once, and often enough to exceed the engine's internal runs.
    for (int repeats : {1, 40}) {
      const Flattened flat = flatten(text, repeats);
      const uint32_t needed = static_cast<uint32_t>(flat.output.size());
      for (uint32_t capacity = 0; capacity < needed; ++capacity) {
        SCOPED_TRACE(testing::Message() << "capacity " << capacity << " of " << needed);
        const Converted got = convert_into(text.translate, flat.input, capacity);
        ASSERT_EQ(got.result, KOR_CNV_E_NO_ROOM);
        ASSERT_EQ(got.output.size(), capacity);
        ASSERT_TRUE(std::equal(got.output.begin(), got.output.end(), flat.output.begin()));
        ASSERT_EQ(got.err_pos, flat.failing_index[capacity]);
      }
      const Converted exact = convert_into(text.translate, flat.input, needed);
      EXPECT_EQ(exact.result, KOR_CNV_OK);
      EXPECT_EQ(exact.output, flat.output);
      EXPECT_EQ(exact.err_pos, kUntouched);
    }
  }
}

Octets repeated(const char *unit, size_t times) {
  const Octets one = hex(unit);
  Octets all;
  for (size_t i = 0; i < times; ++i) all.insert(all.end(), one.begin(), one.end());
  return all;
}

Octets joined(Octets a, const Octets &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Long runs of one octet after a shift or designation: each is converted
// through the set invoked at that point.
TEST(T61Engine, LongRunsFollowTheInvokedSet) {
  struct Row {
    Translate translate;
    const char *prefix;
    const char *unit;
    const char *unit_output;
  };
  const Row rows[] = {
      // Latin-1's right half in GL: 61 stands for a-acute.
      {kToT61, "1B 2A 41 1B 6E", "61", "C2 61"},
      // Back to ASCII through G0: 61 is a again.
      {kToT61, "1B 2A 41 1B 6E 1B 28 42 0F", "61", "61"},
      // The supplementary set in GL: 21 stands for A1.
      {kToLatin1, "1B 2A 76 1B 6E", "21", "A1"},
      // SI returns to the primary set.
      {kToLatin1, "1B 2A 76 1B 6E 0F", "21", "21"},
      // The primary set in GR: A1 stands for 21.
      {kToLatin1, "1B 29 75 1B 7E", "A1", "21"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(testing::Message() << row.prefix << " then " << row.unit);
    const Converted got = convert(row.translate, joined(hex(row.prefix), repeated(row.unit, 100)));
    EXPECT_EQ(got.result, KOR_CNV_OK);
    EXPECT_EQ(to_hex(got.output), to_hex(repeated(row.unit_output, 100)));
  }
}

// A composition or a pair at every offset of a long text, so that some fall on
// the last octet of any block or run the engine cuts the text into.
TEST(T61Engine, CompositionsAndPairsAtEveryOffset) {
  for (size_t offset = 0; offset < 600; ++offset) {
    SCOPED_TRACE(testing::Message() << "at offset " << offset);
    const Octets before = repeated("61", offset);
    const Octets after = repeated("62", 600);
    Converted got = convert(kToLatin1, joined(joined(before, hex("C2 65")), after));
    ASSERT_EQ(got.result, KOR_CNV_OK);
    ASSERT_EQ(got.output, joined(joined(before, hex("E9")), after));
    got = convert(kToT61, joined(joined(before, hex("E9")), after));
    ASSERT_EQ(got.result, KOR_CNV_OK);
    ASSERT_EQ(got.output, joined(joined(before, hex("C2 65")), after));
  }
}

// Measuring counts through a 1024-octet buffer: lengths just under, at and
// over its multiples, pairs that straddle them, and far longer outputs.
TEST(T61Engine, MeasuringCountsAnyLength) {
  struct Row {
    Translate translate;
    Octets input;
    Octets output;
    uint32_t result = KOR_CNV_OK;
    uint32_t err_pos = kUntouched;
  };
  const Row rows[] = {
      // ASCII: one octet each.
      {kToT61, repeated("61", 1023), repeated("61", 1023)},
      {kToT61, repeated("61", 1024), repeated("61", 1024)},
      {kToT61, repeated("61", 1025), repeated("61", 1025)},
      {kToT61, repeated("61", 2049), repeated("61", 2049)},
      // e-acute gives two octets; after one a, the 512th pair straddles 1024.
      {kToT61, joined(hex("61"), repeated("E9", 511)), joined(hex("61"), repeated("C2 65", 511))},
      {kToT61, joined(hex("61"), repeated("E9", 512)), joined(hex("61"), repeated("C2 65", 512))},
      // Far longer: 300000 octets of pairs, form feeds and letters.
      {kToT61, repeated("E9 0C 41", 60000), repeated("C2 65 0D 0C 41", 60000)},
      // T.61 pairs become one octet each.
      {kToLatin1, repeated("C2 65", 1025), repeated("E9", 1025)},
      {kToLatin1, repeated("C8 61 41 C8 59", 100000), repeated("E4 41", 100000)},
      // DEL after 3000 letters and pairs: the count so far and the DEL's position.
      {kToT61, joined(repeated("61 E9", 1500), hex("7F")), repeated("61 C2 65", 1500),
       KOR_CNV_E_INVALID, 3000},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(testing::Message() << "output of " << row.output.size());
    uint32_t measured = 0;
    uint32_t err_pos = kUntouched;
    EXPECT_EQ(row.translate(row.input.data(), static_cast<uint32_t>(row.input.size()), nullptr,
                            &measured, &err_pos),
              row.result);
    EXPECT_EQ(measured, row.output.size());
    EXPECT_EQ(err_pos, row.err_pos);
    if (row.result != KOR_CNV_OK) continue;
    // A larger destination receives the output and nothing else.
    const Converted got = convert_into(row.translate, row.input, measured + 100);
    EXPECT_EQ(got.result, KOR_CNV_OK);
    EXPECT_TRUE(got.output == row.output);
  }
}

// The calling contract: empty and missing arguments. The destination and the
// error position are touched only where a row says so.
TEST(T61Engine, EmptyAndMissingArguments) {
  struct Row {
    const char *about;
    Translate translate;
    const char *source;  // hex; null for a null source
    uint32_t source_length;
    bool destination;
    bool length;  // a length argument, holding the destination's 4 octets
    uint32_t result;
    uint32_t length_after;
    uint32_t err_pos;
  };
  const Row rows[] = {
      {"empty source, measuring", kToT61, "41", 0, false, true, KOR_CNV_OK, 0, kUntouched},
      {"empty source, measuring", kToLatin1, "41", 0, false, true, KOR_CNV_OK, 0, kUntouched},
      {"null empty source", kToT61, nullptr, 0, true, true, KOR_CNV_OK, 0, kUntouched},
      {"null empty source", kToLatin1, nullptr, 0, true, true, KOR_CNV_OK, 0, kUntouched},
      // Chosen: a null source with a length is invalid input at offset 0.
      {"null source with a length", kToLatin1, nullptr, 5, false, true, KOR_CNV_E_INVALID, 0, 0},
      // A null length means no capacity: no room for the first octet ...
      {"null length", kToT61, "41 42", 2, true, false, KOR_CNV_E_NO_ROOM, 0, 0},
      // ... though an input that produces nothing needs no room.
      {"null length, no output", kToT61, "A0 AD", 2, true, false, KOR_CNV_OK, 0, kUntouched},
      // Measuring without a length still validates.
      {"measuring without a length", kToT61, "41 42", 2, false, false, KOR_CNV_OK, 0, kUntouched},
      {"measuring without a length", kToT61, "41 7F", 2, false, false, KOR_CNV_E_INVALID, 0, 1},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.about);
    const Octets source = hex(row.source != nullptr ? row.source : "");
    uint8_t dst[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    uint32_t length = row.destination ? sizeof dst : 99;
    uint32_t err_pos = kUntouched;
    EXPECT_EQ(
        row.translate(row.source != nullptr ? source.data() : nullptr, row.source_length,
                      row.destination ? dst : nullptr, row.length ? &length : nullptr, &err_pos),
        row.result);
    if (row.length) {
      EXPECT_EQ(length, row.length_after);
    }
    EXPECT_EQ(err_pos, row.err_pos);
    EXPECT_EQ(dst[0], 0xEE);
  }
}

TEST(T61Engine, ShiftsAndDesignationsDoNotCarryOverToTheNextCall) {
  // The first call leaves the supplementary set invoked in GL ...
  EXPECT_EQ(convert(kToLatin1, hex("1B 2A 76 1B 6E")).result, KOR_CNV_OK);
  // ... the next starts from the primary set again: 41 is A, not a diacritic.
  const Converted got = convert(kToLatin1, hex("41"));
  EXPECT_EQ(got.result, KOR_CNV_OK);
  EXPECT_EQ(to_hex(got.output), "41");
}

}  // namespace
}  // namespace lyrdua::cnv_test
