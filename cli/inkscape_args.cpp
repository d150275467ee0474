// The zolvane command as Inkscape's extension program: Inkscape's arguments
// read into `zolvane nest` and `zolvane quantity` runs, the document back on
// standard output, the reasons of a refusal on standard error.
#include "cli/inkscape_args.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "cli/documents.h"
#include "cli/nest_options.h"
#include "cli/person.h"
#include "host/svg_common.h"
#include "platform/files.h"
#include "plugin/globals.h"
#include "settings/settings_file.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// Texts the extension itself shows, besides the plug-in's alerts.
enum class InkscapeText { kBadDocument, kNothingNested, kNothingToSet, kBadArguments, kCannotRun };

struct TextPair {
  InkscapeText id;
  const char* english;
  const char* japanese;
};

constexpr TextPair kInkscapeTexts[] = {
    {InkscapeText::kBadDocument, "Zolvane cannot read this document.",
     "Zolvane はこのドキュメントを読み込めません。"},
    {InkscapeText::kNothingNested, "Nothing was nested. The document is unchanged.",
     "何も集版されませんでした。ドキュメントは変更されていません。"},
    {InkscapeText::kNothingToSet, "Select the objects whose quantity is to be set.",
     "数量を設定するオブジェクトを選択してください。"},
    {InkscapeText::kBadArguments, "Zolvane was run with arguments it does not know.",
     "Zolvane が知らない引数で実行されました。"},
    {InkscapeText::kCannotRun, "Zolvane cannot run.", "Zolvane を実行できません。"},
};

const char* Text(InkscapeText id, bool japanese) {
  for (const TextPair& t : kInkscapeTexts) {
    if (t.id == id) return japanese ? t.japanese : t.english;
  }
  return "";
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// Inkscape writes booleans as true and false.
bool ReadBool(const std::string& name, const std::string& value, bool* out, std::string* error) {
  if (value == "true" || value == "false") {
    *out = value == "true";
    return true;
  }
  *error = "--" + name + " must be true or false, not \"" + value + "\"";
  return false;
}

// Decimal numbers always come with a point, whatever the locale.
bool ReadNumber(const std::string& name, const std::string& value, double* out,
                std::string* error) {
  if (host::ParseWholeNumber(value, out)) return true;
  *error = "--" + name + " must be a number, not \"" + value + "\"";
  return false;
}

// The settings the plug-in starts with. Without a settings file (the plug-in
// never ran for this user) the locale decides the language, as it decided
// the dialog's, and the file is written so that the run reads it.
PluginGlobals* SettingsForRun() {
  auto* g = new PluginGlobals{};
  StartupSeams seams{};
  seams.read_settings = &settings::ReadMainSettings;
  InitializeGlobals(g, nullptr, nullptr, seams);
  const std::string path = settings::MainSettingsPath();
  std::error_code ec;
  if (!path.empty() && !fs::exists(path, ec)) {
    g->language = LocaleIsJapanese() ? kLanguageJapanese : kLanguageEnglish;
    fs::create_directories(fs::path(path).parent_path(), ec);
    settings::SaveSettings(*g, nullptr);
  }
  return g;
}

// Standard error collected while a run writes to it, so that what reaches
// Inkscape is only the person's message.
class CapturedStderr {
 public:
  CapturedStderr() {
    std::fflush(stderr);
    file_ = std::tmpfile();
    saved_ = dup(2);
    if (file_ && saved_ >= 0) dup2(fileno(file_), 2);
  }
  ~CapturedStderr() { Release(); }
  // Gives standard error back and returns what was written.
  std::string Release() {
    std::string text;
    std::fflush(stderr);
    if (saved_ >= 0) {
      dup2(saved_, 2);
      close(saved_);
      saved_ = -1;
    }
    if (file_) {
      std::rewind(file_);
      char buffer[4096];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0) text.append(buffer, n);
      std::fclose(file_);
      file_ = nullptr;
    }
    return text;
  }

 private:
  std::FILE* file_ = nullptr;
  int saved_ = -1;
};

// A private folder for the run's output, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "zolvane-inkscape-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Writes the file whole on standard output.
bool WriteToStdout(const std::string& path) {
  std::string bytes;
  if (platform::ReadWholeFile(path, &bytes) != platform::FileStatus::kOk) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
         std::fflush(stdout) == 0;
}

