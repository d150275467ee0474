// Benchmarks of the step-and-repeat lattice search against the literal
// oracle in the same run, on outlines of 12, 100 and 400 points, on the
// default sheet and on a 300 x 300 mm sheet; compare the pairs' times for
// the speed ratio. Results are checked equal before timing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "engine/lattice.h"
#include "plugin/globals.h"
#include "tests/engine/oracle/lattice_oracle.h"
#include "tests/engine/oracle/lattice_samples.h"

namespace {

using latticedata::Kind;

// A sticker about 60 mm across with the given number of corners.
latticedata::Sample Sticker(int points) {
  const double size = 60 * PointsPerMm;
  if (points <= 12) return latticedata::MakeSample(Kind::kConcave, points, size, 7);
  return latticedata::MakeSample(Kind::kGear, points, size, 7);
}

// Sheets in millimetres: the default 860 x 1260 and 300 x 300, spacing 5 mm.
LatticeInput Input(const latticedata::Sample& s, int sheet, int workers) {
  const double w = (sheet == 0 ? 860 : 300) * PointsPerMm;
  const double h = (sheet == 0 ? 1260 : 300) * PointsPerMm;
  return latticedata::MakeInput(s, w, h, 5 * PointsPerMm, 0, 0, 1, workers);
}

// {points, sheet (0 default, 1 300 mm), workers}: the whole search.
void BM_LatticeFast(benchmark::State& state) {
  const latticedata::Sample s = Sticker(static_cast<int>(state.range(0)));
  const LatticeInput in =
      Input(s, static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
  LatticeResult r;
  for (auto _ : state) {
    r = LatticeSearch(in);
    benchmark::DoNotOptimize(r.count);
  }
  state.counters["copies"] = r.count;
}

void BM_LatticeOracle(benchmark::State& state) {
  const latticedata::Sample s = Sticker(static_cast<int>(state.range(0)));
  const LatticeInput in = Input(s, static_cast<int>(state.range(1)), 1);
  LatticeResult r;
  for (auto _ : state) {
    r = oracle::LatticeSearch(in);
    benchmark::DoNotOptimize(r.count);
  }
  const std::string diff = latticedata::LatticeDifference(LatticeSearch(in), r);
  if (!diff.empty()) state.SkipWithError(("differs from the oracle: " + diff).c_str());
  state.counters["copies"] = r.count;
}

// One trial (shift 9 of pass 0, every pattern) of both: the 400-point
// outline's whole literal search takes too long to run here.
template <bool kOracle>
void BM_LatticeTrial(benchmark::State& state) {
  const latticedata::Sample s = Sticker(static_cast<int>(state.range(0)));
  const LatticeInput in = Input(s, static_cast<int>(state.range(1)), 1);
  NestPart part;
  LatticeTrial fields;
  if (!PrepareLatticePass(in, 0, &part, &fields)) {
    state.SkipWithError("no outline");
    return;
  }
  fields.sample = &part;
  fields.number = 9;
  fields.shift = LatticeShift(9, part, in.spacing);
  LatticeTrial t = fields;
  for (auto _ : state) {
    t = fields;
    if (kOracle) {
      oracle::RunLatticeTrial(&t);
    } else {
      RunLatticeTrial(&t);
    }
    benchmark::DoNotOptimize(t.best.count);
  }
  if (kOracle) {
    LatticeTrial fast = fields;
    RunLatticeTrial(&fast);
    const std::string diff = latticedata::LatticeDifference(fast.best, t.best);
    if (!diff.empty()) state.SkipWithError(("differs from the oracle: " + diff).c_str());
  }
  state.counters["points"] = part.point_count;
  state.counters["copies"] = t.best.count;
  FreeNestPart(&part);
}

BENCHMARK(BM_LatticeFast)
    ->Args({12, 0, 0})
    ->Args({100, 0, 0})
    ->Args({400, 0, 0})
    ->Args({12, 1, 0})
    ->Args({100, 1, 0})
    ->Args({400, 1, 0})
    ->Args({100, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_LatticeOracle)
    ->Args({12, 0})
    ->Args({100, 0})
    ->Args({12, 1})
    ->Args({100, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_TEMPLATE(BM_LatticeTrial, false)
    ->Name("BM_LatticeTrialFast")
    ->Args({12, 0})
    ->Args({100, 0})
    ->Args({400, 0})
    ->Args({400, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_LatticeTrial, true)
    ->Name("BM_LatticeTrialOracle")
    ->Args({12, 0})
    ->Args({100, 0})
    ->Args({400, 0})
    ->Args({400, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
