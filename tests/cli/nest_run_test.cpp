// `zolvane nest` runs as a user makes them: every option reaches the
// plug-in, the outputs and the report agree with each other, quantities come
// from the file and from the panel, refusals end with their exit codes and
// write nothing, Ctrl-C cancels, and settings are remembered between runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli/run_command.h"

namespace {

using testing::HasSubstr;

const std::string kStickers = std::string(ZOLVANE_SOURCE) + "/examples/stickers.svg";
const std::string kDatasets = std::string(ZOLVANE_SOURCE) + "/../shared/datasets/svg";

struct ReportSheet {
  double width = 0, height = 0;
  int parts = 0;
};
struct ReportCopy {
  std::string object;
  int sheet = 0;
  double rotation = 0;
  double left = 0, top = 0, right = 0, bottom = 0;
};
struct Report {
  std::vector<ReportSheet> sheets;
  std::vector<ReportCopy> copies;
  int Placed(const std::string& object) const {
    int n = 0;
    for (const ReportCopy& c : copies) n += c.object == object;
    return n;
  }
};

// The report writes one sheet and one copy a line.
Report ReadReport(const std::string& path) {
  Report report;
  std::string text = ReadText(path);
  const std::regex sheet(
      R"re("sheet": \d+, "x_mm": [-0-9.e]+, "y_mm": [-0-9.e]+, "width_mm": ([-0-9.e]+), "height_mm": ([-0-9.e]+), "parts": (\d+))re");
  const std::regex copy(
      R"re("object": "([^"]*)", "sheet": (\d+), "centre_mm": \[[^\]]*\], "rotation_degrees": ([-0-9.e]+), "bounds_mm": \[([-0-9.e]+), ([-0-9.e]+), ([-0-9.e]+), ([-0-9.e]+)\])re");
  std::smatch m;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (std::regex_search(line, m, sheet)) {
      report.sheets.push_back({std::stod(m[1]), std::stod(m[2]), std::stoi(m[3])});
    } else if (std::regex_search(line, m, copy)) {
      report.copies.push_back({m[1], std::stoi(m[2]), std::stod(m[3]), std::stod(m[4]),
                               std::stod(m[5]), std::stod(m[6]), std::stod(m[7])});
    }
    start = end + 1;
  }
  return report;
}

// Sheets in the summary's first line: "IN: N sheets, ...".
int SummarySheets(const std::string& output) {
  std::smatch m;
  if (!std::regex_search(output, m, std::regex(R"re(: (\d+) sheets?, \d+ copies)re"))) return -1;
  return std::stoi(m[1]);
}

int PdfPages(const std::string& path) {
  Result r = Zolvane("", "pdfinfo '" + path + "' 2>/dev/null | grep '^Pages:' #");
  std::smatch m;
  if (!std::regex_search(r.output, m, std::regex(R"(Pages:\s+(\d+))"))) return -1;
  return std::stoi(m[1]);
}

// A drawing of `count` star stickers in a row, each with the quantity.
std::string Stars(int count, int quantity) {
  std::string svg =
      "<svg xmlns='http://www.w3.org/2000/svg' width='2000mm' height='100mm' "
      "viewBox='0 0 2000 100'>\n";
  for (int i = 0; i < count; ++i) {
    svg += "<g id='star" + std::to_string(i) + "' data-zolvane_quantity='" +
           std::to_string(quantity) + "' transform='translate(" + std::to_string(i * 70) +
           " 0)'><path d='M40 10 L48.8 27.9 L68.5 30.7 L54.2 44.6 L57.6 64.3 L40 55 L22.4 64.3 "
           "L25.8 44.6 L11.5 30.7 L31.2 27.9 Z'/></g>\n";
  }
  return svg + "</svg>\n";
}

TEST_F(ZolvaneCommand, NestsTheExampleWithItsQuantitiesIntoEveryFormat) {
  Result r = Run("nest " + kStickers + " -o " + Out("n.pdf") + " -o " + Out("n.svg") + " -o " +
                 Out("n.png") + " --report " + Out("n.json") + " --mode outline");
  ASSERT_EQ(r.code, 0) << r.output;
  const int sheets = SummarySheets(r.output);
  ASSERT_GE(sheets, 1) << r.output;
  EXPECT_EQ(PdfPages(Out("n.pdf")), sheets);
  EXPECT_GT(fs::file_size(Out("n.png")), 1000u);
  Report report = ReadReport(Out("n.json"));
  EXPECT_EQ(static_cast<int>(report.sheets.size()), sheets);
  // The file's quantities: 12, 20, 8 and 5.
  EXPECT_EQ(report.Placed("star-sticker"), 12);
  EXPECT_EQ(report.Placed("round-sticker"), 20);
  EXPECT_EQ(report.Placed("badge-sticker"), 8);
  EXPECT_EQ(report.Placed("photo-sticker"), 5);
  EXPECT_THAT(r.output, testing::ContainsRegex("star-sticker +12 +12"));
  // The SVG holds no trace of the command's bookkeeping, and its pages
  // are the sheets.
  std::string svg = ReadText(Out("n.svg"));
  EXPECT_THAT(svg, testing::Not(HasSubstr("zolvane_command_object")));
  Result info = Zolvane("info " + Out("n.svg"));
  EXPECT_THAT(info.output, HasSubstr("artboards: " + std::to_string(sheets)));
}

TEST_F(ZolvaneCommand, EveryOptionReachesThePlugin) {
  Result r = Run("nest " + kStickers + " -o " + Out("o.svg") + " --report " + Out("o.json") +
                 " --sheet 300x200 --margins 10 --spacing 3 --align left --direction "
                 "top-to-bottom --mode rectangle --rotation off --no-rotate-to-minimize-height "
                 "--no-overlap --quantity round-sticker=6 --quiet");
  ASSERT_EQ(r.code, 0) << r.output;
  Report report = ReadReport(Out("o.json"));
  ASSERT_FALSE(report.sheets.empty());
  for (const ReportSheet& sheet : report.sheets) {
    EXPECT_NEAR(sheet.width, 300, 1e-6);
    EXPECT_NEAR(sheet.height, 200, 1e-6);
  }
  EXPECT_EQ(report.Placed("round-sticker"), 6);
  EXPECT_EQ(report.Placed("star-sticker"), 12);
  for (size_t i = 0; i < report.copies.size(); ++i) {
    const ReportCopy& c = report.copies[i];
    SCOPED_TRACE(c.object + " " + std::to_string(i));
    EXPECT_GE(c.left, 10 - 1e-6);
    EXPECT_GE(c.top, 10 - 1e-6);
    EXPECT_LE(c.right, 290 + 1e-6);
    EXPECT_LE(c.bottom, 190 + 1e-6);
    EXPECT_EQ(c.rotation, 0);
    // Rectangle mode: the boxes of two copies on a sheet keep the spacing.
    for (size_t j = 0; j < i; ++j) {
      const ReportCopy& d = report.copies[j];
      if (d.sheet != c.sheet) continue;
      double gap =
          std::max({d.left - c.right, c.left - d.right, d.top - c.bottom, c.top - d.bottom});
      EXPECT_GE(gap, 3 - 1e-3) << d.object << " " << j;
    }
  }
  // What the plug-in remembered.
  std::string ini = ReadText(SettingsFile());
  for (const char* line :
       {"plate_size = 300, 200, 10, 10, 10, 10", "toward_baseline = 2", "toward_mode = 0",
        "cur_param.collection_margin = 3", "outline_mode = 0", "enable_anytime_rotation = 0",
        "enable_initial_rotation = 0", "consider_object_overlap = 0"}) {
    EXPECT_THAT(ini, HasSubstr(line));
  }
  // A second run without options uses them.
  Result again =
      Run("nest " + kStickers + " -o " + Out("p.svg") + " --report " + Out("p.json") + " --quiet");
  ASSERT_EQ(again.code, 0) << again.output;
  for (const ReportSheet& sheet : ReadReport(Out("p.json")).sheets) {
    EXPECT_NEAR(sheet.width, 300, 1e-6);
    EXPECT_NEAR(sheet.height, 200, 1e-6);
  }
}

// --improve: never more sheets than without it, copies still apart and
// inside, and nothing of it in the settings file.
TEST_F(ZolvaneCommand, ImproveNeverUsesMoreSheetsAndIsNotRemembered) {
  const std::string common =
      " --sheet 200x150 --margins 5 --spacing 3 --mode rectangle "
      "--rotation off --no-rotate-to-minimize-height --quiet";
  Result greedy =
      Run("nest " + kStickers + " -o " + Out("g.svg") + " --report " + Out("g.json") + common);
  ASSERT_EQ(greedy.code, 0) << greedy.output;
  Result better = Run("nest " + kStickers + " -o " + Out("i.svg") + " --report " + Out("i.json") +
                      common + " --improve 120 --improve-seed 2 --improve-evaluations 40");
  ASSERT_EQ(better.code, 0) << better.output;
  const Report before = ReadReport(Out("g.json"));
  const Report after = ReadReport(Out("i.json"));
  EXPECT_LE(after.sheets.size(), before.sheets.size());
  EXPECT_EQ(after.copies.size(), before.copies.size());
  for (size_t i = 0; i < after.copies.size(); ++i) {
    const ReportCopy& c = after.copies[i];
    EXPECT_GE(c.left, 5 - 1e-6);
    EXPECT_GE(c.top, 5 - 1e-6);
    EXPECT_LE(c.right, 195 + 1e-6);
    EXPECT_LE(c.bottom, 145 + 1e-6);
    for (size_t j = 0; j < i; ++j) {
      const ReportCopy& d = after.copies[j];
      if (d.sheet != c.sheet) continue;
      double gap =
          std::max({d.left - c.right, c.left - d.right, d.top - c.bottom, c.top - d.bottom});
      EXPECT_GE(gap, 3 - 1e-3) << c.object << " " << i << ", " << d.object << " " << j;
    }
  }
  EXPECT_THAT(ReadText(SettingsFile()), testing::Not(HasSubstr("improve")));
}

TEST_F(ZolvaneCommand, QuantitiesFromTheSetButtonAndFromTheFile) {
  Result set = Run("quantity " + kStickers + " star-sticker=3 badge-sticker=0 -o " + Out("q.svg"));
  ASSERT_EQ(set.code, 0) << set.output;
  std::string svg = ReadText(Out("q.svg"));
  EXPECT_THAT(svg, testing::ContainsRegex("star-sticker[^>]*data-zolvane_quantity=\"3\""));
  Result r = Run("nest " + Out("q.svg") + " -o " + Out("q.pdf") + " --report " + Out("q.json") +
                 " --select star-sticker,badge-sticker,photo-sticker --quantity photo-sticker=2"
                 " --quiet");
  ASSERT_EQ(r.code, 0) << r.output;
  Report report = ReadReport(Out("q.json"));
  EXPECT_EQ(report.Placed("star-sticker"), 3);
  EXPECT_EQ(report.Placed("badge-sticker"), 1);  // quantity 0 nests one
  EXPECT_EQ(report.Placed("photo-sticker"), 2);
  EXPECT_EQ(report.Placed("round-sticker"), 0);
}

// An editor names an object by its label and identifies it by its element
// id: either finds it, for --select and for quantities alike.
TEST_F(ZolvaneCommand, ObjectsAreFoundByLabelAndByElementId) {
  std::string labelled =
      In("labelled.svg",
         "<svg xmlns='http://www.w3.org/2000/svg' "
         "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' width='200mm' "
         "height='100mm' viewBox='0 0 200 100'>"
         "<rect id='rect12' inkscape:label='Square' x='10' y='10' width='20' height='20'/>"
         "<circle id='path34' cx='80' cy='30' r='10'/></svg>");
  for (const char* square : {"rect12", "Square"}) {
    SCOPED_TRACE(square);
    const std::string json = Out(std::string("l-") + square + ".json");
    Result r = Run("nest " + labelled + " -o " + Out("l.svg") + " --report " + json +
                   " --sheet 100x100 --margins 5 --no-one-page --quiet --select " + square +
                   " --quantity " + square + "=3");
    ASSERT_EQ(r.code, 0) << r.output;
    Report report = ReadReport(json);
    EXPECT_EQ(report.copies.size(), 3u);
    EXPECT_EQ(report.Placed("path34"), 0);
  }
}

TEST_F(ZolvaneCommand, OnePageReproductionWithAndWithoutRotation) {
  for (const char* rotation : {"off", "90"}) {
    SCOPED_TRACE(rotation);
    const std::string json = Out(std::string("one-") + rotation + ".json");
    Result r = Run("nest " + kStickers + " -o " + Out("one.svg") + " --report " + json +
                   " --select badge-sticker --one-page --sheet 200x150 --margins 5 --rotation " +
                   rotation);
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("reproduced!"));
    Report report = ReadReport(json);
    ASSERT_EQ(report.sheets.size(), 1u);
    EXPECT_GT(report.Placed("badge-sticker"), 4);
    for (const ReportCopy& c : report.copies) EXPECT_EQ(c.sheet, 1);
  }
}

