// The virtual clock: sleepers wake at their exact instants, time moves only
// when every sleeper is asleep, and shut-down can run freely; a sleep can be
// cut short by its condition; threads started through the platform count
// from their start; a retired clock hands its sleepers to the wall clock.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/threads.h"
#include "virtual_clock.h"

namespace sim {
namespace {

TEST(VirtualClock, SleepersWakeAtTheirInstantsAndRunBeforeTimeMovesOn) {
  VirtualClock clock;
  std::mutex mutex;
  std::vector<std::pair<char, int64_t>> wakes;  // who woke, at which instant
  std::atomic<bool> stop{false};
  auto sleeper = [&](char name, uint32_t period) {
    while (!stop.load()) {
      clock.Sleep(period);
      std::this_thread::sleep_for(std::chrono::microseconds(200));  // work that takes real time
      std::lock_guard<std::mutex> lock(mutex);
      wakes.emplace_back(name, clock.NowMicroseconds());
    }
  };
  std::thread a(sleeper, 'a', 250), b(sleeper, 'b', 1000);
  ASSERT_TRUE(clock.WaitForSleepers(2, std::chrono::seconds(10)));
  std::vector<int64_t> hops;
  for (int frame = 1; frame <= 60; ++frame)  // two seconds of 30 Hz frames
    clock.AdvanceTo(frame * 1000000LL / 30, [&] { hops.push_back(clock.NowMicroseconds()); });
  EXPECT_EQ(clock.NowMicroseconds(), 2000000);
  EXPECT_EQ(clock.TickCount(), 2000u);
  {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::pair<char, int64_t>> expected = {{'a', 250000},  {'a', 500000},  {'a', 750000},  {'a', 1000000},
                                                      {'b', 1000000}, {'a', 1250000}, {'a', 1500000}, {'a', 1750000},
                                                      {'a', 2000000}, {'b', 2000000}};
    // At a shared instant both run before time moves; which of the two
    // joined the clock first is up to the threads here, so compare sorted.
    std::sort(wakes.begin(), wakes.end(),
              [](auto x, auto y) { return x.second != y.second ? x.second < y.second : x.first < y.first; });
    EXPECT_EQ(wakes, expected);
  }
  // One hop per wake-up: sleepers due at the same instant wake one by one.
  EXPECT_EQ(hops, (std::vector<int64_t>{250000, 500000, 750000, 1000000, 1000000, 1250000, 1500000, 1750000, 2000000,
                                        2000000}));

  // Shut-down, as a module stops: time runs by itself, but only once the
  // stopping thread sleeps too; until then nobody races ahead.
  clock.SetFreeRunning(true);
  size_t wakesBefore;
  {
    std::lock_guard<std::mutex> lock(mutex);
    wakesBefore = wakes.size();
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  {
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(wakes.size(), wakesBefore);
  }
  stop = true;
  while (clock.SleeperCount() > 1) clock.Sleep(250);
  a.join();
  b.join();
  EXPECT_EQ(clock.NowMicroseconds(), 3000000) << "b wakes at 3 s before this thread, which joined later";
  EXPECT_EQ(clock.SleeperCount(), 1u) << "ended threads leave the clock; this one stays";
}

TEST(VirtualClock, AThreadSleepingWhileFreeRunningIsWokenWithoutADriver) {
  VirtualClock clock;
  clock.SetFreeRunning(true);
  clock.Sleep(250);  // the simulator's own thread, as when a module stops
  clock.Sleep(250);
  EXPECT_EQ(clock.NowMicroseconds(), 500000);
  EXPECT_FALSE(clock.WaitForSleepers(2, std::chrono::milliseconds(10)));
}

TEST(VirtualClock, ASleepWhoseConditionComesTrueEndsAtOnceWithoutTimeMoving) {
  VirtualClock clock;
  std::atomic<bool> stop{false};
  std::atomic<int> result{-1};
  std::thread worker([&] { result = clock.SleepUnless(60000, [&] { return stop.load(); }) ? 1 : 0; });
  ASSERT_TRUE(clock.WaitForSleepers(1, std::chrono::seconds(10)));
  clock.WakeSleepers();  // nothing has changed: it sleeps on
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(result.load(), -1);
  stop = true;
  clock.WakeSleepers();
  worker.join();
  EXPECT_EQ(result.load(), 1);
  EXPECT_EQ(clock.NowMicroseconds(), 0);

  // A condition that stays false: the sleep ends at its instant, false.
  std::thread sleeper([&] { result = clock.SleepUnless(500, [] { return false; }) ? 1 : 0; });
  ASSERT_TRUE(clock.WaitForSleepers(1, std::chrono::seconds(10)));
  clock.AdvanceTo(499999);
  EXPECT_EQ(result.load(), 1) << "not woken before its instant";
  clock.AdvanceTo(500000);
  sleeper.join();
  EXPECT_EQ(result.load(), 0);
}

TEST(VirtualClock, ThreadsStartedThroughThePlatformHoldTimeFromTheirStartAndWakeInTheirOrder) {
  VirtualClock clock;
  platform::SetClock(&clock);
  struct Shared {
    std::mutex mutex;
    std::vector<std::pair<char, int64_t>> wakes;
    std::atomic<bool> go{false}, stop{false};
    std::atomic<int> ended{0};
    VirtualClock* clock;
  } shared;
  shared.clock = &clock;
  struct Start {
    Shared* shared;
    char name;
    int delayMs;  // real time before its first pause
  };
  auto run = [](void* argument) -> uint32_t {
    auto* start = static_cast<Start*>(argument);
    Shared& s = *start->shared;
    while (!s.go.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(start->delayMs));
    while (!s.stop.load()) {
      platform::Sleep(250);
      std::lock_guard<std::mutex> lock(s.mutex);
      s.wakes.emplace_back(start->name, s.clock->NowMicroseconds());
    }
    ++s.ended;
    return 0;
  };
  // A is started first but pauses later than B.
  Start a{&shared, 'a', 30}, b{&shared, 'b', 0};
  ASSERT_NE(platform::CreateThread(run, &a), 0u);
  ASSERT_NE(platform::CreateThread(run, &b), 0u);
  EXPECT_FALSE(clock.WaitForSleepers(1, std::chrono::milliseconds(50))) << "both are awake until they pause";
  shared.go = true;
  ASSERT_TRUE(clock.WaitForSleepers(2, std::chrono::seconds(10)));
  clock.AdvanceTo(500000);
  {
    std::lock_guard<std::mutex> lock(shared.mutex);
    std::vector<std::pair<char, int64_t>> expected = {{'a', 250000}, {'b', 250000}, {'a', 500000}, {'b', 500000}};
    EXPECT_EQ(shared.wakes, expected) << "at a shared instant, in the order they were started";
  }
  shared.stop = true;
  clock.SetFreeRunning(true);
  while (shared.ended.load() < 2) clock.Sleep(250);
  platform::SetClock(nullptr);
}

TEST(VirtualClock, ARetiredClockHandsItsSleepersToTheWallClock) {
  auto clock = std::make_unique<VirtualClock>();
  std::atomic<bool> woke{false};
  std::thread sleeper([&] {
    clock->Sleep(3600 * 1000);  // an hour of flight: only the retirement ends it
    woke = true;
  });
  ASSERT_TRUE(clock->WaitForSleepers(1, std::chrono::seconds(10)));
  clock->Retire();
  sleeper.join();
  EXPECT_TRUE(woke.load());
  EXPECT_EQ(clock->NowMicroseconds(), 0) << "time did not move";
  // A sleep that still reaches the clock is the wall clock's: it ends.
  clock->Sleep(5);
  EXPECT_FALSE(clock->SleepUnless(5, [] { return false; }));
  EXPECT_EQ(clock->NowMicroseconds(), 0);
  clock.reset();
}

}  // namespace
}  // namespace sim
