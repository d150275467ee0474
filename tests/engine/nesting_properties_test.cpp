// Whole nesting runs on real drawings, in Rectangle and Outline mode, with
// every baseline and direction: the copies are the objects moved and turned,
// as many as asked, apart from each other, inside their sheets' areas, on
// artboards that are the sheets used.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/sheets.h"
#include "host/svg_import.h"
#include "tests/engine/nesting_fixture.h"

namespace {

namespace fs = std::filesystem;

// The most copies asked of one object, to keep the runs quick.
constexpr int kMostCopies = 3;

// What a copy must keep of its source: the tree's kinds, names and paint,
// and every point, up to one rigid motion.
struct Snapshot {
  std::string structure;
  std::vector<RealPoint> points;
};

void Describe(const host::Art& a, Snapshot* s) {
  char style[160];
  std::snprintf(style, sizeof style, "[%d %s f%d s%d %.6g %.6g %.6g eo%d c%d]", a.type,
                a.name.c_str(), a.style.fill_paint, a.style.stroke_paint,
                a.style.fill.color.components[0], a.style.stroke.color.components[0],
                a.style.stroke.width, a.style.even_odd, a.style.clip);
  s->structure += style;
  for (const PathSegment& seg : a.segments) {
    s->points.push_back(seg.p);
    s->points.push_back(seg.in);
    s->points.push_back(seg.out);
  }
  if (host::IsBoxArtType(a.type)) {
    const RealPoint corners[3] = {
        {a.box.left, a.box.top}, {a.box.right, a.box.top}, {a.box.left, a.box.bottom}};
    for (RealPoint c : corners) s->points.push_back(MatrixXformPoint(&a.matrix, c));
  }
  s->structure += "(";
  for (const host::Art* c : host::Children(a)) Describe(*c, s);
  s->structure += ")";
}

// Whether the copy is the source moved and turned (no scale, no mirror).
bool RigidCopy(const Snapshot& source, const Snapshot& copy) {
  if (source.structure != copy.structure || source.points.size() != copy.points.size())
    return false;
  if (source.points.empty()) return true;
  // The farthest point from the first fixes the turn.
  size_t far = 0;
  double far_d = 0;
  for (size_t i = 1; i < source.points.size(); ++i) {
    const double d = PointLength(source.points[0], source.points[i]);
    if (d > far_d) {
      far_d = d;
      far = i;
    }
  }
  const RealPoint s0 = source.points[0], c0 = copy.points[0];
  double turn = 0;
  if (far_d > 1e-9) turn = PointAngle(c0, copy.points[far]) - PointAngle(s0, source.points[far]);
  const double cs = std::cos(turn), sn = std::sin(turn);
  for (size_t i = 0; i < source.points.size(); ++i) {
    const double dx = source.points[i].x - s0.x, dy = source.points[i].y - s0.y;
    const RealPoint want{c0.x + cs * dx - sn * dy, c0.y + sn * dx + cs * dy};
    if (PointLength(want, copy.points[i]) > 1e-6 * std::max(1.0, far_d)) return false;
  }
  return true;
}

struct Outline {
  RealRect box;
  std::vector<std::vector<RealPoint>> rings;
  double area;
};

Outline OutlineOf(const host::Art& art) {
  Outline o{host::Bounds(art), {}, 0};
  host::Region region;
  if (host::FilledRegion(art, &region) == kNoErr) {
    o.rings = region.rings;
    o.area = host::RegionArea(region);
  }
  return o;
}

// The smallest distance between the two outlines' edges.
double EdgeDistance(const Outline& a, const Outline& b) {
  double best = 1e300;
  auto one_way = [&best](const Outline& p, const Outline& q) {
    for (const auto& pr : p.rings)
      for (const RealPoint& v : pr)
        for (const auto& qr : q.rings)
          for (size_t k = 0; k < qr.size(); ++k) {
            RealPoint foot;
            best = std::min(best, PointSegmentDistance(qr[k], qr[(k + 1) % qr.size()], v, &foot));
          }
  };
  one_way(a, b);
  one_way(b, a);
  return best;
}

class NestingPropertiesTest : public NestingTest {
 protected:
  // The area covered by both of two top-level objects.
  double SharedArea(host::Art* a, host::Art* b, const Outline& oa, const Outline& ob) {
    host::Art* both = host::AddGroup(*doc, kPlaceInsideOnBottom, a->parent);
    host::Art* copy = nullptr;
    doc->Duplicate(a, kPlaceInsideOnBottom, both, &copy);
    doc->Duplicate(b, kPlaceInsideOnBottom, both, &copy);
    const double united = Area(*both);
    doc->Dispose(both);
    return oa.area + ob.area - united;
  }

