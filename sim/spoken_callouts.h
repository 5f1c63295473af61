// Callouts as they are spoken: the audio library's queue trace turned into
// one announcement per call that queued cues together, reported when its first
// cue starts to play. Cues dropped from the queue (a cue that cut in empties
// it) are never reported; a cue that cannot be started is passed over.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

class SpokenCallouts {
 public:
  // t: seconds of flight time when the callout began; cues in their order.
  using Listener = std::function<void(double t, const std::vector<std::string>& cues)>;

  explicit SpokenCallouts(Listener listener) : listener_(std::move(listener)) {}

  // One operation of the queue trace (the VSC_AUDIO_TRACE_ codes) at
  // `microseconds` of flight time.
  void OnTrace(int64_t microseconds, int32_t operation, const std::string& cue, int32_t value);

  // Whether a cue is playing now.
  bool Playing() const;

  // How many cues have started to play so far.
  uint64_t Started() const;

 private:
  struct Announcement {
    int64_t queuedAt = 0;
    std::vector<std::string> cues;
    size_t next = 0;  // the next cue expected to start
    bool reported = false;
  };

  Listener listener_;
  mutable std::mutex mutex_;
  std::deque<Announcement> waiting_;
  int playing_ = 0;
  uint64_t started_ = 0;
};

}  // namespace sim
