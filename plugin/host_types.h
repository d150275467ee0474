// Basic types of the host interface: error codes, opaque handles, colours.
#pragma once

#include <cstdint>

// A four-character code: four characters packed big-endian into 32 bits, the
// first character in the most significant byte ('S!Fd' is 0x53214664). Error
// codes, parameter keys and unit codes of the host are such codes.
using FourCC = int32_t;

constexpr FourCC FourCharCode(char a, char b, char c, char d) {
  return static_cast<FourCC>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                             (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                             (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                             static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

// Every host call returns a 32-bit error code: 0 for success, otherwise a
// code that is often a four-character code. Nothing is thrown across the
// host boundary.
using HostErr = int32_t;

constexpr HostErr kNoErr = 0;
// A failure that its handler has already dealt with (or that needs no
// words): the entry point shows no alert for it.
constexpr HostErr kErrNoAlert = 1;
// The user or the plug-in cancelled the operation; the host shows nothing.
constexpr HostErr kErrCanceled = FourCharCode('S', 'T', 'O', 'P');
// A suite of that name and version is not offered by the host.
constexpr HostErr kErrSuiteNotFound = FourCharCode('S', '!', 'F', 'd');
// The host's own failures. Which call gives which is said at the call.
// A null pointer, an index out of range or a value the call cannot take.
constexpr HostErr kErrBadParameter = FourCharCode('P', 'A', 'R', 'M');
// A handle that was disposed, belongs to another document or was never
// handed out. The host detects it instead of crashing.
constexpr HostErr kErrBadHandle = FourCharCode('H', 'N', 'D', '!');
// A named thing (tag, layer, menu group, event) that does not exist.
constexpr HostErr kErrNotFound = FourCharCode('!', 'F', 'N', 'D');
// The call needs an open document and none is open.
constexpr HostErr kErrNoDocument = FourCharCode('D', 'O', 'C', '?');
// The host refuses the change (for instance a new art inside a path, or the
// removal of a document's last artboard).
constexpr HostErr kErrRefused = FourCharCode('D', 'E', 'N', 'Y');
// The host could not allocate memory for the request.
constexpr HostErr kErrOutOfMemory = FourCharCode('!', 'M', 'E', 'M');

// Opaque handles. The host owns what they refer to; the plug-in compares and
// passes them but never looks inside. Art handles are valid within one command.
struct HostPlugin;
struct HostArt;
struct HostLayer;
struct HostDocument;
struct HostNotifier;
struct HostMenuItem;
struct HostMenuGroup;
struct HostPanel;
struct HostFlyoutMenu;
struct HostActionParams;
struct HostActionParamType;
struct HostArtboardList;
struct HostDocumentView;
struct HostModule;

using PluginRef = HostPlugin*;
using ArtHandle = HostArt*;
using LayerHandle = HostLayer*;
using DocumentHandle = HostDocument*;
using NotifierHandle = HostNotifier*;
using MenuItemHandle = HostMenuItem*;
using MenuGroupHandle = HostMenuGroup*;
using PanelRef = HostPanel*;
using FlyoutMenuRef = HostFlyoutMenu*;
// A block of keyed values handed to an action event when it is played.
using ActionParamsRef = HostActionParams*;
// The description of the parameters an action event takes.
using ActionParamTypeRef = HostActionParamType*;
using ArtboardListRef = HostArtboardList*;
using DocumentViewHandle = HostDocumentView*;
// The loaded plug-in library, which dialogs are created from.
using ModuleRef = HostModule*;

// The host's colour record: a kind and its components, each 0 to 1.
// Kind 0 gray (one component, the gray level), 1 process CMYK (four: cyan,
// magenta, yellow, black), 5 RGB (three: red, green, blue). Unused
// components are zero.
enum HostColorKind : int16_t {
  kColorGray = 0,
  kColorFourProcess = 1,
  kColorRGB = 5,
};

struct HostColor {
  int16_t kind;
  double components[4];
};

// A colour of the host's user-interface theme: a first component (alpha, 1.0
// for opaque; never used for painting), then red, green and blue, each 0 to 1.
struct HostThemeColor {
  double alpha;
  double red;
  double green;
  double blue;
};
