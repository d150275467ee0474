// The host interface declarations: codes, names and versions the host and the
// plug-in must agree on, and the shape of the message records.
#include "plugin/host_api.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace {

// --- four-character codes -------------------------------------------------

static_assert(kErrSuiteNotFound == 0x53214664);  // 'S!Fd'
static_assert(kErrCanceled == 0x53544F50);       // 'STOP'
static_assert(kUnitPoints == 0x2350786C);        // '#Pxl'
static_assert(kOffsetKeyOffset == 0x6F667374);   // 'ofst'
static_assert(kOffsetKeyMiterLimit == 0x6D697472);
static_assert(kOffsetKeyJoinType == 0x6A6E7470);
static_assert(kPathfinderKeyOperation == 0x6E616D65);
// High-bit characters must not sign-extend into the other bytes.
static_assert(FourCharCode('\xFF', 0, 0, 1) == static_cast<FourCC>(0xFF000001u));

// The error codes the host may return are distinct, and none is 0 or the
// entry point's silent code 1.
constexpr HostErr kHostErrors[] = {kErrCanceled,  kErrSuiteNotFound, kErrBadParameter,
                                   kErrBadHandle, kErrNotFound,      kErrNoDocument,
                                   kErrRefused,   kErrOutOfMemory};
constexpr bool ErrorsDistinct() {
  for (size_t i = 0; i < std::size(kHostErrors); ++i) {
    if (kHostErrors[i] == kNoErr || kHostErrors[i] == kErrNoAlert) return false;
    for (size_t j = i + 1; j < std::size(kHostErrors); ++j)
      if (kHostErrors[i] == kHostErrors[j]) return false;
  }
  return true;
}
static_assert(ErrorsDistinct());

// --- values the calling code passes ---------------------------------------

static_assert(kArtTypeGroup == 1 && kArtTypePath == 2 && kArtTypeCompoundPath == 3);
static_assert(kBoundsOptionsOutline == 66);
static_assert(kTransformOptionsPlace == 111);
static_assert((kTransformOptionsPlace & kTransformLineWidths) == 0, "line widths unscaled");
static_assert(kConvertOptionsOutline == 7);
static_assert(kDialogStatusNone == 3);
static_assert(kAnswerYes == 1);
static_assert(kMenuItemWantsUpdate == 1 && kMenuGroupSortedAlphabetically == 1);
static_assert(kThemeElementPanelBackground == 1 && kThemeStateNormal == 0);
static_assert(kColorGray == 0 && kColorFourProcess == 1 && kColorRGB == 5);

TEST(HostConstants, PathfinderAddNameIsTheUtf8Bytes) {
  const unsigned char expected[] = {0xE8, 0xBF, 0xBD, 0xE5, 0x8A, 0xA0};
  ASSERT_EQ(std::strlen(kPathfinderAddName), sizeof expected);
  EXPECT_EQ(std::memcmp(kPathfinderAddName, expected, sizeof expected), 0);
}

struct NamedText {
  const char* constant;
  const char* text;
};

TEST(HostConstants, CallerSelectorAndNotificationTexts) {
  const NamedText cases[] = {
      {kCallerAccess, "SP Access"},
      {kSelectorUnload, "Unload"},
      {kSelectorReload, "Reload"},
      {kCallerInterface, "SP Interface"},
      {kSelectorStartup, "Startup"},
      {kSelectorAbout, "About"},
      {kSelectorShutdown, "Shutdown"},
      {kCallerMenu, "AI Menu"},
      {kSelectorMenuGo, "AI Go"},
      {kSelectorMenuUpdate, "AI Update"},
      {kCallerNotifier, "AI Notifier"},
      {kSelectorNotify, "AI Notify"},
      {kCallerActionManager, "Action Manager"},
      {kSelectorDoAction, "Do Action"},
      {kNotifyApplicationStarted, "AI Application Started Notifier"},
      {kNotifyBrightnessChanged, "AI UI Brightness Changed Notifier"},
      {kNotifyDocumentClosed, "AI Document Closed Notifier"},
      {kNotifyDocumentOpened, "AI Document Opened Notifier"},
      {kNotifyDocumentNew, "AI Document New Notifier"},
      {kNotifyArtSelectionChanged, "AI Art Selection Changed Notifier"},
      {kMenuGroupToolPalettes, "Tool Palettes"},
      {kMenuGroupAbout, "About"},
      {kOffsetEvent, "ai_plugin_offset"},
      {kPathfinderEvent, "ai_plugin_pathfinder"},
      {kOffsetJoinTypeName, "LineJoinType"},
      {kTagTypeString, "string"},
      {kPluginMainName, "PluginMain"},
  };
  for (const NamedText& c : cases) EXPECT_STREQ(c.constant, c.text);
}

