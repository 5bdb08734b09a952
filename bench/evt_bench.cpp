// Speed of the event library: rejecting an event that no stream wants,
// raising a recorded event with two text parameters, reading it back with its
// text, and the same raise from two threads at once (the lock under
// contention).
//
// Instructions per item: see bench/bench_main.hpp, e.g.
//   ./evt_bench --instructions raise/two_texts 100000 under callgrind.
#include <benchmark/benchmark.h>
#include <lyrdua/kor_evt.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "evtlib/event_state.hpp"

#include "bench/bench_main.hpp"

namespace lyrdua::bench {
namespace {

constexpr uint32_t kCode = 0xE6F001F4u;  // "Unexpected tag %1 where tag %2 was expected."
constexpr uint32_t kRecorded = 0x1;
constexpr uint32_t kUnwanted = 0x200;

// Streams of a workload: one that selects kRecorded, read or not.
struct Setup {
  bool any_stream;
  uint32_t options;
};

void prepare(const Setup &setup) {
  evt::release_event_library();
  if (!setup.any_stream) return;
  const uint32_t stream = kor_evt_stream_alloc();
  kor_evt_set_stream_options(stream, setup.options);
  kor_evt_set_filter(stream, 0, kRecorded);
}

constexpr uint32_t kStream = KOR_EVT_STREAM_FIRST_USER;

// Each item raises (and reads) one event.
void put_unwanted() { benchmark::DoNotOptimize(kor_evt_put_event(kCode, kUnwanted, 0)); }

void raise_two_texts() {
  const uint32_t h = kor_evt_put_event(kCode, kRecorded, KOR_EVT_OPEN);
  kor_evt_putstrn(h, 1, "2", 1);
  kor_evt_putstrn(h, 2, "3 (BIT_STRING)", 14);
  kor_evt_end_event(h);
}

void raise_and_read_back() {
  raise_two_texts();
  kor_evt_record *r = kor_evt_get_event(kStream);
  char *text = nullptr;
  uint32_t length = 0;
  kor_evt_get_text(kStream, &text, &length);
  benchmark::DoNotOptimize(r);
  benchmark::DoNotOptimize(length);
}

struct Workload {
  const char *name;
  Setup setup;
  void (*item)();
};

const Workload kWorkloads[] = {
    // Rejected by the pre-selection masks before anything else happens.
    {"put_event/unwanted/no_stream", {false, 0}, put_unwanted},
    {"put_event/unwanted/other_category", {true, KOR_EVT_OPT_FLAT}, put_unwanted},
    // Recorded into a stream that is never read: each raise evicts the oldest record.
    {"raise/two_texts", {true, KOR_EVT_OPT_FLAT}, raise_two_texts},
    // Raised, read with get_event and formatted with get_text.
    {"raise_read_text/flat", {true, KOR_EVT_OPT_FLAT}, raise_and_read_back},
    {"raise_read_text/grouped", {true, KOR_EVT_OPT_GROUPED}, raise_and_read_back},
};

void run_benchmark(benchmark::State &state, const Workload *w) {
  if (state.thread_index() == 0) prepare(w->setup);
  for (auto _ : state) w->item();
  state.SetItemsProcessed(state.iterations());
  if (state.thread_index() == 0) evt::release_event_library();
}

__attribute__((noinline)) void repeat_workload(const Workload *w, long count) {
  for (long i = 0; i < count; ++i) w->item();
}

int count_instructions(const char *name, long count) {
  const Workload *w = find_workload(kWorkloads, name);
  if (w == nullptr) return 2;
  prepare(w->setup);
  repeat_workload(w, count);
  return 0;
}

// The same raise from two threads at once: the cost of the lock under contention.
void register_contended() {
  benchmark::RegisterBenchmark("raise/two_texts/contended", run_benchmark, &kWorkloads[2])
      ->Threads(2)
      ->UseRealTime();
  benchmark::RegisterBenchmark("put_event/unwanted/contended", run_benchmark, &kWorkloads[1])
      ->Threads(2)
      ->UseRealTime();
}

}  // namespace
}  // namespace lyrdua::bench

int main(int argc, char **argv) {
  using namespace lyrdua::bench;
  return bench_main(argc, argv, kWorkloads, run_benchmark, count_instructions, register_contended);
}
