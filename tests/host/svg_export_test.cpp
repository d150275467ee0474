// SVG export and the cairo outputs: a document written and read back keeps
// its structure and geometry; PDFs have one page per artboard; failed
// writes leave no file and keep the old one.
#include <cairo.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <pugixml.hpp>

#include "host/builder.h"
#include "host/document.h"
#include "host/render.h"
#include "host/suite_registry.h"
#include "host/svg_common.h"
#include "host/svg_export.h"
#include "host/svg_import.h"

namespace host {
namespace {

namespace fs = std::filesystem;

// Compares two art trees: kinds, names, flags, tags, styles, box art, and
// every anchor and handle within tolerance.
void ExpectSameArt(const Art& a, const Art& b, double tolerance, const std::string& where) {
  SCOPED_TRACE(where);
  ASSERT_EQ(a.type, b.type);
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.hidden, b.hidden);
  EXPECT_EQ(a.locked, b.locked);
  EXPECT_EQ(a.clipped, b.clipped);
  ASSERT_EQ(a.tags.size(), b.tags.size());
  for (const Tag& t : a.tags) {
    const Tag* other = FindTag(b, t.name);
    ASSERT_NE(other, nullptr) << t.name;
    EXPECT_EQ(other->value, t.value);
    EXPECT_EQ(other->type, t.type);
  }
  if (a.type == kArtTypePath || a.type == kArtTypeCompoundPath) {
    EXPECT_EQ(a.style.fill_paint, b.style.fill_paint);
    EXPECT_EQ(a.style.stroke_paint, b.style.stroke_paint);
    EXPECT_EQ(a.style.even_odd, b.style.even_odd);
    EXPECT_EQ(a.style.clip, b.style.clip);
    if (a.style.fill_paint) {
      // Process colours stay process colours; gray and RGB are written as RGB.
      EXPECT_EQ(a.style.fill.color.kind == kColorFourProcess,
                b.style.fill.color.kind == kColorFourProcess);
      double ra[3], rb[3];
      ColorToRgb(a.style.fill.color, ra);
      ColorToRgb(b.style.fill.color, rb);
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(ra[i], rb[i], 1e-9);
    }
    if (a.style.stroke_paint) {
      EXPECT_NEAR(a.style.stroke.width, b.style.stroke.width, tolerance);
      EXPECT_EQ(a.style.stroke.cap, b.style.stroke.cap);
      EXPECT_EQ(a.style.stroke.join, b.style.stroke.join);
      EXPECT_EQ(a.style.stroke.dash.length, b.style.stroke.dash.length);
    }
  }
  if (a.type == kArtTypePath) {
    EXPECT_EQ(a.closed, b.closed);
    ASSERT_EQ(a.segments.size(), b.segments.size());
    for (size_t i = 0; i < a.segments.size(); ++i) {
      const PathSegment &s = a.segments[i], &t = b.segments[i];
      for (auto [p, q] : {std::pair{s.p, t.p}, std::pair{s.in, t.in}, std::pair{s.out, t.out}}) {
        EXPECT_NEAR(p.x, q.x, tolerance) << "segment " << i;
        EXPECT_NEAR(p.y, q.y, tolerance) << "segment " << i;
      }
    }
  }
  if (IsBoxArtType(a.type)) {
    // Text boxes are estimated from the text each time it is read.
    EXPECT_EQ(a.source, b.source);
    if (a.type != kArtTypeText) {
      EXPECT_NEAR(a.box.left, b.box.left, tolerance);
      EXPECT_NEAR(a.box.top, b.box.top, tolerance);
    }
    EXPECT_NEAR(a.matrix.tx, b.matrix.tx, tolerance);
    EXPECT_NEAR(a.matrix.ty, b.matrix.ty, tolerance);
    EXPECT_NEAR(a.matrix.d, b.matrix.d, tolerance);
  }
  std::vector<Art*> ca = Children(a), cb = Children(b);
  ASSERT_EQ(ca.size(), cb.size());
  for (size_t i = 0; i < ca.size(); ++i)
    ExpectSameArt(*ca[i], *cb[i], tolerance, where + "/" + std::to_string(i));
}

void ExpectSameDocument(const Document& a, const Document& b, double tolerance) {
  ASSERT_EQ(a.LayerCount(), b.LayerCount());
  for (int32_t i = 0; i < a.LayerCount(); ++i) {
    const Layer *la = a.NthLayer(i), *lb = b.NthLayer(i);
    EXPECT_EQ(la->title, lb->title);
    EXPECT_EQ(la->visible, lb->visible);
    EXPECT_EQ(la->editable, lb->editable);
    ExpectSameArt(*la->group, *lb->group, tolerance, "layer " + la->title);
  }
  ASSERT_EQ(a.artboards().size(), b.artboards().size());
  for (size_t i = 0; i < a.artboards().size(); ++i) {
    EXPECT_NEAR(a.artboards()[i].left, b.artboards()[i].left, tolerance);
    EXPECT_NEAR(a.artboards()[i].top, b.artboards()[i].top, tolerance);
    EXPECT_NEAR(a.artboards()[i].right, b.artboards()[i].right, tolerance);
    EXPECT_NEAR(a.artboards()[i].bottom, b.artboards()[i].bottom, tolerance);
  }
}

// Export, import again, and compare.
void ExpectRoundTrip(const Document& doc, double tolerance = 1e-6) {
  std::string text = ExportSvgText(doc);
  Document again(2, "again");
  std::string error;
  ASSERT_EQ(ImportSvg(text, again, &error), SvgStatus::kOk) << error << "\n" << text;
  ExpectSameDocument(doc, again, tolerance);
  // And once more: the second export is the first, byte for byte.
  EXPECT_EQ(ExportSvgText(again), text);
}

// A document built through the model's own API with every kind of thing
// the exporter writes.
void BuildEverything(Document& doc) {
  Layer* top = doc.NthLayer(0);
  top->title = "Front & <top>";
  Art* root = top->group;
  // A compound path with a hole, even-odd, in process cyan, with tags.
  Art* ring = AddCompoundPath(doc, kPlaceInsideOnTop, root, FillStyleOf(Cmyk(1, 0, 0, 0)));
  ring->style.even_odd = true;
  ring->name = "ring";
  AddEllipse(doc, kPlaceInsideOnBottom, ring, {100, 100}, 50, 40, ring->style);
  AddEllipse(doc, kPlaceInsideOnBottom, ring, {100, 100}, 20, 10, ring->style);
  SetTag(*ring, "zolvane_quantity", "string", "3");
  SetTag(*ring, "note", "string", "a=b; c%d");
  // A clipping group with a stroked, dashed path and an open curve.
  Art* group = AddGroup(doc, kPlaceInsideOnTop, root);
  group->name = "clipped";
  group->clipped = true;
  PathStyle stroke = StrokeStyleOf(Rgb(0.2, 0.4, 0.6), 2.5);
  stroke.stroke.cap = kCapRound;
  stroke.stroke.join = kJoinBevel;
  stroke.stroke.dash.length = 2;
  stroke.stroke.dash.array[0] = 3;
  stroke.stroke.dash.array[1] = 1.5;
  AddPath(doc, kPlaceInsideOnTop, group,
          {Smooth({0.1, 0.2}, {0.1, 0.2}, {10.333333333333334, 20.1}),
           Smooth({30, -40.7}, {25, -1e-7}, {30, -40.7})},
          false, stroke);
  AddRectangle(doc, kPlaceInsideOnTop, group, {-5, 5, 300, -300}, FillStyleOf(Gray(0.5)));
  PathStyle clip{};
  clip.clip = true;
  Art* clip_path = AddRectangle(doc, kPlaceInsideOnTop, group, {0, 50, 60, -20}, clip);
  clip_path->style.clip = true;
  // A compound path of one subpath stays a compound path.
  Art* single = AddCompoundPath(doc, kPlaceInsideOnTop, root, FillStyleOf(Rgb(1, 0, 0)));
  AddRectangle(doc, kPlaceInsideOnBottom, single, {200, 10, 210, 0}, single->style);
  // Hidden and locked art.
  Art* hidden =
      AddRectangle(doc, kPlaceInsideOnTop, root, {0, 0, 1, -1}, FillStyleOf(Rgb(0, 0, 0)));
  hidden->hidden = true;
  hidden->locked = true;
  // Other art from its source, moved by its matrix.
  AddBoxArt(doc, kArtTypeText, kPlaceInsideOnTop, root, {10, 30, 60, 18}, {1, 0, 0, -1, 40, 500},
            "<text x=\"10\" y=\"30\" style=\"font-size:12px\">Label</text>");
  // A second, hidden and locked layer, and a second artboard.
  Layer* back = nullptr;
  ASSERT_EQ(doc.InsertLayer(top, kPlaceBelow, &back), kNoErr);
  back->title = "Back";
  back->visible = false;
  back->editable = false;
  AddRectangle(doc, kPlaceInsideOnTop, back->group, {400, 400, 500, 300}, FillStyleOf(Gray(0)));
  int32_t index = 0;
  ASSERT_EQ(doc.AddArtboard({700, 400, 1000, -300}, &index), kNoErr);
}

TEST(SvgExport, ABuiltDocumentComesBackUnchanged) {
  Document doc(1, "built");
  BuildEverything(doc);
  ExpectRoundTrip(doc, 0);  // the numbers are written exactly
  std::string text = ExportSvgText(doc);
  EXPECT_THAT(text, testing::HasSubstr("data-zolvane_quantity=\"3\""));
  EXPECT_THAT(text, testing::HasSubstr("<inkscape:page"));
  EXPECT_THAT(text, testing::HasSubstr("inkscape:label=\"Front &amp; &lt;top>\""));
  EXPECT_THAT(text, testing::HasSubstr(">Label</text>"));
}

TEST(SvgExport, ImportedFixturesRoundTrip) {
  std::vector<fs::path> files;
  for (const char* dir : {ZOLVANE_EXAMPLES, ZOLVANE_CORPUS})
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().extension() == ".svg") files.push_back(entry.path());
  ASSERT_GT(files.size(), 3u);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    Document doc(1, file.string());
    std::string error;
    SvgStatus status = ImportSvgFile(file.string(), doc, &error);
    if (status != SvgStatus::kOk) continue;  // fuzz seeds include refused ones
    ExpectRoundTrip(doc);
  }
  // Every drawing of the data set, where the data sets are.
  if (!fs::is_directory(ZOLVANE_SVG_DATASET))
    GTEST_SKIP() << "no SVG data set at " << ZOLVANE_SVG_DATASET << " (see README: Data sets)";
  for (const auto& entry : fs::directory_iterator(ZOLVANE_SVG_DATASET)) {
    std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".svg" || name.rfind("malformed", 0) == 0) continue;
    SCOPED_TRACE(name);
    Document doc(1, name);
    std::string error;
    ASSERT_EQ(ImportSvgFile(entry.path().string(), doc, &error), SvgStatus::kOk) << error;
    ExpectRoundTrip(doc);
  }
}

