// Reads SVG drawings into host documents: units and viewBox to points with
// the y axis up, layers, groups, <use>, clipping, the whole path grammar,
// basic shapes, transforms, style sheets and paint, names and tags.
#include "host/svg_import.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <pugixml.hpp>

#include "host/builder.h"
#include "host/svg_common.h"
#include "host/svg_source.h"

namespace host {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Handle length of a quarter circle drawn as one cubic.
constexpr double kKappa = 0.5522847498307936;

// --- matrices ---------------------------------------------------------------

const RealMatrix kIdentity{1, 0, 0, 1, 0, 0};

// a then b: the matrix that applies b first and a after it.
RealMatrix Multiply(const RealMatrix& a, const RealMatrix& b) {
  return RealMatrix{a.a * b.a + a.c * b.b,          a.b * b.a + a.d * b.b,
                    a.a * b.c + a.c * b.d,          a.b * b.c + a.d * b.d,
                    a.a * b.tx + a.c * b.ty + a.tx, a.b * b.tx + a.d * b.ty + a.ty};
}

RealPoint Apply(const RealMatrix& m, RealPoint p) {
  return RealPoint{m.a * p.x + m.c * p.y + m.tx, m.b * p.x + m.d * p.y + m.ty};
}

RealMatrix Translation(double x, double y) {
  return RealMatrix{1, 0, 0, 1, x, y};
}

// --- geometry in user units ---------------------------------------------------

struct Subpath {
  std::vector<PathSegment> segments;
  bool closed = false;
};
using Outline = std::vector<Subpath>;

// Collects moves, lines and curves into subpaths of cubic segments.
class PathBuilder {
 public:
  explicit PathBuilder(Outline* out) : out_(out) {}

  void MoveTo(RealPoint p) {
    Finish();
    current_.segments.push_back(Corner(p));
    start_ = p;
    at_ = p;
    open_ = true;
  }
  void LineTo(RealPoint p) {
    Begin();
    current_.segments.push_back(Corner(p));
    at_ = p;
  }
  void CubicTo(RealPoint c1, RealPoint c2, RealPoint p) {
    Begin();
    current_.segments.back().out = c1;
    current_.segments.push_back(PathSegment{p, c2, p, true});
    at_ = p;
  }
  void QuadTo(RealPoint c, RealPoint p) {
    RealPoint c1{at_.x + 2.0 / 3.0 * (c.x - at_.x), at_.y + 2.0 / 3.0 * (c.y - at_.y)};
    RealPoint c2{p.x + 2.0 / 3.0 * (c.x - p.x), p.y + 2.0 / 3.0 * (c.y - p.y)};
    CubicTo(c1, c2, p);
  }
  // An elliptical arc to p, as cubics of at most a quarter turn each.
  void ArcTo(double rx, double ry, double angle, bool large, bool sweep, RealPoint p) {
    RealPoint p0 = at_;
    if (p0.x == p.x && p0.y == p.y) return;
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    if (rx == 0 || ry == 0) {
      LineTo(p);
      return;
    }
    double phi = angle * kPi / 180.0;
    double cs = std::cos(phi), sn = std::sin(phi);
    double dx = (p0.x - p.x) / 2, dy = (p0.y - p.y) / 2;
    double x1 = cs * dx + sn * dy, y1 = -sn * dx + cs * dy;
    double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1) {
      double s = std::sqrt(lambda);
      rx *= s;
      ry *= s;
    }
    double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    double coef = den == 0 ? 0 : std::sqrt(std::max(0.0, num / den));
    if (large == sweep) coef = -coef;
    double cxp = coef * rx * y1 / ry, cyp = -coef * ry * x1 / rx;
    double cx = cs * cxp - sn * cyp + (p0.x + p.x) / 2;
    double cy = sn * cxp + cs * cyp + (p0.y + p.y) / 2;
    auto angle_of = [](double ux, double uy, double vx, double vy) {
      double a = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
      return a;
    };
    double t1 = angle_of(1, 0, (x1 - cxp) / rx, (y1 - cyp) / ry);
    double dt = angle_of((x1 - cxp) / rx, (y1 - cyp) / ry, (-x1 - cxp) / rx, (-y1 - cyp) / ry);
    // Numbers so large that their squares overflow: a line, whose ends the
    // range check then refuses.
    if (!std::isfinite(dt) || !std::isfinite(t1) || !std::isfinite(cx) || !std::isfinite(cy) ||
        !std::isfinite(rx) || !std::isfinite(ry)) {
      LineTo(p);
      return;
    }
    if (!sweep && dt > 0) dt -= 2 * kPi;
    if (sweep && dt < 0) dt += 2 * kPi;
    int pieces = static_cast<int>(std::ceil(std::fabs(dt) / (kPi / 2) - 1e-9));
    if (pieces < 1) pieces = 1;
    double step = dt / pieces;
    double k = 4.0 / 3.0 * std::tan(step / 4);
    auto point = [&](double t) {
      double ex = rx * std::cos(t), ey = ry * std::sin(t);
      return RealPoint{cs * ex - sn * ey + cx, sn * ex + cs * ey + cy};
    };
    auto deriv = [&](double t) {
      double ex = -rx * std::sin(t), ey = ry * std::cos(t);
      return RealPoint{cs * ex - sn * ey, sn * ex + cs * ey};
    };
    double t = t1;
    for (int i = 0; i < pieces; ++i) {
      double t2 = t + step;
      RealPoint a = point(t), b = point(t2), da = deriv(t), db = deriv(t2);
      RealPoint end = i + 1 == pieces ? p : b;
      CubicTo({a.x + k * da.x, a.y + k * da.y}, {b.x - k * db.x, b.y - k * db.y}, end);
      t = t2;
    }
  }
  void Close() {
    if (!open_) return;
    current_.closed = true;
    Finish();
    at_ = start_;
  }
  RealPoint at() const { return at_; }
  void Finish() {
    if (open_) {
      Subpath& s = current_;
      // A closing curve that ends on the start: its handle moves to the first
      // segment and the duplicate anchor goes.
      if (s.closed && s.segments.size() > 1) {
        const PathSegment& last = s.segments.back();
        if (last.p.x == s.segments[0].p.x && last.p.y == s.segments[0].p.y) {
          s.segments[0].in = last.in;
          s.segments.pop_back();
        }
      }
      if (s.segments.size() > 1 || (s.segments.size() == 1 && s.closed)) out_->push_back(s);
    }
    current_ = Subpath{};
    open_ = false;
  }

 private:
  // A drawing command after a close starts a new subpath at the start point.
  void Begin() {
    if (!open_) {
      current_.segments.push_back(Corner(at_));
      start_ = at_;
      open_ = true;
    }
  }
  Outline* out_;
  Subpath current_;
  RealPoint start_{0, 0};
  RealPoint at_{0, 0};
  bool open_ = false;
};

