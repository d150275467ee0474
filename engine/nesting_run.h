// The nesting run: the selected objects' group lines turned into copies,
// prepared, nested by the search behind the progress dialog, and placed.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "engine/run_texts.h"
#include "plugin/host_types.h"

// Result codes of a run.
enum NestingResult : int32_t {
  kNestingDone = 0,       // nested; placements applied
  kNestingNotRun = -1,    // no document, several objects in 1-page reproduction,
                          // cancelled, too many copies or out of memory
  kNestingTooLarge = -2,  // an object is larger than the nesting area
  kNestingNoObject = -3,  // no object to nest
};

// The name of the child of an object whose outline it is nested by.
constexpr char kCutLineName[] = "cut line";

// The most copies one run makes in all. The search takes tens of seconds
// for 500 copies and every copy is host art, so a larger total is a damaged
// or mistyped quantity; refusing it keeps the document and memory safe.
constexpr int64_t kMaxRunCopies = 100000;
// The most path segments the copies of a run may hold in all (each one is
// about 50 bytes of host art): 20 million, about 1 GB.
constexpr int64_t kMaxRunCopySegments = 20000000;

// The pre-rotation's search, which step and repeat's initial turn shares:
// 18 turns of 5 degrees, a turn kept when it lowers the smaller side of the
// object's box by more than a point.
constexpr int kPreRotationTurns = 18;
constexpr double kPreRotationGain = 1.0;

// The shape an object is nested by: with look_for_cut_line, the first closed
// path of more than 2 segments in the first direct child named "cut line";
// otherwise (or without such a child) the closed path of more than 2
// segments whose bounds have the largest width + height. Null when none.
ArtHandle ChooseShape(ArtHandle art, bool look_for_cut_line);

// The number of copies 1-page reproduction asks the search for: the area of
// the nesting area over the area of the object's bounds, plus one (twice
// that ratio in Outline mode, where outlines interlock), at most cap.
int64_t OnePageEstimate(const RealRect& area, const RealRect& bounds, int16_t outline_mode,
                        int64_t cap);

// Wall time of the phases of a run (seconds), for the benchmarks.
struct RunPhaseTimes {
  double member_list = 0;  // member list and group lines
  double items = 0;        // items and quantity duplicates
  double shapes = 0;       // shape choice and size check
  double prerotation = 0;
  double parts = 0;  // sort, turns of equal items, polygons
  double search = 0;
  double apply = 0;  // placement, removal, group-line layer
  double artboards = 0;
};

// Runs the nesting of the selection with the settings of g_globals. Returns a
// NestingResult; *extra_sheets (set to 0 first) is the number of sheets
// beyond the first. Artboards are laid out by the caller
// (CreateSheetArtboards with *extra_sheets + 1) after a result of 0.
int32_t RunNesting(int32_t* extra_sheets);
// The same, timing its phases into times when given.
int32_t RunNestingTimed(int32_t* extra_sheets, RunPhaseTimes* times);
