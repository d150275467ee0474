// SVG import: reads a drawing from another program into a host document,
// in points with the y axis up, keeping layers, groups, clipping, paint,
// names and tags; art the document cannot take apart is kept as source.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/document.h"

namespace host {

enum class SvgStatus {
  kOk = 0,
  kCannotRead = 1,  // the file could not be opened or read
  kBadSvg = 2,      // the text is not a drawing we accept; the error says where
};

// Bounds that keep hostile or broken files from exhausting the machine.
struct SvgLimits {
  size_t max_file_bytes = size_t{64} << 20;
  int max_depth = 100;             // element nesting, <use> expansion included
  size_t max_objects = 1000000;    // art objects made
  size_t max_segments = 20000000;  // path segments made
  double max_coordinate = 1e7;     // points, after every transform
};

// Imports the SVG text into doc, which must be fresh (as a new Document is:
// one empty layer, one artboard). The drawing's layers replace that layer
// and its pages replace the artboard. On failure *error says what and where
// ("line 12: <path id="p3">: bad path data at column 40") and doc is left
// as it was given.
SvgStatus ImportSvg(std::string_view text, Document& doc, std::string* error,
                    const SvgLimits& limits = SvgLimits{});

// Reads the file and imports it; the error then starts with the file name.
SvgStatus ImportSvgFile(const std::string& path, Document& doc, std::string* error,
                        const SvgLimits& limits = SvgLimits{});

}  // namespace host
