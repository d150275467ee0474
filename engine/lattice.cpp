// Step and repeat: the plain grid and the interlocking lattice search.
//
// A lattice's pitches are searched in whole points: each is the smallest
// whole number from 1 upward at which no edge of a copy it places crosses an
// edge of a copy already fixed (SegmentIntersection), among the copies of
// the 3 x 3 block that the lattice counts:
//  - p1: the second column against the first, p2: the third against both,
//    in the first row; in the checkerboard also in a second row, whose
//    columns turn the other way and so meet differently;
//  - q1: the second row against the first, q2: the third row against both.
// Copies the counting rule leaves out are not part of the lattice and are
// not tested; a search ends at the first whole point that puts its copies
// out of the room.
//
// The tests keep that search written out literally as an oracle; the search
// here gives the same pitches, patterns, counts and places bit for bit,
// because it only skips work whose outcome is known:
//  - A copy's placed outline is its sample's outline mapped by PartMatrix.
//    That matrix differs between places only by its final move, so the
//    linear part a x + c y of every point is computed once per turn and the
//    move is added, exactly as MatrixXformPoint adds tx to a x + c y.
//  - SegmentIntersection counts a crossing only inside both edges' boxes
//    widened by 0.001, so edges whose boxes lie more than 0.002 apart never
//    cross. Boxes are compared with a slack far above the rounding of
//    coordinates of this size, and an edge's placed box is its linear box
//    plus the move (adding the same number keeps the order of two values),
//    so a skipped pair is one that the literal test would have found apart.
//    A grid over each turned outline hands out only the edges near a box:
//    every edge is filed in each cell that its box, widened by the grid's
//    margin (at least 0.002 + 1e-6), meets, and a query is the other edge's
//    placed box moved back into the outline's frame and widened by the same
//    margin. Moving back rounds by far less than 1e-6 for coordinates of a
//    sheet, so an edge whose placed box lies within reach of the query's
//    is filed in a cell the query meets; the decisive test is still the
//    placed boxes' own.
//  - Whether copies cross is an "or" over edge pairs and copy pairs, so
//    their order is free: the pair that crossed at the last whole point is
//    tried first at the next.
//  - The counting rule is arithmetic: rows and columns are counted once
//    each instead of copy by copy.
//  - Trials depend only on their own inputs; workers take trial numbers in
//    turn and the choice waits for all of them and walks them in order.
#include "engine/lattice.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <thread>

#include "engine/outline_index.h"

// --- the plain grid ----------------------------------------------------------

namespace {

// More copies than any sheet can take in practice; bounds the loops when an
// object is a speck.
constexpr double kMaxGridSteps = 100000;

bool Finite(const RealRect& r) {
  return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) &&
         std::isfinite(r.bottom);
}

// How many steps i = 0, 1, ... satisfy i x pitch <= room. A pitch that is
// not positive (an object of no size with no spacing) gives one.
// The count is that of the loop "while i x pitch <= room", found from the
// quotient and corrected by the loop's own test on either side of it, so
// that a tiny pitch does not mean millions of steps.
int32_t Steps(double pitch, double room) {
  if (!(room >= 0)) return 0;
  if (!(pitch > 0)) return 1;
  double n = std::min(std::floor(room / pitch), static_cast<double>(kMaxGridSteps));
  while (n > 0 && n * pitch > room) n -= 1;
  while (n < kMaxGridSteps && (n + 1) * pitch <= room) n += 1;
  return static_cast<int32_t>(n) + 1;
}

}  // namespace