// Tells the person why the document stays as it was: the run's own messages,
// headed by what the extension knows of the failure.
void Refuse(int code, const std::string& messages, bool japanese) {
  std::string text = messages;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  if (code == kExitBadInput) {
    text =
        std::string(Text(InkscapeText::kBadDocument, japanese)) + (text.empty() ? "" : "\n" + text);
  } else if (text.empty()) {
    text = Text(InkscapeText::kNothingNested, japanese);
  }
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

bool ReadInkscapeArgs(int argc, char** argv, InkscapeArgs* out, std::string* error) {
  *out = InkscapeArgs{};
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i == argc - 1 && !StartsWith(arg, "--")) {
      out->document = arg;
      break;
    }
    const size_t eq = arg.find('=');
    if (!StartsWith(arg, "--") || eq == std::string::npos || eq == 2) {
      *error = "\"" + arg + "\" is not --name=value";
      return false;
    }
    std::string name = arg.substr(2, eq - 2);
    std::string value = arg.substr(eq + 1);
    if (name == "id") {
      if (!value.empty()) out->ids.push_back(value);
    } else {
      out->params.emplace_back(std::move(name), std::move(value));
    }
  }
  if (out->document.empty()) {
    *error = "no document: the last argument names the document";
    return false;
  }
  return true;
}

bool NestWordsFor(const InkscapeArgs& args, int align_remembered, std::vector<std::string>* words,
                  std::string* error) {
  words->clear();
  std::optional<bool> rotation;
  std::string step;
  std::optional<double> sheet[2];
  std::optional<double> margins[4];
  std::optional<int> align;
  std::string direction;
  const char* const kMarginNames[] = {"margin_left", "margin_top", "margin_right", "margin_bottom"};
  for (const auto& [name, value] : args.params) {
    bool on = false;
    double number = 0;
    if (name == "tab") {
      continue;  // the notebook page the dialog showed
    } else if (name == "mode") {
      if (value != "rectangle" && value != "outline") {
        *error = "--mode must be rectangle or outline, not \"" + value + "\"";
        return false;
      }
      words->push_back("--mode=" + value);
    } else if (name == "rotate_to_minimize_height" || name == "overlap" || name == "one_page") {
      if (!ReadBool(name, value, &on, error)) return false;
      std::string option = name == "rotate_to_minimize_height" ? "rotate-to-minimize-height"
                           : name == "one_page"                ? "one-page"
                                                               : name;
      words->push_back((on ? "--" : "--no-") + option);
    } else if (name == "rotation") {
      if (!ReadBool(name, value, &on, error)) return false;
      rotation = on;
    } else if (name == "rotation_step") {
      step = value;
    } else if (name == "spacing") {
      if (!ReadNumber(name, value, &number, error)) return false;
      words->push_back("--spacing=" + host::FormatNumber(number));
    } else if (name == "improve") {
      // Seconds the improvement pass may take; 0 leaves the greedy layout.
      if (!ReadNumber(name, value, &number, error)) return false;
      if (number < 0) {
        *error = "--improve must be 0 or more seconds, not \"" + value + "\"";
        return false;
      }
      if (number > 0) words->push_back("--improve=" + host::FormatNumber(number));
    } else if (name == "sheet_width" || name == "sheet_height") {
      if (!ReadNumber(name, value, &number, error)) return false;
      sheet[name == "sheet_height"] = number;
    } else if (name == "align") {
      align = -1;
      for (int k = 0; k < 4; ++k) {
        if (value == kAlignWords[k]) align = k;
      }
      if (*align < 0) {
        *error = "--align must be top, bottom, left or right, not \"" + value + "\"";
        return false;
      }
      words->push_back("--align=" + value);
    } else if (name == "direction") {
      if (value != "forward" && value != "backward") {
        *error = "--direction must be forward or backward, not \"" + value + "\"";
        return false;
      }
      direction = value;
    } else {
      bool margin = false;
      for (int k = 0; k < 4; ++k) {
        if (name != kMarginNames[k]) continue;
        if (!ReadNumber(name, value, &number, error)) return false;
        margins[k] = number;
        margin = true;
      }
      if (!margin) {
        *error = "the Nesting dialog has no parameter --" + name;
        return false;
      }
    }
  }
  if (rotation) words->push_back("--rotation=" + (*rotation ? step : std::string("off")));
  if (rotation && *rotation && step.empty()) {
    *error = "--rotation=true needs --rotation_step";
    return false;
  }
  if (sheet[0] || sheet[1]) {
    if (!sheet[0] || !sheet[1]) {
      *error = "the sheet needs both --sheet_width and --sheet_height";
      return false;
    }
    words->push_back("--sheet=" + host::FormatNumber(*sheet[0]) + "x" +
                     host::FormatNumber(*sheet[1]));
  }
  if (margins[0] || margins[1] || margins[2] || margins[3]) {
    std::string list;
    for (int k = 0; k < 4; ++k) {
      if (!margins[k]) {
        *error = std::string("the margins need all four, --") + kMarginNames[k] + " is missing";
        return false;
      }
      list += (k ? "," : "") + host::FormatNumber(*margins[k]);
    }
    words->push_back("--margins=" + list);
  }
  if (!direction.empty()) {
    // The dialog's two directions are the two the alignment offers.
    const int a =
        align.value_or(align_remembered >= 0 && align_remembered <= 3 ? align_remembered : 0);
    words->push_back(std::string("--direction=") + DirectionWord(a, direction == "backward"));
  }
  return true;
}

