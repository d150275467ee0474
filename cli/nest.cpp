// `zolvane nest`, `zolvane quantity` and `zolvane settings`: the plug-in
// driven through its panel and dialogs as a person drives it, the outputs
// written, the run summarised.
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include "cli/documents.h"
#include "cli/nest_options.h"
#include "cli/nest_report.h"
#include "cli/person.h"
#include "cli/terminal_progress.h"
#include "engine/improve.h"
#include "host/render.h"
#include "host/svg_common.h"
#include "host/svg_export.h"
#include "platform/files.h"
#include "platform/render.h"
#include "platform/window.h"
#include "platform/window_input.h"
#include "plugin/globals.h"
#include "settings/presets.h"
#include "settings/settings_file.h"
#include "ui/progress_dialog.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// --- Ctrl-C ---------------------------------------------------------------------

// Interrupts seen; the first one presses the progress dialog's "Abort", a
// second one ends the program at once.
std::atomic<int> g_interrupts{0};
// Interrupts that only ended the improvement pass, which keeps its best
// layout: they do not cancel the command.
std::atomic<int> g_interrupts_kept{0};

void OnInterrupt(int) {
  if (g_interrupts.fetch_add(1, std::memory_order_relaxed) >= 1) {
    signal(SIGINT, SIG_DFL);
    raise(SIGINT);
  }
}

bool Interrupted() {
  return g_interrupts.load(std::memory_order_relaxed) >
         g_interrupts_kept.load(std::memory_order_relaxed);
}

// Whether the progress dialog's message is the improvement's, in either
// language: the part of its text before the first figure.
bool ShowsImprovement(WindowHandle dialog) {
  const std::string text =
      platform::GetWindowText(platform::GetDialogItem(dialog, ui::kProgressMessageId));
  for (int16_t language : {0, 1}) {
    const std::string format = ui::GetProgressText(ui::ProgressText::kImproving, language);
    const std::string lead = format.substr(0, format.find('%'));
    if (!lead.empty() && text.rfind(lead, 0) == 0) return true;
  }
  return false;
}

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// --- watching the progress dialog ----------------------------------------------

// What the command does while the plug-in's run holds the user-interface
// thread: the run pumps messages every 100 ms, and a ticker thread posts one
// to a window of ours, so this runs on that thread between the run's slices.
struct RunWatch {
  TerminalProgress* display = nullptr;
  bool abort_pressed = false;
  bool abort_kept_layout = false;  // "Abort" pressed while the improvement ran
  double last_read = 0;
  // When the progress dialog was first seen and when it was destroyed: the
  // search runs in between.
  double dialog_seen = 0;
  double dialog_closed = 0;
  double clicked = 0;  // when "Nesting optimization" was clicked
  WindowHandle dialog = nullptr;
  WindowProc dialog_proc = nullptr;
};

RunWatch* g_watch = nullptr;

// Watches the progress dialog's end, then lets its own procedure go on.
intptr_t WatchedDialogProc(WindowHandle window, uint32_t message, uintptr_t wparam,
                           intptr_t lparam) {
  RunWatch* watch = g_watch;
  WindowProc own = watch ? watch->dialog_proc : nullptr;
  if (watch && message == platform::kMsgDestroy && window == watch->dialog) {
    watch->dialog_closed = Now();
    platform::SetWindowProc(window, own);
  }
  return platform::CallWindowProc(own, window, message, wparam, lparam);
}
constexpr uint32_t kMsgTick = platform::kMsgApp + 16;
constexpr char kTickClass[] = "ZolvaneCommandLineTicker";

