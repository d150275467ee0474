// The geometry kernel: matrices, rectangles, flattening, thinning, crossings, containment.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/geometry.h"
#include "engine/model.h"

namespace {

PathSegment Corner(double x, double y) {
  return PathSegment{{x, y}, {x, y}, {x, y}, true};
}

std::vector<RealPoint> Flatten(const std::vector<PathSegment>& segments, double tolerance) {
  Polygon polygon = FlattenPath(segments.data(), static_cast<int32_t>(segments.size()), tolerance);
  std::vector<RealPoint> out(polygon.points, polygon.points + polygon.count);
  FreePolygon(&polygon);
  return out;
}

TEST(Matrix, ConcatAppliesTheFirstMatrixFirst) {
  RealMatrix m;
  MatrixSetTranslate(&m, 10, 0);
  MatrixConcatRotate(&m, kHalfPi);  // move, then turn a quarter counter-clockwise
  const RealPoint p = MatrixXformPoint(&m, RealPoint{0, 0});
  EXPECT_NEAR(p.x, 0, 1e-8);
  EXPECT_NEAR(p.y, 10, 1e-8);

  RealMatrix out = m;
  RealMatrix identity;
  MatrixSetIdentity(&identity);
  MatrixConcat(&out, &identity, &out);  // out may alias the first operand
  EXPECT_EQ(out.tx, m.tx);
  EXPECT_EQ(out.ty, m.ty);
}

TEST(Matrix, HalfTurnLeavesTheRoundedPiResidue) {
  // The engine's pi is rounded to ten digits, so a half turn is not exact:
  // sin(3.141592654) is about -4.1e-10. Engines compare with tolerances.
  RealMatrix m;
  MatrixSetIdentity(&m);
  MatrixConcatRotate(&m, kPi);
  EXPECT_NEAR(m.a, -1, 1e-15);
  EXPECT_GT(std::fabs(m.b), 1e-10);
  EXPECT_LT(std::fabs(m.b), 1e-9);
  EXPECT_EQ(m.c, -m.b);
}

TEST(Matrix, PartMatrixTurnsAboutTheBoundsCentreThenMoves) {
  NestPart part{};
  part.bounds = RealRect{0, 20, 40, 0};  // centre (20, 10)
  const RealMatrix m = PartMatrix(part, 90, 100, 200);
  const RealPoint centre = MatrixXformPoint(&m, RealPoint{20, 10});
  EXPECT_NEAR(centre.x, 100, 1e-9);
  EXPECT_NEAR(centre.y, 200, 1e-9);
  const RealPoint corner = MatrixXformPoint(&m, RealPoint{40, 10});  // right middle
  EXPECT_NEAR(corner.x, 100, 1e-7);
  EXPECT_NEAR(corner.y, 220, 1e-7);
  const RealMatrix still = PartMatrix(part, 0, 20, 10);
  EXPECT_EQ(still.a, 1);
  EXPECT_EQ(still.b, 0);
  EXPECT_EQ(still.tx, 0);
}

TEST(Rect, OverlapExcludesTouchingEdges) {
  struct Case {
    RealRect a, b;
    bool overlap;
  };
  const Case cases[] = {
      {{0, 10, 10, 0}, {10, 10, 20, 0}, false},   // shared vertical edge
      {{0, 10, 10, 0}, {0, 20, 10, 10}, false},   // shared horizontal edge
      {{0, 10, 10, 0}, {9.99, 10, 20, 0}, true},  // a sliver
      {{0, 10, 10, 0}, {2, 8, 4, 6}, true},       // one inside the other
      {{0, 10, 10, 0}, {20, 10, 30, 0}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RectOverlap(&c.a, &c.b), c.overlap);
    EXPECT_EQ(RectOverlap(&c.b, &c.a), c.overlap);
  }
}

TEST(Rect, InsetShrinksAndNegativeGrows) {
  RealRect r{0, 10, 10, 0};
  RectInset(&r, 1, 2);
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.right, 9);
  EXPECT_EQ(r.top, 8);
  EXPECT_EQ(r.bottom, 2);
  RectInset(&r, -1, -2);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 10);
}

TEST(Points, CloseLengthAngle) {
  EXPECT_TRUE(PointsClose({1, 1}, {1.00009, 0.99991}));
  EXPECT_FALSE(PointsClose({1, 1}, {1.00011, 1}));
  EXPECT_DOUBLE_EQ(PointLength({0, 0}, {3, 4}), 5);
  EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {0, 2}), std::atan2(2.0, 0.0));
}

