// Windows, window procedures, messages and the per-thread message queue.
//
// A headless, deterministic window system: every window is a record with a
// class, an id, a style, a text, a rectangle and state; nothing appears on a
// screen until a window tree is rendered (platform/render.h). Windows belong
// to the thread that created them; only that thread may use them, except
// PostMessage, which any thread may call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_types.h"

namespace platform {

// ---------------------------------------------------------------------------
// Class names (compared without regard to case).
inline constexpr const char* kClassButton = "Button";
inline constexpr const char* kClassStatic = "STATIC";
inline constexpr const char* kClassEdit = "Edit";
inline constexpr const char* kClassComboBox = "ComboBox";
inline constexpr const char* kClassDialog = "#32770";
inline constexpr const char* kClassDesktop = "#32769";

// ---------------------------------------------------------------------------
// Styles. The low byte is the control's kind, read per class; the bits above
// it are flags that mean the same for every class.
inline constexpr uint32_t kStyleKindMask = 0xFFu;

// Button kinds.
inline constexpr uint32_t kButtonPush = 0x00;
inline constexpr uint32_t kButtonDefPush = 0x01;
inline constexpr uint32_t kButtonAutoCheckBox = 0x03;
inline constexpr uint32_t kButtonGroupBox = 0x07;
inline constexpr uint32_t kButtonAutoRadio = 0x09;
inline constexpr uint32_t kButtonOwnerDraw = 0x0B;

// Static kinds.
inline constexpr uint32_t kStaticLeft = 0x00;
inline constexpr uint32_t kStaticCenter = 0x01;
inline constexpr uint32_t kStaticRight = 0x02;
inline constexpr uint32_t kStaticBlackFrame = 0x07;
inline constexpr uint32_t kStaticOwnerDraw = 0x0D;

// Combo box kinds: with an edit field, or a list only.
inline constexpr uint32_t kComboDropDown = 0x02;
inline constexpr uint32_t kComboDropDownList = 0x03;

// Class-specific flags.
inline constexpr uint32_t kComboOwnerDrawFixed = 1u << 8;
inline constexpr uint32_t kComboHasStrings = 1u << 9;
inline constexpr uint32_t kEditAutoHScroll = 1u << 10;

// Flags of every window.
inline constexpr uint32_t kStyleVScroll = 1u << 16;
inline constexpr uint32_t kStyleTabStop = 1u << 17;
inline constexpr uint32_t kStyleGroup = 1u << 18;
inline constexpr uint32_t kStyleDisabled = 1u << 19;
inline constexpr uint32_t kStyleVisible = 1u << 20;
inline constexpr uint32_t kStyleCaption = 1u << 21;
inline constexpr uint32_t kStyleSysMenu = 1u << 22;
inline constexpr uint32_t kStyleModalFrame = 1u << 23;
inline constexpr uint32_t kStyleChild = 1u << 24;
inline constexpr uint32_t kStylePopup = 1u << 25;
inline constexpr uint32_t kStyleTopmost = 1u << 26;

// ---------------------------------------------------------------------------
// Messages.
inline constexpr uint32_t kMsgNull = 0x0000;
inline constexpr uint32_t kMsgCreate = 0x0001;
inline constexpr uint32_t kMsgDestroy = 0x0002;
inline constexpr uint32_t kMsgSetFocus = 0x0007;   // wparam: the window that lost the focus
inline constexpr uint32_t kMsgKillFocus = 0x0008;  // wparam: the window that receives the focus
inline constexpr uint32_t kMsgEnable = 0x000A;     // wparam: 1 enabled, 0 disabled
inline constexpr uint32_t kMsgPaint = 0x000F;      // wparam: a device context to paint into, or 0
inline constexpr uint32_t kMsgClose = 0x0010;
inline constexpr uint32_t kMsgDrawItem = 0x002B;  // wparam: control id, lparam: const DrawItemInfo*
inline constexpr uint32_t kMsgKeyDown = 0x0100;   // wparam: virtual key
inline constexpr uint32_t kMsgKeyUp = 0x0101;
inline constexpr uint32_t kMsgChar = 0x0102;  // wparam: Unicode code point
inline constexpr uint32_t kMsgInitDialog =
    0x0110;  // wparam: the control to get the focus, lparam: creation param
inline constexpr uint32_t kMsgCommand =
    0x0111;  // wparam: MakeCommandParam(id, code), lparam: the control or 0
inline constexpr uint32_t kMsgCtlColorEdit =
    0x0133;  // wparam: DcHandle, lparam: control; answer: a brush
inline constexpr uint32_t kMsgCtlColorButton = 0x0135;  // same
inline constexpr uint32_t kMsgCtlColorStatic = 0x0138;  // same
inline constexpr uint32_t kMsgLButtonDown = 0x0201;
inline constexpr uint32_t kMsgLButtonUp = 0x0202;
inline constexpr uint32_t kMsgComboChoose =
    0x03F0;  // wparam: item index; a person's pick from the list
inline constexpr uint32_t kMsgUser = 0x0400;
inline constexpr uint32_t kMsgApp = 0x8000;

// Notification codes carried in the high half of a command's wparam.
inline constexpr uint16_t kButtonClicked = 0;
inline constexpr uint16_t kComboSelChange = 1;
inline constexpr uint16_t kComboSetFocus = 3;
inline constexpr uint16_t kComboKillFocus = 4;
inline constexpr uint16_t kComboOpened = 7;
inline constexpr uint16_t kComboClosed = 8;
inline constexpr uint16_t kComboSelEndOk = 9;
inline constexpr uint16_t kEditSetFocus = 0x0100;
inline constexpr uint16_t kEditKillFocus = 0x0200;
inline constexpr uint16_t kEditChange = 0x0300;

// Standard command ids of dialogs.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

constexpr uintptr_t MakeCommandParam(int id, uint16_t code) {
  return (static_cast<uintptr_t>(code) << 16) | static_cast<uint16_t>(id);
}
constexpr int CommandId(uintptr_t wparam) {
  return static_cast<int>(wparam & 0xFFFF);
}
constexpr uint16_t CommandCode(uintptr_t wparam) {
  return static_cast<uint16_t>((wparam >> 16) & 0xFFFF);
}

// Virtual keys.
inline constexpr uint32_t kKeyBack = 0x08;
inline constexpr uint32_t kKeyTab = 0x09;
inline constexpr uint32_t kKeyReturn = 0x0D;
inline constexpr uint32_t kKeyShift = 0x10;
inline constexpr uint32_t kKeyControl = 0x11;
inline constexpr uint32_t kKeyEscape = 0x1B;
inline constexpr uint32_t kKeySpace = 0x20;

// Button check states.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;

// Owner draw: control types, actions and item states.
inline constexpr uint32_t kOwnerDrawButton = 4;
inline constexpr uint32_t kOwnerDrawComboBox = 3;
inline constexpr uint32_t kOwnerDrawStatic = 5;

inline constexpr uint32_t kDrawEntire = 1;

inline constexpr uint32_t kItemSelected = 0x0001;
inline constexpr uint32_t kItemDisabled = 0x0004;
inline constexpr uint32_t kItemChecked = 0x0008;
inline constexpr uint32_t kItemFocus = 0x0010;
inline constexpr uint32_t kItemComboBoxEdit = 0x1000;

struct DrawItemInfo {
  uint32_t control_type = 0;
  int control_id = 0;
  int item_id = -1;  // combo box item, -1 when none
  uint32_t item_action = kDrawEntire;
  uint32_t item_state = 0;
  WindowHandle item_window = nullptr;
  DcHandle dc = nullptr;
  PixelRect rect;  // in the item window's client coordinates
  std::string_view item_text;
};

// ---------------------------------------------------------------------------
// Classes and creation.

// Registers a window class with its default procedure. The five system
// classes above are registered from the start. Returns false for an empty
// name, a null procedure or a name already taken.
bool RegisterWindowClass(std::string_view class_name, WindowProc default_proc);

struct WindowDesc {
  std::string class_name;
  std::string text;
  uint32_t style = 0;
  int x = 0;  // relative to the parent's client area; screen for a top-level window
  int y = 0;
  int width = 0;
  int height = 0;
  WindowHandle parent = nullptr;  // a child's parent, or a top-level window's owner
  int id = -1;
};

// Creates a window and sends it kMsgCreate (a result of -1 destroys it again).
// A window with kStyleChild becomes the last child of its parent (so children
// stand in creation order, which is the tab order). Returns null on an unknown
// class or a child without a valid parent.
WindowHandle CreateWindow(const WindowDesc& desc);

// Destroys the window and its children (each gets kMsgDestroy, parent first).
bool DestroyWindow(WindowHandle window);

// True while the handle names a live window.
bool IsWindow(WindowHandle window);

// The desktop window: covers the screen, never destroyed.
WindowHandle DesktopWindow();
void SetScreenSize(int width, int height);

// ---------------------------------------------------------------------------
// Procedures and messages.

// Replaces the window's procedure and returns the previous one (null on a bad
// handle or a null procedure).
WindowProc SetWindowProc(WindowHandle window, WindowProc proc);
WindowProc GetWindowProc(WindowHandle window);

// Calls a saved procedure; a null procedure answers 0.
intptr_t CallWindowProc(WindowProc proc, WindowHandle window, uint32_t message, uintptr_t wparam,
                        intptr_t lparam);

// The default behaviour of a window that no class gives more: answers 0,
// paints nothing, turns kMsgClose into DestroyWindow.
intptr_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wparam,
                           intptr_t lparam);

