// PluginMain: suites held per message, dispatch, Startup and Shutdown, and
// the error alert.
#include "plugin/entry.h"

#include <cstdio>
#include <cstring>

#include "platform/gdi.h"
#include "platform/window.h"
#include "plugin/commands.h"
#include "plugin/globals.h"
#include "plugin/suite_table.h"
#include "settings/settings_file.h"
#include "ui/about_dialog.h"

namespace {

bool Same(const BasicSuite* basic, const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return false;
  bool equal = false;
  if (basic != nullptr && basic->IsEqual != nullptr) {
    return basic->IsEqual(a, b, &equal) == kNoErr && equal;
  }
  return std::strcmp(a, b) == 0;
}

// --- the steps of Startup that ask the host or the screen ---------------------

HostErr GetOptions(void* context, int32_t* options) {
  const PluginSuite* plugins = HeldSuite<PluginSuite>();
  if (plugins == nullptr) return kErrSuiteNotFound;
  return plugins->GetPluginOptions(static_cast<PluginRef>(context), options);
}

HostErr SetOptions(void* context, int32_t options) {
  const PluginSuite* plugins = HeldSuite<PluginSuite>();
  if (plugins == nullptr) return kErrSuiteNotFound;
  return plugins->SetPluginOptions(static_cast<PluginRef>(context), options);
}

double HostUiScale(void*) {
  double scale = 1.0;
  const UserSuite* user = HeldSuite<UserSuite>();
  if (user == nullptr || user->GetUIScaleFactor(&scale) != kNoErr) return 1.0;
  return scale;
}

int ScreenDpi(void*) {
  WindowHandle desktop = platform::DesktopWindow();
  DcHandle dc = platform::GetDc(desktop);
  if (dc == nullptr) return 96;
  const int dpi = platform::GetDeviceCaps(dc, platform::kLogPixelsX);
  platform::ReleaseDc(desktop, dc);
  return dpi;
}

HostErr Startup(MessageData* d) {
  StartupSeams seams{};
  seams.get_plugin_options = GetOptions;
  seams.set_plugin_options = SetOptions;
  seams.read_settings = settings::ReadMainSettings;
  seams.host_ui_scale = HostUiScale;
  seams.screen_dpi = ScreenDpi;
  seams.register_host_objects = RegisterHostObjects;
  seams.context = d->plugin;
  return InitializeGlobals(g_globals, d->basic, d->plugin, seams);
}

HostErr Dispatch(const char* caller, const char* selector, MessageData* d) {
  const BasicSuite* basic = d->basic;
  if (Same(basic, caller, kCallerInterface)) {
    if (Same(basic, selector, kSelectorStartup)) {
      void* block = nullptr;
      HostErr err = basic->AllocateBlock(sizeof(PluginGlobals), &block);
      g_globals = static_cast<PluginGlobals*>(block);
      d->globals = block;
      if (err != kNoErr || block == nullptr) return err != kNoErr ? err : kErrOutOfMemory;
      return Startup(d);
    }
    if (Same(basic, selector, kSelectorAbout)) {
      if (g_globals != nullptr) ui::RunAboutDialog(HostMainWindow());
      return kNoErr;
    }
    if (Same(basic, selector, kSelectorShutdown)) {
      TearDownPanel();
      if (g_globals != nullptr) basic->FreeBlock(g_globals);
      g_globals = nullptr;
      d->globals = nullptr;
      return kNoErr;
    }
    return kNoErr;
  }
  if (Same(basic, caller, kCallerMenu)) {
    const auto& menu = *reinterpret_cast<const MenuMessage*>(d);
    if (Same(basic, selector, kSelectorMenuGo)) return MenuGo(menu);
    if (Same(basic, selector, kSelectorMenuUpdate)) return MenuUpdate(menu);
    return kNoErr;
  }
  if (Same(basic, caller, kCallerNotifier) && Same(basic, selector, kSelectorNotify)) {
    return Notify(*reinterpret_cast<const NotifierMessage*>(d));
  }
  if (Same(basic, caller, kCallerActionManager) && Same(basic, selector, kSelectorDoAction)) {
    return DoAction(*reinterpret_cast<const DoActionMessage*>(d));
  }
  return kNoErr;
}

HostErr Main(const char* caller, const char* selector, void* message) {
  if (message == nullptr) return kErrBadParameter;
  auto* d = static_cast<MessageData*>(message);
  const BasicSuite* basic = d->basic;
  if (basic == nullptr) return kErrBadParameter;
  g_globals = static_cast<PluginGlobals*>(d->globals);

  if (Same(basic, caller, kCallerAccess)) {
    if (Same(basic, selector, kSelectorUnload)) {
      d->globals = g_globals;
    } else if (Same(basic, selector, kSelectorReload)) {
      g_globals = static_cast<PluginGlobals*>(d->globals);
      ResetSuiteHoldCount();
    }
    return kNoErr;
  }

  HostErr result = HoldSuites(basic);
  if (result == kNoErr) result = Dispatch(caller, selector, d);

  const std::string alert = ErrorAlertText(result, caller, selector);
  if (!alert.empty()) {
    if (const UserSuite* user = HeldSuite<UserSuite>()) user->ErrorAlert(alert.c_str());
  }
  UnholdSuites();
  return result;
}

}  // namespace

std::string ErrorAlertText(HostErr result, const char* caller, const char* selector) {
  if (result == kNoErr || result == kErrNoAlert || result == kErrSuiteNotFound ||
      result == kErrCanceled) {
    return "";
  }
  // The code's four bytes as they lie in memory, least significant first.
  // Bytes that are no printable character become '?', so the alert stays
  // valid text whatever the code.
  const auto bits = static_cast<uint32_t>(result);
  char code[5] = {};
  for (int i = 0; i < 4; ++i) {
    const auto byte = static_cast<unsigned char>((bits >> (8 * i)) & 0xFF);
    code[i] = byte == 0 ? '\0' : (byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?');
    if (byte == 0) break;
  }
  char text[512];
  std::snprintf(text, sizeof text, "Error=%x, %s (caller : %s, selector : %s)", bits, code,
                caller != nullptr ? caller : "", selector != nullptr ? selector : "");
  return text;
}

HostErr ZolvanePluginMain(const char* caller, const char* selector, void* message) {
  try {
    return Main(caller, selector, message);
  } catch (...) {
    // Nothing crosses the host boundary; the hold of this message ends.
    UnholdSuites();
    return kErrOutOfMemory;
  }
}
