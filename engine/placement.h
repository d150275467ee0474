// Placement of a finished nesting: copies of the members moved to the places
// found, the copied objects removed, one artboard per sheet, the view zoomed.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "engine/member_list.h"
#include "engine/model.h"

// The border kept around the sheets when the view is zoomed onto them (10 mm).
constexpr double kSheetViewBorder = 28.34645669291339;

// The canvas rectangle of the current document, shrunk when size is not 0 to
// the centred square of that side. False when there is no document.
bool CanvasSquare(RealRect* rect, double size);

// Moves every part's art (a group line or a duplicate of it) to its placement,
// turned to the baseline, and copies the members of its group line there with
// the item's preparation matrix then the placement. Afterwards every member
// that belongs to a group line is removed (disposed, its art cleared). Only
// placed parts are to be passed in. All or nothing: when the host cannot
// make a copy (out of memory), the copies made so far are removed, the
// members stay as they were, and it returns false.
bool ApplyNesting(const NestPart* parts, int32_t count, const NestItem* items, MemberList* list,
                  int16_t toward_baseline);

// Keeps the first artboard only, then lays sheets 0 .. sheet_count - 1 out on
// the same grid the search fills (the first artboard moved onto sheet 0, one
// artboard added per further sheet), makes the first active and zooms the view
// onto all sheets with a 10 mm border.
void CreateSheetArtboards(int32_t sheet_count);
