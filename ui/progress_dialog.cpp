// The progress dialog of a nesting run: message, bar, "Abort" and Escape.
#include "ui/progress_dialog.h"

#include <algorithm>
#include <atomic>

#include "platform/gdi.h"
#include "platform/window.h"

namespace ui {
namespace {

using namespace platform;

struct TextEntry {
  ProgressText id;
  const char* english;
  const char* japanese;
};

// The dialog has one template for both languages, so its own texts are the
// same in both.
constexpr TextEntry kTexts[] = {
    {ProgressText::kTitle, "Progress", "Progress"},
    {ProgressText::kAbort, "Abort", "Abort"},
    {ProgressText::kCalculating, "Calculating the nesting...", "集版計算中"},
    {ProgressText::kImproving, "Improving the nesting: %d sheets (was %d)...",
     "集版を改善中：%d 枚（改善前 %d 枚）"},
};

struct ProgressState {
  WindowHandle dialog = nullptr;
  WindowHandle main_window = nullptr;
  std::atomic<int> last_percent{0};
  std::atomic<int32_t> abort_flag{0};
  ProgressObserver observer;
};

ProgressState& State() {
  static ProgressState state;
  return state;
}

// Frame, then the split bar inside the frame: blue left, white right.
void DrawBar(const DrawItemInfo& item) {
  PixelRect rect = item.rect;
  BrushHandle black = GetStockBrush(StockBrush::kBlack);
  FrameRect(item.dc, rect, black);
  rect = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
  int percent = State().last_percent.load(std::memory_order_relaxed);
  int split = rect.left + (rect.right - rect.left) * percent / 100;
  if (split - rect.left > 0) {
    BrushHandle blue = CreateSolidBrush(kProgressBarColor);
    FillRect(item.dc, {rect.left, rect.top, split, rect.bottom}, blue);
    DeleteBrush(blue);
  }
  if (rect.right - split > 0) {
    FillRect(item.dc, {split, rect.top, rect.right, rect.bottom},
             GetStockBrush(StockBrush::kWhite));
  }
}

void PlaceDialog(WindowHandle dialog) {
  WindowHandle main_window = State().main_window;
  if (!IsWindow(main_window)) main_window = DesktopWindow();
  PixelRect main_rect = GetWindowRect(main_window);
  PixelRect own = GetWindowRect(dialog);
  int x = static_cast<int>(0.1 * (main_rect.right - own.Width()));
  int y = static_cast<int>(0.1 * (main_rect.bottom - own.Height()));
  SetWindowPosition(dialog, x, y, true);
}

intptr_t ProgressProc(WindowHandle dialog, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  switch (message) {
    case kMsgInitDialog:
      PlaceDialog(dialog);
      ShowWindow(dialog, true);
      SetWindowText(GetDialogItem(dialog, kProgressMessageId), "");
      return 1;
    case kMsgDrawItem: {
      const auto* item = reinterpret_cast<const DrawItemInfo*>(lparam);
      if (item == nullptr || item->control_id != kProgressBarId) return 0;
      DrawBar(*item);
      return 1;
    }
    case kMsgCommand:
      if (CommandId(wparam) == kProgressAbortId) {
        State().abort_flag.store(1, std::memory_order_relaxed);
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace

const char* GetProgressText(ProgressText text, int16_t language) {
  for (const TextEntry& entry : kTexts) {
    if (entry.id == text) return language == 0 ? entry.japanese : entry.english;
  }
  return "";
}

const DialogTemplate& ProgressDialogTemplate() {
  static const DialogTemplate dialog = [] {
    DialogTemplate t;
    t.resource_id = kProgressTemplateId;
    t.title = GetProgressText(ProgressText::kTitle, 1);
    t.font_face = "Segoe UI";
    t.font_points = 9;
    t.style = kStylePopup | kStyleCaption | kStyleModalFrame | kStyleVisible;
    t.width = 250;
    t.height = 80;
    t.items = {
        {kProgressAbortId, kClassButton, kButtonPush | kStyleTabStop,
         GetProgressText(ProgressText::kAbort, 1), 191, 61, 50, 14},
        {kProgressMessageId, kClassStatic, kStaticLeft, " ", 25, 21, 200, 8},
        {kProgressBarId, kClassStatic, kStaticOwnerDraw, "", 25, 33, 200, 15},
    };
    return t;
  }();
  return dialog;
}

void SetProgressObserver(const ProgressObserver& observer) {
  State().observer = observer;
}

void ShowProgress(WindowHandle main_window) {
  ProgressState& state = State();
  state.abort_flag.store(0, std::memory_order_relaxed);
  state.last_percent.store(0, std::memory_order_relaxed);
  // A dialog left from an earlier run is replaced, never leaked.
  if (IsWindow(state.dialog)) DestroyWindow(state.dialog);
  state.main_window = main_window;
  state.dialog = CreateDialog(ProgressDialogTemplate(), nullptr, ProgressProc, 0);
  if (state.dialog != nullptr) ShowWindow(state.dialog, true);
}

void SetProgressText(const std::string& text) {
  ProgressState& state = State();
  if (IsWindow(state.dialog)) {
    SetWindowText(GetDialogItem(state.dialog, kProgressMessageId), text);
  }
  if (state.observer.on_text != nullptr) state.observer.on_text(state.observer.context, text);
}

void SetProgressPercent(int percent) {
  ProgressState& state = State();
  percent = std::clamp(percent, 0, 100);
  if (percent == state.last_percent.load(std::memory_order_relaxed)) return;
  state.last_percent.store(percent, std::memory_order_relaxed);
  if (IsWindow(state.dialog)) {
    InvalidateWindow(GetDialogItem(state.dialog, kProgressBarId), false);
  }
  if (state.observer.on_percent != nullptr) {
    state.observer.on_percent(state.observer.context, percent);
  }
}

void PumpProgressMessages() {
  Message message;
  while (PeekMessage(&message, true)) {
    if (message.message == kMsgKeyDown && message.wparam == kKeyEscape) {
      State().abort_flag.store(1, std::memory_order_relaxed);
    }
    TranslateMessage(message);
    DispatchMessage(message);
  }
}

int16_t IsProgressAborted() {
  return static_cast<int16_t>(State().abort_flag.load(std::memory_order_relaxed) & 0xFFFF);
}

void CloseProgress() {
  ProgressState& state = State();
  if (IsWindow(state.dialog)) DestroyWindow(state.dialog);
  state.dialog = nullptr;
}

WindowHandle ProgressWindow() {
  WindowHandle dialog = State().dialog;
  return IsWindow(dialog) ? dialog : nullptr;
}

int ProgressPercent() {
  return State().last_percent.load(std::memory_order_relaxed);
}

}  // namespace ui
