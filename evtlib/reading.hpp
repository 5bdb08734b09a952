// Reading events through streams, and waiting for them.
#pragma once

#include <lyrdua/kor_evt.h>

namespace lyrdua::evt {

kor_evt_record *get_event(uint32_t stream);
kor_evt_record *wait_for_event(uint32_t stream);

}  // namespace lyrdua::evt
