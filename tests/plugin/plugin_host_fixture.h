// Test fixture: a running host with the plug-in, its known folders in a
// temporary folder, a scripted user, and stand-in runs that record what the
// Do Action handler asked of them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/host_app.h"
#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "platform/window_input.h"
#include "plugin/command_runs.h"
#include "plugin/entry.h"
#include "plugin/globals.h"
#include "plugin/names.h"
#include "tests/platform/temp_folder.h"
#include "ui/nest_panel.h"

namespace plugin_test {

// What the stand-in runs were asked.
struct RunLog {
  std::vector<std::string> calls;  // "nesting", "step", "artboards N", "quantity N"
  int32_t result = 0;              // what both runs answer
  int32_t extra_sheets = 2;        // what both runs report
  int32_t selection = -2;          // what selection_quantity answers
};
inline RunLog g_runs_log;

inline int32_t LogNesting(int32_t* extra) {
  g_runs_log.calls.push_back("nesting");
  *extra = g_runs_log.extra_sheets;
  return g_runs_log.result;
}
inline int32_t LogStep(int32_t* extra) {
  g_runs_log.calls.push_back("step");
  *extra = g_runs_log.extra_sheets;
  return g_runs_log.result;
}
inline void LogArtboards(int32_t sheets) {
  g_runs_log.calls.push_back("artboards " + std::to_string(sheets));
}
inline int32_t LogSelection() {
  return g_runs_log.selection;
}
inline void LogQuantity(int32_t q) {
  g_runs_log.calls.push_back("quantity " + std::to_string(q));
}

// The folder the build puts Zolvane.aip in.
#ifndef ZOLVANE_PLUGIN_DIR
#error "ZOLVANE_PLUGIN_DIR names the folder of the built module"
#endif

class PluginHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetScreenDpi(96);
    platform::ClearMessageBoxRecords();
    g_runs_log = RunLog{};
    SetCommandRuns({LogNesting, LogStep, LogArtboards, LogSelection, LogQuantity});
    app_ = std::make_unique<host::HostApp>();
    app_->SetUser(&user_);
  }

  void TearDown() override {
    app_.reset();
    platform::ClearMessageQueue();
    platform::SetModalIdleResponder(nullptr, nullptr);
    platform::SetScreenDpi(96);
    ResetCommandRuns();
  }

  // Writes a settings file the plug-in reads at Startup.
  void WriteSettings(const std::string& lines) {
    const std::string prefs = folders_.documents() + "/Adobe/Illustrator/Prefs";
    std::filesystem::create_directories(prefs);
    std::FILE* f = std::fopen((prefs + "/Zolvane.ini").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(lines.data(), 1, lines.size(), f);
    std::fclose(f);
  }

  std::string SettingsPath() const {
    return folders_.documents() + "/Adobe/Illustrator/Prefs/Zolvane.ini";
  }

  // The plug-in linked into the test, started with the host.
  void StartLinked() {
    ASSERT_EQ(app_->AddPlugin("Zolvane", ZolvanePluginMain, &plugin_), kNoErr);
    ASSERT_EQ(app_->Start(), kNoErr);
    ASSERT_NE(g_globals, nullptr);
  }

  // Zolvane.aip loaded from the build's plug-ins folder, started with the host.
  void StartModule() {
    std::vector<PluginRef> loaded;
    std::vector<std::string> refusals;
    ASSERT_EQ(app_->LoadPluginsFrom(ZOLVANE_PLUGIN_DIR, &loaded, &refusals), kNoErr);
    ASSERT_TRUE(refusals.empty()) << refusals[0];
    ASSERT_EQ(loaded.size(), 1u);
    plugin_ = loaded[0];
    ASSERT_EQ(app_->Start(), kNoErr);
  }

  host::Document* OpenDocument() { return app_->NewDocument("Untitled-1"); }

  WindowHandle Panel() const {
    PanelRef panel = app_->registries().FindPanel(kPanelId);
    const host::PanelRecord* record = app_->registries().panels.Get(panel);
    return record ? record->window : nullptr;
  }
  WindowHandle Control(int id) const { return platform::GetDialogItem(Panel(), id); }

  // A person's input, then everything it set off.
  void Click(int id) {
    ASSERT_TRUE(platform::Click(Control(id))) << "control " << id << " takes no click";
    platform::PumpAllMessages();
  }
  void Type(int id, const std::string& text) {
    ASSERT_TRUE(platform::TypeText(Control(id), text));
    platform::PumpAllMessages();
  }
  void Choose(int id, int index) {
    ASSERT_TRUE(platform::ChooseComboItem(Control(id), index));
    platform::PumpAllMessages();
  }

  testing_support::TempKnownFolders folders_;
  host::ScriptedUser user_;
  std::unique_ptr<host::HostApp> app_;
  PluginRef plugin_ = nullptr;
};

}  // namespace plugin_test
