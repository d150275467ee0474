// A small plug-in module for the host's loader tests: a PiPL block and a
// PluginMain that keeps a message count in its globals, registers a menu
// item, a notifier and an action at Startup, and reports every message it
// gets as a message alert, so that a test reads them from its scripted user.
// Built with BROKEN_PIPL its block names another kind of plug-in.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "plugin/messages.h"
#include "plugin/suite_action.h"
#include "plugin/suite_basic.h"
#include "plugin/suite_ui.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT const unsigned char PiPL_PLUGIN[] = {
    0,   0,   0,   1,   0,   0,   0,   0,   0, 0, 0, 4,  // reserved 1, version 0, four properties
    'A', 'D', 'B', 'E', 'i', 'v', 'r', 's', 0, 0, 0, 0, 0, 0, 0, 4,  0,   0,   0,   2,
    'A', 'D', 'B', 'E', 'w', 'x', '8', '6', 0, 0, 0, 0, 0, 0, 0, 0,
#ifdef BROKEN_PIPL
    'A', 'D', 'B', 'E', 'k', 'i', 'n', 'd', 0, 0, 0, 0, 0, 0, 0, 4,  'S', 'P', 'E', 'X',
#else
    'A', 'D', 'B', 'E', 'k', 'i', 'n', 'd', 0, 0, 0, 0, 0, 0, 0, 4,  'S', 'P', 'E', 'A',
#endif
    'A', 'D', 'B', 'E', 'p', 'i', 'n', 'm', 0, 0, 0, 0, 0, 0, 0, 12, 'T', 'e', 's', 't',
    ' ', 'M', 'o', 'd', 'u', 'l', 'e', 0,
};
EXPORT const uint32_t PiPL_PLUGIN_size = sizeof(PiPL_PLUGIN);

namespace {

struct Globals {
  int32_t messages;
  MenuItemHandle item;
};

template <class Suite>
const Suite* Acquire(const BasicSuite* basic, const char* name, int32_t version) {
  const void* suite = nullptr;
  if (basic->AcquireSuite(name, version, &suite) != kNoErr) return nullptr;
  return static_cast<const Suite*>(suite);
}

void Report(const BasicSuite* basic, const char* text) {
  if (const auto* user = Acquire<UserSuite>(basic, kUserSuiteName, kUserSuiteVersion)) {
    user->MessageAlert(text);
    basic->ReleaseSuite(kUserSuiteName, kUserSuiteVersion);
  }
}

HostErr Startup(MessageData* d) {
  void* block = nullptr;
  if (HostErr err = d->basic->AllocateBlock(sizeof(Globals), &block)) return err;
  d->globals = block;
  auto* g = static_cast<Globals*>(block);
  g->messages = 1;
  const auto* menu = Acquire<MenuSuite>(d->basic, kMenuSuiteName, kMenuSuiteVersion);
  const auto* notifier =
      Acquire<NotifierSuite>(d->basic, kNotifierSuiteName, kNotifierSuiteVersion);
  const auto* actions =
      Acquire<ActionManagerSuite>(d->basic, kActionManagerSuiteName, kActionManagerSuiteVersion);
  HostErr err = kErrSuiteNotFound;
  if (menu && notifier && actions) {
    err = menu->AddMenuItem(d->plugin, "TEST_ITEM", kMenuGroupToolPalettes, "Test", 1, &g->item);
    if (!err)
      err = notifier->AddNotifier(d->plugin, "Test Started", kNotifyApplicationStarted, nullptr);
    ActionParamTypeRef type = nullptr;
    if (!err) err = actions->NewParamType(&type);
    if (!err)
      err = actions->RegisterEvent("TEST_EVENT", "Test Event", 1, 0, nullptr, d->plugin, nullptr,
                                   type);
    if (type) actions->ReleaseParamType(type);
  }
  if (menu) d->basic->ReleaseSuite(kMenuSuiteName, kMenuSuiteVersion);
  if (notifier) d->basic->ReleaseSuite(kNotifierSuiteName, kNotifierSuiteVersion);
  if (actions) d->basic->ReleaseSuite(kActionManagerSuiteName, kActionManagerSuiteVersion);
  return err;
}

bool Is(const MessageData* d, const char* a, const char* b) {
  bool equal = false;
  return d->basic->IsEqual(a, b, &equal) == kNoErr && equal;
}

}  // namespace

EXPORT HostErr PluginMain(const char* caller, const char* selector, void* message) {
  auto* d = static_cast<MessageData*>(message);
  char text[160];
  if (Is(d, caller, kCallerInterface) && Is(d, selector, kSelectorStartup)) {
    HostErr err = Startup(d);
    Report(d->basic, err ? "Startup failed" : "Startup");
    return err;
  }
  auto* g = static_cast<Globals*>(d->globals);
  if (!g) return kErrBadParameter;
  ++g->messages;
  if (Is(d, caller, kCallerInterface) && Is(d, selector, kSelectorShutdown)) {
    std::snprintf(text, sizeof text, "Shutdown %d", static_cast<int>(g->messages));
    d->basic->FreeBlock(g);
    d->globals = nullptr;
  } else if (Is(d, caller, kCallerMenu)) {
    auto* m = static_cast<MenuMessage*>(message);
    std::snprintf(text, sizeof text, "%s %s %d", selector,
                  m->menu_item == g->item ? "mine" : "other", static_cast<int>(g->messages));
  } else if (Is(d, caller, kCallerNotifier)) {
    auto* n = static_cast<NotifierMessage*>(message);
    std::snprintf(text, sizeof text, "Notify %s %d", n->type, static_cast<int>(g->messages));
  } else if (Is(d, caller, kCallerActionManager)) {
    auto* a = static_cast<DoActionMessage*>(message);
    std::snprintf(text, sizeof text, "Do Action %s %d %d", a->event_name,
                  static_cast<int>(a->dialog_status), static_cast<int>(g->messages));
  } else {
    std::snprintf(text, sizeof text, "%s %s %d", caller, selector, static_cast<int>(g->messages));
  }
  Report(d->basic, text);
  return kNoErr;
}
