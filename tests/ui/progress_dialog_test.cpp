// The progress dialog: texts, placement, the bar's pixels, repaints, abort.
#include "ui/progress_dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi.h"
#include "platform/render.h"
#include "platform/window.h"
#include "platform/window_input.h"

namespace ui {
namespace {

using namespace platform;

constexpr ColorRef kWhite = 0xFFFFFF;
constexpr ColorRef kBlack = 0x000000;

class ProgressDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowClass("TestMainWindow", DefaultWindowProc);
    main_ =
        CreateWindow({"TestMainWindow", "Host", kStyleVisible | kStyleCaption, 0, 0, 1200, 900});
    ShowProgress(main_);
    ASSERT_NE(ProgressWindow(), nullptr);
  }
  void TearDown() override {
    CloseProgress();
    SetProgressObserver({});
    DestroyWindow(main_);
    ClearMessageQueue();
  }

  // The bar's rectangle inside the rendered dialog image.
  PixelRect BarInImage() const {
    WindowHandle bar = GetDialogItem(ProgressWindow(), kProgressBarId);
    PixelRect screen = MapWindowRect(bar, nullptr, GetClientRect(bar));
    PixelRect dialog = GetWindowRect(ProgressWindow());
    return {screen.left - dialog.left, screen.top - dialog.top, screen.right - dialog.left,
            screen.bottom - dialog.top};
  }

  WindowHandle main_ = nullptr;
};

TEST_F(ProgressDialogTest, OpensPlacedTopmostWithItsControlsAndAClearedMessage) {
  WindowHandle dialog = ProgressWindow();
  EXPECT_EQ(GetWindowText(dialog), "Progress");
  EXPECT_EQ(GetWindowText(GetDialogItem(dialog, kProgressAbortId)), "Abort");
  EXPECT_EQ(GetWindowText(GetDialogItem(dialog, kProgressMessageId)), "");
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsTopmost(dialog));
  EXPECT_EQ(GetOwner(dialog), nullptr);
  // 250 x 80 dialog units are a 438 x 150 client area inside the caption
  // and frame; placed at a tenth of the main window's far edges minus its size.
  PixelRect rect = GetWindowRect(dialog);
  EXPECT_EQ(GetClientRect(dialog), (PixelRect{0, 0, 438, 150}));
  EXPECT_EQ(rect.left, static_cast<int>(0.1 * (1200 - rect.Width())));
  EXPECT_EQ(rect.top, static_cast<int>(0.1 * (900 - rect.Height())));

  EXPECT_STREQ(GetProgressText(ProgressText::kCalculating, 0), "集版計算中");
  EXPECT_STREQ(GetProgressText(ProgressText::kCalculating, 1), "Calculating the nesting...");
  SetProgressText(GetProgressText(ProgressText::kCalculating, 1));
  EXPECT_EQ(GetWindowText(GetDialogItem(dialog, kProgressMessageId)), "Calculating the nesting...");
}

TEST_F(ProgressDialogTest, BarIsFramedAndSplitBetweenBlueAndWhite) {
  struct Case {
    int percent;
    int blue_columns;  // of the inner width
  };
  PixelRect bar = BarInImage();
  const int inner = bar.Width() - 2;
  for (Case c : {Case{0, 0}, Case{40, inner * 40 / 100}, Case{100, inner}}) {
    SetProgressPercent(c.percent);
    Image image = RenderWindow(ProgressWindow());
    int mid = (bar.top + bar.bottom) / 2;
    EXPECT_EQ(PixelColor(image, bar.left, mid), kBlack) << c.percent;
    EXPECT_EQ(PixelColor(image, bar.right - 1, mid), kBlack) << c.percent;
    EXPECT_EQ(PixelColor(image, bar.left + 5, bar.top), kBlack) << c.percent;
    EXPECT_EQ(PixelColor(image, bar.left + 5, bar.bottom - 1), kBlack) << c.percent;
    int blue = 0;
    int white = 0;
    for (int x = bar.left + 1; x < bar.right - 1; ++x) {
      ColorRef pixel = PixelColor(image, x, mid);
      if (pixel == kProgressBarColor) ++blue;
      if (pixel == kWhite) ++white;
      // Blue only left of the split, white only right of it.
      EXPECT_EQ(pixel, x - bar.left - 1 < c.blue_columns ? kProgressBarColor : kWhite)
          << c.percent << " at " << x;
    }
    EXPECT_EQ(blue, c.blue_columns);
    EXPECT_EQ(blue + white, inner);
  }
}

