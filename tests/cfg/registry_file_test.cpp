// The registry's root files as people see them: what a write leaves in the
// file, values that survive a write and a read unchanged, files written by
// hand, edits that keep what was there, and files that do not parse.
#include <gtest/gtest.h>
#include <lyrdua/kor_cfg.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/cfg/cfg_test_support.hpp"

namespace lyrdua::test {
namespace {

struct RoundTripRow {
  const char *about;
  std::string name;
  std::string value;
  const char *line;  // the value's line in the file
};

const RoundTripRow kRoundTrips[] = {
    // Text without special characters, equals signs, brackets and blanks is written as it is.
    {"plain text", "Server", " ldap=a==b [k];c ", "\"Server\"=\" ldap=a==b [k];c \""},
    {"quotes", "Q", "say \"hi\"", "\"Q\"=\"say \\\"hi\\\"\""},
    {"backslashes", "Path", "C:\\Temp\\x\\", "\"Path\"=\"C:\\\\Temp\\\\x\\\\\""},
    {"a backslash before a quote", "BQ", "\\\"", "\"BQ\"=\"\\\\\\\"\""},
    // Bytes above 0x7F are written as they are: UTF-8 and Latin-1 alike.
    {"UTF-8 and Latin-1 bytes", "Name", "Zo\xC3\xAB \xE2\x82\xAC\xE9\xFF\x80",
     "\"Name\"=\"Zo\xC3\xAB \xE2\x82\xAC\xE9\xFF\x80\""},
    // Control bytes, NUL and DEL would break the line, so they are escaped.
    {"control bytes", "Ctl", std::string("a\nb\r\tc\0d\x7F", 9),
     "\"Ctl\"=\"a\\x0Ab\\x0D\\x09c\\x00d\\x7F\""},
    // Names are escaped the same way.
    {"a name with quotes, equals, a backslash and blanks", " a\"=\\y\xC3\xA4 ", "v",
     "\" a\\\"=\\\\y\xC3\xA4 \"=\"v\""},
    // The unnamed value is written as @.
    {"the unnamed value", "", "default", "@=\"default\""},
};

class RoundTripTest : public CfgTest, public ::testing::WithParamInterface<RoundTripRow> {};

TEST_P(RoundTripTest, ValueSurvivesWriteAndRead) {
  const RoundTripRow &row = GetParam();
  ASSERT_EQ(set_fresh(row.name.c_str(), kUser, row.value), KOR_OK);
  EXPECT_EQ(slurp(user_), product_file(std::string(row.line) + "\n"));
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(get(cfg, row.name.c_str(), kUser).value, row.value);
  kor_cfg_close(cfg);
  // Written a second time, it replaces its own line.
  ASSERT_EQ(set_fresh(row.name.c_str(), kUser, row.value), KOR_OK);
  EXPECT_EQ(slurp(user_), product_file(std::string(row.line) + "\n"));
}

INSTANTIATE_TEST_SUITE_P(Rows, RoundTripTest, ::testing::ValuesIn(kRoundTrips));

struct HandWrittenRow {
  const char *about;
  const char *file;
  const char *name;
  const char *value;  // null: the user root does not hold it; kFails: the file does not parse
};

const char kFails[] = "(fails)";

const HandWrittenRow kHandWritten[] = {
    {"no signature line", PRODUCT_KEY "\"A\"=\"1\"\n", "A", "1"},
    {"comments and blank lines",
     "REGEDIT4\n; settings\n\n" PRODUCT_KEY "; the server\n\"A\"=\"1\"\n\n", "A", "1"},
    {"CRLF line ends", "REGEDIT4\r\n\r\n" PRODUCT_KEY "\"A\"=\"1\"\r\n", "A", "1"},
    {"blanks around the line and the equals sign",
     "REGEDIT4\n  " PRODUCT_KEY "\t\"A\" =\t\"1\"  \n", "A", "1"},
    {"no line break at the end", "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\"", "A", "1"},
    {"hex escapes in either case", "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"\\x41\\x6a\"\n", "A", "Aj"},
    {"raw tab inside the quotes", "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"a\tb\"\n", "A", "a\tb"},
    {"@ is the unnamed value", "REGEDIT4\n" PRODUCT_KEY "@=\"d\"\n", "", "d"},
    {"\"\" is the unnamed value too", "REGEDIT4\n" PRODUCT_KEY "\"\"=\"d\"\n", "", "d"},
    // Of two lines of one name the later counts, also across repeated sections.
    {"the later of two lines", "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\"\n\"a\"=\"2\"\n", "A", "2"},
    {"a key's sections are merged",
     "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\"\n[Other]\n\"B\"=\"x\"\n" PRODUCT_KEY "\"B\"=\"2\"\n",
     "B", "2"},
    {"values of another key are not the key's",
     "REGEDIT4\n[Other]\n\"A\"=\"1\"\n" PRODUCT_KEY "\"B\"=\"2\"\n", "A", nullptr},
    {"values of a subkey are not the key's", "REGEDIT4\n[" KOR_CFG_KEY_PATH "\\Sub]\n\"A\"=\"1\"\n",
     "A", nullptr},
    {"a longer name is another name", "REGEDIT4\n" PRODUCT_KEY "\"AB\"=\"1\"\n", "A", nullptr},
    {"an empty file", "", "A", nullptr},
    // Files that do not parse.
    {"a line of no known kind", "REGEDIT4\n" PRODUCT_KEY "Server=x\n", "A", kFails},
    {"a value before any key", "REGEDIT4\n\"A\"=\"1\"\n" PRODUCT_KEY, "A", kFails},
    {"an unclosed quote", "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\n", "A", kFails},
    {"an unclosed name", "REGEDIT4\n" PRODUCT_KEY "\"A=\"1\"\n", "A", kFails},
    {"text after the value", "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\" x\n", "A", kFails},
    {"an unknown escape", "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"C:\\Temp\"\n", "A", kFails},
    {"a short hex escape", "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"\\x4\"\n", "A", kFails},
    {"a value that is no string", "REGEDIT4\n" PRODUCT_KEY "\"A\"=dword:00000001\n", "A", kFails},
    {"an empty key name", "REGEDIT4\n[]\n", "A", kFails},
    {"an unclosed key line", "REGEDIT4\n[Software\\Quorvane\n", "A", kFails},
    {"the signature after the first line", "\nREGEDIT4\n" PRODUCT_KEY, "A", kFails},
};

class HandWrittenTest : public CfgTest, public ::testing::WithParamInterface<HandWrittenRow> {};

// A file that does not parse fails every operation on its root and is never rewritten.
TEST_P(HandWrittenTest, FileWrittenByHandIsReadOrFailsAsAWhole) {
  const HandWrittenRow &row = GetParam();
  write_file(user_, row.file);
  kor_cfg *cfg = kor_cfg_open(nullptr);
  if (row.value == kFails) {
    for (Operation operation : {Operation::kRead, Operation::kWrite, Operation::kDelete})
      EXPECT_EQ(run_operation(cfg, operation, row.name), KOR_CFG_E_FAILED);
    EXPECT_EQ(run_operation(cfg, Operation::kIsWriteable, row.name), 0u);
  } else {
    const Read read = get(cfg, row.name, kUser | kOnly);
    EXPECT_EQ(read.result, KOR_OK);
    EXPECT_EQ(read.found, row.value != nullptr ? kUser : kNone);
    EXPECT_EQ(read.value, row.value != nullptr ? row.value : "");
  }
  EXPECT_EQ(kor_cfg_close(cfg), KOR_OK);
  EXPECT_EQ(slurp(user_), row.file);
  EXPECT_EQ(nesting_depth(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, HandWrittenTest, ::testing::ValuesIn(kHandWritten));

struct EditRow {
  const char *about;
  const char *before;
  const char *name;
  const char *value;  // null: delete
  const char *after;
};

const EditRow kEdits[] = {
    {"replaced in place, comments kept",
     "REGEDIT4\n; mine\n" PRODUCT_KEY "\"A\"=\"1\" \n; about B\n\"B\"=\"2\"\n", "A", "new",
     "REGEDIT4\n; mine\n" PRODUCT_KEY "\"A\"=\"new\"\n; about B\n\"B\"=\"2\"\n"},
    {"added after the key's last value, before the next key",
     "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\"\n\n; next\n[Other]\n\"X\"=\"y\"\n", "B", "2",
     "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\"\n\"B\"=\"2\"\n\n; next\n[Other]\n\"X\"=\"y\"\n"},
    {"added to the key's last section",
     "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\"\n[Other]\n" PRODUCT_KEY "\"C\"=\"3\"\n", "B", "2",
     "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\"\n[Other]\n" PRODUCT_KEY "\"C\"=\"3\"\n\"B\"=\"2\"\n"},
    {"added to a key without values", "REGEDIT4\n" PRODUCT_KEY "[Other]\n", "A", "1",
     "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\"\n[Other]\n"},
    {"a new section at the end", "REGEDIT4\n[Other]\n\"X\"=\"y\"", "A", "1",
     "REGEDIT4\n[Other]\n\"X\"=\"y\"\n\n" PRODUCT_KEY "\"A\"=\"1\"\n"},
    {"the last line of the name replaced, earlier ones dropped",
     "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\"\n\"B\"=\"2\"\n\"a\"=\"3\"\n", "A", "4",
     "REGEDIT4\n" PRODUCT_KEY "\"B\"=\"2\"\n\"A\"=\"4\"\n"},
    {"a value of another key is left alone", "REGEDIT4\n[Other]\n\"A\"=\"1\"\n" PRODUCT_KEY, "A",
     "2", "REGEDIT4\n[Other]\n\"A\"=\"1\"\n" PRODUCT_KEY "\"A\"=\"2\"\n"},
    {"deleted, every line of the name",
     "REGEDIT4\n" PRODUCT_KEY "\"A\"=\"1\"\n; keep\n\"B\"=\"2\"\n\"a\"=\"3\"", "A", nullptr,
     "REGEDIT4\n" PRODUCT_KEY "; keep\n\"B\"=\"2\"\n"},
    {"CRLF lines kept as they were", "REGEDIT4\r\n" PRODUCT_KEY "\"A\"=\"1\"\r\n\"B\"=\"2\"\r\n",
     "B", "3", "REGEDIT4\r\n" PRODUCT_KEY "\"A\"=\"1\"\r\n\"B\"=\"3\"\n"},
};

class EditTest : public CfgTest, public ::testing::WithParamInterface<EditRow> {};

TEST_P(EditTest, WriteKeepsTheRestOfTheFile) {
  const EditRow &row = GetParam();
  write_file(machine_, row.before);
  EXPECT_EQ(set_fresh(row.name, kMachine, row.value != nullptr ? row.value : ""), KOR_OK);
  EXPECT_EQ(slurp(machine_), row.after);
}

INSTANTIATE_TEST_SUITE_P(Rows, EditTest, ::testing::ValuesIn(kEdits));

// A rewrite replaces the file, but keeps its permissions, and writes through a
// symbolic link to the file it names rather than replacing the link.
TEST_F(CfgTest, RewriteKeepsModeAndSymbolicLink) {
  const std::string real = dir_ + "/real.reg";
  write_file(real, product_file("\"A\"=\"1\"\n"));
  chmod(real.c_str(), 0600);
  ASSERT_EQ(symlink(real.c_str(), user_.c_str()), 0);
  ASSERT_EQ(set_fresh("A", kUser, "2"), KOR_OK);
  struct stat status;
  ASSERT_EQ(lstat(user_.c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  ASSERT_EQ(stat(real.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
  EXPECT_EQ(slurp(real), product_file("\"A\"=\"2\"\n"));
  EXPECT_FALSE(exists(real + ".tmp"));
}

// A file that breaks while a handle has it open fails that handle's next read.
TEST_F(CfgTest, FileCorruptedWhileOpenFailsTheNextRead) {
  write_file(user_, product_file("\"A\"=\"1\"\n"));
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(get(cfg, "A", kUser).value, "1");
  write_file(user_, product_file("\"A\"=\"1\n"));
  EXPECT_EQ(get(cfg, "A", kUser).result, KOR_CFG_E_FAILED);
  write_file(user_, product_file("\"A\"=\"3\"\n"));
  EXPECT_EQ(get(cfg, "A", kUser).value, "3");
  kor_cfg_close(cfg);
}

}  // namespace
}  // namespace lyrdua::test
