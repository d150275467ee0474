// The host application: plug-in modules loaded from a folder and their
// messages, menus, notifications, panels, the user and theme, and the
// action manager playing plug-in events and the host's effects.
#include "host/host_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/basic_suite.h"
#include "host/builder.h"
#include "host/effects.h"
#include "platform/window.h"

namespace host {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<std::string> Texts(const ScriptedUser& user) {
  std::vector<std::string> out;
  for (const auto& e : user.entries()) out.push_back(e.text);
  return out;
}

// --- a plug-in linked into the test ----------------------------------------------

// What the linked plug-in saw of each message.
struct Seen {
  std::string caller;
  std::string selector;
  void* globals;
  const void* extra;  // the menu item or the event's parameters
  std::string type;   // the notification's type
  int32_t dialog_status;
};
std::vector<Seen> g_seen;
int g_globals_block = 0;

HostErr LinkedMain(const char* caller, const char* selector, void* message) {
  auto* d = static_cast<MessageData*>(message);
  Seen seen{caller, selector, d->globals, nullptr, {}, 0};
  std::string c = caller;
  if (c == kCallerMenu) seen.extra = static_cast<MenuMessage*>(message)->menu_item;
  if (c == kCallerNotifier) seen.type = static_cast<NotifierMessage*>(message)->type;
  if (c == kCallerActionManager) {
    auto* a = static_cast<DoActionMessage*>(message);
    seen.extra = a->params;
    seen.dialog_status = a->dialog_status;
  }
  g_seen.push_back(seen);
  // The plug-in leaves its globals in the message; the host hands them back.
  if (std::string(selector) == kSelectorStartup) d->globals = &g_globals_block;
  return kNoErr;
}

class HostAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_seen.clear();
    app_.SetUser(&user_);
    ASSERT_EQ(app_.AddPlugin("Linked", &LinkedMain, &linked_), kNoErr);
  }

  const MenuSuite* menus() { return Suite<MenuSuite>(kMenuSuiteName, kMenuSuiteVersion); }
  const PanelSuite* panels() { return Suite<PanelSuite>(kPanelSuiteName, kPanelSuiteVersion); }
  const ActionManagerSuite* actions() {
    return Suite<ActionManagerSuite>(kActionManagerSuiteName, kActionManagerSuiteVersion);
  }
  template <class S>
  const S* Suite(const char* name, int32_t version) {
    return static_cast<const S*>(FindSuite(name, version));
  }
  std::vector<std::string> SeenSelectors(const std::string& caller) {
    std::vector<std::string> out;
    for (const Seen& s : g_seen) {
      if (s.caller == caller) out.push_back(s.selector);
    }
    return out;
  }
  int SelectionNotices() {
    int n = 0;
    for (const Seen& s : g_seen) {
      if (s.caller == kCallerNotifier && s.type == kNotifyArtSelectionChanged) {
        ++n;
      }
    }
    return n;
  }

  ScriptedUser user_;
  HostApp app_;
  PluginRef linked_ = nullptr;
};

