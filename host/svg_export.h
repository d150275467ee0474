// SVG export: writes a host document as an SVG drawing. Imported art that
// is untouched comes back as it was read, with one added transform for where
// the host moved it; the rest (layers, groups, exact cubic paths, compound
// paths, clipping groups, paint, names, tags) is written so that the
// importer reads it back unchanged. The first artboard is the root's page,
// every artboard an Inkscape page.
#pragma once

#include <string>

#include "host/document.h"

namespace host {

// The artboard the written root shows: its viewBox is this rectangle with
// its top-left corner at (0, 0), one user unit per point, y down.
RealRect SvgRootArtboard(const Document& doc);

// The document as SVG text.
std::string ExportSvgText(const Document& doc);

// Writes ExportSvgText to path through platform::ReplaceFile, so that a
// failure leaves any old file as it was. False with *error set.
bool ExportSvgFile(const Document& doc, const std::string& path, std::string* error);

}  // namespace host
