// The `zolvane` command: dispatches to its commands (nest, quantity, settings,
// convert, info, sheets, flatten).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/documents.h"
#include "cli/inkscape_args.h"
#include "engine/geometry.h"
#include "engine/model.h"
#include "engine/sheets.h"
#include "host/render.h"
#include "plugin/globals.h"

namespace {

// The canvas of the host: a square of 16383 points centred on the origin.
const RealRect kCanvas{-8191.5, 8191.5, 8191.5, -8191.5};

const char kUsage[] =
    "usage: zolvane nest IN.svg -o OUT [-o OUT ...] [options]\n"
    "                                   nest the drawing's objects onto sheets with the plug-in\n"
    "       zolvane quantity IN.svg ID=N ... -o OUT.svg\n"
    "                                   set quantities through the plug-in's panel\n"
    "       zolvane settings            the settings the plug-in starts with, and the presets\n"
    "       zolvane sheets [count]      sheet grid and nesting areas of the default settings\n"
    "       zolvane flatten <file.path> fine and coarse polygons of a path\n"
    "       zolvane convert IN.svg -o OUT.svg|OUT.pdf|OUT.png [--dpi N] [--artboard N]\n"
    "       zolvane info IN.svg         artboards, layers and objects of a drawing\n"
    "       zolvane inkscape nest|quantity [--id=ID ...] [--NAME=VALUE ...] DOCUMENT\n"
    "                                   the Inkscape extension's program (inkscape/): the new\n"
    "                                   document on standard output, errors on standard error\n"
    "       zolvane COMMAND --help      what a command does\n"
    "A .path file holds one segment a line: anchor x y, in handle x y, out handle x y "
    "(points).\n"
    "Exit codes: 0 done, 1 usage error, 2 bad input file, 3 output not written,\n"
    "4 nothing was nested, 130 cancelled.\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return cli::kExitUsage;
}

bool IsHelp(int argc, char** argv) {
  return argc > 2 && (std::strcmp(argv[2], "--help") == 0 || std::strcmp(argv[2], "-h") == 0);
}

void PrintRect(const char* what, const RealRect& r) {
  std::printf("  %-6s left %10.3f  top %10.3f  right %10.3f  bottom %10.3f  (%.3f x %.3f pt)\n",
              what, r.left, r.top, r.right, r.bottom, RectWidth(r), RectHeight(r));
}

int Sheets(int count) {
  PluginGlobals* g = new PluginGlobals{};
  InitializeGlobals(g, nullptr, nullptr, StartupSeams{});
  const SheetSettings plate = SheetSettingsFrom(*g);
  const RealRect square = ReferenceSquare(kCanvas);
  std::printf("Default plate %g x %g mm, margins %g/%g/%g/%g mm, minimum spacing %g mm\n",
              plate.plate_width, plate.plate_height, plate.margin_left, plate.margin_top,
              plate.margin_right, plate.margin_bottom, g->cur_param.collection_margin);
  PrintRect("square", square);
  SheetPlace place = FirstSheet(square, plate);
  for (int i = 0; i < count; ++i) {
    std::printf("sheet %d (row %d, column %d)\n", i, place.row, place.column);
    PrintRect("sheet", place.sheet);
    PrintRect("area", place.area);
    place = NextSheet(square, plate, place);
  }
  delete g;
  return 0;
}

bool ReadSegments(const char* file, std::vector<PathSegment>* out, std::string* error) {
  std::ifstream in(file);
  if (!in) {
    *error = std::string(file) + ": cannot open the file";
    return false;
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    PathSegment s{};
    if (!(fields >> s.p.x >> s.p.y >> s.in.x >> s.in.y >> s.out.x >> s.out.y)) {
      *error = std::string(file) + ":" + std::to_string(number) +
               ": expected six numbers (anchor, in handle, out handle)";
      return false;
    }
    out->push_back(s);
  }
  return true;
}

