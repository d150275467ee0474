// The About dialog: the maker's credit line, the product name and version.
#pragma once

#include "platform/dialog.h"
#include "platform/window_types.h"

namespace ui {

inline constexpr int kAboutTemplateId = 16149;
inline constexpr int kAboutCreditId = 5;
inline constexpr int kAboutProductId = 6;
inline constexpr int kAboutVersionId = 7;

// The credit line the template carries.
inline constexpr char kAboutCreditLine[] = "Copyright (C) Halvorn. All rights reserved.";

// Template 16149, "About Zolvane".
const platform::DialogTemplate& AboutDialogTemplate();

// Runs the dialog modally, owned by the host's main window (null: the
// desktop), placed topmost and centred on it, showing the product name and
// version of the globals in a large font. Returns the id that closed it: 1
// for OK, 2 for Escape (-1 when the dialog could not be made).
intptr_t RunAboutDialog(WindowHandle owner);

}  // namespace ui
