// Plane geometry of the engine, each formula evaluated in the order it is
// stated (the build forbids contraction) so that results are reproducible
// bit for bit wherever the same operation runs.
#include "engine/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// --- matrices ----------------------------------------------------------------

void MatrixSetIdentity(RealMatrix* m) {
  *m = RealMatrix{1, 0, 0, 1, 0, 0};
}

void MatrixSetTranslate(RealMatrix* m, double dx, double dy) {
  *m = RealMatrix{1, 0, 0, 1, dx, dy};
}

void MatrixConcat(const RealMatrix* m1, const RealMatrix* m2, RealMatrix* out) {
  // Computed into a temporary first: out may be m1 (or m2).
  RealMatrix r;
  r.a = m1->a * m2->a + m1->b * m2->c;
  r.b = m1->a * m2->b + m1->b * m2->d;
  r.c = m1->c * m2->a + m1->d * m2->c;
  r.d = m1->c * m2->b + m1->d * m2->d;
  r.tx = m1->tx * m2->a + m1->ty * m2->c + m2->tx;
  r.ty = m1->tx * m2->b + m1->ty * m2->d + m2->ty;
  *out = r;
}

void MatrixConcatRotate(RealMatrix* m, double theta) {
  const double cs = std::cos(theta);
  const double sn = std::sin(theta);
  const RealMatrix rotation{cs, sn, -sn, cs, 0, 0};
  MatrixConcat(m, &rotation, m);
}

void MatrixConcatTranslate(RealMatrix* m, double dx, double dy) {
  const RealMatrix move{1, 0, 0, 1, dx, dy};
  MatrixConcat(m, &move, m);
}

RealPoint MatrixXformPoint(const RealMatrix* m, RealPoint p) {
  return RealPoint{m->a * p.x + m->c * p.y + m->tx, m->b * p.x + m->d * p.y + m->ty};
}

// --- rectangles and points --------------------------------------------------

void RectSet(RealRect* r, double left, double top, double right, double bottom) {
  *r = RealRect{left, top, right, bottom};
}

void RectInset(RealRect* r, double h, double v) {
  r->left += h;
  r->right -= h;
  r->top -= v;
  r->bottom += v;
}

bool RectOverlap(const RealRect* r1, const RealRect* r2) {
  return std::min(r1->right, r2->right) > std::max(r1->left, r2->left) &&
         std::min(r1->top, r2->top) > std::max(r1->bottom, r2->bottom);
}

bool PointsClose(RealPoint p, RealPoint q) {
  return std::fabs(p.x - q.x) < 0.0001 && std::fabs(p.y - q.y) < 0.0001;
}

double PointLength(RealPoint p, RealPoint q) {
  const double dx = q.x - p.x;
  const double dy = q.y - p.y;
  return std::sqrt(dx * dx + dy * dy);
}

double PointAngle(RealPoint p, RealPoint q) {
  return std::atan2(q.y - p.y, q.x - p.x);
}

// --- higher operations -----------------------------------------------------

