// Properties of the scalar syntax handlers: the output contract at every
// capacity, and round trips of random values text -> BER -> text -> BER.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/ahs/syntax_harness.hpp"

namespace lyrdua::test {
namespace {

struct ContractCase {
  const char *about;
  DecoderA a;
  DecoderW w;
  const char *hex;
  // Integer and OID report a bound that suffices rather than the exact size.
  bool reports_bound;
};

const ContractCase kContractCases[] = {
    {"BOOLEAN FALSE", kor_ahs_IntToExt_BooleanA, kor_ahs_IntToExt_BooleanW, "01 01 00", false},
    {"BIT STRING", kor_ahs_IntToExt_BitStringA, kor_ahs_IntToExt_BitStringW, "03 03 07 A5 80",
     false},
    {"OCTET STRING", kor_ahs_IntToExt_OctetStringA, kor_ahs_IntToExt_OctetStringW,
     "04 05 00 01 AB CD FF", false},
    {"UTCTime", kor_ahs_IntToExt_UTCTimeA, nullptr, "17 0B 39 37 31 32 33 31 32 33 35 39 5A",
     false},
    {"INTEGER", kor_ahs_IntToExt_IntegerA, kor_ahs_IntToExt_IntegerW,
     "02 09 FF 00 00 00 00 00 00 00 01", true},
    {"OID", kor_ahs_IntToExt_OidA, kor_ahs_IntToExt_OidW, "06 06 2A 86 48 86 F7 0D", true},
};

// For each capacity below the needed size: result 6 with the needed size (or a
// bound that then suffices) and the right prefix; at the needed size: result 0.
TEST(OutputContract, EveryCapacityFromOneToTheNeededSize) {
  for (const ContractCase &c : kContractCases) {
    Decoded full = decode(c.a, c.hex, 256);
    ASSERT_EQ(full.result, 0u) << c.about;
    uint32_t needed = full.out_len + 1;
    for (uint32_t cap = 1; cap < needed; ++cap) {
      Decoded d = decode(c.a, c.hex, cap);
      EXPECT_EQ(d.result, KOR_AHS_TRUNCATED) << c.about << " cap " << cap;
      if (c.reports_bound) {
        EXPECT_GE(d.out_len, needed) << c.about;
        EXPECT_EQ(decode(c.a, c.hex, d.out_len).result, 0u) << c.about << " with the bound";
      } else {
        EXPECT_EQ(d.out_len, needed) << c.about << " cap " << cap;
        std::string prefix = full.text.substr(0, cap - 1);
        if (c.a == kor_ahs_IntToExt_OctetStringA) prefix.resize((cap - 1) / 2 * 2);
        EXPECT_EQ(d.text, prefix) << c.about << " cap " << cap;
      }
      if (c.w != nullptr) {
        Decoded w = decode_w(c.w, c.hex, cap);
        EXPECT_EQ(w.result, d.result) << c.about << " W cap " << cap;
        EXPECT_EQ(w.out_len, d.out_len) << c.about << " W cap " << cap;
        EXPECT_EQ(w.text, d.text) << c.about << " W cap " << cap;
      }
    }
    Decoded exact = decode(c.a, c.hex, needed);
    EXPECT_EQ(exact.result, 0u) << c.about;
    EXPECT_EQ(exact.text, full.text) << c.about;
    EXPECT_EQ(exact.out_len, full.out_len) << c.about;
  }
}

// Text -> BER -> text -> BER, through A and W, gives the same BER; the text
// read back is expected_text.
void expect_round_trip(EncoderA ea, EncoderW ew, DecoderA da, DecoderW dw, const std::string &text,
                       const std::string &expected_text, const std::string &expected_hex = "") {
  Encoded first = encode(ea, text);
  ASSERT_EQ(first.result, 0u) << text;
  if (!expected_hex.empty()) {
    ASSERT_EQ(first.hex, expected_hex) << text;
  }
  Decoded back = decode(da, first.hex, 4096);
  ASSERT_EQ(back.result, 0u) << text;
  ASSERT_EQ(back.text, expected_text) << text;
  ASSERT_EQ(encode(ea, back.text).hex, first.hex) << text;
  if (ew != nullptr) {
    ASSERT_EQ(encode_w(ew, text).hex, first.hex) << "W " << text;
    ASSERT_EQ(decode_w(dw, first.hex, 4096).text, expected_text) << "W " << text;
  }
}

std::string decimal(unsigned __int128 v) {
  std::string s;
  do {
    s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  } while (v != 0);
  return s;
}

// Minimal two's complement contents of a 128-bit value, as the INTEGER hex.
std::string integer_hex(__int128 v) {
  std::vector<uint8_t> octets;
  for (;;) {
    auto octet = static_cast<uint8_t>(v & 0xFF);
    octets.insert(octets.begin(), octet);
    v >>= 8;
    if ((v == 0 && !(octet & 0x80)) || (v == -1 && (octet & 0x80))) break;
  }
  octets.insert(octets.begin(), {0x02, static_cast<uint8_t>(octets.size())});
  return to_hex(octets);
}

TEST(RoundTrip, IntegersOfOneToSixtyDigits) {
  std::mt19937_64 rng(42);
  for (int round = 0; round < 2000; ++round) {
    int digits = 1 + static_cast<int>(rng() % 60);
    std::string magnitude(1, static_cast<char>('1' + rng() % 9));
    for (int i = 1; i < digits; ++i) magnitude += static_cast<char>('0' + rng() % 10);
    bool negative = rng() % 2 == 0;
    std::string text = (negative ? "-" : "") + magnitude;
    std::string expected_hex;
    if (digits <= 38) {
      __int128 v = 0;
      for (char c : magnitude) v = v * 10 + (c - '0');
      expected_hex = integer_hex(negative ? -v : v);
    }
    expect_round_trip(kor_ahs_ExtToInt_IntegerA, kor_ahs_ExtToInt_IntegerW,
                      kor_ahs_IntToExt_IntegerA, kor_ahs_IntToExt_IntegerW, text, text,
                      expected_hex);
    // Leading zeros and a plus sign add nothing.
    std::string padded = (negative ? "-00" : "+00") + magnitude;
    ASSERT_EQ(encode(kor_ahs_ExtToInt_IntegerA, padded).hex,
              encode(kor_ahs_ExtToInt_IntegerA, text).hex);
  }
}

// The BER of an OID computed independently: arcs below 2^70.
std::string oid_hex(const std::vector<unsigned __int128> &arcs) {
  std::vector<uint8_t> contents;
  auto put = [&contents](unsigned __int128 v) {
    std::vector<uint8_t> groups;
    do {
      groups.insert(groups.begin(), static_cast<uint8_t>(v & 0x7F));
      v >>= 7;
    } while (v != 0);
    for (size_t i = 0; i + 1 < groups.size(); ++i) groups[i] |= 0x80;
    contents.insert(contents.end(), groups.begin(), groups.end());
  };
  put(arcs[0] * 40 + arcs[1]);
  for (size_t i = 2; i < arcs.size(); ++i) put(arcs[i]);
  contents.insert(contents.begin(), {0x06, static_cast<uint8_t>(contents.size())});
  return to_hex(contents);
}

TEST(RoundTrip, OidsWithArcsUpTo2To70) {
  std::mt19937_64 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::vector<unsigned __int128> arcs{rng() % 3, rng() % 40};
    size_t more = rng() % 8;
    for (size_t i = 0; i < more; ++i) {
      int bits = 1 + static_cast<int>(rng() % 70);
      unsigned __int128 v = (static_cast<unsigned __int128>(rng()) << 64 | rng());
      arcs.push_back(v >> (128 - bits));
    }
    std::string text;
    for (auto arc : arcs) text += (text.empty() ? "" : ".") + decimal(arc);
    expect_round_trip(kor_ahs_ExtToInt_OidA, kor_ahs_ExtToInt_OidW, kor_ahs_IntToExt_OidA,
                      kor_ahs_IntToExt_OidW, text, text, oid_hex(arcs));
  }
}

TEST(RoundTrip, OctetAndBitStrings) {
  std::mt19937 rng(3);
  for (int round = 0; round < 500; ++round) {
    std::vector<uint8_t> octets(rng() % 300);
    for (uint8_t &o : octets) o = static_cast<uint8_t>(rng());
    std::string hex = to_hex(octets);
    hex.erase(std::remove(hex.begin(), hex.end(), ' '), hex.end());
    std::string lower = hex;
    for (char &c : lower) c = static_cast<char>(std::tolower(c));
    expect_round_trip(kor_ahs_ExtToInt_OctetStringA, kor_ahs_ExtToInt_OctetStringW,
                      kor_ahs_IntToExt_OctetStringA, kor_ahs_IntToExt_OctetStringW, lower, hex);

    std::string bits, spaced;
    size_t n = rng() % 100;
    for (size_t i = 0; i < n; ++i) {
      char bit = rng() % 2 ? '1' : '0';
      bits += bit;
      spaced += bit;
      if (rng() % 4 == 0) spaced += ' ';
    }
    expect_round_trip(kor_ahs_ExtToInt_BitStringA, kor_ahs_ExtToInt_BitStringW,
                      kor_ahs_IntToExt_BitStringA, kor_ahs_IntToExt_BitStringW, spaced, bits);
  }
}

std::string two_digits(int v) {
  return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
}

TEST(RoundTrip, EveryUtcTimeForm) {
  static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::mt19937 rng(11);
  for (int round = 0; round < 3000; ++round) {
    int month = 1 + static_cast<int>(rng() % 12);
    std::string minutes = two_digits(static_cast<int>(rng() % 100)) + two_digits(month) +
                          two_digits(1 + static_cast<int>(rng() % kDays[month - 1])) +
                          two_digits(static_cast<int>(rng() % 24)) +
                          two_digits(static_cast<int>(rng() % 60));
    std::string seconds = two_digits(static_cast<int>(rng() % 60));
    std::string offset = std::string(rng() % 2 ? "+" : "-") +
                         two_digits(static_cast<int>(rng() % 24)) +
                         two_digits(static_cast<int>(rng() % 60));
    const std::string forms[] = {minutes,           minutes + "Z",
                                 minutes + seconds, minutes + seconds + "z",
                                 minutes + offset,  minutes + seconds + offset};
    const std::string &text = forms[round % 6];
    expect_round_trip(kor_ahs_ExtToInt_UTCTimeA, nullptr, kor_ahs_IntToExt_UTCTimeA, nullptr, text,
                      text);
  }
}

}  // namespace
}  // namespace lyrdua::test
