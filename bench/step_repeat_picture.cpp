// Draws docs/step-and-repeat.png's source: a triangle and a rounded sticker
// reproduced on one sheet each way, the plain grid beside the interlocking
// lattice, with the counts in the caption. Writes SVG to standard output;
// scripts/step-repeat-picture renders it.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/lattice.h"
#include "plugin/globals.h"

namespace {

constexpr double kMm = PointsPerMm;

PathSegment Corner(RealPoint p) {
  return PathSegment{p, p, p, true};
}

// A triangle 34 mm wide and 30 mm tall, grown outward by d with mitred
// corners (the offset the host plays, join 0).
std::vector<PathSegment> Triangle(double d) {
  const RealPoint a{0, 0}, b{34 * kMm, 0}, c{12 * kMm, 30 * kMm};
  const RealPoint pts[3] = {a, b, c};
  std::vector<PathSegment> out;
  for (int i = 0; i < 3; ++i) {
    // The corner where the edges before and after it, moved out by d, meet.
    const RealPoint p = pts[(i + 2) % 3], q = pts[i], r = pts[(i + 1) % 3];
    auto normal = [](RealPoint s, RealPoint e) {
      const double l = std::hypot(e.x - s.x, e.y - s.y);
      return RealPoint{(e.y - s.y) / l,
                       -(e.x - s.x) / l};  // outward for a counter-clockwise outline
    };
    const RealPoint n1 = normal(p, q), n2 = normal(q, r);
    const RealPoint m{n1.x + n2.x, n1.y + n2.y};
    const double k = d / (1 + n1.x * n2.x + n1.y * n2.y);
    out.push_back(Corner(RealPoint{q.x + m.x * k, q.y + m.y * k}));
  }
  return out;
}

// A 30 x 26 mm sticker with 12 mm round corners, grown outward by d.
std::vector<PathSegment> Rounded(double d) {
  const double w = 30 * kMm / 2 + d, h = 26 * kMm / 2 + d, r = 12 * kMm + d;
  const double k = r * 0.5522847498;
  auto seg = [](RealPoint p, RealPoint in, RealPoint out) {
    return PathSegment{p, in, out, false};
  };
  const double l = -w, rt = w, b = -h, t = h;
  return {
      seg({l + r, b}, {l + r - k, b}, {l + r, b}),
      seg({rt - r, b}, {rt - r, b}, {rt - r + k, b}),
      seg({rt, b + r}, {rt, b + r - k}, {rt, b + r}),
      seg({rt, t - r}, {rt, t - r}, {rt, t - r + k}),
      seg({rt - r, t}, {rt - r + k, t}, {rt - r, t}),
      seg({l + r, t}, {l + r, t}, {l + r - k, t}),
      seg({l, t - r}, {l, t - r + k}, {l, t - r}),
      seg({l, b + r}, {l, b + r}, {l, b + r - k}),
  };
}

RealRect Bounds(const std::vector<PathSegment>& s) {
  RealRect b{s[0].p.x, s[0].p.y, s[0].p.x, s[0].p.y};
  for (const PathSegment& g : s) {
    for (const RealPoint p : {g.p, g.in, g.out}) {
      b.left = std::min(b.left, p.x), b.right = std::max(b.right, p.x);
      b.top = std::max(b.top, p.y), b.bottom = std::min(b.bottom, p.y);
    }
  }
  return b;
}

// The outline mapped by m as SVG path data, y pointing down from `top`.
std::string PathData(const std::vector<PathSegment>& s, const RealMatrix& m, double top) {
  auto pt = [&](RealPoint p) {
    const RealPoint q = MatrixXformPoint(&m, p);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f %.2f", q.x, top - q.y);
    return std::string(buf);
  };
  std::string d = "M" + pt(s[0].p);
  for (size_t i = 1; i <= s.size(); ++i) {
    const PathSegment& prev = s[i - 1];
    const PathSegment& cur = s[i % s.size()];
    d += " C" + pt(prev.out) + " " + pt(cur.in) + " " + pt(cur.p);
  }
  return d + "Z";
}

struct Panel {
  std::string title;
  RealRect sheet;
  std::vector<std::string> paths;
};

}  // namespace

