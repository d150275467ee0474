// The member list, placement, sheet artboards and the nesting run, driven
// through the suites on host documents.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "engine/improve.h"
#include "engine/member_list.h"
#include "engine/sheets.h"
#include "platform/system.h"
#include "platform/window.h"
#include "platform/window_input.h"
#include "tests/engine/nesting_fixture.h"
#include "tests/platform/temp_folder.h"
#include "ui/daily_log.h"
#include "ui/progress_dialog.h"

namespace {

using MemberListTest = NestingTest;
using RunTest = NestingTest;

TEST_F(MemberListTest, OverlappingObjectsShareOneGroupLineOnlyWithMerge) {
  host::Art* a = Square(0, 0, 50);
  host::Art* b = Square(30, 30, 50);
  for (int16_t merge : {1, 0}) {
    Select(a);
    Select(b);
    MemberList list{};
    ASSERT_TRUE(BuildMemberList(&list, merge));
    ASSERT_EQ(list.member_count, 2);
    EXPECT_EQ(list.group_line_count, merge ? 1 : 2) << merge;
    EXPECT_EQ(list.members[0].group, 0);
    EXPECT_EQ(list.members[1].group, merge ? 0 : 1);
    FreeMemberList(&list);
    EXPECT_EQ(list.members, nullptr);
    EXPECT_EQ(list.member_count, 0);
  }
}

TEST_F(MemberListTest, ObjectsOfHiddenOrLockedLayersAreNotMembers) {
  host::Layer* locked = nullptr;
  ASSERT_EQ(doc->InsertLayer(doc->current_layer(), kPlaceBelow, &locked), kNoErr);
  Select(Square(0, 0, 10));
  Select(Square(0, 0, 10, locked->group));
  locked->editable = false;
  MemberList list{};
  ASSERT_TRUE(BuildMemberList(&list, 1));
  EXPECT_EQ(list.member_count, 1);
  FreeMemberList(&list);
}

TEST_F(MemberListTest, AnImageTouchingGroupLinesJoinsTheNearestByCentre) {
  Square(0, 0, 100);
  Square(300, 0, 100);
  // Reaches into both boxes; its centre (230, 50) is nearer the second.
  host::Art* image = host::AddBoxArt(*doc, kArtTypeRaster, kPlaceInsideOnBottom, layer,
                                     {90, 60, 370, 40}, {1, 0, 0, 1, 0, 0}, "image");
  for (host::Art* a : AllObjects()) Select(a);
  MemberList list{};
  ASSERT_TRUE(BuildMemberList(&list, 1));
  ASSERT_EQ(list.group_line_count, 2);
  ASSERT_EQ(list.member_count, 3);
  EXPECT_EQ(list.members[2].art, H(image));
  EXPECT_EQ(list.members[2].group, 1);
  EXPECT_NEAR(list.members[2].distance, PointLength({230, 50}, {350, 50}), 1);
  FreeMemberList(&list);
}

TEST_F(MemberListTest, WithoutMergeAnObjectWithoutPiecesTakesNoOtherObjectsLine) {
  host::Art* image = host::AddBoxArt(*doc, kArtTypeRaster, kPlaceInsideOnBottom, layer,
                                     {0, 10, 10, 0}, {1, 0, 0, 1, 0, 0}, "image");
  Square(50, 0, 10);
  for (host::Art* a : AllObjects()) Select(a);
  MemberList list{};
  ASSERT_TRUE(BuildMemberList(&list, 0));
  ASSERT_EQ(list.group_line_count, 1);
  EXPECT_EQ(list.members[0].art, H(image));
  EXPECT_EQ(list.members[0].group, -1);
  EXPECT_EQ(list.members[1].group, 0);
  FreeMemberList(&list);
}

TEST_F(MemberListTest, ThreeSheetsOfTheDefaultPlateSideBySideAndZoomedWithABorder) {
  ASSERT_EQ(globals.plate_width, 860);
  RealRect extra_board{0, 10, 10, 0};
  int32_t index = 0;
  doc->AddArtboard(extra_board, &index);
  CreateSheetArtboards(3);
  const std::vector<RealRect>& boards = doc->artboards();
  ASSERT_EQ(boards.size(), 3u);
  const double w = 860 * PointsPerMm, h = 1260 * PointsPerMm;
  RealRect square;
  ASSERT_TRUE(CanvasSquare(&square, kReferenceSquareSide));
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(boards[i].left, square.left + i * w, 1e-6);
    EXPECT_NEAR(boards[i].top, square.top, 1e-6);
    EXPECT_NEAR(boards[i].right - boards[i].left, w, 1e-6);
    EXPECT_NEAR(boards[i].top - boards[i].bottom, h, 1e-6);
  }
  EXPECT_EQ(doc->active_artboard(), 0);
  const RealRect shown = doc->ViewBounds();
  const RealRect wanted{square.left - kSheetViewBorder, square.top + kSheetViewBorder,
                        square.left + 3 * w + kSheetViewBorder, square.top - h - kSheetViewBorder};
  EXPECT_NEAR((shown.left + shown.right) / 2, (wanted.left + wanted.right) / 2, 1e-6);
  EXPECT_NEAR((shown.top + shown.bottom) / 2, (wanted.top + wanted.bottom) / 2, 1e-6);
  // Fitted: the sheets and the border fill the view in one direction.
  EXPECT_TRUE(std::fabs(RectWidth(shown) - RectWidth(wanted)) < 1e-6 ||
              std::fabs(RectHeight(shown) - RectHeight(wanted)) < 1e-6);
  EXPECT_GE(RectWidth(shown), RectWidth(wanted) - 1e-6);
  EXPECT_GE(RectHeight(shown), RectHeight(wanted) - 1e-6);
}