bool IsWsp(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Parses path data; false with the zero-based offset of the fault.
bool ParsePathData(std::string_view d, Outline* out, size_t* fault) {
  PathBuilder b(out);
  size_t i = 0;
  auto skip = [&] {
    while (i < d.size() && IsWsp(d[i])) ++i;
  };
  auto comma = [&] {
    skip();
    if (i < d.size() && d[i] == ',') {
      ++i;
      skip();
    }
  };
  auto number = [&](double* v) {
    comma();
    return ParseNumber(d, &i, v);
  };
  auto flag = [&](bool* f) {
    comma();
    if (i < d.size() && (d[i] == '0' || d[i] == '1')) {
      *f = d[i] == '1';
      ++i;
      return true;
    }
    return false;
  };
  auto starts_number = [&] {
    size_t j = i;
    while (j < d.size() && (IsWsp(d[j]) || d[j] == ',')) ++j;
    return j < d.size() && (std::isdigit(static_cast<unsigned char>(d[j])) || d[j] == '.' ||
                            d[j] == '-' || d[j] == '+');
  };
  char command = 0;
  RealPoint last_control{0, 0};
  char last_command = 0;
  bool first = true;
  skip();
  if (i == d.size()) return true;
  while (true) {
    skip();
    if (i == d.size()) break;
    char letter = d[i];
    if (std::isalpha(static_cast<unsigned char>(letter))) {
      command = letter;
      ++i;
    } else if (command == 0 || !starts_number()) {
      *fault = i;
      return false;
    } else if (command == 'M') {
      command = 'L';
    } else if (command == 'm') {
      command = 'l';
    } else if (command == 'Z' || command == 'z') {
      *fault = i;
      return false;
    }
    if (first && command != 'M' && command != 'm') {
      *fault = i == 0 ? 0 : i - 1;
      return false;
    }
    first = false;
    bool rel = std::islower(static_cast<unsigned char>(command));
    RealPoint at = b.at();
    double ox = rel ? at.x : 0, oy = rel ? at.y : 0;
    size_t here = i;
    switch (std::toupper(static_cast<unsigned char>(command))) {
      case 'M': {
        double x, y;
        if (!number(&x) || !number(&y)) break;
        b.MoveTo({ox + x, oy + y});
        last_command = 'M';
        continue;
      }
      case 'L': {
        double x, y;
        if (!number(&x) || !number(&y)) break;
        b.LineTo({ox + x, oy + y});
        last_command = 'L';
        continue;
      }
      case 'H': {
        double x;
        if (!number(&x)) break;
        b.LineTo({ox + x, at.y});
        last_command = 'H';
        continue;
      }
      case 'V': {
        double y;
        if (!number(&y)) break;
        b.LineTo({at.x, oy + y});
        last_command = 'V';
        continue;
      }
      case 'C': {
        double v[6];
        bool ok = true;
        for (double& e : v) ok = ok && number(&e);
        if (!ok) break;
        RealPoint c2{ox + v[2], oy + v[3]};
        b.CubicTo({ox + v[0], oy + v[1]}, c2, {ox + v[4], oy + v[5]});
        last_control = c2;
        last_command = 'C';
        continue;
      }
      case 'S': {
        double v[4];
        bool ok = true;
        for (double& e : v) ok = ok && number(&e);
        if (!ok) break;
        RealPoint c1 = last_command == 'C'
                           ? RealPoint{2 * at.x - last_control.x, 2 * at.y - last_control.y}
                           : at;
        RealPoint c2{ox + v[0], oy + v[1]};
        b.CubicTo(c1, c2, {ox + v[2], oy + v[3]});
        last_control = c2;
        last_command = 'C';
        continue;
      }
      case 'Q': {
        double v[4];
        bool ok = true;
        for (double& e : v) ok = ok && number(&e);
        if (!ok) break;
        RealPoint c{ox + v[0], oy + v[1]};
        b.QuadTo(c, {ox + v[2], oy + v[3]});
        last_control = c;
        last_command = 'Q';
        continue;
      }
      case 'T': {
        double v[2];
        if (!number(&v[0]) || !number(&v[1])) break;
        RealPoint c = last_command == 'Q'
                          ? RealPoint{2 * at.x - last_control.x, 2 * at.y - last_control.y}
                          : at;
        b.QuadTo(c, {ox + v[0], oy + v[1]});
        last_control = c;
        last_command = 'Q';
        continue;
      }
      case 'A': {
        double rx, ry, angle, x, y;
        bool large, sweep;
        if (!number(&rx) || !number(&ry) || !number(&angle) || !flag(&large) || !flag(&sweep) ||
            !number(&x) || !number(&y))
          break;
        b.ArcTo(rx, ry, angle, large, sweep, {ox + x, oy + y});
        last_command = 'A';
        continue;
      }
      case 'Z':
        b.Close();
        last_command = 'Z';
        continue;
      default:
        *fault = here == 0 ? 0 : here - 1;
        return false;
    }
    *fault = i;
    return false;
  }
  b.Finish();
  return true;
}

// Numbers separated by blanks and commas (points="", viewBox="").
bool ParseNumberList(std::string_view text, std::vector<double>* out) {
  size_t i = 0;
  while (true) {
    while (i < text.size() && (IsWsp(text[i]) || text[i] == ',')) ++i;
    if (i == text.size()) return true;
    double v;
    if (!ParseNumber(text, &i, &v)) return false;
    out->push_back(v);
  }
}

// A transform list: matrix, translate, scale, rotate (with a centre), skewX,
// skewY; the leftmost applies last.
bool ParseTransform(std::string_view text, RealMatrix* out) {
  RealMatrix m = kIdentity;
  size_t i = 0;
  while (true) {
    while (i < text.size() && (IsWsp(text[i]) || text[i] == ',')) ++i;
    if (i == text.size()) break;
    size_t name_start = i;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) ++i;
    std::string_view name = text.substr(name_start, i - name_start);
    while (i < text.size() && IsWsp(text[i])) ++i;
    if (i == text.size() || text[i] != '(') return false;
    size_t close = text.find(')', i);
    if (close == std::string_view::npos) return false;
    std::vector<double> v;
    if (!ParseNumberList(text.substr(i + 1, close - i - 1), &v)) return false;
    i = close + 1;
    RealMatrix t = kIdentity;
    if (name == "matrix" && v.size() == 6) {
      t = RealMatrix{v[0], v[1], v[2], v[3], v[4], v[5]};
    } else if (name == "translate" && (v.size() == 1 || v.size() == 2)) {
      t = Translation(v[0], v.size() == 2 ? v[1] : 0);
    } else if (name == "scale" && (v.size() == 1 || v.size() == 2)) {
      t = RealMatrix{v[0], 0, 0, v.size() == 2 ? v[1] : v[0], 0, 0};
    } else if (name == "rotate" && (v.size() == 1 || v.size() == 3)) {
      double a = v[0] * kPi / 180.0;
      RealMatrix r{std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 0, 0};
      if (v.size() == 3)
        t = Multiply(Translation(v[1], v[2]), Multiply(r, Translation(-v[1], -v[2])));
      else
        t = r;
    } else if (name == "skewX" && v.size() == 1) {
      t = RealMatrix{1, 0, std::tan(v[0] * kPi / 180.0), 1, 0, 0};
    } else if (name == "skewY" && v.size() == 1) {
      t = RealMatrix{1, std::tan(v[0] * kPi / 180.0), 0, 1, 0, 0};
    } else {
      return false;
    }
    m = Multiply(m, t);
  }
  if (!MatrixIsFinite(m)) return false;
  *out = m;
  return true;
}

// --- style -------------------------------------------------------------------

struct Paint {
  enum Kind : uint8_t { kNone, kColor, kCurrent };
  Kind kind = kNone;
  double rgb[3] = {0, 0, 0};
};

struct Style {
  // Inherited.
  Paint fill{Paint::kColor, {0, 0, 0}};
  double fill_opacity = 1;
  bool fill_evenodd = false;
  Paint stroke;
  double stroke_opacity = 1;
  double stroke_width = 1;
  int16_t cap = kCapButt;
  int16_t join = kJoinMiter;
  double miter = 4;
  std::vector<double> dash;
  double dash_offset = 0;
  bool clip_evenodd = false;
  bool visible = true;
  double color[3] = {0, 0, 0};
  double font_size = 16;
  std::string font_family;
  std::string font_weight;
  std::string font_style;
  std::string text_anchor;
  // Not inherited.
  double opacity = 1;
  bool display = true;
  std::string clip_path;
};

// One rule of a style sheet with a simple selector: element, #id, .class
// (several), or a combination of them.
struct Rule {
  std::string element;
  std::string id;
  std::vector<std::string> classes;
  int specificity = 0;
  int order = 0;
  std::vector<std::pair<std::string, std::string>> declarations;
};

std::string_view Href(const pugi::xml_node& node) {
  pugi::xml_attribute a = node.attribute("xlink:href");
  if (!a) a = node.attribute("href");
  return a.value();
}

// Parses a style sheet into rules; selectors we cannot match exactly
// (descendants, pseudo-classes, attributes) are left out.
void ParseStyleSheet(std::string_view css, std::vector<Rule>* rules) {
  std::string text;
  // Comments out.
  for (size_t i = 0; i < css.size(); ++i) {
    if (css[i] == '/' && i + 1 < css.size() && css[i + 1] == '*') {
      size_t end = css.find("*/", i + 2);
      if (end == std::string_view::npos) break;
      i = end + 1;
      continue;
    }
    text += css[i];
  }
  size_t i = 0;
  while (i < text.size()) {
    size_t open = text.find('{', i);
    if (open == std::string::npos) break;
    std::string_view head = Trim(std::string_view(text).substr(i, open - i));
    size_t close = text.find('}', open);
    if (close == std::string::npos) break;
    std::string_view body = std::string_view(text).substr(open + 1, close - open - 1);
    i = close + 1;
    if (!head.empty() && head[0] == '@') {
      // At-rules: a block rule like @media holds nested braces; skip it all.
      if (head.find('{') == std::string_view::npos && body.find('{') != std::string_view::npos) {
        size_t depth = 1, j = open + 1;
        for (; j < text.size() && depth > 0; ++j) {
          if (text[j] == '{') ++depth;
          if (text[j] == '}') --depth;
        }
        i = j;
      }
      continue;
    }
    auto declarations = ParseDeclarations(body);
    while (!head.empty()) {
      size_t comma = head.find(',');
      std::string_view sel = Trim(head.substr(0, comma));
      head = comma == std::string_view::npos ? std::string_view() : head.substr(comma + 1);
      if (sel.empty()) continue;
      bool simple = true;
      for (char c : sel)
        if (IsWsp(c) || c == '>' || c == '+' || c == '~' || c == ':' || c == '[') simple = false;
      if (!simple) continue;
      Rule rule;
      size_t k = 0;
      auto word = [&] {
        size_t s = k;
        while (k < sel.size() && sel[k] != '.' && sel[k] != '#') ++k;
        return std::string(sel.substr(s, k - s));
      };
      if (sel[0] != '.' && sel[0] != '#') {
        rule.element = word();
        if (rule.element == "*") rule.element.clear();
        if (!rule.element.empty()) rule.specificity += 1;
      }
      while (k < sel.size()) {
        char kind = sel[k++];
        std::string name = word();
        if (kind == '.') {
          rule.classes.push_back(name);
          rule.specificity += 100;
        } else {
          rule.id = name;
          rule.specificity += 10000;
        }
      }
      rule.order = static_cast<int>(rules->size());
      rule.declarations = declarations;
      rules->push_back(std::move(rule));
    }
  }
}

bool HasClass(std::string_view list, std::string_view name) {
  size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && IsWsp(list[i])) ++i;
    size_t s = i;
    while (i < list.size() && !IsWsp(list[i])) ++i;
    if (list.substr(s, i - s) == name) return true;
  }
  return false;
}

int16_t CapOf(std::string_view v, int16_t fallback) {
  if (v == "butt") return kCapButt;
  if (v == "round") return kCapRound;
  if (v == "square") return kCapProjecting;
  return fallback;
}

int16_t JoinOf(std::string_view v, int16_t fallback) {
  if (v == "miter" || v == "miter-clip" || v == "arcs") return kJoinMiter;
  if (v == "round") return kJoinRound;
  if (v == "bevel") return kJoinBevel;
  return fallback;
}

double Clamp01(double v) {
  return v < 0 ? 0 : (v > 1 ? 1 : v);
}

// An opacity: a number or a percentage.
bool ParseOpacity(std::string_view v, double* out) {
  v = Trim(v);
  if (!v.empty() && v.back() == '%') {
    double p;
    if (!ParseWholeNumber(v.substr(0, v.size() - 1), &p)) return false;
    *out = Clamp01(p / 100);
    return true;
  }
  double n;
  if (!ParseWholeNumber(v, &n)) return false;
  *out = Clamp01(n);
  return true;
}

// Everything an importer needs while it walks one drawing.
class Importer {
 public:
  Importer(std::string_view text, Document& doc, const SvgLimits& limits)
      : text_(text), doc_(doc), limits_(limits) {}

