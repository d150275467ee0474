// The nesting panel inside the host: every control where the layout puts
// it, the controls that depend on others, the fields' keys, the theme and
// the owner-drawn buttons.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>

#include "platform/render.h"
#include "tests/plugin/plugin_host_fixture.h"

namespace plugin_test {
namespace {

using namespace platform;

using NestPanelTest = PluginHostTest;

PixelRect PlaceInPanel(WindowHandle control) {
  const PixelRect r = GetWindowRect(control);
  const PixelPoint p = ScreenToClient(GetParent(control), {r.left, r.top});
  return {p.x, p.y, p.x + r.Width(), p.y + r.Height()};
}

// Every control of the panel, in creation order, as the window system has it.
void ExpectLayout(WindowHandle panel, const std::vector<std::array<int, 5>>& expected) {
  std::vector<WindowHandle> children = GetChildren(panel);
  ASSERT_EQ(children.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& [id, x, y, w, h] = expected[i];
    SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(id));
    EXPECT_EQ(GetWindowId(children[i]), id);
    const PixelRect r = PlaceInPanel(children[i]);
    EXPECT_EQ(r.left, x);
    EXPECT_EQ(r.top, y);
    EXPECT_EQ(r.Width(), w);
    EXPECT_EQ(r.Height(), h);
  }
}

TEST_F(NestPanelTest, EnglishLayoutAt96Dpi) {
  StartLinked();
  ExpectLayout(Panel(), {
                            {10, 15, 15, 16, 16},   {-1, 31, 13, 184, 16},  {11, 10, 40, 70, 16},
                            {12, 90, 39, 65, 18},   {13, 170, 38, 61, 21},  {-1, 5, 70, 230, 1},
                            {21, 15, 85, 16, 16},   {-1, 33, 83, 62, 16},   {22, 100, 85, 16, 16},
                            {-1, 118, 83, 62, 16},  {23, 15, 110, 16, 16},  {-1, 31, 108, 184, 16},
                            {24, 15, 135, 16, 16},  {-1, 31, 133, 184, 16}, {27, 15, 160, 16, 16},
                            {-1, 31, 158, 184, 16}, {25, 10, 190, 110, 16}, {26, 130, 188, 100, 20},
                            {-1, 5, 220, 230, 1},   {31, 10, 235, 110, 16}, {32, 130, 234, 60, 18},
                            {33, 195, 235, 34, 16}, {34, 10, 270, 221, 21}, {35, 10, 295, 120, 16},
                        });
  EXPECT_EQ(ComboItems(Control(ui::kPanelRotationStepId)),
            (std::vector<std::string>{"180° (2)", "90° (4)", "45° (8)", "30° (12)", "15° (24)",
                                      "10° (36)"}));
  EXPECT_EQ(ComboGetItemHeight(Control(ui::kPanelRotationStepId), -1), 16);
  EXPECT_EQ(GetWindowStyle(Control(ui::kPanelRotationStepId)) & kStyleKindMask, kComboDropDownList);
}

TEST_F(NestPanelTest, JapaneseLayoutMovesTheSpacingFieldAndTheUnit) {
  WriteSettings("language = JAPANESE\r\n");
  StartLinked();
  EXPECT_EQ(PlaceInPanel(Control(ui::kPanelSpacingId)).left, 80);
  EXPECT_EQ(PlaceInPanel(Control(ui::kPanelUnitId)).left, 145);
  EXPECT_EQ(PlaceInPanel(Control(ui::kPanelSpacingCaptionId)).Width(), 60);
  EXPECT_EQ(PlaceInPanel(Control(ui::kPanelRotationStepId)).left, 110);
  EXPECT_EQ(PlaceInPanel(Control(ui::kPanelRotationStepId)).Width(), 120);
  EXPECT_EQ(GetWindowText(Control(ui::kPanelQuantityCaptionId)), "数量設定:");
  EXPECT_EQ(GetWindowText(Control(ui::kPanelSetId)), "設定");
}

TEST_F(NestPanelTest, At144DpiLengthsScaleAndTheBoxesKeepTheirWidth) {
  SetScreenDpi(144);
  StartLinked();
  EXPECT_EQ(g_globals->dpi_scale, 1.5);
  // S(n) = trunc(1.5 n + 0.5); the boxes' width 16 and the constants added
  // to S(n) are not scaled.
  ExpectLayout(Panel(),
               {
                   {10, 23, 23, 16, 24},    {-1, 39, 21, 284, 24},  {11, 15, 60, 105, 24},
                   {12, 135, 59, 98, 27},   {13, 255, 57, 91, 31},  {-1, 8, 105, 345, 2},
                   {21, 23, 128, 16, 24},   {-1, 41, 126, 102, 24}, {22, 150, 128, 16, 24},
                   {-1, 168, 126, 102, 24}, {23, 23, 165, 16, 24},  {-1, 39, 163, 284, 24},
                   {24, 23, 203, 16, 24},   {-1, 39, 201, 284, 24}, {27, 23, 240, 16, 24},
                   {-1, 39, 238, 284, 24},  {25, 15, 285, 165, 24}, {26, 195, 282, 150, 30},
                   {-1, 8, 330, 345, 2},    {31, 15, 353, 165, 24}, {32, 195, 351, 90, 27},
                   {33, 293, 353, 51, 24},  {34, 15, 405, 331, 31}, {35, 15, 443, 180, 24},
               });
  EXPECT_EQ(ComboGetItemHeight(Control(ui::kPanelRotationStepId), -1), 26);
  FontDesc font;
  ASSERT_TRUE(GetFontDesc(g_globals->label_font, &font));
  EXPECT_EQ(font.height, -18);
  EXPECT_EQ(font.face, "メイリオ");
  EXPECT_EQ(font.charset, kCharsetShiftJis);
  ASSERT_TRUE(GetFontDesc(g_globals->combo_font, &font));
  EXPECT_EQ(font.height, -15);
}

TEST_F(NestPanelTest, OnePageDisablesTheQuantityAndRotationOffDisablesTheStep) {
  WriteSettings(
      "one_page_reproduction = 1\r\nenable_anytime_rotation = 0\r\n"
      "anytime_rotation_mode = 3\r\n");
  StartLinked();
  EXPECT_FALSE(IsWindowEnabled(Control(ui::kPanelQuantityId)));
  EXPECT_FALSE(IsWindowEnabled(Control(ui::kPanelSetId)));
  EXPECT_FALSE(IsWindowEnabled(Control(ui::kPanelRotationStepId)));
  EXPECT_EQ(ComboGetSelection(Control(ui::kPanelRotationStepId)), 3);
  Click(ui::kPanelOnePageId);
  EXPECT_TRUE(IsWindowEnabled(Control(ui::kPanelQuantityId)));
  EXPECT_TRUE(IsWindowEnabled(Control(ui::kPanelSetId)));
  Click(ui::kPanelAnytimeRotationId);
  EXPECT_TRUE(IsWindowEnabled(Control(ui::kPanelRotationStepId)));
  Click(ui::kPanelAnytimeRotationId);
  EXPECT_FALSE(IsWindowEnabled(Control(ui::kPanelRotationStepId)));
  Click(ui::kPanelOnePageId);
  EXPECT_FALSE(IsWindowEnabled(Control(ui::kPanelQuantityId)));
  // The step stays what it was while the box is unchecked.
  ui::ReadPanelIntoSettings(Panel());
  EXPECT_EQ(g_globals->anytime_rotation_mode, 3);
  EXPECT_EQ(g_globals->enable_anytime_rotation, 0);
}

TEST_F(NestPanelTest, TabShiftTabAndEnterInTheFields) {
  StartLinked();
  WindowHandle quantity = Control(ui::kPanelQuantityId);
  WindowHandle spacing = Control(ui::kPanelSpacingId);
  Type(ui::kPanelQuantityId, "3");
  ASSERT_TRUE(PressKey(kKeyTab));
  PumpAllMessages();
  EXPECT_EQ(GetFocus(), spacing);
  int start = -1, end = -1;
  GetEditSelection(spacing, &start, &end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, static_cast<int>(GetWindowText(spacing).size()));
  ASSERT_TRUE(PressKey(kKeyTab));  // wraps around to the first field
  PumpAllMessages();
  EXPECT_EQ(GetFocus(), quantity);
  ASSERT_TRUE(PressKey(kKeyTab, true));
  PumpAllMessages();
  EXPECT_EQ(GetFocus(), spacing);
  // With the quantity field disabled, Tab stays in the spacing field.
  Click(ui::kPanelOnePageId);
  SetFocus(spacing);
  ASSERT_TRUE(PressKey(kKeyTab));
  PumpAllMessages();
  EXPECT_EQ(GetFocus(), spacing);
  // Enter keeps the field and selects what was typed.
  Type(ui::kPanelSpacingId, "8.5");
  ASSERT_TRUE(PressKey(kKeyReturn));
  PumpAllMessages();
  EXPECT_EQ(GetFocus(), spacing);
  GetEditSelection(spacing, &start, &end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 3);
  EXPECT_EQ(GetWindowText(spacing), "8.5");
}

TEST_F(NestPanelTest, BrightnessChangesKeepBrushesWhoseColourStayed) {
  StartLinked();
  BrushHandle panel_brush = g_globals->panel_bg_brush;
  BrushHandle edit_brush = g_globals->edit_bg_brush;
  const int fonts = LiveFontCount();
  const int brushes = LiveBrushCount();
  for (int i = 0; i < 100; ++i) ASSERT_EQ(app_->Notify(kNotifyBrightnessChanged), kNoErr);
  EXPECT_EQ(g_globals->panel_bg_brush, panel_brush);
  EXPECT_EQ(g_globals->edit_bg_brush, edit_brush);
  for (int i = 0; i < 100; ++i) app_->SetDarkTheme(i % 2 == 0);
  EXPECT_EQ(LiveFontCount(), fonts);
  EXPECT_EQ(LiveBrushCount(), brushes);
  app_->SetDarkTheme(true);
  EXPECT_EQ(g_globals->ui_dark, 1);
  EXPECT_EQ(ThemeColorRef(g_globals->label_color), MakeColorRef(204, 204, 204));
  EXPECT_EQ(ThemeColorRef(g_globals->panel_bg_color), ThemeColorRef(host::kDarkPanelColor));
}

TEST_F(NestPanelTest, OwnerDrawnButtonsAreFramedInTheThemesFrameColour) {
  StartLinked();
  for (bool dark : {false, true}) {
    app_->SetDarkTheme(dark);
    const Image image = RenderWindow(Panel());
    ASSERT_GT(image.width, 0);
    // The image holds the panel's caption and frame around its client area.
    const PixelPoint origin = ClientOrigin(Panel());
    const PixelRect outer = GetWindowRect(Panel());
    PixelRect nest = PlaceInPanel(Control(ui::kPanelNestId));
    nest = {nest.left + origin.x - outer.left, nest.top + origin.y - outer.top,
            nest.right + origin.x - outer.left, nest.bottom + origin.y - outer.top};
    const ColorRef frame = dark ? ui::kPanelFrameDark : ui::kPanelFrameLight;
    EXPECT_EQ(PixelColor(image, nest.left, nest.top), frame);
    EXPECT_EQ(PixelColor(image, nest.right - 1, nest.bottom - 1), frame);
    // Inside, the panel's own background.
    EXPECT_EQ(PixelColor(image, nest.left + 2, nest.top + 2),
              ThemeColorRef(g_globals->panel_bg_color));
  }
}

TEST_F(NestPanelTest, ShowAndReadSettingsRoundTrip) {
  StartLinked();
  g_globals->cur_param.collection_margin = 0.75;
  g_globals->outline_mode = 1;
  g_globals->enable_initial_rotation = 0;
  g_globals->anytime_rotation_mode = 2;
  ui::ShowSettingsInPanel(Panel());
  EXPECT_EQ(GetWindowText(Control(ui::kPanelSpacingId)), "0.75");
  EXPECT_EQ(GetCheck(Control(ui::kPanelOutlineId)), kChecked);
  EXPECT_EQ(GetCheck(Control(ui::kPanelRectangleId)), kUnchecked);
  g_globals->cur_param.collection_margin = 9;
  g_globals->outline_mode = 0;
  g_globals->enable_initial_rotation = 1;
  g_globals->anytime_rotation_mode = 0;
  ui::ReadPanelIntoSettings(Panel());
  EXPECT_EQ(g_globals->cur_param.collection_margin, 0.75);
  EXPECT_EQ(g_globals->outline_mode, 1);
  EXPECT_EQ(g_globals->enable_initial_rotation, 0);
  EXPECT_EQ(g_globals->anytime_rotation_mode, 2);
  // A spacing no sheet can have is read as none.
  Type(ui::kPanelSpacingId, "1e999");
  ui::ReadPanelIntoSettings(Panel());
  EXPECT_EQ(g_globals->cur_param.collection_margin, 0);
}

}  // namespace
}  // namespace plugin_test
