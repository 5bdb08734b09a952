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

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "evtlib/event_state.hpp"

namespace lyrdua::test {

// The product key as it appears in a root file's section line.
constexpr char kProductKey[] = "[Software\\Quorvane\\Tessel Directory\\CurrentVersion]";

inline std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void write_file(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline bool exists(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

inline void remove_tree(const std::string &path) {
  nftw(
      path.c_str(),
      [](const char *p, const struct stat *, int, struct FTW *) { return std::remove(p); }, 16,
      FTW_DEPTH | FTW_PHYS);
}

// A root file's text holding the product key with the given value lines.
inline std::string product_file(const std::string &value_lines) {
  return std::string("REGEDIT4\n\n") + kProductKey + "\n" + value_lines;
}

// What one kor_cfg_get_value gave.
struct Read {
  uint32_t result;
  uint32_t found;
  uint32_t length;
  std::string value;  // the buffer up to the length, when the result is 0
};

inline Read get(kor_cfg *cfg, const char *name, uint32_t source, uint32_t capacity = 256) {
  std::vector<char> buffer(capacity + 1, '\x7f');
  Read read{0, 0, capacity, ""};
  read.result = kor_cfg_get_value(cfg, name, source, &read.found, buffer.data(), &read.length);
  EXPECT_EQ(buffer[capacity], '\x7f') << "written past the buffer's capacity";
  if (read.result == KOR_OK) read.value.assign(buffer.data(), read.length);
  return read;
}

// Reads name through a handle of its own.
inline Read get_fresh(const char *name, uint32_t source, const char *subkey = nullptr) {
  kor_cfg *cfg = kor_cfg_open(subkey);
  Read read = get(cfg, name, source);
  kor_cfg_close(cfg);
  return read;
}

inline uint32_t set_fresh(const char *name, uint32_t source, const std::string &value,
                          const char *subkey = nullptr) {
  kor_cfg *cfg = kor_cfg_open(subkey);
  const uint32_t result =
      kor_cfg_set_value(cfg, name, source, value.data(), static_cast<uint32_t>(value.size()));
  kor_cfg_close(cfg);
  return result;
}

// The calling thread's nesting depth, learnt through the C API: the level of
// an event raised now on a stream that selects only it.
inline uint32_t nesting_depth() {
  constexpr uint32_t kProbeCategory = 0x40000000;
  const uint32_t stream = kor_evt_stream_alloc();
  kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT);
  kor_evt_set_filter(stream, 0, kProbeCategory);
  kor_evt_put_event(0xE6F001CFu, kProbeCategory, 0);
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
    remove_tree(dir_);
  }

  std::string dir_;
  std::string user_;
  std::string machine_;
};

}  // namespace lyrdua::test
