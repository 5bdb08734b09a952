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

#define NET_KEY "[" KOR_CFG_KEY_PATH "\\Net]\n"
#define DEFAULT_PATH "\n" KOR_CFG_KEY_PATH "\\"
#define TEN_FILE "REGEDIT4\n" PRODUCT_KEY "\"Ten\"=\"0123456789\"\n"

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
    {"all three, from the user", kUserServer, kMachineServer, kDefaultServer, nullptr, "Server",
     kUser, 64, KOR_OK, kUser, 12, "user.example"},
    // Starting further on skips the sources before.
    {"all three, from the machine", kUserServer, kMachineServer, kDefaultServer, nullptr, "Server",
     kMachine, 64, KOR_OK, kMachine, 15, "machine.example"},
    {"machine only, search from the user", nullptr, kMachineServer, nullptr, nullptr, "Server",
     kUser, 64, KOR_OK, kMachine, 15, "machine.example"},
    // A source alone does not look further.
    {"machine only, the user alone", nullptr, kMachineServer, nullptr, nullptr, "Server",
     kUser | kOnly, 64, KOR_OK, kNone, 0, ""},
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
    {"the first of two default entries counts", nullptr, nullptr,
     DEFAULT_PATH "Mode: first\n" DEFAULT_PATH "Mode: second\n", nullptr, "Mode", kUser, 64, KOR_OK,
     kDefault, 5, "first"},
    // Default entries are matched byte for byte, unlike registry names.
    {"default text is case-sensitive", nullptr, nullptr, DEFAULT_PATH "mode: x\n", nullptr, "Mode",
     kUser, 64, KOR_OK, kNone, 0, ""},
    {"default entry with an empty value", nullptr, nullptr, DEFAULT_PATH "Mode:\n", nullptr, "Mode",
     kUser, 64, KOR_OK, kNone, 0, ""},
    // The NUL must fit: a buffer of exactly the length is one short; the size needed is given.
    {"registry, buffer of the length", TEN_FILE, nullptr, nullptr, nullptr, "Ten", kUser, 10,
     KOR_CFG_E_BUFFER, kUser, 11, nullptr},
    {"registry, buffer of the length plus one", TEN_FILE, nullptr, nullptr, nullptr, "Ten", kUser,
     11, KOR_OK, kUser, 10, "0123456789"},
    {"default text, buffer of the length", nullptr, nullptr, DEFAULT_PATH "Ten: 0123456789\n",
     nullptr, "Ten", kUser, 10, KOR_CFG_E_BUFFER, kDefault, 11, nullptr},
    {"default text, buffer of the length plus one", nullptr, nullptr,
     DEFAULT_PATH "Ten: 0123456789\n", nullptr, "Ten", kUser, 11, KOR_OK, kDefault, 10,
     "0123456789"},
    // Without a buffer the capacity counts as 0: the read gives the size needed.
    {"no buffer, registry", kUserServer, nullptr, nullptr, nullptr, "Server", kUser, kNoBuffer,
     KOR_CFG_E_BUFFER, kUser, 13, nullptr},
    {"no buffer, default text", nullptr, nullptr, DEFAULT_PATH "Mode: abcde\n", nullptr, "Mode",
     kUser, kNoBuffer, KOR_CFG_E_BUFFER, kDefault, 6, nullptr},
    {"no buffer, nowhere", nullptr, nullptr, nullptr, nullptr, "Server", kUser, kNoBuffer, KOR_OK,
     kNone, 0, ""},
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
    {"subkey handle in the default text", nullptr, nullptr,
     DEFAULT_PATH "Port: 1\n" DEFAULT_PATH "Net\\Port: 2\n", "Net", "Port", kUser, 64, KOR_OK,
     kDefault, 1, "2"},
    // A source outside 1, 2 and 8 reads nothing and fails; the length keeps the size given.
    {"two sources at once", kUserServer, nullptr, nullptr, nullptr, "Server", 3, 64,
     KOR_CFG_E_FAILED, kNone, 64, nullptr},
    {"the alone bit without a source", kUserServer, nullptr, nullptr, nullptr, "Server", kOnly, 64,
     KOR_CFG_E_FAILED, kNone, 64, nullptr},
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