// A drawing with what the model does not hold: a gradient, a clone, a
// class, metadata, foreign attributes on the root and the layer.
const char kKeptDrawing[] =
    R"svg(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" xmlns:foo="urn:foo" foo:root="kept" width="200" height="100" viewBox="0 0 200 100">
<metadata id="meta"><foo:note>kept</foo:note></metadata>
<defs><linearGradient id="fade"><stop offset="0" stop-color="#f00"/><stop offset="1" stop-color="#00f"/></linearGradient></defs>
<g id="layer1" inkscape:groupmode="layer" inkscape:label="Art" foo:layer="kept">
<rect id="sky" x="10" y="10" width="30" height="20" fill="url(#fade)" class="c" data-x="1"/>
<g id="pair" fill="#080"><path id="left" d="M50 10h10v10h-10z"/><path id="right" d="M70 10h10v10h-10z"/></g>
<path id="star" d="M100 10l5 10h-10z" fill="#00f"/>
<use id="clone" xlink:href="#star" x="20"/>
</g>
</svg>
)svg";

class SuitesOnDrawing : public testing::Test {
 protected:
  void SetUp() override {
    doc_ = Documents().New("kept");
    std::string error;
    ASSERT_EQ(ImportSvg(kKeptDrawing, *doc_, &error), SvgStatus::kOk) << error;
    art_ = static_cast<const ArtSuite*>(FindDocumentSuite(kArtSuiteName, kArtSuiteVersion));
    xform_ = static_cast<const TransformArtSuite*>(
        FindDocumentSuite(kTransformArtSuiteName, kTransformArtSuiteVersion));
    styles_ = static_cast<const PathStyleSuite*>(
        FindDocumentSuite(kPathStyleSuiteName, kPathStyleSuiteVersion));
    ASSERT_TRUE(art_ && xform_ && styles_);
  }
  void TearDown() override { Documents().CloseAll(); }
  ArtHandle Named(const std::string& name) {
    for (Art* a = doc_->NthLayer(0)->group->first_child; a; a = a->next)
      if (a->name == name) return doc_->HandleOf(a);
    return nullptr;
  }
  // The written element whose id is given, as text.
  static std::string Element(const std::string& svg, const std::string& id) {
    pugi::xml_document xml;
    EXPECT_TRUE(xml.load_string(svg.c_str()));
    pugi::xml_node n =
        xml.find_node([&](pugi::xml_node e) { return id == e.attribute("id").value(); });
    std::ostringstream out;
    if (n) n.print(out, "", pugi::format_raw);
    return out.str();
  }
  Document* doc_ = nullptr;
  const ArtSuite* art_ = nullptr;
  const TransformArtSuite* xform_ = nullptr;
  const PathStyleSuite* styles_ = nullptr;
};