  // One whole run over every object of the drawing, then every property.
  void CheckRun(const fs::path& file, int16_t outline_mode, int16_t baseline, int16_t direction) {
    SCOPED_TRACE(file.filename().string() + (outline_mode ? " outline" : " rectangle") +
                 " baseline " + std::to_string(baseline) + " direction " +
                 std::to_string(direction));
    host::Documents().CloseAll();
    doc = host::Documents().New(file.filename().string());
    std::string error;
    ASSERT_EQ(host::ImportSvgFile(file.string(), *doc, &error), host::SvgStatus::kOk) << error;
    layer = doc->NthLayer(0)->group;
    user.Clear();

    // Sources: every object of the usable layers, with a small quantity.
    std::vector<Snapshot> sources;
    std::vector<int> wanted;
    double largest = 0;
    for (int32_t i = 0; i < doc->LayerCount(); ++i) {
      host::Layer* l = doc->NthLayer(i);
      if (!l->visible || !l->editable) continue;
      for (host::Art* a : host::TopLevelArt(*l)) {
        int q = 1;
        for (host::Tag& t : a->tags)
          if (t.name == kQuantityTagName) {
            q = std::clamp(std::atoi(t.value.c_str()), 1, kMostCopies);
            t.value = std::to_string(q);
          }
        Snapshot s;
        Describe(*a, &s);
        sources.push_back(s);
        wanted.push_back(q);
        const RealRect b = host::Bounds(*a);
        largest = std::max({largest, RectWidth(b), RectHeight(b)});
        host::SelectDeep(*doc, a, true);
      }
    }
    ASSERT_FALSE(sources.empty());

    // A square plate about three of the largest objects wide, so that most
    // drawings need several sheets.
    const double side = largest * 3 + 20;
    globals.plate_width = globals.plate_height = side / PointsPerMm;
    globals.plate_margin_left = globals.plate_margin_top = 3;
    globals.plate_margin_right = 10;
    globals.plate_margin_bottom = 3;
    globals.outline_mode = outline_mode;
    globals.toward_baseline = baseline;
    globals.toward_mode = direction;
    globals.consider_object_overlap = 0;
    globals.enable_initial_rotation = baseline % 2;
    globals.enable_anytime_rotation = 1;
    globals.anytime_rotation_mode = outline_mode ? 2 : 1;
    globals.cur_param.collection_margin = direction == 0 ? 0 : 1;
    const double m = globals.cur_param.collection_margin * PointsPerMm;

    int32_t extra = -1;
    ASSERT_EQ(Run(&extra), kNestingDone) << (Alerts().empty() ? "" : Alerts()[0]);
    CreateSheetArtboards(extra + 1);

    EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
    std::vector<host::Art*> copies;
    for (int32_t i = 0; i < doc->LayerCount(); ++i) {
      host::Layer* l = doc->NthLayer(i);
      if (!l->visible || !l->editable) continue;
      for (host::Art* a : host::TopLevelArt(*l)) copies.push_back(a);
    }
    // Copies of each source, as many as asked; no quantity tags.
    std::vector<int> found(sources.size(), 0);
    for (host::Art* c : copies) {
      EXPECT_TRUE(c->tags.empty());
      Snapshot s;
      Describe(*c, &s);
      bool matched = false;
      for (size_t k = 0; k < sources.size() && !matched; ++k) {
        if (found[k] < wanted[k] && RigidCopy(sources[k], s)) {
          ++found[k];
          matched = true;
        }
      }
      EXPECT_TRUE(matched) << "a copy that is no source moved and turned";
    }
    EXPECT_EQ(found, wanted);

    // Artboards are the sheets used; every copy inside its sheet's area.
    RealRect square;
    ASSERT_TRUE(CanvasSquare(&square, kReferenceSquareSide));
    const SheetSettings plate = SheetSettingsFrom(globals);
    ASSERT_EQ(doc->artboards().size(), static_cast<size_t>(extra + 1));
    std::vector<RealRect> areas;
    for (int32_t i = 0; i <= extra; ++i) {
      const SheetPlace s = NthSheet(square, plate, i);
      EXPECT_DOUBLE_EQ(doc->artboards()[i].left, s.sheet.left);
      EXPECT_DOUBLE_EQ(doc->artboards()[i].top, s.sheet.top);
      areas.push_back(s.area);
    }
    std::vector<Outline> outlines;
    for (host::Art* c : copies) {
      outlines.push_back(OutlineOf(*c));
      const RealRect b = outlines.back().box;
      bool inside = false;
      for (const RealRect& a : areas)
        inside |= b.left >= a.left - 0.01 && b.right <= a.right + 0.01 && b.top <= a.top + 0.01 &&
                  b.bottom >= a.bottom - 0.01;
      EXPECT_TRUE(inside) << "a copy outside every nesting area";
    }

    // Apart: no overlap; boxes keep the spacing in Rectangle mode, outlines
    // keep it less the polygons' tolerance (1 point each) in Outline mode.
    for (size_t i = 0; i < copies.size(); ++i) {
      for (size_t k = i + 1; k < copies.size(); ++k) {
        const RealRect& a = outlines[i].box;
        const RealRect& b = outlines[k].box;
        const double gap_x = std::max(a.left - b.right, b.left - a.right);
        const double gap_y = std::max(a.bottom - b.top, b.bottom - a.top);
        if (outline_mode == 0) {
          EXPECT_GE(std::max(gap_x, gap_y), m - 1e-6) << "boxes " << i << " and " << k;
          continue;
        }
        if (std::max(gap_x, gap_y) >= m) continue;
        EXPECT_LE(SharedArea(copies[i], copies[k], outlines[i], outlines[k]), 1e-3)
            << "copies " << i << " and " << k << " overlap";
        EXPECT_GE(EdgeDistance(outlines[i], outlines[k]), m - 2.0)
            << "copies " << i << " and " << k;
      }
    }
  }
};

std::vector<fs::path> Drawings() {
  std::vector<fs::path> files = {fs::path(ZOLVANE_SOURCE_DIR) / "examples/shapes.svg",
                                 fs::path(ZOLVANE_SOURCE_DIR) / "examples/stickers.svg"};
  const fs::path data = ZOLVANE_SVG_DATASET;
  for (const char* name : {"icon-fill-bootstrap-puzzle-quadratic.svg",
                           "lasercut-loom-parts-mm-arcs-text-labels.svg"}) {
    if (fs::exists(data / name)) files.push_back(data / name);
  }
  return files;
}

TEST_F(NestingPropertiesTest, RectangleModeEveryBaselineAndDirection) {
  for (const fs::path& file : Drawings())
    for (int16_t baseline = 0; baseline < 4; ++baseline)
      for (int16_t direction = 0; direction < 2; ++direction)
        CheckRun(file, 0, baseline, direction);
}

TEST_F(NestingPropertiesTest, OutlineModeEveryBaselineAndDirection) {
  for (const fs::path& file : Drawings())
    for (int16_t baseline = 0; baseline < 4; ++baseline)
      for (int16_t direction = 0; direction < 2; ++direction)
        CheckRun(file, 1, baseline, direction);
}

TEST_F(NestingPropertiesTest, DataSetDrawingsAreOptional) {
  if (!fs::is_directory(ZOLVANE_SVG_DATASET))
    GTEST_SKIP() << "no data set folder " << ZOLVANE_SVG_DATASET
                 << ": only the example drawings were nested";
}

}  // namespace
