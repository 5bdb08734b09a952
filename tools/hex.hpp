// Input helpers of the lyrdua tool: hex text from arguments, binary from
// files or standard input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lyrdua::tool {

// Joins the words and reads them as hex octets; blanks and colons between
// octets are allowed. On failure *problem says what and where.
bool parse_hex(const std::vector<std::string> &words, std::vector<uint8_t> *octets,
               std::string *problem);

// Reads a whole file ("-" is standard input). On failure *problem says why.
bool read_binary(const std::string &path, std::vector<uint8_t> *octets, std::string *problem);

// Upper-case hex of the octets, without separators.
std::string to_hex(const uint8_t *octets, size_t n);

}  // namespace lyrdua::tool
