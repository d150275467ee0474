// The messages the host sends the plug-in: the entry point, the caller and
// selector texts, and the records that travel with each message.
#pragma once

#include <cstdint>

#include "plugin/host_types.h"

struct BasicSuite;

// Callers and their selectors. The host names the kind of message by the
// pair; the plug-in compares them with the basic suite's IsEqual.
constexpr char kCallerAccess[] = "SP Access";  // the library is swapped out and in
constexpr char kSelectorUnload[] = "Unload";
constexpr char kSelectorReload[] = "Reload";

constexpr char kCallerInterface[] = "SP Interface";  // life of the plug-in
constexpr char kSelectorStartup[] = "Startup";
constexpr char kSelectorAbout[] = "About";
constexpr char kSelectorShutdown[] = "Shutdown";

constexpr char kCallerMenu[] = "AI Menu";            // one of the plug-in's menu items
constexpr char kSelectorMenuGo[] = "AI Go";          // the item was chosen
constexpr char kSelectorMenuUpdate[] = "AI Update";  // its menu is about to open

constexpr char kCallerNotifier[] = "AI Notifier";  // a notification it asked for
constexpr char kSelectorNotify[] = "AI Notify";

constexpr char kCallerActionManager[] = "Action Manager";  // its action event was played
constexpr char kSelectorDoAction[] = "Do Action";

// What every message carries. The other records begin with it, so the entry
// point reads it from any message before it knows the kind.
struct MessageData {
  PluginRef plugin;         // the host's reference to the plug-in
  void* globals;            // the plug-in's globals block; the host keeps what
                            // the plug-in writes here and hands it back next time
  const BasicSuite* basic;  // the host's basic suite
};

// "AI Menu": the item that was chosen or is to be updated.
struct MenuMessage {
  MessageData d;
  MenuItemHandle menu_item;
};

// "AI Notifier": the registration that asked for it and the notification.
struct NotifierMessage {
  MessageData d;
  NotifierHandle notifier;
  const char* type;  // the notification's type name, such as kNotifyDocumentNew
};

// "Action Manager" / "Do Action": the event being played.
struct DoActionMessage {
  MessageData d;
  const char* event_name;  // the name it was registered with
  int32_t dialog_status;   // as passed to PlayEvent
  ActionParamsRef params;  // the parameters it was played with, may be null
};

// The plug-in's one exported function (exported by this name, C linkage),
// called by the host for every message: caller and selector name the message,
// message points at the record of that kind (MessageData or one that begins
// with it). Returns 0 or an error code.
constexpr char kPluginMainName[] = "PluginMain";
using PluginMainProc = HostErr (*)(const char* caller, const char* selector, void* message);
