// lyrdua value encode TYPE TEXT | decode TYPE HEX: one attribute value by the
// syntax that the schema gives its type.
#include <lyrdua/kor_ahs.h>

#include <string>

#include "tools/commands.hpp"
#include "tools/conversion.hpp"
#include "tools/input.hpp"

namespace lyrdua::tool {

int run_value(const Args &args) {
  if (args.size() < 2 || (args[0] != "encode" && args[0] != "decode")) {
    complain("usage: lyrdua value encode TYPE TEXT | lyrdua value decode TYPE HEX");
    return kExitUsage;
  }
  const std::string &type = args[1];
  const auto type_len = static_cast<int32_t>(type.size());
  const Args input(args.begin() + 2, args.end());
  CommandSchema schema;
  if (args[0] == "encode") {
    std::string text;
    if (int status = read_text(input, &text); status != kExitOk) return status;
    if (!schema.opened()) return kExitFailure;
    return print_encoding([&](kor_asn1_ctx *ctx) {
      return kor_ahs_ExtToInt_attrvalueA(type.data(), type_len, text.data(),
                                         static_cast<int32_t>(text.size()), ctx, schema.get());
    });
  }
  std::vector<uint8_t> ber;
  if (int status = read_octets(input, &ber); status != kExitOk) return status;
  if (!schema.opened()) return kExitFailure;
  return print_decoding(
      std::move(ber), [&](kor_asn1_ctx *ctx, char *out, uint32_t *out_len, std::string *) {
        return kor_ahs_IntToExt_attrvalueA(type.data(), type_len, ctx, out, out_len, schema.get());
      });
}

}  // namespace lyrdua::tool