TEST_F(HostAppTest, ModuleFromAFolderAnswersItsMessagesAndABrokenOneIsRefused) {
  size_t blocks = LiveBlockCount();
  std::vector<PluginRef> loaded;
  std::vector<std::string> refusals;
  ASSERT_EQ(app_.LoadPluginsFrom(TEST_PLUGIN_DIR, &loaded, &refusals), kNoErr);
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(app_.Plugin(loaded[0])->name, "Test Module");
  ASSERT_EQ(refusals.size(), 1u);
  EXPECT_THAT(refusals[0], HasSubstr("Broken.aip"));
  EXPECT_THAT(refusals[0], HasSubstr("kind \"SPEX\""));

  ASSERT_EQ(app_.Start(), kNoErr);
  MenuItemHandle item = app_.registries().FindItem("TEST_ITEM");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(app_.ChooseMenuItem(item), kNoErr);
  EXPECT_EQ(app_.UpdateMenus(), kNoErr);
  EXPECT_EQ(app_.PlayAction("TEST_EVENT", kDialogStatusNone, nullptr), kNoErr);
  // Swapped out and back in, the module keeps its globals (the count goes on).
  EXPECT_EQ(app_.Unload(loaded[0]), kNoErr);
  EXPECT_EQ(app_.PlayAction("TEST_EVENT", kDialogStatusNone, nullptr), kNoErr);
  EXPECT_EQ(app_.About(loaded[0]), kNoErr);
  // With a panel, whose window procedures live in the library, it stays in.
  PanelRef panel = nullptr;
  ASSERT_EQ(panels()->CreatePanel(loaded[0], "TEST_PANEL", "Test", 1, 100, 100, 0, nullptr, nullptr,
                                  &panel),
            kNoErr);
  EXPECT_EQ(app_.Unload(loaded[0]), kErrRefused);
  EXPECT_EQ(panels()->DestroyPanel(panel), kNoErr);
  EXPECT_EQ(app_.Shutdown(loaded[0]), kNoErr);

  EXPECT_THAT(Texts(user_),
              ElementsAre("Startup", "Notify AI Application Started Notifier 2", "AI Go mine 3",
                          "AI Update mine 4", "Do Action TEST_EVENT 3 5", "SP Access Unload 6",
                          "SP Access Reload 7", "Do Action TEST_EVENT 3 8", "SP Interface About 9",
                          "Shutdown 10"));
  EXPECT_EQ(LiveBlockCount(), blocks);
  EXPECT_EQ(TotalHeld(), 0);
}

TEST(PluginLoaderTest, PiPLBlocksAreChecked) {
  // A valid block, then faults one at a time.
  auto block = [](const char* kind, uint8_t version, const char* name, size_t name_len) {
    std::vector<unsigned char> b = {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 3};
    auto put = [&](const char* vendor_key, const void* data, uint32_t len) {
      b.insert(b.end(), vendor_key, vendor_key + 8);
      b.insert(b.end(), {0, 0, 0, 0, 0, 0, 0, static_cast<unsigned char>(len)});
      const auto* p = static_cast<const unsigned char*>(data);
      b.insert(b.end(), p, p + len);
      while (b.size() % 4) b.push_back(0);
    };
    unsigned char ivrs[4] = {0, 0, 0, version};
    put("ADBEivrs", ivrs, 4);
    put("ADBEkind", kind, 4);
    put("ADBEpinm", name, static_cast<uint32_t>(name_len));
    return b;
  };
  struct Case {
    std::vector<unsigned char> bytes;
    const char* fault;  // null: accepted
  };
  std::vector<unsigned char> truncated = block("SPEA", 2, "Zolvane", 8);
  truncated.resize(truncated.size() - 8);
  std::vector<unsigned char> bad_header = block("SPEA", 2, "Zolvane", 8);
  bad_header[3] = 2;
  const Case cases[] = {
      {block("SPEA", 2, "Zolvane", 8), nullptr},
      {block("SPEX", 2, "Zolvane", 8), "kind"},
      {block("SPEA", 3, "Zolvane", 8), "interface version 3"},
      {block("SPEA", 2, "Zolvane", 7), "terminator"},
      {block("SPEA", 2, "", 1), "name"},
      {truncated, "past the block"},
      {bad_header, "header"},
      {{0, 0, 0, 1}, "size"},
  };
  for (const Case& c : cases) {
    PiPLInfo info;
    std::string message;
    bool ok = ParsePiPL(c.bytes.data(), c.bytes.size(), &info, &message);
    if (!c.fault) {
      EXPECT_TRUE(ok) << message;
      EXPECT_EQ(info.name, "Zolvane");
    } else {
      EXPECT_FALSE(ok) << c.fault;
      EXPECT_THAT(message, HasSubstr(c.fault));
    }
  }
  PluginModule module;
  std::string message;
  EXPECT_FALSE(module.Open(std::string(TEST_PLUGIN_DIR) + "/missing.aip", &message));
  EXPECT_THAT(message, HasSubstr("cannot be loaded"));
}

