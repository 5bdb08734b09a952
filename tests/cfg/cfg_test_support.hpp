// Helpers of the configuration store tests: each case gets its own registry
// roots (files in a fresh folder named through LYRDUA_REG_USER and
// LYRDUA_REG_MACHINE), a fresh event library and no default text.
#pragma once

#include <ftw.h>
#include <gtest/gtest.h>
#include <lyrdua/kor_cfg.h>
#include <lyrdua/kor_evt.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "evtlib/event_state.hpp"
#include "tests/support/run_tool.hpp"

// The product key's section line in a root file.
#define PRODUCT_KEY "[" KOR_CFG_KEY_PATH "]\n"

namespace lyrdua::test {

constexpr uint32_t kUser = KOR_CFG_SRC_USER;
constexpr uint32_t kMachine = KOR_CFG_SRC_MACHINE;
constexpr uint32_t kDefault = KOR_CFG_SRC_DEFAULT;
constexpr uint32_t kOnly = KOR_CFG_SRC_ONLY;
constexpr uint32_t kNone = KOR_CFG_SRC_NONE;

inline void write_file(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline bool exists(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

// A root file's text holding the product key with the given value lines.
inline std::string product_file(const std::string &value_lines) {
  return "REGEDIT4\n\n" PRODUCT_KEY + value_lines;
}

// What one kor_cfg_get_value gave.
struct Read {
  uint32_t result;
  uint32_t found;
  uint32_t length;
  std::string value;  // the buffer up to the length, unless the buffer was too small
};

// A capacity that stands for no buffer, with a length of 100 given.
constexpr uint32_t kNoBuffer = 0xFFFFFFFFu;

// Reads into a buffer of garbage; a value read is ended by a NUL.
inline Read get(kor_cfg *cfg, const char *name, uint32_t source, uint32_t capacity = 256) {
  if (capacity == kNoBuffer) {
    Read read{0, 0, 100, ""};
    read.result = kor_cfg_get_value(cfg, name, source, &read.found, nullptr, &read.length);
    return read;
  }
  std::vector<char> buffer(capacity + 1, '\x7f');
  Read read{0, 0, capacity, ""};
  read.result = kor_cfg_get_value(cfg, name, source, &read.found, buffer.data(), &read.length);
  EXPECT_EQ(buffer[capacity], '\x7f') << "written past the buffer's capacity";
  if (read.result == KOR_OK) {
    EXPECT_EQ(buffer[read.length], '\0') << "no NUL after the value";
  }
  if (read.result != KOR_CFG_E_BUFFER)
    read.value.assign(buffer.data(), std::min(read.length, capacity));
  return read;
}

inline uint32_t set(kor_cfg *cfg, const char *name, uint32_t source, const std::string &value) {
  return kor_cfg_set_value(cfg, name, source, value.data(), static_cast<uint32_t>(value.size()));
}

// Writes name through a handle of its own.
inline uint32_t set_fresh(const char *name, uint32_t source, const std::string &value) {
  kor_cfg *cfg = kor_cfg_open(nullptr);
  const uint32_t result = set(cfg, name, source, value);
  kor_cfg_close(cfg);
  return result;
}

// The operations on a handle's user root, for tables of failing roots.
enum class Operation { kRead, kWrite, kDelete, kIsWriteable };

// The operation's result; for kIsWriteable, its answer. Reads expect to find nothing.
inline uint32_t run_operation(kor_cfg *cfg, Operation operation, const char *name) {
  switch (operation) {
    case Operation::kRead: {
      const Read read = get(cfg, name, kUser | kOnly);
      EXPECT_EQ(read.found, kNone);
      EXPECT_EQ(read.length, 0u);
      return read.result;
    }
    case Operation::kWrite:
      return kor_cfg_set_value(cfg, name, kUser, "2", 1);
    case Operation::kDelete:
      return kor_cfg_set_value(cfg, name, kUser, nullptr, 0);
    case Operation::kIsWriteable:
      return kor_cfg_is_writeable(cfg, kUser);
  }
  return 0xFFFFFFFFu;
}

// A flat stream that records the given category at every level.
inline uint32_t open_stream(uint32_t category) {
  const uint32_t stream = kor_evt_stream_alloc();
  kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT);
  for (int32_t level = 0; level < 4; ++level) kor_evt_set_filter(stream, level, category);
  return stream;
}

// The calling thread's nesting depth, learnt through the C API: the level of
// an event raised now on a stream that selects only it.
inline uint32_t nesting_depth() {
  const uint32_t stream = open_stream(0x40000000);
  kor_evt_put_event(0xE6F001CFu, 0x40000000, 0);
  const kor_evt_record *record = kor_evt_get_event(stream);
  const uint32_t depth = record != nullptr ? record->level : 0xFFFFFFFFu;
  kor_evt_stream_free(stream);
  return depth;
}

// Every case: new roots in a folder of its own, nothing registered.
class CfgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/lyrdua-cfg-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    dir_ = folder;
    user_ = dir_ + "/user.reg";
    machine_ = dir_ + "/machine.reg";
    setenv("LYRDUA_REG_USER", user_.c_str(), 1);
    setenv("LYRDUA_REG_MACHINE", machine_.c_str(), 1);
    kor_cfg_set_default(nullptr);
    evt::release_event_library();
  }
  void TearDown() override {
    kor_cfg_set_default(nullptr);
    evt::release_event_library();
    unsetenv("LYRDUA_REG_USER");
    unsetenv("LYRDUA_REG_MACHINE");
    nftw(
        dir_.c_str(), [](const char *p, const struct stat *, int, FTW *) { return std::remove(p); },
        16, FTW_DEPTH | FTW_PHYS);
  }

  std::string dir_;
  std::string user_;
  std::string machine_;
};

}  // namespace lyrdua::test
