// Streams and filters: reserving and freeing, the results of the setters, the
// diagnostics of bad calls, and per-thread filters.
#include "tests/evtlib/evt_test_support.hpp"

namespace lyrdua::test {
namespace {

class Streams : public EvtTest {};

TEST_F(Streams, SettingAFilterReturnsTheMaskItReplaces) {
  EXPECT_EQ(kor_evt_set_filter(KOR_EVT_STREAM_CONSOLE + 1, 0, 0x200), 0u);
  EXPECT_EQ(kor_evt_set_filter(KOR_EVT_STREAM_CONSOLE + 1, 0, 0x300), 0x200u);
  EXPECT_EQ(kor_evt_set_filter(KOR_EVT_STREAM_CONSOLE + 1, 3, 0x1), 0u) << "another level";
  EXPECT_EQ(kor_evt_set_filter(KOR_EVT_STREAM_CONSOLE + 1, 0, 0), 0x300u);
}

TEST_F(Streams, UserStreamsAreHandedOutLowestFirst) {
  for (uint32_t expected = KOR_EVT_STREAM_FIRST_USER; expected <= KOR_EVT_STREAM_LAST; ++expected)
    ASSERT_EQ(kor_evt_stream_alloc(), expected);
  EXPECT_EQ(kor_evt_stream_alloc(), 0u) << "all 25 in use";
  kor_evt_stream_free(12);
  EXPECT_EQ(kor_evt_stream_alloc(), 12u);
}

// Options: flat+grouped is stored as grouped; the previous value comes back.
TEST_F(Streams, OptionsAsStored) {
  const uint32_t stream = kor_evt_stream_alloc();
  struct Row {
    uint32_t given, stored;
  };
  const Row rows[] = {
      {KOR_EVT_OPT_FLAT | KOR_EVT_OPT_GROUPED, KOR_EVT_OPT_GROUPED},  // grouped wins
      {KOR_EVT_OPT_FLAT, KOR_EVT_OPT_FLAT},
      {KOR_EVT_OPT_FLAT | KOR_EVT_OPT_NESTED, KOR_EVT_OPT_FLAT | KOR_EVT_OPT_NESTED},
      {0xE, 0xE},  // grouped, parent first, nested
      {0, 0},      // no reading bit: read grouped
  };
  uint32_t previous = KOR_EVT_OPT_GROUPED;  // a new stream's options
  for (const Row &row : rows) {
    EXPECT_EQ(kor_evt_set_stream_options(stream, row.given), previous) << row.given;
    previous = row.stored;
  }
  EXPECT_EQ(kor_evt_set_stream_options(stream, KOR_EVT_OPT_GROUPED), previous);
}

TEST_F(Streams, AWellKnownStreamIsReservedByItsFirstOptions) {
  EXPECT_EQ(kor_evt_set_stream_options(5, KOR_EVT_OPT_FLAT), 0u) << "never reserved";
  EXPECT_EQ(kor_evt_set_stream_options(5, KOR_EVT_OPT_GROUPED), KOR_EVT_OPT_FLAT);
}

TEST_F(Streams, ClearingAFilterStopsRecordingAndKeepsTheStreamReserved) {
  const uint32_t stream = open_stream(0x1, KOR_EVT_OPT_FLAT);
  kor_evt_set_filter(stream, 2, KOR_EVT_FILTER_THREAD | 0x1);
  kor_evt_clear_filter(stream);
  EXPECT_EQ(kor_evt_put_event(code_of(3, 1), 0x1, 0), 0u);
  StdoutCapture output;
  EXPECT_EQ(kor_evt_set_stream_options(stream, KOR_EVT_OPT_GROUPED), KOR_EVT_OPT_FLAT);
  EXPECT_EQ(output.finish(), "");
}

TEST_F(Streams, AFreedStreamIsInitialisedAfreshWhenReservedAgain) {
  const uint32_t stream = open_stream(0x1, KOR_EVT_OPT_FLAT);
  kor_evt_put_event(code_of(3, 1), 0x1, 0);
  kor_evt_stream_free(stream);
  EXPECT_EQ(kor_evt_put_event(code_of(3, 2), 0x1, 0), 0u) << "its filter went with it";
  ASSERT_EQ(kor_evt_stream_alloc(), stream);
  EXPECT_EQ(kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT), KOR_EVT_OPT_GROUPED);
  kor_evt_set_filter(stream, 0, 0x1);
  // It starts at the oldest record still held: the one raised before it was freed.
  EXPECT_EQ(codes_of(read_all(stream)), std::vector<uint32_t>{code_of(3, 1)});
}

// Bad calls print Evtlib's report and change nothing: lookups give length 0
// and leave their outputs untouched.
TEST_F(Streams, BadCallsAreReported) {
  struct Row {
    const char *call;
    std::function<uint32_t()> run;
    const char *message;
  };
  const Row rows[] = {
      {"filter on stream 33", [] { return kor_evt_set_filter(33, 0, 0x1); },
       "Error - Stream number exceeds the limit"},
      {"filter at level 4", [] { return kor_evt_set_filter(2, 4, 0x1); },
       "Error - Severity number exceeds the limit"},
      {"filter at level -1", [] { return kor_evt_set_filter(2, -1, 0x1); },
       "Error - Severity number exceeds the limit"},
      {"filter on a user stream not reserved", [] { return kor_evt_set_filter(8, 0, 0x1); },
       "Error - A user stream must be reserved before calling this function"},
      {"options on a user stream not reserved",
       [] { return kor_evt_set_stream_options(9, KOR_EVT_OPT_FLAT); },
       "Error - A user stream must be reserved before calling this function"},
      {"options on stream 40", [] { return kor_evt_set_stream_options(40, 1); },
       "Error - Stream number exceeds the limit"},
      {"clear stream 33", [] { return kor_evt_clear_filter(33), 0u; },
       "Error - Stream number exceeds the limit"},
      {"free stream 5", [] { return kor_evt_stream_free(5), 0u; },
       "Error - Well-known stream can not be freed"},
      {"free stream 0", [] { return kor_evt_stream_free(0), 0u; },
       "Error - Well-known stream can not be freed"},
      {"free stream 20 not reserved", [] { return kor_evt_stream_free(20), 0u; },
       "Error - Input user stream is not allocated"},
      {"free stream 33", [] { return kor_evt_stream_free(33), 0u; },
       "Error - Stream number exceeds the limit"},
      {"read stream 33", [] { return kor_evt_get_event(33) == nullptr ? 0u : 1u; },
       "Error - Stream number exceeds the limit"},
      {"wait on stream 33", [] { return kor_evt_wait_for_event(33) == nullptr ? 0u : 1u; },
       "Error - Stream number exceeds the limit"},
      {"pop without push", [] { return kor_evt_pop(), 0u; }, "Warning - Unmatched call"},
      {"pop_all without push", [] { return kor_evt_pop_all(), 0u; }, "Warning - Unmatched call"},
      {"text of stream 33",
       [] {
         char marker = 'm', *text = &marker;
         uint32_t length = 5;
         kor_evt_get_text(33, &text, &length);
         return length != 0 || text != &marker ? 1u : 0u;
       },
       "Error - Stream number exceeds the limit"},
      {"parameter of stream 40",
       [] {
         char marker = 'm';
         void *data = &marker;
         uint32_t kind = 7, length = 5;
         kor_evt_get_param(40, 1, &kind, &data, &length);
         return length != 0 || kind != 7 || data != &marker ? 1u : 0u;
       },
       "Error - Stream number exceeds the limit"},
      {"closing outcome nobody wants, outside any level",
       [] { return kor_evt_put_event(code_of(3, 1), 0x4, KOR_EVT_CLOSE); },
       "Warning - Unmatched call"},
  };
  for (const Row &row : rows) {
    StdoutCapture output;
    EXPECT_EQ(row.run(), 0u) << row.call;
    std::vector<int> lines;
    EXPECT_EQ(mask_report_lines(output.finish(), &lines), report_line(row.message)) << row.call;
    EXPECT_TRUE(reported_lines_are_sources(lines)) << row.call;
  }
  EXPECT_EQ(kor_evt_stream_alloc(), KOR_EVT_STREAM_FIRST_USER) << "no user stream was reserved";
}

// Streams that are not reserved, and the library's own stream 0, have nothing to read.
TEST_F(Streams, StreamsNotReservedReadNothing) {
  kor_evt_set_filter(0, 0, 0x1);
  EXPECT_EQ(kor_evt_put_event(code_of(3, 1), 0x1, 0), 0u) << "stream 0 takes part in no selection";
  const uint32_t reader = open_stream(0x1, KOR_EVT_OPT_FLAT);
  kor_evt_put_event(code_of(3, 1), 0x1, 0);
  StdoutCapture output;
  EXPECT_EQ(kor_evt_get_event(0), nullptr);
  EXPECT_EQ(kor_evt_get_event(3), nullptr);
  EXPECT_EQ(kor_evt_get_event(reader + 1), nullptr);
  EXPECT_EQ(kor_evt_wait_for_event(reader + 1), nullptr) << "returns at once";
  EXPECT_EQ(output.finish(), "");
  EXPECT_EQ(read_all(reader).size(), 1u);
}

TEST_F(Streams, AThreadFilterSelectsOnlyItsThreadsEvents) {
  const uint32_t stream = kor_evt_stream_alloc();
  kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT);
  uint32_t first_result = 1, second_result = 1, same_level_result = 0;
  uint32_t filtered_thread = 0;
  BoundedThread filtered([&] {
    filtered_thread = os_thread_id();
    first_result = kor_evt_set_filter(stream, 2, KOR_EVT_FILTER_THREAD | 0x10);
    second_result = kor_evt_set_filter(stream, 0, KOR_EVT_FILTER_THREAD | 0x20);
    same_level_result = kor_evt_set_filter(stream, 0, KOR_EVT_FILTER_THREAD | 0x20);
    kor_evt_put_event(code_of(2, 1), 0x10, 0);  // severity 2 against the level-2 mask
    kor_evt_put_event(code_of(1, 2), 0x10, 0);  // severity 1: below it
    kor_evt_put_event(code_of(0, 3), 0x20, 0);
  });
  ASSERT_TRUE(filtered.join([] {}));
  EXPECT_EQ(first_result, 0u) << "a new entry";
  EXPECT_EQ(second_result, 0u) << "the same entry, another level";
  EXPECT_EQ(same_level_result, KOR_EVT_FILTER_THREAD | 0x20u) << "the mask replaced";
  EXPECT_EQ(kor_evt_put_event(code_of(3, 4), 0x30, 0), 0u) << "another thread's event";
  const std::vector<ReadEvent> events = read_all(stream);
  EXPECT_EQ(codes_of(events), (std::vector<uint32_t>{code_of(2, 1), code_of(0, 3)}));
}

}  // namespace
}  // namespace lyrdua::test
