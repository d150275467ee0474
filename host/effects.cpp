// The host's offset, pathfinder add and stroke outline: outlines flattened
// into rings, joined and capped here, and combined by the polygon clipper.
#include "host/effects.h"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>

#include "host/builder.h"
#include "host/suites_common.h"

namespace host {
namespace {

using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;

constexpr double kPiFull = 3.14159265358979323846;
// More steps than this for one curve or arc add nothing visible and would
// only let absurd input cost time.
constexpr int kMaxSteps = 4096;
// Points closer than this are one point: they give an edge no direction.
constexpr double kSamePoint = 1e-9;
// A corner whose two offset points lie closer than this is treated as straight.
constexpr double kStraightGap = 1e-7;

RealPoint Add(RealPoint a, RealPoint b) {
  return {a.x + b.x, a.y + b.y};
}
RealPoint Scale(RealPoint a, double s) {
  return {a.x * s, a.y * s};
}
double Distance(RealPoint a, RealPoint b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}
RealPoint Rotate(RealPoint v, double angle) {
  double c = std::cos(angle);
  double s = std::sin(angle);
  return {v.x * c - v.y * s, v.x * s + v.y * c};
}

bool Usable(RealPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) <= kMaxCoordinate &&
         std::fabs(p.y) <= kMaxCoordinate;
}

IntPoint ToInt(RealPoint p) {
  return IntPoint(static_cast<ClipperLib::cInt>(std::llround(p.x * kClipperScale)),
                  static_cast<ClipperLib::cInt>(std::llround(p.y * kClipperScale)));
}

Ring ToRing(const Path& path) {
  Ring ring;
  ring.reserve(path.size());
  for (const IntPoint& p : path) {
    ring.push_back(
        {static_cast<double>(p.X) / kClipperScale, static_cast<double>(p.Y) / kClipperScale});
  }
  return ring;
}

Path ToPath(const Ring& ring) {
  Path path;
  path.reserve(ring.size());
  for (RealPoint p : ring) path.push_back(ToInt(p));
  return path;
}

// --- flattening ----------------------------------------------------------------

// Steps that keep every chord of the cubic within kFlattenTolerance: a cubic
// cut into n equal parameter steps strays from its chords by at most
// 3/4 L / n^2, L the larger second difference of its control points.
int CurveSteps(RealPoint p0, RealPoint p1, RealPoint p2, RealPoint p3) {
  double l = std::max(std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                      std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
  if (!(l > 0)) return 1;
  double n = std::ceil(std::sqrt(0.75 * l / kFlattenTolerance));
  return static_cast<int>(std::clamp(n, 1.0, static_cast<double>(kMaxSteps)));
}

// Appends the points of the curve from a to b after a's anchor, b's anchor
// last and exact.
void AppendCurve(const PathSegment& a, const PathSegment& b, std::vector<RealPoint>* out) {
  int n = CurveSteps(a.p, a.out, b.in, b.p);
  for (int i = 1; i < n; ++i) {
    double t = static_cast<double>(i) / n;
    double m = 1 - t;
    double w0 = m * m * m;
    double w1 = 3 * m * m * t;
    double w2 = 3 * m * t * t;
    double w3 = t * t * t;
    out->push_back({w0 * a.p.x + w1 * a.out.x + w2 * b.in.x + w3 * b.p.x,
                    w0 * a.p.y + w1 * a.out.y + w2 * b.in.y + w3 * b.p.y});
  }
  out->push_back(b.p);
}

void RemoveRepeats(std::vector<RealPoint>* points, bool ring) {
  std::vector<RealPoint> kept;
  kept.reserve(points->size());
  for (RealPoint p : *points) {
    if (kept.empty() || Distance(p, kept.back()) > kSamePoint) kept.push_back(p);
  }
  if (ring) {
    while (kept.size() > 1 && Distance(kept.front(), kept.back()) <= kSamePoint) kept.pop_back();
  }
  *points = std::move(kept);
}

// The path as points, first anchor first. With closing, the curve from the
// last segment back to the first is included and the ring is left implicit.
HostErr Flatten(const std::vector<PathSegment>& segments, bool closing,
                std::vector<RealPoint>* out) {
  out->clear();
  for (const PathSegment& s : segments) {
    if (!Usable(s.p) || !Usable(s.in) || !Usable(s.out)) return kErrBadParameter;
  }
  if (segments.empty()) return kNoErr;
  out->push_back(segments[0].p);
  for (size_t i = 1; i < segments.size(); ++i) AppendCurve(segments[i - 1], segments[i], out);
  if (closing && segments.size() > 1) AppendCurve(segments.back(), segments.front(), out);
  RemoveRepeats(out, closing);
  return kNoErr;
}

// --- clipper results -----------------------------------------------------------

// An outer ring, then its holes, then the islands inside those holes.
void AddOuter(const ClipperLib::PolyNode& outer, Region* region) {
  Path contour;
  ClipperLib::CleanPolygon(outer.Contour, contour);
  if (contour.size() >= 3) region->rings.push_back(ToRing(contour));
  for (const ClipperLib::PolyNode* hole : outer.Childs) {
    ClipperLib::CleanPolygon(hole->Contour, contour);
    if (contour.size() >= 3) region->rings.push_back(ToRing(contour));
  }
  for (const ClipperLib::PolyNode* hole : outer.Childs) {
    for (const ClipperLib::PolyNode* island : hole->Childs) AddOuter(*island, region);
  }
}

HostErr Solve(ClipperLib::Clipper& clipper, ClipperLib::ClipType type,
              ClipperLib::PolyFillType fill, Region* out) {
  ClipperLib::PolyTree tree;
  if (!clipper.Execute(type, tree, fill, fill)) return kErrBadParameter;
  out->rings.clear();
  for (const ClipperLib::PolyNode* outer : tree.Childs) AddOuter(*outer, out);
  return kNoErr;
}

HostErr UnionOf(const Paths& paths, ClipperLib::PolyFillType fill, Region* out) {
  ClipperLib::Clipper clipper;
  clipper.AddPaths(paths, ClipperLib::ptSubject, true);
  return Solve(clipper, ClipperLib::ctUnion, fill, out);
}

void Append(const Region& region, Paths* paths) {
  for (const Ring& ring : region.rings) paths->push_back(ToPath(ring));
}

// --- filled areas ------------------------------------------------------------------

ClipperLib::PolyFillType RuleOf(const PathStyle& style) {
  return style.even_odd ? ClipperLib::pftEvenOdd : ClipperLib::pftNonZero;
}

// Appends the art's area (rings of Region orientation) to out, leaving
// exclude and everything inside it out.
HostErr AddArea(const Art& art, const Art* exclude, Paths* out) {
  if (&art == exclude) return kNoErr;
  switch (art.type) {
    case kArtTypePath: {
      std::vector<RealPoint> ring;
      if (HostErr err = Flatten(art.segments, true, &ring)) return err;
      if (ring.size() < 3) return kNoErr;
      Region area;
      if (HostErr err = UnionOf(Paths{ToPath(ring)}, RuleOf(EffectiveStyle(art)), &area)) {
        return err;
      }
      Append(area, out);
      return kNoErr;
    }
    case kArtTypeCompoundPath: {
      Paths rings;
      for (const Art* c = art.first_child; c; c = c->next) {
        if (c == exclude || c->type != kArtTypePath) continue;
        std::vector<RealPoint> ring;
        if (HostErr err = Flatten(c->segments, true, &ring)) return err;
        if (ring.size() >= 3) rings.push_back(ToPath(ring));
      }
      Region area;
      if (HostErr err = UnionOf(rings, RuleOf(art.style), &area)) return err;
      Append(area, out);
      return kNoErr;
    }
    case kArtTypeGroup: {
      const Art* clip = art.clipped ? ClippingArt(art) : nullptr;
      Paths content;
      for (const Art* c = art.first_child; c; c = c->next) {
        if (HostErr err = AddArea(*c, clip ? clip : exclude, &content)) return err;
      }
      if (!clip) {
        out->insert(out->end(), content.begin(), content.end());
        return kNoErr;
      }
      Paths mask;
      if (HostErr err = AddArea(*clip, exclude, &mask)) return err;
      ClipperLib::Clipper clipper;
      clipper.AddPaths(content, ClipperLib::ptSubject, true);
      clipper.AddPaths(mask, ClipperLib::ptClip, true);
      Region cut;
      if (HostErr err = Solve(clipper, ClipperLib::ctIntersection, ClipperLib::pftNonZero, &cut)) {
        return err;
      }
      Append(cut, out);
      return kNoErr;
    }
    default: {
      if (!IsBoxArtType(art.type)) return kNoErr;
      const RealRect& b = art.box;
      Ring quad;
      for (RealPoint p : {RealPoint{b.left, b.bottom}, RealPoint{b.right, b.bottom},
                          RealPoint{b.right, b.top}, RealPoint{b.left, b.top}}) {
        RealPoint q = MatrixXformPoint(&art.matrix, p);
        if (!Usable(q)) return kErrBadParameter;
        quad.push_back(q);
      }
      Region area;
      if (HostErr err = UnionOf(Paths{ToPath(quad)}, ClipperLib::pftNonZero, &area)) return err;
      Append(area, out);
      return kNoErr;
    }
  }
}

// --- offset outlines ---------------------------------------------------------------

// Writes the raw offset outline of corners and ends into a clipper path. The
// raw outline may cross itself; a union with the positive fill rule turns it
// into the true outline, which is why an inner corner also passes through
// its own vertex: the loop it makes then winds positively.
class Outliner {
 public:
  Outliner(double delta, int16_t join, double miter_limit, Path* out)
      : delta_(delta), join_(join), miter_limit_(std::max(1.0, miter_limit)), out_(out) {}

  void Push(RealPoint p) { out_->push_back(ToInt(p)); }

  // The corner at p between the edge arriving with right normal nk and the
  // edge leaving with right normal nj.
  void Corner(RealPoint p, RealPoint nk, RealPoint nj) {
    double s = nk.x * nj.y - nk.y * nj.x;
    double c = nk.x * nj.x + nk.y * nj.y;
    RealPoint a = Add(p, Scale(nk, delta_));
    RealPoint b = Add(p, Scale(nj, delta_));
    bool small = std::fabs(s * delta_) < kStraightGap;
    if (small && c > 0) {
      Push(a);
      return;
    }
    bool reversal = small && c <= 0;
    if (!reversal && s * delta_ < 0) {
      Push(a);
      Push(p);
      Push(b);
      return;
    }
    if (join_ == kJoinRound) {
      double angle = reversal ? (delta_ > 0 ? kPiFull : -kPiFull) : std::atan2(s, c);
      Arc(p, nk, angle);
      return;
    }
    if (join_ == kJoinMiter && !reversal) {
      // The miter's length over the offset is 1 / cos(half the turn), whose
      // square is 2 / (1 + cos(turn)).
      double r = 1 + c;
      if (r > 0 && 2 / r <= miter_limit_ * miter_limit_) {
        Push(Add(p, Scale(Add(nk, nj), delta_ / r)));
        return;
      }
    }
    Push(a);
    Push(b);
  }

  // Points of the arc about p at the offset distance, from the direction
  // from turned by angle (counter-clockwise when positive), both ends
  // included.
  void Arc(RealPoint p, RealPoint from, double angle) {
    double radius = std::fabs(delta_);
    // Small arcs follow their circle within a fraction of their radius, so
    // that the area of a small round cap or dot stays within 0.01 % too.
    double tolerance = std::min(kArcTolerance, radius * 1e-4);
    double step = tolerance > 0 ? 2 * std::acos(1 - tolerance / radius) : kPiFull / 2;
    double n = std::clamp(std::ceil(std::fabs(angle) / step), 1.0, static_cast<double>(kMaxSteps));
    int steps = static_cast<int>(n);
    for (int i = 0; i <= steps; ++i) {
      Push(Add(p, Scale(Rotate(from, angle * i / steps), delta_)));
    }
  }

 private:
  double delta_;
  int16_t join_;
  double miter_limit_;
  Path* out_;
};

// Right-hand unit normal of the edge from a to b (outward for a
// counter-clockwise ring).
RealPoint RightNormal(RealPoint a, RealPoint b) {
  double dx = b.x - a.x;
  double dy = b.y - a.y;
  double len = std::hypot(dx, dy);
  return {dy / len, -dx / len};
}

// The ring's raw outline offset to its right by delta.
Path RawRing(const std::vector<RealPoint>& ring, double delta, int16_t join, double miter) {
  Path out;
  size_t n = ring.size();
  std::vector<RealPoint> normals(n);
  for (size_t i = 0; i < n; ++i) normals[i] = RightNormal(ring[i], ring[(i + 1) % n]);
  Outliner outliner(delta, join, miter, &out);
  for (size_t j = 0; j < n; ++j) outliner.Corner(ring[j], normals[(j + n - 1) % n], normals[j]);
  return out;
}

// One side of an open polyline offset to its right by delta, followed by the
// cap around its end to the other side.
void SideAndCap(const std::vector<RealPoint>& pts, double delta, int16_t cap, Outliner* outliner) {
  size_t n = pts.size();
  RealPoint first = RightNormal(pts[0], pts[1]);
  outliner->Push(Add(pts[0], Scale(first, delta)));
  for (size_t j = 1; j + 1 < n; ++j) {
    outliner->Corner(pts[j], RightNormal(pts[j - 1], pts[j]), RightNormal(pts[j], pts[j + 1]));
  }
  RealPoint end = pts[n - 1];
  RealPoint normal = RightNormal(pts[n - 2], end);
  outliner->Push(Add(end, Scale(normal, delta)));
  // The direction of travel is the normal turned a quarter counter-clockwise.
  RealPoint ahead = Rotate(normal, kPiFull / 2);
  if (cap == kCapRound) {
    outliner->Arc(end, normal, kPiFull);
  } else if (cap == kCapProjecting) {
    outliner->Push(Add(Add(end, Scale(normal, delta)), Scale(ahead, delta)));
    outliner->Push(Add(Add(end, Scale(normal, -delta)), Scale(ahead, delta)));
  }
}

// A stroked point: a round cap gives a disc, a projecting cap a square.
Path Dot(RealPoint p, double half, int16_t cap) {
  Path out;
  Outliner outliner(half, kJoinRound, 1, &out);
  if (cap == kCapRound) {
    outliner.Arc(p, {1, 0}, 2 * kPiFull);
  } else if (cap == kCapProjecting) {
    for (RealPoint q : {RealPoint{p.x - half, p.y - half}, RealPoint{p.x + half, p.y - half},
                        RealPoint{p.x + half, p.y + half}, RealPoint{p.x - half, p.y + half}}) {
      outliner.Push(q);
    }
  }
  return out;
}

// More dashes than this on one path are not drawn one by one: the stroke
// is outlined as if solid.
constexpr size_t kMaxDashes = 100000;

// Cuts an open polyline into the pieces the dash pattern paints, starting
// the pattern offset into its length. False when the pattern paints the
// whole line (no usable pattern) or would cut it into too many pieces.
bool CutDashes(const std::vector<RealPoint>& line, const DashStyle& dash,
               std::vector<std::vector<RealPoint>>* pieces) {
  int n = std::clamp<int>(dash.length, 0, kDashArrayCapacity);
  double total = 0;
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(dash.array[i]) || dash.array[i] < 0) return false;
    total += dash.array[i];
  }
  if (n == 0 || !(total > 0) || !std::isfinite(dash.offset)) return false;
  double length = 0;
  for (size_t i = 1; i < line.size(); ++i) length += Distance(line[i - 1], line[i]);
  if (length / total * n > static_cast<double>(kMaxDashes)) return false;

