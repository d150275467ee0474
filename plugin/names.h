// The names the plug-in registers with the host: its action event, menu
// items and group, notifiers, panel and flyout item, and the command codes
// the panel hands to the action.
#pragma once

#include <cstdint>

#include "plugin/suite_ui.h"

// The plug-in's one action event: the panel plays it, the host answers with
// a Do Action message.
constexpr char kActionEventName[] = "ZOLVANE_INSIDECMD";
constexpr char kActionEventShownName[] = "Zolvane Inside Objects Command";
constexpr int32_t kActionEventVersion = 1;

// The item of the host's panel menu that shows and hides the panel.
constexpr char kPanelMenuItemName[] = "ZOLVANE_INFO Group";
constexpr char kPanelMenuItemText[] = "Zolvane";
// The maker's About submenu, shared by every plug-in of the maker.
constexpr char kMakerAboutName[] = "HV_PLUGINS_ABOUT";
constexpr char kMakerAboutText[] = "About Plug-ins (Halvorn)";

// Notifier names, each with the notification it asks for, in the order
// they are registered. The first is the application-started notifier.
struct NotifierName {
  const char* name;
  const char* type;
};
inline constexpr NotifierName kNotifierNames[] = {
    {"Zolvane_NOTIFIER", kNotifyApplicationStarted},
    {"Zolvane Brightness Changed Notifier", kNotifyBrightnessChanged},
    {"Zolvane Document Closed Notifier", kNotifyDocumentClosed},
    {"Zolvane Document Opened Notifier", kNotifyDocumentOpened},
    {"Zolvane Document New Notifier", kNotifyDocumentNew},
    {"Zolvane ArtSelection Changed Notifier", kNotifyArtSelectionChanged},
};

// The panel.
constexpr char kPanelId[] = "Zolvane_INF_PALETTE";
constexpr char kPanelTitle[] = "Zolvane";
// The flyout menu's one item: the Initial Settings dialog.
constexpr int32_t kFlyoutInitialSettingsId = 1;

// What the next Do Action message runs (PluginGlobals::command_code).
enum CommandCode : int32_t {
  kCommandNone = 0,
  kCommandNest = 6,          // "Nesting optimization"
  kCommandSetQuantity = 12,  // "Set"
};