TEST_F(MemberListTest, ArtboardsFollowTheSearchesGridWithAWideRightMargin) {
  globals.plate_margin_right = 400;  // the nesting area ends well inside the sheet
  CreateSheetArtboards(8);
  RealRect square;
  ASSERT_TRUE(CanvasSquare(&square, kReferenceSquareSide));
  const std::vector<RealRect>& boards = doc->artboards();
  ASSERT_EQ(boards.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    const SheetPlace s = NthSheet(square, SheetSettingsFrom(globals), i);
    EXPECT_DOUBLE_EQ(boards[i].left, s.sheet.left) << i;
    EXPECT_DOUBLE_EQ(boards[i].top, s.sheet.top) << i;
  }
}

TEST(OnePage, TheCopiesAskedForComeFromTheAreas) {
  const RealRect area{0, 1000, 1000, 0};
  const RealRect object{0, 100, 100, 0};
  EXPECT_EQ(OnePageEstimate(area, object, 0, kMaxRunCopies), 101);
  EXPECT_EQ(OnePageEstimate(area, object, 1, kMaxRunCopies), 201);
  // A line has no area: the cap, never a division by zero.
  EXPECT_EQ(OnePageEstimate(area, RealRect{0, 0, 100, 0}, 0, 500), 500);
  EXPECT_EQ(OnePageEstimate(area, RealRect{0, 0.001, 0.001, 0}, 1, kMaxRunCopies), kMaxRunCopies);
}

TEST_F(RunTest, ACutLineChildWinsOverALargerPath) {
  host::Art* object = Group();
  host::Art* big = Square(0, 0, 100, object);
  host::Art* cut = Group(object);
  cut->name = kCutLineName;
  host::Art* open = host::AddPath(
      *doc, kPlaceInsideOnBottom, cut,
      {host::Corner({0, 0}), host::Corner({5, 5}), host::Corner({9, 0})}, false, Fill());
  host::Art* inner = Square(10, 10, 20, cut);
  EXPECT_EQ(ChooseShape(H(object), true), H(inner));
  EXPECT_EQ(ChooseShape(H(object), false), H(big));
  (void)open;
}

TEST_F(RunTest, QuantitiesGiveThatManyCopiesAndTheOriginalsGo) {
  SmallPlate();
  host::Art* a = Square(0, 0, 50);
  host::Art* b = Square(100, 0, 30);
  host::Art* c = Square(200, 0, 20);
  SetQuantity(a, "3");
  SetQuantity(b, "0");
  for (host::Art* o : {a, b, c}) Select(o);
  int32_t extra = -1;
  ASSERT_EQ(Run(&extra), kNestingDone);
  EXPECT_EQ(extra, 0);
  const std::vector<host::Art*> now = AllObjects();
  ASSERT_EQ(now.size(), 5u);
  int fifty = 0;
  for (host::Art* o : now) {
    EXPECT_TRUE(o->tags.empty());
    if (std::fabs(RectWidth(host::Bounds(*o)) - 50) < 1e-6) ++fifty;
  }
  EXPECT_EQ(fifty, 3);
  EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
  EXPECT_TRUE(Alerts().empty());
}

