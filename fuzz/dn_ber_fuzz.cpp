// libFuzzer target: BER through the DN, RDN and attribute-value decoders with
// the default schema. The first octet picks the decoder (and, for values, the
// attribute) and the capacity; the rest is the input. Aborts when a decoder
// writes past its capacity, breaks the output contract, or gives another text
// when asked again with the size it reported (names only).
#include <lyrdua/kor_ahs.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

kor_sc_schema *default_schema() {
  static kor_sc_schema *schema = [] {
    kor_sc_schema *opened = nullptr;
    check(kor_sc_get_default_schema(&opened) == KOR_OK);
    return opened;
  }();
  return schema;
}

// Attributes of the default schema covering the kinds of the value dispatch.
const char *const kTypes[] = {"CN",
                              "C",
                              "objectClass",
                              "member",
                              "userPassword",
                              "presentationAddress",
                              "x500UniqueIdentifier",
                              "mail",
                              "x121Address",
                              "lastModifiedTime",
                              "mailPreferenceOption",
                              "teletexTerminalIdentifier",
                              "postalAddress",
                              "telexNumber",
                              "facsimileTelephoneNumber",
                              "supportedApplicationContext"};
constexpr size_t kTypeCount = sizeof kTypes / sizeof kTypes[0];

struct Decoded {
  uint32_t result;
  uint32_t out_len;
  std::vector<char> out;
};

Decoded decode(const std::vector<uint8_t> &ber, uint32_t capacity, uint8_t selector) {
  kor_sc_schema *schema = default_schema();
  auto aux = reinterpret_cast<uintptr_t>(schema);
  std::vector<uint8_t> input = ber;
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input.data(), static_cast<uint32_t>(input.size()));
  Decoded d{0, capacity, std::vector<char>(capacity + 1, '\x7F')};
  switch (selector % 3) {
    case 0:
      d.result = kor_ahs_IntToExt_DistinguishedNameA(ctx, d.out.data(), &d.out_len, nullptr, aux);
      break;
    case 1:
      d.result = kor_ahs_IntToExt_RDNA(ctx, d.out.data(), &d.out_len, nullptr, aux);
      break;
    default: {
      const char *type = kTypes[(selector / 3) % kTypeCount];
      d.result = kor_ahs_IntToExt_attrvalueA(type, -1, ctx, d.out.data(), &d.out_len, schema);
    }
  }
  kor_asn1_free_ctx(ctx);
  check(d.out[capacity] == '\x7F');
  return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2 || size > 8192) return 0;
  uint8_t selector = data[0];
  std::vector<uint8_t> ber(data + 1, data + size);
  uint32_t capacity = 1 + data[1] % 48;
  Decoded d = decode(ber, capacity, selector);
  // Values only keep to their capacity (checked in decode): a value handler
  // may report truncation before it has read all its element. A name is read
  // whole before any of it is written, so its size is exact and final.
  if (selector % 3 == 2) return 0;
  if (d.result == KOR_OK) check(d.out_len < capacity && d.out[d.out_len] == 0);
  // Asked again with the size reported, the decoder gives the whole text,
  // which begins with what the cut one showed.
  if (d.result == KOR_AHS_TRUNCATED && d.out_len > capacity && d.out_len <= 65536) {
    Decoded whole = decode(ber, d.out_len, selector);
    check(whole.result == KOR_OK && whole.out_len + 1 == d.out_len);
    check(std::memcmp(whole.out.data(), d.out.data(), std::strlen(d.out.data())) == 0);
  }
  return 0;
}
