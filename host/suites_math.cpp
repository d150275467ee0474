// The real math suite: the engine's plane geometry behind the host's table.
#include <algorithm>
#include <cmath>

#include "engine/geometry.h"
#include "host/suite_registry.h"
#include "host/suites_common.h"

namespace host {
namespace {

HostErr PointEqualS(const RealPoint* p, const RealPoint* q, bool* equal) {
  if (!p || !q || !equal) return kErrBadParameter;
  *equal = p->x == q->x && p->y == q->y;
  return kNoErr;
}

HostErr PointLengthS(const RealPoint* p, const RealPoint* q, double* length) {
  if (!p || !q || !length) return kErrBadParameter;
  *length = ::PointLength(*p, *q);
  return kNoErr;
}

HostErr PointAngleS(const RealPoint* p, const RealPoint* q, double* angle) {
  if (!p || !q || !angle) return kErrBadParameter;
  *angle = ::PointAngle(*p, *q);
  return kNoErr;
}

HostErr RectInsetS(RealRect* rect, double h, double v) {
  if (!rect) return kErrBadParameter;
  ::RectInset(rect, h, v);
  return kNoErr;
}

HostErr RectOverlapS(const RealRect* r1, const RealRect* r2, bool* overlap) {
  if (!r1 || !r2 || !overlap) return kErrBadParameter;
  *overlap = ::RectOverlap(r1, r2);
  return kNoErr;
}

bool IsEmpty(const RealRect& r) {
  return !(r.right > r.left) || !(r.top > r.bottom);
}

HostErr RectEmptyS(const RealRect* rect, bool* empty) {
  if (!rect || !empty) return kErrBadParameter;
  *empty = IsEmpty(*rect);
  return kNoErr;
}

HostErr RectUnionS(const RealRect* r1, const RealRect* r2, RealRect* out) {
  if (!r1 || !r2 || !out) return kErrBadParameter;
  RealRect a = *r1;
  RealRect b = *r2;
  if (IsEmpty(a)) {
    *out = b;
  } else if (IsEmpty(b)) {
    *out = a;
  } else {
    *out = RealRect{std::min(a.left, b.left), std::max(a.top, b.top), std::max(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
  }
  return kNoErr;
}

HostErr PointInRectS(const RealPoint* p, const RealRect* r, bool* inside) {
  if (!p || !r || !inside) return kErrBadParameter;
  *inside = p->x >= r->left && p->x <= r->right && p->y >= r->bottom && p->y <= r->top;
  return kNoErr;
}

HostErr MatrixSetIdentityS(RealMatrix* m) {
  if (!m) return kErrBadParameter;
  ::MatrixSetIdentity(m);
  return kNoErr;
}

HostErr MatrixSetTranslateS(RealMatrix* m, double dx, double dy) {
  if (!m) return kErrBadParameter;
  ::MatrixSetTranslate(m, dx, dy);
  return kNoErr;
}

HostErr MatrixConcatS(const RealMatrix* m1, const RealMatrix* m2, RealMatrix* out) {
  if (!m1 || !m2 || !out) return kErrBadParameter;
  ::MatrixConcat(m1, m2, out);
  return kNoErr;
}

HostErr MatrixConcatTranslateS(RealMatrix* m, double dx, double dy) {
  if (!m) return kErrBadParameter;
  ::MatrixConcatTranslate(m, dx, dy);
  return kNoErr;
}

HostErr MatrixConcatRotateS(RealMatrix* m, double angle) {
  if (!m) return kErrBadParameter;
  ::MatrixConcatRotate(m, angle);
  return kNoErr;
}

HostErr MatrixConcatScaleS(RealMatrix* m, double sx, double sy) {
  if (!m) return kErrBadParameter;
  RealMatrix scale{sx, 0, 0, sy, 0, 0};
  ::MatrixConcat(m, &scale, m);
  return kNoErr;
}

HostErr MatrixXformPointS(const RealMatrix* m, const RealPoint* p, RealPoint* out) {
  if (!m || !p || !out) return kErrBadParameter;
  *out = ::MatrixXformPoint(m, *p);
  return kNoErr;
}

}  // namespace

const RealMathSuite kRealMathSuiteTable = {
    .PointEqual = PointEqualS,
    .PointLength = PointLengthS,
    .PointAngle = PointAngleS,
    .RectInset = RectInsetS,
    .RectOverlap = RectOverlapS,
    .RectEmpty = RectEmptyS,
    .RectUnion = RectUnionS,
    .PointInRect = PointInRectS,
    .MatrixSetIdentity = MatrixSetIdentityS,
    .MatrixSetTranslate = MatrixSetTranslateS,
    .MatrixConcat = MatrixConcatS,
    .MatrixConcatTranslate = MatrixConcatTranslateS,
    .MatrixConcatRotate = MatrixConcatRotateS,
    .MatrixConcatScale = MatrixConcatScaleS,
    .MatrixXformPoint = MatrixXformPointS,
};

}  // namespace host
