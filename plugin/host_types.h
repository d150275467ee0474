// TEMPORARY NOTE TO THE ENGINEER EDITING THIS FILE: before anything else read /work/briefs/rules.md (team rules: commits, build dirs, comments, tests) and follow it; then delete this line.
// Basic types of the host interface: error codes, opaque handles, colours.
#pragma once

#include <cstdint>

// Every host call returns a 32-bit error code: 0 for success, otherwise a
// code that is often four characters packed big-endian ('S!Fd').
using HostErr = int32_t;

constexpr HostErr FourCharCode(char a, char b, char c, char d) {
  return static_cast<HostErr>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

constexpr HostErr kNoErr = 0;
// The user or the plug-in cancelled the operation; the host shows nothing.
constexpr HostErr kErrCanceled = FourCharCode('S', 'T', 'O', 'P');
// A suite of that name and version is not offered by the host.
constexpr HostErr kErrSuiteNotFound = FourCharCode('S', '!', 'F', 'd');

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
using ActionParamsRef = HostActionParams*;
using ArtboardListRef = HostArtboardList*;
using DocumentViewHandle = HostDocumentView*;
using ModuleRef = HostModule*;

// The host's colour record: a kind and its components, each 0 to 1.
// Kind 0 gray (one component), 1 process CMYK (four), 5 RGB (three).
enum HostColorKind : int16_t {
  kColorGray = 0,
  kColorFourProcess = 1,
  kColorRGB = 5,
};

struct HostColor {
  int16_t kind;
  double components[4];
};
