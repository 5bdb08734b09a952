#include "cfg/config_events.hpp"

#include <lyrdua/kor_cfg.h>
#include <lyrdua/kor_evt.h>

#include <cstdio>
#include <cstring>

#include "platform/byte_buffer.hpp"
#include "platform/registry.hpp"

namespace lyrdua::cfg {
namespace {

uint32_t cause_of(uint32_t error) {
  switch (error) {
    case platform::registry_result::kRegistryCorrupt:
      return KOR_CFG_E_CORRUPT;
    case platform::registry_result::kAccessDenied:
      return KOR_CFG_E_ACCESS;
    default:
      return KOR_CFG_E_SYSTEM;
  }
}

void raise_cause(uint32_t error) {
  const uint32_t cause = cause_of(error);
  if (cause != KOR_CFG_E_SYSTEM) {
    kor_evt_put_event(cause, event_category, 0);
    return;
  }
  char number[16];
  const int length = std::snprintf(number, sizeof number, "%d", static_cast<int32_t>(error));
  const uint32_t handle = kor_evt_put_event(cause, event_category, KOR_EVT_OPEN);
  kor_evt_putstrn(handle, 1, number, static_cast<uint32_t>(length));
  kor_evt_end_event(handle);
}

// The operation event stands over the cause; its parameter names the key (a
// key text that cannot be built for lack of memory is left out).
void raise_operation(uint32_t code, const char *key_path, const char *name, const RootName &root) {
  platform::ByteBuffer key_text;
  const bool built = key_text.append(key_path) &&
                     (name == nullptr || (key_text.append('\\') && key_text.append(name))) &&
                     key_text.append(root.suffix);
  const uint32_t handle = kor_evt_put_event(code, event_category, KOR_EVT_OPEN | KOR_EVT_ENCLOSE);
  if (built) kor_evt_putstrn(handle, 1, key_text.data(), static_cast<uint32_t>(key_text.size()));
  kor_evt_end_event(handle);
}

}  // namespace

uint32_t event_category = KOR_EVT_CAT_NONE;

uint32_t report_registry_failure(uint32_t error, uint32_t code, const char *key_path,
                                 const char *name, const RootName &root) {
  if (error == platform::registry_result::kFileNotFound) return KOR_CFG_E_NOT_FOUND;
  raise_cause(error);
  raise_operation(code, key_path, name, root);
  return KOR_CFG_E_FAILED;
}

void begin_operation() { kor_evt_push(); }

uint32_t end_operation(uint32_t result) {
  if (result == KOR_CFG_E_FAILED)
    kor_evt_put_event(KOR_CFG_E_FAILED, event_category, KOR_EVT_CLOSE);
  else
    kor_evt_pop();
  return result;
}

}  // namespace lyrdua::cfg
