// The constant data of the T.61 / Latin-1 conversion (t61_tables.cpp).
#pragma once

#include "cnv/direction.hpp"
#include "cnv/set_table.hpp"

namespace lyrdua::cnv {

extern const Direction latin1_to_t61;
extern const Direction t61_to_latin1;

// Final octets of the escape sequences that designate sets.
extern const FinalList c0_finals;
extern const FinalList c1_finals;
extern const FinalList finals_94;  // 94-octet graphic sets
extern const FinalList finals_96;  // 96-octet graphic sets

// Combinations of the T.61 diacritics, indexed by diacritic - kFirstDiacritic.
extern const Combination (&diacritic_combinations)[kDiacriticCount];

}  // namespace lyrdua::cnv
