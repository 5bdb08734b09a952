// The event ring: 1024 record slots used circularly. Slot head is always
// empty; at most 1023 records are held, the one at the tail being the oldest.
#include "evtlib/ring.hpp"

#include <cstdlib>
#include <cstring>

namespace lyrdua::evt {
namespace {

// Eviction: the streams whose oldest held record goes move on with the tail.
void evict_oldest_record() {
  Ring &ring = state.ring;
  for (uint32_t n = 1; n <= state.highest_in_use; ++n) {
    Stream &s = state.streams[n];
    if (!state.in_use[n] || s.low_water != ring.tail) continue;
    s.low_water = advance(s.low_water);
    if (s.low_water == s.read_position) s.read_position = advance(s.read_position);
  }
  release_oldest_record();
}

}  // namespace

kor_evt_param *make_param(uint32_t kind, uint32_t index, const void *data, uint32_t length) {
  if (static_cast<size_t>(length) > SIZE_MAX - sizeof(kor_evt_param) - 1) return nullptr;
  auto *param = static_cast<kor_evt_param *>(std::malloc(sizeof(kor_evt_param) + length + 1));
  if (param == nullptr) return nullptr;
  auto *bytes = reinterpret_cast<char *>(param + 1);
  if (length != 0) std::memcpy(bytes, data, length);
  bytes[length] = '\0';
  *param = {kind, index, bytes, length, nullptr};
  return param;
}

const kor_evt_param *first_param(const kor_evt_param *params, uint32_t index) {
  for (const kor_evt_param *p = params; p != nullptr; p = p->next)
    if (p->index == index) return p;
  return nullptr;
}

const kor_evt_param *first_text_param(const kor_evt_param *params, uint32_t index) {
  for (const kor_evt_param *p = params; p != nullptr; p = p->next)
    if (p->index == index && p->kind == KOR_EVT_PARAM_TEXT) return p;
  return nullptr;
}

void free_params(kor_evt_param *params) {
  while (params != nullptr) {
    kor_evt_param *next = params->next;
    std::free(params);
    params = next;
  }
}

void clear_record(kor_evt_record *record) {
  free_params(record->params);
  *record = kor_evt_record{};
}

kor_evt_record &claim_head_record() {
  if (state.ring.free_count == 1) evict_oldest_record();
  kor_evt_record &record = state.ring.slots[state.ring.head];
  clear_record(&record);
  return record;
}

uint32_t commit_head_record() {
  Ring &ring = state.ring;
  const uint32_t number = ring.next_number++;
  ring.head = advance(ring.head);
  --ring.free_count;
  return number;
}

void release_oldest_record() {
  Ring &ring = state.ring;
  clear_record(&ring.slots[ring.tail]);
  ring.tail = advance(ring.tail);
  ++ring.free_count;
}

}  // namespace lyrdua::evt
