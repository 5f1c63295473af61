// The diagnostic trace of queue operations, off until a tool sets a callback.
#pragma once
#include <cstdint>

#include "vscaudio/vscaudio.h"

namespace vscaudio {

void SetQueueTrace(VSC_AUDIO_TRACE_CALLBACK callback, void* context);

// Reports one operation when a trace is set; cheap when none is.
void TraceQueue(int32_t operation, const char* cueName, int32_t value);

}  // namespace vscaudio
