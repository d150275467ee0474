// Sheets on the canvas: the grid of sheets, their nesting areas, the baseline frame.
#pragma once

#include "engine/geometry.h"

struct PluginGlobals;

// Side of the square of the canvas on which sheets are laid (points).
constexpr double kReferenceSquareSide = 16000;

// A sheet's size and margins, in millimetres, as the settings hold them.
struct SheetSettings {
  double plate_width;
  double plate_height;
  double margin_left;
  double margin_top;
  double margin_right;
  double margin_bottom;
};

SheetSettings SheetSettingsFrom(const PluginGlobals& globals);

// The canvas shrunk symmetrically to a centred 16000 x 16000 point square.
RealRect ReferenceSquare(const RealRect& canvas);

// Where one sheet lies and where its nesting area lies, in points.
struct SheetPlace {
  int row;
  int column;
  RealRect sheet;
  RealRect area;  // the sheet inside its margins
};

// The first sheet: its top-left corner at the reference square's top-left.
SheetPlace FirstSheet(const RealRect& square, const SheetSettings& s);

// The sheet after `current`: sheet and area move right by one sheet width;
// when the sheet's right edge then passes the square's right edge, they
// return to the first column's horizontal extent one sheet height lower.
// The search and the sheet artboards follow this one rule.
// The move is incremental, as the search walks the grid.
SheetPlace NextSheet(const RealRect& square, const SheetSettings& s, const SheetPlace& current);

// The index-th sheet of a run (0-based), walking the grid with NextSheet.
SheetPlace NthSheet(const RealRect& square, const SheetSettings& s, int index);

// --- the baseline frame ------------------------------------------------------
// Every sheet is nested as if its baseline were its top edge; the result is
// turned at the end.

// The area the engine works in: for Left and Right baselines the nesting area
// turned by 90 degrees about its centre (same centre, sides exchanged).
RealRect EngineFrameArea(const RealRect& area, int toward_baseline);

// The final turn of each placed part about its sheet's area centre, radians:
// pi for Bottom, +pi/2 for Left, -pi/2 for Right, 0 for Top.
double BaselineTurn(int toward_baseline);

// Whether the engine fills right to left along the baseline, given the
// user's fill direction (toward_mode 0 or 1). Bottom and Left reverse it
// because the final turn mirrors the direction along the baseline.
bool FillsRightToLeft(int toward_baseline, int toward_mode);