  // Where the pattern stands at the start of the line.
  double phase = std::fmod(dash.offset, total);
  if (phase < 0) phase += total;
  // Whole entries the phase covers are skipped; within n of them it has
  // dropped by the pattern's total, which is more than it is.
  int k = 0;
  bool on = true;
  double left = dash.array[0];
  while (phase > 0 && phase >= left) {
    phase -= left;
    k = (k + 1) % n;
    on = !on;
    left = dash.array[k];
  }
  left -= phase;
  std::vector<RealPoint> current;
  if (on) current.push_back(line[0]);
  for (size_t i = 1; i < line.size(); ++i) {
    RealPoint a = line[i - 1];
    RealPoint b = line[i];
    double edge = Distance(a, b);
    double pos = 0;
    while (edge - pos > left) {
      pos += left;
      double t = pos / edge;
      RealPoint q{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
      if (on) {
        current.push_back(q);
        pieces->push_back(std::move(current));
        current.clear();
      } else {
        current.push_back(q);
      }
      on = !on;
      k = (k + 1) % n;
      left = dash.array[k];
    }
    left -= edge - pos;
    if (on) current.push_back(b);
  }
  if (on && !current.empty()) pieces->push_back(std::move(current));
  return true;
}

// The raw outline of an open polyline: one side, the cap at its end, the
// other side back, the cap at its start.
Path OpenOutline(const std::vector<RealPoint>& pts, double half, int16_t cap, int16_t join,
                 double miter_limit);

Path OpenOutline(const std::vector<RealPoint>& pts, double half, int16_t cap, int16_t join,
                 double miter_limit) {
  Path ring;
  Outliner outliner(half, join, miter_limit, &ring);
  SideAndCap(pts, half, cap, &outliner);
  std::vector<RealPoint> reversed(pts.rbegin(), pts.rend());
  SideAndCap(reversed, half, cap, &outliner);
  return ring;
}

// --- placing results -------------------------------------------------------------

// The first path or compound path at or inside the art, depth-first.
const Art* FirstPainted(const Art& art) {
  if (art.type == kArtTypePath || art.type == kArtTypeCompoundPath) return &art;
  for (const Art* c = art.first_child; c; c = c->next) {
    if (const Art* found = FirstPainted(*c)) return found;
  }
  return nullptr;
}

// The style a result of the art paints with: that of the first path or
// compound path inside it, or a black fill.
PathStyle ResultStyle(const Art& art) {
  const Art* source = FirstPainted(art);
  PathStyle style = source ? EffectiveStyle(*source) : FillStyleOf(Gray(0));
  style.clip = false;
  style.lock_clip = false;
  style.even_odd = false;
  return style;
}

std::vector<PathSegment> Corners(const Ring& ring) {
  std::vector<PathSegment> segments;
  segments.reserve(ring.size());
  for (RealPoint p : ring) segments.push_back(PathSegment{p, p, p, true});
  return segments;
}

// Makes the region as one closed path, or a compound path of one path per
// ring, at the place. *made is null for an empty region.
HostErr MakeArt(Document& doc, const Region& region, const PathStyle& style, int16_t order,
                Art* prep, Art** made) {
  *made = nullptr;
  if (region.rings.empty()) return kNoErr;
  if (region.rings.size() == 1) {
    Art* path = nullptr;
    if (HostErr err = doc.NewArt(kArtTypePath, order, prep, &path)) return err;
    path->segments = Corners(region.rings[0]);
    path->closed = true;
    path->style = style;
    *made = path;
    return kNoErr;
  }
  Art* compound = nullptr;
  if (HostErr err = doc.NewArt(kArtTypeCompoundPath, order, prep, &compound)) return err;
  compound->style = style;
  for (const Ring& ring : region.rings) {
    Art* path = nullptr;
    if (HostErr err = doc.NewArt(kArtTypePath, kPlaceInsideOnBottom, compound, &path)) {
      doc.Dispose(compound);
      return err;
    }
    path->segments = Corners(ring);
    path->closed = true;
    path->style = style;
  }
  *made = compound;
  return kNoErr;
}

void CollectRoots(Art* art, std::vector<Art*>* roots) {
  if (art->selected && !art->layer) {
    roots->push_back(art);
    return;
  }
  if (art->type == kArtTypeCompoundPath) {
    // Part of a compound path selected: the compound path is what is acted on.
    for (const Art* c = art->first_child; c; c = c->next) {
      if (c->selected) {
        roots->push_back(art);
        return;
      }
    }
    return;
  }
  for (Art* c = art->first_child; c; c = c->next) CollectRoots(c, roots);
}

HostErr StrokeOf(const Art& art, Region* outline) {
  const PathStyle& style = art.type == kArtTypePath ? EffectiveStyle(art) : art.style;
  const StrokeStyle& s = style.stroke;
  if (art.type == kArtTypePath) {
    return StrokeRegion(art.segments, art.closed, s.width, s.cap, s.join, s.miter_limit, outline,
                        &s.dash);
  }
  Paths all;
  for (const Art* c = art.first_child; c; c = c->next) {
    if (c->type != kArtTypePath) continue;
    Region one;
    if (HostErr err = StrokeRegion(c->segments, c->closed, s.width, s.cap, s.join, s.miter_limit,
                                   &one, &s.dash)) {
      return err;
    }
    Append(one, &all);
  }
  return UnionOf(all, ClipperLib::pftNonZero, outline);
}

HostErr OutlineOne(Document& doc, Art* art) {
  const PathStyle style = art->style;
  if (!style.stroke_paint || !(style.stroke.width > 0)) return kNoErr;
  Region outline;
  if (HostErr err = StrokeOf(*art, &outline)) return err;
  if (outline.rings.empty()) return kNoErr;

  PathStyle filled = style;
  filled.stroke_paint = false;
  filled.fill_paint = true;
  filled.fill.color = style.stroke.color;
  filled.fill.overprint = style.stroke.overprint;
  filled.even_odd = false;

  if (!style.fill_paint) {
    Art* made = nullptr;
    if (HostErr err = MakeArt(doc, outline, filled, kPlaceAbove, art, &made)) return err;
    made->name = art->name;
    made->tags = art->tags;
    doc.Dispose(art);
    SelectDeep(doc, made, true);
    return kNoErr;
  }
  // A filled and stroked path keeps its fill: a group of the outline above
  // the filled path takes its place.
  Art* group = nullptr;
  if (HostErr err = doc.NewArt(kArtTypeGroup, kPlaceAbove, art, &group)) return err;
  Art* made = nullptr;
  Art* fill = nullptr;
  HostErr err = MakeArt(doc, outline, filled, kPlaceInsideOnTop, group, &made);
  if (!err) err = doc.Duplicate(art, kPlaceInsideOnBottom, group, &fill);
  if (err) {
    doc.Dispose(group);
    return err;
  }
  fill->style.stroke_paint = false;
  fill->origin.changed = true;
  fill->tags.clear();
  fill->name.clear();
  group->name = art->name;
  group->tags = art->tags;
  doc.Dispose(art);
  SelectDeep(doc, group, true);
  return kNoErr;
}

}  // namespace

