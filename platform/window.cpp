// Windows, window procedures, messages and the per-thread message queue.
#include "platform/window.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/window_input.h"
#include "platform/window_internal.h"

namespace platform {
namespace internal {
namespace {

struct ClassEntry {
  std::string name;
  WindowProc proc;
};

// All windows, by handle value. Handle values count up and are never reused,
// so a stale handle can never name a newer window.
struct WindowTable {
  std::mutex mutex;
  std::map<uintptr_t, std::unique_ptr<WindowRecord>> windows;
  uintptr_t next = 0x10000;
  std::vector<ClassEntry> classes;
  std::map<std::thread::id, std::deque<Message>> queues;
  std::atomic<int> screen_dpi{96};
  int screen_width = 1920;
  int screen_height = 1080;
  WindowHandle desktop = nullptr;
};

WindowTable& Table() {
  static WindowTable* table = new WindowTable();  // lives as long as the process
  return *table;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// Focus and key state belong to the thread, as input does.
thread_local WindowHandle t_focus = nullptr;
thread_local bool t_keys[256] = {};

}  // namespace

WindowRecord* Find(WindowHandle window) {
  if (window == nullptr) return nullptr;
  WindowTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.windows.find(reinterpret_cast<uintptr_t>(window));
  return it == table.windows.end() ? nullptr : it->second.get();
}

PixelPoint NonClientOffset(const WindowRecord& record) {
  if (record.style & kStyleChild) return {};
  PixelPoint offset;
  if (record.style & (kStyleModalFrame | kStyleCaption)) {
    offset.x = kFrameWidth;
    offset.y = kFrameWidth;
  }
  if (record.style & kStyleCaption) offset.y += kCaptionHeight;
  return offset;
}

}  // namespace internal

using internal::Find;
using internal::WindowRecord;

namespace {

WindowProc ClassProc(std::string_view name);

void NotifyParent(WindowRecord* control, uint16_t code) {
  if (control->parent == nullptr) return;
  SendMessage(control->parent, kMsgCommand, MakeCommandParam(control->id, code),
              reinterpret_cast<intptr_t>(control->handle));
}

uint32_t Kind(const WindowRecord* record) {
  return record->style & kStyleKindMask;
}

// Paints through the context handed in kMsgPaint, or a context of its own.
void PaintWith(WindowHandle window, uintptr_t wparam) {
  DcHandle dc = reinterpret_cast<DcHandle>(wparam);
  if (dc != nullptr && IsDc(dc)) {
    PaintDefault(window, dc);
    return;
  }
  DcHandle own = GetDc(window);
  if (own == nullptr) return;
  PaintDefault(window, own);
  ReleaseDc(window, own);
}

// Auto radio buttons form a group with their sibling auto radios, up to the
// siblings that start a new group.
void CheckRadioInGroup(WindowRecord* radio) {
  WindowRecord* parent = Find(radio->parent);
  if (parent == nullptr) {
    radio->check = kChecked;
    return;
  }
  const auto& siblings = parent->children;
  auto at = std::find(siblings.begin(), siblings.end(), radio->handle);
  if (at == siblings.end()) return;
  size_t index = static_cast<size_t>(at - siblings.begin());
  size_t first = index;
  while (first > 0) {
    WindowRecord* r = Find(siblings[first]);
    if (r != nullptr && (r->style & kStyleGroup)) break;
    --first;
  }
  for (size_t i = first; i < siblings.size(); ++i) {
    WindowRecord* r = Find(siblings[i]);
    if (r == nullptr) continue;
    if (i > first && (r->style & kStyleGroup)) break;
    if (!IsClass(r->handle, kClassButton) || Kind(r) != kButtonAutoRadio) continue;
    int want = r == radio ? kChecked : kUnchecked;
    if (r->check != want) {
      r->check = want;
      InvalidateWindow(r->handle, true);
    }
  }
}

intptr_t ButtonProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  WindowRecord* self = Find(window);
  if (self == nullptr) return 0;
  const uint32_t kind = Kind(self);
  switch (message) {
    case kMsgLButtonDown:
      if (kind == kButtonGroupBox || !self->enabled) return 0;
      SetFocus(window);
      self = Find(window);
      if (self == nullptr) return 0;
      self->pressed = true;
      InvalidateWindow(window, true);
      return 0;
    case kMsgLButtonUp: {
      if (!self->pressed) return 0;
      self->pressed = false;
      InvalidateWindow(window, true);
      if (kind == kButtonAutoCheckBox) {
        self->check = self->check == kChecked ? kUnchecked : kChecked;
      } else if (kind == kButtonAutoRadio) {
        CheckRadioInGroup(self);
      }
      NotifyParent(self, kButtonClicked);
      return 0;
    }
    case kMsgSetFocus:
    case kMsgKillFocus:
      if (message == kMsgKillFocus) self->pressed = false;
      InvalidateWindow(window, true);
      return 0;
    case kMsgPaint:
      PaintWith(window, wparam);
      return 0;
    default:
      return DefaultWindowProc(window, message, wparam, lparam);
  }
}

intptr_t StaticProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (message == kMsgPaint) {
    PaintWith(window, wparam);
    return 0;
  }
  return DefaultWindowProc(window, message, wparam, lparam);
}

void AppendUtf8(std::string* out, uint32_t code) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code >> 6)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x110000) {
    out->push_back(static_cast<char>(0xF0 | (code >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// Decodes one UTF-8 code point at `*pos`, advancing it; malformed bytes are
// taken one by one as U+FFFD.
uint32_t NextCodePoint(std::string_view text, size_t* pos) {
  unsigned char lead = static_cast<unsigned char>(text[*pos]);
  int extra = lead < 0x80           ? 0
              : (lead >> 5) == 0x6  ? 1
              : (lead >> 4) == 0xE  ? 2
              : (lead >> 3) == 0x1E ? 3
                                    : -1;
  if (extra < 0 || *pos + static_cast<size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0)) {
    ++*pos;
    return 0xFFFD;
  }
  uint32_t code = extra == 0 ? lead : (lead & (0x3Fu >> extra));
  for (int i = 1; i <= extra; ++i) {
    unsigned char next = static_cast<unsigned char>(text[*pos + static_cast<size_t>(i)]);
    if ((next & 0xC0) != 0x80) {
      ++*pos;
      return 0xFFFD;
    }
    code = (code << 6) | (next & 0x3Fu);
  }
  *pos += static_cast<size_t>(extra) + 1;
  return code;
}

// Start of the UTF-8 character before byte `pos`.
int PreviousCharStart(const std::string& text, int pos) {
  if (pos <= 0) return 0;
  int p = pos - 1;
  while (p > 0 && (static_cast<unsigned char>(text[static_cast<size_t>(p)]) & 0xC0) == 0x80) --p;
  return p;
}

intptr_t EditProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  WindowRecord* self = Find(window);
  if (self == nullptr) return 0;
  switch (message) {
    case kMsgLButtonDown:
      if (!self->enabled) return 0;
      if (GetFocus() != window) {
        SetFocus(window);
        self = Find(window);
        if (self == nullptr) return 0;
        self->sel_start = self->sel_end = static_cast<int>(self->text.size());
      }
      return 0;
    case kMsgKeyDown:
      if ((wparam == 'A' || wparam == 'a') && IsKeyDown(kKeyControl)) {
        SetEditSelection(window, 0, -1);
      }
      return 0;
    case kMsgChar: {
      uint32_t code = static_cast<uint32_t>(wparam);
      int start = std::min(self->sel_start, self->sel_end);
      int end = std::max(self->sel_start, self->sel_end);
      std::string inserted;
      if (code == kKeyBack) {
        if (start == end) start = PreviousCharStart(self->text, start);
      } else if (code < 0x20 || code == 0x7F) {
        return 0;  // control characters do not go into a single-line field
      } else {
        AppendUtf8(&inserted, code);
      }
      if (start == end && inserted.empty()) return 0;
      self->text.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), inserted);
      self->sel_start = self->sel_end = start + static_cast<int>(inserted.size());
      InvalidateWindow(window, true);
      NotifyParent(self, kEditChange);
      return 0;
    }
    case kMsgSetFocus:
      InvalidateWindow(window, true);
      NotifyParent(self, kEditSetFocus);
      return 0;
    case kMsgKillFocus:
      InvalidateWindow(window, true);
      NotifyParent(self, kEditKillFocus);
      return 0;
    case kMsgPaint:
      PaintWith(window, wparam);
      return 0;
    default:
      return DefaultWindowProc(window, message, wparam, lparam);
  }
}

