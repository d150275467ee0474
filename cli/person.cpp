// The person in front of the host, played by the command line.
#include "cli/person.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>

#include "cli/documents.h"
#include "cli/nest_options.h"
#include "host/builder.h"
#include "host/svg_common.h"
#include "host/svg_import.h"
#include "host/svg_source.h"
#include "platform/dialog.h"
#include "platform/window.h"
#include "platform/window_input.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// The folder of the running command.
std::string ProgramFolder() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  path[n] = '\0';
  return fs::path(path).parent_path().string();
}

std::string FormatMm(double value) {
  return host::FormatNumber(value);
}

// What the Initial Settings dialog is to be told, and how far it got.
struct DialogScript {
  const InitialSettingsInput* input = nullptr;
  int stage = 0;
  int result = 0;
  std::string error;
};

void Fail(DialogScript* script, WindowHandle dialog, int code, const std::string& error) {
  script->result = code;
  script->error = error;
  platform::Click(platform::GetDialogItem(dialog, platform::kIdCancel));
}

// Called by the dialog's modal loop whenever it waits for input: each stage
// posts what a person's hands do next, the loop delivers it, and the next
// stage sees the dialog as it then is.
bool DriveInitialSettings(WindowHandle dialog, void* context) {
  auto* script = static_cast<DialogScript*>(context);
  const InitialSettingsInput& in = *script->input;
  WindowHandle presets = platform::GetDialogItem(dialog, ui::kPresetListId);
  if (presets == nullptr) return false;  // not the dialog this script is for
  using platform::GetDialogItem;
  switch (script->stage++) {
    case 0:
      if (in.preset) {
        // The names come before the separator and the three commands.
        const int names = platform::ComboCount(presets) - 4;
        for (int i = 0; i < names; ++i) {
          if (platform::ComboItemText(presets, i) == *in.preset) {
            platform::ChooseComboItem(presets, i);
            return true;
          }
        }
        std::string listed;
        for (int i = 0; i < names; ++i) {
          std::string name = platform::ComboItemText(presets, i);
          if (name == ui::kUntitledPreset) continue;
          listed += (listed.empty() ? "" : ", ") + name;
        }
        Fail(script, dialog, kExitUsage,
             "--preset: there is no preset named \"" + *in.preset +
                 "\" (saved presets: " + (listed.empty() ? "none" : listed) + ")");
        return true;
      }
      [[fallthrough]];
    case 1:
      script->stage = 2;
      if (in.sheet_mm) {
        platform::TypeText(GetDialogItem(dialog, ui::kPlateWidthId), FormatMm((*in.sheet_mm)[0]));
        platform::TypeText(GetDialogItem(dialog, ui::kPlateHeightId), FormatMm((*in.sheet_mm)[1]));
      }
      if (in.margins_mm) {
        const int ids[] = {ui::kMarginLeftId, ui::kMarginTopId, ui::kMarginRightId,
                           ui::kMarginBottomId};
        for (int k = 0; k < 4; ++k)
          platform::TypeText(GetDialogItem(dialog, ids[k]), FormatMm((*in.margins_mm)[k]));
      }
      if (in.align) platform::ChooseComboItem(GetDialogItem(dialog, ui::kAlignmentId), *in.align);
      return true;
    case 2: {
      if (in.direction) {
        // The alignment as the dialog now shows it decides which two
        // directions its radio buttons offer.
        int align = platform::ComboGetSelection(GetDialogItem(dialog, ui::kAlignmentId));
        if (align < 0 || align > 3) align = 0;
        int mode = -1;
        for (int m : {0, 1}) {
          if (*in.direction == DirectionWord(align, m)) mode = m;
        }
        if (mode < 0) {
          Fail(script, dialog, kExitUsage,
               "--direction " + *in.direction + " does not go with the alignment " +
                   kAlignWords[align] + ": choose " + DirectionWord(align, 0) + " or " +
                   DirectionWord(align, 1));
          return true;
        }
        platform::Click(GetDialogItem(dialog, ui::kDirectionFirstId + mode));
      }
      platform::Click(GetDialogItem(dialog, platform::kIdOk));
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

// --- the user ----------------------------------------------------------------------

namespace {
AlertStyle g_alert_style = AlertStyle::kTerminal;

void ShowAlert(const std::string& text) {
  if (g_alert_style == AlertStyle::kTerminal) {
    std::fprintf(stderr, "zolvane: %s\n", text.c_str());
    return;
  }
  // The system's alerts break lines with a carriage return.
  std::string shown = text;
  for (char& c : shown) {
    if (c == '\r') c = '\n';
  }
  std::fprintf(stderr, "%s\n", shown.c_str());
}
}  // namespace

void SetAlertStyle(AlertStyle style) {
  g_alert_style = style;
}

void CommandLineUser::MessageAlert(const std::string& text) {
  alerts_.push_back(text);
  ShowAlert(text);
}

void CommandLineUser::ErrorAlert(const std::string& text) {
  alerts_.push_back(text);
  ShowAlert(text);
}

bool CommandLineUser::AskYesNo(const std::string&) {
  ++questions_;
  return true;
}

// --- the session ------------------------------------------------------------------

std::string PluginFolder() {
  std::vector<std::string> candidates;
  const std::string program = ProgramFolder();
  if (!program.empty()) candidates.push_back(program + "/../lib/zolvane/plugins");
#ifdef ZOLVANE_BUILD_PLUGIN_DIR
  candidates.push_back(ZOLVANE_BUILD_PLUGIN_DIR);
#endif
  for (const std::string& folder : candidates) {
    std::error_code ec;
    if (fs::is_regular_file(fs::path(folder) / kModuleFileName, ec)) {
      return fs::weakly_canonical(folder, ec).string();
    }
  }
  return "";
}

Session::~Session() {
  Shutdown();
}

bool Session::Start(std::string* error) {
  const std::string folder = PluginFolder();
  if (folder.empty()) {
    *error = std::string("cannot find the plug-in ") + kModuleFileName +
             " (looked in lib/zolvane/plugins beside the command and in the build)";
    return false;
  }
  app_ = std::make_unique<host::HostApp>();
  app_->SetUser(&user_);
  std::string message;
  if (app_->LoadPlugin(folder + "/" + kModuleFileName, &plugin_, &message) != kNoErr) {
    *error = message;
    return false;
  }
  if (HostErr err = app_->Start()) {
    *error = "the plug-in did not start (error " + std::to_string(err) + ")";
    return false;
  }
  if (panel_window() == nullptr) {
    *error = "the plug-in started without its panel";
    return false;
  }
  return true;
}

int Session::Open(const std::string& path) {
  host::Document* doc = host::Documents().New(path);
  std::string error;
  host::SvgStatus status = host::ImportSvgFile(path, *doc, &error);
  if (status != host::SvgStatus::kOk) {
    std::fprintf(stderr, "zolvane: %s\n", error.c_str());
    app_->CloseDocument(doc);
    return kExitBadInput;
  }
  document_ = doc;
  app_->DocumentOpened(doc);
  return 0;
}

void Session::Shutdown() {
  if (!app_) return;
  platform::SetModalIdleResponder(nullptr, nullptr);
  // The host's end shuts the plug-in down (it saves its settings) and
  // closes the documents.
  app_.reset();
  document_ = nullptr;
}

WindowHandle Session::panel_window() const {
  if (!app_) return nullptr;
  PanelRef panel = app_->registries().FindPanel(kPanelId);
  const host::PanelRecord* record = panel ? app_->registries().panels.Get(panel) : nullptr;
  return record ? record->window : nullptr;
}

WindowHandle Session::panel_control(int id) const {
  WindowHandle panel = panel_window();
  return panel ? platform::GetDialogItem(panel, id) : nullptr;
}

std::vector<host::Art*> Session::SelectableObjects() const {
  std::vector<host::Art*> out;
  if (!document_) return out;
  for (int32_t i = 0; i < document_->LayerCount(); ++i) {
    const host::Layer* layer = document_->NthLayer(i);
    if (!layer->visible || !layer->editable) continue;
    for (host::Art* art : host::TopLevelArt(*layer)) {
      if (!art->hidden && !art->locked) out.push_back(art);
    }
  }
  return out;
}

bool NamedOrIdentified(const host::Art& art, const std::string& name) {
  if (art.name == name) return true;
  if (!art.origin.element) return false;
  pugi::xml_attribute id = host::SourceNode(art.origin.element).attribute("id");
  return id && name == id.value();
}

host::Art* Session::FindObject(const std::string& name) const {
  for (host::Art* art : SelectableObjects()) {
    if (NamedOrIdentified(*art, name)) return art;
  }
  return nullptr;
}

void Session::Select(const std::vector<host::Art*>& objects) {
  app_->Command([&] {
    document_->DeselectAll();
    for (host::Art* art : objects) host::SelectDeep(*document_, art, true);
    return kNoErr;
  });
  platform::PumpAllMessages();
}

bool Session::ClickControl(int id, std::string* error) {
  WindowHandle control = panel_control(id);
  if (!platform::Click(control)) {
    *error = "the panel's control " + std::to_string(id) + " cannot be clicked";
    return false;
  }
  platform::PumpAllMessages();
  return true;
}

bool Session::IsChecked(int id) const {
  return platform::GetCheck(panel_control(id)) == platform::kChecked;
}

bool Session::SetCheckBox(int id, bool checked, std::string* error) {
  if (IsChecked(id) == checked) return true;
  if (!ClickControl(id, error)) return false;
  if (IsChecked(id) != checked) {
    *error = "the panel's check box " + std::to_string(id) + " did not change";
    return false;
  }
  return true;
}

bool Session::TypeInto(int id, const std::string& text, std::string* error) {
  if (!platform::TypeText(panel_control(id), text)) {
    *error = "the panel's field " + std::to_string(id) + " takes no input";
    return false;
  }
  platform::PumpAllMessages();
  return true;
}

bool Session::ChooseItem(int id, int index, std::string* error) {
  if (!platform::ChooseComboItem(panel_control(id), index)) {
    *error = "the panel's list " + std::to_string(id) + " cannot be opened";
    return false;
  }
  platform::PumpAllMessages();
  return true;
}

bool Session::SetQuantity(host::Art* object, int quantity, std::string* error) {
  Select({object});
  return TypeInto(ui::kPanelQuantityId, std::to_string(quantity), error) &&
         ClickControl(ui::kPanelSetId, error);
}

int Session::SetInitialSettings(const InitialSettingsInput& input, std::string* error) {
  PanelRef panel = app_->registries().FindPanel(kPanelId);
  DialogScript script;
  script.input = &input;
  platform::SetModalIdleResponder(&DriveInitialSettings, &script);
  HostErr err = app_->ChooseFlyoutItem(panel, kFlyoutInitialSettingsId);
  platform::SetModalIdleResponder(nullptr, nullptr);
  platform::PumpAllMessages();
  if (script.result != 0) {
    *error = script.error;
    return script.result;
  }
  if (err != kNoErr || script.stage < 3) {
    *error = "the Initial Settings dialog did not open from the panel's menu";
    return kExitNothingNested;
  }
  return 0;
}

}  // namespace cli
