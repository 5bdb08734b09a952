// The events of failing operations: the cause, the operation event over it
// with the key text, and the outcome that closes the operation's level.
// The store raises them in category 0, which no stream selects; these tests
// give the store a category of their own to read the events back.
#include <gtest/gtest.h>
#include <lyrdua/kor_cfg.h>
#include <lyrdua/kor_evt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cfg/config_events.hpp"
#include "tests/cfg/cfg_test_support.hpp"

namespace lyrdua::test {
namespace {

constexpr uint32_t kCategory = 0x1000;
constexpr uint32_t kUser = KOR_CFG_SRC_USER;
constexpr uint32_t kMachine = KOR_CFG_SRC_MACHINE;
constexpr uint32_t kOnly = KOR_CFG_SRC_ONLY;

#define KEY "Software\\Quorvane\\Tessel Directory\\CurrentVersion"
#define USER_ROOT " (HKEY_CURRENT_USER) "
#define MACHINE_ROOT " (HKEY_LOCAL_MACHINE) "

struct Event {
  uint32_t code;
  uint32_t level;
  uint32_t flags;
  std::string text;
  bool operator==(const Event &other) const {
    return code == other.code && level == other.level && flags == other.flags && text == other.text;
  }
};

void PrintTo(const Event &e, std::ostream *out) {
  *out << std::hex << "{0x" << e.code << std::dec << ", level " << e.level << ", flags " << e.flags
       << ", \"" << e.text << "\"}";
}

const char kFailedText[] = "The configuration operation failed.";
const Event kOutcome = {KOR_CFG_E_FAILED, 0, KOR_EVT_REC_TERMINATOR, kFailedText};
const Event kCorruptCause = {KOR_CFG_E_CORRUPT, 2, 0, "The registry is corrupt."};
const Event kAccessCause = {KOR_CFG_E_ACCESS, 2, 0, "Access to the registry was denied."};

// How the roots are prepared and what the handle then does.
enum class Scenario {
  kReadCorruptUser,
  kReadCorruptMachine,
  kWriteToFolderRoot,
  kReadWithEmptySubkey,
  kReadAfterTheFileBroke,
  kWriteAfterTheFileBroke,
  kDeleteAfterTheFileBroke,
  kReadBothRootsFailing,
  kUpgradeToWriteDenied,
  kCloseAfterFailures,
  kReadFromNoSource,
};

struct EventRow {
  const char *about;
  Scenario scenario;
  uint32_t result;
  std::vector<Event> events;
};

const EventRow kEventRows[] = {
    {"read: the user's file is corrupt",
     Scenario::kReadCorruptUser,
     KOR_CFG_E_FAILED,
     {kCorruptCause,
      {KOR_CFG_E_OPEN_READ, 1, 0,
       "The registry key " KEY USER_ROOT " cannot be opened for reading."},
      kOutcome}},
    {"read: the machine's file is corrupt",
     Scenario::kReadCorruptMachine,
     KOR_CFG_E_FAILED,
     {kCorruptCause,
      {KOR_CFG_E_OPEN_READ, 1, 0,
       "The registry key " KEY MACHINE_ROOT " cannot be opened for reading."},
      kOutcome}},
    {"write: the root file is a folder",
     Scenario::kWriteToFolderRoot,
     KOR_CFG_E_FAILED,
     {kAccessCause,
      {KOR_CFG_E_OPEN_WRITE, 1, 0,
       "The registry key " KEY USER_ROOT " cannot be opened or created for writing."},
      kOutcome}},
    // Any other error is given by its number.
    {"read: a key path with an empty part",
     Scenario::kReadWithEmptySubkey,
     KOR_CFG_E_FAILED,
     {{KOR_CFG_E_SYSTEM, 2, 0, "The registry reported system error 161."},
      {KOR_CFG_E_OPEN_READ, 1, 0,
       "The registry key " KEY "\\" USER_ROOT " cannot be opened for reading."},
      {KOR_CFG_E_SYSTEM, 2, 0, "The registry reported system error 161."},
      {KOR_CFG_E_OPEN_READ, 1, 0,
       "The registry key " KEY "\\" MACHINE_ROOT " cannot be opened for reading."},
      kOutcome}},
    // Once the key is open, the failure is the value's, named with the key.
    {"read: the file broke after the key was opened",
     Scenario::kReadAfterTheFileBroke,
     KOR_CFG_E_FAILED,
     {kCorruptCause,
      {KOR_CFG_E_READ_VALUE, 1, 0, "The registry value " KEY "\\Name" USER_ROOT " cannot be read."},
      kOutcome}},
    {"write: the file broke after the key was opened",
     Scenario::kWriteAfterTheFileBroke,
     KOR_CFG_E_FAILED,
     {kCorruptCause,
      {KOR_CFG_E_WRITE_VALUE, 1, 0,
       "The registry value " KEY "\\Name" USER_ROOT " cannot be written or deleted."},
      kOutcome}},
    {"delete: the file broke after the key was opened",
     Scenario::kDeleteAfterTheFileBroke,
     KOR_CFG_E_FAILED,
     {kCorruptCause,
      {KOR_CFG_E_WRITE_VALUE, 1, 0,
       "The registry value " KEY "\\Name" USER_ROOT " cannot be written or deleted."},
      kOutcome}},
    // Each root's failure is a tree of its own under the one outcome.
    {"read: both roots fail",
     Scenario::kReadBothRootsFailing,
     KOR_CFG_E_FAILED,
     {kCorruptCause,
      {KOR_CFG_E_OPEN_READ, 1, 0,
       "The registry key " KEY USER_ROOT " cannot be opened for reading."},
      kAccessCause,
      {KOR_CFG_E_OPEN_READ, 1, 0,
       "The registry key " KEY MACHINE_ROOT " cannot be opened for reading."},
      kOutcome}},
    {"write: a read key cannot be reopened for writing",
     Scenario::kUpgradeToWriteDenied,
     KOR_CFG_E_FAILED,
     {kAccessCause,
      {KOR_CFG_E_OPEN_WRITE, 1, 0,
       "The registry key " KEY USER_ROOT " cannot be opened or created for writing."},
      kOutcome}},
    // Keys that never opened close without a word.
    {"close after failures", Scenario::kCloseAfterFailures, KOR_OK, {}},
    // A source outside the search order: the outcome alone.
    {"read from source 4", Scenario::kReadFromNoSource, KOR_CFG_E_FAILED, {kOutcome}},
};

std::vector<Event> read_events(uint32_t stream) {
  std::vector<Event> events;
  while (const kor_evt_record *r = kor_evt_get_event(stream)) {
    char *text = nullptr;
    uint32_t length = 0;
    kor_evt_get_text(stream, &text, &length);
    events.push_back(
        {r->code, r->level, r->flags, std::string(text != nullptr ? text : "", length)});
  }
  return events;
}

class EventTest : public CfgTest, public ::testing::WithParamInterface<EventRow> {
 protected:
  void SetUp() override {
    CfgTest::SetUp();
    cfg::event_category = kCategory;
  }
  void TearDown() override {
    cfg::event_category = KOR_EVT_CAT_NONE;
    CfgTest::TearDown();
  }

