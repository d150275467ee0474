// Measurements and hit tests on host paths: area, perimeter, crossings,
// overlap, point containment, nearest points, and small path tools.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/geometry.h"
#include "plugin/host_types.h"

struct PathStyle;

// Chords per curve used by the crossing, containment and overlap tests.
constexpr int kTestChords = 16;
// Samples per segment of the nearest-point search.
constexpr int kNearestSamples = 8;
// The distance the nearest-point search starts from (points).
constexpr double kNearestStart = 32000;

// The area enclosed by a closed path, in square points (>= 0). Curves are
// flattened into `chords` chords. With count_crossings, every lobe of a
// self-crossing outline counts positively (a figure eight is the sum of its
// two lobes, not their difference). Open paths and paths of fewer than two
// segments measure 0.
double PathArea(ArtHandle path, int chords, bool count_crossings);

// The length of a closed path's outline, the closing segment included; 0 for
// an open or empty path.
double PathPerimeter(ArtHandle path, int chords);

// Modes of the one crossing-or-overlap test.
enum PathTestMode : int16_t {
  kPathsCross = 0,    // the outlines cross or touch
  kPathsOverlap = 1,  // one outline reaches inside the other
};

// Whether the outlines of a and b (paths or compound paths) cross or touch,
// within 1e-4 point.
int16_t PathsCross(ArtHandle a, ArtHandle b);
// Whether one of a and b (paths or compound paths) reaches inside the other.
int16_t PathsOverlap(ArtHandle a, ArtHandle b);
// The two tests by mode (PathTestMode).
int16_t PathsTest(ArtHandle a, ArtHandle b, int16_t mode);

// 0 outside, 1 inside, 2 on an outline within the tolerance (never with
// tolerance 0). Groups and compound paths combine their children even-odd.
int PointInArt(ArtHandle art, RealPoint point, double tolerance);

// The sampled point of the art's outline nearest to p, written to *result.
// Art that is not a path gives the centre of its bounds. *result is left as
// the caller set it when nothing is nearer than 32000 points or the path
// cannot be read.
void NearestPointOnPath(ArtHandle art, RealPoint p, RealPoint* result);

// Every path under the art, in walk order (groups and compound paths are
// entered, other art is skipped).
std::vector<ArtHandle> CollectPaths(ArtHandle art);

// A new open path at the bottom inside the group, painted with the style,
// from p1 to p2 (two corner segments with their handles on the anchors).
// Null when the host refuses to create it.
ArtHandle MakeTwoPointPath(ArtHandle group, const PathStyle& style, RealPoint p1, RealPoint p2);

// The line test of two segments shared by the crossing test and the area
// with crossings: exact vertical and slope comparisons, ranges widened by
// 1e-4. On a crossing, *at is the crossing point.
bool LinesCross(RealPoint p1, RealPoint p2, RealPoint p3, RealPoint p4, RealPoint* at);
