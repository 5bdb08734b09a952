// The library lock: one re-entrant lock that guards all event library state.
// Its owner may take it again (console printing re-enters it through the text
// and parameter lookups).
#pragma once

namespace lyrdua::platform {

void lock_library();
void unlock_library();

// Holds the library lock for the lifetime of the guard.
class LibraryLockGuard {
 public:
  LibraryLockGuard() { lock_library(); }
  ~LibraryLockGuard() { unlock_library(); }
  LibraryLockGuard(const LibraryLockGuard &) = delete;
  LibraryLockGuard &operator=(const LibraryLockGuard &) = delete;
};

}  // namespace lyrdua::platform
