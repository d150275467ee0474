// The step-and-repeat run as the Do Action handler calls it: the document
// check, the first sheet's nesting area, the member list, the reproduction
// and its end.
#include <new>

#include "engine/member_list.h"
#include "engine/sheets.h"
#include "engine/step_repeat.h"
#include "plugin/globals.h"
#include "plugin/suite_document.h"
#include "plugin/suite_table.h"

namespace {

bool HasFrontDocument() {
  const DocumentListSuite* docs = HeldSuite<DocumentListSuite>();
  int32_t count = 0;
  DocumentHandle front = nullptr;
  return docs && docs->CountDocuments(&count) == kNoErr && count > 0 &&
         docs->GetNthDocument(0, &front) == kNoErr && front;
}

}  // namespace

int32_t RunStepAndRepeat(int32_t* extra_sheets) {
  if (extra_sheets) *extra_sheets = 0;  // always one sheet
  const DocumentSuite* document = HeldSuite<DocumentSuite>();
  RealRect canvas{0, 0, 0, 0};
  if (!g_globals || !HasFrontDocument() || !document ||
      document->GetCanvasBounds(&canvas) != kNoErr) {
    return -1;
  }
  const PluginGlobals& g = *g_globals;
  const RealRect area = FirstSheet(ReferenceSquare(canvas), SheetSettingsFrom(g)).area;
  const StepRepeatSettings settings = StepRepeatSettingsFrom(g);
  MemberList list{nullptr, 0, nullptr, 0};
  StepRepeatOutcome outcome;
  try {
    // A list that could not grow is left empty: the run answers as if
    // nothing were selected.
    BuildMemberList(&list, settings.consider_object_overlap);
    outcome = ReproduceOnArea(list, area, settings);
  } catch (const std::bad_alloc&) {
    // Out of memory part way: whatever copies were made stay, and the
    // objects are kept.
    outcome.result = -1;
  }
  const int32_t result = FinishStepAndRepeat(&list, outcome, settings.language);
  FreeMemberList(&list);
  return result;
}
