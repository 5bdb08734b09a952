// Roots that cannot be read or written: each operation's code, and the
// nesting levels it opened closed again.
//
// The unwritable root is a path whose folder is in fact a regular file, and a
// root file that is a folder: both fail for the superuser too, which a
// read-only file would not (the tests run as root in CI).
#include <gtest/gtest.h>
#include <lyrdua/kor_cfg.h>
#include <lyrdua/kor_evt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/cfg/cfg_test_support.hpp"

namespace lyrdua::test {
namespace {

constexpr uint32_t kUser = KOR_CFG_SRC_USER;
constexpr uint32_t kMachine = KOR_CFG_SRC_MACHINE;
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

enum class Operation { kRead, kWrite, kDelete, kIsWriteable };

struct FailureRow {
  const char *about;
  Root root;
  Operation operation;
  uint32_t result;  // of the operation; for kIsWriteable, its answer
};

const FailureRow kFailures[] = {
    // A root that cannot exist holds nothing to read or delete, and cannot be written.
    {"folder is a file: read", Root::kFolderIsAFile, Operation::kRead, KOR_OK},
    {"folder is a file: write", Root::kFolderIsAFile, Operation::kWrite, kFailed},
    {"folder is a file: delete", Root::kFolderIsAFile, Operation::kDelete, kNotFound},
    {"folder is a file: is writeable", Root::kFolderIsAFile, Operation::kIsWriteable, 0},
    // A folder where the file should be can be neither read nor written.
    {"root is a folder: read", Root::kRootIsAFolder, Operation::kRead, kFailed},
    {"root is a folder: write", Root::kRootIsAFolder, Operation::kWrite, kFailed},
    {"root is a folder: delete", Root::kRootIsAFolder, Operation::kDelete, kFailed},
    {"root is a folder: is writeable", Root::kRootIsAFolder, Operation::kIsWriteable, 0},
    // Missing folders are an empty root; a write creates them.
    {"missing folders: read", Root::kMissingFolders, Operation::kRead, KOR_OK},
    {"missing folders: write", Root::kMissingFolders, Operation::kWrite, KOR_OK},
    {"missing folders: delete", Root::kMissingFolders, Operation::kDelete, kNotFound},
    {"missing folders: is writeable", Root::kMissingFolders, Operation::kIsWriteable, 1},
    {"corrupt: read", Root::kCorrupt, Operation::kRead, kFailed},
    {"corrupt: write", Root::kCorrupt, Operation::kWrite, kFailed},
    {"corrupt: delete", Root::kCorrupt, Operation::kDelete, kFailed},
    {"corrupt: is writeable", Root::kCorrupt, Operation::kIsWriteable, 0},
    // An empty subkey makes a key path with an empty part, which no root accepts.
    {"empty subkey: read", Root::kBadSubkey, Operation::kRead, kFailed},
    {"empty subkey: write", Root::kBadSubkey, Operation::kWrite, kFailed},
    {"empty subkey: delete", Root::kBadSubkey, Operation::kDelete, kFailed},
    {"empty subkey: is writeable", Root::kBadSubkey, Operation::kIsWriteable, 0},
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

  uint32_t run(kor_cfg *cfg, Operation operation) {
    switch (operation) {
      case Operation::kRead: {
        const Read read = get(cfg, "A", kUser | KOR_CFG_SRC_ONLY);
        EXPECT_EQ(read.found, KOR_CFG_SRC_NONE);
        EXPECT_EQ(read.length, 0u);
        return read.result;
      }
      case Operation::kWrite:
        return kor_cfg_set_value(cfg, "A", kUser, "v", 1);
      case Operation::kDelete:
        return kor_cfg_set_value(cfg, "A", kUser, nullptr, 0);
      case Operation::kIsWriteable:
        return kor_cfg_is_writeable(cfg, kUser);
    }
    return 0xFFFFFFFFu;
  }
};

TEST_P(FailureTest, OperationGivesItsCodeAndClosesItsLevels) {
  const FailureRow &row = GetParam();
  const char *subkey = break_user_root(row.root);
  const std::string file_before = read_file(user_);
  kor_cfg *cfg = kor_cfg_open(subkey);
  ASSERT_NE(cfg, nullptr);
  // Inside a level of the caller's own, the operation's levels come and go.
  kor_evt_push();
  EXPECT_EQ(run(cfg, row.operation), row.result);
  EXPECT_EQ(nesting_depth(), 1u);
  kor_evt_pop();
  EXPECT_EQ(run(cfg, row.operation), row.result) << "second time, same handle";
  EXPECT_EQ(nesting_depth(), 0u);
  EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
  EXPECT_EQ(nesting_depth(), 0u);
  if (row.root == Root::kCorrupt) {
    EXPECT_EQ(read_file(user_), file_before);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, FailureTest, ::testing::ValuesIn(kFailures));

// A root that fails does not stop the search, but fails the read.
TEST_F(CfgTest, FailingUserRootFailsAReadThatTheMachineAnswers) {
  write_file(user_, product_file("garbage\n"));
  write_file(machine_, product_file("\"A\"=\"machine\"\n"));
  kor_cfg *cfg = kor_cfg_open(nullptr);
  char buffer[32];
  uint32_t found = 0;
  uint32_t length = sizeof buffer;
  EXPECT_EQ(kor_cfg_get_value(cfg, "A", kUser, &found, buffer, &length), kFailed);
  EXPECT_EQ(found, kMachine);
  EXPECT_EQ(length, 7u);
  EXPECT_EQ(std::string(buffer, length), "machine");
  // The machine alone reads cleanly.
  const Read alone = get(cfg, "A", kMachine);
  EXPECT_EQ(alone.result, KOR_OK);
  EXPECT_EQ(alone.value, "machine");
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
  EXPECT_EQ(get(cfg, "A", kUser).value, "1");
  EXPECT_EQ(kor_cfg_is_writeable(cfg, kUser), 0u);
  EXPECT_EQ(kor_cfg_set_value(cfg, "A", kUser, "2", 1), kFailed);
  EXPECT_EQ(kor_cfg_set_value(cfg, "A", kUser, nullptr, 0), kFailed);
  EXPECT_EQ(get(cfg, "A", kUser).value, "1");
  kor_cfg_close(cfg);
}

}  // namespace
}  // namespace lyrdua::test
