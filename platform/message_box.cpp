// Message boxes and the beep, answered by a pluggable responder.
#include "platform/message_box.h"

#include <mutex>

#include "platform/window.h"

namespace platform {
namespace {

struct MessageBoxState {
  std::mutex mutex;
  MessageBoxResponder responder = nullptr;
  void* context = nullptr;
  std::vector<MessageBoxRecord> shown;
  int beeps = 0;
};

MessageBoxState& State() {
  static MessageBoxState* state = new MessageBoxState();  // lives as long as the process
  return *state;
}

}  // namespace

void SetMessageBoxResponder(MessageBoxResponder responder, void* context) {
  MessageBoxState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.responder = responder;
  state.context = context;
}

int MessageBox(WindowHandle owner, const std::string& text, const char* caption, uint32_t flags) {
  MessageBoxRecord box;
  box.owner = owner;
  box.text = text;
  box.caption = caption != nullptr ? caption : kDefaultMessageBoxCaption;
  box.flags = flags;
  MessageBoxResponder responder;
  void* context;
  {
    MessageBoxState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    responder = state.responder;
    context = state.context;
  }
  // The responder runs unlocked: it may show a box of its own.
  int answer = responder != nullptr ? responder(box, context) : kIdOk;
  const bool has_cancel = (flags & kMbButtonMask) == kMbOkCancel;
  if (answer != kIdOk && !(has_cancel && answer == kIdCancel)) answer = kIdOk;
  box.answer = answer;
  MessageBoxState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.shown.push_back(box);
  return answer;
}

void Beep() {
  MessageBoxState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  ++state.beeps;
}

std::vector<MessageBoxRecord> ShownMessageBoxes() {
  MessageBoxState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.shown;
}

int BeepCount() {
  MessageBoxState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.beeps;
}

void ClearMessageBoxRecords() {
  MessageBoxState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.shown.clear();
  state.beeps = 0;
}

}  // namespace platform