std::vector<Art*> SelectionRoots(const Document& doc) {
  std::vector<Art*> roots;
  for (int32_t i = 0; i < doc.LayerCount(); ++i) CollectRoots(doc.NthLayer(i)->group, &roots);
  return roots;
}

HostErr FilledRegion(const Art& art, Region* region) {
  if (!region) return kErrBadParameter;
  region->rings.clear();
  return Guard([&] {
    Paths area;
    if (HostErr err = AddArea(art, nullptr, &area)) return err;
    return UnionOf(area, ClipperLib::pftNonZero, region);
  });
}

double RegionArea(const Region& region) {
  double total = 0;
  for (const Ring& ring : region.rings) {
    double twice = 0;
    for (size_t i = 0, n = ring.size(); i < n; ++i) {
      const RealPoint& a = ring[i];
      const RealPoint& b = ring[(i + 1) % n];
      twice += a.x * b.y - b.x * a.y;
    }
    total += twice / 2;
  }
  return total;
}

HostErr OffsetRegion(const Region& region, double offset, int16_t join, double miter_limit,
                     Region* grown) {
  if (!grown) return kErrBadParameter;
  grown->rings.clear();
  if (!std::isfinite(offset) || std::fabs(offset) > kMaxCoordinate) return kErrBadParameter;
  if (join < kJoinMiter || join > kJoinBevel || std::isnan(miter_limit)) return kErrBadParameter;
  return Guard([&] {
    Paths raw;
    for (const Ring& ring : region.rings) {
      for (RealPoint p : ring) {
        if (!Usable(p)) return kErrBadParameter;
      }
      std::vector<RealPoint> pts = ring;
      RemoveRepeats(&pts, true);
      if (pts.size() < 2) continue;
      if (offset == 0) {
        raw.push_back(ToPath(pts));
      } else {
        raw.push_back(RawRing(pts, offset, join, miter_limit));
      }
    }
    return UnionOf(raw, ClipperLib::pftPositive, grown);
  });
}

