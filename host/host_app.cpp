// The host application: plug-in records and their messages, menus and
// notifications sent, documents opened and closed, events played; and the
// access and plug-in suites over the plug-in records.
#include "host/host_app.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "host/basic_suite.h"
#include "host/effects.h"
#include "host/suite_registry.h"
#include "host/suites_common.h"
#include "platform/window.h"

namespace host {
namespace {

HostApp* g_current = nullptr;

constexpr char kMainWindowClass[] = "HostMainWindow";
constexpr char kMainWindowTitle[] = "Host";

using ModuleTable = AppTable<PluginRecord, AppKind::kModule>;
using PluginTable = AppTable<PluginRecord, AppKind::kPlugin>;

bool Same(const char* a, const char* b) {
  return std::strcmp(a, b) == 0;
}

}  // namespace

HostApp::HostApp() {
  g_current = this;
  user_ = &own_user_;
  SetOutlineConverter(&ConvertArtToOutline);
  static bool registered =
      platform::RegisterWindowClass(kMainWindowClass, platform::DefaultWindowProc);
  (void)registered;
  platform::WindowDesc desc;
  desc.class_name = kMainWindowClass;
  desc.text = kMainWindowTitle;
  desc.style = platform::kStylePopup | platform::kStyleCaption | platform::kStyleVisible;
  desc.width = static_cast<int>(kViewWidth);
  desc.height = static_cast<int>(kViewHeight);
  main_window_ = platform::CreateWindow(desc);
  Document* front = Documents().Front();
  seen_document_ = front ? front->serial() : 0;
  seen_selection_ = front ? front->selection_serial() : 0;
}

HostApp::~HostApp() {
  for (PluginRef plugin : order_) {
    PluginRecord* p = Plugin(plugin);
    if (p && p->started) Shutdown(plugin);
  }
  for (const auto& [id, panel] : registries_.panels.records()) {
    if (platform::IsWindow(panel->window)) platform::DestroyWindow(panel->window);
  }
  registries_.panels.Clear();
  plugins_.Clear();
  if (platform::IsWindow(main_window_)) platform::DestroyWindow(main_window_);
  Documents().CloseAll();
  g_current = nullptr;
}

HostApp* HostApp::Current() {
  return g_current;
}

void HostApp::SetUser(HostUser* user) {
  user_ = user ? user : &own_user_;
}

HostUser& HostApp::user() {
  return *user_;
}

void HostApp::SetDarkTheme(bool dark) {
  if (dark == dark_) return;
  dark_ = dark;
  Notify(kNotifyBrightnessChanged);
}

// --- plug-ins --------------------------------------------------------------------

HostErr HostApp::AddRecord(std::unique_ptr<PluginRecord> record, PluginRef* plugin) {
  for (PluginRef other : order_) {
    if (Plugin(other)->name == record->name) return kErrRefused;
  }
  PluginRef made = plugins_.Add<PluginRef>(std::move(record));
  order_.push_back(made);
  if (plugin) *plugin = made;
  return kNoErr;
}

HostErr HostApp::LoadPlugin(const std::string& path, PluginRef* plugin, std::string* message) {
  if (plugin) *plugin = nullptr;
  auto record = std::make_unique<PluginRecord>();
  std::string why;
  if (!record->module.Open(path, &why)) {
    if (message) *message = why;
    return kErrRefused;
  }
  record->name = record->module.info().name;
  record->path = path;
  record->main = record->module.main();
  std::string name = record->name;
  if (HostErr err = AddRecord(std::move(record), plugin)) {
    if (message) *message = path + ": a plug-in named \"" + name + "\" is already loaded";
    return err;
  }
  return kNoErr;
}

HostErr HostApp::LoadPluginsFrom(const std::string& folder, std::vector<PluginRef>* loaded,
                                 std::vector<std::string>* refusals) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return kErrNotFound;
  std::vector<std::string> files;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() == kPluginExtension && it->is_regular_file(ec)) {
      files.push_back(it->path().string());
    }
  }
  if (ec) return kErrNotFound;
  std::sort(files.begin(), files.end());
  for (const std::string& file : files) {
    PluginRef plugin = nullptr;
    std::string message;
    if (LoadPlugin(file, &plugin, &message) == kNoErr) {
      if (loaded) loaded->push_back(plugin);
    } else if (refusals) {
      refusals->push_back(message);
    }
  }
  return kNoErr;
}

