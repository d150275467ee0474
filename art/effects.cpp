// The host's own effects as the plug-in plays them. Two are action events
// played with a parameter block on the target selected alone; the others go
// through the art converter and art operations.
#include "art/effects.h"

#include "art/art_reading.h"

#include <vector>

#include "art/path_geometry.h"
#include "plugin/suite_action.h"
#include "plugin/suite_art.h"
#include "plugin/suite_path.h"
#include "plugin/suite_table.h"

namespace {

bool TypeOf(ArtHandle art, int16_t* type) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  return s && art && NoteHostError(s->GetArtType(art, type)) == kNoErr;
}

bool IsContainer(int16_t type) {
  return type == kArtTypeGroup || type == kArtTypeCompoundPath;
}

// The first child and, for each child, its next sibling; the walk stops
// where the host cannot answer.
ArtHandle FirstChild(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  ArtHandle child = nullptr;
  if (!s || NoteHostError(s->GetArtFirstChild(art, &child)) != kNoErr) return nullptr;
  return child;
}

bool NextSibling(ArtHandle art, ArtHandle* next) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  *next = nullptr;
  return s && NoteHostError(s->GetArtSibling(art, next)) == kNoErr;
}

void SelectChildren(ArtHandle art, bool on) {
  for (ArtHandle child = FirstChild(art); child;) {
    SetSelectedDeep(child, on);
    ArtHandle next;
    if (!NextSibling(child, &next)) break;
    child = next;
  }
}

void SelectAlone(ArtHandle art) {
  DeselectAll();
  SetSelectedDeep(art, true);
}

// The placeholder's paint: a magenta hairline stroke, no fill.
PathStyle PlaceholderStyle() {
  PathStyle style{};
  style.fill_paint = false;
  style.fill.color.kind = kColorGray;
  style.fill.color.components[0] = 1.0;
  style.stroke_paint = true;
  style.stroke.color.kind = kColorFourProcess;
  style.stroke.color.components[0] = 0;
  style.stroke.color.components[1] = 1.0;
  style.stroke.color.components[2] = 0;
  style.stroke.color.components[3] = 0;
  style.stroke.width = 1.0;
  style.stroke.cap = kCapButt;
  style.stroke.join = kJoinMiter;
  style.stroke.miter_limit = 4.0;
  return style;
}

// Plays an event with its parameter block and gives the block back. Errors
// of the event itself are the host's business: the caller goes on.
void Play(const ActionManagerSuite* actions, const char* event, ActionParamsRef block) {
  NoteHostError(actions->PlayEvent(event, kDialogStatusNone, block));
  NoteHostError(actions->ReleaseParamBlock(block));
}

ActionParamsRef NewBlock(const ActionManagerSuite* actions) {
  ActionParamsRef block = nullptr;
  if (!actions || NoteHostError(actions->NewParamBlock(&block)) != kNoErr) return nullptr;
  return block;
}

}  // namespace

void DeselectAll() {
  const LayerSuite* layers = HeldSuite<LayerSuite>();
  const ArtSuite* art = HeldSuite<ArtSuite>();
  if (!layers || !art) return;
  for (int32_t i = 0;; ++i) {
    LayerHandle layer = nullptr;
    if (NoteHostError(layers->GetNthLayer(i, &layer)) != kNoErr || !layer) break;
    ArtHandle group = nullptr;
    if (NoteHostError(art->GetLayerGroup(layer, &group)) != kNoErr) continue;
    int16_t type;
    if (!TypeOf(group, &type)) continue;
    NoteHostError(art->SetArtAttributes(group, kArtAttrSelected, 0));
    if (IsContainer(type)) SelectChildren(group, false);
  }
}

void SetSelectedDeep(ArtHandle target, bool on) {
  const ArtSuite* art = HeldSuite<ArtSuite>();
  int16_t type;
  if (!art || !TypeOf(target, &type)) return;
  NoteHostError(art->SetArtAttributes(target, kArtAttrSelected, on ? kArtAttrSelected : 0));
  if (IsContainer(type)) SelectChildren(target, on);
}

void OffsetPath(ArtHandle target, double offset, int16_t join, double miter_limit) {
  const ActionManagerSuite* actions = HeldSuite<ActionManagerSuite>();
  ActionParamsRef block = NewBlock(actions);
  if (!block) return;
  SelectAlone(target);
  NoteHostError(actions->PutUnitReal(block, kOffsetKeyOffset, kUnitPoints, offset));
  NoteHostError(actions->PutReal(block, kOffsetKeyMiterLimit, miter_limit));
  NoteHostError(actions->PutEnumerated(block, kOffsetKeyJoinType, kOffsetJoinTypeName, join));
  Play(actions, kOffsetEvent, block);
  if (const ArtSuite* art = HeldSuite<ArtSuite>()) NoteHostError(art->DisposeArt(target));
}

