// Measurements and hit tests on host paths. Geometry is read through the
// host's path and art suites; everything else is computed on plain numbers.
// Point equality, distance, rectangle overlap and point-in-rectangle are the
// host's simple real-math operations; they are computed here directly with
// the same meaning (exact equality, closed intervals), which saves a suite
// call per point on the hot loops of the crossing tests.
#include "art/path_geometry.h"

#include <algorithm>
#include <cmath>

#include "art/art_reading.h"
#include "plugin/suite_art.h"
#include "plugin/suite_path.h"
#include "plugin/suite_table.h"

namespace {

// Tolerance of the line test: a crossing may lie this far outside either
// segment's coordinate ranges, so that touching outlines count as crossing.
constexpr double kLineTolerance = 1e-4;
// Containment treats coordinates closer than this as equal when it decides
// whether a segment is straight.
constexpr double kStraightTolerance = 0.001;
// The most crossings kept per edge by the area with crossings.
constexpr int kMaxEdgeCrossings = 32;

struct PathData {
  std::vector<PathSegment> segments;
  bool closed = false;
};

bool IsContainer(int16_t type) {
  return type == kArtTypeGroup || type == kArtTypeCompoundPath;
}

bool ReadSegments(ArtHandle path, std::vector<PathSegment>* segments) {
  const PathSuite* s = HeldSuite<PathSuite>();
  int32_t count = 0;
  if (!s || !path || NoteHostError(s->GetPathSegmentCount(path, &count)) != kNoErr || count < 0)
    return false;
  segments->resize(static_cast<size_t>(count));
  if (count > 0 && NoteHostError(s->GetPathSegments(path, 0, count, segments->data())) != kNoErr)
    return false;
  return true;
}

bool ReadPath(ArtHandle path, PathData* out) {
  const PathSuite* s = HeldSuite<PathSuite>();
  if (!s || !ReadSegments(path, &out->segments)) return false;
  return NoteHostError(s->GetPathClosed(path, &out->closed)) == kNoErr;
}

bool BoundsOf(ArtHandle art, RealRect* bounds) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  return s && NoteHostError(s->GetArtBounds(art, bounds)) == kNoErr;
}

bool SamePoint(RealPoint p, RealPoint q) {
  return p.x == q.x && p.y == q.y;
}

// The curve from a to b is straight when both handles sit exactly on their
// anchors.
bool Straight(const PathSegment& a, const PathSegment& b) {
  return SamePoint(a.out, a.p) && SamePoint(b.in, b.p);
}

RealPoint CurveAt(const PathSegment& a, const PathSegment& b, double t) {
  return BezierPoint(a.p, a.out, b.in, b.p, t);
}

// The points of a curve flattened into c chords: B(k/c) for k = 0 .. c, with
// the anchors themselves at both ends.
void Chords(const PathSegment& a, const PathSegment& b, int c, std::vector<RealPoint>* out) {
  out->clear();
  out->push_back(a.p);
  for (int k = 1; k < c; ++k) out->push_back(CurveAt(a, b, static_cast<double>(k) / c));
  out->push_back(b.p);
}

double Distance(RealPoint p, RealPoint q) {
  return PointLength(p, q);
}

// --- the area --------------------------------------------------------------

double ShoelaceTerm(RealPoint p, RealPoint q) {
  return (p.x * q.y - p.y * q.x) / 2;
}

struct WalkVertex {
  RealPoint p;
  bool crossing;
};

