// lyrdua value encode TYPE TEXT | decode TYPE HEX: one attribute value by the
// syntax that the schema gives its type.
#include <lyrdua/kor_ahs.h>

#include <string>

#include "tools/commands.hpp"
#include "tools/conversion.hpp"
#include "tools/hex.hpp"

namespace lyrdua::tool {

int run_value(const Args &args) {
  if (args.size() < 3 || (args[0] != "encode" && args[0] != "decode")) {
    complain("usage: lyrdua value encode TYPE TEXT | lyrdua value decode TYPE HEX");
    return kExitUsage;
  }
  CommandSchema schema;
  const std::string &type = args[1];
  auto type_len = static_cast<int32_t>(type.size());
  if (args[0] == "encode") {
    if (args.size() != 3) {
      complain("encode takes the value as one argument (quote it)");
      return kExitUsage;
    }
    if (!schema.opened()) return kExitFailure;
    const std::string &text = args[2];
    return print_encoding([&](kor_asn1_ctx *ctx) {
      return kor_ahs_ExtToInt_attrvalueA(type.data(), type_len, text.data(),
                                         static_cast<int32_t>(text.size()), ctx, schema.get());
    });
  }
  std::vector<uint8_t> ber;
  std::string problem;
  if (!parse_hex(Args(args.begin() + 2, args.end()), &ber, &problem)) {
    complain(problem);
    return kExitUsage;
  }
  if (!schema.opened()) return kExitFailure;
  return print_decoding(std::move(ber), [&](kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
    return kor_ahs_IntToExt_attrvalueA(type.data(), type_len, ctx, out, out_len, schema.get());
  });
}

}  // namespace lyrdua::tool
