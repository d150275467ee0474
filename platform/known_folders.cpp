// Known folders of the user: overrides, the XDG user-dirs file, $HOME.
#include "platform/known_folders.h"

#include <cstdlib>
#include <fstream>
#include <mutex>

namespace platform {
namespace {

std::mutex g_override_mutex;
std::string g_override[2];

int Slot(KnownFolder folder) {
  return folder == KnownFolder::kDocuments ? 0 : 1;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home ? std::string(home) : std::string();
}

std::string StripTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Reads XDG_<NAME>_DIR="$HOME/..." from user-dirs.dirs. Returns "" when the
// file or the line is absent or malformed.
std::string FromUserDirsFile(const char* key) {
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    config = xdg;
  } else {
    std::string home = HomeFolder();
    if (home.empty()) return {};
    config = home + "/.config";
  }
  std::ifstream in(config + "/user-dirs.dirs");
  if (!in) return {};
  const std::string prefix = std::string(key) + "=";
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) != 0) continue;
    std::string value = line.substr(prefix.size());
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return {};
    value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) {
      std::string home = HomeFolder();
      if (home.empty()) return {};
      value = home + value.substr(5);
    }
    if (value.empty() || value.front() != '/') return {};
    return StripTrailingSlash(value);
  }
  return {};
}

}  // namespace

std::string KnownFolderPath(KnownFolder folder) {
  {
    std::lock_guard<std::mutex> lock(g_override_mutex);
    if (!g_override[Slot(folder)].empty()) return g_override[Slot(folder)];
  }
  const bool documents = folder == KnownFolder::kDocuments;
  std::string path = FromUserDirsFile(documents ? "XDG_DOCUMENTS_DIR" : "XDG_DESKTOP_DIR");
  if (!path.empty()) return path;
  std::string home = HomeFolder();
  if (home.empty()) return {};
  return StripTrailingSlash(home) + (documents ? "/Documents" : "/Desktop");
}

void SetKnownFolderOverride(KnownFolder folder, const std::string& path) {
  std::lock_guard<std::mutex> lock(g_override_mutex);
  g_override[Slot(folder)] = StripTrailingSlash(path);
}

}  // namespace platform
