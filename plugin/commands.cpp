// Registrations, menu items, notifications, the panel's life and the Do
// Action handler.
#include "plugin/commands.h"

#include <cmath>
#include <cstring>
#include <string>

#include "platform/window.h"
#include "plugin/command_runs.h"
#include "plugin/command_state.h"
#include "plugin/names.h"
#include "plugin/suite_table.h"
#include "settings/settings_file.h"
#include "ui/about_dialog.h"
#include "ui/initial_settings.h"
#include "ui/nest_panel.h"

namespace {

ModuleRef g_module_instance = nullptr;

// Texts of the nesting command.
struct CommandText {
  const char* english;
  const char* japanese;
};
constexpr CommandText kNestQuestion = {"Start optimization of the nesting. Are you sure?",
                                       "集版の最適化を行います。\rよろしいですか？"};
// The host's undo and redo texts after a nesting, the same in both languages.
constexpr char kNestUndoText[] = "集版最適化の取り消し";
constexpr char kNestRedoText[] = "集版最適化のやり直し";

const char* InLanguage(const CommandText& text) {
  return g_globals != nullptr && g_globals->language == kLanguageJapanese ? text.japanese
                                                                          : text.english;
}

// Longest menu group name compared.
constexpr int kGroupNameCapacity = 256;

HostErr RegisterNotifiers(PluginGlobals* g) {
  const NotifierSuite* notifiers = HeldSuite<NotifierSuite>();
  if (notifiers == nullptr) return kErrSuiteNotFound;
  bool first = true;
  for (const NotifierName& entry : kNotifierNames) {
    NotifierHandle handle = nullptr;
    HostErr err = notifiers->AddNotifier(g->plugin_ref, entry.name, entry.type, &handle);
    if (err != kNoErr) return err;
    if (first) g->started_notifier = handle;
    first = false;
  }
  return kNoErr;
}

// Whether a menu group of that name exists; a group that cannot be read
// ends the search as if none was found.
bool HasMenuGroup(const MenuSuite* menus, const char* name, HostErr* error) {
  int32_t count = 0;
  *error = menus->CountMenuGroups(&count);
  if (*error != kNoErr) return false;
  for (int32_t i = 0; i < count; ++i) {
    MenuGroupHandle group = nullptr;
    char group_name[kGroupNameCapacity] = "";
    if (menus->GetNthMenuGroup(i, &group) != kNoErr) return false;
    if (menus->GetMenuGroupName(group, group_name, kGroupNameCapacity) != kNoErr) return false;
    if (std::strcmp(group_name, name) == 0) return true;
  }
  return false;
}

HostErr RegisterMenus(PluginGlobals* g) {
  const MenuSuite* menus = HeldSuite<MenuSuite>();
  if (menus == nullptr) return kErrSuiteNotFound;
  HostErr err = menus->AddMenuItem(g->plugin_ref, kPanelMenuItemName, kMenuGroupToolPalettes,
                                   kPanelMenuItemText, kMenuItemWantsUpdate, &g->panel_menu_item);
  if (err != kNoErr) return err;
  const bool shared_group_exists = HasMenuGroup(menus, kMakerAboutName, &err);
  if (err != kNoErr) return err;
  if (!shared_group_exists) {
    // The first plug-in of the maker makes the About submenu the others
    // add their items to.
    MenuItemHandle about_parent = nullptr;
    if (menus->AddMenuItem(g->plugin_ref, kMakerAboutName, kMenuGroupAbout, kMakerAboutText, 0,
                           &about_parent) == kNoErr) {
      menus->AddMenuGroupAsSubMenu(kMakerAboutName, kMenuGroupSortedAlphabetically, about_parent,
                                   nullptr);
    }
  }
  const std::string about_text = std::string(g->product_name) + "...";
  return menus->AddMenuItem(g->plugin_ref, g->product_name, kMakerAboutName, about_text.c_str(), 0,
                            &g->about_menu_item);
}

void RegisterAction(PluginGlobals* g) {
  const ActionManagerSuite* actions = HeldSuite<ActionManagerSuite>();
  if (actions == nullptr) return;
  ActionParamTypeRef type = nullptr;
  if (actions->NewParamType(&type) != kNoErr || type == nullptr) return;
  if (g->plugin_ref != nullptr) {
    actions->RegisterEvent(kActionEventName, kActionEventShownName, kActionEventVersion, 0, nullptr,
                           g->plugin_ref, nullptr, type);
  }
  actions->ReleaseParamType(type);
}

WindowHandle PanelWindow() {
  const PluginGlobals* g = g_globals;
  const PanelSuite* panels = HeldSuite<PanelSuite>();
  if (g == nullptr || g->panel == nullptr || panels == nullptr) return nullptr;
  WindowHandle window = nullptr;
  if (panels->GetPanelWindow(g->panel, &window) != kNoErr) return nullptr;
  return window;
}

// Creates the panel with its flyout menu and builds the controls in it.
void CreatePanel(PluginGlobals* g) {
  if (const AccessSuite* access = HeldSuite<AccessSuite>()) {
    access->GetPluginInstance(g->plugin_ref, &g_module_instance);
  }
  const PanelSuite* panels = HeldSuite<PanelSuite>();
  const FlyoutMenuSuite* flyouts = HeldSuite<FlyoutMenuSuite>();
  if (panels == nullptr || flyouts == nullptr) return;
  // A scale the host cannot state keeps the unscaled size.
  const double scale = std::isfinite(g->ui_scale) && g->ui_scale > 0 ? g->ui_scale : 1.0;
  const auto min_width = static_cast<int32_t>(std::trunc(240 / scale + 0.5));
  const auto min_height = static_cast<int32_t>(std::trunc(320 / scale + 0.5));

  if (flyouts->CreateFlyoutMenu(&g->flyout_menu) == kNoErr && g->flyout_menu != nullptr) {
    flyouts->AppendFlyoutItem(g->flyout_menu, kFlyoutInitialSettingsId,
                              ui::GetPanelText(ui::PanelText::kInitialSettingsItem, g->language));
  }
  if (panels->CreatePanel(g->plugin_ref, kPanelId, kPanelTitle, 1, min_width, min_height, 0,
                          g->flyout_menu, nullptr, &g->panel) != kNoErr) {
    g->panel = nullptr;
  }
  if (g->panel == nullptr) return;
  panels->SetFlyoutMenuHandler(g->panel, ui::InitialSettingsFlyoutHandler);
  WindowHandle window = nullptr;
  if (panels->GetPanelWindow(g->panel, &window) == kNoErr && window != nullptr) {
    ui::BuildPanel(window);
  }
  panels->ShowPanel(g->panel, true);
}

bool Is(const char* a, const char* b) {
  return a != nullptr && std::strcmp(a, b) == 0;
}

void RunNestCommand(PluginGlobals* g) {
  const UserSuite* user = HeldSuite<UserSuite>();
  int32_t answer = kAnswerNo;
  if (user == nullptr || user->YesNoAlert(InLanguage(kNestQuestion), &answer) != kNoErr) return;
  if (answer != kAnswerYes) return;
  const CommandRuns& runs = GetCommandRuns();
  int32_t extra_sheets = 0;
  int32_t result = 0;
  // Step and repeat fills one sheet unless rotation during nesting has
  // finer steps than a half turn; those need the nesting search.
  if (g->one_page_reproduction == 0 ||
      (g->enable_anytime_rotation != 0 && g->anytime_rotation_mode != 0)) {
    result = runs.run_nesting(&extra_sheets);
  } else {
    result = runs.run_step_and_repeat(&extra_sheets);
  }
  if (const UndoSuite* undo = HeldSuite<UndoSuite>()) {
    undo->SetUndoText(kNestUndoText, kNestRedoText);
  }
  if (result == 0) runs.create_sheet_artboards(extra_sheets + 1);
}

void RunSetQuantityCommand() {
  WindowHandle window = PanelWindow();
  if (window == nullptr) return;
  const int32_t quantity = ui::ReadQuantity(window);
  if (quantity == -1) return;
  GetCommandRuns().apply_selection_quantity(quantity);
}

}  // namespace

