// The host's art tree: art objects, layers, groups, per-object tags,
// transforms and the outline converter.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "plugin/host_types.h"

// ---------------------------------------------------------------------------
// Facts shared by the art suites.

// Art types. The plug-in itself only takes groups, paths and compound paths
// apart; every other kind is a leaf to it.
enum ArtType : int16_t {
  kArtTypeUnknown = 0,
  kArtTypeGroup = 1,
  kArtTypePath = 2,
  kArtTypeCompoundPath = 3,
  kArtTypeText = 4,
  kArtTypePlaced = 5,
  kArtTypeRaster = 6,
  kArtTypeSymbol = 7,
  kArtTypeMesh = 8,
  kArtTypePluginArt = 9,
};

// Where new, duplicated, moved or inserted art (or a layer) goes, relative to
// a reference object "prep". Stacking order is topmost first: the first
// child of a group is drawn on top.
enum PaintOrder : int16_t {
  kPlaceAbove = 1,           // just above prep, in prep's parent
  kPlaceBelow = 2,           // just below prep, in prep's parent
  kPlaceInsideOnTop = 3,     // first child of prep (a group or compound path)
  kPlaceInsideOnBottom = 4,  // last child of prep
  kPlaceAboveAll = 5,        // above everything (layers: first layer); prep null
  kPlaceBelowAll = 6,        // below everything (layers: last layer); prep null
};

// Art attribute bits, read and written through a mask.
enum ArtAttribute : int32_t {
  kArtAttrSelected = 0x01,  // selected, wholly or in part
  kArtAttrLocked = 0x02,
  kArtAttrHidden = 0x04,
  // The path or compound path clips the rest of its clipping group. The same
  // mark as the paint style's clip flag: setting one sets the other.
  kArtAttrClipMask = 0x08,
};

// Bounds option bits of GetArtTransformBounds.
enum BoundsOption : int32_t {
  kBoundsVisible = 0x02,   // the art as drawn: hidden parts left out
  kBoundsNoStroke = 0x40,  // the outline's geometry: stroke widths not added
};
// The options the overlap test measures its container and probe with.
constexpr int32_t kBoundsOptionsOutline = kBoundsVisible | kBoundsNoStroke;
static_assert(kBoundsOptionsOutline == 66);

// ---------------------------------------------------------------------------
// Art objects and the tree they form.

constexpr char kArtSuiteName[] = "AI Art Suite";
constexpr int32_t kArtSuiteVersion = 21;

// Child and sibling walks answer null with result 0 at the end of a list;
// an invalid handle gives kErrBadHandle and a null answer.
struct ArtSuite {
  // The art's type (ArtType).
  HostErr (*GetArtType)(ArtHandle art, int16_t* type);
  // The group, compound path or layer group that holds the art.
  HostErr (*GetArtParent)(ArtHandle art, ArtHandle* parent);
  // The topmost child of a group or compound path; null when it has none.
  HostErr (*GetArtFirstChild)(ArtHandle art, ArtHandle* child);
  // The next art below it in its parent; null after the last.
  HostErr (*GetArtSibling)(ArtHandle art, ArtHandle* sibling);
  // The group that holds a layer's top-level art; its children are the
  // layer's objects.
  HostErr (*GetLayerGroup)(LayerHandle layer, ArtHandle* group);
  // Creates an empty art of the given type (group, path: no segments, open;
  // compound path) at the given place. kErrRefused when the place cannot
  // hold it.
  HostErr (*NewArt)(int16_t type, int16_t order, ArtHandle prep, ArtHandle* art);
  // Copies the art with everything inside it, its style, name and tags, to
  // the given place.
  HostErr (*DuplicateArt)(ArtHandle art, int16_t order, ArtHandle prep, ArtHandle* copy);
  // Moves the art to the given place, keeping it otherwise unchanged.
  HostErr (*ReorderArt)(ArtHandle art, int16_t order, ArtHandle prep);
  // Removes the art and everything inside it from the document; its handle
  // and those of its contents become invalid.
  HostErr (*DisposeArt)(ArtHandle art);
  // *values = the art's attribute bits (ArtAttribute) selected by mask.
  HostErr (*GetArtAttributes)(ArtHandle art, int32_t mask, int32_t* values);
  // Sets the attribute bits selected by mask to those of values.
  HostErr (*SetArtAttributes)(ArtHandle art, int32_t mask, int32_t values);
  // The bounds of the art's geometry in document points (y up): anchors and
  // curve extremes, strokes not added. A group's bounds enclose its contents;
  // an empty group has an empty rectangle (all zero).
  HostErr (*GetArtBounds)(ArtHandle art, RealRect* bounds);
  // The bounds of the art as if transformed by matrix (null: as it is),
  // measured as the option bits (BoundsOption) ask.
  HostErr (*GetArtTransformBounds)(ArtHandle art, const RealMatrix* matrix, int32_t options,
                                   RealRect* bounds);
  // The art's name, UTF-8, truncated to capacity - 1 bytes and terminated.
  // Art that was never named has the host's default name for its type, and
  // *is_default is then true. is_default may be null.
  HostErr (*GetArtName)(ArtHandle art, char* name, int32_t capacity, bool* is_default);
  // Names the art; an empty name gives it back its default name.
  HostErr (*SetArtName)(ArtHandle art, const char* name);
};

