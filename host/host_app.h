// The host application: owns the loaded plug-ins, the registries of their
// menus, notifiers, panels and actions, the user and the theme, and sends the
// plug-ins their messages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/actions.h"
#include "host/document.h"
#include "host/plugin_loader.h"
#include "host/registries.h"
#include "host/user.h"
#include "plugin/messages.h"

namespace host {

// A plug-in the host knows: its entry point and what the host keeps for it.
struct PluginRecord {
  std::string name;
  std::string path;  // empty for an entry point handed over directly
  PluginModule module;
  PluginMainProc main = nullptr;
  void* globals = nullptr;  // kept between messages as the plug-in leaves it
  int32_t options = 0;
  bool loaded = true;  // false between Unload and Reload
  bool started = false;
};

// The theme's panel background for element 1, state 0.
constexpr HostThemeColor kLightPanelColor{1, 0.94, 0.94, 0.94};
constexpr HostThemeColor kDarkPanelColor{1, 0.2, 0.2, 0.2};

// One running host. The suites, which the plug-ins call as plain functions,
// work on the current one; only one exists at a time. Its documents are the
// host's document list (Documents()).
class HostApp {
 public:
  HostApp();
  // Shuts every started plug-in down, unloads the modules, destroys the
  // panels and the main window and closes every document.
  ~HostApp();
  HostApp(const HostApp&) = delete;
  HostApp& operator=(const HostApp&) = delete;

  // The running host, or null.
  static HostApp* Current();

  // --- the person in front of the host ---------------------------------------
  // Alerts and questions go to user (not owned; null gives them back to the
  // host's own scripted user, which answers no).
  void SetUser(HostUser* user);
  HostUser& user();
  bool dark_theme() const { return dark_; }
  // Changes the brightness and, when it changed, sends the brightness
  // notification.
  void SetDarkTheme(bool dark);
  HostThemeColor panel_color() const { return dark_ ? kDarkPanelColor : kLightPanelColor; }
  // The host's main window (created with the host).
  WindowHandle main_window() const { return main_window_; }

  // --- plug-ins ------------------------------------------------------------------
  // Loads a module file and checks its PiPL block; *message says why a
  // module was refused.
  HostErr LoadPlugin(const std::string& path, PluginRef* plugin, std::string* message);
  // Loads every module with the extension ".aip" in the folder, in name
  // order. Refused modules are skipped with their messages in refusals.
  HostErr LoadPluginsFrom(const std::string& folder, std::vector<PluginRef>* loaded,
                          std::vector<std::string>* refusals);
  // A plug-in linked into the program, reached through its entry point.
  HostErr AddPlugin(const std::string& name, PluginMainProc main, PluginRef* plugin);
  PluginRecord* Plugin(PluginRef plugin) const;
  std::vector<PluginRef> Plugins() const;

  // Startup to every plug-in not yet started, in load order, then the
  // application-started notification. Returns the first error.
  HostErr Start();
  HostErr Startup(PluginRef plugin);
  HostErr Shutdown(PluginRef plugin);
  HostErr About(PluginRef plugin);
  // Swaps the plug-in's library out and back in, keeping its globals. A
  // module with a panel is not swapped out (kErrRefused): its window
  // procedures live in its library.
  HostErr Unload(PluginRef plugin);
  HostErr Reload(PluginRef plugin);

  // Sends a message to the plug-in: fills the record's MessageData (which
  // every message record begins with), keeps the globals it leaves, and
  // after the outermost message tells the plug-ins if the selection changed.
  HostErr Send(PluginRef plugin, const char* caller, const char* selector, MessageData* data);

  // --- menus, notifications, panels ---------------------------------------------
  Registries& registries() { return registries_; }
  // The person chooses the menu item: menu Go to its plug-in.
  HostErr ChooseMenuItem(MenuItemHandle item);
  // A menu is about to open: menu Update to every item that asked for it.
  HostErr UpdateMenus();
  bool IsMenuItemChecked(MenuItemHandle item) const;
  // Sends the notification to every notifier of that type, in registration
  // order. Returns the first error.
  HostErr Notify(const char* type);
  // The person chooses an item of the panel's flyout menu.
  HostErr ChooseFlyoutItem(PanelRef panel, int32_t item_id);

  // --- documents -------------------------------------------------------------------
  // A new document in front, with the document-new notification.
  Document* NewDocument(const std::string& name);
  // Tells the plug-ins that the document (already in the list) was opened.
  HostErr DocumentOpened(Document* document);
  // Closes the document, with the document-closed notification.
  HostErr CloseDocument(Document* document);

  // --- actions -----------------------------------------------------------------------
  ActionManager& actions() { return actions_; }
  // Plays an event as the action manager suite does.
  HostErr PlayAction(const char* name, int32_t dialog_status, ActionParamsRef params);

  // Runs a host command: when the outermost one ends and the front
  // document's selection changed since the last look, the plug-ins get one
  // art-selection-changed notification.
  template <class F>
  HostErr Command(F&& body) {
    ++depth_;
    HostErr result = body();
    --depth_;
    if (depth_ == 0) CheckSelection();
    return result;
  }
  // Looks at the selection now (for owners that change documents directly).
  void CheckSelection();

 private:
  HostErr AddRecord(std::unique_ptr<PluginRecord> record, PluginRef* plugin);

  std::vector<PluginRef> order_;  // load order
  AppTable<PluginRecord, AppKind::kPlugin> plugins_;
  Registries registries_;
  ActionManager actions_;
  ScriptedUser own_user_;
  HostUser* user_ = nullptr;
  bool dark_ = false;
  WindowHandle main_window_ = nullptr;
  int depth_ = 0;
  bool announcing_ = false;
  uint32_t seen_document_ = 0;
  uint64_t seen_selection_ = 0;
};

}  // namespace host
