// The host stand-in's documents: art tree edits with their handle checks,
// layers, artboards, the view and the document list.
#include "host/document.h"

#include <algorithm>
#include <cmath>

namespace host {

Document::Document(uint32_t serial, std::string name) : serial_(serial), name_(std::move(name)) {
  Layer* layer = nullptr;
  InsertLayer(nullptr, kPlaceAboveAll, &layer);
  current_layer_ = layer;
  artboards_.push_back(RealRect{-306, 396, 306, -396});
}

RealRect Document::canvas() const {
  double h = kCanvasSize / 2;
  return RealRect{-h, h, h, -h};
}

// --- handles -----------------------------------------------------------------

ArtHandle Document::HandleOf(const Art* art) const {
  if (!art) return nullptr;
  return ToHandle<ArtHandle>(HandleFields{serial_, HandleKind::kArt, art->generation, art->slot});
}

LayerHandle Document::HandleOf(const Layer* layer) const {
  if (!layer) return nullptr;
  return ToHandle<LayerHandle>(
      HandleFields{serial_, HandleKind::kLayer, layer->generation, layer->slot});
}

DocumentHandle Document::handle() const {
  return ToHandle<DocumentHandle>(HandleFields{serial_, HandleKind::kDocument, 1, 0});
}

DocumentViewHandle Document::view_handle() const {
  return ToHandle<DocumentViewHandle>(HandleFields{serial_, HandleKind::kView, 1, 0});
}

Art* Document::Resolve(ArtHandle handle) const {
  if (!handle) return nullptr;
  HandleFields f = FromHandle(handle);
  if (f.document != serial_ || f.kind != HandleKind::kArt) return nullptr;
  return arts_.Get(f.slot, f.generation);
}

Layer* Document::Resolve(LayerHandle handle) const {
  if (!handle) return nullptr;
  HandleFields f = FromHandle(handle);
  if (f.document != serial_ || f.kind != HandleKind::kLayer) return nullptr;
  return layer_table_.Get(f.slot, f.generation);
}

bool Document::IsView(DocumentViewHandle handle) const {
  return handle && handle == view_handle();
}

// --- art -----------------------------------------------------------------------

HostErr Document::Place(int16_t order, Art* prep, Art** parent, Art** before) const {
  switch (order) {
    case kPlaceAbove:
    case kPlaceBelow:
      if (!prep) return kErrBadParameter;
      if (!prep->parent) return kErrRefused;
      *parent = prep->parent;
      *before = order == kPlaceAbove ? prep : prep->next;
      return kNoErr;
    case kPlaceInsideOnTop:
    case kPlaceInsideOnBottom:
      if (!prep) return kErrBadParameter;
      if (prep->type != kArtTypeGroup && prep->type != kArtTypeCompoundPath) return kErrRefused;
      *parent = prep;
      *before = order == kPlaceInsideOnTop ? prep->first_child : nullptr;
      return kNoErr;
    case kPlaceAboveAll:
      if (layers_.empty()) return kErrRefused;
      *parent = layers_.front()->group;
      *before = (*parent)->first_child;
      return kNoErr;
    case kPlaceBelowAll:
      if (layers_.empty()) return kErrRefused;
      *parent = layers_.back()->group;
      *before = nullptr;
      return kNoErr;
    default:
      return kErrBadParameter;
  }
}

HostErr Document::AddNode(std::unique_ptr<Art> node, Art** art) {
  Art* raw = node.get();
  if (!arts_.Add(std::move(node), &raw->slot, &raw->generation)) return kErrOutOfMemory;
  *art = raw;
  return kNoErr;
}

void Document::Link(Art* art, Art* parent, Art* before) {
  if (parent->type == kArtTypeCompoundPath) {
    // The paths of a compound path paint with its style.
    bool clip = art->style.clip;
    art->style = parent->style;
    art->style.clip = clip;
  }
  art->parent = parent;
  art->next = before;
  art->prev = before ? before->prev : parent->last_child;
  if (art->prev) {
    art->prev->next = art;
  } else {
    parent->first_child = art;
  }
  if (before) {
    before->prev = art;
  } else {
    parent->last_child = art;
  }
}

void Document::Unlink(Art* art) {
  Art* parent = art->parent;
  if (!parent) return;
  if (art->prev) {
    art->prev->next = art->next;
  } else {
    parent->first_child = art->next;
  }
  if (art->next) {
    art->next->prev = art->prev;
  } else {
    parent->last_child = art->prev;
  }
  art->parent = art->prev = art->next = nullptr;
}

HostErr Document::NewArt(int16_t type, int16_t order, Art* prep, Art** art) {
  if (!art) return kErrBadParameter;
  *art = nullptr;
  if (!IsKnownArtType(type)) return kErrBadParameter;
  Art* parent = nullptr;
  Art* before = nullptr;
  if (HostErr err = Place(order, prep, &parent, &before)) return err;
  if (!CanHold(*parent, type) || Depth(parent) + 1 > kMaxArtDepth) return kErrRefused;
  auto node = std::make_unique<Art>();
  node->type = static_cast<ArtType>(type);
  Art* made = nullptr;
  if (HostErr err = AddNode(std::move(node), &made)) return err;
  Link(made, parent, before);
  *art = made;
  return kNoErr;
}

Art* Document::CopyTree(const Art& source) {
  auto node = std::make_unique<Art>();
  node->type = source.type;
  node->name = source.name;
  node->selected = source.selected;
  node->locked = source.locked;
  node->hidden = source.hidden;
  node->clipped = source.clipped;
  node->segments = source.segments;
  node->closed = source.closed;
  node->style = source.style;
  node->box = source.box;
  node->matrix = source.matrix;
  node->source = source.source;
  node->tags = source.tags;
  node->origin = source.origin;
  Art* copy = nullptr;
  if (AddNode(std::move(node), &copy)) return nullptr;
  for (const Art* c = source.first_child; c; c = c->next) {
    Art* child = CopyTree(*c);
    if (!child) {
      FreeTree(copy);
      return nullptr;
    }
    Link(child, copy, nullptr);
  }
  return copy;
}

HostErr Document::Duplicate(Art* art, int16_t order, Art* prep, Art** copy) {
  if (!copy) return kErrBadParameter;
  *copy = nullptr;
  if (!art) return kErrBadParameter;
  if (art->layer) return kErrRefused;
  Art* parent = nullptr;
  Art* before = nullptr;
  if (HostErr err = Place(order, prep, &parent, &before)) return err;
  if (!CanHold(*parent, art->type) || Depth(parent) + 1 + Height(art) > kMaxArtDepth) {
    return kErrRefused;
  }
  Art* made = CopyTree(*art);
  if (!made) return kErrOutOfMemory;
  Link(made, parent, before);
  if (!SelectedArtUnder(made).empty()) ++selection_serial_;
  *copy = made;
  return kNoErr;
}

HostErr Document::Reorder(Art* art, int16_t order, Art* prep) {
  if (!art) return kErrBadParameter;
  if (art->layer) return kErrRefused;
  Art* parent = nullptr;
  Art* before = nullptr;
  if (HostErr err = Place(order, prep, &parent, &before)) return err;
  if (!CanHold(*parent, art->type) || Contains(art, parent)) return kErrRefused;
  if (parent != art->parent && Depth(parent) + 1 + Height(art) > kMaxArtDepth) {
    return kErrRefused;
  }
  if (before == art) return kNoErr;  // already there
  Art* old_parent = art->parent;
  Unlink(art);
  if (old_parent->type == kArtTypeCompoundPath && parent != old_parent) {
    // A path leaving its compound path keeps painting as it did.
    art->style = old_parent->style;
    art->style.clip = false;
  }
  Link(art, parent, before);
  return kNoErr;
}

void Document::FreeTree(Art* art) {
  Art* c = art->first_child;
  while (c) {
    Art* next = c->next;
    FreeTree(c);
    c = next;
  }
  if (art->selected) ++selection_serial_;
  arts_.Remove(art->slot);
}

HostErr Document::Dispose(Art* art) {
  if (!art) return kErrBadParameter;
  if (art->layer) return kErrRefused;
  Unlink(art);
  FreeTree(art);
  return kNoErr;
}

Layer* Document::LayerOf(const Art* art) const {
  while (art && art->parent) art = art->parent;
  return art ? art->layer : nullptr;
}

bool Document::Contains(const Art* art, const Art* inner) {
  for (const Art* a = inner; a; a = a->parent) {
    if (a == art) return true;
  }
  return false;
}

int Document::Depth(const Art* art) {
  int depth = 0;
  for (const Art* a = art->parent; a; a = a->parent) ++depth;
  return depth;
}

int Document::Height(const Art* art) {
  // Breadth-first by levels, so that measuring never recurses.
  int height = 0;
  std::vector<const Art*> level{art};
  std::vector<const Art*> below;
  for (;;) {
    below.clear();
    for (const Art* a : level) {
      for (const Art* c = a->first_child; c; c = c->next) below.push_back(c);
    }
    if (below.empty()) return height;
    ++height;
    level.swap(below);
  }
}

void Document::SetSelected(Art* art, bool selected) {
  if (!art || art->selected == selected) return;
  art->selected = selected;
  ++selection_serial_;
}

std::vector<Art*> Document::SelectedArtUnder(Art* art) const {
  std::vector<Art*> out;
  CollectSelected(art, &out);
  return out;
}

void Document::CollectSelected(Art* art, std::vector<Art*>* out) const {
  if (art->selected) out->push_back(art);
  for (Art* c = art->first_child; c; c = c->next) CollectSelected(c, out);
}

std::vector<Art*> Document::SelectedArt() const {
  std::vector<Art*> out;
  for (Layer* layer : layers_) CollectSelected(layer->group, &out);
  return out;
}

void Document::DeselectAll() {
  for (Art* art : SelectedArt()) SetSelected(art, false);
}

// --- layers ------------------------------------------------------------------

Layer* Document::NthLayer(int32_t index) const {
  if (index < 0 || index >= LayerCount()) return nullptr;
  return layers_[static_cast<size_t>(index)];
}

int32_t Document::IndexOf(const Layer* layer) const {
  auto it = std::find(layers_.begin(), layers_.end(), layer);
  return it == layers_.end() ? -1 : static_cast<int32_t>(it - layers_.begin());
}

Layer* Document::LayerByTitle(const std::string& title) const {
  for (Layer* layer : layers_) {
    if (layer->title == title) return layer;
  }
  return nullptr;
}

HostErr Document::InsertLayer(Layer* prep, int16_t order, Layer** layer) {
  if (!layer) return kErrBadParameter;
  *layer = nullptr;
  size_t at;
  switch (order) {
    case kPlaceAbove:
    case kPlaceBelow: {
      int32_t index = IndexOf(prep);
      if (index < 0) return kErrBadParameter;
      at = static_cast<size_t>(index) + (order == kPlaceBelow ? 1 : 0);
      break;
    }
    case kPlaceAboveAll:
      at = 0;
      break;
    case kPlaceBelowAll:
      at = layers_.size();
      break;
    default:
      return kErrBadParameter;
  }
  auto root = std::make_unique<Art>();
  root->type = kArtTypeGroup;
  Art* group = nullptr;
  if (HostErr err = AddNode(std::move(root), &group)) return err;
  auto made = std::make_unique<Layer>();
  Layer* raw = made.get();
  raw->title = "Layer " + std::to_string(next_layer_number_++);
  raw->group = group;
  if (!layer_table_.Add(std::move(made), &raw->slot, &raw->generation)) {
    arts_.Remove(group->slot);
    return kErrOutOfMemory;
  }
  group->layer = raw;
  layers_.insert(layers_.begin() + static_cast<std::ptrdiff_t>(at), raw);
  *layer = raw;
  return kNoErr;
}

HostErr Document::DeleteLayer(Layer* layer) {
  int32_t index = IndexOf(layer);
  if (index < 0) return kErrBadParameter;
  if (layers_.size() == 1) return kErrRefused;
  layers_.erase(layers_.begin() + index);
  FreeTree(layer->group);
  if (current_layer_ == layer) current_layer_ = layers_.front();
  layer_table_.Remove(layer->slot);
  return kNoErr;
}

// --- artboards -------------------------------------------------------------------

namespace {
bool RectIsFinite(const RealRect& r) {
  return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) &&
         std::isfinite(r.bottom);
}
}  // namespace

