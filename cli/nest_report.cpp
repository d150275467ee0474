// What a nesting run did, read from the document afterwards.
#include "cli/nest_report.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "host/builder.h"
#include "host/svg_common.h"
#include "plugin/globals.h"

namespace cli {
namespace {

constexpr char kCutLineName[] = "cut line";

// Anchors of paths and the corners of box kinds, depth-first in child order.
void CollectPoints(const host::Art& art, std::vector<RealPoint>* points) {
  if (art.type == kArtTypePath) {
    for (const PathSegment& s : art.segments) points->push_back(s.p);
  } else if (host::IsBoxArtType(art.type)) {
    const RealMatrix& m = art.matrix;
    for (RealPoint p : {RealPoint{art.box.left, art.box.top}, RealPoint{art.box.right, art.box.top},
                        RealPoint{art.box.left, art.box.bottom}}) {
      points->push_back({m.a * p.x + m.c * p.y + m.tx, m.b * p.x + m.d * p.y + m.ty});
    }
  }
  for (const host::Art* c = art.first_child; c; c = c->next) CollectPoints(*c, points);
}

bool IsShapePath(const host::Art& art) {
  return art.type == kArtTypePath && art.closed && art.segments.size() > 2;
}

const host::Art* FirstShape(const host::Art& art) {
  if (IsShapePath(art)) return &art;
  for (const host::Art* c = art.first_child; c; c = c->next) {
    if (const host::Art* found = FirstShape(*c)) return found;
  }
  return nullptr;
}

void LargestShape(const host::Art& art, const host::Art** best, double* best_size) {
  if (IsShapePath(art)) {
    RealRect r = host::Bounds(art);
    double size = RectWidth(r) + RectHeight(r);
    if (!*best || size > *best_size) {
      *best = &art;
      *best_size = size;
    }
  }
  for (const host::Art* c = art.first_child; c; c = c->next) LargestShape(*c, best, best_size);
}

// The outline the object is nested by: its "cut line" child, else its
// largest closed path; the area it encloses, or its bounds' area without one.
double OutlineArea(const host::Art& art) {
  const host::Art* shape = nullptr;
  bool searched = false;
  for (const host::Art* c = art.first_child; c && !searched; c = c->next) {
    if (c->name == kCutLineName) {
      shape = FirstShape(*c);
      searched = true;
    }
  }
  if (!searched) {
    double size = 0;
    LargestShape(art, &shape, &size);
  }
  if (shape) {
    Polygon polygon =
        FlattenPath(shape->segments.data(), static_cast<int32_t>(shape->segments.size()), 0.1);
    double twice = 0;
    for (int32_t i = 0; i + 1 < polygon.count; ++i) {
      twice += polygon.points[i].x * polygon.points[i + 1].y -
               polygon.points[i + 1].x * polygon.points[i].y;
    }
    FreePolygon(&polygon);
    if (twice != 0) return std::fabs(twice) / 2;
  }
  RealRect r = host::Bounds(art);
  return RectWidth(r) * RectHeight(r);
}

RealPoint Centre(const RealRect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The linear part and offset that take the points before onto the points
// after, from three of them that span the most area; a pure move when the
// points do not span an area.
void FitTransform(const std::vector<RealPoint>& before, const std::vector<RealPoint>& after,
                  RealPoint centre_before, RealPoint centre_after, RealMatrix* m) {
  *m = RealMatrix{1, 0, 0, 1, centre_after.x - centre_before.x, centre_after.y - centre_before.y};
  const size_t n = std::min(before.size(), after.size());
  if (n < 3) return;
  size_t i1 = 0;
  double far = 0;
  for (size_t i = 1; i < n; ++i) {
    double d = std::hypot(before[i].x - before[0].x, before[i].y - before[0].y);
    if (d > far) {
      far = d;
      i1 = i;
    }
  }
  const RealPoint u1{before[i1].x - before[0].x, before[i1].y - before[0].y};
  size_t i2 = 0;
  double best = 0;
  for (size_t i = 1; i < n; ++i) {
    double cross = u1.x * (before[i].y - before[0].y) - u1.y * (before[i].x - before[0].x);
    if (std::fabs(cross) > best) {
      best = std::fabs(cross);
      i2 = i;
    }
  }
  if (i1 == 0 || i2 == 0 || best < 1e-6 * far * far) return;
  const RealPoint u2{before[i2].x - before[0].x, before[i2].y - before[0].y};
  const RealPoint v1{after[i1].x - after[0].x, after[i1].y - after[0].y};
  const RealPoint v2{after[i2].x - after[0].x, after[i2].y - after[0].y};
  const double det = u1.x * u2.y - u2.x * u1.y;
  // L = [v1 v2] * inverse([u1 u2])
  m->a = (v1.x * u2.y - v2.x * u1.y) / det;
  m->c = (-v1.x * u2.x + v2.x * u1.x) / det;
  m->b = (v1.y * u2.y - v2.y * u1.y) / det;
  m->d = (-v1.y * u2.x + v2.y * u1.x) / det;
  m->tx = after[0].x - (m->a * before[0].x + m->c * before[0].y);
  m->ty = after[0].y - (m->b * before[0].x + m->d * before[0].y);
}

void Walk(const host::Art& art, std::vector<const host::Art*>* tagged) {
  if (host::FindTag(art, kObjectTag)) {
    tagged->push_back(&art);
    return;
  }
  for (const host::Art* c = art.first_child; c; c = c->next) Walk(*c, tagged);
}

void Untag(host::Art& art) {
  host::RemoveTag(art, kObjectTag);
  for (host::Art* c = art.first_child; c; c = c->next) Untag(*c);
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Num(double v, int decimals = 3) {
  if (!std::isfinite(v)) return "0";
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  std::string s = text;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

double Mm(double points) {
  return points / PointsPerMm;
}

std::string ObjectName(const std::vector<TrackedObject>& objects, int index) {
  const std::string& name = objects[index].name;
  return name.empty() ? "object " + std::to_string(index + 1) : name;
}

}  // namespace

std::vector<TrackedObject> TrackObjects(host::Document& doc,
                                        const std::vector<host::Art*>& objects) {
  std::vector<TrackedObject> out;
  for (host::Art* art : objects) {
    TrackedObject t;
    t.name = art->name;
    t.art = art;
    t.handle = doc.HandleOf(art);
    if (const host::Tag* q = host::FindTag(*art, host::kQuantityTagName)) {
      double v = 0;
      if (host::ParseWholeNumber(q->value, &v) && v >= 1 && v <= 1e9)
        t.quantity = static_cast<int>(v);
    }
    CollectPoints(*art, &t.points);
    t.centre = Centre(host::Bounds(*art));
    t.area = OutlineArea(*art);
    host::SetTag(*art, kObjectTag, "", std::to_string(out.size()));
    out.push_back(std::move(t));
  }
  return out;
}

void UntrackObjects(host::Document& doc) {
  for (int32_t i = 0; i < doc.LayerCount(); ++i) {
    if (host::Layer* layer = doc.NthLayer(i)) Untag(*layer->group);
  }
}

NestReport CollectReport(const host::Document& doc, const std::vector<TrackedObject>& objects,
                         const std::array<double, 4>& margins) {
  NestReport report;
  report.margins = margins;
  report.placed.assign(objects.size(), 0);
  for (const RealRect& board : doc.artboards()) {
    SheetRecord sheet;
    sheet.rect = board;
    double w = Mm(RectWidth(board)) - margins[0] - margins[2];
    double h = Mm(RectHeight(board)) - margins[1] - margins[3];
    sheet.nesting_area = w > 0 && h > 0 ? w * h : 0;
    report.sheets.push_back(sheet);
  }
  std::vector<const host::Art*> tagged;
  for (int32_t i = 0; i < doc.LayerCount(); ++i) {
    if (const host::Layer* layer = doc.NthLayer(i)) Walk(*layer->group, &tagged);
  }
  // Topmost first in the document; the copies are listed bottom-up, the
  // order in which they were placed.
  for (auto it = tagged.rbegin(); it != tagged.rend(); ++it) {
    const host::Art& art = **it;
    const host::Tag* tag = host::FindTag(art, kObjectTag);
    double v = -1;
    if (!host::ParseWholeNumber(tag->value, &v) || v < 0 || v >= objects.size()) continue;
    const int index = static_cast<int>(v);
    const TrackedObject& object = objects[index];
    // The object itself, still there: it was not nested.
    if (doc.Resolve(object.handle) == &art) continue;
    std::vector<RealPoint> points;
    CollectPoints(art, &points);
    RealMatrix m{};
    const RealRect box = host::Bounds(art);
    RealPoint centre_after = Centre(box);
    FitTransform(object.points, points, object.centre, centre_after, &m);
    RealPoint c{m.a * object.centre.x + m.c * object.centre.y + m.tx,
                m.b * object.centre.x + m.d * object.centre.y + m.ty};
    CopyRecord copy;
    copy.object = index;
    double degrees = std::atan2(m.b, m.a) * 180 / M_PI;
    degrees = std::fmod(degrees + 360.0, 360.0);
    if (std::fabs(degrees - std::round(degrees)) < 1e-6) degrees = std::round(degrees);
    if (degrees >= 360) degrees -= 360;
    copy.rotation = degrees;
    for (size_t s = 0; s < report.sheets.size(); ++s) {
      const RealRect& r = report.sheets[s].rect;
      if (c.x >= r.left && c.x <= r.right && c.y >= r.bottom && c.y <= r.top) {
        copy.sheet = static_cast<int>(s);
        break;
      }
    }
    if (copy.sheet >= 0) {
      const RealRect& r = report.sheets[copy.sheet].rect;
      copy.centre = {Mm(c.x - r.left), Mm(r.top - c.y)};
      copy.bounds = {Mm(box.left - r.left), Mm(r.top - box.top), Mm(box.right - r.left),
                     Mm(r.top - box.bottom)};
      report.sheets[copy.sheet].parts += 1;
      report.sheets[copy.sheet].part_area += object.area / (PointsPerMm * PointsPerMm);
    } else {
      copy.centre = {Mm(c.x), Mm(-c.y)};
      copy.bounds = {Mm(box.left), Mm(-box.top), Mm(box.right), Mm(-box.bottom)};
    }
    report.placed[index] += 1;
    report.copies.push_back(copy);
  }
  return report;
}

std::string FormatSummary(const NestReport& report, const std::vector<TrackedObject>& objects) {
  std::string out;
  char line[256];
  size_t width = 6;
  for (size_t i = 0; i < objects.size(); ++i)
    width = std::max(width, ObjectName(objects, static_cast<int>(i)).size());
  std::snprintf(line, sizeof line, "%s: %zu sheet%s, %zu copies of %zu objects in %s s\n",
                report.input.c_str(), report.sheets.size(), report.sheets.size() == 1 ? "" : "s",
                report.copies.size(), objects.size(), Num(report.elapsed, 1).c_str());
  out += line;
  std::snprintf(line, sizeof line, "  %-*s  quantity  placed\n", static_cast<int>(width), "object");
  out += line;
  for (size_t i = 0; i < objects.size(); ++i) {
    std::snprintf(line, sizeof line, "  %-*s  %8d  %6d\n", static_cast<int>(width),
                  ObjectName(objects, static_cast<int>(i)).c_str(), objects[i].quantity,
                  report.placed[i]);
    out += line;
  }
  out += "  sheet  size (mm)          parts  part area / nesting area (mm²)\n";
  for (size_t s = 0; s < report.sheets.size(); ++s) {
    const SheetRecord& sheet = report.sheets[s];
    std::string size =
        Num(Mm(RectWidth(sheet.rect)), 1) + " x " + Num(Mm(RectHeight(sheet.rect)), 1);
    double share = sheet.nesting_area > 0 ? 100 * sheet.part_area / sheet.nesting_area : 0;
    std::snprintf(line, sizeof line, "  %5zu  %-17s  %5d  %.0f / %.0f = %.1f %%\n", s + 1,
                  size.c_str(), sheet.parts, sheet.part_area, sheet.nesting_area, share);
    out += line;
  }
  for (const std::string& o : report.outputs) out += "wrote " + o + "\n";
  return out;
}

std::string FormatJsonReport(const NestReport& report, const std::vector<TrackedObject>& objects) {
  std::string out = "{\n";
  out += "  \"input\": " + JsonString(report.input) + ",\n";
  out += "  \"outputs\": [";
  for (size_t i = 0; i < report.outputs.size(); ++i)
    out += (i ? ", " : "") + JsonString(report.outputs[i]);
  out += "],\n";
  out += "  \"elapsed_seconds\": " + Num(report.elapsed) + ",\n";
  out += "  \"margins_mm\": {\"left\": " + Num(report.margins[0]) +
         ", \"top\": " + Num(report.margins[1]) + ", \"right\": " + Num(report.margins[2]) +
         ", \"bottom\": " + Num(report.margins[3]) + "},\n";
  out += "  \"sheets\": [\n";
  for (size_t s = 0; s < report.sheets.size(); ++s) {
    const SheetRecord& sheet = report.sheets[s];
    // The sheet's rectangle as in the written SVG: x right, y down, mm.
    out += "    {\"sheet\": " + std::to_string(s + 1) + ", \"x_mm\": " + Num(Mm(sheet.rect.left)) +
           ", \"y_mm\": " + Num(Mm(-sheet.rect.top)) +
           ", \"width_mm\": " + Num(Mm(RectWidth(sheet.rect))) +
           ", \"height_mm\": " + Num(Mm(RectHeight(sheet.rect))) +
           ", \"parts\": " + std::to_string(sheet.parts) +
           ", \"part_area_mm2\": " + Num(sheet.part_area, 1) +
           ", \"nesting_area_mm2\": " + Num(sheet.nesting_area, 1) + "}" +
           (s + 1 < report.sheets.size() ? "," : "") + "\n";
  }
  out += "  ],\n  \"objects\": [\n";
  for (size_t i = 0; i < objects.size(); ++i) {
    out += "    {\"object\": " + JsonString(ObjectName(objects, static_cast<int>(i))) +
           ", \"quantity\": " + std::to_string(objects[i].quantity) +
           ", \"placed\": " + std::to_string(report.placed[i]) +
           ", \"area_mm2\": " + Num(objects[i].area / (PointsPerMm * PointsPerMm), 1) + "}" +
           (i + 1 < objects.size() ? "," : "") + "\n";
  }
  out += "  ],\n  \"copies\": [\n";
  for (size_t i = 0; i < report.copies.size(); ++i) {
    const CopyRecord& c = report.copies[i];
    // Centres from the top-left corner of their sheet, y down.
    out += "    {\"object\": " + JsonString(ObjectName(objects, c.object)) +
           ", \"sheet\": " + (c.sheet >= 0 ? std::to_string(c.sheet + 1) : "null") +
           ", \"centre_mm\": [" + Num(c.centre.x) + ", " + Num(c.centre.y) + "]" +
           ", \"rotation_degrees\": " + Num(c.rotation) + ", \"bounds_mm\": [" + Num(c.bounds[0]) +
           ", " + Num(c.bounds[1]) + ", " + Num(c.bounds[2]) + ", " + Num(c.bounds[3]) + "]}" +
           (i + 1 < report.copies.size() ? "," : "") + "\n";
  }
  out += "  ]\n}\n";
  return out;
}

}  // namespace cli
