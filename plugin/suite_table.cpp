// The slots of the suite table: where the acquired host suites are kept.
#include "plugin/suite_table.h"

const void* g_suite_slots[kSuiteTableSize] = {};
