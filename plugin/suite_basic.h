// The host's basic suite, and the suites about the plug-in itself: its module
// instance and its options.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/host_types.h"

// The basic suite comes with every message; every other suite is acquired
// through it by name and version and released when no longer needed.
struct BasicSuite {
  // Hands out the host's table of functions for the suite of that name and
  // version in *suite. kErrSuiteNotFound (and *suite null) when the host does
  // not offer it. Every acquisition is matched by one release.
  HostErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
  // Gives back one acquisition of the suite of that name and version.
  // kErrSuiteNotFound when it is not held.
  HostErr (*ReleaseSuite)(const char* name, int32_t version);
  // *equal = whether the two texts are the same, byte for byte. The entry
  // point compares message callers and selectors with it.
  HostErr (*IsEqual)(const char* a, const char* b, bool* equal);
  // A new block of memory of the given size in bytes, owned by the host and
  // kept across messages until freed (the plug-in's globals live in one).
  // kErrOutOfMemory (and *block null) when it cannot be had.
  HostErr (*AllocateBlock)(size_t size, void** block);
  // Frees a block that AllocateBlock handed out; null is accepted.
  HostErr (*FreeBlock)(void* block);
};

// ---------------------------------------------------------------------------
// The plug-in's access record: where its library was loaded from.

constexpr char kAccessSuiteName[] = "SP Access Suite";
constexpr int32_t kAccessSuiteVersion = 3;

struct AccessSuite {
  // The module instance of the plug-in's loaded library; dialogs are created
  // from it and owned by the host's main window.
  HostErr (*GetPluginInstance)(PluginRef plugin, ModuleRef* instance);
};

// ---------------------------------------------------------------------------
// The host's record of the plug-in.

constexpr char kPluginSuiteName[] = "AI Plugin Suite";
constexpr int32_t kPluginSuiteVersion = 5;

struct PluginSuite {
  // The option bits the host keeps for the plug-in (how it loads, unloads
  // and receives messages).
  HostErr (*GetPluginOptions)(PluginRef plugin, int32_t* options);
  // Replaces the plug-in's option bits; Startup adds its own bit to what it
  // read.
  HostErr (*SetPluginOptions)(PluginRef plugin, int32_t options);
};