// --- the suite table -------------------------------------------------------

constexpr bool SuiteNamesUnique() {
  for (int i = 0; i < kSuiteTableSize; ++i) {
    if (kSuiteTable[i].name == nullptr || kSuiteTable[i].version <= 0) return false;
    for (int j = i + 1; j < kSuiteTableSize; ++j)
      if (std::string_view(kSuiteTable[i].name) == std::string_view(kSuiteTable[j].name))
        return false;
  }
  return true;
}
static_assert(std::size(kSuiteTable) == 141);
static_assert(SuiteNamesUnique());

// The suites the plug-in calls, with the names and versions the host offers.
struct CalledSuite {
  int slot;
  const char* name;
  int32_t version;
};
constexpr CalledSuite kCalledSuites[] = {
    {kSlotOf<AccessSuite>, "SP Access Suite", 3},
    {kSlotOf<PluginSuite>, "AI Plugin Suite", 5},
    {kSlotOf<ArtSuite>, "AI Art Suite", 21},
    {kSlotOf<LayerSuite>, "AI Layer Suite", 13},
    {kSlotOf<GroupSuite>, "AI Group Suite", 5},
    {kSlotOf<PathSuite>, "AI Path Suite", 12},
    {kSlotOf<PathStyleSuite>, "AI Path Style Suite", 14},
    {kSlotOf<RealMathSuite>, "AI Real Math Suite", 5},
    {kSlotOf<TransformArtSuite>, "AI Transform Art Suite", 3},
    {kSlotOf<TagSuite>, "AI Tag Suite", 4},
    {kSlotOf<ArtConverterSuite>, "AI Art Converter Suite", 3},
    {kSlotOf<DocumentSuite>, "AI Document Suite", 20},
    {kSlotOf<DocumentViewSuite>, "AI Document View Suite", 15},
    {kSlotOf<DocumentListSuite>, "AI Document List Suite", 11},
    {kSlotOf<ArtboardSuite>, "AI Artboard Suite", 6},
    {kSlotOf<UndoSuite>, "AI Undo Suite", 10},
    {kSlotOf<UserSuite>, "AI User Suite", 21},
    {kSlotOf<ThemeSuite>, "AI User Interface Theme Suite", 2},
    {kSlotOf<ContextSuite>, "AI Context Suite", 10},
    {kSlotOf<MenuSuite>, "AI Menu Suite", 11},
    {kSlotOf<NotifierSuite>, "AI Notifier Suite", 4},
    {kSlotOf<PanelSuite>, "AI Panel Suite", 4},
    {kSlotOf<FlyoutMenuSuite>, "AI Panel Flyout Menu Suite", 2},
    {kSlotOf<ActionManagerSuite>, "AI Action Manager Suite", 5},
};
static_assert(std::size(kCalledSuites) == kCalledSuiteCount);

TEST(SuiteTable, CalledSuitesSitInTheirSlotsWithTheirVersions) {
  bool slot_taken[kSuiteTableSize] = {};
  for (const CalledSuite& s : kCalledSuites) {
    SCOPED_TRACE(s.name);
    ASSERT_GE(s.slot, 0);
    ASSERT_LT(s.slot, kSuiteTableSize);
    EXPECT_FALSE(slot_taken[s.slot]) << "two suite types share a slot";
    slot_taken[s.slot] = true;
    EXPECT_STREQ(kSuiteTable[s.slot].name, s.name);
    EXPECT_EQ(kSuiteTable[s.slot].version, s.version);
  }
}

// A host with one real table: the plug-in's acquisition loop fills the slots
// through the basic suite, and HeldSuite hands out the typed table.
int g_acquired = 0;
HostErr FakeGetArtType(ArtHandle art, int16_t* type) {
  *type = art ? kArtTypePath : kArtTypeUnknown;
  return kNoErr;
}
const ArtSuite kFakeArtSuite = [] {
  ArtSuite suite{};
  suite.GetArtType = FakeGetArtType;
  return suite;
}();
const int kOpaqueTable = 0;

