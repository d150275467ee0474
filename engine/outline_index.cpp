// Outlines with edge boxes: exact pruning of the edge-pair loops of the search.
//
// Why skipping is exact. Every value the literal loops look at is either
// (1) a crossing from SegmentIntersection, which counts only when the crossing
// point lies in both edges' boxes widened by 0.001, so two edges whose boxes
// are more than 0.002 apart on one axis never cross; or (2) a distance from
// PointSegmentDistance between an end point of one edge (inside that edge's
// box) and a point of the other edge that lies inside the other edge's box
// (the foot is used only when it is inside the box, edges included, else an
// end point). Such a distance is at least the gap between the two boxes along
// either axis. The tests below compare the gap with a reach that adds a slack
// far above the rounding of coordinates of this size, so a skipped pair could
// have produced neither a crossing nor a distance below the reach. A NaN
// anywhere makes every comparison false and nothing is skipped.
#include "engine/outline_index.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kCrossingTolerance = 0.001;
constexpr double kNoFacing = 32000;

// Slack over the rounding of coordinates up to the given magnitude.
double Slack(double magnitude) {
  return 1e-9 + magnitude * 1e-12;
}

double Magnitude(const RealRect& r) {
  return std::max(std::max(std::fabs(r.left), std::fabs(r.right)),
                  std::max(std::fabs(r.top), std::fabs(r.bottom)));
}

// Whether the boxes are farther apart than reach along either axis.
inline bool FartherThan(const RealRect& a, const RealRect& b, double reach) {
  return a.left - b.right > reach || b.left - a.right > reach || a.bottom - b.top > reach ||
         b.bottom - a.top > reach;
}

}  // namespace

int32_t CountWithoutClosingPoint(const RealPoint* points, int32_t count) {
  if (!points || count < 2) return count < 0 ? 0 : count;
  return PointLength(points[count - 1], points[0]) < 0.01 ? count - 1 : count;
}

void BuildEdgeBoxes(const RealPoint* points, int32_t count, RealRect* edges, RealRect* bounds) {
  RealRect all{0, 0, 0, 0};
  for (int32_t i = 0; i < count; ++i) {
    const RealPoint s = points[i == 0 ? count - 1 : i - 1];
    const RealPoint e = points[i];
    edges[i] =
        RealRect{std::min(s.x, e.x), std::max(s.y, e.y), std::max(s.x, e.x), std::min(s.y, e.y)};
    if (i == 0) {
      all = edges[i];
    } else {
      all.left = std::min(all.left, edges[i].left);
      all.top = std::max(all.top, edges[i].top);
      all.right = std::max(all.right, edges[i].right);
      all.bottom = std::min(all.bottom, edges[i].bottom);
    }
  }
  *bounds = all;
}

namespace {

// Whether a point lies farther than reach from a box along either axis.
inline bool PointFartherThan(RealPoint p, const RealRect& r, double reach) {
  return r.left - p.x > reach || p.x - r.right > reach || r.bottom - p.y > reach ||
         p.y - r.top > reach;
}

// One edge pair of the literal test. A distance from an end point that lies
// farther than the reach (at least m) from the other edge's box is at least
// m and cannot make the smallest of the four less than m, so it is not
// computed; with finite coordinates none of the four is a NaN, so the
// smallest is the same whichever are left out.
bool PairNear(RealPoint a1, RealPoint a2, const RealRect& ea, RealPoint b1, RealPoint b2,
              const RealRect& eb, double m, double reach) {
  if (SegmentIntersection(a1, a2, b1, b2, nullptr)) return true;
  if (!PointFartherThan(a1, eb, reach) && PointSegmentDistance(b1, b2, a1, nullptr) < m)
    return true;
  if (!PointFartherThan(a2, eb, reach) && PointSegmentDistance(b1, b2, a2, nullptr) < m)
    return true;
  if (!PointFartherThan(b1, ea, reach) && PointSegmentDistance(a1, a2, b1, nullptr) < m)
    return true;
  if (!PointFartherThan(b2, ea, reach) && PointSegmentDistance(a1, a2, b2, nullptr) < m)
    return true;
  return false;
}

bool PairNear(const OutlineView& a, int32_t i, const OutlineView& b, int32_t j, double m,
              double reach) {
  return PairNear(a.points[i == 0 ? a.count - 1 : i - 1], a.points[i], a.edges[i],
                  b.points[j == 0 ? b.count - 1 : j - 1], b.points[j], b.edges[j], m, reach);
}

}  // namespace

