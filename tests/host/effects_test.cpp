// The host's effects: offset, pathfinder add and outline of strokes, checked
// by the areas and the shape of what they leave in the document.
#include "host/effects.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/builder.h"

namespace host {
namespace {

constexpr double kPiFull = 3.14159265358979323846;

// Within 0.1 % of the exact figure.
void ExpectArea(double actual, double exact) {
  EXPECT_NEAR(actual, exact, std::fabs(exact) * 0.001) << "exact " << exact;
}

double AreaOf(const Art& art) {
  Region region;
  EXPECT_EQ(FilledRegion(art, &region), kNoErr);
  return RegionArea(region);
}

class EffectsTest : public ::testing::Test {
 protected:
  void SetUp() override { doc_ = Documents().New("effects"); }
  void TearDown() override { Documents().CloseAll(); }

  Art* Square(Art* prep, int16_t order, double left, double bottom, double side) {
    return AddRectangle(*doc_, order, prep, RealRect{left, bottom + side, left + side, bottom},
                        FillStyleOf(Gray(0.5)));
  }
  Art* TopSquare(double left, double bottom, double side) {
    return Square(nullptr, kPlaceAboveAll, left, bottom, side);
  }
  Art* Top() const { return doc_->NthLayer(0)->group->first_child; }
  size_t TopCount() const { return TopLevelArt(*doc_->NthLayer(0)).size(); }

  Document* doc_ = nullptr;
};

// --- pathfinder add -----------------------------------------------------------

TEST_F(EffectsTest, SquareWithItsHoleReleasedUnitesIntoOneSquare) {
  // The two squares of a released square-with-hole: both filled, the inner
  // one running the other way round.
  Art* group = AddGroup(*doc_, kPlaceAboveAll, nullptr);
  Square(group, kPlaceInsideOnBottom, 0, 0, 100);
  AddPolygon(*doc_, kPlaceInsideOnBottom, group, {{30, 30}, {30, 70}, {70, 70}, {70, 30}},
             FillStyleOf(Gray(0.5)));
  SelectDeep(*doc_, group, true);

  ASSERT_EQ(UniteSelection(*doc_), kNoErr);

  // The group stays and holds one square path.
  ASSERT_EQ(TopCount(), 1u);
  EXPECT_EQ(Top(), group);
  std::vector<Art*> content = Children(*group);
  ASSERT_EQ(content.size(), 1u);
  EXPECT_EQ(content[0]->type, kArtTypePath);
  EXPECT_EQ(content[0]->segments.size(), 4u);
  ExpectArea(AreaOf(*content[0]), 10000);
  EXPECT_TRUE(content[0]->selected);
}

TEST_F(EffectsTest, UnionTakesTheTopmostPlaceAndKeepsHoles) {
  Art* below = TopSquare(200, 0, 10);  // unrelated, stays
  // A frame of four overlapping bars: the union is a square ring.
  const RealRect bars[] = {{0, 10, 40, 0}, {0, 40, 40, 30}, {0, 40, 10, 0}, {30, 40, 40, 0}};
  for (const RealRect& bar : bars) {
    AddRectangle(*doc_, kPlaceAboveAll, nullptr, bar, FillStyleOf(Gray(0.2)));
  }
  Art* topmost = Top();
  SetTag(*topmost, "zolvane_quantity", kTagTypeString, "3");
  for (Art* a : TopLevelArt(*doc_->NthLayer(0))) {
    if (a != below) SelectDeep(*doc_, a, true);
  }

  ASSERT_EQ(UniteSelection(*doc_), kNoErr);

  std::vector<Art*> top = TopLevelArt(*doc_->NthLayer(0));
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[1], below);
  Art* result = top[0];
  ASSERT_EQ(result->type, kArtTypeCompoundPath);
  EXPECT_EQ(Children(*result).size(), 2u);
  ExpectArea(AreaOf(*result), 40 * 40 - 20 * 20);
  EXPECT_TRUE(result->selected);
  EXPECT_FALSE(below->selected);
  ASSERT_NE(FindTag(*result, "zolvane_quantity"), nullptr);
  // The result paints like the topmost object.
  EXPECT_EQ(result->style.fill.color.components[0], 0.2);
}

TEST_F(EffectsTest, UnionOfAGroupAloneInItsParentLeavesOnlyTheGroup) {
  // The sequence a caller plays: a placeholder path in the parent, the group
  // alone selected, the union, then the placeholder disposed.
  Art* parent = AddGroup(*doc_, kPlaceAboveAll, nullptr);
  Art* group = AddGroup(*doc_, kPlaceInsideOnTop, parent);
  Square(group, kPlaceInsideOnBottom, 0, 0, 10);
  Square(group, kPlaceInsideOnBottom, 5, 5, 10);
  PathStyle magenta = StrokeStyleOf(Cmyk(0, 1, 0, 0), 1);
  Art* placeholder =
      AddPath(*doc_, kPlaceInsideOnTop, parent, {Corner({7, 2}), Corner({7, 12})}, false, magenta);
  ArtHandle placeholder_handle = doc_->HandleOf(placeholder);
  SelectDeep(*doc_, group, true);

  ASSERT_EQ(UniteSelection(*doc_), kNoErr);
  ASSERT_EQ(doc_->Resolve(placeholder_handle), placeholder);
  ASSERT_EQ(doc_->Dispose(placeholder), kNoErr);

  std::vector<Art*> inside = Children(*parent);
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0], group);
  ASSERT_EQ(Children(*group).size(), 1u);
  ExpectArea(AreaOf(*group), 175);
  EXPECT_FALSE(Children(*group)[0]->style.stroke_paint);
}

