// The document-side suites as the plug-in calls them: through the tables the
// registry hands out, with handles only.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "host/builder.h"
#include "host/suite_registry.h"

namespace host {
namespace {

template <class T>
const T* Suite(const char* name, int32_t version) {
  return static_cast<const T*>(FindDocumentSuite(name, version));
}

class SuitesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc = Documents().New("suites");
    art = Suite<ArtSuite>(kArtSuiteName, kArtSuiteVersion);
    layers = Suite<LayerSuite>(kLayerSuiteName, kLayerSuiteVersion);
    paths = Suite<PathSuite>(kPathSuiteName, kPathSuiteVersion);
    styles = Suite<PathStyleSuite>(kPathStyleSuiteName, kPathStyleSuiteVersion);
    tags = Suite<TagSuite>(kTagSuiteName, kTagSuiteVersion);
    xform = Suite<TransformArtSuite>(kTransformArtSuiteName, kTransformArtSuiteVersion);
    documents = Suite<DocumentSuite>(kDocumentSuiteName, kDocumentSuiteVersion);
    boards = Suite<ArtboardSuite>(kArtboardSuiteName, kArtboardSuiteVersion);
    views = Suite<DocumentViewSuite>(kDocumentViewSuiteName, kDocumentViewSuiteVersion);
    ASSERT_TRUE(art && layers && paths && styles && tags && xform && documents && boards && views);
  }
  void TearDown() override { Documents().CloseAll(); }

  ArtHandle LayerGroup() {
    LayerHandle layer = nullptr;
    EXPECT_EQ(layers->GetNthLayer(0, &layer), kNoErr);
    ArtHandle group = nullptr;
    EXPECT_EQ(art->GetLayerGroup(layer, &group), kNoErr);
    return group;
  }
  // A closed square path made through the suites.
  ArtHandle Square(int16_t order, ArtHandle prep, double x, double y, double side) {
    ArtHandle path = nullptr;
    EXPECT_EQ(art->NewArt(kArtTypePath, order, prep, &path), kNoErr);
    PathSegment s[4] = {Corner({x, y + side}), Corner({x + side, y + side}), Corner({x + side, y}),
                        Corner({x, y})};
    EXPECT_EQ(paths->SetPathSegmentCount(path, 4), kNoErr);
    EXPECT_EQ(paths->SetPathSegments(path, 0, 4, s), kNoErr);
    EXPECT_EQ(paths->SetPathClosed(path, true), kNoErr);
    return path;
  }
  std::vector<ArtHandle> Kids(ArtHandle parent) {
    std::vector<ArtHandle> out;
    ArtHandle c = nullptr;
    EXPECT_EQ(art->GetArtFirstChild(parent, &c), kNoErr);
    while (c) {
      out.push_back(c);
      EXPECT_EQ(art->GetArtSibling(c, &c), kNoErr);
    }
    return out;
  }

  Document* doc = nullptr;
  const ArtSuite* art = nullptr;
  const LayerSuite* layers = nullptr;
  const PathSuite* paths = nullptr;
  const PathStyleSuite* styles = nullptr;
  const TagSuite* tags = nullptr;
  const TransformArtSuite* xform = nullptr;
  const DocumentSuite* documents = nullptr;
  const ArtboardSuite* boards = nullptr;
  const DocumentViewSuite* views = nullptr;
};

TEST(SuiteRegistry, MapsNameAndVersion) {
  EXPECT_EQ(FindDocumentSuite(kArtSuiteName, kArtSuiteVersion), &kArtSuiteTable);
  EXPECT_EQ(FindDocumentSuite(kUndoSuiteName, kUndoSuiteVersion), &kUndoSuiteTable);
  EXPECT_EQ(FindDocumentSuite(kArtSuiteName, kArtSuiteVersion + 1), nullptr);
  EXPECT_EQ(FindDocumentSuite("AI Nothing Suite", 1), nullptr);
  EXPECT_EQ(FindDocumentSuite(nullptr, 1), nullptr);
}

