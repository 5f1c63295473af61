// Virtual time for replays. Installed as the platform clock, it holds every
// thread that sleeps on it until the simulator moves time on, and the
// simulator moves time on only when all of them are asleep: each wake-up
// happens at its exact virtual instant, one thread at a time, and the woken
// thread runs to its next sleep before anything else moves. The same flight therefore
// drives the module's worker through the same cycles at the same instants on
// any machine, and as fast as the work allows.
//
// A thread joins the clock when it is started through the platform (or else
// at its first Sleep) and leaves it when it ends (see ThreadEnding).
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
  // A sleeper whose condition comes true wakes at once, at the present
  // instant, without time moving: a worker told to stop by a thread that is
  // not on the clock (or that waits for it in real time) ends without waiting
  // for the flight to go on.
  bool SleepUnless(uint32_t milliseconds, const std::function<bool()>& done) override;
  void WakeSleepers() override;
  // Threads started through the platform join the clock as they start,
  // awake, in the order they were started; other threads join at their
  // first sleep.
  uint64_t AdmitThread() override;
  void ThreadStarts(uint64_t ticket) override;
  void ThreadAbandoned(uint64_t ticket) override;
  void ThreadEnding() override;  // the calling thread leaves the clock

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

  // The clock's time is over (the replay ends; the host has put the system
  // clock back): the threads still sleeping on it wake now, and any sleep
  // that still reaches this clock is the wall clock's. A thread that outlives
  // the replay (the audio library's worker lives as long as its engine) goes
  // on in real time. Returns once no thread is inside the clock; the
  // destructor retires the clock too.
  void Retire();

  // Used by a thread's registration when the thread ends.
  void Forget(uint64_t key);

 private:
  struct Sleeper {
    int64_t wakeAt = 0;
    bool asleep = false;
    bool woken = false;
    const std::function<bool()>* done = nullptr;  // while in SleepUnless
  };
  bool AllAsleepLocked(uint64_t except) const;
  // Wakes the earliest sleeper when its instant is at most limit.
  bool WakeNextLocked(int64_t limit);
  void RunFreelyLocked();

  mutable std::mutex mutex_;
  std::condition_variable changed_;  // a sleeper fell asleep or left
  std::condition_variable wake_;     // time moved on
  std::condition_variable left_;     // a thread left SleepUnless
  int64_t now_ = 0;
  bool freeRunning_ = false;
  bool retired_ = false;
  int inside_ = 0;  // threads in SleepUnless
  uint64_t id_;
  std::map<uint64_t, Sleeper> sleepers_;
};

}  // namespace sim