HostErr Document::SetActiveArtboard(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(artboards_.size())) return kErrBadParameter;
  active_artboard_ = index;
  return kNoErr;
}

HostErr Document::AddArtboard(const RealRect& rect, int32_t* index) {
  if (!RectIsFinite(rect)) return kErrBadParameter;
  if (static_cast<int32_t>(artboards_.size()) >= kMaxArtboards) return kErrRefused;
  artboards_.push_back(rect);
  if (index) *index = static_cast<int32_t>(artboards_.size()) - 1;
  return kNoErr;
}

HostErr Document::UpdateArtboard(int32_t index, const RealRect& rect) {
  if (index < 0 || index >= static_cast<int32_t>(artboards_.size())) return kErrBadParameter;
  if (!RectIsFinite(rect)) return kErrBadParameter;
  artboards_[static_cast<size_t>(index)] = rect;
  return kNoErr;
}

HostErr Document::DeleteArtboard(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(artboards_.size())) return kErrBadParameter;
  if (artboards_.size() == 1) return kErrRefused;
  artboards_.erase(artboards_.begin() + index);
  if (active_artboard_ > index || active_artboard_ >= static_cast<int32_t>(artboards_.size())) {
    active_artboard_ = std::max(0, active_artboard_ - 1);
  }
  return kNoErr;
}

