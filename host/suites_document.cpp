// The document, document list, document view, artboard and undo suites over
// the document model.
#include <cmath>

#include "host/suite_registry.h"
#include "host/suites_common.h"

namespace host {
namespace {

// --- documents -----------------------------------------------------------------

HostErr GetCurrentDocument(DocumentHandle* document) {
  return Guard([&] {
    if (!document) return kErrBadParameter;
    *document = nullptr;
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    *document = doc->handle();
    return kNoErr;
  });
}

HostErr GetCanvasBounds(RealRect* bounds) {
  return Guard([&] {
    if (!bounds) return kErrBadParameter;
    *bounds = RealRect{0, 0, 0, 0};
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    *bounds = doc->canvas();
    return kNoErr;
  });
}

HostErr CountDocuments(int32_t* count) {
  if (!count) return kErrBadParameter;
  *count = Documents().Count();
  return kNoErr;
}

HostErr GetNthDocument(int32_t index, DocumentHandle* document) {
  return Guard([&] {
    if (!document) return kErrBadParameter;
    *document = nullptr;
    Document* doc = Documents().Nth(index);
    if (!doc) return kErrBadParameter;
    *document = doc->handle();
    return kNoErr;
  });
}

// --- views -------------------------------------------------------------------------

// A view handle names the view of one open document, front or not.
HostErr ResolveView(DocumentViewHandle view, Document** doc) {
  if (!view) return kErrBadParameter;
  HandleFields f = FromHandle(view);
  for (int32_t i = 0; i < Documents().Count(); ++i) {
    Document* d = Documents().Nth(i);
    if (d->serial() == f.document && d->IsView(view)) {
      *doc = d;
      return kNoErr;
    }
  }
  return kErrBadHandle;
}

HostErr GetCurrentView(DocumentViewHandle* view) {
  return Guard([&] {
    if (!view) return kErrBadParameter;
    *view = nullptr;
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    *view = doc->view_handle();
    return kNoErr;
  });
}

HostErr GetViewBounds(DocumentViewHandle view, RealRect* bounds) {
  if (!bounds) return kErrBadParameter;
  *bounds = RealRect{0, 0, 0, 0};
  Document* doc;
  if (HostErr err = ResolveView(view, &doc)) return err;
  *bounds = doc->ViewBounds();
  return kNoErr;
}

HostErr GetViewCenter(DocumentViewHandle view, RealPoint* center) {
  if (!center) return kErrBadParameter;
  *center = RealPoint{0, 0};
  Document* doc;
  if (HostErr err = ResolveView(view, &doc)) return err;
  *center = doc->view_center();
  return kNoErr;
}

HostErr SetViewCenter(DocumentViewHandle view, const RealPoint* center) {
  if (!center || !std::isfinite(center->x) || !std::isfinite(center->y)) return kErrBadParameter;
  Document* doc;
  if (HostErr err = ResolveView(view, &doc)) return err;
  doc->set_view_center(*center);
  return kNoErr;
}

HostErr GetViewZoom(DocumentViewHandle view, double* zoom) {
  if (!zoom) return kErrBadParameter;
  *zoom = 0;
  Document* doc;
  if (HostErr err = ResolveView(view, &doc)) return err;
  *zoom = doc->view_zoom();
  return kNoErr;
}

HostErr SetViewZoom(DocumentViewHandle view, double zoom) {
  if (!std::isfinite(zoom) || zoom <= 0) return kErrBadParameter;
  Document* doc;
  if (HostErr err = ResolveView(view, &doc)) return err;
  doc->SetViewZoom(zoom);
  return kNoErr;
}

// --- artboards -------------------------------------------------------------------------

// An artboard list names the artboards of the open document it was taken
// from, until it is released.
HostErr ResolveList(ArtboardListRef list, Document** doc) {
  if (!list) return kErrBadParameter;
  for (int32_t i = 0; i < Documents().Count(); ++i) {
    Document* d = Documents().Nth(i);
    if (d->IsArtboardList(list)) {
      *doc = d;
      return kNoErr;
    }
  }
  return kErrBadHandle;
}

HostErr GetArtboardList(ArtboardListRef* list) {
  return Guard([&] {
    if (!list) return kErrBadParameter;
    *list = nullptr;
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    *list = doc->AcquireArtboardList();
    return kNoErr;
  });
}

HostErr ReleaseArtboardList(ArtboardListRef list) {
  Document* doc;
  if (HostErr err = ResolveList(list, &doc)) return err;
  return doc->ReleaseArtboardList(list);
}

HostErr CountArtboards(ArtboardListRef list, int32_t* count) {
  if (!count) return kErrBadParameter;
  *count = 0;
  Document* doc;
  if (HostErr err = ResolveList(list, &doc)) return err;
  *count = static_cast<int32_t>(doc->artboards().size());
  return kNoErr;
}

HostErr GetArtboardProperties(ArtboardListRef list, int32_t index, ArtboardProperties* properties) {
  if (!properties) return kErrBadParameter;
  properties->position = RealRect{0, 0, 0, 0};
  Document* doc;
  if (HostErr err = ResolveList(list, &doc)) return err;
  if (index < 0 || index >= static_cast<int32_t>(doc->artboards().size())) {
    return kErrBadParameter;
  }
  properties->position = doc->artboards()[static_cast<size_t>(index)];
  return kNoErr;
}

HostErr UpdateArtboard(ArtboardListRef list, int32_t index, const ArtboardProperties* properties) {
  if (!properties) return kErrBadParameter;
  Document* doc;
  if (HostErr err = ResolveList(list, &doc)) return err;
  return doc->UpdateArtboard(index, properties->position);
}

HostErr AddArtboard(ArtboardListRef list, const ArtboardProperties* properties, int32_t* index) {
  return Guard([&] {
    if (!properties) return kErrBadParameter;
    Document* doc;
    if (HostErr err = ResolveList(list, &doc)) return err;
    return doc->AddArtboard(properties->position, index);
  });
}

HostErr DeleteArtboard(ArtboardListRef list, int32_t index) {
  Document* doc;
  if (HostErr err = ResolveList(list, &doc)) return err;
  return doc->DeleteArtboard(index);
}

HostErr SetActiveArtboard(ArtboardListRef list, int32_t index) {
  Document* doc;
  if (HostErr err = ResolveList(list, &doc)) return err;
  return doc->SetActiveArtboard(index);
}

// --- undo --------------------------------------------------------------------------------

HostErr SetUndoText(const char* undo_text, const char* redo_text) {
  return Guard([&] {
    if (!undo_text || !redo_text) return kErrBadParameter;
    Document* doc;
    if (HostErr err = CurrentDocument(&doc)) return err;
    doc->SetUndoTexts(undo_text, redo_text);
    return kNoErr;
  });
}

}  // namespace

const DocumentSuite kDocumentSuiteTable = {
    .GetCurrentDocument = GetCurrentDocument,
    .GetCanvasBounds = GetCanvasBounds,
};

const DocumentListSuite kDocumentListSuiteTable = {
    .CountDocuments = CountDocuments,
    .GetNthDocument = GetNthDocument,
};

const DocumentViewSuite kDocumentViewSuiteTable = {
    .GetCurrentView = GetCurrentView,
    .GetViewBounds = GetViewBounds,
    .GetViewCenter = GetViewCenter,
    .SetViewCenter = SetViewCenter,
    .GetViewZoom = GetViewZoom,
    .SetViewZoom = SetViewZoom,
};

const ArtboardSuite kArtboardSuiteTable = {
    .GetArtboardList = GetArtboardList,
    .ReleaseArtboardList = ReleaseArtboardList,
    .CountArtboards = CountArtboards,
    .GetArtboardProperties = GetArtboardProperties,
    .UpdateArtboard = UpdateArtboard,
    .AddArtboard = AddArtboard,
    .DeleteArtboard = DeleteArtboard,
    .SetActiveArtboard = SetActiveArtboard,
};

const UndoSuite kUndoSuiteTable = {.SetUndoText = SetUndoText};

}  // namespace host
