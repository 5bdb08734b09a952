// Raising events and attaching their parameters.
#pragma once

#include <cstdint>

namespace lyrdua::evt {

uint32_t put_event(uint32_t code, uint32_t category, uint32_t flags);
void attach_param(uint32_t handle, uint32_t index, uint32_t kind, const void *data,
                  uint32_t length);
void end_event(uint32_t handle);

}  // namespace lyrdua::evt
