#include "cfg/key_states.hpp"

#include <lyrdua/kor_cfg.h>

#include "cfg/config_events.hpp"

namespace lyrdua::cfg {
namespace {

uint32_t open_registry(const RootName &root, const char *key_path, bool write, bool create,
                       platform::RegistryKey **key) {
  const uint32_t access = write ? platform::kKeyWrite : platform::kKeyRead;
  return write && create ? platform::create_registry_key(root.root, key_path, access, key)
                         : platform::open_registry_key(root.root, key_path, access, key);
}

}  // namespace

KeyState &key_state_of(kor_cfg *cfg, const RootName &root) {
  return root.source == KOR_CFG_SRC_USER ? cfg->user : cfg->machine;
}

uint32_t open_key(KeyState *state, const RootName &root, const char *key_path, bool write,
                  bool create) {
  if (state->open != 0 && (state->access == kAccessWrite || !write)) return KOR_OK;
  platform::RegistryKey *key = nullptr;
  const uint32_t error = open_registry(root, key_path, write, create, &key);
  if (error != platform::registry_result::kOk)
    return report_registry_failure(error, write ? KOR_CFG_E_OPEN_WRITE : KOR_CFG_E_OPEN_READ,
                                   key_path, nullptr, root);
  // The read key that this write key replaces is released quietly.
  if (state->open != 0) platform::close_registry_key(state->key);
  state->key = key;
  state->access = write ? kAccessWrite : kAccessRead;
  state->open = 1;
  return KOR_OK;
}

uint32_t close_key(KeyState *state, const RootName &root, const char *key_path) {
  if (state->open == 0) return KOR_OK;
  const uint32_t error = platform::close_registry_key(state->key);
  state->key = nullptr;
  state->open = 0;
  if (error != platform::registry_result::kOk)
    return report_registry_failure(error, KOR_CFG_E_CLOSE, key_path, nullptr, root);
  return KOR_OK;
}

}  // namespace lyrdua::cfg
