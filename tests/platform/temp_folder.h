// Test helpers: a fresh temporary folder, and the known folders pointed into one.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/known_folders.h"

namespace testing_support {

// A new empty folder below the system's temporary folder, removed with all
// its content when the object goes.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zolvane-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data())) path_ = made;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Documents and Desktop inside a fresh temporary folder for the duration of
// a test; the overrides are removed afterwards.
class TempKnownFolders {
 public:
  TempKnownFolders() {
    documents_ = folder_.path() + "/Documents";
    desktop_ = folder_.path() + "/Desktop";
    std::filesystem::create_directories(documents_);
    std::filesystem::create_directories(desktop_);
    platform::SetKnownFolderOverride(platform::KnownFolder::kDocuments, documents_);
    platform::SetKnownFolderOverride(platform::KnownFolder::kDesktop, desktop_);
  }
  ~TempKnownFolders() {
    platform::SetKnownFolderOverride(platform::KnownFolder::kDocuments, "");
    platform::SetKnownFolderOverride(platform::KnownFolder::kDesktop, "");
  }

  const std::string& documents() const { return documents_; }
  const std::string& desktop() const { return desktop_; }
  const std::string& base() const { return folder_.path(); }

 private:
  TempFolder folder_;
  std::string documents_;
  std::string desktop_;
};

}  // namespace testing_support
