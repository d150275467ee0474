// The panel's commands through the host, as a person gives them: the nesting
// question and the choice of run, the quantity set on the selection, the
// menu item that shows and hides the panel, and the notifications.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/plugin/plugin_host_fixture.h"

namespace plugin_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using CommandsTest = PluginHostTest;

// Sets the three controls the choice of run depends on, as a person would.
struct RunChoice {
  bool one_page;
  bool anytime_rotation;
  int step;
  const char* run;
};

TEST_F(CommandsTest, NestingChoosesStepAndRepeatOnlyForOnePageWithoutFineRotation) {
  StartLinked();
  OpenDocument();
  const RunChoice cases[] = {
      {false, true, 5, "nesting"}, {false, false, 0, "nesting"}, {false, true, 0, "nesting"},
      {true, false, 5, "step"},    {true, false, 0, "step"},     {true, true, 0, "step"},
      {true, true, 1, "nesting"},  {true, true, 5, "nesting"},
  };
  for (const RunChoice& c : cases) {
    SCOPED_TRACE(std::string(c.run) + (c.one_page ? " one page" : "") +
                 (c.anytime_rotation ? " rotation " : " no rotation ") + std::to_string(c.step));
    g_runs_log.calls.clear();
    // The combo box takes a choice only while rotation is allowed.
    if (platform::GetCheck(Control(ui::kPanelAnytimeRotationId)) != platform::kChecked) {
      Click(ui::kPanelAnytimeRotationId);
    }
    Choose(ui::kPanelRotationStepId, c.step);
    if (!c.anytime_rotation) Click(ui::kPanelAnytimeRotationId);
    if ((platform::GetCheck(Control(ui::kPanelOnePageId)) == platform::kChecked) != c.one_page) {
      Click(ui::kPanelOnePageId);
    }
    user_.QueueAnswer(true);
    Click(ui::kPanelNestId);
    EXPECT_THAT(g_runs_log.calls, ElementsAre(c.run, "artboards 3"));
    EXPECT_EQ(g_globals->command_code, 0);
  }
}

TEST_F(CommandsTest, NoToTheQuestionRunsNothingAndAFailedRunMakesNoArtboards) {
  StartLinked();
  host::Document* doc = OpenDocument();
  user_.QueueAnswer(false);
  Click(ui::kPanelNestId);
  EXPECT_THAT(g_runs_log.calls, IsEmpty());
  EXPECT_EQ(doc->undo_text(), "");
  EXPECT_EQ(g_globals->command_code, 0);

  g_runs_log.result = -2;
  user_.QueueAnswer(true);
  Click(ui::kPanelNestId);
  EXPECT_THAT(g_runs_log.calls, ElementsAre("nesting"));
  EXPECT_EQ(doc->undo_text(), "集版最適化の取り消し");
}

TEST_F(CommandsTest, TheQuestionIsAskedInTheChosenLanguage) {
  WriteSettings("language = JAPANESE\r\n");
  StartLinked();
  OpenDocument();
  Click(ui::kPanelNestId);
  ASSERT_EQ(user_.entries().size(), 1u);
  EXPECT_EQ(user_.entries()[0].text, "集版の最適化を行います。\rよろしいですか？");
}

TEST_F(CommandsTest, ThePanelsSettingsReachTheRun) {
  StartLinked();
  OpenDocument();
  Type(ui::kPanelSpacingId, "abc");
  Click(ui::kPanelOutlineId);
  Click(ui::kPanelOverlapId);
  Click(ui::kPanelNestId);  // the question is answered no: only the settings are read
  EXPECT_EQ(g_globals->cur_param.collection_margin, 0);
  EXPECT_EQ(g_globals->outline_mode, 1);
  EXPECT_EQ(g_globals->consider_object_overlap, 0);
  Type(ui::kPanelSpacingId, "1.25");
  Click(ui::kPanelRectangleId);
  Click(ui::kPanelNestId);
  EXPECT_EQ(g_globals->cur_param.collection_margin, 1.25);
  EXPECT_EQ(g_globals->outline_mode, 0);
}

