// Selection, offset, union, outline conversion and compound-path release as the plug-in plays them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "art/effects.h"
#include "plugin/suite_action.h"
#include "tests/art/host_fixture.h"

namespace {

// An action manager that records what is put and played. While an event
// plays it looks at the document, as the host's effect would.
struct Recorder {
  struct Value {
    FourCC key;
    FourCC unit;
    double real;
    std::string name;
    int32_t code;
  };
  std::vector<Value> values;
  std::vector<std::string> events;
  std::vector<int32_t> statuses;
  bool give_block = true;
  int blocks_out = 0;
  std::function<void()> on_play;
};
Recorder* g_recorder = nullptr;
HostActionParams* const kBlock = reinterpret_cast<HostActionParams*>(0x5eed);

const ActionManagerSuite kRecordingActions = {
    nullptr,
    nullptr,
    nullptr,
    [](ActionParamsRef* block) -> HostErr {
      if (!g_recorder->give_block) return kErrRefused;
      *block = kBlock;
      g_recorder->blocks_out++;
      return kNoErr;
    },
    [](ActionParamsRef block) -> HostErr {
      if (block) g_recorder->blocks_out--;
      return kNoErr;
    },
    [](ActionParamsRef, FourCC key, FourCC unit, double v) -> HostErr {
      g_recorder->values.push_back({key, unit, v, "", 0});
      return kNoErr;
    },
    [](ActionParamsRef, FourCC key, double v) -> HostErr {
      g_recorder->values.push_back({key, 0, v, "", 0});
      return kNoErr;
    },
    [](ActionParamsRef, FourCC key, const char* name, int32_t code) -> HostErr {
      g_recorder->values.push_back({key, 0, 0, name, code});
      return kNoErr;
    },
    [](const char* name, int32_t status, ActionParamsRef) -> HostErr {
      g_recorder->events.push_back(name);
      g_recorder->statuses.push_back(status);
      if (g_recorder->on_play) g_recorder->on_play();
      return kNoErr;
    },
};

class EffectsTest : public HostDocumentTest {
 protected:
  void SetUp() override {
    HostDocumentTest::SetUp();
    g_recorder = &recorder;
    g_suite_slots[kSlotActionManager] = &kRecordingActions;
  }
  void TearDown() override {
    g_recorder = nullptr;
    HostDocumentTest::TearDown();
  }
  // A compound path of a square with a square hole, even-odd, clipping.
  host::Art* Frame() {
    PathStyle style = host::FillStyleOf(host::Cmyk(0, 1, 1, 0));
    style.even_odd = true;
    host::Art* compound = host::AddCompoundPath(*doc, kPlaceInsideOnBottom, layer, style);
    Square(0, 0, 30, compound);
    Square(10, 10, 10, compound);
    return compound;
  }
  Recorder recorder;
};

TEST_F(EffectsTest, SelectionDeepAndCleared) {
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  host::Art* inner = Square(0, 0, 1, group);
  host::Art* other = Square(5, 5, 1);
  SetSelectedDeep(H(group), true);
  EXPECT_TRUE(group->selected);
  EXPECT_TRUE(inner->selected);
  EXPECT_FALSE(other->selected);
  other->selected = true;
  DeselectAll();
  EXPECT_FALSE(group->selected || inner->selected || other->selected);
  SetSelectedDeep(nullptr, true);  // unreadable art: nothing happens
}

TEST_F(EffectsTest, OffsetPlaysTheEventOnTheArtAloneThenDisposesIt) {
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  host::Art* target = Square(0, 0, 10, group);
  host::Art* bystander = Square(50, 0, 10);
  bystander->selected = true;
  const ArtHandle handle = H(target);
  recorder.on_play = [&] {
    EXPECT_TRUE(target->selected);
    EXPECT_FALSE(bystander->selected);
  };
  OffsetPath(handle, 2.5, 0, 4.0);
  ASSERT_EQ(recorder.events, std::vector<std::string>{"ai_plugin_offset"});
  EXPECT_EQ(recorder.statuses[0], 3);
  ASSERT_EQ(recorder.values.size(), 3u);
  EXPECT_EQ(recorder.values[0].key, FourCharCode('o', 'f', 's', 't'));
  EXPECT_EQ(recorder.values[0].unit, FourCharCode('#', 'P', 'x', 'l'));
  EXPECT_EQ(recorder.values[0].real, 2.5);
  EXPECT_EQ(recorder.values[1].key, FourCharCode('m', 'i', 't', 'r'));
  EXPECT_EQ(recorder.values[1].real, 4.0);
  EXPECT_EQ(recorder.values[2].key, FourCharCode('j', 'n', 't', 'p'));
  EXPECT_EQ(recorder.values[2].name, "LineJoinType");
  EXPECT_EQ(recorder.values[2].code, 0);
  EXPECT_EQ(doc->Resolve(handle), nullptr);  // the art itself is gone
  EXPECT_EQ(recorder.blocks_out, 0);
}

TEST_F(EffectsTest, WithoutAParameterBlockNothingIsPlayedOrLost) {
  recorder.give_block = false;
  host::Art* target = Square(0, 0, 10);
  const ArtHandle handle = H(target);
  OffsetPath(handle, 2, 0, 4);
  EXPECT_TRUE(recorder.events.empty());
  EXPECT_EQ(doc->Resolve(handle), target);

  // The union still removes its placeholder when there is no block.
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  Square(0, 0, 10, group);
  const size_t before = host::TopLevelArt(*doc->current_layer()).size();
  UniteArt(H(group));
  EXPECT_TRUE(recorder.events.empty());
  EXPECT_EQ(host::TopLevelArt(*doc->current_layer()).size(), before);
}

TEST_F(EffectsTest, UnitePlacesAMagentaPlaceholderOnlyWhileTheEventPlays) {
  host::Art* outer = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, outer);  // alone in its parent
  Square(0, 0, 10, group);
  Square(5, 5, 10, group);
  recorder.on_play = [&] {
    ASSERT_EQ(host::Children(*outer).size(), 2u);
    const host::Art* placeholder = outer->first_child;  // on top inside the parent
    ASSERT_EQ(placeholder->type, kArtTypePath);
    ASSERT_EQ(placeholder->segments.size(), 2u);
    EXPECT_EQ(placeholder->segments[0].p.x, 7.5);
    EXPECT_EQ(placeholder->segments[0].p.y, 7.5 - 5);
    EXPECT_EQ(placeholder->segments[1].p.y, 7.5 + 5);
    EXPECT_TRUE(placeholder->segments[0].corner);
    EXPECT_FALSE(placeholder->closed);
    EXPECT_FALSE(placeholder->style.fill_paint);
    EXPECT_EQ(placeholder->style.fill.color.components[0], 1.0);
    EXPECT_TRUE(placeholder->style.stroke_paint);
    EXPECT_EQ(placeholder->style.stroke.color.kind, kColorFourProcess);
    EXPECT_EQ(placeholder->style.stroke.color.components[1], 1.0);
    EXPECT_EQ(placeholder->style.stroke.width, 1.0);
    EXPECT_EQ(placeholder->style.stroke.miter_limit, 4.0);
    EXPECT_FALSE(placeholder->selected);
    EXPECT_TRUE(group->selected);
  };
  UniteArt(H(group));
  ASSERT_EQ(recorder.events, std::vector<std::string>{"ai_plugin_pathfinder"});
  ASSERT_EQ(recorder.values.size(), 1u);
  EXPECT_EQ(recorder.values[0].key, FourCharCode('n', 'a', 'm', 'e'));
  EXPECT_EQ(recorder.values[0].name, "\xE8\xBF\xBD\xE5\x8A\xA0");
  EXPECT_EQ(recorder.values[0].code, 0);
  EXPECT_EQ(host::Children(*outer), std::vector<host::Art*>{group});  // no placeholder left
}

