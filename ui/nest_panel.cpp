// The nesting panel: controls, theme, panel and edit procedures, settings
// and quantity shown and read.
#include "ui/nest_panel.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/window.h"
#include "plugin/command_state.h"
#include "plugin/globals.h"
#include "plugin/names.h"
#include "plugin/suite_table.h"

namespace ui {
namespace {

using namespace platform;

struct TextEntry {
  PanelText id;
  const char* english;
  const char* japanese;
};

constexpr TextEntry kTexts[] = {
    {PanelText::kOnePage, "1 page reproduction", "１ページ殖版"},
    {PanelText::kQuantity, "Quantity:", "数量設定:"},
    {PanelText::kSet, "Set", "設定"},
    {PanelText::kRectangle, "Rectangle", "矩形"},
    {PanelText::kOutline, "Outline", "外形線"},
    {PanelText::kInitialRotation, "Rotate to minimize height", "高さが最小に成るように回転"},
    {PanelText::kAnytimeRotation, "Allow rotation when nesting", "ネスティング時に回転を許可"},
    {PanelText::kOverlap, "Consider object overlap", "オブジェクトの重なりを考慮"},
    {PanelText::kRotationAngle, "Rotation angle:", "回転角度:"},
    {PanelText::kMinimumSpacing, "Minimum spacing:", "最小間隔:"},
    {PanelText::kMillimetres, "mm", "mm"},
    {PanelText::kNest, "Nesting optimization", "集版最適化"},
    {PanelText::kInitialSettingsItem, "Initial Settings...", "初期設定..."},
};

constexpr const char* kRotationSteps[kRotationStepCount] = {
    "180° (2)", "90° (4)", "45° (8)", "30° (12)", "15° (24)", "10° (36)",
};

// The panels' font face ("Meiryo").
constexpr char kPanelFontFace[] = "メイリオ";
// Longest text read from a field, as the fields' buffers hold it.
constexpr size_t kFieldTextMax = 79;

// A length of the layout: S(n) + add, where n may differ between the English
// and the Japanese layout. A bare constant has n = 0.
struct Length {
  int english;
  int japanese;
  int add;
};
constexpr Length L(int n, int add = 0) {
  return {n, n, add};
}
constexpr Length Lang(int english, int japanese) {
  return {english, japanese, 0};
}
constexpr Length Fixed(int pixels) {
  return {0, 0, pixels};
}

enum class FontKind { kNone, kLabel, kCombo };

struct ControlRow {
  int id;
  const char* class_name;
  uint32_t style;
  PanelText text;  // used when has_text
  bool has_text;
  const char* fixed_text;  // otherwise this text ("" or " "); null: the version
  Length x, y, width, height;
  FontKind font;
};

constexpr uint32_t kCheck = kButtonAutoCheckBox | kStyleTabStop;
constexpr uint32_t kRadio = kButtonAutoRadio | kStyleTabStop;
constexpr uint32_t kEdit = kEditAutoHScroll | kStyleTabStop;

// The panel's controls in creation (and tab) order.
const ControlRow kControls[] = {
    {kPanelOnePageId,
     kClassButton,
     kCheck,
     {},
     false,
     "",
     L(15),
     L(15),
     Fixed(16),
     L(16),
     FontKind::kLabel},
    {-1, kClassStatic, kStaticLeft, PanelText::kOnePage, true, nullptr, L(15, 16), L(15, -2),
     L(200, -16), L(16), FontKind::kLabel},
    {kPanelQuantityCaptionId, kClassStatic, kStaticRight, PanelText::kQuantity, true, nullptr,
     L(10), L(40), L(70), L(16), FontKind::kLabel},
    {kPanelQuantityId,
     kClassEdit,
     kEdit,
     {},
     false,
     "",
     L(90),
     L(39),
     L(65),
     L(18),
     FontKind::kLabel},
    {kPanelSetId, kClassButton, kButtonOwnerDraw, PanelText::kSet, true, nullptr, L(170), L(38),
     L(60, 1), L(20, 1), FontKind::kNone},
    {-1,
     kClassStatic,
     kStaticBlackFrame,
     {},
     false,
     " ",
     L(5),
     L(70),
     L(230),
     L(1),
     FontKind::kNone},
    {kPanelRectangleId,
     kClassButton,
     kRadio,
     {},
     false,
     "",
     L(15),
     L(85),
     Fixed(16),
     L(16),
     FontKind::kLabel},
    {-1, kClassStatic, kStaticLeft, PanelText::kRectangle, true, nullptr, L(15, 18), L(85, -2),
     L(80, -18), L(16), FontKind::kLabel},
    {kPanelOutlineId,
     kClassButton,
     kRadio,
     {},
     false,
     "",
     L(100),
     L(85),
     Fixed(16),
     L(16),
     FontKind::kLabel},
    {-1, kClassStatic, kStaticLeft, PanelText::kOutline, true, nullptr, L(100, 18), L(85, -2),
     L(80, -18), L(16), FontKind::kLabel},
    {kPanelInitialRotationId,
     kClassButton,
     kCheck,
     {},
     false,
     "",
     L(15),
     L(110),
     Fixed(16),
     L(16),
     FontKind::kLabel},
    {-1, kClassStatic, kStaticLeft, PanelText::kInitialRotation, true, nullptr, L(15, 16),
     L(110, -2), L(200, -16), L(16), FontKind::kLabel},
    {kPanelAnytimeRotationId,
     kClassButton,
     kCheck,
     {},
     false,
     "",
     L(15),
     L(135),
     Fixed(16),
     L(16),
     FontKind::kLabel},
    {-1, kClassStatic, kStaticLeft, PanelText::kAnytimeRotation, true, nullptr, L(15, 16),
     L(135, -2), L(200, -16), L(16), FontKind::kLabel},
    {kPanelOverlapId,
     kClassButton,
     kCheck,
     {},
     false,
     "",
     L(15),
     L(160),
     Fixed(16),
     L(16),
     FontKind::kLabel},
    {-1, kClassStatic, kStaticLeft, PanelText::kOverlap, true, nullptr, L(15, 16), L(160, -2),
     L(200, -16), L(16), FontKind::kLabel},
    {kPanelRotationCaptionId, kClassStatic, kStaticRight, PanelText::kRotationAngle, true, nullptr,
     L(10), L(190), Lang(110, 90), L(16), FontKind::kLabel},
    {kPanelRotationStepId,
     kClassComboBox,
     kComboDropDownList | kComboHasStrings | kStyleVScroll | kStyleTabStop,
     {},
     false,
     "",
     Lang(130, 110),
     L(188),
     Lang(100, 120),
     L(20),
     FontKind::kCombo},
    {-1,
     kClassStatic,
     kStaticBlackFrame,
     {},
     false,
     " ",
     L(5),
     L(220),
     L(230),
     L(1),
     FontKind::kNone},
    {kPanelSpacingCaptionId, kClassStatic, kStaticRight, PanelText::kMinimumSpacing, true, nullptr,
     L(10), L(235), Lang(110, 60), L(16), FontKind::kLabel},
    {kPanelSpacingId,
     kClassEdit,
     kEdit,
     {},
     false,
     "",
     Lang(130, 80),
     L(234),
     L(60),
     L(18),
     FontKind::kLabel},
    {kPanelUnitId, kClassStatic, kStaticLeft, PanelText::kMillimetres, true, nullptr,
     Lang(195, 145), L(235), L(34), L(16), FontKind::kLabel},
    {kPanelNestId, kClassButton, kButtonOwnerDraw, PanelText::kNest, true, nullptr, L(10), L(270),
     L(220, 1), L(20, 1), FontKind::kNone},
    {kPanelVersionId,
     kClassStatic,
     kStaticLeft,
     {},
     false,
     nullptr,
     L(10),
     L(295),
     L(120),
     L(16),
     FontKind::kLabel},
};

// The edit fields' own procedure, saved once for both fields.
WindowProc g_edit_prev = nullptr;

bool Japanese() {
  return g_globals != nullptr && g_globals->language == kLanguageJapanese;
}

int Resolve(const Length& length) {
  return PanelScale(Japanese() ? length.japanese : length.english) + length.add;
}

WindowHandle Item(WindowHandle panel, int id) {
  return GetDialogItem(panel, id);
}

bool SameColor(const ThemeColor& a, const ThemeColor& b) {
  return a.alpha == b.alpha && a.red == b.red && a.green == b.green && a.blue == b.blue;
}

ColorRef FrameColor() {
  return g_globals != nullptr && g_globals->ui_dark ? kPanelFrameDark : kPanelFrameLight;
}

// The text of a field, cut to the length the field's reader keeps.
std::string FieldText(WindowHandle field) {
  std::string text = GetWindowText(field);
  if (text.size() > kFieldTextMax) text.resize(kFieldTextMax);
  return text;
}

// Fills and frames an owner-drawn button; the two command buttons also get
// their text.
intptr_t DrawOwnerButton(const DrawItemInfo& item, bool command_button) {
  const PluginGlobals& g = *g_globals;
  const ColorRef frame = FrameColor();
  BrushHandle frame_brush = CreateSolidBrush(frame);
  const bool pressed = (item.item_state & kItemSelected) != 0;
  const bool checked = (item.item_state & kItemChecked) != 0;
  const bool filled_with_frame = command_button ? pressed : (pressed || checked);
  FillRect(item.dc, item.rect, filled_with_frame ? frame_brush : g.panel_bg_brush);
  FrameRect(item.dc, item.rect, frame_brush);
  DeleteBrush(frame_brush);
  if (!command_button) return 0;
  const bool disabled = (item.item_state & kItemDisabled) != 0;
  SelectFont(item.dc, g.label_font);
  SetBackgroundMode(item.dc, BackgroundMode::kTransparent);
  SetTextColor(item.dc, disabled ? frame : ThemeColorRef(g.label_color));
  PixelRect text_rect = item.rect;
  text_rect.top += 1;
  DrawText(item.dc, std::string(GetWindowText(item.item_window)), text_rect,
           kTextCenter | kTextVCenter | kTextSingleLine);
  return 1;
}

// A button press of the panel: focus back to the host, dependent controls,
// and the two commands.
void OnCommand(WindowHandle panel, uintptr_t wparam, intptr_t lparam) {
  PluginGlobals* g = g_globals;
  WindowHandle sender = reinterpret_cast<WindowHandle>(lparam);
  const int id = CommandId(wparam);
  const uint16_t code = platform::CommandCode(wparam);
  if (sender != nullptr && sender == GetFocus()) {
    // Clicking a control takes the keyboard focus from the host; it goes
    // back to the main window so the host's shortcuts keep working.
    const bool button = IsClass(sender, kClassButton);
    const bool combo_left = IsClass(sender, kClassComboBox) && code == kComboKillFocus;
    if (button || combo_left) {
      AcquireSuitesForCallback(g->basic_suite);
      WindowHandle main_window = nullptr;
      if (const ContextSuite* context = HeldSuite<ContextSuite>()) {
        context->GetMainWindow(&main_window);
      }
      if (main_window != nullptr) SetFocus(main_window);
      ReleaseSuitesForCallback();
    }
  }
  switch (id) {
    case kPanelOnePageId: {
      const bool free_quantity = GetCheck(Item(panel, kPanelOnePageId)) != kChecked;
      EnableWindow(Item(panel, kPanelQuantityId), free_quantity);
      EnableWindow(Item(panel, kPanelSetId), free_quantity);
      break;
    }
    case kPanelAnytimeRotationId:
      EnableWindow(Item(panel, kPanelRotationStepId),
                   GetCheck(Item(panel, kPanelAnytimeRotationId)) == kChecked);
      break;
    case kPanelSetId:
    case kPanelNestId:
      // While a run pumps messages its settings stay as they are.
      if (CommandInProgress()) break;
      g->command_code = id == kPanelSetId ? kCommandSetQuantity : kCommandNest;
      if (g->current_document != nullptr) {
        AcquireSuitesForCallback(g->basic_suite);
        ReadPanelIntoSettings(panel);
        if (const ActionManagerSuite* actions = HeldSuite<ActionManagerSuite>()) {
          actions->PlayEvent(kActionEventName, kDialogStatusNone, nullptr);
        }
        ReleaseSuitesForCallback();
      }
      break;
    default:
      break;
  }
}

intptr_t PanelProc(WindowHandle panel, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  PluginGlobals* g = g_globals;
  WindowProc previous = g != nullptr ? g->panel_prev_wndproc : DefaultWindowProc;
  if (g == nullptr) return CallWindowProc(previous, panel, message, wparam, lparam);
  switch (message) {
    case kMsgDrawItem: {
      const auto* item = reinterpret_cast<const DrawItemInfo*>(lparam);
      if (g->panel_bg_brush == nullptr || item == nullptr) break;
      if (item->control_id == kPanelSetId || item->control_id == kPanelNestId) {
        DrawOwnerButton(*item, true);
        break;  // the previous procedure sees it as well
      }
      DrawOwnerButton(*item, false);
      return 0;
    }
    case kMsgCommand:
      OnCommand(panel, wparam, lparam);
      return 0;
    case kMsgCtlColorEdit: {
      if (g->edit_bg_brush == nullptr) break;
      DcHandle dc = reinterpret_cast<DcHandle>(wparam);
      SetBackgroundMode(dc, BackgroundMode::kTransparent);
      SetTextColor(dc, ThemeColorRef(g->edit_text_color));
      SetBackgroundColor(dc, ThemeColorRef(g->edit_bg_color));
      return reinterpret_cast<intptr_t>(g->edit_bg_brush);
    }
    case kMsgCtlColorButton:
    case kMsgCtlColorStatic: {
      if (g->panel_bg_brush == nullptr) break;
      DcHandle dc = reinterpret_cast<DcHandle>(wparam);
      WindowHandle control = reinterpret_cast<WindowHandle>(lparam);
      SetBackgroundMode(dc, BackgroundMode::kTransparent);
      SetTextColor(dc, ThemeColorRef(g->label_color));
      if (g->ui_dark && IsClass(control, kClassComboBox) && !IsWindowEnabled(control)) {
        return reinterpret_cast<intptr_t>(GetStockBrush(StockBrush::kLightGray));
      }
      return reinterpret_cast<intptr_t>(g->panel_bg_brush);
    }
    default:
      break;
  }
  return CallWindowProc(previous, panel, message, wparam, lparam);
}

bool IsEditable(WindowHandle control) {
  if (!IsWindowVisible(control) || !IsWindowEnabled(control)) return false;
  if (IsClass(control, kClassEdit)) return true;
  return IsClass(control, kClassComboBox) &&
         (GetWindowStyle(control) & kStyleKindMask) == kComboDropDown;
}

// The next (or previous) editable control in the panel's tab order after the
// field; the field itself when the walk comes back to it.
WindowHandle NextEditable(WindowHandle field, bool previous) {
  std::vector<WindowHandle> order = GetChildren(GetParent(field));
  const int n = static_cast<int>(order.size());
  int start = -1;
  for (int i = 0; i < n; ++i) {
    if (order[static_cast<size_t>(i)] == field) start = i;
  }
  if (start < 0) return nullptr;
  for (int step = 1; step <= n; ++step) {
    int at = previous ? (start - step % n + n) % n : (start + step) % n;
    WindowHandle control = order[static_cast<size_t>(at)];
    if (control == field || IsEditable(control)) return control;
  }
  return nullptr;
}

intptr_t EditProc(WindowHandle field, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (message == kMsgKeyDown && wparam == kKeyTab) {
    if (WindowHandle next = NextEditable(field, IsKeyDown(kKeyShift))) {
      SetFocus(next);
      SetEditSelection(next, 0, -1);
    }
    return 0;
  }
  if (message == kMsgKeyDown && wparam == kKeyReturn) {
    // Taking the focus away and giving it back commits what was typed.
    SetFocus(nullptr);
    SetFocus(field);
    SetEditSelection(field, 0, -1);
    return 0;
  }
  return CallWindowProc(g_edit_prev, field, message, wparam, lparam);
}

FontHandle MakePanelFont(int points_at_96) {
  FontDesc desc;
  desc.height = -static_cast<int>(points_at_96 * g_globals->dpi_scale);
  desc.weight = kWeightNormal;
  desc.charset = kCharsetShiftJis;
  desc.face = kPanelFontFace;
  return CreateFont(desc);
}

}  // namespace

const char* GetPanelText(PanelText text, int16_t language) {
  for (const TextEntry& entry : kTexts) {
    if (entry.id == text) return language == kLanguageJapanese ? entry.japanese : entry.english;
  }
  return "";
}

const char* RotationStepText(int index) {
  if (index < 0 || index >= kRotationStepCount) return "";
  return kRotationSteps[index];
}

int PanelScale(int n) {
  const double scale = g_globals != nullptr ? g_globals->dpi_scale : 1.0;
  return static_cast<int>(std::trunc(scale * n + 0.5));
}

int PanelLayout(PanelControlPlace* places, int capacity) {
  int count = 0;
  for (const ControlRow& row : kControls) {
    if (count < capacity && places != nullptr) {
      places[count] = {row.id,         row.class_name,     Resolve(row.x),
                       Resolve(row.y), Resolve(row.width), Resolve(row.height)};
    }
    ++count;
  }
  return count;
}

void RefreshPanelTheme() {
  PluginGlobals* g = g_globals;
  if (g == nullptr) return;
  if (g->label_font == nullptr) g->label_font = MakePanelFont(12);
  if (g->combo_font == nullptr) g->combo_font = MakePanelFont(10);

  const ThemeColor old_panel = g->panel_bg_color;
  const ThemeColor old_edit = g->edit_bg_color;
  if (const ThemeSuite* theme = HeldSuite<ThemeSuite>()) {
    bool dark = false;
    if (theme->IsThemeDark(&dark) == kNoErr) g->ui_dark = dark ? 1 : 0;
    ThemeColor color{};
    if (theme->GetThemeColor(kThemeElementPanelBackground, kThemeStateNormal, &color) == kNoErr) {
      g->panel_bg_color = color;
    }
  }
  if (g->ui_dark) {
    g->label_color = {1, 0.8, 0.8, 0.8};
    g->edit_text_color = {1, 0, 0, 0};
    g->edit_bg_color = {1, 0.8, 0.8, 0.8};
  } else {
    g->label_color = {1, 0.2, 0.2, 0.2};
    g->edit_text_color = {1, 0, 0, 0};
    g->edit_bg_color = {1, 0.9, 0.9, 0.9};
  }
  if (g->panel_bg_brush == nullptr || !SameColor(old_panel, g->panel_bg_color)) {
    if (g->panel_bg_brush != nullptr) DeleteBrush(g->panel_bg_brush);
    g->panel_bg_brush = CreateSolidBrush(ThemeColorRef(g->panel_bg_color));
  }
  if (g->edit_bg_brush == nullptr || !SameColor(old_edit, g->edit_bg_color)) {
    if (g->edit_bg_brush != nullptr) DeleteBrush(g->edit_bg_brush);
    g->edit_bg_brush = CreateSolidBrush(ThemeColorRef(g->edit_bg_color));
  }
}

void BuildPanel(WindowHandle panel) {
  PluginGlobals* g = g_globals;
  if (g == nullptr || !IsWindow(panel)) return;
  RefreshPanelTheme();
  g->panel_prev_wndproc = SetWindowProc(panel, PanelProc);
  g_edit_prev = nullptr;

  for (const ControlRow& row : kControls) {
    WindowDesc desc;
    desc.class_name = row.class_name;
    if (row.has_text) {
      desc.text = GetPanelText(row.text, g->language);
    } else if (row.fixed_text != nullptr) {
      desc.text = row.fixed_text;
    } else {
      desc.text = g->version_text;
    }
    desc.style = row.style | kStyleChild | kStyleVisible;
    desc.x = Resolve(row.x);
    desc.y = Resolve(row.y);
    desc.width = Resolve(row.width);
    desc.height = Resolve(row.height);
    desc.parent = panel;
    desc.id = row.id;
    WindowHandle control = CreateWindow(desc);
    if (control == nullptr) continue;
    if (row.font == FontKind::kLabel) SetWindowFont(control, g->label_font);
    if (row.font == FontKind::kCombo) SetWindowFont(control, g->combo_font);
    if (row.id == kPanelRotationStepId) {
      for (const char* step : kRotationSteps) ComboAddString(control, step);
      ComboSetItemHeight(control, -1, desc.height - 4);
    }
    if (row.id == kPanelQuantityId || row.id == kPanelSpacingId) {
      WindowProc old = SetWindowProc(control, EditProc);
      if (g_edit_prev == nullptr) g_edit_prev = old;
    }
  }

  ShowSettingsInPanel(panel);
  EnableWindow(Item(panel, kPanelRotationStepId), g->enable_anytime_rotation != 0);
  const bool free_quantity = g->one_page_reproduction == 0;
  EnableWindow(Item(panel, kPanelQuantityId), free_quantity);
  EnableWindow(Item(panel, kPanelSetId), free_quantity);
}

void ShowSettingsInPanel(WindowHandle panel) {
  const PluginGlobals* g = g_globals;
  if (g == nullptr || !IsWindow(panel)) return;
  char text[64];
  std::snprintf(text, sizeof text, "%g", g->cur_param.collection_margin);
  SetWindowText(Item(panel, kPanelSpacingId), text);
  SetCheck(Item(panel, kPanelRectangleId), g->outline_mode == 0 ? kChecked : kUnchecked);
  SetCheck(Item(panel, kPanelOutlineId), g->outline_mode == 1 ? kChecked : kUnchecked);
  auto check = [&](int id, int16_t value) {
    SetCheck(Item(panel, id), value != 0 ? kChecked : kUnchecked);
  };
  check(kPanelInitialRotationId, g->enable_initial_rotation);
  check(kPanelAnytimeRotationId, g->enable_anytime_rotation);
  check(kPanelOverlapId, g->consider_object_overlap);
  check(kPanelOnePageId, g->one_page_reproduction);
  ComboSetSelection(Item(panel, kPanelRotationStepId), g->anytime_rotation_mode);
}

void ReadPanelIntoSettings(WindowHandle panel) {
  PluginGlobals* g = g_globals;
  if (g == nullptr || !IsWindow(panel)) return;
  const std::string spacing = FieldText(Item(panel, kPanelSpacingId));
  double margin = std::strtod(spacing.c_str(), nullptr);
  // "inf" or "nan" would reach the search as a spacing no layout can have.
  if (!std::isfinite(margin)) margin = 0;
  g->cur_param.collection_margin = margin;
  if (GetCheck(Item(panel, kPanelRectangleId)) == kChecked) {
    g->outline_mode = 0;
  } else if (GetCheck(Item(panel, kPanelOutlineId)) == kChecked) {
    g->outline_mode = 1;
  }
  auto read = [&](int id) -> int16_t { return GetCheck(Item(panel, id)) == kChecked ? 1 : 0; };
  g->enable_initial_rotation = read(kPanelInitialRotationId);
  g->enable_anytime_rotation = read(kPanelAnytimeRotationId);
  g->consider_object_overlap = read(kPanelOverlapId);
  g->one_page_reproduction = read(kPanelOnePageId);
  const int step = ComboGetSelection(Item(panel, kPanelRotationStepId));
  if (step >= 0) g->anytime_rotation_mode = static_cast<int16_t>(step);
}

void ShowQuantity(WindowHandle panel, int32_t value) {
  WindowHandle field = Item(panel, kPanelQuantityId);
  if (field == nullptr) return;
  char text[16] = "";
  if (value == -1) {
    std::snprintf(text, sizeof text, "-");
  } else if (value > 0) {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  }
  SetWindowText(field, text);
}

int32_t ReadQuantity(WindowHandle panel) {
  const std::string text = FieldText(Item(panel, kPanelQuantityId));
  if (text == "-") return -1;
  if (text.empty()) return 0;
  errno = 0;
  long value = std::strtol(text.c_str(), nullptr, 10);
  if (value < 0) return 0;
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<int32_t>(value);
}

void RestorePanelProc(WindowHandle panel) {
  PluginGlobals* g = g_globals;
  if (g == nullptr || !IsWindow(panel) || g->panel_prev_wndproc == nullptr) return;
  SetWindowProc(panel, g->panel_prev_wndproc);
}

void DeletePanelResources() {
  PluginGlobals* g = g_globals;
  if (g == nullptr) return;
  if (g->panel_bg_brush != nullptr) DeleteBrush(g->panel_bg_brush);
  if (g->edit_bg_brush != nullptr) DeleteBrush(g->edit_bg_brush);
  if (g->label_font != nullptr) DeleteFont(g->label_font);
  if (g->combo_font != nullptr) DeleteFont(g->combo_font);
  g->panel_bg_brush = nullptr;
  g->edit_bg_brush = nullptr;
  g->label_font = nullptr;
  g->combo_font = nullptr;
}

}  // namespace ui
