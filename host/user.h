// The person in front of the host: alerts and yes/no questions go to a
// pluggable user; and the user, theme and context suites over the host.
#pragma once

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "plugin/suite_ui.h"

namespace host {

// Whoever answers the host's alerts: a test script, the command line, a
// person.
class HostUser {
 public:
  virtual ~HostUser() = default;
  virtual void MessageAlert(const std::string& text) = 0;
  virtual void ErrorAlert(const std::string& text) = 0;
  // True for yes.
  virtual bool AskYesNo(const std::string& text) = 0;
};

// Records every text it is shown and answers questions from a script: the
// queued answers in order, then the default answer.
class ScriptedUser : public HostUser {
 public:
  enum class Kind { kMessage, kError, kQuestion };
  struct Entry {
    Kind kind;
    std::string text;
  };

  void QueueAnswer(bool yes) { answers_.push_back(yes); }
  void set_default_answer(bool yes) { default_answer_ = yes; }
  const std::vector<Entry>& entries() const { return entries_; }
  void Clear() { entries_.clear(); }

  void MessageAlert(const std::string& text) override;
  void ErrorAlert(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;

 private:
  std::vector<Entry> entries_;
  std::deque<bool> answers_;
  bool default_answer_ = false;
};

// The command line's user: prints every alert and question with its kind on
// the stream, and answers every question with the same answer, printed too,
// so a transcript shows what the plug-in asked and what it was told.
class PrintingUser : public HostUser {
 public:
  PrintingUser(std::FILE* out, bool answer) : out_(out), answer_(answer) {}
  void MessageAlert(const std::string& text) override;
  void ErrorAlert(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;

 private:
  std::FILE* out_;
  bool answer_;
};

// The factor the host scales its interface by.
constexpr double kUIScaleFactor = 1.0;

extern const UserSuite kUserSuiteTable;
extern const ThemeSuite kThemeSuiteTable;
extern const ContextSuite kContextSuiteTable;

}  // namespace host
