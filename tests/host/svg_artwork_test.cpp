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
#include <sstream>
#include <string>

#include "host/document.h"
#include "host/render.h"
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

// The expectations: how far each file may differ, and why (data file).
std::map<std::string, double> Allowances() {
  std::map<std::string, double> out;
  std::ifstream in(std::string(ZOLVANE_TEST_DATA) + "/svg_artwork.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name;
    double percent;
    if (fields >> name >> percent) out[name] = percent / 100;
  }
  return out;
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

TEST(SvgArtwork, RenderingsMatchAnIndependentRenderer) {
  SKIP_WITHOUT_ARTWORK();
  ASSERT_EQ(std::system("rsvg-convert --version > /dev/null 2>&1"), 0)
      << "rsvg-convert (librsvg2-bin) is missing: run scripts/setup";
  std::map<std::string, double> allowed = Allowances();
  fs::path dir = fs::temp_directory_path() / ("zolvane-artwork-" + std::to_string(getpid()));
  fs::create_directories(dir);
  for (const fs::path& file : Artwork()) {
    if (IsMalformed(file)) continue;
    std::string name = file.filename().string();
    Document doc(1, name);
    std::string error;
    ASSERT_EQ(ImportSvgFile(file.string(), doc, &error), SvgStatus::kOk) << error;
    // Both drawn at the size of the first page, about 300 pixels across.
    const RealRect& page = doc.artboards()[0];
    double side = std::max(page.right - page.left, page.top - page.bottom);
    PngOptions options;
    options.artboard = 0;
    options.outline_artboards = false;
    options.dpi = 72.0 * 300 / side;
    std::string ours = (dir / (name + ".ours.png")).string();
    std::string theirs = (dir / (name + ".ref.png")).string();
    ASSERT_TRUE(WritePng(doc, ours, options, &error)) << error;
    Image a, b;
    ASSERT_TRUE(LoadPng(ours, &a));
    std::string command = "rsvg-convert -b white -w " + std::to_string(a.width) + " -h " +
                          std::to_string(a.height) + " -o '" + theirs + "' '" + file.string() +
                          "' 2> /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ASSERT_TRUE(LoadPng(theirs, &b));
    double share = WrongShare(a, b);
    double allowance = allowed.count(name) ? allowed[name] : 0.01;
    EXPECT_LE(share, allowance) << name << ": " << share * 100 << "% of the pixels differ";
    std::printf("%-70s %6.2f%%\n", name.c_str(), share * 100);
  }
  fs::remove_all(dir);
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
