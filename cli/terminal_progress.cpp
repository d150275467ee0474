// Progress of a nesting run on standard error, read off the plug-in's
// progress dialog.
#include "cli/terminal_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "platform/render.h"
#include "platform/window.h"

namespace cli {

std::string FormatElapsed(double seconds) {
  long s = seconds > 0 ? static_cast<long>(seconds) : 0;
  char text[32];
  if (s >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, (s / 60) % 60, s % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  }
  return text;
}

std::string FormatProgressLine(int percent, int total, double elapsed_seconds, int bar_width) {
  percent = std::clamp(percent, 0, 100);
  std::string line;
  if (bar_width > 0) {
    int filled = bar_width * percent / 100;
    line = "[" + std::string(filled, '#') + std::string(bar_width - filled, '-') + "] ";
  }
  char text[96];
  std::snprintf(text, sizeof text, "%3d%%", percent);
  line += text;
  if (total > 0) {
    // The dialog shows a percentage of the parts placed; the count follows from it.
    std::snprintf(text, sizeof text, "  %d/%d parts", total * percent / 100, total);
    line += text;
  }
  line += "  " + FormatElapsed(elapsed_seconds);
  return line;
}

TerminalProgress::Mode ProgressModeFor(std::FILE* stream, bool quiet) {
  if (quiet) return TerminalProgress::Mode::kQuiet;
  return isatty(fileno(stream)) ? TerminalProgress::Mode::kTerminal
                                : TerminalProgress::Mode::kLines;
}

TerminalProgress::TerminalProgress(std::FILE* out, Mode mode, int total)
    : out_(out), mode_(mode), total_(total) {}

void TerminalProgress::Start(double since, double now_seconds) {
  start_ = since;
  started_ = true;
  percent_ = 0;
  Draw(now_seconds);
}

void TerminalProgress::SetPercent(int percent, double now_seconds) {
  percent_ = std::clamp(percent, 0, 100);
  Tick(now_seconds);
}

void TerminalProgress::Tick(double now_seconds) {
  if (!started_ || mode_ == Mode::kQuiet) return;
  const double gap = mode_ == Mode::kTerminal ? 0.1 : 1.0;
  if (now_seconds - last_draw_ < gap) return;
  // A terminal redraws when something it shows changed; a log gets a line
  // a second at most.
  if (mode_ == Mode::kTerminal && percent_ == drawn_percent_ &&
      std::floor(now_seconds - start_) == std::floor(last_draw_ - start_))
    return;
  Draw(now_seconds);
}

void TerminalProgress::Draw(double now_seconds) {
  if (mode_ == Mode::kQuiet) return;
  const std::string line =
      FormatProgressLine(percent_, total_, now_seconds - start_, mode_ == Mode::kTerminal ? 30 : 0);
  if (mode_ == Mode::kTerminal) {
    std::fprintf(out_, "\r%s\033[K", line.c_str());
    open_line_ = true;
  } else {
    std::fprintf(out_, "progress %s\n", line.c_str());
  }
  std::fflush(out_);
  last_draw_ = now_seconds;
  drawn_percent_ = percent_;
}

void TerminalProgress::Finish(double now_seconds) {
  if (!started_ || mode_ == Mode::kQuiet) return;
  if (mode_ == Mode::kTerminal) {
    Draw(now_seconds);
    if (open_line_) std::fputc('\n', out_);
    open_line_ = false;
  } else if (drawn_percent_ != percent_) {
    Draw(now_seconds);
  }
  std::fflush(out_);
  started_ = false;
}

namespace {
// The plug-in's progress dialog as a person knows it: its title, its bar
// with the fill colour left of the split, and its "Abort" button.
constexpr ColorRef kBarFill = 0x9D4918;
constexpr int kProgressBarItem = 4;
constexpr int kProgressAbortItem = 2;
constexpr char kProgressTitle[] = "Progress";
}  // namespace

WindowHandle FindProgressDialog() {
  for (WindowHandle w : platform::TopLevelWindows()) {
    if (platform::IsClass(w, platform::kClassDialog) &&
        platform::GetWindowText(w) == kProgressTitle &&
        platform::GetDialogItem(w, kProgressBarItem) != nullptr && platform::IsWindowVisible(w))
      return w;
  }
  return nullptr;
}

int ReadProgressPercent(WindowHandle dialog) {
  WindowHandle bar = platform::GetDialogItem(dialog, kProgressBarItem);
  platform::Image image = platform::RenderWindow(bar);
  if (image.width < 4 || image.height < 3) return -1;
  const int y = image.height / 2;
  const int inner = image.width - 2;
  int filled = 0;
  while (filled < inner && platform::PixelColor(image, 1 + filled, y) == kBarFill) ++filled;
  // The dialog splits at inner * percent / 100, truncated.
  for (int p = 0; p <= 100; ++p) {
    if (inner * p / 100 == filled) return p;
  }
  return filled * 100 / inner;
}

WindowHandle ProgressAbortButton(WindowHandle dialog) {
  return platform::GetDialogItem(dialog, kProgressAbortItem);
}

}  // namespace cli
