// Streams: 0 is the library's own, 1 to 7 are well-known (reserved by their
// first filter or options, never freed), 8 to 32 are reserved and given back
// by their users.
#include "evtlib/streams.hpp"

#include <cstdlib>

#include "evtlib/diagnostics.hpp"
#include "evtlib/event_state.hpp"
#include "evtlib/ring.hpp"
#include "evtlib/selection.hpp"
#include "platform/library_lock.hpp"
#include "platform/thread_state.hpp"

namespace lyrdua::evt {
namespace {

constexpr uint32_t kDefaultOptions = KOR_EVT_OPT_GROUPED;

bool is_user_stream(uint32_t stream) { return stream >= KOR_EVT_STREAM_FIRST_USER; }

void free_thread_filters(Stream &s) {
  while (s.thread_filters != nullptr) {
    ThreadFilter *next = s.thread_filters->next;
    std::free(s.thread_filters);
    s.thread_filters = next;
  }
}

void empty_current_event(Stream &s) {
  free_params(s.current.params);
  s.current = kor_evt_record{};
}

// A stream starts with the records the ring holds now still to be read.
void initialise_stream(Stream &s) {
  free_thread_filters(s);
  empty_current_event(s);
  for (uint32_t &mask : s.masks) mask = 0;
  s.options = kDefaultOptions;
  s.low_water = state.ring.tail;
  s.read_position = advance(state.ring.tail);
  s.top_cursor = 0;
  s.walk_cursor = 0;
  s.in_group = false;
  s.walking = false;
  s.current_group = 0;
}

void reserve_stream(uint32_t stream) {
  state.in_use[stream] = true;
  if (stream > state.highest_in_use) state.highest_in_use = stream;
  initialise_stream(state.streams[stream]);
}

void clear_stream_filter(Stream &s) {
  for (uint32_t &mask : s.masks) mask = 0;
  free_thread_filters(s);
  recompute_preselection();
}

ThreadFilter *thread_filter_of(Stream &s, uint32_t thread) {
  for (ThreadFilter *f = s.thread_filters; f != nullptr; f = f->next)
    if (f->thread == thread) return f;
  return nullptr;
}

// Sets the calling thread's mask at level; the mask it replaced, or 0 for a
// new entry. False when a new entry cannot be had.
bool set_thread_mask(Stream &s, uint32_t level, uint32_t mask, uint32_t *previous) {
  const uint32_t thread = platform::current_thread_id();
  ThreadFilter *filter = thread_filter_of(s, thread);
  if (filter == nullptr) {
    filter = static_cast<ThreadFilter *>(std::malloc(sizeof(ThreadFilter)));
    if (filter == nullptr) return false;
    *filter = ThreadFilter{thread, {0, 0, 0, 0}, s.thread_filters};
    s.thread_filters = filter;
  }
  *previous = filter->masks[level];
  filter->masks[level] = mask;
  return true;
}

}  // namespace

uint32_t set_filter(uint32_t stream, int32_t level, uint32_t mask) {
  platform::LibraryLockGuard guard;
  if (stream >= kStreamCount) {
    report(kStreamNumberExceedsLimit);
    return 0;
  }
  if (level < 0 || level >= static_cast<int32_t>(kSeverityLevels)) {
    report(kSeverityNumberExceedsLimit);
    return 0;
  }
  if (!state.in_use[stream]) {
    if (is_user_stream(stream)) {
      report(kUserStreamNotReserved);
      return 0;
    }
    reserve_stream(stream);
  }
  Stream &s = state.streams[stream];
  uint32_t previous = 0;
  if ((mask & KOR_EVT_FILTER_THREAD) == 0) {
    previous = s.masks[level];
    s.masks[level] = mask;
  } else if (!set_thread_mask(s, static_cast<uint32_t>(level), mask, &previous)) {
    report(kMemoryAllocationFailed);
    return 0;
  }
  recompute_preselection();
  return previous;
}

void clear_filter(uint32_t stream) {
  platform::LibraryLockGuard guard;
  if (stream >= kStreamCount) {
    report(kStreamNumberExceedsLimit);
    return;
  }
  clear_stream_filter(state.streams[stream]);
}

uint32_t set_stream_options(uint32_t stream, uint32_t options) {
  platform::LibraryLockGuard guard;
  if (stream >= kStreamCount) {
    report(kStreamNumberExceedsLimit);
    return 0;
  }
  if (is_user_stream(stream) && !state.in_use[stream]) {
    report(kUserStreamNotReserved);
    return 0;
  }
  Stream &s = state.streams[stream];
  const uint32_t previous = s.options;
  if (!state.in_use[stream]) reserve_stream(stream);
  const bool flat = (options & KOR_EVT_OPT_FLAT) != 0;
  const bool grouped = (options & KOR_EVT_OPT_GROUPED) != 0;
  if (flat && grouped) {
    s.options = options & ~KOR_EVT_OPT_FLAT;
  } else {
    s.options = options;
    // Reading flat abandons a group being read.
    if (flat) s.in_group = s.walking = false;
  }
  return previous;
}

uint32_t allocate_stream() {
  platform::LibraryLockGuard guard;
  for (uint32_t stream = KOR_EVT_STREAM_FIRST_USER; stream < kStreamCount; ++stream) {
    if (state.in_use[stream]) continue;
    reserve_stream(stream);
    return stream;
  }
  return 0;
}

void free_stream(uint32_t stream) {
  platform::LibraryLockGuard guard;
  if (stream >= kStreamCount) {
    report(kStreamNumberExceedsLimit);
    return;
  }
  if (!is_user_stream(stream)) {
    report(kWellKnownStreamNotFreeable);
    return;
  }
  if (!state.in_use[stream]) {
    report(kUserStreamNotAllocated);
    return;
  }
  state.in_use[stream] = false;
  if (stream == state.highest_in_use) {
    uint32_t highest = stream - 1;
    while (highest >= 1 && !state.in_use[highest]) --highest;
    state.highest_in_use = highest;
  }
  Stream &s = state.streams[stream];
  clear_stream_filter(s);
  empty_current_event(s);
  s.options = kDefaultOptions;
  s.read_position = s.low_water = s.top_cursor = s.walk_cursor = 0;
  s.in_group = s.walking = false;
  s.current_group = 0;
}

}  // namespace lyrdua::evt