TEST_F(EffectsTest, ReleaseTurnsACompoundPathIntoAGroupOfItsPaths) {
  host::Art* frame = Frame();
  const ArtHandle handle = H(frame);
  EXPECT_EQ(ReleaseCompoundPaths(handle), 1);
  EXPECT_EQ(doc->Resolve(handle), nullptr);
  const std::vector<host::Art*> top = host::TopLevelArt(*doc->current_layer());
  ASSERT_EQ(top.size(), 1u);
  ASSERT_EQ(top[0]->type, kArtTypeGroup);
  const std::vector<host::Art*> squares = host::Children(*top[0]);
  ASSERT_EQ(squares.size(), 2u);
  for (const host::Art* s : squares) {
    EXPECT_EQ(s->type, kArtTypePath);
    EXPECT_TRUE(s->style.fill_paint);
    EXPECT_EQ(s->style.fill.color.components[1], 1);
    EXPECT_FALSE(s->style.even_odd);
  }
  EXPECT_EQ(host::Bounds(*squares[0]).right, 30);  // list order kept
}

TEST_F(EffectsTest, ReleaseAndUniteGathersTheContentAndUnitesIt) {
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  host::Art* compound = host::AddCompoundPath(*doc, kPlaceInsideOnBottom, group, Fill());
  Square(0, 0, 30, compound);
  Square(10, 10, 10, compound);
  Square(40, 0, 5, group);
  recorder.on_play = [&] {
    // Everything of the group now sits in one inner group, selected, below
    // the placeholder.
    const std::vector<host::Art*> children = host::Children(*group);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_FALSE(children[0]->selected);
    EXPECT_TRUE(children[1]->selected);
    EXPECT_EQ(host::Children(*children[1]).size(), 2u);
  };
  EXPECT_EQ(ReleaseAndUnite(H(group), true), 1);
  EXPECT_EQ(recorder.events.size(), 1u);

  // A group without compound paths releases nothing and is not united.
  recorder.events.clear();
  host::Art* plain = host::AddGroup(*doc, kPlaceInsideOnBottom, layer);
  Square(0, 0, 1, plain);
  EXPECT_EQ(ReleaseAndUnite(H(plain), true), 0);
  EXPECT_TRUE(recorder.events.empty());
}

TEST_F(EffectsTest, ARefusedGroupKeepsTheCompoundPath) {
  // The host's art suite, except that it refuses new groups.
  static ArtSuite refusing;
  refusing = *HeldSuite<ArtSuite>();
  static decltype(refusing.NewArt) real_new_art;
  real_new_art = refusing.NewArt;
  refusing.NewArt = [](int16_t type, int16_t order, ArtHandle prep, ArtHandle* art) -> HostErr {
    if (type == kArtTypeGroup) return kErrRefused;
    return real_new_art(type, order, prep, art);
  };
  g_suite_slots[kSlotArt] = &refusing;
  host::Art* frame = Frame();
  EXPECT_EQ(ReleaseCompoundPaths(H(frame)), 0);
  EXPECT_EQ(doc->Resolve(H(frame)), frame);
  EXPECT_EQ(host::Children(*frame).size(), 2u);
}

}  // namespace
