// The registry: string values under keys of two roots, with the results of the
// Win32 registry calls (RegOpenKeyExA, RegCreateKeyExA, RegQueryValueExA,
// RegSetValueExA, RegDeleteValueA, RegCloseKey), so that the configuration
// store behaves the same on every host.
//
// POSIX: each root is one text file in the REGEDIT4 style,
//     REGEDIT4
//
//     [Software\Quorvane\Tessel Directory\CurrentVersion]
//     "Name"="value with \\ and \" escaped"
// read and written whole: the current user's at $LYRDUA_REG_USER, else
// $XDG_CONFIG_HOME/lyrdua/user.reg, else ~/.config/lyrdua/user.reg; the
// machine's at $LYRDUA_REG_MACHINE, else /etc/lyrdua/machine.reg. The variables
// are read each time a key is opened. Key paths and value names compare
// without regard to ASCII case. Every change rewrites the file atomically and
// durably under an advisory lock, so concurrent writers lose no update and a
// crash leaves the old or the new file; a file that does not parse is reported
// as corrupt and never rewritten.
#pragma once

#include <cstdint>

namespace lyrdua::platform {

enum class RegistryRoot : uint32_t { kCurrentUser, kLocalMachine };

// The access asked for when a key is opened: KEY_READ and KEY_WRITE. On POSIX
// a handle only records it and the file's permissions decide what may be done
// (a write key can also be read); Windows enforces it.
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyWrite = 0x20006;

// Results of the registry calls: 0, or the number of the Win32 error that
// stands for what went wrong.
namespace registry_result {
constexpr uint32_t kOk = 0;
constexpr uint32_t kFileNotFound = 2;      // ERROR_FILE_NOT_FOUND: no such key or value
constexpr uint32_t kPathNotFound = 3;      // ERROR_PATH_NOT_FOUND: no home for the user's file
constexpr uint32_t kTooManyOpenFiles = 4;  // ERROR_TOO_MANY_OPEN_FILES
constexpr uint32_t kAccessDenied = 5;     // ERROR_ACCESS_DENIED: the root cannot be read or written
constexpr uint32_t kInvalidHandle = 6;    // ERROR_INVALID_HANDLE
constexpr uint32_t kNotEnoughMemory = 8;  // ERROR_NOT_ENOUGH_MEMORY
constexpr uint32_t kDiskFull = 112;       // ERROR_DISK_FULL
constexpr uint32_t kBadPathname = 161;    // ERROR_BAD_PATHNAME: an empty or unprintable key name
constexpr uint32_t kFilenameTooLong = 206;   // ERROR_FILENAME_EXCED_RANGE
constexpr uint32_t kMoreData = 234;          // ERROR_MORE_DATA: the buffer is too small
constexpr uint32_t kRegistryCorrupt = 1015;  // ERROR_REGISTRY_CORRUPT: the file does not parse
constexpr uint32_t kIoDevice = 1117;  // ERROR_IO_DEVICE: any other failure of the file system
}  // namespace registry_result

// An open key (an HKEY).
struct RegistryKey;

// Opens the existing key path (a key exists while it or a key below it is
// named in the root). kFileNotFound when it does not exist.
uint32_t open_registry_key(RegistryRoot root, const char *path, uint32_t access, RegistryKey **key);

// Opens the key path, creating it (and the root's file and folders) if needed.
uint32_t create_registry_key(RegistryRoot root, const char *path, uint32_t access,
                             RegistryKey **key);

// Reads the string value name into data (capacity *size bytes) with its NUL.
// Sets *size to the bytes of the value with its NUL: on success, and with
// kMoreData when the capacity is smaller (data is then left as it was).
// kFileNotFound when the key holds no such value.
uint32_t query_registry_value(RegistryKey *key, const char *name, char *data, uint32_t *size);

// Stores the length characters of text (any bytes) as the string value name,
// replacing any value of that name.
uint32_t set_registry_value(RegistryKey *key, const char *name, const char *text, uint32_t length);

// Removes the value name; kFileNotFound when the key holds no such value.
uint32_t delete_registry_value(RegistryKey *key, const char *name);

// Releases the handle.
uint32_t close_registry_key(RegistryKey *key);

}  // namespace lyrdua::platform
