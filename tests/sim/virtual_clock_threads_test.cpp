// Threads the platform starts leave the virtual clock when they end, on every
// system: a thread that stayed on the clock's list would count as awake for
// ever and time would stop for every other sleeper (the module's shut-down
// waited on its worker without end on Windows).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/clock.h"
#include "platform/threads.h"
#include "virtual_clock.h"

namespace sim {
namespace {

struct SleeperRun {
  VirtualClock* clock;
  int sleeps;
  std::atomic<int> woken{0};
  std::atomic<bool> returned{false};
};

uint32_t SleepThenEnd(void* argument) {
  auto* run = static_cast<SleeperRun*>(argument);
  // Time runs by itself: with this thread the only sleeper, each pause ends
  // at once, at the next instant.
  run->clock->SetFreeRunning(true);
  for (int i = 0; i < run->sleeps; ++i) {
    platform::Sleep(250);
    run->woken.fetch_add(1);
  }
  run->returned = true;
  return 0;
}

bool WaitFor(const std::function<bool()>& condition) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

TEST(VirtualClockThreads, ThreadsStartedByThePlatformLeaveTheClockWhenTheyEnd) {
  VirtualClock clock;
  platform::SetClock(&clock);
  SleeperRun first{&clock, 3}, second{&clock, 1};
  ASSERT_NE(platform::CreateThread(SleepThenEnd, &first), 0u);
  ASSERT_TRUE(WaitFor([&] { return first.returned.load(); }));
  EXPECT_EQ(first.woken.load(), 3);
  EXPECT_TRUE(WaitFor([&] { return clock.SleeperCount() == 0; })) << "the ended thread is still on the clock";
  EXPECT_EQ(clock.NowMicroseconds(), 750000);

  // A second thread on the same clock is not held up by the first.
  ASSERT_NE(platform::CreateThread(SleepThenEnd, &second), 0u);
  ASSERT_TRUE(WaitFor([&] { return second.returned.load(); })) << "time stopped: an earlier thread never left";
  EXPECT_TRUE(WaitFor([&] { return clock.SleeperCount() == 0; }));
  EXPECT_EQ(clock.NowMicroseconds(), 1000000);
  platform::SetClock(nullptr);
}

}  // namespace
}  // namespace sim