TEST(RotatedExtent, IsCentredOnTheOriginAndTurnsEvenAtZero) {
  const RealRect r{100, 50, 140, 30};  // 40 x 20
  const RealRect still = RotatedExtent(r, 0);
  EXPECT_EQ(still.left, -20);
  EXPECT_EQ(still.top, 10);
  const RealRect quarter = RotatedExtent(r, 90);
  EXPECT_NEAR(RectWidth(quarter), 20, 1e-7);
  EXPECT_NEAR(RectHeight(quarter), 40, 1e-7);
  const RealRect diagonal = RotatedExtent(RealRect{0, 10, 10, 0}, 45);
  EXPECT_NEAR(RectWidth(diagonal), 10 * std::sqrt(2.0), 1e-7);
}

TEST(FlattenPath, ShortPathsGiveNoPolygonAndOpenPathsAreClosed) {
  EXPECT_TRUE(Flatten({Corner(0, 0), Corner(10, 0)}, 1.0).empty());
  // An open path of three corners is taken as closed: back to the start.
  const auto triangle = Flatten({Corner(0, 0), Corner(100, 0), Corner(0, 100)}, 1.0);
  ASSERT_EQ(triangle.size(), 4u);
  EXPECT_EQ(triangle.back().x, 0);
  EXPECT_EQ(triangle.back().y, 0);
  const auto square =
      Flatten({Corner(0, 0), Corner(100, 0), Corner(100, 100), Corner(0, 100)}, 1.0);
  ASSERT_EQ(square.size(), 5u);
  EXPECT_EQ(square.front().x, square.back().x);
  EXPECT_EQ(square.front().y, square.back().y);
}

TEST(FlattenPath, CurvesAreSampledAtQuarters) {
  // Two curved edges: an arch up from (0,0) to (100,0) and the straight way back.
  const PathSegment a{{0, 0}, {0, 0}, {0, 50}, false};
  const PathSegment b{{100, 0}, {100, 50}, {100, 0}, false};
  const PathSegment c = Corner(50, -1);
  // Tolerance 0 keeps every sample: 1 + 4 (curve) + 1 + 1 points.
  const auto fine = Flatten({a, b, c}, 0.0);
  ASSERT_EQ(fine.size(), 7u);
  // B(1/4) of (0,0) (0,50) (100,50) (100,0): x = 27/64*0 + 27/64*0 + 9/64*100 + 1/64*100.
  EXPECT_DOUBLE_EQ(fine[1].x, 1000.0 / 64);
  EXPECT_DOUBLE_EQ(fine[1].y, 27.0 / 64 * 50 + 9.0 / 64 * 50);
  EXPECT_DOUBLE_EQ(fine[4].x, 100);  // t = 1 lands exactly on the anchor
}

TEST(SimplifyPolyline, QuarterCircleKeepsItsEnds) {
  // A quarter circle of radius 100 as one cubic, sampled densely.
  const double k = 0.5522847498 * 100;
  const RealPoint p0{100, 0}, p1{100, k}, p2{k, 100}, p3{0, 100};
  std::vector<RealPoint> samples;
  for (int i = 0; i <= 64; ++i) {
    const double t = i / 64.0, mt = 1 - t;
    samples.push_back(
        {mt * mt * mt * p0.x + 3 * t * mt * mt * p1.x + 3 * t * t * mt * p2.x + t * t * t * p3.x,
         mt * mt * mt * p0.y + 3 * t * mt * mt * p1.y + 3 * t * t * mt * p2.y + t * t * t * p3.y});
  }
  size_t previous = samples.size() + 1;
  for (double tolerance : {0.1, 1.0, 10.0, 1000.0}) {
    std::vector<RealPoint> pts = samples;
    int32_t n = static_cast<int32_t>(pts.size());
    SimplifyPolyline(pts.data(), &n, tolerance);
    ASSERT_GE(n, 2);
    EXPECT_EQ(pts[0].x, 100);
    EXPECT_EQ(pts[n - 1].y, 100);
    EXPECT_LE(static_cast<size_t>(n), previous);  // a coarser tolerance never keeps more
    previous = static_cast<size_t>(n);
    // Every kept point is an input point, in order.
    for (int32_t i = 1; i < n; ++i)
      EXPECT_LT(PointAngle({0, 0}, pts[i - 1]), PointAngle({0, 0}, pts[i]));
  }
}

TEST(SimplifyPolyline, RunEndsWhenDistanceShrinks) {
  // Going out and coming back: the far point must stay, though it is on the
  // chord's line, because the distance from the anchor starts to shrink.
  std::vector<RealPoint> pts{{0, 0}, {5, 0}, {10, 0}, {5, 0.5}, {0, 1}};
  int32_t n = static_cast<int32_t>(pts.size());
  SimplifyPolyline(pts.data(), &n, 1.0);
  ASSERT_EQ(n, 3);
  EXPECT_EQ(pts[1].x, 10);
  EXPECT_EQ(pts[2].y, 1);
  // Fewer than three points are left alone.
  std::vector<RealPoint> two{{0, 0}, {0.1, 0}};
  n = 2;
  SimplifyPolyline(two.data(), &n, 5.0);
  EXPECT_EQ(n, 2);
}