TEST_F(SuitesOnDrawing, UntouchedArtIsWrittenAsItWasRead) {
  std::string before = ExportSvgText(*doc_);
  // Everything the model does not hold comes back.
  for (const char* kept : {"foo:root=\"kept\"", "<foo:note>kept</foo:note>", "foo:layer=\"kept\"",
                           "<linearGradient id=\"fade\">", "fill=\"url(#fade)\" class=\"c\""})
    EXPECT_THAT(before, testing::HasSubstr(kept));
  EXPECT_EQ(Element(before, "sky"),
            "<rect id=\"sky\" x=\"10\" y=\"10\" width=\"30\" height=\"20\" fill=\"url(#fade)\" "
            "class=\"c\" data-x=\"1\"/>");
  EXPECT_EQ(Element(before, "pair"),
            "<g id=\"pair\" fill=\"#080\"><path id=\"left\" d=\"M50 10h10v10h-10z\"/><path "
            "id=\"right\" d=\"M70 10h10v10h-10z\"/></g>");
  // A quantity set by the plug-in travels on the element, nothing else changes.
  const TagSuite* tags =
      static_cast<const TagSuite*>(FindDocumentSuite(kTagSuiteName, kTagSuiteVersion));
  ASSERT_EQ(tags->SetTag(Named("sky"), kQuantityTagName, "string", "4"), kNoErr);
  EXPECT_EQ(Element(ExportSvgText(*doc_), "sky"),
            "<rect id=\"sky\" x=\"10\" y=\"10\" width=\"30\" height=\"20\" fill=\"url(#fade)\" "
            "class=\"c\" data-x=\"1\" data-zolvane_quantity=\"4\"/>");
}

