// The host's documents: the current document, the list of open documents,
// views, artboards and the undo texts.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "plugin/host_types.h"

// Calls that work on "the current document" give kErrNoDocument when no
// document is open.

// ---------------------------------------------------------------------------

constexpr char kDocumentSuiteName[] = "AI Document Suite";
constexpr int32_t kDocumentSuiteVersion = 20;

struct DocumentSuite {
  // The document the user works in (the front one). Null and kErrNoDocument
  // when none is open.
  HostErr (*GetCurrentDocument)(DocumentHandle* document);
  // The rectangle of the current document's canvas, the whole area art may
  // occupy, in document points (y up). At least 16000 points square.
  HostErr (*GetCanvasBounds)(RealRect* bounds);
};

// ---------------------------------------------------------------------------

constexpr char kDocumentListSuiteName[] = "AI Document List Suite";
constexpr int32_t kDocumentListSuiteVersion = 11;

struct DocumentListSuite {
  // The number of open documents.
  HostErr (*CountDocuments)(int32_t* count);
  // The open document at index, front to back: index 0 is the front
  // document. kErrBadParameter (and null) outside 0 .. count - 1.
  HostErr (*GetNthDocument)(int32_t index, DocumentHandle* document);
};

// ---------------------------------------------------------------------------

constexpr char kDocumentViewSuiteName[] = "AI Document View Suite";
constexpr int32_t kDocumentViewSuiteVersion = 15;

// A view shows part of the current document at a zoom factor (1.0 shows one
// document point per screen point).
struct DocumentViewSuite {
  // The current document's active view.
  HostErr (*GetCurrentView)(DocumentViewHandle* view);
  // The part of the document the view shows, in document points.
  HostErr (*GetViewBounds)(DocumentViewHandle view, RealRect* bounds);
  // The document point at the view's centre.
  HostErr (*GetViewCenter)(DocumentViewHandle view, RealPoint* center);
  // Scrolls the view so that the point is at its centre; the zoom stays.
  HostErr (*SetViewCenter)(DocumentViewHandle view, const RealPoint* center);
  // The view's zoom factor.
  HostErr (*GetViewZoom)(DocumentViewHandle view, double* zoom);
  // Sets the zoom factor about the view's centre (the host clamps it to
  // the range it supports).
  HostErr (*SetViewZoom)(DocumentViewHandle view, double zoom);
};

// ---------------------------------------------------------------------------

constexpr char kArtboardSuiteName[] = "AI Artboard Suite";
constexpr int32_t kArtboardSuiteVersion = 6;

// The properties of one artboard.
struct ArtboardProperties {
  RealRect position;  // the artboard's rectangle in document points (y up)
};

// Artboards are numbered from 0 in the document's list; a document always
// keeps at least one.
struct ArtboardSuite {
  // The current document's artboard list; release it when done.
  HostErr (*GetArtboardList)(ArtboardListRef* list);
  // Gives back a list that GetArtboardList handed out.
  HostErr (*ReleaseArtboardList)(ArtboardListRef list);
  // The number of artboards.
  HostErr (*CountArtboards)(ArtboardListRef list, int32_t* count);
  // The properties of the artboard at index.
  HostErr (*GetArtboardProperties)(ArtboardListRef list, int32_t index,
                                   ArtboardProperties* properties);
  // Changes the artboard at index to the given properties.
  HostErr (*UpdateArtboard)(ArtboardListRef list, int32_t index,
                            const ArtboardProperties* properties);
  // Adds an artboard at the end of the list; *index is its number.
  // kErrRefused when the document holds no more artboards.
  HostErr (*AddArtboard)(ArtboardListRef list, const ArtboardProperties* properties,
                         int32_t* index);
  // Removes the artboard at index (later ones move down by one).
  // kErrRefused for the only artboard left.
  HostErr (*DeleteArtboard)(ArtboardListRef list, int32_t index);
  // Makes the artboard at index the active one.
  HostErr (*SetActiveArtboard)(ArtboardListRef list, int32_t index);
};

// ---------------------------------------------------------------------------

constexpr char kUndoSuiteName[] = "AI Undo Suite";
constexpr int32_t kUndoSuiteVersion = 10;

struct UndoSuite {
  // The texts the host's Edit menu shows for undoing and redoing the
  // changes of the current command (UTF-8).
  HostErr (*SetUndoText)(const char* undo_text, const char* redo_text);
};