PlainGrid PlainGridFor(const RealRect& bounds, const RealRect& area, double v, int toward_baseline,
                       int toward_mode) {
  PlainGrid g;
  if (!Finite(bounds) || !Finite(area) || !std::isfinite(v)) return g;
  const double w = RectWidth(bounds);
  const double h = RectHeight(bounds);
  const double big_w = RectWidth(area);
  const double big_h = RectHeight(area);
  const double u = big_w - w;
  const double s = big_h - h;
  g.columns = Steps(w + v, u);
  g.rows = Steps(h + v, s);
  if (g.columns == 0 || g.rows == 0) return PlainGrid{};
  const double grid_w = g.columns * (w + v) - v;
  const double grid_h = g.rows * (h + v) - v;
  const bool top_or_bottom = toward_baseline == 0 || toward_baseline == 1;
  const bool left_or_right = toward_baseline == 2 || toward_baseline == 3;
  if ((top_or_bottom && toward_mode == 1) || toward_baseline == 3) g.x0 = big_w - grid_w;
  if (toward_baseline == 1 || (left_or_right && toward_mode == 1)) g.y0 = big_h - grid_h;
  return g;
}

std::vector<RealMatrix> PlainGridMatrices(const PlainGrid& grid, const RealRect& bounds,
                                          const RealRect& area, double v) {
  std::vector<RealMatrix> out;
  const double w = RectWidth(bounds);
  const double h = RectHeight(bounds);
  const RealPoint c = RectCenter(bounds);
  out.reserve(static_cast<size_t>(grid.columns) * static_cast<size_t>(grid.rows));
  for (int32_t j = 0; j < grid.rows; ++j) {
    for (int32_t i = 0; i < grid.columns; ++i) {
      const double x = area.left + w / 2 + grid.x0 + i * (w + v);
      const double y = area.top - h / 2 - grid.y0 - j * (h + v);
      RealMatrix m;
      MatrixSetTranslate(&m, x - c.x, y - c.y);
      out.push_back(m);
    }
  }
  return out;
}

// --- lattice records -------------------------------------------------------------

bool LatticeTurns(int pattern, int column, int row) {
  switch (pattern) {
    case kTurnOddColumns:
      return column % 2 == 1;
    case kTurnOddRows:
      return row % 2 == 1;
    case kTurnCheckerboard:
      return (column + row) % 2 == 1;
    default:
      return false;
  }
}

LatticePass LatticePassFor(int pass, int toward_baseline, int toward_mode) {
  LatticePass p;
  const int16_t mode = toward_mode != 0 ? 1 : 0;
  if (pass == 0) {
    p.side = static_cast<int16_t>(std::clamp(toward_baseline, 0, 3));
    p.mirror = mode;
  } else {
    // The neighbouring side, by baseline and fill direction.
    static constexpr LatticePass kNeighbour[4][2] = {
        {{2, 0}, {3, 1}},  // Top
        {{2, 1}, {3, 0}},  // Bottom
        {{0, 0}, {1, 0}},  // Left
        {{0, 1}, {1, 1}},  // Right
    };
    p = kNeighbour[std::clamp(toward_baseline, 0, 3)][mode];
  }
  if (p.side == 1 || p.side == 2) p.mirror = p.mirror != 0 ? 0 : 1;
  return p;
}

LatticeCount CountLattice(int32_t p1, int32_t p2, int32_t q1, int32_t q2, double shift,
                          double room_x, double room_y) {
  LatticeCount out;
  if (!(room_x >= 0) || !(room_y >= 0) || p1 < 1 || p2 < 1 || q1 < 1 || q2 < 1) return out;
  // Columns: how many of each parity lie in the room, and the last offset.
  int32_t even = 0, odd = 0;
  double last_even = 0, last_odd = 0;
  double x = 0;
  for (int32_t c = 0; x <= room_x; ++c) {
    if (c % 2 == 0) {
      ++even;
      last_even = x;
    } else {
      ++odd;
      last_odd = x;
    }
    x += c % 2 == 0 ? p1 : p2;
  }
  bool odd_counted = false;
  double last_row = 0;
  double y = 0;
  for (int32_t r = 0; y <= room_y; ++r) {
    out.count += even;
    if (odd > 0 && y + shift < room_y + 0.01) {
      out.count += odd;
      odd_counted = true;
    }
    last_row = y;
    y += r % 2 == 0 ? q1 : q2;
  }
  const double last_column = odd_counted ? std::max(last_even, last_odd) : last_even;
  out.extent = last_row * last_column;
  return out;
}

