// Reading the ring through a stream: flat (every selected event in order of
// raising) or grouped (finished groups as trees, with standalone events
// between them), and letting go of what every stream has passed.
#include "evtlib/reading.hpp"

#include "evtlib/diagnostics.hpp"
#include "evtlib/event_text.hpp"
#include "evtlib/ring.hpp"
#include "evtlib/selection.hpp"
#include "platform/event_signal.hpp"
#include "platform/library_lock.hpp"

namespace lyrdua::evt {
namespace {

const kor_evt_record &slot(uint32_t index) { return state.ring.slots[index]; }

bool has_option(const Stream &s, uint32_t option) { return (s.options & option) != 0; }

bool is_terminator(const kor_evt_record &r) { return (r.flags & KOR_EVT_REC_TERMINATOR) != 0; }

bool is_group_member(const kor_evt_record &r, uint32_t group) {
  return r.number != 0 && r.group == group;
}

// True if the thread has raised a record after the one at index.
bool later_record_of_thread(uint32_t index, uint32_t thread) {
  for (uint32_t i = advance(index); i != state.ring.head; i = advance(i))
    if (slot(i).number != 0 && slot(i).thread == thread) return true;
  return false;
}

bool terminator_before(uint32_t from, uint32_t group, uint32_t end) {
  for (uint32_t i = advance(from); i != end; i = advance(i))
    if (is_group_member(slot(i), group) && is_terminator(slot(i))) return true;
  return false;
}

bool passed_by_other_streams(const Stream &reader, uint32_t number) {
  for (uint32_t n = 1; n <= state.highest_in_use; ++n) {
    const Stream &other = state.streams[n];
    if (!state.in_use[n] || &other == &reader) continue;
    if (slot(other.low_water).number < number) return false;
  }
  return true;
}

// Lets go of the records the stream has passed. A group goes only as a whole,
// once its terminator has been passed, and a record leaves the ring only when
// every other stream has passed it too.
void release(Stream &s) {
  uint32_t checked_group = 0;  // a group whose terminator is known to be passed
  for (uint32_t i = advance(s.low_water); i != s.read_position; i = advance(i)) {
    const kor_evt_record &r = slot(i);
    if (r.group != 0 && !is_terminator(r) && r.group != checked_group) {
      if (!terminator_before(i, r.group, s.read_position)) return;
      checked_group = r.group;
    }
    // Every record up to this stream's low-water mark has now been passed by
    // all streams. Usually that is the oldest record alone; after a stream
    // that lagged behind was freed, it is the records it held as well.
    if (passed_by_other_streams(s, r.number))
      while (state.ring.tail != i && state.ring.tail != state.ring.head) release_oldest_record();
    s.low_water = i;
  }
}

// Flat reading: the next selected record; records passed over are skipped for good.
bool read_flat(Stream &s) {
  bool found = false;
  while (s.read_position != state.ring.head) {
    const kor_evt_record &r = slot(s.read_position);
    s.read_position = advance(s.read_position);
    if (selects(s, r)) {
      copy_to_current(s, r);
      found = true;
      break;
    }
  }
  release(s);
  return found;
}

enum class Phase { kSeek, kTop, kWalk };

enum class Outcome {
  kRecord,   // *found is the record to return
  kNothing,  // nothing to return yet
  kNothingAfterRelease,
  kGroup,  // a finished group to read: go to its top-level events
  kWalk,   // a tree to walk
  kDone,   // the group or tree has been read
};

// Looks for the next standalone event or finished group.
Outcome seek(Stream &s, uint32_t *found) {
  while (s.read_position != state.ring.head) {
    const uint32_t i = s.read_position;
    const kor_evt_record &r = slot(i);
    s.read_position = advance(i);
    const bool standalone = r.group == 0 && selects(s, r);
    if (!standalone && !is_terminator(r)) continue;
    // An open record is looked at again later, unless its thread has moved on.
    if ((r.flags & KOR_EVT_REC_OPEN) != 0 && !later_record_of_thread(i, r.thread)) {
      s.read_position = i;
      return Outcome::kNothing;
    }
    if (standalone) {
      *found = i;
      return Outcome::kRecord;
    }
    s.current_group = r.group;
    s.in_group = true;
    s.top_cursor = s.low_water;
    return Outcome::kGroup;
  }
  return Outcome::kNothingAfterRelease;
}

// A top-level record has children when the group's record just before it lies deeper.
bool has_children(const Stream &s, uint32_t index) {
  for (uint32_t i = step_back(index); i != s.top_cursor; i = step_back(i))
    if (is_group_member(slot(i), s.current_group)) return slot(i).level != 0;
  return false;
}

// The next top-level record of the group that is selected or has children.
Outcome next_top_level(Stream &s, uint32_t *found) {
  for (uint32_t i = advance(s.top_cursor); i != s.read_position; i = advance(i)) {
    const kor_evt_record &r = slot(i);
    if (!is_group_member(r, s.current_group) || r.level != 0) continue;
    const bool selected = selects(s, r);
    const bool children = has_children(s, i);
    if (!selected && !children) continue;
    s.top_cursor = i;
    if (children && has_option(s, KOR_EVT_OPT_NESTED)) return Outcome::kWalk;
    if (selected) {
      *found = i;
      return Outcome::kRecord;
    }
  }
  s.in_group = false;
  return Outcome::kDone;
}

// Starts the tree of the top-level record: at its earliest event (children
// first) or at the top-level record itself (parent first).
bool start_tree(Stream &s, uint32_t *found) {
  s.walking = true;
  s.walk_cursor = s.top_cursor;
  if (!has_option(s, KOR_EVT_OPT_PARENT_FIRST)) {
    for (uint32_t i = step_back(s.walk_cursor); i != s.low_water; i = step_back(i)) {
      if (!is_group_member(slot(i), s.current_group)) continue;
      if (slot(i).level == 0) break;
      s.walk_cursor = i;
    }
  }
  if (!selects(s, slot(s.walk_cursor))) return false;
  *found = s.walk_cursor;
  return true;
}

// Children first: forward in order of raising, ending with the top-level record.
bool step_forward_in_tree(Stream &s, uint32_t *found) {
  const uint32_t thread = slot(s.walk_cursor).thread;
  for (uint32_t i = s.walk_cursor; i != s.top_cursor;) {
    i = advance(i);
    const kor_evt_record &r = slot(i);
    if (r.number == 0 || r.thread != thread || !selects(s, r)) continue;
    s.walk_cursor = i;
    *found = i;
    return true;
  }
  return false;
}

// Parent first: backward from the top-level record until the thread's
// previous top-level record.
bool step_backward_in_tree(Stream &s, uint32_t *found) {
  const uint32_t thread = slot(s.walk_cursor).thread;
  for (uint32_t i = step_back(s.walk_cursor); i != s.low_water; i = step_back(i)) {
    const kor_evt_record &r = slot(i);
    if (r.number == 0 || r.thread != thread) continue;
    if (r.level == 0) return false;
    if (!selects(s, r)) continue;
    s.walk_cursor = i;
    *found = i;
    return true;
  }
  return false;
}

Outcome walk_tree(Stream &s, uint32_t *found) {
  if (!s.walking && start_tree(s, found)) return Outcome::kRecord;
  if (has_option(s, KOR_EVT_OPT_NESTED)) {
    const bool stepped = has_option(s, KOR_EVT_OPT_PARENT_FIRST) ? step_backward_in_tree(s, found)
                                                                 : step_forward_in_tree(s, found);
    if (stepped) return Outcome::kRecord;
  }
  s.walking = false;
  return Outcome::kDone;
}

bool read_grouped(Stream &s) {
  Phase phase = s.walking ? Phase::kWalk : s.in_group ? Phase::kTop : Phase::kSeek;
  uint32_t found = 0;
  for (;;) {
    switch (phase) {
      case Phase::kSeek:
        switch (seek(s, &found)) {
          case Outcome::kRecord:
            copy_to_current(s, slot(found));
            release(s);
            return true;
          case Outcome::kNothing:
            return false;
          case Outcome::kGroup:
            phase = Phase::kTop;
            break;
          default:
            release(s);
            return false;
        }
        break;
      case Phase::kTop:
        switch (next_top_level(s, &found)) {
          case Outcome::kRecord:
            copy_to_current(s, slot(found));
            return true;
          case Outcome::kWalk:
            phase = Phase::kWalk;
            break;
          default:
            release(s);
            phase = Phase::kSeek;
            break;
        }
        break;
      case Phase::kWalk:
        if (walk_tree(s, &found) == Outcome::kRecord) {
          copy_to_current(s, slot(found));
          return true;
        }
        phase = Phase::kTop;
        break;
    }
  }
}

// Stream 0 takes part in no selection, and a stream that is not reserved has
// no position in the ring: neither is read.
bool is_readable(uint32_t stream) {
  return stream != KOR_EVT_STREAM_LIBRARY && state.in_use[stream];
}

}  // namespace

kor_evt_record *get_event(uint32_t stream) {
  platform::LibraryLockGuard guard;
  if (stream >= kStreamCount) {
    report(kStreamNumberExceedsLimit);
    return nullptr;
  }
  if (!is_readable(stream)) return nullptr;
  Stream &s = state.streams[stream];
  const bool found = has_option(s, KOR_EVT_OPT_FLAT) ? read_flat(s) : read_grouped(s);
  return found ? &s.current : nullptr;
}

kor_evt_record *wait_for_event(uint32_t stream) {
  if (stream >= kStreamCount) {
    platform::LibraryLockGuard guard;
    report(kStreamNumberExceedsLimit);
    return nullptr;
  }
  for (;;) {
    // The ticket is taken before looking, so an event completed between the
    // look and the wait still ends the wait.
    const platform::SignalTicket ticket = platform::event_signal_ticket();
    if (kor_evt_record *record = get_event(stream)) return record;
    {
      platform::LibraryLockGuard guard;
      if (!is_readable(stream)) return nullptr;
    }
    if (!platform::wait_event_signal(ticket)) return nullptr;
  }
}

}  // namespace lyrdua::evt
