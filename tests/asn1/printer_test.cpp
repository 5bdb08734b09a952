// The BER value printer: its lines for example encodings, byte for byte (the
// tool tests compare a whole record with its golden file).
#include <gtest/gtest.h>
#include <lyrdua/kor_asn1.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/asn1/ber_streams.hpp"
#include "tests/support/hex.hpp"

namespace lyrdua::test {
namespace {

std::string print(std::vector<uint8_t> input) {
  Ctx ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input.data(), static_cast<uint32_t>(input.size()));
  ::testing::internal::CaptureStdout();
  kor_asn1_print(ctx);
  return ::testing::internal::GetCapturedStdout();
}

// One printed line: the hex column is 14 characters wide.
std::string line(const std::string &hex, const std::string &text) {
  return hex + std::string(14 - hex.size(), ' ') + text + "\n";
}

struct PrinterCase {
  const char *about;
  const char *input;
  std::vector<std::string> lines;
};

void PrintTo(const PrinterCase &c, std::ostream *os) { *os << c.about; }

const PrinterCase kPrinterCases[] = {
    {"SEQUENCE of INTEGER and BOOLEAN",
     "30 06 02 01 05 01 01 FF",
     {line("3006", "SEQ(6) "), line("", "  {"), line("020105", "  INTEGER(1)  5"),
      line("0101FF", "  BOOLEAN(1)  TRUE"), line("", "  }")}},
    {"FALSE", "01 01 00", {line("010100", "BOOLEAN(1)  FALSE")}},
    {"negative INTEGER", "02 02 FF 7F", {line("0202FF7F", "INTEGER(2)  -129")}},
    {"seven octets show six and two full stops",
     "04 05 01 02 03 04 05",
     {line("040501020304..", "OCTETS(5)  '0102030405'H")}},
    {"six octets show all", "04 04 01 02 03 04", {line("040401020304", "OCTETS(4)  '01020304'H")}},
    {"empty SEQUENCE", "30 00", {line("3000", "SEQ(0) "), line("", "  {"), line("", "  }")}},
    {"BIT STRING with six unused bits", "03 02 06 C0", {line("030206C0", "BITS(2)  '11'B")}},
    {"BIT STRING without bits", "03 01 00", {line("030100", "BITS(1)  ''B")}},
    {"BIT STRING claiming more unused bits than it has",
     "03 02 09 FF",
     {line("030209FF", "BITS(2)  ''B")}},
    {"OBJECT IDENTIFIER 1.2.840", "06 03 2A 86 48", {line("06032A8648", "OID(3) {1 2 840}")}},
    {"OBJECT IDENTIFIER with a first subidentifier above 80",
     "06 02 88 37",
     {line("06028837", "OID(2) {2 999}")}},
    {"OBJECT IDENTIFIER cut off in a subidentifier",
     "06 02 2A 86",
     {line("06022A86", "OID(2) {1 2}")}},
    {"empty OBJECT IDENTIFIER", "06 00", {line("0600", "OID(0) {}")}},
    {"PrintableString", "13 04 41 6E 6E 65", {line("1304416E6E65", "PRINTABLE(4) \"Anne\"")}},
    {"a string cut off by the end of the input",
     "13 05 41 42",
     {line("1305", "PRINTABLE(5) \"\"")}},
    {"a NUL ends the text", "16 03 41 00 42", {line("1603410042", "IA5(3) \"A\"")}},
    {"UTCTime", "17 03 39 31 30", {line("1703393130", "UTC TIME(3) \"910\"")}},
    {"NULL", "05 00", {line("0500", "NULL(0)  ''H")}},
    {"context-specific primitive 3", "83 02 AB CD", {line("8302ABCD", "[3](2)  'ABCD'H")}},
    {"APPLICATION constructed",
     "61 00",
     {line("6100", "[APPLICATION 1](0) "), line("", "  {"), line("", "  }")}},
    {"PRIVATE high tag", "DF 81 00 00", {line("DF810000", "[PRIVATE 128](0)  ''H")}},
    {"GeneralString is shown in hex", "1B 01 5A", {line("1B015A", "GENERAL(1)  '5A'H")}},
    {"UNIVERSAL number without a name", "0B 01 07", {line("0B0107", "[UNIVERSAL 11](1)  '07'H")}},
    {"indefinite length: the end-of-contents octets show on the brace line",
     "30 80 05 00 00 00",
     {line("3080", "SEQ(-1) "), line("", "  {"), line("0500", "  NULL(0)  ''H"),
      line("0000", "  }")}},
    {"nested indentation",
     "30 04 31 02 05 00",
     {line("3004", "SEQ(4) "), line("", "  {"), line("3102", "  SET(2) "), line("", "    {"),
      line("0500", "    NULL(0)  ''H"), line("", "    }"), line("", "  }")}},
    {"no element", "", {line("", "[UNIVERSAL 0](0)  ''H")}},
    {"an error closes the open levels",
     "30 07 02 05 01 02 03 04 05",
     {line("3007", "SEQ(7) "), line("", "  {"), line("0205", "  INTEGER(5)  0"), line("", "  }")}},
};

class PrinterTable : public ::testing::TestWithParam<PrinterCase> {};

TEST_P(PrinterTable, PrintsTheExpectedLines) {
  const PrinterCase &c = GetParam();
  std::string expected;
  for (const std::string &l : c.lines) expected += l;
  EXPECT_EQ(print(from_hex(c.input)), expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, PrinterTable, ::testing::ValuesIn(kPrinterCases));

// A line that would not fit the 1024-character buffer is cut at 1023
// characters; the element is still consumed and the next line is whole.
TEST(Printer, LongLinesAreCut) {
  std::vector<uint8_t> input = from_hex("30 82 02 5E 04 82 02 58");
  input.resize(input.size() + 600, 0xAB);
  input.insert(input.end(), {0x05, 0x00});
  std::string out = print(input);
  std::istringstream lines(out);
  std::vector<std::string> got;
  for (std::string l; std::getline(lines, l);) got.push_back(l);
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[2].size(), 1023u);
  EXPECT_EQ(got[2].substr(0, 30), "04820258ABAB..  OCTETS(600)  '");
  EXPECT_EQ(got[3], "0500            NULL(0)  ''H");
}

}  // namespace
}  // namespace lyrdua::test
