// Dialogs from templates in dialog units: modeless and modal.
#include "platform/dialog.h"

#include <algorithm>

#include "platform/gdi.h"
#include "platform/window_internal.h"

namespace platform {

using internal::Find;
using internal::WindowRecord;

namespace {

ModalIdleResponder g_idle_responder = nullptr;
void* g_idle_context = nullptr;

// Base units of "Segoe UI" 9 points at 96 dots per inch.
constexpr int kBaseWidth96 = 7;
constexpr int kBaseHeight96 = 15;

int ScaleToDpi(int value96) {
  return (value96 * ScreenDpi() + 48) / 96;
}

bool IsPushButton(WindowHandle window) {
  if (!IsClass(window, kClassButton)) return false;
  uint32_t kind = GetWindowStyle(window) & kStyleKindMask;
  return kind == kButtonPush || kind == kButtonDefPush;
}

// Visible and enabled below the dialog; the dialog itself may still be
// hidden while it initialises.
bool ReachableInDialog(WindowHandle dialog, WindowHandle control) {
  for (WindowHandle w = control; w != nullptr && w != dialog; w = GetParent(w)) {
    if (!IsWindowVisible(w) || !IsWindowEnabled(w)) return false;
  }
  return IsWindowEnabled(dialog);
}

}  // namespace

// The class procedure of dialogs: the dialog procedure first, then the
// dialog's defaults.
intptr_t DialogClassProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  WindowRecord* self = Find(window);
  if (self == nullptr) return 0;
  DialogProc proc = self->dialog_proc;
  intptr_t answer = proc == nullptr ? 0 : proc(window, message, wparam, lparam);
  if (message == kMsgInitDialog) return answer;
  if (answer != 0) return answer;
  switch (message) {
    case kMsgClose:
      SendMessage(window, kMsgCommand, MakeCommandParam(kIdCancel, kButtonClicked),
                  reinterpret_cast<intptr_t>(GetDialogItem(window, kIdCancel)));
      return 0;
    default:
      return DefaultWindowProc(window, message, wparam, lparam);
  }
}

PixelPoint DialogBaseUnits() {
  return {ScaleToDpi(kBaseWidth96), ScaleToDpi(kBaseHeight96)};
}

PixelRect DialogUnitsToPixels(int x, int y, int width, int height) {
  PixelPoint base = DialogBaseUnits();
  auto px = [&](int units) { return (units * base.x + 2) / 4; };
  auto py = [&](int units) { return (units * base.y + 4) / 8; };
  int left = px(x);
  int top = py(y);
  return {left, top, left + px(width), top + py(height)};
}

WindowHandle CreateDialog(const DialogTemplate& dialog_template, WindowHandle owner,
                          DialogProc proc, intptr_t param) {
  PixelRect client = DialogUnitsToPixels(dialog_template.x, dialog_template.y,
                                         dialog_template.width, dialog_template.height);
  uint32_t style = (dialog_template.style & ~kStyleChild) | kStylePopup;
  const bool visible = (style & kStyleVisible) != 0;
  WindowDesc desc;
  desc.class_name = kClassDialog;
  desc.text = dialog_template.title;
  desc.style = style & ~kStyleVisible;  // shown after initialisation
  PixelPoint origin = owner != nullptr && IsWindow(owner) ? ClientOrigin(owner) : PixelPoint{};
  int frame = (style & (kStyleModalFrame | kStyleCaption)) ? kFrameWidth : 0;
  int caption = (style & kStyleCaption) ? kCaptionHeight : 0;
  desc.x = origin.x + client.left;
  desc.y = origin.y + client.top;
  desc.width = client.Width() + 2 * frame;
  desc.height = client.Height() + 2 * frame + caption;
  desc.parent = owner;
  WindowHandle dialog = CreateWindow(desc);
  if (dialog == nullptr) return nullptr;
  if (WindowRecord* record = Find(dialog)) record->dialog_proc = proc;

  for (const DialogItemTemplate& item : dialog_template.items) {
    PixelRect r = DialogUnitsToPixels(item.x, item.y, item.width, item.height);
    WindowDesc child;
    child.class_name = item.class_name;
    child.text = item.text;
    child.style = item.style | kStyleChild | kStyleVisible;
    child.x = r.left;
    child.y = r.top;
    child.width = r.Width();
    child.height = r.Height();
    child.parent = dialog;
    child.id = item.id;
    if (CreateWindow(child) == nullptr) {
      DestroyWindow(dialog);
      return nullptr;
    }
  }

  WindowHandle first = NextTabStop(dialog, nullptr, false);
  intptr_t focus_default =
      SendMessage(dialog, kMsgInitDialog, reinterpret_cast<uintptr_t>(first), param);
  if (!IsWindow(dialog)) return nullptr;
  if (focus_default != 0 && first != nullptr && IsWindow(first)) {
    SetFocus(first);
    if (IsClass(first, kClassEdit)) SetEditSelection(first, 0, -1);
  }
  WindowRecord* record = Find(dialog);
  if (record != nullptr && visible && !record->ended) ShowWindow(dialog, true);
  return dialog;
}

