// The main() of the benchmark programs that also count instructions.
//
// Wall time per item: run the program as any Google Benchmark program.
// Instructions per item: run one workload a fixed number of times under
// callgrind, counting only inside the program's repeat_workload, and divide
// by the count:
//   valgrind --tool=callgrind --toggle-collect='*repeat_workload*'
//     ./PROGRAM --instructions WORKLOAD COUNT
// (one command line). The figure includes the loop and one indirect call per
// item (a handful of instructions), the same for every workload.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lyrdua::bench {

// The workload of that name, or null after saying that there is none.
template <typename Workload, size_t N>
const Workload *find_workload(const Workload (&workloads)[N], const char *name) {
  for (const Workload &w : workloads)
    if (std::strcmp(w.name, name) == 0) return &w;
  std::fprintf(stderr, "no workload named %s\n", name);
  return nullptr;
}

// Registers every workload with run and runs Google Benchmark, or, given
// `--instructions NAME COUNT`, returns count_instructions(NAME, COUNT).
// register_more registers further benchmarks (thread variants and the like).
template <typename Workload, size_t N>
int bench_main(int argc, char **argv, const Workload (&workloads)[N],
               void (*run)(benchmark::State &, const Workload *),
               int (*count_instructions)(const char *name, long count),
               void (*register_more)() = nullptr) {
  if (argc == 4 && std::strcmp(argv[1], "--instructions") == 0)
    return count_instructions(argv[2], std::strtol(argv[3], nullptr, 10));
  for (const Workload &w : workloads) benchmark::RegisterBenchmark(w.name, run, &w);
  if (register_more != nullptr) register_more();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace lyrdua::bench