namespace {

// The slab ranges an edge box of b, grown by the reach, can meet: the first
// is never above, the last never below the slabs of any edge of a whose box
// is within the reach of it on x (see OutlinesNear). A NaN gives every slab.
int32_t FirstSlabOf(const SlabIndex& x, double v) {
  const double f = std::floor((v - x.left) / x.slab_width);
  if (!(f > 0)) return 0;
  return f >= x.slabs - 1 ? x.slabs - 1 : static_cast<int32_t>(f);
}

int32_t LastSlabOf(const SlabIndex& x, double v) {
  const double f = std::floor((v - x.left) / x.slab_width);
  if (!(f < x.slabs - 1)) return x.slabs - 1;
  return f <= 0 ? 0 : static_cast<int32_t>(f);
}

bool HasSlabs(const SlabIndex* x, int32_t count) {
  return x && x->slabs > 0 && x->first.size() == static_cast<size_t>(count);
}

// Visits each edge listed in slabs k0 .. k1 once, in the first of those
// slabs that lists it, until visit returns true.
template <class Visit>
bool AnyInSlabs(const SlabIndex& x, int32_t k0, int32_t k1, Visit&& visit) {
  for (int32_t k = k0; k <= k1; ++k) {
    for (int32_t e = x.start[k]; e < x.start[k + 1]; ++e) {
      const int32_t i = x.edges[e];
      if (std::max(x.first[i], k0) == k && visit(i)) return true;
    }
  }
  return false;
}

// The literal test, every pair in order and nothing skipped, for a NaN
// spacing or coordinate; point_a(i) and point_b(j) give the outlines' points.
template <class PointA, class PointB>
bool LiteralNear(int32_t a_count, int32_t b_count, PointA&& point_a, PointB&& point_b, double m) {
  for (int32_t i = 0; i < a_count; ++i) {
    for (int32_t j = 0; j < b_count; ++j) {
      const RealPoint a1 = point_a(i == 0 ? a_count - 1 : i - 1), a2 = point_a(i);
      const RealPoint b1 = point_b(j == 0 ? b_count - 1 : j - 1), b2 = point_b(j);
      if (SegmentIntersection(a1, a2, b1, b2, nullptr)) return true;
      double d = PointSegmentDistance(b1, b2, a1, nullptr);
      d = std::min(d, PointSegmentDistance(b1, b2, a2, nullptr));
      d = std::min(d, PointSegmentDistance(a1, a2, b1, nullptr));
      d = std::min(d, PointSegmentDistance(a1, a2, b2, nullptr));
      if (d < m) return true;
    }
  }
  return false;
}

}  // namespace

bool OutlinesNear(const OutlineView& a, const OutlineView& b, double m, NearHint* hint,
                  const SlabIndex* a_slabs) {
  if (a.count <= 0 || b.count <= 0) return false;
  const double reach = std::max(m, 2 * kCrossingTolerance) +
                       Slack(std::max(Magnitude(a.bounds), Magnitude(b.bounds)));
  if (!(reach >= 0)) {
    return LiteralNear(
        a.count, b.count, [&](int32_t i) { return a.points[i]; },
        [&](int32_t j) { return b.points[j]; }, m);
  }
  if (FartherThan(a.bounds, b.bounds, reach)) return false;
  // The pair that answered last time often answers again for the next
  // candidate position; the answer does not depend on the order of pairs.
  if (hint && hint->a < a.count && hint->b < b.count && hint->a >= 0 && hint->b >= 0 &&
      !FartherThan(a.edges[hint->a], b.edges[hint->b], reach) &&
      PairNear(a, hint->a, b, hint->b, m, reach)) {
    return true;
  }
  if (HasSlabs(a_slabs, a.count)) {
    // Pairs by the slabs of a. A pair that the loop below would test has
    // a.left - b.right <= reach and b.left - a.right <= reach, so the edge
    // of a starts left of b.right + reach + g and ends right of
    // b.left - reach - g, g being far above the rounding of those sums. Its
    // first slab, computed from its left end (less a hundredth of a slab) by
    // the same operations, each monotone, is then at most the last slab
    // asked for, and its last slab at least the first asked for: it lies in
    // one of the slabs visited, and is taken once, in the first of them
    // that lists it. Every other pair is skipped by the loop below as well;
    // the answer is an "or" over pairs, whatever their order.
    const SlabIndex& x = *a_slabs;
    const double g = reach + Slack(std::max(Magnitude(a.bounds), Magnitude(b.bounds)));
    for (int32_t j = 0; j < b.count; ++j) {
      const RealRect& eb = b.edges[j];
      if (FartherThan(eb, a.bounds, reach)) continue;
      const bool near =
          AnyInSlabs(x, FirstSlabOf(x, eb.left - g), LastSlabOf(x, eb.right + g), [&](int32_t i) {
            if (FartherThan(a.edges[i], eb, reach) || !PairNear(a, i, b, j, m, reach)) return false;
            if (hint) *hint = NearHint{i, j};
            return true;
          });
      if (near) return true;
    }
    return false;
  }
  for (int32_t i = 0; i < a.count; ++i) {
    const RealRect& ea = a.edges[i];
    if (FartherThan(ea, b.bounds, reach)) continue;
    for (int32_t j = 0; j < b.count; ++j) {
      if (FartherThan(ea, b.edges[j], reach)) continue;
      if (PairNear(a, i, b, j, m, reach)) {
        if (hint) *hint = NearHint{i, j};
        return true;
      }
    }
  }
  return false;
}

