// Named events: a process-wide table from name to a weakly held event, so an
// event disappears with its last holder and its name becomes free again.
#include "named_event.h"

#include <chrono>
#include <map>

#include "platform/clock.h"

namespace vscaudio {
namespace {

struct EventTable {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<Event>> events;
};

// Never destroyed: a worker may still close its events while the process exits.
EventTable& Table() {
  static auto* table = new EventTable;
  return *table;
}

}  // namespace

void Event::Set() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    state_ = true;
    signalled_.notify_all();
  }
  platform::CurrentClock().WakeSleepers();
}

void Event::Reset() {
  std::lock_guard<std::mutex> hold(mutex_);
  state_ = false;
}

bool Event::Wait(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> hold(mutex_);
  return signalled_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return state_.load(); });
}

bool Event::WaitOnClock(uint32_t timeoutMs) {
  return platform::CurrentClock().SleepUnless(timeoutMs, [this] { return state_.load(); });
}

std::shared_ptr<Event> CreateNamedEvent(const std::string& name) {
  if (name.empty()) return nullptr;
  EventTable& table = Table();
  std::lock_guard<std::mutex> hold(table.mutex);
  auto& slot = table.events[name];
  if (auto existing = slot.lock()) return existing;
  auto created = std::make_shared<Event>();
  slot = created;
  return created;
}

std::shared_ptr<Event> OpenNamedEvent(const std::string& name) {
  EventTable& table = Table();
  std::lock_guard<std::mutex> hold(table.mutex);
  auto found = table.events.find(name);
  if (found == table.events.end()) return nullptr;
  auto existing = found->second.lock();
  if (!existing) table.events.erase(found);
  return existing;
}

}  // namespace vscaudio
