// A configuration handle: the key path and one key state per registry root.
#pragma once

#include <lyrdua/kor_cfg.h>

#include <cstdint>

#include "platform/registry.hpp"

namespace lyrdua::cfg {

// The access a key state was opened with.
constexpr uint32_t kAccessRead = 0;
constexpr uint32_t kAccessWrite = 1;

struct KeyState {
  platform::RegistryKey *key;
  uint32_t access;  // kAccessRead or kAccessWrite
  uint32_t open;    // 1 while key is open
};

}  // namespace lyrdua::cfg

struct kor_cfg {
  char *key_path;  // KOR_CFG_KEY_PATH, then "\" and the subkey if there is one
  lyrdua::cfg::KeyState user;
  lyrdua::cfg::KeyState machine;
};
