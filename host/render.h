// Drawing documents: PDF with one page per artboard and PNG previews of the
// whole document or one artboard, drawn by librsvg from the document written
// as SVG; and the replacing write that every exporter writes through.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/document.h"

namespace host {

struct PngOptions {
  double dpi = 96;                // pixels per inch; 72 gives one pixel per point
  int32_t artboard = -1;          // -1: the whole document; otherwise that artboard alone
  bool outline_artboards = true;  // thin outlines around the artboards
};

// The most pixels a preview may have on a side.
constexpr int32_t kMaxPngSide = 20000;

// One page per artboard, in artboard order, each the artboard's size and
// showing the art that lies on it. False with *error set; no file is left.
bool WritePdf(const Document& doc, const std::string& path, std::string* error);

// A PNG preview on white. False with *error set; no file is left.
bool WritePng(const Document& doc, const std::string& path, const PngOptions& options,
              std::string* error);

// Frees the font map that librsvg's text drawing keeps for the life of the
// process. Only at the end of a program, when no drawing follows.
void ReleaseRenderCaches();

// Writes the bytes over path through platform::ReplaceFile (permissions
// kept, links followed, the old file intact on failure). False with *error
// naming the file and the fault.
bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string* error);

}  // namespace host
