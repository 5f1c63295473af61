// The virtual clock of replays.
#include "virtual_clock.h"

#include <atomic>
#include <limits>

namespace sim {
namespace {

std::atomic<uint64_t> g_nextKey{1};
std::atomic<uint64_t> g_nextClockId{1};

// The clocks alive now, so that a thread ending after its clock is gone does
// not reach it.
std::mutex g_liveMutex;
std::map<uint64_t, VirtualClock*> g_live;

// A thread's membership of one clock; the thread leaves it when it ends.
//
// Threads started by platform::CreateThread leave through ThreadEnding, before
// their function's return completes. Other threads leave as their
// thread-local storage is destroyed, except on Windows: there the compiler's
// emulated thread-local storage may free a thread's objects before their
// destructors run (a destructor read a freed key and the thread never left,
// so time stopped for everyone), so a Windows thread that sleeps on the clock
// must be one that CreateThread started.
struct Membership {
  uint64_t key = g_nextKey.fetch_add(1);
  uint64_t clockId = 0;
  void Leave() {
    std::lock_guard<std::mutex> lock(g_liveMutex);
    auto it = g_live.find(clockId);
    if (it != g_live.end()) it->second->Forget(key);
    clockId = 0;
  }
#ifndef _WIN32
  ~Membership() { Leave(); }
#endif
};

thread_local Membership t_membership;

}  // namespace

VirtualClock::VirtualClock() : id_(g_nextClockId.fetch_add(1)) {
  std::lock_guard<std::mutex> lock(g_liveMutex);
  g_live[id_] = this;
}

VirtualClock::~VirtualClock() {
  Retire();
  std::lock_guard<std::mutex> lock(g_liveMutex);
  g_live.erase(id_);
}

void VirtualClock::Retire() {
  std::unique_lock<std::mutex> lock(mutex_);
  retired_ = true;
  for (auto& [key, sleeper] : sleepers_) {
    if (!sleeper.asleep) continue;
    sleeper.asleep = false;
    sleeper.woken = true;
  }
  wake_.notify_all();
  left_.wait(lock, [&] { return inside_ == 0; });
}

void VirtualClock::Sleep(uint32_t milliseconds) { SleepUnless(milliseconds, {}); }

bool VirtualClock::SleepUnless(uint32_t milliseconds, const std::function<bool()>& done) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (retired_) {
    lock.unlock();
    return done ? platform::SystemClock().SleepUnless(milliseconds, done)
                : (platform::SystemClock().Sleep(milliseconds), false);
  }
  if (done && done()) return true;
  t_membership.clockId = id_;
  uint64_t key = t_membership.key;
  ++inside_;
  Sleeper& me = sleepers_[key];
  me.wakeAt = now_ + static_cast<int64_t>(milliseconds) * 1000;
  me.asleep = true;
  me.woken = false;
  me.done = done ? &done : nullptr;
  changed_.notify_all();
  if (freeRunning_) RunFreelyLocked();
  wake_.wait(lock, [&] { return sleepers_[key].woken; });
  sleepers_[key].woken = false;
  sleepers_[key].done = nullptr;
  --inside_;
  left_.notify_all();
  return done && done();
}

uint64_t VirtualClock::AdmitThread() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (retired_) return 0;
  uint64_t key = g_nextKey.fetch_add(1);
  sleepers_.try_emplace(key);  // awake until its first sleep
  return key;
}

void VirtualClock::ThreadStarts(uint64_t ticket) {
  if (ticket == 0) return;
  t_membership.key = ticket;
  t_membership.clockId = id_;
}

void VirtualClock::ThreadAbandoned(uint64_t ticket) {
  if (ticket != 0) Forget(ticket);
}

void VirtualClock::WakeSleepers() {
  std::lock_guard<std::mutex> lock(mutex_);
  bool any = false;
  for (auto& [key, sleeper] : sleepers_) {
    if (!sleeper.asleep || sleeper.done == nullptr || !(*sleeper.done)()) continue;
    sleeper.asleep = false;
    sleeper.woken = true;
    any = true;
  }
  if (any) wake_.notify_all();
}

uint64_t VirtualClock::TickCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<uint64_t>(now_ / 1000);
}

int64_t VirtualClock::NowMicroseconds() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return now_;
}

bool VirtualClock::AllAsleepLocked(uint64_t except) const {
  for (const auto& [key, sleeper] : sleepers_)
    if (key != except && !sleeper.asleep) return false;
  return true;
}

bool VirtualClock::WakeNextLocked(int64_t limit) {
  // One sleeper at a time, the earliest first and, at a shared instant, the
  // one that joined the clock first: threads never run side by side, so what
  // they do comes in the same order in every run.
  Sleeper* next = nullptr;
  for (auto& [key, sleeper] : sleepers_)
    if (sleeper.asleep && (next == nullptr || sleeper.wakeAt < next->wakeAt)) next = &sleeper;
  if (next == nullptr || next->wakeAt > limit) return false;
  if (next->wakeAt > now_) now_ = next->wakeAt;
  next->asleep = false;
  next->woken = true;
  wake_.notify_all();
  return true;
}

void VirtualClock::RunFreelyLocked() {
  if (AllAsleepLocked(0)) WakeNextLocked(std::numeric_limits<int64_t>::max());
}

void VirtualClock::AdvanceTo(int64_t until, const std::function<void()>& afterHop) {
  uint64_t self = t_membership.clockId == id_ ? t_membership.key : 0;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return AllAsleepLocked(self); });
    if (!WakeNextLocked(until)) break;
    changed_.wait(lock, [&] { return AllAsleepLocked(self); });
    if (afterHop) {
      lock.unlock();
      afterHop();
      lock.lock();
    }
  }
  if (until > now_) now_ = until;
}

bool VirtualClock::WaitForSleepers(size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return sleepers_.size() >= count && AllAsleepLocked(0); });
}

void VirtualClock::SetFreeRunning(bool freeRunning) {
  // The calling thread joins the clock awake: time moves on only once it
  // sleeps too, so the other sleepers do not race ahead while it is busy.
  t_membership.clockId = id_;
  std::lock_guard<std::mutex> lock(mutex_);
  sleepers_.try_emplace(t_membership.key);
  freeRunning_ = freeRunning;
  if (freeRunning_) RunFreelyLocked();
}

void VirtualClock::ThreadEnding() {
  if (t_membership.clockId != 0) t_membership.Leave();
}

size_t VirtualClock::SleeperCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sleepers_.size();
}

void VirtualClock::Forget(uint64_t key) {
  std::lock_guard<std::mutex> lock(mutex_);
  sleepers_.erase(key);
  changed_.notify_all();
  if (freeRunning_) RunFreelyLocked();
}

}  // namespace sim
