// Area, perimeter, crossing and overlap tests, containment and nearest points on host paths.
#include <gtest/gtest.h>

#include <cmath>

#include "art/path_geometry.h"
#include "tests/art/host_fixture.h"

namespace {

constexpr double kPiFull = 3.14159265358979323846;

using PathGeometryTest = HostDocumentTest;

TEST_F(PathGeometryTest, UnitSquareAndOpenPath) {
  host::Art* square = Square(0, 0, 1);
  EXPECT_DOUBLE_EQ(PathArea(H(square), 128, false), 1);
  EXPECT_DOUBLE_EQ(PathArea(H(square), 64, true), 1);
  EXPECT_DOUBLE_EQ(PathPerimeter(H(square), 128), 4);

  host::Art* open = host::AddPath(
      *doc, kPlaceInsideOnBottom, layer,
      {host::Corner({0, 0}), host::Corner({1, 0}), host::Corner({1, 1})}, false, Fill());
  EXPECT_EQ(PathArea(H(open), 128, false), 0);
  EXPECT_EQ(PathPerimeter(H(open), 128), 0);
}

TEST_F(PathGeometryTest, FigureEightCountsBothLobesWithCrossings) {
  // Two 10 x 10 lobes meeting at (10, 5): the outline crosses itself there,
  // so one lobe runs clockwise and the other counter-clockwise.
  host::Art* eight = Polygon({{0, 0}, {20, 10}, {20, 0}, {0, 10}});
  EXPECT_NEAR(PathArea(H(eight), 64, false), 0, 1e-9);
  EXPECT_NEAR(PathArea(H(eight), 64, true), 100, 1e-9);
}

TEST_F(PathGeometryTest, CircleAreaAndPerimeter) {
  const double r = 100;
  host::Art* circle = Circle({0, 0}, r);
  // Four cubics approximate the circle within about 0.03 % of the radius.
  EXPECT_NEAR(PathArea(H(circle), 128, false), kPiFull * r * r, kPiFull * r * r * 1e-3);
  EXPECT_NEAR(PathPerimeter(H(circle), 128), 2 * kPiFull * r, 2 * kPiFull * r * 1e-3);
}

TEST_F(PathGeometryTest, SquaresSharingAnEdgeCrossAndOverlap) {
  host::Art* a = Square(0, 0, 10);
  host::Art* b = Square(10, 0, 10);
  EXPECT_EQ(PathsCross(H(a), H(b)), 1);
  // Their sampled outlines only touch, but two corners coincide.
  EXPECT_EQ(PathsOverlap(H(a), H(b)), 1);
  host::Art* far = Square(30, 0, 10);
  EXPECT_EQ(PathsCross(H(a), H(far)), 0);
  EXPECT_EQ(PathsOverlap(H(a), H(far)), 0);
}

TEST_F(PathGeometryTest, OverlapFindsTheSmallerInsideTheLarger) {
  host::Art* big = Square(0, 0, 100);
  host::Art* small = Circle({50, 50}, 5);
  EXPECT_EQ(PathsCross(H(big), H(small)), 0);  // no outline touches
  EXPECT_EQ(PathsOverlap(H(big), H(small)), 1);
  EXPECT_EQ(PathsOverlap(H(small), H(big)), 1);  // the container is the larger either way
  EXPECT_EQ(PathsTest(H(small), H(big), kPathsCross), 0);
}

TEST_F(PathGeometryTest, CollinearOverlappingEdgesDoNotCross) {
  host::Art* a = host::AddPath(*doc, kPlaceInsideOnBottom, layer,
                               {host::Corner({0, 0}), host::Corner({10, 0})}, false, Fill());
  host::Art* b = host::AddPath(*doc, kPlaceInsideOnBottom, layer,
                               {host::Corner({5, 0}), host::Corner({15, 0})}, false, Fill());
  // Their bounds touch, so the segment test runs: equal slopes never cross.
  EXPECT_EQ(PathsCross(H(a), H(b)), 0);
  EXPECT_EQ(PathsOverlap(H(a), H(b)), 0);
}

TEST_F(PathGeometryTest, PointInArtCases) {
  // A ring: outer and inner square in one compound path.
  host::Art* ring = host::AddCompoundPath(*doc, kPlaceInsideOnBottom, layer, Fill());
  Square(0, 0, 30, ring);
  Square(10, 10, 10, ring);
  // Two identical squares in a group cancel each other.
  host::Art* pair = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  Square(100, 0, 10, pair);
  Square(100, 0, 10, pair);
  host::Art* plain = Square(200, 0, 10);
  host::Art* low = Square(300, -5, 10);  // straddles the x axis

  struct Case {
    const char* what;
    host::Art* art;
    RealPoint p;
    double tolerance;
    int result;
  };
  const Case cases[] = {
      {"ring centre", ring, {15, 15}, 0, kOutside},
      {"between the squares", ring, {5, 15}, 0, kInside},
      {"inside both of a pair", pair, {105, 5}, 0, kOutside},
      {"plain inside", plain, {205, 5}, 0, kInside},
      {"on the left edge, tolerance 0: crossing rule only", plain, {200, 5}, 0, kOutside},
      {"on the right edge, tolerance 0: crossing rule only", plain, {210, 5}, 0, kInside},
      {"on a vertical edge, tolerance 0.01", plain, {200, 5}, 0.01, kNearEdge},
      {"on the x axis: the upward ray", low, {305, 0}, 0, kInside},
      {"below the x axis", low, {305, -2}, 0, kInside},
      {"outside the bounds", plain, {250, 5}, 0.01, kOutside},
  };
  for (const Case& c : cases) EXPECT_EQ(PointInArt(H(c.art), c.p, c.tolerance), c.result) << c.what;
}

TEST_F(PathGeometryTest, NearestPointOnPath) {
  host::Art* circle = Circle({0, 0}, 50);
  // From the centre every quarter point is 50 away; the walk starts with the
  // closing segment (last anchor to first), whose t = 0 sample is the last
  // anchor, and later samples at the same distance do not replace it.
  std::vector<PathSegment> segments = circle->segments;
  RealPoint found{-1, -1};
  NearestPointOnPath(H(circle), {0, 0}, &found);
  EXPECT_EQ(found.x, segments.back().p.x);
  EXPECT_EQ(found.y, segments.back().p.y);
  // A point on an anchor finds that anchor.
  found = {-1, -1};
  NearestPointOnPath(H(circle), segments[1].p, &found);
  EXPECT_EQ(found.x, segments[1].p.x);
  EXPECT_EQ(found.y, segments[1].p.y);
  // Nothing nearer than 32000 points leaves the caller's point.
  found = {7, 7};
  NearestPointOnPath(H(circle), {40000, 0}, &found);
  EXPECT_EQ(found.x, 7);
  // Art that is not a path answers the centre of its bounds.
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  Square(0, 0, 10, group);
  NearestPointOnPath(H(group), {100, 100}, &found);
  EXPECT_EQ(found.x, 5);
  EXPECT_EQ(found.y, 5);
}

TEST_F(PathGeometryTest, CollectPathsAndTwoPointPath) {
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  host::Art* first = Square(0, 0, 1, group);
  host::Art* compound = host::AddCompoundPath(*doc, kPlaceInsideOnBottom, group, Fill());
  host::Art* inner = Square(2, 2, 1, compound);
  host::AddBoxArt(*doc, kArtTypeRaster, kPlaceInsideOnBottom, group, {0, 1, 1, 0},
                  RealMatrix{1, 0, 0, 1, 0, 0}, "<image/>");
  const std::vector<ArtHandle> paths = CollectPaths(H(group));
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[0], H(first));
  EXPECT_EQ(paths[1], H(inner));