TEST_F(HostAppTest, MessagesCarryTheirRecordsAndTheGlobalsAreKept) {
  NotifierHandle started = nullptr;
  const auto* notifiers = Suite<NotifierSuite>(kNotifierSuiteName, kNotifierSuiteVersion);
  ASSERT_EQ(notifiers->AddNotifier(linked_, "n", kNotifyApplicationStarted, &started), kNoErr);
  MenuItemHandle item = nullptr;
  ASSERT_EQ(menus()->AddMenuItem(linked_, "item", kMenuGroupAbout, "Item", 0, &item), kNoErr);
  ActionParamsRef params = nullptr;
  ASSERT_EQ(actions()->RegisterEvent("EV", "Event", 1, 0, nullptr, linked_, nullptr, nullptr),
            kNoErr);
  ASSERT_EQ(actions()->NewParamBlock(&params), kNoErr);

  ASSERT_EQ(app_.Start(), kNoErr);
  ASSERT_EQ(app_.ChooseMenuItem(item), kNoErr);
  ASSERT_EQ(app_.UpdateMenus(), kNoErr);  // the item did not ask for updates
  ASSERT_EQ(actions()->PlayEvent("EV", kDialogStatusNone, params), kNoErr);

  ASSERT_EQ(g_seen.size(), 4u);
  EXPECT_EQ(g_seen[0].selector, kSelectorStartup);
  EXPECT_EQ(g_seen[0].globals, nullptr);
  EXPECT_EQ(g_seen[1].caller, kCallerNotifier);
  EXPECT_EQ(g_seen[1].type, kNotifyApplicationStarted);
  EXPECT_EQ(g_seen[2].extra, item);
  EXPECT_EQ(g_seen[3].selector, kSelectorDoAction);
  EXPECT_EQ(g_seen[3].extra, params);
  EXPECT_EQ(g_seen[3].dialog_status, kDialogStatusNone);
  for (size_t i = 1; i < g_seen.size(); ++i) EXPECT_EQ(g_seen[i].globals, &g_globals_block);

  EXPECT_EQ(actions()->PlayEvent("NO_SUCH_EVENT", kDialogStatusNone, nullptr), kErrNotFound);
  EXPECT_EQ(actions()->RegisterEvent("EV", "Again", 1, 0, nullptr, linked_, nullptr, nullptr),
            kErrRefused);
  EXPECT_EQ(actions()->ReleaseParamBlock(params), kNoErr);
  EXPECT_EQ(actions()->PlayEvent("EV", kDialogStatusNone, params), kErrBadHandle);
}

