// The Initial Settings dialog opened from the panel's flyout menu and driven
// as a person would: the preset list, loading, Save, Save As with the name
// dialog, Delete, OK and Cancel, and the alignment's direction texts.
#include "ui/initial_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/render.h"
#include "tests/plugin/plugin_host_fixture.h"

namespace plugin_test {
namespace {

using namespace platform;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A person at the dialogs: each step acts on the dialog whose modal loop
// ran out of input (the settings dialog or the name dialog in it).
struct Person {
  std::deque<std::function<void(WindowHandle)>> steps;
  std::deque<int> answers;  // message box buttons, in order
};

bool NextStep(WindowHandle dialog, void* context) {
  auto* person = static_cast<Person*>(context);
  if (person->steps.empty()) return false;
  auto step = std::move(person->steps.front());
  person->steps.pop_front();
  step(dialog);
  return true;
}

int Answer(const MessageBoxRecord&, void* context) {
  auto* person = static_cast<Person*>(context);
  if (person->answers.empty()) return kIdCancel;
  const int answer = person->answers.front();
  person->answers.pop_front();
  return answer;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class InitialSettingsTest : public PluginHostTest {
 protected:
  void TearDown() override {
    SetMessageBoxResponder(nullptr, nullptr);
    PluginHostTest::TearDown();
  }

  std::string PresetFolder() const {
    return SettingsPath().substr(0, SettingsPath().size() - 12) + "/Zolvane";
  }

  void WritePreset(const std::string& file, const std::string& lines) {
    std::filesystem::create_directories(PresetFolder());
    std::ofstream(PresetFolder() + "/" + file, std::ios::binary) << lines;
  }

  // Opens the dialog through the flyout menu; the person does the steps and
  // the dialog is cancelled when they run out, unless a step ended it.
  void Open() {
    SetModalIdleResponder(NextStep, &person_);
    SetMessageBoxResponder(Answer, &person_);
    PanelRef panel = app_->registries().FindPanel(kPanelId);
    ASSERT_EQ(app_->ChooseFlyoutItem(panel, kFlyoutInitialSettingsId), kNoErr);
    EXPECT_THAT(person_.steps, IsEmpty()) << "the dialog closed before every step was taken";
  }

  void Step(std::function<void(WindowHandle)> step) { person_.steps.push_back(std::move(step)); }
  // A person's action on a control of the dialog.
  void Choose(int id, int index) {
    Step(
        [id, index](WindowHandle d) { ASSERT_TRUE(ChooseComboItem(GetDialogItem(d, id), index)); });
  }
  void ClickIn(int id) {
    Step([id](WindowHandle d) { ASSERT_TRUE(platform::Click(GetDialogItem(d, id))); });
  }
  void TypeIn(int id, std::string text) {
    Step([id, text](WindowHandle d) { ASSERT_TRUE(TypeText(GetDialogItem(d, id), text)); });
  }
  // Looks at the dialog without touching it.
  void Look(std::function<void(WindowHandle)> look) {
    Step([look](WindowHandle d) {
      look(d);
      PostMessage(d, kMsgNull);  // keep the loop going to the next step
    });
  }
  void LookAtList(std::vector<std::string>* items, int* selection) {
    Look([items, selection](WindowHandle d) {
      *items = ComboItems(GetDialogItem(d, ui::kPresetListId));
      *selection = ComboGetSelection(GetDialogItem(d, ui::kPresetListId));
    });
  }

  Person person_;
};

TEST_F(InitialSettingsTest, AnEmptyFolderOpensWithUntitledAndInertCommands) {
  StartLinked();
  std::vector<std::string> items;
  int selection = -1;
  LookAtList(&items, &selection);
  Choose(ui::kPresetListId, 2);  // "Save"
  std::vector<std::string> after_save;
  int selection_after_save = -1;
  LookAtList(&after_save, &selection_after_save);
  Choose(ui::kPresetListId, 4);  // "Delete"
  std::vector<std::string> after_delete;
  int selection_after_delete = -1;
  LookAtList(&after_delete, &selection_after_delete);
  Open();
  EXPECT_THAT(items, ElementsAre("Untitled", "", "Save", "Save As...", "Delete"));
  EXPECT_EQ(selection, 0);
  EXPECT_EQ(selection_after_save, 0);
  EXPECT_EQ(selection_after_delete, 0);
  EXPECT_EQ(after_delete, items);
  EXPECT_THAT(ShownMessageBoxes(), IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(PresetFolder() + "/Untitled.ini"));
  EXPECT_STREQ(g_globals->preset_path, "Untitled");
}

// The darkest grey level of the pixels of one row of the opened preset list.
int DarkestInListRow(WindowHandle dialog, int row) {
  WindowHandle list = GetDialogItem(dialog, ui::kPresetListId);
  const Image image = RenderWindow(dialog);
  const PixelRect top = GetWindowRect(dialog);
  const PixelRect box = GetWindowRect(list);
  const int field = std::min(box.Height(), ComboGetItemHeight(list, -1) + 6);
  const int item = ComboGetItemHeight(list, 0);
  const int y0 = box.top - top.top + field + 1 + row * item;
  int darkest = 255;
  for (int y = y0; y < y0 + item; ++y) {
    for (int x = box.left - top.left + 1; x < box.right - top.left - 1; ++x) {
      const ColorRef c = PixelColor(image, x, y);
      darkest = std::min(darkest, (ColorRed(c) + ColorGreen(c) + ColorBlue(c)) / 3);
    }
  }
  return darkest;
}

TEST_F(InitialSettingsTest, SaveAndDeleteAreDrawnGreyWhileUntitled) {
  StartLinked();
  int save = 0, save_as = 0, remove = 0, separator = 0;
  Look([&](WindowHandle d) {
    ComboShowDropDown(GetDialogItem(d, ui::kPresetListId), true);
    separator = DarkestInListRow(d, 1);
    save = DarkestInListRow(d, 2);
    save_as = DarkestInListRow(d, 3);
    remove = DarkestInListRow(d, 4);
  });
  Open();
  EXPECT_GE(save, 0x70);
  EXPECT_GE(remove, 0x70);
  EXPECT_EQ(separator, 0x7F);
  EXPECT_LT(save_as, 0x40);
}

TEST_F(InitialSettingsTest, PresetFilesAreListedCaseBlindAndOnlyWithTheirOwnExtension) {
  WritePreset("b.ini", "");
  WritePreset("A.INI", "");
  WritePreset("c.Ini", "");
  std::filesystem::create_directories(PresetFolder() + "/d.ini");
  WriteSettings("preset_path = \"b\"\r\n");
  StartLinked();
  std::vector<std::string> items;
  int selection = -1;
  LookAtList(&items, &selection);
  Open();
  EXPECT_THAT(items, ElementsAre("A", "b", "", "Save", "Save As...", "Delete"));
  EXPECT_EQ(selection, 1);
  EXPECT_EQ(g_globals->preset_idx, 1);
}

TEST_F(InitialSettingsTest, ChoosingAPresetLoadsOnlyItsLayout) {
  WritePreset("Wide.ini",
              "plate_size = 1200, 600, 10, 11, 12, 13\r\ncur_param.cut_line_margin_1 = 99\r\n"
              "toward_baseline = 2\r\nenable_anytime_rotation = 0\r\nlanguage = JAPANESE\r\n");
  StartLinked();
  std::string width, radio;
  Choose(ui::kPresetListId, 1);  // [Untitled, Wide, ...]
  Look([&](WindowHandle d) {
    width = GetWindowText(GetDialogItem(d, ui::kPlateWidthId));
    radio = GetWindowText(GetDialogItem(d, ui::kDirectionFirstId));
  });
  Open();
  EXPECT_EQ(width, "1200");
  EXPECT_EQ(radio, "Top to Bottom");
  EXPECT_STREQ(g_globals->preset_path, "Wide");
  EXPECT_EQ(g_globals->plate_margin_bottom, 13);
  EXPECT_EQ(g_globals->cur_param.cut_line_margin_1, 99);
  EXPECT_EQ(g_globals->enable_anytime_rotation, 1);
  EXPECT_EQ(g_globals->language, kLanguageEnglish);
}

TEST_F(InitialSettingsTest, OkWritesTheSettingsFileAndShowsThemInThePanel) {
  StartLinked();
  TypeIn(ui::kPlateWidthId, "500");
  TypeIn(ui::kGroupSpacingId, "7");
  TypeIn(ui::kMarginTopId, "abc");
  Choose(ui::kAlignmentId, 3);
  ClickIn(ui::kDirectionFirstId);
  ClickIn(kIdOk);
  Open();
  EXPECT_EQ(g_globals->plate_width, 500);
  EXPECT_EQ(g_globals->plate_margin_top, 0);
  EXPECT_EQ(g_globals->toward_baseline, kBaselineRight);
  EXPECT_EQ(g_globals->toward_mode, 0);
  EXPECT_EQ(GetWindowText(Control(ui::kPanelSpacingId)), "7");
  const std::string text = ReadFile(SettingsPath());
  EXPECT_THAT(text, HasSubstr("plate_size = 500, 1260, 15, 0, 15, 15"));
  EXPECT_THAT(text, HasSubstr("toward_baseline = 3"));
}

TEST_F(InitialSettingsTest, CancelWritesNothingAndLeavesThePanel) {
  StartLinked();
  TypeIn(ui::kPlateWidthId, "500");
  TypeIn(ui::kGroupSpacingId, "7");
  ClickIn(kIdCancel);
  Open();
  EXPECT_EQ(g_globals->plate_width, 860);
  EXPECT_EQ(GetWindowText(Control(ui::kPanelSpacingId)), "5");
  EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

TEST_F(InitialSettingsTest, TheAlignmentSwitchesTheDirectionTexts) {
  StartLinked();
  std::vector<std::string> texts;
  for (int side : {2, 3, 1, 0}) {
    Choose(ui::kAlignmentId, side);
    Look([&](WindowHandle d) {
      texts.push_back(GetWindowText(GetDialogItem(d, ui::kDirectionFirstId)) + " / " +
                      GetWindowText(GetDialogItem(d, ui::kDirectionSecondId)));
    });
  }
  Open();
  EXPECT_THAT(texts, ElementsAre("Top to Bottom / Bottom to Top", "Top to Bottom / Bottom to Top",
                                 "Left to Right / Right to Left", "Left to Right / Right to Left"));
}

TEST_F(InitialSettingsTest, SaveAsProposesTheFirstFreeNumberAndSelectsTheNewPreset) {
  WritePreset("Custom-1.ini", "plate_size = 1, 2, 3, 4, 5, 6\r\n");
  WriteSettings("preset_path = \"Custom-1\"\r\n");
  StartLinked();
  std::string proposed, title;
  TypeIn(ui::kPlateWidthId, "640");
  Choose(ui::kPresetListId, 3);  // [Custom-1, "", Save, Save As..., Delete]
  Step([&](WindowHandle name_dialog) {
    title = GetWindowText(name_dialog);
    proposed = GetWindowText(GetDialogItem(name_dialog, ui::kPresetNameFieldId));
    platform::Click(GetDialogItem(name_dialog, kIdOk));
  });
  std::vector<std::string> items;
  int selection = -1;
  LookAtList(&items, &selection);
  Open();
  EXPECT_EQ(title, "Save File As");
  EXPECT_EQ(proposed, "Custom-2");
  EXPECT_THAT(items, ElementsAre("Custom-1", "Custom-2", "", "Save", "Save As...", "Delete"));
  EXPECT_EQ(selection, 1);
  EXPECT_STREQ(g_globals->preset_path, "Custom-2");
  EXPECT_THAT(ReadFile(PresetFolder() + "/Custom-2.ini"), HasSubstr("plate_size = 640, "));
}

TEST_F(InitialSettingsTest, SaveAsOverAnExistingPresetAsksAndKeepsTheCurrentOne) {
  WritePreset("Mine.ini", "plate_size = 1, 2, 3, 4, 5, 6\r\n");
  WritePreset("Other.ini", "plate_size = 1, 2, 3, 4, 5, 6\r\n");
  WriteSettings("preset_path = \"Mine\"\r\n");
  StartLinked();
  TypeIn(ui::kPlateHeightId, "333");
  Choose(ui::kPresetListId, 4);  // [Mine, Other, "", Save, Save As..., Delete]
  TypeIn(ui::kPresetNameFieldId, "Other");
  ClickIn(kIdOk);
  person_.answers = {kIdOk};
  Open();
  ASSERT_EQ(ShownMessageBoxes().size(), 1u);
  EXPECT_EQ(ShownMessageBoxes()[0].text,
            "The file already exists. \rDo you want the 'Other' file to overwrite?");
  EXPECT_EQ(ShownMessageBoxes()[0].flags, kMbOkCancel | kMbIconQuestion);
  EXPECT_THAT(ReadFile(PresetFolder() + "/Other.ini"), HasSubstr("plate_size = 860, 333, "));
  EXPECT_STREQ(g_globals->preset_path, "Mine");
  EXPECT_EQ(g_globals->preset_idx, 0);
}

TEST_F(InitialSettingsTest, ANameThatWouldLeaveThePresetFolderIsReportedAsAFailedSave) {
  StartLinked();
  Choose(ui::kPresetListId, 3);  // [Untitled, "", Save, Save As..., Delete]
  TypeIn(ui::kPresetNameFieldId, "../escape");
  ClickIn(kIdOk);
  std::vector<std::string> items;
  int selection = -1;
  LookAtList(&items, &selection);
  const int beeps = BeepCount();
  Open();
  EXPECT_EQ(BeepCount(), beeps + 1);
  ASSERT_EQ(ShownMessageBoxes().size(), 1u);
  EXPECT_EQ(ShownMessageBoxes()[0].text,
            "Create '../escape' File is Failed.\rDestination file already exists or filename is "
            "invalid.");
  EXPECT_EQ(ShownMessageBoxes()[0].flags, kMbIconInformation);
  EXPECT_THAT(items, ElementsAre("Untitled", "", "Save", "Save As...", "Delete"));
  EXPECT_STREQ(g_globals->preset_path, "Untitled");
  EXPECT_FALSE(std::filesystem::exists(PresetFolder() + "/../escape.ini"));
}

TEST_F(InitialSettingsTest, SaveWritesTheCurrentPreset) {
  WritePreset("Mine.ini", "plate_size = 1, 2, 3, 4, 5, 6\r\n");
  WriteSettings("preset_path = \"Mine\"\r\n");
  StartLinked();
  TypeIn(ui::kMarginLeftId, "21");
  Choose(ui::kPresetListId, 2);  // [Mine, "", Save, ...]
  std::vector<std::string> items;
  int selection = -1;
  LookAtList(&items, &selection);
  Open();
  EXPECT_EQ(selection, 0);
  EXPECT_THAT(ReadFile(PresetFolder() + "/Mine.ini"),
              HasSubstr("plate_size = 860, 1260, 21, 15, 15, 15"));
  EXPECT_THAT(ShownMessageBoxes(), IsEmpty());
}

TEST_F(InitialSettingsTest, DeletingTheLastOfThreeSelectsTheNewLast) {
  WritePreset("a.ini", "plate_size = 100, 100, 1, 1, 1, 1\r\n");
  WritePreset("b.ini", "plate_size = 200, 200, 2, 2, 2, 2\r\n");
  WritePreset("c.ini", "plate_size = 300, 300, 3, 3, 3, 3\r\n");
  WriteSettings("preset_path = \"c\"\r\n");
  StartLinked();
  Choose(ui::kPresetListId, 6);  // [a, b, c, "", Save, Save As..., Delete]
  std::vector<std::string> items;
  int selection = -1;
  std::string width;
  LookAtList(&items, &selection);
  Look([&](WindowHandle d) { width = GetWindowText(GetDialogItem(d, ui::kPlateWidthId)); });
  person_.answers = {kIdOk};
  Open();
  ASSERT_EQ(ShownMessageBoxes().size(), 1u);
  EXPECT_EQ(ShownMessageBoxes()[0].text, "Do you want to completely remove the file \"c\"?");
  EXPECT_THAT(items, ElementsAre("a", "b", "", "Save", "Save As...", "Delete"));
  EXPECT_EQ(selection, 1);
  EXPECT_STREQ(g_globals->preset_path, "b");
  EXPECT_EQ(width, "200");
  EXPECT_FALSE(std::filesystem::exists(PresetFolder() + "/c.ini"));
}

TEST_F(InitialSettingsTest, DeletingTheOnlyPresetLeavesUntitledAndCancelKeepsIt) {
  WritePreset("only.ini", "");
  WriteSettings("preset_path = \"only\"\r\n");
  StartLinked();
  Choose(ui::kPresetListId, 4);  // [only, "", Save, Save As..., Delete]: answered Cancel
  Choose(ui::kPresetListId, 4);
  std::vector<std::string> items;
  int selection = -1;
  LookAtList(&items, &selection);
  person_.answers = {kIdCancel, kIdOk};
  Open();
  EXPECT_EQ(ShownMessageBoxes().size(), 2u);
  EXPECT_THAT(items, ElementsAre("Untitled", "", "Save", "Save As...", "Delete"));
  EXPECT_EQ(selection, 0);
  EXPECT_STREQ(g_globals->preset_path, "Untitled");
  EXPECT_FALSE(std::filesystem::exists(PresetFolder() + "/only.ini"));
}

TEST_F(InitialSettingsTest, TheJapaneseDialog) {
  WriteSettings("language = JAPANESE\r\n");
  StartLinked();
  std::string title, top, proposed;
  std::vector<std::string> items;
  Look([&](WindowHandle d) {
    title = GetWindowText(d);
    top = GetWindowText(GetDialogItem(d, 47));
    items = ComboItems(GetDialogItem(d, ui::kPresetListId));
  });
  Choose(ui::kPresetListId, 3);
  Step([&](WindowHandle name_dialog) {
    proposed = GetWindowText(GetDialogItem(name_dialog, ui::kPresetNameFieldId));
    PressKey(kKeyEscape);
  });
  Open();
  EXPECT_EQ(title, "Zolvane 初期設定");
  EXPECT_EQ(top, "上 :");
  EXPECT_THAT(items, ElementsAre("Untitled", "", "保存", "別名で保存...", "削除"));
  EXPECT_EQ(proposed, "カスタム-1");
  EXPECT_EQ(ui::InitialSettingsTemplate(kLanguageJapanese).resource_id, 16053);
  EXPECT_EQ(ui::InitialSettingsTemplate(kLanguageEnglish).resource_id, 16253);
  EXPECT_EQ(ui::PresetNameTemplate(kLanguageJapanese).resource_id, 16152);
  EXPECT_EQ(ui::PresetNameTemplate(kLanguageEnglish).resource_id, 16252);
}

}  // namespace
}  // namespace plugin_test
