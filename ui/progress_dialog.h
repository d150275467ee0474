// The progress dialog of a nesting run: message, bar, "Abort" and Escape.
//
// One dialog at a time, on the user-interface thread. The abort flag and the
// percentage are also read by the search's worker threads, without locks:
// they are relaxed atomics written only by the user-interface thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog.h"
#include "platform/window_types.h"

namespace ui {

inline constexpr int kProgressTemplateId = 16207;
inline constexpr int kProgressAbortId = 2;
inline constexpr int kProgressMessageId = 3;
inline constexpr int kProgressBarId = 4;

// The bar's fill left of the split, as a Windows colour value.
inline constexpr ColorRef kProgressBarColor = 0x9D4918;

// The user-visible texts of the progress dialog and of the run that shows it.
enum class ProgressText { kTitle, kAbort, kCalculating, kImproving };
// The text in `language` (1 English, 0 Japanese). kImproving is a format:
// the sheets of the best layout so far, then the greedy layout's.
const char* GetProgressText(ProgressText text, int16_t language);

// Template 16207.
const platform::DialogTemplate& ProgressDialogTemplate();

// Watches what the dialog shows, e.g. for a progress bar in a terminal.
// Either callback may be null.
struct ProgressObserver {
  void (*on_text)(void* context, const std::string& text) = nullptr;
  void (*on_percent)(void* context, int percent) = nullptr;
  void* context = nullptr;
};
void SetProgressObserver(const ProgressObserver& observer);

// Resets the abort flag and the last percentage to 0, creates the dialog
// from template 16207 without an owner and shows it topmost at
// x = trunc(0.1 * (right edge of `main_window` - dialog width)) and
// y = trunc(0.1 * (bottom edge of `main_window` - dialog height)), in screen
// coordinates. `main_window` is the host's main window; null takes the
// desktop.
void ShowProgress(WindowHandle main_window);
// Sets the message if the dialog exists.
void SetProgressText(const std::string& text);
// Stores a new percentage (clamped to 0..100) and repaints the bar, or does
// nothing when it equals the last one.
void SetProgressPercent(int percent);
// Translates and dispatches every message waiting for the calling thread;
// a key press of Escape sets the abort flag before it is dispatched.
void PumpProgressMessages();
// The abort flag (through its low 16 bits).
int16_t IsProgressAborted();
// Destroys the dialog if it exists and forgets it.
void CloseProgress();

// The dialog while it exists, else null; and the last percentage stored.
WindowHandle ProgressWindow();
int ProgressPercent();

}  // namespace ui
