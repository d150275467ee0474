// Quantities of the selection, group lines drawn through the host's effects,
// and copies of group-line members.
#include "art/group_lines.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "art/path_geometry.h"
#include "engine/member_list.h"
#include "tests/art/running_host.h"

namespace {

class GroupLinesTest : public RunningHostTest {
 protected:
  // The group lines drawn, topmost first; empty when there is no layer.
  std::vector<host::Art*> GroupLines() const {
    host::Layer* l = doc->LayerByTitle(kGroupLineLayerTitle);
    return l ? host::TopLevelArt(*l) : std::vector<host::Art*>{};
  }
  std::string TagOf(const host::Art* art) const {
    for (const host::Tag& t : art->tags)
      if (t.name == kQuantityTagName) return t.value;
    return "";
  }
  void SetTag(host::Art* art, const std::string& value) {
    art->tags.push_back({kQuantityTagName, kQuantityTagType, value});
  }
  // Whether the group line covers the point (its filled shape).
  bool Covers(const host::Art* line, RealPoint p) const {
    return PointInArt(H(line), p, 0) == kInside;
  }
};

TEST(QuantityText, ReadAsTheCLibraryDoesWithinThirtyTwoBits) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {
      {"12abc", 12},
      {"abc", 0},
      {" 7", 7},
      {"-3", -3},
      {"", 0},
      {"+4", 4},
      {"\t 9x", 9},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
      {"2147483647", INT32_MAX},
      {"99999999999999999999999", INT32_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseQuantityText(c.text), c.value) << c.text;
  EXPECT_EQ(ParseQuantityText(nullptr), 0);
}

TEST(QuantityText, ThePanelBoxKeepsADashAndTurnsNegativesToZero) {
  EXPECT_EQ(QuantityFromBox("-"), kMixedQuantities);
  EXPECT_EQ(QuantityFromBox(""), 0);
  EXPECT_EQ(QuantityFromBox("-5"), 0);
  EXPECT_EQ(QuantityFromBox("--"), 0);
  EXPECT_EQ(QuantityFromBox("12"), 12);
}

TEST_F(GroupLinesTest, WritingZeroOrANegativeQuantityRemovesTheTag) {
  host::Art* a = Square(0, 0, 10);
  WriteQuantity(H(a), 3);
  EXPECT_EQ(TagOf(a), "3");
  EXPECT_EQ(ReadQuantity(H(a)), 3);
  for (int32_t q : {0, -4}) {
    WriteQuantity(H(a), 3);
    WriteQuantity(H(a), q);
    EXPECT_TRUE(a->tags.empty()) << q;
    EXPECT_EQ(ReadQuantity(H(a)), 0);
  }
  SetTag(a, " 7");
  EXPECT_EQ(ReadQuantity(H(a)), 7);
}

TEST_F(GroupLinesTest, SelectionQuantityAndApplyingTheBox) {
  EXPECT_EQ(SelectionQuantity(), kNoSelection);
  host::Art* a = Square(0, 0, 10);
  host::Art* b = Square(20, 0, 10);
  SetTag(a, "2");
  SetTag(b, "5");
  Select(a);
  EXPECT_EQ(SelectionQuantity(), 2);
  Select(b);
  EXPECT_EQ(SelectionQuantity(), kMixedQuantities);
  ApplySelectionQuantity(QuantityFromBox("-"));
  EXPECT_EQ(TagOf(a), "2");
  EXPECT_EQ(TagOf(b), "5");
  ApplySelectionQuantity(QuantityFromBox("7"));
  EXPECT_EQ(SelectionQuantity(), 7);
  ApplySelectionQuantity(QuantityFromBox(""));
  EXPECT_TRUE(a->tags.empty());
  EXPECT_TRUE(b->tags.empty());
  EXPECT_EQ(SelectionQuantity(), 0);
}

TEST_F(GroupLinesTest, HiddenAndLockedLayersGiveNoPiecesButTheirQuantitiesCount) {
  host::Layer* hidden = doc->current_layer();
  host::Layer* locked = nullptr;
  ASSERT_EQ(doc->InsertLayer(hidden, kPlaceBelow, &locked), kNoErr);
  host::Art* a = Square(0, 0, 10);
  host::Art* b = Square(0, 0, 10, locked->group);
  SetTag(a, "4");
  SetTag(b, "4");
  Select(a);
  Select(b);
  hidden->visible = false;
  locked->editable = false;
  BuildGroupLines(0);
  EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
  EXPECT_EQ(SelectionQuantity(), 4);
  ApplySelectionQuantity(9);
  EXPECT_EQ(TagOf(a), "9");
  EXPECT_EQ(TagOf(b), "9");
}

TEST_F(GroupLinesTest, NothingSelectedDrawsNothing) {
  Square(0, 0, 10);
  BuildGroupLines(1);
  EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
  EXPECT_EQ(doc->LayerCount(), 1);
}

TEST_F(GroupLinesTest, TheLayerGoesToTheBottomAndLinesAreNamedByIdAndQuantity) {
  host::Art* objects[3];
  for (int i = 0; i < 3; ++i) objects[i] = Square(30.0 * i, 0, 10);
  SetTag(objects[2], "4");
  for (host::Art* o : objects) Select(o);
  BuildGroupLines(0);
  ASSERT_EQ(doc->NthLayer(doc->LayerCount() - 1)->title, kGroupLineLayerTitle);
  std::vector<host::Art*> lines = GroupLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2]->name, "<Group Line>ID:3 QTY:4");
  EXPECT_EQ(TagOf(lines[2]), "4");
  EXPECT_EQ(lines[0]->name, "<Group Line>ID:1 QTY:0");
  EXPECT_TRUE(lines[0]->tags.empty());

  // A second build adds to the layer; the third object without a quantity.
  objects[2]->tags.clear();
  doc->DeleteLayer(doc->LayerByTitle(kGroupLineLayerTitle));
  for (host::Art* o : objects) Select(o);
  BuildGroupLines(0);
  lines = GroupLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2]->name, "<Group Line>ID:3 QTY:0");
  EXPECT_TRUE(lines[2]->tags.empty());
}