TEST_F(RunTest, OverlappingObjectsWithMergeAreCopiedTogether) {
  SmallPlate();
  globals.consider_object_overlap = 1;
  host::Art* a = Square(0, 0, 50);
  host::Art* b = Square(40, 40, 20);
  SetQuantity(a, "2");
  Select(a);
  Select(b);
  ASSERT_EQ(Run(), kNestingDone);
  const std::vector<host::Art*> now = AllObjects();
  ASSERT_EQ(now.size(), 4u);  // two copies of each, the originals gone
  int small = 0;
  for (host::Art* o : now) small += std::fabs(RectWidth(host::Bounds(*o)) - 20) < 1e-6;
  EXPECT_EQ(small, 2);
  // Each small square keeps its place relative to a large one.
  for (host::Art* o : now) {
    const RealRect s = host::Bounds(*o);
    if (std::fabs(RectWidth(s) - 20) > 1e-6) continue;
    bool partner = false;
    for (host::Art* p : now) {
      const RealRect l = host::Bounds(*p);
      partner |= std::fabs(RectWidth(l) - 50) < 1e-6 && std::fabs(s.left - l.left - 40) < 1e-6 &&
                 std::fabs(s.bottom - l.bottom - 40) < 1e-6;
    }
    EXPECT_TRUE(partner);
  }
}

TEST_F(RunTest, ObjectsOnHiddenOrLockedLayersStayWhereTheyAre) {
  SmallPlate();
  host::Layer* locked = nullptr;
  ASSERT_EQ(doc->InsertLayer(doc->current_layer(), kPlaceBelow, &locked), kNoErr);
  host::Art* kept = Square(500, 500, 10, locked->group);
  Select(kept);
  Select(Square(0, 0, 10));
  locked->editable = false;
  ASSERT_EQ(Run(), kNestingDone);
  ASSERT_EQ(host::TopLevelArt(*locked).size(), 1u);
  EXPECT_EQ(host::TopLevelArt(*locked)[0], kept);
  EXPECT_EQ(host::Bounds(*kept).left, 500);
}

TEST_F(RunTest, NothingSelectedAndSeveralObjectsInOnePageAreRefused) {
  SmallPlate();
  Square(0, 0, 10);
  EXPECT_EQ(Run(), kNestingNoObject);
  globals.one_page_reproduction = 1;
  for (host::Art* o : {Square(20, 0, 10), Square(40, 0, 10)}) Select(o);
  EXPECT_EQ(Run(), kNestingNotRun);
  globals.language = kLanguageJapanese;
  for (host::Art* o : AllObjects()) Select(o);
  EXPECT_EQ(Run(), kNestingNotRun);
  EXPECT_EQ(Alerts(),
            (std::vector<std::string>{"No object is selected.", "Multiple objects selected.",
                                      "複数のオブジェクトが選択されています。"}));
  EXPECT_EQ(doc->LayerByTitle(kGroupLineLayerTitle), nullptr);
  EXPECT_EQ(AllObjects().size(), 3u);
}

TEST_F(RunTest, OnePageReproductionReportsTheCopiesPlaced) {
  SmallPlate();
  globals.one_page_reproduction = 1;
  globals.enable_anytime_rotation = 1;
  globals.anytime_rotation_mode = 1;
  Select(Square(0, 0, 100));
  ASSERT_EQ(Run(), kNestingDone);
  const size_t copies = AllObjects().size();
  EXPECT_GE(copies, 81u);
  EXPECT_LE(copies, 100u);
  ASSERT_EQ(Alerts().size(), 1u);
  EXPECT_EQ(Alerts()[0], " " + std::to_string(copies) + " reproduced!");
}

