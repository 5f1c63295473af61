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

// Enters the calling thread into a single-threaded COM apartment, as a
// thread that uses COM objects must. Returns the system's result code:
// negative on failure, else 0 (or 1 when the thread was in one already). A
// platform without COM has nothing to enter and answers 0.
int32_t EnterComApartment();

// Leaves the apartment that a successful EnterComApartment entered.
void LeaveComApartment();

}  // namespace platform