  SvgStatus Run(std::string* error);

 private:
  bool Fail(const pugi::xml_node& node, const std::string& message);
  bool Index();
  bool SetUpRoot();
  bool WalkChildren(const pugi::xml_node& parent, Art* into, const RealMatrix& ctm,
                    const Style& style, double opacity, int depth);
  bool WalkElement(const pugi::xml_node& el, Art* into, const RealMatrix& parent_ctm,
                   const Style& parent_style, double opacity, int depth, Art** made);
  bool Use(const pugi::xml_node& el, Art* into, const RealMatrix& ctm, const Style& style,
           double opacity, int depth, Art** made);
  bool Viewport(const pugi::xml_node& el, double x, double y, double width, double height,
                RealMatrix* out);
  bool ShapeOutline(const pugi::xml_node& el, std::string_view kind, const Style& style,
                    Outline* out, bool* drawn);
  bool PlaceOutline(const pugi::xml_node& el, Outline& outline, const RealMatrix& m);
  bool MakeShape(const pugi::xml_node& el, Art* into, Outline& outline, const Style& style,
                 double opacity, const RealMatrix& m, Art** made);
  bool MakeBox(const pugi::xml_node& el, std::string_view kind, Art* into, const Style& style,
               const RealMatrix& m, Art** made);
  bool MakeClip(const pugi::xml_node& el, const std::string& ref, Art* group, const RealMatrix& ctm,
                const Style& style, int depth);
  bool NewArt(const pugi::xml_node& el, int16_t type, Art* into, int16_t order, Art** art);
  bool NameAndTags(const pugi::xml_node& el, Art* art, bool name_from_id);
  bool Pages();
  Style Compute(const pugi::xml_node& el, const Style& parent);
  void ApplyProperty(Style& s, const Style& parent, const std::string& key, std::string_view v);
  bool ParsePaint(std::string_view v, const Style& parent, Paint* paint);
  bool GradientColor(const pugi::xml_node& gradient, double rgb[3]);
  bool Length(const pugi::xml_node& el, const char* name, double percent_base, double fallback,
              double* out);
  PathStyle ToPathStyle(const Style& s, double opacity, const RealMatrix& m);
  std::string SourceOf(const pugi::xml_node& el, const Style& s);
  pugi::xml_node Find(std::string_view ref);
  void Restore();
  void Remember(const pugi::xml_node& el, Art* art, const RealMatrix& outer,
                const RealMatrix& inner);
  void Number(Art* art, uint32_t parent, uint32_t index, uint32_t* next);

  std::string_view text_;
  Document& doc_;
  SvgLimits limits_;
  // The parsed drawing, handed to the document when the import succeeds.
  std::shared_ptr<SourceDrawing> drawing_{std::make_shared<SourceDrawing>()};
  pugi::xml_document& xml_{drawing_->xml};
  pugi::xml_node root_;
  std::string error_;
  std::unordered_map<std::string, pugi::xml_node> ids_;
  std::vector<Rule> rules_;
  std::unordered_set<const void*> expanding_;  // <use> targets being expanded
  RealMatrix root_matrix_ = kIdentity;
  RealRect page_{};
  double viewport_width_ = 0;  // user units, for percentages
  double viewport_height_ = 0;
  size_t objects_ = 0;
  size_t segments_ = 0;
  size_t drawn_ = 0;  // art made from the file's content
};

bool Importer::Fail(const pugi::xml_node& node, const std::string& message) {
  if (!error_.empty()) return false;
  std::string where;
  if (node && node.type() == pugi::node_element) {
    ptrdiff_t offset = node.offset_debug();
    if (offset >= 0 && static_cast<size_t>(offset) <= text_.size()) {
      size_t line =
          1 + static_cast<size_t>(std::count(text_.begin(), text_.begin() + offset, '\n'));
      where = "line " + std::to_string(line) + ": ";
    }
    where += "<" + std::string(node.name());
    if (pugi::xml_attribute id = node.attribute("id"))
      where += " id=\"" + std::string(id.value()) + "\"";
    where += ">: ";
  }
  error_ = where + message;
  return false;
}

pugi::xml_node Importer::Find(std::string_view ref) {
  ref = Trim(ref);
  if (ref.empty() || ref[0] != '#') return pugi::xml_node();
  auto it = ids_.find(std::string(ref.substr(1)));
  return it == ids_.end() ? pugi::xml_node() : it->second;
}

// One pass over the whole tree, without recursion: the depth limit, the id
// index and the style sheets.
bool Importer::Index() {
  std::vector<std::pair<pugi::xml_node, int>> stack{{root_, 1}};
  std::string css;
  while (!stack.empty()) {
    auto [node, depth] = stack.back();
    stack.pop_back();
    if (depth > limits_.max_depth)
      return Fail(node,
                  "elements nested deeper than " + std::to_string(limits_.max_depth) + " levels");
    if (pugi::xml_attribute id = node.attribute("id")) ids_.emplace(id.value(), node);
    if (LocalName(node) == "style") {
      for (pugi::xml_node t = node.first_child(); t; t = t.next_sibling())
        if (t.type() == pugi::node_pcdata || t.type() == pugi::node_cdata) css += t.value();
      css += '\n';
    }
    for (pugi::xml_node c = node.last_child(); c; c = c.previous_sibling())
      if (c.type() == pugi::node_element) stack.push_back({c, depth + 1});
  }
  ParseStyleSheet(css, &rules_);
  std::stable_sort(rules_.begin(), rules_.end(),
                   [](const Rule& a, const Rule& b) { return a.specificity < b.specificity; });
  return true;
}

// Converts the root's size and viewBox into the matrix from user units to
// document points: x scaled and moved, y scaled, moved and flipped.
bool Importer::SetUpRoot() {
  std::vector<double> box;
  bool has_box = false;
  if (pugi::xml_attribute vb = root_.attribute("viewBox")) {
    if (!ParseNumberList(vb.value(), &box) || box.size() != 4)
      return Fail(root_, "bad viewBox \"" + std::string(vb.value()) + "\"");
    if (!(box[2] > 0) || !(box[3] > 0))
      return Fail(root_, "viewBox width and height must be positive");
    has_box = true;
  }
  // The page in points; percentages are of the viewBox taken as pixels.
  double w = -1, h = -1;
  auto size = [&](const char* name, double box_size, double* out) {
    pugi::xml_attribute a = root_.attribute(name);
    std::string_view v = Trim(a.value());
    if (!a || v.empty() || v == "auto") {
      *out = has_box ? box_size * kPointsPerPixel : -1;
      return true;
    }
    if (!ParseLengthInPoints(v, has_box ? box_size * kPointsPerPixel : -1, out))
      return Fail(root_, std::string("bad ") + name + " \"" + a.value() + "\" (number and unit " +
                             "px, pt, pc, mm, cm, in or %)");
    if (!(*out > 0)) return Fail(root_, std::string(name) + " must be positive");
    return true;
  };
  if (!size("width", has_box ? box[2] : 0, &w)) return false;
  if (!size("height", has_box ? box[3] : 0, &h)) return false;
  // Neither a size nor a viewBox: the usual default viewport.
  if (w <= 0) w = 300 * kPointsPerPixel;
  if (h <= 0) h = 150 * kPointsPerPixel;
  if (!(w <= limits_.max_coordinate) || !(h <= limits_.max_coordinate))
    return Fail(root_, "page size " + FormatNumber(w) + " x " + FormatNumber(h) +
                           " points is beyond any drawing");
  double sx = kPointsPerPixel, sy = kPointsPerPixel, tx = 0, ty = 0, vx = 0, vy = 0;
  viewport_width_ = w / kPointsPerPixel;
  viewport_height_ = h / kPointsPerPixel;
  if (has_box) {
    vx = box[0];
    vy = box[1];
    viewport_width_ = box[2];
    viewport_height_ = box[3];
    sx = w / box[2];
    sy = h / box[3];
    std::string_view par = Trim(root_.attribute("preserveAspectRatio").value());
    if (par.substr(0, 5) == "defer") par = Trim(par.substr(5));
    std::string_view align = par.substr(0, par.find(' '));
    bool slice = par.find("slice") != std::string_view::npos;
    if (align != "none") {
      double s = slice ? std::max(sx, sy) : std::min(sx, sy);
      double ax = 0.5, ay = 0.5;
      if (align.size() == 8) {
        std::string_view xs = align.substr(1, 3), ys = align.substr(5, 3);
        ax = xs == "Min" ? 0 : (xs == "Max" ? 1 : 0.5);
        ay = ys == "Min" ? 0 : (ys == "Max" ? 1 : 0.5);
      }
      // A viewBox that fits the page is not moved by the last bit of a
      // rounded scale.
      tx = std::fabs(w - box[2] * s) <= 1e-12 * w ? 0 : (w - box[2] * s) * ax;
      ty = std::fabs(h - box[3] * s) <= 1e-12 * h ? 0 : (h - box[3] * s) * ay;
      sx = sy = s;
    }
  }
  // doc x = sx ux + tx, doc y = -(sy uy + ty): the viewBox origin keeps its
  // place, so a drawing written by the exporter comes back unmoved.
  root_matrix_ = RealMatrix{sx, 0, 0, -sy, tx, -ty};
  drawing_->has_view_box = has_box;
  drawing_->scale_x = sx;
  drawing_->scale_y = sy;
  drawing_->align_x = tx;
  drawing_->align_y = -ty;
  // (+ 0.0 turns a -0 into 0 for the reader of coordinates.)
  page_ = RealRect{vx * sx + 0.0, -(vy * sy) + 0.0, vx * sx + w, -(vy * sy + h) + 0.0};
  // Our exporter puts the first artboard at the viewBox origin and says
  // where it lay in the document, so that the document comes back in place.
  if (pugi::xml_attribute at = root_.attribute(kOriginAttribute)) {
    std::vector<double> o;
    if (!ParseNumberList(at.value(), &o) || o.size() != 2 ||
        !(std::fabs(o[0]) <= limits_.max_coordinate) ||
        !(std::fabs(o[1]) <= limits_.max_coordinate))
      return Fail(root_, std::string("bad ") + kOriginAttribute + " \"" + at.value() + "\"");
    root_matrix_.tx += o[0];
    root_matrix_.ty += o[1];
    page_ = RealRect{page_.left + o[0], page_.top + o[1], page_.right + o[0], page_.bottom + o[1]};
  }
  return true;
}