// The edges of a vertex list binned in a uniform grid by their boxes widened
// by the line tolerance. A crossing lies within both edges' ranges widened by
// the tolerance, so only edges sharing a cell with an edge can cross it; the
// candidates come back in edge order, so the first crossings found, and the
// cap on them, are those of the full scan.
class EdgeGrid {
 public:
  explicit EdgeGrid(const std::vector<RealPoint>& v) {
    const size_t edges = v.size() - 1;
    RealRect all{v[0].x, v[0].y, v[0].x, v[0].y};
    for (const RealPoint& p : v) {
      all.left = std::min(all.left, p.x);
      all.right = std::max(all.right, p.x);
      all.bottom = std::min(all.bottom, p.y);
      all.top = std::max(all.top, p.y);
    }
    left_ = all.left - kLineTolerance;
    bottom_ = all.bottom - kLineTolerance;
    side_ = static_cast<int>(std::clamp(std::sqrt(static_cast<double>(edges)), 1.0, 1024.0));
    const double w = all.right - all.left + 2 * kLineTolerance;
    const double h = all.top - all.bottom + 2 * kLineTolerance;
    // Non-finite extents put every edge in the one cell: the full scan.
    cell_w_ = std::isfinite(w) && w > 0 ? w / side_ : 0;
    cell_h_ = std::isfinite(h) && h > 0 ? h / side_ : 0;
    cells_.resize(static_cast<size_t>(side_) * side_);
    for (size_t k = 1; k <= edges; ++k) {
      int x0, x1, y0, y1;
      Span(v[k - 1], v[k], &x0, &x1, &y0, &y1);
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) cells_[static_cast<size_t>(y) * side_ + x].push_back(k);
    }
  }

  // The edges k (1-based, as v[k - 1] to v[k]) that may cross edge a-b, in
  // increasing order.
  void Candidates(RealPoint a, RealPoint b, std::vector<size_t>* out) const {
    out->clear();
    int x0, x1, y0, y1;
    Span(a, b, &x0, &x1, &y0, &y1);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const std::vector<size_t>& cell = cells_[static_cast<size_t>(y) * side_ + x];
        out->insert(out->end(), cell.begin(), cell.end());
      }
    std::sort(out->begin(), out->end());
    out->erase(std::unique(out->begin(), out->end()), out->end());
  }

 private:
  int Cell(double value, double origin, double size) const {
    if (!(size > 0)) return 0;
    const double c = std::floor((value - origin) / size);
    if (!(c > 0)) return 0;
    return c >= side_ - 1 ? side_ - 1 : static_cast<int>(c);
  }
  // The cells an edge's widened box covers.
  void Span(RealPoint a, RealPoint b, int* x0, int* x1, int* y0, int* y1) const {
    *x0 = Cell(std::min(a.x, b.x) - kLineTolerance, left_, cell_w_);
    *x1 = Cell(std::max(a.x, b.x) + kLineTolerance, left_, cell_w_);
    *y0 = Cell(std::min(a.y, b.y) - kLineTolerance, bottom_, cell_h_);
    *y1 = Cell(std::max(a.y, b.y) + kLineTolerance, bottom_, cell_h_);
  }

  double left_ = 0, bottom_ = 0, cell_w_ = 0, cell_h_ = 0;
  int side_ = 1;
  std::vector<std::vector<size_t>> cells_;
};

double AreaWithCrossings(const std::vector<RealPoint>& v) {
  const size_t n = v.size();
  std::vector<WalkVertex> walk;
  walk.reserve(n * 2);
  walk.push_back({v[0], false});
  struct Found {
    RealPoint at;
    double distance;
  };
  std::vector<Found> found;
  std::vector<size_t> candidates;
  const EdgeGrid grid(v);
  for (size_t j = 1; j < n; ++j) {
    const RealPoint e0 = v[j - 1], e1 = v[j];
    found.clear();
    grid.Candidates(e0, e1, &candidates);
    for (size_t k : candidates) {
      if (found.size() >= kMaxEdgeCrossings) break;
      const RealPoint f0 = v[k - 1], f1 = v[k];
      // Neighbouring edges meet at their shared vertex; that is no crossing.
      if (SamePoint(f0, e1) || SamePoint(f1, e0)) continue;
      RealPoint at;
      if (LinesCross(e0, e1, f0, f1, &at)) found.push_back({at, Distance(e0, at)});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Found& a, const Found& b) { return a.distance < b.distance; });
    for (const Found& f : found) walk.push_back({f.at, true});
    walk.push_back({e1, false});
  }
  if (walk.size() < 2) return 0;
  double sum = 0;
  double sign = 1;
  for (size_t i = 1; i < walk.size(); ++i) {
    sum += ShoelaceTerm(walk[i - 1].p, walk[i].p) * sign;
    if (walk[i].crossing) sign = -sign;
  }
  return std::fabs(sum);
}

