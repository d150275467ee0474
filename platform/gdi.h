// Drawing objects (fonts, brushes) and the device context that draws with them.
//
// Fonts and solid brushes are created objects that their creator must delete;
// the live counts let a test see that nothing leaks. Stock brushes exist
// always and deleting one does nothing. A device context draws into the
// backing image of a window tree with cairo; the desktop's context only
// answers questions about the screen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window_types.h"

namespace platform {

// ---------------------------------------------------------------------------
// Fonts.

inline constexpr int kWeightNormal = 400;
inline constexpr int kWeightBold = 700;
inline constexpr int kCharsetDefault = 1;
inline constexpr int kCharsetShiftJis = 128;

struct FontDesc {
  // Negative: the character (em) height in pixels; positive: the cell height.
  int height = -12;
  int weight = kWeightNormal;
  int charset = kCharsetDefault;
  std::string face = "Segoe UI";
};

FontHandle CreateFont(const FontDesc& desc);
bool DeleteFont(FontHandle font);
// False for a bad handle; `out` is untouched then.
bool GetFontDesc(FontHandle font, FontDesc* out);
int LiveFontCount();

// The font of dialogs and controls that were given none: "Segoe UI" 9 points
// at the screen's DPI. Owned by the window system, never counted as live.
FontHandle DefaultGuiFont();

// ---------------------------------------------------------------------------
// Brushes.

enum class StockBrush { kWhite, kLightGray, kGray, kDarkGray, kBlack, kNull, kButtonFace };

BrushHandle CreateSolidBrush(ColorRef color);
BrushHandle GetStockBrush(StockBrush which);
// Deletes a created brush; a stock brush or a bad handle is left alone
// (true for stock, false for bad).
bool DeleteBrush(BrushHandle brush);
bool IsBrush(BrushHandle brush);
// The brush's colour; false for the null brush or a bad handle.
bool GetBrushColor(BrushHandle brush, ColorRef* out);
int LiveBrushCount();

// Colours of the default look.
inline constexpr ColorRef kColorButtonFace = MakeColorRef(0xF0, 0xF0, 0xF0);
inline constexpr ColorRef kColorWindow = MakeColorRef(0xFF, 0xFF, 0xFF);
inline constexpr ColorRef kColorWindowText = MakeColorRef(0x00, 0x00, 0x00);
inline constexpr ColorRef kColorGrayText = MakeColorRef(0x6D, 0x6D, 0x6D);
inline constexpr ColorRef kColorBorder = MakeColorRef(0x7A, 0x7A, 0x7A);
inline constexpr ColorRef kColorHighlight = MakeColorRef(0x00, 0x78, 0xD7);
inline constexpr ColorRef kColorCaption = MakeColorRef(0xFF, 0xFF, 0xFF);
inline constexpr ColorRef kColorCaptionText = MakeColorRef(0x00, 0x00, 0x00);

// ---------------------------------------------------------------------------
// Device contexts.

// A context for drawing into the window's client area (of the backing image
// of its top-level window). Release it with ReleaseDc. Null on a bad handle.
DcHandle GetDc(WindowHandle window);
bool ReleaseDc(WindowHandle window, DcHandle dc);
bool IsDc(DcHandle dc);
// The window the context draws for (the desktop for the screen's context).
WindowHandle DcWindow(DcHandle dc);

inline constexpr int kLogPixelsX = 88;
inline constexpr int kLogPixelsY = 90;
// Answers kLogPixelsX and kLogPixelsY (the screen's DPI); 0 for anything else.
int GetDeviceCaps(DcHandle dc, int index);

enum class BackgroundMode { kTransparent = 1, kOpaque = 2 };

// Each setter returns the previous value.
ColorRef SetTextColor(DcHandle dc, ColorRef color);
ColorRef SetBackgroundColor(DcHandle dc, ColorRef color);
BackgroundMode SetBackgroundMode(DcHandle dc, BackgroundMode mode);
FontHandle SelectFont(DcHandle dc, FontHandle font);
ColorRef GetTextColor(DcHandle dc);
ColorRef GetBackgroundColor(DcHandle dc);
BackgroundMode GetBackgroundMode(DcHandle dc);
FontHandle GetSelectedFont(DcHandle dc);

// Rectangles are in the context's client coordinates. A null or bad brush
// draws nothing.
bool FillRect(DcHandle dc, const PixelRect& rect, BrushHandle brush);
// A one-pixel border just inside the rectangle.
bool FrameRect(DcHandle dc, const PixelRect& rect, BrushHandle brush);
// A one-pixel dotted rectangle that shows the keyboard focus.
bool DrawFocusRect(DcHandle dc, const PixelRect& rect);
// A line of one pixel from `from` to `to`, the end pixel excluded.
bool DrawLine(DcHandle dc, PixelPoint from, PixelPoint to, ColorRef color);

// Text alignment and layout flags.
inline constexpr uint32_t kTextLeft = 0x0000;
inline constexpr uint32_t kTextCenter = 0x0001;
inline constexpr uint32_t kTextRight = 0x0002;
inline constexpr uint32_t kTextVCenter = 0x0004;
inline constexpr uint32_t kTextBottom = 0x0008;
inline constexpr uint32_t kTextSingleLine = 0x0020;
inline constexpr uint32_t kTextNoPrefix = 0x0800;

// Draws UTF-8 text in the selected font and text colour inside the
// rectangle (clipped to it), filling the text's box with the background
// colour first when the mode is opaque. Returns the text's height in pixels.
int DrawText(DcHandle dc, std::string_view text, const PixelRect& rect, uint32_t flags);
// Width and height in pixels of a single line of text in the selected font.
PixelPoint MeasureText(DcHandle dc, std::string_view text);

}  // namespace platform