TEST_F(CommandsTest, SetWritesTheQuantityTypedAndLeavesADashAlone) {
  StartLinked();
  OpenDocument();
  struct Case {
    const char* typed;
    const char* applied;  // null: nothing applied
  };
  const Case cases[] = {
      {"7", "quantity 7"}, {"-5", "quantity 0"},   {"", "quantity 0"},
      {"-", nullptr},      {"12x", "quantity 12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    g_runs_log.calls.clear();
    Type(ui::kPanelQuantityId, c.typed);
    if (*c.typed == '\0') {
      platform::SetWindowText(Control(ui::kPanelQuantityId), "");
    }
    Click(ui::kPanelSetId);
    if (c.applied) {
      EXPECT_THAT(g_runs_log.calls, ElementsAre(c.applied));
    } else {
      EXPECT_THAT(g_runs_log.calls, IsEmpty());
    }
    EXPECT_EQ(g_globals->command_code, 0);
  }
}

TEST_F(CommandsTest, TheSelectionsQuantityIsShownInTheField) {
  StartLinked();
  OpenDocument();
  struct Case {
    int32_t quantity;
    const char* shown;
  };
  for (const Case& c : {Case{-2, ""}, Case{-1, "-"}, Case{0, ""}, Case{4, "4"}}) {
    g_runs_log.selection = c.quantity;
    ASSERT_EQ(app_->Notify(kNotifyArtSelectionChanged), kNoErr);
    EXPECT_EQ(platform::GetWindowText(Control(ui::kPanelQuantityId)), c.shown) << c.quantity;
  }
  // Shown as "-", the field leaves every quantity as it is.
  g_runs_log.selection = -1;
  ASSERT_EQ(app_->Notify(kNotifyArtSelectionChanged), kNoErr);
  Click(ui::kPanelSetId);
  EXPECT_THAT(g_runs_log.calls, IsEmpty());
}

TEST_F(CommandsTest, WithoutADocumentTheButtonsOnlyStoreTheirCode) {
  StartLinked();
  host::Document* doc = OpenDocument();
  ASSERT_EQ(app_->CloseDocument(doc), kNoErr);
  EXPECT_EQ(g_globals->current_document, nullptr);
  user_.QueueAnswer(true);
  Click(ui::kPanelNestId);
  EXPECT_EQ(g_globals->command_code, kCommandNest);
  EXPECT_THAT(user_.entries(), IsEmpty());
  EXPECT_THAT(g_runs_log.calls, IsEmpty());
  // The next action played, with a document again, runs the stored command.
  OpenDocument();
  ASSERT_NE(g_globals->current_document, nullptr);
  Click(ui::kPanelSetId);
  EXPECT_THAT(g_runs_log.calls, ElementsAre("quantity 0"));
}

// A run that, while it pumps messages, meets a person pressing the panel's
// buttons and choosing its flyout item.
struct Impatient {
  host::HostApp* app;
  WindowHandle panel;
  int dialogs = 0;
};
Impatient* g_impatient = nullptr;

bool CountDialog(WindowHandle, void*) {
  ++g_impatient->dialogs;
  return false;
}

int32_t ImpatientRun(int32_t* extra) {
  g_runs_log.calls.push_back("nesting");
  platform::SetModalIdleResponder(CountDialog, nullptr);
  platform::SetWindowText(platform::GetDialogItem(g_impatient->panel, ui::kPanelSpacingId), "9");
  platform::Click(platform::GetDialogItem(g_impatient->panel, ui::kPanelNestId));
  platform::Click(platform::GetDialogItem(g_impatient->panel, ui::kPanelSetId));
  platform::PumpAllMessages();
  g_impatient->app->ChooseFlyoutItem(g_impatient->app->registries().FindPanel(kPanelId),
                                     kFlyoutInitialSettingsId);
  *extra = 0;
  return 0;
}

TEST_F(CommandsTest, ButtonsAndSettingsWaitWhileARunIsUnderWay) {
  StartLinked();
  OpenDocument();
  Impatient impatient{app_.get(), Panel()};
  g_impatient = &impatient;
  SetCommandRuns({ImpatientRun, LogStep, LogArtboards, LogSelection, LogQuantity});
  user_.QueueAnswer(true);
  user_.QueueAnswer(true);
  Type(ui::kPanelSpacingId, "1");
  Click(ui::kPanelNestId);
  EXPECT_THAT(g_runs_log.calls, ElementsAre("nesting", "artboards 1"));
  EXPECT_EQ(impatient.dialogs, 0);
  EXPECT_EQ(user_.entries().size(), 1u);
  // The spacing typed during the run was not read into the settings.
  EXPECT_EQ(g_globals->cur_param.collection_margin, 1);
  g_impatient = nullptr;
}

TEST_F(CommandsTest, TheActionPlayedWithoutACommandDoesNothing) {
  StartLinked();
  OpenDocument();
  ASSERT_EQ(app_->PlayAction(kActionEventName, kDialogStatusNone, nullptr), kNoErr);
  EXPECT_THAT(user_.entries(), IsEmpty());
  EXPECT_THAT(g_runs_log.calls, IsEmpty());
}

TEST_F(CommandsTest, TheMenuItemTogglesThePanelAndCarriesItsCheckMark) {
  StartLinked();
  MenuItemHandle item = g_globals->panel_menu_item;
  ASSERT_EQ(app_->UpdateMenus(), kNoErr);
  EXPECT_TRUE(app_->IsMenuItemChecked(item));
  for (bool shown : {false, true, false}) {
    ASSERT_EQ(app_->ChooseMenuItem(item), kNoErr);
    EXPECT_EQ(platform::IsWindowVisible(Panel()), shown);
    ASSERT_EQ(app_->UpdateMenus(), kNoErr);
    EXPECT_EQ(app_->IsMenuItemChecked(item), shown);
  }
}

TEST_F(CommandsTest, ClickingAControlGivesTheFocusBackToTheHost) {
  StartLinked();
  Click(ui::kPanelOverlapId);
  EXPECT_EQ(platform::GetFocus(), app_->main_window());
  Choose(ui::kPanelRotationStepId, 2);
  // The combo box keeps the focus until it loses it.
  platform::SetFocus(nullptr);
  platform::PumpAllMessages();
  Type(ui::kPanelSpacingId, "4");
  EXPECT_EQ(platform::GetFocus(), Control(ui::kPanelSpacingId));
}

TEST_F(CommandsTest, DocumentNotificationsFollowTheCurrentDocument) {
  StartLinked();
  EXPECT_EQ(g_globals->current_document, nullptr);
  host::Document* first = OpenDocument();
  EXPECT_EQ(g_globals->current_document, first->handle());
  host::Document* second = app_->NewDocument("Untitled-2");
  EXPECT_EQ(g_globals->current_document, second->handle());
  ASSERT_EQ(app_->CloseDocument(second), kNoErr);
  EXPECT_EQ(g_globals->current_document, first->handle());
  ASSERT_EQ(app_->CloseDocument(first), kNoErr);
  EXPECT_EQ(g_globals->current_document, nullptr);
}

}  // namespace
}  // namespace plugin_test