ArtboardListRef Document::AcquireArtboardList() {
  uint32_t id = next_list_id_;
  next_list_id_ = (next_list_id_ + 1) & (kMaxSlots - 1);
  if (next_list_id_ == 0) next_list_id_ = 1;
  open_lists_.push_back(id);
  return ToHandle<ArtboardListRef>(HandleFields{serial_, HandleKind::kArtboardList, 1, id});
}

bool Document::IsArtboardList(ArtboardListRef list) const {
  if (!list) return false;
  HandleFields f = FromHandle(list);
  if (f.document != serial_ || f.kind != HandleKind::kArtboardList || f.generation != 1) {
    return false;
  }
  return std::find(open_lists_.begin(), open_lists_.end(), f.slot) != open_lists_.end();
}

HostErr Document::ReleaseArtboardList(ArtboardListRef list) {
  if (!IsArtboardList(list)) return kErrBadHandle;
  HandleFields f = FromHandle(list);
  open_lists_.erase(std::find(open_lists_.begin(), open_lists_.end(), f.slot));
  return kNoErr;
}

// --- view and undo -----------------------------------------------------------------

void Document::SetViewZoom(double zoom) {
  if (!std::isfinite(zoom)) return;
  view_zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
}

RealRect Document::ViewBounds() const {
  double hw = kViewWidth / view_zoom_ / 2;
  double hh = kViewHeight / view_zoom_ / 2;
  return RealRect{view_center_.x - hw, view_center_.y + hh, view_center_.x + hw,
                  view_center_.y - hh};
}

