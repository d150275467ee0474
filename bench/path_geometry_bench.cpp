// Benchmarks of the crossing, overlap and containment tests on large host paths.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "art/path_geometry.h"
#include "host/builder.h"
#include "host/suite_registry.h"
#include "plugin/suite_table.h"

namespace {

// Holds the host's document suites in the plug-in's slots, with one document.
struct HeldHost {
  HeldHost() {
    for (int i = 0; i < kSuiteTableSize; ++i)
      g_suite_slots[i] = host::FindDocumentSuite(kSuiteTable[i].name, kSuiteTable[i].version);
    doc = host::Documents().New("bench");
    layer = doc->current_layer()->group;
  }
  ~HeldHost() {
    host::Documents().CloseAll();
    for (const void*& slot : g_suite_slots) slot = nullptr;
  }
  host::Document* doc;
  host::Art* layer;
};

// A circle of n curved segments (each a cubic through its arc).
std::vector<PathSegment> CurvedCircle(int n, double r, RealPoint c) {
  std::vector<PathSegment> s;
  const double step = 2 * 3.141592653589793 / n;
  const double h = 4.0 / 3.0 * std::tan(step / 4) * r;
  for (int i = 0; i < n; ++i) {
    const double t = i * step;
    const RealPoint p{c.x + r * std::cos(t), c.y + r * std::sin(t)};
    const RealPoint d{-std::sin(t), std::cos(t)};
    s.push_back({p, {p.x - h * d.x, p.y - h * d.y}, {p.x + h * d.x, p.y + h * d.y}, false});
  }
  return s;
}

// Two concentric 500-segment circles: their bounds overlap and no outlines
// touch, so every pair of segments is tested.
void BM_PathsCross500(benchmark::State& state) {
  HeldHost h;
  const PathStyle fill = host::FillStyleOf(host::Gray(0));
  host::Art* a = host::AddPath(*h.doc, kPlaceInsideOnBottom, h.layer,
                               CurvedCircle(500, 1000, {0, 0}), true, fill);
  host::Art* b = host::AddPath(*h.doc, kPlaceInsideOnBottom, h.layer,
                               CurvedCircle(500, 990, {0, 0}), true, fill);
  for (auto _ : state) benchmark::DoNotOptimize(PathsCross(h.doc->HandleOf(a), h.doc->HandleOf(b)));
}
BENCHMARK(BM_PathsCross500)->Unit(benchmark::kMillisecond);

// A small circle outside a large one but within its bounds: every sample of
// the probe is tested against the whole container.
void BM_PathsOverlap500(benchmark::State& state) {
  HeldHost h;
  const PathStyle fill = host::FillStyleOf(host::Gray(0));
  host::Art* a = host::AddPath(*h.doc, kPlaceInsideOnBottom, h.layer,
                               CurvedCircle(500, 1000, {0, 0}), true, fill);
  host::Art* b = host::AddPath(*h.doc, kPlaceInsideOnBottom, h.layer,
                               CurvedCircle(500, 50, {930, 930}), true, fill);
  for (auto _ : state)
    benchmark::DoNotOptimize(PathsOverlap(h.doc->HandleOf(a), h.doc->HandleOf(b)));
}
BENCHMARK(BM_PathsOverlap500)->Unit(benchmark::kMillisecond);

// A compound path of 100 rings of 100 curved segments each.
void BM_PointInArt10000(benchmark::State& state) {
  HeldHost h;
  const PathStyle fill = host::FillStyleOf(host::Gray(0));
  host::Art* compound = host::AddCompoundPath(*h.doc, kPlaceInsideOnBottom, h.layer, fill);
  for (int i = 0; i < 100; ++i)
    host::AddPath(*h.doc, kPlaceInsideOnBottom, compound, CurvedCircle(100, 10 + 10 * i, {0, 0}),
                  true, fill);
  const ArtHandle art = h.doc->HandleOf(compound);
  for (auto _ : state) benchmark::DoNotOptimize(PointInArt(art, {505, 3}, 0.01));
}
BENCHMARK(BM_PointInArt10000)->Unit(benchmark::kMillisecond);

// The area with crossings of a 500-segment curved circle: 64 chords per
// curve, so 32,000 edges, each tested against the others.
void BM_PathAreaWithCrossings500(benchmark::State& state) {
  HeldHost h;
  host::Art* a =
      host::AddPath(*h.doc, kPlaceInsideOnBottom, h.layer, CurvedCircle(500, 1000, {0, 0}), true,
                    host::FillStyleOf(host::Gray(0)));
  for (auto _ : state) benchmark::DoNotOptimize(PathArea(h.doc->HandleOf(a), 64, true));
}
BENCHMARK(BM_PathAreaWithCrossings500)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
