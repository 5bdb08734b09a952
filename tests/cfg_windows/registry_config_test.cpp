// The configuration store over the Win32 registry: each case starts with the
// product key absent under both roots, puts values there with the registry
// calls themselves, and checks what the C API reads, writes and creates. The
// cases delete the product's keys, so they belong in a registry of their own
// (CI runs them in a fresh Wine prefix).
#include <gtest/gtest.h>
#include <lyrdua/kor_cfg.h>
#include <windows.h>

#include <string>
#include <vector>

#include "evtlib/event_state.hpp"

namespace lyrdua::test {
namespace {

constexpr char kVendorKey[] = "Software\\Quorvane";
constexpr char kProductKey[] = KOR_CFG_KEY_PATH;
const std::string kNetKey = std::string(KOR_CFG_KEY_PATH) + "\\Net";

constexpr uint32_t kUser = KOR_CFG_SRC_USER;
constexpr uint32_t kMachine = KOR_CFG_SRC_MACHINE;
constexpr uint32_t kDefault = KOR_CFG_SRC_DEFAULT;
constexpr uint32_t kOnly = KOR_CFG_SRC_ONLY;
constexpr uint32_t kNone = KOR_CFG_SRC_NONE;

HKEY root_of(uint32_t source) {
  return (source & 0xF) == kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

void put(uint32_t source, const std::string &key, const char *name, const std::string &value) {
  HKEY opened = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root_of(source), key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &opened, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(opened);
}

bool key_exists(uint32_t source, const std::string &key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root_of(source), key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
    return false;
  RegCloseKey(opened);
  return true;
}

// The value as the registry holds it: its type and its bytes, NUL included.
struct Stored {
  LONG status;
  DWORD type;
  std::string bytes;
};

Stored stored(uint32_t source, const char *name) {
  Stored s{ERROR_FILE_NOT_FOUND, 0, ""};
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root_of(source), kProductKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return s;
  char data[256];
  DWORD size = sizeof data;
  s.status =
      RegQueryValueExA(opened, name, nullptr, &s.type, reinterpret_cast<BYTE *>(data), &size);
  if (s.status == ERROR_SUCCESS) s.bytes.assign(data, size);
  RegCloseKey(opened);
  return s;
}

struct Read {
  uint32_t result;
  uint32_t found;
  uint32_t length;
  std::string value;
};

Read get(kor_cfg *cfg, const char *name, uint32_t source, uint32_t capacity = 64) {
  std::vector<char> buffer(capacity + 1, '\x7f');
  Read read{0, 0, capacity, ""};
  read.result = kor_cfg_get_value(cfg, name, source, &read.found, buffer.data(), &read.length);
  EXPECT_EQ(buffer[capacity], '\x7f') << "written past the buffer's capacity";
  if (read.result == KOR_OK) read.value.assign(buffer.data(), read.length);
  return read;
}

class RegistryConfig : public ::testing::Test {
 protected:
  void SetUp() override { clean(); }
  void TearDown() override { clean(); }

  static void clean() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kVendorKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kVendorKey);
    kor_cfg_set_default(nullptr);
    evt::release_event_library();
  }
};

TEST_F(RegistryConfig, ReadsTheFirstSourceThatHoldsTheValue) {
  struct Row {
    const char *about;
    const char *user;     // the user root's value, or null for none
    const char *machine;  // the machine root's value, or null for none
    const char *name;     // the name read
    uint32_t source;
    uint32_t capacity;
    uint32_t result;
    uint32_t found;
    uint32_t length;
    const char *value;  // checked when the result is 0
  };
  const Row rows[] = {
      // The current user overrides the machine.
      {"both roots, from the user", "user.example", "machine.example", "Server", kUser, 64, KOR_OK,
       kUser, 12, "user.example"},
      {"both roots, from the machine", "user.example", "machine.example", "Server", kMachine, 64,
       KOR_OK, kMachine, 15, "machine.example"},
      {"machine only, search from the user", nullptr, "machine.example", "Server", kUser, 64,
       KOR_OK, kMachine, 15, "machine.example"},
      // The alone bit keeps the search to that root.
      {"machine only, the user alone", nullptr, "machine.example", "Server", kUser | kOnly, 64,
       KOR_OK, kNone, 0, ""},
      // The registry's own names compare without regard to case.
      {"name in another case", "upper", nullptr, "SERVER", kUser, 64, KOR_OK, kUser, 5, "upper"},
      // ERROR_MORE_DATA: the size needed, NUL included, from the root that holds it.
      {"small buffer, user root", "0123456789", nullptr, "Server", kUser, 4, KOR_CFG_E_BUFFER,
       kUser, 11, nullptr},
      {"small buffer, machine root", nullptr, "0123456789", "Server", kUser, 4, KOR_CFG_E_BUFFER,
       kMachine, 11, nullptr},
      {"buffer of the length plus one", "0123456789", nullptr, "Server", kUser, 11, KOR_OK, kUser,
       10, "0123456789"},
      // An empty string counts as absent, so the machine answers.
      {"empty value under the user", "", "machine.example", "Server", kUser, 64, KOR_OK, kMachine,
       15, "machine.example"},
      {"no such value under an existing key", "x", nullptr, "Other", kUser, 64, KOR_OK, kNone, 0,
       ""},
  };
  for (const Row &row : rows) {
    clean();
    if (row.user != nullptr) put(kUser, kProductKey, "Server", row.user);
    if (row.machine != nullptr) put(kMachine, kProductKey, "Server", row.machine);
    kor_cfg *cfg = kor_cfg_open(nullptr);
    const Read read = get(cfg, row.name, row.source, row.capacity);
    kor_cfg_close(cfg);
    EXPECT_EQ(read.result, row.result) << row.about;
    EXPECT_EQ(read.found, row.found) << row.about;
    EXPECT_EQ(read.length, row.length) << row.about;
    if (row.value != nullptr) {
      EXPECT_EQ(read.value, row.value) << row.about;
    }
  }
}

TEST_F(RegistryConfig, AbsentKeysCountAsAbsentValues) {
  const char defaults[] = "\n" KOR_CFG_KEY_PATH "\\Server: default.example\n";
  kor_cfg_set_default(defaults);
  kor_cfg *cfg = kor_cfg_open(nullptr);
  const Read read = get(cfg, "Server", kUser);
  kor_cfg_close(cfg);
  EXPECT_EQ(read.result, KOR_OK);
  EXPECT_EQ(read.found, kDefault);
  EXPECT_EQ(read.value, "default.example");
  EXPECT_FALSE(key_exists(kUser, kProductKey)) << "reading creates no key";
  EXPECT_FALSE(key_exists(kMachine, kProductKey));
}

TEST_F(RegistryConfig, SubkeyHandlesReadTheirOwnKey) {
  put(kUser, kNetKey, "Port", "389");
  put(kUser, kProductKey, "Server", "user.example");
  kor_cfg *net = kor_cfg_open("Net");
  kor_cfg *product = kor_cfg_open(nullptr);
  EXPECT_EQ(get(net, "Port", kUser).value, "389");
  EXPECT_EQ(get(net, "Server", kUser).found, kNone);
  EXPECT_EQ(get(product, "Port", kUser).found, kNone);
  kor_cfg_close(net);
  kor_cfg_close(product);
}

TEST_F(RegistryConfig, WritesGoToTheNamedRootAsStrings) {
  struct Row {
    const char *about;
    uint32_t source;
    uint32_t written;  // the root that holds the value afterwards
  };
  const Row rows[] = {
      {"the user", kUser, kUser},
      {"the machine", kMachine, kMachine},
      // The alone bit means nothing to a write.
      {"the machine with the alone bit", kMachine | kOnly, kMachine},
  };
  for (const Row &row : rows) {
    clean();
    kor_cfg *cfg = kor_cfg_open(nullptr);
    const std::string value = "h\xE9te 1";  // a Latin-1 letter, which the ANSI code page holds
    EXPECT_EQ(kor_cfg_set_value(cfg, "Host", row.source, value.data(),
                                static_cast<uint32_t>(value.size())),
              KOR_OK)
        << row.about;
    kor_cfg_close(cfg);
    const uint32_t other = row.written == kUser ? kMachine : kUser;
    const Stored written = stored(row.written, "Host");
    EXPECT_EQ(written.status, ERROR_SUCCESS) << row.about;
    EXPECT_EQ(written.type, static_cast<DWORD>(REG_SZ)) << row.about;
    EXPECT_EQ(written.bytes, value + '\0') << row.about << ": the NUL is stored too";
    EXPECT_FALSE(key_exists(other, kProductKey)) << row.about;
  }
}

TEST_F(RegistryConfig, LengthZeroDeletesTheValue) {
  put(kUser, kProductKey, "Server", "user.example");
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, "", 0), KOR_OK);
  EXPECT_EQ(stored(kUser, "Server").status, ERROR_FILE_NOT_FOUND);
  // The key stays; deleting again finds no value.
  EXPECT_TRUE(key_exists(kUser, kProductKey));
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, "", 0), KOR_CFG_E_NOT_FOUND);
  // A deletion does not create the key it would delete from.
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kMachine, "", 0), KOR_CFG_E_NOT_FOUND);
  EXPECT_FALSE(key_exists(kMachine, kProductKey));
  kor_cfg_close(cfg);
}

