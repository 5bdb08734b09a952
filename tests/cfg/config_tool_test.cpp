// The lyrdua tool's config commands, run as a user runs them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/cfg/cfg_test_support.hpp"

namespace lyrdua::test {
namespace {

#define NET_KEY "[" KOR_CFG_KEY_PATH "\\Net]\n"
#define CORRUPT "REGEDIT4\n" PRODUCT_KEY "junk\n"

const char kUserServer[] = "REGEDIT4\n\n" PRODUCT_KEY "\"Server\"=\"user.example\"\n";
const char kMachineServer[] = "REGEDIT4\n\n" PRODUCT_KEY "\"Server\"=\"machine.example\"\n";
const std::string kLong(300, 'L');
const std::string kLongFile = "REGEDIT4\n" PRODUCT_KEY "\"Long\"=\"" + kLong + "\"\n";

struct ToolRow {
  const char *about;
  const char *user;     // the user root's file before, or null for none
  const char *machine;  // the machine root's file before, or null for none
  const char *args;     // split at blanks; '' is an empty argument, @DEFAULTS@ a default file
  int status;
  std::string out;
  std::string err;
  const char *user_after;  // the user root's file after, or null when not checked
};

const ToolRow kRows[] = {
    {"get from the user", kUserServer, kMachineServer, "config get Server", 0,
     "value   user.example\nsource  user\n", "", kUserServer},
    {"get from the machine alone", kUserServer, kMachineServer,
     "config get Server --source machine", 0, "value   machine.example\nsource  machine\n", "",
     nullptr},
    {"get from a default file", nullptr, nullptr, "config get Server --defaults @DEFAULTS@", 0,
     "value   dflt\nsource  default\n", "", nullptr},
    {"get from a subkey", "REGEDIT4\n" NET_KEY "\"Port\"=\"389\"\n", nullptr,
     "config get Port --subkey Net", 0, "value   389\nsource  user\n", "", nullptr},
    // A value longer than the tool's first buffer is read again whole.
    {"get a long value", kLongFile.c_str(), nullptr, "config get Long", 0,
     "value   " + kLong + "\nsource  user\n", "", nullptr},
    {"get a value set nowhere", nullptr, nullptr, "config get Server", 1, "",
     "lyrdua: config get: Server is not set in the current user's registry, the machine's "
     "registry or the default text\n",
     nullptr},
    {"get from the user alone, set only for the machine", nullptr, kMachineServer,
     "config get Server --source user", 1, "",
     "lyrdua: config get: Server is not set in the current user's registry\n", nullptr},
    // The value still shows, but the broken registry is named and the status says so.
    {"get with a corrupt user registry", CORRUPT, kMachineServer, "config get Server", 1,
     "value   machine.example\nsource  machine\n",
     "lyrdua: config get: the current user's registry cannot be read: the file is unreadable or "
     "does not parse\n",
     nullptr},
    {"get with an unknown source", nullptr, nullptr, "config get Server --source disk", 2, "",
     "lyrdua: config get: unknown source 'disk'; use user, machine or default\n", nullptr},
    {"get without a name", nullptr, nullptr, "config get", 2, "",
     "lyrdua: config get: give the value's NAME\n", nullptr},
    {"get with an unknown option", nullptr, nullptr, "config get Server --all", 2, "",
     "lyrdua: config get: unknown option '--all'\n", nullptr},
    {"get with a missing default file", nullptr, nullptr,
     "config get Server --defaults /nonexistent/defaults", 1, "", "", nullptr},
    {"set for the user", nullptr, nullptr, "config set Server a\"quoted\"\\value --source user", 0,
     "", "", "REGEDIT4\n\n" PRODUCT_KEY "\"Server\"=\"a\\\"quoted\\\"\\\\value\"\n"},
    {"set in a subkey", nullptr, nullptr, "config set --subkey Net Port 636 --source user", 0, "",
     "", "REGEDIT4\n\n" NET_KEY "\"Port\"=\"636\"\n"},
    {"set without a source", nullptr, nullptr, "config set Server x", 2, "",
     "lyrdua: config set: --source user or --source machine is required\n", nullptr},
    {"set into the default text", nullptr, nullptr, "config set Server x --source default", 2, "",
     "lyrdua: config set: unknown source 'default'; use user, machine\n", nullptr},
    {"set an empty value", nullptr, nullptr, "config set Server '' --source user", 2, "",
     "lyrdua: config set: an empty value cannot be stored; 'lyrdua config delete' removes a "
     "value\n",
     nullptr},
    {"set without a value", nullptr, nullptr, "config set Server --source user", 2, "",
     "lyrdua: config set: give a NAME and a VALUE\n", nullptr},
    {"set into a corrupt registry", CORRUPT, nullptr, "config set Server x --source user", 1, "",
     "lyrdua: config set: cannot write Server to the current user's registry: the file or its "
     "folder cannot be written, or the file does not parse\n",
     CORRUPT},
    {"delete from the user", kUserServer, nullptr, "config delete Server --source user", 0, "", "",
     "REGEDIT4\n\n" PRODUCT_KEY},
    {"delete from the machine, set only for the user", kUserServer, nullptr,
     "config delete Server --source machine", 1, "",
     "lyrdua: config delete: Server is not set in the machine's registry\n", kUserServer},
};

class ConfigToolTest : public CfgTest, public ::testing::WithParamInterface<ToolRow> {};

TEST_P(ConfigToolTest, CommandPrintsAndExitsAsDocumented) {
  const ToolRow &row = GetParam();
  if (row.user != nullptr) write_file(user_, row.user);
  if (row.machine != nullptr) write_file(machine_, row.machine);
  const std::string defaults = dir_ + "/defaults.txt";
  write_file(defaults, "\n" KOR_CFG_KEY_PATH "\\Server: dflt\n");
  std::vector<std::string> args;
  std::istringstream words(row.args);
  for (std::string word; words >> word;)
    args.push_back(word == "''" ? "" : word == "@DEFAULTS@" ? defaults : word);
  const ToolRun run = run_tool(LYRDUA_TOOL, args);
  EXPECT_EQ(run.status, row.status);
  EXPECT_EQ(run.out, row.out);
  if (!row.err.empty() || row.status == 0) {
    EXPECT_EQ(run.err, row.err);
  }
  if (row.status != 0) {
    EXPECT_FALSE(run.err.empty());
  }
  if (row.user_after != nullptr) {
    EXPECT_EQ(slurp(user_), row.user_after);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, ConfigToolTest, ::testing::ValuesIn(kRows));

// What set writes, get reads back, and delete removes.
TEST_F(CfgTest, ToolSetGetDelete) {
  EXPECT_EQ(
      run_tool(LYRDUA_TOOL, {"config", "set", "K", "v\xC3\xA9", "--source", "machine"}).status, 0);
  EXPECT_EQ(run_tool(LYRDUA_TOOL, {"config", "get", "K"}).out,
            "value   v\xC3\xA9\nsource  machine\n");
  EXPECT_EQ(run_tool(LYRDUA_TOOL, {"config", "delete", "K", "--source", "machine"}).status, 0);
  EXPECT_EQ(run_tool(LYRDUA_TOOL, {"config", "get", "K"}).status, 1);
}

TEST_F(CfgTest, ToolHelpNamesTheRegistryFiles) {
  const ToolRun run = run_tool(LYRDUA_TOOL, {"config", "get", "--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("usage: lyrdua config get NAME", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("LYRDUA_REG_USER"), std::string::npos);
  EXPECT_NE(run.out.find("/etc/lyrdua/machine.reg"), std::string::npos);
}

}  // namespace
}  // namespace lyrdua::test