TEST_F(EffectsTest, UnionCountsEachPathWhateverItsDirectionAndCompoundsByTheirRule) {
  // Two overlapping squares running opposite ways: each is filled on its own.
  TopSquare(0, 0, 10);
  AddPolygon(*doc_, kPlaceAboveAll, nullptr, {{5, 5}, {5, 15}, {15, 15}, {15, 5}},
             FillStyleOf(Gray(0)));
  // A compound path, even-odd: a square with a hole.
  PathStyle even_odd = FillStyleOf(Gray(0));
  even_odd.even_odd = true;
  Art* compound = AddCompoundPath(*doc_, kPlaceAboveAll, nullptr, even_odd);
  Square(compound, kPlaceInsideOnBottom, 100, 0, 30);
  Square(compound, kPlaceInsideOnBottom, 110, 10, 10);
  for (Art* a : TopLevelArt(*doc_->NthLayer(0))) SelectDeep(*doc_, a, true);

  ASSERT_EQ(UniteSelection(*doc_), kNoErr);
  ASSERT_EQ(TopCount(), 1u);
  ExpectArea(AreaOf(*Top()), 175 + 900 - 100);
}

TEST_F(EffectsTest, UnionOfCurvesKeepsTheirArea) {
  Art* circle = AddEllipse(*doc_, kPlaceAboveAll, nullptr, {0, 0}, 50, 50, FillStyleOf(Gray(0)));
  SelectDeep(*doc_, circle, true);
  ASSERT_EQ(UniteSelection(*doc_), kNoErr);
  // Four cubic quarters stray from the circle by less than 0.03 %.
  ExpectArea(AreaOf(*Top()), kPiFull * 2500);
  EXPECT_GT(Top()->segments.size(), 100u);
}

// --- offset ---------------------------------------------------------------------