intptr_t ComboProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  WindowRecord* self = Find(window);
  if (self == nullptr) return 0;
  switch (message) {
    case kMsgLButtonDown:
      if (!self->enabled) return 0;
      SetFocus(window);
      self = Find(window);
      if (self == nullptr) return 0;
      self->dropped = !self->dropped;
      InvalidateWindow(window, true);
      NotifyParent(self, self->dropped ? kComboOpened : kComboClosed);
      return 0;
    case kMsgComboChoose: {
      int index = static_cast<int>(wparam);
      if (index < 0 || index >= static_cast<int>(self->items.size())) return 0;
      self->selection = index;
      if (Kind(self) == kComboDropDown) self->text = self->items[static_cast<size_t>(index)];
      bool was_dropped = self->dropped;
      self->dropped = false;
      InvalidateWindow(window, true);
      NotifyParent(self, kComboSelChange);
      if (was_dropped && (self = Find(window)) != nullptr) NotifyParent(self, kComboClosed);
      if ((self = Find(window)) != nullptr) NotifyParent(self, kComboSelEndOk);
      return 0;
    }
    case kMsgSetFocus:
      InvalidateWindow(window, true);
      NotifyParent(self, kComboSetFocus);
      return 0;
    case kMsgKillFocus:
      if (self->dropped) {
        self->dropped = false;
        NotifyParent(self, kComboClosed);
        if ((self = Find(window)) == nullptr) return 0;
      }
      InvalidateWindow(window, true);
      NotifyParent(self, kComboKillFocus);
      return 0;
    case kMsgPaint:
      PaintWith(window, wparam);
      return 0;
    default:
      return DefaultWindowProc(window, message, wparam, lparam);
  }
}

