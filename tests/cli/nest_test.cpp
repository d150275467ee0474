// `zolvane nest`, `zolvane quantity` and `zolvane settings` as a user runs
// them, before any nesting: help, usage errors that write nothing, and the
// settings the plug-in starts with.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "tests/cli/run_command.h"

namespace {

using testing::HasSubstr;

const std::string kStickers = std::string(ZOLVANE_SOURCE) + "/examples/stickers.svg";

TEST_F(ZolvaneCommand, NestHelpListsEveryOptionWithItsUnitAndDefault) {
  Result r = Run("nest --help");
  ASSERT_EQ(r.code, 0);
  for (const char* option : {"-o, --output FILE",
                             "--page N",
                             "--dpi N",
                             "--report FILE.json",
                             "--quiet",
                             "--select ID",
                             "--quantity ID=N",
                             "--mode rectangle|outline",
                             "--rotate-to-minimize-height",
                             "--rotation off|180|90|45|30|15|10",
                             "--overlap",
                             "--spacing MM",
                             "--one-page",
                             "--sheet WxH",
                             "--margins L,T,R,B",
                             "--align top|bottom|left|right",
                             "--direction",
                             "--preset NAME",
                             "--improve SECONDS",
                             "--improve-seed N",
                             "--improve-evaluations N"}) {
    EXPECT_THAT(r.output, HasSubstr(option));
  }
  EXPECT_THAT(r.output, HasSubstr("[default: 860x1260]"));
  EXPECT_THAT(r.output, HasSubstr("[default: 15,15,15,15]"));
  EXPECT_THAT(r.output, HasSubstr("Remembered settings"));
  EXPECT_THAT(r.output, HasSubstr("130 cancelled"));
}

TEST_F(ZolvaneCommand, NestUsageErrorsNameTheProblemAndWriteNothing) {
  const std::string in = kStickers;
  const std::string o = " -o " + Out("x.pdf");
  struct Case {
    std::string args;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {"nest", 1, "no input file"},
      {"nest " + in, 1, "no output file"},
      {"nest " + in + o + " --wat", 1, "unknown option --wat"},
      {"nest " + in + " -o " + Out("x.doc"), 1, "must end with .svg, .pdf or .png"},
      {"nest " + in + o + " -o " + Out("x.pdf"), 1, "named twice"},
      {"nest " + in + o + " --sheet 300", 1, "--sheet needs WIDTHxHEIGHT"},
      {"nest " + in + o + " --sheet 0x200", 1, "above 0"},
      {"nest " + in + o + " --margins 1,2,3", 1, "one value or four"},
      {"nest " + in + o + " --sheet 100x100 --margins 50", 1, "no nesting area"},
      {"nest " + in + o + " --spacing -1", 1, "--spacing must be"},
      {"nest " + in + o + " --rotation 7", 1, "--rotation must be"},
      {"nest " + in + o + " --mode blob", 1, "--mode must be"},
      {"nest " + in + o + " --align middle", 1, "--align must be"},
      {"nest " + in + o + " --align left --direction left-to-right", 1,
       "does not go with --align left"},
      {"nest " + in + o + " --quantity star", 1, "--quantity needs ID=N"},
      {"nest " + in + o + " --quantity star=1.5", 1, "whole number"},
      {"nest " + in + o + " --page 2", 1, "--page is for PNG"},
      {"nest " + in + o + " --spacing", 1, "--spacing needs a value"},
      {"nest " + in + o + " --improve 0", 1, "above 0 and at most 86400"},
      {"nest " + in + o + " --improve 1e9", 1, "above 0 and at most 86400"},
      {"nest " + in + o + " --improve ten", 1, "above 0 and at most 86400"},
      {"nest " + in + o + " --improve 5,3", 1, "--improve needs a number of seconds"},
      {"nest " + in + o + " --improve-seed 3", 1, "--improve-seed needs --improve SECONDS"},
      {"nest " + in + o + " --improve 5 --improve-seed -1", 1, "the seed"},
      {"nest " + in + o + " --improve 5 --improve-evaluations x", 1, "the evaluations"},
      {"nest " + in + o + " --quiet=yes", 1, "takes no value"},
      {"nest " + in + " " + in + o, 1, "one input file only"},
      {"nest " + in + " -o " + Out("no/such/dir.svg"), 3, "does not exist"},
      {"nst " + in, 1, "unknown command \"nst\""},
      {"quantity " + in + " star -o " + Out("q.svg"), 1, "is not ID=N"},
      {"quantity " + in + " star=2", 1, "no output file"},
      {"settings --all", 1, "unknown option --all"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    Result r = Run(c.args);
    EXPECT_EQ(r.code, c.code) << r.output;
    EXPECT_THAT(r.output, HasSubstr(c.message));
  }
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_TRUE(entry.is_directory()) << entry.path();
}

TEST_F(ZolvaneCommand, SettingsShowTheFileTheValuesAndThePresets) {
  Result first = Run("settings");
  ASSERT_EQ(first.code, 0) << first.output;
  EXPECT_THAT(first.output, HasSubstr(SettingsFile() + " (not written yet: defaults)"));
  EXPECT_THAT(first.output, HasSubstr("sheet:       860 x 1260 mm"));
  EXPECT_THAT(first.output, HasSubstr("direction:   right-to-left"));

  fs::create_directories(fs::path(SettingsFile()).parent_path() / "Zolvane");
  std::ofstream(SettingsFile()) << "plate_size = 300, 200, 10, 11, 12, 13\r\n"
                                   "toward_baseline = 2\r\ntoward_mode = 0\r\n"
                                   "outline_mode = 1\r\nenable_anytime_rotation = 0\r\n";
  std::ofstream(fs::path(SettingsFile()).parent_path() / "Zolvane" / "Small.ini") << "";
  Result r = Run("settings");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_THAT(r.output, testing::Not(HasSubstr("not written yet")));
  EXPECT_THAT(r.output, HasSubstr("sheet:       300 x 200 mm"));
  EXPECT_THAT(r.output, HasSubstr("left 10, top 11, right 12, bottom 13 mm"));
  EXPECT_THAT(r.output, HasSubstr("align:       left"));
  EXPECT_THAT(r.output, HasSubstr("direction:   top-to-bottom"));
  EXPECT_THAT(r.output, HasSubstr("mode:        outline"));
  EXPECT_THAT(r.output, HasSubstr("rotation:    off"));
  EXPECT_THAT(r.output, HasSubstr("\"Small\""));
}

}  // namespace
