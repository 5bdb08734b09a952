// Texts of events from the message module, and the console printout of the
// events that stream 1 selects, byte for byte.
#include "tests/evtlib/evt_test_support.hpp"
#include "tests/support/system_text.hpp"

namespace lyrdua::test {
namespace {

class Texts : public EvtTest {};

struct Param {
  uint32_t kind;
  uint32_t index;
  std::string bytes;
};

uint32_t raise_with(uint32_t code, uint32_t category, const std::vector<Param> &params) {
  const uint32_t h = kor_evt_put_event(code, category, KOR_EVT_OPEN);
  for (const Param &p : params) {
    if (p.kind == KOR_EVT_PARAM_TEXT)
      kor_evt_putstrn(h, p.index, p.bytes.data(), static_cast<uint32_t>(p.bytes.size()));
    else
      kor_evt_putbin(h, p.index, p.bytes.data(), static_cast<uint32_t>(p.bytes.size()));
  }
  kor_evt_end_event(h);
  return h;
}

// Inserts are the text parameters taken in index order.
TEST_F(Texts, InsertsComeFromTextParametersInIndexOrder) {
  struct Row {
    const char *about;
    std::vector<Param> params;
    const char *text;
  };
  const Row rows[] = {
      {"both inserts",
       {{0, 1, "2"}, {0, 2, "3 (BIT_STRING)"}},
       "Unexpected tag 2 where tag 3 (BIT_STRING) was expected."},
      {"attached out of order",
       {{0, 2, "b"}, {0, 1, "a"}},
       "Unexpected tag a where tag b was expected."},
      {"no parameters", {}, "Unexpected tag (null) where tag (null) was expected."},
      {"a missing index leaves no gap, only indexes up to the count are looked at",
       {{0, 1, "a"}, {0, 3, "c"}},
       "Unexpected tag a where tag (null) was expected."},
      {"a binary parameter leaves no gap",
       {{1, 1, "\x01"}, {0, 2, "b"}},
       "Unexpected tag b where tag (null) was expected."},
      {"of two texts with one index the first is used, the second nowhere",
       {{0, 1, "first"}, {0, 1, "again"}},
       "Unexpected tag first where tag (null) was expected."},
      {"text after a zero byte is not shown",
       {{0, 1, std::string("ab\0cd", 5)}, {0, 2, "x"}},
       "Unexpected tag ab where tag x was expected."},
      {"inserts are not formatted again",
       {{0, 1, "%2"}, {0, 2, "%%"}},
       "Unexpected tag %2 where tag %% was expected."},
  };
  const uint32_t stream = open_stream(0x200, KOR_EVT_OPT_FLAT);
  for (const Row &row : rows) {
    raise_with(kTwoInsertCode, 0x200, row.params);
    ASSERT_NE(kor_evt_get_event(stream), nullptr);
    EXPECT_EQ(text_of(stream), row.text) << row.about;
  }
}

TEST_F(Texts, TheTextLivesInTheStreamUntilItsNextRead) {
  const uint32_t stream = open_stream(0x200, KOR_EVT_OPT_FLAT);
  kor_evt_put_event(kNoInsertCode, 0x200, 0);
  ASSERT_NE(kor_evt_get_event(stream), nullptr);
  char *text = nullptr;
  uint32_t length = 0;
  kor_evt_get_text(stream, &text, &length);
  ASSERT_EQ(length, 27u);
  EXPECT_EQ(std::string(text), "The boolean value is empty.") << "NUL-terminated";
  EXPECT_EQ(text_of(stream), "The boolean value is empty.");
}

// A text that cannot be formatted: length 0, text untouched, and the report
// with the system's words for the cause (or its number where those words
// themselves cannot be formatted).
TEST_F(Texts, FormattingFailuresAreReported) {
  struct Row {
    const char *about;
    uint32_t code;
    std::string parameter;
    std::string report;
  };
  const std::string longest(
      1023 - std::string("The character '' is not allowed in a printable string.").size(), 'x');
  const Row rows[] = {
      {"a code the module does not hold", kUnknownCode, "",
       "Error - FormatMessage() failed, system error code: 317"},
      {"a text one byte over the buffer", kOneInsertCode, longest + "x",
       "Error - FormatMessage() failed, system error code: " + system_text(122)},
  };
  const uint32_t stream = open_stream(0x200, KOR_EVT_OPT_FLAT);
  for (const Row &row : rows) {
    raise_with(row.code, 0x200, {{0, 1, row.parameter}});
    ASSERT_NE(kor_evt_get_event(stream), nullptr);
    StdoutCapture output;
    char marker = 'm';
    char *text = &marker;
    uint32_t length = 9;
    kor_evt_get_text(stream, &text, &length);
    EXPECT_EQ(length, 0u) << row.about;
    EXPECT_EQ(text, &marker) << row.about;
    std::vector<int> lines;
    EXPECT_EQ(mask_report_lines(output.finish(), &lines), report_line(row.report)) << row.about;
    EXPECT_TRUE(reported_lines_are_sources(lines));
  }
  raise_with(kOneInsertCode, 0x200, {{0, 1, longest}});
  ASSERT_NE(kor_evt_get_event(stream), nullptr);
  EXPECT_EQ(text_of(stream).size(), 1023u) << "the longest text that fits with its NUL";
}

// The console selects with a mask at level 3: the events of severity 3.
TEST_F(Texts, ConsolePrintsCompletedEventsItSelects) {
  EXPECT_EQ(kor_evt_set_filter(KOR_EVT_STREAM_CONSOLE, 3, 0x200), 0u);
  std::string bytes27;
  for (int i = 0; i < 27; ++i) bytes27 += static_cast<char>(i);
  struct Row {
    const char *about;
    uint32_t code;
    uint32_t category;
    std::vector<Param> params;
    const char *printed;  // "#" stands for the event's number
  };
  const Row rows[] = {
      {"an event with two inserts",
       kTwoInsertCode,
       0x200,
       {{0, 1, "2"}, {0, 2, "3 (BIT_STRING)"}},
       "\nEVENT(No. #): Unexpected tag 2 where tag 3 (BIT_STRING) was expected.\n"},
      {"27 bytes of binary data: 26 a line",
       kNoInsertCode,
       0x200,
       {{1, 1, bytes27}},
       "\nEVENT(No. #): The boolean value is empty.\nEvent binary data =\n"
       "0 1 2 3 4 5 6 7 8 9 a b c d e f 10 11 12 13 14 15 16 17 18 19 \n1a "},
      {"binary data of every parameter, in index order",
       kNoInsertCode,
       0x200,
       {{1, 2, "\xff"}, {0, 3, "text"}, {1, 1, "\x10\x01"}},
       "\nEVENT(No. #): The boolean value is empty.\nEvent binary data =\n10 1 "
       "Event binary data =\nff "},
      {"empty binary data prints nothing",
       kNoInsertCode,
       0x200,
       {{1, 1, ""}},
       "\nEVENT(No. #): The boolean value is empty.\n"},
      {"a text that cannot be formatted",
       kUnknownCode,
       0x200,
       {},
       "\nEVENT(No. #): Evtlib: Error - FormatMessage() failed, system error code: 317. Event "
       "occured at <line> of .\\LYRDUA\\EVTLIB:\n"},
      {"a category the console does not select", kNoInsertCode, 0x100, {}, ""},
      {"a severity below the mask's level", kNoInsertCode & 0x3FFFFFFF, 0x200, {}, ""},
  };
  const uint32_t recorder = open_stream(0x300, KOR_EVT_OPT_FLAT);
  for (const Row &row : rows) {
    StdoutCapture output;
    const uint32_t number = raise_with(row.code, row.category, row.params);
    std::string expected = row.printed;
    const size_t hash = expected.find('#');
    if (hash != std::string::npos) expected.replace(hash, 1, std::to_string(number));
    EXPECT_EQ(mask_report_lines(output.finish(), nullptr), expected) << row.about;
  }
  EXPECT_EQ(read_all(recorder).size(), std::size(rows)) << "printing does not consume events";
}

TEST_F(Texts, ConsolePrintsAnOpenEventWhenItIsEnded) {
  kor_evt_set_filter(KOR_EVT_STREAM_CONSOLE, 3, 0x200);
  StdoutCapture output;
  const uint32_t h = kor_evt_put_event(kOneInsertCode, 0x200, KOR_EVT_OPEN);
  kor_evt_putstrn(h, 1, "&", 1);
  std::fflush(stdout);
  kor_evt_end_event(h);
  EXPECT_EQ(output.finish(),
            "\nEVENT(No. 1): The character '&' is not allowed in a printable string.\n");
}

}  // namespace
}  // namespace lyrdua::test