intptr_t DesktopProc(WindowHandle, uint32_t, uintptr_t, intptr_t) {
  return 0;
}

// Declared in dialog.cpp: the class procedure of dialogs.
}  // namespace
intptr_t DialogClassProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);
namespace {

void RegisterSystemClasses(internal::WindowTable& table) {
  if (!table.classes.empty()) return;
  table.classes.push_back({kClassButton, ButtonProc});
  table.classes.push_back({kClassStatic, StaticProc});
  table.classes.push_back({kClassEdit, EditProc});
  table.classes.push_back({kClassComboBox, ComboProc});
  table.classes.push_back({kClassDialog, DialogClassProc});
  table.classes.push_back({kClassDesktop, DesktopProc});
}

WindowProc ClassProc(std::string_view name) {
  internal::WindowTable& table = internal::Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  RegisterSystemClasses(table);
  for (const auto& entry : table.classes) {
    if (internal::EqualNoCase(entry.name, name)) return entry.proc;
  }
  return nullptr;
}

WindowHandle Insert(std::unique_ptr<WindowRecord> record) {
  internal::WindowTable& table = internal::Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  uintptr_t value = table.next++;
  WindowHandle handle = reinterpret_cast<WindowHandle>(value);
  record->handle = handle;
  table.windows[value] = std::move(record);
  return handle;
}

void Erase(WindowHandle handle) {
  internal::WindowTable& table = internal::Table();
  std::unique_ptr<WindowRecord> doomed;
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.windows.find(reinterpret_cast<uintptr_t>(handle));
    if (it == table.windows.end()) return;
    doomed = std::move(it->second);
    table.windows.erase(it);
  }
  internal::FreeBacking(*doomed);
}

bool OnThisThread(const WindowRecord* record) {
  return record != nullptr && record->thread == std::this_thread::get_id();
}

// Handles of the thread's windows, in creation order.
std::vector<WindowHandle> ThreadWindows() {
  internal::WindowTable& table = internal::Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  std::vector<WindowHandle> out;
  auto me = std::this_thread::get_id();
  for (const auto& [value, record] : table.windows) {
    if (record->thread == me) out.push_back(record->handle);
  }
  return out;
}

