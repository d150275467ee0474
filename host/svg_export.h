// SVG export: writes a host document as an SVG drawing that the importer
// reads back unchanged: layers, groups, exact cubic paths, compound paths,
// clipping groups, paint, names, tags, other art from its source, and the
// artboards as pages.
#pragma once

#include <string>

#include "host/document.h"

namespace host {

// The document as SVG text: one user unit per point, y down, a viewBox
// covering every artboard.
std::string ExportSvgText(const Document& doc);

// Writes ExportSvgText to path through a temporary file renamed into place,
// so that a failure leaves any old file as it was. False with *error set.
bool ExportSvgFile(const Document& doc, const std::string& path, std::string* error);

}  // namespace host
