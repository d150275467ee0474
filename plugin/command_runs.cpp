// The table of runs the Do Action handler calls.
#include "plugin/command_runs.h"

#include "art/group_lines.h"
#include "engine/nesting_run.h"
#include "engine/placement.h"
#include "engine/step_repeat.h"

namespace {

int32_t NoRun(int32_t* extra_sheets) {
  if (extra_sheets != nullptr) *extra_sheets = 0;
  return 0;
}
void NoArtboards(int32_t) {}
int32_t NoSelection() {
  return kNoSelection;
}
void NoQuantity(int32_t) {}

// The plug-in's own runs.
constexpr CommandRuns kOwnRuns = {
    .run_nesting = RunNesting,
    .run_step_and_repeat = RunStepAndRepeat,
    .create_sheet_artboards = CreateSheetArtboards,
    .selection_quantity = SelectionQuantity,
    .apply_selection_quantity = ApplySelectionQuantity,
};

CommandRuns g_runs = kOwnRuns;

}  // namespace

const CommandRuns& GetCommandRuns() {
  return g_runs;
}

void SetCommandRuns(const CommandRuns& runs) {
  g_runs = runs;
  if (g_runs.run_nesting == nullptr) g_runs.run_nesting = NoRun;
  if (g_runs.run_step_and_repeat == nullptr) g_runs.run_step_and_repeat = NoRun;
  if (g_runs.create_sheet_artboards == nullptr) g_runs.create_sheet_artboards = NoArtboards;
  if (g_runs.selection_quantity == nullptr) g_runs.selection_quantity = NoSelection;
  if (g_runs.apply_selection_quantity == nullptr) g_runs.apply_selection_quantity = NoQuantity;
}

void ResetCommandRuns() {
  g_runs = kOwnRuns;
}
