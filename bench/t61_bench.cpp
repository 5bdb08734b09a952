// Speed of the T.61 / Latin-1 conversion on the shared 1 MiB of Latin-1 prose,
// both directions, beside glibc's iconv (LATIN1 <-> T.61-8BIT) in the same
// program. "convert" converts into a buffer large enough for the output;
// "measure+convert" is what the T61String handlers do: measure, then convert
// into a buffer of the measured length. The MB/s counter is in 10^6 octets of
// input per second.
//
// Instructions per input octet: run one workload a fixed number of times under
// callgrind, counting only inside repeat_workload, and divide by the count
// times 1048576:
//   valgrind --tool=callgrind --toggle-collect='*repeat_workload*'
//     ./t61_bench --instructions latin1_to_t61/lyrdua/convert 20
// (one command line).
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <lyrdua/kor_cnv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/bench_main.hpp"

namespace lyrdua::bench {
namespace {

using Octets = std::vector<uint8_t>;
using Translate = uint32_t(KOR_API *)(const uint8_t *, uint32_t, uint8_t *, uint32_t *, uint32_t *);

Octets read_workload() {
  const std::string path = std::string(LYRDUA_SHARED_BENCH_DIR) + "/latin1_1MiB.txt";
  std::ifstream file(path, std::ios::binary);
  return Octets(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct Bench {
  Octets latin1 = read_workload();
  Octets t61;
  Octets output;
  uint32_t output_length = 0;
  iconv_t to_t61 = iconv_open("T.61-8BIT", "LATIN1");
  iconv_t to_latin1 = iconv_open("LATIN1", "T.61-8BIT");

  Bench() {
    uint32_t length = 0;
    kor_cnv_latin1_to_t61_translate(latin1.data(), static_cast<uint32_t>(latin1.size()), nullptr,
                                    &length, nullptr);
    t61.resize(length);
    kor_cnv_latin1_to_t61_translate(latin1.data(), static_cast<uint32_t>(latin1.size()), t61.data(),
                                    &length, nullptr);
    output.resize(2 * latin1.size());
  }
  ~Bench() {
    if (to_t61 != reinterpret_cast<iconv_t>(-1)) iconv_close(to_t61);
    if (to_latin1 != reinterpret_cast<iconv_t>(-1)) iconv_close(to_latin1);
  }
  Bench(const Bench &) = delete;
  Bench &operator=(const Bench &) = delete;

  Octets produced() const { return Octets(output.begin(), output.begin() + output_length); }
};

void convert(Bench &b, Translate translate, const Octets &input) {
  uint32_t length = static_cast<uint32_t>(b.output.size());
  const uint32_t result = translate(input.data(), static_cast<uint32_t>(input.size()),
                                    b.output.data(), &length, nullptr);
  b.output_length = result == KOR_CNV_OK ? length : 0;
}

void measure_and_convert(Bench &b, Translate translate, const Octets &input) {
  uint32_t length = 0;
  const uint32_t n = static_cast<uint32_t>(input.size());
  uint32_t result = translate(input.data(), n, nullptr, &length, nullptr);
  if (result == KOR_CNV_OK && length <= b.output.size())
    result = translate(input.data(), n, b.output.data(), &length, nullptr);
  b.output_length = result == KOR_CNV_OK ? length : 0;
}

void glibc_convert(Bench &b, iconv_t cd, const Octets &input) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char *in = const_cast<char *>(reinterpret_cast<const char *>(input.data()));
  size_t in_left = input.size();
  char *out = reinterpret_cast<char *>(b.output.data());
  size_t out_left = b.output.size();
  const size_t result = iconv(cd, &in, &in_left, &out, &out_left);
  b.output_length =
      result == static_cast<size_t>(-1) ? 0 : static_cast<uint32_t>(b.output.size() - out_left);
}

void latin1_convert(Bench &b) { convert(b, kor_cnv_latin1_to_t61_translate, b.latin1); }
void latin1_measure_convert(Bench &b) {
  measure_and_convert(b, kor_cnv_latin1_to_t61_translate, b.latin1);
}
void latin1_iconv(Bench &b) { glibc_convert(b, b.to_t61, b.latin1); }
void t61_convert(Bench &b) { convert(b, kor_cnv_t61_to_latin1_translate, b.t61); }
void t61_measure_convert(Bench &b) {
  measure_and_convert(b, kor_cnv_t61_to_latin1_translate, b.t61);
}
void t61_iconv(Bench &b) { glibc_convert(b, b.to_latin1, b.t61); }

// Every workload must give the expected text: T.61 from Latin-1 is the
// conversion that glibc also gives for this text, and Latin-1 from it is the
// original text.
bool gives_t61(const Bench &b) { return b.produced() == b.t61; }
bool gives_latin1(const Bench &b) { return b.produced() == b.latin1; }

struct Workload {
  const char *name;
  void (*item)(Bench &);
  bool (*expected)(const Bench &);
  bool from_latin1;
};

const Workload kWorkloads[] = {
    {"latin1_to_t61/lyrdua/convert", latin1_convert, gives_t61, true},
    {"latin1_to_t61/lyrdua/measure+convert", latin1_measure_convert, gives_t61, true},
    {"latin1_to_t61/iconv", latin1_iconv, gives_t61, true},
    {"t61_to_latin1/lyrdua/convert", t61_convert, gives_latin1, false},
    {"t61_to_latin1/lyrdua/measure+convert", t61_measure_convert, gives_latin1, false},
    {"t61_to_latin1/iconv", t61_iconv, gives_latin1, false},
};

bool ready(const Bench &b) {
  return !b.latin1.empty() && !b.t61.empty() && b.to_t61 != reinterpret_cast<iconv_t>(-1) &&
         b.to_latin1 != reinterpret_cast<iconv_t>(-1);
}

void run_benchmark(benchmark::State &state, const Workload *w) {
  Bench b;
  if (!ready(b)) {
    state.SkipWithError("the workload file or glibc's T.61 converter is missing");
    return;
  }
  w->item(b);
  if (!w->expected(b)) {
    state.SkipWithError("the workload does not give the expected text");
    return;
  }
  for (auto _ : state) {
    w->item(b);
    benchmark::DoNotOptimize(b.output.data());
    benchmark::ClobberMemory();
  }
  const int64_t input = static_cast<int64_t>(w->from_latin1 ? b.latin1.size() : b.t61.size());
  state.SetBytesProcessed(state.iterations() * input);
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(state.iterations() * input) / 1e6,
                                              benchmark::Counter::kIsRate);
  if (!w->expected(b)) state.SkipWithError("the workload went wrong while it was measured");
}

// The loop that callgrind counts (see bench/bench_main.hpp).
__attribute__((noinline)) void repeat_workload(const Workload *w, Bench &b, long count) {
  for (long i = 0; i < count; ++i) w->item(b);
}

int count_instructions(const char *name, long count) {
  const Workload *w = find_workload(kWorkloads, name);
  if (w == nullptr) return 2;
  Bench b;
  if (!ready(b)) {
    std::fprintf(stderr, "the workload file or glibc's T.61 converter is missing\n");
    return 1;
  }
  repeat_workload(w, b, count);
  if (!w->expected(b)) {
    std::fprintf(stderr, "%s does not give the expected text\n", name);
    return 1;
  }
  const size_t input = w->from_latin1 ? b.latin1.size() : b.t61.size();
  std::printf("%s: %ld conversions of %zu octets\n", name, count, input);
  return 0;
}

}  // namespace
}  // namespace lyrdua::bench

int main(int argc, char **argv) {
  using namespace lyrdua::bench;
  return bench_main(argc, argv, kWorkloads, run_benchmark, count_instructions);
}