// Every entry of every table is filled in: a table is a record of function
// pointers only, so it is read here as a row of pointers.
template <class T>
void ExpectComplete(const T& table, const char* name) {
  static_assert(sizeof(T) % sizeof(void*) == 0);
  void* entries[sizeof(T) / sizeof(void*)];
  std::memcpy(entries, &table, sizeof(T));
  for (void* entry : entries) EXPECT_NE(entry, nullptr) << name;
}

TEST(SuiteRegistry, EveryTableIsComplete) {
  ExpectComplete(kArtSuiteTable, kArtSuiteName);
  ExpectComplete(kLayerSuiteTable, kLayerSuiteName);
  ExpectComplete(kGroupSuiteTable, kGroupSuiteName);
  ExpectComplete(kPathSuiteTable, kPathSuiteName);
  ExpectComplete(kPathStyleSuiteTable, kPathStyleSuiteName);
  ExpectComplete(kRealMathSuiteTable, kRealMathSuiteName);
  ExpectComplete(kTransformArtSuiteTable, kTransformArtSuiteName);
  ExpectComplete(kTagSuiteTable, kTagSuiteName);
  ExpectComplete(kArtConverterSuiteTable, kArtConverterSuiteName);
  ExpectComplete(kDocumentSuiteTable, kDocumentSuiteName);
  ExpectComplete(kDocumentViewSuiteTable, kDocumentViewSuiteName);
  ExpectComplete(kDocumentListSuiteTable, kDocumentListSuiteName);
  ExpectComplete(kArtboardSuiteTable, kArtboardSuiteName);
  ExpectComplete(kUndoSuiteTable, kUndoSuiteName);
  for (int i = 0; i < kDocumentSuiteOfferCount; ++i) {
    const SuiteOffer& offer = kDocumentSuiteOffers[i];
    EXPECT_EQ(FindDocumentSuite(offer.name, offer.version), offer.table) << offer.name;
  }
}

