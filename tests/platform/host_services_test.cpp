// The host layer's lock and event signal across threads, every wait bounded.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>

#include "platform/event_signal.hpp"
#include "platform/library_lock.hpp"
#include "tests/evtlib/evt_test_support.hpp"

namespace lyrdua::platform {
namespace {

using test::BoundedThread;
using test::eventually;

TEST(LibraryLock, ItsOwnerMayTakeItAgainAndOthersWaitUntilItIsFullyReleased) {
  std::atomic<bool> taken{false};
  lock_library();
  lock_library();
  BoundedThread other([&] {
    lock_library();
    taken = true;
    unlock_library();
  });
  unlock_library();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(taken) << "still held once";
  unlock_library();
  EXPECT_TRUE(other.join([] {}));
  EXPECT_TRUE(taken);
}

TEST(EventSignal, APulseWakesEveryWaiter) {
  constexpr int kWaiters = 3;
  const uint32_t before = event_signal_waiters();
  const SignalTicket ticket = event_signal_ticket();
  std::atomic<int> woken{0};
  std::vector<std::unique_ptr<BoundedThread>> waiters;
  for (int i = 0; i < kWaiters; ++i)
    waiters.push_back(std::make_unique<BoundedThread>([&] {
      if (wait_event_signal(ticket)) ++woken;
    }));
  ASSERT_TRUE(eventually([&] { return event_signal_waiters() == before + kWaiters; }));
  EXPECT_EQ(woken.load(), 0);
  pulse_event_signal();
  for (auto &w : waiters) EXPECT_TRUE(w->join([] { pulse_event_signal(); }));
  EXPECT_EQ(woken.load(), kWaiters);
}

TEST(EventSignal, APulseAfterTheTicketEndsTheWaitAtOnce) {
  const SignalTicket ticket = event_signal_ticket();
  pulse_event_signal();
  BoundedThread late([&] { EXPECT_TRUE(wait_event_signal(ticket)); });
  EXPECT_TRUE(late.join([] { pulse_event_signal(); }));
}

}  // namespace
}  // namespace lyrdua::platform
