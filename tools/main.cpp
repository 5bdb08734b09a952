// lyrdua: the command-line tool over the library.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/commands.hpp"

namespace lyrdua::tool {
namespace {

const Command kCommands[] = {
    {"ber", "print", "lyrdua ber print [HEX... | --file FILE]",
     "Prints one BER element, nested elements indented, one line each: the\n"
     "octets read for it, the tag's name, the contents length and the value.\n"
     "The element is read as hex from the arguments (blanks and colons may\n"
     "separate octets), as binary from FILE, or as binary from standard input\n"
     "when no argument is given.\n",
     run_ber_print},
};

void print_usage(FILE *out) {
  std::fprintf(out, "usage: lyrdua COMMAND [ARGS...]\n\ncommands:\n");
  for (const Command &c : kCommands) std::fprintf(out, "  %s\n", c.synopsis);
  std::fprintf(out,
               "\n'lyrdua COMMAND --help' describes a command.\n"
               "Exit status: 0 success, 1 the input could not be converted, 2 usage error.\n");
}

bool wants_help(const Args &args) {
  for (const std::string &a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

}  // namespace

void complain(const std::string &message) { std::fprintf(stderr, "lyrdua: %s\n", message.c_str()); }

}  // namespace lyrdua::tool

int main(int argc, char **argv) {
  using namespace lyrdua::tool;
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    print_usage(argc < 2 ? stderr : stdout);
    return argc < 2 ? kExitUsage : kExitOk;
  }
  for (const Command &c : kCommands) {
    if (std::strcmp(argv[1], c.family) != 0) continue;
    if (argc < 3 || std::strcmp(argv[2], c.name) != 0) continue;
    Args args(argv + 3, argv + argc);
    if (wants_help(args)) {
      std::printf("usage: %s\n\n%s", c.synopsis, c.help);
      return kExitOk;
    }
    return c.run(args);
  }
  complain(std::string("unknown command '") + argv[1] +
           (argc > 2 ? std::string(" ") + argv[2] : "") + "'; 'lyrdua --help' lists the commands");
  return kExitUsage;
}
