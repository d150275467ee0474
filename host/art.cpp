// Kinds, bounds, transforms and tags of the host stand-in's art objects.
#include "host/art.h"

#include <algorithm>
#include <cmath>

namespace host {

bool IsKnownArtType(int16_t type) {
  return type >= kArtTypeGroup && type <= kArtTypePluginArt;
}

bool IsBoxArtType(int16_t type) {
  return IsKnownArtType(type) && type != kArtTypeGroup && type != kArtTypePath &&
         type != kArtTypeCompoundPath;
}

bool CanHold(const Art& parent, int16_t child) {
  if (parent.type == kArtTypeGroup) return IsKnownArtType(child);
  if (parent.type == kArtTypeCompoundPath) return child == kArtTypePath;
  return false;
}

const char* DefaultArtName(int16_t type) {
  switch (type) {
    case kArtTypeGroup:
      return "<Group>";
    case kArtTypePath:
      return "<Path>";
    case kArtTypeCompoundPath:
      return "<Compound Path>";
    case kArtTypeText:
      return "<Text>";
    case kArtTypePlaced:
      return "<Linked File>";
    case kArtTypeRaster:
      return "<Image>";
    case kArtTypeSymbol:
      return "<Symbol>";
    case kArtTypeMesh:
      return "<Mesh>";
    case kArtTypePluginArt:
      return "<Plug-in Art>";
    default:
      return "<Art>";
  }
}

const PathStyle& EffectiveStyle(const Art& art) {
  if (art.type == kArtTypePath && art.parent && art.parent->type == kArtTypeCompoundPath) {
    return art.parent->style;
  }
  return art.style;
}

namespace {

RealPoint Map(const RealMatrix* m, RealPoint p) {
  if (!m) return p;
  return RealPoint{m->a * p.x + m->c * p.y + m->tx, m->b * p.x + m->d * p.y + m->ty};
}

// Grows [lo, hi] to hold v.
void Include(double v, double* lo, double* hi) {
  if (v < *lo) *lo = v;
  if (v > *hi) *hi = v;
}

// The value at t of the cubic with coefficients p0..p3 of one coordinate.
double CubicAt(double p0, double p1, double p2, double p3, double t) {
  double u = 1 - t;
  return u * u * u * p0 + 3 * t * u * u * p1 + 3 * t * t * u * p2 + t * t * t * p3;
}

// Adds to [lo, hi] the extremes strictly inside (0, 1) of one coordinate of
// a cubic: the roots of its derivative, a quadratic in t.
void IncludeCubicExtremes(double p0, double p1, double p2, double p3, double* lo, double* hi) {
  double a = p1 - p0;
  double b = p2 - p1;
  double c = p3 - p2;
  // Derivative / 3 = (a - 2b + c) t^2 + 2 (b - a) t + a.
  double qa = a - 2 * b + c;
  double qb = 2 * (b - a);
  double qc = a;
  double roots[2];
  int n = 0;
  if (std::fabs(qa) < 1e-12) {
    if (std::fabs(qb) > 1e-12) roots[n++] = -qc / qb;
  } else {
    double disc = qb * qb - 4 * qa * qc;
    if (disc >= 0) {
      double s = std::sqrt(disc);
      roots[n++] = (-qb + s) / (2 * qa);
      roots[n++] = (-qb - s) / (2 * qa);
    }
  }
  for (int i = 0; i < n; ++i) {
    double t = roots[i];
    if (t > 0 && t < 1) Include(CubicAt(p0, p1, p2, p3, t), lo, hi);
  }
}

void IncludeCurve(RealPoint p0, RealPoint o0, RealPoint i1, RealPoint p1, RealRect* r) {
  // r is held as left..right in x, bottom..top in y.
  Include(p1.x, &r->left, &r->right);
  Include(p1.y, &r->bottom, &r->top);
  IncludeCubicExtremes(p0.x, o0.x, i1.x, p1.x, &r->left, &r->right);
  IncludeCubicExtremes(p0.y, o0.y, i1.y, p1.y, &r->bottom, &r->top);
}

void Unite(const RealRect& add, bool* have, RealRect* into) {
  if (!*have) {
    *into = add;
    *have = true;
    return;
  }
  into->left = std::min(into->left, add.left);
  into->bottom = std::min(into->bottom, add.bottom);
  into->right = std::max(into->right, add.right);
  into->top = std::max(into->top, add.top);
}

}  // namespace

bool PathExtent(const PathSegment* segments, size_t count, bool closed, const RealMatrix* matrix,
                RealRect* extent) {
  if (count == 0 || !segments) return false;
  RealPoint first = Map(matrix, segments[0].p);
  RealRect r{first.x, first.y, first.x, first.y};
  size_t curves = closed ? count : count - 1;
  for (size_t i = 0; i < curves; ++i) {
    const PathSegment& s = segments[i];
    const PathSegment& e = segments[(i + 1) % count];
    IncludeCurve(Map(matrix, s.p), Map(matrix, s.out), Map(matrix, e.in), Map(matrix, e.p), &r);
  }
  *extent = r;
  return true;
}

const Art* ClippingArt(const Art& group) {
  for (const Art* c = group.first_child; c; c = c->next) {
    if ((c->type == kArtTypePath || c->type == kArtTypeCompoundPath) && c->style.clip) return c;
    if (c->type == kArtTypeGroup && !c->clipped) {
      if (const Art* inner = ClippingArt(*c)) return inner;
    }
  }
  return nullptr;
}

bool ArtExtent(const Art& art, const RealMatrix* matrix, int32_t options, RealRect* extent) {
  if ((options & kBoundsVisible) && art.hidden) return false;
  bool stroke = (options & kBoundsNoStroke) == 0;
  switch (art.type) {
    case kArtTypePath: {
      RealRect r;
      if (!PathExtent(art.segments.data(), art.segments.size(), art.closed, matrix, &r)) {
        return false;
      }
      const PathStyle& style = EffectiveStyle(art);
      if (stroke && style.stroke_paint && style.stroke.width > 0) {
        double h = style.stroke.width / 2;
        r.left -= h;
        r.bottom -= h;
        r.right += h;
        r.top += h;
      }
      *extent = r;
      return true;
    }
    case kArtTypeGroup:
      if (art.clipped) {
        if (const Art* clip = ClippingArt(art)) {
          // The clipping path bounds what is seen, hidden or not.
          return ArtExtent(*clip, matrix, options & ~kBoundsVisible, extent);
        }
      }
      [[fallthrough]];
    case kArtTypeCompoundPath: {
      bool have = false;
      RealRect u{};
      for (const Art* c = art.first_child; c; c = c->next) {
        RealRect r;
        if (ArtExtent(*c, matrix, options, &r)) Unite(r, &have, &u);
      }
      if (have) *extent = u;
      return have;
    }
    default: {
      if (!IsBoxArtType(art.type)) return false;
      RealPoint corners[4] = {{art.box.left, art.box.top},
                              {art.box.right, art.box.top},
                              {art.box.right, art.box.bottom},
                              {art.box.left, art.box.bottom}};
      RealRect r{};
      for (int i = 0; i < 4; ++i) {
        RealPoint p = Map(matrix, Map(&art.matrix, corners[i]));
        if (i == 0) {
          r = RealRect{p.x, p.y, p.x, p.y};
        } else {
          Include(p.x, &r.left, &r.right);
          Include(p.y, &r.bottom, &r.top);
        }
      }
      *extent = r;
      return true;
    }
  }
}

bool MatrixIsFinite(const RealMatrix& m) {
  return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
         std::isfinite(m.tx) && std::isfinite(m.ty);
}

void TransformArtTree(Art& art, const RealMatrix& m, double line_scale, int32_t options) {
  bool objects = (options & kTransformObjects) != 0;
  bool children = (options & kTransformChildren) != 0;
  bool path = art.type == kArtTypePath || art.type == kArtTypeCompoundPath;
  if (objects) {
    if (art.type == kArtTypePath) {
      for (PathSegment& s : art.segments) {
        s.p = Map(&m, s.p);
        s.in = Map(&m, s.in);
        s.out = Map(&m, s.out);
      }
    } else if (IsBoxArtType(art.type)) {
      RealMatrix t;
      MatrixConcat(&art.matrix, &m, &t);
      art.matrix = t;
    }
    if ((options & kTransformLineWidths) && path) art.style.stroke.width *= line_scale;
    // Written from its source, a path's strokes scale with the transform;
    // where the model's widths did otherwise, the model is what holds.
    double applied = (options & kTransformLineWidths) ? line_scale : 1;
    double natural = std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
    if (path && !(std::fabs(applied - natural) <= 1e-9 * natural)) art.origin.changed = true;
  }
  // What moved: the geometry of paths and box art, and a container whose
  // children all move with it.
  if ((objects && (art.type == kArtTypePath || IsBoxArtType(art.type))) || children) {
    RealMatrix t;
    MatrixConcat(&art.origin.placement, &m, &t);
    art.origin.placement = t;
  }
  if (children) {
    for (Art* c = art.first_child; c; c = c->next) TransformArtTree(*c, m, line_scale, options);
  }
}

const Tag* FindTag(const Art& art, const std::string& name) {
  for (const Tag& t : art.tags) {
    if (t.name == name) return &t;
  }
  return nullptr;
}

void SetTag(Art& art, const std::string& name, const std::string& type, const std::string& value) {
  for (Tag& t : art.tags) {
    if (t.name == name) {
      t.type = type;
      t.value = value;
      return;
    }
  }
  art.tags.push_back(Tag{name, type, value});
}

bool RemoveTag(Art& art, const std::string& name) {
  auto it =
      std::find_if(art.tags.begin(), art.tags.end(), [&](const Tag& t) { return t.name == name; });
  if (it == art.tags.end()) return false;
  art.tags.erase(it);
  return true;
}

}  // namespace host
