// lyrdua ber print: dumps one BER element with the library's printer.
#include <lyrdua/kor_asn1.h>

#include <cstdio>
#include <memory>

#include "tools/commands.hpp"
#include "tools/hex.hpp"

namespace lyrdua::tool {
namespace {

struct ContextDeleter {
  void operator()(kor_asn1_ctx *ctx) const { kor_asn1_free_ctx(ctx); }
};
using Context = std::unique_ptr<kor_asn1_ctx, ContextDeleter>;

std::string code_text(uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", code);
  return text;
}

// Reads the input the way the command line names it: hex words, --file, or
// binary standard input. Returns kExitOk, or the exit status after complaining.
int read_input(const Args &args, std::vector<uint8_t> *octets) {
  std::string problem;
  if (!args.empty() && (args[0] == "--file" || args[0] == "-f")) {
    if (args.size() != 2) {
      complain("--file takes exactly one file name");
      return kExitUsage;
    }
    if (read_binary(args[1], octets, &problem)) return kExitOk;
    complain(problem);
    return kExitFailure;
  }
  if (args.empty()) {
    if (read_binary("-", octets, &problem)) return kExitOk;
    complain(problem);
    return kExitFailure;
  }
  if (parse_hex(args, octets, &problem)) return kExitOk;
  complain(problem);
  return kExitUsage;
}

// Length of the first element of the input, or 0 with *error set.
uint32_t element_length(kor_asn1_ctx *ctx, std::vector<uint8_t> &octets, uint32_t *error) {
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, octets.data(), static_cast<uint32_t>(octets.size()));
  kor_asn1_mark(ctx);
  kor_asn1_get_tag(ctx);
  kor_asn1_skip(ctx);
  const uint8_t *element = nullptr;
  uint32_t length = 0;
  kor_asn1_get_marked(ctx, &element, &length);
  *error = kor_asn1_errno(ctx);
  return length;
}

}  // namespace

int run_ber_print(const Args &args) {
  std::vector<uint8_t> octets;
  if (int status = read_input(args, &octets); status != kExitOk) return status;
  Context ctx(kor_asn1_new_ctx());
  if (!ctx) {
    complain("out of memory");
    return kExitFailure;
  }
  kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_DECODE, octets.data(),
                   static_cast<uint32_t>(octets.size()));
  kor_asn1_print(ctx.get());
  std::fflush(stdout);
  uint32_t error = kor_asn1_errno(ctx.get());
  if (error != 0) {
    complain("BER decoding failed with error " + code_text(error));
    return kExitFailure;
  }
  uint32_t length = element_length(ctx.get(), octets, &error);
  if (error == 0 && length < octets.size()) {
    complain(std::to_string(octets.size() - length) + " octets follow the element at offset " +
             std::to_string(length) + " and were not printed");
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace lyrdua::tool
