// Input as a person gives it: clicks, key presses and typed text.
//
// Each function only posts messages to the queue of the window's thread, in
// the order a person's hands produce them; nothing happens until that thread
// pumps its messages (a modal loop, the progress pump, or PumpAllMessages).
// A window that a person cannot reach (hidden or disabled, itself or an
// ancestor) takes no input: the call answers false and posts nothing.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/window_types.h"

namespace platform {

// Presses and releases the left mouse button on the window.
bool Click(WindowHandle window);

// Presses and releases a key on the window that has the focus (the thread's
// queue when nothing has it), holding Shift around it when asked.
bool PressKey(uint32_t virtual_key, bool shift = false);

// Clicks into an edit field, selects all its text (Ctrl+A) and types `text`
// (UTF-8), one character message per code point.
bool TypeText(WindowHandle edit, std::string_view text);

// Clicks a combo box open and picks the item at `index` from its list.
bool ChooseComboItem(WindowHandle combo, int index);

// Translates and dispatches every waiting message of the calling thread
// (paint messages included) and returns how many were handled. Stops after
// `limit` messages so that a window that keeps posting cannot hang a test.
int PumpAllMessages(int limit = 100000);

}  // namespace platform