TEST_F(SuitesOnDrawing, CopiesAndMovesAddOneTransformAndChangesComeFromTheModel) {
  // The nesting run's way: duplicate, transform with the options 111.
  ArtHandle copy = nullptr;
  ASSERT_EQ(art_->DuplicateArt(Named("pair"), kPlaceAbove, Named("pair"), &copy), kNoErr);
  RealMatrix turn{0, 1, -1, 0, 300, 0};
  ASSERT_EQ(xform_->TransformArt(copy, &turn, 1, 111), kNoErr);
  // The clone's original moves; the clone must stay where it was.
  RealMatrix move{1, 0, 0, 1, 0, -50};
  ASSERT_EQ(xform_->TransformArt(Named("star"), &move, 1, 111), kNoErr);
  // A changed paint is the model's.
  PathStyle style{};
  ASSERT_EQ(styles_->GetPathStyle(Named("sky"), &style), kNoErr);
  ASSERT_EQ(styles_->SetPathStyle(Named("sky"), &style), kNoErr);
  std::string svg = ExportSvgText(*doc_);
  // The copy: its source with one added transform (in the file's user
  // units, 0.75 point each), ids renamed inside, names kept as labels.
  EXPECT_EQ(Element(svg, "pair-2"),
            "<g id=\"pair-2\" fill=\"#080\" transform=\"matrix(0,-1,1,0,400,0)\" "
            "inkscape:label=\"pair\"><path id=\"left-2\" d=\"M50 10h10v10h-10z\" "
            "inkscape:label=\"left\"/><path id=\"right-2\" d=\"M70 10h10v10h-10z\" "
            "inkscape:label=\"right\"/></g>");
  // The moved original under a new id; the clone's target as it was read.
  EXPECT_EQ(Element(svg, "star-2"),
            "<path id=\"star-2\" d=\"M100 10l5 10h-10z\" fill=\"#00f\" "
            "transform=\"matrix(1,0,0,1,0,66.66666666666667)\" inkscape:label=\"star\"/>");
  EXPECT_EQ(Element(svg, "star"), "<path id=\"star\" d=\"M100 10l5 10h-10z\" fill=\"#00f\"/>");
  EXPECT_THAT(Element(svg, "clone"), testing::HasSubstr("xlink:href=\"#star\""));
  // The changed rectangle: a path in flat paint, no gradient.
  EXPECT_THAT(Element(svg, "sky"), testing::StartsWith("<path id=\"sky\""));
  EXPECT_THAT(Element(svg, "sky"), testing::Not(testing::HasSubstr("url(")));
  // Read back, every copy is where the host put it.
  Document back(2, "back");
  std::string error;
  ASSERT_EQ(ImportSvg(svg, back, &error), SvgStatus::kOk) << error;
  ExpectSameDocument(*doc_, back, 1e-9);
  EXPECT_EQ(ExportSvgText(back), ExportSvgText(back));
}