namespace {

// Point i and the box of edge i of a moved outline: the linear values plus
// the move, the sums that mapping the points and BuildEdgeBoxes give.
inline RealPoint MovedPoint(const MovedOutline& b, int32_t i) {
  return RealPoint{b.linear[i].x + b.tx, b.linear[i].y + b.ty};
}

inline RealRect MovedEdge(const MovedOutline& b, int32_t j) {
  const RealRect& l = b.linear_edges[j];
  return RealRect{l.left + b.tx, l.top + b.ty, l.right + b.tx, l.bottom + b.ty};
}

// Edge j of b against the edges of a that its box can reach.
bool MovedEdgeNear(const OutlineView& a, const SlabIndex* a_slabs, const MovedOutline& b, int32_t j,
                   double m, double reach, double g, NearHint* hint) {
  const RealRect eb = MovedEdge(b, j);
  if (FartherThan(eb, a.bounds, reach)) return false;
  const RealPoint b1 = MovedPoint(b, j == 0 ? b.count - 1 : j - 1);
  const RealPoint b2 = MovedPoint(b, j);
  auto pair = [&](int32_t i) {
    if (FartherThan(a.edges[i], eb, reach)) return false;
    if (!PairNear(a.points[i == 0 ? a.count - 1 : i - 1], a.points[i], a.edges[i], b1, b2, eb, m,
                  reach)) {
      return false;
    }
    if (hint) *hint = NearHint{i, j};
    return true;
  };
  if (HasSlabs(a_slabs, a.count)) {
    const SlabIndex& x = *a_slabs;
    return AnyInSlabs(x, FirstSlabOf(x, eb.left - g), LastSlabOf(x, eb.right + g), pair);
  }
  for (int32_t i = 0; i < a.count; ++i) {
    if (pair(i)) return true;
  }
  return false;
}

}  // namespace