HostErr FakeAcquire(const char* name, int32_t version, const void** suite) {
  ++g_acquired;
  if (std::string_view(name) == kArtSuiteName && version == kArtSuiteVersion) {
    *suite = &kFakeArtSuite;
    return kNoErr;
  }
  if (std::string_view(name) == kUndoSuiteName) {  // a host that lacks one suite
    *suite = nullptr;
    return kErrSuiteNotFound;
  }
  *suite = &kOpaqueTable;
  return kNoErr;
}

TEST(SuiteTable, AcquiredSlotsGiveTypedTables) {
  const BasicSuite basic{FakeAcquire, nullptr, nullptr, nullptr, nullptr};
  for (int i = 0; i < kSuiteTableSize; ++i)
    basic.AcquireSuite(kSuiteTable[i].name, kSuiteTable[i].version, &g_suite_slots[i]);
  EXPECT_EQ(g_acquired, kSuiteTableSize);

  const ArtSuite* art = HeldSuite<ArtSuite>();
  ASSERT_EQ(art, &kFakeArtSuite);
  int16_t type = -1;
  int path_art = 0;
  EXPECT_EQ(art->GetArtType(reinterpret_cast<ArtHandle>(&path_art), &type), kNoErr);
  EXPECT_EQ(type, kArtTypePath);
  EXPECT_EQ(HeldSuite<UndoSuite>(), nullptr);

  for (const void*& slot : g_suite_slots) slot = nullptr;
  EXPECT_EQ(HeldSuite<ArtSuite>(), nullptr);
}

// --- message records --------------------------------------------------------

// The entry point reads MessageData from any message before it knows the kind.
template <typename Message>
constexpr bool BeginsWithMessageData() {
  return std::is_standard_layout_v<Message> && offsetof(Message, d) == 0 &&
         std::is_same_v<decltype(Message::d), MessageData>;
}
static_assert(BeginsWithMessageData<MenuMessage>());
static_assert(BeginsWithMessageData<NotifierMessage>());
static_assert(BeginsWithMessageData<DoActionMessage>());

static_assert(std::is_same_v<decltype(MessageData::plugin), PluginRef>);
static_assert(std::is_same_v<decltype(MessageData::globals), void*>);
static_assert(std::is_same_v<decltype(MessageData::basic), const BasicSuite*>);
static_assert(std::is_same_v<decltype(MenuMessage::menu_item), MenuItemHandle>);
static_assert(std::is_same_v<decltype(NotifierMessage::notifier), NotifierHandle>);
static_assert(std::is_same_v<decltype(NotifierMessage::type), const char*>);
static_assert(std::is_same_v<decltype(DoActionMessage::params), ActionParamsRef>);

// Suites are plain tables a host fills as aggregates; value-initialised, every
// operation is null.
template <typename Suite>
constexpr bool PlainTable() {
  return std::is_trivially_copyable_v<Suite> && std::is_standard_layout_v<Suite> &&
         std::is_aggregate_v<Suite> && sizeof(Suite) % sizeof(void (*)()) == 0;
}
static_assert(PlainTable<BasicSuite>() && PlainTable<AccessSuite>() && PlainTable<PluginSuite>());
static_assert(PlainTable<ArtSuite>() && PlainTable<LayerSuite>() && PlainTable<GroupSuite>());
static_assert(PlainTable<TagSuite>() && PlainTable<TransformArtSuite>() &&
              PlainTable<ArtConverterSuite>());
static_assert(PlainTable<PathSuite>() && PlainTable<PathStyleSuite>() &&
              PlainTable<RealMathSuite>());
static_assert(PlainTable<DocumentSuite>() && PlainTable<DocumentListSuite>() &&
              PlainTable<DocumentViewSuite>() && PlainTable<ArtboardSuite>() &&
              PlainTable<UndoSuite>());
static_assert(PlainTable<UserSuite>() && PlainTable<ThemeSuite>() && PlainTable<ContextSuite>() &&
              PlainTable<MenuSuite>() && PlainTable<NotifierSuite>() && PlainTable<PanelSuite>() &&
              PlainTable<FlyoutMenuSuite>());
static_assert(PlainTable<ActionManagerSuite>());

}  // namespace