TEST_F(GroupLinesTest, AClippedGroupGivesOnlyItsClippingPath) {
  host::Art* clip = Group();
  host::Art* mask = Rect(0, 50, 80, 0, clip);
  mask->style.clip = true;
  clip->clipped = true;
  host::AddBoxArt(*doc, kArtTypeRaster, kPlaceInsideOnBottom, clip, {-40, 90, 120, -40},
                  {1, 0, 0, 1, 0, 0}, "image");
  Select(clip);
  BuildGroupLines(0);
  const std::vector<host::Art*> lines = GroupLines();
  ASSERT_EQ(lines.size(), 1u);
  const RealRect b = host::Bounds(*lines[0]);
  // The rectangle grown by half the 0.1 mm outline, not the image.
  EXPECT_NEAR(b.left, -kPieceOutlineStep / 2, 0.05);
  EXPECT_NEAR(b.right, 80 + kPieceOutlineStep / 2, 0.05);
  EXPECT_NEAR(Area(*lines[0]), 80.0 * 50, 80);
}

TEST_F(GroupLinesTest, SeparatePathsAreJoinedByBridgesToTheCentreOfTheirBounds) {
  host::Art* object = Group();
  Square(0, 0, 20, object);
  Square(100, 60, 20, object);
  Select(object);
  BuildGroupLines(0);
  const std::vector<host::Art*> lines = GroupLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(CollectPaths(H(lines[0])).size(), 1u);  // one silhouette
  EXPECT_TRUE(Covers(lines[0], {10, 10}));
  EXPECT_TRUE(Covers(lines[0], {110, 70}));
  EXPECT_TRUE(Covers(lines[0], {60, 40}));  // centre of the bounds
  EXPECT_TRUE(Covers(lines[0], {40, 30}));  // on the bridge to the first square's corner
  EXPECT_FALSE(Covers(lines[0], {60, 10}));
  // Two squares and two bridges 1 pt wide, each about 44.7 pt long.
  EXPECT_NEAR(Area(*lines[0]), 20.2 * 20.2 * 2 + 2 * 44.7, 15);
}

TEST_F(GroupLinesTest, ARingGivesOneFilledSilhouetteWithoutABridge) {
  host::Art* ring = Group();
  Circle({0, 0}, 50, ring);
  Circle({0, 0}, 30, ring);
  Select(ring);
  BuildGroupLines(0);
  const std::vector<host::Art*> lines = GroupLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(Covers(lines[0], {0, 0}));  // the hole is filled
  EXPECT_NEAR(Area(*lines[0]), M_PI * 50 * 50, M_PI * 50 * 50 * 0.01);
}

TEST_F(GroupLinesTest, MergeTakesOverIdsAndRaisesOnlyThePieceThatCrossed) {
  host::Art* a = Group();
  Square(0, 0, 20, a);   // a1
  Square(50, 0, 20, a);  // a2
  host::Art* b = Square(65, 10, 20);
  SetTag(a, "2");
  SetTag(b, "5");
  Select(a);
  Select(b);
  BuildGroupLines(1);
  const std::vector<host::Art*> lines = GroupLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->name, "<Group Line>ID:1 QTY:2");
  EXPECT_TRUE(Covers(lines[0], {10, 10}));
  EXPECT_TRUE(Covers(lines[0], {80, 25}));
}

TEST_F(GroupLinesTest, WithMergeASmallObjectInsideALargerOneGetsNoGroupLine) {
  host::Art* large = Square(0, 0, 100);
  host::Art* small = Square(40, 40, 10);
  Select(large);
  Select(small);
  BuildGroupLines(1);
  EXPECT_EQ(GroupLines().size(), 1u);
  doc->DeleteLayer(doc->LayerByTitle(kGroupLineLayerTitle));
  Select(large);
  Select(small);
  BuildGroupLines(0);
  EXPECT_EQ(GroupLines().size(), 2u);
}

TEST_F(GroupLinesTest, CopiesArePlacedOnTopInTheirParentMovedAndWithoutQuantity) {
  host::Art* holder = Group();
  host::Art* a = Square(0, 0, 10, holder);
  host::Art* b = Square(20, 0, 10);
  host::Art* c = Square(40, 0, 10);
  SetTag(a, "3");
  MemberEntry members[3] = {{H(a), {}, 0, 0}, {H(b), {}, 1, 0}, {H(c), {}, 0, 0}};
  const MemberList list{nullptr, 0, members, 3};
  const RealMatrix move{1, 0, 0, 1, 100, 50};
  PlaceGroupCopies(list, 0, move);
  const std::vector<host::Art*> top = host::TopLevelArt(*doc->current_layer());
  // c's copy is made first, a's copy goes on top of holder's children.
  ASSERT_EQ(top.size(), 4u);
  EXPECT_NEAR(host::Bounds(*top[0]).left, 140, 1e-9);
  const std::vector<host::Art*> inside = host::Children(*holder);
  ASSERT_EQ(inside.size(), 2u);
  EXPECT_NEAR(host::Bounds(*inside[0]).left, 100, 1e-9);
  EXPECT_NEAR(host::Bounds(*inside[0]).bottom, 50, 1e-9);
  EXPECT_TRUE(inside[0]->tags.empty());
  EXPECT_EQ(TagOf(a), "3");
}

}  // namespace
