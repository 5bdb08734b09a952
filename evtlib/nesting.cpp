// Push and pop levels, group terminators and enclosing: the shape of the
// trees that grouped readers return.
#include "evtlib/nesting.hpp"

#include "evtlib/diagnostics.hpp"
#include "evtlib/ring.hpp"
#include "platform/event_signal.hpp"

namespace lyrdua::evt {
namespace {

// Moves the group's records at the closing depth (or deeper) up one level,
// scanning back until one lies below it. Returns whether the group has records.
bool lift_closed_level(uint32_t group, uint32_t depth) {
  const Ring &ring = state.ring;
  bool group_has_records = false;
  for (uint32_t i = step_back(ring.head); i != ring.tail; i = step_back(i)) {
    kor_evt_record &record = state.ring.slots[i];
    if (record.number == 0 || record.group != group) continue;
    group_has_records = true;
    if (record.level < depth) break;
    --record.level;
  }
  return group_has_records;
}

void write_terminator(uint32_t thread, uint32_t group) {
  kor_evt_record &record = claim_head_record();
  record.number = state.ring.next_number;
  record.thread = thread;
  record.group = group;
  record.flags = KOR_EVT_REC_TERMINATOR;
  commit_head_record();
  platform::pulse_event_signal();
}

}  // namespace

void pop_level(platform::ThreadState &thread_state, uint32_t thread) {
  if (thread_state.depth == 0) {
    report(kUnmatchedCall);
    return;
  }
  const bool group_has_records = lift_closed_level(thread_state.group, thread_state.depth);
  if (--thread_state.depth != 0) return;
  if (group_has_records) write_terminator(thread, thread_state.group);
  thread_state.group = 0;
}

void pop_all_levels(platform::ThreadState &thread_state, uint32_t thread) {
  if (thread_state.depth == 0) {
    report(kUnmatchedCall);
    return;
  }
  bool group_has_records = false;
  for (uint32_t depth = thread_state.depth; depth >= 1; --depth)
    group_has_records |= lift_closed_level(thread_state.group, depth);
  if (group_has_records) write_terminator(thread, thread_state.group);
  thread_state = platform::ThreadState{};
}

void enclose_previous_event(const platform::ThreadState &thread_state, uint32_t thread) {
  const Ring &ring = state.ring;
  bool nearest = true;
  for (uint32_t i = step_back(ring.head); i != ring.tail; i = step_back(i)) {
    kor_evt_record &record = state.ring.slots[i];
    if (record.number == 0 || record.thread != thread) continue;
    if (record.group != thread_state.group || record.level == 0) return;
    // The nearest event must stand at the new event's level; the older ones
    // below it are its descendants as long as they lie deeper.
    if (nearest ? record.level != thread_state.depth : record.level <= thread_state.depth) return;
    nearest = false;
    ++record.level;
  }
}

}  // namespace lyrdua::evt
