// The sheet grid on the canvas, nesting areas and the baseline frame.
#include <gtest/gtest.h>

#include "engine/sheets.h"
#include "plugin/globals.h"

namespace {

const RealRect kCanvas{-8191.5, 8191.5, 8191.5, -8191.5};  // a 16383-point canvas

SheetSettings Plate(double w, double h, double margin) {
  return SheetSettings{w, h, margin, margin, margin, margin};
}

TEST(Sheets, ReferenceSquareIsCentred16000) {
  const RealRect q = ReferenceSquare(kCanvas);
  EXPECT_DOUBLE_EQ(q.left, -8000);
  EXPECT_DOUBLE_EQ(q.top, 8000);
  EXPECT_DOUBLE_EQ(q.right, 8000);
  EXPECT_DOUBLE_EQ(q.bottom, -8000);
}

TEST(Sheets, FirstSheetAndAreaOfTheDefaultPlate) {
  const RealRect q = ReferenceSquare(kCanvas);
  const SheetPlace s = FirstSheet(q, Plate(860, 1260, 15));
  const double k = PointsPerMm;
  EXPECT_DOUBLE_EQ(s.sheet.left, -8000);
  EXPECT_DOUBLE_EQ(s.sheet.top, 8000);
  EXPECT_DOUBLE_EQ(s.area.left, -8000 + 15 * k);
  EXPECT_DOUBLE_EQ(s.area.right, -8000 + 860 * k - 15 * k);
  EXPECT_DOUBLE_EQ(s.area.top, 8000 - 15 * k);
  EXPECT_DOUBLE_EQ(s.area.bottom, 8000 - 1260 * k + 15 * k);
}

TEST(Sheets, GridWrapsWhenTheAreaPassesTheSquare) {
  const RealRect q = ReferenceSquare(kCanvas);
  // 860 mm is 2437.8 points: six sheets fit in a row of 16000 points.
  const SheetSettings plate = Plate(860, 1260, 15);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(NthSheet(q, plate, i).row, 0) << i;
  const SheetPlace seventh = NthSheet(q, plate, 6);
  EXPECT_EQ(seventh.row, 1);
  EXPECT_EQ(seventh.column, 0);
  EXPECT_DOUBLE_EQ(seventh.area.left, FirstSheet(q, plate).area.left);
  EXPECT_NEAR(seventh.area.top, FirstSheet(q, plate).area.top - 1260 * PointsPerMm, 1e-9);
}

TEST(Sheets, AWideRightMarginDoesNotPutASheetBeyondTheSquare) {
  const RealRect q = ReferenceSquare(kCanvas);
  // Six 860 mm sheets fill 14627 points of the row; a seventh would end at
  // 17065, past the square, even though its nesting area (400 mm right
  // margin) would end inside it. It starts the next row.
  SheetSettings plate = Plate(860, 1260, 15);
  plate.margin_right = 400;
  for (int i = 0; i < 6; ++i) EXPECT_EQ(NthSheet(q, plate, i).row, 0) << i;
  EXPECT_EQ(NthSheet(q, plate, 6).row, 1);
  for (int i = 0; i < 20; ++i) EXPECT_LE(NthSheet(q, plate, i).sheet.right, q.right) << i;
}

TEST(Sheets, PlateWiderThanTheSquareHasOneColumn) {
  const RealRect q = ReferenceSquare(kCanvas);
  const SheetSettings plate = Plate(6000, 500, 0);  // 17008 points wide
  for (int i = 1; i < 4; ++i) {
    const SheetPlace s = NthSheet(q, plate, i);
    EXPECT_EQ(s.row, i);
    EXPECT_EQ(s.column, 0);
    EXPECT_DOUBLE_EQ(s.area.left, -8000);
  }
}

TEST(Baseline, FrameTurnAndDirection) {
  const RealRect area{0, 100, 300, 0};  // 300 wide, 100 high
  const RealRect side = EngineFrameArea(area, kBaselineLeft);
  EXPECT_DOUBLE_EQ(RectWidth(side), 100);
  EXPECT_DOUBLE_EQ(RectHeight(side), 300);
  EXPECT_DOUBLE_EQ(RectCenter(side).x, 150);
  EXPECT_DOUBLE_EQ(RectCenter(side).y, 50);
  EXPECT_DOUBLE_EQ(RectWidth(EngineFrameArea(area, kBaselineBottom)), 300);

  struct Case {
    int baseline;
    double turn;
    bool right_to_left_for_mode0;
  };
  const Case cases[] = {{kBaselineTop, 0, false},
                        {kBaselineBottom, 3.141592654, true},
                        {kBaselineLeft, 1.570796327, true},
                        {kBaselineRight, -1.570796327, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(BaselineTurn(c.baseline), c.turn) << c.baseline;
    EXPECT_EQ(FillsRightToLeft(c.baseline, 0), c.right_to_left_for_mode0) << c.baseline;
    EXPECT_EQ(FillsRightToLeft(c.baseline, 1), !c.right_to_left_for_mode0) << c.baseline;
  }
}

}  // namespace
