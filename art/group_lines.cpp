// Quantities, group lines and the copying of members, all through the held
// host suites: layers, art, paths, paint styles and tags, with the geometry
// of art/path_geometry and the host effects of art/effects.
#include "art/group_lines.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "art/art_reading.h"
#include "art/effects.h"
#include "art/path_geometry.h"
#include "engine/member_list.h"
#include "plugin/suite_art.h"
#include "plugin/suite_path.h"
#include "plugin/suite_table.h"

namespace {

// Long enough for any "%d" text and for names compared with short texts.
constexpr int kTagTextCapacity = 64;

bool GroupClipped(ArtHandle group) {
  const GroupSuite* s = HeldSuite<GroupSuite>();
  bool clipped = false;
  return s && NoteHostError(s->GetGroupClipped(group, &clipped)) == kNoErr && clipped;
}

bool MarkedClipping(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  int32_t values = 0;
  return s && NoteHostError(s->GetArtAttributes(art, kArtAttrClipMask, &values)) == kNoErr &&
         (values & kArtAttrClipMask) != 0;
}

// The art's name when it is not the host's default name, else "".
std::string OwnName(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  char name[kTagTextCapacity] = {};
  bool is_default = true;
  if (!s || NoteHostError(s->GetArtName(art, name, sizeof name, &is_default)) != kNoErr ||
      is_default)
    return "";
  return name;
}

// The group-line colour: 100 % cyan.
HostColor Cyan() {
  HostColor c{};
  c.kind = kColorFourProcess;
  c.components[0] = 1.0;
  return c;
}

PathStyle BridgeStyle() {
  PathStyle style{};
  style.fill_paint = false;
  style.fill.color = Cyan();
  style.stroke_paint = true;
  style.stroke.color = Cyan();
  style.stroke.width = kBridgeWidth;
  style.stroke.cap = kCapRound;
  style.stroke.join = kJoinRound;
  return style;
}

// One path taken from a selected object.
struct Piece {
  ArtHandle path;
  int32_t id;
  int32_t quantity;
  int16_t inside;
  int16_t emitted;
};

void CollectPieces(ArtHandle art, int32_t id, int32_t quantity, std::vector<Piece>* pieces) {
  switch (TypeOf(art)) {
    case kArtTypeGroup:
      if (GroupClipped(art)) {
        if (ArtHandle clip = FindClippingArt(art)) CollectPieces(clip, id, quantity, pieces);
        return;
      }
      [[fallthrough]];
    case kArtTypeCompoundPath:
      for (ArtHandle child : ChildrenOf(art)) CollectPieces(child, id, quantity, pieces);
      return;
    case kArtTypePath:
      pieces->push_back(Piece{art, id, quantity, 0, 0});
      return;
    default:
      return;
  }
}

// Failures of an outline conversion's result: what is not a filled ring
// whose area agrees with the stroked path's (A, P, w as drawn).
int CountFailures(ArtHandle art, double area, double perimeter, double width) {
  switch (TypeOf(art)) {
    case kArtTypeGroup: {
      int failures = 0;
      for (ArtHandle child : ChildrenOf(art))
        failures += CountFailures(child, area, perimeter, width);
      return OwnName(art) == kUncheckedGroupName ? 0 : failures;
    }
    case kArtTypePath:
      return 1;
    case kArtTypeCompoundPath: {
      const std::vector<ArtHandle> children = ChildrenOf(art);
      std::vector<ArtHandle> paths;
      for (ArtHandle c : children)
        if (TypeOf(c) == kArtTypePath) paths.push_back(c);
      if (paths.empty()) return 0;
      if (paths.size() == 1 || paths.size() != children.size()) return 1;
      const double f = PathArea(paths.back(), 128, false);
      const double band = perimeter * width;
      return band > f || std::fabs(f - area) > band ? 1 : 0;
    }
    default:
      return 0;
  }
}

// Draws the piece's outline into the target group: the path stroked in cyan
// at k x 0.1 mm and converted to a filled outline, retried with a wider
// stroke while the conversion does not give a plausible ring.
void DrawPieceOutline(ArtHandle path, ArtHandle target) {
  const ArtSuite* art = HeldSuite<ArtSuite>();
  const PathStyleSuite* paint = HeldSuite<PathStyleSuite>();
  if (!art || !paint) return;
  for (int k = 1; k <= kPieceOutlineAttempts; ++k) {
    ArtHandle g = nullptr;
    if (NoteHostError(art->NewArt(kArtTypeGroup, kPlaceInsideOnTop, target, &g)) != kNoErr || !g)
      return;
    ArtHandle copy = nullptr;
    NoteHostError(art->DuplicateArt(path, kPlaceInsideOnTop, g, &copy));
    PathStyle style{};
    NoteHostError(paint->GetPathStyle(copy, &style));
    double w = k * kPieceOutlineStep;
    if (style.stroke_paint) {
      w = std::max(w, style.stroke.width);
    } else {
      style.stroke.cap = kCapRound;
      style.stroke.join = kJoinRound;
    }
    style.stroke_paint = true;
    style.stroke.width = w;
    style.stroke.color = Cyan();
    style.fill.color = Cyan();
    style.fill_paint = false;
    NoteHostError(paint->SetPathStyle(copy, &style));
    const double area = PathArea(copy, 64, true);
    const double perimeter = PathPerimeter(copy, 128);
    ConvertToOutline(copy);
    int failures = 0;
    for (ArtHandle child : ChildrenOf(g)) failures += CountFailures(child, area, perimeter, w);
    if (failures == 0 || k == kPieceOutlineAttempts) return;
    NoteHostError(art->DisposeArt(g));
  }
}

// The pieces of a group line: its paths and compound paths, found through
// its groups without entering compound paths.
void ListOutlinePieces(ArtHandle art, std::vector<ArtHandle>* out) {
  const int16_t type = TypeOf(art);
  if (type == kArtTypePath || type == kArtTypeCompoundPath) {
    out->push_back(art);
  } else if (type == kArtTypeGroup) {
    for (ArtHandle child : ChildrenOf(art)) ListOutlinePieces(child, out);
  }
}

// Whether the art is a compound path with a ring outside the box of its
// largest ring: areas that do not enclose one another.
bool HasSeparateRings(ArtHandle art) {
  if (TypeOf(art) != kArtTypeCompoundPath) return false;
  std::vector<RealRect> boxes;
  for (ArtHandle ring : ChildrenOf(art)) boxes.push_back(BoundsOf(ring));
  if (boxes.size() < 2) return false;
  const RealRect* largest = &boxes[0];
  for (const RealRect& b : boxes)
    if (RectWidth(b) + RectHeight(b) > RectWidth(*largest) + RectHeight(*largest)) largest = &b;
  for (const RealRect& b : boxes)
    if (b.left < largest->left || b.right > largest->right || b.top > largest->top ||
        b.bottom < largest->bottom)
      return true;
  return false;
}

// Whether two closed intervals of boxes meet (edges touching count).
bool BoxesMeet(const RealRect& a, const RealRect& b) {
  return std::min(a.right, b.right) >= std::max(a.left, b.left) &&
         std::min(a.top, b.top) >= std::max(a.bottom, b.bottom);
}

bool FirstAnchor(ArtHandle path, RealPoint* anchor) {
  const PathSuite* s = HeldSuite<PathSuite>();
  int32_t count = 0;
  if (!s || NoteHostError(s->GetPathSegmentCount(path, &count)) != kNoErr || count < 1)
    return false;
  PathSegment first{};
  if (NoteHostError(s->GetPathSegments(path, 0, 1, &first)) != kNoErr) return false;
  *anchor = first.p;
  return true;
}

using Clock = std::chrono::steady_clock;
double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

// --- the layer walk ----------------------------------------------------------

std::vector<LayerHandle> DocumentLayers() {
  std::vector<LayerHandle> out;
  const LayerSuite* s = HeldSuite<LayerSuite>();
  if (!s) return out;
  for (int32_t i = 0;; ++i) {
    LayerHandle layer = nullptr;
    if (NoteHostError(s->GetNthLayer(i, &layer)) != kNoErr || !layer) break;
    out.push_back(layer);
  }
  return out;
}

bool LayerUsable(LayerHandle layer) {
  const LayerSuite* s = HeldSuite<LayerSuite>();
  bool visible = false, editable = false;
  return s && NoteHostError(s->GetLayerVisible(layer, &visible)) == kNoErr && visible &&
         NoteHostError(s->GetLayerEditable(layer, &editable)) == kNoErr && editable;
}

std::vector<ArtHandle> TopLevelArtOf(LayerHandle layer) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  ArtHandle group = nullptr;
  if (!s || NoteHostError(s->GetLayerGroup(layer, &group)) != kNoErr || !group) return {};
  return ChildrenOf(group);
}

