// The daily log: folder, name from the local date, lines appended with CR LF.
#include "ui/daily_log.h"

#include <cstdio>
#include <limits>

#include "platform/files.h"
#include "settings/settings_file.h"

namespace ui {

std::string DailyLogFolder() {
  const std::string root = settings::SettingsRoot();
  if (root.empty()) return {};
  const std::string folder = root + "/Zolvane";
  platform::CreateFolders(folder);
  return folder;
}

std::string DailyLogFileName(const platform::LocalDateTime& date) {
  char name[64];
  std::snprintf(name, sizeof name, "%04d%02d%02d.log", date.year, date.month, date.day);
  return name;
}

void AppendToDailyLogOn(const platform::LocalDateTime& date, const std::string& text) {
  const std::string folder = DailyLogFolder();
  if (folder.empty()) return;
  // One write of the text with its line end, so that an entry is never
  // split from its CR LF.
  platform::AppendToFile(folder + "/" + DailyLogFileName(date), text + "\r\n");
}

void AppendToDailyLog(const std::string& text) {
  AppendToDailyLogOn(platform::LocalNow(), text);
}

int ProcessingSeconds(uint64_t start_tick_ms, uint64_t end_tick_ms) {
  const uint64_t start_seconds = start_tick_ms / 1000;
  const double elapsed =
      static_cast<double>(end_tick_ms) / 1000.0 - static_cast<double>(start_seconds);
  if (!(elapsed > 0)) return 0;
  if (elapsed >= static_cast<double>(std::numeric_limits<int>::max())) {
    return std::numeric_limits<int>::max();
  }
  return static_cast<int>(elapsed);
}

std::string ProcessingTimeEntry(int seconds) {
  char entry[64];
  std::snprintf(entry, sizeof entry, "nesting processing time : %d:%d", seconds / 60, seconds % 60);
  return entry;
}

}  // namespace ui