void WatchTick() {
  RunWatch* watch = g_watch;
  if (!watch) return;
  WindowHandle dialog = FindProgressDialog();
  if (dialog && Interrupted() && !watch->abort_pressed) {
    // Ctrl-C is the person pressing "Abort". During the improvement that
    // ends the pass with its best layout, which the command then writes.
    watch->abort_kept_layout = ShowsImprovement(dialog);
    watch->abort_pressed = platform::Click(ProgressAbortButton(dialog));
  }
  const double now = Now();
  if (dialog && !watch->dialog) {
    // The run shows its progress from here on.
    watch->dialog = dialog;
    watch->dialog_seen = now;
    watch->display->Start(watch->clicked, now);
    watch->dialog_proc = platform::SetWindowProc(dialog, &WatchedDialogProc);
  }
  if (dialog && now - watch->last_read >= 0.25) {
    watch->last_read = now;
    int percent = ReadProgressPercent(dialog);
    if (percent >= 0) watch->display->SetPercent(percent, now);
  }
  watch->display->Tick(now);
}

intptr_t TickProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (message == kMsgTick) {
    WatchTick();
    return 0;
  }
  return platform::DefaultWindowProc(window, message, wparam, lparam);
}

// Posts a tick every 100 ms to a hidden window of the user-interface thread.
class Ticker {
 public:
  Ticker() {
    static bool registered = platform::RegisterWindowClass(kTickClass, &TickProc);
    (void)registered;
    platform::WindowDesc desc;
    desc.class_name = kTickClass;
    window_ = platform::CreateWindow(desc);
    thread_ = std::thread([this] {
      while (running_.load(std::memory_order_relaxed)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        platform::PostMessage(window_, kMsgTick);
      }
    });
  }
  ~Ticker() {
    running_.store(false, std::memory_order_relaxed);
    thread_.join();
    platform::DestroyWindow(window_);
  }

 private:
  WindowHandle window_ = nullptr;
  std::atomic<bool> running_{true};
  std::thread thread_;
};

// --- writing ---------------------------------------------------------------------

// The outputs are first written into a private folder and put in place
// together once every one of them was written, so that a failure or an
// interrupt leaves none of them behind.
class OutputSet {
 public:
  ~OutputSet() {
    std::error_code ec;
    if (!folder_.empty()) fs::remove_all(folder_, ec);
  }
  // A file for a writer to fill, to become path on CommitAll.
  bool Reserve(const std::string& path, std::string* temp, std::string* error) {
    if (folder_.empty()) {
      std::string pattern = (fs::temp_directory_path() / "zolvane-XXXXXX").string();
      if (!mkdtemp(pattern.data())) {
        *error = "cannot make a temporary folder in " + fs::temp_directory_path().string();
        return false;
      }
      folder_ = pattern;
    }
    *temp = folder_ + "/" + std::to_string(files_.size()) + fs::path(path).extension().string();
    files_.emplace_back(*temp, path);
    return true;
  }
  // Each file replaces its output the way every document is written (the
  // old file stays intact when a write fails).
  bool CommitAll(std::string* error) {
    for (const auto& [temp, path] : files_) {
      std::string bytes;
      if (platform::ReadWholeFile(temp, &bytes) != platform::FileStatus::kOk) {
        *error = temp + ": cannot read the written output back";
        return false;
      }
      if (!host::WriteFileReplacing(path, bytes, error)) return false;
    }
    files_.clear();
    return true;
  }

 private:
  std::string folder_;
  std::vector<std::pair<std::string, std::string>> files_;
};

bool WriteOutput(const host::Document& doc, const NestOutput& out, const std::string& temp,
                 const NestOptions& o, std::string* error) {
  switch (out.kind) {
    case OutputKind::kSvg:
      return host::ExportSvgFile(doc, temp, error);
    case OutputKind::kPdf:
      return host::WritePdf(doc, temp, error);
    case OutputKind::kPng: {
      host::PngOptions png;
      png.dpi = o.dpi;
      png.artboard = o.page - 1;
      return host::WritePng(doc, temp, png, error);
    }
  }
  return false;
}

// Every output must have a folder to go into, and no folder in its place,
// before the run starts.
int CheckOutputFolders(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
      std::fprintf(stderr, "zolvane: %s: cannot write the file: a folder has that name\n",
                   path.c_str());
      return kExitCannotWrite;
    }
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) continue;
    if (!fs::is_directory(folder, ec)) {
      std::fprintf(stderr, "zolvane: %s: cannot create the file: the folder %s does not exist\n",
                   path.c_str(), folder.string().c_str());
      return kExitCannotWrite;
    }
  }
  return 0;
}

