// The path and path style suites over the document model.
#include <cmath>

#include "host/suite_registry.h"
#include "host/suites_common.h"

namespace host {
namespace {

// The most segments one path may hold; larger counts are refused rather
// than attempted.
constexpr int32_t kMaxSegments = 1 << 22;

HostErr ResolvePath(ArtHandle handle, Art** art) {
  Document* doc;
  if (HostErr err = ResolveArt(handle, &doc, art)) return err;
  return (*art)->type == kArtTypePath ? kNoErr : kErrBadParameter;
}

bool InRange(const Art& path, int32_t first, int32_t count) {
  if (first < 0 || count < 0) return false;
  return static_cast<int64_t>(first) + count <= static_cast<int64_t>(path.segments.size());
}

bool PointIsFinite(RealPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

HostErr GetPathSegmentCount(ArtHandle handle, int32_t* count) {
  return Guard([&] {
    if (!count) return kErrBadParameter;
    *count = 0;
    Art* path;
    if (HostErr err = ResolvePath(handle, &path)) return err;
    *count = static_cast<int32_t>(path->segments.size());
    return kNoErr;
  });
}

HostErr SetPathSegmentCount(ArtHandle handle, int32_t count) {
  return Guard([&] {
    if (count < 0 || count > kMaxSegments) return kErrBadParameter;
    Art* path;
    if (HostErr err = ResolvePath(handle, &path)) return err;
    PathSegment fill = path->segments.empty() ? PathSegment{} : path->segments.back();
    path->segments.resize(static_cast<size_t>(count), fill);
    path->origin.changed = true;
    return kNoErr;
  });
}

HostErr GetPathSegments(ArtHandle handle, int32_t first, int32_t count, PathSegment* segments) {
  return Guard([&] {
    if (!segments && count > 0) return kErrBadParameter;
    Art* path;
    if (HostErr err = ResolvePath(handle, &path)) return err;
    if (!InRange(*path, first, count)) return kErrBadParameter;
    for (int32_t i = 0; i < count; ++i)
      segments[i] = path->segments[static_cast<size_t>(first + i)];
    return kNoErr;
  });
}

HostErr SetPathSegments(ArtHandle handle, int32_t first, int32_t count,
                        const PathSegment* segments) {
  return Guard([&] {
    if (!segments && count > 0) return kErrBadParameter;
    Art* path;
    if (HostErr err = ResolvePath(handle, &path)) return err;
    if (!InRange(*path, first, count)) return kErrBadParameter;
    // Check everything first so that a bad segment changes nothing.
    for (int32_t i = 0; i < count; ++i) {
      const PathSegment& s = segments[i];
      if (!PointIsFinite(s.p) || !PointIsFinite(s.in) || !PointIsFinite(s.out)) {
        return kErrBadParameter;
      }
    }
    for (int32_t i = 0; i < count; ++i)
      path->segments[static_cast<size_t>(first + i)] = segments[i];
    if (count > 0) path->origin.changed = true;
    return kNoErr;
  });
}

HostErr GetPathClosed(ArtHandle handle, bool* closed) {
  return Guard([&] {
    if (!closed) return kErrBadParameter;
    *closed = false;
    Art* path;
    if (HostErr err = ResolvePath(handle, &path)) return err;
    *closed = path->closed;
    return kNoErr;
  });
}

HostErr SetPathClosed(ArtHandle handle, bool closed) {
  return Guard([&] {
    Art* path;
    if (HostErr err = ResolvePath(handle, &path)) return err;
    if (path->closed != closed) path->origin.changed = true;
    path->closed = closed;
    return kNoErr;
  });
}

// --- paint style -------------------------------------------------------------

HostErr ResolvePainted(ArtHandle handle, Art** art) {
  Document* doc;
  if (HostErr err = ResolveArt(handle, &doc, art)) return err;
  int16_t type = (*art)->type;
  return type == kArtTypePath || type == kArtTypeCompoundPath ? kNoErr : kErrBadParameter;
}

bool ColorIsValid(const HostColor& c) {
  if (c.kind != kColorGray && c.kind != kColorFourProcess && c.kind != kColorRGB) return false;
  for (double v : c.components) {
    if (!(v >= 0 && v <= 1)) return false;  // also rejects NaN
  }
  return true;
}

bool StyleIsValid(const PathStyle& s) {
  if (!ColorIsValid(s.fill.color) || !ColorIsValid(s.stroke.color)) return false;
  const StrokeStyle& k = s.stroke;
  if (!(k.width >= 0) || !std::isfinite(k.width)) return false;
  if (!(k.miter_limit >= 0) || !std::isfinite(k.miter_limit)) return false;
  if (k.cap < kCapButt || k.cap > kCapProjecting) return false;
  if (k.join < kJoinMiter || k.join > kJoinBevel) return false;
  if (k.dash.length < 0 || k.dash.length > kDashArrayCapacity) return false;
  if (!std::isfinite(k.dash.offset)) return false;
  for (int i = 0; i < k.dash.length; ++i) {
    if (!(k.dash.array[i] >= 0) || !std::isfinite(k.dash.array[i])) return false;
  }
  return std::isfinite(s.resolution) && s.resolution >= 0;
}

// A path inside a compound path paints with the compound path's style, so
// its style is read from, and written to, the compound path.
Art* StyleOwner(Art* art) {
  if (art->type == kArtTypePath && art->parent && art->parent->type == kArtTypeCompoundPath) {
    return art->parent;
  }
  return art;
}

HostErr GetPathStyle(ArtHandle handle, PathStyle* style) {
  return Guard([&] {
    if (!style) return kErrBadParameter;
    *style = PathStyle{};
    Art* art;
    if (HostErr err = ResolvePainted(handle, &art)) return err;
    *style = StyleOwner(art)->style;
    return kNoErr;
  });
}

HostErr SetPathStyle(ArtHandle handle, const PathStyle* style) {
  return Guard([&] {
    if (!style || !StyleIsValid(*style)) return kErrBadParameter;
    Art* art;
    if (HostErr err = ResolvePainted(handle, &art)) return err;
    Art* owner = StyleOwner(art);
    owner->style = *style;
    owner->origin.changed = true;
    if (owner->type == kArtTypeCompoundPath) {
      for (Art* c = owner->first_child; c; c = c->next) c->style = *style;
    }
    return kNoErr;
  });
}

}  // namespace

const PathSuite kPathSuiteTable = {
    .GetPathSegmentCount = GetPathSegmentCount,
    .SetPathSegmentCount = SetPathSegmentCount,
    .GetPathSegments = GetPathSegments,
    .SetPathSegments = SetPathSegments,
    .GetPathClosed = GetPathClosed,
    .SetPathClosed = SetPathClosed,
};

const PathStyleSuite kPathStyleSuiteTable = {
    .GetPathStyle = GetPathStyle,
    .SetPathStyle = SetPathStyle,
};

}  // namespace host
