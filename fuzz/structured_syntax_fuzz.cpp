// libFuzzer target: the facsimile telephone number, postal address and telex
// number handlers. The first octet picks the syntax and the direction; the
// rest is BER to decode or text to parse. Aborts when an invariant breaks:
// - a decoder honours the output contract at the capacity it is given and at
//   the size it asks for, and its structure entries point into the output;
// - a text that parses and encodes decodes to the canonical text, which
//   encodes to the same octets; the W parser agrees with the A parser.
#include <lyrdua/kor_ahs.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using Spans = std::vector<std::pair<const char *, uint32_t>>;

void check(bool ok) {
  if (!ok) std::abort();
}

Spans spans(const kor_ahs_fax_telephone_number &f) {
  return {{f.telephone_number, f.telephone_number_len},
          {f.two_dimensional, f.two_dimensional_len},
          {f.fine_resolution, f.fine_resolution_len},
          {f.unlimited_length, f.unlimited_length_len},
          {f.b4_length, f.b4_length_len},
          {f.a3_width, f.a3_width_len},
          {f.b4_width, f.b4_width_len},
          {f.uncompressed, f.uncompressed_len}};
}

Spans spans(const kor_ahs_postal_address &pa) {
  Spans lines;
  for (const auto &l : pa.lines) lines.emplace_back(l.line, l.line_len);
  return lines;
}

Spans spans(const kor_ahs_telex_number &tx) {
  return {{tx.telex_number, tx.telex_number_len},
          {tx.country_code, tx.country_code_len},
          {tx.answerback, tx.answerback_len}};
}

// Decodes ber into a buffer of capacity characters; the structure's entries
// must lie inside the text written.
template <typename Struct, typename Decoder>
uint32_t decode(Decoder decoder, const std::vector<uint8_t> &ber, uint32_t capacity,
                std::string *text, uint32_t *out_len) {
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, const_cast<uint8_t *>(ber.data()),
                   static_cast<uint32_t>(ber.size()));
  std::vector<char> out(capacity + 1, 0x7F);
  Struct s;
  std::memset(&s, 0xA5, sizeof s);
  *out_len = capacity;
  uint32_t result = decoder(ctx, out.data(), out_len, &s, 0);
  kor_asn1_free_ctx(ctx);
  check(out[capacity] == 0x7F);
  if (result == 0 || result == KOR_AHS_TRUNCATED) {
    if (result == 0) check(*out_len < capacity && out[*out_len] == 0);
    if (result == KOR_AHS_TRUNCATED) check(*out_len > capacity);
    // A value may hold zero bytes: the text runs to *out_len on success, and
    // fills the buffer but for the NUL on truncation.
    size_t n = result == 0 ? *out_len : capacity - 1;
    check(out[n] == 0);
    for (const auto &[p, length] : spans(s))
      check(p == nullptr || (p >= out.data() && p + length <= out.data() + n));
    text->assign(out.data(), n);
  }
  return result;
}

std::vector<uint8_t> encode(uint32_t(KOR_API *encoder)(const char *, int32_t, kor_asn1_ctx *,
                                                       uintptr_t),
                            const std::string &text, uint32_t *result) {
  std::vector<uint8_t> buffer(2 * text.size() + 256);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), static_cast<uint32_t>(buffer.size()));
  *result = encoder(text.data(), static_cast<int32_t>(text.size()), ctx, 0);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  std::vector<uint8_t> encoding;
  if (*result == 0) {
    check(kor_asn1_errno(ctx) == 0);
    encoding.assign(out, out + len);
  }
  kor_asn1_free_ctx(ctx);
  return encoding;
}

// The text of a structure parsed from text (A), printed back; empty when
// the text does not parse.
template <typename Struct, typename Parser, typename Printer>
std::string reprint(Parser parse, Printer print, const std::string &text) {
  Struct s;
  if (parse(text.data(), static_cast<int32_t>(text.size()), &s) != 0) return "";
  std::vector<char> out(2 * text.size() + 128);  // room for the facsimile names in full
  auto length = static_cast<uint32_t>(out.size());
  check(print(&s, out.data(), &length) == 0);
  return std::string(out.data(), length);
}

