// The nesting search: a greedy first-fit raster fill, sheet by sheet.
//
// Every placement must equal, bit for bit, the one that the step-by-step
// formulation gives (the tests keep that formulation as an oracle). The
// speed-ups below therefore only skip work whose outcome is already known,
// and every floating-point value that reaches a comparison is computed with
// the same operations in the same order as the step-by-step version:
//  - A placed part never moves, so its outlines are mapped once when it is
//    placed and kept with their edge boxes for the rest of the sheet.
//  - A candidate collides when one test of one placed part says so; the
//    answer is an "or" over placed parts and tests, so their order is free.
//  - Every box test is RectOverlap, a conjunction of a horizontal and a
//    vertical condition. All candidates of a row share their top and bottom,
//    so the placed parts that fail the vertical condition for the row are
//    dropped once per row.
//  - The candidate's matrix differs from one candidate to the next only by
//    its final move, which MatrixConcatTranslate computes from the same
//    operands; the linear part a x + c y of every point is therefore the
//    same for all candidates of a trial and is computed once. Mapping adds
//    the move to it, exactly as MatrixXformPoint's a x + c y + tx does.
//  - Edge pairs that cannot meet are skipped (see outline_index.cpp).
//  - A trial stops at the first row that cannot beat or tie the best position
//    another trial of the same part has already found (see FindOnSheet).
//  - Trials run on a few workers that take trial indices in turn; a trial's
//    result depends only on its own inputs, so which worker runs it and
//    when does not matter, and the choice waits for all of them.
#include "engine/search.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "engine/outline_index.h"
#include "engine/sheets.h"
#include "plugin/globals.h"

const RotationStep kRotationTable[kRotationModeCount] = {
    {2, 180, "180\u00b0 (2)"}, {4, 90, "90\u00b0 (4)"},   {8, 45, "45\u00b0 (8)"},
    {12, 30, "30\u00b0 (12)"}, {24, 15, "15\u00b0 (24)"}, {36, 10, "10\u00b0 (36)"},
};

const RotationStep& RotationStepFor(int anytime_rotation_mode) {
  return kRotationTable[std::clamp(anytime_rotation_mode, 0, kRotationModeCount - 1)];
}

SearchSettings SearchSettingsFrom(const PluginGlobals& g) {
  SearchSettings s;
  s.collection_margin = g.cur_param.collection_margin;
  s.plate_width = g.plate_width;
  s.plate_height = g.plate_height;
  s.enable_anytime_rotation = g.enable_anytime_rotation;
  s.anytime_rotation_mode = g.anytime_rotation_mode;
  s.enable_multithread = g.enable_multithread;
  return s;
}

int32_t LargestOutline(const NestPart* parts, int32_t part_count) {
  int32_t p = 0;
  for (int32_t i = 0; parts && i < part_count; ++i) {
    p = std::max(p, std::max(parts[i].point_count, parts[i].coarse_count));
  }
  return p;
}

namespace {

bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

bool HasCoarse(const NestPart& p) {
  return p.coarse_points && p.coarse_count > 0;
}

// The vertical half of RectOverlap.
inline bool VerticalOverlap(const RealRect& a, const RealRect& b) {
  return std::min(a.top, b.top) > std::max(a.bottom, b.bottom);
}

// The hot loops test boxes for every candidate position; these are
// RectInset and RectOverlap written out here, term for term, so that they
// can be inlined (the differential tests hold them to the kernel's).
inline void Inset(RealRect* r, double h, double v) {
  r->left += h;
  r->right -= h;
  r->top -= v;
  r->bottom += v;
}

inline bool Overlap(const RealRect& r1, const RealRect& r2) {
  return std::min(r1.right, r2.right) > std::max(r1.left, r2.left) &&
         std::min(r1.top, r2.top) > std::max(r1.bottom, r2.bottom);
}

inline RealRect Grown(RealRect r, double m) {
  Inset(&r, -m / 2, -m / 2);
  return r;
}

// Same centre, half the width and half the height.
inline RealRect CentralHalf(RealRect r) {
  Inset(&r, RectWidth(r) / 4, RectHeight(r) / 4);
  return r;
}

// The box test of nesting type 0: the placed box widened by the spacing to
// the left and downward, shrunk by one point on every side.
RealRect WidenedBox(const RealRect& b, double m) {
  RealRect q{b.left - m, b.top, b.right, b.bottom - m};
  RectInset(&q, 1, 1);
  return q;
}

// An outline with its own storage.
struct OwnedOutline {
  OwnedOutline() = default;
  // The view points into the vectors: moving keeps their storage, copying
  // would not.
  OwnedOutline(const OwnedOutline&) = delete;
  OwnedOutline& operator=(const OwnedOutline&) = delete;
  OwnedOutline(OwnedOutline&&) noexcept = default;
  OwnedOutline& operator=(OwnedOutline&&) noexcept = default;

  std::vector<RealPoint> points;
  std::vector<RealRect> edges;
  OutlineView view;
  SlabIndex slabs;

  void Map(const RealMatrix& m, const RealPoint* source, int32_t count) {
    points.resize(static_cast<size_t>(std::max(count, 0)));
    for (int32_t i = 0; i < count; ++i) points[i] = MatrixXformPoint(&m, source[i]);
    const int32_t n = CountWithoutClosingPoint(points.data(), count);
    edges.resize(static_cast<size_t>(n));
    view.points = points.data();
    view.edges = edges.data();
    view.count = n;
    BuildEdgeBoxes(points.data(), n, edges.data(), &view.bounds);
    BuildSlabs(view, &slabs);
  }
};

// A part placed on the current sheet, with everything the tests read.
struct PlacedShape {
  RealRect grown;    // the PlacedBox grown by m/2: outline test prefilter
  RealRect central;  // central half of the PlacedBox
  RealRect widened;  // box test of nesting type 0
  bool has_part = false;
  bool has_coarse = false;
  RealRect mapped_grown{0, 0, 0, 0};  // box of the mapped bounds, grown by m/2
  OwnedOutline coarse;
  OwnedOutline fine;
};

PlacedShape ShapeOfPlaced(const RealRect& box, const NestPart* placed_part, double m,
                          bool with_outlines) {
  PlacedShape s;
  s.grown = Grown(box, m);
  s.central = CentralHalf(box);
  s.widened = WidenedBox(box, m);
  s.has_part = placed_part != nullptr;
  if (!s.has_part || !with_outlines) return s;
  const NestPart& part = *placed_part;
  const RealMatrix mp = PartMatrix(part, part.rotation, part.center_x, part.center_y);
  s.mapped_grown = Grown(MappedBox(mp, part.bounds), m);
  s.has_coarse = HasCoarse(part);
  if (s.has_coarse) s.coarse.Map(mp, part.coarse_points, part.coarse_count);
  s.fine.Map(mp, part.points, part.points ? part.point_count : 0);
  return s;
}

}  // namespace

