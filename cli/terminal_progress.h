// Progress of a nesting run on standard error: a redrawn bar on a terminal,
// a line a second otherwise, nothing when quiet; and the plug-in's progress
// dialog read the way a person reads it.
#pragma once

#include <cstdio>
#include <string>

#include "platform/window_types.h"

namespace cli {

// One line of progress: "[#####-----]  42%  210/500 parts  0:12". With a
// bar width of 0 the bar is left out; with total 0 the part count is.
std::string FormatProgressLine(int percent, int total, double elapsed_seconds, int bar_width);

// Elapsed time as m:ss, or h:mm:ss from an hour on.
std::string FormatElapsed(double seconds);

// Shows what the progress dialog shows. Fed with the dialog's percentage
// whenever it is seen and ticked by the clock; draws at most ten times a
// second on a terminal and once a second elsewhere.
class TerminalProgress {
 public:
  enum class Mode { kTerminal, kLines, kQuiet };
  // total: the copies the run places (0 when not known in advance).
  TerminalProgress(std::FILE* out, Mode mode, int total);

  // Starts showing; the elapsed time counts from `since`.
  void Start(double since, double now_seconds);
  bool started() const { return started_; }
  void SetPercent(int percent, double now_seconds);
  void Tick(double now_seconds);
  // Draws the last state once more and ends the line (a terminal's bar
  // stays on screen as the run left it).
  void Finish(double now_seconds);

 private:
  void Draw(double now_seconds);

  std::FILE* out_;
  Mode mode_;
  int total_;
  int percent_ = 0;
  double start_ = 0;
  double last_draw_ = -1e9;
  int drawn_percent_ = -1;
  bool started_ = false;
  bool open_line_ = false;
};

// kTerminal when the stream is a terminal, kLines otherwise, kQuiet when
// asked.
TerminalProgress::Mode ProgressModeFor(std::FILE* stream, bool quiet);

// The plug-in's progress dialog while it is shown, or null.
WindowHandle FindProgressDialog();
// The percentage its bar shows, read off the screen as a person reads it:
// the filled share of the bar inside its frame. -1 when it cannot be seen.
int ReadProgressPercent(WindowHandle dialog);
// Its "Abort" button.
WindowHandle ProgressAbortButton(WindowHandle dialog);

}  // namespace cli
