// The settings file and preset files: folders, line formats, reading and writing.
#pragma once

#include <string>

#include "plugin/globals.h"

namespace settings {

// The folder every file of the plug-in lies below: the user's Documents
// folder followed by "Adobe" and "Illustrator". Both folders are created when
// missing. "" when the Documents folder is unknown.
std::string SettingsRoot();

// The main settings file, root + "/Prefs/Zolvane.ini"; creates "Prefs".
// "" when the root is unknown.
std::string MainSettingsPath();

// The folder of the preset files, root + "/Prefs/Zolvane"; creates it.
// "" when the root is unknown.
std::string PresetFolder();

// A preset name must stay a file name inside the preset folder: not empty,
// no '/' or '\', and not "." or "..".
bool IsValidPresetName(const char* name);

// The preset file of a name, PresetFolder() + "/" + name + ".ini"; "" when
// the name is refused or the root is unknown.
std::string PresetFilePath(const char* name);

// Which keys a reading applies: all of them (the main file) or only the
// layout keys (a preset: the twelve "cur_param." keys, "plate_size",
// "toward_baseline", "toward_mode", "one_page_reproduction").
enum class KeyScope { kAll, kLayoutOnly };

// The complete text of a settings file for the record, every line ended by
// CR LF. Main and preset files have the same content.
std::string FormatSettings(const PluginGlobals& globals);

// Applies the lines of a settings file to the record; keys the text does
// not name keep their values. Never writes outside the record's fields:
// over-long lines are cut and colour entries outside 001 to 100 ignored.
void ApplySettingsText(const std::string& text, KeyScope scope, PluginGlobals* globals);

// Reads the main file (preset_name null) or the named preset file into the
// record. 1 when the file was read, 0 when it cannot be opened (or the name
// is refused); then nothing changes.
int LoadSettings(PluginGlobals* globals, const char* preset_name);

// Writes the main file (preset_name null) or the named preset file. The new
// content replaces the old file only once it is completely written, so a
// failure keeps the old file. 1 when written, 0 otherwise.
int SaveSettings(const PluginGlobals& globals, const char* preset_name);

// The settings step of Startup: reads the main file over the defaults. A
// missing or unreadable file leaves them as they are. Fits
// StartupSeams::read_settings; the context is unused.
void ReadMainSettings(void* context, PluginGlobals* globals);

}  // namespace settings
