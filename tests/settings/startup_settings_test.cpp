// Startup with the settings file: the colour table rule, the shoulder clamp,
// the language and the defaults when the file is missing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/files.h"
#include "plugin/globals.h"
#include "settings/settings_file.h"
#include "tests/platform/temp_folder.h"

namespace {

class StartupSettingsTest : public ::testing::Test {
 protected:
  // Starts up over a settings file with these lines (null: no file at all).
  const PluginGlobals& StartWith(const char* lines) {
    if (lines) {
      const std::string prefs = folders_.documents() + "/Adobe/Illustrator/Prefs";
      EXPECT_EQ(platform::CreateFolders(prefs), platform::FileStatus::kOk);
      EXPECT_EQ(platform::WriteWholeFile(prefs + "/Zolvane.ini", lines), platform::FileStatus::kOk);
    }
    StartupSeams seams{};
    seams.read_settings = settings::ReadMainSettings;
    g_ = std::make_unique<PluginGlobals>();
    EXPECT_EQ(InitializeGlobals(g_.get(), nullptr, nullptr, seams), kNoErr);
    return *g_;
  }

  testing_support::TempKnownFolders folders_;
  std::unique_ptr<PluginGlobals> g_;
};

std::string Names(const PluginGlobals& g) {
  std::string names;
  for (int i = 0; i < g.fppm_color_count; ++i)
    names += std::string(i ? "|" : "") + g.fppm_color[i].name;
  return names;
}

TEST_F(StartupSettingsTest, AMissingFileStartsWithEveryDefault) {
  const PluginGlobals& g = StartWith(nullptr);
  EXPECT_EQ(g.language, kLanguageEnglish);
  EXPECT_EQ(g.plate_width, 860);
  EXPECT_EQ(g.anytime_rotation_mode, 5);
  EXPECT_EQ(Names(g), "DIC 242p|Green|Gray");
  EXPECT_STREQ(g.report_path, folders_.desktop().c_str());
}

TEST_F(StartupSettingsTest, TheColourTableRule) {
  struct Case {
    const char* lines;
    const char* names;
  };
  const Case cases[] = {
      {"toward_mode = 0\n", "DIC 242p|Green|Gray"},
      {"fppm_color_001_name = \"DIC 242p\"\nfppm_color_002_name = \"Green\"\n",
       "DIC 242p|Green|Gray"},
      {"fppm_color_001_name = \"Red\"\nfppm_color_002_name = \"Blue\"\n", "Red|Blue"},
      {"fppm_color_003_name = \"Third\"\n", "||Third"},
  };
  for (const Case& c : cases) EXPECT_EQ(Names(StartWith(c.lines)), c.names) << c.lines;

  const PluginGlobals& upgraded = StartWith(
      "fppm_color_001_name = \"DIC 242p\"\nfppm_color_001_color = 5, 1, 1, 1\n"
      "fppm_color_002_name = \"Green\"\n");
  EXPECT_EQ(upgraded.fppm_color[0].color.kind, kColorFourProcess);
  EXPECT_EQ(upgraded.fppm_color[0].color.components[1], 0.42);
  EXPECT_EQ(upgraded.fppm_color[2].color.components[3], 0.9);
}

TEST_F(StartupSettingsTest, TheFileOverridesOnlyWhatItNames) {
  const PluginGlobals& g =
      StartWith("cur_param.shoulder_color = 7\nlanguage = JAPANESE\ntoward_mode = 0\n");
  EXPECT_EQ(g.cur_param.shoulder_color, 2) << "kept inside the three-colour table";
  EXPECT_EQ(g.language, kLanguageJapanese);
  EXPECT_EQ(g.toward_mode, 0);
  EXPECT_EQ(g.toward_baseline, kBaselineTop);
  EXPECT_EQ(g.plate_height, 1260);
  EXPECT_EQ(g.def_param.cut_line_margin_1, 20);
}

}  // namespace
