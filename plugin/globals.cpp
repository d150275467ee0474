// Defaults of PluginGlobals and the order in which Startup fills the record.
#include "plugin/globals.h"

#include <cmath>
#include <cstring>
#include <string>

#include "platform/known_folders.h"

PluginGlobals* g_globals = nullptr;

namespace {

const char kProductName[] = "Zolvane";
const char kVersionText[] = "Ver 0.2.8.7";

// The standard colour table: what a settings file without colours, or with
// the outdated two-colour table, is given.
struct StandardColor {
  const char* name;
  double c, m, y, k;
};
constexpr StandardColor kStandardColors[] = {
    {"DIC 242p", 0.25, 0.42, 1, 0},
    {"Green", 1, 0, 1, 0},
    {"Gray", 0, 0, 0, 0.9},
};

uint32_t Channel(double component) {
  // Truncation toward zero of component x 255; the colour components of the
  // panel lie within 0 to 1, so the value fits one byte.
  double v = component * 255.0;
  if (!(v > 0)) return 0;
  if (v >= 255.0) return 255;
  return static_cast<uint32_t>(v);
}

}  // namespace

uint32_t ThemeColorRef(const ThemeColor& color) {
  return Channel(color.red) + 256u * Channel(color.green) + 65536u * Channel(color.blue);
}

void CopyFixedText(char* field, int capacity, const char* text) {
  if (capacity <= 0) return;
  size_t n = text ? std::strlen(text) : 0;
  if (n > static_cast<size_t>(capacity - 1)) n = static_cast<size_t>(capacity - 1);
  if (n) std::memcpy(field, text, n);
  field[n] = '\0';
}

CutParam DefaultCutParam() {
  CutParam p{};
  p.cut_line_type = 1;
  p.cut_line_margin_1 = 20;
  p.cut_line_margin_2 = 15;
  p.cut_line_margin_3 = 10;
  p.outer_shoulder_width = 5;
  p.inner_shoulder_width = 5;
  p.use_inner_shoulder = 0;
  p.shoulder_color = 0;
  p.collection_margin = 5;
  p.menseki_margin = 5;
  p.grouping_margin = 5;
  p.grouping_mode = 0;
  return p;
}

void SetDefaultSettings(PluginGlobals* g) {
  g->cur_param = DefaultCutParam();
  g->area_table_unit = 0;
  g->area_table_decimal = 0;
  g->plate_width = 860;
  g->plate_height = 1260;
  g->plate_margin_left = 15;
  g->plate_margin_top = 15;
  g->plate_margin_right = 15;
  g->plate_margin_bottom = 15;
  g->nesting_type = 1;
  g->outline_mode = 0;
  g->toward_mode = 1;
  g->toward_baseline = kBaselineTop;
  g->output_processing_time = 0;
  g->enable_initial_rotation = 1;
  g->enable_anytime_rotation = 1;
  g->consider_object_overlap = 1;
  g->anytime_rotation_mode = 5;
  g->enable_multithread = 1;
  g->one_page_reproduction = 0;
  g->vertex_limit = 5000;
  g->downsampling_resolution = 72;
  g->noise_fidelity = 25;
  g->image_offset[0] = 1;
  g->image_offset[1] = 1;
  g->def_param = g->cur_param;
  g->fppm_color_count = 0;
  std::memset(g->fppm_color, 0, sizeof g->fppm_color);
  g->preset_idx = 0;
  g->preset_path[0] = '\0';
  g->language = kLanguageEnglish;
  g->current_document = nullptr;
}

void NormalizeColorTable(PluginGlobals* g) {
  // A count beyond the table cannot come from a well-formed file; keep it
  // inside so that no reader walks past the last entry.
  if (g->fppm_color_count > kFppmColorCapacity) g->fppm_color_count = kFppmColorCapacity;
  if (g->fppm_color_count < 0) g->fppm_color_count = 0;
  const bool outdated = g->fppm_color_count == 2 &&
                        std::strcmp(g->fppm_color[0].name, kStandardColors[0].name) == 0 &&
                        std::strcmp(g->fppm_color[1].name, kStandardColors[1].name) == 0;
  if (g->fppm_color_count != 0 && !outdated) return;
  int i = 0;
  for (const StandardColor& s : kStandardColors) {
    FppmColor& e = g->fppm_color[i++];
    std::memset(&e, 0, sizeof e);
    CopyFixedText(e.name, kColorNameSize, s.name);
    e.color.kind = kColorFourProcess;
    e.color.components[0] = s.c;
    e.color.components[1] = s.m;
    e.color.components[2] = s.y;
    e.color.components[3] = s.k;
  }
  g->fppm_color_count = i;
}

void ClampShoulderColor(PluginGlobals* g) {
  int16_t& index = g->cur_param.shoulder_color;
  if (index >= g->fppm_color_count) index = static_cast<int16_t>(g->fppm_color_count - 1);
  // A negative index read from a file would point before the table.
  if (index < 0) index = 0;
}

HostErr InitializeGlobals(PluginGlobals* g, const BasicSuite* basic_suite, PluginRef plugin_ref,
                          const StartupSeams& seams) {
  HostErr first_error = kNoErr;
  auto keep = [&first_error](HostErr e) {
    if (first_error == kNoErr) first_error = e;
  };

  if (seams.get_plugin_options && seams.set_plugin_options) {
    int32_t options = 0;
    HostErr e = seams.get_plugin_options(seams.context, &options);
    if (e == kNoErr) e = seams.set_plugin_options(seams.context, options | kStartupPluginOption);
    keep(e);
  }

  g->basic_suite = basic_suite;
  g->plugin_ref = plugin_ref;

  g->command_code = 0;
  g->started_notifier = nullptr;
  g->about_menu_item = nullptr;
  g->panel_menu_item = nullptr;
  g->panel = nullptr;
  g->flyout_menu = nullptr;
  g->panel_prev_wndproc = nullptr;
  g->label_font = nullptr;
  g->combo_font = nullptr;
  g->ui_dark = 0;
  g->panel_bg_brush = nullptr;
  g->edit_bg_brush = nullptr;
  g->panel_bg_color = ThemeColor{};
  g->label_color = ThemeColor{};
  g->edit_text_color = ThemeColor{};
  g->edit_bg_color = ThemeColor{};

  CopyFixedText(g->product_name, kProductNameSize, kProductName);
  CopyFixedText(g->version_text, kVersionTextSize, kVersionText);

  SetDefaultSettings(g);
  g->ui_scale = 1.0;
  g->dpi_scale = 1.0;

  const std::string desktop = platform::KnownFolderPath(platform::KnownFolder::kDesktop);
  CopyFixedText(g->report_path, kReportPathSize, desktop.c_str());

  if (seams.read_settings) seams.read_settings(seams.context, g);

  NormalizeColorTable(g);
  ClampShoulderColor(g);

  if (seams.host_ui_scale) g->ui_scale = seams.host_ui_scale(seams.context);

  g->dpi_scale = 1.0;
  if (seams.screen_dpi) {
    const int dpi = seams.screen_dpi(seams.context);
    // A desktop that answers nothing useful keeps the 96-dpi layout.
    if (dpi > 0) g->dpi_scale = dpi / 96.0;
  }

  if (seams.register_host_objects) keep(seams.register_host_objects(seams.context, g));
  return first_error;
}