// The settings the plug-in starts with: its defaults and its settings file.
PluginGlobals* LoadEffectiveSettings() {
  auto* g = new PluginGlobals{};
  StartupSeams seams{};
  seams.read_settings = &settings::ReadMainSettings;
  InitializeGlobals(g, nullptr, nullptr, seams);
  return g;
}

// How long each phase of a run took, in the order they ran.
class PhaseTimes {
 public:
  explicit PhaseTimes(double start) : last_(start) {}
  // The phase that ends now.
  void Mark(const std::string& name) {
    const double now = Now();
    Add(name, now - last_);
    last_ = now;
  }
  void Add(const std::string& name, double seconds) { phases_.emplace_back(name, seconds); }
  void Restart() { last_ = Now(); }
  std::string Format() const {
    std::string out = "timings:";
    double total = 0;
    for (const auto& [name, seconds] : phases_) total += seconds;
    for (const auto& [name, seconds] : phases_) {
      char text[96];
      std::snprintf(text, sizeof text, " %s %.3f s (%.0f%%),", name.c_str(), seconds,
                    total > 0 ? 100 * seconds / total : 0);
      out += text;
    }
    char text[64];
    std::snprintf(text, sizeof text, " total %.3f s\n", total);
    return out + text;
  }

 private:
  double last_;
  std::vector<std::pair<std::string, double>> phases_;
};

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "zolvane: %s\n", message.c_str());
  return code;
}

// Sets the panel's controls from the options, as a person clicks and types.
bool SetPanel(Session& s, const NestOptions& o, std::string* error) {
  if (o.outline_mode &&
      !s.ClickControl(*o.outline_mode ? ui::kPanelOutlineId : ui::kPanelRectangleId, error))
    return false;
  if (o.rotate_to_minimize_height &&
      !s.SetCheckBox(ui::kPanelInitialRotationId, *o.rotate_to_minimize_height, error))
    return false;
  if (o.rotation) {
    if (!s.SetCheckBox(ui::kPanelAnytimeRotationId, *o.rotation >= 0, error)) return false;
    if (*o.rotation >= 0 && !s.ChooseItem(ui::kPanelRotationStepId, *o.rotation, error))
      return false;
  }
  if (o.overlap && !s.SetCheckBox(ui::kPanelOverlapId, *o.overlap, error)) return false;
  if (o.spacing_mm && !s.TypeInto(ui::kPanelSpacingId, host::FormatNumber(*o.spacing_mm), error))
    return false;
  if (o.one_page && !s.SetCheckBox(ui::kPanelOnePageId, *o.one_page, error)) return false;
  return true;
}

// Whether art named or identified by `name` is the art or lies inside it.
bool Holds(const host::Art& art, const std::string& name) {
  if (NamedOrIdentified(art, name)) return true;
  for (const host::Art* child = art.first_child; child; child = child->next) {
    if (Holds(*child, name)) return true;
  }
  return false;
}

// Resolves ids or names to the drawing's top-level objects; with in_part, an
// id of art inside a group resolves to its top-level object.
int FindObjects(const Session& s, const std::vector<std::string>& names,
                std::vector<host::Art*>* out, bool in_part = false) {
  for (const std::string& name : names) {
    host::Art* art = s.FindObject(name);
    if (!art && in_part) {
      for (host::Art* top : s.SelectableObjects()) {
        if (Holds(*top, name)) art = top;
        if (art) break;
      }
    }
    // Several parts of one object select it once.
    if (art && in_part && std::find(out->begin(), out->end(), art) != out->end()) continue;
    if (!art) {
      std::string known;
      int shown = 0;
      for (host::Art* a : s.SelectableObjects()) {
        if (a->name.empty()) continue;
        if (shown++ == 8) {
          known += ", ...";
          break;
        }
        known += (known.empty() ? "" : ", ") + a->name;
      }
      return Fail(kExitUsage, "the drawing has no selectable top-level object \"" + name +
                                  "\" (objects: " + (known.empty() ? "none named" : known) + ")");
    }
    out->push_back(art);
  }
  return 0;
}

}  // namespace

