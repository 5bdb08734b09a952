// Records, their parameters and the ring's counters. Every function here
// expects the library lock to be held.
#pragma once

#include "evtlib/event_state.hpp"

namespace lyrdua::evt {

// A parameter node with its own copy of length bytes and a zero byte after
// them, in one allocation; null when memory is exhausted.
kor_evt_param *make_param(uint32_t kind, uint32_t index, const void *data, uint32_t length);

// The first parameter with index in list order, of any kind or text only.
const kor_evt_param *first_param(const kor_evt_param *params, uint32_t index);
const kor_evt_param *first_text_param(const kor_evt_param *params, uint32_t index);

// Frees a record's parameters and zeroes all its fields: an empty slot.
void clear_record(kor_evt_record *record);

// The record at the head, made empty; when the ring is full the oldest record
// is evicted first and the streams that held it move on.
kor_evt_record &claim_head_record();

// Makes the record at the head part of the ring; returns its number.
uint32_t commit_head_record();

// Lets go of the oldest record held.
void release_oldest_record();

}  // namespace lyrdua::evt
