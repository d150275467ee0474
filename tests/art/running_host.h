// A running host application whose suites the plug-in's code holds, as
// inside a message, with one open document and a scripted user.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/basic_suite.h"
#include "host/builder.h"
#include "host/effects.h"
#include "host/host_app.h"
#include "host/user.h"
#include "plugin/suite_table.h"

class RunningHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<host::HostApp>();
    app->SetUser(&user);
    for (int i = 0; i < kSuiteTableSize; ++i)
      g_suite_slots[i] = host::FindSuite(kSuiteTable[i].name, kSuiteTable[i].version);
    doc = host::Documents().New("test");
    layer = doc->current_layer()->group;
  }
  void TearDown() override {
    for (const void*& slot : g_suite_slots) slot = nullptr;
    host::Documents().CloseAll();
    app.reset();
  }

  ArtHandle H(const host::Art* art) const { return doc->HandleOf(art); }
  static PathStyle Fill() { return host::FillStyleOf(host::Gray(0)); }

  host::Art* Polygon(const std::vector<RealPoint>& points, host::Art* parent = nullptr) {
    return host::AddPolygon(*doc, kPlaceInsideOnBottom, parent ? parent : layer, points, Fill());
  }
  host::Art* Rect(double left, double top, double right, double bottom,
                  host::Art* parent = nullptr) {
    return host::AddRectangle(*doc, kPlaceInsideOnBottom, parent ? parent : layer,
                              {left, top, right, bottom}, Fill());
  }
  host::Art* Square(double x, double y, double side, host::Art* parent = nullptr) {
    return Rect(x, y + side, x + side, y, parent);
  }
  host::Art* Circle(RealPoint centre, double r, host::Art* parent = nullptr) {
    return host::AddEllipse(*doc, kPlaceInsideOnBottom, parent ? parent : layer, centre, r, r,
                            Fill());
  }
  host::Art* Group(host::Art* parent = nullptr) {
    return host::AddGroup(*doc, kPlaceInsideOnBottom, parent ? parent : layer);
  }
  void Select(host::Art* art) { host::SelectDeep(*doc, art, true); }
  // The filled area of everything under the art, in square points.
  static double Area(const host::Art& art) {
    host::Region region;
    EXPECT_EQ(host::FilledRegion(art, &region), kNoErr);
    return host::RegionArea(region);
  }

  host::ScriptedUser user;
  std::unique_ptr<host::HostApp> app;
  host::Document* doc = nullptr;
  host::Art* layer = nullptr;
};