TEST_F(HostAppTest, MenuGroupsAreSharedAndItemsChecked) {
  const MenuSuite* m = menus();
  MenuItemHandle about = nullptr;
  ASSERT_EQ(m->AddMenuItem(linked_, "MAKER_ABOUT", kMenuGroupAbout, "About Maker", 0, &about),
            kNoErr);
  ASSERT_EQ(m->AddMenuGroupAsSubMenu("MAKER_ABOUT", 1, about, nullptr), kNoErr);
  // A second plug-in of the same maker finds the group by walking the list.
  int32_t count = 0;
  ASSERT_EQ(m->CountMenuGroups(&count), kNoErr);
  std::vector<std::string> names;
  for (int32_t i = 0; i < count; ++i) {
    MenuGroupHandle group = nullptr;
    ASSERT_EQ(m->GetNthMenuGroup(i, &group), kNoErr);
    char name[64];
    ASSERT_EQ(m->GetMenuGroupName(group, name, sizeof name), kNoErr);
    names.push_back(name);
  }
  EXPECT_THAT(names, ElementsAre(kMenuGroupToolPalettes, kMenuGroupAbout, "MAKER_ABOUT"));
  EXPECT_EQ(m->AddMenuGroupAsSubMenu("MAKER_ABOUT", 1, about, nullptr), kErrRefused);
  MenuItemHandle mine = nullptr;
  EXPECT_EQ(m->AddMenuItem(linked_, "Zolvane", "MAKER_ABOUT", "Zolvane...", 0, &mine), kNoErr);

  EXPECT_EQ(m->AddMenuItem(linked_, "x", "No Such Group", "X", 0, &mine), kErrNotFound);
  EXPECT_EQ(mine, nullptr);
  MenuGroupHandle group = nullptr;
  EXPECT_EQ(m->GetNthMenuGroup(count, &group), kErrBadParameter);

  MenuItemHandle palette = nullptr;
  ASSERT_EQ(m->AddMenuItem(linked_, "PALETTE", kMenuGroupToolPalettes, "Zolvane",
                           kMenuItemWantsUpdate, &palette),
            kNoErr);
  EXPECT_FALSE(app_.IsMenuItemChecked(palette));
  EXPECT_EQ(m->CheckMenuItem(palette, true), kNoErr);
  EXPECT_TRUE(app_.IsMenuItemChecked(palette));
  ASSERT_EQ(app_.UpdateMenus(), kNoErr);
  EXPECT_THAT(SeenSelectors(kCallerMenu), ElementsAre(kSelectorMenuUpdate));
}

TEST_F(HostAppTest, PanelHasANativeWindowAndAFlyoutMenu) {
  static std::vector<int32_t> chosen;
  chosen.clear();
  const auto* flyouts = Suite<FlyoutMenuSuite>(kFlyoutMenuSuiteName, kFlyoutMenuSuiteVersion);
  FlyoutMenuRef flyout = nullptr;
  ASSERT_EQ(flyouts->CreateFlyoutMenu(&flyout), kNoErr);
  ASSERT_EQ(flyouts->AppendFlyoutItem(flyout, 1, "Initial Settings..."), kNoErr);
  PanelRef panel = nullptr;
  ASSERT_EQ(
      panels()->CreatePanel(linked_, "PANEL", "Zolvane", 1, 240, 320, 0, flyout, nullptr, &panel),
      kNoErr);
  WindowHandle window = nullptr;
  ASSERT_EQ(panels()->GetPanelWindow(panel, &window), kNoErr);
  ASSERT_TRUE(platform::IsWindow(window));
  EXPECT_EQ(platform::GetClientRect(window).Width(), 240);
  EXPECT_EQ(platform::GetClientRect(window).Height(), 320);

  bool shown = true;
  ASSERT_EQ(panels()->IsPanelShown(panel, &shown), kNoErr);
  EXPECT_FALSE(shown);
  ASSERT_EQ(panels()->ShowPanel(panel, true), kNoErr);
  ASSERT_EQ(panels()->IsPanelShown(panel, &shown), kNoErr);
  EXPECT_TRUE(shown);

  EXPECT_EQ(app_.ChooseFlyoutItem(panel, 1), kErrNotFound);  // no handler yet
  ASSERT_EQ(
      panels()->SetFlyoutMenuHandler(panel, [](PanelRef, int32_t id) { chosen.push_back(id); }),
      kNoErr);
  EXPECT_EQ(app_.ChooseFlyoutItem(panel, 1), kNoErr);
  EXPECT_EQ(app_.ChooseFlyoutItem(panel, 2), kErrNotFound);
  EXPECT_THAT(chosen, ElementsAre(1));

  PanelRef again = nullptr;
  EXPECT_EQ(
      panels()->CreatePanel(linked_, "PANEL", "Again", 1, 10, 10, 0, nullptr, nullptr, &again),
      kErrRefused);
  EXPECT_EQ(app_.registries().FindPanel("PANEL"), panel);

  // The plug-in may destroy the window before it destroys the panel.
  platform::DestroyWindow(window);
  EXPECT_EQ(panels()->DestroyPanel(panel), kNoErr);
  EXPECT_EQ(panels()->ShowPanel(panel, true), kErrBadHandle);
  EXPECT_EQ(app_.ChooseFlyoutItem(panel, 1), kErrBadHandle);
}

