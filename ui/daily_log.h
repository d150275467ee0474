// The daily log: one append-only text file per calendar day below the settings root.
#pragma once

#include <cstdint>
#include <string>

#include "platform/system.h"

namespace ui {

// The log folder, settings root + "/Zolvane" (created when missing); ""
// when the settings root is unknown.
std::string DailyLogFolder();

// The file name of a day's log: "%04d%02d%02d.log" with year, month, day.
std::string DailyLogFileName(const platform::LocalDateTime& date);

// Appends text and CR LF to the log of the local day. The file is created
// when missing and never truncated; any failure loses the entry silently.
void AppendToDailyLog(const std::string& text);

// The same for a given day (the log of that date).
void AppendToDailyLogOn(const platform::LocalDateTime& date, const std::string& text);

// Whole seconds between a start noted as whole seconds of the tick count
// and an end tick taken in fractional seconds, the difference truncated.
int ProcessingSeconds(uint64_t start_tick_ms, uint64_t end_tick_ms);

// The nesting run's entry: "nesting processing time : %d:%d" with whole
// minutes and the remaining seconds (75 seconds: "...: 1:15").
std::string ProcessingTimeEntry(int seconds);

}  // namespace ui