HostErr HostApp::AddPlugin(const std::string& name, PluginMainProc main, PluginRef* plugin) {
  if (plugin) *plugin = nullptr;
  if (!main || name.empty()) return kErrBadParameter;
  auto record = std::make_unique<PluginRecord>();
  record->name = name;
  record->main = main;
  return AddRecord(std::move(record), plugin);
}

PluginRecord* HostApp::Plugin(PluginRef plugin) const {
  return plugin ? plugins_.Get(plugin) : nullptr;
}

std::vector<PluginRef> HostApp::Plugins() const {
  return order_;
}

HostErr HostApp::Send(PluginRef plugin, const char* caller, const char* selector,
                      MessageData* data) {
  PluginRecord* p = Plugin(plugin);
  if (!p) return kErrBadHandle;
  if (!caller || !selector || !data) return kErrBadParameter;
  bool reload = Same(caller, kCallerAccess) && Same(selector, kSelectorReload);
  // A swapped-out library is brought back before it gets a message.
  if (!p->loaded && !reload) {
    if (HostErr err = Reload(plugin)) return err;
  }
  if (!p->main) return kErrRefused;
  data->plugin = plugin;
  data->globals = p->globals;
  data->basic = HostBasicSuite();
  PluginMainProc main = p->main;
  return Command([&] {
    HostErr result;
    try {
      result = main(caller, selector, data);
    } catch (...) {
      // Nothing may cross the host boundary; a plug-in that throws failed.
      result = kErrBadParameter;
    }
    if (PluginRecord* still = Plugin(plugin)) still->globals = data->globals;
    return result;
  });
}

HostErr HostApp::Start() {
  HostErr first = kNoErr;
  for (PluginRef plugin : order_) {
    if (Plugin(plugin)->started) continue;
    HostErr err = Startup(plugin);
    if (err && !first) first = err;
  }
  HostErr err = Notify(kNotifyApplicationStarted);
  return first ? first : err;
}

HostErr HostApp::Startup(PluginRef plugin) {
  PluginRecord* p = Plugin(plugin);
  if (!p) return kErrBadHandle;
  MessageData data{};
  HostErr err = Send(plugin, kCallerInterface, kSelectorStartup, &data);
  // Started even when it failed: Shutdown gives it the chance to free what
  // it allocated.
  if (PluginRecord* still = Plugin(plugin)) still->started = true;
  return err;
}

HostErr HostApp::Shutdown(PluginRef plugin) {
  PluginRecord* p = Plugin(plugin);
  if (!p) return kErrBadHandle;
  MessageData data{};
  HostErr err = Send(plugin, kCallerInterface, kSelectorShutdown, &data);
  if (PluginRecord* still = Plugin(plugin)) still->started = false;
  return err;
}

HostErr HostApp::About(PluginRef plugin) {
  MessageData data{};
  return Send(plugin, kCallerInterface, kSelectorAbout, &data);
}

HostErr HostApp::Unload(PluginRef plugin) {
  PluginRecord* p = Plugin(plugin);
  if (!p) return kErrBadHandle;
  if (!p->loaded) return kNoErr;
  // A module whose panel exists has its code in that panel's window
  // procedures and flyout handler: its library stays in memory.
  if (!p->path.empty()) {
    for (const auto& [id, panel] : registries_.panels.records()) {
      if (panel->plugin == plugin) return kErrRefused;
    }
  }
  MessageData data{};
  HostErr err = Send(plugin, kCallerAccess, kSelectorUnload, &data);
  p = Plugin(plugin);
  if (!p) return err;
  if (!p->path.empty()) {
    p->module.Close();
    p->main = nullptr;
  }
  p->loaded = false;
  return err;
}

