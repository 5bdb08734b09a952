// The message module: the texts of the event codes, loaded once at library
// attach, and formatting in the manner of FormatMessage with an argument array.
#pragma once

#include <cstdint>

namespace lyrdua::platform {

// Error numbers of message formatting, with the values of the Win32 errors they
// stand for so that a report reads the same on every host.
constexpr uint32_t kErrorNotEnoughMemory = 8;       // ERROR_NOT_ENOUGH_MEMORY
constexpr uint32_t kErrorInvalidParameter = 87;     // ERROR_INVALID_PARAMETER
constexpr uint32_t kErrorInsufficientBuffer = 122;  // ERROR_INSUFFICIENT_BUFFER
constexpr uint32_t kErrorModuleNotFound = 126;      // ERROR_MOD_NOT_FOUND
constexpr uint32_t kErrorMessageNotFound = 317;     // ERROR_MR_MID_NOT_FOUND

// The inserts of one formatting: args[0] is %1. A null args means that the
// caller supplied none, so any insert fails.
struct MessageInserts {
  const char *const *args;
  uint32_t count;
};

// Loads the message module (LYRDUA_MSGMODULE if set, else liblyrmsg beside the
// library, else on the loader path). False when no usable module was found;
// formatting then fails with kErrorModuleNotFound.
bool load_message_module();

// Formats the text of code from the message module into buffer (size bytes,
// the terminating NUL included). Returns 0 and the text's length, or an error
// number; on failure *length is not written.
uint32_t format_module_message(uint32_t code, MessageInserts inserts, char *buffer, uint32_t size,
                               uint32_t *length);

// Formats the host's own text for an error number of the list above, with no
// inserts supplied (a text that asks for one fails, as the system's does).
uint32_t format_system_message(uint32_t error, char *buffer, uint32_t size, uint32_t *length);

// The formatting rules themselves, over a raw message text: %1..%99 inserts
// (an optional !s! after the number), %0 ends the text without a line break,
// %n a line break, %r, %t, %space, %., %!, %% the character itself, and any
// other character after % stands for itself. A % at the end of the text, an
// insert that was not supplied or a format other than s fail with
// kErrorInvalidParameter; a result that does not fit with its NUL fails with
// kErrorInsufficientBuffer.
uint32_t format_message_text(const char *source, MessageInserts inserts, char *buffer,
                             uint32_t size, uint32_t *length);

}  // namespace lyrdua::platform
