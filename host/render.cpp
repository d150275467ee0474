// Draws documents with cairo into PDF pages and PNG previews, and commits
// every exported file through a temporary file beside it.
#include "host/render.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <pugixml.hpp>

#include "host/svg_common.h"
#include "platform/files.h"

namespace host {
namespace {

void SetColor(cairo_t* cr, const HostColor& color) {
  double rgb[3];
  ColorToRgb(color, rgb);
  cairo_set_source_rgb(cr, rgb[0], rgb[1], rgb[2]);
}

void AddPath(cairo_t* cr, const Art& path) {
  const auto& s = path.segments;
  if (s.empty()) return;
  cairo_move_to(cr, s[0].p.x, s[0].p.y);
  for (size_t i = 1; i < s.size(); ++i)
    cairo_curve_to(cr, s[i - 1].out.x, s[i - 1].out.y, s[i].in.x, s[i].in.y, s[i].p.x, s[i].p.y);
  if (path.closed) {
    cairo_curve_to(cr, s.back().out.x, s.back().out.y, s[0].in.x, s[0].in.y, s[0].p.x, s[0].p.y);
    cairo_close_path(cr);
  }
}

void AddGeometry(cairo_t* cr, const Art& art) {
  if (art.type == kArtTypePath) {
    AddPath(cr, art);
  } else {
    for (const Art* c = art.first_child; c; c = c->next)
      if (c->type == kArtTypePath) AddPath(cr, *c);
  }
}

void PaintPath(cairo_t* cr, const Art& art) {
  const PathStyle& st = art.style;
  if (st.clip || (!st.fill_paint && !st.stroke_paint)) return;
  cairo_new_path(cr);
  AddGeometry(cr, art);
  cairo_set_fill_rule(cr, st.even_odd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  if (st.fill_paint) {
    SetColor(cr, st.fill.color);
    if (st.stroke_paint)
      cairo_fill_preserve(cr);
    else
      cairo_fill(cr);
  }
  if (st.stroke_paint && st.stroke.width > 0) {
    SetColor(cr, st.stroke.color);
    cairo_set_line_width(cr, st.stroke.width);
    cairo_set_line_cap(cr, st.stroke.cap == kCapRound        ? CAIRO_LINE_CAP_ROUND
                           : st.stroke.cap == kCapProjecting ? CAIRO_LINE_CAP_SQUARE
                                                             : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, st.stroke.join == kJoinRound   ? CAIRO_LINE_JOIN_ROUND
                            : st.stroke.join == kJoinBevel ? CAIRO_LINE_JOIN_BEVEL
                                                           : CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr, st.stroke.miter_limit < 1 ? 1 : st.stroke.miter_limit);
    int n = st.stroke.dash.length;
    if (n > 0 && n <= kDashArrayCapacity)
      cairo_set_dash(cr, st.stroke.dash.array, n, st.stroke.dash.offset);
    else
      cairo_set_dash(cr, nullptr, 0, 0);
    cairo_stroke(cr);
  }
  cairo_new_path(cr);
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+' || c == '-') return 62;
  if (c == '/' || c == '_') return 63;
  return -1;
}

std::string DecodeBase64(std::string_view text) {
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (char c : text) {
    int v = Base64Value(c);
    if (v < 0) continue;  // blanks, line breaks and padding
    buffer = (buffer << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((buffer >> bits) & 0xFF);
    }
  }
  return out;
}

struct ByteReader {
  const std::string* bytes;
  size_t at;
};

cairo_status_t ReadBytes(void* closure, unsigned char* data, unsigned int length) {
  ByteReader* r = static_cast<ByteReader*>(closure);
  if (r->at + length > r->bytes->size()) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, r->bytes->data() + r->at, length);
  r->at += length;
  return CAIRO_STATUS_SUCCESS;
}

double Attr(const pugi::xml_node& el, const char* name) {
  double v = 0;
  if (!ParseLength(el.attribute(name).value(), 0, 16, &v)) return 0;
  return v;
}

// Embedded PNG images are drawn; anything else shows as a gray box.
void DrawImage(cairo_t* cr, const pugi::xml_node& el, const Art& art) {
  double x = Attr(el, "x"), y = Attr(el, "y"), w = Attr(el, "width"), h = Attr(el, "height");
  pugi::xml_attribute href = el.attribute("xlink:href");
  if (!href) href = el.attribute("href");
  std::string_view ref = href.value();
  cairo_surface_t* image = nullptr;
  if (ref.substr(0, 5) == "data:") {
    size_t comma = ref.find(',');
    std::string_view head = ref.substr(0, comma);
    if (comma != std::string_view::npos && head.find("image/png") != std::string_view::npos &&
        head.find("base64") != std::string_view::npos) {
      std::string bytes = DecodeBase64(ref.substr(comma + 1));
      ByteReader reader{&bytes, 0};
      image = cairo_image_surface_create_from_png_stream(ReadBytes, &reader);
      if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        image = nullptr;
      }
    }
  }
  (void)art;
  if (!image) {
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
    cairo_fill(cr);
    return;
  }
  double iw = cairo_image_surface_get_width(image), ih = cairo_image_surface_get_height(image);
  if (iw > 0 && ih > 0 && w > 0 && h > 0) {
    std::string_view par = el.attribute("preserveAspectRatio").value();
    double sx = w / iw, sy = h / ih, tx = 0, ty = 0;
    if (par.substr(0, 4) != "none") {
      double s = std::min(sx, sy);
      tx = (w - iw * s) / 2;
      ty = (h - ih * s) / 2;
      sx = sy = s;
    }
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_translate(cr, x + tx, y + ty);
    cairo_scale(cr, sx, sy);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  cairo_surface_destroy(image);
}

// Text as far as cairo's own text drawing goes: every run at its position
// in the first family named, with the element's fill and size.
void DrawText(cairo_t* cr, const pugi::xml_node& el) {
  double fill[3] = {0, 0, 0};
  bool painted = true;
  double size = 16;
  std::string family = "sans-serif";
  bool bold = false, italic = false;
  std::string anchor;
  auto apply = [&](const pugi::xml_node& node) {
    std::vector<std::pair<std::string, std::string>> props;
    for (const char* name :
         {"fill", "font-size", "font-family", "font-weight", "font-style", "text-anchor"})
      if (pugi::xml_attribute a = node.attribute(name)) props.emplace_back(name, a.value());
    for (auto& p : ParseDeclarations(node.attribute("style").value())) props.push_back(p);
    for (auto& [k, v] : props) {
      if (k == "fill") {
        painted = v != "none";
        ParseColor(v, fill);
      } else if (k == "font-size") {
        ParseLength(v, size, size, &size);
      } else if (k == "font-family") {
        std::string f = v.substr(0, v.find(','));
        std::string clean;
        for (char c : f)
          if (c != '\'' && c != '"') clean += c;
        family = std::string(Trim(clean));
      } else if (k == "font-weight") {
        bold = v == "bold" || v == "bolder" || std::atoi(v.c_str()) >= 600;
      } else if (k == "font-style") {
        italic = v == "italic" || v == "oblique";
      } else if (k == "text-anchor") {
        anchor = v;
      }
    }
  };
  double x = 0, y = 0;
  struct Item {
    pugi::xml_node node;
  };
  std::vector<pugi::xml_node> stack{el};
  apply(el);
  while (!stack.empty()) {
    pugi::xml_node node = stack.back();
    stack.pop_back();
    if (node.type() == pugi::node_element) {
      if (node != el) apply(node);
      double v;
      std::string xs = node.attribute("x").value(), ys = node.attribute("y").value();
      if (!xs.empty() && ParseLength(xs.substr(0, xs.find_first_of(" ,")), 0, size, &v)) x = v;
      if (!ys.empty() && ParseLength(ys.substr(0, ys.find_first_of(" ,")), 0, size, &v)) y = v;
      for (pugi::xml_node c = node.last_child(); c; c = c.previous_sibling()) stack.push_back(c);
    } else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
      std::string t(Trim(node.value()));
      if (t.empty() || !painted || !(size > 0)) continue;
      cairo_select_font_face(cr, family.c_str(),
                             italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                             bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
      cairo_set_font_size(cr, size);
      cairo_text_extents_t extents;
      cairo_text_extents(cr, t.c_str(), &extents);
      double left = x;
      if (anchor == "middle") left -= extents.x_advance / 2;
      if (anchor == "end") left -= extents.x_advance;
      cairo_set_source_rgb(cr, fill[0], fill[1], fill[2]);
      cairo_move_to(cr, left, y);
      cairo_show_text(cr, t.c_str());
      cairo_new_path(cr);
      x = left + extents.x_advance;
    }
  }
}

void DrawBox(cairo_t* cr, const Art& art) {
  cairo_matrix_t m{art.matrix.a, art.matrix.b,  art.matrix.c,
                   art.matrix.d, art.matrix.tx, art.matrix.ty};
  if (!MatrixIsFinite(art.matrix) ||
      std::fabs(art.matrix.a * art.matrix.d - art.matrix.b * art.matrix.c) < 1e-12)
    return;
  cairo_save(cr);
  cairo_transform(cr, &m);
  pugi::xml_document source;
  pugi::xml_node el;
  if (!art.source.empty() && source.load_buffer(art.source.data(), art.source.size(),
                                                pugi::parse_default, pugi::encoding_utf8))
    el = source.document_element();
  std::string_view name = el ? el.name() : "";
  if (name == "image" || name == "svg:image") {
    DrawImage(cr, el, art);
  } else if (name == "text" || name == "svg:text") {
    DrawText(cr, el);
  } else {
    // Art we cannot draw shows as its box.
    const RealRect& b = art.box;
    cairo_rectangle(cr, b.left, b.bottom, b.right - b.left, b.top - b.bottom);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void DrawArt(cairo_t* cr, const Art& art) {
  if (art.hidden) return;
  switch (art.type) {
    case kArtTypeGroup: {
      const Art* clip = art.clipped ? ClippingArt(art) : nullptr;
      cairo_save(cr);
      if (clip) {
        cairo_new_path(cr);
        AddGeometry(cr, *clip);
        cairo_set_fill_rule(
            cr, clip->style.even_odd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr);
      }
      // Bottom of the stack first.
      for (const Art* c = art.last_child; c; c = c->prev)
        if (c != clip) DrawArt(cr, *c);
      cairo_restore(cr);
      return;
    }
    case kArtTypePath:
    case kArtTypeCompoundPath:
      PaintPath(cr, art);
      return;
    default:
      if (IsBoxArtType(art.type)) DrawBox(cr, art);
      return;
  }
}

// Every visible layer, bottom first, in document coordinates.
void DrawLayers(cairo_t* cr, const Document& doc) {
  for (int32_t i = doc.LayerCount() - 1; i >= 0; --i) {
    const Layer* layer = doc.NthLayer(i);
    if (!layer->visible) continue;
    for (const Art* c = layer->group->last_child; c; c = c->prev) DrawArt(cr, *c);
  }
}

bool ValidRect(const RealRect& r) {
  return std::isfinite(r.left) && std::isfinite(r.right) && std::isfinite(r.top) &&
         std::isfinite(r.bottom) && r.right > r.left && r.top > r.bottom;
}

// Maps document points (y up) onto a surface whose top-left is at
// (left, top), scale pixels per point.
void SetDocumentMatrix(cairo_t* cr, double left, double top, double scale) {
  cairo_matrix_t m{scale, 0, 0, -scale, -left * scale, top * scale};
  cairo_set_matrix(cr, &m);
}

}  // namespace

void ReleaseRenderCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

namespace {

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

// Writes the bytes through the platform's one replacing write.
bool Commit(const std::string& path, const std::string& bytes, std::string* error) {
  platform::FileStatus status = platform::ReplaceFile(path, bytes);
  if (status == platform::FileStatus::kOk) return true;
  // A missing folder is the usual mistake; say so in its words.
  const char* why = status == platform::FileStatus::kNotFound ? "no such folder"
                                                              : platform::FileStatusText(status);
  *error = path + ": cannot create the file (" + why + ")";
  return false;
}

}  // namespace

bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string* error) {
  return Commit(path, std::string(bytes), error);
}

bool WritePdf(const Document& doc, const std::string& path, std::string* error) {
  const auto& boards = doc.artboards();
  if (boards.empty()) {
    *error = path + ": the document has no artboard";
    return false;
  }
  for (size_t i = 0; i < boards.size(); ++i) {
    if (!ValidRect(boards[i]) || boards[i].right - boards[i].left > 14400 ||
        boards[i].top - boards[i].bottom > 14400) {
      *error = path + ": artboard " + std::to_string(i + 1) +
               " is not a page size PDF allows (at most 14400 points a side)";
      return false;
    }
  }
  std::string bytes;
  cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(
      AppendBytes, &bytes, boards[0].right - boards[0].left, boards[0].top - boards[0].bottom);
  cairo_t* cr = cairo_create(surface);
  for (size_t i = 0; i < boards.size(); ++i) {
    const RealRect& b = boards[i];
    if (i > 0) cairo_pdf_surface_set_size(surface, b.right - b.left, b.top - b.bottom);
    cairo_save(cr);
    SetDocumentMatrix(cr, b.left, b.top, 1);
    cairo_rectangle(cr, b.left, b.bottom, b.right - b.left, b.top - b.bottom);
    cairo_clip(cr);
    DrawLayers(cr, doc);
    cairo_restore(cr);
    cairo_show_page(cr);
  }
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    *error = path + ": cannot write the PDF (" + cairo_status_to_string(status) + ")";
    return false;
  }
  return Commit(path, bytes, error);
}

bool WritePng(const Document& doc, const std::string& path, const PngOptions& options,
              std::string* error) {
  const auto& boards = doc.artboards();
  RealRect area{};
  if (options.artboard >= 0) {
    if (options.artboard >= static_cast<int32_t>(boards.size())) {
      *error = path + ": the document has no artboard " + std::to_string(options.artboard + 1);
      return false;
    }
    area = boards[static_cast<size_t>(options.artboard)];
  } else {
    bool any = false;
    auto add = [&](const RealRect& r) {
      if (!ValidRect(r)) return;
      if (!any) {
        area = r;
      } else {
        area.left = std::min(area.left, r.left);
        area.right = std::max(area.right, r.right);
        area.top = std::max(area.top, r.top);
        area.bottom = std::min(area.bottom, r.bottom);
      }
      any = true;
    };
    for (const RealRect& r : boards) add(r);
    for (int32_t i = 0; i < doc.LayerCount(); ++i) {
      const Layer* layer = doc.NthLayer(i);
      RealRect r;
      if (layer->visible && ArtExtent(*layer->group, nullptr, kBoundsVisible, &r)) add(r);
    }
    if (!any) area = RealRect{0, 72, 72, 0};
    const double margin = 18;
    area.left -= margin;
    area.right += margin;
    area.top += margin;
    area.bottom -= margin;
  }
  double scale = options.dpi / 72.0;
  double wpx = std::ceil((area.right - area.left) * scale - 1e-6);
  double hpx = std::ceil((area.top - area.bottom) * scale - 1e-6);
  if (!(options.dpi > 0) || !std::isfinite(wpx) || !std::isfinite(hpx) || wpx < 1 || hpx < 1 ||
      wpx > kMaxPngSide || hpx > kMaxPngSide) {
    *error = path + ": a preview of " + FormatNumber(wpx) + " x " + FormatNumber(hpx) +
             " pixels is beyond the " + std::to_string(kMaxPngSide) +
             " pixels allowed a side (a lower resolution fits)";
    return false;
  }
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(wpx), static_cast<int>(hpx));
  cairo_t* cr = cairo_create(surface);
  if (options.artboard >= 0) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
  } else {
    // The canvas light, the artboards white.
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
    cairo_paint(cr);
    SetDocumentMatrix(cr, area.left, area.top, scale);
    cairo_set_source_rgb(cr, 1, 1, 1);
    for (const RealRect& b : boards)
      cairo_rectangle(cr, b.left, b.bottom, b.right - b.left, b.top - b.bottom);
    cairo_fill(cr);
  }
  SetDocumentMatrix(cr, area.left, area.top, scale);
  DrawLayers(cr, doc);
  if (options.outline_artboards) {
    cairo_identity_matrix(cr);
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.35);
    cairo_set_line_width(cr, 1);
    for (const RealRect& b : boards) {
      double x0 = std::round((b.left - area.left) * scale) + 0.5;
      double y0 = std::round((area.top - b.top) * scale) + 0.5;
      double x1 = std::round((b.right - area.left) * scale) - 0.5;
      double y1 = std::round((area.top - b.bottom) * scale) - 0.5;
      cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    }
    cairo_stroke(cr);
  }
  cairo_destroy(cr);
  std::string bytes;
  cairo_status_t status = cairo_surface_write_to_png_stream(surface, AppendBytes, &bytes);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    *error = path + ": cannot write the PNG (" + cairo_status_to_string(status) + ")";
    return false;
  }
  return Commit(path, bytes, error);
}

}  // namespace host