int Flatten(const char* file) {
  std::vector<PathSegment> segments;
  std::string error;
  if (!ReadSegments(file, &segments, &error)) {
    std::fprintf(stderr, "zolvane: %s\n", error.c_str());
    return cli::kExitBadInput;
  }
  std::printf("%s: %zu segments\n", file, segments.size());
  for (double tolerance : {kFineTolerance, kCoarseTolerance}) {
    Polygon polygon =
        FlattenPath(segments.data(), static_cast<int32_t>(segments.size()), tolerance);
    std::printf("tolerance %.1f: %d points\n", tolerance, polygon.count);
    for (int32_t i = 0; i < polygon.count; ++i)
      std::printf("  %10.3f %10.3f\n", polygon.points[i].x, polygon.points[i].y);
    FreePolygon(&polygon);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Inkscape runs the command by the names of its extension's programs.
  const std::string program = argc > 0 ? std::filesystem::path(argv[0]).filename().string() : "";
  if (program == cli::kInkscapeNestProgram) return cli::InkscapeMain("nest", argc - 1, argv + 1);
  if (program == cli::kInkscapeQuantityProgram)
    return cli::InkscapeMain("quantity", argc - 1, argv + 1);
  if (argc < 2) return Usage();
  const char* command = argv[1];
  const char* const kCommands[] = {"nest",    "quantity", "settings", "convert", "info", "sheets",
                                   "flatten", "inkscape", "help",     "--help",  "-h"};
  bool known = false;
  for (const char* c : kCommands) known = known || std::strcmp(command, c) == 0;
  if (!known) {
    std::fprintf(stderr, "zolvane: unknown command \"%s\"\n", command);
    return Usage();
  }
  if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0 ||
      std::strcmp(command, "help") == 0) {
    std::fputs(kUsage, stdout);
    return cli::kExitOk;
  }
  if (std::strcmp(command, "convert") == 0) {
    int code = cli::Convert(argc - 2, argv + 2);
    host::ReleaseRenderCaches();
    return code;
  }
  if (std::strcmp(command, "info") == 0) return cli::Info(argc - 2, argv + 2);
  if (std::strcmp(command, "inkscape") == 0) {
    if (argc >= 3 && (std::strcmp(argv[2], "nest") == 0 || std::strcmp(argv[2], "quantity") == 0))
      return cli::InkscapeMain(argv[2], argc - 3, argv + 3);
    std::fputs(
        "usage: zolvane inkscape nest|quantity [--id=ID ...] [--NAME=VALUE ...] DOCUMENT\n"
        "The program of the Inkscape extension (Extensions > Zolvane): reads the arguments\n"
        "Inkscape passes (the selected objects, the dialog's parameters, a copy of the\n"
        "document), nests the selection or sets its quantity, and writes the whole new\n"
        "document on standard output. When nothing can be done it writes nothing there and\n"
        "the reason on standard error, which Inkscape shows. Inkscape runs it by the names\n"
        "zolvane-inkscape-nest and zolvane-inkscape-quantity.\n",
        IsHelp(argc, argv) ? stdout : stderr);
    return IsHelp(argc, argv) ? cli::kExitOk : cli::kExitUsage;
  }
  if (std::strcmp(command, "nest") == 0) {
    int code = cli::Nest(argc - 2, argv + 2);
    host::ReleaseRenderCaches();
    return code;
  }
  if (std::strcmp(command, "quantity") == 0) return cli::Quantity(argc - 2, argv + 2);
  if (std::strcmp(command, "settings") == 0) return cli::Settings(argc - 2, argv + 2);
  if (std::strcmp(command, "sheets") == 0) {
    if (IsHelp(argc, argv)) {
      std::fputs(
          "usage: zolvane sheets [count]\nPrints where the first count sheets (default 3, "
          "1 to 1000) of the default settings lie\non the canvas, with their nesting "
          "areas inside the margins (points, y up).\n",
          stdout);
      return cli::kExitOk;
    }
    const int count = argc > 2 ? std::atoi(argv[2]) : 3;
    if (count < 1 || count > 1000) {
      std::fprintf(stderr, "zolvane: sheet count must be 1 to 1000\n");
      return cli::kExitUsage;
    }
    return Sheets(count);
  }
  if (std::strcmp(command, "flatten") == 0) {
    if (IsHelp(argc, argv)) {
      std::fputs(
          "usage: zolvane flatten <file.path>\nPrints the fine (1 pt) and coarse (10 pt) "
          "polygons that stand for the path while\nnesting. A .path file holds one "
          "segment a line: anchor x y, in handle x y,\nout handle x y (points).\n",
          stdout);
      return cli::kExitOk;
    }
    if (argc == 3) return Flatten(argv[2]);
  }
  return Usage();
}
