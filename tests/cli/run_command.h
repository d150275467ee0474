// Running the built `zolvane` command as a user does, in a folder of the
// test's own that also serves as the plug-in's home (its Documents folder
// and settings file), so that tests never share settings.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

struct Result {
  int code = -1;
  std::string output;  // stdout and stderr together
};

// Runs the command; env is put before it ("HOME=... ").
inline Result Zolvane(const std::string& args, const std::string& env = "") {
  Result r;
  std::string command = env + std::string(ZOLVANE_BINARY) + " " + args + " 2>&1";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return r;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, p)) r.output += buffer;
  int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

class ZolvaneCommand : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("zolvane-cli-" + std::to_string(getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_ / "home");
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string In(const std::string& name, const std::string& text) {
    std::string path = (dir_ / name).string();
    std::ofstream(path) << text;
    return path;
  }
  std::string Out(const std::string& name) { return (dir_ / name).string(); }
  // The command with the test's own home: the plug-in's Documents folder is
  // home/Documents.
  Result Run(const std::string& args) {
    const std::string home = (dir_ / "home").string();
    return Zolvane(args, "HOME=" + home + " XDG_CONFIG_HOME=" + home + "/.config ");
  }
  std::string SettingsFile() {
    return (dir_ / "home/Documents/Adobe/Illustrator/Prefs/Zolvane.ini").string();
  }
  fs::path dir_;
};
