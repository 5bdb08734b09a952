// Speed of the configuration store: a read that the current user's registry
// answers, one that falls through both registries to the default text, both
// through a handle kept open (the root files parsed once, then only checked
// for changes), and the same read through a new handle each time (the files
// read and parsed on every open). A durable write is measured for scale.
//
// The roots are files in a temporary folder, each with 40 values beside the
// ones read.
#include <benchmark/benchmark.h>
#include <ftw.h>
#include <lyrdua/kor_cfg.h>
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace lyrdua::bench {
namespace {

constexpr char kProductKey[] = "[Software\\Quorvane\\Tessel Directory\\CurrentVersion]\n";
constexpr char kDefaultText[] =
    "\nSoftware\\Quorvane\\Tessel Directory\\CurrentVersion\\Server: ldap.example\n"
    "\nSoftware\\Quorvane\\Tessel Directory\\CurrentVersion\\Timeout: 30\n";

std::string root_file(const char *owner, bool with_server) {
  std::string text = std::string("REGEDIT4\n\n") + kProductKey;
  for (int i = 0; i < 40; ++i)
    text += "\"" + std::string(owner) + "Setting" + std::to_string(i) + "\"=\"value " +
            std::to_string(i) + "\"\n";
  if (with_server) text += "\"Server\"=\"user.example\"\n";
  return text;
}

// The registry roots and the default text for the length of the program.
class Roots {
 public:
  Roots() {
    char folder[] = "/tmp/lyrdua-cfg-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) std::abort();
    dir_ = folder;
    const std::string user = dir_ + "/user.reg";
    const std::string machine = dir_ + "/machine.reg";
    std::ofstream(user, std::ios::binary) << root_file("User", true);
    std::ofstream(machine, std::ios::binary) << root_file("Machine", false);
    setenv("LYRDUA_REG_USER", user.c_str(), 1);
    setenv("LYRDUA_REG_MACHINE", machine.c_str(), 1);
    kor_cfg_set_default(kDefaultText);
  }
  ~Roots() {
    kor_cfg_set_default(nullptr);
    nftw(
        dir_.c_str(),
        [](const char *p, const struct stat *, int, struct FTW *) { return std::remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
  }

 private:
  std::string dir_;
};

const Roots &roots() {
  static const Roots made;
  return made;
}

void read_once(kor_cfg *cfg, const char *name, benchmark::State &state) {
  char buffer[64];
  uint32_t found = 0;
  uint32_t length = sizeof buffer;
  if (kor_cfg_get_value(cfg, name, KOR_CFG_SRC_USER, &found, buffer, &length) != KOR_OK ||
      found == KOR_CFG_SRC_NONE)
    state.SkipWithError("the value was not read");
  benchmark::DoNotOptimize(buffer);
}

void read_with_open_handle(benchmark::State &state, const char *name) {
  roots();
  kor_cfg *cfg = kor_cfg_open(nullptr);
  for (auto _ : state) read_once(cfg, name, state);
  kor_cfg_close(cfg);
  state.SetItemsProcessed(state.iterations());
}

void read_with_new_handle(benchmark::State &state, const char *name) {
  roots();
  for (auto _ : state) {
    kor_cfg *cfg = kor_cfg_open(nullptr);
    read_once(cfg, name, state);
    kor_cfg_close(cfg);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_WriteDurably(benchmark::State &state) {
  roots();
  kor_cfg *cfg = kor_cfg_open(nullptr);
  for (auto _ : state) {
    if (kor_cfg_set_value(cfg, "Written", KOR_CFG_SRC_USER, "value", 5) != KOR_OK)
      state.SkipWithError("the value was not written");
  }
  kor_cfg_close(cfg);
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(read_with_open_handle, user, "Server")->Name("read/user/open_handle");
BENCHMARK_CAPTURE(read_with_open_handle, default, "Timeout")->Name("read/default/open_handle");
BENCHMARK_CAPTURE(read_with_new_handle, user, "Server")->Name("read/user/new_handle");
BENCHMARK_CAPTURE(read_with_new_handle, default, "Timeout")->Name("read/default/new_handle");
BENCHMARK(BM_WriteDurably)->Name("write/user")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lyrdua::bench

BENCHMARK_MAIN();
