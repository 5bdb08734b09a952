// Copies of records handed to readers, their formatted texts and parameters,
// and the console printout. The functions expect the library lock to be held.
#pragma once

#include "evtlib/event_state.hpp"

namespace lyrdua::evt {

// Replaces the stream's current event by a copy of record, whose parameters
// are listed in the order they were attached.
void copy_to_current(Stream &stream, const kor_evt_record &record);

// Formats the text of the stream's current event into its text buffer: on
// success the text and its length, else length 0 (text untouched) and the
// failure reported on standard output.
void format_current_text(Stream &stream, char **text, uint32_t *length);

// Prints a completed record on standard output if the console stream selects it.
void print_if_console_selects(const kor_evt_record &record);

}  // namespace lyrdua::evt
