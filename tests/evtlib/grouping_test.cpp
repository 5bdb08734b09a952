// Nesting and grouped reading: the levels that push, pop, pop_all, closing
// and enclosing events give, and the sequences that readers with each option
// return for the same trees; then when records leave the ring.
#include "tests/evtlib/evt_test_support.hpp"

namespace lyrdua::test {
namespace {

constexpr uint32_t kSelected = 0x1;    // upper-case letters: every reader selects them
constexpr uint32_t kUnselected = 0x2;  // lower-case letters: only the flat reader does
constexpr uint32_t kUnwanted = 0x4;    // '~': no stream wants it, so it is not recorded

// Runs a script of nesting operations:
//   (  push        )  pop        ]  pop_all
//   A  raise event A (flags 0)    A!  raise A closing the level (flags 2)
//   A^ raise A open, enclosing the previous event (flags 5), then end it
//   a  as A, in a category the grouped readers do not select
//   ~! an outcome event that no stream wants, closing the level
//   { ... }  the enclosed steps on another thread
void run_script(const std::string &script, size_t *at) {
  while (*at < script.size()) {
    const char c = script[(*at)++];
    const char modifier = *at < script.size() ? script[*at] : ' ';
    const bool closes = modifier == '!';
    const bool encloses = modifier == '^';
    if (closes || encloses) ++*at;
    if (c == '(') {
      kor_evt_push();
    } else if (c == ')') {
      kor_evt_pop();
    } else if (c == ']') {
      kor_evt_pop_all();
    } else if (c == '{') {
      BoundedThread other([&script, at] { run_script(script, at); });
      EXPECT_TRUE(other.join([] {}));
    } else if (c == '}') {
      return;
    } else if (c == '~') {
      EXPECT_EQ(kor_evt_put_event(code_of(3, 0x7E), kUnwanted, KOR_EVT_CLOSE), 0u);
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      const uint32_t category =
          std::isupper(static_cast<unsigned char>(c)) ? kSelected : kUnselected;
      const uint32_t code = code_of(3, static_cast<uint32_t>(c));
      if (encloses) {
        kor_evt_end_event(kor_evt_put_event(code, category, KOR_EVT_OPEN | KOR_EVT_ENCLOSE));
      } else {
        ASSERT_NE(kor_evt_put_event(code, category, closes ? KOR_EVT_CLOSE : 0), 0u);
      }
    }
  }
}

void run_script(const std::string &script) {
  size_t at = 0;
  run_script(script, &at);
}

std::string letters(const std::vector<ReadEvent> &events) {
  std::string out;
  for (const ReadEvent &e : events) out += static_cast<char>(e.code & 0xFF);
  return out;
}

std::string letters_with_levels(const std::vector<ReadEvent> &events) {
  std::string out;
  for (const ReadEvent &e : events)
    out += (out.empty() ? "" : " ") + std::string(1, static_cast<char>(e.code & 0xFF)) +
           std::to_string(e.level);
  return out;
}

struct TreeCase {
  const char *script;
  const char *levels;        // every event in order of raising, with its final level
  const char *grouped;       // options 2: the top-level events
  const char *nested;        // options 2 + 8: children first
  const char *parent_first;  // options 2 + 4 + 8
};

const TreeCase kTreeCases[] = {
    // Two events closed by a third: the two are its children.
    {"(AB C!", "A1 B1 C0", "C", "ABC", "CBA"},
    // A level closed by pop moves its event to the top; a terminator ends the group.
    {"(A)", "A0", "A", "A", "A"},
    // An inner level closed by its outcome event, then the outer one by pop.
    {"(A(BC!)", "A0 B1 C0", "AC", "ABC", "ACB"},
    // Three levels, two closed by outcome events, the last by pop.
    {"(A(B(CD!E!)", "A0 B1 C2 D1 E0", "AE", "ABCDE", "AEDCB"},
    // pop_all closes every level at once.
    {"(A(B]", "A0 B0", "AB", "AB", "AB"},
    // An enclosing event becomes the parent of the one before it.
    {"(AE^)", "A1 E0", "E", "AE", "EA"},
    // Enclosing a tree takes the whole tree one level down.
    {"(A(BC!E^)", "A0 B2 C1 E0", "AE", "ABCE", "AECB"},
    // Outside any group enclosing changes nothing.
    {"AE^", "A0 E0", "AE", "AE", "AE"},
    // A closing event outside any level stands alone.
    {"C!", "C0", "C", "C", "C"},
    // An unselected parent: its selected child is returned only with nested events.
    {"(Ab!", "A1 b0", "", "A", "A"},
    // An unselected child is passed over.
    {"(aB!", "a1 B0", "B", "B", "B"},
    // Standalone events before and after a group keep their places.
    {"S(AB!T", "S0 A1 B0 T0", "SBT", "SABT", "SBAT"},
    // An outcome that nobody wants still closes the level, as pop does.
    {"(A~!", "A0", "A", "A", "A"},
    // Groups of two threads interleaved: each group is read when it is finished.
    {"(A{(XY!}B!", "A1 X1 Y0 B0", "YB", "XYAB", "YXBA"},
};

class Grouping : public EvtTest {};

TEST_F(Grouping, TreesReadWithEachOption) {
  for (const TreeCase &c : kTreeCases) {
    evt::release_event_library();
    const uint32_t flat = open_stream(kSelected | kUnselected, KOR_EVT_OPT_FLAT);
    const uint32_t grouped = open_stream(kSelected, KOR_EVT_OPT_GROUPED);
    const uint32_t nested = open_stream(kSelected, KOR_EVT_OPT_GROUPED | KOR_EVT_OPT_NESTED);
    const uint32_t parent_first =
        open_stream(kSelected, KOR_EVT_OPT_GROUPED | KOR_EVT_OPT_NESTED | KOR_EVT_OPT_PARENT_FIRST);
    StdoutCapture output;
    run_script(c.script);
    EXPECT_EQ(letters_with_levels(read_all(flat)), c.levels) << c.script;
    EXPECT_EQ(letters(read_all(grouped)), c.grouped) << c.script;
    EXPECT_EQ(letters(read_all(nested)), c.nested) << c.script;
    EXPECT_EQ(letters(read_all(parent_first)), c.parent_first) << c.script;
    EXPECT_EQ(output.finish(), "") << c.script;
  }
}

TEST_F(Grouping, AClosingEventThatEndsTheGroupIsItsTerminator) {
  const uint32_t flat = open_stream(kSelected, KOR_EVT_OPT_FLAT);
  kor_evt_push();
  const uint32_t first = kor_evt_put_event(code_of(3, 'A'), kSelected, 0);
  kor_evt_put_event(code_of(3, 'C'), kSelected, KOR_EVT_CLOSE);
  const std::vector<ReadEvent> events = read_all(flat);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].flags, KOR_EVT_REC_TERMINATOR);
  // No separate terminator: the next record follows the closing event.
  EXPECT_EQ(kor_evt_put_event(code_of(3, 'D'), kSelected, 0), first + 2);
}

