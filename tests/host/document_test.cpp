// The host stand-in's document model: bounds, paint order, duplicates,
// disposal, handles, tags, transforms, layers, artboards and the view.
#include "host/document.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/builder.h"

namespace host {
namespace {

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { doc = Documents().New("test"); }
  void TearDown() override { Documents().CloseAll(); }
  Art* Root() { return doc->current_layer()->group; }
  Art* Rect(double l, double t, double r, double b, Art* prep = nullptr,
            int16_t order = kPlaceInsideOnBottom) {
    return AddRectangle(*doc, order, prep ? prep : Root(), RealRect{l, t, r, b},
                        FillStyleOf(Gray(0.5)));
  }
  Document* doc = nullptr;
};

void ExpectRect(const RealRect& got, const RealRect& want, double eps = 1e-9) {
  EXPECT_NEAR(got.left, want.left, eps);
  EXPECT_NEAR(got.top, want.top, eps);
  EXPECT_NEAR(got.right, want.right, eps);
  EXPECT_NEAR(got.bottom, want.bottom, eps);
}

TEST_F(DocumentTest, CurvedPathBoundsAreTheCurvesExtremes) {
  // A circle's anchors lie on its extremes; a curve whose handles overshoot
  // reaches past its anchors, and its handles are not part of the bounds.
  Art* circle = AddEllipse(*doc, kPlaceInsideOnTop, Root(), {10, 20}, 50, 30, PathStyle{});
  ExpectRect(Bounds(*circle), {-40, 50, 60, -10});

  // From (0,0) to (100,0) with both handles at y = 100: the top is 75.
  Art* arch = AddPath(*doc, kPlaceInsideOnTop, Root(),
                      {Smooth({0, 0}, {0, 0}, {0, 100}), Smooth({100, 0}, {100, 100}, {100, 0})},
                      false, PathStyle{});
  ExpectRect(Bounds(*arch), {0, 75, 100, 0});
  // Closed, the closing curve runs back below: from (100,0) out (100,0) to
  // in (0,0) is straight, so nothing changes.
  arch->closed = true;
  ExpectRect(Bounds(*arch), {0, 75, 100, 0});

  // A rotated circle still measures exactly its radius around the centre.
  RealMatrix turn{1, 0, 0, 1, 0, 0};
  MatrixConcatRotate(&turn, 0.3);
  Art* round = AddEllipse(*doc, kPlaceInsideOnTop, Root(), {0, 0}, 40, 40, PathStyle{});
  Transform(*round, turn);
  // Four cubics approximate the circle to about 0.03 % of the radius.
  ExpectRect(Bounds(*round), {-40, 40, 40, -40}, 40 * 3e-4);
}

TEST_F(DocumentTest, BoundsOptionsAndContainers) {
  Art* group = AddGroup(*doc, kPlaceInsideOnTop, Root());
  EXPECT_TRUE(Bounds(*group).left == 0 && Bounds(*group).right == 0);  // empty group
  Art* a = Rect(0, 10, 10, 0, group);
  Art* b = Rect(20, 40, 30, 30, group);
  b->style = StrokeStyleOf(Gray(0), 4);
  ExpectRect(Bounds(*group), {0, 40, 30, 0});
  RealRect r;
  ASSERT_TRUE(ArtExtent(*group, nullptr, kBoundsVisible, &r));  // strokes added
  ExpectRect(r, {0, 42, 32, 0});
  b->hidden = true;
  ExpectRect(Bounds(*group), {0, 10, 10, 0});
  ASSERT_TRUE(ArtExtent(*group, nullptr, kBoundsNoStroke, &r));  // hidden counted
  ExpectRect(r, {0, 40, 30, 0});

  // A clipping group measures as its clipping path, wherever that lies.
  group->clipped = true;
  Art* clip = Rect(2, 8, 8, 2, a, kPlaceBelow);
  clip->style.clip = true;
  ExpectRect(Bounds(*group), {2, 8, 8, 2});

  // Box kinds measure as their transformed box.
  Art* image = AddBoxArt(*doc, kArtTypeRaster, kPlaceInsideOnTop, Root(), {0, 10, 20, 0},
                         RealMatrix{0, 1, -1, 0, 100, 0}, "<image/>");
  ExpectRect(Bounds(*image), {90, 20, 100, 0});
}

TEST_F(DocumentTest, PaintOrderPlacesArt) {
  Art* a = Rect(0, 1, 1, 0);
  Art* b = Rect(0, 1, 1, 0);  // below a
  Art* g = AddGroup(*doc, kPlaceInsideOnBottom, Root());
  struct Case {
    int16_t order;
    Art* prep;
    Art* parent;
    int index;  // position in the parent, topmost 0
  };
  const Case cases[] = {
      {kPlaceAbove, b, nullptr, 1},          {kPlaceBelow, a, nullptr, 1},
      {kPlaceAbove, a, nullptr, 0},          {kPlaceBelow, g, nullptr, 3},
      {kPlaceInsideOnTop, g, g, 0},          {kPlaceInsideOnBottom, g, g, 0},
      {kPlaceAboveAll, nullptr, nullptr, 0}, {kPlaceBelowAll, nullptr, nullptr, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.order);
    Art* made = nullptr;
    ASSERT_EQ(doc->NewArt(kArtTypePath, c.order, c.prep, &made), kNoErr);
    Art* parent = c.parent ? c.parent : Root();
    std::vector<Art*> kids = Children(*parent);
    ASSERT_LT(static_cast<size_t>(c.index), kids.size());
    EXPECT_EQ(kids[static_cast<size_t>(c.index)], made);
    EXPECT_EQ(made->parent, parent);
    ASSERT_EQ(doc->Dispose(made), kNoErr);
  }
  // Reorder moves with the same rules; the links stay consistent both ways.
  ASSERT_EQ(doc->Reorder(a, kPlaceBelow, g), kNoErr);
  std::vector<Art*> kids = Children(*Root());
  ASSERT_EQ(kids.size(), 3u);
  EXPECT_EQ(kids[0], b);
  EXPECT_EQ(kids[2], a);
  EXPECT_EQ(Root()->last_child, a);
  EXPECT_EQ(a->prev, g);
  EXPECT_EQ(b->prev, nullptr);
}

TEST_F(DocumentTest, RefusedPlacesChangeNothing) {
  Art* path = Rect(0, 1, 1, 0);
  Art* compound = AddCompoundPath(*doc, kPlaceInsideOnTop, Root(), PathStyle{});
  Art* g = AddGroup(*doc, kPlaceInsideOnTop, Root());
  Art* inner = AddGroup(*doc, kPlaceInsideOnTop, g);
  Art* out = nullptr;
  EXPECT_EQ(doc->NewArt(kArtTypePath, kPlaceInsideOnTop, path, &out), kErrRefused);
  EXPECT_EQ(doc->NewArt(kArtTypeGroup, kPlaceInsideOnTop, compound, &out), kErrRefused);
  EXPECT_EQ(doc->NewArt(kArtTypePath, kPlaceAbove, Root(), &out), kErrRefused);
  EXPECT_EQ(doc->NewArt(kArtTypePath, kPlaceAbove, nullptr, &out), kErrBadParameter);
  EXPECT_EQ(doc->NewArt(kArtTypePath, 99, path, &out), kErrBadParameter);
  EXPECT_EQ(doc->NewArt(42, kPlaceAbove, path, &out), kErrBadParameter);
  EXPECT_EQ(doc->Reorder(g, kPlaceInsideOnTop, inner), kErrRefused);  // into itself
  EXPECT_EQ(doc->Reorder(Root(), kPlaceAbove, path), kErrRefused);
  EXPECT_EQ(doc->Dispose(Root()), kErrRefused);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(Children(*Root()).size(), 3u);
  EXPECT_EQ(inner->parent, g);
}

TEST_F(DocumentTest, NestingDepthIsBounded) {
  // A chain of groups as deep as allowed; one more level is refused whether
  // made, copied or moved there.
  Art* deepest = Root();
  for (int i = 0; i < kMaxArtDepth; ++i) {
    Art* g = AddGroup(*doc, kPlaceInsideOnTop, deepest);
    ASSERT_NE(g, nullptr) << i;
    deepest = g;
  }
  Art* out = nullptr;
  EXPECT_EQ(doc->NewArt(kArtTypePath, kPlaceInsideOnTop, deepest, &out), kErrRefused);
  Art* leaf = Rect(0, 1, 1, 0);
  EXPECT_EQ(doc->Reorder(leaf, kPlaceInsideOnTop, deepest), kErrRefused);
  EXPECT_EQ(doc->Duplicate(leaf, kPlaceInsideOnTop, deepest, &out), kErrRefused);
  Art* top = Root()->first_child;
  EXPECT_EQ(doc->Duplicate(top, kPlaceInsideOnTop, top, &out), kErrRefused);
  EXPECT_EQ(doc->Duplicate(top, kPlaceAbove, top, &out), kNoErr);
  ASSERT_EQ(doc->Dispose(top), kNoErr);
}

TEST_F(DocumentTest, DuplicateCopiesEverythingAndDisposeRemovesEverything) {
  Art* g = AddGroup(*doc, kPlaceInsideOnTop, Root());
  g->name = "parts";
  SetTag(*g, "zolvane_quantity", "string", "3");
  Art* a = Rect(0, 10, 10, 0, g);
  SetTag(*a, "note", "string", "inner");
  Art* c = AddEllipse(*doc, kPlaceInsideOnBottom, g, {50, 50}, 5, 5, StrokeStyleOf(Gray(0), 2));
  size_t before = doc->ArtCount();

  Art* copy = nullptr;
  ASSERT_EQ(doc->Duplicate(g, kPlaceAbove, g, &copy), kNoErr);
  EXPECT_EQ(Root()->first_child, copy);
  EXPECT_EQ(copy->next, g);
  EXPECT_EQ(doc->ArtCount(), before + 3);
  EXPECT_EQ(copy->name, "parts");
  ASSERT_NE(FindTag(*copy, "zolvane_quantity"), nullptr);
  EXPECT_EQ(FindTag(*copy, "zolvane_quantity")->value, "3");
  std::vector<Art*> kids = Children(*copy);
  ASSERT_EQ(kids.size(), 2u);
  EXPECT_NE(kids[0], a);
  EXPECT_EQ(FindTag(*kids[0], "note")->value, "inner");
  EXPECT_EQ(kids[1]->segments.size(), c->segments.size());
  EXPECT_EQ(kids[1]->style.stroke.width, 2);
  // The copy is independent of its source.
  RemoveTag(*copy, "zolvane_quantity");
  EXPECT_NE(FindTag(*g, "zolvane_quantity"), nullptr);

  ArtHandle copy_handle = doc->HandleOf(copy);
  ArtHandle child_handle = doc->HandleOf(kids[0]);
  ASSERT_EQ(doc->Dispose(copy), kNoErr);
  EXPECT_EQ(doc->ArtCount(), before);
  EXPECT_EQ(doc->Resolve(copy_handle), nullptr);
  EXPECT_EQ(doc->Resolve(child_handle), nullptr);
  EXPECT_EQ(Root()->first_child, g);
}

TEST_F(DocumentTest, StaleForeignAndWrongKindHandlesDoNotResolve) {
  Art* a = Rect(0, 1, 1, 0);
  ArtHandle h = doc->HandleOf(a);
  EXPECT_EQ(doc->Resolve(h), a);
  ASSERT_EQ(doc->Dispose(a), kNoErr);
  // The slot is reused by the next art; the old handle still fails.
  Art* b = Rect(0, 1, 1, 0);
  EXPECT_EQ(b->slot, FromHandle(h).slot);
  EXPECT_EQ(doc->Resolve(h), nullptr);
  EXPECT_EQ(doc->Resolve(doc->HandleOf(b)), b);

  Document* other = Documents().New("other");
  EXPECT_EQ(other->Resolve(doc->HandleOf(b)), nullptr);
  EXPECT_EQ(doc->Resolve(reinterpret_cast<ArtHandle>(doc->HandleOf(doc->current_layer()))),
            nullptr);
  EXPECT_EQ(doc->Resolve(reinterpret_cast<ArtHandle>(uintptr_t{0xDEADBEEF})), nullptr);
  EXPECT_EQ(doc->Resolve(ArtHandle{}), nullptr);
  DocumentHandle closed = other->handle();
  ASSERT_EQ(Documents().Close(other), kNoErr);
  EXPECT_EQ(Documents().Resolve(closed), nullptr);
  EXPECT_EQ(Documents().Resolve(doc->handle()), doc);
}

TEST_F(DocumentTest, TransformMovesWhatTheOptionsSay) {
  Art* g = AddGroup(*doc, kPlaceInsideOnTop, Root());
  Art* p = Rect(0, 10, 10, 0, g);
  p->style = StrokeStyleOf(Gray(0), 2);
  Art* t = AddBoxArt(*doc, kArtTypeText, kPlaceInsideOnTop, g, {0, 5, 5, 0},
                     RealMatrix{1, 0, 0, 1, 0, 0}, "hello");
  RealMatrix move{2, 0, 0, 2, 100, 0};
  struct Case {
    int32_t options;
    double line_scale;
    RealRect path;
    RealRect text;
    double width;
  };
  const Case cases[] = {
      {kTransformOptionsPlace, 1.0, {100, 20, 120, 0}, {100, 10, 110, 0}, 2},
      {kTransformObjects, 1.0, {0, 10, 10, 0}, {0, 5, 5, 0}, 2},  // children not touched
      {kTransformObjects | kTransformChildren | kTransformLineWidths,
       2.0,
       {100, 20, 120, 0},
       {100, 10, 110, 0},
       4},
  };
  for (const Case& c : cases) {
    p->segments = {Corner({0, 10}), Corner({10, 10}), Corner({10, 0}), Corner({0, 0})};
    p->style.stroke.width = 2;
    t->matrix = RealMatrix{1, 0, 0, 1, 0, 0};
    TransformArtTree(*g, move, c.line_scale, c.options);
    ExpectRect(Bounds(*p), c.path);
    ExpectRect(Bounds(*t), c.text);
    EXPECT_EQ(p->style.stroke.width, c.width);
  }
}

TEST_F(DocumentTest, LayersInIndexOrder) {
  Layer* first = doc->NthLayer(0);
  Layer* bottom = nullptr;
  Layer* top = nullptr;
  Layer* mid = nullptr;
  ASSERT_EQ(doc->InsertLayer(nullptr, kPlaceBelowAll, &bottom), kNoErr);
  ASSERT_EQ(doc->InsertLayer(nullptr, kPlaceAboveAll, &top), kNoErr);
  ASSERT_EQ(doc->InsertLayer(first, kPlaceBelow, &mid), kNoErr);
  bottom->title = "<<Zolvane Group>>";
  EXPECT_EQ(doc->LayerCount(), 4);
  EXPECT_EQ(doc->NthLayer(0), top);
  EXPECT_EQ(doc->NthLayer(1), first);
  EXPECT_EQ(doc->NthLayer(2), mid);
  EXPECT_EQ(doc->NthLayer(3), bottom);
  EXPECT_EQ(doc->NthLayer(4), nullptr);
  EXPECT_EQ(doc->current_layer(), first);
  EXPECT_EQ(doc->LayerByTitle("<<Zolvane Group>>"), bottom);

  Art* in_bottom = Rect(0, 1, 1, 0, bottom->group);
  EXPECT_EQ(doc->LayerOf(in_bottom), bottom);
  ArtHandle art = doc->HandleOf(in_bottom);
  LayerHandle lh = doc->HandleOf(bottom);
  ASSERT_EQ(doc->DeleteLayer(bottom), kNoErr);
  EXPECT_EQ(doc->Resolve(art), nullptr);
  EXPECT_EQ(doc->Resolve(lh), nullptr);
  EXPECT_EQ(doc->LayerByTitle("<<Zolvane Group>>"), nullptr);
  ASSERT_EQ(doc->DeleteLayer(top), kNoErr);
  ASSERT_EQ(doc->DeleteLayer(first), kNoErr);
  EXPECT_EQ(doc->current_layer(), mid);
  EXPECT_EQ(doc->DeleteLayer(mid), kErrRefused);  // the last layer stays
}

TEST_F(DocumentTest, ArtboardsKeepTheFirstAndViewFollowsZoom) {
  EXPECT_EQ(doc->artboards().size(), 1u);
  int32_t index = -1;
  ASSERT_EQ(doc->AddArtboard({0, 100, 50, 0}, &index), kNoErr);
  EXPECT_EQ(index, 1);
  ASSERT_EQ(doc->SetActiveArtboard(1), kNoErr);
  ASSERT_EQ(doc->DeleteArtboard(0), kNoErr);
  EXPECT_EQ(doc->active_artboard(), 0);
  ExpectRect(doc->artboards()[0], {0, 100, 50, 0});
  EXPECT_EQ(doc->DeleteArtboard(0), kErrRefused);
  EXPECT_EQ(doc->DeleteArtboard(5), kErrBadParameter);
  EXPECT_EQ(doc->UpdateArtboard(0, {0, NAN, 1, 0}), kErrBadParameter);

  ExpectRect(doc->ViewBounds(), {-800, 500, 800, -500});
  doc->set_view_center({100, 100});
  doc->SetViewZoom(2);
  ExpectRect(doc->ViewBounds(), {-300, 350, 500, -150});
  doc->SetViewZoom(1e9);
  EXPECT_EQ(doc->view_zoom(), kMaxZoom);
  ExpectRect(doc->canvas(), {-8191.5, 8191.5, 8191.5, -8191.5});
}

}  // namespace
}  // namespace host