// --- containment -------------------------------------------------------------

// The crossing rule of the kernel's point-in-polygon test for one edge: a
// ray from the point away from the x axis.
bool RayCrosses(RealPoint s, RealPoint e, RealPoint p) {
  if (s.x == e.x) return false;
  if (!(std::min(s.x, e.x) < p.x && p.x <= std::max(s.x, e.x))) return false;
  const double y = s.y + (p.x - s.x) * (e.y - s.y) / (e.x - s.x);
  return y >= 0 ? (0 <= p.y && p.y <= y) : (y <= p.y && p.y < 0);
}

bool NearlyEqual(RealPoint p, RealPoint q) {
  return std::fabs(p.x - q.x) < kStraightTolerance && std::fabs(p.y - q.y) < kStraightTolerance;
}

// An edge of a path as the containment test walks it, and whether it is the
// one the on-outline test measures: a straight segment's only edge, or a
// curve's last chord.
struct ContainEdge {
  RealPoint s;
  RealPoint e;
  bool outline;
};

// Calls f(start, end, outline) for every edge the containment test walks:
// the segments from the last one around, the closing segment always
// included; a segment within 0.001 of straight is one edge, a curve 16
// chords of which only the last is measured by the on-outline test.
template <class F>
void WalkContainEdges(const std::vector<PathSegment>& segments, F&& f) {
  const size_t n = segments.size();
  for (size_t i = 0; i < n; ++i) {
    const PathSegment& a = segments[i == 0 ? n - 1 : i - 1];
    const PathSegment& b = segments[i];
    if (NearlyEqual(a.p, a.out) && NearlyEqual(b.in, b.p)) {
      f(a.p, b.p, true);
      continue;
    }
    RealPoint prev = a.p;
    for (int k = 1; k <= kTestChords; ++k) {
      const RealPoint next =
          k == kTestChords ? b.p : CurveAt(a, b, static_cast<double>(k) / kTestChords);
      f(prev, next, k == kTestChords);
      prev = next;
    }
  }
}

// One edge's part of the containment test: the crossing rule flips the
// inside state, and the first edge within the tolerance sets the shared
// on-outline flag.
void ContainEdgeTest(RealPoint s, RealPoint e, bool outline, RealPoint p, double tolerance,
                     bool* inside, bool* on_outline) {
  if (RayCrosses(s, e, p)) *inside = !*inside;
  if (outline && tolerance != 0 && !*on_outline &&
      PointSegmentDistance(s, e, p, nullptr) < tolerance)
    *on_outline = true;
}

bool InGrownBounds(RealRect bounds, RealPoint p, double tolerance) {
  if (tolerance != 0) RectInset(&bounds, -tolerance, -tolerance);
  return p.x >= bounds.left && p.x <= bounds.right && p.y >= bounds.bottom && p.y <= bounds.top;
}

// Art read once for many containment queries: a path's bounds and edges, or
// a group's or compound path's children. Reading is the only host work; the
// queries then compute on these numbers alone, with the same results as
// reading the art afresh for each point.
struct PreparedArt {
  enum Kind { kNothing, kPathKind, kContainerKind } kind = kNothing;
  RealRect bounds{0, 0, 0, 0};
  std::vector<ContainEdge> edges;
  std::vector<PreparedArt> children;
};

PreparedArt PrepareForContainment(ArtHandle art) {
  PreparedArt prepared;
  const int16_t type = TypeOf(art);
  if (IsContainer(type)) {
    prepared.kind = PreparedArt::kContainerKind;
    for (ArtHandle child : ChildrenOf(art))
      prepared.children.push_back(PrepareForContainment(child));
    return prepared;
  }
  if (type != kArtTypePath) return prepared;
  std::vector<PathSegment> segments;
  if (!ReadSegments(art, &segments) || segments.size() < 2) return prepared;
  if (!BoundsOf(art, &prepared.bounds)) return prepared;
  prepared.kind = PreparedArt::kPathKind;
  WalkContainEdges(segments, [&prepared](RealPoint a, RealPoint b, bool outline) {
    prepared.edges.push_back({a, b, outline});
  });
  return prepared;
}

