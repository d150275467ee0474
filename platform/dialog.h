// Dialogs from templates in dialog units: modeless and modal.
//
// A dialog is a top-level window of class "#32770" whose procedure is the
// window system's dialog procedure: it hands every message to the dialog
// procedure given by the creator first, and does the dialog's defaults (the
// standard answers to colour requests, Close as Cancel) when that returns 0.
//
// Dialog units. Templates are laid out for "Segoe UI" 9 points. At 96 dots
// per inch that font's dialog base units are 7 pixels across (average
// character width) and 15 pixels down (character height); at another DPI both
// scale by DPI / 96, rounded to the nearest pixel. A horizontal dialog unit is
// a quarter of the base width, a vertical one an eighth of the base height:
//   x pixels = (x units * base width + 2) / 4       (integer, rounding)
//   y pixels = (y units * base height + 4) / 8
// So 250 x 80 units are 438 x 150 pixels at 96 DPI. The template's size is the
// client area; a caption and frame are added around it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

namespace platform {

struct DialogItemTemplate {
  int id = -1;
  std::string class_name;
  uint32_t style = 0;  // kStyleChild and kStyleVisible are added
  std::string text;
  int x = 0;  // dialog units
  int y = 0;
  int width = 0;
  int height = 0;
};

struct DialogTemplate {
  int resource_id = 0;
  std::string title;
  std::string font_face = "Segoe UI";
  int font_points = 9;
  uint32_t style = kStylePopup | kStyleCaption | kStyleModalFrame;
  int x = 0;  // dialog units, relative to the owner's client area (or the screen)
  int y = 0;
  int width = 0;
  int height = 0;
  std::vector<DialogItemTemplate> items;
};

// Dialog base units at the screen's DPI.
PixelPoint DialogBaseUnits();
// Dialog units to pixels at the screen's DPI.
PixelRect DialogUnitsToPixels(int x, int y, int width, int height);

// A dialog procedure answers non-zero when it handled the message; for colour
// requests it answers the brush.
using DialogProc = WindowProc;

// Creates the dialog and its controls, sends kMsgInitDialog (wparam: the
// first tab stop, lparam: `param`), gives the focus to the first tab stop
// when the procedure answers non-zero, and shows the dialog when its style
// has kStyleVisible. Null when the template holds an unknown class.
WindowHandle CreateDialog(const DialogTemplate& dialog_template, WindowHandle owner,
                          DialogProc proc, intptr_t param);

// Runs the dialog modally: disables the owner, pumps the calling thread's
// messages (with the dialog keys of IsDialogMessage) until EndDialog, then
// destroys the dialog, enables the owner again and returns the code. When
// the queue is empty the idle responder is asked for more input; without one,
// or when it has none, the dialog ends as if cancelled (kIdCancel), because
// no person is there to answer it. -1 when the dialog cannot be created.
intptr_t DialogBox(const DialogTemplate& dialog_template, WindowHandle owner, DialogProc proc,
                   intptr_t param);

// Ends a modal dialog with the code (the loop returns it once the current
// message is handled); hides a modeless one.
bool EndDialog(WindowHandle dialog, intptr_t code);

// The dialog keys: Tab and Shift+Tab move the focus between tab stops, Enter
// presses the focused push button or the default one (kIdOk when there is
// none), Escape sends kIdCancel. True when the message was such a key for a
// control of the dialog (it is then handled).
bool IsDialogMessage(WindowHandle dialog, const Message& message);

// The next (or previous) control after `from` among the dialog's reachable
// tab stops, wrapping around; `from` null starts at the beginning.
WindowHandle NextTabStop(WindowHandle dialog, WindowHandle from, bool previous);

// What a modal loop does when no message is waiting: the responder may post
// input and answer true, or answer false when it has nothing more.
using ModalIdleResponder = bool (*)(WindowHandle dialog, void* context);
void SetModalIdleResponder(ModalIdleResponder responder, void* context);

}  // namespace platform