TEST_F(HostAppTest, AlertsGoToTheUserAndTheThemeIsAnnounced) {
  const auto* users = Suite<UserSuite>(kUserSuiteName, kUserSuiteVersion);
  const auto* theme = Suite<ThemeSuite>(kThemeSuiteName, kThemeSuiteVersion);
  const auto* context = Suite<ContextSuite>(kContextSuiteName, kContextSuiteVersion);
  user_.QueueAnswer(true);
  int32_t answer = -1;
  EXPECT_EQ(users->MessageAlert("hello"), kNoErr);
  EXPECT_EQ(users->ErrorAlert("Error=1"), kNoErr);
  EXPECT_EQ(users->YesNoAlert("Sure?", &answer), kNoErr);
  EXPECT_EQ(answer, kAnswerYes);
  EXPECT_EQ(users->YesNoAlert("Again?", &answer), kNoErr);
  EXPECT_EQ(answer, kAnswerNo);
  EXPECT_EQ(users->MessageAlert(nullptr), kErrBadParameter);
  ASSERT_EQ(user_.entries().size(), 4u);
  EXPECT_EQ(user_.entries()[1].kind, ScriptedUser::Kind::kError);
  EXPECT_THAT(Texts(user_), ElementsAre("hello", "Error=1", "Sure?", "Again?"));
  double scale = 0;
  EXPECT_EQ(users->GetUIScaleFactor(&scale), kNoErr);
  EXPECT_EQ(scale, 1.0);

  const auto* notifiers = Suite<NotifierSuite>(kNotifierSuiteName, kNotifierSuiteVersion);
  ASSERT_EQ(notifiers->AddNotifier(linked_, "b", kNotifyBrightnessChanged, nullptr), kNoErr);
  HostThemeColor light{}, dark{};
  bool is_dark = true;
  ASSERT_EQ(theme->IsThemeDark(&is_dark), kNoErr);
  EXPECT_FALSE(is_dark);
  ASSERT_EQ(theme->GetThemeColor(kThemeElementPanelBackground, kThemeStateNormal, &light), kNoErr);
  app_.SetDarkTheme(true);
  app_.SetDarkTheme(true);  // no change, no notification
  ASSERT_EQ(theme->IsThemeDark(&is_dark), kNoErr);
  EXPECT_TRUE(is_dark);
  ASSERT_EQ(theme->GetThemeColor(kThemeElementPanelBackground, kThemeStateNormal, &dark), kNoErr);
  EXPECT_LT(dark.red, light.red);
  EXPECT_EQ(theme->GetThemeColor(7, 0, &dark), kErrBadParameter);
  EXPECT_THAT(SeenSelectors(kCallerNotifier), ElementsAre(kSelectorNotify));

  WindowHandle main = nullptr;
  ASSERT_EQ(context->GetMainWindow(&main), kNoErr);
  EXPECT_TRUE(platform::IsWindow(main));
}

TEST_F(HostAppTest, ThePrintingUserWritesATranscript) {
  char buffer[256] = {};
  std::FILE* out = fmemopen(buffer, sizeof buffer, "w");
  ASSERT_NE(out, nullptr);
  PrintingUser printer(out, true);
  app_.SetUser(&printer);
  const auto* users = Suite<UserSuite>(kUserSuiteName, kUserSuiteVersion);
  int32_t answer = -1;
  EXPECT_EQ(users->MessageAlert("Done"), kNoErr);
  EXPECT_EQ(users->ErrorAlert("Error=1"), kNoErr);
  EXPECT_EQ(users->YesNoAlert("Nest?", &answer), kNoErr);
  EXPECT_EQ(answer, kAnswerYes);
  app_.SetUser(nullptr);
  std::fclose(out);
  EXPECT_STREQ(buffer, "[message] Done\n[error] Error=1\n[question] Nest? -> yes\n");
}