bool ArtSelected(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  int32_t values = 0;
  return s && NoteHostError(s->GetArtAttributes(art, kArtAttrSelected, &values)) == kNoErr &&
         (values & kArtAttrSelected) != 0;
}

ArtHandle FindClippingArt(ArtHandle group) {
  for (ArtHandle child : ChildrenOf(group)) {
    const int16_t type = TypeOf(child);
    if ((type == kArtTypePath || type == kArtTypeCompoundPath) && MarkedClipping(child))
      return child;
    if (type == kArtTypeGroup && !GroupClipped(child)) {
      if (ArtHandle found = FindClippingArt(child)) return found;
    }
  }
  return nullptr;
}

// --- quantities --------------------------------------------------------------

int32_t ParseQuantityText(const char* text) {
  if (!text) return 0;
  errno = 0;
  // strtoll saturates at its own range; the clamp brings that to 32 bits,
  // so "99999999999" is the largest quantity rather than a wrapped one.
  const long long value = std::strtoll(text, nullptr, 10);
  return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

int32_t ReadQuantity(ArtHandle art) {
  int32_t quantity = 0;
  ReadQuantityOf(art, &quantity);
  return quantity;
}

bool ReadQuantityOf(ArtHandle art, int32_t* quantity) {
  *quantity = 0;
  const TagSuite* s = HeldSuite<TagSuite>();
  if (!s || !art) return false;
  char text[kTagTextCapacity] = {};
  const HostErr err =
      NoteHostError(s->GetTag(art, kQuantityTagName, kQuantityTagType, text, sizeof text));
  if (err == kErrNotFound) return true;
  if (err != kNoErr) return false;
  *quantity = ParseQuantityText(text);
  return true;
}

HostErr WriteQuantity(ArtHandle art, int32_t quantity) {
  const TagSuite* s = HeldSuite<TagSuite>();
  if (!s || !art) return kErrBadParameter;
  if (quantity < 1) {
    const HostErr err = s->RemoveTag(art, kQuantityTagName);
    return err == kErrNotFound ? kNoErr : err;
  }
  char text[kTagTextCapacity];
  std::snprintf(text, sizeof text, "%d", quantity);
  return s->SetTag(art, kQuantityTagName, kQuantityTagType, text);
}

int32_t SelectionQuantity() {
  int32_t common = kNoSelection;
  for (LayerHandle layer : DocumentLayers()) {
    for (ArtHandle art : TopLevelArtOf(layer)) {
      if (!ArtSelected(art)) continue;
      const int32_t q = ReadQuantity(art);
      if (q == common) continue;
      common = common == kNoSelection ? q : kMixedQuantities;
    }
  }
  return common;
}

int32_t QuantityFromBox(const char* text) {
  if (!text) return 0;
  if (std::strcmp(text, "-") == 0) return kMixedQuantities;
  const int32_t value = ParseQuantityText(text);
  return value < 0 ? 0 : value;
}

void ApplySelectionQuantity(int32_t value) {
  if (value == kMixedQuantities) return;
  for (LayerHandle layer : DocumentLayers())
    for (ArtHandle art : TopLevelArtOf(layer))
      if (ArtSelected(art)) WriteQuantity(art, value);
}

// --- group lines -------------------------------------------------------------

HostErr BuildGroupLines(int16_t merge, GroupLineTimes* times) {
  const ArtSuite* art = HeldSuite<ArtSuite>();
  const LayerSuite* layers = HeldSuite<LayerSuite>();
  if (!art || !layers) return kErrSuiteNotFound;
  GroupLineTimes local;
  GroupLineTimes& t = times ? *times : local;
  Clock::time_point start = Clock::now();

  LayerHandle group_layer = nullptr;
  NoteHostError(layers->GetLayerByTitle(kGroupLineLayerTitle, &group_layer));

  // Pieces of every selected top-level object of the usable layers; an
  // object without pieces still uses up its id.
  std::vector<Piece> pieces;
  int32_t next_id = 1;
  for (LayerHandle layer : DocumentLayers()) {
    if (layer == group_layer || !LayerUsable(layer)) continue;
    for (ArtHandle object : TopLevelArtOf(layer)) {
      if (!ArtSelected(object)) continue;
      int32_t quantity = 0;
      if (!ReadQuantityOf(object, &quantity)) return kErrOutOfMemory;
      CollectPieces(object, next_id, quantity, &pieces);
      ++next_id;
    }
  }
  if (pieces.empty()) return kNoErr;
  t.collect += SecondsSince(start);
  start = Clock::now();

  // Pair pass. Every pair test below is a crossing test (PathsCross) or a
  // containment test of m's first anchor in g (PointInArt, tolerance 0).
  // When the boxes of m and g do not meet, both answer no: PathsCross
  // itself answers no for such boxes before it reads any outline, and the
  // anchor lies in m's box, hence outside g's box, where the even-odd count
  // of g's closed chords (points of g's outline, all inside g's box) is
  // zero. So skipping those pairs changes no flag, id or quantity.
  std::vector<RealRect> boxes(pieces.size());
  for (size_t i = 0; i < pieces.size(); ++i) boxes[i] = BoundsOf(pieces[i].path);
  const size_t n = pieces.size();
  for (size_t mi = 0; mi < n; ++mi) {
    Piece& m = pieces[mi];
    if (m.inside) continue;
    int32_t qm = m.quantity;
    int16_t inside = 0;
    // Without merge only the pieces of m's own object take part, and an
    // object's pieces sit side by side in collection order.
    size_t first = 0, last = n;
    if (merge == 0) {
      first = mi;
      while (first > 0 && pieces[first - 1].id == m.id) --first;
      last = mi + 1;
      while (last < n && pieces[last].id == m.id) ++last;
    }
    for (size_t gi = first; gi < last && !inside; ++gi) {
      if (gi == mi) continue;
      const Piece& g = pieces[gi];
      if (merge == 0 && g.id != m.id) continue;
      if (!BoxesMeet(boxes[mi], boxes[gi])) continue;
      if (PathsCross(m.path, g.path)) {
        if (merge != 0 && g.id > m.id) {
          const int32_t absorbed = g.id;
          for (Piece& r : pieces) {
            if (r.id != absorbed) continue;
            r.id = m.id;
            qm = std::max(qm, r.quantity);
          }
        }
        continue;
      }
      RealPoint anchor;
      if (FirstAnchor(m.path, &anchor) && PointInArt(g.path, anchor, 0) == kInside) inside = 1;
    }
    m.inside = inside;
    m.quantity = qm;
  }
  t.pairs += SecondsSince(start);

  NoteHostError(layers->GetLayerByTitle(kGroupLineLayerTitle, &group_layer));
  if (!group_layer) {
    if (HostErr err = layers->InsertLayer(nullptr, kPlaceBelowAll, &group_layer)) return err;
    if (!group_layer) return kErrOutOfMemory;
    if (HostErr err = layers->SetLayerTitle(group_layer, kGroupLineLayerTitle)) {
      // An untitled layer would not be found to be taken away.
      NoteHostError(layers->DeleteLayer(group_layer));
      return err;
    }
  }
  ArtHandle layer_group = nullptr;
  if (HostErr err = art->GetLayerGroup(group_layer, &layer_group)) return err;
  if (!layer_group) return kErrOutOfMemory;

  const PathStyle bridge_style = BridgeStyle();
  for (size_t mi = 0; mi < n; ++mi) {
    Piece& m = pieces[mi];
    if (m.inside || m.emitted) continue;
    // A line that cannot be made, named or tagged would leave its object
    // out of the run or nest it with the wrong quantity: the build stops.
    ArtHandle outer = nullptr;
    if (HostErr err = art->NewArt(kArtTypeGroup, kPlaceInsideOnBottom, layer_group, &outer))
      return err;
    char name[kTagTextCapacity];
    std::snprintf(name, sizeof name, kGroupLineNameFormat, m.id, m.quantity);
    if (HostErr err = art->SetArtName(outer, name)) return err;
    if (HostErr err = WriteQuantity(outer, m.quantity)) return err;
    ArtHandle inner = nullptr;
    if (HostErr err = art->NewArt(kArtTypeGroup, kPlaceInsideOnTop, outer, &inner)) return err;
    if (!outer || !inner) return kErrOutOfMemory;

    start = Clock::now();
    // Every piece of m's id not drawn yet, those before m included: a piece
    // whose first anchor happened to fall inside a sibling (an open stroke
    // counts as closed) may come first, and leaving it out would leave its
    // area out of the group line.
    int drawn = 0;
    for (size_t ri = 0; ri < n; ++ri) {
      if (pieces[ri].id != m.id || pieces[ri].emitted) continue;
      DrawPieceOutline(pieces[ri].path, inner);
      pieces[ri].emitted = 1;
      ++drawn;
    }
    const RealRect b = BoundsOf(inner);
    t.outlines += SecondsSince(start);

    start = Clock::now();
    if (drawn > 1) {
      ReleaseAndUnite(inner, false);
      UniteArt(inner);
    }
    ReleaseAndUnite(outer, true);
    t.unions += SecondsSince(start);

    std::vector<ArtHandle> parts;
    ListOutlinePieces(outer, &parts);
    // The host's union gives separate areas as one compound path of
    // several outer rings; those areas are pieces to bridge, so the
    // compound path is taken apart into its rings first (a hole ring then
    // fills its hole, which the silhouette wants anyway).
    if (parts.size() == 1 && HasSeparateRings(parts[0])) {
      ReleaseCompoundPaths(outer);
      parts.clear();
      ListOutlinePieces(outer, &parts);
    }
    if (parts.size() <= 1) continue;
    start = Clock::now();
    ArtHandle joined = nullptr;
    if (NoteHostError(art->NewArt(kArtTypeGroup, kPlaceInsideOnBottom, outer, &joined)) != kNoErr ||
        !joined)
      continue;
    for (ArtHandle p : parts) NoteHostError(art->ReorderArt(p, kPlaceInsideOnTop, joined));
    const RealPoint c = RectCenter(b);
    for (ArtHandle p : parts) {
      if (PointInArt(p, c, 0.01) == kInside) continue;
      RealPoint nearest = c;
      NearestPointOnPath(p, c, &nearest);
      if (ArtHandle line = MakeTwoPointPath(joined, bridge_style, c, nearest))
        ConvertToOutline(line);
    }
    t.bridges += SecondsSince(start);
    start = Clock::now();
    UniteArt(joined);
    ReleaseAndUnite(outer, true);
    t.unions += SecondsSince(start);
  }
  return kNoErr;
}

void DeleteGroupLineLayer() {
  const LayerSuite* layers = HeldSuite<LayerSuite>();
  if (!layers) return;
  for (int attempt = 0; attempt < 3; ++attempt) {
    LayerHandle layer = nullptr;
    const HostErr found = layers->GetLayerByTitle(kGroupLineLayerTitle, &layer);
    if (found == kErrOutOfMemory) continue;
    if (found != kNoErr || !layer) return;
    if (layers->DeleteLayer(layer) != kErrOutOfMemory) return;
  }
}

int32_t GroupLineObjectId(ArtHandle group_line) {
  const std::string name = OwnName(group_line);
  int id = 0, quantity = 0;
  if (std::sscanf(name.c_str(), kGroupLineNameFormat, &id, &quantity) != 2) return 0;
  return id;
}

HostErr PlaceGroupCopies(const MemberList& list, int32_t group_index, const RealMatrix& matrix,
                         std::vector<ArtHandle>* made) {
  const ArtSuite* art = HeldSuite<ArtSuite>();
  const TransformArtSuite* transform = HeldSuite<TransformArtSuite>();
  const TagSuite* tags = HeldSuite<TagSuite>();
  if (!art || !transform || !tags) return kErrSuiteNotFound;
  if (!list.members) return kNoErr;
  for (int32_t i = list.member_count - 1; i >= 0; --i) {
    const MemberEntry& member = list.members[i];
    if (member.group != group_index || !member.art) continue;
    ArtHandle parent = nullptr;
    if (HostErr err = art->GetArtParent(member.art, &parent)) return err;
    if (!parent) return kErrBadHandle;
    ArtHandle copy = nullptr;
    if (HostErr err = art->DuplicateArt(member.art, kPlaceInsideOnTop, parent, &copy)) return err;
    if (!copy) return kErrOutOfMemory;
    if (made) {
      try {
        made->push_back(copy);
      } catch (const std::bad_alloc&) {
        NoteHostError(art->DisposeArt(copy));
        return kErrOutOfMemory;
      }
    }
    if (HostErr err =
            transform->TransformArt(copy, &matrix, kTransformLineScale, kTransformOptionsPlace))
      return err;
    const HostErr err = tags->RemoveTag(copy, kQuantityTagName);
    if (err != kNoErr && err != kErrNotFound) return err;
  }
  return kNoErr;
}
