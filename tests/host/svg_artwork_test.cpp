// Real artwork from other programs: every file imports (the malformed one
// is refused with its line), and the imported document, drawn to PNG,
// looks like an independent rendering of the original file.
#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include <pugixml.hpp>

#include "host/document.h"
#include "host/render.h"
#include "host/svg_export.h"
#include "host/svg_import.h"

namespace host {
namespace {

namespace fs = std::filesystem;

// Two renderings of the same drawing differ along every edge by anti-
// aliasing and by sub-pixel placement. A pixel counts as wrong only when no
// pixel of the other image within one pixel of it has nearly its colour,
// looked at both ways; the measure is the share of wrong pixels.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB on white
};

bool LoadPng(const std::string& path, Image* image) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return false;
  }
  // Composite onto white whatever the PNG's format.
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  cairo_surface_t* flat = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(flat);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(flat);
  image->width = w;
  image->height = h;
  image->pixels.resize(static_cast<size_t>(w) * h);
  const unsigned char* data = cairo_image_surface_get_data(flat);
  int stride = cairo_image_surface_get_stride(flat);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image->pixels[static_cast<size_t>(y) * w + x] =
          *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
  cairo_surface_destroy(flat);
  cairo_surface_destroy(s);
  return true;
}

int Distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    d = std::max(
        d, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return d;
}

constexpr int kColorTolerance = 48;

int64_t WrongPixels(const Image& a, const Image& b, int w, int h) {
  int64_t wrong = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t p = a.pixels[static_cast<size_t>(y) * a.width + x];
      bool matched = false;
      for (int dy = -1; dy <= 1 && !matched; ++dy)
        for (int dx = -1; dx <= 1 && !matched; ++dx) {
          int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
          matched =
              Distance(p, b.pixels[static_cast<size_t>(ny) * b.width + nx]) <= kColorTolerance;
        }
      if (!matched) ++wrong;
    }
  }
  return wrong;
}

double WrongShare(const Image& a, const Image& b) {
  int w = std::min(a.width, b.width), h = std::min(a.height, b.height);
  if (w <= 0 || h <= 0) return 1;
  int64_t wrong = std::max(WrongPixels(a, b, w, h), WrongPixels(b, a, w, h));
  return static_cast<double>(wrong) / (static_cast<double>(w) * h);
}

std::vector<fs::path> Artwork() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(ZOLVANE_SVG_DATASET))
    if (entry.path().extension() == ".svg") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// The data sets live beside the repository; a lone clone has none.
#define SKIP_WITHOUT_ARTWORK()                \
  if (!fs::is_directory(ZOLVANE_SVG_DATASET)) \
  GTEST_SKIP() << "no SVG data set at " << ZOLVANE_SVG_DATASET << " (see README: Data sets)"

bool IsMalformed(const fs::path& p) {
  return p.filename().string().rfind("malformed", 0) == 0;
}

TEST(SvgArtwork, EveryFileImportsAndTheMalformedOneSaysWhere) {
  SKIP_WITHOUT_ARTWORK();
  std::vector<fs::path> files = Artwork();
  ASSERT_FALSE(files.empty()) << ZOLVANE_SVG_DATASET;
  for (const fs::path& file : files) {
    Document doc(1, file.filename().string());
    std::string error;
    SvgStatus status = ImportSvgFile(file.string(), doc, &error);
    if (IsMalformed(file)) {
      EXPECT_EQ(status, SvgStatus::kBadSvg) << file;
      EXPECT_NE(error.find("line 5"), std::string::npos) << error;
      EXPECT_EQ(doc.NthLayer(0)->group->first_child, nullptr) << "nothing half imported";
    } else {
      EXPECT_EQ(status, SvgStatus::kOk) << file << ": " << error;
      EXPECT_GT(doc.ArtCount(), static_cast<size_t>(doc.LayerCount())) << file;
    }
  }
}

