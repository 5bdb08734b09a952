// The state of the event library: the ring of records, the streams with their
// filters, and the pre-selection masks. All of it is guarded by the library
// lock, except that the pre-selection masks may also be read without it.
#pragma once

#include <lyrdua/kor_evt.h>

#include <atomic>
#include <cstdint>

namespace lyrdua::evt {

constexpr uint32_t kRingSlots = 1024;
constexpr uint32_t kSlotMask = kRingSlots - 1;
constexpr uint32_t kStreamCount = KOR_EVT_STREAM_LAST + 1;
constexpr uint32_t kSeverityLevels = 4;
constexpr uint32_t kMaxInserts = 10;

constexpr uint32_t advance(uint32_t slot) { return (slot + 1) & kSlotMask; }
constexpr uint32_t step_back(uint32_t slot) { return (slot - 1) & kSlotMask; }
constexpr uint32_t slot_of(uint32_t number) { return number & kSlotMask; }

// The masks that select one thread's events in a stream.
struct ThreadFilter {
  uint32_t thread;
  uint32_t masks[kSeverityLevels];
  ThreadFilter *next;
};

struct Stream {
  uint32_t masks[kSeverityLevels];
  ThreadFilter *thread_filters;
  uint32_t options;
  uint32_t read_position;  // where forward scanning resumes
  uint32_t low_water;      // the slot just before the oldest record the stream holds
  uint32_t top_cursor;     // the group's top-level record being read
  uint32_t walk_cursor;    // the record of that tree last returned
  bool in_group;
  bool walking;
  uint32_t current_group;
  kor_evt_record current;  // copy of the record last returned, with its own parameters
  char text[KOR_EVT_TEXT_SIZE];
};

struct Ring {
  kor_evt_record slots[kRingSlots];
  uint32_t head;  // the slot the next record goes to
  uint32_t tail;  // the oldest slot still held
  uint32_t free_count;
  uint32_t next_number;
  uint32_t next_group;
};

struct EventState {
  Ring ring;
  Stream streams[kStreamCount];
  bool in_use[kStreamCount];
  uint32_t highest_in_use;  // 0 when no stream is in use
  // For each severity level L, the OR of the masks at levels 0..L of every
  // stream in use (all-thread) and of their thread filters (thread).
  std::atomic<uint32_t> all_thread_masks[kSeverityLevels];
  std::atomic<uint32_t> thread_masks[kSeverityLevels];
};

extern EventState state;

// Frees the parameter list of a record (ring record or stream copy).
void free_params(kor_evt_param *params);

// Puts every part of the event library back as it is when the library is
// loaded, freeing what records, stream copies and thread filters hold, and
// resets the calling thread's nesting. Used at unload; tests use it to start
// each case afresh.
void release_event_library();

}  // namespace lyrdua::evt
