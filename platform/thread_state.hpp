// Per-thread state of the event library and the ids of threads.
#pragma once

#include <cstdint>

namespace lyrdua::platform {

// A thread's event nesting: the number of open levels and the group that its
// outermost level opened (0 when depth is 0).
struct ThreadState {
  uint32_t depth;
  uint32_t group;
};

// The calling thread's state, created on its first use (so threads that were
// running before the library was loaded get one too) and released at its exit.
ThreadState &current_thread_state();

// The operating system's id of the calling thread, as a 32-bit number.
uint32_t current_thread_id();

}  // namespace lyrdua::platform
