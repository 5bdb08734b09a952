// The library lock on Windows: a critical section, which its owner may enter
// again.
#include <windows.h>

#include "platform/library_lock.hpp"
#include "platform/win32/process_objects.hpp"

namespace lyrdua::platform {
namespace {

CRITICAL_SECTION library_section;
INIT_ONCE section_once = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK initialise_section(PINIT_ONCE, PVOID, PVOID *) {
  InitializeCriticalSection(&library_section);
  return TRUE;
}

}  // namespace

void win32::create_library_lock() {
  InitOnceExecuteOnce(&section_once, initialise_section, nullptr, nullptr);
}

void win32::delete_library_lock() { DeleteCriticalSection(&library_section); }

void lock_library() {
  win32::create_library_lock();
  EnterCriticalSection(&library_section);
}

void unlock_library() { LeaveCriticalSection(&library_section); }

}  // namespace lyrdua::platform
