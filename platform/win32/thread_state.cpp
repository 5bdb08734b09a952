// Thread state and ids on Windows: one TLS index whose slot holds each
// thread's nesting state. The DLL entry point makes a thread's state at thread
// attach and frees it at detach; a thread that was running before the library
// was loaded, or any thread of a program that links the static library, gets
// its state on first use, and a TLS callback frees it when such a program's
// thread exits.
#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "platform/thread_state.hpp"
#include "platform/win32/process_objects.hpp"

namespace lyrdua::platform {
namespace {

std::atomic<DWORD> slot{TLS_OUT_OF_INDEXES};
INIT_ONCE slot_once = INIT_ONCE_STATIC_INIT;

// Used by a thread whose own state cannot be allocated, so that nesting calls
// still have somewhere to count; such threads share it.
ThreadState shared_fallback_state{};

BOOL CALLBACK allocate_slot(PINIT_ONCE, PVOID, PVOID *) {
  slot = TlsAlloc();
  return slot != TLS_OUT_OF_INDEXES;
}

ThreadState *stored_state() {
  const DWORD index = slot.load();
  return index == TLS_OUT_OF_INDEXES ? nullptr : static_cast<ThreadState *>(TlsGetValue(index));
}

// Frees the state of an exiting thread of the program that holds the static
// library; inside the DLL the entry point does this.
void NTAPI on_thread_event(PVOID module, DWORD reason, PVOID) {
  if (reason == DLL_THREAD_DETACH && module == GetModuleHandleA(nullptr))
    win32::detach_thread_state();
}

}  // namespace

bool win32::allocate_thread_slot() {
  return InitOnceExecuteOnce(&slot_once, allocate_slot, nullptr, nullptr) != FALSE;
}

void win32::free_thread_slot() {
  const DWORD index = slot.exchange(TLS_OUT_OF_INDEXES);
  if (index != TLS_OUT_OF_INDEXES) TlsFree(index);
}

bool win32::attach_thread_state() {
  if (!allocate_thread_slot()) return false;
  if (stored_state() != nullptr) return true;
  auto *state = static_cast<ThreadState *>(std::calloc(1, sizeof(ThreadState)));
  if (state == nullptr) return false;
  if (!TlsSetValue(slot.load(), state)) {
    std::free(state);
    return false;
  }
  return true;
}

void win32::detach_thread_state() {
  ThreadState *state = stored_state();
  if (state == nullptr) return;
  TlsSetValue(slot.load(), nullptr);
  std::free(state);
}

ThreadState &current_thread_state() {
  if (ThreadState *state = stored_state()) return *state;
  if (win32::attach_thread_state()) return *stored_state();
  return shared_fallback_state;
}

uint32_t current_thread_id() { return GetCurrentThreadId(); }

}  // namespace lyrdua::platform

// The loader calls the callbacks of the image's TLS directory at every thread
// attach and detach, of a program as well as of a DLL.
extern "C" __attribute__((section(".CRT$XLL"), used))
const PIMAGE_TLS_CALLBACK lyrdua_thread_exit_callback = lyrdua::platform::on_thread_event;