TEST(SegmentIntersection, Cases) {
  struct Case {
    const char* what;
    RealPoint p1, p2, p3, p4;
    bool crosses;
    RealPoint at;
  };
  const Case cases[] = {
      {"an X", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true, {5, 5}},
      {"end to end", {0, 0}, {10, 0}, {10, 0}, {20, 5}, true, {10, 0}},
      {"slopes within 0.001", {0, 0}, {10, 0}, {0, 1}, {10, 1.005}, false, {}},
      {"two verticals", {0, 0}, {0, 10}, {0, 5}, {0, 15}, false, {}},
      {"vertical and sloped", {5, -10}, {5, 10}, {0, 0}, {10, 10}, true, {5, 5}},
      {"sloped and vertical", {0, 0}, {10, 10}, {5, -10}, {5, 10}, true, {5, 5}},
      {"lines meet outside", {0, 0}, {1, 1}, {10, 0}, {9, 1}, false, {}},
      {"within the 0.001 widening",
       {0, 0},
       {10, 0},
       {10.0005, -5},
       {10.0005, 5},
       true,
       {10.0005, 0}},
      {"past the widening", {0, 0}, {10, 0}, {10.002, -5}, {10.002, 5}, false, {}},
      {"collinear overlap", {0, 0}, {10, 0}, {5, 0}, {15, 0}, false, {}},
  };
  for (const Case& c : cases) {
    RealPoint at{-1, -1};
    EXPECT_EQ(SegmentIntersection(c.p1, c.p2, c.p3, c.p4, &at), c.crosses) << c.what;
    if (c.crosses) {
      EXPECT_NEAR(at.x, c.at.x, 1e-9) << c.what;
      EXPECT_NEAR(at.y, c.at.y, 1e-9) << c.what;
    }
  }
}

TEST(PointSegmentDistance, Cases) {
  struct Case {
    const char* what;
    RealPoint s1, s2, p;
    double distance;
    RealPoint nearest;
  };
  const Case cases[] = {
      {"degenerate segment", {1, 1}, {1, 1}, {4, 5}, 5, {1, 1}},
      {"vertical, foot inside", {0, 0}, {0, 10}, {3, 4}, 3, {0, 4}},
      {"horizontal, foot inside", {0, 0}, {10, 0}, {4, -2}, 2, {4, 0}},
      {"sloped, foot inside", {0, 0}, {10, 10}, {0, 10}, std::sqrt(50.0), {5, 5}},
      {"foot beyond s2", {0, 0}, {10, 0}, {13, 4}, 5, {10, 0}},
      {"foot before s1", {0, 0}, {10, 0}, {-3, 4}, 5, {0, 0}},
  };
  for (const Case& c : cases) {
    RealPoint nearest{-99, -99};
    EXPECT_NEAR(PointSegmentDistance(c.s1, c.s2, c.p, &nearest), c.distance, 1e-9) << c.what;
    EXPECT_NEAR(nearest.x, c.nearest.x, 1e-9) << c.what;
    EXPECT_NEAR(nearest.y, c.nearest.y, 1e-9) << c.what;
  }
}

TEST(PointInPolygon, CrossingRuleAndTolerance) {
  const std::vector<RealPoint> square{{10, 10}, {20, 10}, {20, 20}, {10, 20}, {10, 10}};
  const std::vector<RealPoint> below{{10, -20}, {20, -20}, {20, -10}, {10, -10}};
  struct Case {
    const char* what;
    const std::vector<RealPoint>* polygon;
    RealPoint p;
    double tolerance;
    int result;
  };
  const Case cases[] = {
      {"inside above the axis", &square, {15, 15}, 0, kInside},
      {"outside", &square, {25, 15}, 0, kOutside},
      {"inside below the axis", &below, {15, -15}, 0, kInside},
      {"on the left edge: x = min(x) is not counted", &square, {10, 15}, 0, kOutside},
      {"on the right edge: x = max(x) is counted", &square, {20, 15}, 0, kInside},
      {"on the bottom edge, tolerance 0: crossed twice", &square, {15, 10}, 0, kOutside},
      {"on an edge with tolerance", &square, {15, 10}, 0.01, kNearEdge},
      {"near a vertical edge", &square, {10.005, 15}, 0.01, kNearEdge},
      {"inside, away from edges, with tolerance", &square, {15, 15}, 0.01, kInside},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PointInPolygon(c.polygon->data(), static_cast<int32_t>(c.polygon->size()), c.p,
                             c.tolerance),
              c.result)
        << c.what;
  }
  EXPECT_EQ(PointInPolygon(nullptr, 0, {0, 0}, 1), kOutside);
}

}  // namespace
