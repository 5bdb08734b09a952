// The event signal: a pulse wakes every thread waiting at that moment and is
// then gone. A waiter names the pulse it waits for by a ticket taken before it
// looked for work, so a pulse that falls between the look and the wait still
// wakes it.
#pragma once

#include <cstdint>

namespace lyrdua::platform {

using SignalTicket = uint64_t;

// The ticket of the next pulse.
SignalTicket event_signal_ticket();

// Wakes every waiter whose ticket is not newer than this pulse.
void pulse_event_signal();

// Waits without time limit until a pulse newer than ticket; false if the wait failed.
bool wait_event_signal(SignalTicket ticket);

// Threads blocked in wait_event_signal right now (for tests that must know a
// reader is asleep before they wake it).
uint32_t event_signal_waiters();

}  // namespace lyrdua::platform
