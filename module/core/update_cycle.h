// The worker thread and the update cycle it runs four times a second.
#pragma once
#include <cstdint>

namespace orvante {

struct AdvisoryUnit;

// The worker thread's entry: runs cycles until shut-down asks it to stop.
uint32_t WorkerThread(void* argument);

// One cycle: the runway query when due, the assessment while switched on,
// and the timers.
void RunCycle(AdvisoryUnit& unit);

// Pace of the worker, in milliseconds.
inline constexpr uint32_t kCyclePauseMs = 250;
inline constexpr uint32_t kSuspendedPauseMs = 1000;
inline constexpr float kCycleStep = 0.25f;

}  // namespace orvante