HostErr HostApp::Reload(PluginRef plugin) {
  PluginRecord* p = Plugin(plugin);
  if (!p) return kErrBadHandle;
  if (p->loaded) return kNoErr;
  if (!p->path.empty()) {
    std::string message;
    if (!p->module.Open(p->path, &message)) {
      user().ErrorAlert(message);
      return kErrRefused;
    }
    p->main = p->module.main();
  }
  p->loaded = true;
  MessageData data{};
  return Send(plugin, kCallerAccess, kSelectorReload, &data);
}

// --- menus, notifications, panels -----------------------------------------------------

HostErr HostApp::ChooseMenuItem(MenuItemHandle item) {
  if (!item) return kErrBadParameter;
  const MenuItemRecord* record = registries_.items.Get(item);
  if (!record) return kErrBadHandle;
  MenuMessage message{};
  message.menu_item = item;
  return Send(record->plugin, kCallerMenu, kSelectorMenuGo, &message.d);
}

HostErr HostApp::UpdateMenus() {
  std::vector<std::pair<MenuItemHandle, PluginRef>> wanted;
  for (const auto& [id, item] : registries_.items.records()) {
    if (item->options & kMenuItemWantsUpdate) {
      wanted.emplace_back(decltype(registries_.items)::HandleOf<MenuItemHandle>(id), item->plugin);
    }
  }
  HostErr first = kNoErr;
  for (const auto& [item, plugin] : wanted) {
    MenuMessage message{};
    message.menu_item = item;
    HostErr err = Send(plugin, kCallerMenu, kSelectorMenuUpdate, &message.d);
    if (err && !first) first = err;
  }
  return first;
}

bool HostApp::IsMenuItemChecked(MenuItemHandle item) const {
  const MenuItemRecord* record = registries_.items.Get(item);
  return record && record->checked;
}

HostErr HostApp::Notify(const char* type) {
  if (!type) return kErrBadParameter;
  const std::string kind = type;
  std::vector<std::pair<NotifierHandle, PluginRef>> targets;
  for (const auto& [id, notifier] : registries_.notifiers.records()) {
    if (notifier->type == kind) {
      targets.emplace_back(decltype(registries_.notifiers)::HandleOf<NotifierHandle>(id),
                           notifier->plugin);
    }
  }
  HostErr first = kNoErr;
  for (const auto& [notifier, plugin] : targets) {
    NotifierMessage message{};
    message.notifier = notifier;
    message.type = kind.c_str();
    HostErr err = Send(plugin, kCallerNotifier, kSelectorNotify, &message.d);
    if (err && !first) first = err;
  }
  return first;
}

HostErr HostApp::ChooseFlyoutItem(PanelRef panel, int32_t item_id) {
  if (!panel) return kErrBadParameter;
  const PanelRecord* record = registries_.panels.Get(panel);
  if (!record) return kErrBadHandle;
  const FlyoutRecord* flyout = record->flyout ? registries_.flyouts.Get(record->flyout) : nullptr;
  if (!flyout || !record->handler) return kErrNotFound;
  bool listed = std::any_of(flyout->items.begin(), flyout->items.end(),
                            [&](const auto& item) { return item.first == item_id; });
  if (!listed) return kErrNotFound;
  PanelFlyoutHandler handler = record->handler;
  return Command([&] {
    handler(panel, item_id);
    return kNoErr;
  });
}

// --- documents ---------------------------------------------------------------------------

// Each is a command, so that the document now in front becomes the one
// whose selection is watched.
Document* HostApp::NewDocument(const std::string& name) {
  Document* doc = nullptr;
  Command([&] {
    doc = Documents().New(name);
    return Notify(kNotifyDocumentNew);
  });
  return doc;
}