// The pairs tested are those of OutlinesNear with a's slabs, on the same
// values, except that the edges of b are taken from the slabs of its linear
// edges that the box of a, grown by the reach, can meet. An edge of b that
// OutlinesNear pairs with anything passes its test against a's bounds:
// left + tx (as computed) <= a.right + reach and right + tx >= a.left - reach
// up to the rounding of the sums. Its linear left end (less a hundredth of a
// slab) is therefore below (a.right + g) - tx and its right end above
// (a.left - g) - tx as computed, g adding a slack far above the rounding of
// values of the magnitude of a, b and the move; the monotone operations of
// the slab look-ups then put it in a visited slab, taken once in the first.
// A NaN anywhere leaves every slab visited and skips nothing.
bool OutlinesNearMoved(const OutlineView& a, const SlabIndex* a_slabs, const MovedOutline& b,
                       double m, NearHint* hint) {
  if (a.count <= 0 || b.count <= 0) return false;
  const double magnitude =
      std::max({Magnitude(a.bounds), Magnitude(b.bounds), std::fabs(b.tx), std::fabs(b.ty)});
  const double reach = std::max(m, 2 * kCrossingTolerance) +
                       Slack(std::max(Magnitude(a.bounds), Magnitude(b.bounds)));
  if (!(reach >= 0)) {
    return LiteralNear(
        a.count, b.count, [&](int32_t i) { return a.points[i]; },
        [&](int32_t j) { return MovedPoint(b, j); }, m);
  }
  if (FartherThan(a.bounds, b.bounds, reach)) return false;
  if (hint && hint->a < a.count && hint->b < b.count && hint->a >= 0 && hint->b >= 0) {
    const RealRect eb = MovedEdge(b, hint->b);
    const int32_t i = hint->a, j = hint->b;
    if (!FartherThan(a.edges[i], eb, reach) &&
        PairNear(a.points[i == 0 ? a.count - 1 : i - 1], a.points[i], a.edges[i],
                 MovedPoint(b, j == 0 ? b.count - 1 : j - 1), MovedPoint(b, j), eb, m, reach)) {
      return true;
    }
  }
  const double g = reach + Slack(magnitude);
  if (HasSlabs(b.slabs, b.count)) {
    const SlabIndex& x = *b.slabs;
    return AnyInSlabs(
        x, FirstSlabOf(x, (a.bounds.left - g) - b.tx), LastSlabOf(x, (a.bounds.right + g) - b.tx),
        [&](int32_t j) { return MovedEdgeNear(a, a_slabs, b, j, m, reach, g, hint); });
  }
  for (int32_t j = 0; j < b.count; ++j) {
    if (MovedEdgeNear(a, a_slabs, b, j, m, reach, g, hint)) return true;
  }
  return false;
}

double OutlineDistance(const OutlineView& a, const OutlineView& b) {
  double best = kNoFacing;
  if (a.count <= 0 || b.count <= 0) return best;
  const double slack = Slack(std::max(Magnitude(a.bounds), Magnitude(b.bounds)));
  // A pair farther apart than max(best, crossing reach) can neither cross
  // nor lower the minimum; best only shrinks, so the reach is recomputed.
  for (int32_t i = 0; i < a.count; ++i) {
    const RealRect& ea = a.edges[i];
    if (FartherThan(ea, b.bounds, std::max(best, 2 * kCrossingTolerance) + slack)) continue;
    const RealPoint a1 = a.points[i == 0 ? a.count - 1 : i - 1];
    const RealPoint a2 = a.points[i];
    for (int32_t j = 0; j < b.count; ++j) {
      if (FartherThan(ea, b.edges[j], std::max(best, 2 * kCrossingTolerance) + slack)) continue;
      const RealPoint b1 = b.points[j == 0 ? b.count - 1 : j - 1];
      const RealPoint b2 = b.points[j];
      if (SegmentIntersection(a1, a2, b1, b2, nullptr)) return -1;
      best = std::min(best, PointSegmentDistance(b1, b2, a1, nullptr));
      best = std::min(best, PointSegmentDistance(b1, b2, a2, nullptr));
      best = std::min(best, PointSegmentDistance(a1, a2, b1, nullptr));
      best = std::min(best, PointSegmentDistance(a1, a2, b2, nullptr));
    }
  }
  return best;
}

// PointInPolygon (tolerance 0) toggles "inside" for each edge with
// min(x) < p.x <= max(x) whose height at p.x puts it on the ray cast from the
// point away from the x axis. The parity does not depend on the order in
// which edges are visited, so only edges whose box holds p.x are visited;
// the test of each is PointInPolygon's own, on the same values.
namespace {

inline void Toggle(const OutlineView& v, int32_t i, RealPoint p, bool* inside) {
  const RealRect& box = v.edges[i];
  if (!(box.left < p.x && p.x <= box.right)) return;
  const RealPoint s = v.points[i == 0 ? v.count - 1 : i - 1];
  const RealPoint e = v.points[i];
  if (s.x == e.x) return;
  const double y = s.y + (p.x - s.x) * (e.y - s.y) / (e.x - s.x);
  const bool crosses = y >= 0 ? (0 <= p.y && p.y <= y) : (y <= p.y && p.y < 0);
  if (crosses) *inside = !*inside;
}

}  // namespace

