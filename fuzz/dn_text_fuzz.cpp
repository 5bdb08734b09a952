// libFuzzer target: distinguished-name and RDN texts, with the default schema.
// Aborts when an invariant breaks:
// - the 8-bit and 16-bit parsers agree on the result and on every AVA;
// - the structure encodes to what the text handler lays, and the RDN
//   handlers of both widths fail alike in the grammar;
// - the formatter honours the output contract at every capacity, and a name
//   the text handler encoded decodes back under the decoder's contract.
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

struct Laid {
  uint32_t result;
  uint32_t error;
  std::vector<uint8_t> octets;
};

template <typename Lay>
Laid lay(size_t room, Lay handler) {
  std::vector<uint8_t> buffer(room);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), static_cast<uint32_t>(room));
  Laid laid{handler(ctx), 0, {}};
  laid.error = kor_asn1_errno(ctx);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  laid.octets.assign(out, out + len);
  kor_asn1_free_ctx(ctx);
  return laid;
}

template <typename Ava>
bool same_ava(const kor_ahs_ava &a, const Ava &w) {
  if (a.type_len != w.type_len || a.value_len != w.value_len || a.is_hex != w.is_hex) return false;
  for (uint32_t i = 0; i < a.type_len; ++i)
    if (static_cast<unsigned char>(a.type[i]) != w.type[i]) return false;
  for (uint32_t i = 0; i < a.value_len; ++i)
    if (static_cast<unsigned char>(a.value[i]) != w.value[i]) return false;
  return true;
}

void check_same_structure(const kor_ahs_dn &a, const kor_ahs_dnW &w) {
  check((a.rdn.ava.type == nullptr) == (w.rdn.ava.type == nullptr));
  if (a.rdn.ava.type == nullptr) return;
  const kor_ahs_rdnW *rdn_w = &w.rdn;
  for (const kor_ahs_rdn *rdn = &a.rdn; rdn != nullptr; rdn = rdn->next, rdn_w = rdn_w->next) {
    check(rdn_w != nullptr);
    const kor_ahs_avaW *ava_w = &rdn_w->ava;
    for (const kor_ahs_ava *ava = &rdn->ava; ava != nullptr; ava = ava->next, ava_w = ava_w->next)
      check(ava_w != nullptr && same_ava(*ava, *ava_w));
    check(ava_w == nullptr);
  }
  check(rdn_w == nullptr);
}

void check_formatter(const kor_ahs_dn &dn) {
  uint32_t needed = 0;
  check(kor_ahs_StructToExt_DistinguishedNameA(&dn, nullptr, &needed) == KOR_AHS_TRUNCATED);
  std::vector<char> whole(needed + 1, '\x7F');
  uint32_t len = needed;
  check(kor_ahs_StructToExt_DistinguishedNameA(&dn, whole.data(), &len) == KOR_OK);
  check(len + 1 == needed && whole[len] == 0 && whole[needed] == '\x7F');
  for (uint32_t capacity = 1; capacity < needed; capacity += 1 + capacity / 4) {
    std::vector<char> cut(capacity + 1, '\x7F');
    len = capacity;
    check(kor_ahs_StructToExt_DistinguishedNameA(&dn, cut.data(), &len) == KOR_AHS_TRUNCATED);
    check(len == needed && cut[capacity - 1] == 0 && cut[capacity] == '\x7F');
    check(std::memcmp(cut.data(), whole.data(), capacity - 1) == 0);
  }
}

void check_decodes(const std::vector<uint8_t> &ber, uintptr_t aux) {
  std::vector<uint8_t> input = ber;
  std::vector<char> out(1025, '\x7F');
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input.data(), static_cast<uint32_t>(input.size()));
  uint32_t len = 1024;
  uint32_t result = kor_ahs_IntToExt_DistinguishedNameA(ctx, out.data(), &len, nullptr, aux);
  check(out[1024] == '\x7F');
  if (result == KOR_OK) check(len < 1024 && out[len] == 0);
  if (result == KOR_AHS_TRUNCATED && len > 1024) check(out[1023] == 0);
  kor_asn1_free_ctx(ctx);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 4096) return 0;
  kor_sc_schema *schema = default_schema();
  auto aux = reinterpret_cast<uintptr_t>(schema);
  const char *text = reinterpret_cast<const char *>(data);
  auto n = static_cast<int32_t>(size);
  std::vector<kor_wchar> wide(data, data + size);

  std::vector<char> buffer(size + 1);
  std::vector<kor_wchar> wide_buffer(size + 1);
  kor_ahs_dn dn{};
  kor_ahs_dnW dn_w{};
  dn.buffer = buffer.data();
  dn_w.buffer = wide_buffer.data();
  std::vector<char> copy(text, text + size);
  uint32_t parsed = kor_ahs_ExtToStruct_DistinguishedNameA(copy.data(), n, &dn);
  check(kor_ahs_ExtToStruct_DistinguishedNameW(wide.data(), n, &dn_w) == parsed);

  size_t room = 8 * size + 64;
  Laid from_text = lay(room, [&](kor_asn1_ctx *ctx) {
    return kor_ahs_ExtToInt_DistinguishedNameA(text, n, ctx, aux);
  });
  if (parsed == KOR_OK) {
    check_same_structure(dn, dn_w);
    check_formatter(dn);
    Laid from_structure = lay(room, [&](kor_asn1_ctx *ctx) {
      return kor_ahs_StructTo_Int_DistinguishedNameA(&dn, ctx, schema);
    });
    check(from_structure.result == from_text.result && from_structure.octets == from_text.octets);
    kor_ahs_Free_DistinguishedName(&dn);
    kor_ahs_Free_DistinguishedName(&dn_w);
  } else {
    check(from_text.result == parsed && from_text.octets.empty());
  }
  if (from_text.result == KOR_OK && from_text.error == 0) check_decodes(from_text.octets, aux);

  Laid rdn = lay(room, [&](kor_asn1_ctx *ctx) { return kor_ahs_ExtToInt_RDNA(text, n, ctx, aux); });
  Laid rdn_w =
      lay(room, [&](kor_asn1_ctx *ctx) { return kor_ahs_ExtToInt_RDNW(wide.data(), n, ctx, aux); });
  // The RDN parser is shared: where the W handler fails in the grammar, the
  // A handler fails alike (the W handler consults no schema).
  const uint32_t kGrammarFailures[] = {KOR_AHS_E_DN_SYNTAX, KOR_AHS_E_DN_QUOTE,
                                       KOR_AHS_E_DN_EMPTY_VALUE, KOR_AHS_E_RDN_END,
                                       KOR_AHS_E_SCHEMA};
  for (uint32_t code : kGrammarFailures)
    if (rdn_w.result == code) check(rdn.result == code && rdn.octets.empty());
  return 0;
}
