// The effects as the plug-in plays them, carried out by the host application's own effects.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "art/effects.h"
#include "art/path_geometry.h"
#include "host/basic_suite.h"
#include "host/builder.h"
#include "host/effects.h"
#include "host/host_app.h"
#include "plugin/suite_table.h"

namespace {

// A running host whose every suite the plug-in's code holds.
class HostEffectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<host::HostApp>();
    for (int i = 0; i < kSuiteTableSize; ++i)
      g_suite_slots[i] = host::FindSuite(kSuiteTable[i].name, kSuiteTable[i].version);
    doc = host::Documents().New("effects");
    layer = doc->current_layer()->group;
  }
  void TearDown() override {
    for (const void*& slot : g_suite_slots) slot = nullptr;
    host::Documents().CloseAll();
    app.reset();
  }
  ArtHandle H(const host::Art* art) const { return doc->HandleOf(art); }
  host::Art* Square(double x, double y, double side, host::Art* parent) {
    return host::AddRectangle(*doc, kPlaceInsideOnBottom, parent, {x, y + side, x + side, y},
                              host::FillStyleOf(host::Gray(0)));
  }
  // The filled area of everything under the art, in square points.
  static double Area(const host::Art& art) {
    host::Region region;
    EXPECT_EQ(host::FilledRegion(art, &region), kNoErr);
    return host::RegionArea(region);
  }
  // Whether any path of the document is painted with the placeholder's magenta.
  bool MagentaLeft() const {
    bool found = false;
    std::function<void(const host::Art&)> walk = [&](const host::Art& a) {
      if (a.type == kArtTypePath && a.style.stroke_paint &&
          a.style.stroke.color.kind == kColorFourProcess && a.style.stroke.color.components[1] == 1)
        found = true;
      for (const host::Art* c : host::Children(a)) walk(*c);
    };
    walk(*layer);
    return found;
  }

  std::unique_ptr<host::HostApp> app;
  host::Document* doc = nullptr;
  host::Art* layer = nullptr;
};

TEST_F(HostEffectsTest, OffsetOfArtInsideAGroupLeavesTheResultInTheGroup) {
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  host::Art* square = Square(0, 0, 100, group);
  const ArtHandle handle = H(square);
  OffsetPath(handle, 10, kJoinMiter, 4.0);
  EXPECT_EQ(doc->Resolve(handle), nullptr);
  const std::vector<host::Art*> inside = host::Children(*group);
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_NEAR(Area(*inside[0]), 120.0 * 120.0, 120.0 * 120.0 * 1e-3);
}

TEST_F(HostEffectsTest, UnionOfAGroupAloneInItsParentLeavesNoPlaceholder) {
  host::Art* outer = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, outer);
  Square(0, 0, 10, group);
  Square(5, 5, 10, group);
  UniteArt(H(group));
  EXPECT_FALSE(MagentaLeft());
  EXPECT_EQ(host::Children(*outer), std::vector<host::Art*>{group});
  EXPECT_NEAR(Area(*group), 175, 175 * 1e-3);
  EXPECT_EQ(CollectPaths(H(group)).size(), 1u);
}

TEST_F(HostEffectsTest, ASquareWithAHoleIsReleasedThenUnitedIntoOneSquare) {
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  PathStyle style = host::FillStyleOf(host::Gray(0));
  style.even_odd = true;
  host::Art* frame = host::AddCompoundPath(*doc, kPlaceInsideOnBottom, group, style);
  Square(0, 0, 30, frame);
  Square(10, 10, 10, frame);
  EXPECT_NEAR(Area(*frame), 800, 800 * 1e-3);  // the hole is a hole
  EXPECT_EQ(ReleaseAndUnite(H(group), true), 1);
  EXPECT_FALSE(MagentaLeft());
  // Released, each square fills on its own; united, they are one square.
  EXPECT_NEAR(Area(*group), 900, 900 * 1e-3);
  const std::vector<ArtHandle> paths = CollectPaths(H(group));
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_NEAR(PathArea(paths[0], 128, false), 900, 900 * 1e-3);
}

TEST_F(HostEffectsTest, OutlineConversionTurnsAStrokeIntoAFilledBand) {
  host::Art* ring = host::AddRectangle(*doc, kPlaceInsideOnBottom, layer, {0, 100, 100, 0},
                                       host::StrokeStyleOf(host::Gray(0), 10));
  ConvertToOutline(H(ring));
  const std::vector<host::Art*> top = host::TopLevelArt(*doc->current_layer());
  ASSERT_EQ(top.size(), 1u);
  // A band 10 wide around the square's outline: 110^2 - 90^2.
  EXPECT_NEAR(Area(*top[0]), 110.0 * 110 - 90.0 * 90, 4000 * 1e-3);
}

}  // namespace
