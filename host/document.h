// The host stand-in's documents: the art tree with its handles, layers,
// artboards, the view, undo texts, and the list of open documents.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/geometry.h"
#include "host/art.h"
#include "host/handles.h"
#include "plugin/host_types.h"

namespace host {

struct SourceDrawing;

// A layer: a title, two flags and the root group that holds its art.
struct Layer {
  std::string title;
  bool visible = true;
  bool editable = true;  // false: the layer is locked
  Art* group = nullptr;  // owned by the document's art table
  uint32_t slot = 0;
  uint32_t generation = 0;
};

// The document window's size in screen points; at zoom 1 one document point
// fills one screen point.
constexpr double kViewWidth = 1600;
constexpr double kViewHeight = 1000;
// The zoom range the view accepts; SetZoom clamps to it.
constexpr double kMinZoom = 1.0 / 32;
constexpr double kMaxZoom = 64;
// The side of the square canvas, centred on the origin.
constexpr double kCanvasSize = 16383;
// The most artboards a document holds.
constexpr int32_t kMaxArtboards = 1000;
// The deepest nesting of art below a layer's root group. Every walk of the
// tree recurses, so a deeper tree (from a hostile file, say) is refused
// where it would be built instead of overflowing the stack later.
constexpr int kMaxArtDepth = 1000;

// One open document. It owns every art node and layer; the handles it hands
// out carry its serial and each object's slot and generation, and Resolve
// accepts only its own live objects.
class Document {
 public:
  // A new document holds one layer "Layer 1" (the current layer) and one
  // artboard of size 612 x 792 points centred on the origin; its view is
  // centred on the origin at zoom 1.
  Document(uint32_t serial, std::string name);
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  uint32_t serial() const { return serial_; }
  const std::string& name() const { return name_; }
  void set_name(std::string name) { name_ = std::move(name); }
  RealRect canvas() const;

  // --- handles ---------------------------------------------------------
  ArtHandle HandleOf(const Art* art) const;
  LayerHandle HandleOf(const Layer* layer) const;
  DocumentHandle handle() const;
  DocumentViewHandle view_handle() const;
  // The live art or layer the handle names in this document; null for a
  // null, disposed, stale, foreign or wrong-kind handle.
  Art* Resolve(ArtHandle handle) const;
  Layer* Resolve(LayerHandle handle) const;
  bool IsView(DocumentViewHandle handle) const;

  // --- art ---------------------------------------------------------------
  // Where order and prep (PaintOrder) put new or moved art: its parent and
  // the child it goes before (null: at the end). kPlaceAbove and kPlaceBelow
  // place next to prep in prep's parent; the inside orders place into prep;
  // kPlaceAboveAll puts it on top of the first layer and kPlaceBelowAll at
  // the bottom of the last layer, prep being ignored. kErrBadParameter for an
  // unknown order or a missing prep, kErrRefused next to a layer's root group
  // or inside art that holds no children.
  HostErr Place(int16_t order, Art* prep, Art** parent, Art** before) const;

  // A new, empty art of the type (a path has no segments and is open).
  // kErrRefused when the place cannot hold that type, or when the art would
  // lie deeper than kMaxArtDepth (so do Duplicate and Reorder).
  HostErr NewArt(int16_t type, int16_t order, Art* prep, Art** art);
  // A deep copy of the art (children, segments, style, name, tags, flags)
  // at the place. The copy of a layer's root group is refused.
  HostErr Duplicate(Art* art, int16_t order, Art* prep, Art** copy);
  // Moves the art to the place. Refused for a layer's root group and for a
  // place inside the art itself.
  HostErr Reorder(Art* art, int16_t order, Art* prep);
  // Removes the art and everything below it; their handles become stale.
  // A layer's root group is refused (delete the layer instead).
  HostErr Dispose(Art* art);
  // The layer whose tree holds the art.
  Layer* LayerOf(const Art* art) const;
  // Whether inner is art itself or lies inside it.
  static bool Contains(const Art* art, const Art* inner);
  // The number of groups and compound paths above the art up to its layer's
  // root group (0 for the root group), and the levels of art below it (0 for
  // art without children).
  static int Depth(const Art* art);
  static int Height(const Art* art);

  // Selection. Every change of a selected flag, and the disposal of
  // selected art, moves selection_serial on, so that the host can tell
  // whether a command changed the selection.
  void SetSelected(Art* art, bool selected);
  uint64_t selection_serial() const { return selection_serial_; }
  // Every selected art, in layer order and depth-first child order.
  std::vector<Art*> SelectedArt() const;
  // The selected art at or below art, depth-first.
  std::vector<Art*> SelectedArtUnder(Art* art) const;
  // Clears the selected flag of every art.
  void DeselectAll();

