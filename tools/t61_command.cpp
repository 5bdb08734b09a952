// lyrdua t61 encode / decode: Latin-1 and T.61 between standard input and
// standard output through the library's conversion.
#include <lyrdua/kor_cnv.h>

#include <cstdio>

#include "tools/commands.hpp"
#include "tools/hex.hpp"

namespace lyrdua::tool {
namespace {

using Translate = uint32_t(KOR_API *)(const uint8_t *, uint32_t, uint8_t *, uint32_t *, uint32_t *);

// What went wrong, for the error report: the result, where, and the octet there.
std::string failure_text(uint32_t result, uint32_t position, const std::vector<uint8_t> &input) {
  if (result == KOR_CNV_E_NOMEM) return "out of memory (result 301)";
  char octet[8] = "";
  if (position < input.size()) std::snprintf(octet, sizeof octet, "0x%02X", input[position]);
  const std::string where = "at offset " + std::to_string(position);
  const std::string code = " (result " + std::to_string(result) + ")";
  if (result == KOR_CNV_E_INVALID)
    return std::string("cannot convert the octet ") + octet + " " + where + code;
  if (result == KOR_CNV_E_INCOMPLETE)
    return "the input ends inside an escape sequence, control sequence or diacritic, " + where +
           code;
  return "the conversion failed " + where + code;
}

int run_t61(const char *command, Translate translate, const Args &args) {
  const bool from_file = args.size() == 2 && (args[0] == "--file" || args[0] == "-f");
  if (!args.empty() && !from_file) {
    complain(std::string("t61 ") + command + " reads standard input or --file FILE");
    return kExitUsage;
  }
  std::vector<uint8_t> input;
  std::string problem;
  if (!read_binary(from_file ? args[1] : "-", &input, &problem)) {
    complain(problem);
    return kExitFailure;
  }
  if (input.size() > UINT32_MAX) {
    complain("the input is longer than 4 GiB");
    return kExitFailure;
  }
  const uint32_t input_length = static_cast<uint32_t>(input.size());
  uint32_t length = 0;
  uint32_t position = 0;
  uint32_t result = translate(input.data(), input_length, nullptr, &length, &position);
  std::vector<uint8_t> output(length);
  if (result == KOR_CNV_OK)
    result = translate(input.data(), input_length, output.data(), &length, &position);
  if (result != KOR_CNV_OK) {
    complain(std::string("t61 ") + command + ": " + failure_text(result, position, input));
    return kExitFailure;
  }
  const bool written = length == 0 || std::fwrite(output.data(), 1, length, stdout) == length;
  if (!written || std::fflush(stdout) != 0) {
    complain("cannot write standard output");
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int run_t61_encode(const Args &args) {
  return run_t61("encode", kor_cnv_latin1_to_t61_translate, args);
}

int run_t61_decode(const Args &args) {
  return run_t61("decode", kor_cnv_t61_to_latin1_translate, args);
}

}  // namespace lyrdua::tool