int Nest(int argc, char** argv) {
  NestOptions o;
  if (int code = ParseNestOptions(argc, argv, &o); code != kParsedRun) return code;
  return RunNest(o);
}

int RunNest(const NestOptions& o) {
  const double started = Now();
  std::vector<std::string> paths;
  for (const NestOutput& out : o.outputs) paths.push_back(out.path);
  if (!o.report.empty()) paths.push_back(o.report);
  if (int code = CheckOutputFolders(paths)) return code;

  struct sigaction action {};
  action.sa_handler = &OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);

  // The improvement pass is asked of the plug-in through its environment;
  // without --improve none is asked, whatever the shell had set.
  if (o.improve_request.empty()) {
    unsetenv(kImproveVariable);
  } else {
    setenv(kImproveVariable, o.improve_request.c_str(), 1);
  }

  PhaseTimes times(started);
  Session session;
  std::string error;
  if (!session.Start(&error)) return Fail(kExitNothingNested, error);
  times.Mark("startup");
  if (int code = session.Open(o.input)) return code;
  times.Mark("import");

  std::vector<host::Art*> chosen;
  if (int code = FindObjects(session, o.select, &chosen, o.selection_in_part)) return code;
  if (o.select.empty() && !o.selection_in_part) chosen = session.SelectableObjects();
  std::vector<std::pair<host::Art*, int>> quantities;
  for (const auto& [name, n] : o.quantities) {
    std::vector<host::Art*> one;
    if (int code = FindObjects(session, {name}, &one)) return code;
    quantities.emplace_back(one[0], n);
  }

  if (o.preset || o.sheet_mm || o.margins_mm || o.align || o.direction) {
    InitialSettingsInput input{o.preset, o.sheet_mm, o.margins_mm, o.align, o.direction};
    if (int code = session.SetInitialSettings(input, &error)) return Fail(code, error);
  }
  if (!quantities.empty()) {
    // The quantity field is off while "1 page reproduction" is on.
    const bool one_page = session.IsChecked(ui::kPanelOnePageId);
    if (one_page && !session.SetCheckBox(ui::kPanelOnePageId, false, &error))
      return Fail(kExitNothingNested, error);
    for (const auto& [art, n] : quantities) {
      if (!session.SetQuantity(art, n, &error)) return Fail(kExitNothingNested, error);
    }
    if (one_page && !o.one_page && !session.SetCheckBox(ui::kPanelOnePageId, true, &error))
      return Fail(kExitNothingNested, error);
  }
  if (!SetPanel(session, o, &error)) return Fail(kExitNothingNested, error);
  if (Interrupted()) return Fail(kExitCancelled, "cancelled; nothing written");

  host::Document* doc = session.document();
  session.Select(chosen);
  std::vector<TrackedObject> objects = TrackObjects(*doc, chosen);
  int total = 0;
  for (const TrackedObject& t : objects) total += t.quantity;
  if (session.IsChecked(ui::kPanelOnePageId)) total = 0;  // the run decides how many fit

  times.Mark("settings");

  TerminalProgress display(stderr, ProgressModeFor(stderr, o.quiet), total);
  const size_t alerts_before = session.user().alerts().size();
  {
    RunWatch watch;
    watch.display = &display;
    g_watch = &watch;
    Ticker ticker;
    const double clicked = Now();
    watch.clicked = clicked;
    std::string click_error;
    session.ClickControl(ui::kPanelNestId, &click_error);
    const double returned = Now();
    display.Finish(returned);
    g_watch = nullptr;
    // Before the progress dialog shows, the run draws the group lines and
    // makes the copies; while it shows, the search runs; after it, the
    // copies are placed and the sheets laid out. The dialog is seen on the
    // first tick after it shows, within 0.1 s.
    if (watch.dialog_seen > 0 && watch.dialog_closed >= watch.dialog_seen) {
      times.Add("prepare", watch.dialog_seen - clicked);
      times.Add("search", watch.dialog_closed - watch.dialog_seen);
      times.Add("apply", returned - watch.dialog_closed);
    } else {
      times.Add("run", returned - clicked);
    }
    times.Restart();
    if (watch.abort_pressed && watch.abort_kept_layout) {
      g_interrupts_kept.store(1, std::memory_order_relaxed);
      if (!o.quiet)
        std::fprintf(stderr, "zolvane: improvement stopped; writing the best layout found\n");
    }
  }
  if (Interrupted()) {
    std::fprintf(stderr, "zolvane: cancelled; nothing written\n");
    return kExitCancelled;
  }
  NestReport report = CollectReport(*doc, objects, {0, 0, 0, 0});
  UntrackObjects(*doc);
  if (report.copies.empty()) {
    if (session.user().alerts().size() == alerts_before)
      std::fprintf(stderr, "zolvane: nothing was nested\n");
    return kExitNothingNested;
  }
  if (o.page > static_cast<int>(doc->artboards().size()))
    return Fail(kExitUsage, "--page " + std::to_string(o.page) + ": the run made " +
                                std::to_string(doc->artboards().size()) + " sheets");

  OutputSet set;
  for (const NestOutput& out : o.outputs) {
    std::string temp;
    if (!set.Reserve(out.path, &temp, &error) || !WriteOutput(*doc, out, temp, o, &error))
      return Fail(kExitCannotWrite, error);
    times.Mark(fs::path(out.path).extension().string().substr(1));
    if (Interrupted()) return Fail(kExitCancelled, "cancelled; nothing written");
  }
  // The plug-in shuts down and saves its settings; the report reads the
  // margins the run used from them.
  session.Shutdown();
  PluginGlobals* settings = LoadEffectiveSettings();
  std::array<double, 4> margins{settings->plate_margin_left, settings->plate_margin_top,
                                settings->plate_margin_right, settings->plate_margin_bottom};
  delete settings;
  // The document is closed with the host: the report was read before.
  report.margins = margins;
  for (SheetRecord& sheet : report.sheets) {
    double w = RectWidth(sheet.rect) / PointsPerMm - margins[0] - margins[2];
    double h = RectHeight(sheet.rect) / PointsPerMm - margins[1] - margins[3];
    sheet.nesting_area = w > 0 && h > 0 ? w * h : 0;
  }
  report.input = o.input;
  for (const NestOutput& out : o.outputs) report.outputs.push_back(out.path);
  report.elapsed = Now() - started;
  if (!o.report.empty()) {
    std::string temp;
    if (!set.Reserve(o.report, &temp, &error) ||
        !host::WriteFileReplacing(temp, FormatJsonReport(report, objects), &error))
      return Fail(kExitCannotWrite, error);
    report.outputs.push_back(o.report);
  }
  if (Interrupted()) return Fail(kExitCancelled, "cancelled; nothing written");
  if (!set.CommitAll(&error)) return Fail(kExitCannotWrite, error);
  if (!o.quiet) std::fputs(FormatSummary(report, objects).c_str(), stdout);
  if (o.timings) std::fputs(times.Format().c_str(), stderr);
  return kExitOk;
}