// A long path is written as its source text, not as one absolute cubic per
// segment: the file stays the size it was, and the importer takes it again.
TEST(SvgExport, ALongPathStaysTheSizeItWas) {
  std::string d = "M0 0";
  for (int i = 0; i < 200000; ++i) d += i % 2 ? "l.5-1" : "l.5 1";
  std::string text =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 100000 10\"><path d=\"" + d +
      "\" stroke=\"#000\" fill=\"none\"/></svg>";
  Document doc(1, "long");
  std::string error;
  ASSERT_EQ(ImportSvg(text, doc, &error), SvgStatus::kOk) << error;
  std::string written = ExportSvgText(doc);
  EXPECT_LT(written.size(), text.size() + 1000);
  SvgLimits tight;
  tight.max_file_bytes = text.size() + 1000;
  Document again(2, "again");
  EXPECT_EQ(ImportSvg(written, again, &error, tight), SvgStatus::kOk) << error;
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, p)) out += buffer;
  pclose(p);
  return out;
}

class OutputFiles : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("zolvane-export-" + std::to_string(getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  // Files in the folder other than the named ones (temporary leftovers).
  std::vector<std::string> Others(const std::vector<std::string>& expected) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) {
      std::string name = e.path().filename().string();
      if (std::find(expected.begin(), expected.end(), name) == expected.end()) out.push_back(name);
    }
    return out;
  }
  fs::path dir_;
};

TEST_F(OutputFiles, PdfHasOnePagePerArtboardInOrder) {
  ASSERT_EQ(std::system("pdfinfo -v > /dev/null 2>&1"), 0)
      << "pdfinfo (poppler-utils) is missing: run scripts/setup";
  Document doc(1, "pages");
  BuildEverything(doc);
  int32_t index = 0;
  ASSERT_EQ(doc.AddArtboard({0, 0, 200, -100}, &index), kNoErr);
  std::string path = (dir_ / "sheets.pdf").string(), error;
  ASSERT_TRUE(WritePdf(doc, path, &error)) << error;
  std::string info = Output("pdfinfo -f 1 -l 3 '" + path + "'");
  EXPECT_THAT(info, testing::ContainsRegex("Pages: +3"));
  EXPECT_THAT(info, testing::ContainsRegex("Page +1 size: +612 x 792 pts"));
  EXPECT_THAT(info, testing::ContainsRegex("Page +2 size: +300 x 700 pts"));
  EXPECT_THAT(info, testing::ContainsRegex("Page +3 size: +200 x 100 pts"));
  EXPECT_THAT(Others({"sheets.pdf"}), testing::IsEmpty());
}