TEST_F(EffectsTest, OffsetGrowsTheAreaByTheJoin) {
  struct Case {
    int16_t join;
    double miter;
    double offset;
    double area;
  };
  const Case cases[] = {
      {kJoinMiter, 4, 10, 120 * 120},
      {kJoinRound, 4, 10, 100 * 100 + 4 * 100 * 10 + kPiFull * 100},
      {kJoinBevel, 4, 10, 120 * 120 - 4 * 50},
      // A miter longer than the limit (sqrt 2 for a right angle) is bevelled.
      {kJoinMiter, 1.2, 10, 120 * 120 - 4 * 50},
      {kJoinMiter, 4, -10, 80 * 80},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "join " << c.join << " offset " << c.offset);
    Art* square = TopSquare(0, 0, 100);
    SelectDeep(*doc_, square, true);
    ASSERT_EQ(OffsetSelection(*doc_, c.offset, c.join, c.miter), kNoErr);
    ASSERT_EQ(TopCount(), 1u);
    EXPECT_EQ(Top()->type, kArtTypePath);
    EXPECT_TRUE(Top()->selected);
    ExpectArea(AreaOf(*Top()), c.area);
    doc_->Dispose(Top());
  }
}

TEST_F(EffectsTest, OffsetOfArtInsideAGroupLeavesTheResultInTheGroup) {
  Art* group = AddGroup(*doc_, kPlaceAboveAll, nullptr);
  Square(group, kPlaceInsideOnBottom, 50, 0, 10);
  Art* target = Square(group, kPlaceInsideOnBottom, 0, 0, 100);  // below the first
  ArtHandle target_handle = doc_->HandleOf(target);
  SelectDeep(*doc_, target, true);

  ASSERT_EQ(OffsetSelection(*doc_, 5, kJoinMiter, 4), kNoErr);

  EXPECT_EQ(doc_->Resolve(target_handle), nullptr);
  std::vector<Art*> inside = Children(*group);
  ASSERT_EQ(inside.size(), 2u);
  ExpectArea(AreaOf(*inside[1]), 110 * 110);  // in the target's place
  EXPECT_TRUE(inside[1]->selected);
  EXPECT_FALSE(inside[0]->selected);
}

TEST_F(EffectsTest, OffsetOfARingShrinksItsHole) {
  PathStyle style = FillStyleOf(Gray(0));
  Art* compound = AddCompoundPath(*doc_, kPlaceAboveAll, nullptr, style);
  compound->style.even_odd = true;
  Square(compound, kPlaceInsideOnBottom, 0, 0, 100);
  Square(compound, kPlaceInsideOnBottom, 30, 30, 40);
  SelectDeep(*doc_, compound, true);

  ASSERT_EQ(OffsetSelection(*doc_, 5, kJoinMiter, 4), kNoErr);
  ASSERT_EQ(Top()->type, kArtTypeCompoundPath);
  std::vector<Art*> rings = Children(*Top());
  ASSERT_EQ(rings.size(), 2u);
  ExpectArea(AreaOf(*Top()), 110 * 110 - 30 * 30);
  // The outer ring comes first.
  EXPECT_GT(Bounds(*rings[0]).right, Bounds(*rings[1]).right);
}

// --- outline of strokes ----------------------------------------------------------

TEST_F(EffectsTest, ClosedStrokeBecomesACompoundOfOuterThenInnerRing) {
  PathStyle style = StrokeStyleOf(Rgb(0, 0, 1), 10);
  Art* square = AddRectangle(*doc_, kPlaceAboveAll, nullptr, RealRect{0, 100, 100, 0}, style);
  SetTag(*square, "zolvane_quantity", kTagTypeString, "2");
  ASSERT_EQ(ConvertArtToOutline(*doc_, square, kConvertOptionsOutline), kNoErr);

  ASSERT_EQ(TopCount(), 1u);
  Art* result = Top();
  ASSERT_EQ(result->type, kArtTypeCompoundPath);
  std::vector<Art*> rings = Children(*result);
  ASSERT_EQ(rings.size(), 2u);
  RealRect outer = Bounds(*rings[0]);
  RealRect inner = Bounds(*rings[1]);
  EXPECT_NEAR(outer.left, -5, 1e-3);
  EXPECT_NEAR(outer.top, 105, 1e-3);
  EXPECT_NEAR(inner.left, 5, 1e-3);
  EXPECT_NEAR(inner.top, 95, 1e-3);
  ExpectArea(AreaOf(*result), 110 * 110 - 90 * 90);
  EXPECT_TRUE(result->style.fill_paint);
  EXPECT_FALSE(result->style.stroke_paint);
  EXPECT_EQ(result->style.fill.color.kind, kColorRGB);
  EXPECT_EQ(result->style.fill.color.components[2], 1);
  EXPECT_NE(FindTag(*result, "zolvane_quantity"), nullptr);
  EXPECT_TRUE(result->selected);
}

