// Tick count, local time and threads over the standard library and libc.
#include "platform/system.h"

#include <cstdlib>
#include <ctime>
#include <system_error>
#include <utility>

namespace platform {

uint64_t TickCountMs() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

bool EnvironmentValue(const char* name, std::string* value) {
  const char* v = name ? std::getenv(name) : nullptr;
  if (!v) return false;
  if (value) *value = v;
  return true;
}

LocalDateTime LocalNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  if (!localtime_r(&seconds, &local)) return LocalDateTime{1970, 1, 1, 0, 0, 0, 0};
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return LocalDateTime{local.tm_year + 1900,
                       local.tm_mon + 1,
                       local.tm_mday,
                       local.tm_hour,
                       local.tm_min,
                       local.tm_sec,
                       static_cast<int>(ms < 0 ? 0 : ms)};
}

Thread::~Thread() {
  Join();
}

Thread& Thread::operator=(Thread&& other) noexcept {
  if (this != &other) {
    Join();
    state_ = std::move(other.state_);
    thread_ = std::move(other.thread_);
  }
  return *this;
}

bool Thread::Start(std::function<void()> body) {
  if (thread_.joinable()) return false;
  auto state = std::make_shared<State>();
  try {
    thread_ = std::thread([state, body = std::move(body)]() {
      try {
        if (body) body();
      } catch (...) {
        // Nothing may leave a thread of the plug-in; the waiter only needs
        // to learn that it ended.
      }
      std::lock_guard<std::mutex> lock(state->mutex);
      state->done = true;
      state->ended.notify_all();
    });
  } catch (const std::system_error&) {
    return false;
  }
  state_ = std::move(state);
  return true;
}

bool Thread::WaitUntil(const Deadline* deadline) {
  if (!thread_.joinable()) return true;
  {
    std::unique_lock<std::mutex> lock(state_->mutex);
    auto done = [this] { return state_->done; };
    if (deadline) {
      if (!state_->ended.wait_until(lock, *deadline, done)) return false;
    } else {
      state_->ended.wait(lock, done);
    }
  }
  thread_.join();
  return true;
}

bool Thread::WaitFor(int64_t timeout_ms) {
  if (timeout_ms < 0) return WaitUntil(nullptr);
  const Deadline deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  return WaitUntil(&deadline);
}

bool WaitForThreads(std::span<Thread> threads, int64_t timeout_ms) {
  const Thread::Deadline* limit = nullptr;
  Thread::Deadline deadline;
  if (timeout_ms >= 0) {
    deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    limit = &deadline;
  }
  // One shared deadline: a thread that ends early leaves its share of the
  // time to the others.
  bool all = true;
  for (Thread& t : threads) {
    if (!t.WaitUntil(limit)) all = false;
  }
  return all;
}

}  // namespace platform