TEST_F(SuitesTest, DisposedStaleAndForeignHandlesGiveErrorsNotCrashes) {
  ArtHandle group = LayerGroup();
  ArtHandle gone = Square(kPlaceInsideOnTop, group, 0, 0, 10);
  ASSERT_EQ(art->DisposeArt(gone), kNoErr);
  ArtHandle reused = Square(kPlaceInsideOnTop, group, 0, 0, 10);  // takes the freed slot
  Document* other = Documents().New("other");
  ArtHandle foreign =
      other->HandleOf(AddRectangle(*other, kPlaceAboveAll, nullptr, {0, 1, 1, 0}, {}));
  ASSERT_EQ(Documents().BringToFront(doc), kNoErr);
  ArtHandle forged = reinterpret_cast<ArtHandle>(uintptr_t{0x1234});

  RealRect r;
  int16_t type;
  int32_t n;
  bool flag;
  char text[16];
  PathStyle style{};
  PathSegment seg{};
  RealMatrix m{1, 0, 0, 1, 0, 0};
  ArtHandle out;
  using Call = std::function<HostErr(ArtHandle)>;
  const std::vector<std::pair<const char*, Call>> calls = {
      {"type", [&](ArtHandle h) { return art->GetArtType(h, &type); }},
      {"parent", [&](ArtHandle h) { return art->GetArtParent(h, &out); }},
      {"child", [&](ArtHandle h) { return art->GetArtFirstChild(h, &out); }},
      {"sibling", [&](ArtHandle h) { return art->GetArtSibling(h, &out); }},
      {"new", [&](ArtHandle h) { return art->NewArt(kArtTypePath, kPlaceAbove, h, &out); }},
      {"duplicate", [&](ArtHandle h) { return art->DuplicateArt(h, kPlaceAbove, reused, &out); }},
      {"duplicate at",
       [&](ArtHandle h) { return art->DuplicateArt(reused, kPlaceAbove, h, &out); }},
      {"reorder", [&](ArtHandle h) { return art->ReorderArt(h, kPlaceAbove, reused); }},
      {"dispose", [&](ArtHandle h) { return art->DisposeArt(h); }},
      {"attributes", [&](ArtHandle h) { return art->GetArtAttributes(h, -1, &n); }},
      {"set attributes", [&](ArtHandle h) { return art->SetArtAttributes(h, 1, 1); }},
      {"bounds", [&](ArtHandle h) { return art->GetArtBounds(h, &r); }},
      {"transform bounds", [&](ArtHandle h) { return art->GetArtTransformBounds(h, &m, 66, &r); }},
      {"name", [&](ArtHandle h) { return art->GetArtName(h, text, 16, &flag); }},
      {"set name", [&](ArtHandle h) { return art->SetArtName(h, "x"); }},
      {"segment count", [&](ArtHandle h) { return paths->GetPathSegmentCount(h, &n); }},
      {"segments", [&](ArtHandle h) { return paths->GetPathSegments(h, 0, 1, &seg); }},
      {"set segments", [&](ArtHandle h) { return paths->SetPathSegments(h, 0, 1, &seg); }},
      {"closed", [&](ArtHandle h) { return paths->GetPathClosed(h, &flag); }},
      {"style", [&](ArtHandle h) { return styles->GetPathStyle(h, &style); }},
      {"set style", [&](ArtHandle h) { return styles->SetPathStyle(h, &style); }},
      {"tag", [&](ArtHandle h) { return tags->GetTag(h, "a", "string", text, 16); }},
      {"set tag", [&](ArtHandle h) { return tags->SetTag(h, "a", "string", "1"); }},
      {"remove tag", [&](ArtHandle h) { return tags->RemoveTag(h, "a"); }},
      {"transform", [&](ArtHandle h) { return xform->TransformArt(h, &m, 1.0, 111); }},
  };
  size_t count = doc->ArtCount();
  for (const auto& [what, call] : calls) {
    SCOPED_TRACE(what);
    EXPECT_EQ(call(gone), kErrBadHandle);
    EXPECT_EQ(call(foreign), kErrBadHandle);
    EXPECT_EQ(call(forged), kErrBadHandle);
    EXPECT_EQ(call(reinterpret_cast<ArtHandle>(doc->HandleOf(doc->NthLayer(0)))), kErrBadHandle);
  }
  EXPECT_EQ(doc->ArtCount(), count);
  EXPECT_EQ(Kids(group).size(), 1u);

  // Layer handles are checked the same way.
  LayerHandle layer = nullptr;
  ASSERT_EQ(layers->InsertLayer(nullptr, kPlaceBelowAll, &layer), kNoErr);
  ASSERT_EQ(layers->DeleteLayer(layer), kNoErr);
  EXPECT_EQ(layers->DeleteLayer(layer), kErrBadHandle);
  EXPECT_EQ(layers->SetLayerTitle(layer, "x"), kErrBadHandle);
  EXPECT_EQ(art->GetLayerGroup(layer, &out), kErrBadHandle);
  EXPECT_EQ(layers->GetNthLayer(1, &layer), kErrBadParameter);
  EXPECT_EQ(layer, nullptr);

  // Without a document the calls say so.
  Documents().CloseAll();
  EXPECT_EQ(art->GetArtType(reused, &type), kErrNoDocument);
  EXPECT_EQ(layers->CountLayers(&n), kErrNoDocument);
  DocumentHandle d = nullptr;
  EXPECT_EQ(documents->GetCurrentDocument(&d), kErrNoDocument);
  EXPECT_EQ(d, nullptr);
}

