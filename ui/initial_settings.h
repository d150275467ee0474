// The Initial Settings dialog: the sheet, its margins, the minimum spacing,
// alignment and direction, with named presets. Opened from the panel's
// flyout menu.
#pragma once

#include <cstdint>

#include "plugin/host_types.h"

namespace ui {

// The panel's flyout handler: item 1 opens the Initial Settings dialog.
void InitialSettingsFlyoutHandler(PanelRef panel, int32_t item_id);

}  // namespace ui
