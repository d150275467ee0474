// The host's paths: segments and closed flag, and their paint style.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "plugin/host_types.h"

// ---------------------------------------------------------------------------
// Path geometry. A path is a sequence of segments (engine/geometry.h's
// PathSegment: anchor, in handle, out handle, corner flag) and a closed flag;
// the curve from segment i to segment i + 1 is the cubic Bezier through
// anchor i, out handle i, in handle i + 1, anchor i + 1, and a closed path
// also runs from its last segment back to its first.

constexpr char kPathSuiteName[] = "AI Path Suite";
constexpr int32_t kPathSuiteVersion = 12;

// The calls take path art only; other art gives kErrBadParameter.
struct PathSuite {
  // The number of segments of the path.
  HostErr (*GetPathSegmentCount)(ArtHandle path, int32_t* count);
  // Sets the number of segments: new segments at the end are copies of the
  // last one (or all zero in an empty path); extra ones are dropped.
  HostErr (*SetPathSegmentCount)(ArtHandle path, int32_t count);
  // Copies count segments starting at index first into segments.
  // kErrBadParameter when first + count exceeds the segment count.
  HostErr (*GetPathSegments)(ArtHandle path, int32_t first, int32_t count, PathSegment* segments);
  // Overwrites count segments starting at index first with segments.
  // kErrBadParameter when first + count exceeds the segment count.
  HostErr (*SetPathSegments)(ArtHandle path, int32_t first, int32_t count,
                             const PathSegment* segments);
  // Whether the path is closed.
  HostErr (*GetPathClosed)(ArtHandle path, bool* closed);
  // Closes or opens the path.
  HostErr (*SetPathClosed)(ArtHandle path, bool closed);
};

// ---------------------------------------------------------------------------
// Paint style of paths and compound paths.

constexpr char kPathStyleSuiteName[] = "AI Path Style Suite";
constexpr int32_t kPathStyleSuiteVersion = 14;

// Ends of an open stroke.
enum LineCap : int16_t {
  kCapButt = 0,
  kCapRound = 1,
  kCapProjecting = 2,
};

// Corners of a stroke.
enum LineJoin : int16_t {
  kJoinMiter = 0,
  kJoinRound = 1,
  kJoinBevel = 2,
};

constexpr int kDashArrayCapacity = 6;

struct FillStyle {
  HostColor color;
  bool overprint;
};

struct DashStyle {
  double offset;                     // where the pattern starts along the stroke
  int16_t length;                    // used entries of array; 0: solid
  double array[kDashArrayCapacity];  // dash and gap lengths, alternating
};

struct StrokeStyle {
  HostColor color;
  bool overprint;
  double width;  // points
  DashStyle dash;
  int16_t cap;   // LineCap
  int16_t join;  // LineJoin
  double miter_limit;
};

// A value-initialised style (all zero) is "nothing painted" in gray 0.
struct PathStyle {
  bool fill_paint;  // the fill is painted
  FillStyle fill;
  bool stroke_paint;  // the stroke is painted
  StrokeStyle stroke;
  bool clip;          // the art clips its clipping group (kArtAttrClipMask)
  bool lock_clip;     // the clip cannot be released
  bool even_odd;      // the fill uses the even-odd rule (else non-zero winding)
  double resolution;  // output resolution of the art, 0 for the document's
};

// The calls take paths and compound paths (a compound path's children all
// paint with the compound path's style); other art gives kErrBadParameter.
struct PathStyleSuite {
  // The art's paint style.
  HostErr (*GetPathStyle)(ArtHandle art, PathStyle* style);
  // Replaces the art's paint style.
  HostErr (*SetPathStyle)(ArtHandle art, const PathStyle* style);
};