void Document::SetUndoTexts(std::string undo, std::string redo) {
  undo_text_ = std::move(undo);
  redo_text_ = std::move(redo);
}

// --- the document list ---------------------------------------------------------------

Document* DocumentList::New(std::string name) {
  uint32_t serial = next_serial_;
  next_serial_ = (next_serial_ + 1) & 0xFFFFu;
  if (next_serial_ == 0) next_serial_ = 1;
  documents_.insert(documents_.begin(), std::make_unique<Document>(serial, std::move(name)));
  return documents_.front().get();
}

HostErr DocumentList::Close(Document* document) {
  auto it = std::find_if(documents_.begin(), documents_.end(),
                         [&](const auto& d) { return d.get() == document; });
  if (it == documents_.end()) return kErrBadHandle;
  documents_.erase(it);
  return kNoErr;
}

void DocumentList::CloseAll() {
  documents_.clear();
}

HostErr DocumentList::BringToFront(Document* document) {
  auto it = std::find_if(documents_.begin(), documents_.end(),
                         [&](const auto& d) { return d.get() == document; });
  if (it == documents_.end()) return kErrBadHandle;
  std::rotate(documents_.begin(), it, it + 1);
  return kNoErr;
}

Document* DocumentList::Nth(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return documents_[static_cast<size_t>(index)].get();
}

Document* DocumentList::Resolve(DocumentHandle handle) const {
  if (!handle) return nullptr;
  HandleFields f = FromHandle(handle);
  if (f.kind != HandleKind::kDocument) return nullptr;
  for (const auto& d : documents_) {
    if (d->serial() == f.document) return d->handle() == handle ? d.get() : nullptr;
  }
  return nullptr;
}

DocumentList& Documents() {
  static DocumentList list;
  return list;
}

}  // namespace host
