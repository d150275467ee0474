// The host's action manager: registered events, parameter types, blocks of
// keyed values, and playing events (a plug-in's own, or the host's effects).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/registries.h"
#include "plugin/suite_action.h"

namespace host {

// One keyed value of a parameter block.
struct ParamValue {
  enum class Kind { kUnitReal, kReal, kEnumerated };
  FourCC key = 0;
  Kind kind = Kind::kReal;
  double real = 0;   // unit real and real
  FourCC unit = 0;   // unit real
  std::string name;  // enumerated: the type or value name, UTF-8
  int32_t enumerated = 0;
};

struct ParamBlock {
  std::vector<ParamValue> values;  // one per key, in the order first put
  const ParamValue* Find(FourCC key) const;
};

struct ParamTypeRecord {};

struct EventRecord {
  std::string name;
  std::string localized_name;
  int32_t version = 0;
  int32_t flags = 0;
  ActionEventCallback callback = nullptr;
  PluginRef plugin = nullptr;
  void* user_data = nullptr;
};

// The registered events and the live parameter types and blocks of one host.
struct ActionManager {
  std::vector<EventRecord> events;
  AppTable<ParamTypeRecord, AppKind::kParamType> types;
  AppTable<ParamBlock, AppKind::kParamBlock> blocks;

  const EventRecord* FindEvent(const std::string& name) const;
};

// The events the host plays itself, on the front document's selection.
//  - kOffsetEvent: 'ofst' the offset (a unit real in points, or a real),
//    'mitr' the miter limit (4 when absent), 'jntp' the join (enumerated,
//    0 miter, 1 round, 2 bevel; miter when absent).
//  - kPathfinderEvent: 'name' enumerated with the add operation's name.
// kErrBadParameter for a missing or unusable value, kErrNoDocument with no
// document open; the effects' own errors otherwise.
HostErr PlayHostEffect(const std::string& name, const ParamBlock* params, bool* known);

extern const ActionManagerSuite kActionManagerSuiteTable;

}  // namespace host
