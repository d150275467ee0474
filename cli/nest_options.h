// The command line of `zolvane nest`: one table of options with their units
// and defaults, the parsed record, and the checks made before anything runs.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// Output formats, by the output name's extension.
enum class OutputKind { kSvg, kPdf, kPng };

struct NestOutput {
  std::string path;
  OutputKind kind;
};

// The rotation steps of the panel's combo box, in its order (the index is
// the combo box item).
inline constexpr int kRotationSteps[] = {180, 90, 45, 30, 15, 10};

// What the command line asks for. An option that is not given is absent:
// the plug-in then uses the setting it remembered.
struct NestOptions {
  std::string input;
  std::vector<NestOutput> outputs;
  std::vector<std::string> select;                      // ids or names; empty: every object
  std::vector<std::pair<std::string, int>> quantities;  // id or name, quantity
  std::optional<int> outline_mode;                      // 0 rectangle, 1 outline
  std::optional<bool> rotate_to_minimize_height;
  std::optional<int> rotation;  // -1 off, else index of kRotationSteps
  std::optional<bool> overlap;
  std::optional<double> spacing_mm;
  std::optional<bool> one_page;
  std::optional<std::array<double, 2>> sheet_mm;    // width, height
  std::optional<std::array<double, 4>> margins_mm;  // left, top, right, bottom
  std::optional<int> align;                         // 0 top, 1 bottom, 2 left, 3 right
  std::optional<std::string> direction;             // as typed: "left-to-right", ...
  std::optional<std::string> preset;
  int page = 0;  // PNG of one sheet (1 is the first); 0 all
  double dpi = 96;
  std::string report;  // JSON report file, "" for none
  bool quiet = false;
  bool timings = false;  // phase times on stderr
  // Set by the Inkscape mode, never by an option: the selection is exactly
  // `select` (empty: nothing is selected), and an id of art inside a group
  // stands for its top-level object, as the host's "selected in part" does.
  bool selection_in_part = false;
  // The improvement pass, as typed; improve_request is what the plug-in is
  // handed (engine/improve.h), "" for no pass.
  std::optional<std::string> improve_seconds, improve_seed, improve_evaluations;
  std::string improve_request;
};

// Names of the alignments as the Initial Settings dialog lists them, and
// the two directions it offers for each (index = toward_mode), as option words.
inline constexpr const char* kAlignWords[] = {"top", "bottom", "left", "right"};
const char* DirectionWord(int align, int toward_mode);

// What ParseNestOptions returns when the command is to run.
inline constexpr int kParsedRun = -1;
// Parses the words after `nest`. Returns kParsedRun and fills *options, or
// the exit code to end with: kExitOk after --help (printed on stdout),
// kExitUsage with the message on stderr.
int ParseNestOptions(int argc, char** argv, NestOptions* options);

// Runs `zolvane nest` with parsed options: the plug-in driven through its
// panel, the outputs written. Returns the exit code.
int RunNest(const NestOptions& options);

// The help text of `zolvane nest`: every option with its unit and default.
const std::string& NestHelp();

// The help of `zolvane quantity` and `zolvane settings`.
extern const char kQuantityHelp[];
extern const char kSettingsHelp[];

}  // namespace cli