TEST_F(Grouping, APopEndsAGroupWithATerminatorRecordOnlyIfTheGroupHasRecords) {
  const uint32_t flat = open_stream(kSelected, KOR_EVT_OPT_FLAT);
  kor_evt_push();
  kor_evt_pop();  // an empty group writes nothing
  EXPECT_EQ(kor_evt_put_event(code_of(3, 'A'), kSelected, 0), 1u);
  kor_evt_push();
  kor_evt_put_event(code_of(3, 'B'), kSelected, 0);
  kor_evt_pop();
  // The terminator took number 3.
  EXPECT_EQ(kor_evt_put_event(code_of(3, 'C'), kSelected, 0), 4u);
  EXPECT_EQ(letters(read_all(flat)), "ABC");
}

TEST_F(Grouping, AGroupIsReadOnlyOnceItIsFinished) {
  const uint32_t grouped = open_stream(kSelected, KOR_EVT_OPT_GROUPED | KOR_EVT_OPT_NESTED);
  kor_evt_push();
  kor_evt_put_event(code_of(3, 'A'), kSelected, 0);
  EXPECT_EQ(kor_evt_get_event(grouped), nullptr);
  kor_evt_put_event(code_of(3, 'S'), kSelected, 0);  // the same thread, still in its group
  EXPECT_EQ(kor_evt_get_event(grouped), nullptr);
  kor_evt_pop();
  EXPECT_EQ(letters(read_all(grouped)), "AS");
}

