// The settings file: one table of keys read by both the writer and the reader.
#include "settings/settings_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

#include "platform/files.h"
#include "platform/known_folders.h"

namespace settings {
namespace {

// The reader's limits: significant characters kept of one line, fields kept
// of one line (the key and six values), characters kept of one field.
constexpr size_t kLineCapacity = 511;
constexpr int kFieldCount = 7;
constexpr size_t kFieldCapacity = 255;

constexpr char kColorKeyPrefix[] = "fppm_color_";

// One value of a parameter set; exactly one member pointer is set.
struct CutKey {
  const char* name;
  int16_t CutParam::*int16_field;
  double CutParam::*double_field;
};

// The parameter-set lines in the order they are written.
constexpr CutKey kCutKeys[] = {
    {"cut_line_type", &CutParam::cut_line_type, nullptr},
    {"cut_line_margin_1", nullptr, &CutParam::cut_line_margin_1},
    {"cut_line_margin_2", nullptr, &CutParam::cut_line_margin_2},
    {"cut_line_margin_3", nullptr, &CutParam::cut_line_margin_3},
    {"use_inner_shoulder", &CutParam::use_inner_shoulder, nullptr},
    {"outer_shoulder_width", nullptr, &CutParam::outer_shoulder_width},
    {"inner_shoulder_width", nullptr, &CutParam::inner_shoulder_width},
    {"collection_margin", nullptr, &CutParam::collection_margin},
    {"menseki_margin", nullptr, &CutParam::menseki_margin},
    {"shoulder_color", &CutParam::shoulder_color, nullptr},
    {"grouping_margin", nullptr, &CutParam::grouping_margin},
    {"grouping_mode", &CutParam::grouping_mode, nullptr},
};

enum class LineKind {
  kCutParams,    // twelve lines "<key>.<name> = ..."
  kInt16,        // "%d"
  kInt32,        // "%d"
  kPlateSize,    // six "%g": width, height, left, top, right, bottom
  kImageOffset,  // two "%g"
  kText,         // "\"%s\""
  kColors,       // a name line and a colour line per used colour entry
  kLanguage,     // ENGLISH or JAPANESE
};

struct SettingLine {
  const char* key;
  LineKind kind;
  bool layout;  // applied when a preset file is read
  CutParam PluginGlobals::*cut_params;
  int16_t PluginGlobals::*int16_field;
  int32_t PluginGlobals::*int32_field;
  bool is_preset_path;  // kText: preset_path, else report_path
};

constexpr SettingLine Cut(const char* key, CutParam PluginGlobals::*field, bool layout) {
  return {key, LineKind::kCutParams, layout, field, nullptr, nullptr, false};
}
constexpr SettingLine Int16(const char* key, int16_t PluginGlobals::*field, bool layout = false) {
  return {key, LineKind::kInt16, layout, nullptr, field, nullptr, false};
}
constexpr SettingLine Int32(const char* key, int32_t PluginGlobals::*field) {
  return {key, LineKind::kInt32, false, nullptr, nullptr, field, false};
}
constexpr SettingLine Special(const char* key, LineKind kind, bool layout = false) {
  return {key, kind, layout, nullptr, nullptr, nullptr, false};
}
constexpr SettingLine Text(const char* key, bool is_preset_path) {
  return {key, LineKind::kText, false, nullptr, nullptr, nullptr, is_preset_path};
}

// Every line of the file in the order written. The layout lines, which a
// preset applies, are the first sixteen.
const SettingLine kLines[] = {
    Cut("cur_param", &PluginGlobals::cur_param, true),
    Special("plate_size", LineKind::kPlateSize, true),
    Int16("toward_baseline", &PluginGlobals::toward_baseline, true),
    Int16("toward_mode", &PluginGlobals::toward_mode, true),
    Int16("one_page_reproduction", &PluginGlobals::one_page_reproduction, true),
    Cut("def_param", &PluginGlobals::def_param, false),
    Int32("vertex_limit", &PluginGlobals::vertex_limit),
    Int32("downsampling_resolution", &PluginGlobals::downsampling_resolution),
    Int32("noise_fidelity", &PluginGlobals::noise_fidelity),
    Special("image_offset", LineKind::kImageOffset),
    Int16("area_table_unit", &PluginGlobals::area_table_unit),
    Int16("area_table_decimal", &PluginGlobals::area_table_decimal),
    Text("report_path", false),
    Int16("nesting_type", &PluginGlobals::nesting_type),
    Int16("outline_mode", &PluginGlobals::outline_mode),
    Int16("output_processing_time", &PluginGlobals::output_processing_time),
    Int16("enable_initial_rotation", &PluginGlobals::enable_initial_rotation),
    Int16("enable_anytime_rotation", &PluginGlobals::enable_anytime_rotation),
    Int16("consider_object_overlap", &PluginGlobals::consider_object_overlap),
    Int16("anytime_rotation_mode", &PluginGlobals::anytime_rotation_mode),
    Int16("enable_multithread", &PluginGlobals::enable_multithread),
    Special(kColorKeyPrefix, LineKind::kColors),
    Text("preset_path", true),
    Int32("preset_idx", &PluginGlobals::preset_idx),
    Special("language", LineKind::kLanguage),
};

// The six plate_size values in the order written (G: the record, const or not).
template <typename G>
auto* PlateSizeField(G& g, int i) {
  decltype(&g.plate_width) fields[] = {&g.plate_width,        &g.plate_height,
                                       &g.plate_margin_left,  &g.plate_margin_top,
                                       &g.plate_margin_right, &g.plate_margin_bottom};
  return fields[i];
}

// The text field of a kText line and its capacity.
template <typename G>
auto* TextField(G& g, const SettingLine& line) {
  return line.is_preset_path ? g.preset_path : g.report_path;
}
int TextCapacity(const SettingLine& line) {
  return line.is_preset_path ? kPresetPathSize : kReportPathSize;
}

// Number of components a colour kind carries in the file; -1 for a kind
// that has no colour line.
int ComponentCount(int kind) {
  switch (kind) {
    case kColorGray:
      return 1;
    case kColorFourProcess:
      return 4;
    case kColorRGB:
      return 3;
    default:
      return -1;
  }
}

// ---- writing ----

void AppendInt(std::string& out, long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// "%g": six significant digits, the shorter of fixed and exponent notation,
// trailing zeros dropped. The standard conversion is independent of the
// process's locale, so a host that changes it cannot turn the point into a
// comma in the file.
void AppendDouble(std::string& out, double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  out.append(buffer, result.ptr);
}

void AppendText(std::string& out, const char* text, int capacity) {
  out.append(text, strnlen(text, static_cast<size_t>(capacity)));
}

void BeginLine(std::string& out, std::string_view key) {
  out.append(key);
  out.append(" = ");
}

constexpr std::string_view kLineEnd = "\r\n";

void FormatColors(const PluginGlobals& g, std::string& out) {
  int count = g.fppm_color_count;
  if (count > kFppmColorCapacity) count = kFppmColorCapacity;
  for (int i = 1; i <= count; ++i) {
    const FppmColor& entry = g.fppm_color[i - 1];
    char number[16];
    std::snprintf(number, sizeof number, "%03d", i);
    const std::string key = std::string(kColorKeyPrefix) + number;
    BeginLine(out, key + "_name");
    out.push_back('"');
    AppendText(out, entry.name, kColorNameSize);
    out.push_back('"');
    out.append(kLineEnd);
    const int components = ComponentCount(entry.color.kind);
    if (components < 0) continue;
    BeginLine(out, key + "_color");
    AppendInt(out, entry.color.kind);
    for (int c = 0; c < components; ++c) {
      out.append(", ");
      AppendDouble(out, entry.color.components[c]);
    }
    out.append(kLineEnd);
  }
}

// ---- reading ----

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal integer as the C library's atoi reads it: leading blanks, a
// sign, digits; text that is no number gives 0. Values beyond the field's
// range are held at its limits instead of wrapping.
template <typename Int>
Int ReadInteger(const std::string& field) {
  size_t i = 0;
  while (i < field.size() && IsBlank(field[i])) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  long long value = 0;
  constexpr long long kLimit = std::numeric_limits<Int>::max();
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    value = value * 10 + (field[i] - '0');
    if (value > kLimit + 1) value = kLimit + 1;
  }
  if (negative) value = -value;
  if (value > kLimit) value = kLimit;
  if (value < std::numeric_limits<Int>::min()) value = std::numeric_limits<Int>::min();
  return static_cast<Int>(value);
}

// A decimal floating number as atof reads it: leading blanks, a sign, the
// longest number at the start; text that is no number gives 0. Infinities,
// not-a-number and out-of-range values give 0 too: no length of the plug-in
// can be infinite, and such a value would poison every layout computed
// from it.
double ReadDouble(const std::string& field) {
  size_t i = 0;
  while (i < field.size() && IsBlank(field[i])) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) return 0;
  double value = 0;
  const char* first = field.data() + i;
  const auto result =
      std::from_chars(first, field.data() + field.size(), value, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return negative ? -value : value;
}

// Copies one line the way the reader sees it: tabs and carriage returns
// dropped, blanks outside double quotes dropped, the quotes kept; at most
// kLineCapacity characters, the rest of an over-long line is cut.
std::string CleanLine(std::string_view raw) {
  std::string line;
  bool quoted = false;
  for (char c : raw) {
    if (c == '\t' || c == '\r') continue;
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ' ') {
      continue;
    }
    if (line.size() >= kLineCapacity) break;
    line.push_back(c);
  }
  return line;
}

// Splits a clean line into its first kFieldCount fields: outside quotes,
// '=' and ',' end a field, '(' and ')' are dropped; quotes are dropped and
// everything between them belongs to the field.
void SplitFields(const std::string& line, std::string (&fields)[kFieldCount]) {
  int f = 0;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted) {
      if (c == '=' || c == ',') {
        ++f;
        continue;
      }
      if (c == '(' || c == ')') continue;
    }
    if (f < kFieldCount && fields[f].size() < kFieldCapacity) fields[f].push_back(c);
  }
}

