// Time: sleeps and the tick count go through one process-wide clock, which a
// host can replace (the stand-in simulator replays flights in virtual time).
#pragma once
#include <cstdint>
#include <functional>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Blocks the calling thread for the given milliseconds of this clock's time.
  virtual void Sleep(uint32_t milliseconds) = 0;
  // Milliseconds since the clock started.
  virtual uint64_t TickCount() = 0;
  // Sleep that ends early once `done` returns true: a pause that another
  // thread can cut short (a worker's pause between passes, ended by its exit
  // event). Whoever makes `done` true calls WakeSleepers afterwards. `done` is
  // called under the clock's own lock, so it may only read state that needs
  // no lock (an atomic). Returns done() as the sleep ends.
  virtual bool SleepUnless(uint32_t milliseconds, const std::function<bool()>& done) = 0;
  // Ends the SleepUnless sleeps whose condition has become true.
  virtual void WakeSleepers() = 0;
  // A thread being started through platform::CreateThread. A clock that
  // keeps count of its threads (the stand-in's virtual clock) counts it from
  // here on, awake: time does not move until it has started and paused, and
  // threads are counted in the order they were started. Returns a ticket the
  // new thread hands to ThreadStarts before anything else (or, when the
  // thread could not be started, the starter to ThreadAbandoned).
  virtual uint64_t AdmitThread() { return 0; }
  virtual void ThreadStarts(uint64_t ticket) { (void)ticket; }
  virtual void ThreadAbandoned(uint64_t ticket) { (void)ticket; }
  // Called on a thread started by CreateThread as its function returns, while
  // the thread's own storage is still valid: a clock that keeps threads on a
  // list lets this one go.
  virtual void ThreadEnding() {}
};

// The wall clock (steady time).
Clock& SystemClock();

// The clock in use; the system clock unless a host installed another.
Clock& CurrentClock();
// Installs a clock (null restores the system clock). The clock must outlive
// every sleeper.
void SetClock(Clock* clock);

void Sleep(uint32_t milliseconds);
uint32_t GetTickCount();

}  // namespace platform
