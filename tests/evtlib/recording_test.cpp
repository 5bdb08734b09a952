// Raising events: what is recorded, numbering and the ring's wrap, and the
// parameters attached to a record.
#include <cstring>

#include "tests/evtlib/evt_test_support.hpp"

namespace lyrdua::test {
namespace {

class Recording : public EvtTest {};

TEST_F(Recording, NothingIsRecordedUntilAStreamWantsTheCategory) {
  EXPECT_EQ(kor_evt_put_event(code_of(3, 1), 0x200, 0), 0u) << "no stream in use";
  const uint32_t stream = kor_evt_stream_alloc();
  EXPECT_EQ(kor_evt_put_event(code_of(3, 1), 0x200, 0), 0u) << "a stream without filter";
  kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT);
  kor_evt_set_filter(stream, 0, 0x7FFFFFFF);
  EXPECT_EQ(kor_evt_put_event(code_of(3, 1), 0, 0), 0u) << "category 0 is never selected";
  kor_evt_set_filter(stream, 0, 0x200);
  // The handle of an event not recorded changes nothing.
  const uint32_t unrecorded = kor_evt_put_event(code_of(3, 1), 0x100, KOR_EVT_OPEN);
  EXPECT_EQ(unrecorded, 0u) << "no shared bit";
  kor_evt_putstrn(unrecorded, 1, "x", 1);
  kor_evt_putbin(unrecorded, 1, "x", 1);
  kor_evt_end_event(unrecorded);
  EXPECT_EQ(kor_evt_put_event(code_of(3, 2), 0x300, 0), 1u) << "shares bit 0x200";
  const std::vector<ReadEvent> events = read_all(stream);
  EXPECT_EQ(codes_of(events), std::vector<uint32_t>{code_of(3, 2)});
  EXPECT_EQ(events.at(0).param_count, 0u);
}

// A mask set at level L selects events of severity L and above.
TEST_F(Recording, SeverityAgainstMaskLevel) {
  for (int32_t level = 0; level < 4; ++level) {
    for (uint32_t severity = 0; severity < 4; ++severity) {
      const uint32_t stream = kor_evt_stream_alloc();
      kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT);
      kor_evt_set_filter(stream, level, 0x40);
      const bool recorded = kor_evt_put_event(code_of(severity, 7), 0x40, 0) != 0;
      EXPECT_EQ(recorded, severity >= static_cast<uint32_t>(level))
          << "mask at level " << level << ", severity " << severity;
      EXPECT_EQ(read_all(stream).size(), recorded ? 1u : 0u);
      kor_evt_stream_free(stream);
    }
  }
}

TEST_F(Recording, RecordFieldsOfARaisedEvent) {
  const uint32_t stream = open_stream(0x8, KOR_EVT_OPT_FLAT);
  const uint32_t before = static_cast<uint32_t>(std::time(nullptr));
  const uint32_t handle = kor_evt_put_event(0xA6F00042u, 0x18, 0);
  const kor_evt_record *r = kor_evt_get_event(stream);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->code, 0xA6F00042u);
  EXPECT_EQ(r->category, 0x18u);
  EXPECT_EQ(r->severity, 2u);
  EXPECT_EQ(r->param_count, 0u);
  EXPECT_EQ(r->level, 0u);
  EXPECT_GE(r->time, before);
  EXPECT_LE(r->time, static_cast<uint32_t>(std::time(nullptr)));
  EXPECT_EQ(r->number, handle);
  EXPECT_EQ(r->thread, os_thread_id());
  EXPECT_EQ(r->reserved1 | r->reserved2 | r->reserved3 | r->reserved4, 0u);
  EXPECT_EQ(r->params, nullptr);
  EXPECT_EQ(r->group, 0u);
  EXPECT_EQ(r->flags, 0u);
}

// Records are numbered from 1 and held in slot number AND 1023; the ring
// holds 1023 records, and a stream that has read nothing loses the oldest as
// they are evicted (the oldest held record is the one before its next read).
TEST_F(Recording, NumbersKeepRisingWhileSlotsWrapAndEvictionMovesStreamsOn) {
  const uint32_t idle = open_stream(0x1, KOR_EVT_OPT_FLAT);
  for (uint32_t n = 1; n <= 1025; ++n) {
    const uint32_t handle = raise_with_texts(code_of(3, n), 0x1, {"#" + std::to_string(n)});
    ASSERT_EQ(handle, n);
  }
  // #1025 went to slot 1, where #1 was: #1's handle no longer reaches a record.
  kor_evt_putstrn(1, 2, "stale", 5);
  kor_evt_end_event(1);

  const std::vector<ReadEvent> events = read_all(idle);
  ASSERT_EQ(events.size(), 1022u);
  EXPECT_EQ(events.front().number, 4u);
  EXPECT_EQ(events.back().number, 1025u);
  for (size_t i = 1; i < events.size(); ++i) ASSERT_EQ(events[i].number, events[i - 1].number + 1);
  const kor_evt_record *last = kor_evt_get_event(idle);
  EXPECT_EQ(last, nullptr);
  EXPECT_EQ(events.back().param_count, 1u) << "the stale handle attached nothing to #1025";
}

