// The host's basic suite: suites handed out by name and version, text
// comparison and memory blocks that outlive a message.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/suite_basic.h"

namespace host {

// The basic suite every message carries.
const BasicSuite* HostBasicSuite();

// The table the host offers for that name and version: a document-side
// suite, an application-side suite, or, for the entries of the plug-in's
// suite table that it acquires but never calls, an opaque table. Null for a
// name the host does not know or a version it lacks.
const void* FindSuite(const char* name, int32_t version);

// Acquisitions of the suite not yet released.
int32_t HeldCount(const char* name, int32_t version);
// Acquisitions of any suite not yet released.
int32_t TotalHeld();
// Memory blocks handed out and not yet freed.
size_t LiveBlockCount();

}  // namespace host
