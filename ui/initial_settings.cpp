// The Initial Settings dialog: templates, fields, the owner-drawn preset list
// and its commands (load, Save, Save As with the name dialog, Delete).
#include "ui/initial_settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "plugin/command_state.h"
#include "plugin/globals.h"
#include "plugin/names.h"
#include "plugin/suite_table.h"
#include "settings/presets.h"
#include "settings/settings_file.h"
#include "ui/nest_panel.h"

namespace ui {
namespace {

using namespace platform;

struct TextEntry {
  SettingsText id;
  const char* english;
  const char* japanese;
};

constexpr TextEntry kTexts[] = {
    {SettingsText::kTitle, "Zolvane Initial Settings", "Zolvane 初期設定"},
    {SettingsText::kPresetLabel, "Preset :", "プリセット :"},
    {SettingsText::kAreaWidth, "Area size  Width :", "エリアサイズ　横幅 :"},
    {SettingsText::kHeight, "Height :", "高さ :"},
    {SettingsText::kMarginLeft, "Margin  Left :", "余白　左 :"},
    {SettingsText::kTop, "Top :", "上 :"},
    {SettingsText::kRight, "Right :", "右 :"},
    {SettingsText::kBottom, "Bottom :", "下 :"},
    {SettingsText::kGroupSpacing, "Minimum group spacing :", "グループ最小間隔 :"},
    {SettingsText::kAlignment, "Nesting alignment :", "ネスティング基準 :"},
    {SettingsText::kDirection, "Direction :", "方向 :"},
    {SettingsText::kMillimetres, "mm", "mm"},
    {SettingsText::kAlignTop, "Top", "上辺"},
    {SettingsText::kAlignBottom, "Bottom", "下辺"},
    {SettingsText::kAlignLeft, "Left", "左辺"},
    {SettingsText::kAlignRight, "Right", "右辺"},
    {SettingsText::kLeftToRight, "Left to Right", "左から右"},
    {SettingsText::kRightToLeft, "Right to Left", "右から左"},
    {SettingsText::kTopToBottom, "Top to Bottom", "上から下"},
    {SettingsText::kBottomToTop, "Bottom to Top", "下から上"},
    {SettingsText::kSave, "Save", "保存"},
    {SettingsText::kSaveAs, "Save As...", "別名で保存..."},
    {SettingsText::kDelete, "Delete", "削除"},
    {SettingsText::kSaveFailed,
     "Create '%s' File is Failed.\rDestination file already exists or filename is invalid.",
     "\"%s\" ファイルを作成出来ませんでした。\rファイル名が不適切か重複しています。"},
    {SettingsText::kOverwriteQuestion,
     "The file already exists. \rDo you want the '%s' file to overwrite?",
     "プリセット \"%s\" が重複しています。\r上書きしてよろしいですか？"},
    {SettingsText::kDeleteQuestion, "Do you want to completely remove the file \"%s\"?",
     "プリセット \"%s\" を完全に削除しますか？"},
    {SettingsText::kNameTitle, "Save File As", "保存"},
    {SettingsText::kNameLabel, "Preset Name :", "設定の名称："},
    {SettingsText::kCustomName, "Custom-%d", "カスタム-%d"},
};

// Longest text read from a field, and longest preset name.
constexpr size_t kFieldTextMax = 79;
constexpr size_t kPresetNameMax = 255;
// Highest number the name dialog proposes.
constexpr int kLastCustomNumber = 998;

int16_t Language() {
  return g_globals != nullptr ? g_globals->language : int16_t{kLanguageEnglish};
}

const char* Text(SettingsText text) {
  return GetSettingsText(text, Language());
}

// The text with its one "%s" replaced by the name.
std::string WithName(SettingsText text, const std::string& name) {
  std::string out = Text(text);
  const size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, name);
  return out;
}

// --- templates ------------------------------------------------------------------

constexpr uint32_t kLabelStyle = kStaticRight;
constexpr uint32_t kEditStyle = kEditAutoHScroll | kStyleTabStop;

DialogTemplate MakeSettingsTemplate(int16_t language) {
  const bool ja = language == kLanguageJapanese;
  auto text = [&](SettingsText t) { return std::string(GetSettingsText(t, language)); };
  DialogTemplate t;
  t.resource_id = ja ? kInitialSettingsJapaneseId : kInitialSettingsEnglishId;
  t.title = text(SettingsText::kTitle);
  t.font_face = "Segoe UI";
  t.font_points = 9;
  t.style = kStylePopup | kStyleCaption | kStyleSysMenu | kStyleModalFrame | kStyleVisible;
  t.width = 310;
  t.height = 230;
  t.items.push_back(
      {kPresetLabelId, kClassStatic, kLabelStyle, text(SettingsText::kPresetLabel), 9, 12, 36, 8});
  t.items.push_back(
      {kPresetListId, kClassComboBox,
       kComboDropDownList | kComboOwnerDrawFixed | kComboHasStrings | kStyleVScroll | kStyleTabStop,
       "", 51, 10, 160, 12});
  t.items.push_back({kSettingsGroupId, kClassButton, kButtonGroupBox, "", 5, 26, 300, 170});
  // One row: label, edit and unit, by the label's id (edit + 1, unit + 2).
  auto row = [&](int label_id, SettingsText label, int lx, int ly, int lw, int ex, int ey, int ux,
                 int uy) {
    t.items.push_back({label_id, kClassStatic, kLabelStyle, text(label), lx, ly, lw, 8});
    t.items.push_back({label_id + 1, kClassEdit, kEditStyle, "", ex, ey, 50, 12});
    t.items.push_back(
        {label_id + 2, kClassStatic, kStaticLeft, text(SettingsText::kMillimetres), ux, uy, 20, 8});
  };
  row(37, SettingsText::kAreaWidth, 20, 45, 75, 97, 43, 150, 45);
  row(40, SettingsText::kHeight, 20, 65, 75, 97, 63, 150, 65);
  row(44, SettingsText::kMarginLeft, 20, 85, 75, 97, 83, 150, 85);
  if (ja) {
    row(47, SettingsText::kTop, 175, 85, 15, 196, 83, 250, 85);
  } else {
    row(47, SettingsText::kTop, 170, 85, 30, 206, 83, 260, 85);
  }
  row(50, SettingsText::kRight, 20, 105, 75, 97, 103, 150, 105);
  if (ja) {
    row(53, SettingsText::kBottom, 175, 105, 15, 196, 103, 250, 105);
  } else {
    row(53, SettingsText::kBottom, 170, 105, 30, 206, 103, 260, 105);
  }
  if (ja) {
    row(57, SettingsText::kGroupSpacing, 20, 130, 70, 97, 128, 150, 130);
  } else {
    row(57, SettingsText::kGroupSpacing, 30, 130, 80, 117, 128, 170, 130);
  }
  t.items.push_back(
      {60, kClassStatic, kLabelStyle, text(SettingsText::kAlignment), 20, 155, 75, 8});
  t.items.push_back({kAlignmentId, kClassComboBox,
                     kComboDropDownList | kComboHasStrings | kStyleVScroll | kStyleTabStop, "", 97,
                     153, 120, 30});
  t.items.push_back(
      {62, kClassStatic, kLabelStyle, text(SettingsText::kDirection), 20, 175, 75, 8});
  t.items.push_back({kDirectionFirstId, kClassButton,
                     kButtonAutoRadio | kStyleTabStop | kStyleGroup,
                     text(SettingsText::kLeftToRight), 99, 175, 58, 10});
  t.items.push_back({kDirectionSecondId, kClassButton, kButtonAutoRadio | kStyleTabStop,
                     text(SettingsText::kRightToLeft), 160, 175, 70, 10});
  t.items.push_back(
      {kIdOk, kClassButton, kButtonDefPush | kStyleTabStop | kStyleGroup, "OK", 245, 206, 50, 14});
  t.items.push_back(
      {kIdCancel, kClassButton, kButtonPush | kStyleTabStop, "Cancel", 190, 206, 50, 14});
  return t;
}

DialogTemplate MakeNameTemplate(int16_t language) {
  const bool ja = language == kLanguageJapanese;
  DialogTemplate t;
  t.resource_id = ja ? kPresetNameJapaneseId : kPresetNameEnglishId;
  t.title = GetSettingsText(SettingsText::kNameTitle, language);
  t.font_face = "Segoe UI";
  t.font_points = 9;
  t.style = kStylePopup | kStyleCaption | kStyleSysMenu | kStyleModalFrame | kStyleVisible;
  t.width = 267;
  t.height = 80;
  t.items = {
      {-1, kClassStatic, kStaticLeft, GetSettingsText(SettingsText::kNameLabel, language), 27, 20,
       213, 8},
      {kPresetNameFieldId, kClassEdit, kEditStyle, "", 27, 34, 213, 12},
      {kIdOk, kClassButton, kButtonDefPush | kStyleTabStop, "OK", 135, 56, 50, 14},
      {kIdCancel, kClassButton, kButtonPush | kStyleTabStop, "Cancel", 190, 56, 50, 14},
  };
  return t;
}

// --- the dialog's state ---------------------------------------------------------------

// One Initial Settings dialog is open at a time.
struct DialogState {
  int last_acted = 0;  // the preset list index the list handler last acted on
};
DialogState g_state;

// The name the name dialog ended with.
std::string g_new_name;

WindowHandle Item(WindowHandle dialog, int id) {
  return GetDialogItem(dialog, id);
}

void CentreOnOwner(WindowHandle dialog) {
  WindowHandle owner = GetOwner(dialog);
  if (!IsWindow(owner)) owner = DesktopWindow();
  const PixelRect o = GetWindowRect(owner);
  const PixelRect own = GetWindowRect(dialog);
  const int x = static_cast<int>((o.left + o.right) * 0.5 - own.Width() * 0.5);
  const int y = static_cast<int>((o.top + o.bottom) * 0.5 - own.Height() * 0.5);
  SetWindowPosition(dialog, x, y, true);
}

struct FieldBinding {
  int id;
  double PluginGlobals::*field;
};
constexpr FieldBinding kPlateFields[] = {
    {kPlateWidthId, &PluginGlobals::plate_width},
    {kPlateHeightId, &PluginGlobals::plate_height},
    {kMarginLeftId, &PluginGlobals::plate_margin_left},
    {kMarginTopId, &PluginGlobals::plate_margin_top},
    {kMarginRightId, &PluginGlobals::plate_margin_right},
    {kMarginBottomId, &PluginGlobals::plate_margin_bottom},
};

std::string Format(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

double ReadNumber(WindowHandle field) {
  std::string text = GetWindowText(field);
  if (text.size() > kFieldTextMax) text.resize(kFieldTextMax);
  const double value = std::strtod(text.c_str(), nullptr);
  // "inf" and "nan" are no length of a sheet.
  return std::isfinite(value) ? value : 0;
}

void SetRadioTexts(WindowHandle dialog) {
  const bool vertical = ComboGetSelection(Item(dialog, kAlignmentId)) >= kBaselineLeft;
  SetWindowText(Item(dialog, kDirectionFirstId),
                Text(vertical ? SettingsText::kTopToBottom : SettingsText::kLeftToRight));
  SetWindowText(Item(dialog, kDirectionSecondId),
                Text(vertical ? SettingsText::kBottomToTop : SettingsText::kRightToLeft));
}

void FillFields(WindowHandle dialog) {
  const PluginGlobals& g = *g_globals;
  for (const FieldBinding& f : kPlateFields) SetWindowText(Item(dialog, f.id), Format(g.*f.field));
  SetWindowText(Item(dialog, kGroupSpacingId), Format(g.cur_param.collection_margin));
  ComboSetSelection(Item(dialog, kAlignmentId), g.toward_baseline);
  SetCheck(Item(dialog, kDirectionFirstId), g.toward_mode == 0 ? kChecked : kUnchecked);
  SetCheck(Item(dialog, kDirectionSecondId), g.toward_mode == 1 ? kChecked : kUnchecked);
}

void ReadFields(WindowHandle dialog) {
  PluginGlobals& g = *g_globals;
  for (const FieldBinding& f : kPlateFields) g.*f.field = ReadNumber(Item(dialog, f.id));
  g.cur_param.collection_margin = ReadNumber(Item(dialog, kGroupSpacingId));
  const int baseline = ComboGetSelection(Item(dialog, kAlignmentId));
  if (baseline >= 0) g.toward_baseline = static_cast<int16_t>(baseline);
  if (GetCheck(Item(dialog, kDirectionFirstId)) == kChecked) {
    g.toward_mode = 0;
  } else if (GetCheck(Item(dialog, kDirectionSecondId)) == kChecked) {
    g.toward_mode = 1;
  }
}

bool IsUntitled() {
  return std::string(g_globals->preset_path) == kUntitledPreset;
}

void SelectCurrent(WindowHandle dialog) {
  ComboSetSelection(Item(dialog, kPresetListId), g_globals->preset_idx);
}

void SetPresetPath(const std::string& name) {
  std::string cut = name.substr(0, kPresetNameMax);
  CopyFixedText(g_globals->preset_path, kPresetPathSize, cut.c_str());
}

void ReportSaveFailure(WindowHandle dialog, const std::string& name) {
  Beep();
  MessageBox(dialog, WithName(SettingsText::kSaveFailed, name), nullptr, kMbIconInformation);
}

bool Ask(WindowHandle dialog, SettingsText question, const std::string& name) {
  return MessageBox(dialog, WithName(question, name), nullptr, kMbOkCancel | kMbIconQuestion) ==
         kIdOk;
}

void InitDialog(WindowHandle dialog) {
  PluginGlobals& g = *g_globals;
  CentreOnOwner(dialog);
  WindowHandle list = Item(dialog, kPresetListId);
  const PixelRect own = MapWindowRect(list, dialog, GetClientRect(list));
  MoveWindow(list, own.left, own.top, own.Width(), own.Height());
  ComboSetItemHeight(list, -1, PanelScale(18));

  ComboAddString(list, "");
  ComboAddString(list, Text(SettingsText::kSave));
  ComboAddString(list, Text(SettingsText::kSaveAs));
  ComboAddString(list, Text(SettingsText::kDelete));
  g_state.last_acted = 0;
  g.preset_idx = 0;
  while (ComboCount(list) > 4) ComboDeleteString(list, 0);

  const std::vector<std::string> names = settings::ListPresetNames();
  g.preset_idx = -1;
  for (size_t i = 0; i < names.size(); ++i) {
    ComboInsertString(list, static_cast<int>(i), names[i]);
    if (g.preset_idx < 0 && names[i] == g.preset_path) g.preset_idx = static_cast<int32_t>(i);
  }
  if (g.preset_idx < 0) {
    ComboInsertString(list, 0, kUntitledPreset);
    SetPresetPath(kUntitledPreset);
    g.preset_idx = 0;
  }
  SelectCurrent(dialog);

  WindowHandle alignment = Item(dialog, kAlignmentId);
  for (SettingsText side : {SettingsText::kAlignTop, SettingsText::kAlignBottom,
                            SettingsText::kAlignLeft, SettingsText::kAlignRight}) {
    ComboAddString(alignment, Text(side));
  }
  FillFields(dialog);
  SetRadioTexts(dialog);
}

void OnPresetList(WindowHandle dialog) {
  PluginGlobals& g = *g_globals;
  WindowHandle list = Item(dialog, kPresetListId);
  const int i = ComboGetSelection(list);
  const int n = ComboCount(list);
  if (i == g_state.last_acted) return;
  g_state.last_acted = i;
  if (i < 0) return;
  if (i == n - 3) {
    if (IsUntitled()) {
      SelectCurrent(dialog);
    } else {
      PostMessage(dialog, kMsgCommand, kPresetSaveCommand, 0);
    }
  } else if (i == n - 2) {
    PostMessage(dialog, kMsgCommand, kPresetSaveAsCommand, 0);
  } else if (i == n - 1) {
    if (IsUntitled()) {
      SelectCurrent(dialog);
    } else {
      PostMessage(dialog, kMsgCommand, kPresetDeleteCommand, 0);
    }
  } else if (i == n - 4) {
    SelectCurrent(dialog);
  } else if (i != g.preset_idx) {
    g.preset_idx = i;
    SetPresetPath(ComboItemText(list, i));
    settings::LoadSettings(&g, g.preset_path);
    FillFields(dialog);
    SetRadioTexts(dialog);
  }
}

void OnSave(WindowHandle dialog) {
  ReadFields(dialog);
  if (settings::SaveSettings(*g_globals, g_globals->preset_path) == 0) {
    ReportSaveFailure(dialog, g_globals->preset_path);
  }
  SelectCurrent(dialog);
}

intptr_t NameProc(WindowHandle dialog, uint32_t message, uintptr_t wparam, intptr_t) {
  switch (message) {
    case kMsgInitDialog: {
      CentreOnOwner(dialog);
      char name[64];
      const char* pattern = Text(SettingsText::kCustomName);
      for (int number = 1; number <= kLastCustomNumber; ++number) {
        std::snprintf(name, sizeof name, pattern, number);
        if (!settings::PresetFileExists(name)) break;
      }
      WindowHandle field = Item(dialog, kPresetNameFieldId);
      SetWindowText(field, name);
      SetFocus(field);
      SetEditSelection(field, 0, -1);
      return 0;
    }
    case kMsgCommand: {
      const int id = CommandId(wparam);
      if (id == kIdOk) {
        g_new_name = GetWindowText(Item(dialog, kPresetNameFieldId)).substr(0, kPresetNameMax);
        EndDialog(dialog, kIdOk);
        return 1;
      }
      if (id == kIdCancel) {
        EndDialog(dialog, kIdCancel);
        return 1;
      }
      return 0;
    }
    default:
      return 0;
  }
}

void OnSaveAs(WindowHandle dialog) {
  PluginGlobals& g = *g_globals;
  g_new_name.clear();
  if (DialogBox(PresetNameTemplate(Language()), dialog, NameProc, 0) != kIdOk) {
    SelectCurrent(dialog);
    return;
  }
  const std::string name = g_new_name;
  WindowHandle list = Item(dialog, kPresetListId);
  if (settings::PresetFileExists(name.c_str())) {
    if (Ask(dialog, SettingsText::kOverwriteQuestion, name)) {
      ReadFields(dialog);
      if (settings::SaveSettings(g, name.c_str()) == 0) ReportSaveFailure(dialog, name);
    }
  } else {
    ReadFields(dialog);
    if (settings::SaveSettings(g, name.c_str()) != 0) {
      const int n = ComboCount(list);
      SetPresetPath(name);
      ComboInsertString(list, n - 4, name);
      g.preset_idx = n - 4;
    } else {
      ReportSaveFailure(dialog, name);
    }
  }
  SelectCurrent(dialog);
}

void OnDelete(WindowHandle dialog) {
  PluginGlobals& g = *g_globals;
  WindowHandle list = Item(dialog, kPresetListId);
  if (!Ask(dialog, SettingsText::kDeleteQuestion, g.preset_path)) {
    SelectCurrent(dialog);
    return;
  }
  settings::DeletePresetFile(g.preset_path);
  const int n = ComboCount(list);
  const int names = n - 4;
  if (names > 1) {
    ComboDeleteString(list, g.preset_idx);
    if (g.preset_idx >= n - 5) --g.preset_idx;
  } else {
    ComboDeleteString(list, g.preset_idx);
    ComboInsertString(list, 0, kUntitledPreset);
    g.preset_idx = 0;
  }
  SelectCurrent(dialog);
  SetPresetPath(ComboItemText(list, g.preset_idx));
  settings::LoadSettings(&g, g.preset_path);
  FillFields(dialog);
  SetRadioTexts(dialog);
}

void DrawPresetItem(WindowHandle dialog, const DrawItemInfo& item) {
  if (item.dc == nullptr || item.item_id < 0) return;
  const PixelRect r = item.rect;
  if (item.item_text.empty()) {
    FillRect(item.dc, r, GetStockBrush(StockBrush::kWhite));
    const int middle = (r.top + r.bottom) / 2;
    DrawLine(item.dc, {r.left, middle}, {r.right, middle}, kPresetGreyText);
    return;
  }
  const int n = ComboCount(Item(dialog, kPresetListId));
  const bool command_off = IsUntitled() && (item.item_id == n - 3 || item.item_id == n - 1);
  const bool selected = (item.item_state & kItemSelected) != 0;
  FillRect(item.dc, r,
           GetStockBrush(selected && !command_off ? StockBrush::kLightGray : StockBrush::kWhite));
  SetBackgroundMode(item.dc, BackgroundMode::kTransparent);
  SetTextColor(item.dc, command_off ? kPresetGreyText : MakeColorRef(0, 0, 0));
  PixelRect text = r;
  text.left += 2;
  DrawText(item.dc, item.item_text, text, kTextLeft | kTextVCenter | kTextSingleLine);
  if ((item.item_state & kItemFocus) != 0 && !command_off) DrawFocusRect(item.dc, r);
}

intptr_t SettingsProc(WindowHandle dialog, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (g_globals == nullptr) return 0;
  switch (message) {
    case kMsgInitDialog:
      InitDialog(dialog);
      return 1;
    case kMsgDrawItem: {
      const auto* item = reinterpret_cast<const DrawItemInfo*>(lparam);
      if (item == nullptr || item->control_id != kPresetListId) return 0;
      DrawPresetItem(dialog, *item);
      return 1;
    }
    case kMsgCommand:
      switch (CommandId(wparam)) {
        case kIdOk:
          ReadFields(dialog);
          EndDialog(dialog, kIdOk);
          return 1;
        case kIdCancel:
          EndDialog(dialog, kIdCancel);
          return 1;
        case kAlignmentId:
          SetRadioTexts(dialog);
          return 1;
        case kPresetListId:
          OnPresetList(dialog);
          return 1;
        case kPresetSaveCommand:
          OnSave(dialog);
          return 1;
        case kPresetSaveAsCommand:
          OnSaveAs(dialog);
          return 1;
        case kPresetDeleteCommand:
          OnDelete(dialog);
          return 1;
        default:
          return 0;
      }
    default:
      return 0;
  }
}

}  // namespace

const char* GetSettingsText(SettingsText text, int16_t language) {
  for (const TextEntry& entry : kTexts) {
    if (entry.id == text) return language == kLanguageJapanese ? entry.japanese : entry.english;
  }
  return "";
}

const DialogTemplate& InitialSettingsTemplate(int16_t language) {
  static const DialogTemplate japanese = MakeSettingsTemplate(kLanguageJapanese);
  static const DialogTemplate english = MakeSettingsTemplate(kLanguageEnglish);
  return language == kLanguageJapanese ? japanese : english;
}

const DialogTemplate& PresetNameTemplate(int16_t language) {
  static const DialogTemplate japanese = MakeNameTemplate(kLanguageJapanese);
  static const DialogTemplate english = MakeNameTemplate(kLanguageEnglish);
  return language == kLanguageJapanese ? japanese : english;
}

intptr_t RunInitialSettingsDialog(WindowHandle owner) {
  if (g_globals == nullptr) return kIdCancel;
  return DialogBox(InitialSettingsTemplate(Language()), owner, SettingsProc, 0);
}

void InitialSettingsFlyoutHandler(PanelRef, int32_t item_id) {
  PluginGlobals* g = g_globals;
  if (g == nullptr || item_id != kFlyoutInitialSettingsId || g->panel == nullptr) return;
  // The settings stay as they are while a run reads them.
  if (CommandInProgress()) return;
  AcquireSuitesForCallback(g->basic_suite);
  WindowHandle panel_window = nullptr;
  if (const PanelSuite* panels = HeldSuite<PanelSuite>()) {
    panels->GetPanelWindow(g->panel, &panel_window);
  }
  if (panel_window != nullptr) ReadPanelIntoSettings(panel_window);
  if (RunInitialSettingsDialog(HostMainWindow()) == kIdOk) {
    settings::SaveSettings(*g, nullptr);
    if (panel_window != nullptr) ShowSettingsInPanel(panel_window);
  }
  ReleaseSuitesForCallback();
}

}  // namespace ui
