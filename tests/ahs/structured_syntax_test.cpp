// Facsimile telephone number, postal address and telex number handlers
// through the C API: text, structure form and BER, both ways, in A and W.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <utility>

#include "tests/ahs/syntax_harness.hpp"

namespace lyrdua::test {
namespace {

// Structure entries as offsets into the text they point into (-1: absent) and lengths.
using Entries = std::vector<std::pair<long, uint32_t>>;

template <typename Char>
std::string as_string(const Char *text, size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>(text[i]);
  return s;
}

#define HANDLERS(Name, StructA, StructW)                                       \
  using SA = StructA;                                                          \
  using SW = StructW;                                                          \
  static constexpr auto ext_to_int_a = kor_ahs_ExtToInt_##Name##A;             \
  static constexpr auto ext_to_int_w = kor_ahs_ExtToInt_##Name##W;             \
  static constexpr auto ext_to_struct_a = kor_ahs_ExtToStruct_##Name##A;       \
  static constexpr auto ext_to_struct_w = kor_ahs_ExtToStruct_##Name##W;       \
  static constexpr auto struct_to_ext_a = kor_ahs_StructToExt_##Name##A;       \
  static constexpr auto struct_to_ext_w = kor_ahs_StructToExt_##Name##W;       \
  static constexpr auto int_to_ext_a = kor_ahs_IntToExt_##Name##A;             \
  static constexpr auto int_to_ext_w = kor_ahs_IntToExt_##Name##W;             \
  template <typename S, typename Char>                                         \
  static Entries entries(const S &s, const Char *base) {                       \
    Entries e;                                                                 \
    for (auto [p, n] : spans(s)) e.emplace_back(p ? p - base : -1, p ? n : 0); \
    return e;                                                                  \
  }

#define SPAN(field) std::make_pair(s.field, s.field##_len)

struct Fax {
  HANDLERS(FaxTelephoneNumber, kor_ahs_fax_telephone_number, kor_ahs_fax_telephone_numberW)
  template <typename S>
  static auto spans(const S &s) {
    return std::vector{SPAN(telephone_number), SPAN(two_dimensional), SPAN(fine_resolution),
                       SPAN(unlimited_length), SPAN(b4_length),       SPAN(a3_width),
                       SPAN(b4_width),         SPAN(uncompressed)};
  }
};

struct Postal {
  HANDLERS(PostalAddress, kor_ahs_postal_address, kor_ahs_postal_addressW)
  template <typename S>
  static auto spans(const S &s) {
    std::vector<std::pair<decltype(s.lines[0].line), uint32_t>> lines;
    for (const auto &l : s.lines) lines.emplace_back(l.line, l.line_len);
    return lines;
  }
};

struct Telex {
  HANDLERS(TelexNumber, kor_ahs_telex_number, kor_ahs_telex_numberW)
  template <typename S>
  static auto spans(const S &s) {
    return std::vector{SPAN(telex_number), SPAN(country_code), SPAN(answerback)};
  }
};

// The A or the W handler, by the width of Char, and the structure it takes.
template <typename Char, typename A, typename W>
constexpr auto by_width(A a, W w) {
  return std::get < sizeof(Char) == 1 ? 0 : 1 > (std::make_pair(a, w));
}
template <typename Syntax, typename Char>
using StructOf = std::conditional_t<sizeof(Char) == 1, typename Syntax::SA, typename Syntax::SW>;

// ExtToStruct, then StructToExt, in the width of Char: the result and the text.
template <typename Syntax, typename Char>
std::pair<uint32_t, std::string> reprint(const std::string &text) {
  std::vector<Char> in(text.size() + 1, 0), out(2 * text.size() + 128);
  for (size_t i = 0; i < text.size(); ++i) in[i] = static_cast<unsigned char>(text[i]);
  auto length = static_cast<uint32_t>(out.size());
  StructOf<Syntax, Char> s;
  auto parse = by_width<Char>(Syntax::ext_to_struct_a, Syntax::ext_to_struct_w);
  auto print = by_width<Char>(Syntax::struct_to_ext_a, Syntax::struct_to_ext_w);
  uint32_t result = parse(in.data(), static_cast<int32_t>(text.size()), &s);
  if (result == 0) {
    EXPECT_EQ(print(&s, out.data(), &length), 0u);
  }
  return {result, result == 0 ? as_string(out.data(), length) : ""};
}

struct StructDecoded {
  Decoded d;
  Entries entries;
};

// Decodes hex with the five-argument decoder of the width Char into a
// buffer of capacity characters, watching the unit after it.
template <typename Syntax, typename Char = char>
StructDecoded decode_struct(const std::string &hex, uint32_t capacity) {
  StructOf<Syntax, Char> s;
  std::memset(&s, 0xA5, sizeof s);  // every entry must be cleared or filled
  auto decoder = by_width<Char>(Syntax::int_to_ext_a, Syntax::int_to_ext_w);
  StructDecoded r;
  r.d = decode_with<Char>(
      [&](kor_asn1_ctx *ctx, Char *out, uint32_t *out_len, uintptr_t) {
        uint32_t result = decoder(ctx, out, out_len, &s, 0);
        r.entries = Syntax::entries(s, static_cast<const Char *>(out));
        return result;
      },
      hex, capacity);
  return r;
}

// A valid text, the BER it encodes to, and the canonical text that the
// structure prints and the BER decodes to (empty: the text itself).
struct Accepted {
  std::string text, hex, canonical;
};

template <typename Syntax>
void check_accepted(const std::vector<Accepted> &rows) {
  for (const Accepted &row : rows) {
    SCOPED_TRACE(row.text.substr(0, 60));
    EventProbe events;
    std::string canonical = row.canonical.empty() ? row.text : row.canonical;
    Encoded a = encode(Syntax::ext_to_int_a, row.text);
    EXPECT_EQ(a.result, 0u);
    EXPECT_EQ(a.hex, normal_hex(row.hex));
    EXPECT_EQ((reprint<Syntax, char>(row.text)), std::make_pair(0u, canonical));
    EXPECT_EQ((reprint<Syntax, kor_wchar>(row.text)), std::make_pair(0u, canonical)) << "W";
    EXPECT_EQ(encode_w(Syntax::ext_to_int_w, row.text).result, KOR_AHS_UNSUPPORTED) << "W";
    StructDecoded back = decode_struct<Syntax>(a.hex, static_cast<uint32_t>(canonical.size() + 1));
    EXPECT_EQ(back.d.result, 0u);
    EXPECT_EQ(back.d.text, canonical);
    EXPECT_EQ(back.d.out_len, canonical.size());
    EXPECT_EQ(encode(Syntax::ext_to_int_a, canonical).hex, a.hex);
    EXPECT_TRUE(events.take().empty());
  }
}

// A refused text: the event (with its parameter, if any) of A and of W; a
// bad character of a member is found only after the text has parsed.
struct Refused {
  std::string text;
  uint32_t code;
  std::string param;
  uint32_t w_code = 0;  // 0: as A
};

template <typename Syntax>
void check_refused(const std::vector<Refused> &rows) {
  for (const Refused &row : rows) {
    SCOPED_TRACE(row.text.substr(0, 60));
    EventProbe events;
    Encoded a = encode(Syntax::ext_to_int_a, row.text);
    EXPECT_EQ(a.result, row.code);
    RaisedEvent raised = events.single();
    EXPECT_EQ(raised.code, row.code);
    EXPECT_EQ(raised.params,
              row.param.empty() ? std::vector<std::string>{} : std::vector{row.param});
    uint32_t parse = row.code == KOR_AHS_E_PRINTABLE_CHAR ? 0 : row.code;
    EXPECT_EQ((reprint<Syntax, char>(row.text)).first, parse);
    EXPECT_EQ((reprint<Syntax, kor_wchar>(row.text)).first, parse) << "W";
    EXPECT_EQ(encode_w(Syntax::ext_to_int_w, row.text).result, row.w_code ? row.w_code : row.code);
    events.take();
  }
}

std::string repeat(const std::string &piece, size_t times, const std::string &glue = "") {
  std::string text;
  for (size_t i = 0; i < times; ++i) text += (i ? glue : "") + piece;
  return text;
}

const std::string k12345 = "13 05 31 32 33 34 35";

TEST(FaxTelephoneNumber, Text) {
  check_accepted<Fax>({
      {"+49 89 1234$twoDimensional$fineResolution",
       "30 14 13 0B 2B 34 39 20 38 39 20 31 32 33 34 03 05 01 00 C0 00 00", ""},
      // Without parameters the BIT STRING is still written.
      {"12345", "30 0E" + k12345 + "03 05 01 00 00 00 00", ""},
      // Trimmed, case-insensitive prefix.
      {"12345$ a3w ", "30 0E" + k12345 + "03 05 01 00 00 02 00", "12345$a3Width"},
      // The other four bits, named in any order; printed in table order.
      {"12345$UNCOMPRESSED$b4W$b4L$unl", "30 0E" + k12345 + "03 05 01 00 00 0D 02",
       "12345$unlimitedLength$b4Length$b4Width$uncompressed"},
      {"12345$two$TWO", "30 0E" + k12345 + "03 05 01 00 80 00 00", "12345$twoDimensional"},
      // The number keeps its blanks.
      {" 1 $fine", "30 0C 13 03 20 31 20 03 05 01 00 40 00 00", " 1 $fineResolution"},
      {std::string(32, '7'), "30 29 13 20" + repeat("37", 32) + "03 05 01 00 00 00 00", ""},
  });
  check_refused<Fax>({
      {std::string(33, '7'), KOR_AHS_E_FAX_NUMBER_LONG, "32"},
      {"12345$b4", KOR_AHS_E_FAX_PARAM, ""},        // ambiguous
      {"12345$a3Widths", KOR_AHS_E_FAX_PARAM, ""},  // longer than the name
      {"12345$colour", KOR_AHS_E_FAX_PARAM, ""},
      {"12345$", KOR_AHS_E_FAX_EMPTY_PARAM, ""},
      {"12345$   ", KOR_AHS_E_FAX_EMPTY_PARAM, ""},
      {"$a3Width", KOR_AHS_E_FAX_EMPTY, ""},
      {"", KOR_AHS_E_FAX_EMPTY, ""},
      {"12&45$two", KOR_AHS_E_PRINTABLE_CHAR, "&"},
  });
}

TEST(PostalAddress, Text) {
  check_accepted<Postal>({
      {"10 Main Street$Springfield$USA",
       "30 22 13 0E 31 30 20 4D 61 69 6E 20 53 74 72 65 65 74"
       "13 0B 53 70 72 69 6E 67 66 69 65 6C 64 13 03 55 53 41",
       ""},
      // A Latin-1 line is a T61String with its bytes unchanged.
      {"caf\xE9$Paris", "30 0D 14 04 63 61 66 E9 13 05 50 61 72 69 73", ""},
      {repeat("a", 32, "$"), "30 60" + repeat("13 01 61", 32), ""},
      {std::string(255, 'x'), "30 82 01 02 13 81 FF" + repeat("78", 255), ""},
  });
  check_refused<Postal>({
      {repeat("a", 33, "$"), KOR_AHS_E_POSTAL_LINES, ""},
      {repeat("a", 32, "$") + "$", KOR_AHS_E_POSTAL_LINES, ""},  // text after the 32nd line
      {"a$" + std::string(1025, 'x'), KOR_AHS_E_POSTAL_LINE_LONG, "1024"},
      {"abc$", KOR_AHS_E_POSTAL_EMPTY, ""},
      {"", KOR_AHS_E_POSTAL_EMPTY, ""},
  });
  // 1024 characters are written (reading takes at most 255: see the BER rows).
  Encoded long_line = encode(kor_ahs_ExtToInt_PostalAddressA, std::string(1024, 'x'));
  EXPECT_EQ(long_line.hex.substr(0, 23), "30 82 04 04 13 82 04 00");
}

TEST(TelexNumber, Text) {
  const std::string kTelex = "30 10" + k12345 + "13 02 44 45 13 03 41 42 43";
  check_accepted<Telex>({
      {"12345$DE$ABC", kTelex, ""},
      // Without "$" the answerback comes before the country code.
      {"12345 ABC DE", kTelex, "12345$DE$ABC"},
      // A second space starts the answerback.
      {"12345  ABC DE", "30 11" + k12345 + "13 02 44 45 13 04 20 41 42 43", "12345$DE$ ABC"},
      // A leading space stays in the number.
      {" 1 A B", "30 0A 13 02 20 31 13 01 42 13 01 41", " 1$B$A"},
      {"1$D E$A B", "30 0D 13 01 31 13 03 44 20 45 13 03 41 20 42", ""},
  });
  check_refused<Telex>({
      // The country code starts with "$"; W checks only the answerback.
      {"12345$$DE$ABC", KOR_AHS_E_PRINTABLE_CHAR, "$", KOR_AHS_UNSUPPORTED},
      {"12345$DE$AB&", KOR_AHS_E_PRINTABLE_CHAR, "&"},
      {"12345", KOR_AHS_E_TELEX, ""},
      {"12345$DE", KOR_AHS_E_TELEX, ""},
      {"12345$DE$", KOR_AHS_E_TELEX, ""},
      {"12345$$ABC", KOR_AHS_E_TELEX, ""},  // only "$" between
      {"$DE$ABC", KOR_AHS_E_TELEX, ""},
      {"  12345", KOR_AHS_E_TELEX, ""},
  });
}

// BER that no text produces. present: a bit per structure entry filled.
struct BerRow {
  std::string hex;
  uint32_t capacity, result;
  std::string text;
  uint32_t out_len;
  uint64_t present;
  std::vector<std::string> params = {};
};

template <typename Syntax, typename Char = char>
void check_ber(const std::vector<BerRow> &rows) {
  for (const BerRow &row : rows) {
    SCOPED_TRACE(row.hex.substr(0, 60));
    EventProbe events;
    StructDecoded r = decode_struct<Syntax, Char>(row.hex, row.capacity);
    EXPECT_EQ(r.d.result, row.result);
    if (row.result == 0 || row.result == KOR_AHS_TRUNCATED) {
      EXPECT_EQ(r.d.text, row.text);
      EXPECT_EQ(r.d.out_len, row.out_len);
    }
    RaisedEvent raised = events.single();
    EXPECT_EQ(raised.code, row.result >= 0xE6F00000u ? row.result : 0u);
    EXPECT_EQ(raised.params, row.params);
    for (size_t i = 0; i < r.entries.size(); ++i)
      EXPECT_EQ(r.entries[i].first >= 0, (row.present >> i & 1) != 0) << "entry " << i;
  }
}

const uint32_t kWrongTag = KOR_AHS_E_WRONG_TAG;

TEST(FaxTelephoneNumber, Ber) {
  const std::string kEveryBit =
      "12345$twoDimensional$fineResolution$unlimitedLength$b4Length$a3Width$b4Width$uncompressed";
  check_ber<Fax>({
      {"30 07" + k12345, 64, 0, "12345", 5, 1},  // no BIT STRING
      // Unknown bits and octets after the fifth are ignored.
      {"30 0F" + k12345 + "03 06 01 FF FF FF FF FF", 128, 0, kEveryBit, 89, 0xFF},
      {"30 80" + k12345 + "03 05 00 00 00 00 02 00 00", 64, 0, "12345$uncompressed", 18, 0x81},
      {"30 0C" + k12345 + "03 03 06 00 C0", 64, KOR_AHS_E_FAX_BITS, "", 0, 1},
      {"30 0E" + k12345 + "03 05 02 00 80 00 00", 64, KOR_AHS_E_FAX_BITS, "", 0, 1},
      {"30 00", 64, KOR_AHS_MISSING, "", 0, 0},
      {"", 64, KOR_AHS_NO_ELEMENT, "", 0, 0},
      {"31 00", 64, kWrongTag, "", 0, 0, {"17", "16 (SEQ)"}},
      {"30 03 16 01 31", 64, kWrongTag, "", 0, 0, {"22", "19 (PRINTABLE STRING)"}},
      {"30 0A" + k12345 + "04 01 00", 64, kWrongTag, "", 0, 1, {"4", "3 (BIT_STRING)"}},
      {"30 10" + k12345 + "03 05 01 00 00 00 00 05 00", 64, kWrongTag, "", 0, 1, {"5", "0 (EOC)"}},
  });
  // W: the structure is cleared and the W string handler answers 9.
  check_ber<Fax, kor_wchar>(
      {{"30 0E" + k12345 + "03 05 01 00 80 00 00", 64, KOR_AHS_UNSUPPORTED, "", 0, 0}});
}

TEST(PostalAddress, Ber) {
  const std::string kLine256 = "13 82 01 00" + repeat("78", 256);
  const uint32_t kReadLong = KOR_AHS_E_POSTAL_READ_LONG;
  check_ber<Postal>({
      {"30 00", 8, 0, "", 0, 0},
      {"30 0B 13 03 61 62 63 13 04 64 65 66 67", 6, KOR_AHS_TRUNCATED, "abc$d", 9, 1},
      {"30 07 13 01 61 13 00 13 00", 8, 0, "a$$", 3, 7},  // empty lines
      // No room for the "$" before an empty line: truncated, the line absent.
      {"30 07 13 03 61 62 63 13 00", 4, KOR_AHS_TRUNCATED, "abc", 5, 1},
      {"30 82 01 04" + kLine256, 300, kReadLong, "", 0, 0},
      // Lines after the 32nd are read (and checked) but left out.
      {"30 66" + repeat("13 01 61", 33) + "13 01 62", 300, 0, repeat("a", 32, "$"), 63, 0xFFFFFFFF},
      {"30 82 01 66" + repeat("13 00", 32) + kLine256, 300, kReadLong, "", 0, 0xFFFFFFFF},
      {"04 00", 8, kWrongTag, "", 0, 0, {"4", "16 (SEQ)"}},
      {"30 03 16 01 61", 8, kWrongTag, "", 0, 0, {"22", "20 (T61_STRING OR PRINTABLESTRING)"}},
  });
  check_ber<Postal, kor_wchar>({{"30 05 13 03 55 53 41", 64, KOR_AHS_UNSUPPORTED, "", 0, 0}});
}

TEST(TelexNumber, Ber) {
  const std::string kTelex = "30 10" + k12345 + "13 02 44 45 13 03 41 42 43";
  check_ber<Telex>({
      // The first member exactly fills out: its "$" gives way to the NUL.
      {kTelex, 6, KOR_AHS_TRUNCATED, "12345", 10, 1},
      // Not a SEQUENCE: the reader's error ends the reading.
      {"31 03 13 01 31", 16, KOR_AHS_NO_ELEMENT, "", 0, 0},
      {"30 0A" + k12345 + "13 01 44", 16, KOR_AHS_NO_ELEMENT, "", 0, 3},
      {"30 03 16 01 31", 16, kWrongTag, "", 0, 0, {"22", "19 (PRINTABLE STRING)"}},
  });
  check_ber<Telex, kor_wchar>({{kTelex, 64, KOR_AHS_UNSUPPORTED, "", 0, 0}});
}

// At every capacity up to the size needed: the prefix, *out_len, the result,
// and exactly the entries written whole, pointing into out. The telex decoder
// stops at the member that does not fit and reports the size up to it.
template <typename Syntax>
void check_every_capacity(const std::string &text, const std::vector<int> &order, bool telex) {
  Encoded e = encode(Syntax::ext_to_int_a, text);
  StructDecoded full = decode_struct<Syntax>(e.hex, 4096);
  Entries parts(full.entries.size(), {-1, 0});
  for (size_t i = 0, start = 0; i < order.size(); ++i) {
    size_t end = std::min(full.d.text.find('$', start), full.d.text.size());
    parts[order[i]] = {static_cast<long>(start), static_cast<uint32_t>(end - start)};
    start = end + 1;
  }
  ASSERT_EQ(full.entries, parts);
  auto needed = static_cast<uint32_t>(full.d.text.size() + 1);
  for (uint32_t cap = 1; cap <= needed; ++cap) {
    SCOPED_TRACE(cap);
    StructDecoded r = decode_struct<Syntax>(e.hex, cap);
    EXPECT_EQ(r.d.result, cap == needed ? 0u : KOR_AHS_TRUNCATED);
    EXPECT_EQ(r.d.text, full.d.text.substr(0, cap - 1));
    uint32_t out_len = cap == needed ? needed - 1 : needed;
    for (size_t i = 0; telex && cap < needed; ++i) {
      auto end = static_cast<uint32_t>(parts[order[i]].first + parts[order[i]].second);
      if (end >= cap) {
        out_len = end + (i + 1 < order.size() ? 2 : 1);
        break;
      }
    }
    EXPECT_EQ(r.d.out_len, out_len);
    for (size_t i = 0; i < parts.size(); ++i) {
      bool whole = parts[i].first >= 0 && parts[i].first + parts[i].second < cap;
      EXPECT_EQ(r.entries[i], whole ? parts[i] : std::make_pair(-1L, 0u)) << "entry " << i;
    }
  }
}

TEST(Truncation, EveryCapacity) {
  check_every_capacity<Fax>("+49 89$a3$fine$unc", {0, 2, 5, 7}, false);
  check_every_capacity<Postal>("10 Main St$Springfield$USA", {0, 1, 2}, false);
  check_every_capacity<Telex>("12345$DE$ABC", {0, 1, 2}, true);
}

// ExtToStruct points into the caller's text, except the facsimile parameters,
// which point to the library's constant names; StructToInt W of a postal
// address without lines needs no string handler.
TEST(Structures, PointIntoTheTextOrToTheNames) {
  const char fax_text[] = "+1 555$FINE$fine";
  kor_ahs_fax_telephone_number fax, again;
  ASSERT_EQ(kor_ahs_ExtToStruct_FaxTelephoneNumberA(fax_text, -1, &fax), 0u);
  EXPECT_EQ(Fax::entries(fax, fax_text)[0], std::make_pair(0L, 6u));
  EXPECT_EQ(std::string(fax.fine_resolution, fax.fine_resolution_len), "fineResolution");
  kor_ahs_ExtToStruct_FaxTelephoneNumberA("1$f", 3, &again);
  EXPECT_EQ(again.fine_resolution, fax.fine_resolution);

  // On a failure the lines taken so far stay, the failing one included.
  std::string text = "a$b$" + std::string(1025, 'x');
  kor_ahs_postal_address pa;
  EventProbe events;
  EXPECT_EQ(kor_ahs_ExtToStruct_PostalAddressA(text.c_str(), -1, &pa), KOR_AHS_E_POSTAL_LINE_LONG);
  Entries lines(32, {-1, 0});
  lines[0] = {0, 1}, lines[1] = {2, 1}, lines[2] = {4, 1025};
  EXPECT_EQ(Postal::entries(pa, text.c_str()), lines);

  std::vector<kor_wchar> telex = widen("12345 ABC DE");
  kor_ahs_telex_numberW tx;
  ASSERT_EQ(kor_ahs_ExtToStruct_TelexNumberW(telex.data(), -1, &tx), 0u);
  EXPECT_EQ(Telex::entries(tx, telex.data()), (Entries{{0, 5}, {10, 2}, {6, 3}}));

  Encoded empty = encode_with<kor_wchar>(
      [](const kor_wchar *, int32_t, kor_asn1_ctx *ctx, uintptr_t) {
        kor_ahs_postal_addressW none = {};
        return kor_ahs_StructToInt_PostalAddressW(&none, ctx);
      },
      nullptr, 0);
  EXPECT_EQ(empty.result, 0u);
  EXPECT_EQ(empty.hex, "30 00");

  // A postal decoder given no structure still writes the text.
  Decoded plain = decode_with<char>(
      [](kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t) {
        return kor_ahs_IntToExt_PostalAddressA(ctx, out, out_len, nullptr, 0);
      },
      "30 06 13 01 61 13 01 62", 8);
  EXPECT_EQ(plain.result, 0u);
  EXPECT_EQ(plain.text, "a$b");
  events.take();
}

// Generated valid values of each syntax go text -> BER -> text.
TEST(RoundTrip, GeneratedValues) {
  std::mt19937 rng(5);
  const std::string printable =
      " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'()+,-./:=?";
  auto word = [&](size_t min, size_t max, bool spaces) {
    std::string w;
    for (size_t n = min + rng() % (max - min + 1); w.size() < n;) {
      char c = printable[rng() % printable.size()];
      if (spaces || c != ' ') w += c;
    }
    return w;
  };
  static const char *kNames[] = {"twoDimensional", "fineResolution", "unlimitedLength", "b4Length",
                                 "a3Width",        "b4Width",        "uncompressed"};
  static const size_t kUnique[] = {1, 1, 3, 3, 1, 3, 3};  // shortest unambiguous prefix
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    std::string fax = word(1, 32, true), canonical = fax;
    for (int i = 0; i < 7; ++i) {
      if (rng() % 2) continue;
      std::string name = kNames[i];
      std::string prefix = name.substr(0, kUnique[i] + rng() % (name.size() - kUnique[i] + 1));
      for (char &c : prefix) c = static_cast<char>(rng() % 2 ? std::toupper(c) : std::tolower(c));
      fax += "$" + std::string(rng() % 3, ' ') + prefix;
      canonical += "$" + name;
    }
    check_accepted<Fax>({{fax, encode(kor_ahs_ExtToInt_FaxTelephoneNumberA, fax).hex, canonical}});

    std::string postal;
    for (size_t i = 0, lines = 1 + rng() % 32; i < lines; ++i) {
      std::string line = word(1, 120, true);  // the whole encoding within 4096 octets
      if (rng() % 4 == 0) line[rng() % line.size()] = static_cast<char>(0xA0 + rng() % 0x60);
      postal += (i ? "$" : "") + line;
    }
    check_accepted<Postal>({{postal, encode(kor_ahs_ExtToInt_PostalAddressA, postal).hex, ""}});

    std::string n = word(1, 20, false), cc = word(1, 4, false), ab = word(1, 20, false);
    std::string dollar = n + "$" + cc + "$" + ab;
    std::string ber = encode(kor_ahs_ExtToInt_TelexNumberA, dollar).hex;
    check_accepted<Telex>({{dollar, ber, ""}, {n + " " + ab + " " + cc, ber, dollar}});
  }
}

}  // namespace
}  // namespace lyrdua::test
