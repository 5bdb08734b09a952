// The configuration store through its C API: the search order, the sources
// alone, the default text, buffers, writes, deletes and key states.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <lyrdua/kor_cfg.h>
#include <sys/stat.h>

#include <string>

#include "tests/cfg/cfg_test_support.hpp"

namespace lyrdua::test {
namespace {

#define PRODUCT_KEY "[Software\\Quorvane\\Tessel Directory\\CurrentVersion]\n"
#define NET_KEY "[Software\\Quorvane\\Tessel Directory\\CurrentVersion\\Net]\n"
#define DEFAULT_PATH "\nSoftware\\Quorvane\\Tessel Directory\\CurrentVersion\\"

constexpr uint32_t kUser = KOR_CFG_SRC_USER;
constexpr uint32_t kMachine = KOR_CFG_SRC_MACHINE;
constexpr uint32_t kDefault = KOR_CFG_SRC_DEFAULT;
constexpr uint32_t kOnly = KOR_CFG_SRC_ONLY;
constexpr uint32_t kNone = KOR_CFG_SRC_NONE;

const char kUserServer[] = "REGEDIT4\n\n" PRODUCT_KEY "\"Server\"=\"user.example\"\n";
const char kMachineServer[] = "REGEDIT4\n\n" PRODUCT_KEY "\"Server\"=\"machine.example\"\n";
const char kDefaultServer[] = DEFAULT_PATH "Server: default.example\n";

struct ReadRow {
  const char *about;
  const char *user;      // the user root's file, or null for none
  const char *machine;   // the machine root's file, or null for none
  const char *defaults;  // the registered default text, or null
  const char *subkey;
  const char *name;
  uint32_t source;
  uint32_t capacity;
  uint32_t result;
  uint32_t found;
  uint32_t length;
  const char *value;  // checked when the result is 0
};

const ReadRow kReads[] = {
    // The current user overrides the machine, which overrides the default text.
    {"both roots, from the user", kUserServer, kMachineServer, kDefaultServer, nullptr, "Server",
     kUser, 64, KOR_OK, kUser, 12, "user.example"},
    // Starting at the machine skips the user.
    {"both roots, from the machine", kUserServer, kMachineServer, kDefaultServer, nullptr, "Server",
     kMachine, 64, KOR_OK, kMachine, 15, "machine.example"},
    // Starting at the default text skips both roots.
    {"both roots, from the default text", kUserServer, kMachineServer, kDefaultServer, nullptr,
     "Server", kDefault, 64, KOR_OK, kDefault, 15, "default.example"},
    // A value only the machine holds is found from the user on.
    {"machine only, search from the user", nullptr, kMachineServer, nullptr, nullptr, "Server",
     kUser, 64, KOR_OK, kMachine, 15, "machine.example"},
    // The user alone does not look further.
    {"machine only, the user alone", nullptr, kMachineServer, nullptr, nullptr, "Server",
     kUser | kOnly, 64, KOR_OK, kNone, 0, ""},
    {"user only, the machine alone", kUserServer, nullptr, nullptr, nullptr, "Server",
     kMachine | kOnly, 64, KOR_OK, kNone, 0, ""},
    {"the default text alone though the user holds it", kUserServer, nullptr, kDefaultServer,
     nullptr, "Server", kDefault | kOnly, 64, KOR_OK, kDefault, 15, "default.example"},
    // The blank and the tab after the colon are not part of the value.
    {"default text only, blanks skipped", nullptr, nullptr, DEFAULT_PATH "Mode: \tabcde\n", nullptr,
     "Mode", kUser, 64, KOR_OK, kDefault, 5, "abcde"},
    // The newline ends an entry, so an entry without one is not found.
    {"default entry without a final newline", nullptr, nullptr, DEFAULT_PATH "Mode: abcde", nullptr,
     "Mode", kUser, 64, KOR_OK, kNone, 0, ""},
    {"default entry without a colon", nullptr, nullptr, DEFAULT_PATH "Mode abcde\n", nullptr,
     "Mode", kUser, 64, KOR_OK, kNone, 0, ""},
    // The first of two entries counts.
    {"default text with two entries of a name", nullptr, nullptr,
     DEFAULT_PATH "Mode: first\n" DEFAULT_PATH "Mode: second\n", nullptr, "Mode", kUser, 64, KOR_OK,
     kDefault, 5, "first"},
    // Default entries are matched byte for byte, unlike registry names.
    {"default text is case-sensitive", nullptr, nullptr, DEFAULT_PATH "mode: x\n", nullptr, "Mode",
     kUser, 64, KOR_OK, kNone, 0, ""},
    {"default entry with an empty value", nullptr, nullptr, DEFAULT_PATH "Mode:\n", nullptr, "Mode",
     kUser, 64, KOR_OK, kNone, 0, ""},
    {"nothing anywhere", nullptr, nullptr, nullptr, nullptr, "Server", kUser, 64, KOR_OK, kNone, 0,
     ""},
    // A 10-character value needs 11 bytes.
    {"small buffer, user root", "REGEDIT4\n" PRODUCT_KEY "\"Ten\"=\"0123456789\"\n", nullptr,
     nullptr, nullptr, "Ten", kUser, 4, KOR_CFG_E_BUFFER, kUser, 11, nullptr},
    {"small buffer, machine root", nullptr, "REGEDIT4\n" PRODUCT_KEY "\"Ten\"=\"0123456789\"\n",
     nullptr, nullptr, "Ten", kUser, 4, KOR_CFG_E_BUFFER, kMachine, 11, nullptr},
    {"small buffer, default text", nullptr, nullptr, DEFAULT_PATH "Ten: 0123456789\n", nullptr,
     "Ten", kUser, 4, KOR_CFG_E_BUFFER, kDefault, 11, nullptr},
    // The NUL must fit: a buffer of exactly the length is one short.
    {"buffer of the length", "REGEDIT4\n" PRODUCT_KEY "\"Ten\"=\"0123456789\"\n", nullptr, nullptr,
     nullptr, "Ten", kUser, 10, KOR_CFG_E_BUFFER, kUser, 11, nullptr},
    {"buffer of the length plus one", "REGEDIT4\n" PRODUCT_KEY "\"Ten\"=\"0123456789\"\n", nullptr,
     nullptr, nullptr, "Ten", kUser, 11, KOR_OK, kUser, 10, "0123456789"},
    {"default buffer of the length plus one", nullptr, nullptr, DEFAULT_PATH "Ten: 0123456789\n",
     nullptr, "Ten", kUser, 11, KOR_OK, kDefault, 10, "0123456789"},
    // An empty string counts as absent, so the machine answers.
    {"empty value under the user", "REGEDIT4\n" PRODUCT_KEY "\"Server\"=\"\"\n", kMachineServer,
     nullptr, nullptr, "Server", kUser, 64, KOR_OK, kMachine, 15, "machine.example"},
    // Registry names and key paths compare without regard to ASCII case.
    {"value name in another case", "REGEDIT4\n" PRODUCT_KEY "\"SERVER\"=\"upper\"\n", nullptr,
     nullptr, nullptr, "server", kUser, 64, KOR_OK, kUser, 5, "upper"},
    {"key path in another case",
     "REGEDIT4\n[SOFTWARE\\quorvane\\TESSEL DIRECTORY\\currentversion]\n\"Server\"=\"x\"\n",
     nullptr, nullptr, nullptr, "Server", kUser, 64, KOR_OK, kUser, 1, "x"},
    // A handle with a subkey reads that key, in the roots and in the default text.
    {"subkey handle, value in the subkey", "REGEDIT4\n" NET_KEY "\"Port\"=\"389\"\n", nullptr,
     nullptr, "Net", "Port", kUser, 64, KOR_OK, kUser, 3, "389"},
    {"product handle does not see the subkey", "REGEDIT4\n" NET_KEY "\"Port\"=\"389\"\n", nullptr,
     nullptr, nullptr, "Port", kUser, 64, KOR_OK, kNone, 0, ""},
    {"subkey handle does not see the product key", kUserServer, nullptr, nullptr, "Net", "Server",
     kUser, 64, KOR_OK, kNone, 0, ""},
    {"subkey handle in the default text", nullptr, nullptr,
     DEFAULT_PATH "Port: 1\n" DEFAULT_PATH "Net\\Port: 2\n", "Net", "Port", kUser, 64, KOR_OK,
     kDefault, 1, "2"},
    // A source outside 1, 2 and 8 reads nothing and fails; the length keeps the size given.
    {"source 0", kUserServer, nullptr, nullptr, nullptr, "Server", 0, 64, KOR_CFG_E_FAILED, kNone,
     64, nullptr},
    {"source 4", kUserServer, nullptr, nullptr, nullptr, "Server", 4, 64, KOR_CFG_E_FAILED, kNone,
     64, nullptr},
    {"source 3", kUserServer, nullptr, nullptr, nullptr, "Server", 3, 64, KOR_CFG_E_FAILED, kNone,
     64, nullptr},
    {"the alone bit without a source", kUserServer, nullptr, nullptr, nullptr, "Server", kOnly, 64,
     KOR_CFG_E_FAILED, kNone, 64, nullptr},
    {"source 32", kUserServer, nullptr, nullptr, nullptr, "Server", kNone, 64, KOR_CFG_E_FAILED,
     kNone, 64, nullptr},
};

class CfgReadTest : public CfgTest, public ::testing::WithParamInterface<ReadRow> {};

TEST_P(CfgReadTest, ReadsTheFirstSourceThatHoldsTheValue) {
  const ReadRow &row = GetParam();
  if (row.user != nullptr) write_file(user_, row.user);
  if (row.machine != nullptr) write_file(machine_, row.machine);
  kor_cfg_set_default(row.defaults);
  kor_cfg *cfg = kor_cfg_open(row.subkey);
  ASSERT_NE(cfg, nullptr);
  const Read read = get(cfg, row.name, row.source, row.capacity);
  EXPECT_EQ(read.result, row.result);
  EXPECT_EQ(read.found, row.found);
  EXPECT_EQ(read.length, row.length);
  if (row.result == KOR_OK) {
    EXPECT_EQ(read.value, row.value);
  }
  EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
  EXPECT_EQ(nesting_depth(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, CfgReadTest, ::testing::ValuesIn(kReads));

TEST_F(CfgTest, ReadStartsWithAnEmptyBufferAndNoSource) {
  kor_cfg *cfg = kor_cfg_open(nullptr);
  char buffer[8] = "garbage";
  uint32_t found = 99;
  uint32_t length = sizeof buffer;
  EXPECT_EQ(kor_cfg_get_value(cfg, "Absent", kUser, &found, buffer, &length), KOR_OK);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(found, kNone);
  EXPECT_EQ(length, 0u);
  kor_cfg_close(cfg);
}

// Without a buffer the capacity counts as 0: the read gives the size needed.
TEST_F(CfgTest, ReadWithoutBufferGivesTheSizeNeeded) {
  write_file(user_, kUserServer);
  kor_cfg_set_default(DEFAULT_PATH "Mode: abcde\n");
  kor_cfg *cfg = kor_cfg_open(nullptr);
  struct {
    const char *name;
    uint32_t size;
    uint32_t found;
  } const rows[] = {
      {"Server", 13, kUser},  // from the registry
      {"Mode", 6, kDefault},  // from the default text
      {"Absent", 0, kNone},   // nowhere
  };
  for (const auto &row : rows) {
    uint32_t found = 0;
    uint32_t length = 100;
    const uint32_t result = kor_cfg_get_value(cfg, row.name, kUser, &found, nullptr, &length);
    EXPECT_EQ(result, row.size != 0 ? KOR_CFG_E_BUFFER : KOR_OK) << row.name;
    EXPECT_EQ(length, row.size) << row.name;
    EXPECT_EQ(found, row.found) << row.name;
  }
  kor_cfg_close(cfg);
}

struct WriteRow {
  const char *about;
  uint32_t source;        // given to kor_cfg_set_value
  uint32_t written_root;  // the root that then holds the value, or 0 for none
};

const WriteRow kWrites[] = {
    {"user", kUser, kUser},
    {"machine", kMachine, kMachine},
    // The alone bit means nothing to a write.
    {"user with the alone bit", kUser | kOnly, kUser},
    {"machine with the alone bit", kMachine | kOnly, kMachine},
    // Other sources write nothing and succeed.
    {"default text", kDefault, 0},
    {"source 0", 0, 0},
    {"source 4", 4, 0},
    {"source 3", 3, 0},
};

class CfgWriteTest : public CfgTest, public ::testing::WithParamInterface<WriteRow> {};

TEST_P(CfgWriteTest, WritesTheNamedRootOnly) {
  const WriteRow &row = GetParam();
  EXPECT_EQ(set_fresh("Server", row.source, "written"), KOR_OK);
  EXPECT_EQ(exists(user_), row.written_root == kUser);
  EXPECT_EQ(exists(machine_), row.written_root == kMachine);
  if (row.written_root != 0) {
    const Read read = get_fresh("Server", row.written_root | kOnly);
    EXPECT_EQ(read.result, KOR_OK);
    EXPECT_EQ(read.found, row.written_root);
    EXPECT_EQ(read.value, "written");
  }
  EXPECT_EQ(nesting_depth(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, CfgWriteTest, ::testing::ValuesIn(kWrites));

TEST_F(CfgTest, LengthZeroDeletesTheValue) {
  ASSERT_EQ(set_fresh("Server", kUser, "x"), KOR_OK);
  ASSERT_EQ(set_fresh("Other", kUser, "y"), KOR_OK);
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, "ignored", 0), KOR_OK);
  EXPECT_EQ(get(cfg, "Server", kUser).found, kNone);
  EXPECT_EQ(get(cfg, "Other", kUser).value, "y");
  // A second deletion finds nothing to delete.
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, nullptr, 0), KOR_CFG_E_NOT_FOUND);
  EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
  EXPECT_EQ(nesting_depth(), 0u);
}

// A deletion does not create the key: without a root file there is nothing to delete.
TEST_F(CfgTest, DeletingInAnEmptyRootCreatesNothing) {
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kMachine, nullptr, 0), KOR_CFG_E_NOT_FOUND);
  EXPECT_FALSE(exists(machine_));
  write_file(machine_, "REGEDIT4\n[Elsewhere]\n");
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kMachine, nullptr, 0), KOR_CFG_E_NOT_FOUND);
  EXPECT_EQ(read_file(machine_), "REGEDIT4\n[Elsewhere]\n");
  kor_cfg_close(cfg);
}

