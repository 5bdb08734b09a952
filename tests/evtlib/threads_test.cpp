// Threads: waiting readers woken by other threads' events, each thread's own
// nesting, and a bounded stress run of producers and readers.
#include <atomic>
#include <map>
#include <set>

#include "platform/event_signal.hpp"
#include "tests/evtlib/evt_test_support.hpp"

namespace lyrdua::test {
namespace {

class Threads : public EvtTest {};

TEST_F(Threads, ABlockedReaderIsWokenByAnotherThreadsEvent) {
  const uint32_t stream = open_stream(0x1, KOR_EVT_OPT_FLAT);
  std::atomic<uint32_t> woken_by{0};
  BoundedThread reader([&] {
    const kor_evt_record *r = kor_evt_wait_for_event(stream);
    woken_by = r != nullptr ? r->code : 0xFFFFFFFFu;
  });
  ASSERT_TRUE(eventually([] { return platform::event_signal_waiters() == 1; }));
  EXPECT_FALSE(reader.finished()) << "nothing to read yet";
  BoundedThread producer([] { kor_evt_put_event(code_of(3, 42), 0x1, 0); });
  EXPECT_TRUE(producer.join([] {}));
  EXPECT_TRUE(reader.join([] { kor_evt_put_event(code_of(3, 0xDEAD), 0x1, 0); }));
  EXPECT_EQ(woken_by.load(), code_of(3, 42));
}

TEST_F(Threads, AnOpenEventWakesReadersWhenItIsEnded) {
  const uint32_t stream = open_stream(0x1, KOR_EVT_OPT_GROUPED);
  const uint32_t h = kor_evt_put_event(code_of(3, 1), 0x1, KOR_EVT_OPEN);
  std::atomic<uint32_t> got{0};
  BoundedThread reader([&] {
    const kor_evt_record *r = kor_evt_wait_for_event(stream);
    got = r != nullptr ? r->number : 0xFFFFFFFFu;
  });
  ASSERT_TRUE(eventually([] { return platform::event_signal_waiters() == 1; }));
  kor_evt_end_event(h);
  EXPECT_TRUE(reader.join([] { kor_evt_put_event(code_of(3, 2), 0x1, 0); }));
  EXPECT_EQ(got.load(), h);
}

TEST_F(Threads, WaitingReturnsAtOnceWhenAnEventIsThere) {
  const uint32_t stream = open_stream(0x1, KOR_EVT_OPT_FLAT);
  kor_evt_put_event(code_of(3, 1), 0x1, 0);
  BoundedThread reader([&] { EXPECT_NE(kor_evt_wait_for_event(stream), nullptr); });
  EXPECT_TRUE(reader.join([] { kor_evt_put_event(code_of(3, 2), 0x1, 0); }));
}

TEST_F(Threads, EachThreadHasItsOwnNesting) {
  const uint32_t stream = open_stream(0x1, KOR_EVT_OPT_FLAT);
  kor_evt_push();
  kor_evt_push();
  uint32_t other_level = 99, other_group = 0;
  BoundedThread other([&] {
    kor_evt_push();
    kor_evt_put_event(code_of(3, 2), 0x1, 0);
    if (const kor_evt_record *r = kor_evt_get_event(stream)) {
      other_level = r->level;
      other_group = r->group;
    }
    kor_evt_pop();
  });
  ASSERT_TRUE(other.join([] {}));
  EXPECT_EQ(other_level, 1u) << "a thread started later begins at depth 0";
  kor_evt_put_event(code_of(3, 1), 0x1, 0);
  const kor_evt_record *mine = kor_evt_get_event(stream);
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(mine->level, 2u);
  EXPECT_NE(mine->group, other_group);
  kor_evt_pop_all();
}

// Producers raise nested groups on several threads while readers with
// different options read them; nothing is lost or read twice as long as the
// ring is never over-filled (each round raises fewer records than it holds).
TEST_F(Threads, StressLosesAndDuplicatesNothing) {
  constexpr int kProducers = 4;
  constexpr int kGroupsPerRound = 20;
  constexpr int kRounds = 3;
  // Per group: A, B (open, one parameter) at level 1 and C closing it: 3 records.
  constexpr uint32_t kEventsPerRound = kProducers * kGroupsPerRound * 3;

  struct Reader {
    uint32_t stream;
    uint32_t options;
    std::set<std::string> seen;
    std::vector<std::string> order;
    uint32_t duplicates = 0;
  };
  Reader readers[] = {
      {0, KOR_EVT_OPT_FLAT, {}, {}, 0},
      {0, KOR_EVT_OPT_GROUPED | KOR_EVT_OPT_NESTED, {}, {}, 0},
      {0, KOR_EVT_OPT_GROUPED | KOR_EVT_OPT_NESTED | KOR_EVT_OPT_PARENT_FIRST, {}, {}, 0}};
  for (Reader &r : readers) r.stream = open_stream(0x1, r.options);

  std::atomic<bool> stop{false};
  auto read_into = [&stop](Reader *reader, uint32_t wanted) {
    while (reader->order.size() < wanted && !stop) {
      const kor_evt_record *r = kor_evt_get_event(reader->stream);
      if (r == nullptr) {
        std::this_thread::yield();
        continue;
      }
      // A flat reader may get an event before its parameter is attached, so
      // it names events by number; grouped readers get finished groups only.
      std::string id = "#" + std::to_string(r->number);
      if ((reader->options & KOR_EVT_OPT_FLAT) == 0) {
        uint32_t kind = 0, length = 0;
        void *data = nullptr;
        kor_evt_get_param(reader->stream, 1, &kind, &data, &length);
        id = length != 0 ? std::string(static_cast<const char *>(data), length) : "(none)";
      }
      if (!reader->seen.insert(id).second) ++reader->duplicates;
      reader->order.push_back(id);
    }
  };

  for (int round = 0; round < kRounds; ++round) {
    std::vector<std::unique_ptr<BoundedThread>> threads;
    for (Reader &r : readers) {
      const uint32_t wanted = static_cast<uint32_t>(r.order.size()) + kEventsPerRound;
      threads.push_back(
          std::make_unique<BoundedThread>([&read_into, &r, wanted] { read_into(&r, wanted); }));
    }
    for (int p = 0; p < kProducers; ++p) {
      threads.push_back(std::make_unique<BoundedThread>([round, p] {
        for (int g = 0; g < kGroupsPerRound; ++g) {
          const std::string id =
              std::to_string(round) + "." + std::to_string(p) + "." + std::to_string(g) + ".";
          kor_evt_push();
          raise_with_texts(code_of(3, 'A'), 0x1, {id + "A"});
          raise_with_texts(code_of(3, 'B'), 0x1, {id + "B"});
          raise_with_texts(code_of(3, 'C'), 0x1, {id + "C"}, KOR_EVT_CLOSE);
        }
      }));
    }
    for (auto &t : threads) EXPECT_TRUE(t->join([&stop] { stop = true; })) << "round " << round;
    ASSERT_FALSE(stop) << "a reader did not get every event in time";
  }

  for (const Reader &r : readers) {
    EXPECT_EQ(r.duplicates, 0u) << "options " << r.options;
    EXPECT_EQ(r.seen.size(), static_cast<size_t>(kRounds) * kEventsPerRound)
        << "options " << r.options;
    EXPECT_EQ(kor_evt_get_event(r.stream), nullptr) << "options " << r.options;
  }
  // Grouped readers get each group whole, in the order of its tree.
  for (size_t reader = 1; reader < std::size(readers); ++reader) {
    const std::vector<std::string> &order = readers[reader].order;
    const char *tree = reader == 1 ? "ABC" : "CBA";
    for (size_t i = 0; i + 2 < order.size(); i += 3) {
      const std::string group = order[i].substr(0, order[i].size() - 1);
      for (size_t k = 0; k < 3; ++k)
        ASSERT_EQ(order[i + k], group + tree[k]) << "options " << readers[reader].options;
    }
  }
}

}  // namespace
}  // namespace lyrdua::test
