// Virtual time for replays. Installed as the platform clock, it holds every
// thread that sleeps on it until the simulator moves time on, and the
// simulator moves time on only when all of them are asleep: each wake-up
// happens at its exact virtual instant, one thread at a time, and the woken
// thread runs to its next sleep before anything else moves. The same flight therefore
// drives the module's worker through the same cycles at the same instants on
// any machine, and as fast as the work allows.
//
// A thread joins the clock at its first Sleep and leaves it when it ends.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

#include "platform/clock.h"

namespace sim {

class VirtualClock : public platform::Clock {
 public:
  VirtualClock();
  ~VirtualClock() override;
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;

  void Sleep(uint32_t milliseconds) override;
  uint64_t TickCount() override;  // milliseconds of virtual time

  int64_t NowMicroseconds() const;

  // Moves time on to `until` (microseconds): every sleeper due by then wakes
  // at its own instant, in order, and runs until it sleeps again (or ends);
  // afterHop runs on the calling thread at each such instant once all are
  // asleep again. Returns with time at `until` and every sleeper asleep.
  void AdvanceTo(int64_t until, const std::function<void()>& afterHop = {});

  // Waits in real time until at least `count` threads sleep on the clock and
  // every one of them is asleep; false when timeout passes first.
  bool WaitForSleepers(size_t count, std::chrono::milliseconds timeout);

  // While free-running, time moves on by itself whenever every sleeper is
  // asleep: for shut-down, when the simulator's own thread sleeps too. The
  // calling thread counts as awake from then on until it sleeps.
  void SetFreeRunning(bool freeRunning);

  size_t SleeperCount() const;

  // Used by a thread's registration when the thread ends.
  void Forget(uint64_t key);

 private:
  struct Sleeper {
    int64_t wakeAt = 0;
    bool asleep = false;
    bool woken = false;
  };
  bool AllAsleepLocked(uint64_t except) const;
  // Wakes the earliest sleeper when its instant is at most limit.
  bool WakeNextLocked(int64_t limit);
  void RunFreelyLocked();

  mutable std::mutex mutex_;
  std::condition_variable changed_;  // a sleeper fell asleep or left
  std::condition_variable wake_;     // time moved on
  int64_t now_ = 0;
  bool freeRunning_ = false;
  uint64_t id_;
  std::map<uint64_t, Sleeper> sleepers_;
};

}  // namespace sim