  // Prepares the roots and the handle, opens the stream, and runs the
  // scenario's operation; its result.
  uint32_t run(Scenario scenario, uint32_t *stream) {
    const char *subkey = scenario == Scenario::kReadWithEmptySubkey ? "" : nullptr;
    write_file(user_, product_file("\"Name\"=\"1\"\n"));
    cfg_ = kor_cfg_open(subkey);
    switch (scenario) {
      case Scenario::kReadCorruptUser:
      case Scenario::kReadBothRootsFailing:
      case Scenario::kCloseAfterFailures:
        write_file(user_, product_file("\"Name\"=\"1\n"));
        break;
      case Scenario::kReadAfterTheFileBroke:
        EXPECT_EQ(get(cfg_, "Name", kUser).value, "1");
        write_file(user_, product_file("\"Name\"=\"1\n"));
        break;
      case Scenario::kWriteAfterTheFileBroke:
      case Scenario::kDeleteAfterTheFileBroke:
        EXPECT_EQ(kor_cfg_is_writeable(cfg_, kUser), 1u);
        write_file(user_, product_file("\"Name\"=\"1\n"));
        break;
      case Scenario::kUpgradeToWriteDenied:
        EXPECT_EQ(get(cfg_, "Name", kUser).value, "1");
        remove(user_.c_str());
        mkdir(user_.c_str(), 0755);
        break;
      case Scenario::kWriteToFolderRoot:
        remove(user_.c_str());
        mkdir(user_.c_str(), 0755);
        break;
      default:
        break;
    }
    if (scenario == Scenario::kReadCorruptMachine)
      write_file(machine_, product_file("\"Name\"=\"1\n"));
    if (scenario == Scenario::kReadBothRootsFailing || scenario == Scenario::kCloseAfterFailures)
      mkdir(machine_.c_str(), 0755);

    *stream = kor_evt_stream_alloc();
    kor_evt_set_stream_options(*stream, KOR_EVT_OPT_FLAT);
    kor_evt_set_filter(*stream, 0, kCategory);
    switch (scenario) {
      case Scenario::kReadCorruptMachine:
        return get(cfg_, "Name", kMachine | kOnly).result;
      case Scenario::kWriteToFolderRoot:
      case Scenario::kWriteAfterTheFileBroke:
      case Scenario::kUpgradeToWriteDenied:
        return kor_cfg_set_value(cfg_, "Name", kUser, "2", 1);
      case Scenario::kDeleteAfterTheFileBroke:
        return kor_cfg_set_value(cfg_, "Name", kUser, nullptr, 0);
      case Scenario::kCloseAfterFailures: {
        EXPECT_EQ(get(cfg_, "Name", kUser).result, KOR_CFG_E_FAILED);
        read_events(*stream);
        kor_cfg *closing = cfg_;
        cfg_ = nullptr;
        return kor_cfg_close(closing);
      }
      case Scenario::kReadFromNoSource:
        return get(cfg_, "Name", 4).result;
      default:
        return get(cfg_, "Name", kUser).result;
    }
  }

