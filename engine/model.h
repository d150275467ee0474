// Records of a nesting run: the copies to place, their polygons, their places.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "plugin/host_types.h"

// Polygon tolerances of a part's outline (points).
constexpr double kFineTolerance = 1.0;
constexpr double kCoarseTolerance = 10.0;
// A fine outline with more points than this also gets a coarse polygon.
constexpr int32_t kCoarseThreshold = 10;

// One copy to be placed, built by the nesting run.
struct NestItem {
  ArtHandle art;         // the object that will be moved
  ArtHandle shape;       // the closed path whose outline stands for it, or null
  int32_t source_index;  // index in the member list (0 in 1-page reproduction)
  RealMatrix matrix;     // transform already applied while preparing
};

// One part handed to the search and the result step. It owns its two point
// arrays (freed with FreeNestPart when the run ends).
struct NestPart {
  int32_t id;  // 1-based position in the sorted item list
  ArtHandle art;
  ArtHandle shape;    // set only when the outline polygon came from it
  RealRect bounds;    // the part's own frame at preparation time
  RealPoint* points;  // fine polygon or the rectangle polygon
  int32_t point_count;
  RealPoint* coarse_points;  // null unless the fine outline has > 10 points
  int32_t coarse_count;
  double center_x;  // where the centre of bounds goes when placed
  double center_y;
  int16_t rotation;      // degrees about the centre of bounds, before the move
  double area_center_x;  // centre of the nesting area of its sheet
  double area_center_y;
  int16_t placed;  // 0 until placed, then 1
};

// A part being placed, and the entry kept for every part already placed on
// the current sheet.
struct PlacedBox {
  RealRect box;      // where the part's rotated bounding box lies
  int16_t rotation;  // degrees
  NestPart* part;    // may be null
};

// The five-point rectangle polygon of r: (left, top), (right, top),
// (right, bottom), (left, bottom), (left, top). The caller frees it with
// FreePolygon.
Polygon RectanglePolygon(const RealRect& r);

// Releases the point arrays that a part owns and clears them.
void FreeNestPart(NestPart* part);

// The matrix that maps a part from its own frame to a placement: the centre
// of part.bounds to (cx, cy), turned by rotation degrees about it.
RealMatrix PartMatrix(const NestPart& part, int rotation, double cx, double cy);