TEST_F(CfgTest, LengthZeroDeletesTheValue) {
  ASSERT_EQ(set_fresh("Server", kUser, "x"), KOR_OK);
  ASSERT_EQ(set_fresh("Other", kUser, "y"), KOR_OK);
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, "ignored", 0), KOR_OK);
  EXPECT_EQ(get(cfg, "Server", kUser).found, kNone);
  EXPECT_EQ(get(cfg, "Other", kUser).value, "y");
  // A second deletion finds nothing to delete.
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, nullptr, 0), KOR_CFG_E_NOT_FOUND);
  // A deletion does not create the key: without it there is nothing to delete.
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kMachine, nullptr, 0), KOR_CFG_E_NOT_FOUND);
  EXPECT_FALSE(exists(machine_));
  write_file(machine_, "REGEDIT4\n[Elsewhere]\n");
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kMachine, nullptr, 0), KOR_CFG_E_NOT_FOUND);
  EXPECT_EQ(slurp(machine_), "REGEDIT4\n[Elsewhere]\n");
  EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
  EXPECT_EQ(nesting_depth(), 0u);
}

// Only the user and the machine can be written; the alone bit means nothing to a
// write, and other sources write nothing and succeed.
TEST_F(CfgTest, WritesTheNamedRootOnly) {
  const struct {
    const char *subkey;
    uint32_t source;
    const std::string *file;  // the root that gets the key and the value, or null
  } rows[] = {
      {nullptr, kUser, &user_},              // the product key
      {"Sub", kMachine | kOnly, &machine_},  // a subkey
      {"Sub", kDefault, nullptr},            // the default text cannot be written
      {"Sub", 3, nullptr},                   // two sources at once
  };
  for (const auto &row : rows) {
    remove(user_.c_str());
    remove(machine_.c_str());
    kor_cfg *cfg = kor_cfg_open(row.subkey);
    // Asking creates the key.
    EXPECT_EQ(kor_cfg_is_writeable(cfg, row.source), row.file != nullptr ? 1u : 0u);
    const std::string key = row.subkey != nullptr ? std::string("\\") + row.subkey : "";
    if (row.file != nullptr) {
      EXPECT_EQ(slurp(*row.file), "REGEDIT4\n\n[" KOR_CFG_KEY_PATH + key + "]\n");
    }
    EXPECT_EQ(set(cfg, "Server", row.source, "written"), KOR_OK);
    const Read read = get(cfg, "Server", row.source | kOnly);
    EXPECT_EQ(read.found, row.file != nullptr ? row.source & ~kOnly : kNone);
    if (row.file != nullptr) {
      EXPECT_EQ(read.value, "written");
    }
    EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
    EXPECT_EQ(exists(user_), row.file == &user_) << row.source;
    EXPECT_EQ(exists(machine_), row.file == &machine_) << row.source;
    EXPECT_EQ(nesting_depth(), 0u);
  }
}

// A handle opens its key for reading on the first read and reopens it for
// writing on the first write; reads go on working through the write key.
TEST_F(CfgTest, OneHandleReadsWritesAndReadsAgain) {
  write_file(user_, kUserServer);
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(get(cfg, "Server", kUser).value, "user.example");
  // The length counts the characters to store; what follows them is not read.
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, "second!", 6), KOR_OK);
  EXPECT_EQ(get(cfg, "Server", kUser).value, "second");
  EXPECT_EQ(kor_cfg_is_writeable(cfg, kUser), 1u);
  EXPECT_EQ(set(cfg, "Server", kUser, "third"), KOR_OK);
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
  std::string text = slurp(user_);
  text.replace(text.find("changed"), 7, "CHANGED");
  std::ofstream(user_, std::ios::binary | std::ios::in | std::ios::out) << text;
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
  const uint32_t kFailed = KOR_CFG_E_FAILED;
  EXPECT_EQ(kor_cfg_get_value(nullptr, "Server", kUser, &found, buffer, &length), kFailed);
  EXPECT_EQ(kor_cfg_get_value(cfg, nullptr, kUser, &found, buffer, &length), kFailed);
  EXPECT_EQ(kor_cfg_get_value(cfg, "Server", kUser, nullptr, buffer, &length), kFailed);
  EXPECT_EQ(kor_cfg_get_value(cfg, "Server", kUser, &found, buffer, nullptr), kFailed);
  EXPECT_EQ(found, 7u);
  EXPECT_EQ(length, sizeof buffer);
  EXPECT_EQ(kor_cfg_set_value(nullptr, "Server", kUser, "x", 1), kFailed);
  EXPECT_EQ(kor_cfg_set_value(cfg, nullptr, kUser, "x", 1), kFailed);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, nullptr, 1), kFailed);
  EXPECT_EQ(kor_cfg_is_writeable(nullptr, kUser), 0u);
  EXPECT_EQ(kor_cfg_close(nullptr), KOR_OK);
  EXPECT_FALSE(exists(user_));
  EXPECT_EQ(nesting_depth(), 0u);
  kor_cfg_close(cfg);
}

}  // namespace
}  // namespace lyrdua::test
