// The table of host suites that every message acquires: name, version and
// the slot that holds the acquired table while it is held.
#pragma once

#include <cstdint>

#include "plugin/suite_action.h"
#include "plugin/suite_art.h"
#include "plugin/suite_basic.h"
#include "plugin/suite_document.h"
#include "plugin/suite_math.h"
#include "plugin/suite_path.h"
#include "plugin/suite_ui.h"

constexpr int kSuiteTableSize = 141;

struct SuiteTableEntry {
  const char* name;
  int32_t version;
};

// Slots of the suites the plug-in calls: the first entries of the table.
enum SuiteSlot : int {
  kSlotAccess = 0,
  kSlotPlugin,
  kSlotArt,
  kSlotLayer,
  kSlotGroup,
  kSlotPath,
  kSlotPathStyle,
  kSlotRealMath,
  kSlotTransformArt,
  kSlotTag,
  kSlotArtConverter,
  kSlotDocument,
  kSlotDocumentView,
  kSlotDocumentList,
  kSlotArtboard,
  kSlotUndo,
  kSlotUser,
  kSlotTheme,
  kSlotContext,
  kSlotMenu,
  kSlotNotifier,
  kSlotPanel,
  kSlotFlyoutMenu,
  kSlotActionManager,
  kCalledSuiteCount,
};

