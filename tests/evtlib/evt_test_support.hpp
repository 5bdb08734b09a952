// Helpers of the event library tests: a fresh library per case, capture of
// standard output and of Evtlib's reports, readers that collect what a stream returns, and threads
// that are joined within a time limit.
#pragma once

#include <gtest/gtest.h>
#include <lyrdua/kor_evt.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <chrono>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "evtlib/event_state.hpp"

namespace lyrdua::test {

// The operating system's id of the calling thread, as event records carry it.
inline uint32_t os_thread_id() {
#if defined(_WIN32)
  return GetCurrentThreadId();
#else
  return static_cast<uint32_t>(gettid());
#endif
}

// An event code of the given severity (0..3) and number.
constexpr uint32_t code_of(uint32_t severity, uint32_t number) { return severity << 30 | number; }

// Codes whose texts the message module holds, with the inserts they take.
constexpr uint32_t kNoInsertCode = 0xE6F001CFu;   // "The boolean value is empty."
constexpr uint32_t kOneInsertCode = 0xE6F001AFu;  // "The character '%1' is not allowed in a ..."
constexpr uint32_t kTwoInsertCode = 0xE6F001F4u;  // "Unexpected tag %1 where tag %2 was expected."
constexpr uint32_t kUnknownCode = 0xE6F0FFFFu;

// Every case starts from the library as it is when loaded, and leaves it so.
class EvtTest : public ::testing::Test {
 protected:
  void SetUp() override { evt::release_event_library(); }
  void TearDown() override { evt::release_event_library(); }
};

// Captures what is written to file descriptor 1 until finish().
class StdoutCapture {
 public:
  StdoutCapture() { ::testing::internal::CaptureStdout(); }
  ~StdoutCapture() { finish(); }
  StdoutCapture(const StdoutCapture &) = delete;
  StdoutCapture &operator=(const StdoutCapture &) = delete;

  std::string finish() {
    if (!finished_) text_ = ::testing::internal::GetCapturedStdout();
    finished_ = true;
    return text_;
  }

 private:
  bool finished_ = false;
  std::string text_;
};

// Evtlib's report line for message, with the reporting line's number in place
// of <line>; the number is checked separately by reported_lines_are_sources.
inline std::string report_line(const std::string &message) {
  return "Evtlib: " + message + ". Event occured at <line> of .\\LYRDUA\\EVTLIB:\n";
}

// Replaces the line numbers of Evtlib's report lines by <line>, keeping them
// in *lines.
inline std::string mask_report_lines(std::string output, std::vector<int> *lines) {
  static const std::string kBefore = "Event occured at ";
  for (size_t at = output.find(kBefore); at != std::string::npos; at = output.find(kBefore, at)) {
    at += kBefore.size();
    const size_t end = output.find_first_not_of("0123456789", at);
    if (end == std::string::npos || end == at || output.compare(end, 4, " of ") != 0) continue;
    if (lines != nullptr) lines->push_back(std::stoi(output.substr(at, end - at)));
    output.replace(at, end - at, "<line>");
  }
  return output;
}

// True when each line number names a line of an evtlib source that reports.
inline bool reported_lines_are_sources(const std::vector<int> &lines) {
  static const char *const kSources[] = {"evtlib/event_text.cpp",    "evtlib/evt_api.cpp",
                                         "evtlib/library_entry.cpp", "evtlib/nesting.cpp",
                                         "evtlib/raising.cpp",       "evtlib/reading.cpp",
                                         "evtlib/streams.cpp"};
  for (int line : lines) {
    bool found = false;
    for (const char *source : kSources) {
      std::ifstream in(source);
      std::string text;
      for (int n = 1; std::getline(in, text); ++n)
        if (n == line && text.find("report") != std::string::npos) found = true;
    }
    if (!found) return false;
  }
  return true;
}

// What a reader learns of one event.
struct ReadEvent {
  uint32_t code;
  uint32_t level;
  uint32_t number;
  uint32_t flags;
  uint32_t param_count;
};

// Reads the stream until it gives nothing.
inline std::vector<ReadEvent> read_all(uint32_t stream) {
  std::vector<ReadEvent> events;
  while (const kor_evt_record *r = kor_evt_get_event(stream))
    events.push_back({r->code, r->level, r->number, r->flags, r->param_count});
  return events;
}

inline std::vector<uint32_t> codes_of(const std::vector<ReadEvent> &events) {
  std::vector<uint32_t> codes;
  for (const ReadEvent &e : events) codes.push_back(e.code);
  return codes;
}

// A user stream with a filter at level 0 and the given options.
inline uint32_t open_stream(uint32_t mask, uint32_t options) {
  const uint32_t stream = kor_evt_stream_alloc();
  kor_evt_set_stream_options(stream, options);
  kor_evt_set_filter(stream, 0, mask);
  return stream;
}

// The text of the stream's current event ("" when it cannot be formatted).
inline std::string text_of(uint32_t stream) {
  char *text = nullptr;
  uint32_t length = 0;
  kor_evt_get_text(stream, &text, &length);
  return length == 0 ? std::string() : std::string(text, length);
}

// Raises an event with text parameters 1, 2, ...; returns its handle.
inline uint32_t raise_with_texts(uint32_t code, uint32_t category,
                                 const std::vector<std::string> &texts, uint32_t flags = 0) {
  const uint32_t handle = kor_evt_put_event(code, category, flags | KOR_EVT_OPEN);
  for (size_t i = 0; i < texts.size(); ++i)
    kor_evt_putstrn(handle, static_cast<uint32_t>(i + 1), texts[i].data(),
                    static_cast<uint32_t>(texts[i].size()));
  kor_evt_end_event(handle);
  return handle;
}

constexpr std::chrono::seconds kThreadLimit{20};

// Runs work on a new thread and joins it within kThreadLimit; on time-out
// calls unblock until the thread ends, and reports the failure.
class BoundedThread {
 public:
  explicit BoundedThread(std::function<void()> work) {
    auto task = std::make_shared<std::packaged_task<void()>>(std::move(work));
    done_ = task->get_future();
    thread_ = std::thread([task] { (*task)(); });
  }
  ~BoundedThread() {
    if (thread_.joinable()) join([] {});
  }
  BoundedThread(const BoundedThread &) = delete;
  BoundedThread &operator=(const BoundedThread &) = delete;

  // False when the thread had to be unblocked.
  bool join(const std::function<void()> &unblock) {
    bool in_time = done_.wait_for(kThreadLimit) == std::future_status::ready;
    while (done_.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) unblock();
    thread_.join();
    return in_time;
  }

  bool finished() const {
    return done_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  }

 private:
  std::future<void> done_;
  std::thread thread_;
};

// Polls until condition holds or kThreadLimit passes.
inline bool eventually(const std::function<bool()> &condition) {
  const auto deadline = std::chrono::steady_clock::now() + kThreadLimit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace lyrdua::test