void UniteArt(ArtHandle target) {
  const ArtSuite* art = HeldSuite<ArtSuite>();
  const PathSuite* path = HeldSuite<PathSuite>();
  const PathStyleSuite* paint = HeldSuite<PathStyleSuite>();
  if (!art || !path || !paint) return;
  ArtHandle parent = nullptr;
  RealRect bounds{0, 0, 0, 0};
  NoteHostError(art->GetArtParent(target, &parent));
  NoteHostError(art->GetArtBounds(target, &bounds));
  const double cx = (bounds.left + bounds.right) / 2;
  const double cy = (bounds.top + bounds.bottom) / 2;

  ArtHandle placeholder = nullptr;
  if (NoteHostError(art->NewArt(kArtTypePath, kPlaceInsideOnTop, parent, &placeholder)) != kNoErr ||
      !placeholder)
    return;
  const RealPoint low{cx, cy - kPlaceholderHalfLength};
  const RealPoint high{cx, cy + kPlaceholderHalfLength};
  const PathSegment segments[2] = {{low, low, low, true}, {high, high, high, true}};
  NoteHostError(path->SetPathSegmentCount(placeholder, 2));
  NoteHostError(path->SetPathSegments(placeholder, 0, 2, segments));
  const PathStyle style = PlaceholderStyle();
  NoteHostError(paint->SetPathStyle(placeholder, &style));

  SelectAlone(target);
  const ActionManagerSuite* actions = HeldSuite<ActionManagerSuite>();
  if (ActionParamsRef block = NewBlock(actions)) {
    NoteHostError(actions->PutEnumerated(block, kPathfinderKeyOperation, kPathfinderAddName,
                                         kPathfinderAddValue));
    Play(actions, kPathfinderEvent, block);
  }
  NoteHostError(art->DisposeArt(placeholder));
}

void ConvertToOutline(ArtHandle target) {
  if (const ArtConverterSuite* converter = HeldSuite<ArtConverterSuite>())
    NoteHostError(converter->ConvertToOutline(target, kConvertOptionsOutline));
}

int32_t ReleaseCompoundPaths(ArtHandle target) {
  const ArtSuite* art = HeldSuite<ArtSuite>();
  const PathStyleSuite* paint = HeldSuite<PathStyleSuite>();
  int16_t type;
  if (!art || !paint || !TypeOf(target, &type)) return 0;
  if (type == kArtTypeGroup) {
    int32_t released = 0;
    // The next sibling is taken first: releasing replaces the child.
    for (ArtHandle child = FirstChild(target); child;) {
      ArtHandle next;
      const bool more = NextSibling(child, &next);
      released += ReleaseCompoundPaths(child);
      if (!more) break;
      child = next;
    }
    return released;
  }
  if (type != kArtTypeCompoundPath) return 0;
  const std::vector<ArtHandle> paths = CollectPaths(target);
  if (paths.empty()) return 0;
  PathStyle style{};
  NoteHostError(paint->GetPathStyle(target, &style));
  style.clip = false;
  style.lock_clip = false;
  style.even_odd = false;
  ArtHandle group = nullptr;
  if (NoteHostError(art->NewArt(kArtTypeGroup, kPlaceBelow, target, &group)) != kNoErr || !group)
    return 0;
  for (ArtHandle p : paths) {
    NoteHostError(art->ReorderArt(p, kPlaceInsideOnBottom, group));
    NoteHostError(paint->SetPathStyle(p, &style));
  }
  NoteHostError(art->DisposeArt(target));
  return 1;
}

int32_t ReleaseAndUnite(ArtHandle target, bool unite) {
  const int32_t released = ReleaseCompoundPaths(target);
  if (released <= 0 || !unite) return released;
  const ArtSuite* art = HeldSuite<ArtSuite>();
  if (!art) return released;
  std::vector<ArtHandle> children;
  for (ArtHandle child = FirstChild(target); child;) {
    children.push_back(child);
    ArtHandle next;
    if (!NextSibling(child, &next)) break;
    child = next;
  }
  ArtHandle gathered = nullptr;
  if (NoteHostError(art->NewArt(kArtTypeGroup, kPlaceInsideOnBottom, target, &gathered)) !=
          kNoErr ||
      !gathered)
    return released;
  for (ArtHandle child : children)
    NoteHostError(art->ReorderArt(child, kPlaceInsideOnBottom, gathered));
  UniteArt(gathered);
  return released;
}
