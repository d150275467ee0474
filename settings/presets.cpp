// Preset files: the sorted listing of the preset folder, existence and deletion.
#include "settings/presets.h"

#include <string_view>
#include <utility>

#include "platform/files.h"
#include "settings/settings_file.h"

namespace settings {
namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-blind comparison, as the system's own: negative, zero or positive.
int CompareWithoutCase(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const char x = LowerAscii(a[i]), y = LowerAscii(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool HasPresetExtension(std::string_view name) {
  if (name.size() <= 4) return false;
  const std::string_view extension = name.substr(name.size() - 4);
  return extension == ".ini" || extension == ".INI";
}

}  // namespace

std::vector<std::string> ListPresetNames() {
  std::vector<std::string> names;
  const std::string folder = PresetFolder();
  if (folder.empty()) return names;
  std::vector<platform::FolderEntry> entries;
  if (platform::ListFolder(folder, "*.ini", &entries) != platform::FileStatus::kOk) return names;
  for (const platform::FolderEntry& entry : entries) {
    if (entry.is_folder || !HasPresetExtension(entry.name)) continue;
    std::string name = entry.name.substr(0, entry.name.size() - 4);
    // Before the first name that compares greater: equal names stay in the
    // order they were found.
    auto at = names.begin();
    while (at != names.end() && CompareWithoutCase(*at, name) <= 0) ++at;
    names.insert(at, std::move(name));
    if (static_cast<int>(names.size()) >= kMaxPresetNames) break;
  }
  return names;
}

bool PresetFileExists(const char* name) {
  const std::string path = PresetFilePath(name);
  std::string content;
  return !path.empty() && platform::ReadWholeFile(path, &content) == platform::FileStatus::kOk;
}

bool DeletePresetFile(const char* name) {
  const std::string path = PresetFilePath(name);
  return !path.empty() && platform::DeleteFile(path) == platform::FileStatus::kOk;
}

}  // namespace settings