bool LatticeBetter(const LatticeResult& a, const LatticeResult& b) {
  return a.count > b.count || (a.count == b.count && a.extent < b.extent);
}

// --- the pass's sample -------------------------------------------------------------

namespace {

// The pass's turn about the centre, then the mirror about it.
RealMatrix PassMatrix(const LatticePass& pass, RealPoint c) {
  RealMatrix m;
  MatrixSetTranslate(&m, -c.x, -c.y);
  if (pass.side == 1) MatrixConcatRotate(&m, kPi);
  if (pass.side == 2) MatrixConcatRotate(&m, -kHalfPi);
  if (pass.side == 3) MatrixConcatRotate(&m, kHalfPi);
  MatrixConcatTranslate(&m, c.x, c.y);
  if (pass.mirror != 0) {
    const RealMatrix mirror{-1, 0, 0, 1, 0, 0};
    MatrixConcatTranslate(&m, -c.x, -c.y);
    MatrixConcat(&m, &mirror, &m);
    MatrixConcatTranslate(&m, c.x, c.y);
  }
  return m;
}

}  // namespace

bool PrepareLatticePass(const LatticeInput& input, int pass, NestPart* part, LatticeTrial* fields) {
  *part = NestPart{};
  const LatticePass p = LatticePassFor(pass, input.toward_baseline, input.toward_mode);
  const RealPoint c = RectCenter(input.sample_bounds);
  const RealMatrix m = PassMatrix(p, c);
  std::vector<PathSegment> turned(input.segments,
                                  input.segments + std::max(input.segment_count, 0));
  for (PathSegment& s : turned) {
    s.p = MatrixXformPoint(&m, s.p);
    s.in = MatrixXformPoint(&m, s.in);
    s.out = MatrixXformPoint(&m, s.out);
  }
  Polygon poly =
      FlattenPathExactStraight(turned.data(), static_cast<int32_t>(turned.size()), kFineTolerance);
  if (poly.count <= 0) {
    FreePolygon(&poly);
    return false;
  }
  for (int32_t i = 0; i < poly.count; ++i) {
    if (!std::isfinite(poly.points[i].x) || !std::isfinite(poly.points[i].y)) {
      FreePolygon(&poly);
      return false;
    }
  }
  part->id = 1;
  part->bounds = MappedBox(m, input.sample_bounds);
  part->points = poly.points;
  part->point_count = poly.count;
  const double v = input.spacing;
  const double w = RectWidth(input.sample_bounds);
  const double h = RectHeight(input.sample_bounds);
  const double big_w = RectWidth(input.area);
  const double big_h = RectHeight(input.area);
  fields->side = p.side;
  fields->mirror = p.mirror;
  if (p.side == 0 || p.side == 1) {
    fields->room_x = big_w - (w - v);
    fields->room_y = big_h - (h - v);
  } else {
    fields->room_x = big_h - (h - v);
    fields->room_y = big_w - (w - v);
  }
  fields->sample_width = w - v;
  fields->sample_height = h - v;
  fields->enable_anytime_rotation = input.enable_anytime_rotation;
  return true;
}

bool LatticeRoomFits(const LatticeTrial& t) {
  return t.room_x >= 0 && t.room_y >= 0;
}

double LatticeShift(int k, const NestPart& sample, double v) {
  return k * (RectHeight(sample.bounds) - v) / 64;
}

// --- the pitch search --------------------------------------------------------------

