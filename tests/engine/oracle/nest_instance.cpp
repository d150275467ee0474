// Nesting instances: NESTTXT v1 reading, seeded polygons, parts and jobs.
#include "tests/engine/oracle/nest_instance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

#include "engine/sheets.h"
#include "plugin/globals.h"

namespace nestdata {

int32_t Instance::Quantity() const {
  int32_t n = 0;
  for (const Shape& s : shapes) n += s.quantity;
  return n;
}

namespace {

// The next line that is neither empty nor a comment.
bool NextLine(std::istringstream& in, std::string* line) {
  while (std::getline(in, *line)) {
    const size_t start = line->find_first_not_of(" \t\r");
    if (start == std::string::npos || (*line)[start] == '#') continue;
    return true;
  }
  return false;
}

bool Fail(std::string* error, const std::string& what) {
  if (error) *error = what;
  return false;
}

}  // namespace

bool ParseNestTxt(const std::string& text, Instance* out, std::string* error) {
  std::istringstream in(text);
  std::string line;
  Instance inst;
  auto header = [&](const char* key, std::istringstream* values) {
    if (!NextLine(in, &line)) return false;
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word != key) return false;
    values->str(line.substr(line.find(key) + std::strlen(key)));
    values->clear();
    return true;
  };
  std::istringstream v;
  std::string word;
  int version = 0;
  if (!header("format", &v) || !(v >> word >> version) || word != "nesttxt" || version != 1) {
    return Fail(error, "not a NESTTXT v1 file");
  }
  if (!header("name", &v) || !(v >> inst.name)) return Fail(error, "missing name");
  if (!header("problem", &v) || !(v >> word)) return Fail(error, "missing problem");
  if (!header("height", &v) || !(v >> inst.height) || !(inst.height > 0)) {
    return Fail(error, "bad height");
  }
  if (!header("width", &v) || !(v >> inst.width) || inst.width < 0) return Fail(error, "bad width");
  if (!header("rotations", &v)) return Fail(error, "missing rotations");
  for (int d; v >> d;) inst.rotations.push_back(d);
  int types = 0, quantity = 0;
  double area = 0;
  if (!header("types", &v) || !(v >> types) || types < 0 || types > 100000) {
    return Fail(error, "bad types");
  }
  if (!header("quantity", &v) || !(v >> quantity)) return Fail(error, "bad quantity");
  if (!header("area", &v) || !(v >> area)) return Fail(error, "bad area");
  int total = 0;
  for (int t = 0; t < types; ++t) {
    if (!header("item", &v)) return Fail(error, "missing item " + std::to_string(t));
    int id = 0, q = 0, n = 0;
    double item_area = 0;
    if (!(v >> id >> q >> n >> item_area) || q < 1 || q > 100000 || n < 3 || n > 1000000) {
      return Fail(error, "bad item " + std::to_string(t));
    }
    Shape shape;
    shape.quantity = q;
    for (int i = 0; i < n; ++i) {
      RealPoint p{};
      std::istringstream xy;
      if (!NextLine(in, &line)) return Fail(error, "missing vertex");
      xy.str(line);
      if (!(xy >> p.x >> p.y) || !std::isfinite(p.x) || !std::isfinite(p.y)) {
        return Fail(error, "bad vertex in item " + std::to_string(t));
      }
      shape.outline.push_back(p);
    }
    total += q;
    inst.shapes.push_back(std::move(shape));
  }
  if (!NextLine(in, &line) || line.find("end") == std::string::npos) {
    return Fail(error, "missing end");
  }
  if (total != quantity) return Fail(error, "quantities do not add up");
  *out = std::move(inst);
  return true;
}