void BuildSlabs(const OutlineView& v, SlabIndex* index) {
  index->slabs = 0;
  index->start.clear();
  index->edges.clear();
  index->first.clear();
  const double width = v.bounds.right - v.bounds.left;
  if (v.count < 16 || !(width > 0) || !std::isfinite(width)) return;
  for (int32_t i = 0; i < v.count; ++i) {
    if (!std::isfinite(v.edges[i].left) || !std::isfinite(v.edges[i].right)) return;
  }
  const int32_t n = std::max<int32_t>(1, v.count / 4);
  index->left = v.bounds.left;
  index->slab_width = width / n;
  index->slabs = n;
  // A slab lists every edge whose x-range meets it widened by a hundredth of
  // its width, far above the rounding of the slab a point is sent to.
  const double slack = index->slab_width / 100;
  std::vector<std::vector<int32_t>> lists(static_cast<size_t>(n));
  for (int32_t i = 0; i < v.count; ++i) {
    const RealRect& b = v.edges[i];
    const int32_t first = std::clamp(
        static_cast<int32_t>(std::floor((b.left - slack - index->left) / index->slab_width)), 0,
        n - 1);
    const int32_t last = std::clamp(
        static_cast<int32_t>(std::floor((b.right + slack - index->left) / index->slab_width)), 0,
        n - 1);
    for (int32_t k = first; k <= last; ++k) lists[static_cast<size_t>(k)].push_back(i);
    index->first.push_back(first);
  }
  index->start.push_back(0);
  for (const auto& l : lists) {
    index->edges.insert(index->edges.end(), l.begin(), l.end());
    index->start.push_back(static_cast<int32_t>(index->edges.size()));
  }
}

bool InsideOutline(const OutlineView& v, const SlabIndex* index, RealPoint p) {
  if (v.count <= 0) return false;
  bool inside = false;
  if (index && index->slabs > 0) {
    // Points outside the box cross nothing (no edge has min(x) < p.x <= max(x)).
    if (!(v.bounds.left < p.x && p.x <= v.bounds.right)) return false;
    const int32_t k =
        std::clamp(static_cast<int32_t>(std::floor((p.x - index->left) / index->slab_width)), 0,
                   index->slabs - 1);
    for (int32_t e = index->start[k]; e < index->start[k + 1]; ++e) {
      Toggle(v, index->edges[e], p, &inside);
    }
    return inside;
  }
  for (int32_t i = 0; i < v.count; ++i) Toggle(v, i, p, &inside);
  return inside;
}

// Why a cell of the interior grid is certain. Take a cell and every point p
// that CellOf sends to it; their true coordinates lie within the cell's
// square up to a rounding far below the slack. For each edge of the outline:
//  - columns left or right of the edge's x-range, grown by the slack, hold
//    only points outside the range, which PointInPolygon's edge test
//    (min(x) < p.x <= max(x)) skips;
//  - in every other column the edge's true height over the column's strip,
//    grown by one cell on each side, lies between its heights at the strip's
//    ends, computed below with the interpolation PointInPolygon uses (a
//    rounding of a few units in the last place of the coordinates). The
//    rows that can hold those heights, grown by the slack and one more row
//    on each side, are marked.
// An unmarked cell is therefore more than a cell minus rounding above or
// below every edge that PointInPolygon counts for its points, so each
// crossing decision (p.y against the interpolated height, on either side of
// the x axis) is the one of the true segment, and no edge touches the cell.
// The parity of a point off the outline is the same for all points of a
// square that no edge touches, so it is the parity at the cell's centre,
// which InsideOutline (equal to PointInPolygon with tolerance 0) computes.
void InteriorGrid::Reset(const RealRect& area, double cell) {
  cols_ = rows_ = 0;
  ids_.clear();
  const double w = area.right - area.left;
  const double h = area.top - area.bottom;
  if (!(cell > 0) || !(w > 0) || !(h > 0) || !std::isfinite(w * h) || !std::isfinite(area.left) ||
      !std::isfinite(area.bottom)) {
    return;
  }
  // At most about four million cells, whatever the sheet size.
  cell_ = std::max(cell, std::sqrt(w * h / 4e6));
  left_ = area.left - cell_;
  bottom_ = area.bottom - cell_;
  cols_ = static_cast<int32_t>(std::ceil(w / cell_)) + 3;
  rows_ = static_cast<int32_t>(std::ceil(h / cell_)) + 3;
  ids_.assign(static_cast<size_t>(cols_) * static_cast<size_t>(rows_), -1);
}

