// Whether a command of the plug-in is being carried out.
#include "plugin/command_state.h"

namespace {

// Written and read on the host's user-interface thread only.
bool g_command_in_progress = false;

}  // namespace

bool CommandInProgress() {
  return g_command_in_progress;
}

void SetCommandInProgress(bool running) {
  g_command_in_progress = running;
}
