// Library attach and detach on POSIX: what the Windows entry point does at
// process attach and detach, run by the loader as constructor and destructor.
#include "evtlib/diagnostics.hpp"
#include "evtlib/event_state.hpp"
#include "platform/message_module.hpp"
#include "platform/thread_state.hpp"

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