// Visible itself and every ancestor: it would be on the screen.
bool IsShowing(WindowHandle window) {
  for (WindowRecord* r = Find(window); r != nullptr; r = Find(r->parent)) {
    if (!r->visible) return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------

bool RegisterWindowClass(std::string_view class_name, WindowProc default_proc) {
  if (class_name.empty() || default_proc == nullptr) return false;
  if (ClassProc(class_name) != nullptr) return false;
  internal::WindowTable& table = internal::Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  table.classes.push_back({std::string(class_name), default_proc});
  return true;
}

WindowHandle CreateWindow(const WindowDesc& desc) {
  WindowProc proc = ClassProc(desc.class_name);
  if (proc == nullptr) return nullptr;
  WindowRecord* parent = Find(desc.parent);
  const bool child = (desc.style & kStyleChild) != 0;
  if (child && (parent == nullptr || !OnThisThread(parent))) return nullptr;
  if (IsClass(desc.parent, kClassDesktop) && child) return nullptr;

  auto record = std::make_unique<WindowRecord>();
  record->class_name = desc.class_name;
  record->proc = proc;
  record->id = desc.id;
  record->style = desc.style;
  record->text = desc.text;
  record->rect = {desc.x, desc.y, desc.x + std::max(0, desc.width),
                  desc.y + std::max(0, desc.height)};
  record->thread = std::this_thread::get_id();
  record->visible = (desc.style & kStyleVisible) != 0;
  record->enabled = (desc.style & kStyleDisabled) == 0;
  record->topmost = (desc.style & kStyleTopmost) != 0;
  record->needs_paint = record->visible;
  record->erase = true;
  if (child) {
    record->parent = desc.parent;
  } else if (parent != nullptr && !IsClass(desc.parent, kClassDesktop)) {
    record->owner = desc.parent;
  }
  WindowHandle handle = Insert(std::move(record));
  if (child) {
    if (WindowRecord* p = Find(desc.parent)) p->children.push_back(handle);
  }
  if (SendMessage(handle, kMsgCreate, 0, 0) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  return IsWindow(handle) ? handle : nullptr;
}

bool DestroyWindow(WindowHandle window) {
  WindowRecord* record = Find(window);
  if (record == nullptr || !OnThisThread(record)) return false;
  if (window == internal::Table().desktop) return false;

  // Owned top-level windows go with their owner.
  for (WindowHandle other : ThreadWindows()) {
    WindowRecord* r = Find(other);
    if (r != nullptr && r->owner == window) DestroyWindow(other);
  }

  // Parent first, then the children, each told before it goes.
  std::vector<WindowHandle> order;
  std::vector<WindowHandle> stack{window};
  while (!stack.empty()) {
    WindowHandle h = stack.back();
    stack.pop_back();
    WindowRecord* r = Find(h);
    if (r == nullptr) continue;
    order.push_back(h);
    for (auto it = r->children.rbegin(); it != r->children.rend(); ++it) stack.push_back(*it);
  }
  for (WindowHandle h : order) {
    SendMessage(h, kMsgDestroy, 0, 0);
  }
  if (WindowRecord* r = Find(window)) {
    if (WindowRecord* parent = Find(r->parent)) {
      auto& siblings = parent->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
  }
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    if (internal::t_focus == *it) internal::t_focus = nullptr;
    Erase(*it);
  }
  return true;
}

bool IsWindow(WindowHandle window) {
  return Find(window) != nullptr;
}

WindowHandle DesktopWindow() {
  internal::WindowTable& table = internal::Table();
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    if (table.desktop != nullptr) return table.desktop;
  }
  auto record = std::make_unique<WindowRecord>();
  record->class_name = kClassDesktop;
  record->proc = DesktopProc;
  record->visible = true;
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    if (table.desktop != nullptr) return table.desktop;
    record->rect = {0, 0, table.screen_width, table.screen_height};
    uintptr_t value = table.next++;
    record->handle = reinterpret_cast<WindowHandle>(value);
    table.desktop = record->handle;
    table.windows[value] = std::move(record);
    return table.desktop;
  }
}

void SetScreenSize(int width, int height) {
  if (width <= 0 || height <= 0) return;
  WindowHandle desktop = DesktopWindow();
  internal::WindowTable& table = internal::Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  table.screen_width = width;
  table.screen_height = height;
  auto it = table.windows.find(reinterpret_cast<uintptr_t>(desktop));
  if (it != table.windows.end()) it->second->rect = {0, 0, width, height};
}

// ---------------------------------------------------------------------------

WindowProc SetWindowProc(WindowHandle window, WindowProc proc) {
  WindowRecord* record = Find(window);
  if (record == nullptr || proc == nullptr) return nullptr;
  WindowProc old = record->proc;
  record->proc = proc;
  return old;
}

WindowProc GetWindowProc(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record == nullptr ? nullptr : record->proc;
}

intptr_t CallWindowProc(WindowProc proc, WindowHandle window, uint32_t message, uintptr_t wparam,
                        intptr_t lparam) {
  if (proc == nullptr) return 0;
  return proc(window, message, wparam, lparam);
}

intptr_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wparam,
                           intptr_t lparam) {
  switch (message) {
    case kMsgClose:
      DestroyWindow(window);
      return 0;
    case kMsgPaint:
      PaintWith(window, wparam);
      return 0;
    case kMsgCtlColorEdit: {
      DcHandle dc = reinterpret_cast<DcHandle>(wparam);
      SetTextColor(dc, kColorWindowText);
      SetBackgroundColor(dc, kColorWindow);
      return reinterpret_cast<intptr_t>(GetStockBrush(StockBrush::kWhite));
    }
    case kMsgCtlColorButton:
    case kMsgCtlColorStatic: {
      DcHandle dc = reinterpret_cast<DcHandle>(wparam);
      SetTextColor(dc, kColorWindowText);
      SetBackgroundColor(dc, kColorButtonFace);
      return reinterpret_cast<intptr_t>(GetStockBrush(StockBrush::kButtonFace));
    }
    default:
      (void)lparam;
      return 0;
  }
}

intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  WindowRecord* record = Find(window);
  if (record == nullptr || (!OnThisThread(record) && window != internal::Table().desktop)) return 0;
  return CallWindowProc(record->proc, window, message, wparam, lparam);
}

bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  internal::WindowTable& table = internal::Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  std::thread::id target = std::this_thread::get_id();
  if (window != nullptr) {
    auto it = table.windows.find(reinterpret_cast<uintptr_t>(window));
    if (it == table.windows.end() || window == table.desktop) return false;
    target = it->second->thread;
  }
  table.queues[target].push_back({window, message, wparam, lparam});
  return true;
}

bool PeekMessage(Message* message, bool remove) {
  if (message == nullptr) return false;
  internal::WindowTable& table = internal::Table();
  {
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.queues.find(std::this_thread::get_id());
    if (it != table.queues.end() && !it->second.empty()) {
      *message = it->second.front();
      if (remove) it->second.pop_front();
      return true;
    }
  }
  for (WindowHandle h : ThreadWindows()) {
    WindowRecord* r = Find(h);
    if (r != nullptr && r->needs_paint && IsShowing(h)) {
      *message = {h, kMsgPaint, 0, 0};
      return true;
    }
  }
  return false;
}

void TranslateMessage(const Message& message) {
  if (message.message != kMsgKeyDown) return;
  switch (message.wparam) {
    case kKeyTab:
    case kKeyReturn:
    case kKeyEscape:
    case kKeyBack:
      PostMessage(message.window, kMsgChar, message.wparam, 0);
      break;
    default:
      break;
  }
}

intptr_t DispatchMessage(const Message& message) {
  if ((message.message == kMsgKeyDown || message.message == kMsgKeyUp) && message.wparam < 256) {
    internal::t_keys[message.wparam] = message.message == kMsgKeyDown;
  }
  WindowRecord* record = Find(message.window);
  if (record == nullptr || !OnThisThread(record)) return 0;
  if (message.message == kMsgPaint) {
    record->needs_paint = false;
    record->erase = false;
    ++record->paint_count;
  }
  return CallWindowProc(record->proc, message.window, message.message, message.wparam,
                        message.lparam);
}

size_t PendingMessageCount() {
  internal::WindowTable& table = internal::Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.queues.find(std::this_thread::get_id());
  return it == table.queues.end() ? 0 : it->second.size();
}

void ClearMessageQueue() {
  internal::WindowTable& table = internal::Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  table.queues.erase(std::this_thread::get_id());
}

bool IsKeyDown(uint32_t virtual_key) {
  return virtual_key < 256 && internal::t_keys[virtual_key];
}

// ---------------------------------------------------------------------------

std::string GetClassName(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record == nullptr ? std::string() : record->class_name;
}

bool IsClass(WindowHandle window, std::string_view class_name) {
  WindowRecord* record = Find(window);
  return record != nullptr && internal::EqualNoCase(record->class_name, class_name);
}

int GetWindowId(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record == nullptr ? -1 : record->id;
}

uint32_t GetWindowStyle(WindowHandle window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return 0;
  uint32_t style = record->style & ~(kStyleVisible | kStyleDisabled | kStyleTopmost);
  if (record->visible) style |= kStyleVisible;
  if (!record->enabled) style |= kStyleDisabled;
  if (record->topmost) style |= kStyleTopmost;
  return style;
}

void SetWindowStyle(WindowHandle window, uint32_t style) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return;
  record->style = style;
  record->visible = (style & kStyleVisible) != 0;
  record->enabled = (style & kStyleDisabled) == 0;
  record->topmost = (style & kStyleTopmost) != 0;
  InvalidateWindow(window, true);
}

std::string GetWindowText(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record == nullptr ? std::string() : record->text;
}

bool SetWindowText(WindowHandle window, std::string_view text) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  record->text = std::string(text);
  record->sel_start = record->sel_end = 0;
  InvalidateWindow(window, true);
  return true;
}

intptr_t GetWindowData(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record == nullptr ? 0 : record->data;
}

void SetWindowData(WindowHandle window, intptr_t data) {
  if (WindowRecord* record = Find(window)) record->data = data;
}

FontHandle GetWindowFont(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record == nullptr ? nullptr : record->font;
}

void SetWindowFont(WindowHandle window, FontHandle font) {
  if (WindowRecord* record = Find(window)) {
    record->font = font;
    InvalidateWindow(window, true);
  }
}

WindowHandle GetParent(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record == nullptr ? nullptr : record->parent;
}

