// The process-wide clock: the steady wall clock unless a host installs its own.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {
namespace {

class SteadyClock : public Clock {
 public:
  void Sleep(uint32_t milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
  uint64_t TickCount() override {
    auto elapsed = std::chrono::steady_clock::now() - start_;
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
  }
  bool SleepUnless(uint32_t milliseconds, const std::function<bool()>& done) override {
    std::unique_lock<std::mutex> lock(mutex_);
    return woken_.wait_for(lock, std::chrono::milliseconds(milliseconds), done);
  }
  void WakeSleepers() override {
    { std::lock_guard<std::mutex> lock(mutex_); }
    woken_.notify_all();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::mutex mutex_;
  std::condition_variable woken_;
};

std::atomic<Clock*> g_clock{nullptr};

}  // namespace

Clock& SystemClock() {
  // Never destroyed: threads that outlive main (the audio library's worker
  // runs until the process ends) still sleep on it while statics are torn down.
  static SteadyClock* clock = new SteadyClock;
  return *clock;
}

Clock& CurrentClock() {
  Clock* clock = g_clock.load();
  return clock ? *clock : SystemClock();
}

void SetClock(Clock* clock) { g_clock.store(clock); }

void Sleep(uint32_t milliseconds) { CurrentClock().Sleep(milliseconds); }

uint32_t GetTickCount() { return static_cast<uint32_t>(CurrentClock().TickCount()); }

}  // namespace platform
