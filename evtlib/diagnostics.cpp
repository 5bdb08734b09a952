// Evtlib's report lines on standard output.
#include "evtlib/diagnostics.hpp"

#include <cstdio>

namespace lyrdua::evt {
namespace {

constexpr const char kSourceModule[] = ".\\LYRDUA\\EVTLIB";

}  // namespace

void report(const char *message, int line) {
  std::printf("Evtlib: %s. Event occured at %d of %s:\n", message, line, kSourceModule);
}

void report_with_system_text(const char *message, const char *system_text, int line) {
  std::printf("Evtlib: %s %s. Event occured at %d of %s:\n", message, system_text, line,
              kSourceModule);
}

void report_with_error_number(const char *message, uint32_t error, int line) {
  std::printf("Evtlib: %s %d. Event occured at %d of %s:\n", message, static_cast<int>(error), line,
              kSourceModule);
}

}  // namespace lyrdua::evt
