// The command line's progress display: its lines on a terminal, in a log
// and when quiet, and the plug-in's progress dialog read off the screen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/terminal_progress.h"
#include "platform/window.h"
#include "platform/window_input.h"
#include "ui/progress_dialog.h"

namespace {

std::string Written(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string text;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, f)) text += buffer;
  return text;
}

TEST(ProgressLine, BarPercentagePartsAndElapsedTime) {
  EXPECT_EQ(cli::FormatProgressLine(42, 500, 72.9, 10), "[####------]  42%  210/500 parts  1:12");
  EXPECT_EQ(cli::FormatProgressLine(100, 0, 3725, 0), "100%  1:02:05");
  EXPECT_EQ(cli::FormatProgressLine(150, 8, -1, 4), "[####] 100%  8/8 parts  0:00");
}

TEST(ProgressDisplay, ATerminalRedrawsALogGetsALineASecondQuietShowsNothing) {
  struct Case {
    cli::TerminalProgress::Mode mode;
    int lines;  // newline-ended lines written
    bool redraws;
  };
  for (Case c : {Case{cli::TerminalProgress::Mode::kTerminal, 1, true},
                 Case{cli::TerminalProgress::Mode::kLines, 4, false},
                 Case{cli::TerminalProgress::Mode::kQuiet, 0, false}}) {
    std::FILE* f = std::tmpfile();
    cli::TerminalProgress display(f, c.mode, 10);
    display.Start(100.0, 100.0);
    // Ten updates a second for three seconds.
    for (int i = 1; i <= 30; ++i) display.SetPercent(i * 3, 100.0 + i * 0.1);
    display.Finish(103.05);
    std::string text = Written(f);
    std::fclose(f);
    int newlines = 0;
    for (char ch : text) newlines += ch == '\n';
    EXPECT_EQ(newlines, c.lines) << text;
    EXPECT_EQ(text.find('\r') != std::string::npos, c.redraws) << text;
    if (c.mode != cli::TerminalProgress::Mode::kQuiet) {
      EXPECT_THAT(text, testing::HasSubstr(" 90%  9/10 parts  0:03")) << text;
    }
  }
}

TEST(ProgressDialogReading, ThePercentageTheBarShowsAndTheAbortButton) {
  EXPECT_EQ(cli::FindProgressDialog(), nullptr);
  ui::ShowProgress(nullptr);
  WindowHandle dialog = cli::FindProgressDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog, ui::ProgressWindow());
  for (int percent : {0, 1, 7, 42, 99, 100}) {
    ui::SetProgressPercent(percent);
    EXPECT_EQ(cli::ReadProgressPercent(dialog), percent);
  }
  ASSERT_TRUE(platform::Click(cli::ProgressAbortButton(dialog)));
  ui::PumpProgressMessages();
  EXPECT_EQ(ui::IsProgressAborted(), 1);
  ui::CloseProgress();
  EXPECT_EQ(cli::FindProgressDialog(), nullptr);
}

}  // namespace
