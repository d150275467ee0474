// The nesting search's behaviour on small fixtures: where parts land, when
// they wait for another sheet, 1-page reproduction, spacing and cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "engine/outline_index.h"
#include "engine/search.h"
#include "tests/engine/oracle/nest_instance.h"
#include "tests/engine/oracle/search_oracle.h"

namespace {

using nestdata::JobOptions;
using nestdata::PartSet;
using nestdata::PartsOf;
using nestdata::Rect;
using nestdata::SheetSize;

struct Nested {
  PartSet parts;
  int32_t parts_done = 0;
  int32_t extra_sheets = 0;
  int32_t reproduced = 0;
  RealRect area{0, 0, 0, 0};  // first sheet's nesting area
};

// Runs the fast search and the oracle on the same parts; the fixture fails
// when they disagree, so every behaviour below holds for both.
Nested Nest(const PartSet& parts, const SheetSize& sheet, const JobOptions& options,
            const SearchSettings& settings) {
  Nested fast{parts};
  const NestJob fast_job = nestdata::MakeJob(&fast.parts, sheet, options);
  fast.area = fast_job.area;
  SearchCounters counters;
  NestSearch(fast_job, settings, &counters, nullptr);
  fast.parts_done = counters.parts_done.load();
  fast.extra_sheets = counters.extra_sheets.load();
  fast.reproduced = counters.reproduced_count.load();

  PartSet literal(parts);
  NestJob job = nestdata::MakeJob(&literal, sheet, options);
  SearchCounters oc;
  oracle::NestSearch(job, settings, &oc, nullptr);
  EXPECT_EQ(nestdata::FirstDifference(fast.parts, literal), "");
  EXPECT_EQ(fast.parts_done, oc.parts_done.load());
  EXPECT_EQ(fast.extra_sheets, oc.extra_sheets.load());
  EXPECT_EQ(fast.reproduced, oc.reproduced_count.load());
  return fast;
}

// The placed box of a part (its rotated bounds about its centre).
RealRect PlacedBoxOf(const NestPart& p) {
  RealRect b = RotatedExtent(p.bounds, p.rotation);
  return RealRect{b.left + p.center_x, b.top + p.center_y, b.right + p.center_x,
                  b.bottom + p.center_y};
}

SearchSettings Settings(double spacing_mm, int16_t rotation, int16_t mode, int16_t threads = 1) {
  return nestdata::MakeSettings(SheetSize{}, spacing_mm, rotation, mode, threads);
}

TEST(NestSearch, OnePartLandsInTheTopCornerAtTheStartOfTheFill) {
  struct Case {
    int16_t direction;
    int16_t rotation_on;
    int16_t expected_rotation;
  };
  // A tall part: with 90-degree trials on, every trial is at the top edge of
  // the empty sheet, and key2 picks the flattest box.
  for (const Case c : {Case{0, 0, 0}, Case{1, 0, 0}, Case{0, 1, 90}, Case{1, 1, 90}}) {
    SCOPED_TRACE(testing::Message()
                 << "direction " << c.direction << " rotation " << c.rotation_on);
    const Nested r = Nest(PartsOf({Rect(50, 200)}, 0), SheetSize{},
                          JobOptions{c.direction, 0, 1, 0, 0}, Settings(5, c.rotation_on, 1));
    const NestPart& p = r.parts[0];
    ASSERT_EQ(p.placed, 1);
    EXPECT_EQ(p.rotation, c.expected_rotation);
    const RealRect box = PlacedBoxOf(p);
    EXPECT_NEAR(box.top, r.area.top, 1e-6);
    if (c.direction == 0) {
      EXPECT_NEAR(box.left, r.area.left, 1e-6);
    } else {
      EXPECT_NEAR(box.right, r.area.right, 1e-6);
    }
    EXPECT_EQ(r.extra_sheets, 0);
    EXPECT_EQ(r.parts_done, 1);
  }
}

// Without spacing the boxes grown by half the spacing are the boxes
// themselves, and touching boxes do not overlap: two axis-aligned rectangles
// may therefore end exactly edge to edge, never overlapping, and never
// farther apart than the finest step after six refinements.
TEST(NestSearch, EqualRectanglesWithoutSpacingEndWithinTheFinestStepAndNeverOverlap) {
  for (const int16_t direction : {0, 1}) {
    const Nested r = Nest(PartsOf({Rect(100, 60), Rect(100, 60)}, 0), SheetSize{},
                          JobOptions{direction, 0, 1, 0, 0}, Settings(0, 0, 0));
    const RealRect first = PlacedBoxOf(r.parts[0]);
    const RealRect second = PlacedBoxOf(r.parts[1]);
    EXPECT_EQ(second.top, first.top);  // same top row
    const double gap = direction == 0 ? second.left - first.right : first.left - second.right;
    EXPECT_GE(gap, 0);
    EXPECT_LT(gap, 5.0 / 64 + 0.001);
  }
}

TEST(NestSearch, BoxNestingTakesTheFirstPositionAtMostOnePointInsideThePreviousBox) {
  // Nesting type 0, direction 0, spacing 1 mm (no refinement): placed boxes
  // are widened by the spacing only to the left and downward and shrunk by
  // one point, so the 5-point scan stops at x = 100, half a point inside the
  // first part; settling then finds the outlines crossing and leaves it.
  const Nested r = Nest(PartsOf({Rect(100.5, 60), Rect(100.5, 60)}, 0), SheetSize{},
                        JobOptions{0, 0, 0, 0, 0}, Settings(1, 0, 0));
  const RealRect first = PlacedBoxOf(r.parts[0]);
  const RealRect second = PlacedBoxOf(r.parts[1]);
  EXPECT_NEAR(first.left, r.area.left, 1e-9);
  EXPECT_NEAR(second.left, r.area.left + 100, 1e-9);
  EXPECT_NEAR(second.top, r.area.top, 1e-9);
}

TEST(NestSearch, HalfTurnStepStillChoosesTheBetterOfTheTwoTrials) {
  // Two right triangles: the second nests against the first's hypotenuse
  // only when turned by 180 degrees, further toward the start of the row.
  // (A size of 101 keeps the lower quarter lines of both trials, whose
  // heights differ by the rounding of the half turn, off a 0.1 point step.)
  const std::vector<RealPoint> triangle{{0, 0}, {101, 0}, {0, 101}};
  const Nested r = Nest(PartsOf({triangle, triangle}, 1), SheetSize{}, JobOptions{0, 0, 1, 1, 0},
                        Settings(1, 1, 0));
  EXPECT_EQ(r.parts[0].rotation, 0);
  EXPECT_EQ(r.parts[1].rotation, 180);
  EXPECT_LT(PlacedBoxOf(r.parts[1]).left, PlacedBoxOf(r.parts[0]).right);
}

TEST(NestSearch, PartWiderThanTheAreaWaitsForAnEmptySheet) {
  // A 100 mm sheet is 283.46 points wide; the middle part is wider. With
  // rotation trials off it finds no place beside the first part, waits, and
  // is put at the top corner of the next sheet, reaching beyond its area.
  const SheetSize sheet{100, 100, 0};
  SearchSettings s = Settings(1, 0, 0);
  s.plate_width = sheet.width_mm;
  s.plate_height = sheet.height_mm;
  PartSet order = PartsOf({Rect(300, 40), Rect(50, 50), Rect(50, 50)}, 0);
  std::swap(order[0], order[1]);  // small, wide, small
  const Nested r = Nest(order, sheet, JobOptions{0, 0, 1, 0, 0}, s);
  const double sheet_w = 100 * 2.834645669291339;
  EXPECT_EQ(r.extra_sheets, 1);
  EXPECT_EQ(r.parts[0].area_center_x, r.parts[2].area_center_x);
  EXPECT_NEAR(r.parts[1].area_center_x, r.parts[0].area_center_x + sheet_w, 1e-6);
  const RealRect box = PlacedBoxOf(r.parts[1]);
  EXPECT_NEAR(box.left, r.area.left + sheet_w, 1e-6);
  EXPECT_NEAR(box.top, r.area.top, 1e-6);
  EXPECT_GT(box.right, r.area.right + sheet_w);
}

TEST(NestSearch, OnePageReproductionFillsOneSheetAndCountsTheCopiesThatFit) {
  // Squares of 100 points on a 100 mm (283.46 point) area: two rows of two.
  const SheetSize sheet{100, 100, 0};
  SearchSettings s = Settings(0, 0, 0);
  s.plate_width = sheet.width_mm;
  s.plate_height = sheet.height_mm;
  struct Case {
    int copies;
    int expected;
  };
  for (const Case c : {Case{6, 4}, Case{3, 3}}) {
    nestdata::Instance inst;
    inst.shapes.push_back(nestdata::Shape{Rect(100, 100), c.copies});
    const Nested r = Nest(PartSet(inst, 1, 0), sheet, JobOptions{0, 0, 1, 0, 1}, s);
    EXPECT_EQ(r.reproduced, c.expected);
    EXPECT_EQ(r.extra_sheets, 0);
    int placed = 0;
    for (int32_t i = 0; i < r.parts.size(); ++i) placed += r.parts[i].placed;
    EXPECT_EQ(placed, c.expected);
  }
}

TEST(NestSearch, CandidateEnclosingASmallerPlacedPartCollides) {
  // A thin sliver placed first; a ring-free square large enough to cover it
  // would be taken at the sliver's place if only the candidate's first
  // point were tested for containment.
  NestPart sliver = nestdata::MakePart({{0, 0}, {40, 0}, {40, 4}, {0, 4}}, 1);
  NestPart square = nestdata::MakePart(Rect(100, 100), 1);
  sliver.center_x = 50;
  sliver.center_y = 50;
  square.center_x = 50;
  square.center_y = 50;
  std::vector<RealPoint> b1(600), b2(600);
  EXPECT_EQ(PartsCollide(sliver, square, 0, b1.data(), b2.data()), 1);
  EXPECT_EQ(oracle::PartsCollide(sliver, square, 0, b1.data(), b2.data()), 1);
  // The forward test alone: the square's first point is outside the sliver.
  EXPECT_EQ(PointInPolygon(sliver.points, sliver.point_count, RealPoint{0, 0}, 0), kOutside);
  // Missing buffers mean no collision.
  EXPECT_EQ(PartsCollide(sliver, square, 0, nullptr, b2.data()), 0);
  FreeNestPart(&sliver);
  FreeNestPart(&square);
}

TEST(NestSearch, PartDistanceAnswersForFacingCrossingAndApartParts) {
  NestPart a = nestdata::MakePart(Rect(100, 100), 1);
  NestPart b = nestdata::MakePart(Rect(100, 100), 1);
  std::vector<RealPoint> b1(600), b2(600);
  struct Case {
    double bx, by;
    int across;
    double expected;
  };
  a.center_x = 0;
  a.center_y = 0;
  for (const Case c : {Case{0, 130, 0, 30}, Case{130, 0, 1, 30}, Case{130, 0, 0, kNothingFaces},
                       Case{0, 50, 0, kOutlinesCross}}) {
    b.center_x = c.bx;
    b.center_y = c.by;
    EXPECT_DOUBLE_EQ(PartDistance(a, b, c.across, b1.data(), b2.data()), c.expected);
    EXPECT_DOUBLE_EQ(oracle::PartDistance(a, b, c.across, b1.data(), b2.data()), c.expected);
  }
  EXPECT_EQ(PartDistance(a, b, 0, nullptr, nullptr), kNothingFaces);
  FreeNestPart(&a);
  FreeNestPart(&b);
}

TEST(NestSearch, RotationTableAndBadModes) {
  EXPECT_EQ(RotationStepFor(0).trials, 2);
  EXPECT_EQ(RotationStepFor(0).degrees, 180);
  EXPECT_EQ(RotationStepFor(5).trials, 36);
  EXPECT_EQ(RotationStepFor(5).degrees, 10);
  for (const RotationStep& s : kRotationTable) EXPECT_EQ(s.trials * s.degrees, 360);
  EXPECT_EQ(RotationStepFor(-3).trials, 2);
  EXPECT_EQ(RotationStepFor(99).trials, 36);
}

TEST(NestSearch, EmptyJobsPlaceNothing) {
  SearchCounters counters;
  NestSearch(NestJob{}, SearchSettings{}, &counters, nullptr);
  NestSearch(NestJob{}, SearchSettings{}, nullptr, nullptr);
  EXPECT_EQ(counters.parts_done.load(), 0);
}

// A search that runs for seconds on its own, cancelled once it has started.
TEST(NestSearch, CancelStopsTheSearchDuringTrials) {
  for (const int16_t threads : {0, 1}) {
    SCOPED_TRACE(threads ? "threads" : "one after another");
    nestdata::GeneratorParams g;
    g.seed = 7;
    g.types = 40;
    g.max_quantity = 10;
    PartSet parts(nestdata::GenerateInstance(g), 1, 1);
    const SheetSize sheet{400, 400, 0};
    NestJob job = nestdata::MakeJob(&parts, sheet, JobOptions{0, 0, 1, 1, 0});
    SearchSettings s = nestdata::MakeSettings(sheet, 0, 1, 5, threads);
    SearchCounters counters;
    std::atomic<bool> cancel{false};
    std::atomic<bool> ended{false};
    std::thread search([&] {
      NestSearch(job, s, &counters, &cancel);
      ended.store(true);
    });
    while (!ended.load() && counters.parts_done.load(std::memory_order_relaxed) < 3) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    cancel.store(true, std::memory_order_relaxed);
    search.join();
    int placed = 0;
    for (int32_t i = 0; i < parts.size(); ++i) placed += parts[i].placed;
    EXPECT_LT(placed, parts.size());
    EXPECT_EQ(placed, counters.parts_done.load());
  }
  // A flag set before the start places nothing.
  PartSet parts = PartsOf({Rect(10, 10)}, 0);
  NestJob job = nestdata::MakeJob(&parts, SheetSize{}, JobOptions{});
  std::atomic<bool> cancel{true};
  NestSearch(job, SearchSettings{}, nullptr, &cancel);
  EXPECT_EQ(parts[0].placed, 0);
}

}  // namespace

