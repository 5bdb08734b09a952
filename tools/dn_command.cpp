// lyrdua dn encode TEXT | decode HEX: a distinguished name between its text
// and its BER, every value converted by the syntax of its attribute.
#include <lyrdua/kor_ahs.h>

#include <string>

#include "tools/commands.hpp"
#include "tools/conversion.hpp"
#include "tools/input.hpp"

namespace lyrdua::tool {

int run_dn(const Args &args) {
  if (args.empty() || (args[0] != "encode" && args[0] != "decode")) {
    complain("usage: lyrdua dn encode TEXT | lyrdua dn decode HEX");
    return kExitUsage;
  }
  const Args input(args.begin() + 1, args.end());
  CommandSchema schema;
  if (args[0] == "encode") {
    std::string text;
    if (int status = read_text(input, &text); status != kExitOk) return status;
    if (!schema.opened()) return kExitFailure;
    return print_encoding([&](kor_asn1_ctx *ctx) {
      return kor_ahs_ExtToInt_DistinguishedNameA(text.data(), static_cast<int32_t>(text.size()),
                                                 ctx, schema.aux());
    });
  }
  std::vector<uint8_t> ber;
  if (int status = read_octets(input, &ber); status != kExitOk) return status;
  if (!schema.opened()) return kExitFailure;
  return print_decoding(
      std::move(ber), [&](kor_asn1_ctx *ctx, char *out, uint32_t *out_len, std::string *) {
        return kor_ahs_IntToExt_DistinguishedNameA(ctx, out, out_len, nullptr, schema.aux());
      });
}

}  // namespace lyrdua::tool
