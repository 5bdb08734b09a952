// How every command takes its input: from the words of the command line,
// from --file FILE, or from standard input when neither is given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/commands.hpp"

namespace lyrdua::tool {

// BER octets: hex words (blanks and colons may separate octets), or the
// binary contents of the file or of standard input. kExitOk, or the exit
// status after complaining.
int read_octets(const Args &words, std::vector<uint8_t> *octets);

// Text: the words joined by single spaces, or the contents of the file or of
// standard input without its final line break. kExitOk, or the exit status
// after complaining.
int read_text(const Args &words, std::string *text);

}  // namespace lyrdua::tool