bool PathContains(const PreparedArt& path, RealPoint p, double tolerance, bool* on_outline) {
  if (!InGrownBounds(path.bounds, p, tolerance)) return false;
  bool inside = false;
  for (const ContainEdge& edge : path.edges)
    ContainEdgeTest(edge.s, edge.e, edge.outline, p, tolerance, &inside, on_outline);
  return inside;
}

// One query on art read as it is walked: nothing is kept.
bool StreamContains(ArtHandle art, RealPoint p, double tolerance, bool* on_outline) {
  const int16_t type = TypeOf(art);
  if (IsContainer(type)) {
    bool inside = false;
    for (ArtHandle child : ChildrenOf(art))
      if (StreamContains(child, p, tolerance, on_outline)) inside = !inside;
    return inside;
  }
  if (type != kArtTypePath) return false;
  std::vector<PathSegment> segments;
  RealRect bounds;
  if (!ReadSegments(art, &segments) || segments.size() < 2 || !BoundsOf(art, &bounds)) return false;
  if (!InGrownBounds(bounds, p, tolerance)) return false;
  bool inside = false;
  WalkContainEdges(segments, [&](RealPoint s, RealPoint e, bool outline) {
    ContainEdgeTest(s, e, outline, p, tolerance, &inside, on_outline);
  });
  return inside;
}

bool ArtContains(const PreparedArt& art, RealPoint p, double tolerance, bool* on_outline) {
  switch (art.kind) {
    case PreparedArt::kContainerKind: {
      // Even-odd across children: two overlapping children cancel.
      bool inside = false;
      for (const PreparedArt& child : art.children)
        if (ArtContains(child, p, tolerance, on_outline)) inside = !inside;
      return inside;
    }
    case PreparedArt::kPathKind:
      return PathContains(art, p, tolerance, on_outline);
    case PreparedArt::kNothing:
      break;
  }
  return false;
}

int Containment(const PreparedArt& art, RealPoint point, double tolerance) {
  bool on_outline = false;
  const bool inside = ArtContains(art, point, tolerance, &on_outline);
  if (on_outline) return kNearEdge;
  return inside ? kInside : kOutside;
}

// --- crossing tests ----------------------------------------------------------

// One segment of a path: the curve from a to b.
struct Piece {
  const PathSegment* a;
  const PathSegment* b;
};

std::vector<Piece> Pieces(const PathData& path, bool with_closing) {
  std::vector<Piece> out;
  const size_t n = path.segments.size();
  for (size_t i = 0; i + 1 < n; ++i) out.push_back({&path.segments[i], &path.segments[i + 1]});
  if (with_closing && n >= 2) out.push_back({&path.segments[n - 1], &path.segments[0]});
  return out;
}

// A path's segments flattened once for the crossing test: each piece's
// points (its two anchors when straight, 17 points B(k/16) when curved) and
// the box of those points widened by the line tolerance.
struct FlatPath {
  std::vector<RealPoint> points;
  std::vector<size_t> first;  // piece i owns points[first[i]] .. points[first[i + 1] - 1]
  std::vector<RealRect> boxes;
  std::vector<bool> straight;
  size_t size() const { return boxes.size(); }
};

FlatPath Flatten(const PathData& path, bool with_closing) {
  FlatPath flat;
  std::vector<RealPoint> chords;
  for (const Piece& piece : Pieces(path, with_closing)) {
    const bool straight = Straight(*piece.a, *piece.b);
    flat.first.push_back(flat.points.size());
    flat.straight.push_back(straight);
    if (straight) {
      flat.points.push_back(piece.a->p);
      flat.points.push_back(piece.b->p);
    } else {
      Chords(*piece.a, *piece.b, kTestChords, &chords);
      flat.points.insert(flat.points.end(), chords.begin(), chords.end());
    }
    RealRect box{flat.points[flat.first.back()].x, flat.points[flat.first.back()].y,
                 flat.points[flat.first.back()].x, flat.points[flat.first.back()].y};
    for (size_t i = flat.first.back(); i < flat.points.size(); ++i) {
      box.left = std::min(box.left, flat.points[i].x);
      box.right = std::max(box.right, flat.points[i].x);
      box.bottom = std::min(box.bottom, flat.points[i].y);
      box.top = std::max(box.top, flat.points[i].y);
    }
    box.left -= kLineTolerance;
    box.bottom -= kLineTolerance;
    box.right += kLineTolerance;
    box.top += kLineTolerance;
    flat.boxes.push_back(box);
  }
  flat.first.push_back(flat.points.size());
  return flat;
}