// --- the host's effects played as events --------------------------------------------

TEST_F(HostAppTest, EffectEventsRunOnTheSelectionAndAnnounceItOnce) {
  const auto* notifiers = Suite<NotifierSuite>(kNotifierSuiteName, kNotifierSuiteVersion);
  ASSERT_EQ(notifiers->AddNotifier(linked_, "s", kNotifyArtSelectionChanged, nullptr), kNoErr);
  Document* doc = app_.NewDocument("effects");
  Art* a =
      AddRectangle(*doc, kPlaceAboveAll, nullptr, RealRect{0, 10, 10, 0}, FillStyleOf(Gray(0)));
  Art* b =
      AddRectangle(*doc, kPlaceAboveAll, nullptr, RealRect{5, 15, 15, 5}, FillStyleOf(Gray(0)));
  app_.Command([&] {
    SelectDeep(*doc, a, true);
    SelectDeep(*doc, b, true);
    return kNoErr;
  });
  EXPECT_EQ(SelectionNotices(), 1);

  const ActionManagerSuite* am = actions();
  ActionParamsRef block = nullptr;
  ASSERT_EQ(am->NewParamBlock(&block), kNoErr);
  // No parameters, or a name that is not the add operation: refused, nothing changed.
  EXPECT_EQ(am->PlayEvent(kPathfinderEvent, kDialogStatusNone, nullptr), kErrBadParameter);
  ASSERT_EQ(am->PutEnumerated(block, kPathfinderKeyOperation, "subtract", 0), kNoErr);
  EXPECT_EQ(am->PlayEvent(kPathfinderEvent, kDialogStatusNone, block), kErrBadParameter);
  EXPECT_EQ(TopLevelArt(*doc->NthLayer(0)).size(), 2u);
  EXPECT_EQ(SelectionNotices(), 1);

  ASSERT_EQ(
      am->PutEnumerated(block, kPathfinderKeyOperation, kPathfinderAddName, kPathfinderAddValue),
      kNoErr);
  ASSERT_EQ(am->PlayEvent(kPathfinderEvent, kDialogStatusNone, block), kNoErr);
  std::vector<Art*> top = TopLevelArt(*doc->NthLayer(0));
  ASSERT_EQ(top.size(), 1u);
  Region area;
  ASSERT_EQ(FilledRegion(*top[0], &area), kNoErr);
  EXPECT_NEAR(RegionArea(area), 175, 0.175);
  EXPECT_EQ(SelectionNotices(), 2);

  ActionParamsRef offset = nullptr;
  ASSERT_EQ(am->NewParamBlock(&offset), kNoErr);
  ASSERT_EQ(am->PutReal(offset, kOffsetKeyMiterLimit, 4), kNoErr);
  ASSERT_EQ(am->PutEnumerated(offset, kOffsetKeyJoinType, kOffsetJoinTypeName, kJoinMiter), kNoErr);
  EXPECT_EQ(am->PlayEvent(kOffsetEvent, kDialogStatusNone, offset), kErrBadParameter);  // no 'ofst'
  ASSERT_EQ(am->PutUnitReal(offset, kOffsetKeyOffset, kUnitPoints, 2), kNoErr);
  ASSERT_EQ(am->PlayEvent(kOffsetEvent, kDialogStatusNone, offset), kNoErr);
  top = TopLevelArt(*doc->NthLayer(0));
  ASSERT_EQ(top.size(), 1u);
  RealRect r = Bounds(*top[0]);
  EXPECT_NEAR(r.left, -2, 1e-3);
  EXPECT_NEAR(r.top, 17, 1e-3);
  EXPECT_EQ(SelectionNotices(), 3);

  // Nothing selected: an error, and no notification.
  app_.Command([&] {
    doc->DeselectAll();
    return kNoErr;
  });
  EXPECT_EQ(SelectionNotices(), 4);
  EXPECT_EQ(am->PlayEvent(kOffsetEvent, kDialogStatusNone, offset), kErrRefused);
  EXPECT_EQ(SelectionNotices(), 4);
  am->ReleaseParamBlock(block);
  am->ReleaseParamBlock(offset);
}