bool QuantityFor(const InkscapeArgs& args, int* quantity, std::string* error) {
  bool found = false;
  for (const auto& [name, value] : args.params) {
    if (name != "quantity") {
      *error = "the Set quantity dialog has no parameter --" + name;
      return false;
    }
    double v = -1;
    if (!host::ParseWholeNumber(value, &v) || v < 0 || v > 100000 || v != static_cast<int>(v)) {
      *error = "--quantity must be a whole number 0 to 100000, not \"" + value + "\"";
      return false;
    }
    *quantity = static_cast<int>(v);
    found = true;
  }
  if (!found) *error = "no --quantity";
  return found;
}

bool LocaleIsJapanese() {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return StartsWith(value, "ja");
  }
  return false;
}

int InkscapeMain(const std::string& action, int argc, char** argv) {
  SetAlertStyle(AlertStyle::kBare);
  PluginGlobals* g = SettingsForRun();
  const bool japanese = g->language == kLanguageJapanese;
  const int align = g->toward_baseline;
  delete g;

  InkscapeArgs args;
  std::string error;
  std::vector<std::string> words;
  int quantity = 0;
  bool ok = ReadInkscapeArgs(argc, argv, &args, &error);
  if (ok && action == "nest") ok = NestWordsFor(args, align, &words, &error);
  if (ok && action == "quantity") ok = QuantityFor(args, &quantity, &error);
  if (!ok) {
    std::fprintf(stderr, "%s\n%s\n", Text(InkscapeText::kBadArguments, japanese), error.c_str());
    return kExitUsage;
  }
  TempFolder folder;
  if (folder.path().empty()) {
    std::fprintf(stderr, "%s\ncannot make a temporary folder in %s\n",
                 Text(InkscapeText::kCannotRun, japanese),
                 fs::temp_directory_path().string().c_str());
    return kExitCannotWrite;
  }
  const std::string out = folder.path() + "/document.svg";

  int code = kExitOk;
  CapturedStderr captured;
  if (action == "nest") {
    // The same road as `zolvane nest IN -o OUT --quiet [options]`.
    std::vector<std::string> all = {args.document, "-o", out, "--quiet"};
    all.insert(all.end(), words.begin(), words.end());
    std::vector<char*> pointers;
    for (std::string& w : all) pointers.push_back(w.data());
    NestOptions options;
    code = ParseNestOptions(static_cast<int>(pointers.size()), pointers.data(), &options);
    if (code == kParsedRun) {
      options.select = args.ids;
      options.selection_in_part = true;
      code = RunNest(options);
    }
  } else {
    // `zolvane quantity IN ID=N ... -o OUT` for every selected object.
    std::vector<std::pair<std::string, int>> pairs;
    for (const std::string& id : args.ids) pairs.emplace_back(id, quantity);
    if (pairs.empty()) {
      std::fprintf(stderr, "%s\n", Text(InkscapeText::kNothingToSet, japanese));
      code = kExitNothingNested;
    } else {
      code = RunQuantity(args.document, out, pairs, true);
    }
  }
  const std::string messages = captured.Release();
  if (code != kExitOk) {
    Refuse(code, messages, japanese);
    return code;
  }
  if (!WriteToStdout(out)) {
    std::fprintf(stderr, "%s\ncannot read the written document back\n",
                 Text(InkscapeText::kCannotRun, japanese));
    return kExitCannotWrite;
  }
  // What the run told the person on success (such as how many copies one
  // page holds) reaches them too.
  if (!messages.empty()) std::fputs(messages.c_str(), stderr);
  return kExitOk;
}

}  // namespace cli
