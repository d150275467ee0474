// The settings file: exact output, round trip, the reader's rules and limits,
// preset files, and saving that never loses the old file.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/files.h"
#include "tests/platform/temp_folder.h"

namespace settings {
namespace {

std::string Fixture(const char* name) {
  std::string content;
  EXPECT_EQ(platform::ReadWholeFile(std::string(ZOLVANE_SETTINGS_DATA) + "/" + name, &content),
            platform::FileStatus::kOk)
      << name;
  return content;
}

std::string ReadFile(const std::string& path) {
  std::string content;
  platform::ReadWholeFile(path, &content);
  return content;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_ = std::make_unique<PluginGlobals>();
    std::memset(g_.get(), 0, sizeof *g_);
    SetDefaultSettings(g_.get());
    NormalizeColorTable(g_.get());
    CopyFixedText(g_->report_path, kReportPathSize, "/home/user/Desktop");
  }
  void TearDown() override { platform::SetFileFaultHook(nullptr); }

  PluginGlobals& Apply(const std::string& text, KeyScope scope = KeyScope::kAll) {
    ApplySettingsText(text, scope, g_.get());
    return *g_;
  }

  std::string Prefs() const { return folders_.documents() + "/Adobe/Illustrator/Prefs"; }

  testing_support::TempKnownFolders folders_;
  std::unique_ptr<PluginGlobals> g_;
};

TEST_F(SettingsFileTest, DefaultsAreWrittenLineForLine) {
  EXPECT_EQ(FormatSettings(*g_), Fixture("defaults.ini"));
  ASSERT_EQ(SaveSettings(*g_, nullptr), 1);
  EXPECT_EQ(MainSettingsPath(), Prefs() + "/Zolvane.ini");
  EXPECT_EQ(ReadFile(Prefs() + "/Zolvane.ini"), Fixture("defaults.ini"));
}

TEST_F(SettingsFileTest, LoadThenSaveRoundTripsAFullFile) {
  const std::string full = Fixture("full.ini");
  ASSERT_TRUE(platform::CreateFolders(Prefs()) == platform::FileStatus::kOk);
  ASSERT_EQ(platform::WriteWholeFile(Prefs() + "/Zolvane.ini", full), platform::FileStatus::kOk);
  ASSERT_EQ(LoadSettings(g_.get(), nullptr), 1);
  EXPECT_EQ(g_->language, kLanguageJapanese);
  EXPECT_STREQ(g_->fppm_color[0].name, "Spot = A, B");
  EXPECT_STREQ(g_->report_path, "/home/user/My Reports (2026), final");
  EXPECT_EQ(g_->fppm_color_count, 4);
  ASSERT_EQ(SaveSettings(*g_, nullptr), 1);
  EXPECT_EQ(ReadFile(Prefs() + "/Zolvane.ini"), full);
}

TEST_F(SettingsFileTest, ReaderRulesForValues) {
  const PluginGlobals& g = Apply(
      "plate_size = 500\n"
      "image_offset = (2.5, -3)\n"
      "\ttoward_mode\t=\t0\r\n"
      "toward_baseline = 12abc\n"
      "outline_mode = abc\n"
      "nesting_type = 3\nnesting_type = 4\n"
      "vertex_limit = 99999999999\n"
      "cur_param.shoulder_color = -70000\n"
      "def_param.collection_margin = +7.5e1\n"
      "cur_param.collection_margin = nan\n"
      "cur_param.menseki_margin = 1e999\n"
      "Toward_Mode = 1\n"
      "cur_param. = 9\n"
      "unknown_key = 1\n");
  EXPECT_EQ(g.plate_width, 500);
  for (double v : {g.plate_height, g.plate_margin_left, g.plate_margin_top, g.plate_margin_right,
                   g.plate_margin_bottom}) {
    EXPECT_EQ(v, 0) << "missing plate_size values read as 0";
  }
  EXPECT_EQ(g.image_offset[0], 2.5) << "parentheses are dropped";
  EXPECT_EQ(g.image_offset[1], -3);
  EXPECT_EQ(g.toward_mode, 0) << "tabs and carriage returns are dropped; keys are case-sensitive";
  EXPECT_EQ(g.toward_baseline, 12) << "the number at the start counts";
  EXPECT_EQ(g.outline_mode, 0) << "text that is no number gives 0";
  EXPECT_EQ(g.nesting_type, 4) << "the last of a repeated key wins";
  EXPECT_EQ(g.vertex_limit, 2147483647) << "held at the field's limit";
  EXPECT_EQ(g.cur_param.shoulder_color, -32768);
  EXPECT_EQ(g.def_param.collection_margin, 75);
  EXPECT_EQ(g.cur_param.collection_margin, 0) << "not-a-number reads as no number";
  EXPECT_EQ(g.cur_param.menseki_margin, 0) << "an out-of-range number reads as no number";
}

TEST_F(SettingsFileTest, ReaderRulesForTextsCommentsAndLanguage) {
  struct Case {
    const char* text;
    const char* report_path;
    int16_t language;
  };
  const Case cases[] = {
      {"report_path = \"C:\\My Folder\\out\"", "C:\\My Folder\\out", kLanguageEnglish},
      {"report_path = C:\\My Folder\\out", "C:\\MyFolder\\out", kLanguageEnglish},
      {"report_path = \"a, b = (c)\", ignored", "a, b = (c)", kLanguageEnglish},
      {"'report_path = \"commented\"", "/home/user/Desktop", kLanguageEnglish},
      {"  'language = JAPANESE", "/home/user/Desktop", kLanguageEnglish},
      {"= \"no key\"\n\"\" = \"quoted empty key\"", "/home/user/Desktop", kLanguageEnglish},
      {"language = english", "/home/user/Desktop", kLanguageJapanese},
      {"language = JAPANESE", "/home/user/Desktop", kLanguageJapanese},
      {"language = \"ENGLISH\"", "/home/user/Desktop", kLanguageEnglish},
      {"language = ENGLISH", "/home/user/Desktop", kLanguageEnglish},
  };
  for (const Case& c : cases) {
    SetUp();
    const PluginGlobals& g = Apply(c.text);
    EXPECT_STREQ(g.report_path, c.report_path) << c.text;
    EXPECT_EQ(g.language, c.language) << c.text;
  }
}

TEST_F(SettingsFileTest, ColourEntriesFillTheTableByNumber) {
  g_->fppm_color_count = 0;
  std::memset(g_->fppm_color, 0, sizeof g_->fppm_color);
  const PluginGlobals& g = Apply(
      "fppm_color_003_name = \"Third\"\n"
      "fppm_color_003_color = 5, 0.1, 0.2, 0.3\n"
      "fppm_color_002_color = 0, 0.75, 9, 9\n"
      "fppm_color_001_color = 7, 0.5\n");
  EXPECT_EQ(g.fppm_color_count, 3);
  EXPECT_STREQ(g.fppm_color[0].name, "");
  EXPECT_STREQ(g.fppm_color[1].name, "");
  EXPECT_STREQ(g.fppm_color[2].name, "Third");
  EXPECT_EQ(g.fppm_color[2].color.kind, kColorRGB);
  EXPECT_EQ(g.fppm_color[2].color.components[2], 0.3);
  EXPECT_EQ(g.fppm_color[1].color.kind, kColorGray);
  EXPECT_EQ(g.fppm_color[1].color.components[0], 0.75);
  EXPECT_EQ(g.fppm_color[1].color.components[1], 0) << "a gray colour reads one component";
  EXPECT_EQ(g.fppm_color[0].color.kind, 7) << "an unknown kind stores only the kind";
  EXPECT_EQ(g.fppm_color[0].color.components[0], 0);
  // An unknown kind has a name line and no colour line.
  EXPECT_NE(FormatSettings(g).find("fppm_color_001_name = \"\"\r\nfppm_color_002_name"),
            std::string::npos);
}

TEST_F(SettingsFileTest, BadColourNumbersAndOverlongLinesStayInsideTheRecord) {
  g_->fppm_color_count = 0;
  std::memset(g_->fppm_color, 0, sizeof g_->fppm_color);
  const std::string long_value(600, 'a');
  std::string text =
      "fppm_color_000_name = \"zero\"\n"
      "fppm_color_101_name = \"past the table\"\n"
      "fppm_color_999_color = 1, 1, 1, 1, 1\n"
      "fppm_color_1a2_name = \"letter\"\n"
      "fppm_color_-01_name = \"sign\"\n"
      "fppm_color_12_name = \"two digits\"\n"
      "fppm_color_ = 1\n";
  text += "report_path = \"" + long_value + "\"\n";
  text += "preset_path = \"" + std::string(300, 'p') + "\"\n";
  text += "fppm_color_100_name = \"" + long_value + "\"\n";
  text += "plate_size" + std::string(2000, ',') + "\n";
  text += "toward_mode = " + std::string(600, '7') + "\n";
  text += "toward_baseline = 2";  // the last line has no line end
  const PluginGlobals& g = Apply(text);

  EXPECT_EQ(g.fppm_color_count, 100) << "only entry 100 was valid";
  EXPECT_EQ(std::string(g.fppm_color[99].name), std::string(79, 'a'));
  EXPECT_EQ(std::string(g.report_path), std::string(255, 'a')) << "a field keeps 255 characters";
  EXPECT_EQ(std::string(g.preset_path), std::string(255, 'p'));
  EXPECT_EQ(g.plate_width, 0) << "a line of separators yields empty values";
  EXPECT_EQ(g.toward_mode, 32767);
  EXPECT_EQ(g.toward_baseline, 2) << "reading goes on after over-long lines";
  for (int i = 0; i < 99; ++i) EXPECT_STREQ(g.fppm_color[i].name, "") << i;

  // A line keeps 511 significant characters: blanks inside quotes count,
  // blanks outside do not. The second offset is the 511th character of the
  // first line and the 512th of the second.
  SetUp();
  const std::string fits = "image_offset = \"" + std::string(494, ' ') + "\", 5";
  EXPECT_EQ(Apply(fits).image_offset[1], 5);
  const std::string cut = "image_offset = \"" + std::string(495, ' ') + "\", 5";
  EXPECT_EQ(Apply(cut).image_offset[1], 0);
}

TEST_F(SettingsFileTest, APresetAppliesOnlyTheLayoutKeys) {
  PluginGlobals& source = *g_;
  std::unique_ptr<PluginGlobals> saved = std::make_unique<PluginGlobals>();
  ApplySettingsText(Fixture("full.ini"), KeyScope::kAll, &source);
  ASSERT_EQ(SaveSettings(source, "Custom-1"), 1);
  EXPECT_EQ(ReadFile(Prefs() + "/Zolvane/Custom-1.ini"), FormatSettings(source))
      << "a preset file holds the whole list";

  SetUp();
  *saved = *g_;
  ASSERT_EQ(LoadSettings(g_.get(), "Custom-1"), 1);
  const PluginGlobals& g = *g_;
  EXPECT_EQ(g.cur_param.cut_line_margin_1, 20.5);
  EXPECT_EQ(g.cur_param.collection_margin, 2.5);
  EXPECT_EQ(g.plate_width, 500);
  EXPECT_EQ(g.plate_margin_right, 1.5e7);
  EXPECT_EQ(g.toward_baseline, 3);
  EXPECT_EQ(g.toward_mode, 0);
  EXPECT_EQ(g.one_page_reproduction, 1);
  // Everything else stays as it was.
  PluginGlobals expected = *saved;
  expected.cur_param = g.cur_param;
  expected.plate_width = g.plate_width;
  expected.plate_height = g.plate_height;
  expected.plate_margin_left = g.plate_margin_left;
  expected.plate_margin_top = g.plate_margin_top;
  expected.plate_margin_right = g.plate_margin_right;
  expected.plate_margin_bottom = g.plate_margin_bottom;
  expected.toward_baseline = g.toward_baseline;
  expected.toward_mode = g.toward_mode;
  expected.one_page_reproduction = g.one_page_reproduction;
  EXPECT_EQ(FormatSettings(g), FormatSettings(expected));
  EXPECT_STREQ(g.report_path, "/home/user/Desktop");
  EXPECT_EQ(g.language, kLanguageEnglish);
  EXPECT_EQ(g.enable_anytime_rotation, 1);
}

TEST_F(SettingsFileTest, AMissingFileChangesNothing) {
  const std::string before = FormatSettings(*g_);
  EXPECT_EQ(LoadSettings(g_.get(), nullptr), 0);
  EXPECT_EQ(LoadSettings(g_.get(), "No such preset"), 0);
  EXPECT_EQ(FormatSettings(*g_), before);
  EXPECT_TRUE(platform::FolderExists(Prefs() + "/Zolvane")) << "the folders are made on the way";
}

TEST_F(SettingsFileTest, AFailedSaveKeepsTheOldFile) {
  ASSERT_EQ(SaveSettings(*g_, nullptr), 1);
  const std::string old_content = ReadFile(Prefs() + "/Zolvane.ini");
  g_->plate_width = 1234;
  for (platform::FileOp failing : {platform::FileOp::kWrite, platform::FileOp::kRename}) {
    platform::SetFileFaultHook([failing](platform::FileOp op, const std::string&) {
      return op == failing ? platform::FileStatus::kIoError : platform::FileStatus::kOk;
    });
    EXPECT_EQ(SaveSettings(*g_, nullptr), 0);
    platform::SetFileFaultHook(nullptr);
    EXPECT_EQ(ReadFile(Prefs() + "/Zolvane.ini"), old_content);
    EXPECT_FALSE(platform::FileExists(Prefs() + "/Zolvane.ini.tmp"));
  }
  ASSERT_EQ(SaveSettings(*g_, nullptr), 1);
  EXPECT_NE(ReadFile(Prefs() + "/Zolvane.ini").find("plate_size = 1234,"), std::string::npos);
}

TEST_F(SettingsFileTest, PresetNamesThatLeaveThePresetFolderAreRefused) {
  for (const char* name : {"", ".", "..", "../Zolvane", "../../escape", "a/b", "/tmp/x", "a\\b"}) {
    EXPECT_FALSE(IsValidPresetName(name)) << name;
    EXPECT_EQ(SaveSettings(*g_, name), 0) << name;
    EXPECT_EQ(LoadSettings(g_.get(), name), 0) << name;
  }
  EXPECT_FALSE(platform::FileExists(Prefs() + "/Zolvane.ini"));
  EXPECT_FALSE(platform::FileExists(Prefs() + "/.ini"));
  std::vector<platform::FolderEntry> entries;
  ASSERT_EQ(PresetFolder(), Prefs() + "/Zolvane");
  ASSERT_EQ(platform::ListFolder(Prefs() + "/Zolvane", "*", &entries), platform::FileStatus::kOk);
  EXPECT_TRUE(entries.empty());

  for (const char* name : {"Custom-1", "..hidden", "name with blanks", "a.b"}) {
    EXPECT_EQ(SaveSettings(*g_, name), 1) << name;
    EXPECT_TRUE(platform::FileExists(Prefs() + "/Zolvane/" + name + ".ini")) << name;
  }
}

TEST_F(SettingsFileTest, TheRootIsCreatedWhenComputed) {
  EXPECT_EQ(SettingsRoot(), folders_.documents() + "/Adobe/Illustrator");
  EXPECT_TRUE(platform::FolderExists(folders_.documents() + "/Adobe/Illustrator"));
}

}  // namespace
}  // namespace settings
