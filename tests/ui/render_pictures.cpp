// Renders the pictures of docs/ from the real panel and dialogs, run inside
// the host stand-in: the panel in English (light), Japanese (dark) and at 144
// DPI, the About dialog, and Initial Settings in both languages with a few
// presets and the preset list opened.
//   build/default/tests/ui/ui_render_pictures docs
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "host/host_app.h"
#include "platform/dialog.h"
#include "platform/render.h"
#include "platform/window.h"
#include "plugin/entry.h"
#include "plugin/globals.h"
#include "plugin/names.h"
#include "tests/platform/temp_folder.h"
#include "ui/about_dialog.h"
#include "ui/initial_settings.h"
#include "ui/nest_panel.h"

namespace {

std::string g_out;
bool g_ok = true;

void Save(WindowHandle window, const std::string& name) {
  const std::string path = g_out + "/" + name;
  if (!platform::RenderWindowToPng(window, path)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    g_ok = false;
    return;
  }
  std::printf("%s\n", path.c_str());
}

void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// One host with the plug-in, started over the given settings lines.
struct Session {
  testing_support::TempKnownFolders folders;
  host::ScriptedUser user;
  std::unique_ptr<host::HostApp> app;

  Session(const std::string& settings, int dpi, bool dark) {
    platform::SetScreenDpi(dpi);
    const std::string prefs = folders.documents() + "/Adobe/Illustrator/Prefs";
    WriteFile(prefs + "/Zolvane.ini", settings);
    for (const char* preset : {"A4 portrait", "Sign board 1200", "Stickers 300 x 450"}) {
      WriteFile(prefs + "/Zolvane/" + preset + ".ini", "plate_size = 300, 450, 10, 10, 10, 10\r\n");
    }
    app = std::make_unique<host::HostApp>();
    app->SetUser(&user);
    app->SetDarkTheme(dark);
    PluginRef plugin = nullptr;
    app->AddPlugin("Zolvane", ZolvanePluginMain, &plugin);
    app->Start();
    app->NewDocument("Untitled-1");
  }
  ~Session() {
    app.reset();
    platform::SetModalIdleResponder(nullptr, nullptr);
    platform::SetScreenDpi(96);
  }

  WindowHandle Panel() const {
    const host::PanelRecord* record =
        app->registries().panels.Get(app->registries().FindPanel(kPanelId));
    return record ? record->window : nullptr;
  }
};

void RenderPanel(const std::string& settings, int dpi, bool dark, const std::string& name) {
  Session s(settings, dpi, dark);
  WindowHandle panel = s.Panel();
  // The panel is as large as its controls need at this DPI, as a person
  // drags it.
  const PixelRect outer = platform::GetWindowRect(panel);
  const PixelRect inner = platform::GetClientRect(panel);
  platform::MoveWindow(panel, outer.left, outer.top,
                       ui::PanelScale(240) + outer.Width() - inner.Width(),
                       ui::PanelScale(320) + outer.Height() - inner.Height());
  platform::SetWindowText(platform::GetDialogItem(panel, ui::kPanelQuantityId), "12");
  Save(panel, name);
}

bool AboutStep(WindowHandle dialog, void*) {
  static int steps = 0;
  if (steps++ % 2 == 1) return false;
  Save(dialog, "about.png");
  return false;
}

void RenderAbout() {
  Session s("", 96, false);
  platform::SetModalIdleResponder(AboutStep, nullptr);
  ui::RunAboutDialog(s.app->main_window());
}

std::string g_settings_picture;

bool SettingsStep(WindowHandle dialog, void*) {
  if (g_settings_picture.empty()) return false;
  platform::ComboShowDropDown(platform::GetDialogItem(dialog, ui::kPresetListId), true);
  Save(dialog, g_settings_picture);
  g_settings_picture.clear();
  return false;
}

void RenderInitialSettings(const std::string& settings, const std::string& name) {
  Session s(settings, 96, false);
  g_settings_picture = name;
  platform::SetModalIdleResponder(SettingsStep, nullptr);
  s.app->ChooseFlyoutItem(s.app->registries().FindPanel(kPanelId), kFlyoutInitialSettingsId);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 1;
  }
  g_out = argv[1];
  RenderPanel("", 96, false, "panel-en-light.png");
  RenderPanel("language = JAPANESE\r\n", 96, true, "panel-ja-dark.png");
  RenderPanel("", 144, false, "panel-en-144dpi.png");
  RenderAbout();
  RenderInitialSettings("preset_path = \"Sign board 1200\"\r\n", "initial-settings-en.png");
  RenderInitialSettings("language = JAPANESE\r\npreset_path = \"Sign board 1200\"\r\n",
                        "initial-settings-ja.png");
  return g_ok ? 0 : 3;
}
