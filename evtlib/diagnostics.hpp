// Evtlib's reports about its own problems: one line on standard output, and
// the library carries on. It raises no events about itself.
#pragma once

#include <cstdint>

namespace lyrdua::evt {

constexpr const char kLoadingMessageFileFailed[] = "Error - Loading message file failed";
constexpr const char kUnmatchedCall[] = "Warning - Unmatched call";
constexpr const char kMemoryAllocationFailed[] = "Error - Memory allocation failed";
constexpr const char kStreamNumberExceedsLimit[] = "Error - Stream number exceeds the limit";
constexpr const char kSeverityNumberExceedsLimit[] = "Error - Severity number exceeds the limit";
constexpr const char kUserStreamNotReserved[] =
    "Error - A user stream must be reserved before calling this function";
constexpr const char kWellKnownStreamNotFreeable[] = "Error - Well-known stream can not be freed";
constexpr const char kUserStreamNotAllocated[] = "Error - Input user stream is not allocated";
constexpr const char kFormatMessageFailed[] = "Error - FormatMessage() failed, system error code:";

// Prints "Evtlib: <message>. Event occured at <line> of .\LYRDUA\EVTLIB:" with
// the line of the source that reports it.
void report(const char *message, int line = __builtin_LINE());

// The report of a text that could not be formatted, with the system's text
// for the error (or its number when that text cannot be had either).
void report_with_system_text(const char *message, const char *system_text,
                             int line = __builtin_LINE());
void report_with_error_number(const char *message, uint32_t error, int line = __builtin_LINE());

}  // namespace lyrdua::evt
