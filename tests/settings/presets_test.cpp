// Preset files: the listing's filter, order and limit; existence and deletion.
#include "settings/presets.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "settings/settings_file.h"
#include "tests/platform/temp_folder.h"

namespace settings {
namespace {

class PresetsTest : public ::testing::Test {
 protected:
  void Touch(const std::string& name) {
    ASSERT_EQ(platform::WriteWholeFile(PresetFolder() + "/" + name, "plate_size = 1\r\n"),
              platform::FileStatus::kOk);
  }

  testing_support::TempKnownFolders folders_;
};

TEST_F(PresetsTest, ListsIniFilesSortedWithoutRegardToCase) {
  EXPECT_TRUE(ListPresetNames().empty()) << "an empty folder lists nothing";
  for (const char* name : {"b.ini", "A.INI", "c.Ini", ".ini", "notes.txt", "B.ini", "a.ini.tmp"}) {
    Touch(name);
  }
  ASSERT_EQ(platform::CreateFolders(PresetFolder() + "/folder.ini"), platform::FileStatus::kOk);
  // "B" and "b" compare equal and keep the order they were found in.
  EXPECT_EQ(ListPresetNames(), (std::vector<std::string>{"A", "B", "b"}));
}

TEST_F(PresetsTest, KeepsTheFirstHundredFound) {
  for (int i = 0; i < 105; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "p%03d.ini", 104 - i);
    Touch(name);
  }
  const std::vector<std::string> names = ListPresetNames();
  ASSERT_EQ(names.size(), static_cast<size_t>(kMaxPresetNames));
  EXPECT_EQ(names.front(), "p000");
  EXPECT_EQ(names.back(), "p099");
}

TEST_F(PresetsTest, ExistsAndDeleteWorkOnTheNamedFileOnly) {
  Touch("Custom-1.ini");
  EXPECT_TRUE(PresetFileExists("Custom-1"));
  EXPECT_FALSE(PresetFileExists("Custom-2"));
  EXPECT_FALSE(PresetFileExists("../Prefs/Zolvane/Custom-1"));
  EXPECT_FALSE(DeletePresetFile("../Zolvane/Custom-1"));
  EXPECT_TRUE(PresetFileExists("Custom-1"));
  EXPECT_TRUE(DeletePresetFile("Custom-1"));
  EXPECT_FALSE(PresetFileExists("Custom-1"));
  EXPECT_FALSE(DeletePresetFile("Custom-1"));
}

}  // namespace
}  // namespace settings