void Importer::ApplyProperty(Style& s, const Style& parent, const std::string& key,
                             std::string_view v) {
  v = Trim(v);
  bool inherit = v == "inherit";
  if (key == "fill") {
    if (inherit)
      s.fill = parent.fill;
    else
      ParsePaint(v, parent, &s.fill);
  } else if (key == "stroke") {
    if (inherit)
      s.stroke = parent.stroke;
    else
      ParsePaint(v, parent, &s.stroke);
  } else if (key == "fill-opacity") {
    if (inherit)
      s.fill_opacity = parent.fill_opacity;
    else
      ParseOpacity(v, &s.fill_opacity);
  } else if (key == "stroke-opacity") {
    if (inherit)
      s.stroke_opacity = parent.stroke_opacity;
    else
      ParseOpacity(v, &s.stroke_opacity);
  } else if (key == "opacity") {
    ParseOpacity(v, &s.opacity);
  } else if (key == "fill-rule") {
    if (inherit)
      s.fill_evenodd = parent.fill_evenodd;
    else if (v == "evenodd" || v == "nonzero")
      s.fill_evenodd = v == "evenodd";
  } else if (key == "clip-rule") {
    if (inherit)
      s.clip_evenodd = parent.clip_evenodd;
    else if (v == "evenodd" || v == "nonzero")
      s.clip_evenodd = v == "evenodd";
  } else if (key == "stroke-width") {
    double w;
    double diagonal =
        std::sqrt((viewport_width_ * viewport_width_ + viewport_height_ * viewport_height_) / 2);
    if (inherit)
      s.stroke_width = parent.stroke_width;
    else if (ParseLength(v, diagonal, s.font_size, &w) && w >= 0)
      s.stroke_width = w;
  } else if (key == "stroke-linecap") {
    s.cap = inherit ? parent.cap : CapOf(v, s.cap);
  } else if (key == "stroke-linejoin") {
    s.join = inherit ? parent.join : JoinOf(v, s.join);
  } else if (key == "stroke-miterlimit") {
    double m;
    if (inherit)
      s.miter = parent.miter;
    else if (ParseWholeNumber(v, &m) && m >= 1)
      s.miter = m;
  } else if (key == "stroke-dasharray") {
    std::vector<double> dash;
    if (inherit)
      s.dash = parent.dash;
    else if (v == "none")
      s.dash.clear();
    else if (ParseNumberList(std::string(v), &dash))
      s.dash = dash;
  } else if (key == "stroke-dashoffset") {
    double o;
    if (inherit)
      s.dash_offset = parent.dash_offset;
    else if (ParseLength(v, 0, s.font_size, &o))
      s.dash_offset = o;
  } else if (key == "display") {
    s.display = v != "none";
  } else if (key == "visibility") {
    if (inherit)
      s.visible = parent.visible;
    else if (v == "visible" || v == "hidden" || v == "collapse")
      s.visible = v == "visible";
  } else if (key == "color") {
    double rgb[3];
    if (inherit)
      std::copy(parent.color, parent.color + 3, s.color);
    else if (ParseColor(v, rgb))
      std::copy(rgb, rgb + 3, s.color);
  } else if (key == "clip-path") {
    s.clip_path = v == "none" ? std::string() : std::string(v);
  } else if (key == "font-size") {
    double size;
    if (inherit)
      s.font_size = parent.font_size;
    else if (ParseLength(v, parent.font_size, parent.font_size, &size) && size > 0)
      s.font_size = size;
  } else if (key == "font-family") {
    s.font_family = inherit ? parent.font_family : std::string(v);
  } else if (key == "font-weight") {
    s.font_weight = inherit ? parent.font_weight : std::string(v);
  } else if (key == "font-style") {
    s.font_style = inherit ? parent.font_style : std::string(v);
  } else if (key == "text-anchor") {
    s.text_anchor = inherit ? parent.text_anchor : std::string(v);
  } else if (key == "font") {
    // The shorthand: only its size is taken (the number with a unit before
    // the family).
    size_t pos = 0;
    while (pos < v.size()) {
      size_t end = v.find(' ', pos);
      std::string_view part =
          v.substr(pos, end == std::string_view::npos ? v.size() - pos : end - pos);
      double size;
      if (!part.empty() && (std::isdigit(static_cast<unsigned char>(part[0])) || part[0] == '.') &&
          ParseLength(part.substr(0, part.find('/')), parent.font_size, parent.font_size, &size))
        s.font_size = size;
      if (end == std::string_view::npos) break;
      pos = end + 1;
    }
  }
}

bool Importer::GradientColor(const pugi::xml_node& gradient, double rgb[3]) {
  pugi::xml_node g = gradient;
  for (int hop = 0; g && hop < 16; ++hop) {
    double sum[3] = {0, 0, 0};
    int stops = 0;
    for (pugi::xml_node stop = g.child("stop"); stop; stop = stop.next_sibling("stop")) {
      std::string color = stop.attribute("stop-color").value();
      for (auto& [k, value] : ParseDeclarations(stop.attribute("style").value()))
        if (k == "stop-color") color = value;
      double c[3] = {0, 0, 0};
      if (!color.empty()) ParseColor(color, c);
      for (int i = 0; i < 3; ++i) sum[i] += c[i];
      ++stops;
    }
    if (stops > 0) {
      for (int i = 0; i < 3; ++i) rgb[i] = sum[i] / stops;
      return true;
    }
    g = Find(Href(g));
  }
  return false;
}

// Gradients are shown by the mean of their stop colours, patterns by a
// middle gray: flat colours are all the document paints with.
bool Importer::ParsePaint(std::string_view v, const Style& parent, Paint* paint) {
  (void)parent;
  if (v == "none" || v == "transparent") {
    paint->kind = Paint::kNone;
    return true;
  }
  if (v == "currentColor" || v == "currentcolor") {
    paint->kind = Paint::kCurrent;
    return true;
  }
  if (v.substr(0, 4) == "url(") {
    size_t close = v.find(')');
    if (close == std::string_view::npos) return false;
    std::string_view ref = Trim(v.substr(4, close - 4));
    if (ref.size() >= 2 && (ref[0] == '"' || ref[0] == '\'')) ref = ref.substr(1, ref.size() - 2);
    std::string_view fallback = Trim(v.substr(close + 1));
    pugi::xml_node target = Find(ref);
    std::string_view kind = target ? LocalName(target) : std::string_view();
    if (kind == "linearGradient" || kind == "radialGradient") {
      double rgb[3];
      if (GradientColor(target, rgb)) {
        paint->kind = Paint::kColor;
        std::copy(rgb, rgb + 3, paint->rgb);
        return true;
      }
    } else if (kind == "pattern") {
      paint->kind = Paint::kColor;
      paint->rgb[0] = paint->rgb[1] = paint->rgb[2] = 0.5;
      return true;
    }
    if (!fallback.empty()) return ParsePaint(fallback, parent, paint);
    paint->kind = Paint::kNone;
    return true;
  }
  double rgb[3];
  if (!ParseColor(v, rgb)) return false;
  paint->kind = Paint::kColor;
  std::copy(rgb, rgb + 3, paint->rgb);
  return true;
}

// Inheritance, then presentation attributes, then the style sheet by
// specificity and order, then the style attribute: each later one wins.
Style Importer::Compute(const pugi::xml_node& el, const Style& parent) {
  Style s = parent;
  s.opacity = 1;
  s.display = true;
  s.clip_path.clear();
  for (pugi::xml_attribute a = el.first_attribute(); a; a = a.next_attribute()) {
    std::string name = a.name();
    if (name == "style" || name == "class" || name == "id" || name == "transform") continue;
    ApplyProperty(s, parent, name, a.value());
  }
  if (!rules_.empty()) {
    std::string_view element = LocalName(el);
    std::string_view id = el.attribute("id").value();
    std::string_view classes = el.attribute("class").value();
    for (const Rule& rule : rules_) {
      if (!rule.element.empty() && rule.element != element) continue;
      if (!rule.id.empty() && rule.id != id) continue;
      bool all = true;
      for (const std::string& c : rule.classes) all = all && HasClass(classes, c);
      if (!all) continue;
      for (const auto& [k, v] : rule.declarations) ApplyProperty(s, parent, k, v);
    }
  }
  if (pugi::xml_attribute style = el.attribute("style"))
    for (const auto& [k, v] : ParseDeclarations(style.value())) ApplyProperty(s, parent, k, v);
  return s;
}

bool Importer::Length(const pugi::xml_node& el, const char* name, double percent_base,
                      double fallback, double* out) {
  pugi::xml_attribute a = el.attribute(name);
  std::string_view v = Trim(a.value());
  if (!a || v.empty() || v == "auto") {
    *out = fallback;
    return true;
  }
  if (!ParseLength(v, percent_base, 16, out))
    return Fail(el, std::string("bad ") + name + " \"" + a.value() + "\"");
  return true;
}

