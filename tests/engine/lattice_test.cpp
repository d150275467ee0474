// Step and repeat without the host: the plain grid, the passes, the
// counting rule and the lattices the search chooses.
#include <gtest/gtest.h>

#include "engine/lattice.h"

namespace {

TEST(PlainGrid, Placeholder) {
  const PlainGrid g = PlainGridFor(RealRect{0, 50, 100, 0}, RealRect{0, 1000, 1000, 0}, 0, 0, 0);
  EXPECT_EQ(g.columns * g.rows, 200);
}

}  // namespace