TEST_F(EffectsTest, OpenStrokeBecomesOneClosedPathWithItsCaps) {
  struct Case {
    int16_t cap;
    double area;
  };
  const Case cases[] = {
      {kCapButt, 100 * 10},
      {kCapProjecting, 110 * 10},
      {kCapRound, 100 * 10 + kPiFull * 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "cap " << c.cap);
    PathStyle style = StrokeStyleOf(Gray(0), 10);
    style.stroke.cap = c.cap;
    Art* line =
        AddPath(*doc_, kPlaceAboveAll, nullptr, {Corner({0, 0}), Corner({100, 0})}, false, style);
    ASSERT_EQ(ConvertArtToOutline(*doc_, line, kConvertOptionsOutline), kNoErr);
    ASSERT_EQ(TopCount(), 1u);
    ASSERT_EQ(Top()->type, kArtTypePath);
    EXPECT_TRUE(Top()->closed);
    ExpectArea(AreaOf(*Top()), c.area);
    doc_->Dispose(Top());
  }
}

TEST_F(EffectsTest, OutlineOfABentStrokeFollowsItsJoin) {
  // An L of two 100-point legs, 10 wide: the outer corner is what differs.
  struct Case {
    int16_t join;
    double area;
  };
  const double legs = 100 * 10 + 100 * 10 - 5 * 5;  // butt ends; the legs overlap by 5 x 5
  const Case cases[] = {
      {kJoinMiter, legs + 25},
      {kJoinBevel, legs + 12.5},
      {kJoinRound, legs + kPiFull * 25 / 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "join " << c.join);
    PathStyle style = StrokeStyleOf(Gray(0), 10);
    style.stroke.join = c.join;
    Art* bent = AddPath(*doc_, kPlaceAboveAll, nullptr,
                        {Corner({0, 0}), Corner({100, 0}), Corner({100, 100})}, false, style);
    ASSERT_EQ(ConvertArtToOutline(*doc_, bent, kConvertOptionsOutline), kNoErr);
    ExpectArea(AreaOf(*Top()), c.area);
    doc_->Dispose(Top());
  }
}

TEST_F(EffectsTest, DashedStrokeGivesOneOutlinePerDash) {
  // A 100-point line, 2 wide.
  struct Case {
    int16_t cap;
    std::vector<double> pattern;
    double offset;
    size_t dashes;
    double area;
  };
  const Case cases[] = {
      {kCapButt, {10, 10}, 0, 5, 5 * 10 * 2},
      {kCapButt, {10, 10}, 5, 6, (5 + 4 * 10 + 5) * 2},
      // An odd pattern runs twice as long: 10 on, 5 off, 5 on, 10 off, 5 on, 5 off.
      {kCapButt, {10, 5, 5}, 0, 8, 55 * 2},
      {kCapRound, {0, 10}, 0, 11, 11 * kPiFull},  // dots
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "dashes " << c.dashes << " offset " << c.offset);
    PathStyle style = StrokeStyleOf(Gray(0), 2);
    style.stroke.cap = c.cap;
    style.stroke.dash.length = static_cast<int16_t>(c.pattern.size());
    for (size_t i = 0; i < c.pattern.size(); ++i) style.stroke.dash.array[i] = c.pattern[i];
    style.stroke.dash.offset = c.offset;
    Art* line =
        AddPath(*doc_, kPlaceAboveAll, nullptr, {Corner({0, 0}), Corner({100, 0})}, false, style);
    ASSERT_EQ(ConvertArtToOutline(*doc_, line, kConvertOptionsOutline), kNoErr);
    ASSERT_EQ(Top()->type, kArtTypeCompoundPath);
    EXPECT_EQ(Children(*Top()).size(), c.dashes);
    ExpectArea(AreaOf(*Top()), c.area);
    doc_->Dispose(Top());
  }
}