ModuleRef PluginInstance() {
  return g_module_instance;
}

HostErr RegisterHostObjects(void*, PluginGlobals* g) {
  if (g == nullptr) return kErrBadParameter;
  if (HostErr err = RegisterNotifiers(g)) return err;
  if (HostErr err = RegisterMenus(g)) return err;
  RegisterAction(g);
  return kNoErr;
}

HostErr MenuGo(const MenuMessage& message) {
  PluginGlobals* g = g_globals;
  if (g == nullptr || message.menu_item == nullptr) return kNoErr;
  if (message.menu_item == g->panel_menu_item && g->panel != nullptr) {
    if (const PanelSuite* panels = HeldSuite<PanelSuite>()) {
      bool shown = false;
      if (panels->IsPanelShown(g->panel, &shown) == kNoErr) panels->ShowPanel(g->panel, !shown);
    }
  }
  if (message.menu_item == g->about_menu_item) ui::RunAboutDialog(HostMainWindow());
  return kNoErr;
}

HostErr MenuUpdate(const MenuMessage&) {
  PluginGlobals* g = g_globals;
  if (g == nullptr || g->panel == nullptr) return kNoErr;
  const PanelSuite* panels = HeldSuite<PanelSuite>();
  const MenuSuite* menus = HeldSuite<MenuSuite>();
  if (panels == nullptr || menus == nullptr) return kNoErr;
  bool shown = false;
  if (panels->IsPanelShown(g->panel, &shown) != kNoErr) shown = false;
  menus->CheckMenuItem(g->panel_menu_item, shown);
  return kNoErr;
}