// The length counts the characters to store; what follows them is not read.
TEST_F(CfgTest, WriteStoresExactlyTheLengthGiven) {
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, "abcdef", 3), KOR_OK);
  EXPECT_EQ(get(cfg, "Server", kUser).value, "abc");
  kor_cfg_close(cfg);
}

TEST_F(CfgTest, IsWriteableCreatesTheKey) {
  struct {
    const char *about;
    uint32_t source;
    uint32_t answer;
    const std::string *file;  // the root that gets the key, or null
  } const rows[] = {
      {"user", kUser, 1, &user_},
      {"machine with the alone bit", kMachine | kOnly, 1, &machine_},
      {"the default text cannot be written", kDefault, 0, nullptr},
      {"source 4", 4, 0, nullptr},
  };
  for (const auto &row : rows) {
    remove(user_.c_str());
    remove(machine_.c_str());
    kor_cfg *cfg = kor_cfg_open("Sub");
    EXPECT_EQ(kor_cfg_is_writeable(cfg, row.source), row.answer) << row.about;
    EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
    EXPECT_EQ(exists(user_), row.file == &user_) << row.about;
    EXPECT_EQ(exists(machine_), row.file == &machine_) << row.about;
    if (row.file != nullptr) {
      EXPECT_EQ(read_file(*row.file),
                "REGEDIT4\n\n[Software\\Quorvane\\Tessel Directory\\CurrentVersion\\Sub]\n")
          << row.about;
    }
    EXPECT_EQ(nesting_depth(), 0u) << row.about;
  }
}

