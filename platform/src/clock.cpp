// The process-wide clock: the steady wall clock unless a host installs its own.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

class SteadyClock : public Clock {
 public:
  void Sleep(uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  uint64_t TickCount() override {
    auto elapsed = std::chrono::steady_clock::now() - start_;
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

std::atomic<Clock*> g_clock{nullptr};

}  // namespace

Clock& SystemClock() {
  static SteadyClock clock;
  return clock;
}

Clock& CurrentClock() {
  Clock* clock = g_clock.load();
  return clock ? *clock : SystemClock();
}

void SetClock(Clock* clock) { g_clock.store(clock); }

void Sleep(uint32_t milliseconds) { CurrentClock().Sleep(milliseconds); }

uint32_t GetTickCount() { return static_cast<uint32_t>(CurrentClock().TickCount()); }

}  // namespace platform
