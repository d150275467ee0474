// The handlers of the plug-in's messages after Startup: registrations, the
// menu items, notifications, the panel's creation and teardown, and the Do
// Action handler that runs the panel's commands.
#pragma once

#include "plugin/globals.h"
#include "plugin/messages.h"

// Registers the six notifiers, the menu items and the action, in that
// order; a notifier or menu failure ends it with its code. Fits
// StartupSeams::register_host_objects (the context is unused).
HostErr RegisterHostObjects(void* context, PluginGlobals* globals);

HostErr MenuGo(const MenuMessage& message);
HostErr MenuUpdate(const MenuMessage& message);
HostErr Notify(const NotifierMessage& message);
HostErr DoAction(const DoActionMessage& message);

// The panel's end at Shutdown: its controls read into the settings, its
// window procedure restored and the window destroyed, the settings file
// written, the panel destroyed and its fonts and brushes deleted; then the
// flyout menu. Without a panel no settings file is written.
void TearDownPanel();

// The plug-in's module instance, taken when the panel is created; dialogs
// are made from it.
ModuleRef PluginInstance();