// Whether piece i of a and piece k of b cross. Every chord of one is
// line-tested against every chord of the other; a curve's chords always
// come first when it meets a straight segment. The box test only skips
// pairs the line test would reject: a crossing lies within both chords'
// ranges widened by the tolerance, and so within both widened boxes.
bool PiecesCross(const FlatPath& a, size_t i, const FlatPath& b, size_t k) {
  const RealRect& ba = a.boxes[i];
  const RealRect& bb = b.boxes[k];
  if (ba.right < bb.left || bb.right < ba.left || ba.top < bb.bottom || bb.top < ba.bottom)
    return false;
  const FlatPath* p = &a;
  const FlatPath* q = &b;
  if (a.straight[i] && !b.straight[k]) {
    std::swap(p, q);
    std::swap(i, k);
  }
  for (size_t m = p->first[i] + 1; m < p->first[i + 1]; ++m)
    for (size_t n = q->first[k] + 1; n < q->first[k + 1]; ++n)
      if (LinesCross(p->points[m - 1], p->points[m], q->points[n - 1], q->points[n], nullptr))
        return true;
  return false;
}

bool AnyPiecesCross(const PathData& a, const PathData& b, bool with_closing) {
  const FlatPath fa = Flatten(a, with_closing && a.closed);
  const FlatPath fb = Flatten(b, with_closing && b.closed);
  for (size_t i = 0; i < fa.size(); ++i)
    for (size_t k = 0; k < fb.size(); ++k)
      if (PiecesCross(fa, i, fb, k)) return true;
  return false;
}

bool BoundsOverlap(ArtHandle a, ArtHandle b) {
  RealRect ra, rb;
  if (!BoundsOf(a, &ra) || !BoundsOf(b, &rb)) return false;
  return std::min(ra.right, rb.right) >= std::max(ra.left, rb.left) &&
         std::min(ra.top, rb.top) >= std::max(ra.bottom, rb.bottom);
}

// Sum of width and height of the art's outline bounds, as the overlap test
// sizes its container and probe.
double Extent(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  RealRect r{0, 0, 0, 0};
  if (s) NoteHostError(s->GetArtTransformBounds(art, nullptr, kBoundsOptionsOutline, &r));
  return (r.right - r.left) + (r.top - r.bottom);
}

bool CrossTest(ArtHandle a, ArtHandle b);
bool OverlapTest(ArtHandle a, ArtHandle b);

// Compound paths on either side are taken apart child by child.
bool ForCompound(ArtHandle a, ArtHandle b, bool (*test)(ArtHandle, ArtHandle), bool* result) {
  if (TypeOf(a) == kArtTypeCompoundPath) {
    *result = false;
    for (ArtHandle child : ChildrenOf(a))
      if (test(child, b)) {
        *result = true;
        break;
      }
    return true;
  }
  if (TypeOf(b) == kArtTypeCompoundPath) {
    *result = false;
    for (ArtHandle child : ChildrenOf(b))
      if (test(a, child)) {
        *result = true;
        break;
      }
    return true;
  }
  return false;
}

bool CrossTest(ArtHandle a, ArtHandle b) {
  bool result = false;
  if (ForCompound(a, b, CrossTest, &result)) return result;
  if (!BoundsOverlap(a, b)) return false;
  PathData pa, pb;
  if (!ReadPath(a, &pa) || !ReadPath(b, &pb)) return false;
  return AnyPiecesCross(pa, pb, true);
}

