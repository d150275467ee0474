// The platform's services, one header per area.
#pragma once

#include "platform/dialog.h"         // dialogs from templates, modal and modeless
#include "platform/gdi.h"            // fonts, brushes, device contexts, drawing
#include "platform/known_folders.h"  // the user's Documents and Desktop folders
#include "platform/message_box.h"    // message boxes and the beep
#include "platform/render.h"         // window trees to images and PNG files
#include "platform/window.h"         // windows, procedures, messages, queue
#include "platform/window_types.h"   // handles, colours, pixel geometry
