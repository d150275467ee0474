// Outlines mapped to a placement with per-edge boxes, so that the collision
// tests of the search can skip edge pairs that cannot meet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/geometry.h"

// A polygon mapped to its placement, closing point dropped, with the box of
// every edge. Edge i runs from point i - 1 to point i; edge 0 from the last
// point to the first, the order in which the search walks edges. The storage
// belongs to whoever filled the view.
struct OutlineView {
  const RealPoint* points = nullptr;
  const RealRect* edges = nullptr;
  int32_t count = 0;
  RealRect bounds{0, 0, 0, 0};
};

// The edges of an outline grouped by vertical slabs of its box, so that a
// point-in-polygon test visits only edges whose x-range can hold the point.
struct SlabIndex {
  double left = 0;
  double slab_width = 0;
  int32_t slabs = 0;
  std::vector<int32_t> start;  // slabs + 1 offsets into edges
  std::vector<int32_t> edges;
  std::vector<int32_t> first;  // per edge of the outline: the first slab that lists it
};
void BuildSlabs(const OutlineView& v, SlabIndex* index);

// PointInPolygon(v.points, v.count, p, 0) == kInside, visiting only the
// edges that can count (the index may be null).
bool InsideOutline(const OutlineView& v, const SlabIndex* index, RealPoint p);

// Drops the last point when it lies within 0.01 of the first: outlines built
// from paths repeat their first point. Returns the count to use.
int32_t CountWithoutClosingPoint(const RealPoint* points, int32_t count);

// Fills edges[0 .. count) and *bounds from the points.
void BuildEdgeBoxes(const RealPoint* points, int32_t count, RealRect* edges, RealRect* bounds);

// The edge pair that last found two outlines near, tried first next time.
struct NearHint {
  int32_t a = -1;
  int32_t b = -1;
};

// Same answer as the literal test (every edge of a against every edge of b:
// a crossing, or an end point closer than m to the other edge), skipping the
// pairs whose boxes are too far apart for either to happen. With a's slab
// index, each edge of b is paired only with the edges of a in the slabs its
// box reaches.
bool OutlinesNear(const OutlineView& a, const OutlineView& b, double m, NearHint* hint = nullptr,
                  const SlabIndex* a_slabs = nullptr);

// An outline given by its points before a final move (tx, ty) and that
// move: the search's candidate at one position. Its points and edge boxes
// are the linear ones plus the move, computed when asked; they equal the
// mapped points and BuildEdgeBoxes' boxes (the caller ensures it).
struct MovedOutline {
  const RealPoint* linear = nullptr;
  const RealRect* linear_edges = nullptr;
  const SlabIndex* slabs = nullptr;  // of the linear edges, or null
  int32_t count = 0;
  RealRect bounds{0, 0, 0, 0};  // moved
  double tx = 0, ty = 0;
};

// OutlinesNear(a, b mapped, m, hint, a_slabs), visiting only the edges of b
// whose boxes can come within the reach of a's box.
bool OutlinesNearMoved(const OutlineView& a, const SlabIndex* a_slabs, const MovedOutline& b,
                       double m, NearHint* hint = nullptr);

// Same answer as the literal distance (the smallest end-point-to-edge
// distance over all edge pairs, from 32000; -1 as soon as two edges cross),
// skipping pairs that can neither cross nor come closer than the best so far.
double OutlineDistance(const OutlineView& a, const OutlineView& b);

// Square cells of a sheet that lie wholly inside one placed outline: every
// point that falls in such a cell is inside that outline by InsideOutline,
// so a candidate whose first point falls there collides with that part
// without testing its edges.
class InteriorGrid {
 public:
  // Empties the grid and lays it over the area (the sheet's nesting area).
  void Reset(const RealRect& area, double cell);
  // Records the cells wholly inside v under the given id (first id wins).
  void Add(const OutlineView& v, const SlabIndex* slabs, int32_t id);
  // Records under the given id the cells whose every point an edge of v
  // finds closer than m by PointSegmentDistance (first id wins): a
  // candidate whose first point falls there comes closer than m to v.
  void AddNear(const OutlineView& v, double m, int32_t id);
  // The id of an outline that certainly holds p, or -1. Inline: the scan
  // asks it for nearly every candidate.
  int32_t At(RealPoint p) const {
    int32_t c = 0, r = 0;
    if (cols_ <= 0 || !CellOf(p, &c, &r)) return -1;
    return ids_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) +
                static_cast<std::size_t>(c)];
  }

 private:
  bool CellOf(RealPoint p, int32_t* col, int32_t* row) const {
    const double fx = (p.x - left_) / cell_;
    const double fy = (p.y - bottom_) / cell_;
    if (!(fx >= 0 && fx < cols_ && fy >= 0 && fy < rows_)) return false;
    *col = static_cast<int32_t>(fx);
    *row = static_cast<int32_t>(fy);
    return true;
  }

  double left_ = 0, bottom_ = 0, cell_ = 1;
  int32_t cols_ = 0, rows_ = 0;
  std::vector<int32_t> ids_;       // rows_ x cols_, -1 where no outline is certain
  std::vector<uint8_t> boundary_;  // Add's scratch: cells an edge may reach
};
