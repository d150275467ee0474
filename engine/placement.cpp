// Placement of a finished nesting and the sheet artboards, through the held suites.
#include "engine/placement.h"

#include <algorithm>
#include <vector>

#include "art/group_lines.h"
#include "engine/sheets.h"
#include "plugin/globals.h"
#include "plugin/suite_art.h"
#include "plugin/suite_document.h"
#include "plugin/suite_table.h"

bool CanvasSquare(RealRect* rect, double size) {
  const DocumentSuite* documents = HeldSuite<DocumentSuite>();
  RealRect canvas{0, 0, 0, 0};
  if (!rect || !documents || documents->GetCanvasBounds(&canvas) != kNoErr) return false;
  if (size != 0)
    RectInset(&canvas, (RectWidth(canvas) - size) / 2, (RectHeight(canvas) - size) / 2);
  *rect = canvas;
  return true;
}

bool ApplyNesting(const NestPart* parts, int32_t count, const NestItem* items, MemberList* list,
                  int16_t toward_baseline) {
  const TransformArtSuite* transform = HeldSuite<TransformArtSuite>();
  const ArtSuite* art = HeldSuite<ArtSuite>();
  if (!parts || !list || !transform || !art) return false;
  std::vector<ArtHandle> made;
  bool whole = true;
  for (int32_t i = 0; i < count && whole; ++i) {
    const NestPart& part = parts[i];
    RealMatrix m = PartMatrix(part, part.rotation, part.center_x, part.center_y);
    if (toward_baseline != kBaselineTop) {
      MatrixConcatTranslate(&m, -part.area_center_x, -part.area_center_y);
      MatrixConcatRotate(&m, BaselineTurn(toward_baseline));
      MatrixConcatTranslate(&m, part.area_center_x, part.area_center_y);
    }
    // The group line goes with its layer at the end of the run; moving it
    // only shows the layout meanwhile, so a failure here loses nothing.
    if (part.art)
      transform->TransformArt(part.art, &m, kTransformLineScale, kTransformOptionsPlace);
    if (part.id > 0 && items) {
      const NestItem& item = items[part.id - 1];
      RealMatrix full;
      MatrixConcat(&item.matrix, &m, &full);
      whole = PlaceGroupCopies(*list, item.source_index, full, &made) == kNoErr;
    }
  }
  if (!whole) {
    for (ArtHandle copy : made) art->DisposeArt(copy);
    return false;
  }
  for (int32_t j = 0; j < list->member_count; ++j) {
    MemberEntry& member = list->members[j];
    if (!member.art || member.group == -1) continue;
    art->DisposeArt(member.art);
    member.art = nullptr;
  }
  return true;
}

void CreateSheetArtboards(int32_t sheet_count) {
  const ArtboardSuite* boards = HeldSuite<ArtboardSuite>();
  const DocumentViewSuite* views = HeldSuite<DocumentViewSuite>();
  RealRect square;
  if (!boards || !g_globals || !CanvasSquare(&square, kReferenceSquareSide)) return;
  ArtboardListRef list = nullptr;
  if (boards->GetArtboardList(&list) != kNoErr || !list) return;
  int32_t existing = 0;
  boards->CountArtboards(list, &existing);
  for (int32_t i = existing - 1; i >= 1; --i) boards->DeleteArtboard(list, i);

  // The sheets walk the grid the search walks (NthSheet), so every copy
  // lies on the artboard of its sheet whatever the margins.
  const SheetSettings plate = SheetSettingsFrom(*g_globals);
  RealRect all{0, 0, 0, 0};
  bool any = false;
  SheetPlace place = FirstSheet(square, plate);
  for (int32_t i = 0; i < sheet_count; ++i) {
    if (i > 0) place = NextSheet(square, plate, place);
    const ArtboardProperties properties{place.sheet};
    if (i == 0) {
      if (boards->UpdateArtboard(list, 0, &properties) != kNoErr) break;
    } else {
      int32_t index = 0;
      if (boards->AddArtboard(list, &properties, &index) != kNoErr) break;
    }
    if (!any) {
      all = place.sheet;
      any = true;
    } else {
      all.left = std::min(all.left, place.sheet.left);
      all.right = std::max(all.right, place.sheet.right);
      all.top = std::max(all.top, place.sheet.top);
      all.bottom = std::min(all.bottom, place.sheet.bottom);
    }
  }
  boards->SetActiveArtboard(list, 0);
  boards->ReleaseArtboardList(list);

  if (!any || RectWidth(all) <= 0 || RectHeight(all) <= 0 || !views) return;
  RectInset(&all, -kSheetViewBorder, -kSheetViewBorder);
  DocumentViewHandle view = nullptr;
  if (views->GetCurrentView(&view) != kNoErr || !view) return;
  RealRect shown{0, 0, 0, 0};
  double zoom = 1;
  views->GetViewBounds(view, &shown);
  views->GetViewZoom(view, &zoom);
  const RealPoint centre = RectCenter(all);
  views->SetViewCenter(view, &centre);
  const double factor =
      std::min(RectWidth(shown) / RectWidth(all), RectHeight(shown) / RectHeight(all));
  views->SetViewZoom(view, zoom * factor);
}