int Quantity(int argc, char** argv) {
  std::string in, out;
  std::vector<std::pair<std::string, int>> pairs;
  auto usage = [](const std::string& message) {
    std::fprintf(stderr, "zolvane quantity: %s\n%s", message.c_str(), kQuantityHelp);
    return kExitUsage;
  };
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kQuantityHelp, stdout);
      return kExitOk;
    }
  }
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-o") {
      if (i + 1 >= argc) return usage("-o needs a value");
      out = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return usage("unknown option " + arg);
    } else if (in.empty()) {
      in = arg;
    } else {
      size_t at = arg.rfind('=');
      double v = -1;
      if (at == std::string::npos || at == 0 || !host::ParseWholeNumber(arg.substr(at + 1), &v))
        return usage("\"" + arg + "\" is not ID=N");
      if (v < 0 || v > 100000 || v != static_cast<int>(v))
        return usage(arg + ": the quantity must be a whole number 0 to 100000");
      pairs.emplace_back(arg.substr(0, at), static_cast<int>(v));
    }
  }
  if (in.empty()) return usage("no input file");
  if (pairs.empty()) return usage("no ID=N to set");
  if (out.empty()) return usage("no output file (-o OUT.svg)");
  if (out.size() < 4 ||
      (out.substr(out.size() - 4) != ".svg" && out.substr(out.size() - 4) != ".SVG"))
    return usage("the output must end with .svg");
  return RunQuantity(in, out, pairs, false);
}