// stops_early: the telex decoder stops at the member that does not fit, so
// a larger buffer may meet later members, and later faults, for the first time.
template <typename Struct, typename Encoder, typename Decoder, typename Parser, typename Printer,
          typename WideParser>
void run(Encoder encoder, Decoder decoder, Parser parse, Printer print, WideParser parse_w,
         bool stops_early, bool decoding, const uint8_t *data, size_t size) {
  std::string text;
  uint32_t out_len = 0;
  if (decoding) {
    std::vector<uint8_t> ber(data, data + size);
    uint32_t capacity = 1 + (size ? data[0] % 64 : 0);
    uint32_t result = decode<Struct>(decoder, ber, capacity, &text, &out_len);
    bool truncated = result == KOR_AHS_TRUNCATED;
    for (int round = 0; round < 4 && result == KOR_AHS_TRUNCATED; ++round)
      result = decode<Struct>(decoder, ber, out_len, &text, &out_len);
    if (truncated && !stops_early) check(result == 0);
    return;
  }
  std::string input(reinterpret_cast<const char *>(data), size);
  std::vector<kor_wchar> wide(input.begin(), input.end());
  for (size_t i = 0; i < size; ++i) wide[i] = static_cast<unsigned char>(input[i]);
  uint32_t result = 0;
  std::vector<uint8_t> ber = encode(encoder, input, &result);
  // The W parser accepts exactly what the A parser accepts.
  uint32_t wide_result = parse_w(wide.data(), static_cast<int32_t>(size));
  check((wide_result == 0) == (result == 0 || result == KOR_AHS_E_PRINTABLE_CHAR));
  if (result != 0) return;
  std::string canonical = reprint<Struct>(parse, print, input);
  uint32_t decoded =
      decode<Struct>(decoder, ber, 4 * static_cast<uint32_t>(size) + 64, &text, &out_len);
  // Lines of 256 characters or more are written but cannot be read back.
  if (decoded == KOR_AHS_E_POSTAL_READ_LONG) return;
  check(decoded == 0);
  // The plain copy of a value stops at a zero byte: such text is not canonical.
  if (input.find('\0') != std::string::npos) return;
  check(text == canonical);
  uint32_t again = 0;
  check(encode(encoder, text, &again) == ber && again == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  bool decoding = (data[0] & 0x80) != 0;
  switch (data[0] % 3) {
    case 0:
      run<kor_ahs_fax_telephone_number>(
          kor_ahs_ExtToInt_FaxTelephoneNumberA, kor_ahs_IntToExt_FaxTelephoneNumberA,
          kor_ahs_ExtToStruct_FaxTelephoneNumberA, kor_ahs_StructToExt_FaxTelephoneNumberA,
          [](const kor_wchar *t, int32_t n) {
            kor_ahs_fax_telephone_numberW s;
            return kor_ahs_ExtToStruct_FaxTelephoneNumberW(t, n, &s);
          },
          false, decoding, data + 1, size - 1);
      break;
    case 1:
      run<kor_ahs_postal_address>(
          kor_ahs_ExtToInt_PostalAddressA, kor_ahs_IntToExt_PostalAddressA,
          kor_ahs_ExtToStruct_PostalAddressA, kor_ahs_StructToExt_PostalAddressA,
          [](const kor_wchar *t, int32_t n) {
            kor_ahs_postal_addressW s;
            return kor_ahs_ExtToStruct_PostalAddressW(t, n, &s);
          },
          false, decoding, data + 1, size - 1);
      break;
    default:
      run<kor_ahs_telex_number>(
          kor_ahs_ExtToInt_TelexNumberA, kor_ahs_IntToExt_TelexNumberA,
          kor_ahs_ExtToStruct_TelexNumberA, kor_ahs_StructToExt_TelexNumberA,
          [](const kor_wchar *t, int32_t n) {
            kor_ahs_telex_numberW s;
            return kor_ahs_ExtToStruct_TelexNumberW(t, n, &s);
          },
          true, decoding, data + 1, size - 1);
      break;
  }
  return 0;
}
