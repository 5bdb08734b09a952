// The commands of the lyrdua tool. Each takes the arguments after its own
// words and returns the process's exit status.
#pragma once

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

// Prints "lyrdua: " and the message to standard error.
void complain(const std::string &message);

}  // namespace lyrdua::tool