HostErr StrokeRegion(const std::vector<PathSegment>& segments, bool closed, double width,
                     int16_t cap, int16_t join, double miter_limit, Region* outline,
                     const DashStyle* dash) {
  if (!outline) return kErrBadParameter;
  outline->rings.clear();
  if (!std::isfinite(width) || width < 0 || width > kMaxCoordinate) return kErrBadParameter;
  if (cap < kCapButt || cap > kCapProjecting || join < kJoinMiter || join > kJoinBevel ||
      std::isnan(miter_limit)) {
    return kErrBadParameter;
  }
  return Guard([&] {
    std::vector<RealPoint> pts;
    if (HostErr err = Flatten(segments, closed, &pts)) return err;
    double half = width / 2;
    if (pts.empty() || half == 0) return kNoErr;
    Paths raw;
    std::vector<std::vector<RealPoint>> pieces;
    if (dash && pts.size() > 1) {
      std::vector<RealPoint> line = pts;
      if (closed) line.push_back(pts.front());
      if (CutDashes(line, *dash, &pieces)) {
        for (std::vector<RealPoint>& piece : pieces) {
          RemoveRepeats(&piece, false);
          if (piece.size() == 1) raw.push_back(Dot(piece[0], half, cap));
          if (piece.size() > 1) raw.push_back(OpenOutline(piece, half, cap, join, miter_limit));
        }
        return UnionOf(raw, ClipperLib::pftPositive, outline);
      }
    }
    if (pts.size() == 1) {
      raw.push_back(Dot(pts[0], half, cap));
    } else if (closed) {
      // The band between the ring offset outward and inward: the ring and
      // its reverse each offset to their right wind oppositely, so the
      // positive rule keeps exactly the band.
      raw.push_back(RawRing(pts, half, join, miter_limit));
      std::vector<RealPoint> reversed(pts.rbegin(), pts.rend());
      raw.push_back(RawRing(reversed, half, join, miter_limit));
    } else {
      raw.push_back(OpenOutline(pts, half, cap, join, miter_limit));
    }
    return UnionOf(raw, ClipperLib::pftPositive, outline);
  });
}

