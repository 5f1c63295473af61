// The engine's worker thread: every 34 ms it serves the queue head, keeps each
// stream's playing sounds up to date and pumps the device engines.
#pragma once
#include <cstdint>
#include <memory>

namespace vscaudio {

struct AudioEngine;

inline constexpr uint32_t kWorkerPeriodMs = 34;
inline constexpr uint32_t kWorkerStartTimeoutMs = 20000;
inline constexpr uint32_t kWorkerStopTimeoutMs = 200000;

// (Re)creates the two named events when they are missing.
void CreateWorkerEvents(AudioEngine& engine);
// Closes both events.
void CloseWorkerEvents(AudioEngine& engine);

// Starts the worker and waits for it to confirm; failures stay in the
// engine's worker error and worker-failed state. Under the lifecycle lock.
void StartWorker(const std::shared_ptr<AudioEngine>& engine);

// Asks a running worker to end and waits for it. Under the lifecycle lock.
void StopWorker(AudioEngine& engine);

// One pass of the worker (exposed for the benchmark).
void WorkerPass(AudioEngine& engine);

}  // namespace vscaudio