// Per-worker memory, sized once per search so that trials allocate nothing.
struct TrialScratch {
  std::vector<RealPoint> fine_linear, coarse_linear;  // a x + c y, b x + d y
  std::vector<RealPoint> fine_points, coarse_points;  // mapped candidate
  std::vector<RealRect> fine_edges, coarse_edges;
  std::vector<RealRect> fine_edges_linear, coarse_edges_linear;  // edge boxes of the linear parts
  SlabIndex fine_slabs_linear, coarse_slabs_linear;              // slabs of those edges
  std::vector<int32_t> rows;  // placed parts that meet the current row

  void Reserve(int32_t outline, int32_t placed) {
    const size_t n = static_cast<size_t>(outline) + kBufferRoom;
    for (auto* v : {&fine_linear, &coarse_linear, &fine_points, &coarse_points}) v->resize(n);
    for (auto* v : {&fine_edges, &coarse_edges, &fine_edges_linear, &coarse_edges_linear}) {
      v->resize(n);
    }
    rows.resize(static_cast<size_t>(std::max(placed, 1)));
  }
};

namespace {

// The candidate part of one trial: its outlines' linear parts, mapped anew
// for each candidate position only when a placed part is near.
class Candidate {
 public:
  Candidate(const NestPart& part, int rotation, TrialScratch* scratch)
      : part_(part), scratch_(scratch) {
    // PartMatrix up to its final move.
    const RealPoint centre = RectCenter(part.bounds);
    MatrixSetTranslate(&pre_, -centre.x, -centre.y);
    if (rotation != 0) MatrixConcatRotate(&pre_, DegreesToRadians(rotation));
    // The final move leaves a, b, c and d as they are for every position,
    // and its tx is (pre.tx 1 + pre.ty 0) + cx, whose first part does not
    // depend on the position (MatrixConcat's order of terms).
    RealMatrix any = pre_;
    MatrixConcatTranslate(&any, 0, 0);
    move_x_ = pre_.tx * 1 + pre_.ty * 0;
    move_y_ = pre_.tx * 0 + pre_.ty * 1;
    const RealRect& b = part.bounds;
    const RealPoint corners[4] = {
        {b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}};
    for (int i = 0; i < 4; ++i) {
      corner_linear_[i] = RealPoint{any.a * corners[i].x + any.c * corners[i].y,
                                    any.b * corners[i].x + any.d * corners[i].y};
    }
    has_coarse_ = HasCoarse(part);
    if (has_coarse_) {
      Linear(any, part.coarse_points, part.coarse_count, &scratch->coarse_linear);
      coarse_shift_ =
          ShiftedEdges(scratch->coarse_linear, part.coarse_count, &scratch->coarse_edges_linear,
                       &coarse_linear_bounds_, &scratch->coarse_slabs_linear);
    }
    fine_count_ = part.points ? std::max(part.point_count, 0) : 0;
    Linear(any, part.points, fine_count_, &scratch->fine_linear);
    fine_shift_ = ShiftedEdges(scratch->fine_linear, fine_count_, &scratch->fine_edges_linear,
                               &fine_linear_bounds_, &scratch->fine_slabs_linear);
  }

  bool has_coarse() const { return has_coarse_; }

  // Moves the candidate so that the centre of its bounds lies at (cx, cy).
  // The mapped box of the bounds is MappedBox's, corner by corner; grown
  // as RectInset grows it.
  void MoveTo(double cx, double cy, double m) {
    tx_ = move_x_ + cx;
    ty_ = move_y_ + cy;
    RealRect r{corner_linear_[0].x + tx_, corner_linear_[0].y + ty_, corner_linear_[0].x + tx_,
               corner_linear_[0].y + ty_};
    for (int i = 1; i < 4; ++i) {
      const double qx = corner_linear_[i].x + tx_;
      const double qy = corner_linear_[i].y + ty_;
      r.left = std::min(r.left, qx);
      r.top = std::max(r.top, qy);
      r.right = std::max(r.right, qx);
      r.bottom = std::min(r.bottom, qy);
    }
    const double g = -m / 2;
    r.left += g;
    r.right -= g;
    r.top -= g;
    r.bottom += g;
    mapped_grown_ = r;
    coarse_ready_ = fine_ready_ = false;
  }

  // The first mapped point of each outline, without mapping the rest.
  RealPoint FirstCoarse() const {
    return RealPoint{scratch_->coarse_linear[0].x + tx_, scratch_->coarse_linear[0].y + ty_};
  }
  RealPoint FirstFine() const {
    return RealPoint{scratch_->fine_linear[0].x + tx_, scratch_->fine_linear[0].y + ty_};
  }
  // FirstFine after MoveTo(cx, cy), with the same operations, without moving.
  RealPoint FirstFineAt(double cx, double cy) const {
    return RealPoint{scratch_->fine_linear[0].x + (move_x_ + cx),
                     scratch_->fine_linear[0].y + (move_y_ + cy)};
  }
  int32_t coarse_count() const { return has_coarse_ ? part_.coarse_count : 0; }
  NearHint coarse_hint, fine_hint;  // the edge pairs that answered last
  int32_t fine_count() const { return fine_count_; }

