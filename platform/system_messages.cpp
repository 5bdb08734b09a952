// The host's texts for the error numbers that message formatting reports, in
// the words of the Win32 errors they stand for.
#include "platform/message_module.hpp"

namespace lyrdua::platform {
namespace {

struct SystemMessage {
  uint32_t error;
  const char *text;
};

constexpr SystemMessage kSystemMessages[] = {
    {kErrorNotEnoughMemory, "Not enough memory resources are available to process this command."},
    {kErrorInvalidParameter, "The parameter is incorrect."},
    {kErrorInsufficientBuffer, "The data area passed to a system call is too small."},
    {kErrorModuleNotFound, "The specified module could not be found."},
    {kErrorMessageNotFound,
     "The system cannot find message text for message number 0x%1 in the message file for %2."},
};

}  // namespace

uint32_t format_system_message(uint32_t error, char *buffer, uint32_t size, uint32_t *length) {
  for (const SystemMessage &m : kSystemMessages)
    if (m.error == error) return format_message_text(m.text, {nullptr, 0}, buffer, size, length);
  return kErrorMessageNotFound;
}

}  // namespace lyrdua::platform
