// The layout judge: Clipper offsets and intersections on integer outlines.
#include "tests/engine/oracle/layout_check.h"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

namespace nestdata {
namespace {

// Clipper works on integers: outlines are scaled to a thousandth of a point.
constexpr double kScale = 1000;

ClipperLib::Path ToPath(const std::vector<RealPoint>& pts) {
  ClipperLib::Path path;
  for (const RealPoint& p : pts)
    path.emplace_back(static_cast<ClipperLib::cInt>(std::llround(p.x * kScale)),
                      static_cast<ClipperLib::cInt>(std::llround(p.y * kScale)));
  return path;
}

struct Placed {
  int32_t index;
  ClipperLib::Paths grown;
  RealRect box;
};

}  // namespace

LayoutProblems CheckLayout(const NestPart* parts, int32_t count, const RealRect& area, double m,
                           double slack) {
  LayoutProblems out;
  auto note = [&](const std::string& text) {
    if (out.first.empty()) out.first = text;
  };
  std::map<std::pair<long long, long long>, std::vector<Placed>> sheets;
  const RealPoint c0 = RectCenter(area);
  for (int32_t i = 0; i < count; ++i) {
    const NestPart& p = parts[i];
    if (!p.placed) {
      ++out.unplaced;
      note("part " + std::to_string(p.id) + " is not placed");
      continue;
    }
    const RealMatrix mx = PartMatrix(p, p.rotation, p.center_x, p.center_y);
    std::vector<RealPoint> pts;
    for (int32_t k = 0; k < p.point_count; ++k) pts.push_back(MatrixXformPoint(&mx, p.points[k]));
    RealRect box{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (const RealPoint& q : pts) {
      box.left = std::min(box.left, q.x);
      box.right = std::max(box.right, q.x);
      box.top = std::max(box.top, q.y);
      box.bottom = std::min(box.bottom, q.y);
    }
    const double dx = p.area_center_x - c0.x, dy = p.area_center_y - c0.y;
    const RealRect a{area.left + dx, area.top + dy, area.right + dx, area.bottom + dy};
    if (box.left < a.left - slack || box.right > a.right + slack || box.top > a.top + slack ||
        box.bottom < a.bottom - slack) {
      ++out.outside;
      note("part " + std::to_string(p.id) + " reaches outside its sheet's area");
    }
    Placed placed{i, {}, box};
    ClipperLib::ClipperOffset offset(2.0, 0.01 * kScale);
    offset.AddPath(ToPath(pts), ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    offset.Execute(placed.grown, std::max(0.0, m / 2 - slack) * kScale);
    if (m / 2 - slack <= 0) {
      placed.grown = {ToPath(pts)};
    }
    sheets[{std::llround(p.area_center_x), std::llround(p.area_center_y)}].push_back(
        std::move(placed));
  }
  for (auto& [key, list] : sheets) {
    for (size_t a = 0; a < list.size(); ++a) {
      for (size_t b = a + 1; b < list.size(); ++b) {
        const RealRect& ra = list[a].box;
        const RealRect& rb = list[b].box;
        if (std::min(ra.right, rb.right) + m < std::max(ra.left, rb.left) ||
            std::min(ra.top, rb.top) + m < std::max(ra.bottom, rb.bottom))
          continue;
        ClipperLib::Clipper clip;
        clip.AddPaths(list[a].grown, ClipperLib::ptSubject, true);
        clip.AddPaths(list[b].grown, ClipperLib::ptClip, true);
        ClipperLib::Paths common;
        clip.Execute(ClipperLib::ctIntersection, common, ClipperLib::pftNonZero,
                     ClipperLib::pftNonZero);
        double overlap = 0;
        for (const ClipperLib::Path& path : common) overlap += std::fabs(ClipperLib::Area(path));
        // A sliver of rounding (a square thousandth of a point) is not an overlap.
        if (overlap > 1.0) {
          ++out.overlaps;
          char text[160];
          std::snprintf(text, sizeof text, "parts %d and %d overlap by %.3g square points",
                        parts[list[a].index].id, parts[list[b].index].id,
                        overlap / (kScale * kScale));
          note(text);
        }
      }
    }
  }
  return out;
}

double GrownArea(const NestPart& part, double r) {
  if (!part.points || part.point_count < 3) return 0;
  const std::vector<RealPoint> pts(part.points, part.points + part.point_count);
  ClipperLib::Paths grown{ToPath(pts)};
  if (r > 0) {
    ClipperLib::ClipperOffset offset(2.0, 0.01 * kScale);
    offset.AddPath(ToPath(pts), ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    offset.Execute(grown, r * kScale);
  }
  double area = 0;
  for (const ClipperLib::Path& path : grown) area += ClipperLib::Area(path);
  return std::fabs(area) / (kScale * kScale);
}

}  // namespace nestdata
