// Which streams select which records, and the pre-selection masks that let a
// producer skip an event that no stream wants.
#pragma once

#include "evtlib/event_state.hpp"

namespace lyrdua::evt {

// The selection test: a mask at some level 0..severity of the stream, or of
// its filter for the raising thread, shares a bit with the category.
bool selects(const Stream &stream, const kor_evt_record &record);

// Whether some stream in use wants an event; under the lock.
bool is_wanted(uint32_t severity, uint32_t category, uint32_t thread);

// False when no mask of any stream admits the category at this severity. Needs
// no lock: the masks are atomics, and a filter that changes at the same moment
// is ordered before or after the event either way.
inline bool may_be_wanted(uint32_t severity, uint32_t category) {
  return ((state.all_thread_masks[severity].load(std::memory_order_relaxed) |
           state.thread_masks[severity].load(std::memory_order_relaxed)) &
          category) != 0;
}

// Recomputes both pre-selection arrays from the streams in use.
void recompute_preselection();

}  // namespace lyrdua::evt