namespace {

constexpr double kCrossingReach = 0.002;  // two widenings by 0.001

double Magnitude(const RealRect& r) {
  return std::max(std::max(std::fabs(r.left), std::fabs(r.right)),
                  std::max(std::fabs(r.top), std::fabs(r.bottom)));
}

inline bool FartherThan(const RealRect& a, const RealRect& b, double reach) {
  return a.left - b.right > reach || b.left - a.right > reach || a.bottom - b.top > reach ||
         b.bottom - a.top > reach;
}

inline RealRect Moved(const RealRect& r, double tx, double ty) {
  return RealRect{r.left + tx, r.top + ty, r.right + tx, r.bottom + ty};
}

// The sample at one turn (0 or 180 degrees): the linear parts of its
// points, its edge boxes in that frame, and a grid of the edges.
struct Turned {
  std::vector<RealPoint> linear;
  std::vector<RealRect> edges;  // edge i from point i - 1 to point i
  RealRect box{0, 0, 0, 0};
  double move_x = 0, move_y = 0;  // PartMatrix's final move before the place
  // The grid: cells over box, each listing the edges whose box, widened by
  // the grid's margin, meets it.
  double left = 0, bottom = 0, cell_w = 1, cell_h = 1, margin = 0;
  int32_t cols = 1, rows = 1;
  std::vector<int32_t> start;  // cols x rows + 1
  std::vector<int32_t> list;

  void Build(const NestPart& part, int rotation) {
    const RealPoint centre = RectCenter(part.bounds);
    RealMatrix pre;
    MatrixSetTranslate(&pre, -centre.x, -centre.y);
    if (rotation != 0) MatrixConcatRotate(&pre, DegreesToRadians(rotation));
    // PartMatrix's final move leaves a, b, c and d as any move does; its tx
    // is (pre.tx 1 + pre.ty 0) + the place, in MatrixConcat's order.
    RealMatrix any = pre;
    MatrixConcatTranslate(&any, 0, 0);
    move_x = pre.tx * 1 + pre.ty * 0;
    move_y = pre.tx * 0 + pre.ty * 1;
    const int32_t n = CountWithoutClosingPoint(part.points, part.point_count);
    linear.resize(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
      const RealPoint p = part.points[i];
      linear[i] = RealPoint{any.a * p.x + any.c * p.y, any.b * p.x + any.d * p.y};
    }
    edges.resize(static_cast<size_t>(n));
    BuildEdgeBoxes(linear.data(), n, edges.data(), &box);
    // About one edge per cell.
    const int32_t side = std::clamp(static_cast<int32_t>(std::sqrt(static_cast<double>(n))), 1, 64);
    cols = rows = side;
    margin = kCrossingReach + 1e-6 * (1 + Magnitude(box));
    left = box.left - margin;
    bottom = box.bottom - margin;
    cell_w = std::max((RectWidth(box) + 2 * margin) / cols, 1e-9);
    cell_h = std::max((RectHeight(box) + 2 * margin) / rows, 1e-9);
    std::vector<int32_t> counts(static_cast<size_t>(cols * rows) + 1, 0);
    auto cells = [&](const RealRect& e, auto&& visit) {
      int32_t c0 = 0, c1 = -1, r0 = 0, r1 = -1;
      if (!Range(RealRect{e.left - margin, e.top + margin, e.right + margin, e.bottom - margin},
                 &c0, &c1, &r0, &r1)) {
        return;
      }
      for (int32_t r = r0; r <= r1; ++r)
        for (int32_t c = c0; c <= c1; ++c) visit(r * cols + c);
    };
    for (int32_t i = 0; i < n; ++i) cells(edges[i], [&](int32_t k) { ++counts[k + 1]; });
    for (size_t k = 1; k < counts.size(); ++k) counts[k] += counts[k - 1];
    start = counts;
    list.resize(static_cast<size_t>(counts.back()));
    std::vector<int32_t> fill(counts.begin(), counts.end() - 1);
    for (int32_t i = 0; i < n; ++i) cells(edges[i], [&](int32_t k) { list[fill[k]++] = i; });
  }