bool LoadNestTxt(const std::string& path, Instance* out, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return Fail(error, "cannot open " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return ParseNestTxt(text.str(), out, error);
}

std::string DatasetsDir() {
#ifdef ZOLVANE_DATASETS_DIR
  return ZOLVANE_DATASETS_DIR;
#else
  return "";
#endif
}

Instance GenerateInstance(const GeneratorParams& params) {
  std::mt19937 rng(params.seed);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
  };
  auto integer = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  Instance inst;
  inst.name = "generated-" + std::to_string(params.seed);
  inst.height = 1;
  inst.rotations = {0};
  for (int t = 0; t < params.types; ++t) {
    Shape shape;
    shape.quantity = integer(1, std::max(1, params.max_quantity));
    const double size = uniform(params.min_size, params.max_size);
    const double rx = size / 2;
    const double ry = size / 2 * uniform(0.3, 1.0);
    const bool concave = integer(0, 99) < params.concave_percent;
    const int kind = concave ? integer(0, 1) : 2;
    if (kind == 0) {
      // Star-shaped: alternating radii.
      const int n = 2 * integer(3, 9);
      for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * (i + uniform(-0.2, 0.2)) / n;
        const double r = i % 2 == 0 ? 1.0 : uniform(0.35, 0.8);
        shape.outline.push_back(RealPoint{rx * r * std::cos(a), ry * r * std::sin(a)});
      }
    } else if (kind == 1) {
      // A rectangle with a rectangular notch cut from its top edge.
      const double w = 2 * rx, h = 2 * ry;
      const double nl = w * uniform(0.15, 0.45), nr = nl + w * uniform(0.1, 0.4);
      const double nd = h * uniform(0.2, 0.7);
      shape.outline = {{0, 0},       {w, 0},       {w, h},  {nr, h},
                       {nr, h - nd}, {nl, h - nd}, {nl, h}, {0, h}};
    } else {
      // Convex: points on an ellipse at sorted random angles.
      const int n = integer(3, 14);
      std::vector<double> angles;
      for (int i = 0; i < n; ++i) angles.push_back(uniform(0, 2 * std::numbers::pi));
      std::sort(angles.begin(), angles.end());
      for (double a : angles)
        shape.outline.push_back(RealPoint{rx * std::cos(a), ry * std::sin(a)});
    }
    inst.shapes.push_back(std::move(shape));
  }
  return inst;
}