// The measure itself: it forgives one pixel of shift but not a missing
// drawing or a drawing moved by a few pixels.
TEST(SvgArtwork, TheMeasureTellsDrawingsApart) {
  SKIP_WITHOUT_ARTWORK();
  Document doc(1, "gear");
  std::string error;
  ASSERT_EQ(ImportSvgFile(std::string(ZOLVANE_SVG_DATASET) + "/icon-fill-bootstrap-gear-hole.svg",
                          doc, &error),
            SvgStatus::kOk)
      << error;
  PngOptions options;
  options.artboard = 0;
  options.outline_artboards = false;
  options.dpi = 72.0 * 200 / (doc.artboards()[0].right - doc.artboards()[0].left);
  std::string path = testing::TempDir() + "/zolvane-gear.png";
  ASSERT_TRUE(WritePng(doc, path, options, &error)) << error;
  Image drawn;
  ASSERT_TRUE(LoadPng(path, &drawn));
  std::remove(path.c_str());
  auto shifted = [&](int by) {
    Image out = drawn;
    for (int y = 0; y < drawn.height; ++y)
      for (int x = 0; x < drawn.width; ++x)
        out.pixels[static_cast<size_t>(y) * drawn.width + x] =
            x >= by ? drawn.pixels[static_cast<size_t>(y) * drawn.width + x - by] : 0xFFFFFF;
    return out;
  };
  Image blank = drawn;
  std::fill(blank.pixels.begin(), blank.pixels.end(), 0xFFFFFFu);
  EXPECT_EQ(WrongShare(drawn, drawn), 0);
  EXPECT_LT(WrongShare(drawn, shifted(1)), 0.001);  // only the column shifted in
  EXPECT_GT(WrongShare(drawn, shifted(4)), 0.02);
  EXPECT_GT(WrongShare(drawn, blank), 0.3);
}

