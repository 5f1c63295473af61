// Which queued cues the unit handed over in a call that cuts in, told from the
// audio library's queue trace alone.
//
// The unit cuts in only to speak a distance-remaining mark, in a call of its
// own: it first asks whether the queue is playing (emptying it when it is),
// then queues the mark's cues, the last of which is always "remaining". So
// the cues queued after that question, up to and including the first
// "remaining", are the cutting call's; anything queued after that word in the
// same instant (a long-landing call in the same cycle, say) was queued
// without cutting. Whether the queue was playing, and so whether it was
// emptied, does not matter: that depends on how far the audio device has come,
// which a replay in virtual time must not.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>

namespace sim {

class CuttingCalls {
 public:
  // One operation of the queue trace (the VSC_AUDIO_TRACE_ codes) at
  // `microseconds` of flight time. For an operation that queued a cue (added
  // or refused), whether that cue belongs to a cutting call; false otherwise.
  bool OnTrace(int64_t microseconds, int32_t operation, const std::string& cue);

 private:
  std::mutex mutex_;
  int64_t openedAt_ = -1;  // the instant of the question that opened a cutting call, -1 when none is open
};

}  // namespace sim
