// Drawing objects (fonts, brushes) and the device context that draws with them.
#include "platform/gdi.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/window_internal.h"

namespace platform {

using internal::Find;
using internal::WindowRecord;

namespace {

struct FontEntry {
  FontDesc desc;
};

struct BrushEntry {
  ColorRef color = 0;
  bool null_brush = false;
};

struct DcRecord {
  WindowHandle window = nullptr;
  cairo_t* cr = nullptr;
  ColorRef text_color = kColorWindowText;
  ColorRef background_color = kColorWindow;
  BackgroundMode mode = BackgroundMode::kOpaque;
  FontHandle font = nullptr;
};

// Handle values: stock brushes and the default font are small fixed numbers;
// created objects count up from a base and are never reused.
constexpr uintptr_t kStockBase = 0x100;
constexpr uintptr_t kDefaultFontValue = 0x200;

struct GdiTable {
  std::mutex mutex;
  std::map<uintptr_t, FontEntry> fonts;
  std::map<uintptr_t, BrushEntry> brushes;
  std::map<uintptr_t, std::unique_ptr<DcRecord>> dcs;
  uintptr_t next = 0x100000;
};

GdiTable& Gdi() {
  static GdiTable* table = new GdiTable();  // lives as long as the process
  return *table;
}

bool StockBrushColor(uintptr_t value, BrushEntry* out) {
  if (value < kStockBase || value > kStockBase + static_cast<uintptr_t>(StockBrush::kButtonFace))
    return false;
  switch (static_cast<StockBrush>(value - kStockBase)) {
    case StockBrush::kWhite:
      *out = {MakeColorRef(0xFF, 0xFF, 0xFF), false};
      break;
    case StockBrush::kLightGray:
      *out = {MakeColorRef(0xC0, 0xC0, 0xC0), false};
      break;
    case StockBrush::kGray:
      *out = {MakeColorRef(0x80, 0x80, 0x80), false};
      break;
    case StockBrush::kDarkGray:
      *out = {MakeColorRef(0x40, 0x40, 0x40), false};
      break;
    case StockBrush::kBlack:
      *out = {MakeColorRef(0, 0, 0), false};
      break;
    case StockBrush::kNull:
      *out = {0, true};
      break;
    case StockBrush::kButtonFace:
      *out = {kColorButtonFace, false};
      break;
  }
  return true;
}

bool LookupBrush(BrushHandle brush, BrushEntry* out) {
  uintptr_t value = reinterpret_cast<uintptr_t>(brush);
  if (StockBrushColor(value, out)) return true;
  GdiTable& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.mutex);
  auto it = gdi.brushes.find(value);
  if (it == gdi.brushes.end()) return false;
  *out = it->second;
  return true;
}

DcRecord* FindDc(DcHandle dc) {
  if (dc == nullptr) return nullptr;
  GdiTable& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.mutex);
  auto it = gdi.dcs.find(reinterpret_cast<uintptr_t>(dc));
  return it == gdi.dcs.end() ? nullptr : it->second.get();
}

void SetSource(cairo_t* cr, ColorRef color) {
  cairo_set_source_rgb(cr, ColorRed(color) / 255.0, ColorGreen(color) / 255.0,
                       ColorBlue(color) / 255.0);
}

PixelRect Intersect(PixelRect a, PixelRect b) {
  PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

// cairo and fontconfig keep caches of the fonts they found for the life of
// the process; they are handed back at exit so that a leak check sees only
// real leaks.
void ReleaseFontCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

// Code points of UTF-8 text; malformed bytes are skipped.
std::vector<uint32_t> CodePoints(std::string_view text) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < text.size();) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80           ? 0
                : (lead >> 5) == 0x6  ? 1
                : (lead >> 4) == 0xE  ? 2
                : (lead >> 3) == 0x1E ? 3
                                      : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0)) {
      ++i;
      continue;
    }
    uint32_t code = extra == 0 ? lead : (lead & (0x3Fu >> extra));
    for (int k = 1; k <= extra; ++k) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + static_cast<size_t>(k)]) & 0x3Fu);
    }
    out.push_back(code);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

