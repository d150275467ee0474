// The plug-in's entry point: every host message comes through here.
#pragma once

#include <string>

#include "plugin/messages.h"

// PluginMain of the plug-in: holds the host's suites for the message, routes
// it by caller and selector, allocates and frees the globals at Startup and
// Shutdown, and shows an error alert for a handler's failure. The loadable
// module exports it as PluginMain; tests reach it directly.
HostErr ZolvanePluginMain(const char* caller, const char* selector, void* message);

// The text of the error alert for a handler's result, or "" when the result
// raises no alert (0, 1, 'S!Fd' and 'STOP').
std::string ErrorAlertText(HostErr result, const char* caller, const char* selector);
