// The library lock on POSIX: a plain mutex (constant-initialised, so it exists
// before any constructor runs) with an owner and a recursion count on top.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/library_lock.hpp"
#include "platform/thread_state.hpp"

namespace lyrdua::platform {
namespace {

std::mutex library_mutex;
// Only the owner stores its own id here, so a thread that reads its own id owns the lock.
std::atomic<uint32_t> owner{0};
uint32_t recursion = 0;

}  // namespace

void lock_library() {
  const uint32_t me = current_thread_id();
  if (owner.load(std::memory_order_relaxed) == me) {
    ++recursion;
    return;
  }
  library_mutex.lock();
  owner.store(me, std::memory_order_relaxed);
  recursion = 1;
}

void unlock_library() {
  if (--recursion != 0) return;
  owner.store(0, std::memory_order_relaxed);
  library_mutex.unlock();
}

}  // namespace lyrdua::platform
