// Step and repeat on a running host: the object's group line reproduced as a
// plain grid or a lattice on the nesting area, copies made of its members,
// the user's objects removed only when copies were made, and the alerts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "art/group_lines.h"
#include "engine/lattice.h"
#include "engine/member_list.h"
#include "engine/run_texts.h"
#include "engine/step_repeat.h"
#include "plugin/suite_art.h"
#include "tests/art/running_host.h"

namespace {

class StepRepeatTest : public RunningHostTest {
 protected:
  void TearDown() override {
    std::free(list.group_lines);
    std::free(list.members);
    RunningHostTest::TearDown();
  }

  // The member list as the run builds it: the selected top-level objects,
  // then their group lines, each object linked to the line it belongs to
  // (by order without merging, to the one line of a merged cluster).
  void BuildList(int16_t merge) {
    std::vector<MemberEntry> members;
    for (LayerHandle l : DocumentLayers()) {
      if (!LayerUsable(l)) continue;
      for (ArtHandle a : TopLevelArtOf(l)) {
        if (ArtSelected(a)) members.push_back(MemberEntry{a, Bounds(a), -1, 0});
      }
    }
    BuildGroupLines(merge);
    std::vector<GroupLineEntry> lines;
    LayerHandle gl = nullptr;
    HeldSuite<LayerSuite>()->GetLayerByTitle(kGroupLineLayerTitle, &gl);
    if (gl) {
      for (ArtHandle g : TopLevelArtOf(gl)) lines.push_back(GroupLineEntry{g, nullptr, Bounds(g)});
    }
    for (size_t j = 0; j < members.size(); ++j) {
      members[j].group = merge ? 0 : static_cast<int32_t>(j);
    }
    list.group_line_count = static_cast<int32_t>(lines.size());
    list.group_lines =
        static_cast<GroupLineEntry*>(std::calloc(lines.size() + 1, sizeof(GroupLineEntry)));
    std::copy(lines.begin(), lines.end(), list.group_lines);
    list.member_count = static_cast<int32_t>(members.size());
    list.members = static_cast<MemberEntry*>(std::calloc(members.size() + 1, sizeof(MemberEntry)));
    std::copy(members.begin(), members.end(), list.members);
  }

  static RealRect Bounds(ArtHandle a) {
    RealRect b{0, 0, 0, 0};
    HeldSuite<ArtSuite>()->GetArtBounds(a, &b);
    return b;
  }

  // Builds the list, reproduces and finishes as the run does.
  int32_t Run(const StepRepeatSettings& s, const RealRect& area, int16_t merge = 0) {
    BuildList(merge);
    const StepRepeatOutcome o = ReproduceOnArea(list, area, s);
    copies = o.copies;
    return FinishStepAndRepeat(&list, o, s.language);
  }

  std::vector<ArtHandle> TopLevel() const {
    return TopLevelArtOf(doc->HandleOf(doc->current_layer()));
  }

  std::vector<std::string> Alerts() const {
    std::vector<std::string> out;
    for (const auto& e : user.entries()) out.push_back(e.text);
    return out;
  }