// An open event is returned at once by a flat reader, but by a grouped
// reader only after its thread has raised a later record.
TEST_F(Grouping, OpenStandaloneEventWaitsForTheThreadsNextRecord) {
  const uint32_t flat = open_stream(kSelected, KOR_EVT_OPT_FLAT);
  const uint32_t grouped = open_stream(kSelected, KOR_EVT_OPT_GROUPED);
  const uint32_t open = kor_evt_put_event(code_of(3, 'O'), kSelected, KOR_EVT_OPEN);
  const kor_evt_record *r = kor_evt_get_event(flat);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->flags, KOR_EVT_REC_OPEN);
  EXPECT_EQ(kor_evt_get_event(grouped), nullptr);
  EXPECT_EQ(kor_evt_get_event(grouped), nullptr) << "looked at again, still open";
  kor_evt_put_event(code_of(3, 'Z'), kSelected, 0);
  r = kor_evt_get_event(grouped);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->number, open);
  EXPECT_EQ(r->flags, KOR_EVT_REC_OPEN) << "returned in its current state";
  EXPECT_EQ(letters(read_all(grouped)), "Z");
  kor_evt_end_event(open);
}

// A stream reserved later starts at the oldest record still held, so it shows
// which records the ring still holds.
std::string held_records() {
  const uint32_t probe = open_stream(kSelected, KOR_EVT_OPT_FLAT);
  const std::string held = letters(read_all(probe));
  kor_evt_stream_free(probe);
  return held;
}

TEST_F(Grouping, RecordsLeaveTheRingOnlyAfterEveryStreamPassedThem) {
  const uint32_t flat = open_stream(kSelected, KOR_EVT_OPT_FLAT);
  const uint32_t grouped = open_stream(kSelected, KOR_EVT_OPT_GROUPED | KOR_EVT_OPT_NESTED);
  run_script("XY(AB!Z");
  EXPECT_EQ(held_records(), "XYABZ");
  EXPECT_EQ(letters(read_all(flat)), "XYABZ");
  EXPECT_EQ(held_records(), "XYABZ") << "the grouped stream holds them all";
  ASSERT_NE(kor_evt_get_event(grouped), nullptr);
  ASSERT_NE(kor_evt_get_event(grouped), nullptr);
  // The oldest record passed by both stays as the ring's tail, unseen by new streams.
  EXPECT_EQ(held_records(), "ABZ");
  EXPECT_EQ(letters(read_all(grouped)), "ABZ");
  EXPECT_EQ(held_records(), "");
}

TEST_F(Grouping, AGroupLeavesTheRingOnlyAsAWhole) {
  const uint32_t first = open_stream(kSelected, KOR_EVT_OPT_FLAT);
  const uint32_t second = open_stream(kSelected, KOR_EVT_OPT_FLAT);
  run_script("XW(AB");
  EXPECT_EQ(letters(read_all(first)), "XWAB");
  EXPECT_EQ(letters(read_all(second)), "XWAB");
  // X is let go (W, passed by both, stays as the unseen tail); the unfinished group stays.
  EXPECT_EQ(held_records(), "AB");
  run_script("C!");
  EXPECT_EQ(letters(read_all(first)), "C");
  EXPECT_EQ(held_records(), "ABC") << "the second stream has not passed the terminator";
  EXPECT_EQ(letters(read_all(second)), "C");
  EXPECT_EQ(held_records(), "");
}

TEST_F(Grouping, AFreedStreamHoldsNothing) {
  const uint32_t reader = open_stream(kSelected, KOR_EVT_OPT_FLAT);
  const uint32_t idle = open_stream(kSelected, KOR_EVT_OPT_FLAT);
  run_script("ABC");
  EXPECT_EQ(letters(read_all(reader)), "ABC");
  EXPECT_EQ(held_records(), "ABC");
  kor_evt_stream_free(idle);
  run_script("D");
  EXPECT_EQ(letters(read_all(reader)), "D");
  EXPECT_EQ(held_records(), "");
}

TEST_F(Grouping, ReadingFlatAbandonsAGroupBeingRead) {
  const uint32_t stream = open_stream(kSelected, KOR_EVT_OPT_GROUPED | KOR_EVT_OPT_NESTED);
  run_script("(AB!C");
  const kor_evt_record *r = kor_evt_get_event(stream);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->code & 0xFF, static_cast<uint32_t>('A'));
  EXPECT_EQ(kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT),
            KOR_EVT_OPT_GROUPED | KOR_EVT_OPT_NESTED);
  // Flat reading goes on from the stream's read position, past the group.
  EXPECT_EQ(letters(read_all(stream)), "C");
  EXPECT_EQ(kor_evt_set_stream_options(stream, KOR_EVT_OPT_GROUPED), KOR_EVT_OPT_FLAT);
  EXPECT_EQ(letters(read_all(stream)), "");
}

}  // namespace
}  // namespace lyrdua::test
