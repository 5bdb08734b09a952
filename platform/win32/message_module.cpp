// The message module on Windows: lyrmsg.dll, whose message table resource is
// compiled by windmc from lyrmsg/lyrmsg.mc, read with FormatMessageA.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "platform/message_module.hpp"

namespace lyrdua::platform {
namespace {

constexpr const char kModuleFileName[] = "lyrmsg.dll";
constexpr DWORD kNeutralLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
// The one message table resource that windres makes from windmc's output.
constexpr WORD kMessageTableId = 1;
// The most inserts a message text can name (%1..%99).
constexpr uint32_t kMostInserts = 99;

HMODULE message_module = nullptr;

// The module file in the folder of the image that holds this code: the DLL,
// or the program that linked the static library.
HMODULE load_module_beside_library() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&load_message_module), &self))
    return nullptr;
  char path[MAX_PATH + sizeof kModuleFileName];
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  char *name = path + length;
  while (name > path && name[-1] != '\\' && name[-1] != '/') --name;
  std::memcpy(name, kModuleFileName, sizeof kModuleFileName);
  return LoadLibraryA(path);
}

HMODULE open_message_module() {
  const char *named = std::getenv("LYRDUA_MSGMODULE");
  if (named != nullptr && named[0] != '\0') return LoadLibraryA(named);
  HMODULE module = load_module_beside_library();
  return module != nullptr ? module : LoadLibraryA(kModuleFileName);
}

bool holds_message_table(HMODULE module) {
  return FindResourceA(module, MAKEINTRESOURCEA(kMessageTableId),
                       MAKEINTRESOURCEA(11) /* RT_MESSAGETABLE */) != nullptr;
}

// The highest insert number that a stored message text names (%% is no insert).
uint32_t highest_insert(const char *text) {
  uint32_t highest = 0;
  const char *c = text;
  while (*c != '\0') {
    if (*c++ != '%' || *c == '\0') continue;
    if (*c < '0' || *c > '9') {
      ++c;
      continue;
    }
    uint32_t number = 0;
    for (; *c >= '0' && *c <= '9'; ++c)
      if (number <= kMostInserts) number = number * 10 + static_cast<uint32_t>(*c - '0');
    if (number > highest) highest = number;
  }
  return highest;
}

// FormatMessageA reads as many inserts as the text names, however many were
// supplied: a text that names more than the caller supplied fails first.
uint32_t check_inserts(uint32_t code, MessageInserts inserts) {
  char *stored = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      message_module, code, kNeutralLanguage, reinterpret_cast<LPSTR>(&stored), 0, nullptr);
  if (length == 0) return GetLastError();
  const uint32_t needed = highest_insert(stored);
  LocalFree(stored);
  const uint32_t supplied = inserts.args != nullptr ? inserts.count : 0;
  return needed > supplied ? kErrorInvalidParameter : 0;
}

}  // namespace

bool load_message_module() {
  HMODULE module = open_message_module();
  if (module == nullptr) return false;
  if (!holds_message_table(module)) {
    FreeLibrary(module);
    return false;
  }
  message_module = module;
  return true;
}

uint32_t format_module_message(uint32_t code, MessageInserts inserts, char *buffer, uint32_t size,
                               uint32_t *length) {
  if (message_module == nullptr) return kErrorModuleNotFound;
  const uint32_t refused = check_inserts(code, inserts);
  if (refused != 0) return refused;
  DWORD_PTR args[kMostInserts] = {};
  const uint32_t supplied = inserts.args != nullptr ? inserts.count : 0;
  for (uint32_t i = 0; i < supplied && i < kMostInserts; ++i)
    args[i] = reinterpret_cast<DWORD_PTR>(inserts.args[i]);
  const DWORD written =
      FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, message_module,
                     code, kNeutralLanguage, buffer, size, reinterpret_cast<va_list *>(args));
  if (written == 0) return GetLastError();
  *length = written;
  return 0;
}

// The system's texts end in a line break; reports set the text inside a
// sentence, so it is dropped (the POSIX texts have none either).
uint32_t format_system_message(uint32_t error, char *buffer, uint32_t size, uint32_t *length) {
  DWORD written =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, error, 0, buffer, size, nullptr);
  if (written == 0) return GetLastError();
  while (written > 0 && (buffer[written - 1] == '\n' || buffer[written - 1] == '\r')) --written;
  buffer[written] = '\0';
  *length = written;
  return 0;
}

}  // namespace lyrdua::platform
