// Benchmarks of the host stand-in's document model: bounds and duplication
// of a document of ten thousand curved paths, each beside a baseline measured
// in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/builder.h"
#include "host/suite_registry.h"

namespace {

constexpr int kPaths = 10000;

// A document of kPaths small circles (four cubics each) in a 100 x 100 grid
// inside one group of the first layer.
host::Document* MakeDocument(host::Art** group) {
  host::Documents().CloseAll();
  host::Document* doc = host::Documents().New("bench");
  *group = host::AddGroup(*doc, kPlaceAboveAll, nullptr);
  for (int i = 0; i < kPaths; ++i) {
    RealPoint c{(i % 100) * 30.0 - 1500, (i / 100) * 30.0 - 1500};
    host::AddEllipse(*doc, kPlaceInsideOnBottom, *group, c, 10, 8,
                     host::FillStyleOf(host::Gray(0)));
  }
  return doc;
}

// Baseline: bounds by sampling each cubic at 64 points, the way a caller
// without exact extrema would measure.
RealRect SampledBounds(const host::Art& group) {
  RealRect r{1e300, -1e300, -1e300, 1e300};
  for (const host::Art* a = group.first_child; a; a = a->next) {
    size_t n = a->segments.size();
    for (size_t i = 0; i < n; ++i) {
      const PathSegment& s = a->segments[i];
      const PathSegment& e = a->segments[(i + 1) % n];
      for (int k = 0; k <= 64; ++k) {
        double t = k / 64.0;
        double u = 1 - t;
        double x = u * u * u * s.p.x + 3 * t * u * u * s.out.x + 3 * t * t * u * e.in.x +
                   t * t * t * e.p.x;
        double y = u * u * u * s.p.y + 3 * t * u * u * s.out.y + 3 * t * t * u * e.in.y +
                   t * t * t * e.p.y;
        r.left = std::min(r.left, x);
        r.right = std::max(r.right, x);
        r.bottom = std::min(r.bottom, y);
        r.top = std::max(r.top, y);
      }
    }
  }
  return r;
}

void BM_BoundsSampledBaseline(benchmark::State& state) {
  host::Art* group;
  MakeDocument(&group);
  for (auto _ : state) benchmark::DoNotOptimize(SampledBounds(*group));
}
BENCHMARK(BM_BoundsSampledBaseline)->Unit(benchmark::kMillisecond);

void BM_BoundsExact(benchmark::State& state) {
  host::Art* group;
  MakeDocument(&group);
  for (auto _ : state) benchmark::DoNotOptimize(host::Bounds(*group));
}
BENCHMARK(BM_BoundsExact)->Unit(benchmark::kMillisecond);

// What the plug-in does: walk the layer through the art suite and ask the
// bounds of each object by handle.
void BM_BoundsEachThroughSuite(benchmark::State& state) {
  host::Art* group;
  host::Document* doc = MakeDocument(&group);
  const ArtSuite* art = &host::kArtSuiteTable;
  ArtHandle g = doc->HandleOf(group);
  for (auto _ : state) {
    ArtHandle c = nullptr;
    art->GetArtFirstChild(g, &c);
    double sum = 0;
    while (c) {
      RealRect r;
      art->GetArtBounds(c, &r);
      sum += r.left;
      art->GetArtSibling(c, &c);
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_BoundsEachThroughSuite)->Unit(benchmark::kMillisecond);

// Baseline for duplication: building the same ten thousand paths anew.
void BM_BuildBaseline(benchmark::State& state) {
  for (auto _ : state) {
    host::Art* group;
    benchmark::DoNotOptimize(MakeDocument(&group));
  }
}
BENCHMARK(BM_BuildBaseline)->Unit(benchmark::kMillisecond);

void BM_DuplicateGroup(benchmark::State& state) {
  host::Art* group;
  host::Document* doc = MakeDocument(&group);
  for (auto _ : state) {
    host::Art* copy = nullptr;
    doc->Duplicate(group, kPlaceAbove, group, &copy);
    state.PauseTiming();
    doc->Dispose(copy);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DuplicateGroup)->Unit(benchmark::kMillisecond);

// What the nesting run does for quantities: one duplicate per object, each
// just above it, through the art suite; then the copies are disposed.
void BM_DuplicateEachThroughSuite(benchmark::State& state) {
  host::Art* group;
  host::Document* doc = MakeDocument(&group);
  const ArtSuite* art = &host::kArtSuiteTable;
  std::vector<ArtHandle> sources;
  for (host::Art* a = group->first_child; a; a = a->next) sources.push_back(doc->HandleOf(a));
  std::vector<ArtHandle> copies(sources.size());
  for (auto _ : state) {
    for (size_t i = 0; i < sources.size(); ++i) {
      art->DuplicateArt(sources[i], kPlaceAbove, sources[i], &copies[i]);
    }
    state.PauseTiming();
    for (ArtHandle c : copies) art->DisposeArt(c);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DuplicateEachThroughSuite)->Unit(benchmark::kMillisecond);

// Prints every run as usual and keeps its time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatio(const char* name, const char* baseline) const {
    auto a = times_.find(name);
    auto b = times_.find(baseline);
    if (a == times_.end() || b == times_.end() || b->second <= 0) return;
    std::printf("%-30s %6.3f x %s\n", name, a->second / b->second, baseline);
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios against the baselines (%d paths):\n", kPaths);
  reporter.PrintRatio("BM_BoundsExact", "BM_BoundsSampledBaseline");
  reporter.PrintRatio("BM_BoundsEachThroughSuite", "BM_BoundsSampledBaseline");
  reporter.PrintRatio("BM_DuplicateGroup", "BM_BuildBaseline");
  reporter.PrintRatio("BM_DuplicateEachThroughSuite", "BM_BuildBaseline");
  benchmark::Shutdown();
  return 0;
}
