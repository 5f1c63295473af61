// Manual-reset events that other threads of the process open by name, the
// portable stand-in for the named events of the worker's start and exit
// handshake. An event lives while anyone holds it; creating a name that
// already exists opens the existing event, as on Windows.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace vscaudio {

class Event {
 public:
  void Set();
  void Reset();
  // True when the event is (or becomes) signalled within timeoutMs.
  bool Wait(uint32_t timeoutMs);
  // The same wait counted on the process's clock (platform::CurrentClock),
  // the flight's time when a host simulator replaces the clock: a pause of
  // the worker between passes.
  bool WaitOnClock(uint32_t timeoutMs);

 private:
  std::mutex mutex_;
  std::condition_variable signalled_;
  std::atomic<bool> state_{false};
};

// Creates the event of that name, or opens it when it exists. Never null for
// a name; null for an empty name.
std::shared_ptr<Event> CreateNamedEvent(const std::string& name);

// The live event of that name, or null.
std::shared_ptr<Event> OpenNamedEvent(const std::string& name);

}  // namespace vscaudio