TEST_F(ZolvaneCommand, NothingNestedEndsWithTheAlertAndWritesNothing) {
  std::string hidden = In("hidden.svg",
                          "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
                          "<g style='display:none'><rect width='10' height='10'/></g></svg>");
  struct Case {
    std::string args;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {"nest " + kStickers + " --sheet 50x50 --margins 5 --no-one-page", 4,
       "larger than the nesting area"},
      {"nest " + kStickers + " --one-page --rotation off --sheet 860x1260 --margins 15", 4,
       "Multiple objects selected."},
      {"nest " + hidden + " --no-one-page", 4, "No object is selected."},
      {"nest " + Out("missing.svg"), 2, "cannot open"},
      {"nest " + kStickers + " --select nobody", 1, "no selectable top-level object \"nobody\""},
      {"nest " + kStickers + " --preset Nothing", 1, "no preset named \"Nothing\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    Result r =
        Run(c.args + " -o " + Out("x.svg") + " -o " + Out("x.pdf") + " --report " + Out("x.json"));
    EXPECT_EQ(r.code, c.code) << r.output;
    EXPECT_THAT(r.output, HasSubstr(c.message));
  }
  // An output that cannot be written: a folder is in its place.
  fs::create_directories(Out("taken.svg"));
  Result taken = Run("nest " + kStickers + " -o " + Out("fine.pdf") + " -o " + Out("taken.svg"));
  EXPECT_EQ(taken.code, 3) << taken.output;
  EXPECT_FALSE(fs::exists(Out("fine.pdf")));
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_TRUE(entry.is_directory() || entry.path().extension() == ".svg") << entry.path();
  }
  EXPECT_FALSE(fs::exists(Out("x.svg")));
}

