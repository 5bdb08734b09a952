// The selection test and the pre-selection masks.
#include "evtlib/selection.hpp"

namespace lyrdua::evt {
namespace {

bool masks_select(const uint32_t (&masks)[kSeverityLevels], uint32_t severity, uint32_t category) {
  for (uint32_t level = 0; level <= severity && level < kSeverityLevels; ++level)
    if ((masks[level] & category) != 0) return true;
  return false;
}

const ThreadFilter *filter_of(const Stream &stream, uint32_t thread) {
  for (const ThreadFilter *f = stream.thread_filters; f != nullptr; f = f->next)
    if (f->thread == thread) return f;
  return nullptr;
}

}  // namespace

bool selects(const Stream &stream, const kor_evt_record &record) {
  if (masks_select(stream.masks, record.severity, record.category)) return true;
  const ThreadFilter *filter = filter_of(stream, record.thread);
  return filter != nullptr && masks_select(filter->masks, record.severity, record.category);
}

bool is_wanted(uint32_t severity, uint32_t category, uint32_t thread) {
  if ((state.all_thread_masks[severity].load(std::memory_order_relaxed) & category) != 0)
    return true;
  if ((state.thread_masks[severity].load(std::memory_order_relaxed) & category) == 0 ||
      state.highest_in_use == 0)
    return false;
  for (uint32_t n = 1; n <= state.highest_in_use; ++n) {
    if (!state.in_use[n]) continue;
    const ThreadFilter *filter = filter_of(state.streams[n], thread);
    if (filter != nullptr && masks_select(filter->masks, severity, category)) return true;
  }
  return false;
}

void recompute_preselection() {
  uint32_t all_thread = 0;
  uint32_t thread = 0;
  // Each level includes the levels below it: a mask at level L selects severity L and above.
  for (uint32_t level = 0; level < kSeverityLevels; ++level) {
    for (uint32_t n = 1; n <= state.highest_in_use; ++n) {
      if (!state.in_use[n]) continue;
      const Stream &s = state.streams[n];
      all_thread |= s.masks[level];
      for (const ThreadFilter *f = s.thread_filters; f != nullptr; f = f->next)
        thread |= f->masks[level];
    }
    state.all_thread_masks[level].store(all_thread, std::memory_order_relaxed);
    state.thread_masks[level].store(thread, std::memory_order_relaxed);
  }
}

}  // namespace lyrdua::evt
