// The engine: construction, initialisation, shut-down, master volume, engine
// pause and device names, and the one current engine of the library.
#include "audio_engine.h"

#include <cstdio>

#include "audio_worker.h"
#include "error_reporting.h"
#include "handle_registry.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/user_interface.h"
#include "project_validation.h"

namespace vscaudio {

namespace {

constexpr uint32_t kErrorInvalidParameter = 87;

struct CurrentEngineHolder {
  std::mutex mutex;
  std::shared_ptr<AudioEngine> engine;
};

// Never destroyed: a worker may outlive the process's static destructors.
CurrentEngineHolder& Holder() {
  static auto* holder = new CurrentEngineHolder;
  return *holder;
}

std::shared_ptr<AudioEngine> ReplaceCurrentEngine(std::shared_ptr<AudioEngine> engine) {
  CurrentEngineHolder& holder = Holder();
  std::lock_guard<std::mutex> hold(holder.mutex);
  holder.engine.swap(engine);
  return engine;
}

constexpr uint32_t kFileStateBits[3] = {kEngineXgsUnread, kEngineXwbUnread, kEngineXsbUnread};
constexpr uint32_t kFileErrorCodes[3] = {AUDIO_ERR_XGSFILE, AUDIO_ERR_XWBFILE, AUDIO_ERR_XSBFILE};
constexpr const char* kFileKinds[3] = {"global settings", "wave bank", "sound bank"};

// Step 5 of initialisation, for one file at fault: state bit, last result,
// callback, and the library's own message when the callback asks for it.
void ReportFileFailure(AudioEngine& engine, int file) {
  engine.SetState(kFileStateBits[file]);
  engine.lastResult = kResultInvalidArgument;
  if (ReportFailure(engine, kFileErrorCodes[file], kResultInvalidArgument) != 0) {
    platform::MessageBoxU8(nullptr, "One or more Xact Project Files Could not Be located at specified location!",
                           "File Error!", platform::kMbOk);
  }
}

}  // namespace

std::shared_ptr<AudioEngine> CurrentEngine() {
  CurrentEngineHolder& holder = Holder();
  std::lock_guard<std::mutex> hold(holder.mutex);
  return holder.engine;
}

void ConstructEngine(AudioEngine& engine) {
  engine.masterVolume = 1.0f;
  engine.callback = DefaultErrorHandler;
  uint32_t result = xact::InitializeComMultithreaded();
  if (result != 0) {
    engine.lastResult = result;
    engine.SetState(kEngineComFailed);
    ReportFailure(engine, AUDIO_ERR_COMINIT, result);
  }
  unsigned ticks = platform::GetTickCount();
  std::snprintf(engine.threadStartedName, sizeof engine.threadStartedName, "%xVSCAudioEventThreadStarted%x", ticks, 0u);
  std::snprintf(engine.exitThreadName, sizeof engine.exitThreadName, "%xVSCAudioEventExitThread%x", ticks, 0u);
}

int32_t InitializeAudioEngine(const char16_t* xgsPath, const char16_t* xwbPath, const char16_t* xsbPath,
                              VSC_AUDIO_ERROR_CALLBACK callback) {
  if (xgsPath == nullptr || xwbPath == nullptr || xsbPath == nullptr) {
    platform::SetLastError(kErrorInvalidParameter);
    return 0;
  }
  // The old engine stops being current first, so no new call reaches it while
  // it shuts down; calls already inside keep it alive until they return.
  if (std::shared_ptr<AudioEngine> old = ReplaceCurrentEngine(nullptr)) ShutDownEngine(*old);

  std::shared_ptr<AudioEngine> engine;
  try {
    engine = std::make_shared<AudioEngine>();
  } catch (const std::bad_alloc&) {
    return 0;
  }
  ConstructEngine(*engine);
  ReplaceCurrentEngine(engine);
  engine->callback = callback != nullptr ? callback : DefaultErrorHandler;

  const char16_t* paths[3] = {xgsPath, xwbPath, xsbPath};
  for (int file = 0; file < 3; ++file) {
    if (!ReadProjectFile(engine->files[file], paths[file])) {
      LogLine("cannot read the %s file \"%s\" (error %u)", kFileKinds[file], Utf16ToUtf8(paths[file]).c_str(),
              engine->files[file].lastError);
      ReportFileFailure(*engine, file);
      return 0;
    }
  }
  // FACT reads its banks without any checks of its own: a damaged file is a
  // file error here, never a crash there.
  if (auto check =
          ValidateProjectFiles(engine->files[kGlobalSettings], engine->files[kWaveBank], engine->files[kSoundBank]);
      !check) {
    const ProjectFault& fault = check.error();
    LogLine("refusing the %s file \"%s\": %s", kFileKinds[fault.badFile], Utf16ToUtf8(paths[fault.badFile]).c_str(),
            fault.message.c_str());
    ReportFileFailure(*engine, fault.badFile);
    return 0;
  }

  {
    std::lock_guard<std::recursive_mutex> lifecycle(engine->lifecycleLock);
    CreateWorkerEvents(*engine);
  }
  if (EnumerateDevices(*engine) == 0) return 0;
  {
    std::lock_guard<std::recursive_mutex> lifecycle(engine->lifecycleLock);
    StartWorker(engine);
  }
  engine->SetState(kEngineReady);
  return 1;
}

void ShutDownEngine(AudioEngine& engine) {
  engine.ClearState(kEngineReady);
  for (;;) {
    void* stream = nullptr;
    {
      std::lock_guard<std::recursive_mutex> sound(engine.soundLock);
      if (engine.streams.empty()) break;
      stream = engine.streams.front()->handle;
    }
    DestroyStream(engine, stream);
  }
  {
    std::lock_guard<std::recursive_mutex> lifecycle(engine.lifecycleLock);
    StopWorker(engine);
    CloseWorkerEvents(engine);
  }
  for (ProjectFile& file : engine.files) ReleaseProjectFile(file);
  std::lock_guard<std::recursive_mutex> queue(engine.queueLock);
  ClearQueue(engine);
}

int32_t SetMasterVolume(AudioEngine& engine, float volume) {
  std::lock_guard<std::recursive_mutex> sound(engine.soundLock);
  engine.masterVolume = volume;
  for (auto& stream : engine.streams) stream->mixUpdate = true;
  return 1;
}

int32_t PauseEngine(AudioEngine& engine, int32_t pause) {
  std::lock_guard<std::recursive_mutex> sound(engine.soundLock);
  engine.pauseValue = pause;
  for (auto& stream : engine.streams) {
    stream->pauseValue = pause;
    stream->pausePending = 1;
  }
  return engine.pauseValue;
}

void CountDiagnostics(AudioEngine* engine, VSC_AUDIO_DIAGNOSTICS& diagnostics) {
  diagnostics.streams = CountHandles(HandleKind::kStream);
  diagnostics.sounds = CountHandles(HandleKind::kSound);
  diagnostics.lists = CountHandles(HandleKind::kList);
  if (engine == nullptr) return;
  {
    std::lock_guard<std::recursive_mutex> queue(engine->queueLock);
    diagnostics.queueLength = static_cast<uint32_t>(engine->queue.entries.size());
  }
  {
    std::lock_guard<std::recursive_mutex> sound(engine->soundLock);
    for (const DeviceSlot& slot : engine->devices)
      if (slot.engine != nullptr) ++diagnostics.deviceEngines;
  }
  diagnostics.devicesLost = engine->devicesLost.load();
  diagnostics.devicesRestored = engine->devicesRestored.load();
}

const char* GetDeviceName(AudioEngine& engine, uint32_t deviceIndex) {
  if (deviceIndex >= engine.deviceCount.load() || deviceIndex >= kMaxDevices) return "No Such Device";
  return engine.devices[deviceIndex].name;
}

}  // namespace vscaudio
