// A C++ API beside the suites for tests, importers and the command line:
// build documents, make paths from points and handles, select art and read
// geometry back. The plug-in never includes it; it reaches documents only
// through the suites.
#pragma once

#include <string>
#include <vector>

#include "host/document.h"

namespace host {

// A paint style with a painted fill of the colour and no stroke.
PathStyle FillStyleOf(HostColor color);
// A paint style with a painted stroke of the colour and width, no fill;
// butt cap, miter join, miter limit 4.
PathStyle StrokeStyleOf(HostColor color, double width);
HostColor Gray(double level);
HostColor Rgb(double red, double green, double blue);
HostColor Cmyk(double cyan, double magenta, double yellow, double black);

// A corner segment: both handles on the anchor.
PathSegment Corner(RealPoint p);
// A smooth segment with the given handles.
PathSegment Smooth(RealPoint p, RealPoint in, RealPoint out);

// Makes a path at the place (PaintOrder relative to prep) with the segments,
// closed flag and style. Null when the place refuses it.
Art* AddPath(Document& doc, int16_t order, Art* prep, const std::vector<PathSegment>& segments,
             bool closed, const PathStyle& style);
// A closed straight-edged path through the points.
Art* AddPolygon(Document& doc, int16_t order, Art* prep, const std::vector<RealPoint>& points,
                const PathStyle& style);
// An axis-aligned rectangle path (four corners from top-left, clockwise).
Art* AddRectangle(Document& doc, int16_t order, Art* prep, const RealRect& rect,
                  const PathStyle& style);
// An ellipse of four cubic curves, anchors at the rightmost, top, leftmost
// and bottom points, handles at the usual 0.5523 of the radii.
Art* AddEllipse(Document& doc, int16_t order, Art* prep, RealPoint center, double rx, double ry,
                const PathStyle& style);
// An empty group or compound path at the place.
Art* AddGroup(Document& doc, int16_t order, Art* prep);
Art* AddCompoundPath(Document& doc, int16_t order, Art* prep, const PathStyle& style);
// Art of one of the box kinds (raster, text, placed, symbol, mesh, plug-in
// art) with its box in its own space, its transform and the source text an
// exporter writes back.
Art* AddBoxArt(Document& doc, int16_t type, int16_t order, Art* prep, const RealRect& box,
               const RealMatrix& matrix, std::string source);

// The top-level art of a layer (its root group's children), topmost first.
std::vector<Art*> TopLevelArt(const Layer& layer);
// The children of a group or compound path, topmost first.
std::vector<Art*> Children(const Art& art);

// Selects or deselects the art and everything inside it.
void SelectDeep(Document& doc, Art* art, bool selected);

// The bounds as GetArtBounds gives them: geometry only, hidden art left out.
// An empty rectangle (all zero) when there is nothing to measure.
RealRect Bounds(const Art& art);

// Transforms the art the way the plug-in places copies: objects, children,
// patterns, gradients and masks, line widths unscaled.
void Transform(Art& art, const RealMatrix& matrix);

}  // namespace host