HostErr OffsetSelection(Document& doc, double offset, int16_t join, double miter_limit) {
  if (!std::isfinite(offset) || std::fabs(offset) > kMaxCoordinate) return kErrBadParameter;
  if (join < kJoinMiter || join > kJoinBevel || std::isnan(miter_limit)) return kErrBadParameter;
  return Guard([&] {
    std::vector<Art*> roots = SelectionRoots(doc);
    if (roots.empty()) return kErrRefused;
    // Everything is computed before the document is touched, so an error
    // leaves it as it was.
    std::vector<Region> results(roots.size());
    for (size_t i = 0; i < roots.size(); ++i) {
      Region area;
      if (HostErr err = FilledRegion(*roots[i], &area)) return err;
      if (HostErr err = OffsetRegion(area, offset, join, miter_limit, &results[i])) return err;
    }
    for (size_t i = 0; i < roots.size(); ++i) {
      Art* made = nullptr;
      if (HostErr err =
              MakeArt(doc, results[i], ResultStyle(*roots[i]), kPlaceAbove, roots[i], &made)) {
        return err;
      }
      if (made) {
        made->name = roots[i]->name;
        made->tags = roots[i]->tags;
      }
      doc.Dispose(roots[i]);
      if (made) SelectDeep(doc, made, true);
    }
    return kNoErr;
  });
}

