// The configuration store's C API: handles over the current-user and machine
// roots of the registry, with the default text as the last source of a read.
#include <lyrdua/kor_cfg.h>

#include <cstdlib>
#include <cstring>

#include "cfg/config_events.hpp"
#include "cfg/config_handle.hpp"
#include "cfg/default_text.hpp"
#include "cfg/key_states.hpp"
#include "cfg/sources.hpp"
#include "platform/export.hpp"

namespace lyrdua::cfg {
namespace {

// A call that cannot start (no handle, no name, nowhere to put a result) fails
// as a whole: its level holds the outcome alone.
uint32_t refuse_operation() {
  begin_operation();
  return end_operation(KOR_CFG_E_FAILED);
}

const RootName *registry_root(uint32_t source) {
  if (source == KOR_CFG_SRC_USER) return &kUserRoot;
  if (source == KOR_CFG_SRC_MACHINE) return &kMachineRoot;
  return nullptr;
}

bool in_search_order(uint32_t source) {
  for (uint32_t listed : kSearchOrder)
    if (listed == source) return true;
  return false;
}

char *build_key_path(const char *subkey) {
  const size_t base = std::strlen(KOR_CFG_KEY_PATH);
  const size_t extra = subkey != nullptr ? 1 + std::strlen(subkey) : 0;
  auto *path = static_cast<char *>(std::malloc(base + extra + 1));
  if (path == nullptr) return nullptr;
  std::memcpy(path, KOR_CFG_KEY_PATH, base);
  if (subkey != nullptr) {
    path[base] = '\\';
    std::memcpy(path + base + 1, subkey, extra - 1);
  }
  path[base + extra] = '\0';
  return path;
}

// Reads name from one root into buffer (capacity *length): 0 with the length
// (0 when the root does not hold it), KOR_CFG_E_BUFFER with the size needed,
// or KOR_CFG_E_FAILED with *length 0.
uint32_t read_root(kor_cfg *cfg, const RootName &root, const char *name, char *buffer,
                   uint32_t *length) {
  KeyState &state = key_state_of(cfg, root);
  const uint32_t opened = open_key(&state, root, cfg->key_path, false, false);
  if (opened != KOR_OK) {
    *length = 0;
    return opened == KOR_CFG_E_NOT_FOUND ? KOR_OK : opened;
  }
  // Without a buffer the capacity is 0, and the registry then gives the size needed.
  char no_buffer = '\0';
  uint32_t size = *length;
  const uint32_t error = platform::query_registry_value(
      state.key, name, buffer != nullptr ? buffer : &no_buffer, &size);
  switch (error) {
    case platform::registry_result::kOk:
      *length = size - 1;
      return KOR_OK;
    case platform::registry_result::kFileNotFound:
      *length = 0;
      return KOR_OK;
    case platform::registry_result::kMoreData:
      *length = size;
      return KOR_CFG_E_BUFFER;
    default:
      *length = 0;
      return report_registry_failure(error, KOR_CFG_E_READ_VALUE, cfg->key_path, name, root);
  }
}

uint32_t read_source(kor_cfg *cfg, uint32_t source, const char *name, char *buffer,
                     uint32_t *length) {
  if (source == KOR_CFG_SRC_DEFAULT) return look_up_default(cfg->key_path, name, buffer, length);
  return read_root(cfg, *registry_root(source), name, buffer, length);
}

bool answers(uint32_t source, uint32_t result, uint32_t length) {
  if (source == KOR_CFG_SRC_DEFAULT) return length > 0;
  return result == KOR_CFG_E_BUFFER || (result == KOR_OK && length > 0);
}

}  // namespace
}  // namespace lyrdua::cfg

using namespace lyrdua::cfg;

extern "C" LYRDUA_EXPORT kor_cfg *KOR_API kor_cfg_open(const char *subkey) {
  auto *cfg = static_cast<kor_cfg *>(std::malloc(sizeof(kor_cfg)));
  if (cfg == nullptr) return nullptr;
  cfg->key_path = build_key_path(subkey);
  if (cfg->key_path == nullptr) {
    std::free(cfg);
    return nullptr;
  }
  cfg->user = KeyState{nullptr, kAccessRead, 0};
  cfg->machine = KeyState{nullptr, kAccessRead, 0};
  return cfg;
}

