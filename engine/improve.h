// The improvement pass: after the greedy search has nested every part, looks
// within a budget for a layout on fewer sheets, and keeps the greedy one
// unless it finds a better one.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/search.h"

// What the pass may spend. It stops at whichever comes first: the
// evaluations, the seconds, or the cancel flag. With the same seed and an
// evaluation count reached before the seconds run out, the result is the
// same on every machine and with any number of threads.
struct ImproveBudget {
  double seconds = 0;       // wall-time bound; 0 or less: no pass
  uint32_t seed = 1;        // the orders tried
  int64_t evaluations = 0;  // sheet fills in all; 0: as many as time allows
  int16_t workers = 0;      // threads (0: one per core); results do not depend on it
};

// The environment variable through which the command line asks a nesting
// run for the pass: "SECONDS" or "SECONDS,SEED" or "SECONDS,SEED,EVALUATIONS".
// Not a setting: the panel, the dialogs and the settings file know nothing
// of it, and without it a run is exactly the greedy search.
constexpr char kImproveVariable[] = "ZOLVANE_IMPROVE";

// Reads such a value. False, with *error saying why, for anything else:
// seconds must be a number above 0 and at most 86400, the seed and the
// evaluations whole numbers from 0.
bool ParseImproveRequest(const std::string& text, ImproveBudget* budget, std::string* error);
// The value that asks for the budget.
std::string FormatImproveRequest(const ImproveBudget& budget);

// Shared with whoever shows progress: written by the pass, read by others
// while it runs. Relaxed order is enough: they are progress figures.
struct ImproveCounters {
  std::atomic<int32_t> greedy_sheets{0};
  std::atomic<int32_t> best_sheets{0};  // sheets of the best complete layout so far
  std::atomic<int64_t> evaluations{0};  // sheet fills done
  std::atomic<int32_t> steps{0};        // refills tried to the end
};

// The longest budget a request may ask for (a day).
constexpr double kMaxImproveSeconds = 86400;

// What the pass did.
struct ImproveResult {
  int32_t greedy_sheets = 0;
  int32_t sheets = 0;  // of the layout now held by the parts
  int64_t evaluations = 0;
  int32_t steps = 0;      // refills tried to the end
  bool improved = false;  // the parts hold a layout other than the greedy one
};

// The sheets a nested layout uses: 1 + the highest sheet index of a placed
// part, counting sheets on the job's grid.
int32_t SheetsOfLayout(const NestJob& job, const SearchSettings& settings);

// The nesting area of the index-th sheet of the job's grid (0-based), as the
// search walks it.
RealRect SheetAreaOf(const NestJob& job, const SearchSettings& settings, int32_t index);

// Starts from the layout the search left in job.parts (every part placed)
// and replaces it with a layout on fewer sheets, or on as many sheets with
// less on the last one, when the budget finds one. Every sheet of a new
// layout is filled by the search itself, so every part is placed by its
// collision test at the spacing, inside its sheet's area, at a rotation of
// the chosen step. The parts are never left worse or incomplete: a cancel
// or the end of the budget keeps the best complete layout.
ImproveResult ImproveNesting(const NestJob& job, const SearchSettings& settings,
                             const ImproveBudget& budget, ImproveCounters* counters,
                             const std::atomic<bool>* cancel);