TEST_F(SuitesTest, PaintOrderDuplicateAndTagsThroughHandles) {
  ArtHandle group = LayerGroup();
  ArtHandle a = Square(kPlaceInsideOnTop, group, 0, 0, 10);
  ASSERT_EQ(tags->SetTag(a, "zolvane_quantity", kTagTypeString, "3"), kNoErr);
  ArtHandle b = Square(kPlaceBelow, a, 20, 0, 10);
  ArtHandle copy = nullptr;
  ASSERT_EQ(art->DuplicateArt(a, kPlaceAbove, a, &copy), kNoErr);
  EXPECT_EQ(Kids(group), (std::vector<ArtHandle>{copy, a, b}));

  char value[8];
  ASSERT_EQ(tags->GetTag(copy, "zolvane_quantity", kTagTypeString, value, 8), kNoErr);
  EXPECT_STREQ(value, "3");
  EXPECT_EQ(tags->GetTag(copy, "zolvane_quantity", "real", value, 8), kErrNotFound);
  ASSERT_EQ(tags->RemoveTag(copy, "zolvane_quantity"), kNoErr);
  EXPECT_EQ(tags->GetTag(copy, "zolvane_quantity", kTagTypeString, value, 8), kErrNotFound);
  EXPECT_STREQ(value, "");
  EXPECT_EQ(tags->RemoveTag(copy, "zolvane_quantity"), kNoErr);  // none is fine
  ASSERT_EQ(tags->GetTag(a, "zolvane_quantity", kTagTypeString, value, 8), kNoErr);
  EXPECT_STREQ(value, "3");

  // A group receives copies on top and at the bottom.
  ArtHandle g = nullptr;
  ASSERT_EQ(art->NewArt(kArtTypeGroup, kPlaceBelow, b, &g), kNoErr);
  ArtHandle top = nullptr;
  ArtHandle bottom = nullptr;
  ASSERT_EQ(art->DuplicateArt(b, kPlaceInsideOnTop, g, &top), kNoErr);
  ASSERT_EQ(art->DuplicateArt(a, kPlaceInsideOnBottom, g, &bottom), kNoErr);
  ArtHandle last = nullptr;
  ASSERT_EQ(art->DuplicateArt(b, kPlaceInsideOnTop, g, &last), kNoErr);
  EXPECT_EQ(Kids(g), (std::vector<ArtHandle>{last, top, bottom}));
  ArtHandle parent = nullptr;
  ASSERT_EQ(art->GetArtParent(top, &parent), kNoErr);
  EXPECT_EQ(parent, g);
  ASSERT_EQ(art->GetArtParent(group, &parent), kNoErr);
  EXPECT_EQ(parent, nullptr);

  // Disposing the group takes its contents with it.
  ASSERT_EQ(art->DisposeArt(g), kNoErr);
  int16_t type;
  EXPECT_EQ(art->GetArtType(top, &type), kErrBadHandle);
  EXPECT_EQ(Kids(group), (std::vector<ArtHandle>{copy, a, b}));
}

