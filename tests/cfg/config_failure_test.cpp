// Roots that cannot be read or written: each operation's code, the nesting
// levels it opened closed again, and the events it raised: the cause, the
// operation event over it with the key text, and the outcome.
//
// The unwritable root is a path whose folder is in fact a regular file, and a
// root file that is a folder: both fail for the superuser too, which a
// read-only file would not (the tests run as root in CI). The store raises its
// events in category 0, which no stream selects; the event cases give it a
// category of their own to read them back.
#include <gtest/gtest.h>
#include <lyrdua/kor_cfg.h>
#include <lyrdua/kor_evt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <tuple>
#include <vector>

#include "cfg/config_events.hpp"
#include "tests/cfg/cfg_test_support.hpp"

namespace lyrdua::test {
namespace {

constexpr uint32_t kFailed = KOR_CFG_E_FAILED;
constexpr uint32_t kNotFound = KOR_CFG_E_NOT_FOUND;

// How the user root is broken.
enum class Root {
  kFolderIsAFile,   // the root file's folder is a regular file
  kRootIsAFolder,   // the root file is a folder
  kMissingFolders,  // the root file's folders do not exist yet
  kCorrupt,         // the root file does not parse
  kBadSubkey,       // the handle's key path has an empty part
};

struct FailureRow {
  const char *about;
  Root root;
  uint32_t read, write, erase, writeable;  // the results of each operation
};

const FailureRow kFailures[] = {
    // A root that cannot exist holds nothing to read or delete, and cannot be written.
    {"folder is a file", Root::kFolderIsAFile, KOR_OK, kFailed, kNotFound, 0},
    // A folder where the file should be can be neither read nor written.
    {"root is a folder", Root::kRootIsAFolder, kFailed, kFailed, kFailed, 0},
    // Missing folders are an empty root; a write creates them.
    {"missing folders", Root::kMissingFolders, KOR_OK, KOR_OK, kNotFound, 1},
    {"corrupt", Root::kCorrupt, kFailed, kFailed, kFailed, 0},
    // An empty subkey makes a key path with an empty part, which no root accepts.
    {"empty subkey", Root::kBadSubkey, kFailed, kFailed, kFailed, 0},
};

class FailureTest : public CfgTest, public ::testing::WithParamInterface<FailureRow> {
 protected:
  // Breaks the user root as the row says; the subkey of the handle to use.
  const char *break_user_root(Root root) {
    switch (root) {
      case Root::kFolderIsAFile:
        write_file(dir_ + "/plain", "not a folder\n");
        setenv("LYRDUA_REG_USER", (dir_ + "/plain/user.reg").c_str(), 1);
        break;
      case Root::kRootIsAFolder:
        mkdir(user_.c_str(), 0755);
        break;
      case Root::kMissingFolders:
        setenv("LYRDUA_REG_USER", (dir_ + "/a/b/user.reg").c_str(), 1);
        break;
      case Root::kCorrupt:
        write_file(user_, product_file("\"A\"=\"unclosed\n"));
        break;
      case Root::kBadSubkey:
        return "";
    }
    return nullptr;
  }
};

TEST_P(FailureTest, OperationGivesItsCodeAndClosesItsLevels) {
  const FailureRow &row = GetParam();
  const struct {
    Operation operation;
    uint32_t result;
  } operations[] = {{Operation::kRead, row.read},
                    {Operation::kWrite, row.write},
                    {Operation::kDelete, row.erase},
                    {Operation::kIsWriteable, row.writeable}};
  for (const auto &op : operations) {
    TearDown();
    SetUp();
    const char *subkey = break_user_root(row.root);
    kor_cfg *cfg = kor_cfg_open(subkey);
    ASSERT_NE(cfg, nullptr);
    // Inside a level of the caller's own, the operation's levels come and go.
    kor_evt_push();
    EXPECT_EQ(run_operation(cfg, op.operation, "A"), op.result);
    EXPECT_EQ(nesting_depth(), 1u);
    kor_evt_pop();
    EXPECT_EQ(run_operation(cfg, op.operation, "A"), op.result) << "second time, same handle";
    EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
    EXPECT_EQ(nesting_depth(), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, FailureTest, ::testing::ValuesIn(kFailures));

// A root that fails does not stop the search, but fails the read.
TEST_F(CfgTest, FailingUserRootFailsAReadThatTheMachineAnswers) {
  write_file(user_, product_file("garbage\n"));
  write_file(machine_, product_file("\"A\"=\"machine\"\n"));
  kor_cfg *cfg = kor_cfg_open(nullptr);
  const Read read = get(cfg, "A", kUser, 32);
  EXPECT_EQ(read.result, kFailed);
  EXPECT_EQ(read.found, kMachine);
  EXPECT_EQ(read.value, "machine");
  // The machine alone reads cleanly.
  EXPECT_EQ(get(cfg, "A", kMachine).value, "machine");
  kor_cfg_close(cfg);
  EXPECT_EQ(nesting_depth(), 0u);
}

// When the superuser runs the tests, a read-only file is still writable; the
// rows above cover unwritable roots for everyone.
TEST_F(CfgTest, ReadOnlyRootIsNotWriteable) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser writes read-only files";
  write_file(user_, product_file("\"A\"=\"1\"\n"));
  chmod(user_.c_str(), 0444);
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(kor_cfg_is_writeable(cfg, kUser), 0u);
  EXPECT_EQ(run_operation(cfg, Operation::kWrite, "A"), kFailed);
  EXPECT_EQ(run_operation(cfg, Operation::kDelete, "A"), kFailed);
  EXPECT_EQ(get(cfg, "A", kUser).value, "1");
  kor_cfg_close(cfg);
}

constexpr uint32_t kCategory = 0x1000;

#define USER_KEY KOR_CFG_KEY_PATH " (HKEY_CURRENT_USER) "
#define MACHINE_KEY KOR_CFG_KEY_PATH " (HKEY_LOCAL_MACHINE) "
#define USER_VALUE KOR_CFG_KEY_PATH "\\Name (HKEY_CURRENT_USER) "

// Code, level, flags and text of one event.
using Event = std::tuple<uint32_t, uint32_t, uint32_t, std::string>;

const Event kOutcome = {KOR_CFG_E_FAILED, 0, KOR_EVT_REC_TERMINATOR,
                        "The configuration operation failed."};
const Event kCorrupt = {KOR_CFG_E_CORRUPT, 2, 0, "The registry is corrupt."};
const Event kAccess = {KOR_CFG_E_ACCESS, 2, 0, "Access to the registry was denied."};
const Event kSystem161 = {KOR_CFG_E_SYSTEM, 2, 0, "The registry reported system error 161."};

Event open_read(const std::string &key) {
  return {KOR_CFG_E_OPEN_READ, 1, 0, "The registry key " + key + " cannot be opened for reading."};
}
const Event kReadValue = {KOR_CFG_E_READ_VALUE, 1, 0,
                          "The registry value " USER_VALUE " cannot be read."};
const Event kWriteValue = {KOR_CFG_E_WRITE_VALUE, 1, 0,
                           "The registry value " USER_VALUE " cannot be written or deleted."};
const Event kOpenWrite = {KOR_CFG_E_OPEN_WRITE, 1, 0,
                          "The registry key " USER_KEY " cannot be opened or created for writing."};

// The events of a failed operation: the given ones, then the outcome.
template <typename... Events>
std::vector<Event> failed(Events... events) {
  return {events..., kOutcome};
}

// What the handle does before the roots break, what breaks, and the operation then.
enum class Prime { kNothing, kRead, kOpenForWriting };
enum class Break { kNothing, kUserCorrupt, kUserFolder, kBothRoots };
enum class Action { kRead, kReadSource4, kWrite, kDelete, kCloseAfterFailedRead };

struct EventRow {
  const char *about;
  const char *subkey;
  Prime prime;
  Break broken;
  Action action;
  std::vector<Event> events;  // none: the operation succeeds
};

const EventRow kEventRows[] = {
    // Each root's failure is a tree of its own under the one outcome.
    {"read: both roots fail", nullptr, Prime::kNothing, Break::kBothRoots, Action::kRead,
     failed(kCorrupt, open_read(USER_KEY), kAccess, open_read(MACHINE_KEY))},
    // Any other error is given by its number.
    {"read: a key path with an empty part", "", Prime::kNothing, Break::kNothing, Action::kRead,
     failed(kSystem161, open_read(KOR_CFG_KEY_PATH "\\ (HKEY_CURRENT_USER) "), kSystem161,
            open_read(KOR_CFG_KEY_PATH "\\ (HKEY_LOCAL_MACHINE) "))},
    // Once the key is open, the failure is the value's, named with the key.
    {"read: the file broke after the key was opened", nullptr, Prime::kRead, Break::kUserCorrupt,
     Action::kRead, failed(kCorrupt, kReadValue)},
    {"write: the file broke after the key was opened", nullptr, Prime::kOpenForWriting,
     Break::kUserCorrupt, Action::kWrite, failed(kCorrupt, kWriteValue)},
    {"delete: the file broke after the key was opened", nullptr, Prime::kOpenForWriting,
     Break::kUserCorrupt, Action::kDelete, failed(kCorrupt, kWriteValue)},
    {"write: a read key cannot be reopened for writing", nullptr, Prime::kRead, Break::kUserFolder,
     Action::kWrite, failed(kAccess, kOpenWrite)},
    // Keys that never opened close without a word.
    {"close after failures", nullptr, Prime::kNothing, Break::kBothRoots,
     Action::kCloseAfterFailedRead, std::vector<Event>()},
    // A source outside the search order: the outcome alone.
    {"read from source 4", nullptr, Prime::kNothing, Break::kNothing, Action::kReadSource4,
     failed()},
};

std::vector<Event> read_events(uint32_t stream) {
  std::vector<Event> events;
  while (const kor_evt_record *r = kor_evt_get_event(stream)) {
    char *text = nullptr;
    uint32_t length = 0;
    kor_evt_get_text(stream, &text, &length);
    events.emplace_back(r->code, r->level, r->flags, std::string(text ? text : "", length));
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
};

TEST_P(EventTest, FailureRaisesItsCauseOperationAndOutcome) {
  const EventRow &row = GetParam();
  write_file(user_, product_file("\"Name\"=\"1\"\n"));
  kor_cfg *cfg = kor_cfg_open(row.subkey);
  if (row.prime == Prime::kRead) {
    EXPECT_EQ(get(cfg, "Name", kUser).value, "1");
  }
  if (row.prime == Prime::kOpenForWriting) {
    EXPECT_EQ(kor_cfg_is_writeable(cfg, kUser), 1u);
  }
  if (row.broken == Break::kUserFolder) {
    remove(user_.c_str());
    mkdir(user_.c_str(), 0755);
  } else if (row.broken != Break::kNothing) {
    write_file(user_, product_file("\"Name\"=\"1\n"));
  }
  if (row.broken == Break::kBothRoots) mkdir(machine_.c_str(), 0755);

  const uint32_t stream = open_stream(kCategory);
  uint32_t result = 0;
  switch (row.action) {
    case Action::kRead:
      result = get(cfg, "Name", kUser).result;
      break;
    case Action::kReadSource4:
      result = get(cfg, "Name", 4).result;
      break;
    case Action::kWrite:
      result = run_operation(cfg, Operation::kWrite, "Name");
      break;
    case Action::kDelete:
      result = run_operation(cfg, Operation::kDelete, "Name");
      break;
    case Action::kCloseAfterFailedRead:
      EXPECT_EQ(get(cfg, "Name", kUser).result, KOR_CFG_E_FAILED);
      read_events(stream);
      result = kor_cfg_close(cfg);
      cfg = nullptr;
      break;
  }
  EXPECT_EQ(result, row.events.empty() ? KOR_OK : KOR_CFG_E_FAILED);
  EXPECT_EQ(read_events(stream), row.events);
  EXPECT_EQ(nesting_depth(), 0u);
  if (cfg != nullptr) {
    EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, EventTest, ::testing::ValuesIn(kEventRows));

// Operations that succeed, or find nothing, raise no event.
TEST_F(EventTest, SuccessRaisesNothing) {
  const uint32_t stream = open_stream(kCategory);
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(get(cfg, "Name", kUser).found, kNone);
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
  const uint32_t stream = open_stream(0x7FFFFFFF);
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