namespace {

// floor((v - origin) / cell), kept within [-2, n + 1].
int32_t IndexOf(double v, double origin, double cell, int32_t n) {
  const double f = std::floor((v - origin) / cell);
  if (!(f > -2)) return -2;
  if (!(f < n + 1)) return n + 1;
  return static_cast<int32_t>(f);
}

}  // namespace

void InteriorGrid::Add(const OutlineView& v, const SlabIndex* slabs, int32_t id) {
  if (cols_ <= 0 || v.count < 3 || !v.points || !v.edges) return;
  for (int32_t i = 0; i < v.count; ++i) {
    if (!std::isfinite(v.points[i].x) || !std::isfinite(v.points[i].y)) return;
  }
  const RealRect& b = v.bounds;
  const double slack = 1e-6 + 1e-9 * Magnitude(b);
  const int32_t c0 = std::max(0, IndexOf(b.left, left_, cell_, cols_));
  const int32_t c1 = std::min(cols_ - 1, IndexOf(b.right, left_, cell_, cols_));
  const int32_t r0 = std::max(0, IndexOf(b.bottom, bottom_, cell_, rows_));
  const int32_t r1 = std::min(rows_ - 1, IndexOf(b.top, bottom_, cell_, rows_));
  if (c0 > c1 || r0 > r1) return;
  const int32_t wc = c1 - c0 + 1;
  boundary_.assign(static_cast<size_t>(wc) * static_cast<size_t>(r1 - r0 + 1), 0);
  for (int32_t i = 0; i < v.count; ++i) {
    const RealPoint s = v.points[i == 0 ? v.count - 1 : i - 1];
    const RealPoint e = v.points[i];
    const RealRect& eb = v.edges[i];
    const int32_t kl = std::max(c0, IndexOf(eb.left - slack, left_, cell_, cols_));
    const int32_t kr = std::min(c1, IndexOf(eb.right + slack, left_, cell_, cols_));
    for (int32_t k = kl; k <= kr; ++k) {
      double lo = eb.bottom, hi = eb.top;
      if (s.x != e.x) {
        const double xa = std::max(eb.left, left_ + (k - 1) * cell_);
        const double xb = std::min(eb.right, left_ + (k + 2) * cell_);
        if (xa <= xb) {
          const double ya = s.y + (xa - s.x) * (e.y - s.y) / (e.x - s.x);
          const double yb = s.y + (xb - s.x) * (e.y - s.y) / (e.x - s.x);
          lo = std::min(ya, yb);
          hi = std::max(ya, yb);
        }
      }
      const int32_t jl = std::max(r0, IndexOf(lo - slack, bottom_, cell_, rows_) - 1);
      const int32_t jr = std::min(r1, IndexOf(hi + slack, bottom_, cell_, rows_) + 1);
      for (int32_t j = jl; j <= jr; ++j) {
        boundary_[static_cast<size_t>(j - r0) * static_cast<size_t>(wc) +
                  static_cast<size_t>(k - c0)] = 1;
      }
    }
  }
  // Two unmarked cells side by side form a connected pair of squares that
  // no edge touches, so a run of unmarked cells in a row shares one parity:
  // the centre of one cell of the run decides for all of it.
  for (int32_t j = r0; j <= r1; ++j) {
    int parity = -1;  // of the current run; -1 until a centre is tested
    for (int32_t k = c0; k <= c1; ++k) {
      if (boundary_[static_cast<size_t>(j - r0) * static_cast<size_t>(wc) +
                    static_cast<size_t>(k - c0)]) {
        parity = -1;
        continue;
      }
      int32_t& cell =
          ids_[static_cast<size_t>(j) * static_cast<size_t>(cols_) + static_cast<size_t>(k)];
      if (cell >= 0) continue;
      if (parity < 0) {
        const RealPoint centre{left_ + (k + 0.5) * cell_, bottom_ + (j + 0.5) * cell_};
        int32_t ck = 0, cj = 0;
        if (!CellOf(centre, &ck, &cj) || ck != k || cj != j) continue;
        parity = InsideOutline(v, slabs, centre) ? 1 : 0;
      }
      if (parity == 1) cell = id;
    }
  }
}