// ---------------------------------------------------------------------------
// Layers, in the host's index order (index 0 is the topmost layer).

constexpr char kLayerSuiteName[] = "AI Layer Suite";
constexpr int32_t kLayerSuiteVersion = 13;

struct LayerSuite {
  // The number of layers of the current document.
  HostErr (*CountLayers)(int32_t* count);
  // The layer at index (0 topmost). kErrBadParameter outside 0 .. count - 1.
  HostErr (*GetNthLayer)(int32_t index, LayerHandle* layer);
  // The layer that new art goes into by default.
  HostErr (*GetCurrentLayer)(LayerHandle* layer);
  // The first layer whose title equals title exactly; null with result 0
  // when there is none.
  HostErr (*GetLayerByTitle)(const char* title, LayerHandle* layer);
  // Whether the layer is shown.
  HostErr (*GetLayerVisible)(LayerHandle layer, bool* visible);
  // Whether the layer's art may be changed (the layer is not locked).
  HostErr (*GetLayerEditable)(LayerHandle layer, bool* editable);
  // Inserts a new, visible, editable, empty layer relative to prep (kPlaceAbove
  // or kPlaceBelow), or at the top or bottom of the list (kPlaceAboveAll,
  // kPlaceBelowAll, prep null).
  HostErr (*InsertLayer)(LayerHandle prep, int16_t order, LayerHandle* layer);
  // Sets the layer's title (UTF-8).
  HostErr (*SetLayerTitle)(LayerHandle layer, const char* title);
  // Removes the layer with all its art.
  HostErr (*DeleteLayer)(LayerHandle layer);
};

// ---------------------------------------------------------------------------
// Groups.

constexpr char kGroupSuiteName[] = "AI Group Suite";
constexpr int32_t kGroupSuiteVersion = 5;

struct GroupSuite {
  // Whether the group is a clipping group: one of its paths or compound
  // paths (marked kArtAttrClipMask) clips the rest.
  HostErr (*GetGroupClipped)(ArtHandle group, bool* clipped);
};

// ---------------------------------------------------------------------------
// Per-object tags: named texts stored with an art in the document, copied
// with it and saved with the document.

constexpr char kTagSuiteName[] = "AI Tag Suite";
constexpr int32_t kTagSuiteVersion = 4;

// The tag type of a text value.
constexpr char kTagTypeString[] = "string";

struct TagSuite {
  // The value of the art's tag of that name and type, UTF-8, truncated to
  // capacity - 1 bytes and terminated. kErrNotFound (value empty) when the art
  // has no such tag.
  HostErr (*GetTag)(ArtHandle art, const char* name, const char* type, char* value,
                    int32_t capacity);
  // Creates or replaces the art's tag of that name.
  HostErr (*SetTag)(ArtHandle art, const char* name, const char* type, const char* value);
  // Removes the art's tag of that name; result 0 when it had none.
  HostErr (*RemoveTag)(ArtHandle art, const char* name);
};

// ---------------------------------------------------------------------------
// Moving, turning and scaling art.

constexpr char kTransformArtSuiteName[] = "AI Transform Art Suite";
constexpr int32_t kTransformArtSuiteVersion = 3;

// What a transform applies to (option bits).
enum TransformOption : int32_t {
  kTransformObjects = 0x01,         // the art's own geometry
  kTransformFillGradients = 0x02,   // gradients of fills
  kTransformFillPatterns = 0x04,    // patterns of fills
  kTransformStrokePatterns = 0x08,  // patterns of strokes
  kTransformLineWidths = 0x10,      // stroke widths scaled by the line scale
  kTransformLinkedMasks = 0x20,     // masks linked to the art
  kTransformChildren = 0x40,        // everything inside groups and compound paths
};
// Objects, their children, fill and stroke patterns, fill gradients and linked
// masks; line widths unscaled. Every transform of the plug-in uses it.
constexpr int32_t kTransformOptionsPlace = kTransformObjects | kTransformChildren |
                                           kTransformFillPatterns | kTransformStrokePatterns |
                                           kTransformFillGradients | kTransformLinkedMasks;
static_assert(kTransformOptionsPlace == 111);
// The line scale every transform of the plug-in passes: widths unchanged.
constexpr double kTransformLineScale = 1.0;

struct TransformArtSuite {
  // Applies the matrix to the art as the option bits (TransformOption) say;
  // stroke widths are multiplied by line_scale when kTransformLineWidths is set.
  HostErr (*TransformArt)(ArtHandle art, const RealMatrix* matrix, double line_scale,
                          int32_t options);
};

// ---------------------------------------------------------------------------
// The host's converter of art into outlines.

constexpr char kArtConverterSuiteName[] = "AI Art Converter Suite";
constexpr int32_t kArtConverterSuiteVersion = 3;

// The conversion the plug-in asks for: strokes expanded into filled areas,
// the result taking the art's place.
constexpr int32_t kConvertOptionsOutline = 7;

struct ArtConverterSuite {
  // Replaces the art in place (same parent, same stacking position) by its
  // outlined form: each stroke becomes a filled area, normally a compound
  // path of an outer and an inner ring. The handle passed in is no longer
  // valid afterwards.
  HostErr (*ConvertToOutline)(ArtHandle art, int32_t options);
};