  const RealRect& mapped_grown() const { return mapped_grown_; }

  const OutlineView& coarse() {
    if (!coarse_ready_) {
      Place(scratch_->coarse_linear, part_.coarse_count, &scratch_->coarse_points,
            &scratch_->coarse_edges, coarse_shift_, scratch_->coarse_edges_linear,
            coarse_linear_bounds_, &coarse_);
      coarse_ready_ = true;
    }
    return coarse_;
  }

  // The outlines at the current position without mapping them, when their
  // edges are the linear ones moved (the values coarse() and fine() give).
  bool MovedCoarse(MovedOutline* out) const {
    return has_coarse_ &&
           Moved(coarse_shift_, scratch_->coarse_linear, scratch_->coarse_edges_linear,
                 coarse_linear_bounds_, scratch_->coarse_slabs_linear, out);
  }
  bool MovedFine(MovedOutline* out) const {
    return Moved(fine_shift_, scratch_->fine_linear, scratch_->fine_edges_linear,
                 fine_linear_bounds_, scratch_->fine_slabs_linear, out);
  }

  const OutlineView& fine() {
    if (!fine_ready_) {
      Place(scratch_->fine_linear, fine_count_, &scratch_->fine_points, &scratch_->fine_edges,
            fine_shift_, scratch_->fine_edges_linear, fine_linear_bounds_, &fine_);
      fine_ready_ = true;
    }
    return fine_;
  }

 private:
  static void Linear(const RealMatrix& m, const RealPoint* source, int32_t count,
                     std::vector<RealPoint>* out) {
    for (int32_t i = 0; i < count; ++i) {
      (*out)[i] =
          RealPoint{m.a * source[i].x + m.c * source[i].y, m.b * source[i].x + m.d * source[i].y};
    }
  }

  // When an outline's last linear point equals its first, its mapped last
  // and first points are the same sums and lie 0 apart: the closing point is
  // dropped at every position, so the count of edges is known per trial.
  // Its edge boxes are then those of the linear points, moved: rounding to
  // nearest is monotone, so for finite a, b and t, min(a + t, b + t) and
  // max(a + t, b + t) as computed equal min(a, b) + t and max(a, b) + t as
  // computed, and the same holds for the bounds, a min and max over edges.
  // Returns the count of edges, or -1 when the outline must be boxed at
  // each position.
  static int32_t ShiftedEdges(const std::vector<RealPoint>& linear, int32_t count,
                              std::vector<RealRect>* edges, RealRect* bounds, SlabIndex* slabs) {
    if (count < 3 || !(linear[count - 1].x == linear[0].x && linear[count - 1].y == linear[0].y)) {
      return -1;
    }
    for (int32_t i = 0; i < count; ++i) {
      if (!std::isfinite(linear[i].x) || !std::isfinite(linear[i].y)) return -1;
    }
    const int32_t n = count - 1;
    BuildEdgeBoxes(linear.data(), n, edges->data(), bounds);
    BuildSlabs(OutlineView{linear.data(), edges->data(), n, *bounds}, slabs);
    return n;
  }

  bool Moved(int32_t shift_count, const std::vector<RealPoint>& linear,
             const std::vector<RealRect>& linear_edges, const RealRect& linear_bounds,
             const SlabIndex& slabs, MovedOutline* out) const {
    if (shift_count <= 0 || !std::isfinite(tx_) || !std::isfinite(ty_)) return false;
    out->linear = linear.data();
    out->linear_edges = linear_edges.data();
    out->slabs = &slabs;
    out->count = shift_count;
    out->bounds = RealRect{linear_bounds.left + tx_, linear_bounds.top + ty_,
                           linear_bounds.right + tx_, linear_bounds.bottom + ty_};
    out->tx = tx_;
    out->ty = ty_;
    return true;
  }

  void Place(const std::vector<RealPoint>& linear, int32_t count, std::vector<RealPoint>* points,
             std::vector<RealRect>* edges, int32_t shift_count,
             const std::vector<RealRect>& linear_edges, const RealRect& linear_bounds,
             OutlineView* view) const {
    RealPoint* p = points->data();
    for (int32_t i = 0; i < count; ++i) {
      p[i] = RealPoint{linear[i].x + tx_, linear[i].y + ty_};
    }
    int32_t n = 0;
    if (shift_count > 0 && std::isfinite(tx_) && std::isfinite(ty_)) {
      n = shift_count;
      RealRect* out = edges->data();
      for (int32_t i = 0; i < n; ++i) {
        const RealRect& l = linear_edges[i];
        out[i] = RealRect{l.left + tx_, l.top + ty_, l.right + tx_, l.bottom + ty_};
      }
      view->bounds = RealRect{linear_bounds.left + tx_, linear_bounds.top + ty_,
                              linear_bounds.right + tx_, linear_bounds.bottom + ty_};
    } else {
      n = CountWithoutClosingPoint(p, count);
      BuildEdgeBoxes(p, n, edges->data(), &view->bounds);
    }
    view->points = p;
    view->edges = edges->data();
    view->count = n;
  }

