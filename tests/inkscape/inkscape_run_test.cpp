// The extension inside real Inkscape, run headless under Xvfb: the extension
// folder copied into a throwaway Inkscape profile whose preferences preset
// the dialog's parameters, then Inkscape selects, runs the extension and
// exports the document it got back. Each Inkscape run has a time limit.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pugixml.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kStickers = ZOLVANE_SOURCE "/examples/stickers.svg";
constexpr double kPointsPerMm = 72 / 25.4;
// One Inkscape run's limit; a run waiting on a dialog ends there.
constexpr int kInkscapeSeconds = 60;

bool OnPath(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Runs a shell command; its exit code.
int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The top-level objects of a document's layers by id, as Inkscape wrote them.
std::map<std::string, pugi::xml_node> TopLevelObjects(const pugi::xml_document& doc) {
  std::map<std::string, pugi::xml_node> out;
  for (pugi::xpath_node layer : doc.select_nodes("//*[@inkscape:groupmode='layer']")) {
    for (pugi::xml_node child : layer.node().children()) {
      if (child.type() != pugi::node_element) continue;
      out[child.attribute("id").value()] = child;
    }
  }
  return out;
}

// The copies of an object: the original's id, ids made unique from it
// ("star-sticker-2"), or its name as the label.
int Copies(const pugi::xml_document& doc, const std::string& object) {
  const std::regex id(object + "(-[0-9]+)?");
  int n = 0;
  for (const auto& [key, node] : TopLevelObjects(doc)) {
    n += std::regex_match(key, id) || object == node.attribute("inkscape:label").value();
  }
  return n;
}

std::string Serialized(pugi::xml_node node) {
  std::ostringstream out;
  node.print(out, "", pugi::format_raw);
  return out.str();
}

class InkscapeRun : public testing::Test {
 protected:
  void SetUp() override {
    if (!OnPath("inkscape") || !OnPath("xvfb-run") || !OnPath("xauth"))
      GTEST_SKIP() << "Inkscape, xvfb-run and xauth are needed (scripts/setup installs them)";
    dir_ =
        fs::temp_directory_path() / ("zolvane-inkscape-" + std::to_string(getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "home");
    fs::create_directories(dir_ / "profile/extensions");
    // The links to the command are copied as links.
    fs::copy(ZOLVANE_EXTENSION_DIR, dir_ / "profile/extensions/zolvane",
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  void TearDown() override {
    if (!dir_.empty() && !HasFailure()) fs::remove_all(dir_);
  }

  // The profile's preferences: every parameter of the extension preset.
  void Preset(const std::string& extension, const std::map<std::string, std::string>& values) {
    std::string attributes;
    for (const auto& [name, value] : values)
      attributes += " " + extension + "." + name + "=\"" + value + "\"";
    std::ofstream(dir_ / "profile/preferences.xml")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<inkscape><group id=\"extensions\""
        << attributes << "/></inkscape>\n";
  }

  // Inkscape opens the document and plays the actions; its exit code.
  int Inkscape(const std::string& input, const std::string& actions) {
    const std::string command =
        "cd '" + dir_.string() + "' && HOME='" + (dir_ / "home").string() + "' XDG_CONFIG_HOME='" +
        (dir_ / "home/.config").string() + "' INKSCAPE_PROFILE_DIR='" +
        (dir_ / "profile").string() + "' LANG=C.UTF-8 LANGUAGE= timeout " +
        std::to_string(kInkscapeSeconds) + " xvfb-run -a inkscape --with-gui --batch-process '" +
        input + "' --actions='" + actions + "' > inkscape.log 2>&1";
    return Shell(command);
  }

  fs::path Path(const std::string& name) const { return dir_ / name; }

  // Inkscape logs the extensions it refused (its own ones whose programs
  // are missing here among them): none of ours may be there.
  void ExpectExtensionsLoaded() {
    const std::string log = ReadText(Path("profile/extension-errors.log"));
    for (const char* ours : {"\"Nesting\"", "\"Set quantity\"", "zolvane"})
      EXPECT_EQ(log.find(ours), std::string::npos) << log;
  }

  // Runs the extension's program through a script that keeps its standard
  // error in a file instead of handing it to Inkscape, whose batch run would
  // wait on the dialog that shows it.
  void KeepStderr(const std::string& program) {
    const fs::path link = dir_ / "profile/extensions/zolvane" / program;
    const fs::path command = fs::read_symlink(link);
    fs::remove(link);
    std::ofstream(link) << "#!/bin/bash\nexec -a " << program << " '" << command.string()
                        << "' \"$@\" 2> '" << Path("stderr.txt").string() << "'\n";
    fs::permissions(link, fs::perms::owner_all, fs::perm_options::add);
  }

  fs::path dir_;
};

const std::map<std::string, std::string> kNesting = {
    {"mode", "rectangle"},    {"rotate_to_minimize_height", "true"},
    {"rotation", "false"},    {"rotation_step", "90"},
    {"overlap", "true"},      {"spacing", "5"},
    {"one_page", "false"},    {"sheet_width", "300"},
    {"sheet_height", "200"},  {"margin_left", "10"},
    {"margin_top", "10"},     {"margin_right", "10"},
    {"margin_bottom", "10"},  {"align", "top"},
    {"direction", "forward"},
};

TEST_F(InkscapeRun, NestsTheSelectionOntoPagesOfTheSheetSize) {
  Preset("org.zolvane.nest", kNesting);
  ASSERT_EQ(Inkscape(kStickers,
                     "export-filename:before.svg;export-do;"
                     "select-by-id:star-sticker,round-sticker;org.zolvane.nest.noprefs;"
                     "export-filename:after.svg;export-do"),
            0)
      << ReadText(Path("inkscape.log"));
  ExpectExtensionsLoaded();

  pugi::xml_document before, after;
  ASSERT_TRUE(before.load_file(Path("before.svg").c_str()));
  ASSERT_TRUE(after.load_file(Path("after.svg").c_str())) << ReadText(Path("inkscape.log"));
  // Quantities from the file: 12 stars and 20 rounds.
  EXPECT_EQ(Copies(after, "star-sticker"), 12);
  EXPECT_EQ(Copies(after, "round-sticker"), 20);
  // The objects that were not selected are written as Inkscape had them.
  auto objects_before = TopLevelObjects(before);
  auto objects_after = TopLevelObjects(after);
  for (const char* untouched : {"badge-sticker", "photo-sticker"}) {
    ASSERT_TRUE(objects_after.count(untouched)) << untouched;
    EXPECT_EQ(Serialized(objects_after[untouched]), Serialized(objects_before[untouched]))
        << untouched;
  }

  // Inkscape's own PDF of the result: one page per sheet, each 300 x 200 mm.
  const int pages = static_cast<int>(after.select_nodes("//inkscape:page").size());
  EXPECT_GE(pages, 2);
  ASSERT_EQ(Shell("cd '" + dir_.string() + "' && HOME=home INKSCAPE_PROFILE_DIR=profile timeout " +
                  std::to_string(kInkscapeSeconds) +
                  " inkscape after.svg --export-type=pdf --export-filename=after.pdf"
                  " > pdf.log 2>&1 && pdfinfo -f 1 -l 1000 after.pdf > pdfinfo.txt"),
            0)
      << ReadText(Path("pdf.log"));
  const std::string info = ReadText(Path("pdfinfo.txt"));
  std::smatch m;
  ASSERT_TRUE(std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))"))) << info;
  EXPECT_EQ(std::stoi(m[1]), pages) << info;
  const std::regex size(R"(Page\s+\d+ size:\s+([0-9.]+) x ([0-9.]+) pts)");
  int sized = 0;
  for (auto it = std::sregex_iterator(info.begin(), info.end(), size); it != std::sregex_iterator();
       ++it, ++sized) {
    EXPECT_NEAR(std::stod((*it)[1]), 300 * kPointsPerMm, 0.5) << info;
    EXPECT_NEAR(std::stod((*it)[2]), 200 * kPointsPerMm, 0.5) << info;
  }
  EXPECT_EQ(sized, pages) << info;
}

// An element selected inside a group sets the quantity of its top-level
// object; 0 removes the quantity.
TEST_F(InkscapeRun, SetsTheQuantityOfTheSelectedObjects) {
  const std::string input = Path("in.svg").string();
  std::ofstream(input)
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" "
         "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"100mm\" "
         "height=\"100mm\" viewBox=\"0 0 100 100\">\n"
         "<g id=\"layer1\" inkscape:groupmode=\"layer\" inkscape:label=\"Layer 1\">\n"
         "<g id=\"sticker\"><rect id=\"paper\" x=\"10\" y=\"10\" width=\"20\" height=\"20\"/>"
         "<circle id=\"dot\" cx=\"20\" cy=\"20\" r=\"5\"/></g>\n"
         "<rect id=\"label\" data-zolvane_quantity=\"4\" x=\"50\" y=\"50\" width=\"30\" "
         "height=\"10\"/>\n"
         "<rect id=\"other\" data-zolvane_quantity=\"9\" x=\"50\" y=\"70\" width=\"30\" "
         "height=\"10\"/>\n</g></svg>\n";
  Preset("org.zolvane.quantity", {{"quantity", "7"}});
  ASSERT_EQ(Inkscape(input,
                     "select-by-id:dot;org.zolvane.quantity.noprefs;"
                     "export-filename:seven.svg;export-do"),
            0)
      << ReadText(Path("inkscape.log"));
  Preset("org.zolvane.quantity", {{"quantity", "0"}});
  ASSERT_EQ(Inkscape(input,
                     "select-by-id:label;org.zolvane.quantity.noprefs;"
                     "export-filename:zero.svg;export-do"),
            0)
      << ReadText(Path("inkscape.log"));

  pugi::xml_document seven, zero;
  ASSERT_TRUE(seven.load_file(Path("seven.svg").c_str()));
  ASSERT_TRUE(zero.load_file(Path("zero.svg").c_str()));
  auto s = TopLevelObjects(seven);
  EXPECT_STREQ(s["sticker"].attribute("data-zolvane_quantity").value(), "7");
  EXPECT_STREQ(s["label"].attribute("data-zolvane_quantity").value(), "4");
  auto z = TopLevelObjects(zero);
  EXPECT_FALSE(z["label"].attribute("data-zolvane_quantity"));
  EXPECT_STREQ(z["other"].attribute("data-zolvane_quantity").value(), "9");
}

TEST_F(InkscapeRun, NothingSelectedLeavesTheDocumentAndSaysWhy) {
  Preset("org.zolvane.nest", kNesting);
  KeepStderr("zolvane-inkscape-nest");
  ASSERT_EQ(Inkscape(kStickers,
                     "export-filename:before.svg;export-do;org.zolvane.nest.noprefs;"
                     "export-filename:after.svg;export-do"),
            0)
      << ReadText(Path("inkscape.log"));
  EXPECT_EQ(ReadText(Path("stderr.txt")), "No object is selected.\n");
  // The same document; only the view Inkscape stores after its window
  // opened may differ.
  pugi::xml_document before, after;
  ASSERT_TRUE(before.load_file(Path("before.svg").c_str()));
  ASSERT_TRUE(after.load_file(Path("after.svg").c_str()));
  for (pugi::xml_document* doc : {&before, &after})
    doc->document_element().remove_child("sodipodi:namedview");
  EXPECT_EQ(Serialized(after), Serialized(before));
  ExpectExtensionsLoaded();
}

}  // namespace