HostErr UniteSelection(Document& doc) {
  return Guard([&] {
    std::vector<Art*> roots = SelectionRoots(doc);
    if (roots.empty()) return kErrRefused;
    Paths all;
    for (Art* root : roots) {
      Region area;
      if (HostErr err = FilledRegion(*root, &area)) return err;
      Append(area, &all);
    }
    Region united;
    if (HostErr err = UnionOf(all, ClipperLib::pftNonZero, &united)) return err;
    if (united.rings.empty()) return kErrRefused;
    PathStyle style = ResultStyle(*roots[0]);

    if (roots.size() == 1 && roots[0]->type == kArtTypeGroup) {
      Art* group = roots[0];
      std::vector<Art*> old = Children(*group);
      Art* made = nullptr;
      if (HostErr err = MakeArt(doc, united, style, kPlaceInsideOnTop, group, &made)) return err;
      for (Art* child : old) doc.Dispose(child);
      group->clipped = false;
      SelectDeep(doc, group, true);
      return kNoErr;
    }
    Art* made = nullptr;
    if (HostErr err = MakeArt(doc, united, style, kPlaceAbove, roots[0], &made)) return err;
    made->name = roots[0]->name;
    made->tags = roots[0]->tags;
    for (Art* root : roots) doc.Dispose(root);
    SelectDeep(doc, made, true);
    return kNoErr;
  });
}

HostErr ConvertArtToOutline(Document& doc, Art* art, int32_t options) {
  if (!art) return kErrBadParameter;
  if (options != kConvertOptionsOutline) return kErrBadParameter;
  return Guard([&] {
    switch (art->type) {
      case kArtTypeGroup: {
        HostErr result = kNoErr;
        for (Art* child : Children(*art)) {
          if (HostErr err = ConvertArtToOutline(doc, child, options)) result = err;
        }
        return result;
      }
      case kArtTypePath:
        if (art->parent && art->parent->type == kArtTypeCompoundPath) return kErrRefused;
        return OutlineOne(doc, art);
      case kArtTypeCompoundPath:
        return OutlineOne(doc, art);
      default:
        return kNoErr;
    }
  });
}

}  // namespace host
