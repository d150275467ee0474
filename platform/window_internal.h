// Records behind the window system's handles, shared by its own sources only.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/window.h"

namespace platform::internal {

struct WindowRecord {
  WindowHandle handle = nullptr;
  std::string class_name;
  WindowProc proc = nullptr;
  int id = -1;
  uint32_t style = 0;
  std::string text;
  PixelRect rect;  // child: parent's client coordinates; top-level: screen
  WindowHandle parent = nullptr;
  WindowHandle owner = nullptr;
  std::vector<WindowHandle> children;
  std::thread::id thread;
  bool visible = false;
  bool enabled = true;
  bool topmost = false;
  intptr_t data = 0;
  FontHandle font = nullptr;

  // Buttons.
  int check = kUnchecked;
  bool pressed = false;

  // Edit fields: selection in bytes.
  int sel_start = 0;
  int sel_end = 0;

  // Combo boxes.
  std::vector<std::string> items;
  int selection = -1;
  int field_height = 0;  // 0: from the font
  int item_height = 0;
  bool dropped = false;

  // Painting.
  bool needs_paint = false;
  bool erase = false;
  uint64_t paint_count = 0;

  // Dialogs.
  DialogProc dialog_proc = nullptr;
  bool modal = false;
  bool ended = false;
  intptr_t end_code = 0;

  // Top-level windows: the backing image their tree is painted into.
  cairo_surface_t* backing = nullptr;
};

// The live record of a handle, or null. The record stays valid until the
// window is destroyed, which only its own thread does.
WindowRecord* Find(WindowHandle window);

// Client area offset inside the window's rectangle (frame and caption).
PixelPoint NonClientOffset(const WindowRecord& record);

// The backing image of a top-level window, created or resized to its
// rectangle. Null for the desktop.
cairo_surface_t* BackingSurface(WindowRecord& top);
void FreeBacking(WindowRecord& record);

// A context that draws into `surface` with the client origin at `origin` and
// everything clipped to `clip` (both in surface pixels). `surface` may be null
// for a context that only measures.
DcHandle CreateDc(WindowHandle window, cairo_surface_t* surface, PixelPoint origin, PixelRect clip);
void DestroyDc(DcHandle dc);
// The cairo context of a drawing context (null when it draws nowhere), with
// the client origin as (0, 0) and the clip applied.
cairo_t* Cairo(DcHandle dc);

// Combo box visible field height and list item height in pixels.
int ComboFieldHeight(const WindowRecord& combo);
int ComboItemHeight(const WindowRecord& combo);

// Draws the open list of a combo box below it into the context of the combo's
// top-level window (whose client origin is the window's top-left corner).
void PaintComboList(WindowHandle combo, DcHandle window_dc);

// Draws a top-level window's frame and caption.
void PaintNonClient(WindowHandle window, DcHandle window_dc);

// A context covering the whole rectangle of a top-level window (frame
// included), with (0, 0) at its top-left corner.
DcHandle GetWindowDc(WindowHandle top);

}  // namespace platform::internal