TEST_F(RegistryConfig, IsWriteableCreatesTheKey) {
  struct Row {
    const char *about;
    const char *subkey;
    uint32_t source;
    uint32_t answer;
    const std::string key;  // created under the source's root when the answer is 1
  };
  const Row rows[] = {
      {"the user's product key", nullptr, kUser, 1, kProductKey},
      {"the machine's product key, alone bit", nullptr, kMachine | kOnly, 1, kProductKey},
      {"a subkey of the user's", "Net", kUser, 1, kNetKey},
      // Only the two roots can be written.
      {"the default text", nullptr, kDefault, 0, ""},
  };
  for (const Row &row : rows) {
    clean();
    kor_cfg *cfg = kor_cfg_open(row.subkey);
    EXPECT_EQ(kor_cfg_is_writeable(cfg, row.source), row.answer) << row.about;
    kor_cfg_close(cfg);
    if (row.answer == 1) {
      EXPECT_TRUE(key_exists(row.source, row.key)) << row.about;
    }
    EXPECT_EQ(key_exists(kUser, kProductKey) || key_exists(kMachine, kProductKey), row.answer == 1)
        << row.about;
  }
}

// A handle's open key sees what other programs change in the registry later.
TEST_F(RegistryConfig, AnOpenHandleSeesLaterChanges) {
  put(kUser, kProductKey, "Server", "first");
  kor_cfg *cfg = kor_cfg_open(nullptr);
  EXPECT_EQ(get(cfg, "Server", kUser).value, "first");
  put(kUser, kProductKey, "Server", "second");
  EXPECT_EQ(get(cfg, "Server", kUser).value, "second");
  // A read key becomes a write key and reads on.
  EXPECT_EQ(kor_cfg_set_value(cfg, "Server", kUser, "third", 5), KOR_OK);
  EXPECT_EQ(get(cfg, "Server", kUser).value, "third");
  kor_cfg_close(cfg);
}

}  // namespace
}  // namespace lyrdua::test
