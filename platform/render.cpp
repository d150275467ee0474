// The default look of each window class, and window trees rendered to images.
#include "platform/render.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

#include "platform/gdi.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace platform {

using internal::Find;
using internal::WindowRecord;

namespace {

constexpr ColorRef kColorPushFace = MakeColorRef(0xE1, 0xE1, 0xE1);
constexpr ColorRef kColorPushBorder = MakeColorRef(0xAD, 0xAD, 0xAD);
constexpr ColorRef kColorPushPressed = MakeColorRef(0xCC, 0xE4, 0xF7);
constexpr ColorRef kColorBoxBorder = MakeColorRef(0x33, 0x33, 0x33);
constexpr ColorRef kColorGroupLine = MakeColorRef(0xDC, 0xDC, 0xDC);

// A created brush that lives while one control is drawn.
class ScopedBrush {
 public:
  explicit ScopedBrush(ColorRef color) : brush_(CreateSolidBrush(color)) {}
  ~ScopedBrush() { DeleteBrush(brush_); }
  ScopedBrush(const ScopedBrush&) = delete;
  ScopedBrush& operator=(const ScopedBrush&) = delete;
  BrushHandle get() const { return brush_; }

 private:
  BrushHandle brush_;
};

void Fill(DcHandle dc, const PixelRect& rect, ColorRef color) {
  ScopedBrush brush(color);
  FillRect(dc, rect, brush.get());
}

void Frame(DcHandle dc, const PixelRect& rect, ColorRef color) {
  ScopedBrush brush(color);
  FrameRect(dc, rect, brush.get());
}

PixelRect Inset(PixelRect r, int by) {
  return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

FontHandle FontOf(const WindowRecord& record) {
  if (record.font != nullptr) return record.font;
  if (WindowRecord* parent = Find(record.parent); parent != nullptr && parent->font != nullptr)
    return parent->font;
  return DefaultGuiFont();
}

// Asks the parent for the control's colours: the answer is the background
// brush, the context keeps the text colour and mode the parent set.
BrushHandle AskColors(const WindowRecord& control, uint32_t message, DcHandle dc) {
  WindowHandle parent = control.parent;
  intptr_t answer = 0;
  if (parent != nullptr) {
    answer = SendMessage(parent, message, reinterpret_cast<uintptr_t>(dc),
                         reinterpret_cast<intptr_t>(control.handle));
  } else {
    answer = DefaultWindowProc(control.handle, message, reinterpret_cast<uintptr_t>(dc),
                               reinterpret_cast<intptr_t>(control.handle));
  }
  BrushHandle brush = reinterpret_cast<BrushHandle>(answer);
  if (!IsBrush(brush)) {
    brush = message == kMsgCtlColorEdit ? GetStockBrush(StockBrush::kWhite)
                                        : GetStockBrush(StockBrush::kButtonFace);
  }
  return brush;
}

void SendDrawItem(const WindowRecord& control, uint32_t type, int item, uint32_t state,
                  const PixelRect& rect, DcHandle dc, std::string_view text) {
  if (control.parent == nullptr) return;
  DrawItemInfo info;
  info.control_type = type;
  info.control_id = control.id;
  info.item_id = item;
  info.item_action = kDrawEntire;
  info.item_state = state;
  info.item_window = control.handle;
  info.dc = dc;
  info.rect = rect;
  info.item_text = text;
  SendMessage(control.parent, kMsgDrawItem, static_cast<uintptr_t>(control.id),
              reinterpret_cast<intptr_t>(&info));
}

bool Enabled(const WindowRecord& record) {
  for (const WindowRecord* r = &record; r != nullptr; r = Find(r->parent)) {
    if (!r->enabled) return false;
  }
  return true;
}

void PaintCheckMark(DcHandle dc, const PixelRect& box, ColorRef color) {
  int x = box.left + 3;
  int y = box.top + 6;
  for (int i = 0; i < 3; ++i) DrawLine(dc, {x + i, y + i}, {x + i, y + i + 2}, color);
  for (int i = 0; i < 5; ++i) DrawLine(dc, {x + 3 + i, y + 1 - i}, {x + 3 + i, y + 3 - i}, color);
}

void PaintButton(const WindowRecord& self, DcHandle dc) {
  PixelRect client = GetClientRect(self.handle);
  const uint32_t kind = self.style & kStyleKindMask;
  const bool enabled = Enabled(self);
  const bool focused = GetFocus() == self.handle;
  SelectFont(dc, FontOf(self));

  if (kind == kButtonOwnerDraw) {
    uint32_t state = 0;
    if (self.pressed) state |= kItemSelected;
    if (focused) state |= kItemFocus;
    if (!enabled) state |= kItemDisabled;
    if (self.check == kChecked) state |= kItemChecked;
    SendDrawItem(self, kOwnerDrawButton, -1, state, client, dc, self.text);
    return;
  }
  BrushHandle background = AskColors(self, kMsgCtlColorButton, dc);
  ColorRef text_color = enabled ? GetTextColor(dc) : kColorGrayText;

  if (kind == kButtonPush || kind == kButtonDefPush) {
    Fill(dc, client, self.pressed ? kColorPushPressed : kColorPushFace);
    ColorRef border = kind == kButtonDefPush || focused ? kColorHighlight : kColorPushBorder;
    Frame(dc, client, enabled ? border : kColorPushBorder);
    SetBackgroundMode(dc, BackgroundMode::kTransparent);
    SetTextColor(dc, text_color);
    DrawText(dc, self.text, client, kTextCenter | kTextVCenter | kTextSingleLine);
    if (focused) DrawFocusRect(dc, Inset(client, 3));
    return;
  }
  if (kind == kButtonGroupBox) {
    FillRect(dc, client, background);
    PixelPoint size = MeasureText(dc, self.text);
    int line_y = size.y / 2;
    Frame(dc, {client.left, client.top + line_y, client.right, client.bottom}, kColorGroupLine);
    if (!self.text.empty()) {
      PixelRect label{client.left + 8, client.top, client.left + 10 + size.x, client.top + size.y};
      FillRect(dc, label, background);
      SetBackgroundMode(dc, BackgroundMode::kTransparent);
      SetTextColor(dc, text_color);
      DrawText(dc, self.text, {label.left + 1, label.top, label.right, label.bottom}, kTextLeft);
    }
    return;
  }
  // Check boxes and radio buttons: a 13-pixel mark at the left, the text
  // beside it.
  FillRect(dc, client, background);
  constexpr int kMark = 13;
  int top = client.top + (client.Height() - kMark) / 2;
  PixelRect box{client.left, top, client.left + kMark, top + kMark};
  ColorRef mark_color = enabled ? kColorBoxBorder : kColorGrayText;
  if (kind == kButtonAutoRadio) {
    if (cairo_t* cr = internal::Cairo(dc)) {
      cairo_save(cr);
      cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
      cairo_arc(cr, box.left + kMark / 2.0, box.top + kMark / 2.0, kMark / 2.0 - 0.5, 0, 6.2832);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_fill_preserve(cr);
      cairo_set_source_rgb(cr, ColorRed(mark_color) / 255.0, ColorGreen(mark_color) / 255.0,
                           ColorBlue(mark_color) / 255.0);
      cairo_stroke(cr);
      if (self.check == kChecked) {
        cairo_arc(cr, box.left + kMark / 2.0, box.top + kMark / 2.0, 3.0, 0, 6.2832);
        cairo_fill(cr);
      }
      cairo_restore(cr);
    }
  } else {
    Fill(dc, box, kColorWindow);
    Frame(dc, box, mark_color);
    if (self.check == kChecked) PaintCheckMark(dc, box, mark_color);
  }
  if (!self.text.empty()) {
    SetBackgroundMode(dc, BackgroundMode::kTransparent);
    SetTextColor(dc, text_color);
    PixelRect label{client.left + kMark + 4, client.top, client.right, client.bottom};
    DrawText(dc, self.text, label, kTextLeft | kTextVCenter | kTextSingleLine);
    if (focused) {
      PixelPoint size = MeasureText(dc, self.text);
      int y = client.top + (client.Height() - size.y) / 2;
      DrawFocusRect(dc, {label.left - 1, y, label.left + size.x + 1, y + size.y});
    }
  }
}

void PaintStatic(const WindowRecord& self, DcHandle dc) {
  PixelRect client = GetClientRect(self.handle);
  const uint32_t kind = self.style & kStyleKindMask;
  SelectFont(dc, FontOf(self));
  if (kind == kStaticOwnerDraw) {
    uint32_t state = Enabled(self) ? 0 : kItemDisabled;
    SendDrawItem(self, kOwnerDrawStatic, -1, state, client, dc, self.text);
    return;
  }
  if (kind == kStaticBlackFrame) {
    Frame(dc, client, MakeColorRef(0, 0, 0));
    return;
  }
  BrushHandle background = AskColors(self, kMsgCtlColorStatic, dc);
  FillRect(dc, client, background);
  if (!Enabled(self)) SetTextColor(dc, kColorGrayText);
  uint32_t align = kind == kStaticRight ? kTextRight : kind == kStaticCenter ? kTextCenter : 0;
  DrawText(dc, self.text, client, align);
}

void PaintEdit(const WindowRecord& self, DcHandle dc) {
  PixelRect client = GetClientRect(self.handle);
  SelectFont(dc, FontOf(self));
  BrushHandle background = AskColors(self, kMsgCtlColorEdit, dc);
  FillRect(dc, client, background);
  const bool focused = GetFocus() == self.handle;
  Frame(dc, client, focused ? kColorHighlight : kColorBorder);
  if (!Enabled(self)) SetTextColor(dc, kColorGrayText);
  PixelRect text{client.left + 3, client.top + 1, client.right - 3, client.bottom - 1};
  int start = std::min(self.sel_start, self.sel_end);
  int end = std::max(self.sel_start, self.sel_end);
  if (focused && start < end && end <= static_cast<int>(self.text.size())) {
    // The selected part in the highlight colour, the rest around it.
    std::string_view all = self.text;
    int before = MeasureText(dc, all.substr(0, static_cast<size_t>(start))).x;
    int selected =
        MeasureText(dc, all.substr(static_cast<size_t>(start), static_cast<size_t>(end - start))).x;
    int height = MeasureText(dc, all).y;
    int top = text.top + (text.Height() - height) / 2;
    Fill(dc, {text.left + before, top, text.left + before + selected, top + height},
         kColorHighlight);
  }
  SetBackgroundMode(dc, BackgroundMode::kTransparent);
  DrawText(dc, self.text, text, kTextLeft | kTextVCenter | kTextSingleLine);
}

void PaintArrow(DcHandle dc, const PixelRect& field, ColorRef color) {
  int cx = field.right - 9;
  int cy = field.top + field.Height() / 2 - 1;
  for (int i = 0; i < 4; ++i) DrawLine(dc, {cx - 3 + i, cy + i}, {cx + 4 - i, cy + i}, color);
}

void PaintCombo(const WindowRecord& self, DcHandle dc) {
  PixelRect client = GetClientRect(self.handle);
  SelectFont(dc, FontOf(self));
  const bool enabled = Enabled(self);
  const bool focused = GetFocus() == self.handle;
  const uint32_t kind = self.style & kStyleKindMask;
  PixelRect field{client.left, client.top, client.right,
                  client.top + std::min(client.Height(), internal::ComboFieldHeight(self) + 6)};
  BrushHandle background =
      AskColors(self, kind == kComboDropDown ? kMsgCtlColorEdit : kMsgCtlColorStatic, dc);
  FillRect(dc, field, background);
  Frame(dc, field, focused ? kColorHighlight : kColorBorder);
  PixelRect inner{field.left + 3, field.top + 3, field.right - 20, field.bottom - 3};
  std::string_view text;
  if (kind == kComboDropDown) {
    text = self.text;
  } else if (self.selection >= 0 && self.selection < static_cast<int>(self.items.size())) {
    text = self.items[static_cast<size_t>(self.selection)];
  }
  if (self.style & kComboOwnerDrawFixed) {
    uint32_t state = kItemComboBoxEdit;
    if (focused && !self.dropped) state |= kItemSelected | kItemFocus;
    if (!enabled) state |= kItemDisabled;
    SendDrawItem(self, kOwnerDrawComboBox, self.selection, state, inner, dc, text);
  } else {
    if (!enabled) SetTextColor(dc, kColorGrayText);
    SetBackgroundMode(dc, BackgroundMode::kTransparent);
    DrawText(dc, text, {inner.left + 1, inner.top, inner.right, inner.bottom},
             kTextLeft | kTextVCenter | kTextSingleLine);
  }
  PaintArrow(dc, field, enabled ? kColorBoxBorder : kColorGrayText);
}

void PaintPlain(const WindowRecord& self, DcHandle dc) {
  FillRect(dc, GetClientRect(self.handle), GetStockBrush(StockBrush::kButtonFace));
}

}  // namespace

namespace internal {

int ComboFieldHeight(const WindowRecord& combo) {
  if (combo.field_height > 0) return combo.field_height;
  FontDesc desc;
  if (!GetFontDesc(FontOf(combo), &desc)) GetFontDesc(DefaultGuiFont(), &desc);
  return (desc.height < 0 ? -desc.height : desc.height) + 3;
}

int ComboItemHeight(const WindowRecord& combo) {
  if (combo.item_height > 0) return combo.item_height;
  return ComboFieldHeight(combo);
}

void PaintComboList(WindowHandle combo, DcHandle window_dc) {
  WindowRecord* self = Find(combo);
  if (self == nullptr || !self->dropped) return;
  WindowHandle top = GetTopLevel(combo);
  PixelRect top_rect = GetWindowRect(top);
  PixelRect rect = GetWindowRect(combo);
  int field = std::min(rect.Height(), ComboFieldHeight(*self) + 6);
  int item_height = ComboItemHeight(*self);
  int count = static_cast<int>(self->items.size());
  PixelRect list{rect.left - top_rect.left, rect.top - top_rect.top + field,
                 rect.right - top_rect.left,
                 rect.top - top_rect.top + field + std::max(1, count) * item_height + 2};
  SelectFont(window_dc, FontOf(*self));
  Fill(window_dc, list, kColorWindow);
  Frame(window_dc, list, kColorBorder);
  // Owner-drawn items draw into a context whose origin is the list itself.
  for (int i = 0; i < count; ++i) {
    PixelRect item{list.left + 1, list.top + 1 + i * item_height, list.right - 1,
                   list.top + 1 + (i + 1) * item_height};
    const std::string& text = self->items[static_cast<size_t>(i)];
    bool selected = i == self->selection;
    if (self->style & kComboOwnerDrawFixed) {
      uint32_t state = selected ? kItemSelected | kItemFocus : 0;
      SendDrawItem(*self, kOwnerDrawComboBox, i, state, item, window_dc, text);
    } else {
      Fill(window_dc, item, selected ? kColorHighlight : kColorWindow);
      SetTextColor(window_dc, selected ? kColorWindow : kColorWindowText);
      SetBackgroundMode(window_dc, BackgroundMode::kTransparent);
      DrawText(window_dc, text, {item.left + 2, item.top, item.right, item.bottom},
               kTextLeft | kTextVCenter | kTextSingleLine);
    }
  }
}

void PaintNonClient(WindowHandle window, DcHandle window_dc) {
  WindowRecord* self = Find(window);
  if (self == nullptr || self->parent != nullptr) return;
  PixelPoint offset = NonClientOffset(*self);
  PixelRect all{0, 0, self->rect.Width(), self->rect.Height()};
  if (offset.x == 0 && offset.y == 0) return;
  Fill(window_dc, all, kColorCaption);
  Frame(window_dc, all, kColorBorder);
  if (self->style & kStyleCaption) {
    PixelRect caption{offset.x, offset.x, all.right - offset.x, offset.y};
    SelectFont(window_dc, DefaultGuiFont());
    SetTextColor(window_dc, kColorCaptionText);
    SetBackgroundMode(window_dc, BackgroundMode::kTransparent);
    DrawText(window_dc, self->text, {caption.left + 6, caption.top, caption.right, caption.bottom},
             kTextLeft | kTextVCenter | kTextSingleLine);
    if (self->style & kStyleSysMenu) {
      int cx = caption.right - 16;
      int cy = caption.top + caption.Height() / 2;
      for (int i = -4; i <= 4; ++i) {
        DrawLine(window_dc, {cx + i, cy + i}, {cx + i + 1, cy + i}, kColorCaptionText);
        DrawLine(window_dc, {cx + i, cy - i}, {cx + i + 1, cy - i}, kColorCaptionText);
      }
    }
  }
}

}  // namespace internal

void PaintDefault(WindowHandle window, DcHandle dc) {
  WindowRecord* self = Find(window);
  if (self == nullptr || !IsDc(dc)) return;
  if (IsClass(window, kClassButton)) {
    PaintButton(*self, dc);
  } else if (IsClass(window, kClassStatic)) {
    PaintStatic(*self, dc);
  } else if (IsClass(window, kClassEdit)) {
    PaintEdit(*self, dc);
  } else if (IsClass(window, kClassComboBox)) {
    PaintCombo(*self, dc);
  } else {
    PaintPlain(*self, dc);
  }
}

namespace {

// Paints the window and its visible children through their procedures, so
// that replaced procedures and owner drawing take part.
void PaintTree(WindowHandle window, std::vector<WindowHandle>* dropped) {
  if (!IsWindowVisible(window)) return;
  DcHandle dc = GetDc(window);
  if (dc == nullptr) return;
  SendMessage(window, kMsgPaint, reinterpret_cast<uintptr_t>(dc), 0);
  ReleaseDc(window, dc);
  if (ComboIsDropped(window)) dropped->push_back(window);
  for (WindowHandle child : GetChildren(window)) PaintTree(child, dropped);
}

}  // namespace

Image RenderWindow(WindowHandle window) {
  Image image;
  WindowHandle top = GetTopLevel(window);
  WindowRecord* top_record = Find(top);
  if (top_record == nullptr || top == DesktopWindow()) return image;
  cairo_surface_t* surface = internal::BackingSurface(*top_record);
  if (surface == nullptr) return image;

  DcHandle window_dc = internal::GetWindowDc(top);
  internal::PaintNonClient(top, window_dc);
  std::vector<WindowHandle> dropped;
  bool was_visible = IsWindowVisible(top);
  if (!was_visible) ShowWindow(top, true);  // a hidden window is rendered as if shown
  PaintTree(top, &dropped);
  if (!was_visible) ShowWindow(top, false);
  for (WindowHandle combo : dropped) internal::PaintComboList(combo, window_dc);
  ReleaseDc(top, window_dc);

  cairo_surface_flush(surface);
  PixelRect top_rect = GetWindowRect(top);
  PixelRect cut = GetWindowRect(window);
  cut = {cut.left - top_rect.left, cut.top - top_rect.top, cut.right - top_rect.left,
         cut.bottom - top_rect.top};
  int surface_width = cairo_image_surface_get_width(surface);
  int surface_height = cairo_image_surface_get_height(surface);
  cut.left = std::clamp(cut.left, 0, surface_width);
  cut.right = std::clamp(cut.right, cut.left, surface_width);
  cut.top = std::clamp(cut.top, 0, surface_height);
  cut.bottom = std::clamp(cut.bottom, cut.top, surface_height);
  image.width = cut.Width();
  image.height = cut.Height();
  image.pixels.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
  const unsigned char* data = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < image.height; ++y) {
    const unsigned char* row = data + static_cast<ptrdiff_t>(y + cut.top) * stride;
    std::memcpy(&image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width)],
                row + static_cast<ptrdiff_t>(cut.left) * 4, static_cast<size_t>(image.width) * 4);
  }
  // Everything painted is opaque; a pixel nobody painted is shown as white.
  for (uint32_t& pixel : image.pixels) {
    if ((pixel >> 24) != 0xFF) pixel = 0xFFFFFFFFu;
  }
  return image;
}

bool RenderWindowToPng(WindowHandle window, const std::string& path) {
  Image image = RenderWindow(window);
  if (image.width <= 0 || image.height <= 0) return false;
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(data + static_cast<ptrdiff_t>(y) * stride,
                &image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width)],
                static_cast<size_t>(image.width) * 4);
  }
  cairo_surface_mark_dirty(surface);
  bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

ColorRef PixelColor(const Image& image, int x, int y) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return 0;
  uint32_t pixel = image.At(x, y);
  return MakeColorRef(static_cast<uint8_t>((pixel >> 16) & 0xFF),
                      static_cast<uint8_t>((pixel >> 8) & 0xFF),
                      static_cast<uint8_t>(pixel & 0xFF));
}

}  // namespace platform
