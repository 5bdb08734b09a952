// Speed of distinguished names with the default schema over the 1000 DNs of
// the shared workload (dns.txt): text to BER and BER to text, and beside them
// the peers that are installed: GnuTLS (LYRDUA_BENCH_GNUTLS), OpenSSL
// (LYRDUA_BENCH_OPENSSL) and OpenLDAP (LYRDUA_BENCH_LDAP). One item is one
// pass over the 1000 names; per-name figures divide by 1000.
//
// Instructions per name: see bench/bench_main.hpp, e.g. under callgrind
//   ./dn_bench --instructions dn_to_ber/lyrdua 20
// and divide by 20 * 1000.
#include <benchmark/benchmark.h>
#include <lyrdua/kor_ahs.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#ifdef LYRDUA_BENCH_GNUTLS
#include <gnutls/x509.h>
#endif
#ifdef LYRDUA_BENCH_OPENSSL
#include <openssl/bio.h>
#include <openssl/x509.h>
#endif
#ifdef LYRDUA_BENCH_LDAP
#include <ldap.h>
#endif

#include "bench/bench_main.hpp"

namespace lyrdua::bench {
namespace {

using Octets = std::vector<uint8_t>;

std::vector<std::string> read_names() {
  std::ifstream file(std::string(LYRDUA_SHARED_BENCH_DIR) + "/dns.txt");
  std::vector<std::string> names;
  for (std::string line; std::getline(file, line);)
    if (!line.empty()) names.push_back(line);
  return names;
}

struct Bench {
  kor_sc_schema *schema = nullptr;
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  std::vector<std::string> names = read_names();
  std::vector<Octets> encodings;   // by the library, one per name
  std::vector<std::string> texts;  // the decoder's texts, one per name
  Octets area = Octets(4096);
  char text[1024];
  size_t produced = 0;  // names converted by the last pass
  bool ready = false;

  Bench() {
    if (kor_sc_get_default_schema(&schema) != KOR_OK || ctx == nullptr || names.empty()) return;
    for (const std::string &name : names) {
      if (!encode(name)) return;
      uint8_t *out = nullptr;
      uint32_t len = 0;
      kor_asn1_get_buf(ctx, &out, &len);
      encodings.emplace_back(out, out + len);
    }
    for (const Octets &ber : encodings) {
      if (!decode(ber)) return;
      texts.emplace_back(text);
    }
    ready = true;
  }
  ~Bench() {
    kor_asn1_free_ctx(ctx);
    if (schema != nullptr) kor_sc_free_schema(schema);
  }
  Bench(const Bench &) = delete;
  Bench &operator=(const Bench &) = delete;

  bool encode(const std::string &name) {
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, area.data(), static_cast<uint32_t>(area.size()));
    return kor_ahs_ExtToInt_DistinguishedNameA(name.data(), static_cast<int32_t>(name.size()), ctx,
                                               reinterpret_cast<uintptr_t>(schema)) == KOR_OK &&
           kor_asn1_errno(ctx) == 0;
  }
  bool decode(const Octets &ber) {
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, const_cast<uint8_t *>(ber.data()),
                     static_cast<uint32_t>(ber.size()));
    uint32_t len = sizeof text;
    return kor_ahs_IntToExt_DistinguishedNameA(ctx, text, &len, nullptr,
                                               reinterpret_cast<uintptr_t>(schema)) == KOR_OK;
  }
};

void lyrdua_to_ber(Bench &b) {
  b.produced = 0;
  for (const std::string &name : b.names) b.produced += b.encode(name);
}

void lyrdua_to_text(Bench &b) {
  b.produced = 0;
  for (const Octets &ber : b.encodings) b.produced += b.decode(ber);
}

#ifdef LYRDUA_BENCH_GNUTLS
void gnutls_to_der(Bench &b) {
  b.produced = 0;
  for (const std::string &name : b.names) {
    gnutls_x509_dn_t dn;
    if (gnutls_x509_dn_init(&dn) != 0) continue;
    gnutls_datum_t der{};
    if (gnutls_x509_dn_set_str(dn, name.c_str(), nullptr) == 0 &&
        gnutls_x509_dn_export2(dn, GNUTLS_X509_FMT_DER, &der) == 0) {
      ++b.produced;
      gnutls_free(der.data);
    }
    gnutls_x509_dn_deinit(dn);
  }
}

