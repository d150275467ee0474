// The Initial Settings dialog: the sheet, its margins, the minimum spacing,
// alignment and direction, with named presets. Opened from the panel's
// flyout menu.
#pragma once

#include <cstdint>

#include "platform/dialog.h"
#include "platform/window_types.h"
#include "plugin/host_types.h"

namespace ui {

// Templates: the dialog in Japanese and English, and the preset name dialog.
inline constexpr int kInitialSettingsJapaneseId = 16053;
inline constexpr int kInitialSettingsEnglishId = 16253;
inline constexpr int kPresetNameJapaneseId = 16152;
inline constexpr int kPresetNameEnglishId = 16252;

// Controls of the dialog.
inline constexpr int kPresetLabelId = 201;
inline constexpr int kPresetListId = 202;  // owner-drawn combo box of presets and commands
inline constexpr int kSettingsGroupId = 203;
inline constexpr int kPlateWidthId = 38;
inline constexpr int kPlateHeightId = 41;
inline constexpr int kMarginLeftId = 45;
inline constexpr int kMarginTopId = 48;
inline constexpr int kMarginRightId = 51;
inline constexpr int kMarginBottomId = 54;
inline constexpr int kGroupSpacingId = 58;
inline constexpr int kAlignmentId = 61;        // combo box: Top, Bottom, Left, Right
inline constexpr int kDirectionFirstId = 63;   // radio, toward_mode 0
inline constexpr int kDirectionSecondId = 64;  // radio, toward_mode 1
// The name dialog's field.
inline constexpr int kPresetNameFieldId = 3;

// Commands the preset list posts to the dialog itself.
inline constexpr int kPresetSaveCommand = 2025;
inline constexpr int kPresetSaveAsCommand = 2026;
inline constexpr int kPresetDeleteCommand = 2027;

// The name that stands for no saved preset.
inline constexpr char kUntitledPreset[] = "Untitled";

// Colour of the separator and of the commands that look disabled.
inline constexpr ColorRef kPresetGreyText = 0x7F7F7F;

// The dialog's and its messages' user-visible texts.
enum class SettingsText {
  kTitle,
  kPresetLabel,
  kAreaWidth,
  kHeight,
  kMarginLeft,
  kTop,
  kRight,
  kBottom,
  kGroupSpacing,
  kAlignment,
  kDirection,
  kMillimetres,
  kAlignTop,
  kAlignBottom,
  kAlignLeft,
  kAlignRight,
  kLeftToRight,
  kRightToLeft,
  kTopToBottom,
  kBottomToTop,
  kSave,
  kSaveAs,
  kDelete,
  kSaveFailed,         // %s: the preset name
  kOverwriteQuestion,  // %s: the preset name
  kDeleteQuestion,     // %s: the preset name
  kNameTitle,
  kNameLabel,
  kCustomName,  // %d: the number
};
// The text in `language` (1 English, 0 Japanese).
const char* GetSettingsText(SettingsText text, int16_t language);

// The dialog template of the language (16053 Japanese, 16253 English) and
// the name dialog's (16152, 16252).
const platform::DialogTemplate& InitialSettingsTemplate(int16_t language);
const platform::DialogTemplate& PresetNameTemplate(int16_t language);

// Runs the dialog modally over the globals, owned by `owner`; 1 for OK, 2
// for Cancel.
intptr_t RunInitialSettingsDialog(WindowHandle owner);

// The panel's flyout handler: item 1, while the panel exists, reads the
// panel, runs the dialog and, on OK, writes the settings file and shows the
// settings in the panel.
void InitialSettingsFlyoutHandler(PanelRef panel, int32_t item_id);

}  // namespace ui
