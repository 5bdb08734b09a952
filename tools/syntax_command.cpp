// lyrdua syntax SYNTAX encode TEXT | decode HEX: one attribute value through
// the handlers of a syntax.
#include <lyrdua/kor_ahs.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tools/commands.hpp"
#include "tools/event_report.hpp"
#include "tools/hex.hpp"

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

struct ContextDeleter {
  void operator()(kor_asn1_ctx *ctx) const { kor_asn1_free_ctx(ctx); }
};
using Context = std::unique_ptr<kor_asn1_ctx, ContextDeleter>;

int report_failure(SyntaxEvents &events, uint32_t result) {
  if (events.report() == 0) complain(small_result_text(result));
  return kExitFailure;
}

int encode_value(const Syntax &syntax, const std::string &text) {
  std::vector<uint8_t> buffer(text.size() * 4 + 64);
  Context ctx(kor_asn1_new_ctx());
  kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_ENCODE, buffer.data(),
                   static_cast<uint32_t>(buffer.size()));
  SyntaxEvents events;
  uint32_t result = syntax.encode(text.data(), static_cast<int32_t>(text.size()), ctx.get(), 0);
  if (result != KOR_OK) return report_failure(events, result);
  uint8_t *encoding = nullptr;
  uint32_t length = 0;
  kor_asn1_get_buf(ctx.get(), &encoding, &length);
  if (uint32_t error = kor_asn1_errno(ctx.get()); error != 0) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", error);
    complain(std::string("BER encoding failed with error ") + code);
    return kExitFailure;
  }
  std::printf("%s\n", to_hex(encoding, length).c_str());
  kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_DECODE, encoding, length);
  std::fflush(stdout);
  kor_asn1_print(ctx.get());
  return kExitOk;
}

int decode_value(const Syntax &syntax, const Args &hex_words) {
  std::vector<uint8_t> octets;
  std::string problem;
  if (!parse_hex(hex_words, &octets, &problem)) {
    complain(problem);
    return kExitUsage;
  }
  std::vector<char> text(256);
  for (;;) {
    Context ctx(kor_asn1_new_ctx());
    kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_DECODE, octets.data(),
                     static_cast<uint32_t>(octets.size()));
    SyntaxEvents events;
    auto length = static_cast<uint32_t>(text.size());
    std::string parts;
    uint32_t result = syntax.decode != nullptr
                          ? syntax.decode(ctx.get(), text.data(), &length, 0)
                          : syntax.decode_parts(ctx.get(), text.data(), &length, &parts);
    if (result == KOR_AHS_TRUNCATED && length > text.size()) {
      text.resize(length);  // a larger size; read again
      continue;
    }
    if (result != KOR_OK) return report_failure(events, result);
    std::printf("%.*s\n%s", static_cast<int>(length), text.data(), parts.c_str());
    return kExitOk;
  }
}

}  // namespace

int run_syntax(const Args &args) {
  if (args.size() < 3 || (args[1] != "encode" && args[1] != "decode")) {
    complain("usage: lyrdua syntax SYNTAX encode TEXT | lyrdua syntax SYNTAX decode HEX");
    return kExitUsage;
  }
  const Syntax *syntax = find_syntax(args[0]);
  if (syntax == nullptr) {
    complain("unknown syntax '" + args[0] + "'; the syntaxes are " + syntax_names());
    return kExitUsage;
  }
  if (args[1] == "encode") {
    if (args.size() != 3) {
      complain("encode takes the value as one argument (quote it)");
      return kExitUsage;
    }
    return encode_value(*syntax, args[2]);
  }
  return decode_value(*syntax, Args(args.begin() + 2, args.end()));
}

}  // namespace lyrdua::tool
