// The host's user interface: alerts, theme, main window, menus, notifiers,
// panels and their flyout menus.
#pragma once

#include <cstdint>

#include "platform/window_types.h"
#include "plugin/host_types.h"

// Every text handed to the host is UTF-8.

// ---------------------------------------------------------------------------

constexpr char kUserSuiteName[] = "AI User Suite";
constexpr int32_t kUserSuiteVersion = 21;

// Answers of YesNoAlert.
enum AlertAnswer : int32_t {
  kAnswerNo = 0,
  kAnswerYes = 1,
};

struct UserSuite {
  // Shows the text in a message box with an OK button and waits for it.
  HostErr (*MessageAlert)(const char* text);
  // Shows the text as an error, with an OK button, and waits for it.
  HostErr (*ErrorAlert)(const char* text);
  // Asks the question with Yes and No buttons; *answer is kAnswerYes or
  // kAnswerNo.
  HostErr (*YesNoAlert)(const char* text, int32_t* answer);
  // The factor by which the host scales its user interface (1.0 unscaled).
  HostErr (*GetUIScaleFactor)(double* scale);
};

// ---------------------------------------------------------------------------

constexpr char kThemeSuiteName[] = "AI User Interface Theme Suite";
constexpr int32_t kThemeSuiteVersion = 2;

// Elements and states of the theme's colours.
constexpr int32_t kThemeElementPanelBackground = 1;
constexpr int32_t kThemeStateNormal = 0;

struct ThemeSuite {
  // Whether the host's interface is currently dark.
  HostErr (*IsThemeDark)(bool* dark);
  // The theme's colour of an interface element in a state.
  HostErr (*GetThemeColor)(int32_t element, int32_t state, HostThemeColor* color);
};

// ---------------------------------------------------------------------------

constexpr char kContextSuiteName[] = "AI Context Suite";
constexpr int32_t kContextSuiteVersion = 10;

struct ContextSuite {
  // The host's main window: owner of the plug-in's dialogs, and where the
  // keyboard focus goes back to so the host's shortcuts work.
  HostErr (*GetMainWindow)(WindowHandle* window);
};

// ---------------------------------------------------------------------------

constexpr char kMenuSuiteName[] = "AI Menu Suite";
constexpr int32_t kMenuSuiteVersion = 11;

// The host's own menu groups that plug-ins add items to.
constexpr char kMenuGroupToolPalettes[] = "Tool Palettes";  // Window menu, panels
constexpr char kMenuGroupAbout[] = "About";                 // Help menu, about boxes

// Option bits of a menu item.
enum MenuItemOption : int32_t {
  kMenuItemWantsUpdate = 1,  // the item gets an update message before its menu opens
};
// Option bits of a menu group.
enum MenuGroupOption : int32_t {
  kMenuGroupSortedAlphabetically = 1,  // items kept in alphabetical order
};

// A chosen item comes back as a menu message carrying its handle.
struct MenuSuite {
  // Adds an item named name (unique per plug-in) showing text to the menu
  // group group_name. kErrNotFound when there is no such group.
  HostErr (*AddMenuItem)(PluginRef plugin, const char* name, const char* group_name,
                         const char* text, int32_t options, MenuItemHandle* item);
  // Creates the menu group name as the submenu of parent, so items can be
  // added to it by that name.
  HostErr (*AddMenuGroupAsSubMenu)(const char* name, int32_t options, MenuItemHandle parent,
                                   MenuGroupHandle* group);
  // The number of menu groups, the host's and those of all plug-ins.
  HostErr (*CountMenuGroups)(int32_t* count);
  // The menu group at index (0 .. count - 1).
  HostErr (*GetNthMenuGroup)(int32_t index, MenuGroupHandle* group);
  // The group's name, truncated to capacity - 1 bytes and terminated.
  HostErr (*GetMenuGroupName)(MenuGroupHandle group, char* name, int32_t capacity);
  // Puts a check mark on the item, or takes it away.
  HostErr (*CheckMenuItem)(MenuItemHandle item, bool checked);
};

// ---------------------------------------------------------------------------

constexpr char kNotifierSuiteName[] = "AI Notifier Suite";
constexpr int32_t kNotifierSuiteVersion = 4;

// Notifications the host sends.
constexpr char kNotifyApplicationStarted[] = "AI Application Started Notifier";
constexpr char kNotifyBrightnessChanged[] = "AI UI Brightness Changed Notifier";
constexpr char kNotifyDocumentClosed[] = "AI Document Closed Notifier";
constexpr char kNotifyDocumentOpened[] = "AI Document Opened Notifier";
constexpr char kNotifyDocumentNew[] = "AI Document New Notifier";
constexpr char kNotifyArtSelectionChanged[] = "AI Art Selection Changed Notifier";

struct NotifierSuite {
  // Asks for a notifier message, carrying the returned handle and the type,
  // whenever the host sends the notification of that type. name identifies
  // the registration.
  HostErr (*AddNotifier)(PluginRef plugin, const char* name, const char* type,
                         NotifierHandle* notifier);
};

// ---------------------------------------------------------------------------

constexpr char kPanelSuiteName[] = "AI Panel Suite";
constexpr int32_t kPanelSuiteVersion = 4;

// Called by the host, inside the plug-in's module, when the user chooses an
// item of a panel's flyout menu; item_id is the id it was appended with.
using PanelFlyoutHandler = void (*)(PanelRef panel, int32_t item_id);

struct PanelSuite {
  // Creates a floating panel, hidden, with its own native window. id is
  // unique in the host; states is the number of size states; the size is the
  // smallest the user can make it, in pixels; flyout (may be null) is shown
  // from the panel's menu button; user_data is the plug-in's.
  HostErr (*CreatePanel)(PluginRef plugin, const char* id, const char* title, int32_t states,
                         int32_t min_width, int32_t min_height, int32_t options,
                         FlyoutMenuRef flyout, void* user_data, PanelRef* panel);
  // Destroys the panel and its window; the flyout menu is left alone.
  HostErr (*DestroyPanel)(PanelRef panel);
  // The panel's native window, the parent of the plug-in's controls.
  HostErr (*GetPanelWindow)(PanelRef panel, WindowHandle* window);
  // Shows or hides the panel.
  HostErr (*ShowPanel)(PanelRef panel, bool show);
  // Whether the panel is shown.
  HostErr (*IsPanelShown)(PanelRef panel, bool* shown);
  // The function the host calls when a flyout item of the panel is chosen;
  // null stops the calls.
  HostErr (*SetFlyoutMenuHandler)(PanelRef panel, PanelFlyoutHandler handler);
};

// ---------------------------------------------------------------------------

constexpr char kFlyoutMenuSuiteName[] = "AI Panel Flyout Menu Suite";
constexpr int32_t kFlyoutMenuSuiteVersion = 2;

struct FlyoutMenuSuite {
  // Creates an empty flyout menu.
  HostErr (*CreateFlyoutMenu)(FlyoutMenuRef* menu);
  // Appends an item showing text; the handler receives item_id.
  HostErr (*AppendFlyoutItem)(FlyoutMenuRef menu, int32_t item_id, const char* text);
  // Destroys the menu (a panel using it shows no flyout afterwards).
  HostErr (*DestroyFlyoutMenu)(FlyoutMenuRef menu);
};
