// The fast search against the literal oracle, bit for bit, on generated
// instances and on the shared data sets; and the spacing that placed parts
// keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/search.h"
#include "tests/engine/oracle/nest_instance.h"
#include "tests/engine/oracle/search_oracle.h"

namespace {

using nestdata::JobOptions;
using nestdata::PartSet;
using nestdata::SheetSize;

// One differential case: a generated instance and the settings it runs with.
struct DiffCase {
  uint32_t seed;
  int types;
  int max_quantity;
  int16_t direction;
  int16_t baseline;
  int16_t nesting_type;
  int16_t outline_mode;
  int16_t rotation_on;
  int16_t rotation_mode;
  double spacing_mm;
  double sheet_mm;
};

// Every value of every setting appears; spacings below and above the 1.5
// point refinement threshold.
constexpr DiffCase kGenerated[] = {
    {1, 6, 3, 0, 0, 1, 1, 1, 1, 2, 300},  {2, 6, 3, 1, 0, 1, 1, 1, 1, 0, 300},
    {3, 6, 3, 0, 1, 1, 0, 1, 0, 0, 300},  {4, 6, 3, 1, 2, 1, 1, 0, 0, 3, 250},
    {5, 6, 3, 0, 3, 1, 0, 0, 0, 0, 250},  {6, 5, 3, 1, 1, 0, 0, 0, 0, 2, 250},
    {7, 5, 3, 0, 2, 0, 1, 1, 1, 0, 250},  {8, 5, 3, 1, 3, 0, 0, 1, 5, 0.3, 250},
    {9, 4, 2, 0, 0, 1, 1, 1, 5, 1, 300},  {10, 4, 2, 1, 3, 1, 0, 1, 2, 0.2, 300},
    {11, 6, 3, 0, 2, 1, 1, 1, 3, 5, 300}, {12, 6, 3, 1, 0, 1, 1, 1, 0, 0.5, 200},
};

struct Outcome {
  int32_t parts_done, extra_sheets, reproduced;
};

Outcome RunFast(PartSet* parts, const SheetSize& sheet, const JobOptions& o, SearchSettings s) {
  SearchCounters c;
  NestSearch(nestdata::MakeJob(parts, sheet, o), s, &c, nullptr);
  return {c.parts_done.load(), c.extra_sheets.load(), c.reproduced_count.load()};
}

Outcome RunOracle(PartSet* parts, const SheetSize& sheet, const JobOptions& o,
                  const SearchSettings& s) {
  SearchCounters c;
  oracle::NestSearch(nestdata::MakeJob(parts, sheet, o), s, &c, nullptr);
  return {c.parts_done.load(), c.extra_sheets.load(), c.reproduced_count.load()};
}

// The fast search, threaded on 1, 2 and 5 workers and unthreaded, gives the
// oracle's placements and counters.
void ExpectSameAsOracle(const PartSet& start, const SheetSize& sheet, const JobOptions& o,
                        const SearchSettings& settings) {
  PartSet literal(start);
  const Outcome want = RunOracle(&literal, sheet, o, settings);
  ASSERT_GT(want.parts_done, 0);
  struct Variant {
    int16_t threads;
    int16_t workers;
  };
  for (const Variant v : {Variant{1, 1}, Variant{1, 2}, Variant{1, 5}, Variant{0, 0}}) {
    SCOPED_TRACE(testing::Message() << "multithread " << v.threads << " workers " << v.workers);
    SearchSettings s = settings;
    s.enable_multithread = v.threads;
    s.trial_workers = v.workers;
    PartSet fast(start);
    const Outcome got = RunFast(&fast, sheet, o, s);
    EXPECT_EQ(nestdata::FirstDifference(fast, literal), "");
    EXPECT_EQ(got.parts_done, want.parts_done);
    EXPECT_EQ(got.extra_sheets, want.extra_sheets);
    EXPECT_EQ(got.reproduced, want.reproduced);
  }
}

TEST(SearchDiff, GeneratedInstancesMatchTheOracle) {
  for (const DiffCase& c : kGenerated) {
    SCOPED_TRACE(testing::Message() << "seed " << c.seed);
    nestdata::GeneratorParams g;
    g.seed = c.seed;
    g.types = c.types;
    g.max_quantity = c.max_quantity;
    const PartSet parts(nestdata::GenerateInstance(g), 1, c.outline_mode);
    const SheetSize sheet{c.sheet_mm, c.sheet_mm, 5};
    const JobOptions o{c.direction, c.baseline, c.nesting_type, c.outline_mode, 0};
    ExpectSameAsOracle(
        parts, sheet, o,
        nestdata::MakeSettings(sheet, c.spacing_mm, c.rotation_on, c.rotation_mode, 1));
  }
}

// Gang sheets: a few designs in many copies, over several sheets, so that
// later copies resume where earlier ones stopped and skip turns in which
// an earlier copy found no room. Turns of 45 degrees with the spacing above
// the refinement threshold (and the trials' shared bound), and below it;
// quarter turns right to left; box nesting, whose parts settle after they
// are placed; no turns.
TEST(SearchDiff, CopiesOfOneShapeMatchTheOracle) {
  struct CopyCase {
    uint32_t seed;
    int copies;
    int16_t direction, nesting_type, outline_mode, rotation_on, rotation_mode;
    double spacing_mm;
  };
  for (const CopyCase c : {CopyCase{31, 6, 0, 1, 1, 1, 2, 2}, CopyCase{32, 6, 0, 1, 1, 1, 2, 0.3},
                           CopyCase{33, 12, 1, 1, 0, 1, 1, 3}, CopyCase{34, 12, 0, 0, 0, 0, 0, 2},
                           CopyCase{35, 12, 1, 1, 1, 0, 0, 1}}) {
    SCOPED_TRACE(testing::Message() << "seed " << c.seed);
    nestdata::GeneratorParams g;
    g.seed = c.seed;
    g.types = 3;
    nestdata::Instance inst = nestdata::GenerateInstance(g);
    for (nestdata::Shape& shape : inst.shapes) shape.quantity = c.copies;
    const PartSet parts(inst, 1, c.outline_mode);
    const SheetSize sheet{200, 200, 5};
    ExpectSameAsOracle(
        parts, sheet, JobOptions{c.direction, 0, c.nesting_type, c.outline_mode, 0},
        nestdata::MakeSettings(sheet, c.spacing_mm, c.rotation_on, c.rotation_mode, 1));
  }
}

TEST(SearchDiff, OnePageReproductionMatchesTheOracle) {
  nestdata::Instance inst;
  inst.shapes.push_back(
      nestdata::Shape{{{0, 0}, {90, 0}, {90, 30}, {30, 30}, {30, 90}, {0, 90}}, 30});
  const SheetSize sheet{150, 150, 5};
  ExpectSameAsOracle(PartSet(inst, 1, 1), sheet, JobOptions{1, 0, 1, 1, 1},
                     nestdata::MakeSettings(sheet, 1, 1, 1, 1));
}

// Instances of the shared data sets, scaled so that the strip height is
// 1000 mm, on 1000 mm sheets, with the rotations each instance allows.
TEST(SearchDiff, DataSetInstancesMatchTheOracle) {
  const std::string dir = nestdata::DatasetsDir();
  struct DataCase {
    const char* name;
    int16_t outline_mode;
    double spacing_mm;
  };
  int ran = 0;
  for (const DataCase c : {DataCase{"fu", 1, 10}, DataCase{"fu", 0, 0}, DataCase{"jakobs1", 1, 10},
                           DataCase{"shapes0", 1, 0}}) {
    SCOPED_TRACE(c.name);
    nestdata::Instance inst;
    std::string error;
    if (!nestdata::LoadNestTxt(dir + "/esicup/" + c.name + ".txt", &inst, &error)) continue;
    ++ran;
    const double scale = 1000 / inst.height * 2.834645669291339;
    const PartSet parts(inst, scale, c.outline_mode);
    const bool quarter =
        std::find(inst.rotations.begin(), inst.rotations.end(), 90) != inst.rotations.end();
    const bool half = inst.rotations.size() > 1;
    const SheetSize sheet{1000, 1000, 0};
    ExpectSameAsOracle(
        parts, sheet, JobOptions{0, 0, 1, c.outline_mode, 0},
        nestdata::MakeSettings(sheet, c.spacing_mm, half ? 1 : 0, quarter ? 1 : 0, 1));
  }
  if (ran == 0) GTEST_SKIP() << "no data sets at " << dir;
}

// The placed fine outline of a part.
std::vector<RealPoint> PlacedOutline(const NestPart& p) {
  const RealMatrix m = PartMatrix(p, p.rotation, p.center_x, p.center_y);
  std::vector<RealPoint> out;
  for (int32_t i = 0; i < p.point_count; ++i) out.push_back(MatrixXformPoint(&m, p.points[i]));
  if (out.size() > 1 && PointLength(out.back(), out.front()) < 0.01) out.pop_back();
  return out;
}

// The smallest distance between two outlines; -1 when edges cross or one
// lies inside the other.
double Clearance(const std::vector<RealPoint>& a, const std::vector<RealPoint>& b) {
  const int32_t na = static_cast<int32_t>(a.size()), nb = static_cast<int32_t>(b.size());
  if (PointInPolygon(a.data(), na, b[0], 0) == kInside ||
      PointInPolygon(b.data(), nb, a[0], 0) == kInside) {
    return -1;
  }
  double best = 1e300;
  for (int32_t i = 0; i < na; ++i) {
    const RealPoint a1 = a[(i + na - 1) % na], a2 = a[i];
    for (int32_t j = 0; j < nb; ++j) {
      const RealPoint b1 = b[(j + nb - 1) % nb], b2 = b[j];
      if (SegmentIntersection(a1, a2, b1, b2, nullptr)) return -1;
      for (double d :
           {PointSegmentDistance(b1, b2, a1, nullptr), PointSegmentDistance(b1, b2, a2, nullptr),
            PointSegmentDistance(a1, a2, b1, nullptr), PointSegmentDistance(a1, a2, b2, nullptr)}) {
        best = std::min(best, d);
      }
    }
  }
  return best;
}

// No two placed parts on a sheet overlap or come closer than the spacing
// (less 0.01 point), in Outline mode and Rectangle mode alike.
TEST(SearchDiff, PlacedOutlinesKeepTheSpacing) {
  struct Case {
    uint32_t seed;
    int16_t outline_mode;
    int16_t rotation_mode;
    double spacing_mm;
  };
  for (const Case c :
       {Case{21, 1, 5, 2}, Case{22, 1, 2, 0}, Case{23, 0, 3, 1}, Case{24, 1, 1, 0.2}}) {
    SCOPED_TRACE(testing::Message() << "seed " << c.seed);
    nestdata::GeneratorParams g;
    g.seed = c.seed;
    g.types = 10;
    g.max_quantity = 4;
    PartSet parts(nestdata::GenerateInstance(g), 1, c.outline_mode);
    const SheetSize sheet{300, 300, 5};
    const SearchSettings s = nestdata::MakeSettings(sheet, c.spacing_mm, 1, c.rotation_mode, 1);
    RunFast(&parts, sheet, JobOptions{0, 0, 1, c.outline_mode, 0}, s);
    const double m = c.spacing_mm * 2.834645669291339;
    for (int32_t i = 0; i < parts.size(); ++i) {
      for (int32_t j = i + 1; j < parts.size(); ++j) {
        const NestPart &p = parts[i], &q = parts[j];
        ASSERT_TRUE(p.placed && q.placed);
        if (p.area_center_x != q.area_center_x || p.area_center_y != q.area_center_y) continue;
        EXPECT_GE(Clearance(PlacedOutline(p), PlacedOutline(q)), m - 0.01)
            << "parts " << i << " and " << j;
      }
    }
  }
}

TEST(NestTxt, ReadsTheFormatAndRefusesDamagedFiles) {
  const std::string good =
      "# comment\nformat nesttxt 1\nname t\nproblem strip\nheight 10\nwidth 0\n"
      "rotations 0 180\ntypes 1\nquantity 2\narea 50.000000\nitem 0 2 3 50.000000\n"
      "0 0\n10 0\n0 10\nend\n";
  nestdata::Instance inst;
  std::string error;
  ASSERT_TRUE(nestdata::ParseNestTxt(good, &inst, &error)) << error;
  EXPECT_EQ(inst.name, "t");
  EXPECT_EQ(inst.height, 10);
  EXPECT_EQ(inst.rotations, (std::vector<int>{0, 180}));
  ASSERT_EQ(inst.shapes.size(), 1u);
  EXPECT_EQ(inst.shapes[0].quantity, 2);
  EXPECT_EQ(inst.shapes[0].outline.size(), 3u);
  struct Bad {
    const char* from;
    const char* to;
  };
  for (const Bad b : {Bad{"nesttxt 1", "nesttxt 2"}, Bad{"height 10", "height -1"},
                      Bad{"quantity 2", "quantity 3"}, Bad{"0 10\nend", "0 x\nend"},
                      Bad{"\nend\n", "\n"}, Bad{"item 0 2 3", "item 0 2 2"}}) {
    std::string text = good;
    text.replace(text.find(b.from), std::string(b.from).size(), b.to);
    EXPECT_FALSE(nestdata::ParseNestTxt(text, &inst, &error)) << b.to;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_FALSE(nestdata::LoadNestTxt("/nonexistent/x.txt", &inst, &error));
}

}  // namespace