void ApplyCutParam(CutParam& param, std::string_view name, const std::string& value) {
  for (const CutKey& key : kCutKeys) {
    if (name != key.name) continue;
    if (key.int16_field) param.*key.int16_field = ReadInteger<int16_t>(value);
    if (key.double_field) param.*key.double_field = ReadDouble(value);
    return;
  }
}

// A "fppm_color_NNN..." line. NNN must be three digits naming an entry of
// the table (001 to 100); any other line of this form is ignored, so the
// table is never written outside.
void ApplyColor(std::string_view rest, const std::string (&fields)[kFieldCount], PluginGlobals& g) {
  if (rest.size() < 3) return;
  int number = 0;
  for (int i = 0; i < 3; ++i) {
    if (rest[i] < '0' || rest[i] > '9') return;
    number = number * 10 + (rest[i] - '0');
  }
  if (number < 1 || number > kFppmColorCapacity) return;
  if (number > g.fppm_color_count) g.fppm_color_count = number;
  FppmColor& entry = g.fppm_color[number - 1];
  const std::string_view suffix = rest.substr(3);
  if (suffix == "_name") {
    CopyFixedText(entry.name, kColorNameSize, fields[1].c_str());
  } else if (suffix == "_color") {
    entry.color.kind = ReadInteger<int16_t>(fields[1]);
    const int components = ComponentCount(entry.color.kind);
    for (int c = 0; c < components; ++c) entry.color.components[c] = ReadDouble(fields[2 + c]);
  }
}

