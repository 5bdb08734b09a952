// The C API of the event library and lyr_dua_init.
#include <lyrdua/kor_evt.h>

#include "evtlib/diagnostics.hpp"
#include "evtlib/event_text.hpp"
#include "evtlib/memory_hooks.hpp"
#include "evtlib/nesting.hpp"
#include "evtlib/raising.hpp"
#include "evtlib/reading.hpp"
#include "evtlib/ring.hpp"
#include "evtlib/streams.hpp"
#include "platform/export.hpp"
#include "platform/library_lock.hpp"
#include "platform/thread_state.hpp"

namespace lyrdua::evt {
namespace {

// The stream whose current event a lookup reads; null (reported) for a number
// beyond the last stream.
Stream *stream_for_lookup(uint32_t stream) {
  if (stream < kStreamCount) return &state.streams[stream];
  report(kStreamNumberExceedsLimit);
  return nullptr;
}

}  // namespace
}  // namespace lyrdua::evt

using namespace lyrdua;

extern "C" {

LYRDUA_EXPORT uint32_t KOR_API kor_evt_put_event(uint32_t code, uint32_t category, uint32_t flags) {
  return evt::put_event(code, category, flags);
}

LYRDUA_EXPORT void KOR_API kor_evt_putstrn(uint32_t handle, uint32_t index, const char *text,
                                           uint32_t length) {
  evt::attach_param(handle, index, KOR_EVT_PARAM_TEXT, text, length);
}

LYRDUA_EXPORT void KOR_API kor_evt_putbin(uint32_t handle, uint32_t index, const void *data,
                                          uint32_t length) {
  evt::attach_param(handle, index, KOR_EVT_PARAM_BINARY, data, length);
}

LYRDUA_EXPORT void KOR_API kor_evt_end_event(uint32_t handle) { evt::end_event(handle); }

LYRDUA_EXPORT void KOR_API kor_evt_push(void) {
  platform::ThreadState &thread_state = platform::current_thread_state();
  if (thread_state.depth == 0) {
    // The group counter is shared by all threads.
    platform::LibraryLockGuard guard;
    thread_state.group = evt::state.ring.next_group++;
  }
  ++thread_state.depth;
}

LYRDUA_EXPORT void KOR_API kor_evt_pop(void) {
  const uint32_t thread = platform::current_thread_id();
  platform::LibraryLockGuard guard;
  evt::pop_level(platform::current_thread_state(), thread);
}

LYRDUA_EXPORT void KOR_API kor_evt_pop_all(void) {
  const uint32_t thread = platform::current_thread_id();
  platform::LibraryLockGuard guard;
  evt::pop_all_levels(platform::current_thread_state(), thread);
}

LYRDUA_EXPORT uint32_t KOR_API kor_evt_set_filter(uint32_t stream, int32_t level, uint32_t mask) {
  return evt::set_filter(stream, level, mask);
}

LYRDUA_EXPORT void KOR_API kor_evt_clear_filter(uint32_t stream) { evt::clear_filter(stream); }

LYRDUA_EXPORT uint32_t KOR_API kor_evt_set_stream_options(uint32_t stream, uint32_t options) {
  return evt::set_stream_options(stream, options);
}

LYRDUA_EXPORT uint32_t KOR_API kor_evt_stream_alloc(void) { return evt::allocate_stream(); }

LYRDUA_EXPORT void KOR_API kor_evt_stream_free(uint32_t stream) { evt::free_stream(stream); }

LYRDUA_EXPORT kor_evt_record *KOR_API kor_evt_get_event(uint32_t stream) {
  return evt::get_event(stream);
}

LYRDUA_EXPORT kor_evt_record *KOR_API kor_evt_wait_for_event(uint32_t stream) {
  return evt::wait_for_event(stream);
}

LYRDUA_EXPORT void KOR_API kor_evt_get_text(uint32_t stream, char **text, uint32_t *length) {
  if (text == nullptr || length == nullptr) return;
  platform::LibraryLockGuard guard;
  evt::Stream *s = evt::stream_for_lookup(stream);
  if (s == nullptr) {
    *length = 0;
    return;
  }
  evt::format_current_text(*s, text, length);
}

LYRDUA_EXPORT void KOR_API kor_evt_get_param(uint32_t stream, uint32_t index, uint32_t *kind,
                                             void **data, uint32_t *length) {
  if (kind == nullptr || data == nullptr || length == nullptr) return;
  platform::LibraryLockGuard guard;
  *length = 0;
  evt::Stream *s = evt::stream_for_lookup(stream);
  if (s == nullptr) return;
  const kor_evt_param *param = evt::first_param(s->current.params, index);
  if (param == nullptr) return;
  *kind = param->kind;
  *data = param->data;
  *length = param->length;
}

LYRDUA_EXPORT void KOR_API lyr_dua_init(kor_alloc_fn alloc, kor_release_fn release) {
  evt::install_memory_hooks(alloc, release);
}

}  // extern "C"
