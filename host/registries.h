// What the host keeps for its plug-ins' user interface: menu items and menu
// groups, notifiers, panels and their flyout menus, with the suites over them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "plugin/host_types.h"
#include "plugin/messages.h"
#include "plugin/suite_ui.h"

namespace host {

// Kinds of the handles the application side hands out. A handle value packs
// the kind in its top byte and a serial number below it; serials are never
// reused, so a handle of a removed record no longer resolves, and a handle
// of one kind passed where another is expected is rejected. Document-side
// handles carry a document serial of 1 or more in the same top bits, so
// both families never meet.
enum class AppKind : uint8_t {
  kPlugin = 0x81,
  kModule,
  kMenuItem,
  kMenuGroup,
  kNotifier,
  kPanel,
  kFlyout,
  kParamType,
  kParamBlock,
};

// Records of one kind in creation order, found by their handles.
template <class T, AppKind K>
class AppTable {
 public:
  static constexpr uint64_t kIdMask = (uint64_t{1} << 56) - 1;

  template <class H>
  H Add(std::unique_ptr<T> record) {
    uint64_t id = ++next_;
    records_.emplace(id, std::move(record));
    return HandleOf<H>(id);
  }

  template <class H>
  static H HandleOf(uint64_t id) {
    return reinterpret_cast<H>(
        static_cast<uintptr_t>((uint64_t{static_cast<uint8_t>(K)} << 56) | id));
  }

  // The record of a live handle of this kind, or null.
  template <class H>
  T* Get(H handle) const {
    uint64_t id = IdOf(handle);
    if (id == 0) return nullptr;
    auto it = records_.find(id);
    return it == records_.end() ? nullptr : it->second.get();
  }

  template <class H>
  bool Remove(H handle) {
    return records_.erase(IdOf(handle)) > 0;
  }

  template <class H>
  static uint64_t IdOf(H handle) {
    uint64_t v = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
    if ((v >> 56) != static_cast<uint8_t>(K)) return 0;
    return v & kIdMask;
  }

  // (id, record) pairs in creation order.
  const std::map<uint64_t, std::unique_ptr<T>>& records() const { return records_; }
  void Clear() { records_.clear(); }

 private:
  std::map<uint64_t, std::unique_ptr<T>> records_;
  uint64_t next_ = 0;
};

struct MenuGroupRecord {
  std::string name;
  int32_t options = 0;
  MenuItemHandle parent = nullptr;  // the item it is the submenu of; null for the host's own
};

struct MenuItemRecord {
  PluginRef plugin = nullptr;
  std::string name;
  std::string group;
  std::string text;
  int32_t options = 0;
  bool checked = false;
};

struct NotifierRecord {
  PluginRef plugin = nullptr;
  std::string name;
  std::string type;
};

struct FlyoutRecord {
  std::vector<std::pair<int32_t, std::string>> items;  // id, text
};

struct PanelRecord {
  PluginRef plugin = nullptr;
  std::string id;
  std::string title;
  int32_t states = 0;
  int32_t min_width = 0;
  int32_t min_height = 0;
  int32_t options = 0;
  FlyoutMenuRef flyout = nullptr;
  void* user_data = nullptr;
  WindowHandle window = nullptr;
  PanelFlyoutHandler handler = nullptr;
};

// The registries of one running host.
struct Registries {
  AppTable<MenuGroupRecord, AppKind::kMenuGroup> groups;
  AppTable<MenuItemRecord, AppKind::kMenuItem> items;
  AppTable<NotifierRecord, AppKind::kNotifier> notifiers;
  AppTable<PanelRecord, AppKind::kPanel> panels;
  AppTable<FlyoutRecord, AppKind::kFlyout> flyouts;

  // The host's own menu groups, "Tool Palettes" and "About", are there from
  // the start.
  Registries();
  // Destroys the panels' windows.
  ~Registries();
  Registries(const Registries&) = delete;
  Registries& operator=(const Registries&) = delete;

  bool HasGroup(const std::string& name) const;
  // The first item of that name (any plug-in), or null.
  MenuItemHandle FindItem(const std::string& name) const;
  // The first panel of that identifier, or null.
  PanelRef FindPanel(const std::string& id) const;
};

extern const MenuSuite kMenuSuiteTable;
extern const NotifierSuite kNotifierSuiteTable;
extern const PanelSuite kPanelSuiteTable;
extern const FlyoutMenuSuite kFlyoutMenuSuiteTable;

}  // namespace host