namespace {

RealRect BoundsOf(const std::vector<RealPoint>& pts) {
  RealRect r{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
  for (const RealPoint& p : pts) {
    r.left = std::min(r.left, p.x);
    r.right = std::max(r.right, p.x);
    r.top = std::max(r.top, p.y);
    r.bottom = std::min(r.bottom, p.y);
  }
  return r;
}

double LongerSide(const NestPart& p) {
  return std::max(RectWidth(p.bounds), RectHeight(p.bounds));
}

RealPoint* CopyPoints(const RealPoint* points, int32_t count) {
  if (!points || count <= 0) return nullptr;
  RealPoint* copy = new RealPoint[static_cast<size_t>(count)];
  std::copy(points, points + count, copy);
  return copy;
}

}  // namespace

NestPart MakePart(const std::vector<RealPoint>& outline, int16_t outline_mode) {
  NestPart part{};
  part.bounds = BoundsOf(outline);
  Polygon fine, coarse;
  if (outline_mode != 0) {
    // Straight segments: both handles on the anchor.
    std::vector<PathSegment> segments;
    for (const RealPoint& p : outline) segments.push_back(PathSegment{p, p, p, true});
    const int32_t n = static_cast<int32_t>(segments.size());
    fine = FlattenPath(segments.data(), n, kFineTolerance);
    if (fine.count > kCoarseThreshold) coarse = FlattenPath(segments.data(), n, kCoarseTolerance);
  }
  if (fine.count <= 0) {
    FreePolygon(&fine);
    fine = RectanglePolygon(part.bounds);
  }
  part.points = fine.points;
  part.point_count = fine.count;
  part.coarse_points = coarse.points;
  part.coarse_count = coarse.count;
  return part;
}

PartSet::PartSet(const Instance& instance, double scale, int16_t outline_mode) {
  for (const Shape& shape : instance.shapes) {
    if (shape.outline.size() < 3) continue;
    // The part's own frame: scaled, its bounds starting at the origin.
    std::vector<RealPoint> pts;
    for (const RealPoint& p : shape.outline) pts.push_back(RealPoint{p.x * scale, p.y * scale});
    const RealRect b = BoundsOf(pts);
    for (RealPoint& p : pts) p = RealPoint{p.x - b.left, p.y - b.bottom};
    for (int32_t q = 0; q < shape.quantity; ++q) {
      const NestPart part = MakePart(pts, outline_mode);
      // Stable insertion, largest longer side first.
      auto at = std::find_if(parts_.begin(), parts_.end(),
                             [&](const NestPart& p) { return LongerSide(p) < LongerSide(part); });
      parts_.insert(at, part);
    }
  }
  for (size_t i = 0; i < parts_.size(); ++i) parts_[i].id = static_cast<int32_t>(i + 1);
}

PartSet PartsOf(const std::vector<std::vector<RealPoint>>& outlines, int16_t outline_mode) {
  Instance inst;
  for (const auto& o : outlines) inst.shapes.push_back(Shape{o, 1});
  return PartSet(inst, 1.0, outline_mode);
}

std::vector<RealPoint> Rect(double w, double h) {
  return {{0, 0}, {w, 0}, {w, h}, {0, h}};
}

PartSet::PartSet(const PartSet& other) : parts_(other.parts_) {
  for (NestPart& p : parts_) {
    p.points = CopyPoints(p.points, p.point_count);
    p.coarse_points = CopyPoints(p.coarse_points, p.coarse_count);
  }
}

PartSet::~PartSet() {
  for (NestPart& p : parts_) FreeNestPart(&p);
}

double PartSet::Area() const {
  double total = 0;
  for (const NestPart& p : parts_) {
    double a = 0;
    for (int32_t i = 0; i < p.point_count; ++i) {
      const RealPoint s = p.points[i == 0 ? p.point_count - 1 : i - 1];
      const RealPoint e = p.points[i];
      a += s.x * e.y - e.x * s.y;
    }
    total += std::fabs(a) / 2;
  }
  return total;
}

NestJob MakeJob(PartSet* parts, const SheetSize& sheet, const JobOptions& options) {
  const RealRect canvas{-8000, 8000, 8000, -8000};
  const SheetSettings s{sheet.width_mm,  sheet.height_mm, sheet.margin_mm,
                        sheet.margin_mm, sheet.margin_mm, sheet.margin_mm};
  NestJob job;
  job.part_count = parts->size();
  job.parts = parts->data();
  job.direction = options.direction;
  job.baseline = options.baseline;
  job.nesting_type = options.nesting_type;
  job.outline_mode = options.outline_mode;
  job.reference = ReferenceSquare(canvas);
  job.area = FirstSheet(job.reference, s).area;
  job.one_page = options.one_page;
  return job;
}

SearchSettings MakeSettings(const SheetSize& sheet, double spacing_mm, int16_t rotation_on,
                            int16_t rotation_mode, int16_t multithread) {
  SearchSettings s;
  s.collection_margin = spacing_mm;
  s.plate_width = sheet.width_mm;
  s.plate_height = sheet.height_mm;
  s.enable_anytime_rotation = rotation_on;
  s.anytime_rotation_mode = rotation_mode;
  s.enable_multithread = multithread;
  return s;
}

std::string FirstDifference(const PartSet& a, const PartSet& b) {
  if (a.size() != b.size()) return "different part counts";
  auto same = [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  for (int32_t i = 0; i < a.size(); ++i) {
    const NestPart& p = a[i];
    const NestPart& q = b[i];
    if (p.placed != q.placed || p.rotation != q.rotation || !same(p.center_x, q.center_x) ||
        !same(p.center_y, q.center_y) || !same(p.area_center_x, q.area_center_x) ||
        !same(p.area_center_y, q.area_center_y)) {
      std::ostringstream out;
      out.precision(17);
      out << "part " << i << ": placed " << p.placed << "/" << q.placed << ", rotation "
          << p.rotation << "/" << q.rotation << ", centre (" << p.center_x << ", " << p.center_y
          << ")/(" << q.center_x << ", " << q.center_y << "), sheet (" << p.area_center_x << ", "
          << p.area_center_y << ")/(" << q.area_center_x << ", " << q.area_center_y << ")";
      return out.str();
    }
  }
  return "";
}

std::string PlacementDigest(const PartSet& parts) {
  uint64_t h = 1469598103934665603ull;
  auto mix = [&h](const void* data, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
  };
  for (int32_t i = 0; i < parts.size(); ++i) {
    const NestPart& p = parts[i];
    mix(&p.placed, sizeof p.placed);
    mix(&p.rotation, sizeof p.rotation);
    for (const double v : {p.center_x, p.center_y, p.area_center_x, p.area_center_y}) {
      mix(&v, sizeof v);
    }
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

int32_t SheetsUsed(const PartSet& parts) {
  std::vector<std::pair<double, double>> centres;
  for (int32_t i = 0; i < parts.size(); ++i) {
    if (!parts[i].placed) continue;
    const std::pair<double, double> c{parts[i].area_center_x, parts[i].area_center_y};
    if (std::find(centres.begin(), centres.end(), c) == centres.end()) centres.push_back(c);
  }
  return static_cast<int32_t>(centres.size());
}

}  // namespace nestdata
