// An independent judge of a nested layout: the placed outlines grown by half
// the spacing are intersected with polygon clipping, and every outline must
// lie inside its sheet's nesting area.
#pragma once

#include <cstdint>
#include <string>

#include "engine/model.h"

namespace nestdata {

struct LayoutProblems {
  int32_t overlaps = 0;  // pairs of parts on one sheet closer than the spacing
  int32_t outside = 0;   // parts reaching outside their sheet's area
  int32_t unplaced = 0;
  std::string first;  // the first problem, described
  bool ok() const { return overlaps == 0 && outside == 0 && unplaced == 0; }
};

// Checks parts[0 .. count) placed with spacing m (points) on sheets whose
// nesting areas are `area` moved to each part's area centre (baseline Top).
// Outlines may come as close as m less `slack` points.
LayoutProblems CheckLayout(const NestPart* parts, int32_t count, const RealRect& area, double m,
                           double slack = 0.01);

// The area of the part's fine outline grown by r points (round corners),
// square points. Grown parts of a valid layout with spacing 2 r do not
// overlap and lie in their sheet's area grown by r, so the sum of these
// areas bounds from below the sheets any layout needs. The round corners
// are chords of their arcs, so the figure is never above the true one.
double GrownArea(const NestPart& part, double r);

}  // namespace nestdata