WindowHandle GetOwner(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record == nullptr ? nullptr : record->owner;
}

WindowHandle GetTopLevel(WindowHandle window) {
  WindowRecord* record = Find(window);
  while (record != nullptr && record->parent != nullptr) {
    WindowRecord* parent = Find(record->parent);
    if (parent == nullptr) break;
    record = parent;
  }
  return record == nullptr ? nullptr : record->handle;
}

std::vector<WindowHandle> GetChildren(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record == nullptr ? std::vector<WindowHandle>() : record->children;
}

WindowHandle GetDialogItem(WindowHandle parent, int id) {
  WindowRecord* record = Find(parent);
  if (record == nullptr) return nullptr;
  for (WindowHandle child : record->children) {
    if (GetWindowId(child) == id) return child;
  }
  return nullptr;
}

bool IsSelfOrDescendant(WindowHandle ancestor, WindowHandle window) {
  if (ancestor == nullptr) return false;
  for (WindowRecord* r = Find(window); r != nullptr; r = Find(r->parent)) {
    if (r->handle == ancestor) return true;
  }
  return false;
}

std::vector<WindowHandle> TopLevelWindows() {
  std::vector<WindowHandle> out;
  for (WindowHandle h : ThreadWindows()) {
    WindowRecord* r = Find(h);
    if (r != nullptr && r->parent == nullptr) out.push_back(h);
  }
  return out;
}

// ---------------------------------------------------------------------------

bool ShowWindow(WindowHandle window, bool visible) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  bool was = record->visible;
  record->visible = visible;
  if (visible && !was) {
    InvalidateWindow(window, true);
    for (WindowHandle child : record->children) InvalidateWindow(child, true);
  }
  if (!visible && IsSelfOrDescendant(window, internal::t_focus)) internal::t_focus = nullptr;
  return was;
}

bool IsWindowVisible(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record != nullptr && record->visible;
}

bool EnableWindow(WindowHandle window, bool enabled) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  bool was = record->enabled;
  if (was == enabled) return was;
  record->enabled = enabled;
  if (!enabled) {
    record->pressed = false;
    if (IsSelfOrDescendant(window, internal::t_focus)) SetFocus(nullptr);
  }
  SendMessage(window, kMsgEnable, enabled ? 1 : 0, 0);
  InvalidateWindow(window, true);
  return was;
}

bool IsWindowEnabled(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record != nullptr && record->enabled;
}

bool IsWindowReachable(WindowHandle window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  for (WindowRecord* r = record; r != nullptr; r = Find(r->parent)) {
    if (!r->visible || !r->enabled) return false;
  }
  return true;
}

bool IsTopmost(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record != nullptr && record->topmost;
}

WindowHandle SetFocus(WindowHandle window) {
  WindowHandle old = internal::t_focus;
  if (window != nullptr) {
    WindowRecord* record = Find(window);
    if (record == nullptr || !OnThisThread(record)) return nullptr;
  }
  if (old == window) return old;
  internal::t_focus = window;
  if (IsWindow(old)) SendMessage(old, kMsgKillFocus, reinterpret_cast<uintptr_t>(window), 0);
  // The old window's answer may have moved the focus again; only a focus
  // that is still ours is announced.
  if (window != nullptr && internal::t_focus == window) {
    SendMessage(window, kMsgSetFocus, reinterpret_cast<uintptr_t>(old), 0);
  }
  return IsWindow(old) ? old : nullptr;
}

WindowHandle GetFocus() {
  if (!IsWindow(internal::t_focus)) internal::t_focus = nullptr;
  return internal::t_focus;
}

// ---------------------------------------------------------------------------

PixelRect GetWindowRect(WindowHandle window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return {};
  PixelRect rect = record->rect;
  if (record->parent != nullptr) {
    PixelPoint origin = ClientOrigin(record->parent);
    rect.left += origin.x;
    rect.right += origin.x;
    rect.top += origin.y;
    rect.bottom += origin.y;
  }
  return rect;
}

PixelRect GetClientRect(WindowHandle window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return {};
  PixelPoint offset = internal::NonClientOffset(*record);
  int width = record->rect.Width() - 2 * offset.x;
  int height = record->rect.Height() - offset.y - offset.x;
  return {0, 0, std::max(0, width), std::max(0, height)};
}

PixelPoint ClientOrigin(WindowHandle window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return {};
  PixelRect rect = GetWindowRect(window);
  PixelPoint offset = internal::NonClientOffset(*record);
  return {rect.left + offset.x, rect.top + offset.y};
}

PixelPoint ClientToScreen(WindowHandle window, PixelPoint point) {
  PixelPoint origin = ClientOrigin(window);
  return {point.x + origin.x, point.y + origin.y};
}

