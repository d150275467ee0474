// The command line of `zolvane nest`: the option table, parsing and checks.
#include "cli/nest_options.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "cli/documents.h"
#include "engine/improve.h"
#include "host/svg_common.h"
#include "plugin/globals.h"

namespace cli {
namespace {

// One option: its name, the value it takes ("" for a switch), what it does,
// its unit and its default. The help text is made from this table.
struct OptionEntry {
  const char* section;  // non-null starts a section of the help
  const char* name;
  const char* value;
  const char* help;
  const char* default_text;  // "" for the settings the plug-in remembers: see DefaultText
};

constexpr OptionEntry kOptions[] = {
    {"Output", "-o", "FILE",
     "write the nested drawing; repeat for several: .svg (sheets as pages), .pdf (one page "
     "per sheet, in sheet order), .png (all sheets, or one with --page)",
     "required"},
    {nullptr, "--page", "N", "the PNG shows sheet N only (1 is the first)", "all sheets"},
    {nullptr, "--dpi", "N", "PNG resolution, 1 to 2400 pixels per inch", "96"},
    {nullptr, "--report", "FILE.json",
     "also write the summary as JSON: sheets with their rectangles (mm), every copy with its "
     "object, sheet, centre (mm) and rotation (degrees)",
     "none"},
    {nullptr, "--quiet", "", "no progress display and no summary", "off"},
    {nullptr, "--timings", "",
     "print on standard error how long each phase took: startup, import, setting the "
     "panel, preparing (group lines, copies, pre-rotation), search, placing, each output",
     "off"},
    {"Objects", "--select", "ID,...", "nest only these objects (top-level objects, by id or name)",
     "every top-level object of the visible, unlocked layers"},
    {nullptr, "--quantity", "ID=N",
     "copies of that object (0 to 100000; 0 counts as 1), typed into the panel's quantity "
     "field and set with \"Set\"; repeatable",
     "the file's data-zolvane_quantity, else 1"},
    {"Panel (remembered)", "--mode", "rectangle|outline",
     "nest by bounding rectangles or by outlines", ""},
    {nullptr, "--rotate-to-minimize-height", "",
     "turn each object so that it is as low as possible before nesting "
     "(--no-rotate-to-minimize-height: keep it as drawn)",
     ""},
    {nullptr, "--rotation", "off|180|90|45|30|15|10",
     "rotation step tried while nesting (degrees), or off", ""},
    {nullptr, "--overlap", "",
     "objects that overlap are nested together as one (--no-overlap: each alone)", ""},
    {nullptr, "--spacing", "MM", "minimum spacing between copies, mm", ""},
    {nullptr, "--one-page", "",
     "1 page reproduction: fill one sheet with as many copies of one object as fit "
     "(--no-one-page: off)",
     ""},
    {"Fewer sheets (not remembered)", "--improve", "SECONDS",
     "after nesting, spend up to SECONDS (above 0, at most 86400) looking for a layout on "
     "fewer sheets; the result is never worse than without it. Ctrl-C during the "
     "improvement keeps the best layout found so far",
     "off"},
    {nullptr, "--improve-seed", "N",
     "the seed of the orders the improvement tries (0 to 4294967295): the same seed and "
     "evaluations give the same layout",
     "1"},
    {nullptr, "--improve-evaluations", "N",
     "stop the improvement after N sheet fills (0: as many as the time allows); with a "
     "count reached within the time the result is the same on every machine",
     "0"},
    {"Initial Settings (remembered)", "--sheet", "WxH", "sheet width and height, mm", ""},
    {nullptr, "--margins", "L,T,R,B",
     "sheet margins left, top, right, bottom, mm; one value for all four", ""},
    {nullptr, "--align", "top|bottom|left|right", "the sheet edge the copies are aligned to", ""},
    {nullptr, "--direction", "DIR",
     "fill direction along that edge: left-to-right or right-to-left for top and bottom, "
     "top-to-bottom or bottom-to-top for left and right",
     ""},
    {nullptr, "--preset", "NAME",
     "load a saved preset of the Initial Settings (sheet, margins, spacing, alignment, "
     "direction) before the options above",
     "none"},
};

const char kNestIntro[] =
    "usage: zolvane nest IN.svg -o OUT [-o OUT ...] [options]\n"
    "Nests the objects of an SVG drawing onto sheets with the Zolvane plug-in, the way\n"
    "a person does in the host: the host starts and loads Zolvane.aip, the drawing\n"
    "is opened, the objects are selected, quantities are typed into the panel, the\n"
    "panel's controls and the Initial Settings dialog are set, \"Nesting optimization\"\n"
    "is clicked and its question answered yes. Every sheet becomes a page of the\n"
    "result. Progress shows on standard error; Ctrl-C aborts the run and writes\n"
    "nothing. Lengths are in millimetres.\n";

const char kNestOutro[] =
    "Remembered settings: the panel and Initial Settings options are set in the\n"
    "plug-in as a person would set them, and the plug-in keeps them in its settings\n"
    "file (see `zolvane settings`) when it shuts down. A later run without these\n"
    "options uses them; the defaults above are those of a first run.\n"
    "Exit codes: 0 nested, 1 usage error, 2 bad input file, 3 output not written,\n"
    "4 nothing was nested (the plug-in's alert says why), 130 cancelled.\n";

void AppendWrapped(std::string* out, const std::string& text, size_t indent, size_t width) {
  size_t column = indent;
  size_t start = 0;
  bool first = true;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    std::string word = text.substr(start, end - start);
    if (!first && column + 1 + word.size() > width) {
      *out += "\n" + std::string(indent, ' ');
      column = indent;
    } else if (!first) {
      *out += ' ';
      ++column;
    }
    *out += word;
    column += word.size();
    first = false;
    start = end + 1;
  }
  *out += '\n';
}

int Usage(const std::string& message) {
  std::fprintf(stderr, "zolvane nest: %s\n(zolvane nest --help lists every option)\n",
               message.c_str());
  return kExitUsage;
}

bool ParseMm(const std::string& text, double* value) {
  return host::ParseWholeNumber(text, value) && std::isfinite(*value);
}

// Comma-separated numbers.
bool ParseList(const std::string& text, char separator, std::vector<double>* values) {
  size_t start = 0;
  while (true) {
    size_t end = text.find(separator, start);
    std::string part = text.substr(start, end == std::string::npos ? end : end - start);
    double v = 0;
    if (!ParseMm(part, &v)) return false;
    values->push_back(v);
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

constexpr double kMaxSheetMm = 5000;  // the canvas is 16000 points, about 5644 mm
constexpr int kMaxQuantity = 100000;

}  // namespace

const char* DirectionWord(int align, int toward_mode) {
  if (align >= 2) return toward_mode == 0 ? "top-to-bottom" : "bottom-to-top";
  return toward_mode == 0 ? "left-to-right" : "right-to-left";
}

// The default shown for an option the plug-in remembers: its value in a
// first run, from the plug-in's own defaults; other options show the table's.
static std::string DefaultText(const OptionEntry& o) {
  PluginGlobals* g = new PluginGlobals{};
  SetDefaultSettings(g);
  const std::string name = o.name;
  auto mm = [](double v) { return host::FormatNumber(v); };
  std::string text = o.default_text;
  if (name == "--mode") {
    text = g->outline_mode ? "outline" : "rectangle";
  } else if (name == "--rotate-to-minimize-height") {
    text = g->enable_initial_rotation ? "on" : "off";
  } else if (name == "--rotation") {
    text =
        g->enable_anytime_rotation && g->anytime_rotation_mode >= 0 && g->anytime_rotation_mode < 6
            ? std::to_string(kRotationSteps[g->anytime_rotation_mode])
            : "off";
  } else if (name == "--overlap") {
    text = g->consider_object_overlap ? "on" : "off";
  } else if (name == "--spacing") {
    text = mm(g->cur_param.collection_margin);
  } else if (name == "--one-page") {
    text = g->one_page_reproduction ? "on" : "off";
  } else if (name == "--sheet") {
    text = mm(g->plate_width) + "x" + mm(g->plate_height);
  } else if (name == "--margins") {
    text = mm(g->plate_margin_left) + "," + mm(g->plate_margin_top) + "," +
           mm(g->plate_margin_right) + "," + mm(g->plate_margin_bottom);
  } else if (name == "--align") {
    text = kAlignWords[g->toward_baseline & 3];
  } else if (name == "--direction") {
    text = DirectionWord(g->toward_baseline & 3, g->toward_mode != 0);
  }
  delete g;
  return text;
}

const std::string& NestHelp() {
  static const std::string text = [] {
    std::string out = kNestIntro;
    for (const OptionEntry& o : kOptions) {
      if (o.section) out += std::string("\n") + o.section + ":\n";
      std::string head = std::string("  ") +
                         (std::string(o.name) == "-o" ? "-o, --output" : o.name) +
                         (o.value[0] ? " " : "") + o.value;
      out += head;
      constexpr size_t kColumn = 30;
      if (head.size() + 2 > kColumn) {
        out += "\n" + std::string(kColumn, ' ');
      } else {
        out += std::string(kColumn - head.size(), ' ');
      }
      AppendWrapped(&out, std::string(o.help) + " [default: " + DefaultText(o) + "]", kColumn, 92);
    }
    out += "\n";
    out += kNestOutro;
    return out;
  }();
  return text;
}

const char kQuantityHelp[] =
    "usage: zolvane quantity IN.svg ID=N [ID=N ...] -o OUT.svg\n"
    "Sets the quantity of objects through the plug-in's panel: for each ID=N the\n"
    "top-level object with that id or name is selected, N is typed into the\n"
    "quantity field and \"Set\" is clicked. N is 0 to 100000. The drawing is written\n"
    "with the quantities as data-zolvane_quantity attributes.\n"
    "Exit codes: 0 done, 1 usage error, 2 bad input file, 3 output not written.\n";

const char kSettingsHelp[] =
    "usage: zolvane settings\n"
    "Prints the settings the plug-in starts with: the settings file's path, the\n"
    "sheet, margins and spacing (mm), alignment and direction, the panel's options,\n"
    "and the names of the saved presets. These are the values a `zolvane nest`\n"
    "run uses for every option it is not given.\n";

int ParseNestOptions(int argc, char** argv, NestOptions* o) {
  *o = NestOptions{};
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(NestHelp().c_str(), stdout);
      return kExitOk;
    }
  }
  std::string pending_direction;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    // --name=value is the same as --name value.
    size_t eq = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
    bool inline_value = eq != std::string::npos;
    if (inline_value) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
    }
    if (arg == "--output") arg = "-o";
    const OptionEntry* entry = nullptr;
    for (const OptionEntry& e : kOptions) {
      if (arg == e.name) entry = &e;
    }
    bool negated = false;
    if (!entry && arg.rfind("--no-", 0) == 0) {
      std::string positive = "--" + arg.substr(5);
      for (const OptionEntry& e : kOptions) {
        if (positive == e.name && e.value[0] == '\0' && positive != "--quiet" &&
            positive != "--timings")
          entry = &e;
      }
      negated = entry != nullptr;
    }
    if (!entry) {
      if (!arg.empty() && arg[0] == '-' && arg != "-") return Usage("unknown option " + arg);
      if (!o->input.empty()) return Usage("one input file only (\"" + arg + "\" is extra)");
      o->input = arg;
      continue;
    }
    const std::string name = entry->name;
    if (entry->value[0] == '\0') {
      if (inline_value) return Usage(name + " takes no value");
    } else if (!inline_value) {
      if (i + 1 >= argc) return Usage(name + " needs a value (" + entry->value + ")");
      value = argv[++i];
    }
    if (name == "-o") {
      NestOutput out{value, OutputKind::kSvg};
      if (EndsWithNoCase(value, ".svg")) {
        out.kind = OutputKind::kSvg;
      } else if (EndsWithNoCase(value, ".pdf")) {
        out.kind = OutputKind::kPdf;
      } else if (EndsWithNoCase(value, ".png")) {
        out.kind = OutputKind::kPng;
      } else {
        return Usage("the output \"" + value + "\" must end with .svg, .pdf or .png");
      }
      for (const NestOutput& other : o->outputs) {
        if (other.path == value) return Usage("the output \"" + value + "\" is named twice");
      }
      o->outputs.push_back(out);
    } else if (name == "--page") {
      double v = 0;
      if (!ParseMm(value, &v) || v < 1 || v > 100000 || v != std::floor(v))
        return Usage("--page needs a sheet number 1 or more, not \"" + value + "\"");
      o->page = static_cast<int>(v);
    } else if (name == "--dpi") {
      double v = 0;
      if (!ParseMm(value, &v) || v < 1 || v > 2400)
        return Usage("--dpi must be a number 1 to 2400, not \"" + value + "\"");
      o->dpi = v;
    } else if (name == "--report") {
      if (!EndsWithNoCase(value, ".json"))
        return Usage("the report \"" + value + "\" must end with .json");
      o->report = value;
    } else if (name == "--quiet") {
      o->quiet = true;
    } else if (name == "--timings") {
      o->timings = true;
    } else if (name == "--select") {
      size_t start = 0;
      while (start <= value.size()) {
        size_t end = value.find(',', start);
        if (end == std::string::npos) end = value.size();
        std::string id = value.substr(start, end - start);
        if (id.empty())
          return Usage("--select needs ids separated by commas, not \"" + value + "\"");
        o->select.push_back(id);
        start = end + 1;
      }
    } else if (name == "--quantity") {
      size_t at = value.rfind('=');
      double v = 0;
      if (at == std::string::npos || at == 0 || !ParseMm(value.substr(at + 1), &v))
        return Usage("--quantity needs ID=N, not \"" + value + "\"");
      if (v < 0 || v > kMaxQuantity || v != std::floor(v))
        return Usage("--quantity " + value + ": the quantity must be a whole number 0 to " +
                     std::to_string(kMaxQuantity));
      o->quantities.emplace_back(value.substr(0, at), static_cast<int>(v));
    } else if (name == "--mode") {
      if (value == "rectangle") {
        o->outline_mode = 0;
      } else if (value == "outline") {
        o->outline_mode = 1;
      } else {
        return Usage("--mode must be rectangle or outline, not \"" + value + "\"");
      }
    } else if (name == "--rotate-to-minimize-height") {
      o->rotate_to_minimize_height = !negated;
    } else if (name == "--rotation") {
      if (value == "off") {
        o->rotation = -1;
      } else {
        int index = -1;
        for (int k = 0; k < 6; ++k) {
          if (value == std::to_string(kRotationSteps[k])) index = k;
        }
        if (index < 0)
          return Usage("--rotation must be off, 180, 90, 45, 30, 15 or 10, not \"" + value + "\"");
        o->rotation = index;
      }
    } else if (name == "--overlap") {
      o->overlap = !negated;
    } else if (name == "--spacing") {
      double v = 0;
      if (!ParseMm(value, &v) || v < 0 || v > 1000)
        return Usage("--spacing must be 0 to 1000 mm, not \"" + value + "\"");
      o->spacing_mm = v;
    } else if (name == "--one-page") {
      o->one_page = !negated;
    } else if (name == "--sheet") {
      std::vector<double> v;
      std::string lower = value;
      for (char& c : lower) c = (c == 'X') ? 'x' : c;
      if (!ParseList(lower, 'x', &v) || v.size() != 2)
        return Usage("--sheet needs WIDTHxHEIGHT in mm, such as 300x200, not \"" + value + "\"");
      for (double d : v) {
        if (!(d > 0 && d <= kMaxSheetMm))
          return Usage("--sheet " + value + ": width and height must be above 0 and at most " +
                       std::to_string(static_cast<int>(kMaxSheetMm)) + " mm");
      }
      o->sheet_mm = std::array<double, 2>{v[0], v[1]};
    } else if (name == "--margins") {
      std::vector<double> v;
      if (!ParseList(value, ',', &v) || (v.size() != 1 && v.size() != 4))
        return Usage("--margins needs one value or four (L,T,R,B) in mm, not \"" + value + "\"");
      for (double d : v) {
        if (!(d >= 0 && d <= kMaxSheetMm))
          return Usage("--margins " + value + ": margins must be 0 or more mm");
      }
      if (v.size() == 1) v.assign(4, v[0]);
      o->margins_mm = std::array<double, 4>{v[0], v[1], v[2], v[3]};
    } else if (name == "--align") {
      int index = -1;
      for (int k = 0; k < 4; ++k) {
        if (value == kAlignWords[k]) index = k;
      }
      if (index < 0)
        return Usage("--align must be top, bottom, left or right, not \"" + value + "\"");
      o->align = index;
    } else if (name == "--direction") {
      bool known = false;
      for (int a : {0, 2}) {
        for (int m : {0, 1}) known = known || value == DirectionWord(a, m);
      }
      if (!known)
        return Usage(
            "--direction must be left-to-right, right-to-left, top-to-bottom or "
            "bottom-to-top, not \"" +
            value + "\"");
      o->direction = value;
    } else if (name == "--preset") {
      if (value.empty() || value.find('/') != std::string::npos ||
          value.find('\\') != std::string::npos || value == "." || value == "..")
        return Usage("--preset needs the name of a saved preset, not \"" + value + "\"");
      o->preset = value;
    } else if (name == "--improve" || name == "--improve-seed" || name == "--improve-evaluations") {
      // Checked together below, as the plug-in reads them.
      if (name == "--improve") o->improve_seconds = value;
      if (name == "--improve-seed") o->improve_seed = value;
      if (name == "--improve-evaluations") o->improve_evaluations = value;
    }
  }
  if (o->improve_seconds || o->improve_seed || o->improve_evaluations) {
    if (!o->improve_seconds)
      return Usage(std::string(o->improve_seed ? "--improve-seed" : "--improve-evaluations") +
                   " needs --improve SECONDS");
    std::string request = *o->improve_seconds;
    if (o->improve_seed || o->improve_evaluations) request += "," + o->improve_seed.value_or("1");
    if (o->improve_evaluations) request += "," + *o->improve_evaluations;
    ImproveBudget budget;
    std::string error;
    if (request.find(',') != std::string::npos && request.find(',') != o->improve_seconds->size())
      return Usage("--improve needs a number of seconds, not \"" + *o->improve_seconds + "\"");
    if (!ParseImproveRequest(request, &budget, &error)) return Usage("--improve: " + error);
    o->improve_request = request;
  }
  if (o->input.empty()) return Usage("no input file");
  if (o->outputs.empty()) return Usage("no output file (-o OUT.svg, OUT.pdf or OUT.png)");
  if (o->page > 0) {
    bool png = false;
    for (const NestOutput& out : o->outputs) png = png || out.kind == OutputKind::kPng;
    if (!png) return Usage("--page is for PNG output");
  }
  if (o->direction && o->align) {
    const std::string& d = *o->direction;
    if (d != DirectionWord(*o->align, 0) && d != DirectionWord(*o->align, 1))
      return Usage("--direction " + d + " does not go with --align " + kAlignWords[*o->align] +
                   ": choose " + DirectionWord(*o->align, 0) + " or " +
                   DirectionWord(*o->align, 1));
  }
  if (o->sheet_mm && o->margins_mm) {
    const auto& s = *o->sheet_mm;
    const auto& m = *o->margins_mm;
    if (m[0] + m[2] >= s[0] || m[1] + m[3] >= s[1])
      return Usage("the margins leave no nesting area on a " + host::FormatNumber(s[0]) + "x" +
                   host::FormatNumber(s[1]) + " mm sheet");
  }
  return kParsedRun;
}

}  // namespace cli
