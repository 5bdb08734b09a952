// The event library's state, static data with its load-time values: an empty
// ring whose first record goes to slot 1 with number 1, and no stream in use.
#include "evtlib/event_state.hpp"

#include <cstdlib>

#include "evtlib/ring.hpp"
#include "platform/library_lock.hpp"
#include "platform/thread_state.hpp"

namespace lyrdua::evt {
namespace {

constexpr uint32_t kFirstHead = 1;
constexpr uint32_t kFirstTail = 0;
constexpr uint32_t kFreeSlots = kRingSlots - 1;

void free_thread_filters(ThreadFilter *filter) {
  while (filter != nullptr) {
    ThreadFilter *next = filter->next;
    std::free(filter);
    filter = next;
  }
}

}  // namespace

EventState state{{{}, kFirstHead, kFirstTail, kFreeSlots, 1, 1}, {}, {}, 0, {}, {}};

void release_event_library() {
  platform::LibraryLockGuard guard;
  Ring &ring = state.ring;
  for (kor_evt_record &record : ring.slots) clear_record(&record);
  ring.head = kFirstHead;
  ring.tail = kFirstTail;
  ring.free_count = kFreeSlots;
  ring.next_number = 1;
  ring.next_group = 1;
  for (uint32_t n = 0; n < kStreamCount; ++n) {
    Stream &s = state.streams[n];
    free_thread_filters(s.thread_filters);
    free_params(s.current.params);
    s = Stream{};
    state.in_use[n] = false;
  }
  state.highest_in_use = 0;
  for (uint32_t level = 0; level < kSeverityLevels; ++level) {
    state.all_thread_masks[level].store(0, std::memory_order_relaxed);
    state.thread_masks[level].store(0, std::memory_order_relaxed);
  }
  platform::current_thread_state() = platform::ThreadState{};
}

}  // namespace lyrdua::evt
