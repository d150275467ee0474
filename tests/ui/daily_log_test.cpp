// The daily log: one file per day, appended with CR LF, silent on failure;
// the processing-time entry.
#include "ui/daily_log.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "tests/platform/temp_folder.h"

namespace ui {
namespace {

class DailyLogTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::SetFileFaultHook(nullptr); }

  std::string LogFolder() const { return folders_.documents() + "/Adobe/Illustrator/Zolvane"; }
  std::string Read(const std::string& name) const {
    std::string content;
    platform::ReadWholeFile(LogFolder() + "/" + name, &content);
    return content;
  }

  testing_support::TempKnownFolders folders_;
};

constexpr platform::LocalDateTime kEvening{2026, 3, 7, 23, 59, 59, 0};
constexpr platform::LocalDateTime kNextMorning{2026, 3, 8, 0, 0, 1, 0};

TEST_F(DailyLogTest, RunsOfOneDayAppendToOneFileAndANewDayStartsAnother) {
  AppendToDailyLogOn(kEvening, ProcessingTimeEntry(75));
  AppendToDailyLogOn(kEvening, ProcessingTimeEntry(3));
  AppendToDailyLogOn(kNextMorning, ProcessingTimeEntry(3600));
  EXPECT_EQ(DailyLogFolder(), LogFolder());
  EXPECT_EQ(Read("20260307.log"),
            "nesting processing time : 1:15\r\n"
            "nesting processing time : 0:3\r\n");
  EXPECT_EQ(Read("20260308.log"), "nesting processing time : 60:0\r\n");
}

TEST_F(DailyLogTest, TodaysFileIsNamedByTheLocalDate) {
  AppendToDailyLog("entry");
  const std::string name = DailyLogFileName(platform::LocalNow());
  // A run across midnight may have written yesterday's file; either way the
  // one file holds the entry.
  std::vector<platform::FolderEntry> entries;
  ASSERT_EQ(platform::ListFolder(LogFolder(), "????????.log", &entries), platform::FileStatus::kOk);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(Read(entries[0].name), "entry\r\n");
  EXPECT_EQ(DailyLogFileName(kEvening), "20260307.log");
  EXPECT_EQ(name.size(), 12u);
}

TEST_F(DailyLogTest, AFailingFileLosesTheEntrySilently) {
  platform::SetFileFaultHook([](platform::FileOp op, const std::string&) {
    return op == platform::FileOp::kAppend ? platform::FileStatus::kAccessDenied
                                           : platform::FileStatus::kOk;
  });
  AppendToDailyLogOn(kEvening, "lost");
  platform::SetFileFaultHook(nullptr);
  EXPECT_FALSE(platform::FileExists(LogFolder() + "/20260307.log"));
  AppendToDailyLogOn(kEvening, "kept");
  EXPECT_EQ(Read("20260307.log"), "kept\r\n");
}

TEST(ProcessingTimeTest, WholeSecondsFromAWholeSecondStart) {
  struct Case {
    uint64_t start_ms, end_ms;
    int seconds;
  };
  const Case cases[] = {
      {1000, 76000, 75},
      {1999, 76999, 75},  // the start counts from its whole second: 1 s to 76.999 s
      {1999, 2500, 1},
      {5000, 5999, 0},
      {7000, 6000, 0},  // a tick that went backwards records nothing negative
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProcessingSeconds(c.start_ms, c.end_ms), c.seconds) << c.start_ms << " " << c.end_ms;
  }
  EXPECT_EQ(ProcessingTimeEntry(75), "nesting processing time : 1:15");
}

}  // namespace
}  // namespace ui
