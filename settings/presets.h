// Preset files: listing the saved presets, and asking for or deleting one file.
#pragma once

#include <string>
#include <vector>

namespace settings {

// Most presets a listing holds.
constexpr int kMaxPresetNames = 100;

// The names of the preset files in the preset folder: files (not folders)
// matching "*.ini" whose name is longer than four characters and ends in
// exactly ".ini" or ".INI", without that extension. Sorted without regard to
// case; names that compare equal keep the order they were found in. At most
// kMaxPresetNames, the first found. Empty when the folder cannot be read.
std::vector<std::string> ListPresetNames();

// True when the preset file of the name exists and can be opened for reading.
bool PresetFileExists(const char* name);

// Deletes the preset file of the name. True when it was deleted; a refused
// name or a missing file is false.
bool DeletePresetFile(const char* name);

}  // namespace settings
