// PluginGlobals: every piece of plug-in state that outlives one host message.
#pragma once

#include <cstdint>

#include "platform/window_types.h"
#include "plugin/host_types.h"

struct BasicSuite;

// Plug-in option bit that Startup adds to the host's options for the plug-in.
constexpr int32_t kStartupPluginOption = 2;

// Points per millimetre (72 / 25.4): settings are millimetres, documents points.
constexpr double PointsPerMm = 2.834645669291339;

// Capacities of the fixed string fields, terminator included.
constexpr int kProductNameSize = 80;
constexpr int kVersionTextSize = 80;
constexpr int kPresetPathSize = 256;
constexpr int kReportPathSize = 260;
constexpr int kColorNameSize = 80;
constexpr int kFppmColorCapacity = 100;

// A colour of the panel: a first component (1.0 in every colour the plug-in
// sets itself, never painted), then red, green and blue, each 0 to 1. It is
// the host theme's own colour record.
using ThemeColor = HostThemeColor;

// The Windows colour value of a theme colour: red + 256 green + 65536 blue,
// each channel the component times 255, truncated.
uint32_t ThemeColorRef(const ThemeColor& color);

// A named colour of the colour table; cur_param.shoulder_color indexes it.
struct FppmColor {
  char name[kColorNameSize];
  HostColor color;
};

// A parameter set. Of cur_param only collection_margin drives behaviour (the
// minimum spacing of nesting, mm); the rest is carried through the settings file.
struct CutParam {
  int16_t cut_line_type;
  double cut_line_margin_1;
  double cut_line_margin_2;
  double cut_line_margin_3;
  double outer_shoulder_width;
  double inner_shoulder_width;
  int16_t use_inner_shoulder;
  int16_t shoulder_color;
  double collection_margin;
  double menseki_margin;
  double grouping_margin;
  int16_t grouping_mode;
};

// Lengths are millimetres unless the field says otherwise.
struct PluginGlobals {
  const BasicSuite* basic_suite;
  PluginRef plugin_ref;
  int32_t command_code;
  char product_name[kProductNameSize];
  char version_text[kVersionTextSize];
  NotifierHandle started_notifier;
  MenuItemHandle about_menu_item;
  MenuItemHandle panel_menu_item;
  PanelRef panel;
  FlyoutMenuRef flyout_menu;
  WindowProc panel_prev_wndproc;
  FontHandle label_font;
  FontHandle combo_font;
  int16_t ui_dark;
  ThemeColor panel_bg_color;
  ThemeColor label_color;
  ThemeColor edit_text_color;
  ThemeColor edit_bg_color;
  BrushHandle panel_bg_brush;
  BrushHandle edit_bg_brush;
  CutParam cur_param;
  CutParam def_param;
  int16_t area_table_unit;
  int16_t area_table_decimal;
  double plate_width;
  double plate_height;
  double plate_margin_left;
  double plate_margin_top;
  double plate_margin_right;
  double plate_margin_bottom;
  int16_t nesting_type;
  int16_t outline_mode;
  int16_t toward_mode;
  int16_t toward_baseline;
  int16_t output_processing_time;
  int16_t enable_initial_rotation;
  int16_t enable_anytime_rotation;
  int16_t consider_object_overlap;
  int16_t anytime_rotation_mode;
  int16_t enable_multithread;
  int16_t one_page_reproduction;
  int32_t vertex_limit;
  int32_t downsampling_resolution;
  int32_t noise_fidelity;
  double image_offset[2];
  int32_t preset_idx;
  char preset_path[kPresetPathSize];
  double ui_scale;
  double dpi_scale;
  int32_t fppm_color_count;
  FppmColor fppm_color[kFppmColorCapacity];
  char report_path[kReportPathSize];
  DocumentHandle current_document;
  int16_t language;
};

// Values of toward_baseline: the sheet edge the parts are aligned to.
enum TowardBaseline : int16_t {
  kBaselineTop = 0,
  kBaselineBottom = 1,
  kBaselineLeft = 2,
  kBaselineRight = 3,
};

// Values of language.
enum Language : int16_t {
  kLanguageJapanese = 0,
  kLanguageEnglish = 1,
};

// The one global pointer to the record; the entry point refreshes it from
// every message and clears it after Shutdown.
extern PluginGlobals* g_globals;

// The defaults of a parameter set.
CutParam DefaultCutParam();

// The steps of Startup that come from outside this record's own defaults.
// Each is optional: a null seam leaves the field at its default. They run in
// the order Startup fills the record.
struct StartupSeams {
  // Plug-in options: Startup reads the host's options for this plug-in, adds
  // kStartupPluginOption and hands them back.
  HostErr (*get_plugin_options)(void* context, int32_t* options);
  HostErr (*set_plugin_options)(void* context, int32_t options);
  // The main settings file, read over the persisted fields.
  void (*read_settings)(void* context, PluginGlobals* globals);
  // The host's user-interface scale factor (1.0 where the host has none).
  double (*host_ui_scale)(void* context);
  // Horizontal pixels per logical inch of the desktop (96 when unknown).
  int (*screen_dpi)(void* context);
  // Registration of notifiers, menu items and the action.
  HostErr (*register_host_objects)(void* context, PluginGlobals* globals);
  void* context;
};

// Fills the record the way Startup does, in order: plug-in options, the
// plug-in reference, null handles, names, defaults of every setting, the
// desktop folder as report_path, the settings file, the colour table rule, the
// shoulder-colour clamp, the scale factors and the registrations. The record
// need not be zeroed first. Returns the first host error of the seams (the
// record is filled all the same).
HostErr InitializeGlobals(PluginGlobals* globals, const BasicSuite* basic_suite,
                          PluginRef plugin_ref, const StartupSeams& seams);

// Sets every persisted setting to its default (the fifth step of Startup).
void SetDefaultSettings(PluginGlobals* globals);

// Replaces a missing or outdated two-colour table with the three standard
// colours "DIC 242p", "Green" and "Gray"; any other table stays as read.
void NormalizeColorTable(PluginGlobals* globals);

// Keeps cur_param.shoulder_color an index into the colour table.
void ClampShoulderColor(PluginGlobals* globals);

// Copies text into a fixed field, truncating at the field's capacity; the
// field is always terminated.
void CopyFixedText(char* field, int capacity, const char* text);
