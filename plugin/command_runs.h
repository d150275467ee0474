// What the Do Action handler and the selection notification call beyond the
// frame: the nesting run, the step-and-repeat run, the sheet artboards and
// the quantities of the selection. One table, so the frame can run with the
// real ones or with stand-ins.
#pragma once

#include <cstdint>

struct CommandRuns {
  // The nesting run over the selection; 0 when nested, with the number of
  // sheets beyond the first in *extra_sheets.
  int32_t (*run_nesting)(int32_t* extra_sheets);
  // The step-and-repeat run of one object onto one sheet; same results.
  int32_t (*run_step_and_repeat)(int32_t* extra_sheets);
  // Lays out one artboard per sheet, given the number of sheets.
  void (*create_sheet_artboards)(int32_t sheet_count);
  // -2 nothing selected, -1 different quantities, else the common quantity.
  int32_t (*selection_quantity)();
  // Sets the quantity of every selected top-level object.
  void (*apply_selection_quantity)(int32_t quantity);
};

// The table in use: the plug-in's own runs where they are built in, and
// entries that do nothing otherwise.
const CommandRuns& GetCommandRuns();
// Replaces the table (tests); a null entry does nothing.
void SetCommandRuns(const CommandRuns& runs);
// Back to the plug-in's own table.
void ResetCommandRuns();
