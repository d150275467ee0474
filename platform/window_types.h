// Handle, geometry and procedure types of the platform's window system.
#pragma once

#include <cstdint>

struct PlatformWindow;
struct PlatformFont;
struct PlatformBrush;
struct PlatformDc;

// Handles are opaque: the window system looks them up in its own tables, so a
// stale or foreign handle is detected and answered with a failure.
using WindowHandle = PlatformWindow*;
using FontHandle = PlatformFont*;
using BrushHandle = PlatformBrush*;
using DcHandle = PlatformDc*;

// A window procedure: answers one message sent to a window. Replacing a
// window's procedure returns the previous one so the new one can chain to it.
using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wparam,
                                intptr_t lparam);

// A Windows colour value: red + 256 * green + 65536 * blue.
using ColorRef = uint32_t;

constexpr ColorRef MakeColorRef(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<ColorRef>(red) | (static_cast<ColorRef>(green) << 8) |
         (static_cast<ColorRef>(blue) << 16);
}
constexpr uint8_t ColorRed(ColorRef color) {
  return static_cast<uint8_t>(color & 0xFF);
}
constexpr uint8_t ColorGreen(ColorRef color) {
  return static_cast<uint8_t>((color >> 8) & 0xFF);
}
constexpr uint8_t ColorBlue(ColorRef color) {
  return static_cast<uint8_t>((color >> 16) & 0xFF);
}

// Pixel geometry, y down. A rectangle includes left/top and excludes
// right/bottom.
struct PixelPoint {
  int x = 0;
  int y = 0;
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};
