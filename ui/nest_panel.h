// The nesting panel: the controls inside the host's panel window, their
// theme, and the road from its buttons to the plug-in's action.
//
// Everything runs on the host's user-interface thread. The panel keeps its
// fonts, colours, brushes and the replaced window procedure in the plug-in's
// globals (g_globals); the calls below do nothing while g_globals is null.
#pragma once

#include <cstdint>

#include "platform/window_types.h"

namespace ui {

// Control ids of the panel.
inline constexpr int kPanelOnePageId = 10;          // check box "1 page reproduction"
inline constexpr int kPanelQuantityCaptionId = 11;  // "Quantity:"
inline constexpr int kPanelQuantityId = 12;         // edit field, quantity of the selection
inline constexpr int kPanelSetId = 13;              // owner-drawn button "Set"
inline constexpr int kPanelRectangleId = 21;        // radio, outline_mode 0
inline constexpr int kPanelOutlineId = 22;          // radio, outline_mode 1
inline constexpr int kPanelInitialRotationId = 23;  // check box "Rotate to minimize height"
inline constexpr int kPanelAnytimeRotationId = 24;  // check box "Allow rotation when nesting"
inline constexpr int kPanelRotationCaptionId = 25;  // "Rotation angle:"
inline constexpr int kPanelRotationStepId = 26;     // combo box of the rotation steps
inline constexpr int kPanelOverlapId = 27;          // check box "Consider object overlap"
inline constexpr int kPanelSpacingCaptionId = 31;   // "Minimum spacing:"
inline constexpr int kPanelSpacingId = 32;          // edit field, minimum spacing in mm
inline constexpr int kPanelUnitId = 33;             // "mm"
inline constexpr int kPanelNestId = 34;             // owner-drawn button "Nesting optimization"
inline constexpr int kPanelVersionId = 35;          // version text

// Frame colours of the owner-drawn buttons, as Windows colour values.
inline constexpr ColorRef kPanelFrameLight = 0x444444;
inline constexpr ColorRef kPanelFrameDark = 0xAAAAAA;

// Where a control of the panel stands, in pixels of the panel window's
// client area, for the current dpi_scale and language.
struct PanelControlPlace {
  int id;
  const char* class_name;
  int x, y, width, height;
};

// The panel's user-visible texts.
enum class PanelText {
  kOnePage,
  kQuantity,
  kSet,
  kRectangle,
  kOutline,
  kInitialRotation,
  kAnytimeRotation,
  kOverlap,
  kRotationAngle,
  kMinimumSpacing,
  kMillimetres,
  kNest,
  kInitialSettingsItem,
};
// The text in `language` (1 English, 0 Japanese).
const char* GetPanelText(PanelText text, int16_t language);

// The rotation steps of combo box 26, index = anytime_rotation_mode.
inline constexpr int kRotationStepCount = 6;
const char* RotationStepText(int index);

// S(n): a length at 96 DPI scaled by dpi_scale, trunc(dpi_scale * n + 0.5).
int PanelScale(int n);

// Every control of the panel in creation order, placed for the current
// dpi_scale and language (the layout the panel is built with).
int PanelLayout(PanelControlPlace* places, int capacity);

// Fills the panel window: theme, the panel procedure (the old one kept in
// panel_prev_wndproc), the controls with their fonts and the edit fields'
// procedure, the settings shown, and the dependent controls enabled.
void BuildPanel(WindowHandle panel);

// Creates the fonts if missing and takes the host theme's brightness and
// colours; a brush is made again only when its colour changed. Needs the
// theme suite held.
void RefreshPanelTheme();

// Copies the controls into the settings, and the settings into the controls.
void ReadPanelIntoSettings(WindowHandle panel);
void ShowSettingsInPanel(WindowHandle panel);

// The quantity field: -1 shows "-", a value above 0 the number, anything
// else an empty field. Reading gives -1 for exactly "-", 0 for an empty
// text, otherwise the integer value (0 when negative).
void ShowQuantity(WindowHandle panel, int32_t value);
int32_t ReadQuantity(WindowHandle panel);

// Gives the panel window back the procedure it had before BuildPanel.
void RestorePanelProc(WindowHandle panel);
// Deletes the panel's brushes and fonts, clearing their fields.
void DeletePanelResources();

}  // namespace ui
