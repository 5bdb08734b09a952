// Thread state and ids on POSIX: thread_local storage, which the C++ runtime
// gives every thread on its first use and takes back when the thread exits.
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/thread_state.hpp"

namespace lyrdua::platform {
namespace {

thread_local ThreadState thread_state{};
thread_local uint32_t cached_thread_id = 0;

// The child of a fork runs on a new thread id, so the copy of the parent's is dropped.
void forget_thread_id_in_child() { cached_thread_id = 0; }

struct ForkHandlerRegistration {
  ForkHandlerRegistration() { pthread_atfork(nullptr, nullptr, forget_thread_id_in_child); }
};
const ForkHandlerRegistration fork_handler_registration;

}  // namespace

ThreadState &current_thread_state() { return thread_state; }

uint32_t current_thread_id() {
  if (cached_thread_id == 0) cached_thread_id = static_cast<uint32_t>(syscall(SYS_gettid));
  return cached_thread_id;
}

}  // namespace lyrdua::platform
