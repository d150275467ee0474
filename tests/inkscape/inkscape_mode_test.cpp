// The zolvane command in Inkscape's mode, run as Inkscape runs it: the new
// document on standard output only when something was done, otherwise
// nothing there and the alert text on standard error, in the language the
// person's settings (or, before the first run, the locale) choose.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/cli/run_command.h"

namespace {

const std::string kStickers = std::string(ZOLVANE_SOURCE) + "/examples/stickers.svg";

// A sticker group holding a square and a dot, and a wide banner.
const char kDrawing[] =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" "
    "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"200mm\" "
    "height=\"100mm\" viewBox=\"0 0 200 100\">\n"
    "<g id=\"layer1\" inkscape:groupmode=\"layer\">\n"
    "<g id=\"sticker\" data-zolvane_quantity=\"3\"><rect id=\"square\" x=\"0\" y=\"0\" "
    "width=\"20\" height=\"20\"/><circle id=\"dot\" cx=\"10\" cy=\"10\" r=\"5\"/></g>\n"
    "<rect id=\"banner\" x=\"0\" y=\"50\" width=\"150\" height=\"10\"/>\n</g></svg>\n";

class InkscapeMode : public ZolvaneCommand {
 protected:
  struct Output {
    int code = -1;
    std::string document;  // standard output
    std::string messages;  // standard error
  };
  // `zolvane inkscape ACTION ARGS`, with the environment put before it.
  Output Inkscape(const std::string& action, const std::string& args, const std::string& env) {
    Output o;
    const std::string home = (dir_ / "home").string();
    o.code =
        Zolvane("inkscape " + action + " " + args + " >'" + Out("stdout") + "' 2>'" +
                    Out("stderr") + "' #",
                "HOME=" + home + " XDG_CONFIG_HOME=" + home + "/.config LANGUAGE= " + env + " ")
            .code;
    o.document = ReadText(Out("stdout"));
    o.messages = ReadText(Out("stderr"));
    return o;
  }
};

int Count(const std::string& text, const std::string& pattern) {
  const std::regex re(pattern);
  return static_cast<int>(
      std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
}

TEST_F(InkscapeMode, RefusalsWriteNothingAndSayWhy) {
  const std::string drawing = In("drawing", kDrawing);  // Inkscape's copies have no .svg
  const std::string not_svg = In("broken", "<svg");
  struct Case {
    const char* what;
    std::string args;
    std::string env;
    std::string message;  // the start of standard error
  };
  const Case cases[] = {
      {"nothing selected", drawing, "LANG=C.UTF-8", "No object is selected.\n"},
      {"first run, Japanese locale", drawing, "LANG=ja_JP.UTF-8",
       "オブジェクトが選択されていません。\n"},
      {"larger than the nesting area",
       "--id=banner --sheet_width=100 --sheet_height=100 --margin_left=5 --margin_top=5 "
       "--margin_right=5 --margin_bottom=5 " +
           drawing,
       "LANG=C.UTF-8", "Some of the selected objects are larger than the nesting area.\n"},
      {"several objects in 1 page reproduction",
       "--id=sticker --id=banner --one_page=true " + drawing, "LANG=C.UTF-8",
       "Multiple objects selected.\n"},
      {"a bad document", "--id=sticker " + not_svg, "LANG=C.UTF-8",
       "Zolvane cannot read this document.\n"},
      {"a parameter the dialog lacks", "--id=sticker --speed=9 " + drawing, "LANG=C.UTF-8",
       "Zolvane was run with arguments it does not know.\n"},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir_ / "home");  // every case a first run
    fs::create_directories(dir_ / "home");
    Output o = Inkscape("nest", c.args, c.env);
    EXPECT_NE(o.code, 0) << c.what;
    EXPECT_EQ(o.document, "") << c.what;
    EXPECT_EQ(o.messages.substr(0, c.message.size()), c.message) << c.what << ": " << o.messages;
  }
  Output o = Inkscape("quantity", "--quantity=2 " + drawing, "LANG=C.UTF-8");
  EXPECT_EQ(o.document, "");
  EXPECT_EQ(o.messages, "Select the objects whose quantity is to be set.\n");
}

// The person's language setting wins over the locale once it exists.
TEST_F(InkscapeMode, AlertsInTheLanguageOfTheSettings) {
  fs::create_directories(fs::path(SettingsFile()).parent_path());
  std::ofstream(SettingsFile()) << "language = JAPANESE\r\n";
  Output o = Inkscape("nest", In("drawing", kDrawing), "LANG=en_US.UTF-8");
  EXPECT_EQ(o.document, "");
  EXPECT_EQ(o.messages, "オブジェクトが選択されていません。\n");
}

// Elements selected inside a group nest their whole top-level object once,
// as many times as the object's quantity; the rest of the document comes back.
TEST_F(InkscapeMode, SelectionInPartNestsTheTopLevelObject) {
  Output o = Inkscape("nest",
                      "--id=square --id=dot --tab=nesting --rotation=false --rotation_step=10 " +
                          In("drawing", kDrawing),
                      "LANG=C.UTF-8");
  ASSERT_EQ(o.code, 0) << o.messages;
  EXPECT_EQ(o.messages, "");
  EXPECT_EQ(Count(o.document, R"(<g id="sticker(-[0-9]+)?")"), 3) << o.document;
  EXPECT_EQ(Count(o.document, R"(id="banner")"), 1);
  EXPECT_EQ(o.document.rfind("</svg>"), o.document.size() - 7) << "the whole document";

  o = Inkscape("quantity", "--id=square --quantity=5 " + In("drawing", kDrawing), "LANG=C.UTF-8");
  ASSERT_EQ(o.code, 0) << o.messages;
  EXPECT_EQ(Count(o.document, R"(id="sticker"[^>]*data-zolvane_quantity="5")"), 1) << o.document;
}

}  // namespace
