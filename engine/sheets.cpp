// Sheets on the canvas: the grid of sheets, their nesting areas, the baseline frame.
#include "engine/sheets.h"

#include "plugin/globals.h"

SheetSettings SheetSettingsFrom(const PluginGlobals& g) {
  return SheetSettings{g.plate_width,      g.plate_height,       g.plate_margin_left,
                       g.plate_margin_top, g.plate_margin_right, g.plate_margin_bottom};
}

RealRect ReferenceSquare(const RealRect& canvas) {
  RealRect square = canvas;
  RectInset(&square, (RectWidth(canvas) - kReferenceSquareSide) / 2,
            (RectHeight(canvas) - kReferenceSquareSide) / 2);
  return square;
}

namespace {

// The nesting area of a sheet whose top-left corner is (left, top).
RealRect AreaOfSheet(double left, double top, const SheetSettings& s) {
  const double k = PointsPerMm;
  RealRect area;
  area.left = left + s.margin_left * k;
  area.right = left + s.plate_width * k - s.margin_right * k;
  area.top = top - s.margin_top * k;
  area.bottom = top - s.plate_height * k + s.margin_bottom * k;
  return area;
}

}  // namespace

SheetPlace FirstSheet(const RealRect& square, const SheetSettings& s) {
  const double k = PointsPerMm;
  SheetPlace place;
  place.row = 0;
  place.column = 0;
  place.sheet = RealRect{square.left, square.top, square.left + s.plate_width * k,
                         square.top - s.plate_height * k};
  place.area = AreaOfSheet(square.left, square.top, s);
  return place;
}

SheetPlace NextSheet(const RealRect& square, const SheetSettings& s, const SheetPlace& current) {
  const double k = PointsPerMm;
  const double w = s.plate_width * k;
  const double h = s.plate_height * k;
  SheetPlace next = current;
  next.column += 1;
  next.sheet.left += w;
  next.sheet.right += w;
  next.area.left += w;
  next.area.right += w;
  if (next.sheet.right > square.right) {
    // Back to the first column's horizontal extent, one sheet height lower.
    const SheetPlace first = FirstSheet(square, s);
    next.row += 1;
    next.column = 0;
    next.sheet.left = first.sheet.left;
    next.sheet.right = first.sheet.right;
    next.area.left = first.area.left;
    next.area.right = first.area.right;
    next.sheet.top -= h;
    next.sheet.bottom -= h;
    next.area.top -= h;
    next.area.bottom -= h;
  }
  return next;
}

SheetPlace NthSheet(const RealRect& square, const SheetSettings& s, int index) {
  SheetPlace place = FirstSheet(square, s);
  for (int i = 0; i < index; ++i) place = NextSheet(square, s, place);
  return place;
}

RealRect EngineFrameArea(const RealRect& area, int toward_baseline) {
  if (toward_baseline != kBaselineLeft && toward_baseline != kBaselineRight) return area;
  // Turned by 90 degrees about its centre: same centre, sides exchanged.
  const RealPoint c = RectCenter(area);
  const double half_w = RectWidth(area) / 2;
  const double half_h = RectHeight(area) / 2;
  return RealRect{c.x - half_h, c.y + half_w, c.x + half_h, c.y - half_w};
}

double BaselineTurn(int toward_baseline) {
  switch (toward_baseline) {
    case kBaselineBottom:
      return kPi;
    case kBaselineLeft:
      return kHalfPi;
    case kBaselineRight:
      return -kHalfPi;
    default:
      return 0;
  }
}

bool FillsRightToLeft(int toward_baseline, int toward_mode) {
  const bool reversed = toward_baseline == kBaselineBottom || toward_baseline == kBaselineLeft;
  return reversed ? toward_mode == 0 : toward_mode == 1;
}
