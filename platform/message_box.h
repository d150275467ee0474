// Message boxes and the beep, answered by a pluggable responder.
//
// Headless, a message box has nobody to click it: every box is recorded and
// handed to the responder, which chooses the button. Without a responder the
// first button (OK) is the answer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window_types.h"

namespace platform {

inline constexpr uint32_t kMbOk = 0x00;
inline constexpr uint32_t kMbOkCancel = 0x01;
inline constexpr uint32_t kMbButtonMask = 0x0F;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbIconWarning = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr uint32_t kMbIconMask = 0xF0;

// The caption of a box shown with none.
inline constexpr const char* kDefaultMessageBoxCaption = "Error";

struct MessageBoxRecord {
  WindowHandle owner = nullptr;
  std::string text;
  std::string caption;
  uint32_t flags = 0;
  int answer = 0;  // kIdOk or kIdCancel
};

// Chooses the answer to a box; an answer that the box has no button for is
// taken as its first button.
using MessageBoxResponder = int (*)(const MessageBoxRecord& box, void* context);
void SetMessageBoxResponder(MessageBoxResponder responder, void* context);

// Shows a box (a null caption takes the default) and returns the button.
int MessageBox(WindowHandle owner, const std::string& text, const char* caption, uint32_t flags);
void Beep();

// What was shown since the last clear, in order.
std::vector<MessageBoxRecord> ShownMessageBoxes();
int BeepCount();
void ClearMessageBoxRecords();

}  // namespace platform
