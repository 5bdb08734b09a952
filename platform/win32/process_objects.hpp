// The process-wide objects of the Win32 host layer and each thread's state.
// The DLL entry point creates them at process attach and releases them at
// detach; a program that links the static library has no entry point, so
// each object is also created on its first use.
#pragma once

namespace lyrdua::platform::win32 {

// The library lock (a critical section); cannot fail.
void create_library_lock();
void delete_library_lock();

// The event signal (a manual-reset event object); false when it cannot be made.
bool create_event_signal();

// The thread-local slot (a TLS index); false when no index is left.
bool allocate_thread_slot();
void free_thread_slot();

// The calling thread's nesting state in the slot; false when it cannot be
// allocated or stored.
bool attach_thread_state();
void detach_thread_state();

}  // namespace lyrdua::platform::win32
