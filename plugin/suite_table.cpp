// The slots of the suite table and the count of those holding it.
#include "plugin/suite_table.h"

const void* g_suite_slots[kSuiteTableSize] = {};

namespace {

// Nested holders of the table: host messages and callbacks on the host's
// user-interface thread. 16 bits, as the host's own plug-ins count them.
uint16_t g_hold_count = 0;
// The basic suite the table was acquired through, for the release.
const BasicSuite* g_held_through = nullptr;

}  // namespace

HostErr AcquireSuiteTable(const BasicSuite* basic) {
  if (basic == nullptr || basic->AcquireSuite == nullptr) return kErrBadParameter;
  HostErr result = kNoErr;
  for (int i = 0; i < kSuiteTableSize; ++i) {
    const void* suite = nullptr;
    result = basic->AcquireSuite(kSuiteTable[i].name, kSuiteTable[i].version, &suite);
    g_suite_slots[i] = result == kNoErr ? suite : nullptr;
  }
  g_held_through = basic;
  return result;
}

void ReleaseSuiteTable(const BasicSuite* basic) {
  if (basic == nullptr) basic = g_held_through;
  for (int i = 0; i < kSuiteTableSize; ++i) {
    if (g_suite_slots[i] == nullptr) continue;
    g_suite_slots[i] = nullptr;
    if (basic == nullptr || basic->ReleaseSuite == nullptr) continue;
    if (basic->ReleaseSuite(kSuiteTable[i].name, kSuiteTable[i].version) != kNoErr) break;
  }
}

uint16_t SuiteHoldCount() {
  return g_hold_count;
}

HostErr HoldSuites(const BasicSuite* basic) {
  HostErr result = kNoErr;
  if (g_hold_count == 0) result = AcquireSuiteTable(basic);
  ++g_hold_count;
  return result;
}

void UnholdSuites() {
  if (g_hold_count == 0) return;
  if (g_hold_count == 1) ReleaseSuiteTable(g_held_through);
  --g_hold_count;
}

void ResetSuiteHoldCount() {
  g_hold_count = 0;
}

HostErr AcquireSuitesForCallback(const BasicSuite* basic) {
  return HoldSuites(basic);
}

void ReleaseSuitesForCallback() {
  UnholdSuites();
}