PathStyle Importer::ToPathStyle(const Style& s, double opacity, const RealMatrix& m) {
  PathStyle style{};
  auto color_of = [&](const Paint& p) {
    const double* rgb = p.kind == Paint::kCurrent ? s.color : p.rgb;
    return Rgb(rgb[0], rgb[1], rgb[2]);
  };
  double scale = std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
  style.fill_paint = s.fill.kind != Paint::kNone && s.fill_opacity * opacity > 0;
  style.fill.color = s.fill.kind != Paint::kNone ? color_of(s.fill) : Gray(0);
  style.stroke_paint =
      s.stroke.kind != Paint::kNone && s.stroke_width > 0 && s.stroke_opacity * opacity > 0;
  style.stroke.color = s.stroke.kind != Paint::kNone ? color_of(s.stroke) : Gray(0);
  style.stroke.width = s.stroke_width * scale;
  style.stroke.cap = s.cap;
  style.stroke.join = s.join;
  style.stroke.miter_limit = s.miter;
  std::vector<double> dash = s.dash;
  double total = 0;
  bool negative = false;
  for (double d : dash) {
    total += d;
    negative = negative || d < 0;
  }
  if (negative || !(total > 0)) dash.clear();
  if (dash.size() % 2 == 1) dash.insert(dash.end(), dash.begin(), dash.end());
  if (dash.size() > static_cast<size_t>(kDashArrayCapacity)) dash.resize(kDashArrayCapacity);
  style.stroke.dash.length = static_cast<int16_t>(dash.size());
  for (size_t i = 0; i < dash.size(); ++i) style.stroke.dash.array[i] = dash[i] * scale;
  style.stroke.dash.offset = dash.empty() ? 0 : s.dash_offset * scale;
  style.even_odd = s.fill_evenodd;
  return style;
}

bool Importer::NewArt(const pugi::xml_node& el, int16_t type, Art* into, int16_t order, Art** art) {
  if (++objects_ > limits_.max_objects)
    return Fail(el, "more than " + std::to_string(limits_.max_objects) + " objects");
  if (doc_.NewArt(type, order, into, art) != kNoErr || !*art)
    return Fail(el, "the document refused the object");
  return true;
}

bool Importer::NameAndTags(const pugi::xml_node& el, Art* art, bool name_from_id) {
  if (name_from_id) {
    // A label names the art where an id cannot (spaces, repeats).
    if (pugi::xml_attribute label = el.attribute("inkscape:label"))
      art->name = label.value();
    else if (pugi::xml_attribute id = el.attribute("id"))
      art->name = id.value();
  }
  if (pugi::xml_attribute q = el.attribute(kQuantityAttribute))
    SetTag(*art, kQuantityTagName, "string", q.value());
  if (pugi::xml_attribute t = el.attribute(kTagsAttribute)) {
    std::vector<Tag> tags;
    if (!DecodeOtherTags(t.value(), &tags))
      return Fail(el, std::string("bad ") + kTagsAttribute + " \"" + t.value() + "\"");
    for (const Tag& tag : tags) SetTag(*art, tag.name, tag.type, tag.value);
  }
  if (std::string_view(el.attribute("sodipodi:insensitive").value()) == "true") art->locked = true;
  return true;
}

// Maps an outline from user units into the document, checking every
// coordinate, and sets the corner flags from the handles.
bool Importer::PlaceOutline(const pugi::xml_node& el, Outline& outline, const RealMatrix& m) {
  for (Subpath& s : outline) {
    segments_ += s.segments.size();
    if (segments_ > limits_.max_segments)
      return Fail(el, "more than " + std::to_string(limits_.max_segments) + " path segments");
    for (PathSegment& seg : s.segments) {
      seg.p = Apply(m, seg.p);
      seg.in = Apply(m, seg.in);
      seg.out = Apply(m, seg.out);
      for (double v : {seg.p.x, seg.p.y, seg.in.x, seg.in.y, seg.out.x, seg.out.y}) {
        if (!(std::fabs(v) <= limits_.max_coordinate))
          return Fail(el, "coordinate " + FormatNumber(v) + " points is out of range");
      }
      double ix = seg.in.x - seg.p.x, iy = seg.in.y - seg.p.y;
      double ox = seg.out.x - seg.p.x, oy = seg.out.y - seg.p.y;
      bool has_in = ix != 0 || iy != 0, has_out = ox != 0 || oy != 0;
      double cross = ix * oy - iy * ox;
      double dot = ix * ox + iy * oy;
      double len = std::sqrt((ix * ix + iy * iy) * (ox * ox + oy * oy));
      seg.corner = !(has_in && has_out && dot < 0 && std::fabs(cross) <= 1e-6 * len);
    }
  }
  return true;
}

bool Importer::ShapeOutline(const pugi::xml_node& el, std::string_view kind, const Style& style,
                            Outline* out, bool* drawn) {
  (void)style;
  *drawn = true;
  double w = viewport_width_, h = viewport_height_;
  double diagonal = std::sqrt((w * w + h * h) / 2);
  if (kind == "path") {
    pugi::xml_attribute d = el.attribute("d");
    size_t fault = 0;
    if (!ParsePathData(d.value(), out, &fault)) {
      std::string_view dv = d.value();
      std::string near(dv.substr(fault, 12));
      return Fail(
          el, "bad path data at column " + std::to_string(fault + 1) + " of d (\"" + near + "\")");
    }
    return true;
  }
  PathBuilder b(out);
  if (kind == "rect") {
    double x, y, rw, rh, rx, ry;
    if (!Length(el, "x", w, 0, &x) || !Length(el, "y", h, 0, &y) ||
        !Length(el, "width", w, 0, &rw) || !Length(el, "height", h, 0, &rh) ||
        !Length(el, "rx", w, -1, &rx) || !Length(el, "ry", h, -1, &ry))
      return false;
    if (rw < 0 || rh < 0) return Fail(el, "negative width or height");
    if (rw == 0 || rh == 0) {
      *drawn = false;
      return true;
    }
    if (rx < 0 && ry < 0) rx = ry = 0;
    if (rx < 0) rx = ry;
    if (ry < 0) ry = rx;
    rx = std::min(rx, rw / 2);
    ry = std::min(ry, rh / 2);
    if (rx == 0 || ry == 0) {
      b.MoveTo({x, y});
      b.LineTo({x + rw, y});
      b.LineTo({x + rw, y + rh});
      b.LineTo({x, y + rh});
      b.Close();
    } else {
      double kx = rx * kKappa, ky = ry * kKappa;
      b.MoveTo({x + rx, y});
      b.LineTo({x + rw - rx, y});
      b.CubicTo({x + rw - rx + kx, y}, {x + rw, y + ry - ky}, {x + rw, y + ry});
      b.LineTo({x + rw, y + rh - ry});
      b.CubicTo({x + rw, y + rh - ry + ky}, {x + rw - rx + kx, y + rh}, {x + rw - rx, y + rh});
      b.LineTo({x + rx, y + rh});
      b.CubicTo({x + rx - kx, y + rh}, {x, y + rh - ry + ky}, {x, y + rh - ry});
      b.LineTo({x, y + ry});
      b.CubicTo({x, y + ry - ky}, {x + rx - kx, y}, {x + rx, y});
      b.Close();
    }
  } else if (kind == "circle" || kind == "ellipse") {
    double cx, cy, rx, ry;
    if (!Length(el, "cx", w, 0, &cx) || !Length(el, "cy", h, 0, &cy)) return false;
    if (kind == "circle") {
      if (!Length(el, "r", diagonal, 0, &rx)) return false;
      ry = rx;
    } else {
      if (!Length(el, "rx", w, -1, &rx) || !Length(el, "ry", h, -1, &ry)) return false;
      if (rx < 0) rx = ry;
      if (ry < 0) ry = rx;
    }
    if (rx < 0 || ry < 0) return Fail(el, "negative radius");
    if (rx == 0 || ry == 0) {
      *drawn = false;
      return true;
    }
    double kx = rx * kKappa, ky = ry * kKappa;
    b.MoveTo({cx + rx, cy});
    b.CubicTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
    b.CubicTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
    b.CubicTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
    b.CubicTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
    b.Close();
  } else if (kind == "line") {
    double x1, y1, x2, y2;
    if (!Length(el, "x1", w, 0, &x1) || !Length(el, "y1", h, 0, &y1) ||
        !Length(el, "x2", w, 0, &x2) || !Length(el, "y2", h, 0, &y2))
      return false;
    b.MoveTo({x1, y1});
    b.LineTo({x2, y2});
  } else {  // polyline, polygon
    std::vector<double> v;
    if (!ParseNumberList(el.attribute("points").value(), &v) || v.size() % 2 != 0)
      return Fail(el, "bad points \"" + std::string(el.attribute("points").value()) + "\"");
    for (size_t i = 0; i + 1 < v.size(); i += 2) {
      if (i == 0)
        b.MoveTo({v[0], v[1]});
      else
        b.LineTo({v[i], v[i + 1]});
    }
    if (kind == "polygon") b.Close();
  }
  b.Finish();
  return true;
}

bool Importer::MakeShape(const pugi::xml_node& el, Art* into, Outline& outline, const Style& s,
                         double opacity, const RealMatrix& m, Art** made) {
  if (!PlaceOutline(el, outline, m)) return false;
  if (outline.empty()) return true;  // nothing drawable, as an empty d
  PathStyle style = ToPathStyle(s, opacity, m);
  if (!(style.stroke.width <= limits_.max_coordinate) ||
      !(std::fabs(style.stroke.dash.offset) <= limits_.max_coordinate))
    return Fail(el, "stroke width " + FormatNumber(style.stroke.width) + " is out of range");
  for (int i = 0; i < style.stroke.dash.length; ++i)
    if (!(style.stroke.dash.array[i] <= limits_.max_coordinate))
      return Fail(el, "dash length out of range");
  // Process colours written by the exporter come back exactly.
  auto cmyk = [&](const char* name, HostColor* color) {
    std::vector<double> v;
    if (pugi::xml_attribute a = el.attribute(name))
      if (ParseNumberList(a.value(), &v) && v.size() == 4) *color = Cmyk(v[0], v[1], v[2], v[3]);
  };
  if (style.fill_paint) cmyk(kFillCmykAttribute, &style.fill.color);
  if (style.stroke_paint) cmyk(kStrokeCmykAttribute, &style.stroke.color);
  bool compound =
      outline.size() > 1 || std::string_view(el.attribute(kCompoundAttribute).value()) == "1";
  Art* art = nullptr;
  if (!compound) {
    if (!NewArt(el, kArtTypePath, into, kPlaceInsideOnTop, &art)) return false;
    art->segments = std::move(outline[0].segments);
    art->closed = outline[0].closed;
    art->style = style;
  } else {
    if (!NewArt(el, kArtTypeCompoundPath, into, kPlaceInsideOnTop, &art)) return false;
    art->style = style;
    for (Subpath& sub : outline) {
      Art* child = nullptr;
      if (!NewArt(el, kArtTypePath, art, kPlaceInsideOnBottom, &child)) return false;
      child->segments = std::move(sub.segments);
      child->closed = sub.closed;
      child->style = style;
    }
  }
  ++drawn_;
  *made = art;
  return true;
}

