#include "tools/conversion.hpp"

#include <cstdio>

#include "tools/commands.hpp"
#include "tools/event_report.hpp"
#include "tools/hex.hpp"

namespace lyrdua::tool {
namespace {

int report_failure(SyntaxEvents &events, uint32_t result) {
  if (events.report() == 0 && verbosity != Verbosity::Quiet) complain(small_result_text(result));
  if (verbosity == Verbosity::Verbose) complain("result " + code_text(result));
  return kExitFailure;
}

// No conversion of the tool needs more room than this.
constexpr size_t kLargestBuffer = size_t{1} << 24;

}  // namespace

bool CommandSchema::opened() const {
  if (result_ != KOR_OK) complain("the schema cannot be opened (" + code_text(result_) + ")");
  return result_ == KOR_OK;
}

int print_encoding(const Encoding &encode) {
  for (size_t size = 256;; size *= 2) {
    std::vector<uint8_t> buffer(size);
    Context ctx(kor_asn1_new_ctx());
    kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_ENCODE, buffer.data(),
                     static_cast<uint32_t>(buffer.size()));
    SyntaxEvents events;
    uint32_t result = encode(ctx.get());
    if (result != KOR_OK) return report_failure(events, result);
    uint32_t error = kor_asn1_errno(ctx.get());
    if (error == KOR_ASN1_E_END_OF_DATA && size < kLargestBuffer) continue;  // a larger buffer
    if (error != 0) {
      complain("BER encoding failed with error " + code_text(error));
      return kExitFailure;
    }
    uint8_t *encoding = nullptr;
    uint32_t length = 0;
    kor_asn1_get_buf(ctx.get(), &encoding, &length);
    std::printf("%s\n", to_hex(encoding, length).c_str());
    if (verbosity == Verbosity::Quiet) return kExitOk;
    kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_DECODE, encoding, length);
    std::fflush(stdout);
    kor_asn1_print(ctx.get());
    return kExitOk;
  }
}

int print_decoding(std::vector<uint8_t> ber, const Decoding &decode) {
  std::vector<char> text(256);
  for (;;) {
    Context ctx(kor_asn1_new_ctx());
    kor_asn1_set_buf(ctx.get(), KOR_ASN1_MODE_DECODE, ber.data(),
                     static_cast<uint32_t>(ber.size()));
    SyntaxEvents events;
    auto length = static_cast<uint32_t>(text.size());
    std::string parts;
    uint32_t result = decode(ctx.get(), text.data(), &length, &parts);
    if (result == KOR_AHS_TRUNCATED && text.size() < kLargestBuffer) {
      // Read again with the size reported, or a larger one when none is.
      text.resize(length > text.size() ? length : text.size() * 2);
      continue;
    }
    if (result != KOR_OK) return report_failure(events, result);
    std::fwrite(text.data(), 1, length, stdout);
    std::printf("\n%s", verbosity == Verbosity::Quiet ? "" : parts.c_str());
    return kExitOk;
  }
}

}  // namespace lyrdua::tool