// Why a near cell is certain. PointSegmentDistance(s, e, p) takes the foot
// of p on the edge's line and, when the foot lies in the edge's box, returns
// its distance to p. Only edges where that computation is well conditioned
// are used: edges along an axis (e.x == s.x or e.y == s.y: the foot is p's
// own coordinate on the other axis, exactly), and edges whose run and rise
// are both at least 1/64 of their length (slopes between 1/64 and 64 in
// size, so m2 - m1 is at least 2 in size). With coordinates below 1e6 every
// intermediate of the foot (slopes, intercepts below 7e7, their quotient)
// carries a rounding below 1e-8, and the computed foot lies within 1e-5 of
// the true foot. A cell is marked only when, for every point of its square
// grown by 1e-6 (CellOf's rounding), the true foot lies inside the edge by
// more than kNearMargin along it (so more than kNearMargin / 64 inside the
// edge's box on both axes, and the computed foot is in the box) and the
// true distance is below m - kNearMargin; the computed distance, off by the
// foot's error and a rounding, is then below m. A candidate's first point
// is an end point of its first edge, so the pair of that edge and this one
// gives a distance below m and the outline test reports a collision.
namespace {

constexpr double kNearMargin = 0.01;
constexpr double kNearCoordinateLimit = 1e6;

}  // namespace

void InteriorGrid::AddNear(const OutlineView& v, double m, int32_t id) {
  if (cols_ <= 0 || v.count < 2 || !v.points || !v.edges || !std::isfinite(m)) return;
  for (int32_t i = 0; i < v.count; ++i) {
    if (!std::isfinite(v.points[i].x) || !std::isfinite(v.points[i].y)) return;
  }
  if (Magnitude(v.bounds) > kNearCoordinateLimit - 2 * m ||
      std::max(std::fabs(left_), std::fabs(bottom_)) > kNearCoordinateLimit ||
      std::max(std::fabs(left_ + cols_ * cell_), std::fabs(bottom_ + rows_ * cell_)) >
          kNearCoordinateLimit) {
    return;
  }
  const double half = cell_ / 2 + 1e-6;
  for (int32_t i = 0; i < v.count; ++i) {
    const RealPoint s = v.points[i == 0 ? v.count - 1 : i - 1];
    const RealPoint e = v.points[i];
    const double dx = e.x - s.x;
    const double dy = e.y - s.y;
    if (dx == 0 && dy == 0) continue;
    const double length = std::sqrt(dx * dx + dy * dy);
    const bool on_axis = dx == 0 || dy == 0;
    if (!on_axis && (std::fabs(dx) < length / 64 || std::fabs(dy) < length / 64)) continue;
    const double ux = dx / length, uy = dy / length;
    // How far the points of a square reach from its centre along the edge
    // and across it, with a slack for the rounding of these sums.
    const double spread = half * (std::fabs(ux) + std::fabs(uy)) + 1e-6;
    const double across = m - kNearMargin - spread;
    if (!(across > 0)) continue;
    const RealRect& eb = v.edges[i];
    const int32_t k0 = std::max(0, IndexOf(eb.left - m, left_, cell_, cols_));
    const int32_t k1 = std::min(cols_ - 1, IndexOf(eb.right + m, left_, cell_, cols_));
    const int32_t j0 = std::max(0, IndexOf(eb.bottom - m, bottom_, cell_, rows_));
    const int32_t j1 = std::min(rows_ - 1, IndexOf(eb.top + m, bottom_, cell_, rows_));
    for (int32_t j = j0; j <= j1; ++j) {
      const double cy = bottom_ + (j + 0.5) * cell_ - s.y;
      for (int32_t k = k0; k <= k1; ++k) {
        int32_t& cell =
            ids_[static_cast<size_t>(j) * static_cast<size_t>(cols_) + static_cast<size_t>(k)];
        if (cell >= 0) continue;
        const double cx = left_ + (k + 0.5) * cell_ - s.x;
        const double along = cx * ux + cy * uy;
        if (along - spread < kNearMargin || along + spread > length - kNearMargin) continue;
        if (std::fabs(cy * ux - cx * uy) < across) cell = id;
      }
    }
  }
}