intptr_t DialogBox(const DialogTemplate& dialog_template, WindowHandle owner, DialogProc proc,
                   intptr_t param) {
  const bool disable_owner = owner != nullptr && IsWindowEnabled(owner);
  if (disable_owner) EnableWindow(owner, false);
  DialogTemplate modal = dialog_template;
  modal.style &= ~kStyleVisible;  // shown below once marked modal
  WindowHandle dialog = CreateDialog(modal, owner, proc, param);
  if (dialog == nullptr) {
    if (disable_owner) EnableWindow(owner, true);
    return -1;
  }
  if (WindowRecord* record = Find(dialog)) {
    record->modal = true;
    if (!record->ended) ShowWindow(dialog, true);
  }

  // A responder that keeps answering true without posting anything would
  // spin forever; after this many empty rounds the dialog is cancelled.
  constexpr int kMaxIdleRounds = 1000;
  int idle_rounds = 0;
  intptr_t code = kIdCancel;
  for (;;) {
    WindowRecord* record = Find(dialog);
    if (record == nullptr) break;
    if (record->ended) {
      code = record->end_code;
      break;
    }
    Message message;
    if (PeekMessage(&message, true)) {
      idle_rounds = 0;
      if (!IsDialogMessage(dialog, message)) {
        TranslateMessage(message);
        DispatchMessage(message);
      }
      continue;
    }
    if (g_idle_responder != nullptr && idle_rounds < kMaxIdleRounds &&
        g_idle_responder(dialog, g_idle_context)) {
      ++idle_rounds;
      continue;
    }
    // Nobody is left to answer: the dialog is cancelled the way Escape does.
    SendMessage(dialog, kMsgCommand, MakeCommandParam(kIdCancel, kButtonClicked),
                reinterpret_cast<intptr_t>(GetDialogItem(dialog, kIdCancel)));
    if (WindowRecord* r = Find(dialog); r != nullptr && !r->ended) {
      r->ended = true;
      r->end_code = kIdCancel;
    }
  }
  if (IsWindow(dialog)) DestroyWindow(dialog);
  if (disable_owner && IsWindow(owner)) EnableWindow(owner, true);
  return code;
}

bool EndDialog(WindowHandle dialog, intptr_t code) {
  WindowRecord* record = Find(dialog);
  if (record == nullptr || !IsClass(dialog, kClassDialog)) return false;
  record->ended = true;
  record->end_code = code;
  if (!record->modal) ShowWindow(dialog, false);
  return true;
}

WindowHandle NextTabStop(WindowHandle dialog, WindowHandle from, bool previous) {
  std::vector<WindowHandle> stops;
  for (WindowHandle child : GetChildren(dialog)) {
    if ((GetWindowStyle(child) & kStyleTabStop) && ReachableInDialog(dialog, child)) {
      stops.push_back(child);
    }
  }
  if (stops.empty()) return nullptr;
  auto at = std::find(stops.begin(), stops.end(), from);
  if (at == stops.end()) {
    // Start from the control's place in creation order even when it is not
    // a tab stop itself.
    std::vector<WindowHandle> all = GetChildren(dialog);
    auto pos = std::find(all.begin(), all.end(), from);
    if (pos == all.end()) return previous ? stops.back() : stops.front();
    if (previous) {
      for (auto it = std::make_reverse_iterator(pos); it != all.rend(); ++it) {
        if (std::find(stops.begin(), stops.end(), *it) != stops.end()) return *it;
      }
      return stops.back();
    }
    for (auto it = pos + 1; it != all.end(); ++it) {
      if (std::find(stops.begin(), stops.end(), *it) != stops.end()) return *it;
    }
    return stops.front();
  }
  size_t index = static_cast<size_t>(at - stops.begin());
  size_t count = stops.size();
  return stops[previous ? (index + count - 1) % count : (index + 1) % count];
}

bool IsDialogMessage(WindowHandle dialog, const Message& message) {
  if (message.message != kMsgKeyDown && message.message != kMsgChar) return false;
  if (!IsWindow(dialog) || !IsSelfOrDescendant(dialog, message.window)) return false;
  uint32_t key = static_cast<uint32_t>(message.wparam);
  if (key != kKeyTab && key != kKeyReturn && key != kKeyEscape) return false;
  if (message.message == kMsgChar) return true;  // the key was handled already
  if (key == kKeyTab) {
    WindowHandle next = NextTabStop(dialog, GetFocus(), IsKeyDown(kKeyShift));
    if (next != nullptr) {
      SetFocus(next);
      if (IsClass(next, kClassEdit)) SetEditSelection(next, 0, -1);
    }
    return true;
  }
  if (key == kKeyEscape) {
    SendMessage(dialog, kMsgCommand, MakeCommandParam(kIdCancel, kButtonClicked),
                reinterpret_cast<intptr_t>(GetDialogItem(dialog, kIdCancel)));
    return true;
  }
  WindowHandle button = GetFocus();
  if (!IsPushButton(button) || !IsSelfOrDescendant(dialog, button)) {
    button = nullptr;
    for (WindowHandle child : GetChildren(dialog)) {
      if (IsClass(child, kClassButton) &&
          (GetWindowStyle(child) & kStyleKindMask) == kButtonDefPush) {
        button = child;
        break;
      }
    }
  }
  int id = button != nullptr ? GetWindowId(button) : kIdOk;
  if (button == nullptr) button = GetDialogItem(dialog, kIdOk);
  if (button != nullptr && !IsWindowReachable(button)) return true;  // a disabled default
  SendMessage(dialog, kMsgCommand, MakeCommandParam(id, kButtonClicked),
              reinterpret_cast<intptr_t>(button));
  return true;
}

void SetModalIdleResponder(ModalIdleResponder responder, void* context) {
  g_idle_responder = responder;
  g_idle_context = context;
}

}  // namespace platform
