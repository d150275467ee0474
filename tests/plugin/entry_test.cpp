// The plug-in as the host sees it: the module loaded from a folder, its
// registrations, the suites held per message, the error alert, Startup and
// Shutdown with the settings file, and the About dialog.
#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "host/basic_suite.h"
#include "host/builder.h"
#include "plugin/suite_table.h"
#include "tests/plugin/plugin_host_fixture.h"
#include "ui/about_dialog.h"

namespace plugin_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<std::string> ItemNamesIn(const host::Registries& r, const std::string& group) {
  std::vector<std::string> names;
  for (const auto& [id, item] : r.items.records()) {
    if (item->group == group) names.push_back(item->name);
  }
  return names;
}

std::vector<std::string> Errors(const host::ScriptedUser& user) {
  std::vector<std::string> out;
  for (const auto& e : user.entries()) {
    if (e.kind == host::ScriptedUser::Kind::kError) out.push_back(e.text);
  }
  return out;
}

using ModuleTest = PluginHostTest;

TEST_F(ModuleTest, TheHostLoadsTheModuleStartsItAndShowsItsPanel) {
  StartModule();
  const host::PluginRecord* record = app_->Plugin(plugin_);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->name, "Zolvane");
  EXPECT_NE(record->globals, nullptr);
  EXPECT_EQ(record->options & kStartupPluginOption, kStartupPluginOption);

  const host::Registries& r = app_->registries();
  std::vector<std::string> notifiers;
  for (const auto& [id, n] : r.notifiers.records()) notifiers.push_back(n->name + " / " + n->type);
  EXPECT_THAT(notifiers,
              ElementsAre("Zolvane_NOTIFIER / AI Application Started Notifier",
                          "Zolvane Brightness Changed Notifier / AI UI Brightness Changed Notifier",
                          "Zolvane Document Closed Notifier / AI Document Closed Notifier",
                          "Zolvane Document Opened Notifier / AI Document Opened Notifier",
                          "Zolvane Document New Notifier / AI Document New Notifier",
                          "Zolvane ArtSelection Changed Notifier / AI Art Selection Changed "
                          "Notifier"));
  EXPECT_THAT(ItemNamesIn(r, "Tool Palettes"), ElementsAre("ZOLVANE_INFO Group"));
  EXPECT_THAT(ItemNamesIn(r, "About"), ElementsAre("HV_PLUGINS_ABOUT"));
  EXPECT_THAT(ItemNamesIn(r, "HV_PLUGINS_ABOUT"), ElementsAre("Zolvane"));
  EXPECT_EQ(r.items.Get(r.FindItem("Zolvane"))->text, "Zolvane...");
  EXPECT_EQ(r.items.Get(r.FindItem("HV_PLUGINS_ABOUT"))->text, "About Plug-ins (Halvorn)");
  EXPECT_NE(app_->actions().FindEvent(kActionEventName), nullptr);

  PanelRef panel = r.FindPanel(kPanelId);
  ASSERT_NE(panel, nullptr);
  const host::PanelRecord* p = r.panels.Get(panel);
  EXPECT_EQ(p->title, "Zolvane");
  EXPECT_EQ(p->min_width, 240);
  EXPECT_EQ(p->min_height, 320);
  ASSERT_NE(p->flyout, nullptr);
  const host::FlyoutRecord* flyout = r.flyouts.Get(p->flyout);
  ASSERT_EQ(flyout->items.size(), 1u);
  EXPECT_EQ(flyout->items[0].first, 1);
  EXPECT_EQ(flyout->items[0].second, "Initial Settings...");
  EXPECT_NE(p->handler, nullptr);
  EXPECT_TRUE(platform::IsWindowVisible(Panel()));
  EXPECT_EQ(platform::GetWindowText(Control(ui::kPanelNestId)), "Nesting optimization");
  EXPECT_EQ(platform::GetWindowText(Control(ui::kPanelVersionId)), "Ver 0.2.8.7");
  // Nothing stays held between messages.
  EXPECT_EQ(host::TotalHeld(), 0);
}