// Calls the window's procedure now and returns its answer (0 on a bad handle).
intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wparam = 0,
                     intptr_t lparam = 0);

struct Message {
  WindowHandle window = nullptr;  // null for a message to the thread itself
  uint32_t message = kMsgNull;
  uintptr_t wparam = 0;
  intptr_t lparam = 0;
};

// Puts a message in the queue of the window's thread (any thread may post).
// A null window posts to the calling thread's queue. False on a bad handle.
bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wparam = 0, intptr_t lparam = 0);

// Takes the calling thread's next message: posted messages first, in order;
// when none is waiting, a paint message for a window of this thread that
// needs painting. With remove false the message stays in the queue. False
// when there is nothing.
bool PeekMessage(Message* message, bool remove = true);

// Turns a key press that types a character (Tab, Enter, Escape, Backspace)
// into a kMsgChar posted after it.
void TranslateMessage(const Message& message);

// Hands the message to its window's procedure (dropped for a window that no
// longer exists). Keeps the key state that GetKeyState reports.
intptr_t DispatchMessage(const Message& message);

// Number of messages waiting in the calling thread's queue.
size_t PendingMessageCount();

// Removes every message waiting in the calling thread's queue.
void ClearMessageQueue();

// Whether a key was down when the message being handled was sent.
bool IsKeyDown(uint32_t virtual_key);

