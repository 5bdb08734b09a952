// Nesting levels of a thread's events and the records that end groups. The
// functions expect the library lock to be held.
#pragma once

#include "platform/thread_state.hpp"

namespace lyrdua::evt {

// Closes the thread's innermost level: its events move up one level, and the
// outermost level's close ends the group with a terminator.
void pop_level(platform::ThreadState &thread_state, uint32_t thread);

// Closes every level of the thread and ends its group.
void pop_all_levels(platform::ThreadState &thread_state, uint32_t thread);

// Makes the thread's previous event (and its descendants) children of the
// record being raised at the head.
void enclose_previous_event(const platform::ThreadState &thread_state, uint32_t thread);

}  // namespace lyrdua::evt
