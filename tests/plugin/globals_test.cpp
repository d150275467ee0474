// Startup's defaults, the colour-table rule and the shoulder-colour clamp.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/known_folders.h"
#include "plugin/globals.h"

namespace {

struct FakeHost {
  int32_t options = 0x10;
  int32_t options_set = -1;
  int dpi = 144;
  double scale = 1.0;
  int registrations = 0;
  // What the settings file would hold: applied by read_settings.
  void (*settings)(PluginGlobals*) = nullptr;
};

StartupSeams SeamsFor(FakeHost* host) {
  StartupSeams s{};
  s.context = host;
  s.get_plugin_options = [](void* c, int32_t* o) -> HostErr {
    *o = static_cast<FakeHost*>(c)->options;
    return kNoErr;
  };
  s.set_plugin_options = [](void* c, int32_t o) -> HostErr {
    static_cast<FakeHost*>(c)->options_set = o;
    return kNoErr;
  };
  s.read_settings = [](void* c, PluginGlobals* g) {
    if (auto f = static_cast<FakeHost*>(c)->settings) f(g);
  };
  s.host_ui_scale = [](void* c) { return static_cast<FakeHost*>(c)->scale; };
  s.screen_dpi = [](void* c) { return static_cast<FakeHost*>(c)->dpi; };
  s.register_host_objects = [](void* c, PluginGlobals*) -> HostErr {
    static_cast<FakeHost*>(c)->registrations++;
    return kNoErr;
  };
  return s;
}

// A record full of garbage, as the host hands over fresh memory.
std::unique_ptr<PluginGlobals> DirtyRecord() {
  auto g = std::make_unique<PluginGlobals>();
  std::memset(g.get(), 0xA5, sizeof *g);
  return g;
}

void SetColor(PluginGlobals* g, int i, const char* name) {
  CopyFixedText(g->fppm_color[i].name, kColorNameSize, name);
  g->fppm_color[i].color.kind = kColorRGB;
  g->fppm_color[i].color.components[0] = 0.5;
}

class GlobalsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetKnownFolderOverride(platform::KnownFolder::kDesktop, "/home/someone/Desktop");
  }
  void TearDown() override {
    platform::SetKnownFolderOverride(platform::KnownFolder::kDesktop, "");
  }
};

TEST_F(GlobalsTest, DefaultsOfEveryField) {
  FakeHost host;
  auto g = DirtyRecord();
  const auto plugin = reinterpret_cast<PluginRef>(0x1234);
  ASSERT_EQ(InitializeGlobals(g.get(), nullptr, plugin, SeamsFor(&host)), kNoErr);

  EXPECT_EQ(host.options_set, 0x10 | 2);
  EXPECT_EQ(g->plugin_ref, plugin);
  EXPECT_EQ(g->command_code, 0);
  EXPECT_STREQ(g->product_name, "Zolvane");
  EXPECT_STREQ(g->version_text, "Ver 0.2.8.7");
  EXPECT_EQ(g->panel, nullptr);
  EXPECT_EQ(g->panel_prev_wndproc, nullptr);
  EXPECT_EQ(g->label_font, nullptr);
  EXPECT_EQ(g->panel_bg_brush, nullptr);
  EXPECT_EQ(g->ui_dark, 0);
  EXPECT_EQ(g->label_color.red, 0);

  const CutParam& p = g->cur_param;
  EXPECT_EQ(p.cut_line_type, 1);
  EXPECT_EQ(p.cut_line_margin_1, 20);
  EXPECT_EQ(p.cut_line_margin_2, 15);
  EXPECT_EQ(p.cut_line_margin_3, 10);
  EXPECT_EQ(p.outer_shoulder_width, 5);
  EXPECT_EQ(p.inner_shoulder_width, 5);
  EXPECT_EQ(p.use_inner_shoulder, 0);
  EXPECT_EQ(p.shoulder_color, 0);
  EXPECT_EQ(p.collection_margin, 5);
  EXPECT_EQ(p.menseki_margin, 5);
  EXPECT_EQ(p.grouping_margin, 5);
  EXPECT_EQ(p.grouping_mode, 0);
  EXPECT_EQ(std::memcmp(&g->def_param, &g->cur_param, sizeof(CutParam)), 0);

  EXPECT_EQ(g->plate_width, 860);
  EXPECT_EQ(g->plate_height, 1260);
  EXPECT_EQ(g->plate_margin_left, 15);
  EXPECT_EQ(g->plate_margin_top, 15);
  EXPECT_EQ(g->plate_margin_right, 15);
  EXPECT_EQ(g->plate_margin_bottom, 15);
  EXPECT_EQ(g->nesting_type, 1);
  EXPECT_EQ(g->outline_mode, 0);
  EXPECT_EQ(g->toward_mode, 1);
  EXPECT_EQ(g->toward_baseline, 0);
  EXPECT_EQ(g->output_processing_time, 0);
  EXPECT_EQ(g->enable_initial_rotation, 1);
  EXPECT_EQ(g->enable_anytime_rotation, 1);
  EXPECT_EQ(g->consider_object_overlap, 1);
  EXPECT_EQ(g->anytime_rotation_mode, 5);
  EXPECT_EQ(g->enable_multithread, 1);
  EXPECT_EQ(g->one_page_reproduction, 0);
  EXPECT_EQ(g->vertex_limit, 5000);
  EXPECT_EQ(g->downsampling_resolution, 72);
  EXPECT_EQ(g->noise_fidelity, 25);
  EXPECT_EQ(g->image_offset[0], 1);
  EXPECT_EQ(g->image_offset[1], 1);
  EXPECT_EQ(g->preset_idx, 0);
  EXPECT_STREQ(g->preset_path, "");
  EXPECT_STREQ(g->report_path, "/home/someone/Desktop");
  EXPECT_EQ(g->current_document, nullptr);
  EXPECT_EQ(g->language, kLanguageEnglish);
  EXPECT_EQ(g->ui_scale, 1.0);
  EXPECT_EQ(g->dpi_scale, 1.5);
  EXPECT_EQ(host.registrations, 1);
}