TEST_F(ModuleTest, ThePiPLBlockIsExactlyTheModulesDescription) {
  void* library = dlopen(ZOLVANE_PLUGIN_DIR "/Zolvane.aip", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto* block = static_cast<const unsigned char*>(dlsym(library, "PiPL_PLUGIN"));
  const auto* size = static_cast<const uint32_t*>(dlsym(library, "PiPL_PLUGIN_size"));
  ASSERT_NE(block, nullptr);
  ASSERT_NE(size, nullptr);
  const unsigned char expected[] = {
      0,   0,   0, 1, 0, 0, 0, 0,   0,   0,   0,   4,   'A', 'D', 'B', 'E', 'i', 'v', 'r',
      's', 0,   0, 0, 0, 0, 0, 0,   4,   0,   0,   0,   2,   'A', 'D', 'B', 'E', 'w', 'x',
      '8', '6', 0, 0, 0, 0, 0, 0,   0,   0,   'A', 'D', 'B', 'E', 'k', 'i', 'n', 'd', 0,
      0,   0,   0, 0, 0, 0, 4, 'S', 'P', 'E', 'A', 'A', 'D', 'B', 'E', 'p', 'i', 'n', 'm',
      0,   0,   0, 0, 0, 0, 0, 8,   'Z', 'o', 'l', 'v', 'a', 'n', 'e', 0,
  };
  ASSERT_EQ(*size, sizeof expected);
  EXPECT_EQ(std::memcmp(block, expected, sizeof expected), 0);
  EXPECT_NE(dlsym(library, "PluginMain"), nullptr);
  dlclose(library);
}

TEST_F(ModuleTest, NestingWithNothingSelectedAsksThenSaysSo) {
  StartModule();
  host::Document* doc = OpenDocument();
  user_.QueueAnswer(true);
  Click(ui::kPanelNestId);
  ASSERT_EQ(user_.entries().size(), 2u);
  EXPECT_EQ(user_.entries()[0].kind, host::ScriptedUser::Kind::kQuestion);
  EXPECT_EQ(user_.entries()[0].text, "Start optimization of the nesting. Are you sure?");
  EXPECT_EQ(user_.entries()[1].text, "No object is selected.");
  EXPECT_EQ(doc->undo_text(), "集版最適化の取り消し");
  EXPECT_EQ(doc->artboards().size(), 1u);
  EXPECT_EQ(host::TotalHeld(), 0);
}

TEST_F(ModuleTest, SetWritesTheQuantityOfTheSelectedObjects) {
  StartModule();
  host::Document* doc = OpenDocument();
  const PathStyle fill = host::FillStyleOf(host::Gray(0.5));
  host::Art* a = host::AddRectangle(*doc, kPlaceAboveAll, nullptr, {0, 10, 10, 0}, fill);
  host::Art* b = host::AddRectangle(*doc, kPlaceAboveAll, nullptr, {20, 10, 30, 0}, fill);
  host::Art* c = host::AddRectangle(*doc, kPlaceAboveAll, nullptr, {40, 10, 50, 0}, fill);
  app_->Command([&] {
    host::SelectDeep(*doc, a, true);
    host::SelectDeep(*doc, b, true);
    return kNoErr;
  });
  // The selection's common quantity (none set) shows as an empty field.
  EXPECT_EQ(platform::GetWindowText(Control(ui::kPanelQuantityId)), "");
  Type(ui::kPanelQuantityId, "5");
  Click(ui::kPanelSetId);
  auto quantity = [](const host::Art* art) {
    const host::Tag* tag = host::FindTag(*art, "zolvane_quantity");
    return tag ? tag->value : std::string("none");
  };
  EXPECT_EQ(quantity(a), "5");
  EXPECT_EQ(quantity(b), "5");
  EXPECT_EQ(quantity(c), "none");
  // Choosing c as well gives different quantities: the field shows "-",
  // and "Set" then changes nothing.
  app_->Command([&] {
    host::SelectDeep(*doc, c, true);
    return kNoErr;
  });
  EXPECT_EQ(platform::GetWindowText(Control(ui::kPanelQuantityId)), "-");
  Click(ui::kPanelSetId);
  EXPECT_EQ(quantity(a), "5");
  EXPECT_EQ(quantity(c), "none");
}

TEST_F(ModuleTest, NestingOptimizationNestsTheSelectionOntoSheets) {
  // A sheet of 100 x 100 mm within 5 mm margins holds four 40 mm squares:
  // six of them need a second sheet.
  WriteSettings("plate_size = 100, 100, 5, 5, 5, 5\r\ncur_param.collection_margin = 2\r\n");
  StartModule();
  host::Document* doc = OpenDocument();
  const PathStyle fill = host::FillStyleOf(host::Gray(0.5));
  const double side = 40 * PointsPerMm;
  std::vector<host::Art*> squares;
  for (int i = 0; i < 3; ++i) {
    squares.push_back(host::AddRectangle(*doc, kPlaceAboveAll, nullptr,
                                         {i * 200.0, side, i * 200.0 + side, 0}, fill));
  }
  app_->Command([&] {
    for (host::Art* a : squares) host::SelectDeep(*doc, a, true);
    return kNoErr;
  });
  Type(ui::kPanelQuantityId, "2");
  Click(ui::kPanelSetId);
  user_.QueueAnswer(true);
  Click(ui::kPanelNestId);
  ASSERT_GE(user_.entries().size(), 1u);
  EXPECT_EQ(user_.entries()[0].kind, host::ScriptedUser::Kind::kQuestion);
  int copies = 0;
  for (int32_t i = 0; i < doc->LayerCount(); ++i) {
    copies += static_cast<int>(host::TopLevelArt(*doc->NthLayer(i)).size());
  }
  EXPECT_EQ(copies, 6);
  EXPECT_EQ(doc->artboards().size(), 2u);
  EXPECT_EQ(doc->LayerByTitle("<<Zolvane Group>>"), nullptr);
  EXPECT_EQ(doc->undo_text(), "集版最適化の取り消し");
  EXPECT_EQ(host::TotalHeld(), 0);
}

TEST_F(ModuleTest, OnePageReproductionFillsTheSheetByStepAndRepeat) {
  // 90 x 90 mm inside the margins holds a grid of 4 x 4 squares of 20 mm
  // at 2 mm spacing; rotation off, so step and repeat runs.
  WriteSettings(
      "plate_size = 100, 100, 5, 5, 5, 5\r\ncur_param.collection_margin = 2\r\n"
      "one_page_reproduction = 1\r\nenable_anytime_rotation = 0\r\n"
      "enable_initial_rotation = 0\r\noutline_mode = 0\r\n");
  StartModule();
  host::Document* doc = OpenDocument();
  const double side = 20 * PointsPerMm;
  host::Art* square = host::AddRectangle(*doc, kPlaceAboveAll, nullptr, {0, side, side, 0},
                                         host::FillStyleOf(host::Gray(0.5)));
  app_->Command([&] {
    host::SelectDeep(*doc, square, true);
    return kNoErr;
  });
  user_.QueueAnswer(true);
  Click(ui::kPanelNestId);
  ASSERT_EQ(user_.entries().size(), 2u);
  EXPECT_EQ(user_.entries()[1].text, " 16 reproduced!");
  int copies = 0;
  for (int32_t i = 0; i < doc->LayerCount(); ++i) {
    copies += static_cast<int>(host::TopLevelArt(*doc->NthLayer(i)).size());
  }
  EXPECT_EQ(copies, 16);
  EXPECT_EQ(doc->artboards().size(), 1u);
  EXPECT_EQ(doc->LayerByTitle("<<Zolvane Group>>"), nullptr);
  EXPECT_EQ(host::TotalHeld(), 0);
}

TEST_F(ModuleTest, ShutdownSavesThePanelsSettingsAndLeavesNothingBehind) {
  const int fonts = platform::LiveFontCount();
  const int brushes = platform::LiveBrushCount();
  const size_t blocks = host::LiveBlockCount();
  StartModule();
  EXPECT_EQ(platform::LiveFontCount(), fonts + 2);
  EXPECT_EQ(platform::LiveBrushCount(), brushes + 2);
  Type(ui::kPanelSpacingId, "2.5");
  Click(ui::kPanelOutlineId);
  ASSERT_FALSE(std::filesystem::exists(SettingsPath()));
  ASSERT_EQ(app_->Shutdown(plugin_), kNoErr);
  EXPECT_EQ(platform::LiveFontCount(), fonts);
  EXPECT_EQ(platform::LiveBrushCount(), brushes);
  EXPECT_EQ(host::LiveBlockCount(), blocks);
  EXPECT_EQ(app_->registries().FindPanel(kPanelId), nullptr);
  EXPECT_TRUE(app_->registries().flyouts.records().empty());
  std::ifstream in(SettingsPath());
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_THAT(text, HasSubstr("cur_param.collection_margin = 2.5"));
  EXPECT_THAT(text, HasSubstr("outline_mode = 1"));
}

using EntryTest = PluginHostTest;

TEST_F(EntryTest, ShutdownWithoutAPanelWritesNoSettingsFile) {
  ASSERT_EQ(app_->AddPlugin("Zolvane", ZolvanePluginMain, &plugin_), kNoErr);
  ASSERT_EQ(app_->Startup(plugin_), kNoErr);  // no application-started notification
  ASSERT_EQ(app_->Shutdown(plugin_), kNoErr);
  EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
  EXPECT_EQ(g_globals, nullptr);
}

TEST_F(EntryTest, StartupReadsTheSettingsFileAndBuildsThePanelInItsLanguage) {
  WriteSettings("language = JAPANESE\r\ncur_param.collection_margin = 3\r\n");
  StartLinked();
  EXPECT_EQ(g_globals->language, kLanguageJapanese);
  EXPECT_EQ(platform::GetWindowText(Control(ui::kPanelNestId)), "集版最適化");
  EXPECT_EQ(platform::GetWindowText(Control(ui::kPanelSpacingId)), "3");
  const host::Registries& r = app_->registries();
  const host::PanelRecord* p = r.panels.Get(r.FindPanel(kPanelId));
  EXPECT_EQ(r.flyouts.Get(p->flyout)->items[0].second, "初期設定...");
}

TEST_F(EntryTest, AMessageDuringACallbackNeitherAcquiresNorReleases) {
  StartLinked();
  ASSERT_EQ(SuiteHoldCount(), 0);
  ASSERT_EQ(AcquireSuitesForCallback(g_globals->basic_suite), kNoErr);
  EXPECT_EQ(host::HeldCount(kMenuSuiteName, kMenuSuiteVersion), 1);
  ASSERT_EQ(app_->ChooseMenuItem(g_globals->panel_menu_item), kNoErr);
  EXPECT_EQ(SuiteHoldCount(), 1);
  EXPECT_EQ(host::HeldCount(kMenuSuiteName, kMenuSuiteVersion), 1);
  EXPECT_NE(HeldSuite<MenuSuite>(), nullptr);
  ReleaseSuitesForCallback();
  EXPECT_EQ(SuiteHoldCount(), 0);
  EXPECT_EQ(host::TotalHeld(), 0);
  EXPECT_EQ(HeldSuite<MenuSuite>(), nullptr);
}

TEST_F(EntryTest, ReloadStartsTheCountAfresh) {
  StartLinked();
  PluginGlobals* before = g_globals;
  ASSERT_EQ(AcquireSuitesForCallback(g_globals->basic_suite), kNoErr);
  ASSERT_EQ(app_->Unload(plugin_), kNoErr);
  ASSERT_EQ(app_->Reload(plugin_), kNoErr);
  EXPECT_EQ(SuiteHoldCount(), 0);
  EXPECT_EQ(g_globals, before);  // the host kept the globals across the swap
  // The next message acquires and releases its own hold.
  const int32_t held = host::TotalHeld();
  ASSERT_EQ(app_->UpdateMenus(), kNoErr);
  EXPECT_EQ(SuiteHoldCount(), 0);
  EXPECT_EQ(host::TotalHeld(), held);
  // The callback's hold from before the swap is given back by hand.
  ReleaseSuiteTable(g_globals->basic_suite);
  for (const SuiteTableEntry& e : kSuiteTable) {
    while (host::HeldCount(e.name, e.version) > 0) {
      host::HostBasicSuite()->ReleaseSuite(e.name, e.version);
    }
  }
}

TEST(ErrorAlert, TextAndTheResultsThatRaiseNone) {
  struct Case {
    HostErr result;
    const char* text;
  };
  const Case cases[] = {
      {kNoErr, ""},
      {kErrNoAlert, ""},
      {kErrSuiteNotFound, ""},
      {kErrCanceled, ""},
      {kErrBadParameter, "Error=5041524d, MRAP (caller : AI Menu, selector : AI Go)"},
      {kErrRefused, "Error=44454e59, YNED (caller : AI Menu, selector : AI Go)"},
      {0x41, "Error=41, A (caller : AI Menu, selector : AI Go)"},
      {-1, "Error=ffffffff, ???? (caller : AI Menu, selector : AI Go)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorAlertText(c.result, "AI Menu", "AI Go"), c.text) << c.result;
  }
}

TEST_F(EntryTest, AFailedRegistrationEndsStartupWithAnAlert) {
  // A host without the panel menu's group refuses the panel's menu item.
  host::Registries& r = app_->registries();
  for (const auto& [id, group] : r.groups.records()) {
    if (group->name == kMenuGroupToolPalettes) {
      r.groups.Remove(decltype(r.groups)::HandleOf<MenuGroupHandle>(id));
      break;
    }
  }
  ASSERT_EQ(app_->AddPlugin("Zolvane", ZolvanePluginMain, &plugin_), kNoErr);
  EXPECT_EQ(app_->Startup(plugin_), kErrNotFound);
  EXPECT_THAT(Errors(user_),
              ElementsAre("Error=21464e44, DNF! (caller : SP Interface, selector : Startup)"));
  EXPECT_EQ(host::TotalHeld(), 0);
  EXPECT_EQ(g_globals->panel_menu_item, nullptr);
}

TEST_F(EntryTest, ASecondPluginOfTheMakerAddsOnlyItsAboutItem) {
  std::vector<PluginRef> loaded;
  ASSERT_EQ(app_->LoadPluginsFrom(ZOLVANE_PLUGIN_DIR, &loaded, nullptr), kNoErr);
  ASSERT_EQ(app_->AddPlugin("Zolvane Two", ZolvanePluginMain, &plugin_), kNoErr);
  ASSERT_EQ(app_->Start(), kNoErr);
  const host::Registries& r = app_->registries();
  EXPECT_THAT(ItemNamesIn(r, "About"), ElementsAre("HV_PLUGINS_ABOUT"));
  EXPECT_THAT(ItemNamesIn(r, "HV_PLUGINS_ABOUT"), ElementsAre("Zolvane", "Zolvane"));
  int groups = 0;
  for (const auto& [id, g] : r.groups.records()) groups += g->name == "HV_PLUGINS_ABOUT";
  EXPECT_EQ(groups, 1);
  // The panel's identifier is the first one's: the second has none.
  EXPECT_EQ(g_globals->panel, nullptr);
}

// The person closes the About box with the key or button it holds.
struct AboutScript {
  int steps = 0;
  bool press_escape = false;
  std::string title, product, version;
  bool topmost = false;
  PixelRect rect;
};

bool AboutResponder(WindowHandle dialog, void* context) {
  auto* s = static_cast<AboutScript*>(context);
  if (s->steps++ > 0) return false;
  s->title = platform::GetWindowText(dialog);
  s->product = platform::GetWindowText(platform::GetDialogItem(dialog, ui::kAboutProductId));
  s->version = platform::GetWindowText(platform::GetDialogItem(dialog, ui::kAboutVersionId));
  s->topmost = platform::IsTopmost(dialog);
  s->rect = platform::GetWindowRect(dialog);
  if (s->press_escape) return platform::PressKey(platform::kKeyEscape);
  return platform::Click(platform::GetDialogItem(dialog, platform::kIdOk));
}

TEST_F(EntryTest, TheAboutItemShowsNameAndVersionCentredOnTheMainWindow) {
  StartLinked();
  for (bool escape : {false, true}) {
    const int fonts = platform::LiveFontCount();
    AboutScript script;
    script.press_escape = escape;
    platform::SetModalIdleResponder(AboutResponder, &script);
    ASSERT_EQ(app_->ChooseMenuItem(g_globals->about_menu_item), kNoErr);
    EXPECT_EQ(script.title, "About Zolvane");
    EXPECT_EQ(script.product, "Zolvane");
    EXPECT_EQ(script.version, "Ver 0.2.8.7");
    EXPECT_TRUE(script.topmost);
    const PixelRect main = platform::GetWindowRect(app_->main_window());
    EXPECT_EQ(script.rect.left,
              static_cast<int>((main.left + main.right) * 0.5 - script.rect.Width() * 0.5));
    EXPECT_EQ(script.rect.top,
              static_cast<int>((main.top + main.bottom) * 0.5 - script.rect.Height() * 0.5));
    EXPECT_EQ(platform::LiveFontCount(), fonts);  // the large font went with the dialog
  }
  EXPECT_EQ(ui::AboutDialogTemplate().resource_id, 16149);
}

}  // namespace
}  // namespace plugin_test