void gnutls_to_text(Bench &b) {
  b.produced = 0;
  for (const Octets &ber : b.encodings) {
    gnutls_x509_dn_t dn;
    if (gnutls_x509_dn_init(&dn) != 0) continue;
    gnutls_datum_t der{const_cast<uint8_t *>(ber.data()), static_cast<unsigned>(ber.size())};
    gnutls_datum_t text{};
    if (gnutls_x509_dn_import(dn, &der) == 0 && gnutls_x509_dn_get_str(dn, &text) == 0) {
      ++b.produced;
      gnutls_free(text.data);
    }
    gnutls_x509_dn_deinit(dn);
  }
}
#endif

#ifdef LYRDUA_BENCH_OPENSSL
void openssl_to_text(Bench &b) {
  b.produced = 0;
  BIO *out = BIO_new(BIO_s_mem());
  for (const Octets &ber : b.encodings) {
    const unsigned char *p = ber.data();
    X509_NAME *name = d2i_X509_NAME(nullptr, &p, static_cast<long>(ber.size()));
    if (name == nullptr) continue;
    (void)BIO_reset(out);
    if (X509_NAME_print_ex(out, name, 0, XN_FLAG_RFC2253) > 0) ++b.produced;
    X509_NAME_free(name);
  }
  BIO_free(out);
}
#endif

#ifdef LYRDUA_BENCH_LDAP
void ldap_parse(Bench &b) {
  b.produced = 0;
  for (const std::string &name : b.names) {
    LDAPDN dn = nullptr;
    if (ldap_str2dn(name.c_str(), &dn, LDAP_DN_FORMAT_LDAPV3) == LDAP_SUCCESS) ++b.produced;
    ldap_dnfree(dn);
  }
}

void ldap_to_text(Bench &b) {
  b.produced = 0;
  for (const Octets &ber : b.encodings) {
    berval der{static_cast<ber_len_t>(ber.size()),
               reinterpret_cast<char *>(const_cast<uint8_t *>(ber.data()))};
    berval text{};
    if (ldap_X509dn2bv(&der, &text, nullptr, LDAP_DN_FORMAT_LDAPV3) == LDAP_SUCCESS) {
      ++b.produced;
      ldap_memfree(text.bv_val);
    }
  }
}
#endif

struct Workload {
  const char *name;
  void (*item)(Bench &);
  bool every_name = true;  // false: the peer refuses some names of the workload
};

const Workload kWorkloads[] = {
    {"dn_to_ber/lyrdua", lyrdua_to_ber},
    {"ber_to_dn/lyrdua", lyrdua_to_text},
#ifdef LYRDUA_BENCH_GNUTLS
    // gnutls_x509_dn_set_str refuses multi-valued RDNs (118 of the 1000).
    {"dn_to_ber/gnutls", gnutls_to_der, false},
    {"ber_to_dn/gnutls", gnutls_to_text},
#endif
#ifdef LYRDUA_BENCH_OPENSSL
    {"ber_to_dn/openssl", openssl_to_text},
#endif
#ifdef LYRDUA_BENCH_LDAP
    {"dn_parse_only/openldap", ldap_parse},
    {"ber_to_dn/openldap", ldap_to_text},
#endif
};

void run_benchmark(benchmark::State &state, const Workload *w) {
  Bench b;
  if (!b.ready) {
    state.SkipWithError("the names of dns.txt cannot be read or converted");
    return;
  }
  w->item(b);
  if (w->every_name && b.produced != b.names.size()) {
    state.SkipWithError("not every name was converted");
    return;
  }
  for (auto _ : state) {
    w->item(b);
    benchmark::ClobberMemory();
  }
  auto names = static_cast<int64_t>(b.names.size());
  state.SetItemsProcessed(state.iterations() * names);
  state.counters["ns/name"] =
      benchmark::Counter(static_cast<double>(state.iterations() * names),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The loop that callgrind counts (see bench/bench_main.hpp).
__attribute__((noinline)) void repeat_workload(const Workload *w, Bench &b, long count) {
  for (long i = 0; i < count; ++i) w->item(b);
}

int count_instructions(const char *name, long count) {
  const Workload *w = find_workload(kWorkloads, name);
  if (w == nullptr) return 2;
  Bench b;
  if (!b.ready) {
    std::fprintf(stderr, "the names of dns.txt cannot be read or converted\n");
    return 1;
  }
  repeat_workload(w, b, count);
  if (w->every_name && b.produced != b.names.size()) {
    std::fprintf(stderr, "%s did not convert every name\n", name);
    return 1;
  }
  std::printf("%s: %ld passes over %zu names\n", name, count, b.names.size());
  return 0;
}

}  // namespace
}  // namespace lyrdua::bench

int main(int argc, char **argv) {
  using namespace lyrdua::bench;
  return bench_main(argc, argv, kWorkloads, run_benchmark, count_instructions);
}
