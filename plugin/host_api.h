// The host interface in one include: basic types, the messages, every suite
// the plug-in calls and the table they are acquired by.
//
//   host_types.h      error codes, four-character codes, opaque handles, colours
//   messages.h        caller and selector texts, message records, the entry point type
//   suite_basic.h     basic suite (acquire/release, compare, memory), access, plug-in options
//   suite_art.h       art tree, layers, groups, tags, transforms, outline converter
//   suite_path.h      path segments and paint styles
//   suite_math.h      points, rectangles and matrices
//   suite_document.h  documents, views, artboards, undo texts
//   suite_ui.h        alerts, theme, main window, menus, notifiers, panels, flyout menus
//   suite_action.h    action events, parameter blocks, the host's effects
//   suite_table.h     the acquired suites: names, versions, slots
#pragma once

#include "plugin/host_types.h"
#include "plugin/messages.h"
#include "plugin/suite_action.h"
#include "plugin/suite_art.h"
#include "plugin/suite_basic.h"
#include "plugin/suite_document.h"
#include "plugin/suite_math.h"
#include "plugin/suite_path.h"
#include "plugin/suite_table.h"
#include "plugin/suite_ui.h"
