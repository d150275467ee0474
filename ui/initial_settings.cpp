// The Initial Settings dialog and its presets.
#include "ui/initial_settings.h"

namespace ui {

void InitialSettingsFlyoutHandler(PanelRef, int32_t) {}

}  // namespace ui
