// Benchmarks of the host's effects: pathfinder add and outline of strokes on
// a 1,000-segment curved path and on 200 small paths, each against the
// polygon clipper alone on the same flattened outlines as its baseline.
#include <benchmark/benchmark.h>
#include <polyclipping/clipper.hpp>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/builder.h"
#include "host/effects.h"

namespace {

using namespace host;

constexpr double kTwoPi = 2 * 3.14159265358979323846;

// A closed wavy ring of n smooth segments: radius 500 + 40 sin(7 t), handles
// along the tangent a third of the way to the neighbours.
std::vector<PathSegment> WavyRing(int n) {
  std::vector<RealPoint> p(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    double t = kTwoPi * i / n;
    double r = 500 + 40 * std::sin(7 * t);
    p[static_cast<size_t>(i)] = {r * std::cos(t), r * std::sin(t)};
  }
  std::vector<PathSegment> segments;
  for (int i = 0; i < n; ++i) {
    RealPoint prev = p[static_cast<size_t>((i + n - 1) % n)];
    RealPoint next = p[static_cast<size_t>((i + 1) % n)];
    RealPoint here = p[static_cast<size_t>(i)];
    RealPoint d{(next.x - prev.x) / 6, (next.y - prev.y) / 6};
    segments.push_back(Smooth(here, {here.x - d.x, here.y - d.y}, {here.x + d.x, here.y + d.y}));
  }
  return segments;
}

enum class Scene { kCurvedPath, kSmallPaths };

// Builds the scene in a fresh document: the 1,000-segment path, or 200
// circles of radius 6 on a 20 x 10 grid of pitch 10, so neighbours overlap.
// Filled for the union, stroked 4 points wide for the outline; selected.
Art* BuildScene(Document& doc, Scene scene, bool stroked) {
  PathStyle style = stroked ? StrokeStyleOf(Gray(0), 4) : FillStyleOf(Gray(0));
  style.stroke.join = kJoinRound;
  Art* group = AddGroup(doc, kPlaceAboveAll, nullptr);
  if (scene == Scene::kCurvedPath) {
    AddPath(doc, kPlaceInsideOnBottom, group, WavyRing(1000), true, style);
  } else {
    for (int i = 0; i < 200; ++i) {
      AddEllipse(doc, kPlaceInsideOnBottom, group, {10.0 * (i % 20), 10.0 * (i / 20)}, 6, 6, style);
    }
  }
  SelectDeep(doc, group, true);
  return group;
}

// The scene's outlines, flattened once, for the baselines.
ClipperLib::Paths FlattenedScene(Scene scene) {
  Document* doc = Documents().New("flatten");
  Art* group = BuildScene(*doc, scene, false);
  ClipperLib::Paths paths;
  for (Art* art : Children(*group)) {
    Region region;
    FilledRegion(*art, &region);
    for (const Ring& ring : region.rings) {
      ClipperLib::Path path;
      for (RealPoint p : ring) {
        path.emplace_back(static_cast<ClipperLib::cInt>(std::llround(p.x * kClipperScale)),
                          static_cast<ClipperLib::cInt>(std::llround(p.y * kClipperScale)));
      }
      paths.push_back(std::move(path));
    }
  }
  Documents().CloseAll();
  return paths;
}

void RunEffect(benchmark::State& state, Scene scene, bool outline) {
  size_t rings = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Document* doc = Documents().New("bench");
    Art* group = BuildScene(*doc, scene, outline);
    state.ResumeTiming();
    HostErr err =
        outline ? ConvertArtToOutline(*doc, group, kConvertOptionsOutline) : UniteSelection(*doc);
    benchmark::DoNotOptimize(err);
    state.PauseTiming();
    rings = 0;
    for (Art* art : Children(*doc->NthLayer(0)->group->first_child)) {
      rings += art->type == kArtTypePath ? 1 : Children(*art).size();
    }
    Documents().CloseAll();
    state.ResumeTiming();
  }
  state.counters["rings"] = static_cast<double>(rings);
}

void RunBaseline(benchmark::State& state, Scene scene, bool outline) {
  const ClipperLib::Paths paths = FlattenedScene(scene);
  for (auto _ : state) {
    ClipperLib::PolyTree tree;
    if (outline) {
      ClipperLib::ClipperOffset offset;
      offset.ArcTolerance = kArcTolerance * kClipperScale;
      offset.AddPaths(paths, ClipperLib::jtRound, ClipperLib::etClosedLine);
      offset.Execute(tree, 2 * kClipperScale);
    } else {
      ClipperLib::Clipper clipper;
      clipper.AddPaths(paths, ClipperLib::ptSubject, true);
      clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    }
    benchmark::DoNotOptimize(tree.Total());
  }
}

void BM_UniteCurvedPath(benchmark::State& s) {
  RunEffect(s, Scene::kCurvedPath, false);
}
void BM_UniteCurvedPath_Baseline(benchmark::State& s) {
  RunBaseline(s, Scene::kCurvedPath, false);
}
void BM_OutlineCurvedPath(benchmark::State& s) {
  RunEffect(s, Scene::kCurvedPath, true);
}
void BM_OutlineCurvedPath_Baseline(benchmark::State& s) {
  RunBaseline(s, Scene::kCurvedPath, true);
}
void BM_UniteSmallPaths(benchmark::State& s) {
  RunEffect(s, Scene::kSmallPaths, false);
}
void BM_UniteSmallPaths_Baseline(benchmark::State& s) {
  RunBaseline(s, Scene::kSmallPaths, false);
}
void BM_OutlineSmallPaths(benchmark::State& s) {
  RunEffect(s, Scene::kSmallPaths, true);
}
void BM_OutlineSmallPaths_Baseline(benchmark::State& s) {
  RunBaseline(s, Scene::kSmallPaths, true);
}
BENCHMARK(BM_UniteCurvedPath)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniteCurvedPath_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutlineCurvedPath)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutlineCurvedPath_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniteSmallPaths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniteSmallPaths_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutlineSmallPaths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutlineSmallPaths_Baseline)->Unit(benchmark::kMillisecond);

// Prints the usual table, then each effect's time over its baseline's.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Plain text, so the figures read the same in a log as on a terminal.
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [name, time] : times_) {
      auto base = times_.find(name + "_Baseline");
      if (base == times_.end() || base->second <= 0) continue;
      std::printf("%-24s %.2fx the clipper alone\n", name.c_str(), time / base->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