// The interior grid: every point it places inside an outline is inside by
// PointInPolygon, on outlines with long slanted edges, a deep notch, edges
// straddling the x axis (where the ray changes direction) and a sliver; and
// a large part's middle is found.
TEST(InteriorGrid, PointsItPlacesInsideAreInsideTheOutline) {
  const double r = 3;  // slightly below the x axis and away from the origin
  const std::vector<std::vector<RealPoint>> outlines = {
      {{100, -40}, {160, 20}, {100, 80}, {40, 20}},                             // diamond
      {{0, -30}, {90, -30}, {90, 60}, {50, 60}, {47, -10}, {44, 60}, {0, 60}},  // notch
      {{10, -0.5}, {200, 0.7}, {10, 1.9}},                                      // sliver
      {{r, r}, {120, 5}, {118.5, 90}, {60, 91}, {62, 40}, {20, 45}},            // concave
  };
  for (const auto& o : outlines) {
    SCOPED_TRACE(testing::Message() << "outline from " << o[0].x << ", " << o[0].y);
    const int32_t n = static_cast<int32_t>(o.size());
    std::vector<RealRect> edges(o.size());
    OutlineView v{o.data(), edges.data(), n, {}};
    BuildEdgeBoxes(o.data(), n, edges.data(), &v.bounds);
    SlabIndex slabs;
    BuildSlabs(v, &slabs);
    InteriorGrid grid;
    grid.Reset(RealRect{-50, 150, 250, -100}, 2.5);
    grid.Add(v, &slabs, 7);
    int32_t found = 0;
    for (double y = -45; y <= 95; y += 0.173) {
      for (double x = -5; x <= 210; x += 0.131) {
        const RealPoint p{x, y};
        const int32_t id = grid.At(p);
        if (id < 0) continue;
        ++found;
        ASSERT_EQ(id, 7);
        ASSERT_EQ(PointInPolygon(o.data(), n, p, 0), kInside) << x << ", " << y;
      }
    }
    if (RectWidth(v.bounds) > 100 && RectHeight(v.bounds) > 50) {
      EXPECT_GT(found, 0);
    }
  }
  // A point on an edge is never claimed, nor is anything on a sheet the
  // grid does not cover or for an outline with a non-finite point.
  InteriorGrid grid;
  grid.Reset(RealRect{0, 100, 100, 0}, 2.5);
  const std::vector<RealPoint> square{{10, 10}, {90, 10}, {90, 90}, {10, 90}};
  std::vector<RealRect> edges(4);
  OutlineView v{square.data(), edges.data(), 4, {}};
  BuildEdgeBoxes(square.data(), 4, edges.data(), &v.bounds);
  grid.Add(v, nullptr, 0);
  EXPECT_EQ(grid.At(RealPoint{50, 50}), 0);
  EXPECT_EQ(grid.At(RealPoint{10, 50}), -1);
  EXPECT_EQ(grid.At(RealPoint{50, 90}), -1);
  EXPECT_EQ(grid.At(RealPoint{1e9, 50}), -1);
  EXPECT_EQ(grid.At(RealPoint{NAN, 50}), -1);
  const std::vector<RealPoint> bad{{20, 20}, {NAN, 20}, {80, 80}, {20, 80}};
  InteriorGrid other;
  other.Reset(RealRect{0, 100, 100, 0}, 2.5);
  std::vector<RealRect> bad_edges(4);
  OutlineView bv{bad.data(), bad_edges.data(), 4, {}};
  BuildEdgeBoxes(bad.data(), 4, bad_edges.data(), &bv.bounds);
  other.Add(bv, nullptr, 1);
  EXPECT_EQ(other.At(RealPoint{50, 50}), -1);
}

