// lyrdua ber print: dumps one BER element with the library's printer.
#include <lyrdua/kor_asn1.h>

#include <cstdio>

#include "tools/commands.hpp"
#include "tools/conversion.hpp"
#include "tools/input.hpp"

namespace lyrdua::tool {
namespace {

// Reads every element inside the current one, as the printer does, without
// printing: what --quiet checks.
void walk_members(kor_asn1_ctx *ctx) {
  while (kor_asn1_get_tag(ctx) != 0) {
    if (kor_asn1_is_constructed(ctx)) {
      kor_asn1_enter_construct(ctx);
      walk_members(ctx);
    } else {
      kor_asn1_skip(ctx);
    }
  }
}

void walk_element(kor_asn1_ctx *ctx) {
  if (kor_asn1_get_tag(ctx) == 0) return;
  if (!kor_asn1_is_constructed(ctx)) return kor_asn1_skip(ctx);
  kor_asn1_enter_construct(ctx);
  walk_members(ctx);
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
  if (int status = read_octets(args, &octets); status != kExitOk) return status;
  Context ctx(kor_asn1_new_ctx());
  if (!ctx) {
    complain("out of memory");
    return kExitFailure;
  }
  kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_DECODE, octets.data(),
                   static_cast<uint32_t>(octets.size()));
  verbosity == Verbosity::Quiet ? walk_element(ctx.get()) : kor_asn1_print(ctx.get());
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
