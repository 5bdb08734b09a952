// Library attach and detach: the DLL entry point on Windows; on POSIX a
// constructor and destructor that the loader runs at the same moments.
#include "evtlib/diagnostics.hpp"
#include "evtlib/event_state.hpp"
#include "platform/message_module.hpp"
#include "platform/thread_state.hpp"

#if defined(_WIN32)
#include <windows.h>

#include "platform/win32/process_objects.hpp"

namespace lyrdua::evt {
namespace {

BOOL attach_process() {
  platform::win32::create_library_lock();
  if (!platform::win32::create_event_signal() || !platform::win32::allocate_thread_slot())
    return FALSE;
  if (!platform::load_message_module()) report(kLoadingMessageFileFailed);
  return platform::win32::attach_thread_state();
}

// A process that is ending (reserved not null) may have lost threads that held
// the library lock, so only an unload frees the ring through it; the event
// signal and the message module are left to the system.
BOOL detach_process(bool unloading) {
  if (unloading) release_event_library();
  platform::win32::detach_thread_state();
  platform::win32::free_thread_slot();
  platform::win32::delete_library_lock();
  return TRUE;
}

bool linked_into_program() {
  HMODULE self = nullptr;
  return GetModuleHandleExA(
             GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
             reinterpret_cast<LPCSTR>(&linked_into_program), &self) &&
         self == GetModuleHandleA(nullptr);
}

// A program that links the static library calls no entry point for it: the
// attach is done when the program's constructors run. In the DLL the entry
// point does it.
__attribute__((constructor)) void attach_program() {
  if (linked_into_program()) attach_process();
}

}  // namespace
}  // namespace lyrdua::evt

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  namespace win32 = lyrdua::platform::win32;
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return lyrdua::evt::attach_process();
    case DLL_THREAD_ATTACH:
      return win32::attach_thread_state();
    case DLL_THREAD_DETACH:
      win32::detach_thread_state();
      return TRUE;
    case DLL_PROCESS_DETACH:
      return lyrdua::evt::detach_process(reserved == nullptr);
    default:
      return TRUE;
  }
}

#else

namespace lyrdua::evt {
namespace {

// The lock, the event signal and the thread-local state need no work here:
// they are static data, and each thread's state is made on its first use. A
// missing message module is reported and tolerated: events are still
// recorded and read, only their texts cannot be formatted.
__attribute__((constructor)) void attach_process() {
  if (!platform::load_message_module()) report(kLoadingMessageFileFailed);
  platform::current_thread_state() = platform::ThreadState{};
}

// The message module stays loaded: code that runs after this (other
// libraries' destructors) may still format texts.
__attribute__((destructor)) void detach_process() { release_event_library(); }

}  // namespace
}  // namespace lyrdua::evt

#endif