// The near cells: every point the grid places near an outline is closer
// than the spacing to one of its edges by PointSegmentDistance, on outlines
// with axis-parallel edges, long edges of slopes just above and below the
// 1/64 the grid accepts, and a steep one; and a point far away is not near.
TEST(InteriorGrid, PointsItPlacesNearAreCloserThanTheSpacing) {
  const double m = 2 * 2.834645669291339;  // 2 mm
  const std::vector<std::vector<RealPoint>> outlines = {
      {{10, -30}, {90, -30}, {90, 60}, {10, 60}},                  // square
      {{-40, -40}, {200, -36}, {200, 60}},                         // slope 1/60
      {{-40, -40}, {200, -37}, {100, 80}},                         // slope 1/80
      {{0, -40}, {2.5, 90}, {-30, 90}},                            // steep
      {{100, -40}, {160, 20}, {100, 80}, {40, 20}, {99.9, 20.1}},  // diamond, short edge
  };
  for (const auto& o : outlines) {
    SCOPED_TRACE(testing::Message() << "outline from " << o[0].x << ", " << o[0].y);
    const int32_t n = static_cast<int32_t>(o.size());
    std::vector<RealRect> edges(o.size());
    OutlineView v{o.data(), edges.data(), n, {}};
    BuildEdgeBoxes(o.data(), n, edges.data(), &v.bounds);
    InteriorGrid grid;
    grid.Reset(RealRect{-50, 150, 250, -100}, 2.5);
    grid.AddNear(v, m, 3);
    int32_t found = 0;
    for (double y = -55; y <= 105; y += 0.173) {
      for (double x = -55; x <= 215; x += 0.131) {
        const RealPoint p{x, y};
        const int32_t id = grid.At(p);
        if (id < 0) continue;
        ++found;
        ASSERT_EQ(id, 3);
        double d = kNothingFaces;
        for (int32_t i = 0; i < n; ++i) {
          d = std::min(d, PointSegmentDistance(o[i == 0 ? n - 1 : i - 1], o[i], p, nullptr));
        }
        ASSERT_LT(d, m) << x << ", " << y;
      }
    }
    EXPECT_GT(found, 0);
    EXPECT_EQ(grid.At(RealPoint{240, 140}), -1);
  }
}
