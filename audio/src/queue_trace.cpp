// Queue trace: the callback and its context change together under a lock and
// are called outside it, so a callback may itself call the library.
#include "queue_trace.h"

#include <atomic>
#include <mutex>

namespace vscaudio {
namespace {

struct Trace {
  std::mutex mutex;
  std::atomic<bool> enabled{false};
  VSC_AUDIO_TRACE_CALLBACK callback = nullptr;
  void* context = nullptr;
};

Trace& TheTrace() {
  static auto* trace = new Trace;  // never destroyed: the worker may trace at exit
  return *trace;
}

}  // namespace

void SetQueueTrace(VSC_AUDIO_TRACE_CALLBACK callback, void* context) {
  Trace& trace = TheTrace();
  std::lock_guard<std::mutex> hold(trace.mutex);
  trace.callback = callback;
  trace.context = context;
  trace.enabled.store(callback != nullptr);
}

void TraceQueue(int32_t operation, const char* cueName, int32_t value) {
  Trace& trace = TheTrace();
  if (!trace.enabled.load(std::memory_order_relaxed)) return;
  VSC_AUDIO_TRACE_CALLBACK callback;
  void* context;
  {
    std::lock_guard<std::mutex> hold(trace.mutex);
    callback = trace.callback;
    context = trace.context;
  }
  if (callback != nullptr) callback(context, operation, cueName != nullptr ? cueName : "", value);
}

}  // namespace vscaudio
