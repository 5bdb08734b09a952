// lyrdua: the command-line tool over the library.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/commands.hpp"

namespace lyrdua::tool {
namespace {

const Command kCommands[] = {
    {"ber", "print", "lyrdua ber print [HEX | --file FILE]",
     "Prints one BER element, nested elements indented, one line each: the\n"
     "octets read for it, the tag's name, the contents length and the value.\n"
     "The element is read as hex from the arguments (blanks and colons may\n"
     "separate octets), as binary from FILE, or as binary from standard input\n"
     "when no argument is given.\n",
     run_ber_print},
    {"syntax", nullptr,
     "lyrdua syntax SYNTAX encode [TEXT | --file FILE] | decode [HEX | --file FILE]",
     "Converts one attribute value with the handlers of a syntax. encode prints\n"
     "the BER in hex and its dump; decode prints the text, and for fax,\n"
     "postaladdress and telex also the parts of the structure form. SYNTAX is\n"
     "one of boolean, bitstring, integer, octetstring, oid, utctime, ia5string,\n"
     "numericstring, printablestring, directorystring, t61string, fax,\n"
     "postaladdress, telex. Text is Latin-1. A failure prints the texts of the\n"
     "events the conversion raised.\n",
     run_syntax},
    {"dn", nullptr, "lyrdua dn encode [TEXT | --file FILE] | decode [HEX | --file FILE]",
     "Converts a distinguished name between its text and its BER with the\n"
     "schema (the built-in default plus the files named in LYRDUA_SCHEMA).\n"
     "encode prints the BER in hex and its dump; decode prints the text, the\n"
     "RDNs joined by ',', each type as its attribute's first keyword. In the\n"
     "text, AVAs are TYPE=VALUE joined by '+'; RDNs are separated by ',' or\n"
     "';'; a value may be quoted or escape a character with '\\'; a type\n"
     "OID.n.n... with a value #hex gives an attribute the schema lacks.\n",
     run_dn},
    {"value", nullptr,
     "lyrdua value encode TYPE [TEXT | --file FILE] | decode TYPE [HEX | --file FILE]",
     "Converts one attribute value by the syntax that the schema gives its type\n"
     "(a keyword of the attribute). encode prints the BER in hex and its dump;\n"
     "decode prints the value. Values of byte syntaxes (octet strings, raw\n"
     "elements) are their bytes.\n",
     run_value},
    {"schema", "attr", "lyrdua schema attr KEYWORD|OID",
     "Shows an attribute type of the schema: its OID, all its names, the first\n"
     "keyword and formal name, the description, the syntax with its number and\n"
     "whether it is multi-valued. KEYWORD is any of its names in any case; OID\n"
     "is dotted (2.5.4.3). The schema is the built-in default plus the files\n"
     "named in LYRDUA_SCHEMA (':'-separated, ';' on Windows), later definitions\n"
     "replacing earlier ones with the same OID.\n",
     run_schema_attr},
    {"schema", "oc", "lyrdua schema oc KEYWORD|OID",
     "Shows an object class of the schema: its OID, names, description, its\n"
     "direct superior classes and every class above it.\n",
     run_schema_oc},
    {"schema", "list", "lyrdua schema list",
     "Lists the attribute types (OID, first keyword, syntax) and the object\n"
     "classes (OID, name, superior classes) of the schema.\n",
     run_schema_list},
    {"t61", "encode", "lyrdua t61 encode [--file LATIN1] > T61",
     "Converts Latin-1 text (standard input, or FILE) to T.61 on standard output.\n"
     "Accented letters become a T.61 diacritic followed by the letter;\n"
     "characters without a T.61 form are left out. On failure nothing is\n"
     "written and the offset and octet that stopped the conversion are reported.\n",
     run_t61_encode},
    {"t61", "decode", "lyrdua t61 decode [--file T61] > LATIN1",
     "Converts T.61 text (standard input, or FILE) to Latin-1 on standard output.\n"
     "A diacritic and the letter after it become one Latin-1 letter;\n"
     "characters without a Latin-1 form are left out. On failure nothing is\n"
     "written and the offset and octet that stopped the conversion are reported.\n",
     run_t61_decode},
    {"config", "get",
     "lyrdua config get NAME [--subkey K] [--source user|machine|default] [--defaults FILE]",
     "Prints a configuration value and the source that answered (user,\n"
     "machine or default). Without --source the current user's registry is\n"
     "searched first, then the machine's, then the default text; --source reads\n"
     "that source alone. --subkey K reads the key's subkey K. --defaults FILE\n"
     "registers FILE as the default text, whose entries are lines\n"
     "'<key path>\\NAME: value' (the key path being Software\\Quorvane\\Tessel\n"
     "Directory\\CurrentVersion, then \\K with --subkey).\n"
     "The registries are text files: the current user's is $LYRDUA_REG_USER,\n"
     "else $XDG_CONFIG_HOME/lyrdua/user.reg, else ~/.config/lyrdua/user.reg;\n"
     "the machine's is $LYRDUA_REG_MACHINE, else /etc/lyrdua/machine.reg.\n"
     "Exit status 1 when the value is not set or a registry cannot be read.\n",
     run_config_get},
    {"config", "set", "lyrdua config set NAME VALUE [--subkey K] --source user|machine",
     "Stores VALUE (any non-empty text) as NAME in the current user's or the\n"
     "machine's registry, creating the file, its folders and the key as needed.\n"
     "Exit status 1 when the registry cannot be written.\n",
     run_config_set},
    {"config", "delete", "lyrdua config delete NAME [--subkey K] --source user|machine",
     "Removes NAME from the current user's or the machine's registry.\n"
     "Exit status 1 when it is not set there or the registry cannot be written.\n",
     run_config_delete},
};

void print_usage(FILE *out) {
  std::fprintf(out, "usage: lyrdua COMMAND [ARGS...]\n\ncommands:\n");
  for (const Command &c : kCommands) std::fprintf(out, "  %s\n", c.synopsis);
  std::fprintf(out,
               "\n'lyrdua COMMAND --help' describes a command.\n"
               "TEXT and HEX come from the arguments (joined by spaces), from --file FILE\n"
               "(text, or binary BER), or from standard input when neither is given.\n"
               "--quiet (-q) prints results only: no dumps, no event texts; --verbose\n"
               "(-v) adds the codes of the events and results of a failure.\n"
               "Exit status: 0 success, 1 the input could not be converted, 2 usage error.\n");
}

// Takes --quiet/-q and --verbose/-v out of the words, wherever they stand.
Args take_verbosity(int argc, char **argv) {
  Args words;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--quiet" || word == "-q") {
      verbosity = Verbosity::Quiet;
    } else if (word == "--verbose" || word == "-v") {
      verbosity = Verbosity::Verbose;
    } else {
      words.push_back(word);
    }
  }
  return words;
}

bool wants_help(const Args &args) {
  for (const std::string &a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

}  // namespace

Verbosity verbosity = Verbosity::Normal;

void complain(const std::string &message) { std::fprintf(stderr, "lyrdua: %s\n", message.c_str()); }

std::string code_text(uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", code);
  return text;
}

}  // namespace lyrdua::tool

int main(int argc, char **argv) {
  using namespace lyrdua::tool;
  const Args words = take_verbosity(argc, argv);
  if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    print_usage(words.empty() ? stderr : stdout);
    return words.empty() ? kExitUsage : kExitOk;
  }
  for (const Command &c : kCommands) {
    if (words[0] != c.family) continue;
    // A command without a name of its own takes every word after its family.
    if (c.name != nullptr && (words.size() < 2 || words[1] != c.name)) continue;
    Args args(words.begin() + (c.name != nullptr ? 2 : 1), words.end());
    if (wants_help(args)) {
      std::printf("usage: %s\n\n%s", c.synopsis, c.help);
      return kExitOk;
    }
    return c.run(args);
  }
  complain("unknown command '" + words[0] + (words.size() > 1 ? " " + words[1] : "") +
           "'; 'lyrdua --help' lists the commands");
  return kExitUsage;
}
