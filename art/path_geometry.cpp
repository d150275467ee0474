// Measurements and hit tests on host paths. Geometry is read through the
// host's path and art suites; everything else is computed on plain numbers.
// Point equality, distance, rectangle overlap and point-in-rectangle are the
// host's simple real-math operations; they are computed here directly with
// the same meaning (exact equality, closed intervals), which saves a suite
// call per point on the hot loops of the crossing tests.
#include "art/path_geometry.h"

#include <algorithm>
#include <cmath>

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

int16_t TypeOf(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  int16_t type = kArtTypeUnknown;
  if (!s || !art || s->GetArtType(art, &type) != kNoErr) return kArtTypeUnknown;
  return type;
}

bool IsContainer(int16_t type) {
  return type == kArtTypeGroup || type == kArtTypeCompoundPath;
}

// The children of a group or compound path, in order; the walk stops where
// the host cannot give the next sibling.
std::vector<ArtHandle> ChildrenOf(ArtHandle art) {
  std::vector<ArtHandle> out;
  const ArtSuite* s = HeldSuite<ArtSuite>();
  if (!s) return out;
  ArtHandle child = nullptr;
  if (s->GetArtFirstChild(art, &child) != kNoErr) return out;
  while (child) {
    out.push_back(child);
    ArtHandle next = nullptr;
    if (s->GetArtSibling(child, &next) != kNoErr) break;
    child = next;
  }
  return out;
}

bool ReadSegments(ArtHandle path, std::vector<PathSegment>* segments) {
  const PathSuite* s = HeldSuite<PathSuite>();
  int32_t count = 0;
  if (!s || !path || s->GetPathSegmentCount(path, &count) != kNoErr || count < 0) return false;
  segments->resize(static_cast<size_t>(count));
  if (count > 0 && s->GetPathSegments(path, 0, count, segments->data()) != kNoErr) return false;
  return true;
}

bool ReadPath(ArtHandle path, PathData* out) {
  const PathSuite* s = HeldSuite<PathSuite>();
  if (!s || !ReadSegments(path, &out->segments)) return false;
  return s->GetPathClosed(path, &out->closed) == kNoErr;
}

bool BoundsOf(ArtHandle art, RealRect* bounds) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  return s && s->GetArtBounds(art, bounds) == kNoErr;
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
  for (size_t j = 1; j < n; ++j) {
    const RealPoint e0 = v[j - 1], e1 = v[j];
    found.clear();
    for (size_t k = 1; k < n && found.size() < kMaxEdgeCrossings; ++k) {
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

bool PiecesCross(const Piece& p, const Piece& q, std::vector<RealPoint>* scratch1,
                 std::vector<RealPoint>* scratch2) {
  const bool p_straight = Straight(*p.a, *p.b);
  const bool q_straight = Straight(*q.a, *q.b);
  if (p_straight && q_straight) return LinesCross(p.a->p, p.b->p, q.a->p, q.b->p, nullptr);
  if (p_straight || q_straight) {
    const Piece& line = p_straight ? p : q;
    const Piece& curve = p_straight ? q : p;
    Chords(*curve.a, *curve.b, kTestChords, scratch1);
    for (size_t k = 1; k < scratch1->size(); ++k)
      if (LinesCross((*scratch1)[k - 1], (*scratch1)[k], line.a->p, line.b->p, nullptr))
        return true;
    return false;
  }
  Chords(*p.a, *p.b, kTestChords, scratch1);
  Chords(*q.a, *q.b, kTestChords, scratch2);
  for (size_t i = 1; i < scratch1->size(); ++i)
    for (size_t k = 1; k < scratch2->size(); ++k)
      if (LinesCross((*scratch1)[i - 1], (*scratch1)[i], (*scratch2)[k - 1], (*scratch2)[k],
                     nullptr))
        return true;
  return false;
}

bool AnyPiecesCross(const PathData& a, const PathData& b, bool with_closing) {
  std::vector<RealPoint> s1, s2;
  for (const Piece& p : Pieces(a, with_closing && a.closed))
    for (const Piece& q : Pieces(b, with_closing && b.closed))
      if (PiecesCross(p, q, &s1, &s2)) return true;
  return false;
}

// The bounds pre-test compares closed intervals: outlines that only touch
// along a bounds edge still reach the segment test, where touching counts.
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
  if (s) s->GetArtTransformBounds(art, nullptr, kBoundsOptionsOutline, &r);
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
  for (const Piece& piece : Pieces(*p, both_closed)) {
    for (int j = 0; j <= kTestChords; ++j) {
      const RealPoint sample =
          j == 0             ? piece.a->p
          : j == kTestChords ? piece.b->p
                             : CurveAt(*piece.a, *piece.b, static_cast<double>(j) / kTestChords);
      if (PointInArt(container, sample, 0) == kInside) return true;
    }
  }
  return false;
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

bool PathContains(ArtHandle path, RealPoint p, double tolerance, bool* on_outline) {
  std::vector<PathSegment> segments;
  if (!ReadSegments(path, &segments) || segments.size() < 2) return false;
  RealRect bounds;
  if (!BoundsOf(path, &bounds)) return false;
  if (tolerance != 0) RectInset(&bounds, -tolerance, -tolerance);
  if (!(p.x >= bounds.left && p.x <= bounds.right && p.y >= bounds.bottom && p.y <= bounds.top))
    return false;
  bool inside = false;
  const size_t n = segments.size();
  // The closing segment is always walked, whether or not the path is closed.
  for (size_t i = 0; i < n; ++i) {
    const PathSegment& a = segments[i == 0 ? n - 1 : i - 1];
    const PathSegment& b = segments[i];
    const bool straight = NearlyEqual(a.p, a.out) && NearlyEqual(b.in, b.p);
    if (straight) {
      if (RayCrosses(a.p, b.p, p)) inside = !inside;
      if (tolerance != 0 && !*on_outline && PointSegmentDistance(a.p, b.p, p, nullptr) < tolerance)
        *on_outline = true;
      continue;
    }
    RealPoint prev = a.p;
    for (int k = 1; k <= kTestChords; ++k) {
      const RealPoint next =
          k == kTestChords ? b.p : CurveAt(a, b, static_cast<double>(k) / kTestChords);
      if (RayCrosses(prev, next, p)) inside = !inside;
      if (k == kTestChords && tolerance != 0 && !*on_outline &&
          PointSegmentDistance(prev, next, p, nullptr) < tolerance)
        *on_outline = true;
      prev = next;
    }
  }
  return inside;
}

bool ArtContains(ArtHandle art, RealPoint p, double tolerance, bool* on_outline) {
  const int16_t type = TypeOf(art);
  if (IsContainer(type)) {
    // Even-odd across children: two overlapping children cancel.
    bool inside = false;
    for (ArtHandle child : ChildrenOf(art))
      if (ArtContains(child, p, tolerance, on_outline)) inside = !inside;
    return inside;
  }
  if (type == kArtTypePath) return PathContains(art, p, tolerance, on_outline);
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
  const bool inside = ArtContains(art, point, tolerance, &on_outline);
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
  if (art->NewArt(kArtTypePath, kPlaceInsideOnBottom, group, &made) != kNoErr || !made)
    return nullptr;
  paint->SetPathStyle(made, &style);
  const PathSegment segments[2] = {{p1, p1, p1, true}, {p2, p2, p2, true}};
  path->SetPathSegmentCount(made, 2);
  path->SetPathSegments(made, 0, 2, segments);
  return made;
}
