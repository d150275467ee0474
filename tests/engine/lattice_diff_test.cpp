// The fast lattice search against the literal oracle, bit for bit, on
// generated outlines in both passes, every baseline and direction, with and
// without turned copies, on several worker counts.
#include <gtest/gtest.h>

#include <string>

#include "engine/lattice.h"
#include "tests/engine/oracle/lattice_oracle.h"
#include "tests/engine/oracle/lattice_samples.h"

namespace {

using latticedata::Kind;

struct DiffCase {
  Kind kind;
  int points;
  double size;
  uint32_t seed;
  int16_t baseline;
  int16_t mode;
  int16_t rotation;
  double spacing;
};

// Every baseline and direction with and without turns; each outline kind
// in several of them.
constexpr DiffCase kCases[] = {
    {Kind::kTriangle, 3, 40, 1, 0, 0, 1, 2},  {Kind::kTriangle, 3, 36, 2, 0, 1, 0, 0},
    {Kind::kConcave, 10, 40, 3, 1, 0, 1, 3},  {Kind::kConcave, 16, 42, 4, 1, 1, 0, 1},
    {Kind::kNotched, 8, 40, 5, 2, 0, 1, 0},   {Kind::kNotched, 8, 44, 6, 2, 1, 0, 2},
    {Kind::kConvex, 12, 38, 7, 3, 0, 1, 1},   {Kind::kConvex, 5, 40, 8, 3, 1, 0, 4},
    {Kind::kRounded, 4, 40, 9, 0, 0, 1, 2},   {Kind::kConvex, 4, 30, 10, 1, 1, 1, 0},
    {Kind::kGear, 24, 44, 11, 2, 1, 1, 1},    {Kind::kTriangle, 3, 34, 12, 3, 1, 1, 0.5},
    {Kind::kConcave, 30, 46, 13, 0, 1, 1, 2}, {Kind::kNotched, 8, 38, 14, 1, 0, 0, 0},
    {Kind::kRounded, 4, 44, 15, 2, 0, 0, 3},  {Kind::kGear, 40, 40, 16, 3, 0, 0, 2},
};

TEST(LatticeDiff, GeneratedOutlinesMatchTheOracle) {
  for (const DiffCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << "seed " << c.seed);
    const latticedata::Sample s = latticedata::MakeSample(c.kind, c.points, c.size, c.seed, 7, -3);
    const LatticeInput in =
        latticedata::MakeInput(s, 180, 150, c.spacing, c.baseline, c.mode, c.rotation, 1);
    const LatticeResult want = oracle::LatticeSearch(in);
    EXPECT_GT(want.count, 0);
    for (int workers : {1, 2, 5}) {
      LatticeInput w = in;
      w.workers = workers;
      EXPECT_EQ(latticedata::LatticeDifference(LatticeSearch(w), want), "")
          << workers << " workers";
    }
  }
}

// Outlines of 100 and 400 points, trial by trial in both passes: the whole
// literal search on them takes minutes.
TEST(LatticeDiff, LargeOutlinesMatchTheOracleTrialByTrial) {
  struct Case {
    Kind kind;
    int points;
    double size;
    int16_t rotation;
    int shifts[2];
  };
  for (const Case c :
       {Case{Kind::kConcave, 100, 90, 1, {5, 30}}, Case{Kind::kGear, 100, 70, 1, {0, 17}},
        Case{Kind::kGear, 400, 140, 0, {9, 9}}}) {
    SCOPED_TRACE(testing::Message() << c.points << " points");
    const latticedata::Sample s = latticedata::MakeSample(c.kind, c.points, c.size, 31);
    const LatticeInput in = latticedata::MakeInput(s, 400, 300, 3, 1, 0, c.rotation, 1);
    for (int pass = 0; pass < 2; ++pass) {
      NestPart part;
      LatticeTrial fields;
      ASSERT_TRUE(PrepareLatticePass(in, pass, &part, &fields));
      if (c.points == 400) {
        EXPECT_GT(part.point_count, 300);
      }
      LatticeTrial fast = fields, literal = fields;
      fast.sample = literal.sample = &part;
      fast.number = literal.number = c.shifts[pass];
      fast.shift = literal.shift = LatticeShift(c.shifts[pass], part, in.spacing);
      RunLatticeTrial(&fast);
      oracle::RunLatticeTrial(&literal);
      EXPECT_GT(literal.best.count, 0);
      EXPECT_EQ(latticedata::LatticeDifference(fast.best, literal.best), "") << "pass " << pass;
      FreeNestPart(&part);
    }
  }
}

}  // namespace
