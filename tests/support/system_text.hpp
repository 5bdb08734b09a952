// The host's words for the Win32 error numbers that message formatting
// reports, as Evtlib's reports quote them: on POSIX the library's own Win32
// wording; on Windows the system's (which varies with its version and
// language), without its final line break.
#pragma once

#include <cstdint>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace lyrdua::test {

inline std::string system_text(uint32_t error) {
#if defined(_WIN32)
  char buffer[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, buffer, sizeof buffer, nullptr);
  while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r')) --length;
  return std::string(buffer, length);
#else
  switch (error) {
    case 122:  // ERROR_INSUFFICIENT_BUFFER
      return "The data area passed to a system call is too small.";
    case 126:  // ERROR_MOD_NOT_FOUND
      return "The specified module could not be found.";
    default:
      return "";
  }
#endif
}

}  // namespace lyrdua::test