TEST_F(CfgTest, NullSubkeyIsTheProductKey) {
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(kor_cfg_is_writeable(cfg, kUser), 1u);
  kor_cfg_close(cfg);
  EXPECT_EQ(read_file(user_), std::string("REGEDIT4\n\n") + kProductKey + "\n");
}

// A handle opens its key for reading on the first read and reopens it for
// writing on the first write; reads go on working through the write key.
TEST_F(CfgTest, OneHandleReadsWritesAndReadsAgain) {
  write_file(user_, kUserServer);
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(get(cfg, "Server", kUser).value, "user.example");
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, "second", 6), KOR_OK);
  EXPECT_EQ(get(cfg, "Server", kUser).value, "second");
  EXPECT_EQ(kor_cfg_is_writeable(cfg, kUser), 1u);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, "third", 5), KOR_OK);
  EXPECT_EQ(get(cfg, "Server", kUser).value, "third");
  EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
}

// An open handle sees what another handle (or another process) wrote since.
TEST_F(CfgTest, OpenHandleSeesLaterChanges) {
  write_file(user_, kUserServer);
  kor_cfg *reader = kor_cfg_open(nullptr);
  EXPECT_EQ(get(reader, "Server", kUser).value, "user.example");
  EXPECT_EQ(set_fresh("Server", kUser, "changed"), KOR_OK);
  EXPECT_EQ(get(reader, "Server", kUser).value, "changed");
  // An edit by hand in place, same size, is seen too.
  std::string text = read_file(user_);
  text.replace(text.find("changed"), 7, "CHANGED");
  {
    std::ofstream in_place(user_, std::ios::binary | std::ios::in | std::ios::out);
    in_place << text;
  }
  // File times are coarse: make the edit visibly later than the write before it.
  struct stat status;
  ASSERT_EQ(stat(user_.c_str(), &status), 0);
  struct timespec later[2] = {{0, UTIME_OMIT}, status.st_mtim};
  later[1].tv_sec += 1;
  ASSERT_EQ(utimensat(AT_FDCWD, user_.c_str(), later, 0), 0);
  EXPECT_EQ(get(reader, "Server", kUser).value, "CHANGED");
  EXPECT_EQ(set_fresh("Server", kUser, ""), KOR_OK);
  EXPECT_EQ(get(reader, "Server", kUser).found, kNone);
  kor_cfg_close(reader);
}

