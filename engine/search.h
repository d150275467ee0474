// The nesting search: places prepared parts sheet by sheet, trying rotations
// on worker threads, with raster scans tested against placed outlines.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/model.h"

struct PluginGlobals;

// Rotation trials: one row per anytime_rotation_mode (0 to 5).
struct RotationStep {
  int16_t trials;
  int16_t degrees;    // trial k turns the part by k x degrees
  const char* label;  // the panel's text
};
constexpr int kRotationModeCount = 6;
constexpr int kMaxRotationTrials = 36;
extern const RotationStep kRotationTable[kRotationModeCount];

// The row of the table for a mode; a mode outside 0 to 5 (a damaged settings
// file) is taken as the nearest valid one.
const RotationStep& RotationStepFor(int anytime_rotation_mode);

// PartDistance's answers when nothing faces and when the outlines cross.
constexpr double kNothingFaces = 32000;
constexpr double kOutlinesCross = -1;

// Room added to the largest outline for every search buffer (points).
constexpr int32_t kBufferRoom = 512;

// The settings the search reads, copied from PluginGlobals so the search can
// run without the plug-in frame. Lengths are millimetres.
struct SearchSettings {
  double collection_margin = 5;  // minimum spacing between parts
  double plate_width = 860;      // sheet size: the step of the sheet grid
  double plate_height = 1260;
  int16_t enable_anytime_rotation = 1;
  int16_t anytime_rotation_mode = 5;
  int16_t enable_multithread = 1;
  // Not a user setting: how many threads run the trials of a part (0: one
  // per core). Results do not depend on it.
  int16_t trial_workers = 0;
};
SearchSettings SearchSettingsFrom(const PluginGlobals& globals);

// Handed from the run to the search thread.
struct NestJob {
  int32_t part_count = 0;
  NestPart* parts = nullptr;       // sorted order
  int16_t direction = 0;           // engine frame: 0 left to right, 1 right to left
  int16_t baseline = 0;            // toward_baseline
  int16_t nesting_type = 1;        // 0 boxes, otherwise outlines with the spacing
  int16_t outline_mode = 0;        // 0 Rectangle, 1 Outline
  RealRect reference{0, 0, 0, 0};  // the reference square of the sheet grid
  RealRect area{0, 0, 0, 0};       // nesting area of sheet (0, 0), unturned
  int16_t one_page = 0;            // 1-page reproduction: a single sheet
};

// Shared with the run: written by the search thread, read by others while
// it runs (parts_done) or after it has ended. Relaxed order is enough: the
// values are progress figures, and the thread's end orders the final ones.
struct SearchCounters {
  std::atomic<int32_t> parts_total{0};
  std::atomic<int32_t> parts_done{0};
  std::atomic<int32_t> extra_sheets{0};
  std::atomic<int32_t> reproduced_count{0};
  // The search ran out of working memory and stopped: the parts it had not
  // placed yet are left unplaced, so its layout is incomplete.
  std::atomic<bool> out_of_memory{false};
};

// What the position and collision steps read besides their arguments.
struct SearchEnv {
  double m = 0;                               // minimum spacing, points
  int16_t enable_anytime_rotation = 0;        // skips the box test with outlines
  const std::atomic<bool>* cancel = nullptr;  // the progress dialog's abort flag
};

struct TrialScratch;

// One trial rotation of one part.
struct OrientationTrial {
  int32_t placed_count = 0;
  const PlacedBox* placed = nullptr;
  int16_t direction = 0;
  int16_t nesting_type = 0;
  int16_t outline_mode = 0;
  PlacedBox state{};          // the part's bounds, the trial rotation, the part
  RealRect area{0, 0, 0, 0};  // engine frame
  RealPoint* buffer1 = nullptr;
  RealPoint* buffer2 = nullptr;
  int16_t found = 0;
};

// Moves `area` to the nesting area of the next sheet of the grid, as the
// search walks it: one sheet to the right, or the first column of the next
// row when the sheet would pass the square. `sheet_right` is the current
// sheet's right edge (first sheet: the square's left edge plus a sheet
// width) and moves with it. The same additions in the same order wherever
// sheets are counted, so every caller lands on the same areas bit for bit.
void StepToNextSheet(const NestJob& job, double sheet_w, double sheet_h, RealRect* area,
                     double* sheet_right);

// The search thread body. Results go into the parts (center, rotation, area
// centre, placed) and the counters. `cancel` may be null. The caller sets
// counters->parts_total; the search never reads it.
void NestSearch(const NestJob& job, const SearchSettings& settings, SearchCounters* counters,
                const std::atomic<bool>* cancel);

// The free box for state->part at state->rotation on a sheet holding
// placed[0 .. placed_count): 1 and state->box set, or 0. The buffers hold at
// least the larger outline of any part involved plus kBufferRoom points.
int16_t FindPosition(const RealRect& area, const PlacedBox* placed, int32_t placed_count,
                     int16_t direction, int16_t nesting_type, int16_t outline_mode,
                     PlacedBox* state, RealPoint* buffer1, RealPoint* buffer2,
                     const SearchEnv& env);

// Whether the candidate, at its own rotation and centre, comes closer than m
// to the placed part or overlaps it. Missing buffers mean no collision.
int PartsCollide(const NestPart& placed_part, const NestPart& candidate_part, double m,
                 RealPoint* buffer1, RealPoint* buffer2);

// Whether two polygons cross or come closer than m.
int PolygonsNear(const RealPoint* a, int32_t a_count, const RealPoint* b, int32_t b_count,
                 double m);

// The smallest distance between the placed fine outlines of a and b when
// their boxes face each other (across 0: vertically, 1: sideways);
// kNothingFaces when they do not face or a buffer is missing,
// kOutlinesCross when the outlines cross.
double PartDistance(const NestPart& a, const NestPart& b, int across, RealPoint* buffer1,
                    RealPoint* buffer2);

// The largest outline of the parts: the buffers hold this plus kBufferRoom.
int32_t LargestOutline(const NestPart* parts, int32_t part_count);
