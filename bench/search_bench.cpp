// Benchmarks of the nesting search against the literal oracle on the same
// generated instance; compare the pairs' times for the speed ratio.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/search.h"
#include "tests/engine/oracle/nest_instance.h"
#include "tests/engine/oracle/search_oracle.h"

namespace {

// A generated instance of concave and convex parts; argument: rotation mode
// (-1 for rotation off), outline mode.
nestdata::PartSet Parts(int16_t outline_mode) {
  nestdata::GeneratorParams g;
  g.seed = 3;
  g.types = 30;
  g.max_quantity = 1;
  g.min_size = 60;
  g.max_size = 400;
  return nestdata::PartSet(nestdata::GenerateInstance(g), 1, outline_mode);
}

template <bool kOracle>
void BM_Search(benchmark::State& state) {
  const int16_t mode = static_cast<int16_t>(state.range(0));
  const int16_t outline = static_cast<int16_t>(state.range(1));
  const int16_t threads = static_cast<int16_t>(state.range(2));
  const nestdata::SheetSize sheet{500, 500, 0};
  const SearchSettings s =
      nestdata::MakeSettings(sheet, 2, mode >= 0 ? 1 : 0, mode >= 0 ? mode : 0, threads);
  const nestdata::PartSet start = Parts(outline);
  for (auto _ : state) {
    state.PauseTiming();
    nestdata::PartSet parts(start);
    const NestJob job = nestdata::MakeJob(&parts, sheet, nestdata::JobOptions{0, 0, 1, outline, 0});
    state.ResumeTiming();
    if (kOracle) {
      oracle::NestSearch(job, s, nullptr, nullptr);
    } else {
      NestSearch(job, s, nullptr, nullptr);
    }
    benchmark::DoNotOptimize(parts[0].center_x);
  }
  state.counters["parts"] = start.size();
}

// {rotation mode, outline mode, threads}
void Args(benchmark::internal::Benchmark* b) {
  b->Args({-1, 1, 0})->Args({1, 1, 0})->Args({1, 1, 1})->Args({1, 0, 1})->Args({5, 1, 1});
  b->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_TEMPLATE(BM_Search, false)->Name("BM_SearchFast")->Apply(Args);
BENCHMARK_TEMPLATE(BM_Search, true)->Name("BM_SearchOracle")->Apply(Args)->Iterations(1);

// The single-call entry point against the literal one. The search itself
// never calls it: it keeps placed outlines mapped for the whole sheet, while
// this entry point builds that state for every call and is therefore slower
// than the literal test; it exists for callers outside the search.
void BM_PartsCollide(benchmark::State& state) {
  const bool literal = state.range(0) != 0;
  nestdata::GeneratorParams g;
  g.seed = 5;
  g.types = 2;
  g.concave_percent = 100;
  nestdata::PartSet parts(nestdata::GenerateInstance(g), 1, 1);
  parts[0].center_x = 0;
  parts[0].center_y = 0;
  parts[1].center_y = 0;
  std::vector<RealPoint> b1(4096), b2(4096);
  int hits = 0;
  for (auto _ : state) {
    for (int k = -40; k <= 40; ++k) {
      parts[1].center_x = k * 5.0;
      hits += literal ? oracle::PartsCollide(parts[0], parts[1], 5, b1.data(), b2.data())
                      : PartsCollide(parts[0], parts[1], 5, b1.data(), b2.data());
    }
  }
  benchmark::DoNotOptimize(hits);
}
BENCHMARK(BM_PartsCollide)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
