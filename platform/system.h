// Kernel services: the millisecond tick count, local time, threads with timed waits.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>

namespace platform {

// Milliseconds of a steady clock since an arbitrary start (the system's
// boot on most machines); never goes backwards.
uint64_t TickCountMs();

// The local calendar date and wall-clock time.
struct LocalDateTime {
  int year;    // e.g. 2026
  int month;   // 1 to 12
  int day;     // 1 to 31
  int hour;    // 0 to 23
  int minute;  // 0 to 59
  int second;  // 0 to 60 (a leap second)
  int millisecond;
};

LocalDateTime LocalNow();

// The value of the process's environment variable `name`; false when it is
// not set.
bool EnvironmentValue(const char* name, std::string* value);

// A timeout meaning "as long as it takes".
constexpr int64_t kWaitForever = -1;

// A thread of the system that can be waited for with a timeout. The owner
// waits for it to end when it is destroyed, so no thread outlives the data
// it was given.
class Thread {
 public:
  Thread() = default;
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  Thread(Thread&& other) noexcept = default;
  Thread& operator=(Thread&& other) noexcept;

  // Starts body on a new thread. False when this object already holds a
  // thread that has not been joined, or the system cannot start one. An
  // exception leaving body ends the thread quietly.
  bool Start(std::function<void()> body);

  // Waits up to timeout_ms (kWaitForever: no limit) for the thread to end.
  // True when it has ended, and then it is joined; true at once when no
  // thread was started.
  bool WaitFor(int64_t timeout_ms);

  // Waits without limit.
  void Join() { WaitFor(kWaitForever); }

  // True from a successful Start until the thread has been joined.
  bool Joinable() const { return thread_.joinable(); }

 private:
  friend bool WaitForThreads(std::span<Thread> threads, int64_t timeout_ms);
  using Deadline = std::chrono::steady_clock::time_point;
  bool WaitUntil(const Deadline* deadline);

  struct State {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
  };
  std::shared_ptr<State> state_;
  std::thread thread_;
};

// Waits up to timeout_ms in all (kWaitForever: no limit) until every thread
// has ended. True when all have ended (each is then joined); false on time-out,
// leaving the ones still running untouched.
bool WaitForThreads(std::span<Thread> threads, int64_t timeout_ms);

}  // namespace platform