int main() {
  const double v = 3 * kMm;  // spacing
  const double sheet_w = 200 * kMm, sheet_h = 150 * kMm, margin = 5 * kMm, gap = 12 * kMm;
  std::vector<Panel> panels;
  std::string caption;
  struct Object {
    const char* name;
    std::vector<PathSegment> shape, grown;
    const char* fill;
  };
  const Object objects[2] = {{"triangle", Triangle(0), Triangle(v / 2), "#f29e4c"},
                             {"rounded sticker", Rounded(0), Rounded(v / 2), "#4c9ef2"}};
  for (int o = 0; o < 2; ++o) {
    const Object& obj = objects[o];
    const RealRect bounds = Bounds(obj.shape);
    for (int mode = 0; mode < 2; ++mode) {
      Panel p;
      const double left = mode * (sheet_w + gap), top = -o * (sheet_h + gap + 8 * kMm);
      p.sheet = RealRect{left, top, left + sheet_w, top - sheet_h};
      const RealRect area{left + margin, top - margin, left + sheet_w - margin,
                          top - sheet_h + margin};
      std::vector<RealMatrix> copies;
      if (mode == 0) {
        copies = PlainGridMatrices(PlainGridFor(bounds, area, v, 0, 0), bounds, area, v);
      } else {
        LatticeInput in;
        in.segments = obj.grown.data();
        in.segment_count = static_cast<int32_t>(obj.grown.size());
        in.sample_bounds = Bounds(obj.grown);
        in.area = area;
        in.spacing = v;
        in.enable_anytime_rotation = 1;
        const LatticeResult r = LatticeSearch(in);
        copies = LatticeMatrices(r, RectCenter(in.sample_bounds), area, nullptr);
      }
      for (const RealMatrix& m : copies) p.paths.push_back(PathData(obj.shape, m, 0));
      char buf[160];
      std::snprintf(buf, sizeof buf, "%s, %s: %d", obj.name, mode == 0 ? "plain grid" : "lattice",
                    static_cast<int>(copies.size()));
      p.title = buf;
      caption += (caption.empty() ? "" : "; ") + std::string(buf);
      panels.push_back(p);
    }
  }
  const double width = 2 * sheet_w + gap + 20 * kMm;
  const double height = 2 * (sheet_h + gap + 8 * kMm) + 4 * kMm;
  std::printf(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
      "viewBox=\"%.1f %.1f %.1f %.1f\">\n",
      width * 1.5, height * 1.5, -10 * kMm, -12 * kMm, width, height);
  std::printf("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"white\"/>\n",
              -10 * kMm, -12 * kMm, width, height);
  std::printf("<g font-family=\"sans-serif\" font-size=\"11\" fill=\"#222\">\n");
  for (const Panel& p : panels) {
    std::printf(
        "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"#fafafa\" "
        "stroke=\"#888\" stroke-width=\"0.8\"/>\n",
        p.sheet.left, -p.sheet.top, RectWidth(p.sheet), RectHeight(p.sheet));
    std::printf(
        "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"none\" "
        "stroke=\"#bbb\" stroke-width=\"0.5\" stroke-dasharray=\"3 2\"/>\n",
        p.sheet.left + margin, -p.sheet.top + margin, RectWidth(p.sheet) - 2 * margin,
        RectHeight(p.sheet) - 2 * margin);
    std::printf("<text x=\"%.2f\" y=\"%.2f\">%s copies</text>\n", p.sheet.left, -p.sheet.top - 6,
                p.title.c_str());
  }
  std::printf("</g>\n");
  for (int i = 0; i < static_cast<int>(panels.size()); ++i) {
    const char* fill = objects[i / 2].fill;
    std::printf("<g fill=\"%s\" fill-opacity=\"0.85\" stroke=\"#333\" stroke-width=\"0.5\">\n",
                fill);
    for (const std::string& d : panels[i].paths) std::printf("<path d=\"%s\"/>\n", d.c_str());
    std::printf("</g>\n");
  }
  std::printf(
      "<text x=\"0\" y=\"%.1f\" font-family=\"sans-serif\" font-size=\"10\" fill=\"#444\">"
      "200 x 150 mm sheets, 5 mm margins, 3 mm spacing. %s</text>\n",
      2 * (sheet_h + gap + 8 * kMm) - 8 * kMm, caption.c_str());
  std::printf("</svg>\n");
  return 0;
}