// The element as text to write back: its transform goes into the art's
// matrix, its name and tags into the art, and the inherited paint and font
// it is drawn with are written into its style so that it looks the same
// wherever it is written.
std::string Importer::SourceOf(const pugi::xml_node& el, const Style& s) {
  pugi::xml_document scratch;
  pugi::xml_node copy = scratch.append_copy(el);
  copy.remove_attribute("transform");
  copy.remove_attribute("id");
  for (pugi::xml_attribute a = copy.first_attribute(); a;) {
    pugi::xml_attribute next = a.next_attribute();
    if (std::string_view(a.name()).substr(0, 12) == "data-zolvane") copy.remove_attribute(a);
    a = next;
  }
  std::string prefix;
  auto hex = [](const double rgb[3]) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", static_cast<int>(rgb[0] * 255 + 0.5),
                  static_cast<int>(rgb[1] * 255 + 0.5), static_cast<int>(rgb[2] * 255 + 0.5));
    return std::string(buffer);
  };
  auto paint = [&](const Paint& p) {
    if (p.kind == Paint::kNone) return std::string("none");
    return hex(p.kind == Paint::kCurrent ? s.color : p.rgb);
  };
  if (LocalName(el) == "text") {
    // Only what differs from the defaults and the element does not say in
    // its own style: reading the written element again adds nothing.
    std::unordered_set<std::string> own;
    for (const auto& [k, v] : ParseDeclarations(el.attribute("style").value())) own.insert(k);
    auto add = [&](const char* key, const std::string& value) {
      if (!own.count(key)) prefix += std::string(key) + ":" + value + ";";
    };
    if (s.fill.kind != Paint::kColor || s.fill.rgb[0] != 0 || s.fill.rgb[1] != 0 ||
        s.fill.rgb[2] != 0)
      add("fill", paint(s.fill));
    if (s.stroke.kind != Paint::kNone) {
      add("stroke", paint(s.stroke));
      add("stroke-width", FormatNumber(s.stroke_width));
    }
    if (s.font_size != 16) add("font-size", FormatNumber(s.font_size) + "px");
    if (!s.font_family.empty()) add("font-family", s.font_family);
    if (!s.font_weight.empty()) add("font-weight", s.font_weight);
    if (!s.font_style.empty()) add("font-style", s.font_style);
    if (!s.text_anchor.empty()) add("text-anchor", s.text_anchor);
  }
  if (!prefix.empty()) {
    pugi::xml_attribute style = copy.attribute("style");
    if (!style) style = copy.append_attribute("style");
    style.set_value((prefix + style.value()).c_str());
  }
  std::ostringstream printed;
  copy.print(printed, "", pugi::format_raw);
  std::string text = printed.str();
  // Declare the prefixes the element uses, so that it stands on its own.
  for (pugi::xml_attribute a = root_.first_attribute(); a; a = a.next_attribute()) {
    std::string_view name = a.name();
    if (name.substr(0, 6) != "xmlns:") continue;
    std::string used = std::string(name.substr(6)) + ":";
    if (text.find(used) != std::string::npos && !copy.attribute(a.name()))
      copy.append_attribute(a.name()).set_value(a.value());
  }
  printed.str("");
  copy.print(printed, "", pugi::format_raw);
  return printed.str();
}

bool Importer::MakeBox(const pugi::xml_node& el, std::string_view kind, Art* into, const Style& s,
                       const RealMatrix& m, Art** made) {
  double w = viewport_width_, h = viewport_height_;
  RealRect box{};
  int16_t type = kArtTypePluginArt;
  if (kind == "image" || kind == "foreignObject") {
    double x, y, bw, bh;
    if (!Length(el, "x", w, 0, &x) || !Length(el, "y", h, 0, &y) ||
        !Length(el, "width", w, 0, &bw) || !Length(el, "height", h, 0, &bh))
      return false;
    if (bw < 0 || bh < 0) return Fail(el, "negative width or height");
    if (bw == 0 || bh == 0) return true;
    box = RealRect{x, y + bh, x + bw, y};
    if (kind == "image") type = Href(el).substr(0, 5) == "data:" ? kArtTypeRaster : kArtTypePlaced;
  } else {
    // Text: an estimate from the positions, sizes and lengths of its runs.
    type = kArtTypeText;
    bool any = false;
    double x = 0, y = 0;
    std::vector<std::pair<pugi::xml_node, double>> stack{{el, s.font_size}};
    while (!stack.empty()) {
      auto [node, size] = stack.back();
      stack.pop_back();
      if (node.type() == pugi::node_element) {
        std::vector<double> v;
        if (ParseNumberList(node.attribute("x").value(), &v) && !v.empty()) x = v[0];
        v.clear();
        if (ParseNumberList(node.attribute("y").value(), &v) && !v.empty()) y = v[0];
        double fs = size;
        if (node != el) {
          std::string fsv = node.attribute("font-size").value();
          for (auto& [k, value] : ParseDeclarations(node.attribute("style").value()))
            if (k == "font-size") fsv = value;
          if (!fsv.empty()) ParseLength(fsv, size, size, &fs);
        }
        for (pugi::xml_node c = node.last_child(); c; c = c.previous_sibling())
          stack.push_back({c, fs});
      } else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        std::string_view t = Trim(node.value());
        if (t.empty()) continue;
        size_t chars = 0;
        for (char c : t)
          if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
        double width = 0.55 * size * static_cast<double>(chars);
        double left = x;
        if (s.text_anchor == "middle") left = x - width / 2;
        if (s.text_anchor == "end") left = x - width;
        RealRect r{left, y + 0.25 * size, left + width, y - 0.8 * size};
        if (!any) {
          box = r;
        } else {
          box.left = std::min(box.left, r.left);
          box.right = std::max(box.right, r.right);
          box.top = std::max(box.top, r.top);
          box.bottom = std::min(box.bottom, r.bottom);
        }
        any = true;
        x += width;
      }
    }
    if (!any) return true;  // empty text draws nothing
  }
  RealPoint corners[4] = {
      {box.left, box.top}, {box.right, box.bottom}, {box.left, box.bottom}, {box.right, box.top}};
  for (RealPoint c : corners) {
    RealPoint p = Apply(m, c);
    if (!(std::fabs(p.x) <= limits_.max_coordinate) || !(std::fabs(p.y) <= limits_.max_coordinate))
      return Fail(el, "coordinate out of range");
  }
  Art* art = nullptr;
  if (!NewArt(el, type, into, kPlaceInsideOnTop, &art)) return false;
  art->box = box;
  art->matrix = m;
  art->source = SourceOf(el, s);
  ++drawn_;
  *made = art;
  return true;
}

// The viewport of a nested <svg> or a <symbol>: a move to x, y and the
// viewBox fitted into width by height.
bool Importer::Viewport(const pugi::xml_node& el, double x, double y, double width, double height,
                        RealMatrix* out) {
  *out = Translation(x, y);
  pugi::xml_attribute vb = el.attribute("viewBox");
  if (!vb) return true;
  std::vector<double> box;
  if (!ParseNumberList(vb.value(), &box) || box.size() != 4 || !(box[2] > 0) || !(box[3] > 0))
    return Fail(el, "bad viewBox \"" + std::string(vb.value()) + "\"");
  double sx = width / box[2], sy = height / box[3];
  std::string_view par = Trim(el.attribute("preserveAspectRatio").value());
  double tx = 0, ty = 0;
  if (par.substr(0, 4) != "none") {
    double s = std::min(sx, sy);
    tx = (width - box[2] * s) / 2;
    ty = (height - box[3] * s) / 2;
    sx = sy = s;
  }
  *out = Multiply(*out, RealMatrix{sx, 0, 0, sy, tx - box[0] * sx, ty - box[1] * sy});
  return true;
}

bool Importer::Use(const pugi::xml_node& el, Art* into, const RealMatrix& ctm, const Style& style,
                   double opacity, int depth, Art** made) {
  std::string_view href = Href(el);
  pugi::xml_node target = Find(href);
  if (!target) return Fail(el, "refers to missing \"" + std::string(href) + "\"");
  if (expanding_.count(target.internal_object()))
    return Fail(el, "recursive <use> of \"" + std::string(href) + "\"");
  double x, y;
  if (!Length(el, "x", viewport_width_, 0, &x) || !Length(el, "y", viewport_height_, 0, &y))
    return false;
  RealMatrix m = Multiply(ctm, Translation(x, y));
  expanding_.insert(target.internal_object());
  bool ok = true;
  std::string_view kind = LocalName(target);
  if (kind == "symbol" || kind == "svg") {
    double w, h;
    ok = Length(el, "width", viewport_width_, -1, &w) &&
         Length(el, "height", viewport_height_, -1, &h);
    if (ok) {
      if (w < 0 && !Length(target, "width", viewport_width_, viewport_width_, &w)) ok = false;
      if (h < 0 && !Length(target, "height", viewport_height_, viewport_height_, &h)) ok = false;
      RealMatrix v;
      ok = ok && Viewport(target, 0, 0, w, h, &v);
      if (ok) {
        Style inner = Compute(target, style);
        Art* group = nullptr;
        ok = NewArt(el, kArtTypeGroup, into, kPlaceInsideOnTop, &group) &&
             WalkChildren(target, group, Multiply(m, v), inner, opacity * inner.opacity, depth + 1);
        *made = group;
      }
    }
  } else {
    ok = WalkElement(target, into, m, style, opacity, depth + 1, made);
  }
  expanding_.erase(target.internal_object());
  return ok;
}