TEST_F(Recording, AReaderThatKeepsUpLosesNothingPastTheRingSize) {
  const uint32_t reader = open_stream(0x1, KOR_EVT_OPT_FLAT);
  const uint32_t idle = open_stream(0x1, KOR_EVT_OPT_FLAT);
  uint32_t expected = 1;
  for (uint32_t n = 1; n <= 3000; ++n) {
    kor_evt_put_event(code_of(3, n), 0x1, 0);
    const kor_evt_record *r = kor_evt_get_event(reader);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->number, expected++);
  }
  EXPECT_EQ(read_all(idle).size(), 1022u) << "the idle stream still gets the newest records";
}

// Parameters may be attached until the record leaves the ring, also to an
// event raised complete.
TEST_F(Recording, ParametersAreListedInTheOrderTheyWereAttached) {
  const uint32_t stream = open_stream(0x1, KOR_EVT_OPT_FLAT);
  const uint8_t blob[] = {0x00, 0xFF, 0x10};
  const uint32_t h = kor_evt_put_event(code_of(3, 1), 0x1, 0);
  kor_evt_putstrn(h, 1, "first", 5);
  kor_evt_putbin(h, 2, blob, sizeof blob);
  kor_evt_putstrn(h, 1, "second", 3);  // same index again, and only 3 bytes of the text
  kor_evt_putstrn(h, 3, nullptr, 0);   // an empty text
  kor_evt_putstrn(h, 2, nullptr, 4);   // no data for a non-zero length: ignored

  const kor_evt_record *r = kor_evt_get_event(stream);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->param_count, 4u);
  struct Expected {
    uint32_t kind, index;
    std::string bytes;
  };
  const Expected expected[] = {{KOR_EVT_PARAM_TEXT, 1, "first"},
                               {KOR_EVT_PARAM_BINARY, 2, std::string("\x00\xFF\x10", 3)},
                               {KOR_EVT_PARAM_TEXT, 1, "sec"},
                               {KOR_EVT_PARAM_TEXT, 3, ""}};
  const kor_evt_param *p = r->params;
  for (const Expected &e : expected) {
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->kind, e.kind);
    EXPECT_EQ(p->index, e.index);
    ASSERT_EQ(p->length, e.bytes.size());
    EXPECT_EQ(std::string(static_cast<const char *>(p->data), p->length), e.bytes);
    EXPECT_EQ(static_cast<const char *>(p->data)[p->length], '\0') << "a zero byte follows";
    p = p->next;
  }
  EXPECT_EQ(p, nullptr);
}

TEST_F(Recording, ParameterLookupGivesTheEarliestWithTheIndex) {
  const uint32_t stream = open_stream(0x1, KOR_EVT_OPT_FLAT);
  const uint32_t h = kor_evt_put_event(code_of(3, 1), 0x1, KOR_EVT_OPEN);
  kor_evt_putbin(h, 1, "\x01\x02", 2);
  kor_evt_putstrn(h, 1, "later", 5);
  kor_evt_end_event(h);
  ASSERT_NE(kor_evt_get_event(stream), nullptr);

  uint32_t kind = 99, length = 99;
  void *data = nullptr;
  kor_evt_get_param(stream, 1, &kind, &data, &length);
  EXPECT_EQ(kind, KOR_EVT_PARAM_BINARY);
  EXPECT_EQ(length, 2u);
  EXPECT_EQ(std::memcmp(data, "\x01\x02", 2), 0);

  // An index never attached: length 0, kind and data untouched.
  kind = 77;
  void *const untouched = &kind;
  data = untouched;
  kor_evt_get_param(stream, 2, &kind, &data, &length);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(kind, 77u);
  EXPECT_EQ(data, untouched);
}

// Ending an event that is not open (never opened, or ended already) leaves it
// complete: a second end does not reopen it.
TEST_F(Recording, EndingAnEventTwiceLeavesItComplete) {
  const uint32_t flat = open_stream(0x1, KOR_EVT_OPT_FLAT);
  const uint32_t grouped = open_stream(0x1, KOR_EVT_OPT_GROUPED);
  const uint32_t h = kor_evt_put_event(code_of(3, 1), 0x1, KOR_EVT_OPEN);
  const kor_evt_record *r = kor_evt_get_event(flat);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->flags, KOR_EVT_REC_OPEN) << "a flat reader returns an open event at once";
  kor_evt_end_event(h);
  kor_evt_end_event(h);
  r = kor_evt_get_event(grouped);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->flags, 0u);
}

}  // namespace
}  // namespace lyrdua::test
