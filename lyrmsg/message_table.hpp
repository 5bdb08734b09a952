// The table that the message module exports: one entry per event code, sorted
// by code, each text as the message compiler stores it (lines ending in a line
// break, inserts and escapes unformatted).
#pragma once

#include <cstdint>

namespace lyrdua::msg {

// Marks a table of this layout; a module that exports another value is refused.
constexpr uint32_t kTableMagic = 0x4C4D5401u;

struct MessageEntry {
  uint32_t code;
  uint32_t length;  // bytes of text, without its terminating NUL
  const char *text;
};

struct MessageTable {
  uint32_t magic;
  uint32_t count;
  const MessageEntry *entries;
};

// Name of the table's symbol in the module.
constexpr const char *kTableSymbol = "lyrmsg_message_table";

}  // namespace lyrdua::msg
