// Threads, as CreateThread starts them: a function with one pointer argument,
// and a nonzero identifier for the thread.
#pragma once
#include <cstdint>

namespace platform {

using ThreadFunction = uint32_t (*)(void* argument);

// Starts a detached thread running function(argument). Returns its identifier
// (nonzero), or 0 when the thread could not be started.
uint32_t CreateThread(ThreadFunction function, void* argument);

// Identifier of the calling thread (nonzero).
uint32_t GetCurrentThreadId();

}  // namespace platform