extern "C" LYRDUA_EXPORT uint32_t KOR_API kor_cfg_close(kor_cfg *cfg) {
  if (cfg == nullptr) return KOR_OK;
  begin_operation();
  const uint32_t user = close_key(&cfg->user, kUserRoot, cfg->key_path);
  const uint32_t machine = close_key(&cfg->machine, kMachineRoot, cfg->key_path);
  end_operation(user == KOR_CFG_E_FAILED ? user : machine);
  std::free(cfg->key_path);
  std::free(cfg);
  return machine;
}

extern "C" LYRDUA_EXPORT uint32_t KOR_API kor_cfg_get_value(kor_cfg *cfg, const char *name,
                                                            uint32_t source, uint32_t *found,
                                                            char *buf, uint32_t *len) {
  if (cfg == nullptr || name == nullptr || found == nullptr || len == nullptr)
    return refuse_operation();
  *found = KOR_CFG_SRC_NONE;
  const uint32_t capacity = buf != nullptr ? *len : 0;
  if (capacity != 0) buf[0] = '\0';
  begin_operation();
  const uint32_t first = source & ~KOR_CFG_SRC_ONLY;
  const bool alone = (source & KOR_CFG_SRC_ONLY) != 0;
  // A source outside the search order reads nothing and is the caller's error.
  if (!in_search_order(first)) return end_operation(KOR_CFG_E_FAILED);

  bool failed = false;
  bool started = false;
  uint32_t result = KOR_OK;
  uint32_t length = capacity;
  for (uint32_t tried : kSearchOrder) {
    if (!started && tried != first) continue;
    started = true;
    length = capacity;
    result = read_source(cfg, tried, name, buf, &length);
    if (answers(tried, result, length)) {
      *found = tried;
      break;
    }
    if (result == KOR_CFG_E_FAILED) failed = true;
    if (alone) break;
  }
  *len = length;
  // A root that failed fails the read, even when a later source answered.
  return end_operation(failed ? KOR_CFG_E_FAILED : result);
}

extern "C" LYRDUA_EXPORT uint32_t KOR_API kor_cfg_set_value(kor_cfg *cfg, const char *name,
                                                            uint32_t source, const char *text,
                                                            uint32_t len) {
  if (cfg == nullptr || name == nullptr || (text == nullptr && len != 0)) return refuse_operation();
  begin_operation();
  const RootName *root = registry_root(source & ~KOR_CFG_SRC_ONLY);
  if (root == nullptr) return end_operation(KOR_OK);
  KeyState &state = key_state_of(cfg, *root);
  // Deleting a value never creates the key that would hold it.
  uint32_t result = open_key(&state, *root, cfg->key_path, true, len != 0);
  if (result == KOR_OK) {
    const uint32_t error = len != 0
                               ? lyrdua::platform::set_registry_value(state.key, name, text, len)
                               : lyrdua::platform::delete_registry_value(state.key, name);
    if (error != lyrdua::platform::registry_result::kOk)
      result = report_registry_failure(error, KOR_CFG_E_WRITE_VALUE, cfg->key_path, name, *root);
  }
  return end_operation(result);
}

extern "C" LYRDUA_EXPORT uint32_t KOR_API kor_cfg_is_writeable(kor_cfg *cfg, uint32_t source) {
  if (cfg == nullptr) {
    refuse_operation();
    return 0;
  }
  begin_operation();
  const RootName *root = registry_root(source & ~KOR_CFG_SRC_ONLY);
  if (root == nullptr) {
    end_operation(KOR_OK);
    return 0;
  }
  KeyState &state = key_state_of(cfg, *root);
  const uint32_t result = open_key(&state, *root, cfg->key_path, true, true);
  end_operation(result);
  return result == KOR_OK && state.access == kAccessWrite ? 1 : 0;
}

extern "C" LYRDUA_EXPORT uint32_t KOR_API kor_cfg_set_default(const char *text) {
  register_default_text(text);
  return KOR_OK;
}