  const NestPart& part_;
  TrialScratch* scratch_;
  RealMatrix pre_{};
  double move_x_ = 0, move_y_ = 0;  // the constant part of the final move
  double tx_ = 0, ty_ = 0;          // the move of the current position
  RealPoint corner_linear_[4]{};
  RealRect mapped_grown_{0, 0, 0, 0};
  bool has_coarse_ = false;
  int32_t fine_count_ = 0;
  int32_t coarse_shift_ = -1, fine_shift_ = -1;  // ShiftedEdges' counts
  RealRect coarse_linear_bounds_{0, 0, 0, 0}, fine_linear_bounds_{0, 0, 0, 0};
  bool coarse_ready_ = false;
  bool fine_ready_ = false;
  OutlineView coarse_, fine_;
};

// PointInPolygon with tolerance 0 counts an edge only when min(x) < p.x <=
// max(x), and a crossing only when p.y lies between 0 and the edge's height
// at p.x. A point left or right of the polygon's box, or beyond it on the
// side away from the x axis, therefore crosses nothing and is outside; the
// slack covers the rounding of the interpolated height.
bool SurelyOutside(const RealRect& b, RealPoint p) {
  const double slack = 1e-9 + 1e-12 * std::max(std::fabs(b.top), std::fabs(b.bottom));
  return p.x <= b.left || p.x > b.right ||
         (p.y >= 0 ? p.y > b.top + slack : p.y < b.bottom - slack);
}

bool Inside(const OutlineView& v, RealPoint p, const SlabIndex* slabs = nullptr) {
  return !SurelyOutside(v.bounds, p) && InsideOutline(v, slabs, p);
}

// PartsCollide for a placed part kept mapped and the candidate at its
// current position.
bool ShapesCollide(const PlacedShape& p, Candidate* c, double m) {
  if (!Overlap(p.mapped_grown, c->mapped_grown())) return false;
  if (p.has_coarse && c->has_coarse()) {
    const OutlineView& pc = p.coarse.view;
    if (pc.count > 0 && c->coarse_count() > 0) {
      if (Inside(pc, c->FirstCoarse(), &p.coarse.slabs)) return true;
      MovedOutline moved;
      if (c->MovedCoarse(&moved)) {
        if (OutlinesNearMoved(pc, &p.coarse.slabs, moved, m, &c->coarse_hint)) return true;
      } else {
        const OutlineView& cc = c->coarse();
        if (cc.count > 0 && OutlinesNear(pc, cc, m, &c->coarse_hint, &p.coarse.slabs)) return true;
      }
    }
  }
  const OutlineView& pf = p.fine.view;
  if (pf.count <= 0 || c->fine_count() <= 0) return false;
  if (Inside(pf, c->FirstFine(), &p.fine.slabs)) return true;
  MovedOutline moved;
  if (c->MovedFine(&moved)) {
    // The same tests as below without mapping the candidate, unless the
    // placed part's first point lies within its box.
    if (OutlinesNearMoved(pf, &p.fine.slabs, moved, m, &c->fine_hint)) return true;
    if (SurelyOutside(moved.bounds, pf.points[0])) return false;
    return InsideOutline(c->fine(), nullptr, pf.points[0]);
  }
  const OutlineView& cf = c->fine();
  if (cf.count <= 0) return false;
  if (OutlinesNear(pf, cf, m, &c->fine_hint, &p.fine.slabs)) return true;
  // The reverse containment: a candidate that wholly encloses a smaller
  // placed part meets none of its edges and its first point lies outside
  // the placed part. Only such a candidate is caught here, since a placed
  // part with one point inside the candidate and no crossing edge lies
  // wholly inside it.
  return Inside(cf, pf.points[0]);
}

// The trial keys: the lower quarter line of the box and its centre, at 0.1
// point resolution, truncated toward zero.
struct TrialKeys {
  double key1;
  double key2;
};
TrialKeys KeysOf(const RealRect& b) {
  return TrialKeys{std::trunc(10 * ((b.left + b.right) / 2)),
                   std::trunc(10 * ((b.top + b.bottom) / 2 - (b.top - b.bottom) / 4))};
}

// Everything FindPosition reads about the sheet: its placed boxes and their
// shapes (same index).
struct SheetView {
  const PlacedBox* placed;
  const PlacedShape* shapes;
  int32_t count;
  const InteriorGrid* interior = nullptr;  // cells inside the shapes' fine outlines
};

// Side of the interior grid's cells, points: small against the parts and the
// scan's steps, large enough that a sheet needs only about a million cells.
constexpr double kInteriorCell = 2.5;

// The highest lower quarter line that a trial of the current part has
// found so far, shared by the part's trials (-infinity until one finds a
// position). A trial reads it only to stop early, so which trial publishes
// first never changes the choice; see FindOnSheet.
using TrialBound = std::atomic<double>;

// Publishes a found position's key to the part's other trials.
void Publish(TrialBound* bound, const RealRect& box) {
  const double key = KeysOf(box).key2;
  double seen = bound->load(std::memory_order_relaxed);
  while (key > seen && !bound->compare_exchange_weak(seen, key, std::memory_order_relaxed)) {
  }
}

// What the trials of earlier copies of a shape, in one turn, proved on the
// current sheet. Collision only gains placed parts while a sheet fills, and
// every copy of a shape in one turn tests the same candidates in the same
// order, so a position that collided for one copy collides for every later
// copy: a later copy's scan may begin where the last one stopped proving.
struct ScanRecord {
  bool exhausted = false;  // a whole scan found no position: none will
  bool resume = false;     // positions before (y, x) in scan order collide
  double y = 0;            // a row's top, and the left (or right) edge of
  double x = 0;            // its first candidate not known to collide
};

int16_t FindOnSheet(const RealRect& area, const SheetView& sheet, int16_t direction,
                    int16_t nesting_type, int16_t outline_mode, PlacedBox* state,
                    TrialScratch* scratch, const SearchEnv& env, TrialBound* bound = nullptr,
                    ScanRecord* record = nullptr) {
  const RealRect extent = RotatedExtent(state->box, state->rotation);
  const double w = RectWidth(extent);
  const double h = RectHeight(extent);
  double s = outline_mode != 0 ? 15 : 5;
  const bool right_to_left = direction != 0;
  const RealRect& e = area;
  if (sheet.count == 0) {
    state->box = right_to_left ? RealRect{e.right - w, e.top, e.right, e.top - h}
                               : RealRect{e.left, e.top, e.left + w, e.top - h};
    return 1;
  }
  const double m = env.m;
  // Rows that cannot win. ChooseTrial takes the trial with the highest
  // lower quarter line key2 = trunc(10 (top - 3 h / 4)), computed from the
  // found box. Without refinement (spacing of 1.5 points or more) a trial's
  // found box has the top of the row where it was found, and rows are
  // scanned downward, so every row before it has a top at least as high;
  // the computed key of a higher row is below the found key by at most the
  // rounding of the sums (far under 0.1 point) plus trunc's one unit on
  // each side, so by at most 2. The bound only ever holds the key of a
  // position some trial found, never more than the winner's key. So a trial
  // that stops at a row whose key is more than 2 below the bound could only
  // have found a lower key: it is not the winner, nor tied with it, and
  // ChooseTrial picks the same trial as when every trial scans to its end.
  if (m < 1.5) bound = nullptr;
  const bool box_test = !(nesting_type != 0 && env.enable_anytime_rotation != 0);
  const bool outline_test = nesting_type != 0 && state->part != nullptr;
  // Built only when outlines are compared; it lives in this trial's scratch.
  std::optional<Candidate> cand;
  if (outline_test) cand.emplace(*state->part, state->rotation, scratch);

  // The candidates' rows and columns come from repeated sums from the
  // area's corner, so a scan that resumes at a recorded row top and edge
  // goes on through the very same values as a scan from the corner.
  if (record && record->exhausted) return 0;
  double y = e.top;
  double row_start = right_to_left ? e.right : e.left;
  double x_first = row_start;
  if (record && record->resume) {
    y = record->y;
    x_first = record->x;
  }
  int refinements = 0;
  int32_t* rows = scratch->rows.data();
  while (y >= e.bottom + h) {
    if (bound) {
      const double key = std::trunc(10 * ((y + (y - h)) / 2 - (y - (y - h)) / 4));
      if (key < bound->load(std::memory_order_relaxed) - 2) {
        // Every row above this one was scanned to its end.
        if (record) *record = ScanRecord{false, true, y, row_start};
        return 0;
      }
    }
    // The placed parts that can meet some candidate of this row.
    const RealRect probe{row_start, y, row_start + w, y - h};
    const RealRect probe_grown = Grown(probe, m);
    const RealRect probe_central = CentralHalf(probe);
    int32_t row_count = 0;
    for (int32_t i = 0; i < sheet.count; ++i) {
      const PlacedShape& p = sheet.shapes[i];
      bool near = false;
      if (box_test) {
        near = nesting_type == 0 ? VerticalOverlap(p.widened, probe)
                                 : VerticalOverlap(p.central, probe_central);
      }
      if (!near && outline_test && p.has_part) near = VerticalOverlap(p.grown, probe_grown);
      if (near) rows[row_count++] = i;
    }
    int32_t hint = 0;  // the placed part that stopped the last candidate
    bool restart = false;
    double x = x_first;
    x_first = row_start;
    while (right_to_left ? !(x < e.left + w) : !(x > e.right - w)) {
      const RealRect box =
          right_to_left ? RealRect{x - w, y, x, y - h} : RealRect{x, y, x + w, y - h};
      bool collides = false;
      bool moved = false;
      RealRect grown{0, 0, 0, 0};
      RealRect central{0, 0, 0, 0};
      if (outline_test) grown = Grown(box, m);
      if (box_test && nesting_type != 0) central = CentralHalf(box);
      // A candidate whose first fine point falls in a cell wholly inside a
      // placed part's fine outline, or in a cell that one of its edges finds
      // closer than m throughout, collides with that part: the part's box
      // tests below pass (checked here), and ShapesCollide returns true at
      // the latest when it finds that point inside the fine outline or that
      // pair of edges near, which the grid guarantees. Collision is an "or"
      // over the placed parts, so the others need no test.
      if (sheet.interior && outline_test && cand->fine_count() > 0) {
        const RealPoint c = RectCenter(box);
        const int32_t q = sheet.interior->At(cand->FirstFineAt(c.x, c.y));
        if (q >= 0 && q < sheet.count) {
          const PlacedShape& p = sheet.shapes[q];
          if (p.has_part && Overlap(p.grown, grown)) {
            cand->MoveTo(c.x, c.y, m);
            moved = true;
            collides = Overlap(p.mapped_grown, cand->mapped_grown());
          }
        }
      }
      for (int32_t r = 0; r < row_count && !collides; ++r) {
        const int32_t slot = r == 0 ? hint : (r == hint ? 0 : r);
        const PlacedShape& p = sheet.shapes[rows[slot]];
        if (box_test) {
          collides = nesting_type == 0 ? Overlap(p.widened, box) : Overlap(p.central, central);
        }
        if (!collides && outline_test && p.has_part && Overlap(p.grown, grown)) {
          if (!moved) {
            const RealPoint c = RectCenter(box);
            cand->MoveTo(c.x, c.y, m);
            moved = true;
          }
          collides = ShapesCollide(p, &*cand, m);
          if (Cancelled(env.cancel)) return 0;
        }
        if (collides) hint = slot;
      }
      if (!collides) {
        // The first free candidate of the whole-step scan: everything before
        // it collided (refinement then looks between steps, near it).
        if (record && refinements == 0) *record = ScanRecord{false, true, y, x};
        if (m < 1.5 && refinements < 6) {
          y = std::min(e.top, y + s);
          row_start = right_to_left ? std::min(e.right, x + s) : std::max(e.left, x - s);
          s = s / 2;
          refinements += 1;
          restart = true;
          break;
        }
        state->box = box;
        if (bound) Publish(bound, box);
        return 1;
      }
      if (right_to_left) {
        x -= s;
      } else {
        x += s;
      }
    }
    if (!restart) y -= s;
  }
  // A whole-step scan that ran out of rows: no position now, nor later on
  // this sheet. After a refinement the whole-step position stays recorded.
  if (record && refinements == 0) *record = ScanRecord{true, false, 0, 0};
  return 0;
}

// The placed list of the current sheet and its shapes.
struct SheetState {
  std::vector<PlacedBox> placed;
  std::vector<PlacedShape> shapes;
  InteriorGrid interior;
  SheetView View() const {
    return SheetView{placed.data(), shapes.data(), static_cast<int32_t>(placed.size()), &interior};
  }
};

// PartDistance on the caller's scratch.
double DistanceWith(const NestPart& a, const NestPart& b, int across, TrialScratch* scratch) {
  const RealMatrix ma = PartMatrix(a, a.rotation, a.center_x, a.center_y);
  const RealMatrix mb = PartMatrix(b, b.rotation, b.center_x, b.center_y);
  const RealRect ba = MappedBox(ma, a.bounds);
  RealRect bb = MappedBox(mb, b.bounds);
  if (across == 0) {
    bb.top = ba.top;
    bb.bottom = ba.bottom;
  } else {
    bb.left = ba.left;
    bb.right = ba.right;
  }
  RectInset(&bb, 1, 1);
  if (!RectOverlap(&ba, &bb)) return kNothingFaces;
  const int32_t na = a.points ? std::max(a.point_count, 0) : 0;
  const int32_t nb = b.points ? std::max(b.point_count, 0) : 0;
  RealPoint* pa = scratch->fine_points.data();
  RealPoint* pb = scratch->coarse_points.data();
  for (int32_t i = 0; i < na; ++i) pa[i] = MatrixXformPoint(&ma, a.points[i]);
  for (int32_t i = 0; i < nb; ++i) pb[i] = MatrixXformPoint(&mb, b.points[i]);
  OutlineView va, vb;
  va.points = pa;
  va.count = CountWithoutClosingPoint(pa, na);
  va.edges = scratch->fine_edges.data();
  BuildEdgeBoxes(pa, va.count, scratch->fine_edges.data(), &va.bounds);
  vb.points = pb;
  vb.count = CountWithoutClosingPoint(pb, nb);
  vb.edges = scratch->coarse_edges.data();
  BuildEdgeBoxes(pb, vb.count, scratch->coarse_edges.data(), &vb.bounds);
  return OutlineDistance(va, vb);
}

// Moves a part placed with nesting type 0 toward its neighbours: four
// rounds of a step up and a step against the fill direction, each by half
// the free distance beyond the spacing.
void Settle(const NestJob& job, int32_t j, const RealRect& e, double m, TrialScratch* scratch) {
  NestPart& p = job.parts[j];
  for (int round = 0; round < 4; ++round) {
    double d = kNothingFaces;
    for (int32_t q = 0; q < j; ++q) d = std::min(d, DistanceWith(job.parts[q], p, 0, scratch));
    if (d > m) {
      p.center_y += (d - m) / 2;
      const double top = e.top - RectHeight(p.bounds) / 2;
      if (p.center_y > top) p.center_y = top;
    }
    d = kNothingFaces;
    for (int32_t q = 0; q < j; ++q) d = std::min(d, DistanceWith(job.parts[q], p, 1, scratch));
    if (d > m) {
      if (job.direction == 0) {
        p.center_x -= (d - m) / 2;
        const double left = e.left + RectWidth(p.bounds) / 2;
        if (p.center_x < left) p.center_x = left;
      } else {
        p.center_x += (d - m) / 2;
        const double right = e.right - RectWidth(p.bounds) / 2;
        if (p.center_x > right) p.center_x = right;
      }
    }
  }
}

// The trial that wins: highest lower quarter line, then furthest toward the
// start of the fill direction; the first one on a full tie. -1 if none.
int ChooseTrial(const OrientationTrial* trials, int count, int16_t direction) {
  int best = -1;
  TrialKeys best_keys{0, 0};
  for (int k = 0; k < count; ++k) {
    if (!trials[k].found) continue;
    const TrialKeys keys = KeysOf(trials[k].state.box);
    const bool better =
        best < 0 || keys.key2 > best_keys.key2 ||
        (keys.key2 == best_keys.key2 &&
         (direction != 0 ? keys.key1 > best_keys.key1 : keys.key1 < best_keys.key1));
    if (better) {
      best = k;
      best_keys = keys;
    }
  }
  return best;
}

// Runs every trial; with workers, they take trial indices in turn, and all
// have finished when this returns.
void RunTrials(OrientationTrial* trials, int count, const SheetView& sheet,
               std::vector<TrialScratch>* scratch, int workers, const SearchEnv& env,
               ScanRecord* records) {
  std::atomic<int> next{0};
  TrialBound bound{-std::numeric_limits<double>::infinity()};
  auto work = [&](int w) {
    for (int k = next.fetch_add(1, std::memory_order_relaxed); k < count;
         k = next.fetch_add(1, std::memory_order_relaxed)) {
      OrientationTrial& t = trials[k];
      t.found = FindOnSheet(t.area, sheet, t.direction, t.nesting_type, t.outline_mode, &t.state,
                            &(*scratch)[w], env, &bound, records ? &records[k] : nullptr);
    }
  };
  std::vector<std::thread> threads;
  const int extra = std::min(workers, count) - 1;
  try {
    threads.reserve(static_cast<size_t>(std::max(extra, 0)));
    for (int w = 1; w <= extra; ++w) threads.emplace_back(work, w);
  } catch (...) {
    // Fewer workers than planned: this thread takes the remaining trials.
  }
  work(0);
  for (std::thread& t : threads) t.join();
}

// Whether the search can tell two parts apart: their trials read only the
// bounds and the outlines, so parts equal in those, bit for bit, test the
// same candidates with the same answers.
bool SameShape(const NestPart& a, const NestPart& b) {
  auto same_points = [](const RealPoint* p, const RealPoint* q, int32_t n) {
    if (!p || !q) return p == q;
    return n <= 0 || std::memcmp(p, q, sizeof(RealPoint) * static_cast<size_t>(n)) == 0;
  };
  return std::memcmp(&a.bounds, &b.bounds, sizeof a.bounds) == 0 &&
         a.point_count == b.point_count && a.coarse_count == b.coarse_count &&
         same_points(a.points, b.points, a.point_count) &&
         same_points(a.coarse_points, b.coarse_points, a.coarse_count);
}

// A number per part, equal for parts of the same shape (the copies of one
// design), and the count of numbers; -1 for a part whose shape no other
// part has, which needs no record.
std::vector<int32_t> ShapeClasses(const NestJob& job, int32_t* count) {
  std::vector<int32_t> out(static_cast<size_t>(job.part_count), 0);
  std::vector<int32_t> firsts;  // a part of each class
  std::unordered_map<uint64_t, std::vector<int32_t>> by_hash;
  for (int32_t j = 0; j < job.part_count; ++j) {
    const NestPart& p = job.parts[j];
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void* data, size_t size) {
      const unsigned char* bytes = static_cast<const unsigned char*>(data);
      for (size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
    };
    mix(&p.bounds, sizeof p.bounds);
    mix(&p.point_count, sizeof p.point_count);
    if (p.points && p.point_count > 0) mix(p.points, sizeof(RealPoint));
    std::vector<int32_t>& same = by_hash[h];
    int32_t found = -1;
    for (int32_t c : same) {
      if (SameShape(job.parts[firsts[static_cast<size_t>(c)]], p)) {
        found = c;
        break;
      }
    }
    if (found < 0) {
      found = static_cast<int32_t>(firsts.size());
      firsts.push_back(j);
      same.push_back(found);
    }
    out[static_cast<size_t>(j)] = found;
  }
  std::vector<int32_t> members(firsts.size(), 0), dense(firsts.size(), -1);
  for (int32_t c : out) ++members[static_cast<size_t>(c)];
  *count = 0;
  for (int32_t& c : out) {
    if (members[static_cast<size_t>(c)] < 2) {
      c = -1;
      continue;
    }
    int32_t& d = dense[static_cast<size_t>(c)];
    if (d < 0) d = (*count)++;
    c = d;
  }
  return out;
}

void Search(const NestJob& job, const SearchSettings& settings, SearchCounters* counters,
            const std::atomic<bool>* cancel) {
  if (!job.parts || job.part_count <= 0) return;
  const double m = settings.collection_margin * PointsPerMm;
  const SearchEnv env{m, settings.enable_anytime_rotation, cancel};
  const RotationStep& step = RotationStepFor(settings.anytime_rotation_mode);
  const bool threaded = settings.enable_multithread != 0;
  int workers = 1;
  if (threaded) {
    const int cores = settings.trial_workers > 0
                          ? settings.trial_workers
                          : static_cast<int>(std::thread::hardware_concurrency());
    workers = std::clamp(cores > 0 ? cores : 1, 1, static_cast<int>(step.trials));
  }
  const bool outlines = job.nesting_type != 0;

  SheetState sheet;
  sheet.placed.reserve(static_cast<size_t>(job.part_count));
  sheet.shapes.reserve(static_cast<size_t>(job.part_count));
  std::vector<TrialScratch> scratch(static_cast<size_t>(workers));
  const int32_t outline = LargestOutline(job.parts, job.part_count);
  for (TrialScratch& s : scratch) s.Reserve(outline, job.part_count);
  OrientationTrial trials[kMaxRotationTrials];
  int32_t classes = 0;
  const std::vector<int32_t> shape_class = ShapeClasses(job, &classes);
  // Per shape that several parts share and per trial turn, what the
  // current sheet's scans proved.
  std::vector<ScanRecord> records(static_cast<size_t>(classes) * static_cast<size_t>(step.trials));

  RealRect area = job.area;
  const double sheet_w = settings.plate_width * PointsPerMm;
  const double sheet_h = settings.plate_height * PointsPerMm;
  // The right edge of the current sheet: the first sheet's left edge is
  // the square's. The sheet artboards are laid on the same grid.
  double sheet_right = job.reference.left + sheet_w;
  for (;;) {
    const RealRect e = EngineFrameArea(area, job.baseline);
    const RealPoint ac = RectCenter(area);
    sheet.placed.clear();
    sheet.shapes.clear();
    if (outlines) sheet.interior.Reset(e, kInteriorCell);
    std::fill(records.begin(), records.end(), ScanRecord{});
    int32_t placed_here = 0;
    for (int32_t j = 0; j < job.part_count; ++j) {
      NestPart& part = job.parts[j];
      if (part.placed) continue;
      if (Cancelled(cancel)) return;
      RealRect chosen{0, 0, 0, 0};
      int16_t rotation = 0;
      ScanRecord* record =
          shape_class[static_cast<size_t>(j)] < 0
              ? nullptr
              : &records[static_cast<size_t>(shape_class[static_cast<size_t>(j)]) * step.trials];
      if (settings.enable_anytime_rotation != 0 && job.nesting_type != 0 &&
          RectWidth(e) > RectHeight(part.bounds)) {
        for (int k = 0; k < step.trials; ++k) {
          OrientationTrial& t = trials[k];
          t.placed_count = static_cast<int32_t>(sheet.placed.size());
          t.placed = sheet.placed.data();
          t.direction = job.direction;
          t.nesting_type = job.nesting_type;
          t.outline_mode = job.outline_mode;
          t.state = PlacedBox{part.bounds, static_cast<int16_t>(k * step.degrees), &part};
          t.area = e;
          t.found = 0;
        }
        if (threaded) {
          RunTrials(trials, step.trials, sheet.View(), &scratch, workers, env, record);
        } else {
          TrialBound bound{-std::numeric_limits<double>::infinity()};
          for (int k = 0; k < step.trials; ++k) {
            OrientationTrial& t = trials[k];
            t.found =
                FindOnSheet(t.area, sheet.View(), t.direction, t.nesting_type, t.outline_mode,
                            &t.state, &scratch[0], env, &bound, record ? &record[k] : nullptr);
            if (Cancelled(cancel)) return;
          }
        }
        const int best = ChooseTrial(trials, step.trials, job.direction);
        if (best < 0) continue;  // waits for a later sheet
        chosen = trials[best].state.box;
        rotation = trials[best].state.rotation;
      } else {
        PlacedBox state{part.bounds, 0, &part};
        if (!FindOnSheet(e, sheet.View(), job.direction, job.nesting_type, job.outline_mode, &state,
                         &scratch[0], env, nullptr, record)) {
          continue;
        }
        if (Cancelled(cancel)) return;
        chosen = state.box;
      }
      const RealPoint c = RectCenter(chosen);
      part.rotation = rotation;
      part.placed = 1;
      part.area_center_x = ac.x;
      part.area_center_y = ac.y;
      part.center_x = c.x;
      part.center_y = c.y;
      ++placed_here;
      if (job.nesting_type == 0) Settle(job, j, e, m, &scratch[0]);
      RealRect box = RotatedExtent(part.bounds, part.rotation);
      box.left += part.center_x;
      box.right += part.center_x;
      box.top += part.center_y;
      box.bottom += part.center_y;
      sheet.placed.push_back(PlacedBox{box, part.rotation, &part});
      sheet.shapes.push_back(ShapeOfPlaced(box, &part, m, outlines));
      if (outlines) {
        const PlacedShape& shape = sheet.shapes.back();
        sheet.interior.Add(shape.fine.view, &shape.fine.slabs,
                           static_cast<int32_t>(sheet.shapes.size()) - 1);
        sheet.interior.AddNear(shape.fine.view, m, static_cast<int32_t>(sheet.shapes.size()) - 1);
      }
      counters->parts_done.fetch_add(1, std::memory_order_relaxed);
    }
    if (job.one_page != 0) {
      counters->reproduced_count.store(placed_here, std::memory_order_relaxed);
      return;
    }
    bool all = true;
    for (int32_t j = 0; j < job.part_count && all; ++j) all = job.parts[j].placed != 0;
    if (all) return;
    StepToNextSheet(job, sheet_w, sheet_h, &area, &sheet_right);
    counters->extra_sheets.fetch_add(1, std::memory_order_relaxed);
    if (Cancelled(cancel)) return;
  }
}

}  // namespace