TEST_F(RunTest, TheSizeCheckAtTheAreaWidthAndJustBeyond) {
  // The check measures the group line, the object's outline slightly grown:
  // the plate is made exactly as wide as that.
  SmallPlate();
  host::Art* bar = Rect(0, 10, 500, 0);
  Select(bar);
  MemberList list{};
  ASSERT_TRUE(BuildMemberList(&list, 0));
  ASSERT_EQ(list.group_line_count, 1);
  const double width = RectWidth(list.group_lines[0].bounds);
  FreeMemberList(&list);
  doc->DeleteLayer(doc->LayerByTitle(kGroupLineLayerTitle));
  const struct {
    double plate_width;
    bool rotation;
    int32_t result;
  } cases[] = {
      {width, false, kNestingDone},
      {width - 0.01, false, kNestingTooLarge},
      {width - 0.01, true, kNestingDone},  // narrower than the area is high: it fits turned
  };
  for (const auto& c : cases) {
    SmallPlate();
    globals.plate_width = c.plate_width / PointsPerMm;
    globals.enable_anytime_rotation = c.rotation ? 1 : 0;
    globals.anytime_rotation_mode = 1;
    for (host::Art* o : AllObjects()) Select(o);
    user.Clear();
    EXPECT_EQ(Run(), c.result) << c.plate_width << " " << c.rotation;
    if (c.result == kNestingTooLarge) {
      EXPECT_EQ(Alerts(), std::vector<std::string>{
                              "Some of the selected objects are larger than the nesting area."});
      EXPECT_EQ(AllObjects().size(), 1u);  // nothing copied, nothing removed
    }
  }
  // Wider than both sides of the area: refused even with rotation.
  SmallPlate();
  globals.plate_width = globals.plate_height = 400 / PointsPerMm;
  globals.enable_anytime_rotation = 1;
  for (host::Art* o : AllObjects()) Select(o);
  EXPECT_EQ(Run(), kNestingTooLarge);
}

TEST_F(RunTest, ThreeEqualObjectsAlternateByHalfATurn) {
  SmallPlate();
  globals.enable_initial_rotation = 1;
  host::Art* t = Polygon({{0, 0}, {60, 0}, {0, 20}});
  SetQuantity(t, "3");
  Select(t);
  ASSERT_EQ(Run(), kNestingDone);
  // The direction of each copy's first edge: two agree, one is opposite.
  std::vector<double> angles;
  for (host::Art* o : AllObjects())
    angles.push_back(PointAngle(o->segments[0].p, o->segments[1].p));
  ASSERT_EQ(angles.size(), 3u);
  auto same = [](double a, double b) { return std::fabs(std::remainder(a - b, 2 * M_PI)) < 1e-6; };
  auto opposite = [](double a, double b) {
    return std::fabs(std::fabs(std::remainder(a - b, 2 * M_PI)) - M_PI) < 1e-6;
  };
  int agreeing =
      same(angles[0], angles[1]) + same(angles[0], angles[2]) + same(angles[1], angles[2]);
  int opposed = opposite(angles[0], angles[1]) + opposite(angles[0], angles[2]) +
                opposite(angles[1], angles[2]);
  EXPECT_EQ(agreeing, 1);
  EXPECT_EQ(opposed, 2);
}

TEST_F(RunTest, CancelLeavesTheDocumentAsItWas) {
  SmallPlate();
  globals.outline_mode = 1;
  globals.enable_initial_rotation = 1;
  globals.enable_anytime_rotation = 1;
  for (int i = 0; i < 4; ++i) {
    host::Art* o = Circle({60.0 * i, 0}, 20);
    SetQuantity(o, "5");
    Select(o);
  }
  const std::string before = host::ExportSvgText(*doc);
  const size_t boards = doc->artboards().size();
  // The user presses Abort as soon as the dialog shows its text.
  ui::ProgressObserver observer;
  observer.on_text = [](void*, const std::string&) {
    platform::SendMessage(ui::ProgressWindow(), platform::kMsgCommand,
                          platform::MakeCommandParam(ui::kProgressAbortId, 0), 0);
  };
  ui::SetProgressObserver(observer);
  EXPECT_EQ(Run(), kNestingNotRun);
  ui::SetProgressObserver({});
  EXPECT_EQ(host::ExportSvgText(*doc), before);
  EXPECT_EQ(doc->artboards().size(), boards);
  EXPECT_EQ(doc->LayerCount(), 1);
  EXPECT_EQ(ui::ProgressWindow(), nullptr);
}

// Strips as tall as the plate, nested side by side: first-fit in the
// selection's order needs three plates where two suffice. The improvement
// pass, asked for through the environment, finds the two; "Abort" during it
// keeps a complete layout.
class ImproveRunTest : public RunTest {
 protected:
  void SetUp() override {
    RunTest::SetUp();
    SmallPlate(290);
    globals.nesting_type = 1;
    globals.outline_mode = 0;
    double x = 0;
    for (double w : {100.0, 150.0, 180.0, 130.0}) {
      Select(Rect(x, 280, x + w, 0));
      x += w + 20;
    }
  }
  void TearDown() override {
    unsetenv(kImproveVariable);
    RunTest::TearDown();
  }
};

