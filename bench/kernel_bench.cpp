// Benchmarks of the geometry kernel's hot operations.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/geometry.h"

namespace {

// A circle of n curved segments of radius 500.
std::vector<PathSegment> Circle(int n) {
  std::vector<PathSegment> s;
  const double step = 2 * 3.141592653589793 / n;
  const double handle = 4.0 / 3.0 * std::tan(step / 4) * 500;
  for (int i = 0; i < n; ++i) {
    const double t = i * step;
    const RealPoint p{500 * std::cos(t), 500 * std::sin(t)};
    const RealPoint tangent{-std::sin(t), std::cos(t)};
    s.push_back(PathSegment{p,
                            {p.x - handle * tangent.x, p.y - handle * tangent.y},
                            {p.x + handle * tangent.x, p.y + handle * tangent.y},
                            false});
  }
  return s;
}

void BM_FlattenPath(benchmark::State& state) {
  const auto segments = Circle(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Polygon p = FlattenPath(segments.data(), static_cast<int32_t>(segments.size()), 1.0);
    benchmark::DoNotOptimize(p.count);
    FreePolygon(&p);
  }
}
BENCHMARK(BM_FlattenPath)->Arg(16)->Arg(256)->Arg(4096);

void BM_PointInPolygon(benchmark::State& state) {
  const auto segments = Circle(64);
  Polygon p = FlattenPath(segments.data(), static_cast<int32_t>(segments.size()), 1.0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(PointInPolygon(p.points, p.count, RealPoint{10, 20}, 0));
  }
  FreePolygon(&p);
}
BENCHMARK(BM_PointInPolygon);

}  // namespace

BENCHMARK_MAIN();