TEST_F(SuitesTest, NamesAttributesAndStyle) {
  ArtHandle a = Square(kPlaceAboveAll, nullptr, 0, 0, 10);
  char name[32];
  bool is_default = false;
  ASSERT_EQ(art->GetArtName(a, name, 32, &is_default), kNoErr);
  EXPECT_TRUE(is_default);
  ASSERT_EQ(art->SetArtName(a, "cut line"), kNoErr);
  ASSERT_EQ(art->GetArtName(a, name, 32, &is_default), kNoErr);
  EXPECT_STREQ(name, "cut line");
  EXPECT_FALSE(is_default);
  ASSERT_EQ(art->SetArtName(a, "\xE6\x97\xA5\xE6\x9C\xAC"), kNoErr);  // two 3-byte characters
  ASSERT_EQ(art->GetArtName(a, name, 5, nullptr), kNoErr);            // room for one
  EXPECT_STREQ(name, "\xE6\x97\xA5");
  EXPECT_EQ(art->GetArtName(a, name, 0, nullptr), kErrBadParameter);

  int32_t bits = -1;
  ASSERT_EQ(art->SetArtAttributes(a, kArtAttrSelected | kArtAttrClipMask, kArtAttrSelected),
            kNoErr);
  ASSERT_EQ(art->GetArtAttributes(a, kArtAttrSelected | kArtAttrHidden, &bits), kNoErr);
  EXPECT_EQ(bits, kArtAttrSelected);
  uint64_t serial = doc->selection_serial();
  ASSERT_EQ(art->SetArtAttributes(a, kArtAttrClipMask, kArtAttrClipMask), kNoErr);
  PathStyle style{};
  ASSERT_EQ(styles->GetPathStyle(a, &style), kNoErr);
  EXPECT_TRUE(style.clip);  // one mark, two views
  EXPECT_EQ(doc->selection_serial(), serial);
  ArtHandle g = nullptr;
  ASSERT_EQ(art->NewArt(kArtTypeGroup, kPlaceAbove, a, &g), kNoErr);
  EXPECT_EQ(art->SetArtAttributes(g, kArtAttrClipMask, kArtAttrClipMask), kErrBadParameter);
  EXPECT_EQ(styles->GetPathStyle(g, &style), kErrBadParameter);

  // Invalid styles are refused whole.
  PathStyle good = StrokeStyleOf(Cmyk(1, 0, 0, 0), 1);
  ASSERT_EQ(styles->SetPathStyle(a, &good), kNoErr);
  const std::vector<std::function<void(PathStyle&)>> breaks = {
      [](PathStyle& s) { s.stroke.width = -1; },
      [](PathStyle& s) { s.stroke.width = NAN; },
      [](PathStyle& s) { s.fill.color.kind = 3; },
      [](PathStyle& s) { s.stroke.color.components[0] = 1.5; },
      [](PathStyle& s) { s.stroke.dash.length = kDashArrayCapacity + 1; },
      [](PathStyle& s) { s.stroke.join = 7; },
  };
  for (const auto& spoil : breaks) {
    PathStyle bad = good;
    spoil(bad);
    EXPECT_EQ(styles->SetPathStyle(a, &bad), kErrBadParameter);
  }
  ASSERT_EQ(styles->GetPathStyle(a, &style), kNoErr);
  EXPECT_EQ(style.stroke.width, 1);
  EXPECT_EQ(style.stroke.color.kind, kColorFourProcess);

  // The paths of a compound path paint with its style.
  ArtHandle compound = nullptr;
  ASSERT_EQ(art->NewArt(kArtTypeCompoundPath, kPlaceAbove, a, &compound), kNoErr);
  ArtHandle inner = Square(kPlaceInsideOnTop, compound, 2, 2, 2);
  PathStyle fill = FillStyleOf(Gray(0.25));
  ASSERT_EQ(styles->SetPathStyle(compound, &fill), kNoErr);
  ASSERT_EQ(styles->GetPathStyle(inner, &style), kNoErr);
  EXPECT_TRUE(style.fill_paint);
  EXPECT_EQ(style.fill.color.components[0], 0.25);
  // Released from it, the path keeps painting the same way.
  ASSERT_EQ(art->ReorderArt(inner, kPlaceBelow, compound), kNoErr);
  ASSERT_EQ(styles->GetPathStyle(inner, &style), kNoErr);
  EXPECT_TRUE(style.fill_paint);
}

