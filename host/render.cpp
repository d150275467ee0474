// Draws documents into PDF pages and PNG previews: the document is written
// as SVG and librsvg draws that onto cairo surfaces, so the pages show what
// drawing programs show of the file.
#include "host/render.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <librsvg/rsvg.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstring>

#include "host/svg_common.h"
#include "host/svg_export.h"
#include "host/svg_source.h"
#include "platform/files.h"

namespace host {
namespace {

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

// The document written as SVG and read by librsvg, with where its root
// lies in the document.
class DrawnSvg {
 public:
  DrawnSvg(const Document& doc, std::string* error)
      : root_(SvgRootArtboard(doc)), text_(ExportSvgText(doc)) {
    GInputStream* stream = g_memory_input_stream_new_from_data(
        text_.data(), static_cast<gssize>(text_.size()), nullptr);
    // Linked images are found beside the file the document was read from.
    GFile* base = nullptr;
    if (doc.source() && !doc.source()->folder.empty())
      base = g_file_new_for_path((doc.source()->folder + "/drawing.svg").c_str());
    GError* fault = nullptr;
    // The importer has already refused files beyond its limits.
    handle_ =
        rsvg_handle_new_from_stream_sync(stream, base, RSVG_HANDLE_FLAG_UNLIMITED, nullptr, &fault);
    if (base) g_object_unref(base);
    g_object_unref(stream);
    if (!handle_)
      *error = std::string("librsvg cannot read the written drawing (") +
               (fault ? fault->message : "no reason given") + ")";
    else
      rsvg_handle_set_dpi(handle_, 72);
    if (fault) g_error_free(fault);
  }
  ~DrawnSvg() {
    if (handle_) g_object_unref(handle_);
  }
  DrawnSvg(const DrawnSvg&) = delete;
  DrawnSvg& operator=(const DrawnSvg&) = delete;

  bool ok() const { return handle_ != nullptr; }

  // Draws the document where cr's transform maps document points (y up).
  bool Draw(cairo_t* cr, std::string* error) {
    cairo_save(cr);
    // From the root's user space (points, y down, the root artboard's
    // top-left at the origin) to document points.
    cairo_matrix_t m{1, 0, 0, -1, root_.left, root_.top};
    cairo_transform(cr, &m);
    RsvgRectangle viewport{0, 0, root_.right - root_.left, root_.top - root_.bottom};
    GError* fault = nullptr;
    bool drawn = rsvg_handle_render_document(handle_, cr, &viewport, &fault);
    cairo_restore(cr);
    if (!drawn)
      *error = std::string("librsvg cannot draw the document (") +
               (fault ? fault->message : "no reason given") + ")";
    if (fault) g_error_free(fault);
    return drawn;
  }

 private:
  RealRect root_;
  std::string text_;
  RsvgHandle* handle_ = nullptr;
};

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

void ReleaseRenderCaches() {
  // The fonts librsvg drew text with are held by pango's font map. Cairo's
  // and fontconfig's own caches stay: pango may still hold fonts of them
  // from its worker thread, and resetting them then aborts.
  pango_cairo_font_map_set_default(nullptr);
}

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
  DrawnSvg svg(doc, error);
  if (!svg.ok()) {
    *error = path + ": " + *error;
    return false;
  }
  std::string bytes;
  cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(
      AppendBytes, &bytes, boards[0].right - boards[0].left, boards[0].top - boards[0].bottom);
  cairo_t* cr = cairo_create(surface);
  bool drawn = true;
  for (size_t i = 0; i < boards.size() && drawn; ++i) {
    const RealRect& b = boards[i];
    if (i > 0) cairo_pdf_surface_set_size(surface, b.right - b.left, b.top - b.bottom);
    SetDocumentMatrix(cr, b.left, b.top, 1);
    drawn = svg.Draw(cr, error);
    cairo_show_page(cr);
  }
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (!drawn) {
    *error = path + ": " + *error;
    return false;
  }
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
  DrawnSvg svg(doc, error);
  if (!svg.ok() || !svg.Draw(cr, error)) {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    *error = path + ": " + *error;
    return false;
  }
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
