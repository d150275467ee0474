// Windows, procedures, messages, input and focus of the window system.
#include "platform/window.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/gdi.h"
#include "platform/window_input.h"

namespace platform {
namespace {

// What a parent window was told by its children.
struct Recorder {
  std::vector<std::pair<int, uint16_t>> commands;  // id, notification
};
Recorder* g_recorder = nullptr;

intptr_t RecordingParentProc(WindowHandle window, uint32_t message, uintptr_t wparam,
                             intptr_t lparam) {
  if (message == kMsgCommand && g_recorder != nullptr) {
    g_recorder->commands.push_back({CommandId(wparam), CommandCode(wparam)});
    return 0;
  }
  return DefaultWindowProc(window, message, wparam, lparam);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowClass("TestHost", RecordingParentProc);
    g_recorder = &recorder_;
    host_ = CreateWindow({"TestHost", "Host", kStyleVisible | kStyleCaption, 100, 100, 400, 300});
    ASSERT_NE(host_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(host_);
    ClearMessageQueue();
    g_recorder = nullptr;
  }
  WindowHandle Child(const char* class_name, uint32_t style, int id, const char* text = "") {
    return CreateWindow({class_name, text, style | kStyleChild | kStyleVisible, 10, 10 + 30 * id,
                         100, 20, host_, id});
  }

  Recorder recorder_;
  WindowHandle host_ = nullptr;
};

// Subclassing: every replacement sees the message first and chains to the
// procedure it replaced, down to the class's own behaviour.
std::vector<std::string> g_seen;
WindowProc g_first_old = nullptr;
WindowProc g_second_old = nullptr;

intptr_t FirstSubclass(WindowHandle w, uint32_t m, uintptr_t wp, intptr_t lp) {
  if (m == kMsgLButtonUp) g_seen.push_back("first");
  return CallWindowProc(g_first_old, w, m, wp, lp);
}
intptr_t SecondSubclass(WindowHandle w, uint32_t m, uintptr_t wp, intptr_t lp) {
  if (m == kMsgLButtonUp) g_seen.push_back("second");
  if (m == kMsgKeyDown && wp == kKeyTab) return 7;  // swallowed here
  return CallWindowProc(g_second_old, w, m, wp, lp);
}

TEST_F(WindowTest, ReplacedProceduresChainToTheClassBehaviour) {
  WindowHandle box = Child(kClassButton, kButtonAutoCheckBox | kStyleTabStop, 10);
  g_seen.clear();
  g_first_old = SetWindowProc(box, FirstSubclass);
  g_second_old = SetWindowProc(box, SecondSubclass);
  EXPECT_EQ(g_second_old, FirstSubclass);
  EXPECT_EQ(GetWindowProc(box), SecondSubclass);

  ASSERT_TRUE(Click(box));
  PumpAllMessages();
  EXPECT_EQ(g_seen, (std::vector<std::string>{"second", "first"}));
  EXPECT_EQ(GetCheck(box), kChecked);  // the class still toggled it
  EXPECT_EQ(recorder_.commands, (std::vector<std::pair<int, uint16_t>>{{10, kButtonClicked}}));
  EXPECT_EQ(SendMessage(box, kMsgKeyDown, kKeyTab), 7);

  // Restoring the saved procedure takes the replacements out again.
  SetWindowProc(box, g_first_old);
  g_seen.clear();
  Click(box);
  PumpAllMessages();
  EXPECT_TRUE(g_seen.empty());
  EXPECT_EQ(GetCheck(box), kUnchecked);
}

TEST_F(WindowTest, ChildrenKeepCreationOrderAndClassNamesIgnoreCase) {
  WindowHandle a = Child("button", kButtonPush, 1);
  WindowHandle b = Child("EDIT", 0, 2);
  WindowHandle c = Child("Static", kStaticLeft, 3);
  EXPECT_EQ(GetChildren(host_), (std::vector<WindowHandle>{a, b, c}));
  EXPECT_TRUE(IsClass(a, kClassButton));
  EXPECT_TRUE(IsClass(b, "Edit"));
  EXPECT_EQ(GetDialogItem(host_, 2), b);
  EXPECT_EQ(GetParent(c), host_);
  EXPECT_EQ(CreateWindow({"NoSuchClass", "", kStyleChild, 0, 0, 1, 1, host_, 9}), nullptr);
  EXPECT_EQ(CreateWindow({kClassButton, "", kStyleChild, 0, 0, 1, 1, nullptr, 9}), nullptr);
}

TEST_F(WindowTest, PersonInputReachesOnlyReachableControls) {
  WindowHandle edit = Child(kClassEdit, kEditAutoHScroll | kStyleTabStop, 1);
  WindowHandle r1 = Child(kClassButton, kButtonAutoRadio, 2);
  WindowHandle r2 = Child(kClassButton, kButtonAutoRadio, 3);
  WindowHandle push = Child(kClassButton, kButtonPush, 4, "Go");
  SetWindowText(edit, "5");

  ASSERT_TRUE(TypeText(edit, "12,5 \xE3\x83\x9F"));  // replaces the text, one code point each
  PumpAllMessages();
  EXPECT_EQ(GetWindowText(edit), "12,5 \xE3\x83\x9F");
  EXPECT_EQ(GetFocus(), edit);
  PressKey(kKeyBack);
  PumpAllMessages();
  EXPECT_EQ(GetWindowText(edit), "12,5 ");

  Click(r1);
  Click(r2);
  PumpAllMessages();
  EXPECT_EQ(GetCheck(r1), kUnchecked);
  EXPECT_EQ(GetCheck(r2), kChecked);

  recorder_.commands.clear();
  EnableWindow(push, false);
  EXPECT_FALSE(Click(push));
  EnableWindow(push, true);
  ShowWindow(host_, false);
  EXPECT_FALSE(Click(push));  // a hidden ancestor hides it too
  ShowWindow(host_, true);
  EXPECT_TRUE(Click(push));
  PumpAllMessages();
  EXPECT_EQ(recorder_.commands.back(), (std::pair<int, uint16_t>{4, kButtonClicked}));
}

TEST_F(WindowTest, ComboBoxItemsSelectionAndAPersonsPick) {
  WindowHandle combo = Child(kClassComboBox, kComboDropDownList | kStyleTabStop, 26);
  for (const char* item : {"180\xC2\xB0 (2)", "90\xC2\xB0 (4)", "45\xC2\xB0 (8)"}) {
    ComboAddString(combo, item);
  }
  EXPECT_EQ(ComboInsertString(combo, 0, "first"), 0);
  EXPECT_EQ(ComboInsertString(combo, 9, "far"), -1);
  EXPECT_EQ(ComboCount(combo), 4);
  EXPECT_TRUE(ComboSetSelection(combo, 2));
  EXPECT_FALSE(ComboSetSelection(combo, 4));
  EXPECT_EQ(ComboDeleteString(combo, 0), 3);
  EXPECT_EQ(ComboGetSelection(combo), 1);  // follows its item
  EXPECT_TRUE(ComboSetItemHeight(combo, -1, 16));
  EXPECT_EQ(ComboGetItemHeight(combo, -1), 16);

  recorder_.commands.clear();
  ASSERT_TRUE(ChooseComboItem(combo, 2));
  PumpAllMessages();
  EXPECT_EQ(ComboGetSelection(combo), 2);
  std::vector<uint16_t> codes;
  for (const auto& [id, code] : recorder_.commands) codes.push_back(code);
  EXPECT_EQ(codes, (std::vector<uint16_t>{kComboSetFocus, kComboOpened, kComboSelChange,
                                          kComboClosed, kComboSelEndOk}));
  // Taking the focus away tells the parent with code 4.
  recorder_.commands.clear();
  SetFocus(host_);
  EXPECT_EQ(recorder_.commands.back(), (std::pair<int, uint16_t>{26, kComboKillFocus}));
}

// Posted messages arrive in order, before any paint; paint comes only for
// windows that need it, and each window once.
TEST_F(WindowTest, QueueDeliversPostedMessagesInOrderThenPaints) {
  WindowHandle label = Child(kClassStatic, kStaticLeft, 1, "x");
  PumpAllMessages();
  EXPECT_FALSE(NeedsPaint(label));
  uint64_t painted = PaintCount(label);

  PostMessage(host_, kMsgCommand, MakeCommandParam(2025, 0), 0);
  PostMessage(host_, kMsgCommand, MakeCommandParam(2027, 0), 0);
  InvalidateWindow(label, false);
  Message first;
  ASSERT_TRUE(PeekMessage(&first, false));
  EXPECT_EQ(PendingMessageCount(), 2u);  // peeking without removing keeps it
  PumpAllMessages();
  EXPECT_EQ(recorder_.commands, (std::vector<std::pair<int, uint16_t>>{{2025, 0}, {2027, 0}}));
  EXPECT_EQ(PaintCount(label), painted + 1);
  EXPECT_EQ(PumpAllMessages(), 0);
}

TEST_F(WindowTest, AnotherThreadPostsIntoTheWindowsThreadQueue) {
  std::thread worker([this] {
    PostMessage(host_, kMsgCommand, MakeCommandParam(2026, 0), 0);
    // The worker's own queue is its own: nothing of the host's is there.
    Message message;
    EXPECT_FALSE(PeekMessage(&message, true));
  });
  worker.join();
  PumpAllMessages();
  EXPECT_EQ(recorder_.commands, (std::vector<std::pair<int, uint16_t>>{{2026, 0}}));
}

TEST_F(WindowTest, StaleHandlesAreRefusedEverywhere) {
  WindowHandle button = Child(kClassButton, kButtonPush, 1);
  ASSERT_TRUE(DestroyWindow(button));
  EXPECT_FALSE(IsWindow(button));
  EXPECT_FALSE(DestroyWindow(button));
  EXPECT_EQ(SendMessage(button, kMsgCommand), 0);
  EXPECT_FALSE(PostMessage(button, kMsgCommand));
  EXPECT_EQ(SetWindowProc(button, DefaultWindowProc), nullptr);
  EXPECT_FALSE(SetWindowText(button, "x"));
  EXPECT_FALSE(Click(button));
  EXPECT_EQ(SetFocus(button), nullptr);
  EXPECT_EQ(GetChildren(host_), std::vector<WindowHandle>{});
  EXPECT_EQ(GetDc(button), nullptr);
  EXPECT_FALSE(DestroyWindow(DesktopWindow()));
  // A message posted before the window went is dropped, not delivered.
  WindowHandle other = Child(kClassButton, kButtonPush, 2);
  PumpAllMessages();
  Click(other);
  DestroyWindow(other);
  EXPECT_EQ(PumpAllMessages(), 2);
  EXPECT_TRUE(recorder_.commands.empty());
}

TEST_F(WindowTest, GeometryMapsBetweenClientAreasAndTheScreen) {
  WindowHandle child =
      CreateWindow({kClassStatic, "", kStyleChild | kStyleVisible, 15, 20, 30, 10, host_, 1});
  PixelPoint origin = ClientOrigin(host_);
  EXPECT_EQ(origin.x, 100 + kFrameWidth);
  EXPECT_EQ(origin.y, 100 + kFrameWidth + kCaptionHeight);
  PixelRect rect = GetWindowRect(child);
  EXPECT_EQ(rect, (PixelRect{origin.x + 15, origin.y + 20, origin.x + 45, origin.y + 30}));
  EXPECT_EQ(MapWindowRect(child, host_, GetClientRect(child)), (PixelRect{15, 20, 45, 30}));
  EXPECT_TRUE(SetWindowPosition(host_, 5, 6, true));
  EXPECT_TRUE(IsTopmost(host_));
  EXPECT_EQ(GetWindowRect(host_), (PixelRect{5, 6, 405, 306}));
}

TEST(ScreenTest, DesktopContextReportsTheSettableDpi) {
  DcHandle dc = GetDc(DesktopWindow());
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, kLogPixelsX), 96);
  SetScreenDpi(144);
  EXPECT_EQ(GetDeviceCaps(dc, kLogPixelsX), 144);
  SetScreenDpi(96);
  EXPECT_TRUE(ReleaseDc(DesktopWindow(), dc));
  EXPECT_FALSE(IsDc(dc));
}

TEST(GdiTest, CreatedObjectsAreCountedUntilDeleted) {
  int fonts = LiveFontCount();
  int brushes = LiveBrushCount();
  FontHandle font = CreateFont({-12, kWeightNormal, kCharsetShiftJis, "Segoe UI"});
  BrushHandle brush = CreateSolidBrush(0x9D4918);
  EXPECT_EQ(LiveFontCount(), fonts + 1);
  EXPECT_EQ(LiveBrushCount(), brushes + 1);
  ColorRef color = 0;
  EXPECT_TRUE(GetBrushColor(brush, &color));
  EXPECT_EQ(color, 0x9D4918u);
  EXPECT_TRUE(DeleteFont(font));
  EXPECT_TRUE(DeleteBrush(brush));
  EXPECT_FALSE(DeleteBrush(brush));                                 // twice is refused, not a crash
  EXPECT_TRUE(DeleteBrush(GetStockBrush(StockBrush::kLightGray)));  // stock stays
  EXPECT_TRUE(IsBrush(GetStockBrush(StockBrush::kLightGray)));
  EXPECT_EQ(LiveFontCount(), fonts);
  EXPECT_EQ(LiveBrushCount(), brushes);
}

}  // namespace
}  // namespace platform
