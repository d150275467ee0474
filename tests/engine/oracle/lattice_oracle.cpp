// The literal lattice search: every step written out as stated, with no
// shortcut, so that it can judge the fast search.
#include "tests/engine/oracle/lattice_oracle.h"

#include <cstddef>
#include <vector>

namespace oracle {
namespace {

// A placed copy: the sample's fine outline mapped point by point with
// PartMatrix, the closing point dropped.
std::vector<RealPoint> PlaceCopy(const NestPart& sample, bool turned, double x, double y) {
  const RealMatrix m = PartMatrix(sample, turned ? 180 : 0, x, y);
  std::vector<RealPoint> out;
  for (int32_t i = 0; i < sample.point_count; ++i) {
    out.push_back(MatrixXformPoint(&m, sample.points[i]));
  }
  if (out.size() >= 2 && PointLength(out.back(), out.front()) < 0.01) out.pop_back();
  return out;
}

// Whether any edge of a crosses any edge of b.
bool OutlinesCross(const std::vector<RealPoint>& a, const std::vector<RealPoint>& b) {
  const std::size_t na = a.size(), nb = b.size();
  for (std::size_t i = 0; i < na; ++i) {
    const RealPoint a1 = a[i == 0 ? na - 1 : i - 1], a2 = a[i];
    for (std::size_t j = 0; j < nb; ++j) {
      const RealPoint b1 = b[j == 0 ? nb - 1 : j - 1], b2 = b[j];
      RealPoint crossing;
      if (SegmentIntersection(a1, a2, b1, b2, &crossing)) return true;
    }
  }
  return false;
}

struct BlockCopy {
  int column;
  int row;
  double x;  // column offset
  double y;  // row offset
};

struct Trial {
  const LatticeTrial& t;
  int pattern;

  double Shift(int c) const { return c % 2 == 1 ? t.shift : 0; }
  bool Counted(const BlockCopy& k) const {
    return k.x <= t.room_x && k.y <= t.room_y && k.y + Shift(k.column) < t.room_y + 0.01;
  }
  std::vector<RealPoint> Outline(const BlockCopy& k) const {
    return PlaceCopy(*t.sample, LatticeTurns(pattern, k.column, k.row), k.x,
                     -(k.y + Shift(k.column)));
  }
  // Whether the new copy crosses one of the fixed ones; uncounted copies
  // are not part of the lattice and are left out.
  bool Crosses(const std::vector<BlockCopy>& fixed, const BlockCopy& fresh) const {
    for (const BlockCopy& f : fixed) {
      if (!Counted(f)) continue;
      if (OutlinesCross(Outline(f), Outline(fresh))) return true;
    }
    return false;
  }
};

}  // namespace

LatticeCount CountLattice(int32_t p1, int32_t p2, int32_t q1, int32_t q2, double shift,
                          double room_x, double room_y) {
  LatticeCount out;
  if (!(room_x >= 0) || !(room_y >= 0) || p1 < 1 || p2 < 1 || q1 < 1 || q2 < 1) return out;
  double largest_row = 0, largest_column = 0;
  double row = 0;
  for (int r = 0; row <= room_y; ++r) {
    double column = 0;
    for (int c = 0; column <= room_x; ++c) {
      const double s = c % 2 == 1 ? shift : 0;
      if (row + s < room_y + 0.01) {
        ++out.count;
        if (row > largest_row) largest_row = row;
        if (column > largest_column) largest_column = column;
      }
      column += c % 2 == 0 ? p1 : p2;
    }
    row += r % 2 == 0 ? q1 : q2;
  }
  out.extent = largest_row * largest_column;
  return out;
}

void RunLatticeTrial(LatticeTrial* lt) {
  bool have = false;
  for (int pattern = 0; pattern < 4; ++pattern) {
    if (pattern >= 1 && lt->enable_anytime_rotation == 0) continue;
    if (pattern == 3 && lt->shift > 0.01) continue;
    const Trial tr{*lt, pattern};
    // The rows whose neighbours differ: in the checkerboard odd rows turn
    // the other columns.
    const int kinds = pattern == 3 ? 2 : 1;
    double xs[3] = {0, 0, 0};
    int32_t pitch[2] = {0, 0};
    for (int column = 1; column <= 2; ++column) {
      int32_t x = 1;
      for (;; ++x) {
        const BlockCopy probe{column, 0, xs[column - 1] + x, 0};
        if (!tr.Counted(probe)) break;
        bool crosses = false;
        for (int r = 0; r < kinds && !crosses; ++r) {
          std::vector<BlockCopy> fixed;
          for (int c = 0; c < column; ++c) fixed.push_back(BlockCopy{c, r, xs[c], 0});
          crosses = tr.Crosses(fixed, BlockCopy{column, r, xs[column - 1] + x, 0});
        }
        if (!crosses) break;
      }
      pitch[column - 1] = x;
      xs[column] = xs[column - 1] + x;
    }
    double ys[3] = {0, 0, 0};
    int32_t row_pitch[2] = {0, 0};
    for (int row = 1; row <= 2; ++row) {
      int32_t y = 1;
      for (;; ++y) {
        const double at = ys[row - 1] + y;
        bool any = false;
        bool crosses = false;
        for (int c = 0; c < 3; ++c) {
          const BlockCopy fresh{c, row, xs[c], at};
          if (!tr.Counted(fresh)) continue;
          any = true;
          std::vector<BlockCopy> fixed;
          for (int r = 0; r < row; ++r) {
            for (int c2 = 0; c2 < 3; ++c2) fixed.push_back(BlockCopy{c2, r, xs[c2], ys[r]});
          }
          if (tr.Crosses(fixed, fresh)) crosses = true;
        }
        if (!any || !crosses) break;
      }
      row_pitch[row - 1] = y;
      ys[row] = ys[row - 1] + y;
    }
    const LatticeCount n = oracle::CountLattice(pitch[0], pitch[1], row_pitch[0], row_pitch[1],
                                                lt->shift, lt->room_x, lt->room_y);
    LatticeResult r;
    r.side = lt->side;
    r.mirror = lt->mirror;
    r.room_x = lt->room_x;
    r.room_y = lt->room_y;
    r.p1 = pitch[0];
    r.p2 = pitch[1];
    r.q1 = row_pitch[0];
    r.q2 = row_pitch[1];
    r.pattern = static_cast<int16_t>(pattern);
    r.shift = lt->shift;
    r.count = n.count;
    r.extent = n.extent;
    if (!have || r.count > lt->best.count ||
        (r.count == lt->best.count && r.extent < lt->best.extent)) {
      lt->best = r;
    }
    have = true;
  }
}

LatticeResult LatticeSearch(const LatticeInput& input) {
  LatticeResult best;
  bool have = false;
  if (!input.segments || input.segment_count <= 2) return best;
  for (int pass = 0; pass < kLatticePasses; ++pass) {
    NestPart part;
    LatticeTrial fields;
    if (!PrepareLatticePass(input, pass, &part, &fields)) continue;
    if (LatticeRoomFits(fields)) {
      for (int k = 0; k < kLatticeTrials; ++k) {
        LatticeTrial t = fields;
        t.number = k;
        t.sample = &part;
        t.shift = LatticeShift(k, part, input.spacing);
        oracle::RunLatticeTrial(&t);
        if (!have || t.best.count > best.count ||
            (t.best.count == best.count && t.best.extent < best.extent)) {
          best = t.best;
        }
        have = true;
      }
    }
    FreeNestPart(&part);
  }
  return best;
}

}  // namespace oracle