// Runs a shell command; true when it exits with 0.
bool Shell(const std::string& command) {
  return std::system((command + " > /dev/null 2>&1").c_str()) == 0;
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

// rsvg-convert's picture of an SVG file, w x h pixels on white.
bool DrawSvg(const std::string& svg, int w, int h, const std::string& png, Image* image) {
  return Shell("rsvg-convert -b white -w " + std::to_string(w) + " -h " + std::to_string(h) +
               " -o " + Quoted(png) + " " + Quoted(svg)) &&
         LoadPng(png, image);
}

// pdftoppm's picture of one page of a PDF file, w x h pixels. A PDF viewer
// draws every line at least one device pixel wide, where an SVG renderer
// draws a hairline as thin as it is: the page is drawn at eight times the
// size and averaged down, so that hairlines come out as faint as in SVG.
bool DrawPdfPage(const std::string& pdf, int page, int w, int h, const std::string& prefix,
                 Image* image) {
  constexpr int kFine = 8;
  std::string p = std::to_string(page);
  Image fine;
  if (!Shell("pdftoppm -png -singlefile -f " + p + " -l " + p + " -scale-to-x " +
             std::to_string(w * kFine) + " -scale-to-y " + std::to_string(h * kFine) + " " +
             Quoted(pdf) + " " + Quoted(prefix)) ||
      !LoadPng(prefix + ".png", &fine) || fine.width != w * kFine || fine.height != h * kFine)
    return false;
  image->width = w;
  image->height = h;
  image->pixels.assign(static_cast<size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t sum[3] = {0, 0, 0};
      for (int dy = 0; dy < kFine; ++dy)
        for (int dx = 0; dx < kFine; ++dx) {
          uint32_t v =
              fine.pixels[static_cast<size_t>(y * kFine + dy) * fine.width + x * kFine + dx];
          for (int c = 0; c < 3; ++c) sum[c] += (v >> (8 * c)) & 0xFF;
        }
      uint32_t out = 0;
      for (int c = 0; c < 3; ++c) out |= (sum[c] / (kFine * kFine)) << (8 * c);
      image->pixels[static_cast<size_t>(y) * w + x] = out;
    }
  return true;
}

// The pixel size of a drawing about side pixels across its longer side.
void PixelSize(const RealRect& page, int side, int* w, int* h) {
  double pw = page.right - page.left, ph = page.top - page.bottom;
  double scale = side / std::max(pw, ph);
  *w = std::max(1, static_cast<int>(std::lround(pw * scale)));
  *h = std::max(1, static_cast<int>(std::lround(ph * scale)));
}

// Every drawing of the data set and of examples/.
std::vector<fs::path> Drawings() {
  std::vector<fs::path> files;
  if (fs::is_directory(ZOLVANE_SVG_DATASET))
    for (const fs::path& f : Artwork())
      if (!IsMalformed(f)) files.push_back(f);
  for (const auto& entry : fs::directory_iterator(ZOLVANE_EXAMPLES))
    if (entry.path().extension() == ".svg") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

constexpr double kAllowedShare = 0.002;
// Where pdftoppm's drawing of the PDF differs from librsvg's drawing of the
// same page more than that, while the written SVG matches exactly.
const std::map<std::string, double> kPdfAllowances = {
    // the soft mask that punches the holes, drawn by poppler
    {"handwritten-mask-holes-stroked-gear-use-rust-logo.svg", 0.006},
    // gradients under a clip, shaded by poppler in steps
    {"inkscape1-plain-mm-clip-group-matrix-rainbow-logo.svg", 0.005},
    // thousands of thin borders, anti-aliased differently
    {"large-map-europe-countries-viewbox-offset.svg", 0.007},
};

class Outputs : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Shell("rsvg-convert --version"))
        << "rsvg-convert (librsvg2-bin): run scripts/setup";
    ASSERT_TRUE(Shell("pdftoppm -v")) << "pdftoppm (poppler-utils): run scripts/setup";
    dir_ =
        fs::temp_directory_path() / ("zolvane-outputs-" + std::to_string(getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// The written SVG and PDF look as librsvg draws the drawing itself.
TEST_F(Outputs, SvgAndPdfLookAsTheDrawing) {
  for (const fs::path& file : Drawings()) {
    std::string name = file.filename().string();
    SCOPED_TRACE(name);
    Document doc(1, name);
    std::string error;
    ASSERT_EQ(ImportSvgFile(file.string(), doc, &error), SvgStatus::kOk) << error;
    int w, h;
    PixelSize(doc.artboards()[0], 200, &w, &h);
    std::string svg = Path("out.svg"), pdf = Path("out.pdf");
    ASSERT_TRUE(ExportSvgFile(doc, svg, &error)) << error;
    Image in, out_svg, out_pdf;
    ASSERT_TRUE(DrawSvg(file.string(), w, h, Path("in.png"), &in));
    ASSERT_TRUE(DrawSvg(svg, w, h, Path("svg.png"), &out_svg));
    double svg_share = WrongShare(in, out_svg), pdf_share = 0;
    EXPECT_LE(svg_share, kAllowedShare) << svg_share * 100 << "% of the SVG's pixels differ";
    // A page beyond what PDF allows is refused (a test of its own).
    const RealRect& page = doc.artboards()[0];
    if (page.right - page.left <= 14400 && page.top - page.bottom <= 14400) {
      ASSERT_TRUE(WritePdf(doc, pdf, &error)) << error;
      ASSERT_TRUE(DrawPdfPage(pdf, 1, w, h, Path("pdf"), &out_pdf));
      pdf_share = WrongShare(in, out_pdf);
      auto allowance = kPdfAllowances.find(name);
      EXPECT_LE(pdf_share, allowance == kPdfAllowances.end() ? kAllowedShare : allowance->second)
          << pdf_share * 100 << "% of the PDF's pixels differ";
    }
    std::printf("%-70s svg %5.2f%%  pdf %5.2f%%\n", name.c_str(), svg_share * 100, pdf_share * 100);
  }
}

// Image turned a quarter (as the document turns counterclockwise with y up)
// or mirrored left to right.
Image Turned(const Image& a) {
  Image out{a.height, a.width, std::vector<uint32_t>(a.pixels.size())};
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      out.pixels[static_cast<size_t>(a.width - 1 - x) * out.width + y] =
          a.pixels[static_cast<size_t>(y) * a.width + x];
  return out;
}
Image Mirrored(const Image& a) {
  Image out = a;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      out.pixels[static_cast<size_t>(y) * a.width + a.width - 1 - x] =
          a.pixels[static_cast<size_t>(y) * a.width + x];
  return out;
}

// Every top-level object is duplicated twice, as the nesting run does: one
// copy turned a quarter and one mirrored, each moved off to the right onto
// an artboard of its own. Each copy must look exactly as its original does,
// turned or mirrored, in the written SVG and PDF, beside the originals.
TEST_F(Outputs, MovedAndDuplicatedArtLooksAsItsOriginal) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(ZOLVANE_EXAMPLES))
    if (entry.path().extension() == ".svg") files.push_back(entry.path());
  if (fs::is_directory(ZOLVANE_SVG_DATASET))
    for (const char* name : {"inkscape-layers-mm-hidden-layer-clone-gopher.svg",
                             "handwritten-defs-use-clip-rotate-flag-brazil.svg",
                             "export-illustrator-layer1-clip-use-gradient-emoji.svg",
                             "svgo-text-tspan-matrix-gradients-flag-south-georgia.svg",
                             "export-coreldraw-style-classes-cdata-flag-wyoming.svg"})
      files.push_back(fs::path(ZOLVANE_SVG_DATASET) / name);
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    std::string name = file.filename().string();
    SCOPED_TRACE(name);
    Document doc(1, name);
    std::string error;
    ASSERT_EQ(ImportSvgFile(file.string(), doc, &error), SvgStatus::kOk) << error;
    RealRect page = doc.artboards()[0], all = page;
    std::vector<Art*> tops;
    for (int32_t i = 0; i < doc.LayerCount(); ++i) {
      for (Art* a = doc.NthLayer(i)->group->first_child; a; a = a->next) tops.push_back(a);
      RealRect r;
      if (ArtExtent(*doc.NthLayer(i)->group, nullptr, 0, &r)) {
        all.left = std::min(all.left, r.left);
        all.right = std::max(all.right, r.right);
        all.top = std::max(all.top, r.top);
        all.bottom = std::min(all.bottom, r.bottom);
      }
    }
    // (x, y) -> (-y, x) and (x, y) -> (-x, y), each moved clear of the rest.
    double gap = 10, span = all.right - all.left + all.top - all.bottom + 2 * gap;
    RealMatrix turn{0, 1, -1, 0, all.right + gap + all.top, 0};
    RealMatrix mirror{-1, 0, 0, 1, all.right + gap + span + all.right, 0};
    for (const RealMatrix& m : {turn, mirror}) {
      for (Art* a : tops) {
        Art* copy = nullptr;
        ASSERT_EQ(doc.Duplicate(a, kPlaceAbove, a, &copy), kNoErr);
        TransformArtTree(*copy, m, 1, 111);  // the options the nesting run transforms with
      }
      RealPoint p = {page.left, page.top}, q = {page.right, page.bottom};
      RealPoint mp{m.a * p.x + m.c * p.y + m.tx, m.b * p.x + m.d * p.y + m.ty};
      RealPoint mq{m.a * q.x + m.c * q.y + m.tx, m.b * q.x + m.d * q.y + m.ty};
      int32_t index = 0;
      ASSERT_EQ(doc.AddArtboard({std::min(mp.x, mq.x), std::max(mp.y, mq.y), std::max(mp.x, mq.x),
                                 std::min(mp.y, mq.y)},
                                &index),
                kNoErr);
    }
    // The SVG is well-formed XML with unique ids, and reads back.
    std::string svg = Path("out.svg"), pdf = Path("out.pdf");
    ASSERT_TRUE(ExportSvgFile(doc, svg, &error)) << error;
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_file(svg.c_str())) << "malformed XML";
    std::set<std::string> ids;
    std::vector<pugi::xml_node> stack{xml.document_element()};
    while (!stack.empty()) {
      pugi::xml_node n = stack.back();
      stack.pop_back();
      if (pugi::xml_attribute id = n.attribute("id")) {
        EXPECT_TRUE(ids.insert(id.value()).second) << "id \"" << id.value() << "\" repeats";
      }
      for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) stack.push_back(c);
    }
    Document back(2, "back");
    ASSERT_EQ(ImportSvgFile(svg, back, &error), SvgStatus::kOk) << error;
    EXPECT_EQ(back.ArtCount(), doc.ArtCount());
    // Each artboard drawn from the SVG (by librsvg) and from the PDF.
    int w, h;
    PixelSize(page, 160, &w, &h);
    Image svg_pages[3];
    for (int i = 0; i < 3; ++i) {
      PngOptions options;
      options.artboard = i;
      options.outline_artboards = false;
      options.dpi = 72.0 * w / (page.right - page.left);
      std::string png = Path("page" + std::to_string(i) + ".png");
      ASSERT_TRUE(WritePng(doc, png, options, &error)) << error;
      ASSERT_TRUE(LoadPng(png, &svg_pages[i]));
    }
    EXPECT_LE(WrongShare(Turned(svg_pages[0]), svg_pages[1]), kAllowedShare) << "turned, SVG";
    EXPECT_LE(WrongShare(Mirrored(svg_pages[0]), svg_pages[2]), kAllowedShare) << "mirrored, SVG";
    ASSERT_TRUE(WritePdf(doc, pdf, &error)) << error;
    Image pdf_pages[3];
    ASSERT_TRUE(DrawPdfPage(pdf, 1, w, h, Path("p1"), &pdf_pages[0]));
    ASSERT_TRUE(DrawPdfPage(pdf, 2, h, w, Path("p2"), &pdf_pages[1]));
    ASSERT_TRUE(DrawPdfPage(pdf, 3, w, h, Path("p3"), &pdf_pages[2]));
    // pdftoppm draws the gopher's many thin strokes a little differently on
    // a turned or mirrored page (0.25 %); librsvg draws them the same.
    double pdf_allowed =
        name == "inkscape-layers-mm-hidden-layer-clone-gopher.svg" ? 0.004 : kAllowedShare;
    EXPECT_LE(WrongShare(Turned(pdf_pages[0]), pdf_pages[1]), pdf_allowed) << "turned, PDF";
    EXPECT_LE(WrongShare(Mirrored(pdf_pages[0]), pdf_pages[2]), pdf_allowed) << "mirrored, PDF";
    std::printf("%-70s svg %5.2f%% %5.2f%%  pdf %5.2f%% %5.2f%%\n", name.c_str(),
                WrongShare(Turned(svg_pages[0]), svg_pages[1]) * 100,
                WrongShare(Mirrored(svg_pages[0]), svg_pages[2]) * 100,
                WrongShare(Turned(pdf_pages[0]), pdf_pages[1]) * 100,
                WrongShare(Mirrored(pdf_pages[0]), pdf_pages[2]) * 100);
  }
}

// Drawing text fills process-wide font caches; freed at the end so that
// the leak checker of the sanitizer build sees only our own memory.
class RenderCaches : public testing::Environment {
 public:
  void TearDown() override { ReleaseRenderCaches(); }
};
const testing::Environment* const kRenderCaches =
    testing::AddGlobalTestEnvironment(new RenderCaches);

}  // namespace
}  // namespace host
