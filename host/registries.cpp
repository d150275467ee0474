// Menu items and groups, notifiers, panels and flyout menus, and the
// suites that plug-ins register them with.
#include "host/registries.h"

#include "host/host_app.h"
#include "host/suites_common.h"
#include "platform/gdi.h"
#include "platform/window.h"

namespace host {

Registries::Registries() {
  for (const char* name : {kMenuGroupToolPalettes, kMenuGroupAbout}) {
    auto group = std::make_unique<MenuGroupRecord>();
    group->name = name;
    groups.Add<MenuGroupHandle>(std::move(group));
  }
}

Registries::~Registries() {
  for (const auto& [id, panel] : panels.records()) {
    if (platform::IsWindow(panel->window)) platform::DestroyWindow(panel->window);
  }
}

bool Registries::HasGroup(const std::string& name) const {
  for (const auto& [id, group] : groups.records()) {
    if (group->name == name) return true;
  }
  return false;
}

MenuItemHandle Registries::FindItem(const std::string& name) const {
  for (const auto& [id, item] : items.records()) {
    if (item->name == name) return decltype(items)::HandleOf<MenuItemHandle>(id);
  }
  return nullptr;
}

PanelRef Registries::FindPanel(const std::string& id_text) const {
  for (const auto& [id, panel] : panels.records()) {
    if (panel->id == id_text) return decltype(panels)::HandleOf<PanelRef>(id);
  }
  return nullptr;
}

namespace {

// The class of the panels' native windows: plain windows the plug-in fills
// with its controls and whose procedure it replaces.
constexpr char kPanelWindowClass[] = "HostPanel";
// Where new panels appear on the screen.
constexpr int kPanelX = 1200;
constexpr int kPanelY = 120;

template <class F>
HostErr WithApp(F&& body) {
  return Guard([&] {
    HostApp* app = HostApp::Current();
    if (!app) return kErrRefused;
    return body(*app);
  });
}

// --- menus ---------------------------------------------------------------------

HostErr AddMenuItem(PluginRef plugin, const char* name, const char* group_name, const char* text,
                    int32_t options, MenuItemHandle* item) {
  if (item) *item = nullptr;
  if (!name || !*name || !group_name || !text) return kErrBadParameter;
  return WithApp([&](HostApp& app) {
    if (!app.Plugin(plugin)) return kErrBadHandle;
    Registries& r = app.registries();
    if (!r.HasGroup(group_name)) return kErrNotFound;
    for (const auto& [id, existing] : r.items.records()) {
      if (existing->plugin == plugin && existing->name == name) return kErrRefused;
    }
    auto record = std::make_unique<MenuItemRecord>();
    record->plugin = plugin;
    record->name = name;
    record->group = group_name;
    record->text = text;
    record->options = options;
    MenuItemHandle made = r.items.Add<MenuItemHandle>(std::move(record));
    if (item) *item = made;
    return kNoErr;
  });
}

HostErr AddMenuGroupAsSubMenu(const char* name, int32_t options, MenuItemHandle parent,
                              MenuGroupHandle* group) {
  if (group) *group = nullptr;
  if (!name || !*name) return kErrBadParameter;
  return WithApp([&](HostApp& app) {
    Registries& r = app.registries();
    if (!parent) return kErrBadParameter;
    if (!r.items.Get(parent)) return kErrBadHandle;
    if (r.HasGroup(name)) return kErrRefused;
    auto record = std::make_unique<MenuGroupRecord>();
    record->name = name;
    record->options = options;
    record->parent = parent;
    MenuGroupHandle made = r.groups.Add<MenuGroupHandle>(std::move(record));
    if (group) *group = made;
    return kNoErr;
  });
}

HostErr CountMenuGroups(int32_t* count) {
  if (!count) return kErrBadParameter;
  *count = 0;
  return WithApp([&](HostApp& app) {
    *count = static_cast<int32_t>(app.registries().groups.records().size());
    return kNoErr;
  });
}

HostErr GetNthMenuGroup(int32_t index, MenuGroupHandle* group) {
  if (!group) return kErrBadParameter;
  *group = nullptr;
  return WithApp([&](HostApp& app) {
    const auto& groups = app.registries().groups.records();
    if (index < 0 || static_cast<size_t>(index) >= groups.size()) return kErrBadParameter;
    auto it = groups.begin();
    std::advance(it, index);
    *group = decltype(app.registries().groups)::HandleOf<MenuGroupHandle>(it->first);
    return kNoErr;
  });
}

HostErr GetMenuGroupName(MenuGroupHandle group, char* name, int32_t capacity) {
  if (!name || capacity <= 0) return kErrBadParameter;
  name[0] = '\0';
  return WithApp([&](HostApp& app) {
    if (!group) return kErrBadParameter;
    const MenuGroupRecord* record = app.registries().groups.Get(group);
    if (!record) return kErrBadHandle;
    CopyText(record->name, name, capacity);
    return kNoErr;
  });
}

HostErr CheckMenuItem(MenuItemHandle item, bool checked) {
  return WithApp([&](HostApp& app) {
    if (!item) return kErrBadParameter;
    MenuItemRecord* record = app.registries().items.Get(item);
    if (!record) return kErrBadHandle;
    record->checked = checked;
    return kNoErr;
  });
}

// --- notifiers -------------------------------------------------------------------

HostErr AddNotifier(PluginRef plugin, const char* name, const char* type,
                    NotifierHandle* notifier) {
  if (notifier) *notifier = nullptr;
  if (!name || !*name || !type || !*type) return kErrBadParameter;
  return WithApp([&](HostApp& app) {
    if (!app.Plugin(plugin)) return kErrBadHandle;
    Registries& r = app.registries();
    for (const auto& [id, existing] : r.notifiers.records()) {
      if (existing->plugin == plugin && existing->name == name) return kErrRefused;
    }
    auto record = std::make_unique<NotifierRecord>();
    record->plugin = plugin;
    record->name = name;
    record->type = type;
    NotifierHandle made = r.notifiers.Add<NotifierHandle>(std::move(record));
    if (notifier) *notifier = made;
    return kNoErr;
  });
}

// --- panels ------------------------------------------------------------------------

// A panel's own drawing: its client area in the theme's panel colour, as the
// host paints every panel before the plug-in's controls.
intptr_t PanelWindowProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (message != platform::kMsgPaint) {
    return platform::DefaultWindowProc(window, message, wparam, lparam);
  }
  HostApp* app = HostApp::Current();
  const HostThemeColor theme = app ? app->panel_color() : kLightPanelColor;
  auto channel = [](double c) { return static_cast<uint8_t>(c <= 0 ? 0 : c >= 1 ? 255 : c * 255); };
  const ColorRef color =
      MakeColorRef(channel(theme.red), channel(theme.green), channel(theme.blue));
  DcHandle dc = reinterpret_cast<DcHandle>(wparam);
  const bool own = dc == nullptr || !platform::IsDc(dc);
  if (own) dc = platform::GetDc(window);
  BrushHandle brush = platform::CreateSolidBrush(color);
  platform::FillRect(dc, platform::GetClientRect(window), brush);
  platform::DeleteBrush(brush);
  if (own) platform::ReleaseDc(window, dc);
  return 0;
}

void RegisterPanelClass() {
  static bool registered = platform::RegisterWindowClass(kPanelWindowClass, PanelWindowProc);
  (void)registered;
}

HostErr CreatePanel(PluginRef plugin, const char* id, const char* title, int32_t states,
                    int32_t min_width, int32_t min_height, int32_t options, FlyoutMenuRef flyout,
                    void* user_data, PanelRef* panel) {
  if (!panel) return kErrBadParameter;
  *panel = nullptr;
  if (!id || !*id || !title || states < 1 || min_width < 0 || min_height < 0) {
    return kErrBadParameter;
  }
  return WithApp([&](HostApp& app) {
    if (!app.Plugin(plugin)) return kErrBadHandle;
    Registries& r = app.registries();
    if (flyout && !r.flyouts.Get(flyout)) return kErrBadHandle;
    if (r.FindPanel(id)) return kErrRefused;
    RegisterPanelClass();
    platform::WindowDesc desc;
    desc.class_name = kPanelWindowClass;
    desc.text = title;
    desc.style = platform::kStylePopup | platform::kStyleCaption;
    desc.x = kPanelX;
    desc.y = kPanelY;
    desc.width = min_width;
    desc.height = min_height;
    desc.parent = app.main_window();
    WindowHandle window = platform::CreateWindow(desc);
    if (!window) return kErrRefused;
    // The minimum size is the room for the plug-in's controls: the client area.
    PixelRect outer = platform::GetWindowRect(window);
    PixelRect inner = platform::GetClientRect(window);
    platform::MoveWindow(window, outer.left, outer.top, min_width + outer.Width() - inner.Width(),
                         min_height + outer.Height() - inner.Height());
    auto record = std::make_unique<PanelRecord>();
    record->plugin = plugin;
    record->id = id;
    record->title = title;
    record->states = states;
    record->min_width = min_width;
    record->min_height = min_height;
    record->options = options;
    record->flyout = flyout;
    record->user_data = user_data;
    record->window = window;
    *panel = r.panels.Add<PanelRef>(std::move(record));
    return kNoErr;
  });
}

// The panel's record, checked.
template <class F>
HostErr WithPanel(PanelRef panel, F&& body) {
  return WithApp([&](HostApp& app) {
    if (!panel) return kErrBadParameter;
    PanelRecord* record = app.registries().panels.Get(panel);
    if (!record) return kErrBadHandle;
    return body(app, *record);
  });
}

HostErr DestroyPanel(PanelRef panel) {
  return WithPanel(panel, [&](HostApp& app, PanelRecord& record) {
    // The plug-in may have destroyed the window itself first.
    if (platform::IsWindow(record.window)) platform::DestroyWindow(record.window);
    app.registries().panels.Remove(panel);
    return kNoErr;
  });
}

HostErr GetPanelWindow(PanelRef panel, WindowHandle* window) {
  if (!window) return kErrBadParameter;
  *window = nullptr;
  return WithPanel(panel, [&](HostApp&, PanelRecord& record) {
    if (!platform::IsWindow(record.window)) return kErrNotFound;
    *window = record.window;
    return kNoErr;
  });
}

HostErr ShowPanel(PanelRef panel, bool show) {
  return WithPanel(panel, [&](HostApp&, PanelRecord& record) {
    if (!platform::IsWindow(record.window)) return kErrNotFound;
    platform::ShowWindow(record.window, show);
    return kNoErr;
  });
}

HostErr IsPanelShown(PanelRef panel, bool* shown) {
  if (!shown) return kErrBadParameter;
  *shown = false;
  return WithPanel(panel, [&](HostApp&, PanelRecord& record) {
    *shown = platform::IsWindow(record.window) && platform::IsWindowVisible(record.window);
    return kNoErr;
  });
}

HostErr SetFlyoutMenuHandler(PanelRef panel, PanelFlyoutHandler handler) {
  return WithPanel(panel, [&](HostApp&, PanelRecord& record) {
    record.handler = handler;
    return kNoErr;
  });
}

// --- flyout menus --------------------------------------------------------------------

HostErr CreateFlyoutMenu(FlyoutMenuRef* menu) {
  if (!menu) return kErrBadParameter;
  *menu = nullptr;
  return WithApp([&](HostApp& app) {
    *menu = app.registries().flyouts.Add<FlyoutMenuRef>(std::make_unique<FlyoutRecord>());
    return kNoErr;
  });
}

HostErr AppendFlyoutItem(FlyoutMenuRef menu, int32_t item_id, const char* text) {
  if (!text) return kErrBadParameter;
  return WithApp([&](HostApp& app) {
    if (!menu) return kErrBadParameter;
    FlyoutRecord* record = app.registries().flyouts.Get(menu);
    if (!record) return kErrBadHandle;
    record->items.emplace_back(item_id, text);
    return kNoErr;
  });
}

HostErr DestroyFlyoutMenu(FlyoutMenuRef menu) {
  return WithApp([&](HostApp& app) {
    if (!menu) return kErrBadParameter;
    return app.registries().flyouts.Remove(menu) ? kNoErr : kErrBadHandle;
  });
}

}  // namespace

const MenuSuite kMenuSuiteTable = {
    .AddMenuItem = AddMenuItem,
    .AddMenuGroupAsSubMenu = AddMenuGroupAsSubMenu,
    .CountMenuGroups = CountMenuGroups,
    .GetNthMenuGroup = GetNthMenuGroup,
    .GetMenuGroupName = GetMenuGroupName,
    .CheckMenuItem = CheckMenuItem,
};

const NotifierSuite kNotifierSuiteTable = {.AddNotifier = AddNotifier};

const PanelSuite kPanelSuiteTable = {
    .CreatePanel = CreatePanel,
    .DestroyPanel = DestroyPanel,
    .GetPanelWindow = GetPanelWindow,
    .ShowPanel = ShowPanel,
    .IsPanelShown = IsPanelShown,
    .SetFlyoutMenuHandler = SetFlyoutMenuHandler,
};

const FlyoutMenuSuite kFlyoutMenuSuiteTable = {
    .CreateFlyoutMenu = CreateFlyoutMenu,
    .AppendFlyoutItem = AppendFlyoutItem,
    .DestroyFlyoutMenu = DestroyFlyoutMenu,
};

}  // namespace host
