// Schema lookups as the DN handlers make them: keyword to attribute type, OID
// to attribute type, the first keyword copied out, and the syntax number.
// Each runs over the built-in default schema ("generated:0") and over the
// default plus 5,000 generated attribute types loaded through LYRDUA_SCHEMA
// ("generated:5000").
#include <benchmark/benchmark.h>
#include <lyrdua/kor_sc.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kGeneratedTypes = 5000;
// Lookups cycle through this many different keys so that one hot entry does
// not stand for the whole schema.
constexpr size_t kKeys = 1024;

const char *const kSyntaxNames[] = {
    "stringSyntax",      "printableStringSyntax",   "iA5StringSyntax",
    "integerSyntax",     "distinguishedNameSyntax", "telephoneNumberSyntax",
    "octetStringSyntax", "uTCTimeSyntax",
};

// Keywords of the default schema that DNs use, in the cases people write them.
const char *const kDefaultKeywords[] = {
    "CN",
    "cn",
    "O",
    "ou",
    "C",
    "L",
    "st",
    "street",
    "DC",
    "uid",
    "mail",
    "SN",
    "givenName",
    "title",
    "description",
    "telephoneNumber",
    "organizationalUnitName",
    "commonName",
    "countryName",
    "serialNumber",
    "postalCode",
    "member",
    "owner",
    "seeAlso",
};

std::string generated_name(int n) { return "generatedAttributeType" + std::to_string(n); }

// Writes the 5,000 attribute types once and returns the file's path.
const std::string &generated_schema() {
  static const std::string path = [] {
    std::string file = "/tmp/lyrdua_schema_bench_" + std::to_string(getpid()) + ".schema";
    std::FILE *out = std::fopen(file.c_str(), "w");
    for (int n = 1; n <= kGeneratedTypes; ++n) {
      std::fprintf(out, "attributetype ( 1.3.6.1.4.1.32473.9.%d NAME ( '%s' 'g%d' )\n", n,
                   generated_name(n).c_str(), n);
      std::fprintf(out, "\tDESC 'generated for the benchmark'\n\tSYNTAX %s )\n",
                   kSyntaxNames[n % std::size(kSyntaxNames)]);
    }
    std::fclose(out);
    std::atexit([] { std::remove(generated_schema().c_str()); });
    return file;
  }();
  return path;
}

class Schema : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State &state) override {
    bool large = state.range(0) != 0;
    if (large)
      setenv("LYRDUA_SCHEMA", generated_schema().c_str(), 1);
    else
      unsetenv("LYRDUA_SCHEMA");
    if (kor_sc_get_default_schema(&schema_) != KOR_OK) std::abort();
    keywords_.clear();
    for (size_t i = 0; i < kKeys; ++i) {
      if (large)
        keywords_.push_back(generated_name(static_cast<int>((i * 4999) % kGeneratedTypes) + 1));
      else
        keywords_.push_back(kDefaultKeywords[i % std::size(kDefaultKeywords)]);
    }
    attrs_.clear();
    oids_.clear();
    syntaxes_.clear();
    for (const std::string &keyword : keywords_) {
      kor_sc_attr *attr = nullptr;
      if (kor_sc_get_attr_by_keywordA(schema_, keyword.data(), static_cast<int32_t>(keyword.size()),
                                      &attr) != KOR_OK)
        std::abort();
      attrs_.push_back(attr);
      uint8_t oid[64];
      uint32_t len = sizeof oid;
      kor_sc_attr_get_oid(attr, oid, &len);
      oids_.emplace_back(oid, oid + len);
      kor_sc_syntax *syntax = nullptr;
      kor_sc_attr_get_syntax(attr, &syntax);
      syntaxes_.push_back(syntax);
    }
  }

  void TearDown(const benchmark::State &) override { kor_sc_free_schema(schema_); }

 protected:
  kor_sc_schema *schema_ = nullptr;
  std::vector<std::string> keywords_;
  std::vector<std::vector<uint8_t>> oids_;
  std::vector<kor_sc_attr *> attrs_;
  std::vector<kor_sc_syntax *> syntaxes_;
};

BENCHMARK_DEFINE_F(Schema, KeywordLookup)(benchmark::State &state) {
  size_t i = 0;
  for (auto _ : state) {
    const std::string &keyword = keywords_[i++ % kKeys];
    kor_sc_attr *attr = nullptr;
    benchmark::DoNotOptimize(kor_sc_get_attr_by_keywordA(
        schema_, keyword.data(), static_cast<int32_t>(keyword.size()), &attr));
    benchmark::DoNotOptimize(attr);
  }
}

BENCHMARK_DEFINE_F(Schema, OidLookup)(benchmark::State &state) {
  size_t i = 0;
  for (auto _ : state) {
    const std::vector<uint8_t> &oid = oids_[i++ % kKeys];
    kor_sc_attr *attr = nullptr;
    benchmark::DoNotOptimize(
        kor_sc_get_attr_by_oid(schema_, oid.data(), static_cast<uint32_t>(oid.size()), &attr));
    benchmark::DoNotOptimize(attr);
  }
}

BENCHMARK_DEFINE_F(Schema, FirstKeywordCopy)(benchmark::State &state) {
  size_t i = 0;
  char buf[64];
  for (auto _ : state) {
    uint32_t len = sizeof buf;
    benchmark::DoNotOptimize(kor_sc_attr_get_1st_keywordA(attrs_[i++ % kKeys], buf, &len));
    benchmark::DoNotOptimize(buf);
  }
}

BENCHMARK_DEFINE_F(Schema, SyntaxNumber)(benchmark::State &state) {
  size_t i = 0;
  for (auto _ : state) {
    uint32_t value = 0;
    benchmark::DoNotOptimize(kor_sc_syntax_get_enum(syntaxes_[i++ % kKeys], &value));
    benchmark::DoNotOptimize(value);
  }
}

// The argument is the number of generated attribute types loaded besides the default.
void schema_sizes(benchmark::internal::Benchmark *b) {
  b->ArgName("generated")->Arg(0)->Arg(kGeneratedTypes);
}

BENCHMARK_REGISTER_F(Schema, KeywordLookup)->Apply(schema_sizes);
BENCHMARK_REGISTER_F(Schema, OidLookup)->Apply(schema_sizes);
BENCHMARK_REGISTER_F(Schema, FirstKeywordCopy)->Apply(schema_sizes);
BENCHMARK_REGISTER_F(Schema, SyntaxNumber)->Apply(schema_sizes);

}  // namespace

BENCHMARK_MAIN();
