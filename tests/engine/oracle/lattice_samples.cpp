// Generated step-and-repeat samples: outlines as path segments.
#include "tests/engine/oracle/lattice_samples.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <sstream>
#include <string>

namespace latticedata {
namespace {

PathSegment Corner(double x, double y) {
  const RealPoint p{x, y};
  return PathSegment{p, p, p, true};
}

}  // namespace

Sample MakeSample(Kind kind, int points, double size, uint32_t seed, double cx, double cy) {
  std::mt19937 rng(seed);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
  };
  const double pi = std::numbers::pi;
  const double rx = size / 2;
  const double ry = size / 2 * uniform(0.5, 1.0);
  Sample s;
  const int n = std::max(points, 3);
  switch (kind) {
    case Kind::kConvex: {
      std::vector<double> angles;
      for (int i = 0; i < n; ++i) angles.push_back(2 * pi * (i + uniform(-0.3, 0.3)) / n);
      std::sort(angles.begin(), angles.end());
      for (double a : angles)
        s.segments.push_back(Corner(cx + rx * std::cos(a), cy + ry * std::sin(a)));
      break;
    }
    case Kind::kConcave: {
      const int m = n + n % 2;
      for (int i = 0; i < m; ++i) {
        const double a = 2 * pi * (i + uniform(-0.2, 0.2)) / m;
        const double r = i % 2 == 0 ? 1.0 : uniform(0.35, 0.8);
        s.segments.push_back(Corner(cx + rx * r * std::cos(a), cy + ry * r * std::sin(a)));
      }
      break;
    }
    case Kind::kGear: {
      // Teeth 4 points deep: every corner survives flattening.
      const int m = n + n % 2;
      for (int i = 0; i < m; ++i) {
        const double a = 2 * pi * i / m;
        const double r = i % 2 == 0 ? rx : rx - 4;
        s.segments.push_back(Corner(cx + r * std::cos(a), cy + r * std::sin(a)));
      }
      break;
    }
    case Kind::kNotched: {
      const double w = 2 * rx, h = 2 * ry;
      const double nl = w * uniform(0.15, 0.45), nr = nl + w * uniform(0.1, 0.4);
      const double nd = h * uniform(0.2, 0.7);
      const double x = cx - rx, y = cy - ry;
      for (const RealPoint p :
           {RealPoint{0, 0}, RealPoint{w, 0}, RealPoint{w, h}, RealPoint{nr, h},
            RealPoint{nr, h - nd}, RealPoint{nl, h - nd}, RealPoint{nl, h}, RealPoint{0, h}}) {
        s.segments.push_back(Corner(x + p.x, y + p.y));
      }
      break;
    }
    case Kind::kTriangle: {
      const double top = uniform(-0.5, 0.5) * rx;
      s.segments = {Corner(cx - rx, cy - ry), Corner(cx + rx, cy - ry), Corner(cx + top, cy + ry)};
      break;
    }
    case Kind::kRounded: {
      // A rectangle with quarter-circle corners: one curved edge per corner.
      const double r = std::min(rx, ry) * uniform(0.2, 0.6);
      const double k = r * 0.5522847498;
      const double l = cx - rx, rt = cx + rx, b = cy - ry, t = cy + ry;
      auto seg = [](RealPoint p, RealPoint in, RealPoint out) {
        return PathSegment{p, in, out, false};
      };
      s.segments = {
          seg({l + r, b}, {l + r - k, b}, {l + r, b}),
          seg({rt - r, b}, {rt - r, b}, {rt - r + k, b}),
          seg({rt, b + r}, {rt, b + r - k}, {rt, b + r}),
          seg({rt, t - r}, {rt, t - r}, {rt, t - r + k}),
          seg({rt - r, t}, {rt - r + k, t}, {rt - r, t}),
          seg({l + r, t}, {l + r, t}, {l + r - k, t}),
          seg({l, t - r}, {l, t - r + k}, {l, t - r}),
          seg({l, b + r}, {l, b + r}, {l, b + r - k}),
      };
      break;
    }
  }
  RealRect box{s.segments[0].p.x, s.segments[0].p.y, s.segments[0].p.x, s.segments[0].p.y};
  for (const PathSegment& g : s.segments) {
    for (const RealPoint p : {g.p, g.in, g.out}) {
      box.left = std::min(box.left, p.x);
      box.right = std::max(box.right, p.x);
      box.top = std::max(box.top, p.y);
      box.bottom = std::min(box.bottom, p.y);
    }
  }
  s.bounds = box;
  return s;
}

LatticeInput MakeInput(const Sample& sample, double width, double height, double spacing,
                       int16_t baseline, int16_t mode, int16_t rotation, int workers) {
  LatticeInput in;
  in.segments = sample.segments.data();
  in.segment_count = static_cast<int32_t>(sample.segments.size());
  in.sample_bounds = sample.bounds;
  in.area = RealRect{0, height, width, 0};
  in.spacing = spacing;
  in.toward_baseline = baseline;
  in.toward_mode = mode;
  in.enable_anytime_rotation = rotation;
  in.workers = workers;
  return in;
}

std::string LatticeDifference(const LatticeResult& a, const LatticeResult& b) {
  std::ostringstream out;
  auto same = [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  auto field = [&](const char* name, double x, double y) {
    if (!same(x, y) && out.str().empty()) out << name << ": " << x << " vs " << y;
  };
  field("side", a.side, b.side);
  field("mirror", a.mirror, b.mirror);
  field("room_x", a.room_x, b.room_x);
  field("room_y", a.room_y, b.room_y);
  field("p1", a.p1, b.p1);
  field("p2", a.p2, b.p2);
  field("q1", a.q1, b.q1);
  field("q2", a.q2, b.q2);
  field("pattern", a.pattern, b.pattern);
  field("shift", a.shift, b.shift);
  field("count", a.count, b.count);
  field("extent", a.extent, b.extent);
  return out.str();
}

}  // namespace latticedata