  MemberList list{nullptr, 0, nullptr, 0};
  int32_t copies = 0;
};

const RealRect kArea{0, 1010, 1010, 0};

TEST_F(StepRepeatTest, RectangleModeFillsTheAreaAsAGridAndReplacesTheObject) {
  struct Case {
    int16_t baseline, mode;
    bool right, bottom;  // where the grid sits
  };
  for (const Case c :
       {Case{0, 0, false, false}, Case{0, 1, true, false}, Case{1, 0, false, true}}) {
    SCOPED_TRACE(testing::Message() << "baseline " << c.baseline << " mode " << c.mode);
    host::Documents().CloseAll();
    user.Clear();
    doc = host::Documents().New("grid");
    layer = doc->current_layer()->group;
    host::Art* object = Rect(2000, 600, 2100, 550);  // 100 x 50
    Select(object);
    StepRepeatSettings s;
    s.toward_baseline = c.baseline;
    s.toward_mode = c.mode;
    ASSERT_EQ(Run(s, kArea), 0);
    EXPECT_EQ(copies, 200);  // 10 x 20: the group line is a little larger than 100 x 50
    const std::vector<ArtHandle> art = TopLevel();
    ASSERT_EQ(art.size(), 200u);  // the object itself was removed
    RealRect all = Bounds(art[0]);
    for (ArtHandle a : art) {
      const RealRect b = Bounds(a);
      all.left = std::min(all.left, b.left), all.right = std::max(all.right, b.right);
      all.top = std::max(all.top, b.top), all.bottom = std::min(all.bottom, b.bottom);
    }
    // The grid lies against the left or right edge and the top or bottom,
    // within the group line's margin of the object.
    EXPECT_NEAR(c.right ? kArea.right - all.right : all.left - kArea.left, 0, 0.5);
    EXPECT_NEAR(c.bottom ? all.bottom - kArea.bottom : kArea.top - all.top, 0, 0.5);
    EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
    EXPECT_EQ(Alerts(), std::vector<std::string>{" 200 reproduced!"});
  }
}

TEST_F(StepRepeatTest, SelectionAlertsLeaveTheObjectsWhereTheyAre) {
  StepRepeatSettings s;
  EXPECT_EQ(Run(s, kArea), -3);
  EXPECT_EQ(Alerts(), std::vector<std::string>{"No object is selected."});

  user.Clear();
  Select(Square(0, 0, 40));
  Select(Square(100, 0, 40));
  EXPECT_EQ(Run(s, kArea), -1);
  EXPECT_EQ(Alerts(), std::vector<std::string>{"Multiple objects selected."});
  EXPECT_EQ(TopLevel().size(), 2u);
  EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
}

TEST_F(StepRepeatTest, OverlappingObjectsAreReproducedTogether) {
  Select(Square(0, 0, 40));
  Select(Circle({40, 20}, 15));
  StepRepeatSettings s;
  s.consider_object_overlap = 1;
  ASSERT_EQ(Run(s, RealRect{0, 200, 300, 0}, 1), 0);
  EXPECT_GT(copies, 1);
  EXPECT_EQ(TopLevel().size(), 2u * static_cast<size_t>(copies));
}

TEST_F(StepRepeatTest, TooLargeInJapanese) {
  Select(Rect(0, 100, 400, 0));
  StepRepeatSettings s;
  s.language = 0;
  EXPECT_EQ(Run(s, RealRect{0, 300, 300, 0}), -2);
  EXPECT_EQ(Alerts(), std::vector<std::string>{GetRunText(RunText::kObjectTooLarge, 0)});
  EXPECT_EQ(TopLevel().size(), 1u);
}

// Rotation lets a 400 x 100 object pass on a 300 x 500 area, but the grid
// does not turn copies: nothing is made, and the object is kept.
TEST_F(StepRepeatTest, WhenNothingFitsTheObjectIsKept) {
  Select(Rect(0, 100, 400, 0));
  StepRepeatSettings s;
  s.enable_anytime_rotation = 1;
  s.anytime_rotation_mode = 1;
  EXPECT_EQ(Run(s, RealRect{0, 500, 300, 0}), -2);
  EXPECT_EQ(copies, 0);
  EXPECT_EQ(TopLevel().size(), 1u);
  EXPECT_EQ(Alerts(), std::vector<std::string>{GetRunText(RunText::kNothingReproduced, 1)});
  EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
}

// In Outline mode triangles interlock: more copies than their boxes allow,
// half of them turned.
TEST_F(StepRepeatTest, OutlineModeInterlocksTriangles) {
  Select(Polygon({{0, 0}, {60, 0}, {30, 50}}));
  StepRepeatSettings s;
  s.spacing = 4;
  const PlainGrid grid = PlainGridFor(RealRect{0, 50, 60, 0}, RealRect{0, 400, 500, 0}, 4, 0, 0);
  s.outline_mode = 1;
  s.enable_anytime_rotation = 1;
  ASSERT_EQ(Run(s, RealRect{0, 400, 500, 0}), 0);
  EXPECT_GT(copies, grid.columns * grid.rows);
  EXPECT_EQ(TopLevel().size(), static_cast<size_t>(copies));
  for (ArtHandle a : TopLevel()) {
    const RealRect b = Bounds(a);
    EXPECT_GE(b.left, -2.5);
    EXPECT_LE(b.right, 502.5);
    EXPECT_GE(b.bottom, -2.5);
    EXPECT_LE(b.top, 402.5);
  }
}

}  // namespace
