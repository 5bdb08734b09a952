// The sources of a read, in the order they are searched, and the registry
// roots behind the first two.
#pragma once

#include <lyrdua/kor_cfg.h>

#include <cstdint>

#include "platform/registry.hpp"

namespace lyrdua::cfg {

constexpr uint32_t kSearchOrder[] = {
    KOR_CFG_SRC_USER,
    KOR_CFG_SRC_MACHINE,
    KOR_CFG_SRC_DEFAULT,
};

// A registry root as the store names it in the text of its events.
struct RootName {
  uint32_t source;
  platform::RegistryRoot root;
  const char *suffix;  // ends the key text of an event
};

constexpr RootName kUserRoot = {KOR_CFG_SRC_USER, platform::RegistryRoot::kCurrentUser,
                                " (HKEY_CURRENT_USER) "};
constexpr RootName kMachineRoot = {KOR_CFG_SRC_MACHINE, platform::RegistryRoot::kLocalMachine,
                                   " (HKEY_LOCAL_MACHINE) "};

}  // namespace lyrdua::cfg
