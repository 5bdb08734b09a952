// Reserving and freeing streams, their filters and options.
#pragma once

#include <cstdint>

namespace lyrdua::evt {

uint32_t set_filter(uint32_t stream, int32_t level, uint32_t mask);
void clear_filter(uint32_t stream);
uint32_t set_stream_options(uint32_t stream, uint32_t options);
uint32_t allocate_stream();
void free_stream(uint32_t stream);

}  // namespace lyrdua::evt