void ApplyLine(const std::string (&fields)[kFieldCount], KeyScope scope, PluginGlobals& g) {
  const std::string& key = fields[0];
  for (const SettingLine& line : kLines) {
    const std::string_view name = line.key;
    const bool is_cut = line.kind == LineKind::kCutParams;
    const bool is_color = line.kind == LineKind::kColors;
    if (is_cut) {
      if (key.size() <= name.size() + 1 || key.compare(0, name.size(), name) != 0 ||
          key[name.size()] != '.') {
        continue;
      }
    } else if (is_color) {
      if (key.compare(0, name.size(), name) != 0) continue;
    } else if (key != name) {
      continue;
    }
    if (scope == KeyScope::kLayoutOnly && !line.layout) return;
    switch (line.kind) {
      case LineKind::kCutParams:
        ApplyCutParam(g.*line.cut_params, std::string_view(key).substr(name.size() + 1), fields[1]);
        break;
      case LineKind::kInt16:
        g.*line.int16_field = ReadInteger<int16_t>(fields[1]);
        break;
      case LineKind::kInt32:
        g.*line.int32_field = ReadInteger<int32_t>(fields[1]);
        break;
      case LineKind::kPlateSize:
        for (int i = 0; i < 6; ++i) *PlateSizeField(g, i) = ReadDouble(fields[1 + i]);
        break;
      case LineKind::kImageOffset:
        g.image_offset[0] = ReadDouble(fields[1]);
        g.image_offset[1] = ReadDouble(fields[2]);
        break;
      case LineKind::kText:
        CopyFixedText(TextField(g, line), TextCapacity(line), fields[1].c_str());
        break;
      case LineKind::kColors:
        ApplyColor(std::string_view(key).substr(name.size()), fields, g);
        break;
      case LineKind::kLanguage:
        g.language = fields[1] == "ENGLISH" ? kLanguageEnglish : kLanguageJapanese;
        break;
    }
    return;
  }
}

}  // namespace

