// Raising: recording an event that some stream wants at the head of the ring,
// at the raising thread's nesting level.
#include "evtlib/raising.hpp"

#include <ctime>

#include "evtlib/diagnostics.hpp"
#include "evtlib/event_text.hpp"
#include "evtlib/nesting.hpp"
#include "evtlib/ring.hpp"
#include "evtlib/selection.hpp"
#include "platform/event_signal.hpp"
#include "platform/library_lock.hpp"
#include "platform/thread_state.hpp"

namespace lyrdua::evt {
namespace {

// The event closes the thread's level: it stands at the outer level, and
// closing the outermost one makes it the group's terminator.
void close_level_with(kor_evt_record &record, platform::ThreadState &thread_state) {
  if (thread_state.depth == 0) return;
  record.level = --thread_state.depth;
  if (thread_state.depth != 0) return;
  record.flags = KOR_EVT_REC_TERMINATOR;
  thread_state.group = 0;
}

// The record of handle if it is still in the ring.
kor_evt_record *record_of(uint32_t handle) {
  kor_evt_record &record = state.ring.slots[slot_of(handle)];
  return record.number == handle ? &record : nullptr;
}

}  // namespace

uint32_t put_event(uint32_t code, uint32_t category, uint32_t flags) {
  const uint32_t severity = KOR_EVT_SEVERITY(code);
  if ((flags & KOR_EVT_CLOSE) == 0 && !may_be_wanted(severity, category)) return 0;

  const uint32_t thread = platform::current_thread_id();
  platform::ThreadState &thread_state = platform::current_thread_state();
  platform::LibraryLockGuard guard;
  if (!is_wanted(severity, category, thread)) {
    // An outcome event that nobody records still closes the level it was meant to close.
    if ((flags & KOR_EVT_CLOSE) != 0) pop_level(thread_state, thread);
    return 0;
  }

  kor_evt_record &record = claim_head_record();
  record.code = code;
  record.category = category;
  record.severity = severity;
  record.level = thread_state.depth;
  record.time = static_cast<uint32_t>(std::time(nullptr));
  record.number = state.ring.next_number;
  record.thread = thread;
  record.group = thread_state.group;

  if ((flags & KOR_EVT_ENCLOSE) != 0)
    enclose_previous_event(thread_state, thread);
  else if ((flags & KOR_EVT_CLOSE) != 0)
    close_level_with(record, thread_state);

  const bool open = (flags & KOR_EVT_OPEN) != 0;
  if (open)
    record.flags |= KOR_EVT_REC_OPEN;
  else
    print_if_console_selects(record);
  const uint32_t number = commit_head_record();
  if (!open) platform::pulse_event_signal();
  return number;
}

void attach_param(uint32_t handle, uint32_t index, uint32_t kind, const void *data,
                  uint32_t length) {
  if (handle == 0 || (data == nullptr && length != 0)) return;
  platform::LibraryLockGuard guard;
  kor_evt_record *record = record_of(handle);
  if (record == nullptr) return;
  kor_evt_param *param = make_param(kind, index, data, length);
  if (param == nullptr) {
    report(kMemoryAllocationFailed);
    return;
  }
  param->next = record->params;
  record->params = param;
  ++record->param_count;
}

void end_event(uint32_t handle) {
  if (handle == 0) return;
  platform::LibraryLockGuard guard;
  kor_evt_record *record = record_of(handle);
  if (record == nullptr || (record->flags & KOR_EVT_REC_OPEN) == 0) return;
  record->flags &= ~KOR_EVT_REC_OPEN;
  print_if_console_selects(*record);
  platform::pulse_event_signal();
}

}  // namespace lyrdua::evt