PixelPoint ScreenToClient(WindowHandle window, PixelPoint point) {
  PixelPoint origin = ClientOrigin(window);
  return {point.x - origin.x, point.y - origin.y};
}

PixelRect MapWindowRect(WindowHandle from, WindowHandle to, PixelRect rect) {
  PixelPoint a = from == nullptr ? PixelPoint{} : ClientOrigin(from);
  PixelPoint b = to == nullptr ? PixelPoint{} : ClientOrigin(to);
  int dx = a.x - b.x;
  int dy = a.y - b.y;
  return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

bool MoveWindow(WindowHandle window, int x, int y, int width, int height) {
  WindowRecord* record = Find(window);
  if (record == nullptr || window == internal::Table().desktop) return false;
  record->rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
  InvalidateWindow(window, true);
  if (WindowRecord* parent = Find(record->parent)) InvalidateWindow(parent->handle, true);
  return true;
}

bool SetWindowPosition(WindowHandle window, int x, int y, bool topmost) {
  WindowRecord* record = Find(window);
  if (record == nullptr || window == internal::Table().desktop) return false;
  int width = record->rect.Width();
  int height = record->rect.Height();
  record->rect = {x, y, x + width, y + height};
  record->topmost = topmost;
  InvalidateWindow(window, true);
  return true;
}

// ---------------------------------------------------------------------------

bool InvalidateWindow(WindowHandle window, bool erase) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  record->needs_paint = true;
  record->erase = record->erase || erase;
  return true;
}

bool NeedsPaint(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record != nullptr && record->needs_paint;
}

bool UpdateWindow(WindowHandle window) {
  WindowRecord* record = Find(window);
  if (record == nullptr || !OnThisThread(record)) return false;
  if (!record->needs_paint || !IsShowing(window)) return true;
  DispatchMessage({window, kMsgPaint, 0, 0});
  return true;
}

uint64_t PaintCount(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record == nullptr ? 0 : record->paint_count;
}

// ---------------------------------------------------------------------------

int GetCheck(WindowHandle button) {
  WindowRecord* record = Find(button);
  return record == nullptr ? kUnchecked : record->check;
}

bool SetCheck(WindowHandle button, int state) {
  WindowRecord* record = Find(button);
  if (record == nullptr || !IsClass(button, kClassButton)) return false;
  record->check = state == kChecked ? kChecked : kUnchecked;
  InvalidateWindow(button, true);
  return true;
}

bool IsPressed(WindowHandle button) {
  WindowRecord* record = Find(button);
  return record != nullptr && record->pressed;
}

bool SetEditSelection(WindowHandle edit, int start, int end) {
  WindowRecord* record = Find(edit);
  if (record == nullptr) return false;
  int size = static_cast<int>(record->text.size());
  if (end < 0 || end > size) end = size;
  if (start < 0 || start > size) start = size;
  record->sel_start = start;
  record->sel_end = end;
  InvalidateWindow(edit, false);
  return true;
}

void GetEditSelection(WindowHandle edit, int* start, int* end) {
  WindowRecord* record = Find(edit);
  if (start != nullptr)
    *start = record == nullptr ? 0 : std::min(record->sel_start, record->sel_end);
  if (end != nullptr) *end = record == nullptr ? 0 : std::max(record->sel_start, record->sel_end);
}

// ---------------------------------------------------------------------------

namespace {
WindowRecord* FindCombo(WindowHandle combo) {
  return IsClass(combo, kClassComboBox) ? Find(combo) : nullptr;
}
}  // namespace

int ComboAddString(WindowHandle combo, std::string_view text) {
  return ComboInsertString(combo, -1, text);
}

int ComboInsertString(WindowHandle combo, int index, std::string_view text) {
  WindowRecord* record = FindCombo(combo);
  if (record == nullptr) return -1;
  int count = static_cast<int>(record->items.size());
  if (index < 0) index = count;
  if (index > count) return -1;
  record->items.insert(record->items.begin() + index, std::string(text));
  if (record->selection >= index) ++record->selection;
  InvalidateWindow(combo, true);
  return index;
}

int ComboDeleteString(WindowHandle combo, int index) {
  WindowRecord* record = FindCombo(combo);
  if (record == nullptr || index < 0 || index >= static_cast<int>(record->items.size())) return -1;
  record->items.erase(record->items.begin() + index);
  if (record->selection == index) {
    record->selection = -1;
  } else if (record->selection > index) {
    --record->selection;
  }
  InvalidateWindow(combo, true);
  return static_cast<int>(record->items.size());
}

