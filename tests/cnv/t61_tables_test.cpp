// Every octet of both directions, every diacritic with every letter, and the
// round trip of every Latin-1 character, against the conversion tables.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/cnv/t61_test_support.hpp"

namespace lyrdua::cnv_test {
namespace {

// One octet alone: its output in hex, "" for none, or "!1" / "!302" for the
// result of a conversion that fails at that octet (offset 0), followed by the
// output produced before the failure.
struct Expectation {
  uint32_t result;
  Octets output;
};

Expectation expectation_of(const std::string &cell) {
  if (cell.empty() || cell[0] != '!') return {KOR_CNV_OK, hex(cell)};
  const size_t blank = cell.find(' ');
  const std::string output = blank == std::string::npos ? "" : cell.substr(blank + 1);
  return {static_cast<uint32_t>(std::stoul(cell.substr(1, blank - 1))), hex(output)};
}

// A conversion table: C0 and C1 with the right half cell by cell; 20-7E
// map to themselves but for the listed exceptions, and 7F is refused.
struct OctetTable {
  const char *controls[32];
  std::vector<std::pair<int, const char *>> ascii_exceptions;
  const char *right_half[128];

  std::string cell(int octet) const {
    if (octet < 0x20) return controls[octet];
    if (octet >= 0x80) return right_half[octet - 0x80];
    if (octet == 0x7F) return "!1";
    for (const auto &[exception, output] : ascii_exceptions)
      if (exception == octet) return output;
    return to_hex({static_cast<uint8_t>(octet)});
  }
};

void expect_every_octet(Translate translate, const OctetTable &table) {
  for (int octet = 0; octet < 256; ++octet) {
    SCOPED_TRACE(testing::Message() << "octet 0x" << std::hex << octet);
    const Expectation expected = expectation_of(table.cell(octet));
    const Converted got = convert(translate, {static_cast<uint8_t>(octet)});
    EXPECT_EQ(got.result, expected.result);
    EXPECT_EQ(to_hex(got.output), to_hex(expected.output));
    EXPECT_EQ(got.err_pos, expected.result == KOR_CNV_OK ? kUntouched : 0u);
  }
}

// clang-format off
// Latin-1 -> T.61: # and $ move to A6 and A4. C0: BS, LF, CR, SUB copied, FF
// as CR FF, SO/SI/SS2/SS3 fail with nothing designated, ESC alone is an
// incomplete sequence, the rest is ignored. C1: PLD, PLU copied, CSI alone incomplete, the rest ignored.
const OctetTable kLatin1ToT61 = {
    {
        /* 00-07 */ "", "", "", "", "", "", "", "",
        /* 08-0F */ "08", "", "0A", "", "0D 0C", "0D", "!1", "!1",
        /* 10-17 */ "", "", "", "", "", "", "", "",
        /* 18-1F */ "", "!1", "1A", "!302", "", "!1", "", "",
    },
    {{0x23, "A6"}, {0x24, "A4"}},
    {
        /* 80-87 */ "", "", "", "", "", "", "", "",
        /* 88-8F */ "", "", "", "8B", "8C", "", "", "",
        /* 90-97 */ "", "", "", "", "", "", "", "",
        /* 98-9F */ "", "", "", "!302 9B", "", "", "", "",
        /* A0-A7 */ "", "A1", "A2", "A3", "A8", "A5", "", "A7",
        /* A8-AF */ "C8 20", "", "E3", "AB", "", "", "", "C5 20",
        /* B0-B7 */ "B0", "B1", "B2", "B3", "C2 20", "B5", "B6", "B7",
        /* B8-BF */ "CB 20", "", "EB", "BB", "BC", "BD", "BE", "BF",
        /* C0-C7 */ "C1 41", "C2 41", "C3 41", "C4 41", "C8 41", "CA 41", "E1", "CB 43",
        /* C8-CF */ "C1 45", "C2 45", "C3 45", "C8 45", "C1 49", "C2 49", "C3 49", "C8 49",
        /* D0-D7 */ "E2", "C4 4E", "C1 4F", "C2 4F", "C3 4F", "C4 4F", "C8 4F", "B4",
        /* D8-DF */ "E9", "C1 55", "C2 55", "C3 55", "C8 55", "C2 59", "EC", "FB",
        /* E0-E7 */ "C1 61", "C2 61", "C3 61", "C4 61", "C8 61", "CA 61", "F1", "CB 63",
        /* E8-EF */ "C1 65", "C2 65", "C3 65", "C8 65", "C1 69", "C2 69", "C3 69", "C8 69",
        /* F0-F7 */ "F3", "C4 6E", "C1 6F", "C2 6F", "C3 6F", "C4 6F", "C8 6F", "B8",
        /* F8-FF */ "F9", "C1 75", "C2 75", "C3 75", "C8 75", "C2 79", "FC", "C8 79",
    },
};

// T.61 -> Latin-1: 24 is the currency sign. C0: BS, LF, FF, CR, SUB copied,
// SI returns to G0 (the primary set), SO/SS2/SS3 fail with nothing
// designated, the rest is refused. C1: PLD, PLU copied, the rest refused. A diacritic alone is incomplete.
const OctetTable kT61ToLatin1 = {
    {
        /* 00-07 */ "!1", "!1", "!1", "!1", "!1", "!1", "!1", "!1",
        /* 08-0F */ "08", "!1", "0A", "!1", "0C", "0D", "!1", "",
        /* 10-17 */ "!1", "!1", "!1", "!1", "!1", "!1", "!1", "!1",
        /* 18-1F */ "!1", "!1", "1A", "!302", "!1", "!1", "!1", "!1",
    },
    {{0x24, "A4"}},
    {
        /* 80-87 */ "!1", "!1", "!1", "!1", "!1", "!1", "!1", "!1",
        /* 88-8F */ "!1", "!1", "!1", "8B", "8C", "!1", "!1", "!1",
        /* 90-97 */ "!1", "!1", "!1", "!1", "!1", "!1", "!1", "!1",
        /* 98-9F */ "!1", "!1", "!1", "!302 9B", "!1", "!1", "!1", "!1",
        /* A0-A7 */ "!1", "A1", "A2", "A3", "24", "A5", "23", "A7",
        /* A8-AF */ "A4", "!1", "!1", "AB", "!1", "!1", "!1", "!1",
        /* B0-B7 */ "B0", "B1", "B2", "B3", "D7", "B5", "B6", "B7",
        /* B8-BF */ "F7", "!1", "!1", "BB", "BC", "BD", "BE", "BF",
        /* C0-C7 */ "!1", "!302", "!302", "!302", "!302", "!302", "!302", "!302",
        /* C8-CF */ "!302", "", "!302", "!302", "!302", "!302", "!302", "!302",
        /* D0-D7 */ "!1", "!1", "!1", "!1", "!1", "!1", "!1", "!1",
        /* D8-DF */ "!1", "!1", "!1", "!1", "!1", "!1", "!1", "!1",
        /* E0-E7 */ "", "C6", "D0", "AA", "", "!1", "", "",
        /* E8-EF */ "", "D8", "", "BA", "DE", "", "", "",
        /* F0-F7 */ "", "E6", "", "F0", "", "", "", "",
        /* F8-FF */ "", "F8", "", "DF", "FE", "", "", "",
    },
};
// clang-format on

TEST(T61Tables, EveryLatin1Octet) { expect_every_octet(kToT61, kLatin1ToT61); }

TEST(T61Tables, EveryT61Octet) { expect_every_octet(kToLatin1, kT61ToLatin1); }

// A diacritic followed by a space gives its spacing form; followed by a
// letter, the composed Latin-1 letter, nothing (the composition exists but not
// in Latin-1), or refusal for every letter not listed.
struct DiacriticCase {
  uint8_t diacritic;
  const char *with_space;  // hex, "" for no output
  const char *composed;    // letter:Latin-1 pairs
  const char *no_output;   // letters that give no output
};

const DiacriticCase kDiacritics[] = {
    // grave
    {0xC1, "60", "a:E0 e:E8 i:EC o:F2 u:F9 A:C0 E:C8 I:CC O:D2 U:D9", ""},
    // acute
    {0xC2, "B4", "a:E1 e:E9 i:ED o:F3 u:FA y:FD A:C1 E:C9 I:CD O:D3 U:DA Y:DD", "cglnrszCLNRSZ"},
    // circumflex
    {0xC3, "5E", "a:E2 e:EA i:EE o:F4 u:FB A:C2 E:CA I:CE O:D4 U:DB", "cghjswyCGHJSWY"},
    // tilde
    {0xC4, "7E", "a:E3 n:F1 o:F5 A:C3 N:D1 O:D5", "iuIU"},
    // macron
    {0xC5, "AF", "", "aeiouAEIOU"},
    // breve
    {0xC6, "", "", "aguAGU"},
    // dot above
    {0xC7, "", "", "cegzCEGIZ"},
    // diaeresis
    {0xC8, "A8", "a:E4 e:EB i:EF o:F6 u:FC y:FF A:C4 E:CB I:CF O:D6 U:DC", "Y"},
    // ring
    {0xCA, "", "a:E5 A:C5", "uU"},
    // cedilla
    {0xCB, "B8", "c:E7 C:C7", "klnrstGKLNRST"},
    // non-spacing underline: no Latin-1 letter carries it, so every letter
    // under it vanishes like the other compositions without a Latin-1 form
    {0xCC, "", "", "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"},
    // double acute
    {0xCD, "A8", "", "ouOU"},
    // ogonek
    {0xCE, "", "", "aeiuAEIU"},
    // caron
    {0xCF, "", "", "cdelnrstzCDELNRSTZ"},
};

std::string composed_with(const DiacriticCase &row, char letter) {
  std::istringstream pairs(row.composed);
  std::string pair;
  while (pairs >> pair)
    if (pair[0] == letter) return pair.substr(2);
  return "";
}

TEST(T61Tables, EveryDiacriticWithEveryLetterAndSpace) {
  const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (const DiacriticCase &row : kDiacritics) {
    SCOPED_TRACE(testing::Message() << "diacritic 0x" << std::hex << int{row.diacritic});
    Converted got = convert(kToLatin1, {row.diacritic, 0x20});
    EXPECT_EQ(got.result, KOR_CNV_OK);
    EXPECT_EQ(to_hex(got.output), to_hex(hex(row.with_space)));
    for (char letter : letters) {
      SCOPED_TRACE(testing::Message() << "letter " << letter);
      got = convert(kToLatin1, {row.diacritic, static_cast<uint8_t>(letter)});
      const std::string composed = composed_with(row, letter);
      if (!composed.empty()) {
        EXPECT_EQ(got.result, KOR_CNV_OK);
        EXPECT_EQ(to_hex(got.output), composed);
      } else if (std::string(row.no_output).find(letter) != std::string::npos) {
        EXPECT_EQ(got.result, KOR_CNV_OK);
        EXPECT_TRUE(got.output.empty());
      } else {
        EXPECT_EQ(got.result, KOR_CNV_E_INVALID);
        EXPECT_TRUE(got.output.empty());
        EXPECT_EQ(got.err_pos, 1u);  // the letter
      }
    }
  }
}

// The diacritic takes any octet after it: one that is neither a letter nor a
// space is refused at its own position, and composes nothing.
TEST(T61Tables, DiacriticBeforeANonLetterIsRefused) {
  for (int octet : {0x00, 0x31, 0x40, 0x5B, 0x60, 0x7B, 0x7F, 0xC1, 0xE1, 0xFF}) {
    SCOPED_TRACE(testing::Message() << "octet 0x" << std::hex << octet);
    const Converted got = convert(kToLatin1, {0x41, 0xC2, static_cast<uint8_t>(octet)});
    EXPECT_EQ(got.result, KOR_CNV_E_INVALID);
    EXPECT_EQ(to_hex(got.output), "41");
    EXPECT_EQ(got.err_pos, 2u);
  }
}

// Latin-1 graphic characters without a T.61 form: they vanish on the way.
const uint8_t kNoT61Form[] = {
    0xA0,  // no-break space
    0xA6,  // broken bar
    0xA9,  // copyright sign
    0xAC,  // not sign
    0xAD,  // soft hyphen
    0xAE,  // registered sign
    0xB9,  // superscript one
};

bool has_t61_form(uint8_t octet) {
  for (uint8_t none : kNoT61Form)
    if (none == octet) return false;
  return true;
}

// Every graphic Latin-1 character in one text, with the line controls that
// T.61 keeps, comes back or vanishes.
TEST(T61RoundTrip, WholeTextOfGraphicCharactersAndLineControls) {
  Octets text = {0x08, 0x0A, 0x0D, 0x1A};
  Octets kept = text;
  for (int c = 0x20; c < 0x100; ++c) {
    if (c >= 0x7F && c < 0xA0) continue;
    text.push_back(static_cast<uint8_t>(c));
    if (has_t61_form(static_cast<uint8_t>(c))) kept.push_back(static_cast<uint8_t>(c));
  }
  const Converted t61 = convert(kToT61, text);
  ASSERT_EQ(t61.result, KOR_CNV_OK);
  const Converted back = convert(kToLatin1, t61.output);
  ASSERT_EQ(back.result, KOR_CNV_OK);
  EXPECT_EQ(to_hex(back.output), to_hex(kept));
}

}  // namespace
}  // namespace lyrdua::cnv_test
