// The step-and-repeat run as the Do Action handler calls it: the document
// check, the first sheet's nesting area, the member list, the reproduction
// and its end.
#include <new>

#include "engine/member_list.h"
#include "engine/nesting_run.h"
#include "engine/placement.h"
#include "engine/run_texts.h"
#include "engine/sheets.h"
#include "engine/step_repeat.h"
#include "plugin/globals.h"
#include "plugin/suite_document.h"
#include "plugin/suite_table.h"

int32_t RunStepAndRepeat(int32_t* extra_sheets) {
  if (extra_sheets) *extra_sheets = 0;  // always one sheet
  const DocumentListSuite* documents = HeldSuite<DocumentListSuite>();
  DocumentHandle front = nullptr;
  if (!g_globals || !documents || documents->GetNthDocument(0, &front) != kNoErr || !front) {
    return kNestingNotRun;
  }
  const PluginGlobals& g = *g_globals;
  RealRect square;
  if (!CanvasSquare(&square, kReferenceSquareSide)) return kNestingNotRun;
  const RealRect area = FirstSheet(square, SheetSettingsFrom(g)).area;
  const StepRepeatSettings settings = StepRepeatSettingsFrom(g);
  MemberList list{nullptr, 0, nullptr, 0};
  StepRepeatOutcome outcome;
  try {
    if (!BuildMemberList(&list, settings.consider_object_overlap)) {
      ShowRunAlert(GetRunText(RunText::kOutOfMemory, settings.language));
      outcome.result = kNestingNotRun;
    } else {
      outcome = ReproduceOnArea(list, area, settings);
    }
  } catch (const std::bad_alloc&) {
    // Out of memory while the copies were being planned (the copying
    // itself takes back its copies when it fails): the objects stay.
    ShowRunAlert(GetRunText(RunText::kOutOfMemory, settings.language));
    outcome.result = kNestingNotRun;
  }
  const int32_t result = FinishStepAndRepeat(&list, outcome, settings.language);
  FreeMemberList(&list);
  return result;
}
