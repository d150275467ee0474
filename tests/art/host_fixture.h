// A host document whose suites the plug-in's code holds, as inside a message.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "host/builder.h"
#include "host/suite_registry.h"
#include "plugin/suite_table.h"

// Fills the slots of every suite the host's document side offers with its
// table, opens one document, and clears both afterwards.
class HostDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < kSuiteTableSize; ++i)
      g_suite_slots[i] = host::FindDocumentSuite(kSuiteTable[i].name, kSuiteTable[i].version);
    doc = host::Documents().New("test");
    layer = doc->current_layer()->group;
  }
  void TearDown() override {
    host::Documents().CloseAll();
    for (const void*& slot : g_suite_slots) slot = nullptr;
  }

  ArtHandle H(const host::Art* art) const { return doc->HandleOf(art); }

  host::Art* Polygon(const std::vector<RealPoint>& points, host::Art* parent = nullptr) {
    return host::AddPolygon(*doc, kPlaceInsideOnBottom, parent ? parent : layer, points, Fill());
  }
  host::Art* Square(double x, double y, double side, host::Art* parent = nullptr) {
    return Polygon({{x, y + side}, {x + side, y + side}, {x + side, y}, {x, y}}, parent);
  }
  host::Art* Circle(RealPoint centre, double r, host::Art* parent = nullptr) {
    return host::AddEllipse(*doc, kPlaceInsideOnBottom, parent ? parent : layer, centre, r, r,
                            Fill());
  }
  static PathStyle Fill() { return host::FillStyleOf(host::Gray(0)); }

  host::Document* doc = nullptr;
  host::Art* layer = nullptr;
};
