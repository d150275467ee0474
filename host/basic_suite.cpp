// The basic suite: the one table of every suite the host offers, the count
// of acquisitions, and memory blocks.
#include "host/basic_suite.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <set>
#include <string>
#include <utility>

#include "host/actions.h"
#include "host/host_app.h"
#include "host/registries.h"
#include "host/suite_registry.h"
#include "host/user.h"
#include "plugin/suite_table.h"

namespace host {

extern const AccessSuite kAccessSuiteTable;
extern const PluginSuite kPluginSuiteTable;

namespace {

// The application-side suites; the document-side ones are in the document
// registry.
const SuiteOffer kAppSuiteOffers[] = {
    {kAccessSuiteName, kAccessSuiteVersion, &kAccessSuiteTable},
    {kPluginSuiteName, kPluginSuiteVersion, &kPluginSuiteTable},
    {kUserSuiteName, kUserSuiteVersion, &kUserSuiteTable},
    {kThemeSuiteName, kThemeSuiteVersion, &kThemeSuiteTable},
    {kContextSuiteName, kContextSuiteVersion, &kContextSuiteTable},
    {kMenuSuiteName, kMenuSuiteVersion, &kMenuSuiteTable},
    {kNotifierSuiteName, kNotifierSuiteVersion, &kNotifierSuiteTable},
    {kPanelSuiteName, kPanelSuiteVersion, &kPanelSuiteTable},
    {kFlyoutMenuSuiteName, kFlyoutMenuSuiteVersion, &kFlyoutMenuSuiteTable},
    {kActionManagerSuiteName, kActionManagerSuiteVersion, &kActionManagerSuiteTable},
};

// What a plug-in gets for a suite it acquires and holds but never calls.
struct OpaqueSuite {
  void* reserved;
};
const OpaqueSuite kOpaqueSuite{nullptr};

using Key = std::pair<std::string, int32_t>;

std::map<Key, int32_t>& Held() {
  static std::map<Key, int32_t> held;
  return held;
}

std::set<void*>& Blocks() {
  static std::set<void*> blocks;
  return blocks;
}

HostErr AcquireSuite(const char* name, int32_t version, const void** suite) {
  if (!suite) return kErrBadParameter;
  *suite = nullptr;
  if (!name) return kErrBadParameter;
  try {
    const void* table = FindSuite(name, version);
    if (!table) return kErrSuiteNotFound;
    ++Held()[Key(name, version)];
    *suite = table;
    return kNoErr;
  } catch (...) {
    return kErrOutOfMemory;
  }
}

HostErr ReleaseSuite(const char* name, int32_t version) {
  if (!name) return kErrBadParameter;
  try {
    auto it = Held().find(Key(name, version));
    if (it == Held().end()) return kErrSuiteNotFound;
    if (--it->second == 0) Held().erase(it);
    return kNoErr;
  } catch (...) {
    return kErrOutOfMemory;
  }
}

HostErr IsEqual(const char* a, const char* b, bool* equal) {
  if (!equal) return kErrBadParameter;
  *equal = false;
  if (!a || !b) return kErrBadParameter;
  *equal = std::strcmp(a, b) == 0;
  return kNoErr;
}

HostErr AllocateBlock(size_t size, void** block) {
  if (!block) return kErrBadParameter;
  *block = nullptr;
  // A zero-byte block is still a distinct block the caller can free.
  void* memory = std::calloc(size == 0 ? 1 : size, 1);
  if (!memory) return kErrOutOfMemory;
  try {
    Blocks().insert(memory);
  } catch (...) {
    std::free(memory);
    return kErrOutOfMemory;
  }
  *block = memory;
  return kNoErr;
}

HostErr FreeBlock(void* block) {
  if (!block) return kNoErr;
  auto it = Blocks().find(block);
  // Memory the host never handed out (or freed already) is not freed.
  if (it == Blocks().end()) return kErrBadParameter;
  Blocks().erase(it);
  std::free(block);
  return kNoErr;
}

const BasicSuite kBasicSuite = {
    .AcquireSuite = AcquireSuite,
    .ReleaseSuite = ReleaseSuite,
    .IsEqual = IsEqual,
    .AllocateBlock = AllocateBlock,
    .FreeBlock = FreeBlock,
};

}  // namespace

const BasicSuite* HostBasicSuite() {
  return &kBasicSuite;
}

const void* FindSuite(const char* name, int32_t version) {
  if (!name) return nullptr;
  if (const void* table = FindDocumentSuite(name, version)) return table;
  for (const SuiteOffer& offer : kAppSuiteOffers) {
    if (offer.version == version && std::strcmp(offer.name, name) == 0) return offer.table;
  }
  for (int i = kCalledSuiteCount; i < kSuiteTableSize; ++i) {
    if (kSuiteTable[i].version == version && std::strcmp(kSuiteTable[i].name, name) == 0) {
      return &kOpaqueSuite;
    }
  }
  return nullptr;
}

int32_t HeldCount(const char* name, int32_t version) {
  if (!name) return 0;
  auto it = Held().find(Key(name, version));
  return it == Held().end() ? 0 : it->second;
}

int32_t TotalHeld() {
  int32_t total = 0;
  for (const auto& [key, count] : Held()) total += count;
  return total;
}

size_t LiveBlockCount() {
  return Blocks().size();
}

}  // namespace host