HostErr Notify(const NotifierMessage& message) {
  PluginGlobals* g = g_globals;
  if (g == nullptr) return kNoErr;
  if (message.notifier != nullptr && message.notifier == g->started_notifier) {
    g->basic_suite = message.d.basic;
    if (g->panel == nullptr) CreatePanel(g);
    return kNoErr;
  }
  if (g->panel == nullptr) return kNoErr;
  const char* type = message.type;
  if (Is(type, kNotifyBrightnessChanged)) {
    if (WindowHandle window = PanelWindow()) {
      ui::RefreshPanelTheme();
      platform::InvalidateWindow(window, true);
    }
  } else if (Is(type, kNotifyDocumentClosed) || Is(type, kNotifyDocumentOpened) ||
             Is(type, kNotifyDocumentNew)) {
    g->current_document = nullptr;
    if (const DocumentSuite* documents = HeldSuite<DocumentSuite>()) {
      DocumentHandle document = nullptr;
      if (documents->GetCurrentDocument(&document) == kNoErr) g->current_document = document;
    }
  } else if (Is(type, kNotifyArtSelectionChanged)) {
    const int32_t quantity = GetCommandRuns().selection_quantity();
    if (WindowHandle window = PanelWindow()) ui::ShowQuantity(window, quantity);
  }
  return kNoErr;
}

HostErr DoAction(const DoActionMessage& message) {
  PluginGlobals* g = g_globals;
  if (g == nullptr) return kNoErr;
  g->basic_suite = message.d.basic;
  // A button pressed while a run pumps its messages starts nothing: one
  // command at a time works on the document.
  if (!CommandInProgress()) {
    SetCommandInProgress(true);
    switch (g->command_code) {
      case kCommandNest:
        RunNestCommand(g);
        break;
      case kCommandSetQuantity:
        RunSetQuantityCommand();
        break;
      default:
        break;
    }
    SetCommandInProgress(false);
  }
  g->command_code = kCommandNone;
  return kNoErr;
}

void TearDownPanel() {
  PluginGlobals* g = g_globals;
  if (g == nullptr) return;
  if (g->panel != nullptr) {
    if (WindowHandle window = PanelWindow()) {
      ui::ReadPanelIntoSettings(window);
      ui::RestorePanelProc(window);
      platform::DestroyWindow(window);
    }
    settings::SaveSettings(*g, nullptr);
    if (const PanelSuite* panels = HeldSuite<PanelSuite>()) panels->DestroyPanel(g->panel);
    g->panel = nullptr;
    ui::DeletePanelResources();
  }
  if (g->flyout_menu != nullptr) {
    if (const FlyoutMenuSuite* flyouts = HeldSuite<FlyoutMenuSuite>()) {
      flyouts->DestroyFlyoutMenu(g->flyout_menu);
    }
    g->flyout_menu = nullptr;
  }
}