// The faces that dialog templates name are the operating system's own and
// are not installed here; fontconfig would give its default family, which
// is much wider, and labels sized for the real face would be cut. Each is
// drawn in an installed family of about its width instead: for Latin text,
// and for Japanese text, which the system draws in its proportional
// Japanese interface font.
struct FaceStandIn {
  const char* face;
  const char* latin;
  const char* wide;
};
constexpr FaceStandIn kFaceStandIns[] = {
    {"Segoe UI", "Liberation Sans", "IPAPGothic"},
    {"MS Shell Dlg", "Liberation Sans", "IPAPGothic"},
    {"MS Shell Dlg 2", "Liberation Sans", "IPAPGothic"},
    {"Tahoma", "Liberation Sans", "IPAPGothic"},
};

const FaceStandIn* StandInFor(const std::string& face) {
  for (const FaceStandIn& s : kFaceStandIns)
    if (face == s.face) return &s;
  return nullptr;
}

// cairo's simple text draws every glyph from one font. Text with Japanese
// (or other East Asian) characters is drawn in the family that fontconfig
// finds for the face together with those characters, so that a missing face
// such as a Windows font falls back to an installed font that has them.
std::string FamilyFor(const std::string& face, std::string_view text) {
  std::vector<uint32_t> codes = CodePoints(text);
  bool wide = std::any_of(codes.begin(), codes.end(), [](uint32_t c) { return c >= 0x2E80; });
  const FaceStandIn* stand_in = StandInFor(face);
  if (!wide) return stand_in ? stand_in->latin : face;
  static std::mutex mutex;
  static auto* cache = new std::map<std::string, std::string>();  // lives as long as the process
  std::lock_guard<std::mutex> lock(mutex);
  auto found = cache->find(face);
  if (found != cache->end()) return found->second;
  std::string family = face;
  FcPattern* pattern = FcPatternCreate();
  FcCharSet* charset = FcCharSetCreate();
  // A few characters of each script stand for the whole script.
  for (uint32_t c : {0x3042u, 0x30A2u, 0x65E5u, 0xFF11u}) FcCharSetAddChar(charset, c);
  const char* asked = stand_in ? stand_in->wide : face.c_str();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(asked));
  FcPatternAddCharSet(pattern, FC_CHARSET, charset);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcChar8* name = nullptr;
  if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) {
    family = reinterpret_cast<const char*>(name);
  }
  if (match != nullptr) FcPatternDestroy(match);
  FcCharSetDestroy(charset);
  FcPatternDestroy(pattern);
  (*cache)[face] = family;
  return family;
}

// Selects the font of the context into cairo for drawing `text`; returns the
// font's ascent and descent in pixels.
void ApplyFont(cairo_t* cr, FontHandle font, std::string_view text, double* ascent,
               double* descent) {
  static const bool registered = std::atexit(ReleaseFontCaches) == 0;
  (void)registered;
  FontDesc desc;
  if (!GetFontDesc(font, &desc)) GetFontDesc(DefaultGuiFont(), &desc);
  cairo_select_font_face(cr, FamilyFor(desc.face, text).c_str(), CAIRO_FONT_SLANT_NORMAL,
                         desc.weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  // A negative height is the em height; a positive one the cell height, of
  // which the em takes about four fifths.
  double size = desc.height < 0 ? -desc.height : desc.height * 0.8;
  if (size <= 0) size = 12;
  cairo_set_font_size(cr, size);
  cairo_font_extents_t extents;
  cairo_font_extents(cr, &extents);
  *ascent = extents.ascent;
  *descent = extents.descent;
}

// A one-pixel context for measuring text when a context draws nowhere.
struct MeasuringCairo {
  MeasuringCairo()
      : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)), cr(cairo_create(surface)) {}
  ~MeasuringCairo() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  MeasuringCairo(const MeasuringCairo&) = delete;
  MeasuringCairo& operator=(const MeasuringCairo&) = delete;
  cairo_surface_t* surface;
  cairo_t* cr;
};

}  // namespace

// ---------------------------------------------------------------------------

FontHandle CreateFont(const FontDesc& desc) {
  GdiTable& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.mutex);
  uintptr_t value = gdi.next++;
  gdi.fonts[value] = {desc};
  return reinterpret_cast<FontHandle>(value);
}

bool DeleteFont(FontHandle font) {
  GdiTable& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.mutex);
  return gdi.fonts.erase(reinterpret_cast<uintptr_t>(font)) == 1;
}