void ComboResetContent(WindowHandle combo) {
  if (WindowRecord* record = FindCombo(combo)) {
    record->items.clear();
    record->selection = -1;
    InvalidateWindow(combo, true);
  }
}

int ComboCount(WindowHandle combo) {
  WindowRecord* record = FindCombo(combo);
  return record == nullptr ? 0 : static_cast<int>(record->items.size());
}

std::string ComboItemText(WindowHandle combo, int index) {
  WindowRecord* record = FindCombo(combo);
  if (record == nullptr || index < 0 || index >= static_cast<int>(record->items.size())) return {};
  return record->items[static_cast<size_t>(index)];
}

std::vector<std::string> ComboItems(WindowHandle combo) {
  WindowRecord* record = FindCombo(combo);
  return record == nullptr ? std::vector<std::string>() : record->items;
}

int ComboGetSelection(WindowHandle combo) {
  WindowRecord* record = FindCombo(combo);
  return record == nullptr ? -1 : record->selection;
}

bool ComboSetSelection(WindowHandle combo, int index) {
  WindowRecord* record = FindCombo(combo);
  if (record == nullptr || index < -1 || index >= static_cast<int>(record->items.size()))
    return false;
  record->selection = index;
  if (Kind(record) == kComboDropDown) {
    record->text = index < 0 ? std::string() : record->items[static_cast<size_t>(index)];
  }
  InvalidateWindow(combo, true);
  return true;
}

bool ComboSetItemHeight(WindowHandle combo, int which, int height) {
  WindowRecord* record = FindCombo(combo);
  if (record == nullptr || height <= 0 || height > 255) return false;
  if (which == -1) {
    record->field_height = height;
  } else {
    record->item_height = height;
  }
  InvalidateWindow(combo, true);
  return true;
}

int ComboGetItemHeight(WindowHandle combo, int which) {
  WindowRecord* record = FindCombo(combo);
  if (record == nullptr) return -1;
  return which == -1 ? internal::ComboFieldHeight(*record) : internal::ComboItemHeight(*record);
}

bool ComboShowDropDown(WindowHandle combo, bool dropped) {
  WindowRecord* record = FindCombo(combo);
  if (record == nullptr) return false;
  record->dropped = dropped;
  InvalidateWindow(combo, true);
  return true;
}

bool ComboIsDropped(WindowHandle combo) {
  WindowRecord* record = FindCombo(combo);
  return record != nullptr && record->dropped;
}

// ---------------------------------------------------------------------------

int ScreenDpi() {
  return internal::Table().screen_dpi.load(std::memory_order_relaxed);
}

void SetScreenDpi(int dpi) {
  if (dpi >= 24 && dpi <= 960) internal::Table().screen_dpi.store(dpi, std::memory_order_relaxed);
}

// ---------------------------------------------------------------------------
// Input.

bool Click(WindowHandle window) {
  if (!IsWindowReachable(window)) return false;
  PostMessage(window, kMsgLButtonDown, 0, 0);
  PostMessage(window, kMsgLButtonUp, 0, 0);
  return true;
}

bool PressKey(uint32_t virtual_key, bool shift) {
  WindowHandle target = GetFocus();
  if (shift) PostMessage(target, kMsgKeyDown, kKeyShift, 0);
  PostMessage(target, kMsgKeyDown, virtual_key, 0);
  PostMessage(target, kMsgKeyUp, virtual_key, 0);
  if (shift) PostMessage(target, kMsgKeyUp, kKeyShift, 0);
  return true;
}

bool TypeText(WindowHandle edit, std::string_view text) {
  if (!Click(edit)) return false;
  PostMessage(edit, kMsgKeyDown, kKeyControl, 0);
  PostMessage(edit, kMsgKeyDown, 'A', 0);
  PostMessage(edit, kMsgKeyUp, 'A', 0);
  PostMessage(edit, kMsgKeyUp, kKeyControl, 0);
  size_t pos = 0;
  while (pos < text.size()) PostMessage(edit, kMsgChar, NextCodePoint(text, &pos), 0);
  return true;
}

bool ChooseComboItem(WindowHandle combo, int index) {
  if (!IsClass(combo, kClassComboBox) || index < 0 || index >= ComboCount(combo)) return false;
  if (!ComboIsDropped(combo) && !Click(combo)) return false;
  PostMessage(combo, kMsgComboChoose, static_cast<uintptr_t>(index), 0);
  return true;
}

int PumpAllMessages(int limit) {
  int handled = 0;
  Message message;
  while (handled < limit && PeekMessage(&message, true)) {
    TranslateMessage(message);
    DispatchMessage(message);
    ++handled;
  }
  return handled;
}

}  // namespace platform
