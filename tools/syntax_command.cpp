// lyrdua syntax SYNTAX encode TEXT | decode HEX: one attribute value through
// the handlers of a syntax.
#include <lyrdua/kor_ahs.h>

#include <string>
#include <utility>
#include <vector>

#include "tools/commands.hpp"
#include "tools/conversion.hpp"
#include "tools/input.hpp"

namespace lyrdua::tool {
namespace {

using Encoder = uint32_t(KOR_API *)(const char *, int32_t, kor_asn1_ctx *, uintptr_t);
using Decoder = uint32_t(KOR_API *)(kor_asn1_ctx *, char *, uint32_t *, uintptr_t);

// Decodes and describes the parts of the structure form it fills, one
// indented line each.
using PartsDecoder = uint32_t (*)(kor_asn1_ctx *, char *, uint32_t *, std::string *parts);

struct Syntax {
  const char *name;
  Encoder encode;
  Decoder decode;  // null when the syntax has a structure form
  PartsDecoder decode_parts = nullptr;
};

void add_part(std::string *parts, const std::string &label, const char *text, uint32_t length) {
  if (text != nullptr) *parts += "  " + label + ": " + std::string(text, length) + "\n";
}

uint32_t decode_fax(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, std::string *parts) {
  kor_ahs_fax_telephone_number f;
  uint32_t result = kor_ahs_IntToExt_FaxTelephoneNumberA(ctx, out, out_len, &f, 0);
  add_part(parts, "telephone number", f.telephone_number, f.telephone_number_len);
  const std::pair<const char *, uint32_t> params[] = {{f.two_dimensional, f.two_dimensional_len},
                                                      {f.fine_resolution, f.fine_resolution_len},
                                                      {f.unlimited_length, f.unlimited_length_len},
                                                      {f.b4_length, f.b4_length_len},
                                                      {f.a3_width, f.a3_width_len},
                                                      {f.b4_width, f.b4_width_len},
                                                      {f.uncompressed, f.uncompressed_len}};
  for (const auto &[text, length] : params) add_part(parts, "parameter", text, length);
  return result;
}

uint32_t decode_postal(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, std::string *parts) {
  kor_ahs_postal_address pa;
  uint32_t result = kor_ahs_IntToExt_PostalAddressA(ctx, out, out_len, &pa, 0);
  for (int k = 0; k < KOR_AHS_POSTAL_LINES; ++k)
    add_part(parts, "line " + std::to_string(k + 1), pa.lines[k].line, pa.lines[k].line_len);
  return result;
}

uint32_t decode_telex(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, std::string *parts) {
  kor_ahs_telex_number tx;
  uint32_t result = kor_ahs_IntToExt_TelexNumberA(ctx, out, out_len, &tx, 0);
  add_part(parts, "telex number", tx.telex_number, tx.telex_number_len);
  add_part(parts, "country code", tx.country_code, tx.country_code_len);
  add_part(parts, "answerback", tx.answerback, tx.answerback_len);
  return result;
}

const Syntax kSyntaxes[] = {
    {"boolean", kor_ahs_ExtToInt_BooleanA, kor_ahs_IntToExt_BooleanA},
    {"bitstring", kor_ahs_ExtToInt_BitStringA, kor_ahs_IntToExt_BitStringA},
    {"integer", kor_ahs_ExtToInt_IntegerA, kor_ahs_IntToExt_IntegerA},
    {"octetstring", kor_ahs_ExtToInt_OctetStringA, kor_ahs_IntToExt_OctetStringA},
    {"oid", kor_ahs_ExtToInt_OidA, kor_ahs_IntToExt_OidA},
    {"utctime", kor_ahs_ExtToInt_UTCTimeA, kor_ahs_IntToExt_UTCTimeA},
    {"ia5string", kor_ahs_ExtToInt_IA5StringA, kor_ahs_IntToExt_IA5StringA},
    {"numericstring", kor_ahs_ExtToInt_NumericStringA, kor_ahs_IntToExt_NumericStringA},
    {"printablestring", kor_ahs_ExtToInt_PrintableStringA, kor_ahs_IntToExt_PrintableStringA},
    {"directorystring", kor_ahs_ExtToInt_DirectoryStringA, kor_ahs_IntToExt_DirectoryStringA},
    {"t61string", kor_ahs_ExtToInt_T61StringA, kor_ahs_IntToExt_T61StringA},
    {"fax", kor_ahs_ExtToInt_FaxTelephoneNumberA, nullptr, decode_fax},
    {"postaladdress", kor_ahs_ExtToInt_PostalAddressA, nullptr, decode_postal},
    {"telex", kor_ahs_ExtToInt_TelexNumberA, nullptr, decode_telex},
};

const Syntax *find_syntax(const std::string &name) {
  for (const Syntax &s : kSyntaxes)
    if (name == s.name) return &s;
  return nullptr;
}

std::string syntax_names() {
  std::string names;
  for (const Syntax &s : kSyntaxes) names += (names.empty() ? "" : ", ") + std::string(s.name);
  return names;
}

}  // namespace

int run_syntax(const Args &args) {
  if (args.size() < 2 || (args[1] != "encode" && args[1] != "decode")) {
    complain("usage: lyrdua syntax SYNTAX encode TEXT | lyrdua syntax SYNTAX decode HEX");
    return kExitUsage;
  }
  const Syntax *syntax = find_syntax(args[0]);
  if (syntax == nullptr) {
    complain("unknown syntax '" + args[0] + "'; the syntaxes are " + syntax_names());
    return kExitUsage;
  }
  const Args input(args.begin() + 2, args.end());
  if (args[1] == "encode") {
    std::string text;
    if (int status = read_text(input, &text); status != kExitOk) return status;
    return print_encoding([&](kor_asn1_ctx *ctx) {
      return syntax->encode(text.data(), static_cast<int32_t>(text.size()), ctx, 0);
    });
  }
  std::vector<uint8_t> ber;
  if (int status = read_octets(input, &ber); status != kExitOk) return status;
  return print_decoding(
      std::move(ber), [&](kor_asn1_ctx *ctx, char *out, uint32_t *out_len, std::string *parts) {
        return syntax->decode != nullptr ? syntax->decode(ctx, out, out_len, 0)
                                         : syntax->decode_parts(ctx, out, out_len, parts);
      });
}

}  // namespace lyrdua::tool
