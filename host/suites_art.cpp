// The art, layer, group, tag, transform and art-converter suites over the
// document model.
#include <cmath>

#include "host/suite_registry.h"
#include "host/suites_common.h"

namespace host {
namespace {

// --- art -----------------------------------------------------------------

// A prep handle may be null only for the orders that take none.
HostErr ResolvePrep(Document* doc, ArtHandle handle, Art** prep) {
  *prep = nullptr;
  if (!handle) return kNoErr;
  *prep = doc->Resolve(handle);
  return *prep ? kNoErr : kErrBadHandle;
}

HostErr GetArtType(ArtHandle handle, int16_t* type) {
  return Guard([&] {
    if (!type) return kErrBadParameter;
    *type = kArtTypeUnknown;
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    *type = art->type;
    return kNoErr;
  });
}

// Answers one neighbour of the art through pick; null with result 0 when
// there is none.
template <class Pick>
HostErr GetNeighbour(ArtHandle handle, ArtHandle* out, Pick pick) {
  return Guard([&] {
    if (!out) return kErrBadParameter;
    *out = nullptr;
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    *out = doc->HandleOf(pick(art));
    return kNoErr;
  });
}

HostErr GetArtParent(ArtHandle art, ArtHandle* parent) {
  return GetNeighbour(art, parent, [](Art* a) { return a->parent; });
}

HostErr GetArtFirstChild(ArtHandle art, ArtHandle* child) {
  return GetNeighbour(art, child, [](Art* a) { return a->first_child; });
}

HostErr GetArtSibling(ArtHandle art, ArtHandle* sibling) {
  return GetNeighbour(art, sibling, [](Art* a) { return a->next; });
}

HostErr GetLayerGroup(LayerHandle handle, ArtHandle* group) {
  return Guard([&] {
    if (!group) return kErrBadParameter;
    *group = nullptr;
    Document* doc;
    Layer* layer;
    if (HostErr err = ResolveLayer(handle, &doc, &layer)) return err;
    *group = doc->HandleOf(layer->group);
    return kNoErr;
  });
}

HostErr NewArt(int16_t type, int16_t order, ArtHandle prep_handle, ArtHandle* out) {
  return Guard([&] {
    if (!out) return kErrBadParameter;
    *out = nullptr;
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    Art* prep;
    if (HostErr err = ResolvePrep(doc, prep_handle, &prep)) return err;
    Art* art = nullptr;
    if (HostErr err = doc->NewArt(type, order, prep, &art)) return err;
    *out = doc->HandleOf(art);
    return kNoErr;
  });
}

HostErr DuplicateArt(ArtHandle handle, int16_t order, ArtHandle prep_handle, ArtHandle* out) {
  return Guard([&] {
    if (!out) return kErrBadParameter;
    *out = nullptr;
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    Art* prep;
    if (HostErr err = ResolvePrep(doc, prep_handle, &prep)) return err;
    Art* copy = nullptr;
    if (HostErr err = doc->Duplicate(art, order, prep, &copy)) return err;
    *out = doc->HandleOf(copy);
    return kNoErr;
  });
}

HostErr ReorderArt(ArtHandle handle, int16_t order, ArtHandle prep_handle) {
  return Guard([&] {
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    Art* prep;
    if (HostErr err = ResolvePrep(doc, prep_handle, &prep)) return err;
    return doc->Reorder(art, order, prep);
  });
}

HostErr DisposeArt(ArtHandle handle) {
  return Guard([&] {
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    return doc->Dispose(art);
  });
}

bool HoldsClipMark(const Art& art) {
  return art.type == kArtTypePath || art.type == kArtTypeCompoundPath;
}

HostErr GetArtAttributes(ArtHandle handle, int32_t mask, int32_t* values) {
  return Guard([&] {
    if (!values) return kErrBadParameter;
    *values = 0;
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    int32_t bits = 0;
    if (art->selected) bits |= kArtAttrSelected;
    if (art->locked) bits |= kArtAttrLocked;
    if (art->hidden) bits |= kArtAttrHidden;
    if (HoldsClipMark(*art) && art->style.clip) bits |= kArtAttrClipMask;
    *values = bits & mask;
    return kNoErr;
  });
}

HostErr SetArtAttributes(ArtHandle handle, int32_t mask, int32_t values) {
  return Guard([&] {
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    constexpr int32_t kKnown =
        kArtAttrSelected | kArtAttrLocked | kArtAttrHidden | kArtAttrClipMask;
    if (mask & ~kKnown) return kErrBadParameter;
    if ((mask & kArtAttrClipMask) && !HoldsClipMark(*art)) return kErrBadParameter;
    if (mask & kArtAttrSelected) doc->SetSelected(art, (values & kArtAttrSelected) != 0);
    if (mask & kArtAttrLocked) art->locked = (values & kArtAttrLocked) != 0;
    if (mask & kArtAttrHidden) art->hidden = (values & kArtAttrHidden) != 0;
    if ((mask & kArtAttrClipMask) && art->style.clip != ((values & kArtAttrClipMask) != 0)) {
      art->style.clip = (values & kArtAttrClipMask) != 0;
      art->origin.changed = true;
    }
    return kNoErr;
  });
}

HostErr Measure(ArtHandle handle, const RealMatrix* matrix, int32_t options, RealRect* bounds) {
  if (!bounds) return kErrBadParameter;
  *bounds = RealRect{0, 0, 0, 0};
  if (matrix && !MatrixIsFinite(*matrix)) return kErrBadParameter;
  Document* doc;
  Art* art;
  if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
  RealRect r;
  if (ArtExtent(*art, matrix, options, &r)) *bounds = r;
  return kNoErr;
}

HostErr GetArtBounds(ArtHandle art, RealRect* bounds) {
  return Guard([&] { return Measure(art, nullptr, kBoundsOptionsOutline, bounds); });
}

HostErr GetArtTransformBounds(ArtHandle art, const RealMatrix* matrix, int32_t options,
                              RealRect* bounds) {
  return Guard([&] { return Measure(art, matrix, options, bounds); });
}

HostErr GetArtName(ArtHandle handle, char* name, int32_t capacity, bool* is_default) {
  return Guard([&] {
    if (!name || capacity <= 0) return kErrBadParameter;
    name[0] = '\0';
    if (is_default) *is_default = false;
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    bool unnamed = art->name.empty();
    CopyText(unnamed ? std::string(DefaultArtName(art->type)) : art->name, name, capacity);
    if (is_default) *is_default = unnamed;
    return kNoErr;
  });
}

HostErr SetArtName(ArtHandle handle, const char* name) {
  return Guard([&] {
    if (!name) return kErrBadParameter;
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    art->name = name;
    return kNoErr;
  });
}

// --- layers ----------------------------------------------------------------

HostErr CountLayers(int32_t* count) {
  return Guard([&] {
    if (!count) return kErrBadParameter;
    *count = 0;
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    *count = doc->LayerCount();
    return kNoErr;
  });
}

HostErr GetNthLayer(int32_t index, LayerHandle* layer) {
  return Guard([&] {
    if (!layer) return kErrBadParameter;
    *layer = nullptr;
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    Layer* found = doc->NthLayer(index);
    if (!found) return kErrBadParameter;
    *layer = doc->HandleOf(found);
    return kNoErr;
  });
}

HostErr GetCurrentLayer(LayerHandle* layer) {
  return Guard([&] {
    if (!layer) return kErrBadParameter;
    *layer = nullptr;
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    *layer = doc->HandleOf(doc->current_layer());
    return kNoErr;
  });
}

HostErr GetLayerByTitle(const char* title, LayerHandle* layer) {
  return Guard([&] {
    if (!title || !layer) return kErrBadParameter;
    *layer = nullptr;
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    *layer = doc->HandleOf(doc->LayerByTitle(title));
    return kNoErr;
  });
}

template <class Read>
HostErr ReadLayerFlag(LayerHandle handle, bool* out, Read read) {
  return Guard([&] {
    if (!out) return kErrBadParameter;
    *out = false;
    Document* doc;
    Layer* layer;
    if (HostErr err = ResolveLayer(handle, &doc, &layer)) return err;
    *out = read(*layer);
    return kNoErr;
  });
}

HostErr GetLayerVisible(LayerHandle layer, bool* visible) {
  return ReadLayerFlag(layer, visible, [](const Layer& l) { return l.visible; });
}

HostErr GetLayerEditable(LayerHandle layer, bool* editable) {
  return ReadLayerFlag(layer, editable, [](const Layer& l) { return l.editable; });
}

HostErr InsertLayer(LayerHandle prep_handle, int16_t order, LayerHandle* layer) {
  return Guard([&] {
    if (!layer) return kErrBadParameter;
    *layer = nullptr;
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    Layer* prep = nullptr;
    if (prep_handle) {
      prep = doc->Resolve(prep_handle);
      if (!prep) return kErrBadHandle;
    }
    Layer* made = nullptr;
    if (HostErr err = doc->InsertLayer(prep, order, &made)) return err;
    *layer = doc->HandleOf(made);
    return kNoErr;
  });
}

HostErr SetLayerTitle(LayerHandle handle, const char* title) {
  return Guard([&] {
    if (!title) return kErrBadParameter;
    Document* doc;
    Layer* layer;
    if (HostErr err = ResolveLayer(handle, &doc, &layer)) return err;
    layer->title = title;
    return kNoErr;
  });
}

HostErr DeleteLayer(LayerHandle handle) {
  return Guard([&] {
    Document* doc;
    Layer* layer;
    if (HostErr err = ResolveLayer(handle, &doc, &layer)) return err;
    return doc->DeleteLayer(layer);
  });
}

// --- groups ------------------------------------------------------------------

HostErr GetGroupClipped(ArtHandle handle, bool* clipped) {
  return Guard([&] {
    if (!clipped) return kErrBadParameter;
    *clipped = false;
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    if (art->type != kArtTypeGroup) return kErrBadParameter;
    *clipped = art->clipped;
    return kNoErr;
  });
}

// --- tags --------------------------------------------------------------------

HostErr GetTag(ArtHandle handle, const char* name, const char* type, char* value,
               int32_t capacity) {
  return Guard([&] {
    if (!name || !type || !value || capacity <= 0) return kErrBadParameter;
    value[0] = '\0';
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    const Tag* tag = FindTag(*art, name);
    if (!tag || tag->type != type) return kErrNotFound;
    CopyText(tag->value, value, capacity);
    return kNoErr;
  });
}

HostErr SetTagValue(ArtHandle handle, const char* name, const char* type, const char* value) {
  return Guard([&] {
    if (!name || !*name || !type || !value) return kErrBadParameter;
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    SetTag(*art, name, type, value);
    return kNoErr;
  });
}

HostErr RemoveTagValue(ArtHandle handle, const char* name) {
  return Guard([&] {
    if (!name) return kErrBadParameter;
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    RemoveTag(*art, name);
    return kNoErr;
  });
}

// --- transforms --------------------------------------------------------------

HostErr TransformArt(ArtHandle handle, const RealMatrix* matrix, double line_scale,
                     int32_t options) {
  return Guard([&] {
    if (!matrix || !MatrixIsFinite(*matrix)) return kErrBadParameter;
    if (!std::isfinite(line_scale) || line_scale < 0) return kErrBadParameter;
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    TransformArtTree(*art, *matrix, line_scale, options);
    return kNoErr;
  });
}

// --- outline conversion --------------------------------------------------------

// The effects module installs the real converter.
OutlineConverter g_outline_converter = nullptr;

HostErr ConvertToOutline(ArtHandle handle, int32_t options) {
  return Guard([&] {
    Document* doc;
    Art* art;
    if (HostErr err = ResolveArt(handle, &doc, &art)) return err;
    if (!g_outline_converter) return kErrRefused;
    return g_outline_converter(*doc, art, options);
  });
}

}  // namespace

void SetOutlineConverter(OutlineConverter converter) {
  g_outline_converter = converter;
}

const ArtSuite kArtSuiteTable = {
    .GetArtType = GetArtType,
    .GetArtParent = GetArtParent,
    .GetArtFirstChild = GetArtFirstChild,
    .GetArtSibling = GetArtSibling,
    .GetLayerGroup = GetLayerGroup,
    .NewArt = NewArt,
    .DuplicateArt = DuplicateArt,
    .ReorderArt = ReorderArt,
    .DisposeArt = DisposeArt,
    .GetArtAttributes = GetArtAttributes,
    .SetArtAttributes = SetArtAttributes,
    .GetArtBounds = GetArtBounds,
    .GetArtTransformBounds = GetArtTransformBounds,
    .GetArtName = GetArtName,
    .SetArtName = SetArtName,
};

const LayerSuite kLayerSuiteTable = {
    .CountLayers = CountLayers,
    .GetNthLayer = GetNthLayer,
    .GetCurrentLayer = GetCurrentLayer,
    .GetLayerByTitle = GetLayerByTitle,
    .GetLayerVisible = GetLayerVisible,
    .GetLayerEditable = GetLayerEditable,
    .InsertLayer = InsertLayer,
    .SetLayerTitle = SetLayerTitle,
    .DeleteLayer = DeleteLayer,
};

const GroupSuite kGroupSuiteTable = {.GetGroupClipped = GetGroupClipped};

const TagSuite kTagSuiteTable = {
    .GetTag = GetTag,
    .SetTag = SetTagValue,
    .RemoveTag = RemoveTagValue,
};

const TransformArtSuite kTransformArtSuiteTable = {.TransformArt = TransformArt};

const ArtConverterSuite kArtConverterSuiteTable = {.ConvertToOutline = ConvertToOutline};

}  // namespace host