bool OverlapTest(ArtHandle a, ArtHandle b) {
  bool result = false;
  if (ForCompound(a, b, OverlapTest, &result)) return result;
  PathData pa, pb;
  if (!ReadPath(a, &pa) || !ReadPath(b, &pb)) return false;
  if (!pa.closed && !pb.closed) {
    if (!BoundsOverlap(a, b)) return false;
    return AnyPiecesCross(pa, pb, false);
  }
  // The container is the larger of two closed outlines (the first on a tie),
  // or the closed one; the other is the probe sampled against it.
  ArtHandle container = b;
  const PathData* c = &pb;
  const PathData* p = &pa;
  if (pa.closed && Extent(a) >= Extent(b)) {
    container = a;
    c = &pa;
    p = &pb;
  }
  const bool both_closed = pa.closed && pb.closed;
  if (c->segments.size() == 4 && p->segments.size() == 4) {
    // Two four-cornered shapes that share a corner or more.
    int shared = 0;
    for (const PathSegment& sc : c->segments)
      for (const PathSegment& sp : p->segments)
        if (std::fabs(sc.p.x - sp.p.x) < 0.1 && std::fabs(sc.p.y - sp.p.y) < 0.1) ++shared;
    if (shared >= 2) return true;
  }
  if (p->segments.size() < 2) return false;
  const PreparedArt prepared = PrepareForContainment(container);
  for (const Piece& piece : Pieces(*p, both_closed)) {
    for (int j = 0; j <= kTestChords; ++j) {
      const RealPoint sample =
          j == 0             ? piece.a->p
          : j == kTestChords ? piece.b->p
                             : CurveAt(*piece.a, *piece.b, static_cast<double>(j) / kTestChords);
      if (Containment(prepared, sample, 0) == kInside) return true;
    }
  }
  return false;
}

void CollectInto(ArtHandle art, std::vector<ArtHandle>* out) {
  const int16_t type = TypeOf(art);
  if (type == kArtTypePath) {
    out->push_back(art);
  } else if (IsContainer(type)) {
    for (ArtHandle child : ChildrenOf(art)) CollectInto(child, out);
  }
}

}  // namespace

bool LinesCross(RealPoint p1, RealPoint p2, RealPoint p3, RealPoint p4, RealPoint* at) {
  const bool vertical1 = p1.x == p2.x;
  const bool vertical2 = p3.x == p4.x;
  if (vertical1 && vertical2) return false;
  double a1 = 0, b1 = 0, a2 = 0, b2 = 0;
  if (!vertical1) {
    a1 = (p2.y - p1.y) / (p2.x - p1.x);
    b1 = p1.y - a1 * p1.x;
  }
  if (!vertical2) {
    a2 = (p4.y - p3.y) / (p4.x - p3.x);
    b2 = p3.y - a2 * p3.x;
  }
  double x, y;
  if (vertical1) {
    x = p1.x;
    y = a2 * p1.x + b2;
  } else if (vertical2) {
    x = p3.x;
    y = a1 * p3.x + b1;
  } else {
    // Collinear overlap is not reported: equal slopes never cross.
    if (a1 == a2) return false;
    x = (b1 - b2) / (a2 - a1);
    y = a1 * x + b1;
  }
  auto within = [](double v, double e1, double e2) {
    return v >= std::min(e1, e2) - kLineTolerance && v <= std::max(e1, e2) + kLineTolerance;
  };
  if (!within(x, p1.x, p2.x) || !within(y, p1.y, p2.y) || !within(x, p3.x, p4.x) ||
      !within(y, p3.y, p4.y))
    return false;
  if (at) *at = RealPoint{x, y};
  return true;
}

