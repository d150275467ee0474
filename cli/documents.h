// The `zolvane` commands that read and write documents: convert, info, and
// nest, quantity and settings through the plug-in.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cli {

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;          // the command line is wrong
constexpr int kExitBadInput = 2;       // an input file cannot be read or is not acceptable
constexpr int kExitCannotWrite = 3;    // the output file could not be written
constexpr int kExitNothingNested = 4;  // the plug-in nested nothing (its alert says why)
constexpr int kExitCancelled = 130;    // interrupted (Ctrl-C): nothing written

// `zolvane convert IN.svg -o OUT.svg|OUT.pdf|OUT.png [--dpi N] [--artboard N]`.
// args are the words after the command's name.
int Convert(int argc, char** argv);
// `zolvane info IN.svg`.
int Info(int argc, char** argv);
// `zolvane nest IN.svg -o OUT ... [options]` (cli/nest.cpp).
int Nest(int argc, char** argv);
// `zolvane quantity IN.svg ID=N ... -o OUT.svg`.
int Quantity(int argc, char** argv);
// The quantity command's run after its checks: sets each quantity through the
// panel and writes out (.svg). With in_part an id inside a group sets the
// quantity of its top-level object.
int RunQuantity(const std::string& in, const std::string& out,
                const std::vector<std::pair<std::string, int>>& pairs, bool in_part);
// `zolvane settings`.
int Settings(int argc, char** argv);

// Whether the file name ends with the suffix (lower case, with its dot),
// ignoring the case of the name: "OUT.PDF" is a PDF.
bool EndsWithNoCase(const std::string& name, const char* suffix);

}  // namespace cli
