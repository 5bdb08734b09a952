// The memory hooks and their defaults, which ignore size and context on release.
#include "evtlib/memory_hooks.hpp"

#include <atomic>
#include <cstdlib>

namespace lyrdua::evt {
namespace {

void *KOR_API default_allocate(uint32_t size, void *) { return std::malloc(size); }
void KOR_API default_release(void *p, uint32_t, void *) { std::free(p); }

std::atomic<kor_alloc_fn> allocate_hook{default_allocate};
std::atomic<kor_release_fn> release_hook{default_release};

}  // namespace

void install_memory_hooks(kor_alloc_fn allocate, kor_release_fn release) {
  allocate_hook.store(allocate != nullptr ? allocate : default_allocate);
  release_hook.store(release != nullptr ? release : default_release);
}

void *allocate_memory(uint32_t size, void *context) { return allocate_hook.load()(size, context); }

void release_memory(void *p, uint32_t size, void *context) {
  release_hook.load()(p, size, context);
}

}  // namespace lyrdua::evt
