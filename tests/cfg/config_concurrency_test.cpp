// Several processes writing one root: no update is lost, and a writer killed
// in the middle of a write leaves a file that parses with the old or the new
// value.
#include <gtest/gtest.h>
#include <lyrdua/kor_cfg.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/cfg/cfg_test_support.hpp"

namespace lyrdua::test {
namespace {

// The name of a writer's value in a round; the value is the name repeated.
std::string value_name(int writer, int round) {
  return "w" + std::to_string(writer) + "_" + std::to_string(round);
}

// Runs work in a child process; its pid.
template <typename Work>
pid_t spawn(Work work) {
  const pid_t pid = fork();
  if (pid == 0) _exit(work());
  return pid;
}

// Odd writers keep one handle, even ones open a handle per write.
TEST_F(CfgTest, EveryValueOfEveryWriterIsThere) {
  constexpr int kWriters = 6;
  constexpr int kRounds = 40;
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    children.push_back(spawn([writer] {
      kor_cfg *kept = writer % 2 != 0 ? kor_cfg_open(nullptr) : nullptr;
      for (int round = 0; round < kRounds; ++round) {
        const std::string name = value_name(writer, round);
        kor_cfg *cfg = kept != nullptr ? kept : kor_cfg_open(nullptr);
        const uint32_t result = set(cfg, name.c_str(), kUser, name + name);
        if (kept == nullptr) kor_cfg_close(cfg);
        if (result != KOR_OK) return 1;
      }
      if (kept != nullptr) kor_cfg_close(kept);
      return 0;
    }));
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  kor_cfg *cfg = kor_cfg_open(nullptr);
  for (int writer = 0; writer < kWriters; ++writer) {
    for (int round = 0; round < kRounds; ++round) {
      const std::string name = value_name(writer, round);
      EXPECT_EQ(get(cfg, name.c_str(), kUser | kOnly).value, name + name);
    }
  }
  kor_cfg_close(cfg);
}

// The counter's value: a number and a long tail, so that a torn write would show.
std::string counter_value(long n) { return std::to_string(n) + ":" + std::string(3000, 'x'); }

// Reads the counter; -1 when the value is not one that a writer wrote.
long read_counter(kor_cfg *cfg) {
  const Read read = get(cfg, "Counter", kUser | kOnly, 4096);
  if (read.result != KOR_OK) return -1;
  const std::string &value = read.value;
  const size_t colon = value.find(':');
  if (colon == std::string::npos) return -1;
  const long n = std::stol(value.substr(0, colon));
  return value == counter_value(n) ? n : -1;
}

TEST_F(CfgTest, WriterKilledMidWriteLeavesTheOldOrTheNewValue) {
  ASSERT_EQ(set_fresh("Counter", kUser, counter_value(0)), KOR_OK);
  ASSERT_EQ(set_fresh("Other", kUser, "kept"), KOR_OK);
  std::mt19937 random(12345);
  // A durable write takes milliseconds: pauses of up to many of them land
  // before, inside and between writes.
  std::uniform_int_distribution<int> pause_us(500, 40000);
  long last = 0;
  for (int round = 0; round < 30; ++round) {
    // The writer counts up from what it finds, one write after another.
    const pid_t writer = spawn([] {
      kor_cfg *cfg = kor_cfg_open(nullptr);
      long n = read_counter(cfg);
      if (n < 0) return 1;
      for (;;) {
        if (set(cfg, "Counter", kUser, counter_value(++n)) != KOR_OK) return 2;
      }
    });
    std::this_thread::sleep_for(std::chrono::microseconds(pause_us(random)));
    kill(writer, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own in round " << round;
    kor_cfg *cfg = kor_cfg_open(nullptr);
    const long now = read_counter(cfg);
    EXPECT_GE(now, last) << "round " << round;
    EXPECT_EQ(get(cfg, "Other", kUser).value, "kept") << "round " << round;
    kor_cfg_close(cfg);
    last = now;
  }
  EXPECT_GT(last, 0) << "no write completed in any round";
}

}  // namespace
}  // namespace lyrdua::test
