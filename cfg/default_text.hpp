// The default text: the last source of a read, registered by the host and
// searched for "\n" key path "\" name, then a ":" and the value up to the
// next newline.
#pragma once

#include <cstdint>

namespace lyrdua::cfg {

// Registers text (caller-owned, not copied), or none for null.
void register_default_text(const char *text);

// Looks name up under key_path. *length holds the buffer's capacity on entry;
// on return the value's length (0 when there is no entry), or with
// KOR_CFG_E_BUFFER the size needed with the NUL.
uint32_t look_up_default(const char *key_path, const char *name, char *buffer, uint32_t *length);

}  // namespace lyrdua::cfg