HostErr HostApp::DocumentOpened(Document* document) {
  if (!document || !Documents().Resolve(document->handle())) return kErrBadHandle;
  return Command([&] { return Notify(kNotifyDocumentOpened); });
}

HostErr HostApp::CloseDocument(Document* document) {
  return Command([&] {
    if (HostErr err = Documents().Close(document)) return err;
    return Notify(kNotifyDocumentClosed);
  });
}

// --- actions and selection ------------------------------------------------------------------

HostErr HostApp::PlayAction(const char* name, int32_t dialog_status, ActionParamsRef params) {
  if (!name) return kErrBadParameter;
  return Command([&]() -> HostErr {
    const ParamBlock* block = nullptr;
    if (params) {
      block = actions_.blocks.Get(params);
      if (!block) return kErrBadHandle;
    }
    bool known = false;
    HostErr result = PlayHostEffect(name, block, &known);
    if (known) return result;
    const EventRecord* event = actions_.FindEvent(name);
    if (!event) return kErrNotFound;
    // The handler may register events of its own: keep what the message
    // needs out of the list.
    const std::string event_name = event->name;
    PluginRef plugin = event->plugin;
    DoActionMessage message{};
    message.event_name = event_name.c_str();
    message.dialog_status = dialog_status;
    message.params = params;
    return Send(plugin, kCallerActionManager, kSelectorDoAction, &message.d);
  });
}

void HostApp::CheckSelection() {
  Document* doc = Documents().Front();
  uint32_t document = doc ? doc->serial() : 0;
  uint64_t selection = doc ? doc->selection_serial() : 0;
  if (document != seen_document_) {
    // Another document came to the front: its selection is not a change.
    seen_document_ = document;
    seen_selection_ = selection;
    return;
  }
  if (selection == seen_selection_) return;
  seen_selection_ = selection;
  if (announcing_) return;
  announcing_ = true;
  Notify(kNotifyArtSelectionChanged);
  announcing_ = false;
  // What the handlers changed themselves is not announced again.
  doc = Documents().Front();
  seen_document_ = doc ? doc->serial() : 0;
  seen_selection_ = doc ? doc->selection_serial() : 0;
}

// --- the access and plug-in suites ---------------------------------------------------------

namespace {

template <class F>
HostErr WithPlugin(PluginRef plugin, F&& body) {
  return Guard([&] {
    HostApp* app = HostApp::Current();
    if (!app) return kErrRefused;
    if (!plugin) return kErrBadParameter;
    PluginRecord* record = app->Plugin(plugin);
    if (!record) return kErrBadHandle;
    return body(*record);
  });
}

HostErr GetPluginInstance(PluginRef plugin, ModuleRef* instance) {
  if (!instance) return kErrBadParameter;
  *instance = nullptr;
  return WithPlugin(plugin, [&](PluginRecord&) {
    *instance = ModuleTable::HandleOf<ModuleRef>(PluginTable::IdOf(plugin));
    return kNoErr;
  });
}

HostErr GetPluginOptions(PluginRef plugin, int32_t* options) {
  if (!options) return kErrBadParameter;
  *options = 0;
  return WithPlugin(plugin, [&](PluginRecord& record) {
    *options = record.options;
    return kNoErr;
  });
}

HostErr SetPluginOptions(PluginRef plugin, int32_t options) {
  return WithPlugin(plugin, [&](PluginRecord& record) {
    record.options = options;
    return kNoErr;
  });
}

}  // namespace

extern const AccessSuite kAccessSuiteTable;
extern const PluginSuite kPluginSuiteTable;
const AccessSuite kAccessSuiteTable = {.GetPluginInstance = GetPluginInstance};
const PluginSuite kPluginSuiteTable = {
    .GetPluginOptions = GetPluginOptions,
    .SetPluginOptions = SetPluginOptions,
};

}  // namespace host
