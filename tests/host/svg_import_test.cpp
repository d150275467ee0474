// SVG import: units, path grammar, shapes, transforms, styles, structure,
// names and tags, and the refusal of bad input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host/builder.h"
#include "host/document.h"
#include "host/svg_import.h"

namespace host {
namespace {

// A drawing with one user unit per point: document (x, y) = SVG (x, -y).
std::string Svg(
    const std::string& body,
    const std::string& root = R"svg(width="100pt" height="100pt" viewBox="0 0 100 100")svg") {
  return R"svg(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )svg"
         R"svg(xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" )svg"
         R"svg(xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd" )svg" +
         root + ">" + body + "</svg>";
}

struct Imported {
  Document doc{1, "test"};
  SvgStatus status = SvgStatus::kOk;
  std::string error;
  // The topmost-but-in-file-order art of the first (only) layer: the
  // n-th element of the file.
  Art* Nth(size_t n) {
    std::vector<Art*> art = TopLevelArt(*doc.NthLayer(doc.LayerCount() - 1));
    return n < art.size() ? art[art.size() - 1 - n] : nullptr;
  }
};

std::unique_ptr<Imported> Import(const std::string& text, const SvgLimits& limits = SvgLimits{}) {
  auto out = std::make_unique<Imported>();
  out->status = ImportSvg(text, out->doc, &out->error, limits);
  return out;
}

void ExpectPoint(RealPoint p, double x, double y) {
  EXPECT_NEAR(p.x, x, 1e-9);
  EXPECT_NEAR(p.y, y, 1e-9);
}

void ExpectRect(const RealRect& r, double left, double top, double right, double bottom,
                double tolerance = 1e-6) {
  EXPECT_NEAR(r.left, left, tolerance);
  EXPECT_NEAR(r.top, top, tolerance);
  EXPECT_NEAR(r.right, right, tolerance);
  EXPECT_NEAR(r.bottom, bottom, tolerance);
}