TEST_F(OutputFiles, PngPreviewOfTheDocumentOrOneArtboard) {
  Document doc(1, "preview");
  AddRectangle(doc, kPlaceInsideOnTop, doc.NthLayer(0)->group, {-306, 396, 0, 0},
               FillStyleOf(Rgb(1, 0, 0)));
  std::string path = (dir_ / "one.png").string(), error;
  PngOptions options;
  options.artboard = 0;
  options.dpi = 36;  // half a pixel per point
  ASSERT_TRUE(WritePng(doc, path, options, &error)) << error;
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(s), 306);
  EXPECT_EQ(cairo_image_surface_get_height(s), 396);
  // The red rectangle fills the top-left quarter (y up: top is +396).
  cairo_surface_flush(s);
  auto pixel = [&](int x, int y) {
    const unsigned char* d =
        cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return *reinterpret_cast<const uint32_t*>(d + 4 * x) & 0xFFFFFF;
  };
  EXPECT_EQ(pixel(10, 10), 0xFF0000u);
  EXPECT_EQ(pixel(300, 390), 0xFFFFFFu);
  cairo_surface_destroy(s);
  // The whole document: a margin around the artboard, which is outlined.
  options.artboard = -1;
  ASSERT_TRUE(WritePng(doc, path, options, &error)) << error;
  s = cairo_image_surface_create_from_png(path.c_str());
  EXPECT_GT(cairo_image_surface_get_width(s), 306);
  cairo_surface_destroy(s);
}

TEST_F(OutputFiles, FailedWritesLeaveNoFileAndKeepTheOldOne) {
  Document doc(1, "doc");
  AddRectangle(doc, kPlaceInsideOnTop, doc.NthLayer(0)->group, {0, 10, 10, 0},
               FillStyleOf(Rgb(0, 0, 0)));
  std::string old = (dir_ / "old.png").string();
  { std::ofstream(old) << "previous contents"; }
  std::string error;
  PngOptions huge;
  huge.dpi = 72 * 1000;  // far beyond the pixels a preview may have
  EXPECT_FALSE(WritePng(doc, old, huge, &error));
  EXPECT_THAT(error, testing::HasSubstr("pixels"));
  std::ifstream in(old);
  std::string contents((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(contents, "previous contents");
  // A folder that does not exist: nothing is written anywhere.
  std::string missing = (dir_ / "no" / "such.svg").string();
  EXPECT_FALSE(ExportSvgFile(doc, missing, &error));
  EXPECT_THAT(error, testing::HasSubstr(missing));
  EXPECT_FALSE(WritePdf(doc, (dir_ / "no" / "such.pdf").string(), &error));
  EXPECT_FALSE(WritePng(doc, (dir_ / "no" / "such.png").string(), PngOptions{}, &error));
  EXPECT_THAT(Others({"old.png"}), testing::IsEmpty());
  // A successful write replaces the old file.
  ASSERT_TRUE(ExportSvgFile(doc, old, &error)) << error;
  Document back(2, "back");
  EXPECT_EQ(ImportSvgFile(old, back, &error), SvgStatus::kOk) << error;
  EXPECT_THAT(Others({"old.png"}), testing::IsEmpty());
}

// Every exporter replaces a file as editors do: permissions stay, a link
// is written through to its target.
TEST_F(OutputFiles, ExportsKeepPermissionsAndWriteThroughLinks) {
  Document doc(1, "doc");
  AddRectangle(doc, kPlaceInsideOnTop, doc.NthLayer(0)->group, {0, 10, 10, 0},
               FillStyleOf(Rgb(0, 0, 0)));
  std::string error;
  for (const char* name : {"out.svg", "out.pdf", "out.png"}) {
    SCOPED_TRACE(name);
    fs::path target = dir_ / name, link = dir_ / (std::string("link-") + name);
    { std::ofstream(target) << "old"; }
    fs::permissions(target, fs::perms(0664));
    fs::create_symlink(target.filename(), link);
    std::string ext = target.extension().string();
    bool ok = ext == ".svg"   ? ExportSvgFile(doc, link.string(), &error)
              : ext == ".pdf" ? WritePdf(doc, link.string(), &error)
                              : WritePng(doc, link.string(), PngOptions{}, &error);
    ASSERT_TRUE(ok) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_GT(fs::file_size(target), 3u) << "the link's target holds the new file";
    EXPECT_EQ(static_cast<int>(fs::status(target).permissions() & fs::perms::all), 0664);
  }
  EXPECT_EQ(
      Others({"out.svg", "out.pdf", "out.png", "link-out.svg", "link-out.pdf", "link-out.png"}),
      std::vector<std::string>{});
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