TEST_F(ProgressDialogTest, SamePercentageTwiceRepaintsNothing) {
  WindowHandle bar = GetDialogItem(ProgressWindow(), kProgressBarId);
  PumpProgressMessages();
  uint64_t painted = PaintCount(bar);

  SetProgressPercent(40);
  EXPECT_TRUE(NeedsPaint(bar));
  PumpProgressMessages();
  EXPECT_EQ(PaintCount(bar), painted + 1);

  SetProgressPercent(40);
  EXPECT_FALSE(NeedsPaint(bar));
  PumpProgressMessages();
  EXPECT_EQ(PaintCount(bar), painted + 1);
  EXPECT_EQ(ProgressPercent(), 40);

  SetProgressPercent(250);  // out of range is kept inside the bar
  EXPECT_EQ(ProgressPercent(), 100);
}

TEST_F(ProgressDialogTest, EscapeThroughThePumpAndTheAbortButtonSetTheFlag) {
  EXPECT_EQ(IsProgressAborted(), 0);
  // Escape pressed wherever the focus is, here in the host's main window.
  SetFocus(main_);
  PressKey(kKeyEscape);
  EXPECT_EQ(IsProgressAborted(), 0);  // nothing happens until the pump runs
  PumpProgressMessages();
  EXPECT_EQ(IsProgressAborted(), 1);

  // The flag stays after the run and is reset by the next Show only.
  CloseProgress();
  EXPECT_EQ(IsProgressAborted(), 1);
  ShowProgress(main_);
  EXPECT_EQ(IsProgressAborted(), 0);
  ASSERT_TRUE(Click(GetDialogItem(ProgressWindow(), kProgressAbortId)));
  PumpProgressMessages();
  EXPECT_EQ(IsProgressAborted(), 1);
}

// A search thread polls the flag while the user-interface thread pumps.
TEST_F(ProgressDialogTest, SearchThreadsSeeTheAbortFlagWithoutLocks) {
  std::atomic<int> percent_seen{-1};
  std::thread search([&] {
    while (IsProgressAborted() == 0) std::this_thread::yield();
    percent_seen.store(ProgressPercent());
  });
  SetProgressPercent(30);
  ASSERT_TRUE(Click(GetDialogItem(ProgressWindow(), kProgressAbortId)));
  PumpProgressMessages();
  search.join();
  EXPECT_EQ(percent_seen.load(), 30);
}

TEST_F(ProgressDialogTest, WithoutADialogEveryCallIsHarmlessAndEscapeStillCounts) {
  CloseProgress();
  EXPECT_EQ(ProgressWindow(), nullptr);
  CloseProgress();
  SetProgressText("x");
  SetProgressPercent(10);
  PressKey(kKeyEscape);
  PumpProgressMessages();
  EXPECT_EQ(IsProgressAborted(), 1);
}

TEST_F(ProgressDialogTest, ObserverSeesTextAndChangedPercentages) {
  struct Seen {
    std::vector<std::string> texts;
    std::vector<int> percents;
  } seen;
  ProgressObserver observer;
  observer.on_text = [](void* c, const std::string& t) {
    static_cast<Seen*>(c)->texts.push_back(t);
  };
  observer.on_percent = [](void* c, int p) { static_cast<Seen*>(c)->percents.push_back(p); };
  observer.context = &seen;
  SetProgressObserver(observer);
  SetProgressText("Calculating the nesting...");
  for (int p : {10, 10, 55, 100}) SetProgressPercent(p);
  EXPECT_EQ(seen.texts, (std::vector<std::string>{"Calculating the nesting..."}));
  EXPECT_EQ(seen.percents, (std::vector<int>{10, 55, 100}));
}

TEST_F(ProgressDialogTest, ShowingAgainReplacesTheDialogAndLeaksNothing) {
  int brushes = LiveBrushCount();
  WindowHandle first = ProgressWindow();
  ShowProgress(main_);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(TopLevelWindows().size(), 2u);  // the main window and one dialog
  SetProgressPercent(40);
  PumpProgressMessages();
  RenderWindow(ProgressWindow());
  EXPECT_EQ(LiveBrushCount(), brushes);
  SetProgressText(GetProgressText(ProgressText::kCalculating, 1));
  EXPECT_TRUE(RenderWindowToPng(ProgressWindow(), ::testing::TempDir() + "progress-40.png"));
}

}  // namespace
}  // namespace ui
