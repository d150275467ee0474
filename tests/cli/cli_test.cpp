// The `zolvane` command as a user runs it: convert and info on real files,
// help for every command, and the exit codes and messages of bad usage and
// bad input files, which never leave an output file behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/cli/run_command.h"

namespace {

const std::string kExample = std::string(ZOLVANE_SOURCE) + "/examples/stickers.svg";

TEST_F(ZolvaneCommand, ConvertsToEveryFormat) {
  for (const char* name : {"out.svg", "out.pdf", "out.png", "OUT.PNG"}) {
    SCOPED_TRACE(name);
    Result r = Zolvane("convert " + kExample + " -o " + Out(name));
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_TRUE(fs::exists(Out(name)));
    EXPECT_GT(fs::file_size(Out(name)), 100u);
  }
  // The SVG written converts again, to the same text.
  Result again = Zolvane("convert " + Out("out.svg") + " -o " + Out("again.svg"));
  ASSERT_EQ(again.code, 0) << again.output;
  std::ifstream a(Out("out.svg")), b(Out("again.svg"));
  std::string ta((std::istreambuf_iterator<char>(a)), {}),
      tb((std::istreambuf_iterator<char>(b)), {});
  EXPECT_EQ(ta, tb);
  EXPECT_EQ(
      Zolvane("convert " + kExample + " -o " + Out("one.png") + " --dpi 30 --artboard 1").code, 0);
}

TEST_F(ZolvaneCommand, InfoListsLayersObjectsAndQuantities) {
  Result r = Zolvane("info " + kExample);
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_THAT(r.output, testing::HasSubstr("layer \"Stickers\": 4 objects"));
  EXPECT_THAT(r.output,
              testing::ContainsRegex("group +\"star-sticker\" +bounds [-0-9. ]+ quantity 12"));
  EXPECT_THAT(r.output, testing::HasSubstr("artboards: 1"));
}

TEST_F(ZolvaneCommand, EveryCommandHasHelp) {
  for (const char* command :
       {"--help", "convert --help", "info --help", "sheets --help", "flatten --help", "nest --help",
        "quantity --help", "settings --help"}) {
    SCOPED_TRACE(command);
    Result r = Zolvane(command);
    EXPECT_EQ(r.code, 0);
    EXPECT_THAT(r.output, testing::HasSubstr("usage: zolvane"));
  }
}

TEST_F(ZolvaneCommand, UsageErrorsAndBadInputFiles) {
  std::string bad_path =
      In("broken.svg", "<svg width='10' height='10'>\n<path d='M0 0 L5'/></svg>");
  std::string malformed = In("malformed.svg", "<svg>\n\n<g></svg>");
  std::string empty = In("empty.svg", "");
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<g>";
  std::string nested = In("deep.svg", "<svg width='1' height='1'>" + deep);
  struct Case {
    std::string args;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {"", 1, "usage"},
      {"frobnicate", 1, "usage"},
      {"convert", 1, "no input file"},
      {"convert " + kExample, 1, "no output file"},
      {"convert " + kExample + " -o " + Out("x.doc"), 1, "must end with .svg, .pdf or .png"},
      {"convert " + kExample + " -o " + Out("x.png") + " --dpi 0", 1, "--dpi must be"},
      {"convert " + kExample + " -o " + Out("x.png") + " --dpi many", 1, "needs a number"},
      {"convert " + kExample + " -o " + Out("x.png") + " --artboard 9", 1, "not 9"},
      {"convert " + kExample + " -o", 1, "-o needs a value"},
      {"convert " + kExample + " --wat -o " + Out("x.svg"), 1, "unknown option --wat"},
      {"info", 1, "no input file"},
      {"convert " + Out("missing.svg") + " -o " + Out("x.svg"), 2, "cannot open"},
      {"convert " + bad_path + " -o " + Out("x.svg"), 2,
       "broken.svg: line 2: <path>: bad path data"},
      {"convert " + malformed + " -o " + Out("x.pdf"), 2, "malformed.svg: line 3, column"},
      {"convert " + empty + " -o " + Out("x.png"), 2, "empty"},
      {"info " + nested, 2, "malformed XML"},
      {"info " + bad_path, 2, "bad path data"},
      {"convert " + kExample + " -o " + Out("no/such/dir.svg"), 3, "cannot create"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    Result r = Zolvane(c.args);
    EXPECT_EQ(r.code, c.code) << r.output;
    EXPECT_THAT(r.output, testing::HasSubstr(c.message));
  }
  // No output of any failed conversion, not even a temporary file.
  for (const auto& entry : fs::directory_iterator(dir_))
    if (!entry.is_directory()) {
      EXPECT_THAT(entry.path().filename().string(), testing::EndsWith(".svg")) << entry.path();
    }
  EXPECT_FALSE(fs::exists(Out("x.svg")));
  EXPECT_FALSE(fs::exists(Out("x.pdf")));
  EXPECT_FALSE(fs::exists(Out("x.png")));
}

}  // namespace
