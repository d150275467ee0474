// Inkscape's arguments read into the zolvane command's options, and the .inx
// dialogs' defaults against the plug-in's own.
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

#include "cli/inkscape_args.h"
#include "plugin/globals.h"

namespace {

using cli::InkscapeArgs;

InkscapeArgs Read(std::vector<std::string> words, std::string* error = nullptr) {
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  InkscapeArgs args;
  std::string e;
  const bool ok = cli::ReadInkscapeArgs(static_cast<int>(argv.size()), argv.data(), &args, &e);
  if (error) *error = ok ? "" : e;
  return args;
}

std::string Join(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
  return out;
}

TEST(InkscapeArgs, SelectionParametersAndDocument) {
  std::string error;
  InkscapeArgs a =
      Read({"--id=b", "--id=a", "--tab=sheet", "--spacing=2.5", "/tmp/ink_ext_XX"}, &error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(a.ids, (std::vector<std::string>{"b", "a"}));  // selection order kept
  ASSERT_EQ(a.params.size(), 2u);
  EXPECT_EQ(a.params[1].first, "spacing");
  EXPECT_EQ(a.params[1].second, "2.5");
  EXPECT_EQ(a.document, "/tmp/ink_ext_XX");

  for (std::vector<std::string> bad :
       {std::vector<std::string>{"--id=a"}, std::vector<std::string>{"stray", "doc"},
        std::vector<std::string>{"--=1", "doc"}}) {
    Read(bad, &error);
    EXPECT_NE(error, "") << Join(bad);
  }
}

TEST(InkscapeArgs, NestingDialogBecomesNestOptions) {
  struct Case {
    std::vector<std::string> words;
    int remembered_align;
    std::string options;  // "" when refused
  };
  const Case cases[] = {
      {{"--tab=nesting", "--mode=outline", "--rotate_to_minimize_height=false", "--rotation=true",
        "--rotation_step=45", "--overlap=true", "--spacing=2.50", "--one_page=false",
        "--sheet_width=300", "--sheet_height=200.5", "--margin_left=10", "--margin_top=11",
        "--margin_right=12", "--margin_bottom=13", "--align=top", "--direction=forward", "doc"},
       0,
       "--mode=outline --no-rotate-to-minimize-height --overlap --spacing=2.5 --no-one-page "
       "--align=top --rotation=45 --sheet=300x200.5 --margins=10,11,12,13 "
       "--direction=left-to-right"},
      // Rotation off keeps the step the plug-in remembers out of the way.
      {{"--rotation=false", "--rotation_step=10", "doc"}, 0, "--rotation=off"},
      // The direction is the second of the two the alignment offers.
      {{"--align=left", "--direction=backward", "doc"},
       0,
       "--align=left --direction=bottom-to-top"},
      {{"--direction=forward", "doc"}, 3, "--direction=top-to-bottom"},
      {{"--sheet_width=300", "doc"}, 0, ""},
      {{"--margin_left=1", "doc"}, 0, ""},
      {{"--overlap=yes", "doc"}, 0, ""},
      {{"--spacing=1,5", "doc"}, 0, ""},
      {{"--quantity=3", "doc"}, 0, ""},
      // The improvement pass is asked for only with seconds to spend.
      {{"--improve=0", "--spacing=3", "doc"}, 0, "--spacing=3"},
      {{"--improve=12", "doc"}, 0, "--improve=12"},
      {{"--improve=-1", "doc"}, 0, ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> words;
    std::string error;
    const bool ok = cli::NestWordsFor(Read(c.words), c.remembered_align, &words, &error);
    EXPECT_EQ(ok ? Join(words) : "", c.options) << Join(c.words) << ": " << error;
    EXPECT_EQ(ok, error.empty()) << Join(c.words);
  }
}

TEST(InkscapeArgs, QuantityDialog) {
  int quantity = -1;
  std::string error;
  EXPECT_TRUE(cli::QuantityFor(Read({"--id=a", "--quantity=0", "doc"}), &quantity, &error));
  EXPECT_EQ(quantity, 0);
  for (const char* bad : {"--quantity=-1", "--quantity=100001", "--quantity=2.5", "--tab=x"}) {
    EXPECT_FALSE(cli::QuantityFor(Read({bad, "doc"}), &quantity, &error)) << bad;
  }
  EXPECT_FALSE(cli::QuantityFor(Read({"doc"}), &quantity, &error));
}

TEST(InkscapeArgs, LocaleLanguage) {
  struct Case {
    const char* language;
    const char* lang;
    bool japanese;
  };
  for (const Case& c : {Case{"", "ja_JP.UTF-8", true}, Case{"", "en_US.UTF-8", false},
                        Case{"ja", "en_US.UTF-8", true}, Case{"en", "ja_JP.UTF-8", false}}) {
    setenv("LANGUAGE", c.language, 1);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(cli::LocaleIsJapanese(), c.japanese) << c.language << " " << c.lang;
  }
}

// A first run opens the dialogs with the plug-in's own defaults.
TEST(InkscapeArgs, DialogDefaultsAreThePluginDefaults) {
  PluginGlobals g{};
  SetDefaultSettings(&g);
  const char* const kAlign[] = {"top", "bottom", "left", "right"};
  const int kSteps[] = {180, 90, 45, 30, 15, 10};
  auto flag = [](int v) { return std::string(v ? "true" : "false"); };
  auto mm = [](double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return std::string(text);
  };
  const std::pair<const char*, std::string> expected[] = {
      {"mode", g.outline_mode ? "outline" : "rectangle"},
      {"rotate_to_minimize_height", flag(g.enable_initial_rotation)},
      {"rotation", flag(g.enable_anytime_rotation)},
      {"rotation_step", std::to_string(kSteps[g.anytime_rotation_mode])},
      {"overlap", flag(g.consider_object_overlap)},
      {"spacing", mm(g.cur_param.collection_margin)},
      {"one_page", flag(g.one_page_reproduction)},
      {"sheet_width", mm(g.plate_width)},
      {"sheet_height", mm(g.plate_height)},
      {"margin_left", mm(g.plate_margin_left)},
      {"margin_top", mm(g.plate_margin_top)},
      {"margin_right", mm(g.plate_margin_right)},
      {"margin_bottom", mm(g.plate_margin_bottom)},
      {"align", kAlign[g.toward_baseline]},
      {"direction", g.toward_mode ? "backward" : "forward"},
      {"improve", "0"},
  };
  pugi::xml_document inx;
  ASSERT_TRUE(inx.load_file(ZOLVANE_SOURCE "/inkscape/zolvane_nest.inx"));
  for (const auto& [name, value] : expected) {
    pugi::xpath_node param =
        inx.select_node((std::string("//*[local-name()='param'][@name='") + name + "']").c_str());
    ASSERT_TRUE(param) << name;
    std::string text = param.node().child_value();
    // An option group without a text defaults to its first option.
    if (text.empty()) text = param.node().first_child().attribute("value").value();
    EXPECT_EQ(text, value) << name;
  }
}

}  // namespace