TEST_F(ImproveRunTest, WithoutTheRequestFirstFitNeedsThreeSheets) {
  unsetenv(kImproveVariable);
  int32_t extra = -1;
  ASSERT_EQ(Run(&extra), kNestingDone);
  const int32_t greedy = extra;
  EXPECT_EQ(greedy, 2);
}

TEST_F(ImproveRunTest, WithTheRequestTheRunNeedsOneSheetLess) {
  setenv(kImproveVariable, "30,1,200", 1);
  int32_t extra = -1;
  ASSERT_EQ(Run(&extra), kNestingDone);
  EXPECT_EQ(extra, 1);
  // Every strip lies inside one of the first two plates' areas, apart from
  // the others.
  RealRect square;
  ASSERT_TRUE(CanvasSquare(&square, kReferenceSquareSide));
  const SheetSettings plate = SheetSettingsFrom(globals);
  std::vector<RealRect> boxes;
  for (host::Art* o : AllObjects()) boxes.push_back(host::Bounds(*o));
  ASSERT_EQ(boxes.size(), 4u);
  for (size_t i = 0; i < boxes.size(); ++i) {
    bool inside = false;
    for (int s = 0; s < 2; ++s) {
      const RealRect r = NthSheet(square, plate, s).area;
      inside = inside || (boxes[i].left >= r.left - 0.01 && boxes[i].right <= r.right + 0.01 &&
                          boxes[i].bottom >= r.bottom - 0.01 && boxes[i].top <= r.top + 0.01);
    }
    EXPECT_TRUE(inside) << "strip " << i;
    for (size_t j = i + 1; j < boxes.size(); ++j) EXPECT_FALSE(RectOverlap(&boxes[i], &boxes[j]));
  }
  EXPECT_TRUE(Alerts().empty());
}

TEST_F(ImproveRunTest, AbortDuringTheImprovementKeepsACompleteLayout) {
  setenv(kImproveVariable, "30", 1);
  ui::ProgressObserver observer;
  observer.on_text = [](void*, const std::string& text) {
    if (text.rfind("Improving", 0) == 0)
      platform::SendMessage(ui::ProgressWindow(), platform::kMsgCommand,
                            platform::MakeCommandParam(ui::kProgressAbortId, 0), 0);
  };
  ui::SetProgressObserver(observer);
  int32_t extra = -1;
  EXPECT_EQ(Run(&extra), kNestingDone);
  ui::SetProgressObserver({});
  EXPECT_GE(extra, 1);
  EXPECT_LE(extra, 2);
  EXPECT_EQ(AllObjects().size(), 4u);
  EXPECT_EQ(ui::ProgressWindow(), nullptr);
}

TEST_F(RunTest, AnImpossibleQuantityIsRefusedNamingTheObjectAndNothingChanges) {
  SmallPlate();
  host::Art* a = Square(0, 0, 10);
  host::Art* b = Square(20, 0, 10);
  SetQuantity(b, "2000000000");
  Select(a);
  Select(b);
  const std::string before = host::ExportSvgText(*doc);
  EXPECT_EQ(Run(), kNestingNotRun);
  EXPECT_EQ(host::ExportSvgText(*doc), before);
  ASSERT_EQ(Alerts().size(), 1u);
  EXPECT_NE(Alerts()[0].find("Object 2 asks for 2000000000 copies"), std::string::npos)
      << Alerts()[0];
  // A tag beyond 32 bits is read as the largest quantity, and refused alike.
  b->tags.clear();
  SetQuantity(b, "99999999999");
  Select(a);
  Select(b);
  EXPECT_EQ(Run(), kNestingNotRun);
  EXPECT_NE(Alerts().back().find("2147483647"), std::string::npos);
}

TEST_F(RunTest, TheProcessingTimeGoesToTheDailyLogWhenAsked) {
  testing_support::TempKnownFolders folders;
  SmallPlate();
  globals.output_processing_time = 1;
  Select(Square(0, 0, 10));
  ASSERT_EQ(Run(), kNestingDone);
  const std::string log = ui::DailyLogFolder() + "/" + ui::DailyLogFileName(platform::LocalNow());
  std::FILE* f = std::fopen(log.c_str(), "rb");
  ASSERT_NE(f, nullptr) << log;
  char text[128] = {};
  std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  // The start is noted in whole seconds, so a quick run reads 0 or 1 second.
  const std::string line(text);
  EXPECT_TRUE(line == "nesting processing time : 0:0\r\n" ||
              line == "nesting processing time : 0:1\r\n")
      << line;
}

}  // namespace
