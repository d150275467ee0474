// Action events and parameter blocks; the host's offset and pathfinder
// events read their parameters here and run the effects.
#include "host/actions.h"

#include <cmath>
#include <cstring>

#include "host/effects.h"
#include "host/host_app.h"
#include "host/suites_common.h"

namespace host {

const ParamValue* ParamBlock::Find(FourCC key) const {
  for (const ParamValue& v : values) {
    if (v.key == key) return &v;
  }
  return nullptr;
}

const EventRecord* ActionManager::FindEvent(const std::string& name) const {
  for (const EventRecord& e : events) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

namespace {

bool ReadReal(const ParamValue* v, double* out) {
  if (!v) return false;
  if (v->kind == ParamValue::Kind::kReal) {
    *out = v->real;
    return true;
  }
  if (v->kind == ParamValue::Kind::kUnitReal && v->unit == kUnitPoints) {
    *out = v->real;
    return true;
  }
  return false;
}

HostErr PlayOffset(Document& doc, const ParamBlock& params) {
  double offset = 0;
  if (!ReadReal(params.Find(kOffsetKeyOffset), &offset)) return kErrBadParameter;
  double miter = 4;
  if (const ParamValue* v = params.Find(kOffsetKeyMiterLimit)) {
    if (!ReadReal(v, &miter)) return kErrBadParameter;
  }
  int32_t join = kJoinMiter;
  if (const ParamValue* v = params.Find(kOffsetKeyJoinType)) {
    if (v->kind != ParamValue::Kind::kEnumerated) return kErrBadParameter;
    join = v->enumerated;
  }
  if (join < kJoinMiter || join > kJoinBevel) return kErrBadParameter;
  return OffsetSelection(doc, offset, static_cast<int16_t>(join), miter);
}

HostErr PlayPathfinder(Document& doc, const ParamBlock& params) {
  const ParamValue* v = params.Find(kPathfinderKeyOperation);
  if (!v || v->kind != ParamValue::Kind::kEnumerated || v->name != kPathfinderAddName) {
    return kErrBadParameter;
  }
  return UniteSelection(doc);
}

ActionManager* Manager() {
  HostApp* app = HostApp::Current();
  return app ? &app->actions() : nullptr;
}

HostErr NewParamType(ActionParamTypeRef* type) {
  return Guard([&] {
    if (!type) return kErrBadParameter;
    *type = nullptr;
    ActionManager* m = Manager();
    if (!m) return kErrRefused;
    *type = m->types.Add<ActionParamTypeRef>(std::make_unique<ParamTypeRecord>());
    return kNoErr;
  });
}

HostErr ReleaseParamType(ActionParamTypeRef type) {
  return Guard([&] {
    ActionManager* m = Manager();
    if (!m) return kErrRefused;
    if (!type) return kErrBadParameter;
    return m->types.Remove(type) ? kNoErr : kErrBadHandle;
  });
}

HostErr RegisterEvent(const char* name, const char* localized_name, int32_t version, int32_t flags,
                      ActionEventCallback callback, PluginRef plugin, void* user_data,
                      ActionParamTypeRef param_type) {
  return Guard([&] {
    HostApp* app = HostApp::Current();
    if (!app) return kErrRefused;
    if (!name || !*name || !localized_name) return kErrBadParameter;
    if (!app->Plugin(plugin)) return kErrBadHandle;
    if (param_type && !app->actions().types.Get(param_type)) return kErrBadHandle;
    if (app->actions().FindEvent(name) || std::strcmp(name, kOffsetEvent) == 0 ||
        std::strcmp(name, kPathfinderEvent) == 0) {
      return kErrRefused;
    }
    app->actions().events.push_back(
        EventRecord{name, localized_name, version, flags, callback, plugin, user_data});
    return kNoErr;
  });
}

HostErr NewParamBlock(ActionParamsRef* block) {
  return Guard([&] {
    if (!block) return kErrBadParameter;
    *block = nullptr;
    ActionManager* m = Manager();
    if (!m) return kErrRefused;
    *block = m->blocks.Add<ActionParamsRef>(std::make_unique<ParamBlock>());
    return kNoErr;
  });
}

HostErr ReleaseParamBlock(ActionParamsRef block) {
  return Guard([&] {
    if (!block) return kNoErr;
    ActionManager* m = Manager();
    if (!m) return kErrRefused;
    return m->blocks.Remove(block) ? kNoErr : kErrBadHandle;
  });
}

// Sets the key's value in the block, replacing what the key held.
HostErr Put(ActionParamsRef handle, ParamValue value) {
  return Guard([&] {
    ActionManager* m = Manager();
    if (!m) return kErrRefused;
    if (!handle) return kErrBadParameter;
    ParamBlock* block = m->blocks.Get(handle);
    if (!block) return kErrBadHandle;
    for (ParamValue& v : block->values) {
      if (v.key == value.key) {
        v = std::move(value);
        return kNoErr;
      }
    }
    block->values.push_back(std::move(value));
    return kNoErr;
  });
}

HostErr PutUnitReal(ActionParamsRef block, FourCC key, FourCC unit, double value) {
  if (!std::isfinite(value)) return kErrBadParameter;
  ParamValue v;
  v.key = key;
  v.kind = ParamValue::Kind::kUnitReal;
  v.real = value;
  v.unit = unit;
  return Put(block, std::move(v));
}

HostErr PutReal(ActionParamsRef block, FourCC key, double value) {
  if (!std::isfinite(value)) return kErrBadParameter;
  ParamValue v;
  v.key = key;
  v.kind = ParamValue::Kind::kReal;
  v.real = value;
  return Put(block, std::move(v));
}

HostErr PutEnumerated(ActionParamsRef block, FourCC key, const char* name, int32_t value) {
  if (!name) return kErrBadParameter;
  ParamValue v;
  v.key = key;
  v.kind = ParamValue::Kind::kEnumerated;
  v.name = name;
  v.enumerated = value;
  return Put(block, std::move(v));
}

HostErr PlayEvent(const char* name, int32_t dialog_status, ActionParamsRef params) {
  HostApp* app = HostApp::Current();
  if (!app) return kErrRefused;
  if (!name) return kErrBadParameter;
  return app->PlayAction(name, dialog_status, params);
}

}  // namespace

HostErr PlayHostEffect(const std::string& name, const ParamBlock* params, bool* known) {
  *known = name == kOffsetEvent || name == kPathfinderEvent;
  if (!*known) return kErrNotFound;
  Document* doc = Documents().Front();
  if (!doc) return kErrNoDocument;
  if (!params) return kErrBadParameter;
  return name == kOffsetEvent ? PlayOffset(*doc, *params) : PlayPathfinder(*doc, *params);
}

const ActionManagerSuite kActionManagerSuiteTable = {
    .NewParamType = NewParamType,
    .ReleaseParamType = ReleaseParamType,
    .RegisterEvent = RegisterEvent,
    .NewParamBlock = NewParamBlock,
    .ReleaseParamBlock = ReleaseParamBlock,
    .PutUnitReal = PutUnitReal,
    .PutReal = PutReal,
    .PutEnumerated = PutEnumerated,
    .PlayEvent = PlayEvent,
};

}  // namespace host