TEST_F(ZolvaneCommand, CtrlCAbortsTheRunAndWritesNothing) {
  const std::string in = In("stars.svg", Stars(20, 40));
  const std::string home = (dir_ / "home").string();
  const std::string log = Out("stderr.txt");
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    freopen(log.c_str(), "w", stderr);
    execl(ZOLVANE_BINARY, ZOLVANE_BINARY, "nest", in.c_str(), "-o", Out("c.pdf").c_str(),
          "--report", Out("c.json").c_str(), "--mode", "outline", "--rotation", "10",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  // Interrupt once the run shows progress.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (ReadText(log).find("progress") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(pid, SIGINT);
  int status = 0;
  bool ended = false;
  while (std::chrono::steady_clock::now() < deadline + std::chrono::seconds(10)) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      ended = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  ASSERT_TRUE(ended) << ReadText(log);
  ASSERT_TRUE(WIFEXITED(status)) << ReadText(log);
  EXPECT_EQ(WEXITSTATUS(status), 130) << ReadText(log);
  EXPECT_THAT(ReadText(log), HasSubstr("cancelled"));
  EXPECT_FALSE(fs::exists(Out("c.pdf")));
  EXPECT_FALSE(fs::exists(Out("c.json")));
}

TEST_F(ZolvaneCommand, NestsDrawingsOfTheDataSet) {
  if (!fs::is_directory(kDatasets)) GTEST_SKIP() << "no data set at " << kDatasets;
  int nested = 0;
  for (const char* name : {"export-sketch-px-units-evenodd-megaphone.svg",
                           "export-illustrator-style-classes-st0-tramcar.svg",
                           "export-affinity-percent-size-strokes-gopher.svg"}) {
    const std::string in = kDatasets + "/" + name;
    if (!fs::exists(in)) continue;
    SCOPED_TRACE(name);
    Result r = Run("nest " + in + " -o " + Out("d.pdf") + " --report " + Out("d.json") +
                   " --mode outline --sheet 400x300 --margins 5");
    // A drawing whose objects are too large for the sheet is refused as such.
    if (r.code == 4) {
      EXPECT_THAT(r.output, HasSubstr("larger than the nesting area"));
      continue;
    }
    ASSERT_EQ(r.code, 0) << r.output;
    ++nested;
    EXPECT_EQ(PdfPages(Out("d.pdf")), SummarySheets(r.output));
    Report report = ReadReport(Out("d.json"));
    for (const ReportCopy& c : report.copies) EXPECT_GE(c.sheet, 1);
  }
  EXPECT_GT(nested, 0);
}

TEST_F(ZolvaneCommand, TheInstalledCommandFindsItsPlugInFromAnyFolder) {
  const std::string prefix = Out("prefix");
  Result install = Zolvane("", "cmake --install '" + std::string(ZOLVANE_BUILD_DIR) +
                                   "' --prefix '" + prefix + "' >/dev/null #");
  ASSERT_EQ(install.code, 0) << install.output;
  ASSERT_TRUE(fs::exists(prefix + "/lib/zolvane/plugins/Zolvane.aip"));
  const std::string home = (dir_ / "home").string();
  Result r = Zolvane("", "cd / && HOME=" + home + " '" + prefix + "/bin/zolvane' nest " +
                             kStickers + " -o " + Out("i.pdf") + " --quiet #");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_GE(PdfPages(Out("i.pdf")), 1);
}

}  // namespace
