// Generated step-and-repeat samples for tests and benchmarks: outlines of a
// chosen kind and number of points as path segments, with their bounds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/lattice.h"

namespace latticedata {

enum class Kind { kConvex, kConcave, kNotched, kTriangle, kRounded, kGear };

struct Sample {
  std::vector<PathSegment> segments;
  RealRect bounds{0, 0, 0, 0};
};

// A sample about `size` points across, centred near (cx, cy). points: the
// number of corners for convex, concave and gear outlines (at least 3);
// triangles have 3, notched rectangles 8, rounded rectangles 4 curved
// corners. seed varies the proportions.
Sample MakeSample(Kind kind, int points, double size, uint32_t seed, double cx = 0, double cy = 0);

// The input of a lattice search on a width x height area at the origin.
LatticeInput MakeInput(const Sample& sample, double width, double height, double spacing,
                       int16_t baseline, int16_t mode, int16_t rotation, int workers);

// The first difference between two lattices, or "" when every field is the
// same, bit for bit.
std::string LatticeDifference(const LatticeResult& a, const LatticeResult& b);

}  // namespace latticedata