  // The cells that a box in this frame meets, clamped to the grid; false
  // when it misses the grid.
  bool Range(const RealRect& r, int32_t* c0, int32_t* c1, int32_t* r0, int32_t* r1) const {
    const double fl = (r.left - left) / cell_w, fr = (r.right - left) / cell_w;
    const double fb = (r.bottom - bottom) / cell_h, ft = (r.top - bottom) / cell_h;
    if (!(fr >= 0 && ft >= 0 && fl < cols && fb < rows)) return false;
    *c0 = std::clamp(static_cast<int32_t>(std::floor(fl)), 0, cols - 1);
    *c1 = std::clamp(static_cast<int32_t>(std::floor(fr)), 0, cols - 1);
    *r0 = std::clamp(static_cast<int32_t>(std::floor(fb)), 0, rows - 1);
    *r1 = std::clamp(static_cast<int32_t>(std::floor(ft)), 0, rows - 1);
    return true;
  }

  RealPoint At(int32_t i, double tx, double ty) const {
    return RealPoint{linear[i].x + tx, linear[i].y + ty};
  }
  int32_t count() const { return static_cast<int32_t>(linear.size()); }
};

// A copy of the block: its turn and the move of its placed outline.
struct Copy {
  const Turned* turned;
  double tx, ty;
  RealRect box;  // placed box of the outline
};

Copy MakeCopy(const Turned& t, double x, double y) {
  const double tx = t.move_x + x;
  const double ty = t.move_y + y;
  return Copy{&t, tx, ty, Moved(t.box, tx, ty)};
}

// The edge pair that crossed last: tried first at the next whole point.
struct CrossHint {
  int32_t pair = -1;
  int32_t i = -1;  // edge of the fixed copy
  int32_t j = -1;  // edge of the new copy
};

// Per-worker memory.
struct Scratch {
  std::vector<uint32_t> stamp;  // per edge of the fixed copy's outline
  uint32_t visit = 0;
};

inline bool EdgesCross(const Copy& a, int32_t i, const Copy& b, int32_t j) {
  const Turned& ta = *a.turned;
  const Turned& tb = *b.turned;
  const int32_t na = ta.count(), nb = tb.count();
  return SegmentIntersection(ta.At(i == 0 ? na - 1 : i - 1, a.tx, a.ty), ta.At(i, a.tx, a.ty),
                             tb.At(j == 0 ? nb - 1 : j - 1, b.tx, b.ty), tb.At(j, b.tx, b.ty),
                             nullptr);
}

// Whether an edge of b crosses an edge of a (fixed), as the literal double
// loop over both outlines' edges would find.
bool CopiesCross(const Copy& a, const Copy& b, int32_t pair, CrossHint* hint, Scratch* scratch) {
  const Turned& ta = *a.turned;
  const Turned& tb = *b.turned;
  if (ta.count() <= 0 || tb.count() <= 0) return false;
  const double reach = kCrossingReach + 1e-9 + 1e-12 * std::max(Magnitude(a.box), Magnitude(b.box));
  if (FartherThan(a.box, b.box, reach)) return false;
  if (hint->pair == pair && hint->i < ta.count() && hint->j < tb.count() &&
      EdgesCross(a, hint->i, b, hint->j)) {
    return true;
  }
  if (scratch->stamp.size() < static_cast<size_t>(ta.count())) {
    scratch->stamp.assign(static_cast<size_t>(ta.count()), 0);
    scratch->visit = 0;
  }
  for (int32_t j = 0; j < tb.count(); ++j) {
    const RealRect eb = Moved(tb.edges[j], b.tx, b.ty);
    if (FartherThan(eb, a.box, reach)) continue;
    // The edge's box in a's frame, widened beyond the rounding of moving it.
    const double slack = ta.margin;
    const RealRect q{eb.left - a.tx - slack, eb.top - a.ty + slack, eb.right - a.tx + slack,
                     eb.bottom - a.ty - slack};
    int32_t c0, c1, r0, r1;
    if (!ta.Range(q, &c0, &c1, &r0, &r1)) continue;
    if (++scratch->visit == 0) {
      std::fill(scratch->stamp.begin(), scratch->stamp.end(), 0);
      scratch->visit = 1;
    }
    for (int32_t r = r0; r <= r1; ++r) {
      for (int32_t c = c0; c <= c1; ++c) {
        const int32_t k = r * ta.cols + c;
        for (int32_t e = ta.start[k]; e < ta.start[k + 1]; ++e) {
          const int32_t i = ta.list[e];
          if (scratch->stamp[i] == scratch->visit) continue;
          scratch->stamp[i] = scratch->visit;
          if (FartherThan(Moved(ta.edges[i], a.tx, a.ty), eb, reach)) continue;
          if (EdgesCross(a, i, b, j)) {
            *hint = CrossHint{pair, i, j};
            return true;
          }
        }
      }
    }
  }
  return false;
}

// The block of one trial and pattern: the turned samples and the places
// fixed so far.
struct Block {
  const Turned* unturned;
  const Turned* turned;
  int pattern;
  double shift;
  double room_x, room_y;

