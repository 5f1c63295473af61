#include "spoken_callouts.h"

#include <cstddef>

#include "vscaudio/vscaudio.h"

namespace sim {

void SpokenCallouts::OnTrace(int64_t microseconds, int32_t operation, const std::string& cue, int32_t value) {
  std::vector<std::string> begun;
  int64_t startedAt = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    switch (operation) {
      case VSC_AUDIO_TRACE_CUE_ADDED:
        // Cues queued in the same instant are one call of the unit.
        if (waiting_.empty() || waiting_.back().queuedAt != microseconds || waiting_.back().next > 0)
          waiting_.push_back(Announcement{microseconds, {}, 0, false});
        waiting_.back().cues.push_back(cue);
        break;
      case VSC_AUDIO_TRACE_QUE_EMPTIED:
        // Whatever had not begun is gone; what played was reported already
        // and is stopped with the queue (the library traces no stop for it).
        waiting_.clear();
        playing_ = 0;
        break;
      case VSC_AUDIO_TRACE_CUE_STARTED: {
        if (value != 0) {
          ++playing_;
          ++started_;
        }
        // The cue belongs to the first announcement still expecting it;
        // announcements before that one were passed over. A cue that no
        // announcement expects was played some other way: not a callout.
        for (size_t k = 0; k < waiting_.size(); ++k) {
          Announcement& a = waiting_[k];
          size_t at = a.next;
          while (at < a.cues.size() && a.cues[at] != cue) ++at;
          if (at == a.cues.size()) continue;
          if (value != 0 && !a.reported) {
            a.reported = true;
            begun = a.cues;
            startedAt = microseconds;
          }
          a.next = at + 1;
          waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(k));
          if (waiting_.front().next == waiting_.front().cues.size()) waiting_.pop_front();
          break;
        }
        break;
      }
      case VSC_AUDIO_TRACE_CUE_STOPPED:
        if (playing_ > 0) --playing_;
        break;
      default: break;
    }
  }
  if (!begun.empty() && listener_) listener_(static_cast<double>(startedAt) / 1e6, begun);
}

bool SpokenCallouts::Playing() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return playing_ > 0 || !waiting_.empty();
}

}  // namespace sim

namespace sim {

uint64_t SpokenCallouts::Started() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return started_;
}

}  // namespace sim
