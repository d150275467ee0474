// The `zolvane` commands that read and write documents: convert and info.
#pragma once

namespace cli {

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;        // the command line is wrong
constexpr int kExitBadInput = 2;     // an input file cannot be read or is not acceptable
constexpr int kExitCannotWrite = 3;  // the output file could not be written

// `zolvane convert IN.svg -o OUT.svg|OUT.pdf|OUT.png [--dpi N] [--artboard N]`.
// args are the words after the command's name.
int Convert(int argc, char** argv);
// `zolvane info IN.svg`.
int Info(int argc, char** argv);

}  // namespace cli