TEST_F(GlobalsTest, NoColourLinesGiveTheStandardTable) {
  FakeHost host;
  auto g = DirtyRecord();
  InitializeGlobals(g.get(), nullptr, nullptr, SeamsFor(&host));
  ASSERT_EQ(g->fppm_color_count, 3);
  const char* names[] = {"DIC 242p", "Green", "Gray"};
  const double cmyk[3][4] = {{0.25, 0.42, 1, 0}, {1, 0, 1, 0}, {0, 0, 0, 0.9}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_STREQ(g->fppm_color[i].name, names[i]);
    EXPECT_EQ(g->fppm_color[i].color.kind, kColorFourProcess);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(g->fppm_color[i].color.components[c], cmyk[i][c]);
    // Every other byte of the name is zero: nothing of the old record shows.
    for (size_t b = std::strlen(names[i]); b < kColorNameSize; ++b)
      EXPECT_EQ(g->fppm_color[i].name[b], 0);
  }
}

TEST_F(GlobalsTest, ColourTableRule) {
  struct Case {
    const char* what;
    void (*settings)(PluginGlobals*);
    int count;
    const char* first;
  };
  const Case cases[] = {
      {"the outdated two-colour table is upgraded",
       [](PluginGlobals* g) {
         SetColor(g, 0, "DIC 242p");
         SetColor(g, 1, "Green");
         g->fppm_color_count = 2;
       },
       3, "DIC 242p"},
      {"two other colours are kept",
       [](PluginGlobals* g) {
         SetColor(g, 0, "Red");
         SetColor(g, 1, "Green");
         g->fppm_color_count = 2;
       },
       2, "Red"},
      {"one colour is kept",
       [](PluginGlobals* g) {
         SetColor(g, 0, "DIC 242p");
         g->fppm_color_count = 1;
       },
       1, "DIC 242p"},
  };
  for (const Case& c : cases) {
    FakeHost host;
    host.settings = c.settings;
    auto g = DirtyRecord();
    InitializeGlobals(g.get(), nullptr, nullptr, SeamsFor(&host));
    EXPECT_EQ(g->fppm_color_count, c.count) << c.what;
    EXPECT_STREQ(g->fppm_color[0].name, c.first) << c.what;
  }
}

TEST_F(GlobalsTest, ShoulderColourStaysInsideTheTable) {
  struct Case {
    int16_t read;
    int16_t kept;
  };
  const Case cases[] = {{7, 2}, {3, 2}, {2, 2}, {0, 0}, {-4, 0}};
  for (const Case& c : cases) {
    FakeHost host;
    static int16_t read;
    read = c.read;
    host.settings = [](PluginGlobals* g) { g->cur_param.shoulder_color = read; };
    auto g = DirtyRecord();
    InitializeGlobals(g.get(), nullptr, nullptr, SeamsFor(&host));
    EXPECT_EQ(g->cur_param.shoulder_color, c.kept) << c.read;
  }
}

TEST_F(GlobalsTest, WithoutHostSeamsTheDefaultsHold) {
  auto g = DirtyRecord();
  EXPECT_EQ(InitializeGlobals(g.get(), nullptr, nullptr, StartupSeams{}), kNoErr);
  EXPECT_EQ(g->dpi_scale, 1.0);
  EXPECT_EQ(g->ui_scale, 1.0);
  EXPECT_EQ(g->fppm_color_count, 3);
}

TEST_F(GlobalsTest, HostErrorsAreReportedButTheRecordIsFilled) {
  FakeHost host;
  StartupSeams seams = SeamsFor(&host);
  seams.get_plugin_options = [](void*, int32_t*) -> HostErr { return kErrSuiteNotFound; };
  auto g = DirtyRecord();
  EXPECT_EQ(InitializeGlobals(g.get(), nullptr, nullptr, seams), kErrSuiteNotFound);
  EXPECT_EQ(host.options_set, -1);  // nothing handed back after a failed read
  EXPECT_EQ(g->plate_width, 860);
  EXPECT_EQ(host.registrations, 1);
}

TEST(ThemeColor, WindowsColourValueTruncatesEachChannel) {
  EXPECT_EQ(ThemeColorRef(ThemeColor{1, 0.2, 0.2, 0.2}), 51u + 256u * 51 + 65536u * 51);
  EXPECT_EQ(ThemeColorRef(ThemeColor{1, 1, 0, 0}), 255u);
  EXPECT_EQ(ThemeColorRef(ThemeColor{1, 0.9, 0.9, 0.9}), 229u + 256u * 229 + 65536u * 229);
}

TEST(FixedText, TruncatesAndTerminates) {
  char field[4];
  CopyFixedText(field, sizeof field, "abcdef");
  EXPECT_STREQ(field, "abc");
  CopyFixedText(field, sizeof field, nullptr);
  EXPECT_STREQ(field, "");
}

}  // namespace
