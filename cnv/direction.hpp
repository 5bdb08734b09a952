// One conversion direction as the engine starts it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cnv/fast_view.hpp"
#include "cnv/set_table.hpp"

namespace lyrdua::cnv {

// One conversion direction: its set lookup, its initial state, and the fast
// view of its initially invoked sets.
struct Direction {
  const KnownSet *known_sets;
  size_t known_set_count;
  const SetTable *const *initial_invoked;  // C0, GL, C1, GR
  uint16_t initial_designated[4];          // G0-G3
  const FastView *initial_view;
};

}  // namespace lyrdua::cnv