TEST_F(HostAppTest, OutlineConversionThroughTheArtConverterSuite) {
  Document* doc = app_.NewDocument("outline");
  Art* line = AddPath(*doc, kPlaceAboveAll, nullptr, {Corner({0, 0}), Corner({100, 0})}, false,
                      StrokeStyleOf(Gray(0), 4));
  const auto* converter =
      Suite<ArtConverterSuite>(kArtConverterSuiteName, kArtConverterSuiteVersion);
  ArtHandle handle = doc->HandleOf(line);
  ASSERT_EQ(converter->ConvertToOutline(handle, kConvertOptionsOutline), kNoErr);
  Art* result = doc->NthLayer(0)->group->first_child;
  ASSERT_NE(result, nullptr);
  EXPECT_TRUE(result->closed);
  EXPECT_TRUE(result->style.fill_paint);
  // The handle of the replaced path is stale now.
  EXPECT_EQ(converter->ConvertToOutline(handle, kConvertOptionsOutline), kErrBadHandle);
}

TEST_F(HostAppTest, BadHandlesAreAnsweredWithErrorCodes) {
  const MenuSuite* m = menus();
  const PanelSuite* p = panels();
  const ActionManagerSuite* am = actions();
  auto stale_plugin = reinterpret_cast<PluginRef>(uintptr_t{0x8100000000000999});
  auto foreign = reinterpret_cast<PanelRef>(uintptr_t{0x1234});
  MenuItemHandle item = nullptr;
  bool shown = false;
  WindowHandle window = nullptr;
  char name[8];
  EXPECT_EQ(m->AddMenuItem(stale_plugin, "a", kMenuGroupAbout, "A", 0, &item), kErrBadHandle);
  EXPECT_EQ(m->AddMenuItem(linked_, nullptr, kMenuGroupAbout, "A", 0, &item), kErrBadParameter);
  EXPECT_EQ(m->CheckMenuItem(reinterpret_cast<MenuItemHandle>(foreign), true), kErrBadHandle);
  EXPECT_EQ(m->GetMenuGroupName(nullptr, name, sizeof name), kErrBadParameter);
  EXPECT_EQ(p->IsPanelShown(foreign, &shown), kErrBadHandle);
  EXPECT_EQ(p->GetPanelWindow(nullptr, &window), kErrBadParameter);
  EXPECT_EQ(p->CreatePanel(linked_, "P", "P", 1, 10, 10, 0,
                           reinterpret_cast<FlyoutMenuRef>(foreign), nullptr, nullptr),
            kErrBadParameter);
  EXPECT_EQ(am->PutReal(reinterpret_cast<ActionParamsRef>(foreign), 1, 2), kErrBadHandle);
  EXPECT_EQ(am->PutReal(nullptr, 1, 2), kErrBadParameter);
  EXPECT_EQ(am->RegisterEvent("E", "E", 1, 0, nullptr, stale_plugin, nullptr, nullptr),
            kErrBadHandle);
  EXPECT_EQ(app_.ChooseMenuItem(nullptr), kErrBadParameter);
  EXPECT_EQ(app_.Startup(stale_plugin), kErrBadHandle);
  EXPECT_EQ(app_.CloseDocument(nullptr), kErrBadHandle);
  EXPECT_TRUE(g_seen.empty());
}

}  // namespace
}  // namespace host