// ---------------------------------------------------------------------------
// Properties.

std::string GetClassName(WindowHandle window);
// Compares the window's class with a name, without regard to case.
bool IsClass(WindowHandle window, std::string_view class_name);
int GetWindowId(WindowHandle window);  // -1 on a bad handle
uint32_t GetWindowStyle(WindowHandle window);
void SetWindowStyle(WindowHandle window, uint32_t style);

std::string GetWindowText(WindowHandle window);
bool SetWindowText(WindowHandle window, std::string_view text);

// Per-window value free for the owner of the window's procedure.
intptr_t GetWindowData(WindowHandle window);
void SetWindowData(WindowHandle window, intptr_t data);

FontHandle GetWindowFont(WindowHandle window);
void SetWindowFont(WindowHandle window, FontHandle font);

WindowHandle GetParent(WindowHandle window);  // a child's parent, or null
WindowHandle GetOwner(WindowHandle window);   // a top-level window's owner, or null
WindowHandle GetTopLevel(WindowHandle window);
// The window's children in creation (tab) order.
std::vector<WindowHandle> GetChildren(WindowHandle window);
// The child with the id, or null.
WindowHandle GetDialogItem(WindowHandle parent, int id);
// True when `window` is `ancestor` or lies below it.
bool IsSelfOrDescendant(WindowHandle ancestor, WindowHandle window);

// Top-level windows of the calling thread, in creation order.
std::vector<WindowHandle> TopLevelWindows();

// ---------------------------------------------------------------------------
// State.