void StepToNextSheet(const NestJob& job, double sheet_w, double sheet_h, RealRect* area,
                     double* sheet_right) {
  area->left += sheet_w;
  area->right += sheet_w;
  *sheet_right += sheet_w;
  if (*sheet_right > job.reference.right) {
    area->left = job.area.left;
    area->right = job.area.right;
    area->top -= sheet_h;
    area->bottom -= sheet_h;
    *sheet_right = job.reference.left + sheet_w;
  }
}

void NestSearch(const NestJob& job, const SearchSettings& settings, SearchCounters* counters,
                const std::atomic<bool>* cancel) {
  SearchCounters unused;
  try {
    Search(job, settings, counters ? counters : &unused, cancel);
  } catch (const std::bad_alloc&) {
    // Out of working memory: the search ends; parts placed so far keep
    // their results, the rest stay unplaced, and the caller is told.
    if (counters) counters->out_of_memory.store(true, std::memory_order_relaxed);
  }
}

int16_t FindPosition(const RealRect& area, const PlacedBox* placed, int32_t placed_count,
                     int16_t direction, int16_t nesting_type, int16_t outline_mode,
                     PlacedBox* state, RealPoint* buffer1, RealPoint* buffer2,
                     const SearchEnv& env) {
  if (!state) return 0;
  if (!placed) placed_count = 0;
  std::vector<PlacedShape> shapes;
  shapes.reserve(static_cast<size_t>(std::max(placed_count, 0)));
  int32_t outline = state->part ? LargestOutline(state->part, 1) : 0;
  for (int32_t i = 0; i < placed_count; ++i) {
    shapes.push_back(ShapeOfPlaced(placed[i].box, placed[i].part, env.m, nesting_type != 0));
    if (placed[i].part) outline = std::max(outline, LargestOutline(placed[i].part, 1));
  }
  // Without buffers the outline test finds no collision.
  PlacedBox probe = *state;
  if (!buffer1 || !buffer2) probe.part = nullptr;
  TrialScratch scratch;
  scratch.Reserve(outline, placed_count);
  const int16_t found =
      FindOnSheet(area, SheetView{placed, shapes.data(), std::max(placed_count, 0)}, direction,
                  nesting_type, outline_mode, &probe, &scratch, env);
  if (found) state->box = probe.box;
  return found;
}

