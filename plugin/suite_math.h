// The host's real-number geometry: points, rectangles and affine matrices.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "plugin/host_types.h"

constexpr char kRealMathSuiteName[] = "AI Real Math Suite";
constexpr int32_t kRealMathSuiteVersion = 5;

// The same conventions as engine/geometry.h: y axis up, angles in radians,
// (x, y) maps to (a x + c y + tx, b x + d y + ty), and "m then t" applies m
// first. Each matrix call writes its result into the matrix it is given.
struct RealMathSuite {
  // Whether the two points are exactly equal.
  HostErr (*PointEqual)(const RealPoint* p, const RealPoint* q, bool* equal);
  // The distance from p to q.
  HostErr (*PointLength)(const RealPoint* p, const RealPoint* q, double* length);
  // The angle of the direction from p to q, from the x axis counter-clockwise.
  HostErr (*PointAngle)(const RealPoint* p, const RealPoint* q, double* angle);
  // left += h, right -= h, top -= v, bottom += v; negative values grow it.
  HostErr (*RectInset)(RealRect* rect, double h, double v);
  // Whether the two rectangles share an area; touching edges do not overlap.
  HostErr (*RectOverlap)(const RealRect* r1, const RealRect* r2, bool* overlap);
  // Whether the rectangle has no area (width or height zero or less).
  HostErr (*RectEmpty)(const RealRect* rect, bool* empty);
  // The smallest rectangle holding both; an empty one adds nothing.
  HostErr (*RectUnion)(const RealRect* r1, const RealRect* r2, RealRect* out);
  // Whether the point lies in the rectangle, edges included.
  HostErr (*PointInRect)(const RealPoint* p, const RealRect* rect, bool* inside);
  // m = identity.
  HostErr (*MatrixSetIdentity)(RealMatrix* m);
  // m = a move by (dx, dy).
  HostErr (*MatrixSetTranslate)(RealMatrix* m, double dx, double dy);
  // out = m1 then m2; out may be m1 or m2.
  HostErr (*MatrixConcat)(const RealMatrix* m1, const RealMatrix* m2, RealMatrix* out);
  // m = m then a move by (dx, dy).
  HostErr (*MatrixConcatTranslate)(RealMatrix* m, double dx, double dy);
  // m = m then a counter-clockwise turn by angle about the origin.
  HostErr (*MatrixConcatRotate)(RealMatrix* m, double angle);
  // m = m then a scale by (sx, sy) about the origin; (-1, 1) mirrors x.
  HostErr (*MatrixConcatScale)(RealMatrix* m, double sx, double sy);
  // *out = p mapped by m.
  HostErr (*MatrixXformPoint)(const RealMatrix* m, const RealPoint* p, RealPoint* out);
};
