// Plane geometry of the engine: points, rectangles, matrices and polygons.
#pragma once

#include <cstdint>

#include "plugin/host_types.h"

// The engine's values of pi and its fractions. They are the rounded figures
// the engine has always used, not the full-precision constants: placements
// are compared bit for bit, so the same digits must be used everywhere.
constexpr double kPi = 3.141592654;
constexpr double kHalfPi = 1.570796327;
constexpr double kFiveDegrees = 0.08726646261111111;  // kPi / 36

// Degrees d as radians, in the order the engine writes it: d / 180 x pi.
inline double DegreesToRadians(double degrees) {
  return degrees / 180 * kPi;
}

struct RealPoint {
  double x;
  double y;
};

// y axis up: top > bottom.
struct RealRect {
  double left;
  double top;
  double right;
  double bottom;
};

// (x, y) maps to (a x + c y + tx, b x + d y + ty).
struct RealMatrix {
  double a;
  double b;
  double c;
  double d;
  double tx;
  double ty;
};

// One segment of a host path: the anchor and its two handles.
struct PathSegment {
  RealPoint p;    // anchor
  RealPoint in;   // handle of the curve that arrives at the anchor
  RealPoint out;  // handle of the curve that leaves the anchor
  bool corner;
};

// --- matrices (each writes its result into the matrix it is given) ---------

void MatrixSetIdentity(RealMatrix* m);
void MatrixSetTranslate(RealMatrix* m, double dx, double dy);
// out = m1 first, then m2; out may be m1 or m2.
void MatrixConcat(const RealMatrix* m1, const RealMatrix* m2, RealMatrix* out);
// m = m, then a counter-clockwise turn by theta radians about the origin.
void MatrixConcatRotate(RealMatrix* m, double theta);
// m = m, then a move by (dx, dy).
void MatrixConcatTranslate(RealMatrix* m, double dx, double dy);
RealPoint MatrixXformPoint(const RealMatrix* m, RealPoint p);

// --- rectangles and points --------------------------------------------------

void RectSet(RealRect* r, double left, double top, double right, double bottom);
// left += h, right -= h, top -= v, bottom += v; negative values grow it.
void RectInset(RealRect* r, double h, double v);
// Touching edges do not overlap.
bool RectOverlap(const RealRect* r1, const RealRect* r2);
inline double RectWidth(const RealRect& r) {
  return r.right - r.left;
}
inline double RectHeight(const RealRect& r) {
  return r.top - r.bottom;
}
inline RealPoint RectCenter(const RealRect& r) {
  return RealPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Both coordinates within 0.0001.
bool PointsClose(RealPoint p, RealPoint q);
double PointLength(RealPoint p, RealPoint q);
double PointAngle(RealPoint p, RealPoint q);

// --- higher operations -----------------------------------------------------

// The cubic Bezier p0, p1, p2, p3 at t: (1-t)^3 p0 + 3t(1-t)^2 p1 + 3t^2(1-t) p2 + t^3 p3.
RealPoint BezierPoint(RealPoint p0, RealPoint p1, RealPoint p2, RealPoint p3, double t);

// The bounding box of r's four corners mapped by m.
RealRect MappedBox(const RealMatrix& m, const RealRect& r);

// The box of r turned by the angle about its own centre, centred on the
// origin. The turn is applied for 0 degrees too.
RealRect RotatedExtent(const RealRect& r, double degrees);

// A polygon: a count and its points. Polygons built from paths are closed by
// repeating their first point at the end.
struct Polygon {
  RealPoint* points = nullptr;
  int32_t count = 0;
};

// Flattens a path's segments into a closed polygon thinned with the
// tolerance. Paths of 2 segments or fewer give no polygon (count 0, null).
// The caller owns the returned array and frees it with FreePolygon.
Polygon FlattenPath(const PathSegment* segments, int32_t count, double tolerance);
// FlattenPath, except that an edge counts as straight only when its handles
// equal their anchors exactly (the step-and-repeat sample).
Polygon FlattenPathExactStraight(const PathSegment* segments, int32_t count, double tolerance);
void FreePolygon(Polygon* polygon);

// Thins a polyline in place; *count becomes the new length.
void SimplifyPolyline(RealPoint* points, int32_t* count, double tolerance);

// Whether segments p1-p2 and p3-p4 cross (tolerance 0.001), and where.
bool SegmentIntersection(RealPoint p1, RealPoint p2, RealPoint p3, RealPoint p4,
                         RealPoint* crossing);

// The distance from p to segment s1-s2, and the nearest point of the segment.
double PointSegmentDistance(RealPoint s1, RealPoint s2, RealPoint p, RealPoint* nearest);

// 0 outside, 1 inside, 2 within the tolerance of an edge (never with 0).
enum PointInPolygonResult : int { kOutside = 0, kInside = 1, kNearEdge = 2 };
int PointInPolygon(const RealPoint* points, int32_t count, RealPoint p, double tolerance);
