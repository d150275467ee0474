// Group lines of real drawings: one filled silhouette per object that covers
// every anchor of the object's pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "art/group_lines.h"
#include "art/path_geometry.h"
#include "host/svg_import.h"
#include "tests/art/running_host.h"

namespace {

namespace fs = std::filesystem;

// How far outside its group line a piece's anchor may lie (0.3 mm).
constexpr double kAnchorSlack = 0.3 * 2.834645669291339;
// The objects checked: at most this many segments and this side (points).
constexpr size_t kMaxSegments = 2000;
constexpr double kMaxSide = 5000;

class GroupLinesArtworkTest : public RunningHostTest {
 protected:
  // Paths and compound paths under the art, compound paths not entered.
  static void Outlines(host::Art* art, std::vector<host::Art*>* out) {
    if (art->type == kArtTypePath || art->type == kArtTypeCompoundPath) {
      out->push_back(art);
    } else if (art->type == kArtTypeGroup) {
      for (host::Art* c : host::Children(*art)) Outlines(c, out);
    }
  }
  // The pieces BuildGroupLines takes from an object.
  static void Pieces(host::Art* art, std::vector<host::Art*>* out) {
    if (art->type == kArtTypePath) {
      out->push_back(art);
    } else if (art->type == kArtTypeGroup && art->clipped) {
      for (host::Art* c : host::Children(*art)) {
        if ((c->type == kArtTypePath || c->type == kArtTypeCompoundPath) && c->style.clip) {
          Pieces(c, out);
          return;
        }
      }
    } else if (art->type == kArtTypeGroup || art->type == kArtTypeCompoundPath) {
      for (host::Art* c : host::Children(*art)) Pieces(c, out);
    }
  }
};

TEST_F(GroupLinesArtworkTest, EveryObjectOfEveryDrawingGetsOneCoveringSilhouette) {
  const fs::path folder = ZOLVANE_SVG_DATASET;
  if (!fs::is_directory(folder)) GTEST_SKIP() << "no data set folder " << folder;
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().extension() == ".svg" && e.path().filename().string().rfind("malformed", 0) != 0)
      files.push_back(e.path());
  std::sort(files.begin(), files.end());
  int checked = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    host::Documents().CloseAll();
    doc = host::Documents().New(file.filename().string());
    std::string error;
    ASSERT_EQ(host::ImportSvgFile(file.string(), *doc, &error), host::SvgStatus::kOk) << error;
    // Objects by their id: selected top-level art of usable layers.
    std::map<int, host::Art*> objects;
    int id = 0;
    for (int32_t i = 0; i < doc->LayerCount(); ++i) {
      host::Layer* l = doc->NthLayer(i);
      if (!l->visible || !l->editable) continue;
      for (host::Art* a : host::TopLevelArt(*l)) {
        // Objects beyond any sheet, or with tens of thousands of segments,
        // spend seconds in the host's polygon clipper alone; they are
        // left out to keep the test quick.
        std::vector<host::Art*> own;
        Pieces(a, &own);
        size_t segments = 0;
        for (host::Art* p : own) segments += p->segments.size();
        const RealRect b = host::Bounds(*a);
        if (segments > kMaxSegments || b.right - b.left > kMaxSide || b.top - b.bottom > kMaxSide)
          continue;
        host::SelectDeep(*doc, a, true);
        objects[++id] = a;
      }
    }
    // Pieces are read before the lines are drawn: the objects stay as they are.
    std::map<int, std::vector<host::Art*>> pieces;
    for (auto& [k, a] : objects) Pieces(a, &pieces[k]);
    BuildGroupLines(0);
    host::Layer* lines_layer = doc->LayerByTitle(kGroupLineLayerTitle);
    std::map<int, host::Art*> lines;
    if (lines_layer) {
      for (host::Art* line : host::TopLevelArt(*lines_layer)) {
        int line_id = 0, q = 0;
        ASSERT_EQ(std::sscanf(line->name.c_str(), "<Group Line>ID:%d QTY:%d", &line_id, &q), 2);
        EXPECT_EQ(lines.count(line_id), 0u) << "two group lines for object " << line_id;
        lines[line_id] = line;
      }
    }
    for (auto& [k, object_pieces] : pieces) {
      if (object_pieces.empty()) {
        EXPECT_EQ(lines.count(k), 0u);
        continue;
      }
      ASSERT_EQ(lines.count(k), 1u) << "object " << k;
      host::Art* line = lines[k];
      std::vector<host::Art*> outlines;
      Outlines(line, &outlines);
      ASSERT_EQ(outlines.size(), 1u) << "object " << k;
      if (outlines[0]->type == kArtTypeCompoundPath) {
        const std::vector<host::Art*> rings = host::Children(*outlines[0]);
        ASSERT_FALSE(rings.empty());
        const RealRect outer = host::Bounds(*rings[0]);
        for (host::Art* r : rings) {
          const RealRect b = host::Bounds(*r);
          EXPECT_TRUE(b.left >= outer.left && b.right <= outer.right && b.top <= outer.top &&
                      b.bottom >= outer.bottom)
              << "object " << k << ": a ring outside the first";
        }
      }
      double largest = 0;
      for (host::Art* p : object_pieces) {
        if (p->closed) largest = std::max(largest, PathArea(H(p), 64, false));
        for (const PathSegment& s : p->segments) {
          const int where = PointInArt(H(line), s.p, kAnchorSlack);
          EXPECT_NE(where, kOutside) << "object " << k << ": anchor (" << s.p.x << ", " << s.p.y
                                     << ") outside its group line";
          if (where == kOutside) break;
        }
      }
      EXPECT_GE(Area(*line), largest * 0.999) << "object " << k;
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
