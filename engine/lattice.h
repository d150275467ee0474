// Step and repeat without the host: the plain grid and the interlocking
// lattice that fill one sheet with copies of one object.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/model.h"

// --- the plain grid ----------------------------------------------------------

// A grid of the object's bounding box: c columns and r rows at pitches w + v
// and h + v, aligned to the baseline side and the start of the fill direction.
struct PlainGrid {
  int32_t columns = 0;
  int32_t rows = 0;
  double x0 = 0;  // from the area's left edge to the grid's left edge
  double y0 = 0;  // from the area's top edge down to the grid's top edge
};

// The grid of an object with the given bounds on the nesting area, v being
// the spacing in points. No copy (0 columns, 0 rows) when the object does
// not fit or a size is not a finite number.
PlainGrid PlainGridFor(const RealRect& bounds, const RealRect& area, double v, int toward_baseline,
                       int toward_mode);

// The matrices of the grid's copies, row by row: each moves the centre of
// bounds to its cell without turning it.
std::vector<RealMatrix> PlainGridMatrices(const PlainGrid& grid, const RealRect& bounds,
                                          const RealRect& area, double v);

// --- the lattice ---------------------------------------------------------------

// Which copies of a lattice are turned by 180 degrees.
enum LatticePattern : int16_t {
  kTurnNone = 0,
  kTurnOddColumns = 1,
  kTurnOddRows = 2,
  kTurnCheckerboard = 3,
};
constexpr int kLatticePatterns = 4;
constexpr int kLatticeTrials = 32;  // shifts tried per pass
constexpr int kLatticePasses = 2;

// Whether copy (column, row) of the pattern is turned.
bool LatticeTurns(int pattern, int column, int row);

// The side a pass lays the lattice against (0 top, 1 bottom, 2 left,
// 3 right) and whether it mirrors the sample.
struct LatticePass {
  int16_t side = 0;
  int16_t mirror = 0;
};
// Pass 0 lies against the baseline in the fill direction, pass 1 against the
// neighbouring side; the mirror is inverted for the bottom and left sides.
LatticePass LatticePassFor(int pass, int toward_baseline, int toward_mode);

// A lattice: its pass, its rooms, pitches (whole points), turn pattern and
// shift, with the copies it counts and the extent they use.
struct LatticeResult {
  int16_t side = 0;
  int16_t mirror = 0;
  double room_x = 0;       // J': column offsets go up to it
  double room_y = 0;       // I': row offsets go up to it
  int32_t p1 = 0, p2 = 0;  // column pitches, alternating
  int32_t q1 = 0, q2 = 0;  // row pitches, alternating
  int16_t pattern = 0;
  double shift = 0;  // odd columns are moved down by it
  int32_t count = 0;
  double extent = 0;           // largest counted row offset x largest counted column offset
  bool out_of_memory = false;  // the search could not finish: count 0 says nothing
};

// One shift of one pass. Trials of a pass share the sample part read-only;
// the copies of the 3 x 3 block that the pitch search places live in the
// worker's own scratch.
struct LatticeTrial {
  int32_t number = 0;
  const NestPart* sample = nullptr;  // the pass's sample: fine outline, bounds
  double shift = 0;
  double room_x = 0;
  double room_y = 0;
  int16_t side = 0;
  int16_t mirror = 0;
  int16_t enable_anytime_rotation = 0;  // 0: only unturned lattices
  double sample_width = 0;              // the grown sample's size less v
  double sample_height = 0;
  LatticeResult best;  // the pattern with the most copies, then the smaller extent
};

// How a lattice's copies are counted: column offset <= J', row offset <= I'
// and row offset plus the column's shift < I' + 0.01.
struct LatticeCount {
  int32_t count = 0;
  double extent = 0;
};
LatticeCount CountLattice(int32_t p1, int32_t p2, int32_t q1, int32_t q2, double shift,
                          double room_x, double room_y);

// Whether lattice a is better than b: more copies, or as many in a smaller
// extent.
bool LatticeBetter(const LatticeResult& a, const LatticeResult& b);

// What the lattice search reads.
struct LatticeInput {
  const PathSegment* segments = nullptr;  // the grown sample (turned by R0)
  int32_t segment_count = 0;
  RealRect sample_bounds{0, 0, 0, 0};  // its bounds: centre (scx, scy), size w x h
  RealRect area{0, 0, 0, 0};           // the nesting area
  double spacing = 0;                  // v, points
  int16_t toward_baseline = 0;
  int16_t toward_mode = 0;
  int16_t enable_anytime_rotation = 0;
  int workers = 0;  // threads per pass; 0: one per core. Results do not depend on it.
};

// The sample of a pass: turned about its centre by pi (side 1), -pi/2 (2) or
// pi/2 (3), mirrored about it when the pass says so, and flattened with
// tolerance 1.0 counting only exactly straight edges as straight. Fills the
// part (bounds: the sample's bounds mapped the same way) and the trial's
// pass fields, rooms and sample size. False when the sample gives no
// outline; the part then owns nothing.
bool PrepareLatticePass(const LatticeInput& input, int pass, NestPart* part,
                        LatticeTrial* pass_fields);

// Whether a pass's rooms can hold a copy at all.
bool LatticeRoomFits(const LatticeTrial& t);

// The trial's shift: k x (h' - v) / 64, h' the turned sample's height.
double LatticeShift(int k, const NestPart& sample, double v);

// Runs one trial: every pattern it may try, its pitches and count.
void RunLatticeTrial(LatticeTrial* trial);

// Both passes, 32 trials each on worker threads: the best lattice (count 0
// when no copy fits or the sample gives no outline, or with out_of_memory
// when working memory ran out).
LatticeResult LatticeSearch(const LatticeInput& input);

// The matrices of the lattice's counted copies, in row order and columns
// within a row: R0 first (when given and not the identity), the sample's
// centre to the origin, the pattern's turn, then the move to the copy's
// place on the area.
std::vector<RealMatrix> LatticeMatrices(const LatticeResult& lattice, RealPoint sample_centre,
                                        const RealRect& area, const RealMatrix* r0);

// Every counted copy's lattice place (column offset, -(row offset + shift))
// and whether it is turned, in row order: the frame before the pass's turn.
struct LatticeCopy {
  double x;
  double y;
  bool turned;
};
std::vector<LatticeCopy> LatticeCopies(const LatticeResult& lattice);
