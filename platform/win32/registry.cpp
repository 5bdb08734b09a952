// The registry on Windows: the Win32 registry itself. An open key is the
// HKEY, and every result is the registry call's own.
#include "platform/registry.hpp"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace lyrdua::platform {
namespace {

HKEY root_key(RegistryRoot root) {
  return root == RegistryRoot::kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

HKEY handle_of(RegistryKey *key) { return reinterpret_cast<HKEY>(key); }

RegistryKey *key_of(HKEY handle) { return reinterpret_cast<RegistryKey *>(handle); }

// A handle keeps one key per root and answers reads with a key it opened for
// writing, so a write key may also be read, as on every other host.
REGSAM rights_for(uint32_t access) {
  return (access & ~kKeyRead) != 0 ? access | kKeyRead : access;
}

}  // namespace

uint32_t open_registry_key(RegistryRoot root, const char *path, uint32_t access,
                           RegistryKey **key) {
  HKEY opened = nullptr;
  const LONG status = RegOpenKeyExA(root_key(root), path, 0, rights_for(access), &opened);
  if (status == ERROR_SUCCESS) *key = key_of(opened);
  return static_cast<uint32_t>(status);
}

uint32_t create_registry_key(RegistryRoot root, const char *path, uint32_t access,
                             RegistryKey **key) {
  HKEY created = nullptr;
  const LONG status = RegCreateKeyExA(root_key(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      rights_for(access), nullptr, &created, nullptr);
  if (status == ERROR_SUCCESS) *key = key_of(created);
  return static_cast<uint32_t>(status);
}

uint32_t query_registry_value(RegistryKey *key, const char *name, char *data, uint32_t *size) {
  if (key == nullptr || size == nullptr) return ERROR_INVALID_HANDLE;
  DWORD bytes = *size;
  const LONG status = RegQueryValueExA(handle_of(key), name, nullptr, nullptr,
                                       reinterpret_cast<BYTE *>(data), &bytes);
  if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) *size = bytes;
  return static_cast<uint32_t>(status);
}

// REG_SZ data holds its terminating NUL, which the caller's text need not have.
uint32_t set_registry_value(RegistryKey *key, const char *name, const char *text, uint32_t length) {
  if (key == nullptr || (text == nullptr && length != 0) || length == UINT32_MAX)
    return ERROR_INVALID_HANDLE;
  auto *data = static_cast<char *>(std::malloc(length + 1));
  if (data == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  if (length != 0) std::memcpy(data, text, length);
  data[length] = '\0';
  const LONG status = RegSetValueExA(handle_of(key), name, 0, REG_SZ,
                                     reinterpret_cast<const BYTE *>(data), length + 1);
  std::free(data);
  return static_cast<uint32_t>(status);
}

uint32_t delete_registry_value(RegistryKey *key, const char *name) {
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  return static_cast<uint32_t>(RegDeleteValueA(handle_of(key), name));
}

uint32_t close_registry_key(RegistryKey *key) {
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  return static_cast<uint32_t>(RegCloseKey(handle_of(key)));
}

}  // namespace lyrdua::platform
