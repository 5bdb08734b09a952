// The memory hooks through which the buffer lists allocate: malloc and free
// until the host installs its own with lyr_dua_init.
#pragma once

#include <lyrdua/kor_evt.h>

namespace lyrdua::evt {

// A null hook stands for the library's default of its kind.
void install_memory_hooks(kor_alloc_fn allocate, kor_release_fn release);

void *allocate_memory(uint32_t size, void *context);
void release_memory(void *p, uint32_t size, void *context);

}  // namespace lyrdua::evt
