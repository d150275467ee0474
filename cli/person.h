// The person in front of the host, played by the command line: starts the
// host with the Zolvane plug-in, opens a drawing, selects objects, types into
// the panel and the Initial Settings dialog, clicks their buttons and answers
// the plug-in's questions and alerts. It finds the controls by the ids the
// plug-in gives them (ui/nest_panel.h, ui/initial_settings.h).
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host_app.h"
#include "plugin/names.h"
#include "ui/initial_settings.h"
#include "ui/nest_panel.h"

namespace cli {

// The plug-in module's file name.
inline constexpr char kModuleFileName[] = "Zolvane.aip";

// How alerts are written on standard error: after "zolvane: " on one line
// for a terminal, or as the bare text with its line breaks for a program
// that shows standard error to the person as it is (Inkscape).
enum class AlertStyle { kTerminal, kBare };
void SetAlertStyle(AlertStyle style);

// Answers every question yes, shows every alert on standard error and keeps
// them, so that the command can tell why nothing was nested.
class CommandLineUser : public host::HostUser {
 public:
  void MessageAlert(const std::string& text) override;
  void ErrorAlert(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  const std::vector<std::string>& alerts() const { return alerts_; }
  int questions() const { return questions_; }

 private:
  std::vector<std::string> alerts_;
  int questions_ = 0;
};

// The Initial Settings a run asks for; absent fields stay as the dialog
// shows them.
struct InitialSettingsInput {
  std::optional<std::string> preset;
  std::optional<std::array<double, 2>> sheet_mm;
  std::optional<std::array<double, 4>> margins_mm;
  std::optional<int> align;
  std::optional<std::string> direction;  // option word, such as "left-to-right"
};

// A running host with the plug-in started and its panel shown.
// Whether the art is named `name` or was read from an element with that id.
bool NamedOrIdentified(const host::Art& art, const std::string& name);

class Session {
 public:
  Session() = default;
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Starts the host, loads the plug-in module from the plug-ins folder and
  // starts it (it reads its settings file and builds its panel). False with
  // *error set.
  bool Start(std::string* error);
  // Opens the drawing as the front document. 0, or the exit code with the
  // message printed.
  int Open(const std::string& path);
  // Shuts the plug-in down: it saves its settings.
  void Shutdown();

  host::HostApp& app() { return *app_; }
  host::Document* document() const { return document_; }
  CommandLineUser& user() { return user_; }
  WindowHandle panel_window() const;
  WindowHandle panel_control(int id) const;

  // Selects exactly these objects (a person's click and shift-clicks).
  void Select(const std::vector<host::Art*>& objects);
  // Every top-level object a person can select: visible and unlocked, on
  // visible, unlocked layers.
  std::vector<host::Art*> SelectableObjects() const;
  // The selectable object with that name or with that id in the drawing, or
  // null. An object's name is its label when it has one, so an editor's
  // element id must find it too.
  host::Art* FindObject(const std::string& name) const;

  // Selects the object, types the quantity into the panel and clicks "Set".
  bool SetQuantity(host::Art* object, int quantity, std::string* error);
  // Clicks a check box until it shows the state.
  bool SetCheckBox(int id, bool checked, std::string* error);
  bool ClickControl(int id, std::string* error);
  bool TypeInto(int id, const std::string& text, std::string* error);
  bool ChooseItem(int id, int index, std::string* error);
  bool IsChecked(int id) const;

  // Opens "Initial Settings..." from the panel's flyout menu, sets the fields
  // and clicks OK. 0, or kExitUsage with *error set (an unknown preset, a
  // direction that does not go with the alignment); the dialog is then
  // cancelled.
  int SetInitialSettings(const InitialSettingsInput& input, std::string* error);

 private:
  std::unique_ptr<host::HostApp> app_;
  PluginRef plugin_ = nullptr;
  host::Document* document_ = nullptr;
  CommandLineUser user_;
};

// The folder the plug-in module is loaded from: beside an installed command
// (PREFIX/lib/zolvane/plugins), else the build's. "" when neither holds it.
std::string PluginFolder();

}  // namespace cli