TEST_F(CfgTest, DefaultTextIsReplacedAndUnregistered) {
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(kor_cfg_set_default(DEFAULT_PATH "Mode: one\n"), KOR_OK);
  EXPECT_EQ(get(cfg, "Mode", kUser).value, "one");
  EXPECT_EQ(kor_cfg_set_default(DEFAULT_PATH "Mode: two\n"), KOR_OK);
  EXPECT_EQ(get(cfg, "Mode", kUser).value, "two");
  EXPECT_EQ(kor_cfg_set_default(nullptr), KOR_OK);
  EXPECT_EQ(get(cfg, "Mode", kUser).found, kNone);
  kor_cfg_close(cfg);
}

// Calls without a handle, a name or an output fail as a whole and touch nothing.
TEST_F(CfgTest, MissingArgumentsFail) {
  kor_cfg *cfg = kor_cfg_open(nullptr);
  char buffer[8];
  uint32_t found = 7;
  uint32_t length = sizeof buffer;
  EXPECT_EQ(kor_cfg_get_value(nullptr, "Server", kUser, &found, buffer, &length), KOR_CFG_E_FAILED);
  EXPECT_EQ(kor_cfg_get_value(cfg, nullptr, kUser, &found, buffer, &length), KOR_CFG_E_FAILED);
  EXPECT_EQ(kor_cfg_get_value(cfg, "Server", kUser, nullptr, buffer, &length), KOR_CFG_E_FAILED);
  EXPECT_EQ(kor_cfg_get_value(cfg, "Server", kUser, &found, buffer, nullptr), KOR_CFG_E_FAILED);
  EXPECT_EQ(found, 7u);
  EXPECT_EQ(length, sizeof buffer);
  EXPECT_EQ(kor_cfg_set_value(nullptr, "Server", kUser, "x", 1), KOR_CFG_E_FAILED);
  EXPECT_EQ(kor_cfg_set_value(cfg, nullptr, kUser, "x", 1), KOR_CFG_E_FAILED);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, nullptr, 1), KOR_CFG_E_FAILED);
  EXPECT_EQ(kor_cfg_is_writeable(nullptr, kUser), 0u);
  EXPECT_EQ(kor_cfg_close(nullptr), KOR_OK);
  EXPECT_FALSE(exists(user_));
  EXPECT_EQ(nesting_depth(), 0u);
  kor_cfg_close(cfg);
}

}  // namespace
}  // namespace lyrdua::test