bool ShowWindow(WindowHandle window, bool visible);
// Visible itself (the window's own flag, not its ancestors').
bool IsWindowVisible(WindowHandle window);
bool EnableWindow(WindowHandle window, bool enabled);
bool IsWindowEnabled(WindowHandle window);
// Visible and enabled, and so are all its ancestors: a person can reach it.
bool IsWindowReachable(WindowHandle window);
bool IsTopmost(WindowHandle window);

// Moves the keyboard focus (kMsgKillFocus to the old window, kMsgSetFocus to
// the new one, and the focus notifications of edit fields and combo boxes to
// their parents). Null takes the focus away. Returns the previous focus.
WindowHandle SetFocus(WindowHandle window);
WindowHandle GetFocus();

// ---------------------------------------------------------------------------
// Geometry.

// The window's rectangle in screen coordinates, frame and caption included.
PixelRect GetWindowRect(WindowHandle window);
// The client area, at (0, 0).
PixelRect GetClientRect(WindowHandle window);
// The client area's top-left corner in screen coordinates.
PixelPoint ClientOrigin(WindowHandle window);
PixelPoint ClientToScreen(WindowHandle window, PixelPoint point);
PixelPoint ScreenToClient(WindowHandle window, PixelPoint point);
// Maps a rectangle from one window's client coordinates to another's (null =
// the screen).
PixelRect MapWindowRect(WindowHandle from, WindowHandle to, PixelRect rect);

// Moves and sizes the window: relative to the parent's client area for a
// child, in screen coordinates for a top-level window.
bool MoveWindow(WindowHandle window, int x, int y, int width, int height);
// Moves a top-level window and sets or clears its topmost state, keeping its
// size.
bool SetWindowPosition(WindowHandle window, int x, int y, bool topmost);

// Height of a caption bar and width of a dialog frame, in pixels.
inline constexpr int kCaptionHeight = 23;
inline constexpr int kFrameWidth = 3;

// ---------------------------------------------------------------------------
// Painting.

// Marks the window for painting; its paint message comes from the queue.
// `erase` asks for the background to be filled first.
bool InvalidateWindow(WindowHandle window, bool erase);
bool NeedsPaint(WindowHandle window);
// Paints the window now if it needs it.
bool UpdateWindow(WindowHandle window);
// How many paint messages the queue has delivered to the window.
uint64_t PaintCount(WindowHandle window);

// Paints the window's default look (the class's own drawing) into `dc`; the
// classes' default procedures use it for kMsgPaint.
void PaintDefault(WindowHandle window, DcHandle dc);

// ---------------------------------------------------------------------------
// Buttons.

int GetCheck(WindowHandle button);
bool SetCheck(WindowHandle button, int state);
// True while a person holds the mouse button down on it.
bool IsPressed(WindowHandle button);

// ---------------------------------------------------------------------------
// Edit fields: the selection, in bytes of the UTF-8 text.

bool SetEditSelection(WindowHandle edit, int start, int end);  // end -1: to the end
void GetEditSelection(WindowHandle edit, int* start, int* end);

// ---------------------------------------------------------------------------
// Combo boxes. Indexes out of range are refused (-1 or false).

int ComboAddString(WindowHandle combo, std::string_view text);                // index or -1
int ComboInsertString(WindowHandle combo, int index, std::string_view text);  // -1: at the end
int ComboDeleteString(WindowHandle combo, int index);  // remaining count or -1
void ComboResetContent(WindowHandle combo);
int ComboCount(WindowHandle combo);
std::string ComboItemText(WindowHandle combo, int index);
std::vector<std::string> ComboItems(WindowHandle combo);
int ComboGetSelection(WindowHandle combo);  // -1 when none
// Selects an item (-1 clears) without notifying the parent, as a program does.
bool ComboSetSelection(WindowHandle combo, int index);
// Height of the selection field (which = -1) or of the list's items (which = 0).
bool ComboSetItemHeight(WindowHandle combo, int which, int height);
int ComboGetItemHeight(WindowHandle combo, int which);
// Opens or closes the drop-down list (a rendered tree shows it open).
bool ComboShowDropDown(WindowHandle combo, bool dropped);
bool ComboIsDropped(WindowHandle combo);

// ---------------------------------------------------------------------------
// Screen.

// Pixels per logical inch of the screen: 96 until set.
int ScreenDpi();
void SetScreenDpi(int dpi);

}  // namespace platform
