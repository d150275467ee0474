// The host's action manager: registering the plug-in's action event, blocks
// of keyed parameters, and playing events (the plug-in's own and the host's
// effects).
#pragma once

#include <cstdint>

#include "plugin/host_types.h"

constexpr char kActionManagerSuiteName[] = "AI Action Manager Suite";
constexpr int32_t kActionManagerSuiteVersion = 5;

// How an event is played: 3 plays it with the parameters given, showing no
// dialog.
constexpr int32_t kDialogStatusNone = 3;

// The unit of a unit real value that is in document points.
constexpr FourCC kUnitPoints = FourCharCode('#', 'P', 'x', 'l');

// --- the host's effects, played as events -----------------------------------

// Replaces each selected top-level object, in its place, by its filled area
// grown by 'ofst' points (miter limit 'mitr', join 'jntp'), and leaves the
// result selected. The plug-in disposes the art it offset afterwards; a host
// that has already replaced it answers that with an error, which is harmless.
constexpr char kOffsetEvent[] = "ai_plugin_offset";
constexpr FourCC kOffsetKeyOffset = FourCharCode('o', 'f', 's', 't');      // unit real, kUnitPoints
constexpr FourCC kOffsetKeyMiterLimit = FourCharCode('m', 'i', 't', 'r');  // real
constexpr FourCC kOffsetKeyJoinType = FourCharCode('j', 'n', 't', 'p');    // enumerated
constexpr char kOffsetJoinTypeName[] = "LineJoinType";
// The join code the nesting's sample outline is offset with.
constexpr int32_t kOffsetJoinDefault = 0;

// Replaces the selected art by the union of its shapes ("add" of the host's
// pathfinder), left selected.
constexpr char kPathfinderEvent[] = "ai_plugin_pathfinder";
constexpr FourCC kPathfinderKeyOperation = FourCharCode('n', 'a', 'm', 'e');  // enumerated
// The name of the union operation: the Japanese word for "add", UTF-8.
constexpr char kPathfinderAddName[] = "\xE8\xBF\xBD\xE5\x8A\xA0";
constexpr int32_t kPathfinderAddValue = 0;

// Called by the host when the user asks, in its action list, for the options
// of a recorded event; user_data is what the event was registered with. The
// plug-in registers none.
using ActionEventCallback = HostErr (*)(void* user_data);

struct ActionManagerSuite {
  // A new parameter type that describes no parameters; release it when done.
  HostErr (*NewParamType)(ActionParamTypeRef* type);
  // Gives back a parameter type.
  HostErr (*ReleaseParamType)(ActionParamTypeRef type);
  // Registers an event that the host's action list can record and play.
  // name is unique in the host; localized_name is what the list shows. When
  // played, the event comes to the plug-in as a Do Action message. callback,
  // user_data may be null.
  HostErr (*RegisterEvent)(const char* name, const char* localized_name, int32_t version,
                           int32_t flags, ActionEventCallback callback, PluginRef plugin,
                           void* user_data, ActionParamTypeRef param_type);
  // A new, empty block of keyed values; release it when done.
  HostErr (*NewParamBlock)(ActionParamsRef* block);
  // Gives back a block (null is accepted).
  HostErr (*ReleaseParamBlock)(ActionParamsRef block);
  // Sets the key to a real with a unit (a four-character unit code).
  HostErr (*PutUnitReal)(ActionParamsRef block, FourCC key, FourCC unit, double value);
  // Sets the key to a real.
  HostErr (*PutReal)(ActionParamsRef block, FourCC key, double value);
  // Sets the key to an enumerated value: the name of the enumeration or of
  // the value (UTF-8) and its code.
  HostErr (*PutEnumerated)(ActionParamsRef block, FourCC key, const char* name, int32_t value);
  // Plays the event of that name with the dialog status and the parameters
  // (null for none); returns when it has been carried out. kErrNotFound for
  // an unknown event.
  HostErr (*PlayEvent)(const char* name, int32_t dialog_status, ActionParamsRef params);
};
