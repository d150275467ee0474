// The improvement pass: it finds the layout the greedy search misses, never
// leaves a worse or an invalid one, repeats itself for a seed and an
// evaluation count, and keeps a complete layout when cancelled.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/improve.h"
#include "plugin/globals.h"
#include "tests/engine/oracle/layout_check.h"
#include "tests/engine/oracle/nest_instance.h"

namespace {

using nestdata::JobOptions;
using nestdata::PartSet;
using nestdata::PartsOf;
using nestdata::Rect;
using nestdata::SheetSize;

// A generous budget in time, so that the evaluations decide.
ImproveBudget Budget(int64_t evaluations, uint32_t seed = 1, int16_t workers = 0) {
  ImproveBudget b;
  b.seconds = 600;
  b.seed = seed;
  b.evaluations = evaluations;
  b.workers = workers;
  return b;
}

struct Nesting {
  explicit Nesting(const PartSet& start) : parts(start) {}
  PartSet parts;
  NestJob job{};
  int32_t greedy_sheets = 0;
  ImproveResult result;
};

// The greedy search, then the pass on its layout.
void NestAndImprove(Nesting* run, const SheetSize& sheet, const JobOptions& options,
                    const SearchSettings& settings, const ImproveBudget& budget,
                    const std::atomic<bool>* cancel = nullptr) {
  run->job = nestdata::MakeJob(&run->parts, sheet, options);
  NestSearch(run->job, settings, nullptr, nullptr);
  run->greedy_sheets = nestdata::SheetsUsed(run->parts);
  run->result = ImproveNesting(run->job, settings, budget, nullptr, cancel);
}

void ExpectValid(const Nesting& run, double spacing_mm) {
  const nestdata::LayoutProblems problems = nestdata::CheckLayout(
      run.parts.data(), run.parts.size(), run.job.area, spacing_mm * PointsPerMm);
  EXPECT_TRUE(problems.ok()) << problems.first;
  EXPECT_LE(nestdata::SheetsUsed(run.parts), run.greedy_sheets);
  EXPECT_EQ(nestdata::SheetsUsed(run.parts), run.result.sheets);
}

// Strips as tall as the sheet nest side by side, one dimensional: in the
// given order (equal longer sides keep it) first-fit puts 100 and 150 on
// the first sheet and needs three, where 100 + 180 and 150 + 130 fill two.
TEST(ImproveNesting, FindsTheTwoSheetsThatFirstFitMisses) {
  const SheetSize sheet{100, 100, 0};  // 283.46 points square
  const SearchSettings settings = nestdata::MakeSettings(sheet, 0, 0, 0, 1);
  Nesting run{PartsOf({Rect(100, 280), Rect(150, 280), Rect(180, 280), Rect(130, 280)}, 0)};
  NestAndImprove(&run, sheet, JobOptions{0, 0, 1, 0, 0}, settings, Budget(200));
  EXPECT_EQ(run.greedy_sheets, 3);
  EXPECT_EQ(run.result.greedy_sheets, 3);
  EXPECT_EQ(run.result.sheets, 2);
  EXPECT_TRUE(run.result.improved);
  ExpectValid(run, 0);
}

TEST(ImproveNesting, LeavesAOneSheetLayoutAndAZeroBudgetAlone) {
  const SheetSize sheet{100, 100, 0};
  const SearchSettings settings = nestdata::MakeSettings(sheet, 0, 0, 0, 1);
  Nesting one{PartsOf({Rect(100, 280), Rect(150, 280)}, 0)};
  NestAndImprove(&one, sheet, JobOptions{0, 0, 1, 0, 0}, settings, Budget(200));
  EXPECT_EQ(one.result.sheets, 1);
  EXPECT_FALSE(one.result.improved);
  EXPECT_EQ(one.result.evaluations, 0);

  Nesting none{PartsOf({Rect(100, 280), Rect(150, 280), Rect(180, 280), Rect(130, 280)}, 0)};
  ImproveBudget zero = Budget(200);
  zero.seconds = 0;
  NestAndImprove(&none, sheet, JobOptions{0, 0, 1, 0, 0}, settings, zero);
  EXPECT_EQ(none.result.sheets, 3);
  EXPECT_FALSE(none.result.improved);
}

nestdata::Instance RandomInstance(uint32_t seed) {
  nestdata::GeneratorParams g;
  g.seed = seed;
  g.types = 7;
  g.max_quantity = 3;
  g.min_size = 50;
  g.max_size = 220;
  return nestdata::GenerateInstance(g);
}

// Outlines turned by the 90 degree step, 2 mm apart, on small sheets: every
// result is checked by polygon clipping, whatever the pass kept.
TEST(ImproveNesting, RandomLayoutsStayValidAndNeverUseMoreSheets) {
  const SheetSize sheet{150, 150, 5};
  for (uint32_t seed : {5u, 7u, 11u, 29u}) {
    SCOPED_TRACE("instance seed " + std::to_string(seed));
    const double spacing = 2;
    const SearchSettings settings = nestdata::MakeSettings(sheet, spacing, 1, 1, 1);
    Nesting run{PartSet(RandomInstance(seed), 1.0, 1)};
    NestAndImprove(&run, sheet, JobOptions{0, 0, 1, 1, 0}, settings, Budget(40, seed));
    ExpectValid(run, spacing);
    EXPECT_EQ(run.result.greedy_sheets, run.greedy_sheets);
    EXPECT_GE(run.greedy_sheets, 2);  // the pass has something to do
  }
}

TEST(ImproveNesting, SameSeedAndEvaluationsGiveTheSameLayoutOnAnyNumberOfThreads) {
  const SheetSize sheet{150, 150, 5};
  const SearchSettings settings = nestdata::MakeSettings(sheet, 2, 1, 1, 1);
  const PartSet start(RandomInstance(11), 1.0, 1);
  Nesting one{start}, two{start}, other_seed{start};
  NestAndImprove(&one, sheet, JobOptions{0, 0, 1, 1, 0}, settings, Budget(30, 7, 1));
  NestAndImprove(&two, sheet, JobOptions{0, 0, 1, 1, 0}, settings, Budget(30, 7, 2));
  EXPECT_EQ(nestdata::FirstDifference(one.parts, two.parts), "");
  EXPECT_EQ(one.result.evaluations, two.result.evaluations);
  EXPECT_LE(one.result.evaluations, 30);
  NestAndImprove(&other_seed, sheet, JobOptions{0, 0, 1, 1, 0}, settings, Budget(30, 8, 2));
  ExpectValid(other_seed, 2);
}

TEST(ImproveNesting, CancelKeepsACompleteValidLayout) {
  const SheetSize sheet{150, 150, 5};
  const SearchSettings settings = nestdata::MakeSettings(sheet, 2, 1, 1, 1);
  // Cancelled before it starts: the greedy layout, untouched.
  {
    std::atomic<bool> cancel{true};
    Nesting run{PartSet(RandomInstance(29), 1.0, 1)};
    NestAndImprove(&run, sheet, JobOptions{0, 0, 1, 1, 0}, settings, Budget(0), &cancel);
    EXPECT_FALSE(run.result.improved);
    EXPECT_EQ(run.result.evaluations, 0);
    ExpectValid(run, 2);
  }
  // Cancelled while it runs, with no evaluation bound.
  {
    std::atomic<bool> cancel{false};
    Nesting run{PartSet(RandomInstance(29), 1.0, 1)};
    std::thread stopper([&cancel] {
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      cancel.store(true);
    });
    NestAndImprove(&run, sheet, JobOptions{0, 0, 1, 1, 0}, settings, Budget(0), &cancel);
    stopper.join();
    ExpectValid(run, 2);
  }
}

TEST(ImproveRequest, ParsesSecondsSeedAndEvaluations) {
  struct Case {
    const char* text;
    bool ok;
    double seconds;
    uint32_t seed;
    int64_t evaluations;
  };
  const Case cases[] = {
      {"10", true, 10, 1, 0},       {"0.5,42", true, 0.5, 42, 0}, {"60,0,1000", true, 60, 0, 1000},
      {"86400", true, 86400, 1, 0}, {"", false, 0, 0, 0},         {"0", false, 0, 0, 0},
      {"-3", false, 0, 0, 0},       {"86401", false, 0, 0, 0},    {"nan", false, 0, 0, 0},
      {"10s", false, 0, 0, 0},      {"10,-1", false, 0, 0, 0},    {"10,4294967296", false, 0, 0, 0},
      {"10,1,2,3", false, 0, 0, 0}, {"10,,5", false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ImproveBudget b;
    std::string error;
    EXPECT_EQ(ParseImproveRequest(c.text, &b, &error), c.ok);
    if (c.ok) {
      EXPECT_EQ(b.seconds, c.seconds);
      EXPECT_EQ(b.seed, c.seed);
      EXPECT_EQ(b.evaluations, c.evaluations);
      ImproveBudget again;
      EXPECT_TRUE(ParseImproveRequest(FormatImproveRequest(b), &again, &error));
      EXPECT_EQ(again.seconds, b.seconds);
      EXPECT_EQ(again.seed, b.seed);
      EXPECT_EQ(again.evaluations, b.evaluations);
    } else {
      EXPECT_FALSE(error.empty());
    }
  }
}

}  // namespace
