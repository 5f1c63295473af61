// The worker: a thread started through the platform, which opens the engine's
// named events, confirms its start, then waits on the exit event 34 ms at a
// time (of the platform's clock) and does one pass after each time-out.
//
// The thread is detached, so its end is seen through an event of its own
// (WorkerControl::ended) that both sides hold; the worker also holds the
// engine, which therefore outlives a worker that did not stop in time.
#include "audio_worker.h"

#include <cstdio>

#include "audio_engine.h"
#include "platform/threads.h"

namespace vscaudio {

struct WorkerControl {
  Event ended;
};

namespace {

constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorNotEnoughMemory = 8;

struct WorkerStart {
  std::shared_ptr<AudioEngine> engine;
  std::shared_ptr<WorkerControl> control;
};

uint32_t WorkerThread(void* argument) {
  auto* start = static_cast<WorkerStart*>(argument);
  std::shared_ptr<WorkerControl> control = std::move(start->control);
  std::shared_ptr<AudioEngine> engine = std::move(start->engine);
  delete start;

  uint32_t exitCode = 0;
  if (xact::InitializeComMultithreaded() != 0) {
    engine->workerError = kWorkerComFailed;
    engine->SetState(kEngineWorkerFailed);
    exitCode = 0xFFFFFFF0;
  } else {
    std::shared_ptr<Event> exitEvent = OpenNamedEvent(engine->exitThreadName);
    std::shared_ptr<Event> startedEvent = exitEvent ? OpenNamedEvent(engine->threadStartedName) : nullptr;
    if (!exitEvent || !startedEvent) {
      engine->workerError = kErrorFileNotFound;
      engine->SetState(kEngineWorkerFailed);
      exitCode = 0xFFFFFFFF;
    } else {
      startedEvent->Set();
      // The pauses are the process clock's: under a host's flight clock the
      // queue is served at the flight's instants, in step with the module.
      while (!exitEvent->WaitOnClock(kWorkerPeriodMs)) WorkerPass(*engine);
    }
    xact::UninitializeCom();
  }
  engine.reset();
  control->ended.Set();
  return exitCode;
}

}  // namespace

void CreateWorkerEvents(AudioEngine& engine) {
  if ((engine.state.load() & kEngineEventsExist) != 0 && engine.threadStartedEvent && engine.exitThreadEvent) return;
  CloseWorkerEvents(engine);
  engine.threadStartedEvent = CreateNamedEvent(engine.threadStartedName);
  engine.exitThreadEvent = CreateNamedEvent(engine.exitThreadName);
  if (engine.threadStartedEvent && engine.exitThreadEvent) {
    engine.threadStartedEvent->Reset();
    engine.exitThreadEvent->Reset();
    engine.SetState(kEngineEventsExist);
  }
}

void CloseWorkerEvents(AudioEngine& engine) {
  engine.threadStartedEvent.reset();
  engine.exitThreadEvent.reset();
  engine.ClearState(kEngineEventsExist);
}

void StartWorker(const std::shared_ptr<AudioEngine>& engine) {
  CreateWorkerEvents(*engine);
  uint32_t state = engine->state.load();
  if ((state & kEngineWorkerRunning) != 0 || (state & kEngineEventsExist) == 0) return;

  auto control = std::make_shared<WorkerControl>();
  auto* start = new WorkerStart{engine, control};
  uint32_t threadId = platform::CreateThread(WorkerThread, start);
  if (threadId == 0) {
    delete start;
    engine->workerError = kErrorNotEnoughMemory;
    engine->SetState(kEngineWorkerFailed);
    return;
  }
  engine->workerThreadId = threadId;
  engine->worker = control;
  if (!engine->threadStartedEvent->Wait(kWorkerStartTimeoutMs)) {
    engine->workerError = kWorkerTimeout;
    engine->SetState(kEngineWorkerFailed);
    return;
  }
  engine->SetState(kEngineWorkerRunning);
  engine->threadStartedEvent->Reset();
}

void StopWorker(AudioEngine& engine) {
  // A worker that confirmed its start too late is stopped as well: it would
  // otherwise run on for the life of the process.
  if (!engine.worker) return;
  if (engine.exitThreadEvent) engine.exitThreadEvent->Set();
  if (engine.worker->ended.Wait(kWorkerStopTimeoutMs)) {
    engine.ClearState(kEngineWorkerRunning);
    engine.worker.reset();
  } else {
    engine.workerError = kWorkerTimeout;
    engine.SetState(kEngineWorkerFailed);
  }
  if (engine.exitThreadEvent) engine.exitThreadEvent->Reset();
}

void WorkerPass(AudioEngine& engine) {
  {
    std::lock_guard<std::recursive_mutex> queue(engine.queueLock);
    std::lock_guard<std::recursive_mutex> sound(engine.soundLock);
    WatchDevices(engine);
    ServeQueueHead(engine);
  }
  std::lock_guard<std::recursive_mutex> sound(engine.soundLock);
  for (auto& stream : engine.streams) ServiceStream(engine, *stream);
  ServiceDevices(engine);
}

}  // namespace vscaudio