int RunQuantity(const std::string& in, const std::string& out,
                const std::vector<std::pair<std::string, int>>& pairs, bool in_part) {
  if (int code = CheckOutputFolders({out})) return code;
  Session session;
  std::string error;
  if (!session.Start(&error)) return Fail(kExitNothingNested, error);
  if (int code = session.Open(in)) return code;
  if (session.IsChecked(ui::kPanelOnePageId) &&
      !session.SetCheckBox(ui::kPanelOnePageId, false, &error))
    return Fail(kExitNothingNested, error);
  for (const auto& [name, n] : pairs) {
    std::vector<host::Art*> one;
    if (int code = FindObjects(session, {name}, &one, in_part)) return code;
    if (!session.SetQuantity(one[0], n, &error)) return Fail(kExitNothingNested, error);
  }
  if (!host::ExportSvgFile(*session.document(), out, &error)) return Fail(kExitCannotWrite, error);
  return kExitOk;
}

int Settings(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kSettingsHelp, stdout);
      return kExitOk;
    }
    std::fprintf(stderr, "zolvane settings: unknown %s %s\n%s",
                 arg[0] == '-' ? "option" : "argument", arg.c_str(), kSettingsHelp);
    return kExitUsage;
  }
  const std::string path = settings::MainSettingsPath();
  PluginGlobals* g = LoadEffectiveSettings();
  std::error_code ec;
  std::printf("settings file: %s%s\n", path.empty() ? "(no Documents folder)" : path.c_str(),
              !path.empty() && fs::exists(path, ec) ? "" : " (not written yet: defaults)");
  auto mm = [](double v) { return host::FormatNumber(v); };
  std::printf("sheet:       %s x %s mm\n", mm(g->plate_width).c_str(), mm(g->plate_height).c_str());
  std::printf("margins:     left %s, top %s, right %s, bottom %s mm\n",
              mm(g->plate_margin_left).c_str(), mm(g->plate_margin_top).c_str(),
              mm(g->plate_margin_right).c_str(), mm(g->plate_margin_bottom).c_str());
  std::printf("spacing:     %s mm\n", mm(g->cur_param.collection_margin).c_str());
  const int align = g->toward_baseline >= 0 && g->toward_baseline <= 3 ? g->toward_baseline : 0;
  std::printf("align:       %s\n", kAlignWords[align]);
  std::printf("direction:   %s\n", DirectionWord(align, g->toward_mode != 0));
  std::printf("mode:        %s\n", g->outline_mode ? "outline" : "rectangle");
  std::printf("rotate to minimize height: %s\n", g->enable_initial_rotation ? "on" : "off");
  const int step = g->anytime_rotation_mode >= 0 && g->anytime_rotation_mode < 6
                       ? kRotationSteps[g->anytime_rotation_mode]
                       : 0;
  if (g->enable_anytime_rotation)
    std::printf("rotation:    %d\n", step);
  else
    std::printf("rotation:    off\n");
  std::printf("overlap:     %s\n", g->consider_object_overlap ? "on" : "off");
  std::printf("one page:    %s\n", g->one_page_reproduction ? "on" : "off");
  std::printf("language:    %s\n", g->language ? "English" : "Japanese");
  std::printf("preset:      %s\n", g->preset_path[0] ? g->preset_path : "none");
  std::vector<std::string> names = settings::ListPresetNames();
  std::printf("presets (%s):", settings::PresetFolder().c_str());
  if (names.empty()) std::printf(" none");
  for (const std::string& n : names) std::printf(" \"%s\"", n.c_str());
  std::printf("\n");
  delete g;
  return kExitOk;
}

}  // namespace cli