  // --- layers ------------------------------------------------------------
  int32_t LayerCount() const { return static_cast<int32_t>(layers_.size()); }
  // Index 0 is the topmost layer; null outside the range.
  Layer* NthLayer(int32_t index) const;
  int32_t IndexOf(const Layer* layer) const;
  Layer* LayerByTitle(const std::string& title) const;
  Layer* current_layer() const { return current_layer_; }
  void set_current_layer(Layer* layer) { current_layer_ = layer; }
  // A new visible, editable, empty layer titled "Layer N": kPlaceAbove or
  // kPlaceBelow relative to prep, kPlaceAboveAll (index 0) or
  // kPlaceBelowAll (last). The current layer stays as it was.
  HostErr InsertLayer(Layer* prep, int16_t order, Layer** layer);
  // Removes the layer and all its art. The last layer is refused: a
  // document always keeps one. When the current layer goes, layer 0 becomes
  // current.
  HostErr DeleteLayer(Layer* layer);

  // --- artboards ---------------------------------------------------------
  const std::vector<RealRect>& artboards() const { return artboards_; }
  int32_t active_artboard() const { return active_artboard_; }
  HostErr SetActiveArtboard(int32_t index);
  HostErr AddArtboard(const RealRect& rect, int32_t* index);
  HostErr UpdateArtboard(int32_t index, const RealRect& rect);
  // Refused for the only artboard left.
  HostErr DeleteArtboard(int32_t index);
  // Artboard lists handed out and not yet released.
  ArtboardListRef AcquireArtboardList();
  bool IsArtboardList(ArtboardListRef list) const;
  HostErr ReleaseArtboardList(ArtboardListRef list);
  int32_t open_artboard_lists() const { return static_cast<int32_t>(open_lists_.size()); }

  // --- view --------------------------------------------------------------
  RealPoint view_center() const { return view_center_; }
  double view_zoom() const { return view_zoom_; }
  void set_view_center(RealPoint center) { view_center_ = center; }
  // Clamped to kMinZoom .. kMaxZoom.
  void SetViewZoom(double zoom);
  // The window's area in document points: kViewWidth / zoom by
  // kViewHeight / zoom around the centre.
  RealRect ViewBounds() const;

  // --- undo ----------------------------------------------------------------
  const std::string& undo_text() const { return undo_text_; }
  const std::string& redo_text() const { return redo_text_; }
  void SetUndoTexts(std::string undo, std::string redo);

  // The number of live art nodes, layer root groups included.
  size_t ArtCount() const { return arts_.LiveCount(); }

  // The drawing the document was imported from (null for a new document);
  // the origins of imported art name its elements.
  SourceDrawing* source() const { return source_.get(); }
  void set_source(std::shared_ptr<SourceDrawing> source) { source_ = std::move(source); }

 private:
  HostErr AddNode(std::unique_ptr<Art> node, Art** art);
  Art* CopyTree(const Art& source);
  void Link(Art* art, Art* parent, Art* before);
  static void Unlink(Art* art);
  void FreeTree(Art* art);
  void CollectSelected(Art* art, std::vector<Art*>* out) const;

  uint32_t serial_;
  std::string name_;
  SlotTable<Art> arts_;
  SlotTable<Layer> layer_table_;
  std::vector<Layer*> layers_;  // index order
  Layer* current_layer_ = nullptr;
  int32_t next_layer_number_ = 1;
  uint64_t selection_serial_ = 0;
  std::vector<RealRect> artboards_;
  int32_t active_artboard_ = 0;
  std::vector<uint32_t> open_lists_;
  uint32_t next_list_id_ = 1;
  RealPoint view_center_{0, 0};
  double view_zoom_ = 1;
  std::string undo_text_;
  std::string redo_text_;
  std::shared_ptr<SourceDrawing> source_;
};

// The open documents, front to back. The suites work on the front document.
class DocumentList {
 public:
  // Opens a new document in front of the others.
  Document* New(std::string name);
  // Closes the document; its handles become stale.
  HostErr Close(Document* document);
  void CloseAll();
  // Brings the document to the front.
  HostErr BringToFront(Document* document);
  int32_t Count() const { return static_cast<int32_t>(documents_.size()); }
  Document* Nth(int32_t index) const;
  Document* Front() const { return Nth(0); }
  Document* Resolve(DocumentHandle handle) const;

 private:
  std::vector<std::unique_ptr<Document>> documents_;
  uint32_t next_serial_ = 1;
};

// The host's one list of open documents, read by every suite.
DocumentList& Documents();

}  // namespace host
