// lyrdua.dll loaded with LoadLibraryA and called through GetProcAddress: its
// entry point makes the library's objects at process attach, each thread's
// nesting state at thread attach, and lets them go at detach.
#include <gtest/gtest.h>
#include <lyrdua/kor_evt.h>
#include <windows.h>

#include <string>
#include <vector>

namespace lyrdua::test {
namespace {

constexpr uint32_t kCategory = 0x200;
constexpr uint32_t kTextCode = 0xE6F001CFu;  // "The boolean value is empty."

// The event functions of one loaded copy of the DLL.
class LoadedDll {
  HMODULE module_;  // first: the function pointers below are looked up in it

 public:
  LoadedDll() : module_(LoadLibraryA(LYRDUA_DLL)) {}
  ~LoadedDll() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LoadedDll(const LoadedDll &) = delete;
  LoadedDll &operator=(const LoadedDll &) = delete;

  bool loaded() const { return module_ != nullptr; }
  bool unload() {
    const bool freed = FreeLibrary(module_) != FALSE;
    module_ = nullptr;
    return freed;
  }

  template <typename Function>
  Function *get(const char *name) const {
    return reinterpret_cast<Function *>(reinterpret_cast<void *>(GetProcAddress(module_, name)));
  }

  decltype(&kor_evt_stream_alloc) stream_alloc =
      get<decltype(kor_evt_stream_alloc)>("kor_evt_stream_alloc");
  decltype(&kor_evt_stream_free) stream_free =
      get<decltype(kor_evt_stream_free)>("kor_evt_stream_free");
  decltype(&kor_evt_set_filter) set_filter =
      get<decltype(kor_evt_set_filter)>("kor_evt_set_filter");
  decltype(&kor_evt_set_stream_options) set_options =
      get<decltype(kor_evt_set_stream_options)>("kor_evt_set_stream_options");
  decltype(&kor_evt_put_event) put_event = get<decltype(kor_evt_put_event)>("kor_evt_put_event");
  decltype(&kor_evt_get_event) get_event = get<decltype(kor_evt_get_event)>("kor_evt_get_event");
  decltype(&kor_evt_get_text) get_text = get<decltype(kor_evt_get_text)>("kor_evt_get_text");
  decltype(&kor_evt_push) push = get<decltype(kor_evt_push)>("kor_evt_push");
  decltype(&kor_evt_pop) pop = get<decltype(kor_evt_pop)>("kor_evt_pop");
};

// What a stream read of one event gave.
struct Seen {
  uint32_t code;
  uint32_t level;
  uint32_t thread;
  uint32_t group;
  uint32_t flags;
};

std::vector<Seen> read_all(const LoadedDll &dll, uint32_t stream) {
  std::vector<Seen> seen;
  while (const kor_evt_record *r = dll.get_event(stream))
    seen.push_back({r->code, r->level, r->thread, r->group, r->flags});
  return seen;
}

// Each load starts from the state of a fresh process and finds lyrmsg.dll
// beside the DLL; each unload lets everything go, so the next load is fresh.
TEST(DllEntryPoint, EveryLoadStartsAfreshAndFindsTheMessageModule) {
  for (int load = 1; load <= 3; ++load) {
    LoadedDll dll;
    ASSERT_TRUE(dll.loaded()) << "load " << load << ": error " << GetLastError();
    ASSERT_NE(dll.put_event, nullptr);
    const uint32_t stream = dll.stream_alloc();
    dll.set_options(stream, KOR_EVT_OPT_FLAT);
    dll.set_filter(stream, 0, kCategory);
    EXPECT_EQ(dll.put_event(kTextCode, kCategory, 0), 1u) << "load " << load;
    ASSERT_NE(dll.get_event(stream), nullptr);
    char *text = nullptr;
    uint32_t length = 0;
    dll.get_text(stream, &text, &length);
    EXPECT_EQ(std::string(text != nullptr ? text : "", length), "The boolean value is empty.")
        << "load " << load;
    dll.stream_free(stream);
    EXPECT_TRUE(dll.unload()) << "load " << load;
  }
}

struct ThreadRun {
  const LoadedDll *dll;
  uint32_t id;
};

// Pushes, raises and pops on a thread of its own: its depth starts at 0.
DWORD WINAPI raise_in_own_group(void *argument) {
  auto *run = static_cast<ThreadRun *>(argument);
  run->id = GetCurrentThreadId();
  run->dll->push();
  run->dll->put_event(kTextCode, kCategory, 0);
  run->dll->pop();
  return 0;
}

// A thread started after the load gets its nesting state at thread attach,
// apart from the thread that loaded the DLL, and gives it back at detach.
TEST(DllEntryPoint, ThreadsStartedAfterLoadingNestOnTheirOwn) {
  LoadedDll dll;
  ASSERT_TRUE(dll.loaded());
  const uint32_t stream = dll.stream_alloc();
  dll.set_options(stream, KOR_EVT_OPT_FLAT);
  dll.set_filter(stream, 0, kCategory);
  dll.push();
  dll.put_event(kTextCode, kCategory, 0);
  ThreadRun runs[2] = {{&dll, 0}, {&dll, 0}};
  for (ThreadRun &run : runs) {
    HANDLE thread = CreateThread(nullptr, 0, raise_in_own_group, &run, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
  }
  dll.put_event(kTextCode, kCategory, 0);
  dll.pop();

  // In order of raising: the loading thread's first event, each thread's
  // event, the loading thread's second event (a flat stream shows no
  // terminators).
  const std::vector<Seen> seen = read_all(dll, stream);
  ASSERT_EQ(seen.size(), 4u);
  const uint32_t main_group = seen[0].group;
  EXPECT_NE(main_group, 0u);
  EXPECT_EQ(seen[3].group, main_group) << "the other threads left the loading thread's level open";
  for (int t = 0; t < 2; ++t) {
    const Seen &event = seen[1 + t];
    EXPECT_EQ(event.thread, runs[t].id) << "thread " << t;
    // Had the thread shared the loading thread's depth, its push would have
    // raised the event at level 2 and its pop left it at level 1.
    EXPECT_EQ(event.level, 0u) << "thread " << t;
    EXPECT_NE(event.group, main_group) << "thread " << t;
    EXPECT_NE(event.group, 0u) << "thread " << t;
  }
  EXPECT_NE(seen[1].group, seen[2].group) << "each thread opened a group of its own";
  dll.stream_free(stream);
}

}  // namespace
}  // namespace lyrdua::test
