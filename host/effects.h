// The host's own effects on art: offset, pathfinder add and the outline of
// strokes, computed on finely flattened outlines with a polygon clipper.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/geometry.h"
#include "host/document.h"
#include "plugin/host_types.h"

namespace host {

// Curves are flattened until every chord lies within this distance of its
// curve, in points.
constexpr double kFlattenTolerance = 0.01;
// Round joins and caps are drawn as polygons within this distance of the arc
// (and within 0.0001 of the radius for small ones).
constexpr double kArcTolerance = 0.01;
// Integer units per point handed to the clipper: 0.0001 point resolution, and
// a 16383-point canvas stays within the clipper's fast 32-bit range.
constexpr double kClipperScale = 10000;
// Coordinates beyond this (in points) are refused rather than overflowing the
// clipper's integers.
constexpr double kMaxCoordinate = 1e9;

// A closed ring of straight edges (the last point joins the first).
using Ring = std::vector<RealPoint>;

// A filled area as rings: outer rings counter-clockwise (y up), holes
// clockwise, so that the non-zero rule and the even-odd rule fill it alike.
struct Region {
  std::vector<Ring> rings;
};

// The selected art that no selected art contains, topmost first (layers in
// index order, children in stacking order). A selected layer group stands
// for its children.
std::vector<Art*> SelectionRoots(const Document& doc);

// The filled area of the art: a path by its own fill rule whatever the
// direction it runs (an open path as if closed), a compound path by its fill
// rule over all its paths, a group as the union of its contents (a clipping
// group cut to its clipping path), other kinds as their transformed box.
// Strokes are not included. kErrBadParameter for coordinates that are not
// finite or beyond kMaxCoordinate.
HostErr FilledRegion(const Art& art, Region* region);

// The area enclosed by the region, in square points.
double RegionArea(const Region& region);

// The region grown by offset points (shrunk when negative), corners joined
// by join (LineJoin: miter up to miter_limit times the offset, then bevel;
// round; bevel).
HostErr OffsetRegion(const Region& region, double offset, int16_t join, double miter_limit,
                     Region* grown);

// The filled outline of a path's stroke of the given width, with the stroke's
// cap, join and miter limit: a closed path gives a band, outer ring first; an
// open path one ring with its caps. With a dash pattern (dash not null and
// its length above 0) each dash is outlined as an open piece with its caps;
// the pattern starts dash->offset into the path.
HostErr StrokeRegion(const std::vector<PathSegment>& segments, bool closed, double width,
                     int16_t cap, int16_t join, double miter_limit, Region* outline,
                     const DashStyle* dash = nullptr);

// --- the effects on a document ----------------------------------------------

// Each selection root's filled area grown by offset replaces it, in its place
// (same parent, same stacking position, tags kept), as one path or a compound
// path with holes; the results are left selected. An area that a negative
// offset consumes leaves nothing. kErrRefused when nothing is selected,
// kErrBadParameter for an offset, join or miter limit it cannot take; on an
// error nothing is changed.
HostErr OffsetSelection(Document& doc, double offset, int16_t join, double miter_limit);

// Pathfinder add: the union of the filled areas of the selection roots. A
// group selected alone stays and receives the result as its only content;
// otherwise the result takes the place of the topmost root and every root is
// removed. The result paints with the style of the first path found in the
// topmost root and is left selected. kErrRefused (nothing changed) when
// nothing is selected or the union has no area.
HostErr UniteSelection(Document& doc);

// Outline conversion with options kConvertOptionsOutline: a path with a
// painted stroke is replaced in place by the filled outline of its stroke
// (the stroke colour becomes the fill; a path that also had a painted fill
// becomes a group of the outline above the filled path); compound paths
// likewise, groups convert their contents, other art and unstroked paths stay
// as they are. Results are left selected. kErrBadParameter for other options,
// kErrRefused for a path inside a compound path (convert the compound path).
HostErr ConvertArtToOutline(Document& doc, Art* art, int32_t options);

}  // namespace host
