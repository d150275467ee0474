// The literal lattice search of step and repeat, step by step as the system
// defines it: the reference that the fast search must match bit for bit.
#pragma once

#include "engine/lattice.h"

namespace oracle {

// One trial: the patterns in order, each pitch searched from 1 upward with
// every edge of every placed copy against every edge of every fixed copy,
// the copies counted one by one.
void RunLatticeTrial(LatticeTrial* trial);

// The literal counting rule, copy by copy.
LatticeCount CountLattice(int32_t p1, int32_t p2, int32_t q1, int32_t q2, double shift,
                          double room_x, double room_y);

// Both passes, the 32 trials of each one after another.
LatticeResult LatticeSearch(const LatticeInput& input);

}  // namespace oracle