bool GetFontDesc(FontHandle font, FontDesc* out) {
  if (out == nullptr) return false;
  uintptr_t value = reinterpret_cast<uintptr_t>(font);
  if (value == kDefaultFontValue) {
    // 9 points at the screen's DPI, as a character height.
    *out = FontDesc{};
    out->height = -((9 * ScreenDpi() + 36) / 72);
    return true;
  }
  GdiTable& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.mutex);
  auto it = gdi.fonts.find(value);
  if (it == gdi.fonts.end()) return false;
  *out = it->second.desc;
  return true;
}

int LiveFontCount() {
  GdiTable& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.mutex);
  return static_cast<int>(gdi.fonts.size());
}

FontHandle DefaultGuiFont() {
  return reinterpret_cast<FontHandle>(kDefaultFontValue);
}

BrushHandle CreateSolidBrush(ColorRef color) {
  GdiTable& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.mutex);
  uintptr_t value = gdi.next++;
  gdi.brushes[value] = {color & 0xFFFFFFu, false};
  return reinterpret_cast<BrushHandle>(value);
}

BrushHandle GetStockBrush(StockBrush which) {
  return reinterpret_cast<BrushHandle>(kStockBase + static_cast<uintptr_t>(which));
}

bool DeleteBrush(BrushHandle brush) {
  BrushEntry entry;
  if (StockBrushColor(reinterpret_cast<uintptr_t>(brush), &entry)) return true;
  GdiTable& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.mutex);
  return gdi.brushes.erase(reinterpret_cast<uintptr_t>(brush)) == 1;
}

bool IsBrush(BrushHandle brush) {
  BrushEntry entry;
  return LookupBrush(brush, &entry);
}

bool GetBrushColor(BrushHandle brush, ColorRef* out) {
  BrushEntry entry;
  if (!LookupBrush(brush, &entry) || entry.null_brush) return false;
  if (out != nullptr) *out = entry.color;
  return true;
}

int LiveBrushCount() {
  GdiTable& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.mutex);
  return static_cast<int>(gdi.brushes.size());
}

// ---------------------------------------------------------------------------

namespace internal {

cairo_surface_t* BackingSurface(WindowRecord& top) {
  int width = std::max(1, top.rect.Width());
  int height = std::max(1, top.rect.Height());
  if (top.handle == DesktopWindow()) return nullptr;
  if (top.backing != nullptr && cairo_image_surface_get_width(top.backing) == width &&
      cairo_image_surface_get_height(top.backing) == height)
    return top.backing;
  FreeBacking(top);
  top.backing = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  return top.backing;
}

void FreeBacking(WindowRecord& record) {
  if (record.backing != nullptr) cairo_surface_destroy(record.backing);
  record.backing = nullptr;
}

DcHandle CreateDc(WindowHandle window, cairo_surface_t* surface, PixelPoint origin,
                  PixelRect clip) {
  auto record = std::make_unique<DcRecord>();
  record->window = window;
  record->font = DefaultGuiFont();
  if (surface != nullptr) {
    record->cr = cairo_create(surface);
    cairo_rectangle(record->cr, clip.left, clip.top, clip.Width(), clip.Height());
    cairo_clip(record->cr);
    cairo_translate(record->cr, origin.x, origin.y);
    cairo_set_antialias(record->cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(record->cr, 1.0);
  }
  GdiTable& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.mutex);
  uintptr_t value = gdi.next++;
  gdi.dcs[value] = std::move(record);
  return reinterpret_cast<DcHandle>(value);
}

void DestroyDc(DcHandle dc) {
  std::unique_ptr<DcRecord> doomed;
  {
    GdiTable& gdi = Gdi();
    std::lock_guard<std::mutex> lock(gdi.mutex);
    auto it = gdi.dcs.find(reinterpret_cast<uintptr_t>(dc));
    if (it == gdi.dcs.end()) return;
    doomed = std::move(it->second);
    gdi.dcs.erase(it);
  }
  if (doomed->cr != nullptr) cairo_destroy(doomed->cr);
}

cairo_t* Cairo(DcHandle dc) {
  DcRecord* record = FindDc(dc);
  return record == nullptr ? nullptr : record->cr;
}

DcHandle GetWindowDc(WindowHandle top) {
  WindowRecord* record = Find(top);
  if (record == nullptr) return nullptr;
  cairo_surface_t* surface = BackingSurface(*record);
  PixelRect all{0, 0, record->rect.Width(), record->rect.Height()};
  return CreateDc(top, surface, {0, 0}, all);
}

}  // namespace internal

