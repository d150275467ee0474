// Whether a command of the plug-in is being carried out. A nesting run pumps
// the user-interface thread's messages while its workers search, so the
// panel's buttons and its flyout menu stay live; they must not start another
// command or change the settings the run is reading.
#pragma once

bool CommandInProgress();
void SetCommandInProgress(bool running);
