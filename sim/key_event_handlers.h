// Key-event handlers that add-on modules register with the simulator: each
// simulator key event (an event identifier and its data) is passed to every
// registered handler with the user data it was registered with.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "gauges.h"

namespace sim {

class KeyEventHandlers {
 public:
  // Registering the same handler with the same user data twice keeps one.
  void Register(GAUGE_KEY_EVENT_HANDLER handler, void* userData);
  // False when that pair was not registered.
  bool Unregister(GAUGE_KEY_EVENT_HANDLER handler, void* userData);
  // Calls every handler registered now, in registration order, on the calling
  // thread; returns how many were called. A handler may register or
  // unregister handlers while it runs; that counts from the next event.
  size_t Fire(uint32_t eventId, uint32_t eventData);
  size_t Count() const;

 private:
  struct Registration {
    GAUGE_KEY_EVENT_HANDLER handler;
    void* userData;
  };
  mutable std::mutex mutex_;
  std::vector<Registration> handlers_;
};

}  // namespace sim
