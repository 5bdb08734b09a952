// Opening and closing a handle's key under one root: keys are opened on first
// use, for reading or for writing, and a read key is replaced by a write key
// when a write is asked for.
#pragma once

#include <cstdint>

#include "cfg/config_handle.hpp"
#include "cfg/sources.hpp"

namespace lyrdua::cfg {

// The handle's key state for a registry source (KOR_CFG_SRC_USER or _MACHINE).
KeyState &key_state_of(kor_cfg *cfg, const RootName &root);

// Makes the key state open with at least the access asked for, creating the
// key when writing and create is set. 0, KOR_CFG_E_NOT_FOUND, or
// KOR_CFG_E_FAILED with the failure reported.
uint32_t open_key(KeyState *state, const RootName &root, const char *key_path, bool write,
                  bool create);

// Closes the key state if it is open: 0, or KOR_CFG_E_FAILED with the failure
// reported.
uint32_t close_key(KeyState *state, const RootName &root, const char *key_path);

}  // namespace lyrdua::cfg
