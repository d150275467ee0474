// Step and repeat on a running host: the selected object's group line
// reproduced as a plain grid or a lattice on the first sheet's nesting area,
// copies made of its members, the user's objects removed only when copies
// were made, and the alerts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/lattice.h"
#include "engine/run_texts.h"
#include "engine/sheets.h"
#include "engine/step_repeat.h"
#include "plugin/suite_art.h"
#include "tests/engine/nesting_fixture.h"

namespace {

class StepRepeatTest : public NestingTest {
 protected:
  // A plate of width x height points without margins, spacing in points.
  void Plate(double width, double height, double spacing = 0) {
    SmallPlate();
    globals.plate_width = width / PointsPerMm;
    globals.plate_height = height / PointsPerMm;
    globals.cur_param.collection_margin = spacing / PointsPerMm;
    globals.outline_mode = 0;
  }
  // The nesting area the run fills: the first sheet's.
  RealRect Area() const {
    RealRect square;
    CanvasSquare(&square, kReferenceSquareSide);
    return FirstSheet(square, SheetSettingsFrom(globals)).area;
  }
  int32_t Reproduce() {
    int32_t sheets = -1;
    const int32_t result = RunStepAndRepeat(&sheets);
    EXPECT_EQ(sheets, 0);
    return result;
  }
  static RealRect Bounds(const host::Art* a) {
    RealRect b{0, 0, 0, 0};
    host::ArtExtent(*a, nullptr, 0, &b);
    return b;
  }
  // The box of every top-level object.
  RealRect All() const {
    const std::vector<host::Art*> art = AllObjects();
    RealRect all = Bounds(art[0]);
    for (const host::Art* a : art) {
      const RealRect b = Bounds(a);
      all.left = std::min(all.left, b.left), all.right = std::max(all.right, b.right);
      all.top = std::max(all.top, b.top), all.bottom = std::min(all.bottom, b.bottom);
    }
    return all;
  }
};

// 100 x 50 objects on a 1010 point square in Rectangle mode: 10 x 20 copies
// (the group line is a little larger than the object, so 1000 would hold
// 9 x 19), against the baseline side and the start of the fill direction.
TEST_F(StepRepeatTest, RectangleModeFillsTheAreaAsAGridAndReplacesTheObject) {
  struct Case {
    int16_t baseline, mode;
    bool right, bottom;  // where the grid sits
  };
  for (const Case c : {Case{kBaselineTop, 0, false, false}, Case{kBaselineTop, 1, true, false},
                       Case{kBaselineBottom, 0, false, true}}) {
    SCOPED_TRACE(testing::Message() << "baseline " << c.baseline << " mode " << c.mode);
    host::Documents().CloseAll();
    user.Clear();
    doc = host::Documents().New("grid");
    layer = doc->current_layer()->group;
    Select(Rect(2000, 600, 2100, 550));
    Plate(1010, 1010);
    globals.toward_baseline = c.baseline;
    globals.toward_mode = c.mode;
    ASSERT_EQ(Reproduce(), 0);
    EXPECT_EQ(AllObjects().size(), 200u);  // the object itself was removed
    const RealRect area = Area(), all = All();
    // Within the group line's margin of the object.
    EXPECT_NEAR(c.right ? area.right - all.right : all.left - area.left, 0, 0.5);
    EXPECT_NEAR(c.bottom ? all.bottom - area.bottom : area.top - all.top, 0, 0.5);
    EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
    EXPECT_EQ(Alerts(), std::vector<std::string>{" 200 reproduced!"});
  }
}

TEST_F(StepRepeatTest, SelectionAlertsLeaveTheObjectsWhereTheyAre) {
  Plate(1000, 1000);
  EXPECT_EQ(Reproduce(), -3);
  EXPECT_EQ(Alerts(), std::vector<std::string>{"No object is selected."});

  user.Clear();
  Select(Square(0, 0, 40));
  Select(Square(100, 0, 40));
  EXPECT_EQ(Reproduce(), -1);
  EXPECT_EQ(Alerts(), std::vector<std::string>{"Multiple objects selected."});
  EXPECT_EQ(AllObjects().size(), 2u);
  EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
}

TEST_F(StepRepeatTest, OverlappingObjectsAreReproducedTogether) {
  Select(Square(0, 0, 40));
  Select(Circle({40, 20}, 15));
  Plate(300, 200);
  globals.consider_object_overlap = 1;
  ASSERT_EQ(Reproduce(), 0);
  const size_t copies = AllObjects().size() / 2;
  EXPECT_GT(copies, 1u);
  EXPECT_EQ(AllObjects().size(), 2 * copies);
  EXPECT_EQ(Alerts(), std::vector<std::string>{" " + std::to_string(copies) + " reproduced!"});
}

TEST_F(StepRepeatTest, TooLargeInJapanese) {
  Select(Rect(0, 100, 400, 0));
  Plate(300, 300);
  globals.language = kLanguageJapanese;
  EXPECT_EQ(Reproduce(), -2);
  EXPECT_EQ(Alerts(), std::vector<std::string>{GetRunText(RunText::kObjectTooLarge, 0)});
  EXPECT_EQ(AllObjects().size(), 1u);
}

// Rotation lets a 400 x 100 object pass on a 300 x 500 area, but the grid
// does not turn copies: nothing is made, and the object is kept.
TEST_F(StepRepeatTest, WhenNothingFitsTheObjectIsKept) {
  host::Art* object = Rect(0, 100, 400, 0);
  Select(object);
  Plate(300, 500);
  globals.enable_anytime_rotation = 1;
  globals.anytime_rotation_mode = 1;
  EXPECT_EQ(Reproduce(), -2);
  ASSERT_EQ(AllObjects().size(), 1u);
  EXPECT_EQ(AllObjects()[0], object);
  EXPECT_EQ(Alerts(), std::vector<std::string>{GetRunText(RunText::kNothingReproduced, 1)});
  EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
}

// A left baseline does not turn the copies, so an object as wide as the
// area fits (only its own width and height are compared with the area's).
TEST_F(StepRepeatTest, LeftBaselineKeepsTheObjectsOrientation) {
  Select(Rect(0, 100, 390, 0));
  Plate(400, 250);
  globals.toward_baseline = kBaselineLeft;
  ASSERT_EQ(Reproduce(), 0);
  EXPECT_EQ(AllObjects().size(), 2u);
  EXPECT_GT(RectWidth(Bounds(AllObjects()[0])), 389);
}

// In Outline mode triangles interlock: more copies than their boxes allow,
// each inside the area (its grown outline within v/2 of it).
TEST_F(StepRepeatTest, OutlineModeInterlocksTriangles) {
  Select(Polygon({{0, 0}, {60, 0}, {30, 50}}));
  Plate(500, 400, 4);
  const PlainGrid grid = PlainGridFor(RealRect{0, 50, 60, 0}, Area(), 4, 0, 0);
  globals.outline_mode = 1;
  globals.enable_anytime_rotation = 1;
  globals.anytime_rotation_mode = 0;
  ASSERT_EQ(Reproduce(), 0);
  EXPECT_GT(static_cast<int32_t>(AllObjects().size()), grid.columns * grid.rows);
  const RealRect area = Area(), all = All();
  EXPECT_GE(all.left, area.left - 2.5);
  EXPECT_LE(all.right, area.right + 2.5);
  EXPECT_GE(all.bottom, area.bottom - 2.5);
  EXPECT_LE(all.top, area.top + 2.5);
}

// "Rotate to minimize height": a bar drawn at 30 degrees is reproduced
// lying flat (turned by 60 degrees of 5-degree steps, then a quarter turn
// because it then stands taller than wide), while the object itself is not
// turned.
TEST_F(StepRepeatTest, TheInitialTurnLaysATiltedBarFlat) {
  const double c = std::cos(kPi / 6), s = std::sin(kPi / 6);
  std::vector<RealPoint> bar;
  for (const RealPoint p :
       {RealPoint{0, 0}, RealPoint{200, 0}, RealPoint{200, 20}, RealPoint{0, 20}}) {
    bar.push_back(RealPoint{p.x * c - p.y * s, p.x * s + p.y * c});
  }
  host::Art* object = Polygon(bar);
  Select(object);
  Plate(500, 300, 4);
  globals.outline_mode = 1;
  globals.enable_initial_rotation = 1;
  ASSERT_EQ(Reproduce(), 0);
  ASSERT_GT(AllObjects().size(), 4u);
  for (const host::Art* a : AllObjects()) {
    const RealRect b = Bounds(a);
    EXPECT_GT(RectWidth(b), 199);
    EXPECT_LT(RectHeight(b), 22);
  }
}

TEST_F(StepRepeatTest, WithoutADocumentNothingRuns) {
  host::Documents().CloseAll();
  int32_t sheets = -1;
  EXPECT_EQ(RunStepAndRepeat(&sheets), -1);
  EXPECT_EQ(sheets, 0);
  EXPECT_TRUE(Alerts().empty());
}

}  // namespace