DcHandle GetDc(WindowHandle window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return nullptr;
  if (window == DesktopWindow()) return internal::CreateDc(window, nullptr, {}, {});
  WindowHandle top = GetTopLevel(window);
  WindowRecord* top_record = Find(top);
  if (top_record == nullptr) return nullptr;
  cairo_surface_t* surface = internal::BackingSurface(*top_record);
  // Positions inside the top-level window's image: its rectangle's corner
  // is (0, 0) there.
  PixelRect top_rect = GetWindowRect(top);
  PixelPoint origin = ClientOrigin(window);
  origin.x -= top_rect.left;
  origin.y -= top_rect.top;
  PixelRect clip{0, 0, top_rect.Width(), top_rect.Height()};
  for (WindowHandle w = window; w != nullptr; w = GetParent(w)) {
    PixelPoint o = ClientOrigin(w);
    PixelRect c = GetClientRect(w);
    c = {o.x - top_rect.left, o.y - top_rect.top, o.x - top_rect.left + c.right,
         o.y - top_rect.top + c.bottom};
    clip = Intersect(clip, c);
  }
  return internal::CreateDc(window, surface, origin, clip);
}

bool ReleaseDc(WindowHandle, DcHandle dc) {
  if (FindDc(dc) == nullptr) return false;
  internal::DestroyDc(dc);
  return true;
}

bool IsDc(DcHandle dc) {
  return FindDc(dc) != nullptr;
}

WindowHandle DcWindow(DcHandle dc) {
  DcRecord* record = FindDc(dc);
  return record == nullptr ? nullptr : record->window;
}

int GetDeviceCaps(DcHandle dc, int index) {
  if (FindDc(dc) == nullptr) return 0;
  if (index == kLogPixelsX || index == kLogPixelsY) return ScreenDpi();
  return 0;
}

ColorRef SetTextColor(DcHandle dc, ColorRef color) {
  DcRecord* record = FindDc(dc);
  if (record == nullptr) return 0;
  ColorRef old = record->text_color;
  record->text_color = color & 0xFFFFFFu;
  return old;
}

ColorRef SetBackgroundColor(DcHandle dc, ColorRef color) {
  DcRecord* record = FindDc(dc);
  if (record == nullptr) return 0;
  ColorRef old = record->background_color;
  record->background_color = color & 0xFFFFFFu;
  return old;
}

BackgroundMode SetBackgroundMode(DcHandle dc, BackgroundMode mode) {
  DcRecord* record = FindDc(dc);
  if (record == nullptr) return BackgroundMode::kOpaque;
  BackgroundMode old = record->mode;
  record->mode = mode;
  return old;
}

FontHandle SelectFont(DcHandle dc, FontHandle font) {
  DcRecord* record = FindDc(dc);
  if (record == nullptr) return nullptr;
  FontHandle old = record->font;
  FontDesc desc;
  if (GetFontDesc(font, &desc)) record->font = font;
  return old;
}

ColorRef GetTextColor(DcHandle dc) {
  DcRecord* record = FindDc(dc);
  return record == nullptr ? 0 : record->text_color;
}

ColorRef GetBackgroundColor(DcHandle dc) {
  DcRecord* record = FindDc(dc);
  return record == nullptr ? 0 : record->background_color;
}

BackgroundMode GetBackgroundMode(DcHandle dc) {
  DcRecord* record = FindDc(dc);
  return record == nullptr ? BackgroundMode::kOpaque : record->mode;
}

FontHandle GetSelectedFont(DcHandle dc) {
  DcRecord* record = FindDc(dc);
  return record == nullptr ? nullptr : record->font;
}

bool FillRect(DcHandle dc, const PixelRect& rect, BrushHandle brush) {
  DcRecord* record = FindDc(dc);
  BrushEntry entry;
  if (record == nullptr || !LookupBrush(brush, &entry)) return false;
  if (record->cr == nullptr || entry.null_brush || rect.Width() <= 0 || rect.Height() <= 0)
    return true;
  SetSource(record->cr, entry.color);
  cairo_rectangle(record->cr, rect.left, rect.top, rect.Width(), rect.Height());
  cairo_fill(record->cr);
  return true;
}

bool FrameRect(DcHandle dc, const PixelRect& rect, BrushHandle brush) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return FindDc(dc) != nullptr;
  bool ok = FillRect(dc, {rect.left, rect.top, rect.right, rect.top + 1}, brush);
  ok = ok && FillRect(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, brush);
  ok = ok && FillRect(dc, {rect.left, rect.top, rect.left + 1, rect.bottom}, brush);
  ok = ok && FillRect(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, brush);
  return ok;
}