TEST_F(EffectsTest, OutlineLeavesUnstrokedArtAndKeepsAFill) {
  Art* plain = TopSquare(0, 0, 10);
  ArtHandle plain_handle = doc_->HandleOf(plain);
  EXPECT_EQ(ConvertArtToOutline(*doc_, plain, kConvertOptionsOutline), kNoErr);
  EXPECT_EQ(doc_->Resolve(plain_handle), plain);

  PathStyle both = FillStyleOf(Gray(0.5));
  both.stroke_paint = true;
  both.stroke.width = 2;
  both.stroke.color = Gray(0);
  Art* filled = AddRectangle(*doc_, kPlaceAboveAll, nullptr, RealRect{50, 60, 60, 50}, both);
  ASSERT_EQ(ConvertArtToOutline(*doc_, filled, kConvertOptionsOutline), kNoErr);
  Art* group = Top();
  ASSERT_EQ(group->type, kArtTypeGroup);
  std::vector<Art*> parts = Children(*group);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0]->type, kArtTypeCompoundPath);
  ExpectArea(AreaOf(*parts[0]), 12 * 12 - 8 * 8);
  EXPECT_FALSE(parts[1]->style.stroke_paint);
  ExpectArea(AreaOf(*parts[1]), 100);
}

// --- refusals ----------------------------------------------------------------------

TEST_F(EffectsTest, BadInputChangesNothing) {
  Art* square = TopSquare(0, 0, 10);
  // Nothing selected.
  EXPECT_EQ(UniteSelection(*doc_), kErrRefused);
  EXPECT_EQ(OffsetSelection(*doc_, 5, kJoinMiter, 4), kErrRefused);
  SelectDeep(*doc_, square, true);
  // Offsets, joins and miter limits that cannot be used.
  EXPECT_EQ(OffsetSelection(*doc_, std::nan(""), kJoinMiter, 4), kErrBadParameter);
  EXPECT_EQ(OffsetSelection(*doc_, 5, 7, 4), kErrBadParameter);
  EXPECT_EQ(OffsetSelection(*doc_, 5, kJoinMiter, std::nan("")), kErrBadParameter);
  // Coordinates that are not numbers.
  Art* broken = TopSquare(20, 0, 10);
  broken->segments[1].p.x = std::nan("");
  SelectDeep(*doc_, broken, true);
  EXPECT_EQ(UniteSelection(*doc_), kErrBadParameter);
  EXPECT_EQ(OffsetSelection(*doc_, 5, kJoinMiter, 4), kErrBadParameter);
  // Options the converter does not have, and a path inside a compound path.
  EXPECT_EQ(ConvertArtToOutline(*doc_, square, 3), kErrBadParameter);
  EXPECT_EQ(ConvertArtToOutline(*doc_, nullptr, kConvertOptionsOutline), kErrBadParameter);
  Art* compound = AddCompoundPath(*doc_, kPlaceAboveAll, nullptr, StrokeStyleOf(Gray(0), 1));
  Art* inner = Square(compound, kPlaceInsideOnTop, 0, 0, 5);
  EXPECT_EQ(ConvertArtToOutline(*doc_, inner, kConvertOptionsOutline), kErrRefused);

  std::vector<Art*> top = TopLevelArt(*doc_->NthLayer(0));
  ASSERT_EQ(top.size(), 3u);
  EXPECT_EQ(top[2], square);
  EXPECT_EQ(square->segments.size(), 4u);
  EXPECT_EQ(Children(*compound).size(), 1u);
}

}  // namespace
}  // namespace host
