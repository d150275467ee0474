// Handle and procedure types of the platform's window system.
#pragma once

#include <cstdint>

struct PlatformWindow;
struct PlatformFont;
struct PlatformBrush;

using WindowHandle = PlatformWindow*;
using FontHandle = PlatformFont*;
using BrushHandle = PlatformBrush*;

// A window procedure: answers one message sent to a window. Replacing a
// window's procedure returns the previous one so the new one can chain to it.
using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wparam,
                                intptr_t lparam);
