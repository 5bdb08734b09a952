// Library start-up: finding the message module (or reporting its absence
// once) in programs that link the library, and the memory hooks of
// lyr_dua_init.
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>

#include "evtlib/memory_hooks.hpp"
#include "tests/evtlib/evt_test_support.hpp"

extern char **environ;

namespace lyrdua::test {
namespace {

struct ProbeRun {
  int status = -1;
  std::string output;
};

// Runs a probe program with LYRDUA_MSGMODULE set to module (unset when null),
// collecting its standard output; a probe that outlives the time limit is killed.
ProbeRun run_probe(const char *program, const char *module) {
  std::vector<std::string> env;
  for (char **e = environ; *e != nullptr; ++e)
    if (std::strncmp(*e, "LYRDUA_MSGMODULE=", 17) != 0) env.emplace_back(*e);
  if (module != nullptr) env.push_back(std::string("LYRDUA_MSGMODULE=") + module);
  std::vector<char *> envp;
  for (std::string &e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  ProbeRun run;
  int out[2];
  if (pipe(out) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char *argv[] = {const_cast<char *>(program), nullptr};
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return run;
  }
  pollfd readable{out[0], POLLIN, 0};
  char buffer[4096];
  while (poll(&readable, 1, static_cast<int>(kThreadLimit.count() * 1000)) > 0) {
    const ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    run.output.append(buffer, static_cast<size_t>(n));
  }
  close(out[0]);
  kill(pid, SIGKILL);  // gone already unless it hung
  waitpid(pid, &run.status, 0);
  return run;
}

const std::string kFoundOutput =
    "probe start\n"
    "event 1 with 2 parameters\n"
    "text 55: Unexpected tag 2 where tag 3 (BIT_STRING) was expected.\n";

const std::string kMissingOutput =
    report_line("Error - Loading message file failed") +
    "probe start\n"
    "event 1 with 2 parameters\n" +
    report_line(
        "Error - FormatMessage() failed, system error code: The specified module could "
        "not be found.") +
    "text 0: \n";

TEST(Startup, TheMessageModuleIsFoundOrItsAbsenceReportedOnce) {
  struct Row {
    const char *about;
    const char *program;
    const char *module;  // LYRDUA_MSGMODULE, or null for unset
    const std::string &output;
  };
  const Row rows[] = {
      {"beside the shared library", EVT_PROBE_SHARED, nullptr, kFoundOutput},
      {"on the run path of a program linking the static library", EVT_PROBE_STATIC, nullptr,
       kFoundOutput},
      {"named by LYRDUA_MSGMODULE", EVT_PROBE_STATIC, LYRMSG_MODULE, kFoundOutput},
      {"an empty LYRDUA_MSGMODULE counts as unset", EVT_PROBE_SHARED, "", kFoundOutput},
      {"LYRDUA_MSGMODULE names a missing file", EVT_PROBE_STATIC, "/nonexistent/liblyrmsg.so",
       kMissingOutput},
      {"LYRDUA_MSGMODULE names a file that is no module", EVT_PROBE_SHARED, LYRMSG_SOURCE,
       kMissingOutput},
      {"LYRDUA_MSGMODULE names a module without message table", EVT_PROBE_SHARED,
       LYRDUA_SHARED_LIBRARY, kMissingOutput},
  };
  for (const Row &row : rows) {
    const ProbeRun run = run_probe(row.program, row.module);
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << row.about;
    std::vector<int> lines;
    EXPECT_EQ(mask_report_lines(run.output, &lines), row.output) << row.about;
    EXPECT_TRUE(reported_lines_are_sources(lines)) << row.about;
  }
}

struct HookCall {
  uint32_t size;
  void *context;
  void *pointer;
};
std::vector<HookCall> allocations;
std::vector<HookCall> releases;
uint8_t hook_block[64];

void *KOR_API recording_allocate(uint32_t size, void *context) {
  allocations.push_back({size, context, hook_block});
  return hook_block;
}

void KOR_API recording_release(void *p, uint32_t size, void *context) {
  releases.push_back({size, context, p});
}

TEST(Startup, MemoryHooksReplaceTheDefaultsUntilReset) {
  int context = 0;
  lyr_dua_init(recording_allocate, recording_release);
  void *block = evt::allocate_memory(48, &context);
  evt::release_memory(block, 48, &context);
  ASSERT_EQ(allocations.size(), 1u);
  EXPECT_EQ(allocations[0].size, 48u);
  EXPECT_EQ(allocations[0].context, &context);
  EXPECT_EQ(block, hook_block);
  ASSERT_EQ(releases.size(), 1u);
  EXPECT_EQ(releases[0].pointer, hook_block);
  EXPECT_EQ(releases[0].size, 48u);
  EXPECT_EQ(releases[0].context, &context);

  // Null hooks bring back malloc and free.
  lyr_dua_init(nullptr, nullptr);
  void *heap = evt::allocate_memory(16, nullptr);
  ASSERT_NE(heap, nullptr);
  std::memset(heap, 0xA5, 16);
  evt::release_memory(heap, 0, nullptr);
  EXPECT_EQ(allocations.size(), 1u);
  EXPECT_EQ(releases.size(), 1u);
}

}  // namespace
}  // namespace lyrdua::test
