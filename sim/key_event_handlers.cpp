// The simulator's list of key-event handlers.
#include "key_event_handlers.h"

#include <algorithm>

namespace sim {

void KeyEventHandlers::Register(GAUGE_KEY_EVENT_HANDLER handler, void* userData) {
  if (handler == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Registration& r : handlers_)
    if (r.handler == handler && r.userData == userData) return;
  handlers_.push_back({handler, userData});
}

bool KeyEventHandlers::Unregister(GAUGE_KEY_EVENT_HANDLER handler, void* userData) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = std::find_if(handlers_.begin(), handlers_.end(),
                         [&](const Registration& r) { return r.handler == handler && r.userData == userData; });
  if (it == handlers_.end()) return false;
  handlers_.erase(it);
  return true;
}

size_t KeyEventHandlers::Fire(uint32_t eventId, uint32_t eventData) {
  std::vector<Registration> now;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    now = handlers_;  // handlers run unlocked, so they may change the list
  }
  for (const Registration& r : now) r.handler(eventId, eventData, r.userData);
  return now.size();
}

size_t KeyEventHandlers::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return handlers_.size();
}

}  // namespace sim