// The suites in the order they are acquired (and released). The suites the
// plug-in calls come first; the rest are acquired and held for the message
// but never called, so the plug-in sees them only as opaque tables. A host
// offers every entry (any table of its own for the acquired-only ones).
inline constexpr SuiteTableEntry kSuiteTable[kSuiteTableSize] = {
    {kAccessSuiteName, kAccessSuiteVersion},                // the plug-in's module instance
    {kPluginSuiteName, kPluginSuiteVersion},                // the plug-in's options
    {kArtSuiteName, kArtSuiteVersion},                      // art tree, bounds, names
    {kLayerSuiteName, kLayerSuiteVersion},                  // layers
    {kGroupSuiteName, kGroupSuiteVersion},                  // clipping groups
    {kPathSuiteName, kPathSuiteVersion},                    // path segments
    {kPathStyleSuiteName, kPathStyleSuiteVersion},          // fill and stroke
    {kRealMathSuiteName, kRealMathSuiteVersion},            // points, rectangles, matrices
    {kTransformArtSuiteName, kTransformArtSuiteVersion},    // moving and turning art
    {kTagSuiteName, kTagSuiteVersion},                      // per-object quantity
    {kArtConverterSuiteName, kArtConverterSuiteVersion},    // strokes to outlines
    {kDocumentSuiteName, kDocumentSuiteVersion},            // current document, canvas
    {kDocumentViewSuiteName, kDocumentViewSuiteVersion},    // view centre and zoom
    {kDocumentListSuiteName, kDocumentListSuiteVersion},    // front document
    {kArtboardSuiteName, kArtboardSuiteVersion},            // artboards
    {kUndoSuiteName, kUndoSuiteVersion},                    // undo and redo texts
    {kUserSuiteName, kUserSuiteVersion},                    // alerts, interface scale factor
    {kThemeSuiteName, kThemeSuiteVersion},                  // brightness, panel colour
    {kContextSuiteName, kContextSuiteVersion},              // the host's main window
    {kMenuSuiteName, kMenuSuiteVersion},                    // menus
    {kNotifierSuiteName, kNotifierSuiteVersion},            // notifications
    {kPanelSuiteName, kPanelSuiteVersion},                  // the panel
    {kFlyoutMenuSuiteName, kFlyoutMenuSuiteVersion},        // the panel's flyout menu
    {kActionManagerSuiteName, kActionManagerSuiteVersion},  // the plug-in's action, host effects
    // text engine
    {"AI Text Frame Suite", 2},
    {"AI Text Range Suite", 1},
    {"AI Text Ranges Suite", 1},
    {"AI Text Range Iterator Suite", 1},
    {"AI Text Story Suite", 1},
    {"AI Text Stories Suite", 1},
    {"AI Text Story Iterator Suite", 1},
    {"AI Text Frame Iterator Suite", 1},
    {"AI Text Paragraph Suite", 1},
    {"AI Text Paragraphs Iterator Suite", 1},
    {"AI Text Paragraph Features Suite", 1},
    {"AI Text Paragraph Inspector Suite", 1},
    {"AI Text Paragraph Style Suite", 1},
    {"AI Text Paragraph Styles Suite", 1},
    {"AI Text Paragraph Styles Iterator Suite", 1},
    {"AI Text Character Features Suite", 1},
    {"AI Text Character Inspector Suite", 1},
    {"AI Text Character Style Suite", 1},
    {"AI Text Character Styles Suite", 1},
    {"AI Text Character Styles Iterator Suite", 1},
    {"AI Text Glyph Run Suite", 1},
    {"AI Text Glyph Runs Iterator Suite", 1},
    {"AI Text Line Suite", 1},
    {"AI Text Lines Iterator Suite", 1},
    {"AI Text Word Iterator Suite", 1},
    {"AI Text Kerning Suite", 1},
    {"AI Text Font Suite", 1},
    {"AI Text Find Font Suite", 1},
    {"AI Text Composite Font Suite", 1},
    {"AI Text Composite Font Component Suite", 1},
    {"AI Text Tab Stop Suite", 1},
    {"AI Text Tab Stops Suite", 1},
    {"AI Text Tab Stops Iterator Suite", 1},
    {"AI Text Document Suite", 1},
    {"AI Text Application Paint Suite", 1},
    {"AI Text Selection Suite", 1},
    {"AI Text Spell Suite", 1},
    {"AI Text Hyphenation Suite", 1},
    {"AI Text Mojikumi Suite", 1},
    {"AI Text Mojikumi Set Suite", 1},
    {"AI Text Kinsoku Suite", 1},
    {"AI Text Kinsoku Set Suite", 1},
    {"AI Text Array Real Suite", 1},
    {"AI Text Array Integer Suite", 1},
    {"AI Text Array Boolean Suite", 1},
    {"AI Text Story Undo Suite", 1},
    // other areas of the host
    {"AI Path Construction Suite", 6},
    {"AI Path Interpolate Suite", 5},
    {"AI Path Boolean Suite", 5},
    {"AI Shape Construction Suite", 9},
    {"AI Hit Test Suite", 5},
    {"AI Matching Art Suite", 13},
    {"AI Art Set Suite", 10},
    {"AI Art Style Suite", 13},
    {"AI Art Style Parser Suite", 8},
    {"AI Live Effect Suite", 11},
    {"AI Blend Style Suite", 5},
    {"AI Blend Suite", 6},
    {"AI Envelope Suite", 5},
    {"AI Mask Suite", 5},
    {"AI Symbol Suite", 9},
    {"AI Symbol Palette Suite", 4},
    {"AI Raster Suite", 12},
    {"AI Placed Suite", 10},
    {"AI Mesh Suite", 6},
    {"AI Gradient Suite", 7},
    {"AI Pattern Suite", 6},
    {"AI Swatch List Suite", 8},
    {"AI Swatch Group Suite", 4},
    {"AI Swatch Library Suite", 3},
    {"AI Custom Color Suite", 4},
    {"AI Color Conversion Suite", 18},
    {"AI Color Harmony Suite", 3},
    {"AI Overprint Suite", 3},
    {"AI Transparency Suite", 4},
    {"AI Dictionary Suite", 9},
    {"AI Dictionary Iterator Suite", 4},
    {"AI Entry Suite", 8},
    {"AI Array Suite", 3},
    {"AI UID Suite", 9},
    {"AI UID Pool Suite", 4},
    {"AI UID Ref Suite", 4},
    {"AI Preference Suite", 3},
    {"AI Timer Suite", 6},
    {"AI Cursor Snap Suite", 12},
    {"AI Annotator Suite", 6},
    {"AI Annotator Drawer Suite", 8},
    {"AI Tool Suite", 22},
    {"AI File Format Suite", 12},
    {"AI Filter Suite", 4},
    {"AI Plugin Group Suite", 6},
    {"AI Command Manager Suite", 2},
    {"AI Localization Suite", 1},
    {"AI Unicode String Suite", 1},
    {"AI File Path Suite", 1},
    {"AI Data Filter Suite", 2},
    {"AI Font Suite", 13},
    {"AI Layer List Suite", 5},
    {"AI Clipboard Suite", 7},
    {"AI Geometry Suite", 4},
    {"AI Workspace Suite", 2},
    {"AI Control Bar Suite", 5},
    {"AI Perspective Grid Suite", 2},
    {"AI Image Optimization Suite", 5},
    {"AI Slicing Suite", 2},
    {"AI Tracing Suite", 3},
    {"AI Isolation Mode Suite", 4},
    // the plug-in framework
    {"SP Blocks Suite", 2},
    {"SP Strings Suite", 2},
    {"SP Plugins Suite", 4},
    {"SP Runtime Suite", 5},
    {"SP Files Suite", 3},
    {"SP Properties Suite", 2},
    {"SP Caches Suite", 2},
    {"SP Adapters Suite", 1},
    {"SP Suites Suite", 2},
    {"SP Interface Suite", 2},
};

