// Cutting calls told from the queue trace; see cutting_calls.h.
#include "cutting_calls.h"

#include "vscaudio/vscaudio.h"

namespace sim {
namespace {

// The word that closes every distance-remaining mark.
constexpr const char* kMarkEnd = "remaining";

}  // namespace

bool CuttingCalls::OnTrace(int64_t microseconds, int32_t operation, const std::string& cue) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (operation == VSC_AUDIO_TRACE_IS_PLAYING) {
    openedAt_ = microseconds;
    return false;
  }
  if (operation != VSC_AUDIO_TRACE_CUE_ADDED && operation != VSC_AUDIO_TRACE_CUE_REFUSED) return false;
  // A call never spans two instants of the flight's clock.
  if (openedAt_ != microseconds) {
    openedAt_ = -1;
    return false;
  }
  if (cue == kMarkEnd) openedAt_ = -1;
  return true;
}

}  // namespace sim
