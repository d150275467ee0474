// A running host with one document and the plug-in's globals at their
// defaults, for the member list, the placement and the nesting run.
#pragma once

#include <string>
#include <vector>

#include "art/group_lines.h"
#include "engine/nesting_run.h"
#include "engine/placement.h"
#include "host/svg_export.h"
#include "plugin/globals.h"
#include "tests/art/running_host.h"

class NestingTest : public RunningHostTest {
 protected:
  void SetUp() override {
    RunningHostTest::SetUp();
    globals = {};
    SetDefaultSettings(&globals);
    globals.language = kLanguageEnglish;
    globals.enable_multithread = 1;
    g_globals = &globals;
  }
  void TearDown() override {
    g_globals = nullptr;
    RunningHostTest::TearDown();
  }

  // Settings for a small, quick run: a 1000 x 1000 pt plate without margins,
  // spacing 0, no rotation.
  void SmallPlate(double side_pt = 1000) {
    globals.plate_width = side_pt / PointsPerMm;
    globals.plate_height = side_pt / PointsPerMm;
    globals.plate_margin_left = globals.plate_margin_top = 0;
    globals.plate_margin_right = globals.plate_margin_bottom = 0;
    globals.cur_param.collection_margin = 0;
    globals.enable_initial_rotation = 0;
    globals.enable_anytime_rotation = 0;
  }

  void SetQuantity(host::Art* art, const std::string& value) {
    art->tags.push_back({kQuantityTagName, kQuantityTagType, value});
  }
  std::vector<std::string> Alerts() const {
    std::vector<std::string> out;
    for (const auto& e : user.entries()) out.push_back(e.text);
    return out;
  }
  // Every top-level object of every layer, layers in order.
  std::vector<host::Art*> AllObjects() const {
    std::vector<host::Art*> out;
    for (int32_t i = 0; i < doc->LayerCount(); ++i)
      for (host::Art* a : host::TopLevelArt(*doc->NthLayer(i))) out.push_back(a);
    return out;
  }
  int32_t Run(int32_t* extra = nullptr) {
    int32_t sheets = -1;
    const int32_t result = RunNesting(&sheets);
    if (extra) *extra = sheets;
    return result;
  }

  PluginGlobals globals{};
};
