// The event signal on Windows: a manual-reset event object that every pulse
// pulses (PulseEvent wakes the threads waiting at that moment and leaves it
// unsignalled). A ticket is the number of pulses so far; a waiter waits only
// while no newer pulse has come.
#include <windows.h>

#include <atomic>

#include "platform/event_signal.hpp"
#include "platform/win32/process_objects.hpp"

namespace lyrdua::platform {
namespace {

// PulseEvent wakes no thread that is between its look at the count and its
// wait, so a waiter looks again this often; any other wake-up is at once.
constexpr DWORD kRecheckMilliseconds = 20;

HANDLE signal_event = nullptr;
INIT_ONCE event_once = INIT_ONCE_STATIC_INIT;
std::atomic<SignalTicket> generation{0};
std::atomic<uint32_t> waiters{0};

BOOL CALLBACK create_event(PINIT_ONCE, PVOID, PVOID *) {
  signal_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  return signal_event != nullptr;
}

}  // namespace

bool win32::create_event_signal() {
  return InitOnceExecuteOnce(&event_once, create_event, nullptr, nullptr) != FALSE;
}

SignalTicket event_signal_ticket() { return generation.load(); }

void pulse_event_signal() {
  generation.fetch_add(1);
  if (waiters.load() != 0 && win32::create_event_signal()) PulseEvent(signal_event);
}

bool wait_event_signal(SignalTicket ticket) {
  if (!win32::create_event_signal()) return false;
  waiters.fetch_add(1);
  bool failed = false;
  while (!failed && generation.load() == ticket)
    failed = WaitForSingleObject(signal_event, kRecheckMilliseconds) == WAIT_FAILED;
  waiters.fetch_sub(1);
  return !failed;
}

uint32_t event_signal_waiters() { return waiters.load(); }

}  // namespace lyrdua::platform