// The clipping path of a clipped group: every shape of the <clipPath>
// (through <use> too) in the clipped element's user space, as one path or
// compound path marked as clipping, on top of the group.
bool Importer::MakeClip(const pugi::xml_node& el, const std::string& ref, Art* group,
                        const RealMatrix& ctm, const Style& style, int depth) {
  std::string_view r = Trim(ref);
  if (r.substr(0, 4) != "url(" || r.back() != ')') return Fail(el, "bad clip-path \"" + ref + "\"");
  std::string_view id = Trim(r.substr(4, r.size() - 5));
  if (id.size() >= 2 && (id[0] == '"' || id[0] == '\'')) id = id.substr(1, id.size() - 2);
  pugi::xml_node clip = Find(id);
  if (!clip || LocalName(clip) != "clipPath")
    return Fail(el, "clip-path refers to missing \"" + std::string(id) + "\"");
  RealMatrix base = ctm;
  if (pugi::xml_attribute t = clip.attribute("transform")) {
    RealMatrix local;
    if (!ParseTransform(t.value(), &local)) return Fail(clip, "bad transform");
    base = Multiply(ctm, local);
  }
  Outline all;
  bool even_odd = false;
  std::vector<std::pair<pugi::xml_node, RealMatrix>> shapes;
  std::vector<std::tuple<pugi::xml_node, RealMatrix, int>> stack;
  for (pugi::xml_node c = clip.last_child(); c; c = c.previous_sibling())
    if (c.type() == pugi::node_element) stack.emplace_back(c, base, depth + 1);
  while (!stack.empty()) {
    auto [node, m, d] = stack.back();
    stack.pop_back();
    if (d > limits_.max_depth) return Fail(node, "clipping path nested too deep");
    RealMatrix local = kIdentity;
    if (pugi::xml_attribute t = node.attribute("transform"))
      if (!ParseTransform(t.value(), &local)) return Fail(node, "bad transform");
    RealMatrix nm = Multiply(m, local);
    std::string_view kind = LocalName(node);
    if (kind == "use") {
      pugi::xml_node target = Find(Href(node));
      if (!target) return Fail(node, "refers to missing \"" + std::string(Href(node)) + "\"");
      if (target == clip || target == node) return Fail(node, "recursive <use>");
      double x, y;
      if (!Length(node, "x", viewport_width_, 0, &x) || !Length(node, "y", viewport_height_, 0, &y))
        return false;
      stack.emplace_back(target, Multiply(nm, Translation(x, y)), d + 1);
      continue;
    }
    if (kind == "g") {
      for (pugi::xml_node c = node.last_child(); c; c = c.previous_sibling())
        if (c.type() == pugi::node_element) stack.emplace_back(c, nm, d + 1);
      continue;
    }
    if (kind != "path" && kind != "rect" && kind != "circle" && kind != "ellipse" &&
        kind != "polygon" && kind != "polyline" && kind != "line")
      continue;
    Style s = Compute(node, style);
    if (!s.display) continue;
    even_odd = even_odd || s.clip_evenodd;
    Outline outline;
    bool drawn = false;
    if (!ShapeOutline(node, kind, s, &outline, &drawn)) return false;
    if (!PlaceOutline(node, outline, Multiply(root_matrix_, nm))) return false;
    for (Subpath& sp : outline) all.push_back(std::move(sp));
  }
  if (all.empty()) {
    // Nothing lets anything through: an empty rectangle clips it all away.
    RealPoint p = Apply(Multiply(root_matrix_, base), {0, 0});
    all.push_back(Subpath{{Corner(p), Corner(p), Corner(p)}, true});
  }
  PathStyle clip_style{};
  clip_style.clip = true;
  clip_style.even_odd = even_odd;
  clip_style.stroke.miter_limit = 4;
  Art* art = nullptr;
  if (all.size() == 1) {
    if (!NewArt(el, kArtTypePath, group, kPlaceInsideOnTop, &art)) return false;
    art->segments = std::move(all[0].segments);
    art->closed = all[0].closed;
    art->style = clip_style;
  } else {
    if (!NewArt(el, kArtTypeCompoundPath, group, kPlaceInsideOnTop, &art)) return false;
    art->style = clip_style;
    for (Subpath& sp : all) {
      Art* child = nullptr;
      if (!NewArt(el, kArtTypePath, art, kPlaceInsideOnBottom, &child)) return false;
      child->segments = std::move(sp.segments);
      child->closed = sp.closed;
      child->style = clip_style;
    }
  }
  // The clip path's id names the clipping art, unless the exporter made it up.
  std::string_view clip_id = clip.attribute("id").value();
  if (clip_id.substr(0, 13) != "zolvane-clip-") art->name = std::string(clip_id);
  group->clipped = true;
  return true;
}

bool Importer::WalkChildren(const pugi::xml_node& parent, Art* into, const RealMatrix& ctm,
                            const Style& style, double opacity, int depth) {
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    Art* made = nullptr;
    if (!WalkElement(c, into, ctm, style, opacity, depth + 1, &made)) return false;
  }
  return true;
}

bool Importer::WalkElement(const pugi::xml_node& el, Art* into, const RealMatrix& parent_ctm,
                           const Style& parent_style, double parent_opacity, int depth,
                           Art** made) {
  *made = nullptr;
  if (depth > limits_.max_depth)
    return Fail(el, "nested deeper than " + std::to_string(limits_.max_depth) + " levels");
  std::string_view kind = LocalName(el);
  if (!IsDrawn(kind)) return true;  // defs, metadata, ...
  bool group_like = IsGroupLike(kind);
  bool shape = IsShape(kind);
  Style style = Compute(el, parent_style);
  double opacity = parent_opacity * style.opacity;
  RealMatrix ctm = parent_ctm;
  if (pugi::xml_attribute t = el.attribute("transform")) {
    RealMatrix local;
    if (!ParseTransform(t.value(), &local))
      return Fail(el, "bad transform \"" + std::string(t.value()) + "\"");
    ctm = Multiply(parent_ctm, local);
  }
  if (kind == "svg") {
    double x, y, w, h;
    if (!Length(el, "x", viewport_width_, 0, &x) || !Length(el, "y", viewport_height_, 0, &y) ||
        !Length(el, "width", viewport_width_, viewport_width_, &w) ||
        !Length(el, "height", viewport_height_, viewport_height_, &h))
      return false;
    RealMatrix v;
    if (!Viewport(el, x, y, w, h, &v)) return false;
    ctm = Multiply(ctm, v);
  }
  Art* target = into;
  Art* clip_group = nullptr;
  if (!style.clip_path.empty()) {
    if (!NewArt(el, kArtTypeGroup, into, kPlaceInsideOnTop, &clip_group)) return false;
    target = clip_group;
  }
  Art* art = nullptr;
  if (group_like) {
    if (clip_group) {
      art = clip_group;
    } else if (!NewArt(el, kArtTypeGroup, into, kPlaceInsideOnTop, &art)) {
      return false;
    }
    if (kind == "switch") {
      for (pugi::xml_node c = el.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        Art* child = nullptr;
        if (!WalkElement(c, art, ctm, style, opacity, depth + 1, &child)) return false;
        if (child) break;
      }
    } else if (!WalkChildren(el, art, ctm, style, opacity, depth)) {
      return false;
    }
  } else if (kind == "use") {
    if (!Use(el, target, ctm, style, opacity, depth, &art)) return false;
    if (art && !clip_group) {
      // The expanded copy carries the use's own name, when it has one.
      if (el.attribute("id")) art->name = el.attribute("id").value();
    }
  } else if (shape) {
    Outline outline;
    bool drawn = false;
    if (!ShapeOutline(el, kind, style, &outline, &drawn)) return false;
    if (drawn && !MakeShape(el, target, outline, style, opacity, Multiply(root_matrix_, ctm), &art))
      return false;
  } else {
    if (!MakeBox(el, kind, target, style, Multiply(root_matrix_, ctm), &art)) return false;
  }
  if (clip_group) {
    if (!MakeClip(el, style.clip_path, clip_group, ctm, style, depth)) return false;
    art = clip_group;
  }
  if (!art) return true;
  if (kind != "use" || clip_group) {
    if (!NameAndTags(el, art, true)) return false;
  } else if (!NameAndTags(el, art, false)) {
    return false;
  }
  if (!style.display || (!group_like && !style.visible)) art->hidden = true;
  Remember(el, art, Multiply(root_matrix_, parent_ctm), Multiply(root_matrix_, ctm));
  *made = art;
  return true;
}

// The art keeps the element it was read from and the spaces it was read
// in, so that the exporter can write it back as it was.
void Importer::Remember(const pugi::xml_node& el, Art* art, const RealMatrix& outer,
                        const RealMatrix& inner) {
  art->origin.element = el.internal_object();
  art->origin.outer = outer;
  art->origin.inner = inner;
  drawing_->made.insert(el.internal_object());
}

// Gives every imported art its place in the imported tree, which the
// exporter compares with the tree it writes.
void Importer::Number(Art* art, uint32_t parent, uint32_t index, uint32_t* next) {
  art->origin.id = ++*next;
  art->origin.parent = parent;
  art->origin.index = index;
  art->origin.hidden = art->hidden;
  uint32_t i = 0;
  for (Art* c = art->first_child; c; c = c->next) Number(c, art->origin.id, i++, next);
  art->origin.children = i;
}

