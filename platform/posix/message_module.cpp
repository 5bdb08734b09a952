// Loading the message module on POSIX: dlopen of liblyrmsg.so and a lookup of
// its table.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lyrmsg/message_table.hpp"
#include "platform/message_module.hpp"
#include "platform/message_table_lookup.hpp"

namespace lyrdua::platform {
namespace {

constexpr const char kModuleFileName[] = "liblyrmsg.so";

const msg::MessageTable *loaded_table = nullptr;

void *open_module(const char *path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

// The module file in the directory of the object that holds this code: the
// shared library, or the program that linked the static one.
void *open_module_beside_library() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void *>(&load_message_module), &info) == 0 ||
      info.dli_fname == nullptr)
    return nullptr;
  const char *slash = std::strrchr(info.dli_fname, '/');
  if (slash == nullptr) return nullptr;
  char path[4096];
  const int written =
      std::snprintf(path, sizeof path, "%.*s/%s", static_cast<int>(slash - info.dli_fname),
                    info.dli_fname, kModuleFileName);
  if (written < 0 || static_cast<size_t>(written) >= sizeof path) return nullptr;
  return open_module(path);
}

// The loader's own search path for the object that holds this code (its run
// path, LD_LIBRARY_PATH, the system directories), tried one by one. A plain
// dlopen of the bare name is not enough: a sanitizer runtime that intercepts
// dlopen becomes the caller, and the loader then searches its path, not ours.
void *open_module_on_loader_path() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void *>(&load_message_module), &info) == 0) return nullptr;
  // A program that linked the static library is the main object, which NOLOAD does not find by
  // name.
  void *self =
      info.dli_fname != nullptr ? dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD) : nullptr;
  if (self == nullptr) self = dlopen(nullptr, RTLD_LAZY);
  if (self == nullptr) return nullptr;
  void *module = nullptr;
  Dl_serinfo size;
  if (dlinfo(self, RTLD_DI_SERINFOSIZE, &size) == 0) {
    auto *paths = static_cast<Dl_serinfo *>(std::malloc(size.dls_size));
    if (paths != nullptr) {
      *paths = size;
      if (dlinfo(self, RTLD_DI_SERINFO, paths) == 0) {
        for (unsigned i = 0; module == nullptr && i < paths->dls_cnt; ++i) {
          char path[4096];
          const int written = std::snprintf(path, sizeof path, "%s/%s",
                                            paths->dls_serpath[i].dls_name, kModuleFileName);
          if (written > 0 && static_cast<size_t>(written) < sizeof path) module = open_module(path);
        }
      }
      std::free(paths);
    }
  }
  dlclose(self);
  return module;
}

void *open_message_module() {
  const char *named = std::getenv("LYRDUA_MSGMODULE");
  if (named != nullptr && named[0] != '\0') return open_module(named);
  void *module = open_module_beside_library();
  if (module == nullptr) module = open_module_on_loader_path();
  return module != nullptr ? module : open_module(kModuleFileName);
}

}  // namespace

bool load_message_module() {
  void *module = open_message_module();
  if (module == nullptr) return false;
  const auto *table = static_cast<const msg::MessageTable *>(dlsym(module, msg::kTableSymbol));
  if (table == nullptr || table->magic != msg::kTableMagic) {
    dlclose(module);
    return false;
  }
  loaded_table = table;
  return true;
}

uint32_t format_module_message(uint32_t code, MessageInserts inserts, char *buffer, uint32_t size,
                               uint32_t *length) {
  if (loaded_table == nullptr) return kErrorModuleNotFound;
  const msg::MessageEntry *entry = find_message(*loaded_table, code);
  if (entry == nullptr) return kErrorMessageNotFound;
  return format_message_text(entry->text, inserts, buffer, size, length);
}

}  // namespace lyrdua::platform
