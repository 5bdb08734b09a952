// lyrdua dn encode TEXT | decode HEX: a distinguished name between its text
// and its BER, every value converted by the syntax of its attribute.
#include <lyrdua/kor_ahs.h>

#include <string>

#include "tools/commands.hpp"
#include "tools/conversion.hpp"
#include "tools/hex.hpp"

namespace lyrdua::tool {

int run_dn(const Args &args) {
  if (args.size() < 2 || (args[0] != "encode" && args[0] != "decode")) {
    complain("usage: lyrdua dn encode TEXT | lyrdua dn decode HEX");
    return kExitUsage;
  }
  CommandSchema schema;
  if (args[0] == "encode") {
    if (args.size() != 2) {
      complain("encode takes the name as one argument (quote it)");
      return kExitUsage;
    }
    if (!schema.opened()) return kExitFailure;
    const std::string &text = args[1];
    auto aux = reinterpret_cast<uintptr_t>(schema.get());
    return print_encoding([&](kor_asn1_ctx *ctx) {
      return kor_ahs_ExtToInt_DistinguishedNameA(text.data(), static_cast<int32_t>(text.size()),
                                                 ctx, aux);
    });
  }
  std::vector<uint8_t> ber;
  std::string problem;
  if (!parse_hex(Args(args.begin() + 1, args.end()), &ber, &problem)) {
    complain(problem);
    return kExitUsage;
  }
  if (!schema.opened()) return kExitFailure;
  auto aux = reinterpret_cast<uintptr_t>(schema.get());
  return print_decoding(std::move(ber), [&](kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
    return kor_ahs_IntToExt_DistinguishedNameA(ctx, out, out_len, nullptr, aux);
  });
}

}  // namespace lyrdua::tool
