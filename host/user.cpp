// The scripted user and the user, theme and context suites.
#include "host/user.h"

#include "host/host_app.h"
#include "host/suites_common.h"

namespace host {

void ScriptedUser::MessageAlert(const std::string& text) {
  entries_.push_back({Kind::kMessage, text});
}

void ScriptedUser::ErrorAlert(const std::string& text) {
  entries_.push_back({Kind::kError, text});
}

void PrintingUser::MessageAlert(const std::string& text) {
  std::fprintf(out_, "[message] %s\n", text.c_str());
}

void PrintingUser::ErrorAlert(const std::string& text) {
  std::fprintf(out_, "[error] %s\n", text.c_str());
}

bool PrintingUser::AskYesNo(const std::string& text) {
  std::fprintf(out_, "[question] %s -> %s\n", text.c_str(), answer_ ? "yes" : "no");
  return answer_;
}

bool ScriptedUser::AskYesNo(const std::string& text) {
  entries_.push_back({Kind::kQuestion, text});
  if (answers_.empty()) return default_answer_;
  bool yes = answers_.front();
  answers_.pop_front();
  return yes;
}

namespace {

// Alerts need a running host to show them.
template <class F>
HostErr WithApp(F&& body) {
  return Guard([&] {
    HostApp* app = HostApp::Current();
    if (!app) return kErrRefused;
    return body(*app);
  });
}

HostErr MessageAlert(const char* text) {
  if (!text) return kErrBadParameter;
  return WithApp([&](HostApp& app) {
    app.user().MessageAlert(text);
    return kNoErr;
  });
}

HostErr ErrorAlert(const char* text) {
  if (!text) return kErrBadParameter;
  return WithApp([&](HostApp& app) {
    app.user().ErrorAlert(text);
    return kNoErr;
  });
}

HostErr YesNoAlert(const char* text, int32_t* answer) {
  if (!text || !answer) return kErrBadParameter;
  *answer = kAnswerNo;
  return WithApp([&](HostApp& app) {
    *answer = app.user().AskYesNo(text) ? kAnswerYes : kAnswerNo;
    return kNoErr;
  });
}

HostErr GetUIScaleFactor(double* scale) {
  if (!scale) return kErrBadParameter;
  *scale = kUIScaleFactor;
  return kNoErr;
}

HostErr IsThemeDark(bool* dark) {
  if (!dark) return kErrBadParameter;
  *dark = false;
  return WithApp([&](HostApp& app) {
    *dark = app.dark_theme();
    return kNoErr;
  });
}

HostErr GetThemeColor(int32_t element, int32_t state, HostThemeColor* color) {
  if (!color) return kErrBadParameter;
  *color = HostThemeColor{1, 0, 0, 0};
  // The stand-in's theme knows the panel background only.
  if (element != kThemeElementPanelBackground || state != kThemeStateNormal) {
    return kErrBadParameter;
  }
  return WithApp([&](HostApp& app) {
    *color = app.panel_color();
    return kNoErr;
  });
}

HostErr GetMainWindow(WindowHandle* window) {
  if (!window) return kErrBadParameter;
  *window = nullptr;
  return WithApp([&](HostApp& app) {
    *window = app.main_window();
    return *window ? kNoErr : kErrRefused;
  });
}

}  // namespace

const UserSuite kUserSuiteTable = {
    .MessageAlert = MessageAlert,
    .ErrorAlert = ErrorAlert,
    .YesNoAlert = YesNoAlert,
    .GetUIScaleFactor = GetUIScaleFactor,
};

const ThemeSuite kThemeSuiteTable = {
    .IsThemeDark = IsThemeDark,
    .GetThemeColor = GetThemeColor,
};

const ContextSuite kContextSuiteTable = {.GetMainWindow = GetMainWindow};

}  // namespace host
