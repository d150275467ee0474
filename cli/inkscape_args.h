// The zolvane command run by Inkscape as the program of its extension: the
// arguments Inkscape passes (the selection, the dialog's parameters, the
// document) read into the command's own options, the document written back
// on standard output, errors as the alert text on standard error.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cli {

// The names Inkscape runs the command by (links in the extension's folder);
// the name says which of the extension's dialogs ran it.
inline constexpr char kInkscapeNestProgram[] = "zolvane-inkscape-nest";
inline constexpr char kInkscapeQuantityProgram[] = "zolvane-inkscape-quantity";

// What Inkscape passes: --id=ID once per selected object in selection order,
// every parameter as --name=value in the .inx file's order, and last the
// path of a temporary copy of the document.
struct InkscapeArgs {
  std::vector<std::string> ids;
  std::vector<std::pair<std::string, std::string>> params;
  std::string document;
};

// Reads Inkscape's arguments. False with *error set when they are not what
// Inkscape passes (no document, a word that is no --name=value).
bool ReadInkscapeArgs(int argc, char** argv, InkscapeArgs* out, std::string* error);

// The `zolvane nest` options for the parameters of the "Nesting" dialog
// (zolvane_nest.inx), as --name=value words. align_remembered is the
// alignment the plug-in remembers (0 top .. 3 right), used for the
// direction when the parameters do not name the alignment. False with
// *error set for a parameter the dialog does not have or a bad value.
bool NestWordsFor(const InkscapeArgs& args, int align_remembered, std::vector<std::string>* words,
                  std::string* error);

// The quantity of the "Set quantity" dialog (zolvane_quantity.inx), 0 to
// 100000. False with *error set when it is missing or no such number.
bool QuantityFor(const InkscapeArgs& args, int* quantity, std::string* error);

// Whether the locale's messages are Japanese: the first of LANGUAGE,
// LC_ALL, LC_MESSAGES and LANG that is set, as gettext reads them.
bool LocaleIsJapanese();

// Runs the command as Inkscape's extension: action "nest" or "quantity",
// args after the program's name. Writes the whole new document on standard
// output, or nothing (the document stays as it was) with the reason on
// standard error. Returns the exit code, which Inkscape ignores.
int InkscapeMain(const std::string& action, int argc, char** argv);

}  // namespace cli