  kor_cfg *cfg_ = nullptr;
};

TEST_P(EventTest, FailureRaisesItsCauseOperationAndOutcome) {
  const EventRow &row = GetParam();
  uint32_t stream = 0;
  EXPECT_EQ(run(row.scenario, &stream), row.result);
  EXPECT_EQ(read_events(stream), row.events);
  EXPECT_EQ(nesting_depth(), 0u);
  if (cfg_ != nullptr) {
    EXPECT_EQ(kor_cfg_close(cfg_), KOR_OK);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, EventTest, ::testing::ValuesIn(kEventRows));

// Operations that succeed, or find nothing, raise no event.
TEST_F(EventTest, SuccessRaisesNothing) {
  const uint32_t stream = kor_evt_stream_alloc();
  kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT);
  kor_evt_set_filter(stream, 0, kCategory);
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(get(cfg, "Name", kUser).found, KOR_CFG_SRC_NONE);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Name", kUser, nullptr, 0), KOR_CFG_E_NOT_FOUND);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Name", kUser, "1", 1), KOR_OK);
  EXPECT_EQ(get(cfg, "Name", kUser).value, "1");
  EXPECT_EQ(kor_cfg_is_writeable(cfg, kMachine), 1u);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Name", kUser, nullptr, 0), KOR_OK);
  EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
  EXPECT_TRUE(read_events(stream).empty());
}

// In the store's own category nothing is ever recorded, whatever the filters.
TEST_F(CfgTest, EventsAreNeverRecordedInTheStoresCategory) {
  const uint32_t stream = kor_evt_stream_alloc();
  kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT);
  for (int32_t level = 0; level < 4; ++level) kor_evt_set_filter(stream, level, 0x7FFFFFFF);
  write_file(user_, product_file("garbage\n"));
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(get(cfg, "Name", kUser).result, KOR_CFG_E_FAILED);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Name", kUser, "1", 1), KOR_CFG_E_FAILED);
  kor_cfg_close(cfg);
  EXPECT_EQ(kor_evt_get_event(stream), nullptr);
  EXPECT_EQ(nesting_depth(), 0u);
}

}  // namespace
}  // namespace lyrdua::test