bool DrawFocusRect(DcHandle dc, const PixelRect& rect) {
  DcRecord* record = FindDc(dc);
  if (record == nullptr) return false;
  if (record->cr == nullptr) return true;
  cairo_t* cr = record->cr;
  SetSource(cr, kColorWindowText);
  // Every other pixel along the border.
  for (int x = rect.left; x < rect.right; x += 2) {
    cairo_rectangle(cr, x, rect.top, 1, 1);
    cairo_rectangle(cr, x, rect.bottom - 1, 1, 1);
  }
  for (int y = rect.top; y < rect.bottom; y += 2) {
    cairo_rectangle(cr, rect.left, y, 1, 1);
    cairo_rectangle(cr, rect.right - 1, y, 1, 1);
  }
  cairo_fill(cr);
  return true;
}

bool DrawLine(DcHandle dc, PixelPoint from, PixelPoint to, ColorRef color) {
  DcRecord* record = FindDc(dc);
  if (record == nullptr) return false;
  if (record->cr == nullptr) return true;
  cairo_t* cr = record->cr;
  SetSource(cr, color);
  // The end pixel is left out, whichever way the line runs.
  if (from.y == to.y) {
    int a = to.x >= from.x ? from.x : to.x + 1;
    int b = to.x >= from.x ? to.x : from.x + 1;
    cairo_rectangle(cr, a, from.y, b - a, 1);
  } else if (from.x == to.x) {
    int a = to.y >= from.y ? from.y : to.y + 1;
    int b = to.y >= from.y ? to.y : from.y + 1;
    cairo_rectangle(cr, from.x, a, 1, b - a);
  } else {
    cairo_move_to(cr, from.x + 0.5, from.y + 0.5);
    cairo_line_to(cr, to.x + 0.5, to.y + 0.5);
    cairo_stroke(cr);
    return true;
  }
  cairo_fill(cr);
  return true;
}

int DrawText(DcHandle dc, std::string_view text, const PixelRect& rect, uint32_t flags) {
  DcRecord* record = FindDc(dc);
  if (record == nullptr) return 0;
  MeasuringCairo measuring;
  cairo_t* cr = record->cr != nullptr ? record->cr : measuring.cr;
  std::string owned(text);
  double ascent = 0;
  double descent = 0;
  cairo_save(cr);
  ApplyFont(cr, record->font, owned, &ascent, &descent);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, owned.c_str(), &extents);
  double line = std::ceil(ascent + descent);
  double width = extents.x_advance;
  double x = rect.left;
  if (flags & kTextCenter) {
    x = rect.left + (rect.Width() - width) / 2.0;
  } else if (flags & kTextRight) {
    x = rect.right - width;
  }
  double top = rect.top;
  if ((flags & kTextSingleLine) && (flags & kTextVCenter)) {
    top = rect.top + (rect.Height() - line) / 2.0;
  } else if ((flags & kTextSingleLine) && (flags & kTextBottom)) {
    top = rect.bottom - line;
  }
  x = std::floor(x);
  top = std::floor(top);
  if (record->cr != nullptr) {
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_clip(cr);
    if (record->mode == BackgroundMode::kOpaque && !owned.empty()) {
      SetSource(cr, record->background_color);
      cairo_rectangle(cr, x, top, std::ceil(width), line);
      cairo_fill(cr);
    }
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    SetSource(cr, record->text_color);
    cairo_move_to(cr, x, top + ascent);
    cairo_show_text(cr, owned.c_str());
    cairo_new_path(cr);
  }
  cairo_restore(cr);
  return static_cast<int>(line);
}

PixelPoint MeasureText(DcHandle dc, std::string_view text) {
  DcRecord* record = FindDc(dc);
  if (record == nullptr) return {};
  MeasuringCairo measuring;
  cairo_t* cr = measuring.cr;
  std::string owned(text);
  double ascent = 0;
  double descent = 0;
  cairo_save(cr);
  ApplyFont(cr, record->font, owned, &ascent, &descent);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, owned.c_str(), &extents);
  cairo_restore(cr);
  return {static_cast<int>(std::ceil(extents.x_advance)),
          static_cast<int>(std::ceil(ascent + descent))};
}

}  // namespace platform