  const PathStyle style = host::StrokeStyleOf(host::Gray(0), 1);
  ArtHandle line = MakeTwoPointPath(H(group), style, {0, 0}, {5, 5});
  ASSERT_NE(line, nullptr);
  host::Art* made = doc->Resolve(line);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->parent, group);
  EXPECT_EQ(group->last_child, made);
  ASSERT_EQ(made->segments.size(), 2u);
  EXPECT_FALSE(made->closed);
  EXPECT_TRUE(made->segments[1].corner);
  EXPECT_EQ(made->segments[1].in.x, 5);
  EXPECT_TRUE(made->style.stroke_paint);
  // A place that holds no children refuses the path.
  EXPECT_EQ(MakeTwoPointPath(H(first), style, {0, 0}, {1, 1}), nullptr);
}

}  // namespace

namespace {

// The crossing test written out plainly: every chord of every segment
// against every chord of every segment of the other path, no pruning.
bool PlainCross(const host::Art& a, const host::Art& b) {
  auto chords = [](const host::Art& art) {
    std::vector<std::vector<RealPoint>> out;
    const auto& s = art.segments;
    const size_t n = s.size();
    for (size_t i = 0; i < n; ++i) {
      if (i + 1 == n && !art.closed) break;
      const PathSegment& p = s[i];
      const PathSegment& q = s[(i + 1) % n];
      const bool straight =
          p.out.x == p.p.x && p.out.y == p.p.y && q.in.x == q.p.x && q.in.y == q.p.y;
      std::vector<RealPoint> pts{p.p};
      if (!straight)
        for (int k = 1; k < 16; ++k) pts.push_back(BezierPoint(p.p, p.out, q.in, q.p, k / 16.0));
      pts.push_back(q.p);
      out.push_back(pts);
    }
    return out;
  };
  const auto ca = chords(a), cb = chords(b);
  for (const auto& pa : ca)
    for (const auto& pb : cb) {
      // A curve's chords come first when it meets a straight segment.
      const bool swap = pa.size() == 2 && pb.size() > 2;
      const auto& p = swap ? pb : pa;
      const auto& q = swap ? pa : pb;
      for (size_t i = 1; i < p.size(); ++i)
        for (size_t k = 1; k < q.size(); ++k)
          if (LinesCross(p[i - 1], p[i], q[k - 1], q[k], nullptr)) return true;
    }
  return false;
}

TEST_F(PathGeometryTest, PrunedCrossingAndOverlapMatchThePlainTests) {
  // Random wobbly shapes, some near each other, some touching exactly.
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / double(1 << 24);
  };
  auto shape = [&](RealPoint c, double r) {
    std::vector<PathSegment> s;
    const int n = 3 + static_cast<int>(next() * 6);
    for (int i = 0; i < n; ++i) {
      const double t = 6.283185307179586 * i / n;
      const double rr = r * (0.6 + 0.4 * next());
      const RealPoint p{c.x + rr * std::cos(t), c.y + rr * std::sin(t)};
      if (next() < 0.5) {
        s.push_back(host::Corner(p));
      } else {
        const RealPoint d{-std::sin(t) * r * 0.3, std::cos(t) * r * 0.3};
        s.push_back(host::Smooth(p, {p.x - d.x, p.y - d.y}, {p.x + d.x, p.y + d.y}));
      }
    }
    return host::AddPath(*doc, kPlaceInsideOnBottom, layer, s, next() < 0.8, Fill());
  };
  int crossing = 0, overlapping = 0;
  for (int trial = 0; trial < 300; ++trial) {
    host::Art* a = shape({0, 0}, 10);
    host::Art* b = shape({next() * 30 - 15, next() * 30 - 15}, 3 + next() * 10);
    if (trial % 10 == 0) b->segments[0] = a->segments[0];  // an exact touch
    const bool cross = PathsCross(H(a), H(b)) != 0;
    EXPECT_EQ(cross, PlainCross(*a, *b)) << trial;
    crossing += cross;
    // The overlap of two closed shapes without a shared corner reduces to
    // sampling the probe against the container with the single-point test.
    if (a->closed && b->closed && (a->segments.size() != 4 || b->segments.size() != 4)) {
      const RealRect ra = host::Bounds(*a), rb = host::Bounds(*b);
      const bool a_contains = RectWidth(ra) + RectHeight(ra) >= RectWidth(rb) + RectHeight(rb);
      host::Art* c = a_contains ? a : b;
      host::Art* p = a_contains ? b : a;
      bool plain = false;
      const size_t n = p->segments.size();
      for (size_t i = 0; i < n && !plain; ++i) {
        const PathSegment& s0 = p->segments[i];
        const PathSegment& s1 = p->segments[(i + 1) % n];
        for (int j = 0; j <= 16 && !plain; ++j) {
          const RealPoint q = j == 0    ? s0.p
                              : j == 16 ? s1.p
                                        : BezierPoint(s0.p, s0.out, s1.in, s1.p, j / 16.0);
          plain = PointInArt(H(c), q, 0) == kInside;
        }
      }
      const bool overlap = PathsOverlap(H(a), H(b)) != 0;
      EXPECT_EQ(overlap, plain) << trial;
      overlapping += overlap;
    }
  }
  // The cases exercise both answers.
  EXPECT_GT(crossing, 10);
  EXPECT_GT(overlapping, 10);
}

}  // namespace

