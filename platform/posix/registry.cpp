// The registry calls over the root files. An open key keeps the root file's
// text and an index of its own values, and reads the file again only when it
// has changed since.
#include "platform/registry.hpp"

#include <cstdint>
#include <new>

#include "platform/byte_buffer.hpp"
#include "platform/posix/registry_files.hpp"
#include "platform/posix/registry_text.hpp"

namespace lyrdua::platform {

struct RegistryKey {
  ByteBuffer file;  // the root's file, as it was named when the key was opened
  ByteBuffer path;
  uint32_t access = 0;
  bool loaded = false;
  FileIdentity identity{};
  ByteBuffer text;
  registry_text::KeyValues values;
};

namespace {

namespace result = registry_result;
using registry_text::Span;

Span span_of(const ByteBuffer &text) { return {text.data(), text.size()}; }

bool wants_to_write(uint32_t access) { return (access & ~kKeyRead) != 0; }

// A new handle for path under root, not yet loaded.
uint32_t new_key(RegistryRoot root, const char *path, uint32_t access, RegistryKey **key) {
  if (path == nullptr || !registry_text::is_valid_key_path(path)) return result::kBadPathname;
  auto *made = new (std::nothrow) RegistryKey;
  if (made == nullptr) return result::kNotEnoughMemory;
  uint32_t status = root_file_path(root, &made->file);
  if (status == result::kOk && !(made->path.append(path) && made->path.terminate()))
    status = result::kNotEnoughMemory;
  if (status != result::kOk) {
    delete made;
    return status;
  }
  made->access = access;
  *key = made;
  return result::kOk;
}

uint32_t load(RegistryKey *key) {
  key->loaded = false;
  key->text.clear();
  const uint32_t status = read_root_file(key->file.data(), &key->text, &key->identity);
  if (status != result::kOk) return status;
  if (!registry_text::is_valid(span_of(key->text))) return result::kRegistryCorrupt;
  if (!key->values.index(span_of(key->text), key->path.data())) return result::kNotEnoughMemory;
  key->loaded = true;
  return result::kOk;
}

// Loads the root file again if it is not the one last read.
uint32_t refresh(RegistryKey *key) {
  FileIdentity now;
  const uint32_t status = current_identity(key->file.data(), &now);
  if (status != result::kOk) return status;
  if (key->loaded && same_identity(now, key->identity)) return result::kOk;
  return load(key);
}

const char *value_name(const char *name) { return name != nullptr ? name : ""; }

}  // namespace

uint32_t open_registry_key(RegistryRoot root, const char *path, uint32_t access,
                           RegistryKey **key) {
  RegistryKey *opened = nullptr;
  uint32_t status = new_key(root, path, access, &opened);
  if (status != result::kOk) return status;
  status = load(opened);
  if (status == result::kOk && !registry_text::holds_key(span_of(opened->text), path))
    status = result::kFileNotFound;
  if (status == result::kOk && wants_to_write(access)) status = check_writable(opened->file.data());
  if (status != result::kOk) {
    delete opened;
    return status;
  }
  *key = opened;
  return result::kOk;
}

uint32_t create_registry_key(RegistryRoot root, const char *path, uint32_t access,
                             RegistryKey **key) {
  RegistryKey *created = nullptr;
  uint32_t status = new_key(root, path, access, &created);
  if (status != result::kOk) return status;
  {
    LockedRootFile file;
    status = file.lock(created->file.data());
    if (status == result::kOk && !registry_text::is_valid(file.text()))
      status = result::kRegistryCorrupt;
    ByteBuffer next;
    bool changed = false;
    if (status == result::kOk) status = registry_text::add_key(file.text(), path, &next, &changed);
    if (status == result::kOk)
      status = changed ? file.replace(next) : check_writable(created->file.data());
  }
  if (status != result::kOk) {
    delete created;
    return status;
  }
  *key = created;
  return result::kOk;
}

uint32_t query_registry_value(RegistryKey *key, const char *name, char *data, uint32_t *size) {
  if (key == nullptr || size == nullptr) return result::kInvalidHandle;
  const uint32_t status = refresh(key);
  if (status != result::kOk) return status;
  Span written;
  if (!key->values.find(value_name(name), &written)) return result::kFileNotFound;
  const size_t length = registry_text::decoded_length(written);
  if (length >= UINT32_MAX) return result::kNotEnoughMemory;
  const auto needed = static_cast<uint32_t>(length + 1);
  if (data != nullptr && *size < needed) {
    *size = needed;
    return result::kMoreData;
  }
  if (data != nullptr) {
    registry_text::decode(written, data);
    data[length] = '\0';
  }
  *size = needed;
  return result::kOk;
}

uint32_t set_registry_value(RegistryKey *key, const char *name, const char *text, uint32_t length) {
  if (key == nullptr || (text == nullptr && length != 0)) return result::kInvalidHandle;
  LockedRootFile file;
  uint32_t status = file.lock(key->file.data());
  if (status != result::kOk) return status;
  if (!registry_text::is_valid(file.text())) return result::kRegistryCorrupt;
  ByteBuffer next;
  status = registry_text::put_value(file.text(), key->path.data(), value_name(name), text, length,
                                    &next);
  return status == result::kOk ? file.replace(next) : status;
}

uint32_t delete_registry_value(RegistryKey *key, const char *name) {
  if (key == nullptr) return result::kInvalidHandle;
  LockedRootFile file;
  uint32_t status = file.lock(key->file.data());
  if (status != result::kOk) return status;
  if (!registry_text::is_valid(file.text())) return result::kRegistryCorrupt;
  ByteBuffer next;
  status = registry_text::remove_value(file.text(), key->path.data(), value_name(name), &next);
  return status == result::kOk ? file.replace(next) : status;
}

uint32_t close_registry_key(RegistryKey *key) {
  if (key == nullptr) return result::kInvalidHandle;
  delete key;
  return result::kOk;
}

}  // namespace lyrdua::platform
