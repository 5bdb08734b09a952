// The event signal on POSIX: a condition variable with a generation counter.
// A pulse only takes the mutex when someone waits, so raising an event that
// nobody waits for costs one atomic increment.
#include <pthread.h>

#include <atomic>

#include "platform/event_signal.hpp"

namespace lyrdua::platform {
namespace {

pthread_mutex_t signal_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t signal_condition = PTHREAD_COND_INITIALIZER;
// Both sequentially consistent: a waiter counts itself before it reads the
// generation, a pulse bumps the generation before it reads the count, so one
// of the two always sees the other.
std::atomic<SignalTicket> generation{0};
std::atomic<uint32_t> waiters{0};

}  // namespace

SignalTicket event_signal_ticket() { return generation.load(); }

void pulse_event_signal() {
  generation.fetch_add(1);
  if (waiters.load() == 0) return;
  pthread_mutex_lock(&signal_mutex);
  pthread_cond_broadcast(&signal_condition);
  pthread_mutex_unlock(&signal_mutex);
}

bool wait_event_signal(SignalTicket ticket) {
  pthread_mutex_lock(&signal_mutex);
  waiters.fetch_add(1);
  int failure = 0;
  while (failure == 0 && generation.load() == ticket)
    failure = pthread_cond_wait(&signal_condition, &signal_mutex);
  waiters.fetch_sub(1);
  pthread_mutex_unlock(&signal_mutex);
  return failure == 0;
}

uint32_t event_signal_waiters() { return waiters.load(); }

}  // namespace lyrdua::platform
