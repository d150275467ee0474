// The host stand-in's art objects: nodes of a document's art tree, their
// kinds, paint, tags, and the geometry of bounds and transforms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/geometry.h"
#include "plugin/suite_art.h"
#include "plugin/suite_path.h"

namespace host {

class Document;
struct Layer;

// A named text stored with an art object; duplicates carry their tags.
struct Tag {
  std::string name;
  std::string type;
  std::string value;
};

// Where imported art came from, so that the SVG exporter can write it back
// as it was read: the element, the spaces it was read in, and what the host
// did to it since. Art made by the host or the plug-in has element null and
// id 0. Duplicates carry their original's origin.
struct ArtOrigin {
  // The element of the document's source drawing (a pugixml node) the art
  // was read from; null for art made here and for the parts of an element
  // that have none of their own (the subpaths of a compound path, a clip).
  const void* element = nullptr;
  // From the element's parent user space to document points, and, for
  // groups and layers, from the space its children were read in.
  RealMatrix outer{1, 0, 0, 1, 0, 0};
  RealMatrix inner{1, 0, 0, 1, 0, 0};
  // Every transform the host applied since the import, composed.
  RealMatrix placement{1, 0, 0, 1, 0, 0};
  // The place in the imported tree: a serial (0: made here), the parent's
  // serial, the index among the parent's children, the number of children.
  uint32_t id = 0;
  uint32_t parent = 0;
  uint32_t index = 0;
  uint32_t children = 0;
  bool hidden = false;   // hidden when imported
  bool changed = false;  // geometry or paint changed since: written from the model
};

// One node of the art tree. Groups and compound paths hold children in
// stacking order, topmost first, as an intrusive list so that sibling walks
// and insertions cost the same in a layer of ten thousand objects as in one
// of ten. The document owns every node; links never own.
struct Art {
  ArtType type = kArtTypeGroup;

  // Place in the tree.
  Art* parent = nullptr;
  Art* first_child = nullptr;
  Art* last_child = nullptr;
  Art* prev = nullptr;     // the sibling above
  Art* next = nullptr;     // the sibling below
  Layer* layer = nullptr;  // set on a layer's root group only

  // Identity within the document: the slot and generation its handles carry.
  uint32_t slot = 0;
  uint32_t generation = 0;

  std::string name;  // empty: the host's default name for the kind
  bool selected = false;
  bool locked = false;
  bool hidden = false;
  bool clipped = false;  // groups: the group is a clipping group

  // Paths: segments and closed flag.
  std::vector<PathSegment> segments;
  bool closed = false;
  // Paths and compound paths. style.clip is the clipping mark
  // (kArtAttrClipMask). A path inside a compound path paints with the
  // compound path's style.
  PathStyle style{};

  // The kinds the stand-in does not take apart (raster, text, placed, symbol,
  // mesh, plug-in art): a box in the art's own space, the transform that maps
  // it into the document, and the source text an exporter writes back.
  RealRect box{};
  RealMatrix matrix{1, 0, 0, 1, 0, 0};
  std::string source;

  std::vector<Tag> tags;

  ArtOrigin origin;
};

// Whether art of that type is a known kind the document can hold.
bool IsKnownArtType(int16_t type);
// Whether the type is one of the kinds kept as a box and a transform.
bool IsBoxArtType(int16_t type);
// Whether art of type child may be placed inside parent: groups hold any art,
// compound paths hold paths, nothing else holds children.
bool CanHold(const Art& parent, int16_t child);
// The name the host shows for unnamed art of that type ("<Path>", ...).
const char* DefaultArtName(int16_t type);

// The style a path paints with: its compound path's when it is inside one.
const PathStyle& EffectiveStyle(const Art& art);

// --- bounds ----------------------------------------------------------------

// The extent of a cubic path's curves: every anchor and the extremes of each
// curve between them, the closing curve included when closed. Each point is
// first mapped by matrix when it is not null. False (rect untouched) for a
// path without segments.
bool PathExtent(const PathSegment* segments, size_t count, bool closed, const RealMatrix* matrix,
                RealRect* extent);

// The bounds of the art as if transformed by matrix (null: as it is), with
// the option bits of BoundsOption:
//  - kBoundsVisible: hidden art is left out.
//  - kBoundsNoStroke: geometry only; without it a painted stroke adds half
//    its width on every side of its path's extent.
// Other bits are accepted and change nothing. Groups and compound paths
// measure as the union of their children, a clipping group as its clipping
// path, box kinds as their transformed box. False when nothing is measured
// (an empty group, a path without segments, hidden art with kBoundsVisible).
bool ArtExtent(const Art& art, const RealMatrix* matrix, int32_t options, RealRect* extent);

// The path or compound path that clips a clipping group: the first child
// marked as clipping, searched depth-first in child order through groups
// that are not clipping groups themselves. Null when there is none.
const Art* ClippingArt(const Art& group);

// --- transforms ------------------------------------------------------------

// Applies the matrix to the art as the TransformOption bits say:
//  - kTransformObjects: anchors and handles of paths, the transform of the
//    box kinds.
//  - kTransformChildren: the same transform, with the same bits, for
//    everything inside groups and compound paths.
//  - kTransformLineWidths: stroke widths of transformed paths and compound
//    paths are multiplied by line_scale; without it widths stay.
//  - gradients, patterns and linked masks: the stand-in paints with flat
//    colours only, so these bits are accepted and change nothing.
// The transform of art that moved is composed into its origin's placement;
// a path whose stroke widths no longer scale as its geometry did is marked
// as changed.
void TransformArtTree(Art& art, const RealMatrix& matrix, double line_scale, int32_t options);

// Whether every entry of the matrix is a finite number.
bool MatrixIsFinite(const RealMatrix& m);

// --- tags ------------------------------------------------------------------

const Tag* FindTag(const Art& art, const std::string& name);
void SetTag(Art& art, const std::string& name, const std::string& type, const std::string& value);
// True when a tag was removed.
bool RemoveTag(Art& art, const std::string& name);

}  // namespace host
