// Step and repeat over the host: one selected object reproduced onto one
// sheet as a plain grid of its box or as an interlocking lattice of its
// outline, the copies made from the object's members.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "plugin/host_types.h"

struct MemberList;
struct PluginGlobals;

// What the run reads from the settings. spacing is v in points.
struct StepRepeatSettings {
  int16_t toward_baseline = 0;
  int16_t toward_mode = 0;
  int16_t outline_mode = 0;
  int16_t consider_object_overlap = 0;
  int16_t enable_initial_rotation = 0;
  int16_t enable_anytime_rotation = 0;
  int16_t anytime_rotation_mode = 0;
  double spacing = 0;
  int16_t language = 1;
  int workers = 0;  // lattice threads per pass; 0: one per core
};
StepRepeatSettings StepRepeatSettingsFrom(const PluginGlobals& globals);

// Whether an object with these bounds cannot go on the area. When turns can
// change its extents it is too large only if its width or its height exceeds
// both sides of the area; otherwise if it is wider or taller than the area.
bool StepRepeatTooLarge(const RealRect& bounds, const RealRect& area,
                        const StepRepeatSettings& settings);

// The turn that minimises the shape's height, as the nesting run's
// pre-rotation finds it on a duplicate: 18 turns of 5 degrees about the
// shape's centre, each kept when it lowers min(width, height) by more than
// 1 point, then a quarter turn more when the best box is wider than
// `along` or lies below `along` and is taller than wide. The identity when
// nothing turns.
RealMatrix InitialTurn(ArtHandle shape, double along);

// How a reproduction ended: the result code (0, -1, -2, -3) and the copies
// made.
struct StepRepeatOutcome {
  int32_t result = 0;
  int32_t copies = 0;
};

// The run's work on a built member list: the selection's alerts, the shape,
// the size check, the initial turn, then the plain grid (Rectangle mode or
// no shape) or the lattice, every copy made with PlaceGroupCopies. The
// temporary sample is disposed before it returns.
StepRepeatOutcome ReproduceOnArea(const MemberList& list, const RealRect& area,
                                  const StepRepeatSettings& settings);

// The run's end: when copies were made the copied members are removed;
// when none was made they stay and the user is told that nothing fitted
// (result -2). The group lines' layer is deleted either way, and " %d
// reproduced!" is shown after copies. Returns the final result code. The
// list itself is freed by the caller.
int32_t FinishStepAndRepeat(MemberList* list, const StepRepeatOutcome& outcome, int16_t language);

// Shows a run alert.
void ShowRunAlert(const char* text);

// The step-and-repeat run over the front document's selection onto the
// first sheet: 0 when copies were made, -1 without a document or with
// several objects, -2 when the object is too large or no copy fits, -3 with
// nothing selected. *extra_sheets is always 0.
int32_t RunStepAndRepeat(int32_t* extra_sheets);