TEST_F(SuitesTest, PathSegmentRanges) {
  ArtHandle p = Square(kPlaceAboveAll, nullptr, 0, 0, 10);
  PathSegment got[4];
  ASSERT_EQ(paths->GetPathSegments(p, 1, 3, got), kNoErr);
  EXPECT_EQ(got[0].p.x, 10);
  EXPECT_EQ(got[2].p.y, 0);
  struct Range {
    int32_t first;
    int32_t count;
    HostErr want;
  };
  const Range ranges[] = {{0, 4, kNoErr},
                          {4, 0, kNoErr},
                          {3, 2, kErrBadParameter},
                          {-1, 1, kErrBadParameter},
                          {0, -1, kErrBadParameter},
                          {2147483647, 1, kErrBadParameter}};
  for (const Range& r : ranges) {
    SCOPED_TRACE(r.first);
    EXPECT_EQ(paths->GetPathSegments(p, r.first, r.count, got), r.want);
    EXPECT_EQ(paths->SetPathSegments(p, r.first, r.count, got), r.want);
  }
  PathSegment bad = Corner({NAN, 0});
  EXPECT_EQ(paths->SetPathSegments(p, 0, 1, &bad), kErrBadParameter);
  ASSERT_EQ(paths->SetPathSegmentCount(p, 6), kNoErr);  // grows with copies of the last
  ASSERT_EQ(paths->GetPathSegments(p, 5, 1, got), kNoErr);
  EXPECT_EQ(got[0].p.x, 0);
  EXPECT_EQ(got[0].p.y, 0);
  EXPECT_EQ(paths->SetPathSegmentCount(p, -1), kErrBadParameter);
  int16_t type;
  ArtHandle g = nullptr;
  ASSERT_EQ(art->NewArt(kArtTypeGroup, kPlaceAbove, p, &g), kNoErr);
  int32_t n;
  EXPECT_EQ(paths->GetPathSegmentCount(g, &n), kErrBadParameter);
  ASSERT_EQ(art->GetArtType(g, &type), kNoErr);
  EXPECT_EQ(type, kArtTypeGroup);
}

TEST_F(SuitesTest, TransformAndBoundsOptionsOfThePlacement) {
  // A stroked square and a text in a group move together; the stroke width
  // stays with line scale 1 and options 111.
  ArtHandle g = nullptr;
  ASSERT_EQ(art->NewArt(kArtTypeGroup, kPlaceAboveAll, nullptr, &g), kNoErr);
  ArtHandle sq = Square(kPlaceInsideOnTop, g, 0, 0, 10);
  PathStyle stroke = StrokeStyleOf(Gray(0), 4);
  ASSERT_EQ(styles->SetPathStyle(sq, &stroke), kNoErr);
  Art* text = AddBoxArt(*doc, kArtTypeText, kPlaceInsideOnBottom, doc->Resolve(g), {0, 5, 20, 0},
                        RealMatrix{1, 0, 0, 1, 0, 0}, "<text>x</text>");
  ASSERT_NE(text, nullptr);

  RealMatrix m{1, 0, 0, 1, 0, 0};
  MatrixConcatRotate(&m, kHalfPi);
  MatrixConcatTranslate(&m, 100, 50);
  RealRect before{};
  ASSERT_EQ(art->GetArtTransformBounds(g, &m, kBoundsOptionsOutline, &before), kNoErr);
  ASSERT_EQ(xform->TransformArt(g, &m, kTransformLineScale, kTransformOptionsPlace), kNoErr);
  RealRect after{};
  ASSERT_EQ(art->GetArtBounds(g, &after), kNoErr);
  // Measuring as transformed foretells the transform.
  EXPECT_NEAR(after.left, before.left, 1e-9);
  EXPECT_NEAR(after.top, before.top, 1e-9);
  EXPECT_NEAR(after.right, 100, 1e-6);
  EXPECT_NEAR(after.bottom, 50, 1e-6);
  EXPECT_NEAR(after.left, 90, 1e-6);
  EXPECT_NEAR(after.top, 70, 1e-6);
  PathStyle style{};
  ASSERT_EQ(styles->GetPathStyle(sq, &style), kNoErr);
  EXPECT_EQ(style.stroke.width, 4);
  // Without kBoundsNoStroke the stroke's half width is added.
  RealRect with_stroke{};
  ASSERT_EQ(art->GetArtTransformBounds(sq, nullptr, kBoundsVisible, &with_stroke), kNoErr);
  RealRect plain{};
  ASSERT_EQ(art->GetArtBounds(sq, &plain), kNoErr);
  EXPECT_NEAR(with_stroke.left, plain.left - 2, 1e-9);
  EXPECT_NEAR(with_stroke.top, plain.top + 2, 1e-9);

  RealMatrix bad{NAN, 0, 0, 1, 0, 0};
  EXPECT_EQ(xform->TransformArt(g, &bad, 1, 111), kErrBadParameter);
  EXPECT_EQ(xform->TransformArt(g, nullptr, 1, 111), kErrBadParameter);
  EXPECT_EQ(xform->TransformArt(g, &m, -1, 111), kErrBadParameter);
  ASSERT_EQ(art->GetArtBounds(g, &plain), kNoErr);
  EXPECT_NEAR(plain.right, 100, 1e-6);
}

