// Known folders: overrides, the XDG user-dirs file and the $HOME fallback.
#include "platform/known_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "tests/platform/temp_folder.h"

namespace platform {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(KnownFoldersTest, ReadsTheUserDirsFileThenFallsBackToHome) {
  testing_support::TempFolder home;
  ScopedEnv home_env("HOME", home.path());
  ScopedEnv config_env("XDG_CONFIG_HOME", home.path() + "/config");
  std::filesystem::create_directories(home.path() + "/config");

  EXPECT_EQ(KnownFolderPath(KnownFolder::kDocuments), home.path() + "/Documents")
      << "no user-dirs file";

  std::ofstream(home.path() + "/config/user-dirs.dirs")
      << "# written by xdg-user-dirs-update\n"
      << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n"
      << "XDG_DESKTOP_DIR=\"relative/path\"\n";
  EXPECT_EQ(KnownFolderPath(KnownFolder::kDocuments), home.path() + "/Dokumente");
  EXPECT_EQ(KnownFolderPath(KnownFolder::kDesktop), home.path() + "/Desktop")
      << "a malformed entry falls back to $HOME";
}

TEST(KnownFoldersTest, AnOverrideWinsUntilItIsRemoved) {
  testing_support::TempFolder home;
  ScopedEnv home_env("HOME", home.path());
  ScopedEnv config_env("XDG_CONFIG_HOME", home.path());
  SetKnownFolderOverride(KnownFolder::kDesktop, "/elsewhere/Desk/");
  EXPECT_EQ(KnownFolderPath(KnownFolder::kDesktop), "/elsewhere/Desk");
  EXPECT_EQ(KnownFolderPath(KnownFolder::kDocuments), home.path() + "/Documents");
  SetKnownFolderOverride(KnownFolder::kDesktop, "");
  EXPECT_EQ(KnownFolderPath(KnownFolder::kDesktop), home.path() + "/Desktop");
}

}  // namespace
}  // namespace platform