RealRect MappedBox(const RealMatrix& m, const RealRect& r) {
  const RealPoint corners[4] = {
      {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
  RealRect out{0, 0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    const RealPoint q = MatrixXformPoint(&m, corners[i]);
    if (i == 0) {
      out = RealRect{q.x, q.y, q.x, q.y};
      continue;
    }
    out.left = std::min(out.left, q.x);
    out.top = std::max(out.top, q.y);
    out.right = std::max(out.right, q.x);
    out.bottom = std::min(out.bottom, q.y);
  }
  return out;
}

RealRect RotatedExtent(const RealRect& r, double degrees) {
  const RealPoint centre = RectCenter(r);
  RealMatrix m;
  MatrixSetTranslate(&m, -centre.x, -centre.y);
  MatrixConcatRotate(&m, DegreesToRadians(degrees));
  return MappedBox(m, r);
}

RealPoint BezierPoint(RealPoint p0, RealPoint p1, RealPoint p2, RealPoint p3, double t) {
  const double mt = 1 - t;
  const double w0 = mt * mt * mt;
  const double w1 = 3 * t * mt * mt;
  const double w2 = 3 * t * t * mt;
  const double w3 = t * t * t;
  return RealPoint{w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x,
                   w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y};
}

namespace {

// Whether the curve from prev to cur is a straight edge: handles on their
// anchors, within PointsClose or exactly.
bool StraightEdge(const PathSegment& prev, const PathSegment& cur, bool exact) {
  if (exact) {
    return prev.out.x == prev.p.x && prev.out.y == prev.p.y && cur.in.x == cur.p.x &&
           cur.in.y == cur.p.y;
  }
  return PointsClose(prev.p, prev.out) && PointsClose(cur.in, cur.p);
}

Polygon Flatten(const PathSegment* segments, int32_t count, double tolerance, bool exact) {
  Polygon polygon;
  if (!segments || count <= 2) return polygon;
  // Four points per edge plus the first anchor. The path is taken as closed
  // whether it is or not: the first segment follows the last once more.
  const int64_t room = 4 * static_cast<int64_t>(count) + 1;
  polygon.points = new RealPoint[static_cast<size_t>(room)];
  int32_t n = 0;
  polygon.points[n++] = segments[0].p;
  // At t = 1/4, 1/2, 3/4 and 1 every weight is a multiple of 1/64, exact in
  // binary, and t = 1 lands exactly on the anchor.
  static constexpr double kSamples[4] = {0.25, 0.5, 0.75, 1.0};
  for (int32_t i = 1; i <= count; ++i) {
    const PathSegment& prev = segments[i - 1];
    const PathSegment& cur = segments[i == count ? 0 : i];
    if (StraightEdge(prev, cur, exact)) {
      polygon.points[n++] = cur.p;
      continue;
    }
    for (double t : kSamples) polygon.points[n++] = BezierPoint(prev.p, prev.out, cur.in, cur.p, t);
  }
  SimplifyPolyline(polygon.points, &n, tolerance);
  polygon.count = n;
  return polygon;
}

}  // namespace

Polygon FlattenPath(const PathSegment* segments, int32_t count, double tolerance) {
  return Flatten(segments, count, tolerance, false);
}

Polygon FlattenPathExactStraight(const PathSegment* segments, int32_t count, double tolerance) {
  return Flatten(segments, count, tolerance, true);
}

void FreePolygon(Polygon* polygon) {
  delete[] polygon->points;
  polygon->points = nullptr;
  polygon->count = 0;
}

void SimplifyPolyline(RealPoint* points, int32_t* count, double tolerance) {
  const int32_t total = *count;
  if (!points || total < 3) return;
  // The output is written over the input: each anchor is written at an index
  // no greater than its own, and only points after the anchor are read later.
  int32_t out = 0;
  int32_t b = 0;
  while (b < total) {
    const RealPoint a = points[b];
    points[out++] = a;
    int32_t k = 1;
    double last = 0;
    bool finished = false;
    for (;;) {
      // Every anchor but the last input point has a successor: a run that
      // ends moves the anchor to a point before the one that broke it.
      const double d = PointLength(a, points[b + k]);
      if (k > 1 && last > d) {
        k = k - 1;
        break;
      }
      last = d;
      if (d > tolerance) {
        const double theta = PointAngle(a, points[b + k]);
        const double cs = std::cos(theta);
        const double sn = std::sin(theta);
        bool strays = false;
        for (int32_t l = 1; l <= k - 1; ++l) {
          const double t = PointLength(a, points[b + l]);
          const RealPoint q{a.x + t * cs, a.y + t * sn};
          if (PointLength(points[b + l], q) > tolerance) {
            strays = true;
            break;
          }
        }
        if (strays) {
          k = k - 1;
          break;
        }
      }
      k = k + 1;
      if (b + k >= total) {
        points[out++] = points[total - 1];
        finished = true;
        break;
      }
    }
    if (finished) break;
    b = b + k;
  }
  *count = out;
}

namespace {

constexpr double kCrossingTolerance = 0.001;

bool WithinWidenedBox(RealPoint q, RealPoint s1, RealPoint s2) {
  return q.x >= std::min(s1.x, s2.x) - kCrossingTolerance &&
         q.x <= std::max(s1.x, s2.x) + kCrossingTolerance &&
         q.y >= std::min(s1.y, s2.y) - kCrossingTolerance &&
         q.y <= std::max(s1.y, s2.y) + kCrossingTolerance;
}

}  // namespace

bool SegmentIntersection(RealPoint p1, RealPoint p2, RealPoint p3, RealPoint p4,
                         RealPoint* crossing) {
  const bool vertical1 = std::fabs(p1.x - p2.x) <= kCrossingTolerance;
  const bool vertical2 = std::fabs(p3.x - p4.x) <= kCrossingTolerance;
  if (vertical1 && vertical2) return false;
  double m1 = 0, c1 = 0, m2 = 0, c2 = 0;
  if (!vertical1) {
    m1 = (p2.y - p1.y) / (p2.x - p1.x);
    c1 = p1.y - m1 * p1.x;
  }
  if (!vertical2) {
    m2 = (p4.y - p3.y) / (p4.x - p3.x);
    c2 = p3.y - m2 * p3.x;
  }
  RealPoint q;
  if (vertical1) {
    q = RealPoint{p1.x, m2 * p1.x + c2};
  } else if (vertical2) {
    q = RealPoint{p3.x, m1 * p3.x + c1};
  } else {
    if (std::fabs(m1 - m2) <= kCrossingTolerance) return false;
    const double x = (c1 - c2) / (m2 - m1);
    q = RealPoint{x, m1 * x + c1};
  }
  if (!WithinWidenedBox(q, p1, p2) || !WithinWidenedBox(q, p3, p4)) return false;
  if (crossing) *crossing = q;
  return true;
}

double PointSegmentDistance(RealPoint s1, RealPoint s2, RealPoint p, RealPoint* nearest) {
  if (s1.x == s2.x && s1.y == s2.y) {
    if (nearest) *nearest = s1;
    return PointLength(p, s1);
  }
  RealPoint foot;
  if (s1.x == s2.x) {
    foot = RealPoint{s1.x, p.y};
  } else if (s1.y == s2.y) {
    foot = RealPoint{p.x, s1.y};
  } else {
    // The segment's line and the perpendicular through p.
    const double m1 = (s2.y - s1.y) / (s2.x - s1.x);
    const double c1 = s1.y - m1 * s1.x;
    const double m2 = (s1.x - s2.x) / (s2.y - s1.y);
    const double c2 = p.y - m2 * p.x;
    const double x = (c1 - c2) / (m2 - m1);
    foot = RealPoint{x, m1 * x + c1};
  }
  if (foot.x >= std::min(s1.x, s2.x) && foot.x <= std::max(s1.x, s2.x) &&
      foot.y >= std::min(s1.y, s2.y) && foot.y <= std::max(s1.y, s2.y)) {
    if (nearest) *nearest = foot;
    return PointLength(p, foot);
  }
  const double d1 = PointLength(p, s1);
  const double d2 = PointLength(p, s2);
  if (d2 < d1) {
    if (nearest) *nearest = s2;
    return d2;
  }
  if (nearest) *nearest = s1;
  return d1;
}

int PointInPolygon(const RealPoint* points, int32_t count, RealPoint p, double tolerance) {
  if (!points || count <= 0) return kOutside;
  bool inside = false;
  for (int32_t i = 0; i < count; ++i) {
    const RealPoint s = points[i == 0 ? count - 1 : i - 1];
    const RealPoint e = points[i];
    if (tolerance != 0 && PointSegmentDistance(s, e, p, nullptr) < tolerance) return kNearEdge;
    if (s.x == e.x) continue;
    if (std::min(s.x, e.x) < p.x && p.x <= std::max(s.x, e.x)) {
      const double y = s.y + (p.x - s.x) * (e.y - s.y) / (e.x - s.x);
      // The ray runs from the point away from the x axis: up for points on
      // or above it, down for points below it.
      const bool crosses = y >= 0 ? (0 <= p.y && p.y <= y) : (y <= p.y && p.y < 0);
      if (crosses) inside = !inside;
    }
  }
  return inside ? kInside : kOutside;
}
