// A host program of the library for the start-up tests: it reads one event
// with two inserts back through a stream and prints what it got. The tests run
// it with different message modules and compare its output byte for byte.
#include <lyrdua/kor_evt.h>

#include <cstdio>

int main() {
  std::printf("probe start\n");
  const uint32_t stream = kor_evt_stream_alloc();
  kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT);
  kor_evt_set_filter(stream, 0, KOR_EVT_CAT_SYNTAX);
  const uint32_t handle = kor_evt_put_event(0xE6F001F4u, KOR_EVT_CAT_SYNTAX, KOR_EVT_OPEN);
  kor_evt_putstrn(handle, 1, "2", 1);
  kor_evt_putstrn(handle, 2, "3 (BIT_STRING)", 14);
  kor_evt_end_event(handle);
  const kor_evt_record *record = kor_evt_get_event(stream);
  if (record == nullptr) {
    std::printf("no event\n");
    return 1;
  }
  std::printf("event %u with %u parameters\n", record->number, record->param_count);
  char *text = nullptr;
  uint32_t length = 0;
  kor_evt_get_text(stream, &text, &length);
  std::printf("text %u: %.*s\n", length, static_cast<int>(length), length != 0 ? text : "");
  kor_evt_stream_free(stream);
  return 0;
}