TEST_F(SuitesTest, ArtboardsViewCanvasAndUndo) {
  ArtboardListRef list = nullptr;
  ASSERT_EQ(boards->GetArtboardList(&list), kNoErr);
  int32_t count = 0;
  ASSERT_EQ(boards->CountArtboards(list, &count), kNoErr);
  EXPECT_EQ(count, 1);
  ArtboardProperties sheet{{-8000, 8000, -5562, 4428}};
  ASSERT_EQ(boards->UpdateArtboard(list, 0, &sheet), kNoErr);
  int32_t index = -1;
  ArtboardProperties second{{-5562, 8000, -3124, 4428}};
  ASSERT_EQ(boards->AddArtboard(list, &second, &index), kNoErr);
  EXPECT_EQ(index, 1);
  ASSERT_EQ(boards->SetActiveArtboard(list, 0), kNoErr);
  ArtboardProperties read{};
  ASSERT_EQ(boards->GetArtboardProperties(list, 1, &read), kNoErr);
  EXPECT_EQ(read.position.left, -5562);
  EXPECT_EQ(boards->GetArtboardProperties(list, 2, &read), kErrBadParameter);
  ASSERT_EQ(boards->DeleteArtboard(list, 1), kNoErr);
  EXPECT_EQ(boards->DeleteArtboard(list, 0), kErrRefused);
  ASSERT_EQ(boards->ReleaseArtboardList(list), kNoErr);
  EXPECT_EQ(boards->CountArtboards(list, &count), kErrBadHandle);  // released
  EXPECT_EQ(boards->ReleaseArtboardList(list), kErrBadHandle);

  DocumentViewHandle view = nullptr;
  ASSERT_EQ(views->GetCurrentView(&view), kNoErr);
  RealRect vb{};
  ASSERT_EQ(views->GetViewBounds(view, &vb), kNoErr);
  EXPECT_EQ(vb.right - vb.left, 1600);
  EXPECT_EQ(vb.top - vb.bottom, 1000);
  RealPoint c{-6781, 6214};
  ASSERT_EQ(views->SetViewCenter(view, &c), kNoErr);
  double zoom = 0;
  ASSERT_EQ(views->GetViewZoom(view, &zoom), kNoErr);
  ASSERT_EQ(views->SetViewZoom(view, zoom * 0.25), kNoErr);
  ASSERT_EQ(views->GetViewBounds(view, &vb), kNoErr);
  EXPECT_DOUBLE_EQ(vb.left, -6781 - 3200);
  EXPECT_DOUBLE_EQ(vb.top, 6214 + 2000);
  EXPECT_EQ(views->SetViewZoom(view, 0), kErrBadParameter);
  EXPECT_EQ(views->SetViewZoom(reinterpret_cast<DocumentViewHandle>(list), 1), kErrBadHandle);

  RealRect canvas{};
  ASSERT_EQ(documents->GetCanvasBounds(&canvas), kNoErr);
  EXPECT_EQ(canvas.right - canvas.left, 16383);
  EXPECT_EQ(canvas.left + canvas.right, 0);

  const UndoSuite* undo = Suite<UndoSuite>(kUndoSuiteName, kUndoSuiteVersion);
  ASSERT_EQ(undo->SetUndoText("集版最適化の取り消し", "集版最適化のやり直し"), kNoErr);
  EXPECT_EQ(doc->undo_text(), "集版最適化の取り消し");
  EXPECT_EQ(doc->redo_text(), "集版最適化のやり直し");
}

