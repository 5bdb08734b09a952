// Lookup of a code in a message table.
#pragma once

#include <algorithm>
#include <cstdint>

#include "lyrmsg/message_table.hpp"

namespace lyrdua::platform {

// The entry of code, or null; the table is sorted by code.
inline const msg::MessageEntry *find_message(const msg::MessageTable &table, uint32_t code) {
  const msg::MessageEntry *end = table.entries + table.count;
  const msg::MessageEntry *entry =
      std::lower_bound(table.entries, end, code,
                       [](const msg::MessageEntry &e, uint32_t wanted) { return e.code < wanted; });
  return entry != end && entry->code == code ? entry : nullptr;
}

}  // namespace lyrdua::platform