int PolygonsNear(const RealPoint* a, int32_t a_count, const RealPoint* b, int32_t b_count,
                 double m) {
  if (!a || !b || a_count <= 0 || b_count <= 0) return 0;
  std::vector<RealRect> ea(static_cast<size_t>(a_count)), eb(static_cast<size_t>(b_count));
  OutlineView va{a, ea.data(), a_count, {}}, vb{b, eb.data(), b_count, {}};
  BuildEdgeBoxes(a, a_count, ea.data(), &va.bounds);
  BuildEdgeBoxes(b, b_count, eb.data(), &vb.bounds);
  return OutlinesNear(va, vb, m) ? 1 : 0;
}

int PartsCollide(const NestPart& placed_part, const NestPart& candidate_part, double m,
                 RealPoint* buffer1, RealPoint* buffer2) {
  if (!buffer1 || !buffer2) return 0;
  const PlacedShape shape = ShapeOfPlaced(RealRect{0, 0, 0, 0}, &placed_part, m, true);
  TrialScratch scratch;
  scratch.Reserve(LargestOutline(&candidate_part, 1), 1);
  Candidate c(candidate_part, candidate_part.rotation, &scratch);
  c.MoveTo(candidate_part.center_x, candidate_part.center_y, m);
  return ShapesCollide(shape, &c, m) ? 1 : 0;
}

double PartDistance(const NestPart& a, const NestPart& b, int across, RealPoint* buffer1,
                    RealPoint* buffer2) {
  if (!buffer1 || !buffer2) return kNothingFaces;
  TrialScratch scratch;
  scratch.Reserve(std::max(LargestOutline(&a, 1), LargestOutline(&b, 1)), 1);
  return DistanceWith(a, b, across, &scratch);
}
