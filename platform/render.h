// Rendering a window tree to an image and a PNG file, with cairo.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window_types.h"

namespace platform {

// An image in rows of 0xAARRGGBB pixels, top row first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The window as a person would see it: for a top-level window its frame and
// caption, the client background, every visible child in creation order with
// its default look, the owner-drawn parts drawn by their owners, and the
// lists of open combo boxes. A child window is cut out of its top-level
// window's image. An empty image for a bad handle.
Image RenderWindow(WindowHandle window);

// Renders the window and writes it as a PNG file; false when it cannot.
bool RenderWindowToPng(WindowHandle window, const std::string& path);

// Colour of a pixel as a Windows colour value (the alpha is dropped).
ColorRef PixelColor(const Image& image, int x, int y);

}  // namespace platform