bool Importer::Pages() {
  std::vector<RealRect> pages;
  for (pugi::xml_node view = root_.child("sodipodi:namedview"); view;
       view = view.next_sibling("sodipodi:namedview")) {
    for (pugi::xml_node page = view.child("inkscape:page"); page;
         page = page.next_sibling("inkscape:page")) {
      double x, y, w, h;
      if (!Length(page, "x", 0, 0, &x) || !Length(page, "y", 0, 0, &y) ||
          !Length(page, "width", 0, 0, &w) || !Length(page, "height", 0, 0, &h))
        return false;
      if (!(w > 0) || !(h > 0)) return Fail(page, "page width and height must be positive");
      RealPoint a = Apply(root_matrix_, {x, y}), b = Apply(root_matrix_, {x + w, y + h});
      RealRect r{std::min(a.x, b.x), std::max(a.y, b.y), std::max(a.x, b.x), std::min(a.y, b.y)};
      for (double v : {r.left, r.top, r.right, r.bottom})
        if (!(std::fabs(v) <= limits_.max_coordinate)) return Fail(page, "page out of range");
      pages.push_back(r);
    }
  }
  if (pages.empty()) pages.push_back(page_);
  if (static_cast<int32_t>(pages.size()) > kMaxArtboards)
    return Fail(root_, "more than " + std::to_string(kMaxArtboards) + " pages");
  doc_.UpdateArtboard(0, pages[0]);
  for (size_t i = 1; i < pages.size(); ++i) {
    int32_t index = 0;
    if (doc_.AddArtboard(pages[i], &index) != kNoErr) return Fail(root_, "too many pages");
  }
  return true;
}

void Importer::Restore() {
  while (doc_.LayerCount() > 1) doc_.DeleteLayer(doc_.NthLayer(0));
  Layer* layer = doc_.NthLayer(0);
  while (Art* child = layer->group->first_child) doc_.Dispose(child);
  layer->title = "Layer 1";
  layer->visible = true;
  layer->editable = true;
  doc_.set_current_layer(layer);
  while (doc_.artboards().size() > 1)
    doc_.DeleteArtboard(static_cast<int32_t>(doc_.artboards().size()) - 1);
}

// The parser accepts comments that hold "--", which XML forbids; such a
// file comes from a broken writer and is refused like any malformed XML.
// Returns the offset of the fault, or npos.
size_t BadComment(std::string_view text) {
  size_t i = 0;
  while (true) {
    size_t open = text.find('<', i);
    if (open == std::string_view::npos) return open;
    if (text.substr(open, 9) == "<![CDATA[") {
      size_t end = text.find("]]>", open + 9);
      if (end == std::string_view::npos) return std::string_view::npos;
      i = end + 3;
    } else if (text.substr(open, 4) == "<!--") {
      size_t end = text.find("-->", open + 4);
      if (end == std::string_view::npos) return std::string_view::npos;
      size_t dashes = text.substr(open + 4, end - open - 4).find("--");
      if (dashes != std::string_view::npos) return open + 4 + dashes;
      if (end > open + 4 && text[end - 1] == '-') return end - 1;
      i = end + 3;
    } else {
      i = open + 1;
    }
  }
}

SvgStatus Importer::Run(std::string* error) {
  auto give_up = [&] {
    *error = error_;
    return SvgStatus::kBadSvg;
  };
  if (Trim(text_).empty()) {
    error_ = "the file is empty";
    return give_up();
  }
  if (text_.size() > limits_.max_file_bytes) {
    error_ = "the file is larger than " + std::to_string(limits_.max_file_bytes) + " bytes";
    return give_up();
  }
  if (doc_.LayerCount() != 1 || doc_.NthLayer(0)->group->first_child) {
    error_ = "the document to import into is not empty";
    return give_up();
  }
  pugi::xml_parse_result parsed =
      // Blank text is kept: it separates the runs of a text, and the
      // exporter writes the elements it copies as they were.
      xml_.load_buffer(text_.data(), text_.size(), pugi::parse_default | pugi::parse_ws_pcdata,
                       pugi::encoding_auto);
  size_t comment_fault = parsed ? BadComment(text_) : std::string_view::npos;
  if (!parsed || comment_fault != std::string_view::npos) {
    size_t offset = comment_fault != std::string_view::npos
                        ? comment_fault
                        : static_cast<size_t>(std::max<ptrdiff_t>(0, parsed.offset));
    offset = std::min(offset, text_.size());
    size_t line = 1 + static_cast<size_t>(std::count(text_.begin(), text_.begin() + offset, '\n'));
    size_t line_start = text_.rfind('\n', offset == 0 ? 0 : offset - 1);
    size_t column =
        line_start == std::string_view::npos || offset == 0 ? offset + 1 : offset - line_start;
    error_ = "line " + std::to_string(line) + ", column " + std::to_string(column) +
             ": malformed XML: " +
             (parsed ? std::string("\"--\" inside a comment") : std::string(parsed.description()));
    return give_up();
  }
  root_ = xml_.document_element();
  if (!root_ || LocalName(root_) != "svg") {
    error_ = root_ ? "the root element is <" + std::string(root_.name()) + ">, not <svg>"
                   : "no root element";
    return give_up();
  }
  bool ok = Index() && SetUpRoot();
  if (ok) {
    Style base;
    Style root_style = Compute(root_, base);
    double opacity = root_style.opacity;
    Layer* first = doc_.NthLayer(0);
    bool first_used = false;
    Layer* loose = nullptr;  // the layer that takes content outside layers
    auto next_layer = [&]() -> Layer* {
      if (!first_used) {
        first_used = true;
        return first;
      }
      Layer* layer = nullptr;
      if (doc_.InsertLayer(nullptr, kPlaceAboveAll, &layer) != kNoErr) return nullptr;
      return layer;
    };
    for (pugi::xml_node c = root_.first_child(); c && ok; c = c.next_sibling()) {
      if (c.type() != pugi::node_element) continue;
      if (IsLayerGroup(c)) {
        loose = nullptr;
        Layer* layer = next_layer();
        if (!layer) {
          ok = Fail(c, "the document refused a layer");
          break;
        }
        Style s = Compute(c, root_style);
        std::string label = c.attribute("inkscape:label").value();
        if (label.empty()) label = c.attribute("id").value();
        if (!label.empty()) layer->title = label;
        layer->visible = s.display && s.visible;
        layer->editable = std::string_view(c.attribute("sodipodi:insensitive").value()) != "true";
        RealMatrix ctm = kIdentity;
        if (pugi::xml_attribute t = c.attribute("transform"))
          if (!ParseTransform(t.value(), &ctm)) {
            ok = Fail(c, "bad transform \"" + std::string(t.value()) + "\"");
            break;
          }
        Art* into = layer->group;
        Remember(c, into, root_matrix_, Multiply(root_matrix_, ctm));
        if (!s.clip_path.empty()) {
          Art* group = nullptr;
          ok = NewArt(c, kArtTypeGroup, into, kPlaceInsideOnTop, &group) &&
               WalkChildren(c, group, ctm, s, opacity * s.opacity, 1) &&
               MakeClip(c, s.clip_path, group, ctm, s, 1);
        } else {
          ok = WalkChildren(c, into, ctm, s, opacity * s.opacity, 1);
        }
        continue;
      }
      if (!IsDrawn(LocalName(c))) continue;  // defs, style, metadata, page settings
      if (!loose) {
        loose = next_layer();
        if (!loose) {
          ok = Fail(c, "the document refused a layer");
          break;
        }
        if (loose == first) loose->title = "Layer 1";
      }
      Art* made = nullptr;
      ok = WalkElement(c, loose->group, kIdentity, root_style, opacity, 2, &made);
    }
    if (ok && drawn_ == 0) ok = Fail(root_, "the drawing holds nothing to import");
    if (ok) ok = Pages();
  }
  if (!ok) {
    Restore();
    return give_up();
  }
  doc_.set_current_layer(doc_.NthLayer(0));
  if (root_matrix_.b == 0 && root_matrix_.c == 0 && root_matrix_.a == -root_matrix_.d &&
      root_matrix_.a > 0)
    drawing_->unit = root_matrix_.a;
  drawing_->page_left = page_.left;
  drawing_->page_top = page_.top;
  drawing_->page_right = page_.right;
  drawing_->page_bottom = page_.bottom;
  drawing_->view_width = viewport_width_;
  drawing_->view_height = viewport_height_;
  uint32_t next = 0;
  for (int32_t i = 0; i < doc_.LayerCount(); ++i) {
    Layer* layer = doc_.NthLayer(i);
    Number(layer->group, 0, 0, &next);
    layer->group->origin.hidden = !layer->visible;
  }
  doc_.set_source(drawing_);
  return SvgStatus::kOk;
}

}  // namespace

SvgStatus ImportSvg(std::string_view text, Document& doc, std::string* error,
                    const SvgLimits& limits) {
  Importer importer(text, doc, limits);
  std::string message;
  SvgStatus status = importer.Run(&message);
  if (error) *error = message;
  return status;
}

SvgStatus ImportSvgFile(const std::string& path, Document& doc, std::string* error,
                        const SvgLimits& limits) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = path + ": cannot open the file";
    return SvgStatus::kCannotRead;
  }
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) {
    if (error) *error = path + ": cannot read the file";
    return SvgStatus::kCannotRead;
  }
  if (static_cast<uint64_t>(size) > limits.max_file_bytes) {
    if (error)
      *error =
          path + ": the file is larger than " + std::to_string(limits.max_file_bytes) + " bytes";
    return SvgStatus::kBadSvg;
  }
  in.seekg(0, std::ios::beg);
  std::string text(static_cast<size_t>(size), '\0');
  if (size > 0 && !in.read(text.data(), size)) {
    if (error) *error = path + ": cannot read the file";
    return SvgStatus::kCannotRead;
  }
  std::string message;
  SvgStatus status = ImportSvg(text, doc, &message, limits);
  if (status != SvgStatus::kOk && error) *error = path + ": " + message;
  if (status == SvgStatus::kOk && doc.source()) {
    std::error_code ignored;
    std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    doc.source()->folder = absolute.parent_path().string();
  }
  return status;
}

}  // namespace host
