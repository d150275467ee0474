// Conveniences for building and reading host documents from C++.
#include "host/builder.h"

namespace host {

HostColor Gray(double level) {
  return HostColor{kColorGray, {level, 0, 0, 0}};
}

HostColor Rgb(double red, double green, double blue) {
  return HostColor{kColorRGB, {red, green, blue, 0}};
}

HostColor Cmyk(double cyan, double magenta, double yellow, double black) {
  return HostColor{kColorFourProcess, {cyan, magenta, yellow, black}};
}

PathStyle FillStyleOf(HostColor color) {
  PathStyle style{};
  style.fill_paint = true;
  style.fill.color = color;
  style.stroke.miter_limit = 4;
  return style;
}

PathStyle StrokeStyleOf(HostColor color, double width) {
  PathStyle style{};
  style.stroke_paint = true;
  style.stroke.color = color;
  style.stroke.width = width;
  style.stroke.cap = kCapButt;
  style.stroke.join = kJoinMiter;
  style.stroke.miter_limit = 4;
  return style;
}

PathSegment Corner(RealPoint p) {
  return PathSegment{p, p, p, true};
}

PathSegment Smooth(RealPoint p, RealPoint in, RealPoint out) {
  return PathSegment{p, in, out, false};
}

Art* AddPath(Document& doc, int16_t order, Art* prep, const std::vector<PathSegment>& segments,
             bool closed, const PathStyle& style) {
  Art* art = nullptr;
  if (doc.NewArt(kArtTypePath, order, prep, &art)) return nullptr;
  art->segments = segments;
  art->closed = closed;
  art->style = style;
  return art;
}

Art* AddPolygon(Document& doc, int16_t order, Art* prep, const std::vector<RealPoint>& points,
                const PathStyle& style) {
  std::vector<PathSegment> segments;
  segments.reserve(points.size());
  for (RealPoint p : points) segments.push_back(Corner(p));
  return AddPath(doc, order, prep, segments, true, style);
}

Art* AddRectangle(Document& doc, int16_t order, Art* prep, const RealRect& r,
                  const PathStyle& style) {
  return AddPolygon(doc, order, prep,
                    {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}},
                    style);
}

Art* AddEllipse(Document& doc, int16_t order, Art* prep, RealPoint c, double rx, double ry,
                const PathStyle& style) {
  // The handle length that makes a quarter cubic closest to a circular arc.
  constexpr double k = 0.5522847498307936;
  double hx = rx * k;
  double hy = ry * k;
  std::vector<PathSegment> segments = {
      Smooth({c.x + rx, c.y}, {c.x + rx, c.y - hy}, {c.x + rx, c.y + hy}),
      Smooth({c.x, c.y + ry}, {c.x + hx, c.y + ry}, {c.x - hx, c.y + ry}),
      Smooth({c.x - rx, c.y}, {c.x - rx, c.y + hy}, {c.x - rx, c.y - hy}),
      Smooth({c.x, c.y - ry}, {c.x - hx, c.y - ry}, {c.x + hx, c.y - ry}),
  };
  return AddPath(doc, order, prep, segments, true, style);
}

Art* AddGroup(Document& doc, int16_t order, Art* prep) {
  Art* art = nullptr;
  if (doc.NewArt(kArtTypeGroup, order, prep, &art)) return nullptr;
  return art;
}

Art* AddCompoundPath(Document& doc, int16_t order, Art* prep, const PathStyle& style) {
  Art* art = nullptr;
  if (doc.NewArt(kArtTypeCompoundPath, order, prep, &art)) return nullptr;
  art->style = style;
  return art;
}

Art* AddBoxArt(Document& doc, int16_t type, int16_t order, Art* prep, const RealRect& box,
               const RealMatrix& matrix, std::string source) {
  if (!IsBoxArtType(type)) return nullptr;
  Art* art = nullptr;
  if (doc.NewArt(type, order, prep, &art)) return nullptr;
  art->box = box;
  art->matrix = matrix;
  art->source = std::move(source);
  return art;
}

std::vector<Art*> Children(const Art& art) {
  std::vector<Art*> out;
  for (Art* c = art.first_child; c; c = c->next) out.push_back(c);
  return out;
}

std::vector<Art*> TopLevelArt(const Layer& layer) {
  return Children(*layer.group);
}

void SelectDeep(Document& doc, Art* art, bool selected) {
  if (!art) return;
  doc.SetSelected(art, selected);
  for (Art* c = art->first_child; c; c = c->next) SelectDeep(doc, c, selected);
}

RealRect Bounds(const Art& art) {
  RealRect r{};
  if (!ArtExtent(art, nullptr, kBoundsOptionsOutline, &r)) return RealRect{0, 0, 0, 0};
  return r;
}

void Transform(Art& art, const RealMatrix& matrix) {
  TransformArtTree(art, matrix, kTransformLineScale, kTransformOptionsPlace);
}

}  // namespace host
