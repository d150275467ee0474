// Dialog templates, modal loops, dialog keys, message boxes and rendering.
#include "platform/dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/message_box.h"
#include "platform/render.h"
#include "platform/window_input.h"

namespace platform {
namespace {

// A small settings-like dialog: two edits around a caption, a disabled
// edit, a combo box, OK (default) and Cancel.
DialogTemplate SampleTemplate() {
  DialogTemplate t;
  t.resource_id = 100;
  t.title = "Sample";
  t.style = kStylePopup | kStyleCaption | kStyleSysMenu | kStyleModalFrame;
  t.width = 200;
  t.height = 100;
  t.items = {
      {38, kClassEdit, kEditAutoHScroll | kStyleTabStop, "860", 10, 10, 50, 12},
      {37, kClassStatic, kStaticRight, "Width :", 70, 12, 36, 8},
      {41, kClassEdit, kEditAutoHScroll | kStyleTabStop | kStyleDisabled, "", 10, 30, 50, 12},
      {61, kClassComboBox, kComboDropDownList | kStyleTabStop, "", 10, 50, 60, 30},
      {kIdOk, kClassButton, kButtonDefPush | kStyleTabStop, "OK", 140, 80, 50, 14},
      {kIdCancel, kClassButton, kButtonPush | kStyleTabStop, "Cancel", 85, 80, 50, 14},
  };
  return t;
}

// The dialog procedure records what it was told and ends on OK, Cancel and
// the private command 2027.
struct Log {
  std::vector<int> commands;
  bool initialised = false;
};
Log* g_log = nullptr;

intptr_t SampleProc(WindowHandle dialog, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  switch (message) {
    case kMsgInitDialog:
      g_log->initialised = true;
      if (lparam == 1) {
        // Private commands posted to itself, handled in order by the loop.
        PostMessage(dialog, kMsgCommand, 2025, 0);
        PostMessage(dialog, kMsgCommand, 2026, 0);
        PostMessage(dialog, kMsgCommand, 2027, 0);
      }
      return 1;
    case kMsgCommand: {
      int id = CommandId(wparam);
      if (CommandCode(wparam) != kButtonClicked) return 0;  // focus notifications
      g_log->commands.push_back(id);
      if (id == kIdOk || id == kIdCancel) EndDialog(dialog, id);
      if (id == 2027) EndDialog(dialog, 2027);
      return 1;
    }
    default:
      return 0;
  }
}

// A scripted person: each idle round takes the next step.
struct Script {
  int step = 0;
  // 0 click OK, 1 Escape, 2 tab around then Enter, 3 Enter in the first edit
  int mode = 0;
  std::vector<int> focus_ids;
};

bool Person(WindowHandle dialog, void* context) {
  auto* script = static_cast<Script*>(context);
  switch (script->mode) {
    case 0:
      if (script->step++ > 0) return false;
      return Click(GetDialogItem(dialog, kIdOk));
    case 1:
      if (script->step++ > 0) return false;
      return PressKey(kKeyEscape);
    case 2:
      script->focus_ids.push_back(GetWindowId(GetFocus()));
      switch (script->step++) {
        case 0:
        case 1:
        case 2:
        case 3:
          return PressKey(kKeyTab);
        case 4:
          return PressKey(kKeyTab, true);
        case 5:
          return PressKey(kKeyReturn);
        default:
          return false;
      }
    default:
      if (script->step++ > 0) return false;
      return PressKey(kKeyReturn);
  }
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { g_log = &log_; }
  void TearDown() override {
    SetModalIdleResponder(nullptr, nullptr);
    SetMessageBoxResponder(nullptr, nullptr);
    ClearMessageBoxRecords();
    ClearMessageQueue();
    g_log = nullptr;
  }
  Log log_;
};

TEST_F(DialogTest, DialogUnitsFollowTheFixedSegoeUiConversion) {
  EXPECT_EQ(DialogUnitsToPixels(0, 0, 250, 80), (PixelRect{0, 0, 438, 150}));
  EXPECT_EQ(DialogUnitsToPixels(191, 61, 50, 14), (PixelRect{334, 114, 422, 140}));
  SetScreenDpi(144);
  EXPECT_EQ(DialogBaseUnits().x, 11);
  EXPECT_EQ(DialogBaseUnits().y, 23);
  SetScreenDpi(96);
}

TEST_F(DialogTest, ModalLoopEndsWithTheCodeOfHowThePersonAnswered) {
  struct Case {
    int mode;
    intptr_t expected;
  };
  for (Case c : {Case{0, kIdOk}, Case{1, kIdCancel}}) {
    Script script;
    script.mode = c.mode;
    SetModalIdleResponder(Person, &script);
    log_ = {};
    EXPECT_EQ(DialogBox(SampleTemplate(), nullptr, SampleProc, 0), c.expected) << c.mode;
    EXPECT_TRUE(log_.initialised);
    EXPECT_EQ(log_.commands.back(), c.expected);
  }
  // With nobody to answer, the dialog is cancelled instead of hanging.
  SetModalIdleResponder(nullptr, nullptr);
  EXPECT_EQ(DialogBox(SampleTemplate(), nullptr, SampleProc, 0), kIdCancel);
}

TEST_F(DialogTest, PrivateCommandsPostedToTheDialogArriveInOrder) {
  EXPECT_EQ(DialogBox(SampleTemplate(), nullptr, SampleProc, 1), 2027);
  EXPECT_EQ(log_.commands, (std::vector<int>{2025, 2026, 2027}));
  EXPECT_TRUE(TopLevelWindows().empty());  // the dialog is gone afterwards
}

TEST_F(DialogTest, TabWalksReachableTabStopsInCreationOrderAndEnterPressesAButton) {
  Script script;
  script.mode = 2;
  SetModalIdleResponder(Person, &script);
  // Enter on the focused Cancel presses Cancel.
  EXPECT_EQ(DialogBox(SampleTemplate(), nullptr, SampleProc, 0), kIdCancel);
  // First tab stop 38; the disabled edit 41 and the caption are skipped;
  // the walk wraps; Shift+Tab goes back.
  EXPECT_EQ(script.focus_ids, (std::vector<int>{38, 61, kIdOk, kIdCancel, 38, kIdCancel}));

  // Enter in an edit field presses the default button.
  Script enter;
  enter.mode = 3;
  SetModalIdleResponder(Person, &enter);
  EXPECT_EQ(DialogBox(SampleTemplate(), nullptr, SampleProc, 0), kIdOk);
}

TEST_F(DialogTest, ModalDialogDisablesItsOwnerWhileItRuns) {
  RegisterWindowClass("TestOwner", DefaultWindowProc);
  WindowHandle owner = CreateWindow({"TestOwner", "", kStyleVisible, 0, 0, 800, 600});
  struct Probe {
    WindowHandle owner;
    bool owner_enabled = true;
  } probe{owner};
  SetModalIdleResponder(
      [](WindowHandle dialog, void* context) {
        auto* p = static_cast<Probe*>(context);
        p->owner_enabled = IsWindowEnabled(p->owner);
        EXPECT_EQ(GetOwner(dialog), p->owner);
        return false;
      },
      &probe);
  DialogBox(SampleTemplate(), owner, SampleProc, 0);
  EXPECT_FALSE(probe.owner_enabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);
}

TEST_F(DialogTest, MessageBoxesGoToTheResponderAndAreRecorded) {
  struct Case {
    uint32_t flags;
    int wanted;
    int expected;
  };
  const Case cases[] = {
      {kMbOkCancel | kMbIconQuestion, kIdCancel, kIdCancel},
      {kMbOkCancel | kMbIconQuestion, kIdOk, kIdOk},
      {kMbOk | kMbIconInformation, kIdCancel, kIdOk},  // no Cancel button to press
  };
  for (const Case& c : cases) {
    int wanted = c.wanted;
    SetMessageBoxResponder([](const MessageBoxRecord&, void* w) { return *static_cast<int*>(w); },
                           &wanted);
    EXPECT_EQ(MessageBox(nullptr, "Delete \"a\"?", nullptr, c.flags), c.expected);
  }
  Beep();
  std::vector<MessageBoxRecord> shown = ShownMessageBoxes();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, "Delete \"a\"?");
  EXPECT_EQ(shown[0].caption, kDefaultMessageBoxCaption);
  EXPECT_EQ(shown[0].flags & kMbIconMask, kMbIconQuestion);
  EXPECT_EQ(shown[2].answer, kIdOk);
  EXPECT_EQ(BeepCount(), 1);
  SetMessageBoxResponder(nullptr, nullptr);
  EXPECT_EQ(MessageBox(nullptr, "x", "Caption", kMbOkCancel), kIdOk);
}

// Owner drawing goes to the parent with the item's state; the rendered image
// shows what the owner drew.
intptr_t OwnerDrawProc(WindowHandle, uint32_t message, uintptr_t, intptr_t lparam) {
  if (message != kMsgDrawItem) return 0;
  const auto* item = reinterpret_cast<const DrawItemInfo*>(lparam);
  BrushHandle brush = CreateSolidBrush((item->item_state & kItemSelected) ? 0x0000FF : 0x00FF00);
  FillRect(item->dc, item->rect, brush);
  DeleteBrush(brush);
  return 1;
}

TEST_F(DialogTest, RenderedTreeShowsOwnerDrawnPartsAndFrames) {
  DialogTemplate t;
  t.title = "Owner";
  t.width = 100;
  t.height = 40;
  t.items = {{7, kClassButton, kButtonOwnerDraw, "Set", 10, 10, 40, 14},
             {-1, kClassStatic, kStaticBlackFrame, " ", 60, 10, 30, 1}};
  WindowHandle dialog = CreateDialog(t, nullptr, OwnerDrawProc, 0);
  ASSERT_NE(dialog, nullptr);
  WindowHandle button = GetDialogItem(dialog, 7);
  PixelRect b = MapWindowRect(button, nullptr, GetClientRect(button));
  PixelRect d = GetWindowRect(dialog);
  int x = b.left - d.left + 3;
  int y = b.top - d.top + 3;

  int brushes = LiveBrushCount();
  Image image = RenderWindow(dialog);
  ASSERT_EQ(image.width, d.Width());
  EXPECT_EQ(PixelColor(image, x, y), 0x00FF00u);
  PostMessage(button, kMsgLButtonDown);  // held down: drawn as selected
  PumpAllMessages();
  EXPECT_EQ(PixelColor(RenderWindow(dialog), x, y), 0x0000FFu);
  EXPECT_EQ(LiveBrushCount(), brushes);  // drawing leaks nothing

  Image cut = RenderWindow(button);
  EXPECT_EQ(cut.width, b.Width());
  EXPECT_EQ(PixelColor(cut, 1, 1), 0x0000FFu);
  std::string path = ::testing::TempDir() + "owner_draw.png";
  EXPECT_TRUE(RenderWindowToPng(dialog, path));
  EXPECT_FALSE(RenderWindowToPng(dialog, "/nonexistent-folder/x.png"));
  DestroyWindow(dialog);
  EXPECT_TRUE(RenderWindow(dialog).pixels.empty());
}

// A themed parent: colour requests answered with its own brushes, and an
// owner-drawn list whose items it records.
struct Theme {
  BrushHandle panel = nullptr;
  BrushHandle edit = nullptr;
  std::vector<std::string> drawn;  // "item:text:state-bits"
};
Theme* g_theme = nullptr;

intptr_t ThemedProc(WindowHandle, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  DcHandle dc = reinterpret_cast<DcHandle>(wparam);
  switch (message) {
    case kMsgCtlColorStatic:
    case kMsgCtlColorButton:
      SetBackgroundMode(dc, BackgroundMode::kTransparent);
      SetTextColor(dc, 0xCCCCCC);
      return reinterpret_cast<intptr_t>(g_theme->panel);
    case kMsgCtlColorEdit:
      SetTextColor(dc, 0x000000);
      return reinterpret_cast<intptr_t>(g_theme->edit);
    case kMsgDrawItem: {
      const auto* item = reinterpret_cast<const DrawItemInfo*>(lparam);
      g_theme->drawn.push_back(
          std::to_string(item->item_id) + ":" + std::string(item->item_text) + ":" +
          std::to_string(item->item_state & (kItemSelected | kItemComboBoxEdit)));
      FillRect(item->dc, item->rect, GetStockBrush(StockBrush::kWhite));
      return 1;
    }
    default:
      return 0;
  }
}

TEST_F(DialogTest, ColourRequestsAndOwnerDrawnListsReachTheParent) {
  Theme theme{CreateSolidBrush(0x535353), CreateSolidBrush(0xCCCCCC), {}};
  g_theme = &theme;
  DialogTemplate t;
  t.width = 200;
  t.height = 120;
  t.items = {
      {11, kClassStatic, kStaticRight, "Quantity:", 5, 5, 60, 10},
      {12, kClassEdit, kEditAutoHScroll | kStyleTabStop, "3", 70, 5, 40, 12},
      {202, kClassComboBox,
       kComboDropDownList | kComboOwnerDrawFixed | kComboHasStrings | kStyleVScroll | kStyleTabStop,
       "", 5, 30, 120, 60},
  };
  WindowHandle dialog = CreateDialog(t, nullptr, ThemedProc, 0);
  ASSERT_NE(dialog, nullptr);
  WindowHandle combo = GetDialogItem(dialog, 202);
  for (const char* item : {"A", "b", "", "Save"}) ComboAddString(combo, item);
  ComboSetSelection(combo, 1);
  ComboShowDropDown(combo, true);

  Image image = RenderWindow(dialog);
  PixelRect d = GetWindowRect(dialog);
  auto at = [&](int id) {
    PixelRect r = GetWindowRect(GetDialogItem(dialog, id));
    return PixelColor(image, r.left - d.left + 2, r.bottom - d.top - 2);
  };
  EXPECT_EQ(at(11), 0x535353u);  // the caption's background is the parent's brush
  EXPECT_EQ(at(12), 0xCCCCCCu);  // and so is the edit field's
  // The selection field first, then every item of the open list.
  EXPECT_EQ(theme.drawn,
            (std::vector<std::string>{"1:b:4096", "0:A:0", "1:b:1", "2::0", "3:Save:0"}));
  DestroyWindow(dialog);
  DeleteBrush(theme.panel);
  DeleteBrush(theme.edit);
  g_theme = nullptr;
}

}  // namespace
}  // namespace platform