  const Turned& At(int c, int r) const { return LatticeTurns(pattern, c, r) ? *turned : *unturned; }
  double Shift(int c) const { return c % 2 == 1 ? shift : 0; }
  // The counting rule for copy (c, r) at the given offsets.
  bool Counted(int c, double x, double y) const {
    return x <= room_x && y <= room_y && y + Shift(c) < room_y + 0.01;
  }
  Copy Place(int c, int r, double x, double y) const {
    return MakeCopy(At(c, r), x, -(y + Shift(c)));
  }
};

// Whether any new copy crosses any fixed copy.
bool AnyCross(const std::vector<Copy>& fixed, const std::vector<Copy>& fresh, CrossHint* hint,
              Scratch* scratch) {
  // The pair that crossed last comes first.
  const int32_t nf = static_cast<int32_t>(fixed.size());
  const int32_t total = nf * static_cast<int32_t>(fresh.size());
  const int32_t first = hint->pair >= 0 && hint->pair < total ? hint->pair : 0;
  for (int32_t k = 0; k < total; ++k) {
    const int32_t pair = k == 0 ? first : (k == first ? 0 : k);
    if (CopiesCross(fixed[pair % nf], fresh[pair / nf], pair, hint, scratch)) return true;
  }
  return false;
}

struct Pitches {
  int32_t p1 = 0, p2 = 0, q1 = 0, q2 = 0;
};

Pitches FindPitches(const Block& b, Scratch* scratch) {
  Pitches out;
  std::vector<Copy> fixed, fresh;
  fixed.reserve(9);
  fresh.reserve(3);
  // The row kinds whose columns meet differently: the checkerboard turns
  // the other columns in odd rows; other patterns give every row the same
  // neighbours, up to a half turn of the whole row.
  const int kinds = b.pattern == kTurnCheckerboard ? 2 : 1;
  // Column pitches: the copies of each row kind at row offset 0.
  auto columns = [&](int column, double base, const double* offsets) {
    CrossHint hint;
    int32_t x = 1;
    for (;; ++x) {
      const double at = base + x;
      if (!b.Counted(column, at, 0)) break;
      fixed.clear();
      fresh.clear();
      for (int r = 0; r < kinds; ++r) {
        for (int c = 0; c < column; ++c) {
          if (b.Counted(c, offsets[c], 0)) fixed.push_back(b.Place(c, r, offsets[c], 0));
        }
        // One row kind at a time: copies of different kinds never meet.
        fresh.assign(1, b.Place(column, r, at, 0));
        if (AnyCross(fixed, fresh, &hint, scratch)) break;
        fresh.clear();
        fixed.clear();
      }
      if (fresh.empty()) break;  // every kind is clear
    }
    return x;
  };
  double xs[3] = {0, 0, 0};
  out.p1 = columns(1, 0, xs);
  xs[1] = out.p1;
  out.p2 = columns(2, xs[1], xs);
  xs[2] = xs[1] + out.p2;
  // Row pitches: the counted copies of the new row against those above.
  double ys[3] = {0, 0, 0};
  auto rows = [&](int row, double base) {
    CrossHint hint;
    int32_t y = 1;
    for (;; ++y) {
      const double at = base + y;
      fresh.clear();
      for (int c = 0; c < 3; ++c) {
        if (b.Counted(c, xs[c], at)) fresh.push_back(b.Place(c, row, xs[c], at));
      }
      if (fresh.empty()) break;
      fixed.clear();
      for (int r = 0; r < row; ++r) {
        for (int c = 0; c < 3; ++c) {
          if (b.Counted(c, xs[c], ys[r])) fixed.push_back(b.Place(c, r, xs[c], ys[r]));
        }
      }
      if (!AnyCross(fixed, fresh, &hint, scratch)) break;
    }
    return y;
  };
  out.q1 = rows(1, 0);
  ys[1] = out.q1;
  out.q2 = rows(2, ys[1]);
  return out;
}

// The pass's sample part, freed however the pass ends.
struct PassPart {
  NestPart part{};
  PassPart() = default;
  PassPart(const PassPart&) = delete;
  PassPart& operator=(const PassPart&) = delete;
  ~PassPart() { FreeNestPart(&part); }
};

// Everything the trials of a pass share, read-only while they run.
struct PassShapes {
  Turned unturned, turned;
};

void RunTrialWith(LatticeTrial* t, const PassShapes& shapes, Scratch* scratch) {
  bool have = false;
  for (int pattern = 0; pattern < kLatticePatterns; ++pattern) {
    if (pattern > 0 && t->enable_anytime_rotation == 0) break;
    if (pattern == kTurnCheckerboard && t->shift > 0.01) continue;
    const Block b{&shapes.unturned, &shapes.turned, pattern, t->shift, t->room_x, t->room_y};
    const Pitches p = FindPitches(b, scratch);
    const LatticeCount n = CountLattice(p.p1, p.p2, p.q1, p.q2, t->shift, t->room_x, t->room_y);
    LatticeResult r;
    r.side = t->side;
    r.mirror = t->mirror;
    r.room_x = t->room_x;
    r.room_y = t->room_y;
    r.p1 = p.p1;
    r.p2 = p.p2;
    r.q1 = p.q1;
    r.q2 = p.q2;
    r.pattern = static_cast<int16_t>(pattern);
    r.shift = t->shift;
    r.count = n.count;
    r.extent = n.extent;
    if (!have || LatticeBetter(r, t->best)) t->best = r;
    have = true;
  }
}

}  // namespace

