// Step and repeat without the host: the plain grid, the passes, the
// counting rule, and the lattices the search chooses with their properties.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/lattice.h"
#include "tests/engine/oracle/lattice_oracle.h"
#include "tests/engine/oracle/lattice_samples.h"

namespace {

using latticedata::Kind;

const RealRect kObject{300, 600, 400, 550};  // 100 x 50 points, centre (350, 575)

// The centre each grid matrix moves the object's centre to.
std::vector<RealPoint> GridCentres(const RealRect& area, int baseline, int mode, double v = 0) {
  const PlainGrid g = PlainGridFor(kObject, area, v, baseline, mode);
  std::vector<RealPoint> out;
  for (const RealMatrix& m : PlainGridMatrices(g, kObject, area, v)) {
    out.push_back(MatrixXformPoint(&m, RectCenter(kObject)));
  }
  return out;
}

TEST(PlainGrid, FillsTheAreaAlignedToBaselineAndDirection) {
  // 1000 x 1000: 10 columns of 100 and 20 rows of 50, filling it exactly.
  const std::vector<RealPoint> c = GridCentres(RealRect{0, 1000, 1000, 0}, 0, 0);
  ASSERT_EQ(c.size(), 200u);
  EXPECT_DOUBLE_EQ(c.front().x, 50);
  EXPECT_DOUBLE_EQ(c.front().y, 975);
  EXPECT_DOUBLE_EQ(c[1].x, 150);  // row by row
  EXPECT_DOUBLE_EQ(c.back().x, 950);
  EXPECT_DOUBLE_EQ(c.back().y, 25);

  // 1030 x 1030 leaves 30 points: the grid sits against the baseline side
  // and the start of the fill direction.
  const RealRect area{0, 1030, 1030, 0};
  struct Case {
    int baseline, mode;
    double first_x, first_y;  // centre of the first copy
  };
  for (const Case k :
       {Case{0, 0, 50, 1005}, Case{0, 1, 80, 1005}, Case{1, 0, 50, 975}, Case{1, 1, 80, 975},
        Case{2, 0, 50, 1005}, Case{2, 1, 50, 975}, Case{3, 0, 80, 1005}, Case{3, 1, 80, 975}}) {
    SCOPED_TRACE(testing::Message() << "baseline " << k.baseline << " mode " << k.mode);
    const std::vector<RealPoint> g = GridCentres(area, k.baseline, k.mode);
    ASSERT_EQ(g.size(), 200u);
    EXPECT_DOUBLE_EQ(g.front().x, k.first_x);
    EXPECT_DOUBLE_EQ(g.front().y, k.first_y);
  }
}

TEST(PlainGrid, SpacingAndNoRoom) {
  // Pitches 110 and 60 with spacing 10: columns at 0 .. 880 (9), rows at 0 .. 900 (16).
  EXPECT_EQ(GridCentres(RealRect{0, 1000, 1000, 0}, 0, 0, 10).size(), 9u * 16u);
  // Wider than the area, or not a number: no copy.
  EXPECT_TRUE(GridCentres(RealRect{0, 1000, 99, 0}, 0, 0).empty());
  EXPECT_TRUE(GridCentres(RealRect{0, 49.99, 1000, 0}, 0, 0).empty());
  EXPECT_EQ(PlainGridFor(kObject, RealRect{0, 1000, 1000, 0}, 0.0 / 0.0, 0, 0).columns, 0);
  // Exactly as large as the area: one copy.
  EXPECT_EQ(GridCentres(RealRect{0, 50, 100, 0}, 0, 0).size(), 1u);
  // A speck with no spacing does not run away.
  const PlainGrid speck =
      PlainGridFor(RealRect{0, 1e-9, 1e-9, 0}, RealRect{0, 1000, 1000, 0}, 0, 0, 0);
  EXPECT_GT(speck.columns, 0);
  EXPECT_LE(speck.columns, 100001);
}

TEST(Lattice, PassesLieAgainstBaselineThenItsNeighbour) {
  struct Case {
    int baseline, mode;
    LatticePass first, second;
  };
  // Pass 1's table, then the mirror inverted for the bottom and left sides.
  for (const Case c :
       {Case{0, 0, {0, 0}, {2, 1}}, Case{0, 1, {0, 1}, {3, 1}}, Case{1, 0, {1, 1}, {2, 0}},
        Case{1, 1, {1, 0}, {3, 0}}, Case{2, 0, {2, 1}, {0, 0}}, Case{2, 1, {2, 0}, {1, 1}},
        Case{3, 0, {3, 0}, {0, 1}}, Case{3, 1, {3, 1}, {1, 0}}}) {
    SCOPED_TRACE(testing::Message() << "baseline " << c.baseline << " mode " << c.mode);
    const LatticePass p0 = LatticePassFor(0, c.baseline, c.mode);
    const LatticePass p1 = LatticePassFor(1, c.baseline, c.mode);
    EXPECT_EQ(p0.side, c.first.side);
    EXPECT_EQ(p0.mirror, c.first.mirror);
    EXPECT_EQ(p1.side, c.second.side);
    EXPECT_EQ(p1.mirror, c.second.mirror);
  }
}

TEST(Lattice, CountingRuleMatchesCopyByCopy) {
  struct Case {
    int32_t p1, p2, q1, q2;
    double shift, room_x, room_y;
    int32_t count;
  };
  // The shift keeps an odd column's copy only while row + shift < I' + 0.01.
  for (const Case c : {Case{10, 10, 10, 10, 0, 95, 45, 50}, Case{10, 20, 7, 9, 3, 95, 45, 42},
                       Case{10, 10, 10, 10, 5.009, 10, 5, 2}, Case{10, 10, 10, 10, 5.01, 10, 5, 1},
                       Case{3, 5, 2, 11, 0.5, 0, 0, 1}, Case{1, 1, 1, 1, 0, 0, -1, 0}}) {
    const LatticeCount fast = CountLattice(c.p1, c.p2, c.q1, c.q2, c.shift, c.room_x, c.room_y);
    const LatticeCount literal =
        oracle::CountLattice(c.p1, c.p2, c.q1, c.q2, c.shift, c.room_x, c.room_y);
    EXPECT_EQ(fast.count, c.count);
    EXPECT_EQ(fast.count, literal.count);
    EXPECT_EQ(fast.extent, literal.extent);
    LatticeResult l;
    l.p1 = c.p1, l.p2 = c.p2, l.q1 = c.q1, l.q2 = c.q2;
    l.shift = c.shift, l.room_x = c.room_x, l.room_y = c.room_y, l.count = fast.count;
    EXPECT_EQ(static_cast<int32_t>(LatticeCopies(l).size()), c.count);
  }
}

// A 100 x 50 rectangle grown by nothing: touching edges cross, so the
// pitches are 101 and 51 in both passes' frames, and the upright pass wins.
TEST(Lattice, RectangleLatticeIsAGrid) {
  latticedata::Sample s;
  for (const RealPoint p :
       {RealPoint{0, 0}, RealPoint{100, 0}, RealPoint{100, 50}, RealPoint{0, 50}}) {
    s.segments.push_back(PathSegment{p, p, p, true});
  }
  s.bounds = RealRect{0, 50, 100, 0};
  const LatticeResult r = LatticeSearch(latticedata::MakeInput(s, 1000, 1000, 0, 0, 0, 1, 0));
  EXPECT_EQ(r.side, 0);
  EXPECT_EQ(r.p1, 101);
  EXPECT_EQ(r.q1, 51);
  EXPECT_EQ(r.count, 9 * 19);
}

// Triangles pack in alternate-turned columns or rows when turns are allowed,
// and only unturned otherwise.
TEST(Lattice, TrianglesInterlockWhenTurnsAreAllowed) {
  const latticedata::Sample s = latticedata::MakeSample(Kind::kTriangle, 3, 60, 3);
  const LatticeResult upright = LatticeSearch(latticedata::MakeInput(s, 500, 400, 4, 0, 0, 0, 0));
  const LatticeResult turned = LatticeSearch(latticedata::MakeInput(s, 500, 400, 4, 0, 0, 1, 0));
  EXPECT_EQ(upright.pattern, kTurnNone);
  EXPECT_GT(turned.count, upright.count);
  EXPECT_TRUE(turned.pattern == kTurnOddColumns || turned.pattern == kTurnOddRows)
      << turned.pattern;
}

// The placed outlines of a lattice: the pass's sample at every counted
// copy's place in the lattice frame.
std::vector<std::vector<RealPoint>> FrameOutlines(const LatticeInput& in, const LatticeResult& r) {
  std::vector<std::vector<RealPoint>> out;
  for (int pass = 0; pass < 2; ++pass) {
    NestPart part;
    LatticeTrial fields;
    if (!PrepareLatticePass(in, pass, &part, &fields)) continue;
    if (fields.side == r.side && fields.mirror == r.mirror) {
      for (const LatticeCopy& c : LatticeCopies(r)) {
        const RealMatrix m = PartMatrix(part, c.turned ? 180 : 0, c.x, c.y);
        std::vector<RealPoint> o;
        for (int32_t i = 0; i + 1 < part.point_count; ++i)
          o.push_back(MatrixXformPoint(&m, part.points[i]));
        out.push_back(o);
      }
      pass = 2;
    }
    FreeNestPart(&part);
  }
  return out;
}

RealRect Box(const std::vector<RealPoint>& o) {
  RealRect b{o[0].x, o[0].y, o[0].x, o[0].y};
  for (const RealPoint p : o) {
    b.left = std::min(b.left, p.x), b.right = std::max(b.right, p.x);
    b.top = std::max(b.top, p.y), b.bottom = std::min(b.bottom, p.y);
  }
  return b;
}

bool Cross(const std::vector<RealPoint>& a, const std::vector<RealPoint>& b) {
  const size_t na = a.size(), nb = b.size();
  for (size_t i = 0; i < na; ++i) {
    for (size_t j = 0; j < nb; ++j) {
      if (SegmentIntersection(a[(i + na - 1) % na], a[i], b[(j + nb - 1) % nb], b[j], nullptr)) {
        return true;
      }
    }
  }
  return false;
}

// Every lattice the search chooses: no two grown outlines cross, every copy
// lies inside the nesting area (its grown outline within v/2 of it), and
// there are as many copies as the counting rule says.
TEST(Lattice, CopiesNeverCrossAndStayInsideTheArea) {
  struct Case {
    Kind kind;
    int points;
    double size;
    uint32_t seed;
    int16_t baseline, mode, rotation;
    double spacing;
  };
  for (const Case c :
       {Case{Kind::kTriangle, 3, 50, 21, 0, 0, 1, 3}, Case{Kind::kConcave, 12, 60, 22, 1, 1, 1, 2},
        Case{Kind::kNotched, 8, 55, 23, 2, 0, 1, 0}, Case{Kind::kRounded, 4, 50, 24, 3, 1, 0, 5},
        Case{Kind::kConvex, 9, 45, 25, 0, 1, 1, 1}, Case{Kind::kGear, 60, 70, 26, 2, 1, 1, 2}}) {
    SCOPED_TRACE(testing::Message() << "seed " << c.seed);
    const latticedata::Sample s = latticedata::MakeSample(c.kind, c.points, c.size, c.seed, 20, 30);
    const RealRect area{-100, 250, 300, -150};
    LatticeInput in =
        latticedata::MakeInput(s, 400, 400, c.spacing, c.baseline, c.mode, c.rotation, 0);
    in.area = area;
    const LatticeResult r = LatticeSearch(in);
    ASSERT_GT(r.count, 4);
    EXPECT_EQ(r.count,
              oracle::CountLattice(r.p1, r.p2, r.q1, r.q2, r.shift, r.room_x, r.room_y).count);

    const std::vector<std::vector<RealPoint>> frame = FrameOutlines(in, r);
    ASSERT_EQ(static_cast<int32_t>(frame.size()), r.count);
    for (size_t i = 0; i < frame.size(); ++i) {
      const RealRect bi = Box(frame[i]);
      for (size_t j = i + 1; j < frame.size(); ++j) {
        const RealRect bj = Box(frame[j]);
        if (bi.right < bj.left - 1 || bj.right < bi.left - 1 || bi.top < bj.bottom - 1 ||
            bj.top < bi.bottom - 1)
          continue;
        EXPECT_FALSE(Cross(frame[i], frame[j])) << "copies " << i << " and " << j;
      }
    }

    const std::vector<RealMatrix> placed = LatticeMatrices(r, RectCenter(s.bounds), area, nullptr);
    ASSERT_EQ(static_cast<int32_t>(placed.size()), r.count);
    Polygon outline =
        FlattenPathExactStraight(s.segments.data(), static_cast<int32_t>(s.segments.size()), 1.0);
    const double slack = c.spacing / 2 + 0.5;
    for (const RealMatrix& m : placed) {
      for (int32_t i = 0; i < outline.count; ++i) {
        const RealPoint p = MatrixXformPoint(&m, outline.points[i]);
        EXPECT_GE(p.x, area.left - slack);
        EXPECT_LE(p.x, area.right + slack);
        EXPECT_GE(p.y, area.bottom - slack);
        EXPECT_LE(p.y, area.top + slack);
      }
    }
    FreePolygon(&outline);
  }
}

TEST(Lattice, NothingFitsOrNoOutline) {
  const latticedata::Sample s = latticedata::MakeSample(Kind::kConvex, 8, 120, 4);
  EXPECT_EQ(LatticeSearch(latticedata::MakeInput(s, 100, 100, 0, 0, 0, 1, 0)).count, 0);
  latticedata::Sample two = s;
  two.segments.resize(2);
  EXPECT_EQ(LatticeSearch(latticedata::MakeInput(two, 1000, 1000, 0, 0, 0, 1, 0)).count, 0);
  LatticeInput nan = latticedata::MakeInput(s, 1000, 1000, 0, 0, 0, 1, 0);
  nan.spacing = 0.0 / 0.0;
  EXPECT_EQ(LatticeSearch(nan).count, 0);
  EXPECT_TRUE(
      LatticeMatrices(LatticeResult{}, RealPoint{0, 0}, RealRect{0, 1, 1, 0}, nullptr).empty());
}

}  // namespace