namespace {

// The area with crossings written out plainly: every edge against every
// other, the first 32 crossings kept, the signed walk.
double PlainAreaWithCrossings(const std::vector<RealPoint>& v) {
  struct W {
    RealPoint p;
    bool crossing;
  };
  std::vector<W> walk{{v[0], false}};
  for (size_t j = 1; j < v.size(); ++j) {
    std::vector<std::pair<double, RealPoint>> found;
    for (size_t k = 1; k < v.size() && found.size() < 32; ++k) {
      const bool shares = (v[k - 1].x == v[j].x && v[k - 1].y == v[j].y) ||
                          (v[k].x == v[j - 1].x && v[k].y == v[j - 1].y);
      RealPoint at;
      if (!shares && LinesCross(v[j - 1], v[j], v[k - 1], v[k], &at))
        found.push_back({PointLength(v[j - 1], at), at});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& f : found) walk.push_back({f.second, true});
    walk.push_back({v[j], false});
  }
  double sum = 0, sign = 1;
  for (size_t i = 1; i < walk.size(); ++i) {
    sum += (walk[i - 1].p.x * walk[i].p.y - walk[i - 1].p.y * walk[i].p.x) / 2 * sign;
    if (walk[i].crossing) sign = -sign;
  }
  return std::fabs(sum);
}

TEST_F(PathGeometryTest, AreaWithCrossingsMatchesThePlainWalk) {
  uint32_t seed = 777;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / double(1 << 24);
  };
  for (int trial = 0; trial < 40; ++trial) {
    // Stars and scribbles that cross themselves many times.
    std::vector<RealPoint> points;
    const int n = 5 + static_cast<int>(next() * 60);
    for (int i = 0; i < n; ++i) points.push_back({next() * 100 - 50, next() * 100 - 50});
    host::Art* path = Polygon(points);
    // The vertex list the area walks: the last anchor, then every anchor.
    std::vector<RealPoint> v{points.back()};
    v.insert(v.end(), points.begin(), points.end());
    EXPECT_EQ(PathArea(H(path), 64, true), PlainAreaWithCrossings(v)) << trial;
  }
}

}  // namespace