void RunLatticeTrial(LatticeTrial* trial) {
  if (!trial || !trial->sample) return;
  PassShapes shapes;
  shapes.unturned.Build(*trial->sample, 0);
  shapes.turned.Build(*trial->sample, 180);
  Scratch scratch;
  RunTrialWith(trial, shapes, &scratch);
}

namespace {

LatticeResult OutOfMemory() {
  LatticeResult r;
  r.out_of_memory = true;
  return r;
}

}  // namespace

LatticeResult LatticeSearch(const LatticeInput& input) {
  LatticeResult best;
  bool have = false;
  if (!input.segments || input.segment_count <= 2 || !Finite(input.sample_bounds) ||
      !Finite(input.area) || !std::isfinite(input.spacing)) {
    return best;
  }
  int workers =
      input.workers > 0 ? input.workers : static_cast<int>(std::thread::hardware_concurrency());
  workers = std::clamp(workers, 1, kLatticeTrials);
  try {
    for (int pass = 0; pass < kLatticePasses; ++pass) {
      PassPart owned;
      NestPart& part = owned.part;
      LatticeTrial fields;
      if (!PrepareLatticePass(input, pass, &part, &fields)) continue;
      if (!LatticeRoomFits(fields)) continue;
      PassShapes shapes;
      shapes.unturned.Build(part, 0);
      shapes.turned.Build(part, 180);
      LatticeTrial trials[kLatticeTrials];
      for (int k = 0; k < kLatticeTrials; ++k) {
        trials[k] = fields;
        trials[k].number = k;
        trials[k].sample = &part;
        trials[k].shift = LatticeShift(k, part, input.spacing);
      }
      std::atomic<int> next{0};
      std::atomic<bool> failed{false};
      auto work = [&]() {
        try {
          Scratch scratch;
          for (int k = next.fetch_add(1, std::memory_order_relaxed); k < kLatticeTrials;
               k = next.fetch_add(1, std::memory_order_relaxed)) {
            RunTrialWith(&trials[k], shapes, &scratch);
          }
        } catch (const std::bad_alloc&) {
          failed.store(true, std::memory_order_relaxed);
          next.store(kLatticeTrials, std::memory_order_relaxed);
        }
      };
      std::vector<std::thread> threads;
      try {
        for (int w = 1; w < workers; ++w) threads.emplace_back(work);
      } catch (...) {
        // Fewer workers than planned: this thread takes the remaining trials.
      }
      work();
      for (std::thread& th : threads) th.join();
      if (failed.load(std::memory_order_relaxed)) return OutOfMemory();
      for (const LatticeTrial& t : trials) {
        if (!have || LatticeBetter(t.best, best)) best = t.best;
        have = true;
      }
    }
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
  return best;
}

// --- placing ---------------------------------------------------------------------

std::vector<LatticeCopy> LatticeCopies(const LatticeResult& l) {
  std::vector<LatticeCopy> out;
  if (l.count <= 0 || l.p1 < 1 || l.p2 < 1 || l.q1 < 1 || l.q2 < 1) return out;
  out.reserve(static_cast<size_t>(l.count));
  double y = 0;
  for (int32_t r = 0; y <= l.room_y; ++r) {
    double x = 0;
    for (int32_t c = 0; x <= l.room_x; ++c) {
      const double s = c % 2 == 1 ? l.shift : 0;
      if (y + s < l.room_y + 0.01)
        out.push_back(LatticeCopy{x, -(y + s), LatticeTurns(l.pattern, c, r)});
      x += c % 2 == 0 ? l.p1 : l.p2;
    }
    y += r % 2 == 0 ? l.q1 : l.q2;
  }
  return out;
}

std::vector<RealMatrix> LatticeMatrices(const LatticeResult& l, RealPoint sample_centre,
                                        const RealRect& area, const RealMatrix* r0) {
  std::vector<RealMatrix> out;
  RealMatrix place;
  MatrixSetTranslate(&place, -l.room_x / 2, l.room_y / 2);
  if (l.mirror != 0) {
    const RealMatrix mirror{-1, 0, 0, 1, 0, 0};
    MatrixConcat(&place, &mirror, &place);
  }
  if (l.side == 1) MatrixConcatRotate(&place, kPi);
  if (l.side == 2) MatrixConcatRotate(&place, kHalfPi);
  if (l.side == 3) MatrixConcatRotate(&place, -kHalfPi);
  const RealPoint ac = RectCenter(area);
  MatrixConcatTranslate(&place, ac.x, ac.y);
  const RealMatrix identity{1, 0, 0, 1, 0, 0};
  const bool turn_first =
      r0 && !(r0->a == identity.a && r0->b == identity.b && r0->c == identity.c &&
              r0->d == identity.d && r0->tx == identity.tx && r0->ty == identity.ty);
  for (const LatticeCopy& copy : LatticeCopies(l)) {
    RealMatrix m = turn_first ? *r0 : identity;
    MatrixConcatTranslate(&m, -sample_centre.x, -sample_centre.y);
    if (copy.turned) MatrixConcatRotate(&m, kPi);
    const RealPoint to = MatrixXformPoint(&place, RealPoint{copy.x, copy.y});
    MatrixConcatTranslate(&m, to.x, to.y);
    out.push_back(m);
  }
  return out;
}