// Entry i's slot is g_suite_slots[i]: the acquired table while it is held,
// null otherwise. Filled and cleared only by the acquisition and release of
// the whole table, on the host's user-interface thread.
extern const void* g_suite_slots[kSuiteTableSize];

// The slot of each suite type the plug-in calls.
template <typename Suite>
inline constexpr int kSlotOf = -1;
template <>
inline constexpr int kSlotOf<AccessSuite> = kSlotAccess;
template <>
inline constexpr int kSlotOf<PluginSuite> = kSlotPlugin;
template <>
inline constexpr int kSlotOf<ArtSuite> = kSlotArt;
template <>
inline constexpr int kSlotOf<LayerSuite> = kSlotLayer;
template <>
inline constexpr int kSlotOf<GroupSuite> = kSlotGroup;
template <>
inline constexpr int kSlotOf<PathSuite> = kSlotPath;
template <>
inline constexpr int kSlotOf<PathStyleSuite> = kSlotPathStyle;
template <>
inline constexpr int kSlotOf<RealMathSuite> = kSlotRealMath;
template <>
inline constexpr int kSlotOf<TransformArtSuite> = kSlotTransformArt;
template <>
inline constexpr int kSlotOf<TagSuite> = kSlotTag;
template <>
inline constexpr int kSlotOf<ArtConverterSuite> = kSlotArtConverter;
template <>
inline constexpr int kSlotOf<DocumentSuite> = kSlotDocument;
template <>
inline constexpr int kSlotOf<DocumentViewSuite> = kSlotDocumentView;
template <>
inline constexpr int kSlotOf<DocumentListSuite> = kSlotDocumentList;
template <>
inline constexpr int kSlotOf<ArtboardSuite> = kSlotArtboard;
template <>
inline constexpr int kSlotOf<UndoSuite> = kSlotUndo;
template <>
inline constexpr int kSlotOf<UserSuite> = kSlotUser;
template <>
inline constexpr int kSlotOf<ThemeSuite> = kSlotTheme;
template <>
inline constexpr int kSlotOf<ContextSuite> = kSlotContext;
template <>
inline constexpr int kSlotOf<MenuSuite> = kSlotMenu;
template <>
inline constexpr int kSlotOf<NotifierSuite> = kSlotNotifier;
template <>
inline constexpr int kSlotOf<PanelSuite> = kSlotPanel;
template <>
inline constexpr int kSlotOf<FlyoutMenuSuite> = kSlotFlyoutMenu;
template <>
inline constexpr int kSlotOf<ActionManagerSuite> = kSlotActionManager;

// The held table of a suite the plug-in calls; null while the suites are not
// held or when the host did not offer it.
template <typename Suite>
const Suite* HeldSuite() {
  static_assert(kSlotOf<Suite> >= 0, "not a suite of the table");
  return static_cast<const Suite*>(g_suite_slots[kSlotOf<Suite>]);
}

// --- holding the whole table ------------------------------------------------
//
// Every host message acquires the whole table when nothing holds it yet and
// releases it when the outermost holder is done. Callbacks that come outside
// a host message (the panel's window procedure, the flyout menu handler)
// hold it through the same count, so a message that arrives while a callback
// holds the table neither acquires nor releases it.

// Acquires every entry in order through the basic suite, storing each table
// in its slot. An entry the host refuses leaves its slot empty and the loop
// goes on; the result is that of the last entry.
HostErr AcquireSuiteTable(const BasicSuite* basic);
// Releases every filled slot in table order, clearing each, and stops at the
// first release that fails.
void ReleaseSuiteTable(const BasicSuite* basic);

// The count of nested holders (0: nothing held).
uint16_t SuiteHoldCount();
// Increments the count, acquiring the table first when it was 0. Returns
// the acquisition's result (0 when the table was already held).
HostErr HoldSuites(const BasicSuite* basic);
// Decrements the count, releasing the table when this was the last holder.
void UnholdSuites();
// A reloaded library starts counting afresh.
void ResetSuiteHoldCount();

// The pair for callbacks outside host messages; basic is the suite kept in
// the globals.
HostErr AcquireSuitesForCallback(const BasicSuite* basic);
void ReleaseSuitesForCallback();

// The host's main window: the owner of the plug-in's dialogs and where the
// keyboard focus goes back to. Null when the context suite is not held.
inline WindowHandle HostMainWindow() {
  WindowHandle window = nullptr;
  if (const ContextSuite* context = HeldSuite<ContextSuite>()) context->GetMainWindow(&window);
  return window;
}