std::string SettingsRoot() {
  std::string root = platform::KnownFolderPath(platform::KnownFolder::kDocuments);
  if (root.empty()) return {};
  if (root.back() == '/') root.pop_back();
  // Folder creation failures surface later, when a file below cannot be
  // opened or created.
  root += "/Adobe";
  platform::CreateFolders(root);
  root += "/Illustrator";
  platform::CreateFolders(root);
  return root;
}

std::string MainSettingsPath() {
  const std::string root = SettingsRoot();
  if (root.empty()) return {};
  const std::string prefs = root + "/Prefs";
  platform::CreateFolders(prefs);
  return prefs + "/Zolvane.ini";
}

std::string PresetFolder() {
  const std::string root = SettingsRoot();
  if (root.empty()) return {};
  const std::string folder = root + "/Prefs/Zolvane";
  platform::CreateFolders(folder);
  return folder;
}

bool IsValidPresetName(const char* name) {
  if (!name || !*name) return false;
  const std::string_view text = name;
  if (text == "." || text == "..") return false;
  return text.find_first_of("/\\") == std::string_view::npos;
}

std::string PresetFilePath(const char* name) {
  if (!IsValidPresetName(name)) return {};
  const std::string folder = PresetFolder();
  if (folder.empty()) return {};
  return folder + "/" + name + ".ini";
}

std::string FormatSettings(const PluginGlobals& g) {
  std::string out;
  out.reserve(4096);
  for (const SettingLine& line : kLines) {
    switch (line.kind) {
      case LineKind::kCutParams: {
        const CutParam& param = g.*line.cut_params;
        for (const CutKey& key : kCutKeys) {
          BeginLine(out, std::string(line.key) + "." + key.name);
          if (key.int16_field) AppendInt(out, param.*key.int16_field);
          if (key.double_field) AppendDouble(out, param.*key.double_field);
          out.append(kLineEnd);
        }
        break;
      }
      case LineKind::kInt16:
        BeginLine(out, line.key);
        AppendInt(out, g.*line.int16_field);
        out.append(kLineEnd);
        break;
      case LineKind::kInt32:
        BeginLine(out, line.key);
        AppendInt(out, g.*line.int32_field);
        out.append(kLineEnd);
        break;
      case LineKind::kPlateSize:
        BeginLine(out, line.key);
        for (int i = 0; i < 6; ++i) {
          if (i) out.append(", ");
          AppendDouble(out, *PlateSizeField(g, i));
        }
        out.append(kLineEnd);
        break;
      case LineKind::kImageOffset:
        BeginLine(out, line.key);
        AppendDouble(out, g.image_offset[0]);
        out.append(", ");
        AppendDouble(out, g.image_offset[1]);
        out.append(kLineEnd);
        break;
      case LineKind::kText:
        BeginLine(out, line.key);
        out.push_back('"');
        AppendText(out, TextField(g, line), TextCapacity(line));
        out.push_back('"');
        out.append(kLineEnd);
        break;
      case LineKind::kColors:
        FormatColors(g, out);
        break;
      case LineKind::kLanguage:
        BeginLine(out, line.key);
        out.append(g.language == kLanguageEnglish ? "ENGLISH" : "JAPANESE");
        out.append(kLineEnd);
        break;
    }
  }
  return out;
}

void ApplySettingsText(const std::string& text, KeyScope scope, PluginGlobals* globals) {
  // The file is read as one terminated string: a zero byte ends it.
  const std::string_view content(text.c_str());
  size_t start = 0;
  while (start <= content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    const std::string line = CleanLine(content.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == '\'') continue;
    std::string fields[kFieldCount];
    SplitFields(line, fields);
    if (fields[0].empty()) continue;
    ApplyLine(fields, scope, *globals);
  }
}

int LoadSettings(PluginGlobals* globals, const char* preset_name) {
  const std::string path = preset_name ? PresetFilePath(preset_name) : MainSettingsPath();
  if (path.empty()) return 0;
  std::string text;
  if (platform::ReadWholeFile(path, &text) != platform::FileStatus::kOk) return 0;
  ApplySettingsText(text, preset_name ? KeyScope::kLayoutOnly : KeyScope::kAll, globals);
  return 1;
}

int SaveSettings(const PluginGlobals& globals, const char* preset_name) {
  const std::string path = preset_name ? PresetFilePath(preset_name) : MainSettingsPath();
  if (path.empty()) return 0;
  return platform::ReplaceFile(path, FormatSettings(globals)) == platform::FileStatus::kOk ? 1 : 0;
}

void ReadMainSettings(void* /*context*/, PluginGlobals* globals) {
  LoadSettings(globals, nullptr);
}

}  // namespace settings
