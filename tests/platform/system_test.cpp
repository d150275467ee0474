// Tick count, local time and threads with timed waits.
#include "platform/system.h"

#include <gtest/gtest.h>

#include <atomic>
#include <semaphore>
#include <stdexcept>
#include <vector>

namespace platform {
namespace {

TEST(ClockTest, TicksNeverGoBackAndTheLocalDateIsACalendarDate) {
  const uint64_t first = TickCountMs();
  EXPECT_GE(TickCountMs(), first);
  const LocalDateTime now = LocalNow();
  EXPECT_GE(now.year, 2000);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  EXPECT_LE(now.hour, 23);
  EXPECT_LE(now.millisecond, 999);
}

TEST(ThreadTest, TimedWaitTimesOutWhileTheThreadRunsAndJoinsWhenItEnds) {
  std::binary_semaphore release(0);
  std::atomic<int> result{0};
  Thread thread;
  ASSERT_TRUE(thread.Start([&] {
    release.acquire();
    result.store(42, std::memory_order_relaxed);
  }));
  EXPECT_FALSE(thread.Start([] {})) << "one thread per object at a time";
  EXPECT_FALSE(thread.WaitFor(10));
  EXPECT_FALSE(thread.WaitFor(0));
  EXPECT_TRUE(thread.Joinable());
  release.release();
  EXPECT_TRUE(thread.WaitFor(kWaitForever));
  EXPECT_FALSE(thread.Joinable());
  EXPECT_EQ(result.load(std::memory_order_relaxed), 42);
  EXPECT_TRUE(thread.WaitFor(0)) << "waiting for an ended thread returns at once";

  ASSERT_TRUE(thread.Start([&] { result.store(7, std::memory_order_relaxed); }))
      << "a joined object starts again";
  thread.Join();
  EXPECT_EQ(result.load(std::memory_order_relaxed), 7);
}

TEST(ThreadTest, WaitsForSeveralThreadsWithOneTimeout) {
  std::counting_semaphore<8> release(0);
  std::vector<int> slots(4, 0);
  std::vector<Thread> threads(4);
  for (size_t i = 0; i < threads.size(); ++i) {
    ASSERT_TRUE(threads[i].Start([&, i] {
      if (i == 2) release.acquire();  // one straggler
      slots[i] = static_cast<int>(i) + 1;
    }));
  }
  EXPECT_FALSE(WaitForThreads(threads, 10));
  release.release();
  EXPECT_TRUE(WaitForThreads(threads, kWaitForever));
  EXPECT_EQ(slots, (std::vector<int>{1, 2, 3, 4}));
  for (const Thread& t : threads) EXPECT_FALSE(t.Joinable());
}

TEST(ThreadTest, AnExceptionEndsOnlyItsThread) {
  Thread thread;
  ASSERT_TRUE(thread.Start([] { throw std::runtime_error("worker failed"); }));
  EXPECT_TRUE(thread.WaitFor(kWaitForever));
}

TEST(ThreadTest, DestroyingOrReplacingWaitsForTheRunningThread) {
  std::atomic<int> ended{0};
  {
    Thread a;
    ASSERT_TRUE(a.Start([&] { ended.fetch_add(1, std::memory_order_relaxed); }));
    Thread b;
    ASSERT_TRUE(b.Start([&] { ended.fetch_add(1, std::memory_order_relaxed); }));
    a = std::move(b);  // joins a's first thread, then owns b's
  }
  EXPECT_EQ(ended.load(std::memory_order_relaxed), 2);
}

}  // namespace
}  // namespace platform
