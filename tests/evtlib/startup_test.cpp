// Library start-up: finding the message module (or reporting its absence
// once) in programs that link the library, and the memory hooks of
// lyr_dua_init.
#include <cstring>

#include "evtlib/memory_hooks.hpp"
#include "tests/evtlib/evt_test_support.hpp"
#include "tests/support/run_tool.hpp"
#include "tests/support/system_text.hpp"

namespace lyrdua::test {
namespace {

const std::string kFoundOutput =
    "probe start\n"
    "event 1 with 2 parameters\n"
    "text 55: Unexpected tag 2 where tag 3 (BIT_STRING) was expected.\n";

const std::string kMissingOutput =
    report_line("Error - Loading message file failed") +
    "probe start\n"
    "event 1 with 2 parameters\n" +
    report_line("Error - FormatMessage() failed, system error code: " + system_text(126)) +
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
    EnvVariable variable("LYRDUA_MSGMODULE", row.module);
    const ToolRun run = run_tool(row.program, {});
    EXPECT_EQ(run.status, 0) << row.about;
    std::vector<int> lines;
    EXPECT_EQ(mask_report_lines(run.out, &lines), row.output) << row.about;
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
