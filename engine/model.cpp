// Records of a nesting run: the rectangle polygon, ownership, the placement matrix.
#include "engine/model.h"

Polygon RectanglePolygon(const RealRect& r) {
  Polygon polygon;
  polygon.points = new RealPoint[5]{
      {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}};
  polygon.count = 5;
  return polygon;
}

void FreeNestPart(NestPart* part) {
  delete[] part->points;
  delete[] part->coarse_points;
  part->points = nullptr;
  part->coarse_points = nullptr;
  part->point_count = 0;
  part->coarse_count = 0;
}

RealMatrix PartMatrix(const NestPart& part, int rotation, double cx, double cy) {
  const RealPoint centre = RectCenter(part.bounds);
  RealMatrix m;
  MatrixSetTranslate(&m, -centre.x, -centre.y);
  if (rotation != 0) MatrixConcatRotate(&m, DegreesToRadians(rotation));
  MatrixConcatTranslate(&m, cx, cy);
  return m;
}
