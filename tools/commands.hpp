// The commands of the lyrdua tool. Each takes the arguments after its own
// words and returns the process's exit status.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lyrdua::tool {

// Exit statuses of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the input could not be converted
constexpr int kExitUsage = 2;    // the command line is wrong

using Args = std::vector<std::string>;

struct Command {
  const char *family;
  const char *name;  // null: the command takes every word after the family
  const char *synopsis;
  const char *help;
  int (*run)(const Args &args);
};

int run_ber_print(const Args &args);
int run_dn(const Args &args);
int run_value(const Args &args);
int run_schema_attr(const Args &args);
int run_schema_oc(const Args &args);
int run_schema_list(const Args &args);
int run_syntax(const Args &args);
int run_t61_encode(const Args &args);
int run_t61_decode(const Args &args);
int run_config_get(const Args &args);
int run_config_set(const Args &args);
int run_config_delete(const Args &args);

// How much the tool says, from --quiet or --verbose anywhere on the line:
// quiet prints only results (no dumps, no event texts: the exit status tells
// of a failure), verbose adds the event codes and the handlers' results.
enum class Verbosity { Quiet, Normal, Verbose };
extern Verbosity verbosity;

// Prints "lyrdua: " and the message to standard error.
void complain(const std::string &message);

// A result or error code as the tool shows it: 0xE6F001AF.
std::string code_text(uint32_t code);

}  // namespace lyrdua::tool