double PathArea(ArtHandle path, int chords, bool count_crossings) {
  PathData data;
  if (!ReadPath(path, &data) || !data.closed || data.segments.size() < 2 || chords < 1) return 0;
  const std::vector<PathSegment>& s = data.segments;
  const size_t n = s.size();
  // The vertex list starts at the last anchor and walks every segment, the
  // closing one first, so it ends where it starts.
  std::vector<RealPoint> v;
  v.reserve(n * static_cast<size_t>(chords) + 1);
  v.push_back(s[n - 1].p);
  for (size_t i = 0; i < n; ++i) {
    const PathSegment& prev = s[i == 0 ? n - 1 : i - 1];
    const PathSegment& cur = s[i];
    if (!Straight(prev, cur))
      for (int k = 1; k < chords; ++k)
        v.push_back(CurveAt(prev, cur, static_cast<double>(k) / chords));
    v.push_back(cur.p);
  }
  if (count_crossings) return AreaWithCrossings(v);
  double sum = 0;
  for (size_t j = 1; j < v.size(); ++j) sum += ShoelaceTerm(v[j - 1], v[j]);
  return std::fabs(sum);
}

double PathPerimeter(ArtHandle path, int chords) {
  PathData data;
  if (!ReadPath(path, &data) || data.segments.empty() || !data.closed || chords < 1) return 0;
  double length = 0;
  std::vector<RealPoint> points;
  for (const Piece& piece : Pieces(data, true)) {
    if (Straight(*piece.a, *piece.b)) {
      length += Distance(piece.a->p, piece.b->p);
      continue;
    }
    Chords(*piece.a, *piece.b, chords, &points);
    for (size_t k = 1; k < points.size(); ++k) length += Distance(points[k - 1], points[k]);
  }
  return length;
}

int16_t PathsCross(ArtHandle a, ArtHandle b) {
  return CrossTest(a, b) ? 1 : 0;
}

int16_t PathsOverlap(ArtHandle a, ArtHandle b) {
  return OverlapTest(a, b) ? 1 : 0;
}

int16_t PathsTest(ArtHandle a, ArtHandle b, int16_t mode) {
  return mode == kPathsOverlap ? PathsOverlap(a, b) : PathsCross(a, b);
}

int PointInArt(ArtHandle art, RealPoint point, double tolerance) {
  bool on_outline = false;
  const bool inside = StreamContains(art, point, tolerance, &on_outline);
  if (on_outline) return kNearEdge;
  return inside ? kInside : kOutside;
}

void NearestPointOnPath(ArtHandle art, RealPoint p, RealPoint* result) {
  if (TypeOf(art) != kArtTypePath) {
    RealRect bounds;
    if (BoundsOf(art, &bounds)) *result = RectCenter(bounds);
    return;
  }
  std::vector<PathSegment> s;
  if (!ReadSegments(art, &s) || s.empty()) return;
  const size_t n = s.size();
  double best = kNearestStart;
  // Cyclic walk, the closing segment (last anchor to first) first.
  for (size_t i = 0; i < n; ++i) {
    const PathSegment& a = s[i == 0 ? n - 1 : i - 1];
    const PathSegment& b = s[i];
    for (int k = 0; k < kNearestSamples; ++k) {
      const RealPoint q = CurveAt(a, b, static_cast<double>(k) / kNearestSamples);
      const double d = Distance(p, q);
      if (d < best) {
        best = d;
        *result = q;
      }
    }
  }
}

std::vector<ArtHandle> CollectPaths(ArtHandle art) {
  std::vector<ArtHandle> out;
  CollectInto(art, &out);
  return out;
}

ArtHandle MakeTwoPointPath(ArtHandle group, const PathStyle& style, RealPoint p1, RealPoint p2) {
  const ArtSuite* art = HeldSuite<ArtSuite>();
  const PathSuite* path = HeldSuite<PathSuite>();
  const PathStyleSuite* paint = HeldSuite<PathStyleSuite>();
  if (!art || !path || !paint) return nullptr;
  ArtHandle made = nullptr;
  if (NoteHostError(art->NewArt(kArtTypePath, kPlaceInsideOnBottom, group, &made)) != kNoErr ||
      !made)
    return nullptr;
  NoteHostError(paint->SetPathStyle(made, &style));
  const PathSegment segments[2] = {{p1, p1, p1, true}, {p2, p2, p2, true}};
  NoteHostError(path->SetPathSegmentCount(made, 2));
  NoteHostError(path->SetPathSegments(made, 0, 2, segments));
  return made;
}
