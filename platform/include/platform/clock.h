// Time: sleeps and the tick count go through one process-wide clock, which a
// host can replace (the stand-in simulator replays flights in virtual time).
#pragma once
#include <cstdint>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Blocks the calling thread for the given milliseconds of this clock's time.
  virtual void Sleep(uint32_t milliseconds) = 0;
  // Milliseconds since the clock started.
  virtual uint64_t TickCount() = 0;
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
