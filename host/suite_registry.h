// The host's document-side suites and the one table that maps a suite's
// name and version to the function table the host hands out for it.
#pragma once

#include <cstdint>

#include "plugin/suite_art.h"
#include "plugin/suite_document.h"
#include "plugin/suite_math.h"
#include "plugin/suite_path.h"

namespace host {

class Document;
struct Art;

extern const ArtSuite kArtSuiteTable;
extern const LayerSuite kLayerSuiteTable;
extern const GroupSuite kGroupSuiteTable;
extern const PathSuite kPathSuiteTable;
extern const PathStyleSuite kPathStyleSuiteTable;
extern const RealMathSuite kRealMathSuiteTable;
extern const TransformArtSuite kTransformArtSuiteTable;
extern const TagSuite kTagSuiteTable;
extern const ArtConverterSuite kArtConverterSuiteTable;
extern const DocumentSuite kDocumentSuiteTable;
extern const DocumentViewSuite kDocumentViewSuiteTable;
extern const DocumentListSuite kDocumentListSuiteTable;
extern const ArtboardSuite kArtboardSuiteTable;
extern const UndoSuite kUndoSuiteTable;

struct SuiteOffer {
  const char* name;
  int32_t version;
  const void* table;
};

// Every document-side suite the host implements, one entry per (name,
// version). The basic suite hands these out and adds its own.
extern const SuiteOffer kDocumentSuiteOffers[];
extern const int kDocumentSuiteOfferCount;

// The table for that name and version, or null when this registry has none
// (a name it does not know, or a version it lacks).
const void* FindDocumentSuite(const char* name, int32_t version);

// Outline conversion is the host's effect, computed by the effects module.
// Until one is installed, ConvertToOutline answers kErrRefused and leaves the
// art as it is. The converter receives resolved art of the current document
// and the caller's option bits; it replaces the art in place and returns an
// error code.
using OutlineConverter = HostErr (*)(Document& doc, Art* art, int32_t options);
void SetOutlineConverter(OutlineConverter converter);

}  // namespace host
