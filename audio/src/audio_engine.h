// AudioEngine: the one engine of the library. It holds the three project
// files, the device slots, the streams, the play queue, the worker and the
// three locks.
//
// Locks, all recursive like the critical sections they stand for:
//  - queueLock guards the play queue;
//  - lifecycleLock guards starting and stopping the worker;
//  - soundLock guards streams and their sounds, device engines, master volume,
//    engine pause, and every call into a cue or an engine.
// When both the queue lock and the sound lock are needed, the queue lock is
// taken first. The lifecycle lock is never held together with another.
#pragma once
#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "audio_stream.h"
#include "device_slot.h"
#include "named_event.h"
#include "play_queue.h"
#include "project_file.h"
#include "vscaudio/vscaudio.h"

namespace vscaudio {

// Engine state flags.
inline constexpr uint32_t kEngineCreateFailed = 0x1;
inline constexpr uint32_t kEngineModuleMissing = 0x40;
inline constexpr uint32_t kEngineComFailed = 0x80;
inline constexpr uint32_t kEngineReady = 0x8000;
inline constexpr uint32_t kEngineXgsUnread = 0x10000;
inline constexpr uint32_t kEngineXwbUnread = 0x20000;
inline constexpr uint32_t kEngineXsbUnread = 0x40000;
inline constexpr uint32_t kEngineWorkerRunning = 0x2000000;
inline constexpr uint32_t kEngineWorkerFailed = 0x4000000;
inline constexpr uint32_t kEngineEventsExist = 0x8000000;

// Worker errors.
inline constexpr uint32_t kWorkerComFailed = 1003;
inline constexpr uint32_t kWorkerTimeout = 31;

enum ProjectFileIndex { kGlobalSettings = 0, kWaveBank = 1, kSoundBank = 2 };

struct WorkerControl;

struct AudioEngine {
  ProjectFile files[3];
  VSC_AUDIO_ERROR_CALLBACK callback = nullptr;
  std::list<std::unique_ptr<AudioStream>> streams;  // newest first
  DeviceSlot devices[kMaxDevices];
  std::atomic<uint32_t> lastResult{0};
  int32_t pauseValue = 0;
  PlayQueue queue;
  std::atomic<uint32_t> state{0};
  std::atomic<uint32_t> deviceCount{0};
  std::atomic<uint32_t> workerError{0};
  uint32_t workerThreadId = 0;
  std::shared_ptr<WorkerControl> worker;

  std::recursive_mutex queueLock;
  std::recursive_mutex lifecycleLock;
  std::recursive_mutex soundLock;

  std::shared_ptr<Event> threadStartedEvent;
  std::shared_ptr<Event> exitThreadEvent;
  char threadStartedName[64] = {};
  char exitThreadName[64] = {};

  std::atomic<float> masterVolume{1.0f};

  // Devices found gone while open, and brought back up afterwards.
  std::atomic<uint32_t> devicesLost{0};
  std::atomic<uint32_t> devicesRestored{0};

  bool Ready() const { return (state.load() & kEngineReady) != 0; }
  void SetState(uint32_t bits) { state.fetch_or(bits); }
  void ClearState(uint32_t bits) { state.fetch_and(~bits); }
};

// The current engine, held for the length of a call: a later initialisation
// may replace it while a call runs, and the old one stays alive until the last
// call that uses it returns.
std::shared_ptr<AudioEngine> CurrentEngine();

// The initialisation export's logic.
int32_t InitializeAudioEngine(const char16_t* xgsPath, const char16_t* xwbPath, const char16_t* xsbPath,
                              VSC_AUDIO_ERROR_CALLBACK callback);

// Construction: fields, COM, event names. The callback is the default handler.
void ConstructEngine(AudioEngine& engine);

// Shut-down: stops everything the engine started and releases its files.
void ShutDownEngine(AudioEngine& engine);

int32_t SetMasterVolume(AudioEngine& engine, float volume);
int32_t PauseEngine(AudioEngine& engine, int32_t pause);
const char* GetDeviceName(AudioEngine& engine, uint32_t deviceIndex);

// The figures of the diagnostics export; engine may be null (handles are
// counted all the same).
void CountDiagnostics(AudioEngine* engine, VSC_AUDIO_DIAGNOSTICS& diagnostics);

}  // namespace vscaudio