TEST(SvgImport, PageSizeAndUnitsBecomePoints) {
  struct Case {
    const char* root;
    RealRect page;    // the artboard
    RealPoint probe;  // where SVG point (10, 10) lands
  };
  const Case cases[] = {
      {R"svg(width="100" height="50")svg", {0, 0, 75, -37.5}, {7.5, -7.5}},
      {R"svg(width="100px" height="50px")svg", {0, 0, 75, -37.5}, {7.5, -7.5}},
      {R"svg(width="72pt" height="36pt")svg", {0, 0, 72, -36}, {7.5, -7.5}},
      {R"svg(width="6pc" height="3pc")svg", {0, 0, 72, -36}, {7.5, -7.5}},
      {R"svg(width="1in" height="2in" viewBox="0 0 10 20")svg", {0, 0, 72, -144}, {72, -72}},
      {R"svg(width="25.4mm" height="25.4mm" viewBox="0 0 1 1")svg", {0, 0, 72, -72}, {720, -720}},
      {R"svg(width="2.54cm" height="2.54cm" viewBox="0 0 100 100")svg",
       {0, 0, 72, -72},
       {7.2, -7.2}},
      // Percentages of the viewBox; no size at all: the viewBox in pixels.
      {R"svg(width="100%" height="100%" viewBox="0 0 40 20")svg", {0, 0, 30, -15}, {7.5, -7.5}},
      {R"svg(viewBox="0 0 40 20")svg", {0, 0, 30, -15}, {7.5, -7.5}},
      // The viewBox origin keeps its place.
      {R"svg(width="100pt" height="100pt" viewBox="-50 20 100 100")svg",
       {-50, -20, 50, -120},
       {10, -10}},
      // Aspect ratio kept and centred: 200 x 100 points showing 100 x 100.
      {R"svg(width="200pt" height="100pt" viewBox="0 0 100 100")svg", {0, 0, 200, -100}, {60, -10}},
      {R"svg(width="200pt" height="100pt" viewBox="0 0 100 100" preserveAspectRatio="none")svg",
       {0, 0, 200, -100},
       {20, -10}},
      {R"svg(width="200pt" height="100pt" viewBox="0 0 100 100" preserveAspectRatio="xMinYMin")svg",
       {0, 0, 200, -100},
       {10, -10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.root);
    auto in = Import(Svg(R"svg(<path d="M10 10 L20 10"/>)svg", c.root));
    ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
    ASSERT_EQ(in->doc.artboards().size(), 1u);
    ExpectRect(in->doc.artboards()[0], c.page.left, c.page.top, c.page.right, c.page.bottom);
    ExpectPoint(in->Nth(0)->segments[0].p, c.probe.x, c.probe.y);
  }
}

// One path's segments as text: anchors, and handles where they leave the
// anchor, so that a table can say exactly what a d attribute gives.
std::string Describe(const Art& art) {
  auto num = [](double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.4g", std::fabs(v) < 1e-9 ? 0.0 : v);
    return std::string(b);
  };
  auto pt = [&](RealPoint p) { return num(p.x) + "," + num(-p.y); };
  std::string out;
  auto one = [&](const Art& path) {
    if (!out.empty()) out += " | ";
    for (size_t i = 0; i < path.segments.size(); ++i) {
      const PathSegment& s = path.segments[i];
      if (i) out += " ";
      if (s.in.x != s.p.x || s.in.y != s.p.y) out += "<" + pt(s.in) + " ";
      out += pt(s.p);
      if (s.out.x != s.p.x || s.out.y != s.p.y) out += " >" + pt(s.out);
    }
    if (path.closed) out += " Z";
  };
  if (art.type == kArtTypePath) one(art);
  for (const Art* c = art.first_child; c; c = c->next) one(*c);
  return out;
}

TEST(SvgImport, PathDataGrammar) {
  struct Case {
    const char* d;
    const char* segments;
  };
  const Case cases[] = {
      {"M0 0L10 0 10 10z", "0,0 10,0 10,10 Z"},
      {"m1 1l2 0l0 2", "1,1 3,1 3,3"},
      {"M1 1 2 2 3 1", "1,1 2,2 3,1"},  // implicit lines after a move
      {"m1 1 2 2 1-1", "1,1 3,3 4,2"},
      {"M0,0H5V5h-2v-1", "0,0 5,0 5,5 3,5 3,4"},
      {"M.5.5.25.25", "0.5,0.5 0.25,0.25"},  // packed numbers
      {"M-1-2-3-4", "-1,-2 -3,-4"},
      {"M1e1 2E-1L1e+1,3", "10,0.2 10,3"},
      {"M0 0C0 1 2 1 2 0", "0,0 >0,1 <2,1 2,0"},
      {"M0 0c0 1 2 1 2 0s2-1 2 0", "0,0 >0,1 <2,1 2,0 >2,-1 <4,-1 4,0"},
      {"M0 0S1 1 2 0", "0,0 <1,1 2,0"},  // S with nothing to reflect
      // Quadratics become cubics with handles at two thirds.
      {"M0 0Q3 3 6 0", "0,0 >2,2 <4,2 6,0"},
      {"M0 0Q3 3 6 0T12 0", "0,0 >2,2 <4,2 6,0 >8,-2 <10,-2 12,0"},
      {"M0 0t6 0", "0,0 <2,0 6,0"},  // nothing to reflect: the control is the start
      // A closing curve ending on the start gives its handle to the start.
      {"M0 0C0 5 5 5 5 0C5 -5 0 -5 0 0Z", "<0,-5 0,0 >0,5 <5,5 5,0 >5,-5 Z"},
      // After z the next command starts at the subpath's start.
      {"M0 0h2v2zl-1 -1", "0,0 2,0 2,2 Z | 0,0 -1,-1"},
      {"M0 0h1M5 5h1", "0,0 1,0 | 5,5 6,5"},
      {"M7 17m-3 0h1", "4,17 5,17"},  // a lone move draws nothing
      {"M0 0L0 0", "0,0 0,0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.d);
    auto in = Import(Svg(std::string(R"svg(<path d=")svg") + c.d + R"svg("/>)svg"));
    ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
    ASSERT_NE(in->Nth(0), nullptr);
    EXPECT_EQ(Describe(*in->Nth(0)), c.segments);
  }
}

TEST(SvgImport, ArcsBecomeCubicsOnTheEllipse) {
  // Half circles of radius 5 around (5, 0), packed flags, and a quarter
  // of an ellipse turned by 90 degrees.
  const char* ds[] = {"M0 0A5 5 0 0 1 10 0", "M0 0a5,5 0 1,1 10,0", "M0 0A5 5 0 0010 0",
                      "M10 0A10 5 90 0 1 5 -10"};
  for (const char* d : ds) {
    SCOPED_TRACE(d);
    auto in = Import(Svg(std::string(R"svg(<path d=")svg") + d + R"svg("/>)svg"));
    ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
    const Art& art = *in->Nth(0);
    ASSERT_GE(art.segments.size(), 2u);
    RealPoint end = art.segments.back().p;
    RealPoint first = art.segments.front().p;
    // Every anchor lies on the arc's circle or ellipse; the ends are exact.
    RealPoint centre = std::string(d).find("10 5 90") != std::string::npos ? RealPoint{10, 10 - 10}
                                                                           : RealPoint{5, 0};
    (void)centre;
    if (std::string(d).find("10 5 90") == std::string::npos) {
      for (const PathSegment& s : art.segments) EXPECT_NEAR(std::hypot(s.p.x - 5, s.p.y), 5, 1e-9);
      ExpectPoint(first, 0, 0);
      ExpectPoint(end, 10, 0);
    } else {
      ExpectPoint(end, 5, 10);
    }
  }
  // A zero radius is a straight line.
  auto in = Import(Svg(R"svg(<path d="M0 0A0 5 0 0 1 10 0"/>)svg"));
  ASSERT_EQ(in->status, SvgStatus::kOk);
  EXPECT_EQ(Describe(*in->Nth(0)), "0,0 10,0");
}

TEST(SvgImport, ShapesAndTheirBounds) {
  struct Case {
    const char* element;
    RealRect bounds;  // document points
    size_t segments;
    bool closed;
  };
  const Case cases[] = {
      {R"svg(<rect x="10" y="20" width="30" height="40"/>)svg", {10, -20, 40, -60}, 4, true},
      {R"svg(<rect x="10" y="20" width="30" height="40" rx="5"/>)svg", {10, -20, 40, -60}, 8, true},
      {R"svg(<rect width="30" height="40" ry="100"/>)svg", {0, 0, 30, -40}, 8, true},
      {R"svg(<rect x="-50%" width="100%" height="10%"/>)svg", {-50, 0, 50, -10}, 4, true},
      {R"svg(<circle cx="50" cy="50" r="10"/>)svg", {40, -40, 60, -60}, 4, true},
      {R"svg(<ellipse cx="50" cy="50" rx="20" ry="10"/>)svg", {30, -40, 70, -60}, 4, true},
      {R"svg(<line x1="1" y1="2" x2="3" y2="4"/>)svg", {1, -2, 3, -4}, 2, false},
      {R"svg(<polyline points="0,0 10,0 10,10"/>)svg", {0, 0, 10, -10}, 3, false},
      {R"svg(<polygon points="0 0 10 0 5 8"/>)svg", {0, 0, 10, -8}, 3, true},
      {R"svg(<rect x="1mm" width="1in" height="72pt"/>)svg",
       {3.7795275590551185, 0, 99.77952755905512, -96},
       4,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.element);
    auto in = Import(Svg(c.element));
    ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
    Art* art = in->Nth(0);
    ASSERT_NE(art, nullptr);
    ExpectRect(Bounds(*art), c.bounds.left, c.bounds.top, c.bounds.right, c.bounds.bottom);
    EXPECT_EQ(art->segments.size(), c.segments);
    EXPECT_EQ(art->closed, c.closed);
  }
  // Zero-sized shapes draw nothing, and are not an error when others draw.
  auto in = Import(
      Svg(R"svg(<rect width="0" height="5"/><circle r="0"/><rect width="1" height="1"/>)svg"));
  ASSERT_EQ(in->status, SvgStatus::kOk);
  EXPECT_EQ(TopLevelArt(*in->doc.NthLayer(0)).size(), 1u);
}

TEST(SvgImport, TransformsApplyToTheGeometry) {
  struct Case {
    const char* transform;
    RealPoint where;  // SVG (10, 0) after the transform, in document points
  };
  const Case cases[] = {
      {"translate(5)", {15, 0}},
      {"translate(5, 7)", {15, -7}},
      {"scale(2)", {20, 0}},
      {"scale(2 3)", {20, 0}},
      {"rotate(90)", {0, -10}},
      {"rotate(90 10 10)", {20, -10}},
      {"skewY(45)", {10, -10}},
      {"skewX(45)", {10, 0}},
      {"matrix(1 2 3 4 5 6)", {15, -26}},
      {"translate(1,1) scale(2)", {21, -1}},  // the rightmost applies first
      {"rotate(-32.773) skewX(.012)",
       {10 * std::cos(-32.773 * M_PI / 180), -10 * std::sin(-32.773 * M_PI / 180)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.transform);
    auto in = Import(Svg(std::string(R"svg(<path transform=")svg") + c.transform +
                         R"svg(" d="M10 0L20 0"/>)svg"));
    ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
    ExpectPoint(in->Nth(0)->segments[0].p, c.where.x, c.where.y);
  }
  // Nested groups compose; the stroke width scales with the geometry.
  auto in = Import(Svg(R"svg(<g transform="translate(10 0)"><g transform="scale(2)">)svg"
                       R"svg(<path d="M1 1L2 1" stroke="black" stroke-width="0.5"/></g></g>)svg"));
  ASSERT_EQ(in->status, SvgStatus::kOk);
  const Art* path = in->Nth(0)->first_child->first_child;
  ExpectPoint(path->segments[0].p, 12, -2);
  EXPECT_DOUBLE_EQ(path->style.stroke.width, 1);
}

TEST(SvgImport, StylePrecedenceAndPaint) {
  const std::string sheet =
      R"svg(<style>.st0{fill:#FFFFFF;} #special, .st1 { fill: blue } rect{fill:lime;stroke:red})svg"
      R"svg( .a.b{fill:#123456}</style>)svg";
  struct Case {
    const char* element;
    bool fill_paint;
    double rgb[3];
  };
  const Case cases[] = {
      {R"svg(<path d="M0 0h1v1z"/>)svg", true, {0, 0, 0}},  // default black
      {R"svg(<path class="st0" d="M0 0h1v1z"/>)svg", true, {1, 1, 1}},
      {R"svg(<path class="x st1" d="M0 0h1v1z"/>)svg", true, {0, 0, 1}},
      {R"svg(<path id="special" d="M0 0h1v1z"/>)svg", true, {0, 0, 1}},
      {R"svg(<rect width="1" height="1"/>)svg", true, {0, 1, 0}},
      {R"svg(<path class="a b" d="M0 0h1v1z"/>)svg",
       true,
       {0x12 / 255.0, 0x34 / 255.0, 0x56 / 255.0}},
      // style attribute > sheet > presentation attribute > inheritance.
      {R"svg(<path class="st0" style="fill:red" d="M0 0h1v1z"/>)svg", true, {1, 0, 0}},
      {R"svg(<path class="st0" fill="red" d="M0 0h1v1z"/>)svg", true, {1, 1, 1}},
      {R"svg(<g fill="red"><path fill="#0f0" d="M0 0h1v1z"/></g>)svg", true, {0, 1, 0}},
      {R"svg(<g style="fill:red"><path d="M0 0h1v1z"/></g>)svg", true, {1, 0, 0}},
      {R"svg(<g fill="red"><path fill="inherit" d="M0 0h1v1z"/></g>)svg", true, {1, 0, 0}},
      {R"svg(<path fill="rgb(255, 128, 0)" d="M0 0h1v1z"/>)svg", true, {1, 128 / 255.0, 0}},
      {R"svg(<path fill="rgb(100%,50%,0%)" d="M0 0h1v1z"/>)svg", true, {1, 0.5, 0}},
      {R"svg(<path fill="CornflowerBlue" d="M0 0h1v1z"/>)svg",
       true,
       {100 / 255.0, 149 / 255.0, 237 / 255.0}},
      {R"svg(<g color="#f00"><path fill="currentColor" d="M0 0h1v1z"/></g>)svg", true, {1, 0, 0}},
      {R"svg(<path fill="none" d="M0 0h1v1z"/>)svg", false, {0, 0, 0}},
      {R"svg(<path fill="red" fill-opacity="0" d="M0 0h1v1z"/>)svg", false, {1, 0, 0}},
      {R"svg(<g opacity="0"><path fill="red" d="M0 0h1v1z"/></g>)svg", false, {1, 0, 0}},
      {R"svg(<path fill="url(#missing) #00f" d="M0 0h1v1z"/>)svg", true, {0, 0, 1}},
      {R"svg(<path fill="bogus" d="M0 0h1v1z"/>)svg", true, {0, 0, 0}},  // bad values are ignored
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.element);
    auto in = Import(Svg(sheet + c.element));
    ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
    Art* art = in->Nth(0);
    while (art->type == kArtTypeGroup) art = art->first_child;
    EXPECT_EQ(art->style.fill_paint, c.fill_paint);
    if (!c.fill_paint) continue;
    ASSERT_EQ(art->style.fill.color.kind, kColorRGB);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(art->style.fill.color.components[i], c.rgb[i], 1e-9);
  }
}

TEST(SvgImport, StrokeStyleFromAttributesAndSheets) {
  auto in = Import(Svg(
      R"svg(<style>.s{stroke-linecap:round;stroke-dasharray:3 1 2}</style>)svg"
      R"svg(<g stroke="#00f" stroke-width="4" stroke-linejoin="bevel" stroke-miterlimit="10">)svg"
      R"svg(<path class="s" d="M0 0L10 0" fill-rule="evenodd"/></g>)svg"
      R"svg(<path d="M0 0L10 0" stroke="red" stroke-width="0"/>)svg"));
  ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
  const PathStyle& s = in->Nth(0)->first_child->style;
  EXPECT_TRUE(s.stroke_paint);
  EXPECT_EQ(s.stroke.color.components[2], 1);
  EXPECT_EQ(s.stroke.width, 4);
  EXPECT_EQ(s.stroke.cap, kCapRound);
  EXPECT_EQ(s.stroke.join, kJoinBevel);
  EXPECT_EQ(s.stroke.miter_limit, 10);
  EXPECT_TRUE(s.even_odd);
  // An odd dash list repeats to make pairs.
  ASSERT_EQ(s.stroke.dash.length, 6);
  EXPECT_THAT(std::vector<double>(s.stroke.dash.array, s.stroke.dash.array + 6),
              testing::ElementsAre(3, 1, 2, 3, 1, 2));
  EXPECT_FALSE(in->Nth(1)->style.stroke_paint);  // zero width strokes nothing
}

TEST(SvgImport, LayersGroupsAndVisibility) {
  auto in = Import(Svg(
      R"svg(<g inkscape:groupmode="layer" inkscape:label="Back" transform="translate(5 0)">)svg"
      R"svg(<rect width="1" height="1"/></g>)svg"
      R"svg(<g inkscape:groupmode="layer" id="layer2" style="display:none"><g><rect width="1" height="1"/>)svg"
      R"svg(<rect width="2" height="2"/></g></g>)svg"
      R"svg(<g inkscape:groupmode="layer" inkscape:label="Locked" sodipodi:insensitive="true">)svg"
      R"svg(<rect width="1" height="1" visibility="hidden"/><rect display="none" width="1" height="1"/></g>)svg"));
  ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
  Document& doc = in->doc;
  ASSERT_EQ(doc.LayerCount(), 3);
  // The last layer of the file is on top (index 0).
  EXPECT_EQ(doc.NthLayer(0)->title, "Locked");
  EXPECT_FALSE(doc.NthLayer(0)->editable);
  EXPECT_TRUE(doc.NthLayer(0)->visible);
  EXPECT_EQ(doc.NthLayer(1)->title, "layer2");
  EXPECT_FALSE(doc.NthLayer(1)->visible);
  EXPECT_EQ(doc.NthLayer(2)->title, "Back");
  // The layer's transform moves its art.
  ExpectRect(Bounds(*TopLevelArt(*doc.NthLayer(2))[0]), 5, 0, 6, -1);
  // Groups stay groups, in stacking order (later in the file is on top).
  std::vector<Art*> hidden_layer = TopLevelArt(*doc.NthLayer(1));
  ASSERT_EQ(hidden_layer.size(), 1u);
  ASSERT_EQ(hidden_layer[0]->type, kArtTypeGroup);
  std::vector<Art*> children = Children(*hidden_layer[0]);
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(Bounds(*children[0]).right, 2);
  // Hidden elements come in hidden.
  for (Art* a : TopLevelArt(*doc.NthLayer(0))) EXPECT_TRUE(a->hidden);

  // Without layers everything goes into one layer "Layer 1".
  auto plain = Import(Svg(R"svg(<rect width="1" height="1"/><g><circle r="1"/></g>)svg"));
  ASSERT_EQ(plain->status, SvgStatus::kOk);
  ASSERT_EQ(plain->doc.LayerCount(), 1);
  EXPECT_EQ(plain->doc.NthLayer(0)->title, "Layer 1");
  EXPECT_EQ(TopLevelArt(*plain->doc.NthLayer(0)).size(), 2u);
}

TEST(SvgImport, UseIsExpandedWithItsOffsetAndStyle) {
  auto in = Import(Svg(
      R"svg(<defs><path id="p" d="M0 0h2v2z"/><g id="two"><use xlink:href="#p"/><use href="#p" x="5"/></g>)svg"
      R"svg(<symbol id="sym" viewBox="0 0 1 1"><rect width="1" height="1"/></symbol></defs>)svg"
      R"svg(<use id="copy" xlink:href="#p" x="10" y="20" fill="red"/>)svg"
      R"svg(<use xlink:href="#two" transform="translate(0 50)"/>)svg"
      R"svg(<use xlink:href="#sym" x="60" width="10" height="10"/>)svg"));
  ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
  Art* copy = in->Nth(0);
  EXPECT_EQ(copy->name, "copy");
  ExpectRect(Bounds(*copy), 10, -20, 12, -22);
  EXPECT_EQ(copy->style.fill.color.components[0], 1);
  ExpectRect(Bounds(*in->Nth(1)), 0, -50, 7, -52);
  ExpectRect(Bounds(*in->Nth(2)), 60, 0, 70, -10);
}

TEST(SvgImport, ClipPathMakesAClippedGroup) {
  auto in = Import(Svg(
      R"svg(<defs><clipPath id="disc"><circle cx="10" cy="10" r="5"/></clipPath></defs>)svg"
      R"svg(<g id="clipped" clip-path="url(#disc)"><rect width="20" height="20"/>)svg"
      R"svg(<image x="0" y="0" width="20" height="20" xlink:href="data:image/png;base64,AAAA"/></g>)svg"
      R"svg(<rect id="r" style="clip-path:url(#disc)" x="5" width="20" height="20"/>)svg"));
  ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
  Art* g = in->Nth(0);
  ASSERT_EQ(g->type, kArtTypeGroup);
  EXPECT_TRUE(g->clipped);
  EXPECT_EQ(g->name, "clipped");
  const Art* clip = ClippingArt(*g);
  ASSERT_NE(clip, nullptr);
  EXPECT_TRUE(clip->style.clip);
  ExpectRect(Bounds(*clip), 5, -5, 15, -15);
  // The group measures as its clip; the other children are kept.
  ExpectRect(Bounds(*g), 5, -5, 15, -15);
  EXPECT_EQ(Children(*g).size(), 3u);
  // A clipped element is wrapped in a clipped group of its own.
  Art* wrapped = in->Nth(1);
  EXPECT_TRUE(wrapped->clipped);
  EXPECT_EQ(wrapped->name, "r");
  EXPECT_EQ(Children(*wrapped).size(), 2u);
}

TEST(SvgImport, OtherArtKeepsItsSourceAndBox) {
  auto in = Import(Svg(
      R"svg(<g style="font-size:10px;fill:#f00"><text id="t" x="10" y="20" transform="translate(5 0)">)svg"
      R"svg(Hello <tspan font-weight="bold">there</tspan></text></g>)svg"
      R"svg(<image x="1" y="2" width="30" height="40" xlink:href="photo.jpg"/>)svg"
      R"svg(<image width="4" height="4" xlink:href="data:image/png;base64,AAAA"/>)svg"));
  ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
  Art* text = in->Nth(0)->first_child;
  ASSERT_EQ(text->type, kArtTypeText);
  EXPECT_EQ(text->name, "t");
  // The transform moved into the matrix; the inherited paint and font came
  // into the element's own style; the rest is the element as written.
  EXPECT_THAT(text->source, testing::StartsWith("<text x=\"10\" y=\"20\" style=\"fill:#ff0000;"));
  EXPECT_THAT(text->source, testing::HasSubstr("font-size:10px;"));
  EXPECT_THAT(text->source, testing::HasSubstr("<tspan font-weight=\"bold\">there</tspan>"));
  EXPECT_THAT(text->source, testing::Not(testing::HasSubstr("transform")));
  EXPECT_EQ(text->matrix.tx, 5);
  RealRect b = Bounds(*text);
  EXPECT_LT(b.left, 16);
  EXPECT_GT(b.right, 40);
  Art* placed = in->Nth(1);
  EXPECT_EQ(placed->type, kArtTypePlaced);
  ExpectRect(Bounds(*placed), 1, -2, 31, -42);
  EXPECT_EQ(in->Nth(2)->type, kArtTypeRaster);
}

TEST(SvgImport, NamesAndTagsComeFromOurAttributes) {
  auto in = Import(Svg(
      R"svg(<rect id="label-a" data-zolvane_quantity="3" width="1" height="1"/>)svg"
      R"svg(<g id="g" data-zolvane-tags="kind=sticker;size:int=40;odd%3Bname=a%3Db"><rect width="1" height="1"/></g>)svg"));
  ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
  Art* rect = in->Nth(0);
  EXPECT_EQ(rect->name, "label-a");
  const Tag* q = FindTag(*rect, "zolvane_quantity");
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->value, "3");
  EXPECT_EQ(q->type, "string");
  Art* g = in->Nth(1);
  ASSERT_EQ(g->tags.size(), 3u);
  EXPECT_EQ(FindTag(*g, "kind")->value, "sticker");
  EXPECT_EQ(FindTag(*g, "size")->type, "int");
  EXPECT_EQ(FindTag(*g, "odd;name")->value, "a=b");
}

TEST(SvgImport, PagesBecomeArtboards) {
  auto in = Import(
      Svg(R"svg(<sodipodi:namedview><inkscape:page x="0" y="0" width="50" height="60"/>)svg"
          R"svg(<inkscape:page x="60" y="0" width="40" height="30"/></sodipodi:namedview>)svg"
          R"svg(<rect width="1" height="1"/>)svg"));
  ASSERT_EQ(in->status, SvgStatus::kOk) << in->error;
  ASSERT_EQ(in->doc.artboards().size(), 2u);
  ExpectRect(in->doc.artboards()[0], 0, 0, 50, -60);
  ExpectRect(in->doc.artboards()[1], 60, 0, 100, -30);
}

TEST(SvgImport, BadInputIsRefusedWithWhereAndNothingImported) {
  struct Case {
    std::string text;
    const char* message;  // a part of the error
  };
  std::string deep;
  for (int i = 0; i < 150; ++i) deep += "<g>";
  deep += "<rect width=\"1\" height=\"1\"/>";
  for (int i = 0; i < 150; ++i) deep += "</g>";
  // Ten uses of ten uses of ... : a billion rectangles if expanded.
  std::string bomb = R"svg(<defs><rect id="l0" width="1" height="1"/>)svg";
  for (int level = 1; level <= 9; ++level) {
    bomb += "<g id=\"l" + std::to_string(level) + "\">";
    for (int k = 0; k < 10; ++k)
      bomb += "<use xlink:href=\"#l" + std::to_string(level - 1) + "\"/>";
    bomb += "</g>";
  }
  bomb += R"svg(</defs><use xlink:href="#l9"/>)svg";
  const Case cases[] = {
      {"", "empty"},
      {"   \n ", "empty"},
      {"<svg><rect></svg>", "line 1, column"},
      {"<svg>\n<!-- a -- b -->\n<rect width='1' height='1'/></svg>", "line 2"},
      {"<html/>", "not <svg>"},
      {Svg(""), "nothing to import"},
      {Svg(R"svg(<rect width="1" height="1"/>)svg", R"svg(width="10furlongs" height="10")svg"),
       "bad width"},
      {Svg(R"svg(<rect width="1" height="1"/>)svg", R"svg(width="-5" height="10")svg"), "positive"},
      {Svg(R"svg(<rect width="1" height="1"/>)svg", R"svg(width="1e300" height="10")svg"),
       "beyond"},
      {Svg(R"svg(<rect width="1" height="1"/>)svg", R"svg(viewBox="0 0 NaN 10")svg"),
       "bad viewBox"},
      {Svg("\n<path d=\"M0 0 L10 x\"/>"), "line 2: <path>: bad path data at column 10"},
      {Svg(R"svg(<path id="p" d="L10 10"/>)svg"), "<path id=\"p\">: bad path data"},
      {Svg(R"svg(<path d="M0 0 L NaN 5"/>)svg"), "bad path data"},
      {Svg(R"svg(<path d="M0 0 L inf 5"/>)svg"), "bad path data"},
      {Svg(R"svg(<path d="M0 0 L 1e400 5"/>)svg"), "bad path data"},
      {Svg(R"svg(<path d="M0 0 A 1 1 0 2 0 5 5"/>)svg"), "bad path data"},
      {Svg(R"svg(<path d="M0 0 L 1e300 5"/>)svg"), "out of range"},
      {Svg(R"svg(<rect width="1e300" height="5"/>)svg"), "out of range"},
      {Svg(R"svg(<path d="M0 0A1e200 1e200 0 0 1 1e200 1e200"/>)svg"), "out of range"},
      {Svg(R"svg(<path d="M0 0h1" stroke="red" stroke-width="1e300"/>)svg"), "out of range"},
      {Svg(R"svg(<rect width="1" height="1" transform="scale(1e200) scale(1e200)"/>)svg"),
       "bad transform"},
      {Svg(R"svg(<rect width="1" height="1" transform="rotate(x)"/>)svg"), "bad transform"},
      {Svg(R"svg(<rect width="-1" height="1"/>)svg"), "negative"},
      {Svg(R"svg(<polygon points="1 2 3"/>)svg"), "bad points"},
      {Svg(R"svg(<use xlink:href="#nowhere"/>)svg"), "missing \"#nowhere\""},
      {Svg(R"svg(<g id="a"><use xlink:href="#a"/></g>)svg"), "recursive <use>"},
      {Svg(R"svg(<use id="x" xlink:href="#y"/><use id="y" xlink:href="#x"/>)svg"),
       "recursive <use>"},
      {Svg(R"svg(<rect clip-path="url(#gone)" width="1" height="1"/>)svg"), "missing \"#gone\""},
      {Svg(deep), "nested deeper than 100"},
      {Svg(bomb), "more than 1000000 objects"},
      {Svg(R"svg(<rect width="1" height="1" data-zolvane-tags="novalue"/>)svg"),
       "bad data-zolvane-tags"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 200));
    auto in = Import(c.text);
    EXPECT_EQ(in->status, SvgStatus::kBadSvg);
    EXPECT_THAT(in->error, testing::HasSubstr(c.message));
    // The document is as it was given: one empty layer, one artboard.
    EXPECT_EQ(in->doc.LayerCount(), 1);
    EXPECT_EQ(in->doc.NthLayer(0)->group->first_child, nullptr);
    EXPECT_EQ(in->doc.NthLayer(0)->title, "Layer 1");
    EXPECT_EQ(in->doc.artboards().size(), 1u);
  }
}

TEST(SvgImport, FilesOverTheSizeLimitAreNotRead) {
  std::string path = testing::TempDir() + "/zolvane-huge.svg";
  {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(Svg(R"svg(<rect width="1" height="1"/>)svg").c_str(), f);
    std::fclose(f);
  }
  SvgLimits limits;
  limits.max_file_bytes = 100;
  Document doc(1, "huge");
  std::string error;
  EXPECT_EQ(ImportSvgFile(path, doc, &error, limits), SvgStatus::kBadSvg);
  EXPECT_THAT(error, testing::HasSubstr("larger than 100 bytes"));
  EXPECT_THAT(error, testing::StartsWith(path));
  EXPECT_EQ(ImportSvgFile(path + ".missing", doc, &error), SvgStatus::kCannotRead);
  EXPECT_THAT(error, testing::HasSubstr("cannot open"));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace host