TEST_F(SuitesTest, DocumentListFrontFirst) {
  const DocumentListSuite* list =
      Suite<DocumentListSuite>(kDocumentListSuiteName, kDocumentListSuiteVersion);
  Document* second = Documents().New("second");
  int32_t count = 0;
  ASSERT_EQ(list->CountDocuments(&count), kNoErr);
  EXPECT_EQ(count, 2);
  DocumentHandle front = nullptr;
  DocumentHandle back = nullptr;
  DocumentHandle current = nullptr;
  ASSERT_EQ(list->GetNthDocument(0, &front), kNoErr);
  ASSERT_EQ(list->GetNthDocument(1, &back), kNoErr);
  ASSERT_EQ(documents->GetCurrentDocument(&current), kNoErr);
  EXPECT_EQ(front, second->handle());
  EXPECT_EQ(back, doc->handle());
  EXPECT_EQ(current, front);
  EXPECT_EQ(list->GetNthDocument(2, &front), kErrBadParameter);
  EXPECT_EQ(front, nullptr);
  ASSERT_EQ(Documents().BringToFront(doc), kNoErr);
  ASSERT_EQ(documents->GetCurrentDocument(&current), kNoErr);
  EXPECT_EQ(current, doc->handle());
}

TEST_F(SuitesTest, RealMath) {
  const RealMathSuite* math = Suite<RealMathSuite>(kRealMathSuiteName, kRealMathSuiteVersion);
  struct UnionCase {
    RealRect a, b, want;
  };
  const UnionCase unions[] = {
      {{0, 10, 10, 0}, {5, 20, 30, 5}, {0, 20, 30, 0}},
      {{0, 0, 0, 0}, {5, 20, 30, 5}, {5, 20, 30, 5}},  // an empty one adds nothing
      {{5, 20, 30, 5}, {1, 1, 1, 1}, {5, 20, 30, 5}},
  };
  for (const UnionCase& c : unions) {
    RealRect out{};
    ASSERT_EQ(math->RectUnion(&c.a, &c.b, &out), kNoErr);
    EXPECT_EQ(out.left, c.want.left);
    EXPECT_EQ(out.top, c.want.top);
    EXPECT_EQ(out.right, c.want.right);
    EXPECT_EQ(out.bottom, c.want.bottom);
  }
  RealRect r{0, 10, 10, 0};
  bool inside = false;
  RealPoint edge{10, 0};
  ASSERT_EQ(math->PointInRect(&edge, &r, &inside), kNoErr);
  EXPECT_TRUE(inside);
  RealRect touching{10, 10, 20, 0};
  bool overlap = true;
  ASSERT_EQ(math->RectOverlap(&r, &touching, &overlap), kNoErr);
  EXPECT_FALSE(overlap);
  RealMatrix m{};
  ASSERT_EQ(math->MatrixSetTranslate(&m, 5, 0), kNoErr);
  ASSERT_EQ(math->MatrixConcatScale(&m, -1, 1), kNoErr);  // move, then mirror
  RealPoint p{1, 2};
  RealPoint q{};
  ASSERT_EQ(math->MatrixXformPoint(&m, &p, &q), kNoErr);
  EXPECT_EQ(q.x, -6);
  EXPECT_EQ(q.y, 2);
  EXPECT_EQ(math->RectUnion(&r, nullptr, &r), kErrBadParameter);
  EXPECT_EQ(math->MatrixConcat(&m, &m, nullptr), kErrBadParameter);
}

}  // namespace
}  // namespace host
