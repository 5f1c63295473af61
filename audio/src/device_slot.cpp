// Devices: enumeration through the renderer list, and each device's own XACT
// engine, brought up in stages by the first stream on the device and shut down
// with the last.
#include "device_slot.h"

#include <algorithm>
#include <cstring>

#include "audio_engine.h"
#include "audio_stream.h"
#include "error_reporting.h"
#include "output_watch.h"

namespace vscaudio {

namespace {

// Back to the state after enumeration: no engine, no banks, no bring-up bits.
void ResetSlot(DeviceSlot& slot) {
  slot.orphans.clear();  // the engine's shut-down has destroyed them
  xact::ShutDownEngine(slot.engine);
  slot.waveBank = nullptr;
  slot.soundBank = nullptr;
  slot.cueCount = 0;
  slot.settings.clear();
  slot.settings.shrink_to_fit();
  slot.mixFormat = {};
  std::memset(slot.x3d, 0, sizeof slot.x3d);
  slot.state = 0;
  slot.lastResult = 0;
  slot.outputId = 0;
}

// Bring-up of a slot's engine, stage by stage; false after a failing stage,
// with the engine shut down again. Each failing stage is reported through
// the error callback unless report is false (a lost device tried again).
bool BringUpEngine(AudioEngine& engine, DeviceSlot& slot, bool report = true) {
  auto reportFailure = [&](uint32_t code, uint32_t failure) {
    if (report) ReportDeviceFailure(engine, code, failure);
  };
  uint32_t result = xact::CreateEngine(&slot.engine);
  slot.lastResult = result;
  if (result != 0) {
    slot.engine = nullptr;
    slot.state |= kSlotCreateFailed;
    reportFailure(AUDIO_ERR_CREATE, result);
    if (result == kResultModuleNotFound) engine.SetState(kEngineModuleMissing);
    return false;
  }
  slot.state |= kSlotCreated;

  auto fail = [&](uint32_t bit, uint32_t code, uint32_t failure) {
    slot.lastResult = failure;
    slot.state |= bit;
    reportFailure(code, failure);
    slot.waveBank = nullptr;
    slot.soundBank = nullptr;
    xact::ShutDownEngine(slot.engine);
    return false;
  };

  slot.settings = engine.files[kGlobalSettings].data;
  // The output device the engine opens, where the engine's back end tells it
  // (output_watch.h).
  const std::vector<uint32_t> openBefore = OpenOutputDevices();
  result = xact::InitializeEngine(slot.engine, slot.settings.data(), static_cast<uint32_t>(slot.settings.size()),
                                  slot.rendererId);
  if (result == 0) slot.outputId = OutputDeviceOpenedSince(openBefore);
  if (result != 0) return fail(kSlotInitFailed, AUDIO_ERR_INIT, result);
  slot.state |= kSlotInitialized;

  result = xact::EngineGetFinalMixFormat(slot.engine, &slot.mixFormat);
  if (result != 0) return fail(kSlotFormatFailed, AUDIO_ERR_FORMAT, result);
  slot.state |= kSlotFormatRead;

  result = xact::Initialize3D(slot.engine, slot.x3d);
  if (result != 0) {
    slot.state |= kSlotX3dFailed;
    reportFailure(AUDIO_ERR_X3D, result);
  } else {
    slot.state |= kSlotX3dReady;
  }

  // The wave bank data is shared by every device and read during playback;
  // it stays untouched in the engine's record while any device plays.
  std::vector<uint8_t>& waves = engine.files[kWaveBank].data;
  result = xact::EngineCreateInMemoryWaveBank(slot.engine, waves.data(), static_cast<uint32_t>(waves.size()),
                                              &slot.waveBank);
  if (result != 0) return fail(kSlotWaveBankFailed, AUDIO_ERR_WAVEBANK, result);
  slot.state |= kSlotWaveBankCreated;

  std::vector<uint8_t>& sounds = engine.files[kSoundBank].data;
  result =
      xact::EngineCreateSoundBank(slot.engine, sounds.data(), static_cast<uint32_t>(sounds.size()), &slot.soundBank);
  if (result != 0) return fail(kSlotSoundBankFailed, AUDIO_ERR_SOUNDBANK, result);
  uint16_t cues = 0;
  xact::SoundBankGetNumCues(slot.soundBank, &cues);
  slot.cueCount = cues;
  slot.lastResult = 0;
  slot.state |= kSlotSoundBankCreated | kSlotReady;
  return true;
}

}  // namespace

uint32_t RendererDeviceIndex(const int16_t* rendererId, size_t length) {
  // FACT's own start reads only the first digit, which turns devices 10 to 15
  // into device 1; the whole number is the device.
  uint32_t index = 0;
  for (size_t i = 0; i < length && rendererId[i] >= '0' && rendererId[i] <= '9'; ++i) {
    index = index * 10 + static_cast<uint32_t>(rendererId[i] - '0');
    if (index > 0xFFFF) return 0;  // no renderer list is that long
  }
  return index;
}

bool BringUpDevice(AudioEngine& engine, uint32_t deviceIndex) {
  if (deviceIndex >= engine.deviceCount.load() || deviceIndex >= kMaxDevices) return false;
  DeviceSlot& slot = engine.devices[deviceIndex];
  ++slot.streamCount;
  if ((slot.state & kSlotReady) != 0) return true;
  // A slot that failed before is tried afresh.
  slot.state = 0;
  bool up = (engine.state.load() & kEngineModuleMissing) == 0 && BringUpEngine(engine, slot);
  // The stream that asked is not created, so it does not count: the device's
  // engine must go with the last stream that really exists.
  if (!up) --slot.streamCount;
  else slot.lost = false;
  return up;
}

void ReleaseDevice(AudioEngine& engine, uint32_t deviceIndex) {
  if (deviceIndex >= kMaxDevices) return;
  DeviceSlot& slot = engine.devices[deviceIndex];
  if (slot.streamCount > 0) --slot.streamCount;
  if (slot.streamCount == 0) {
    if ((slot.state & kSlotReady) != 0) ResetSlot(slot);
    slot.lost = false;  // nothing waits for it any more
  }
}

void NarrowDeviceName(const int16_t* wide, size_t wideLength, char* narrow, size_t narrowSize) {
  size_t i = 0;
  for (; i < wideLength && i + 1 < narrowSize; ++i) {
    narrow[i] = static_cast<char>(wide[i] & 0xFF);
    if (wide[i] == 0) return;
  }
  narrow[i] = '\0';
}

uint32_t EnumerateDevices(AudioEngine& engine) {
  engine.deviceCount = 0;
  for (DeviceSlot& slot : engine.devices) slot.lastResult = kResultNotImplemented;
  if ((engine.state.load() & kEngineModuleMissing) != 0) return 0;

  xact::Engine* probe = nullptr;
  uint32_t result = xact::CreateEngine(&probe);
  if (result != 0) {
    engine.SetState(kEngineCreateFailed);
    engine.lastResult = result;
    if (ReportFailure(engine, AUDIO_ERR_CREATE, result) != 0) DefaultErrorHandler(AUDIO_ERR_CREATE, result);
    if (result == kResultModuleNotFound) {
      engine.SetState(kEngineModuleMissing);
      ReportFailure(engine, AUDIO_ERR_DXMISSING, kResultModuleNotFound);
    }
    return 0;
  }

  // A renderer list that cannot be read lists no device: counting all 16
  // slots would report the engine ready with devices that are not there,
  // each failing only when a stream asks for it.
  uint32_t count = 0;
  uint16_t renderers = 0;
  result = xact::EngineGetRendererCount(probe, &renderers);
  if (result != 0) {
    ReportFailure(engine, AUDIO_ERR_INIT, result);
  } else {
    count = std::min<uint32_t>(renderers, kMaxDevices);
    for (uint32_t i = 0; i < count; ++i) {
      DeviceSlot& slot = engine.devices[i];
      slot = DeviceSlot{};
      xact::RendererDetails details = {};
      result = xact::EngineGetRendererDetails(probe, static_cast<uint16_t>(i), &details);
      slot.lastResult = result;
      std::memcpy(slot.rendererId, details.rendererID, sizeof slot.rendererId);
      std::memcpy(slot.displayName, details.displayName, sizeof slot.displayName);
      slot.rendererId[0xFE] = 0;
      slot.displayName[0xFE] = 0;
      slot.defaultDevice = details.defaultDevice;
      NarrowDeviceName(slot.displayName, 0xFF, slot.name, sizeof slot.name);
    }
  }
  // Never Initialized, so shutting the probe down is safe.
  xact::ShutDownEngine(probe);
  engine.lastResult = result;
  engine.deviceCount = count;
  return count;
}

namespace {

// The device under a slot's engine has gone: its sounds go (their cues die
// with the engine), the engine is shut down, and the slot waits to be tried
// again. Its streams and their count stay.
void LoseDevice(AudioEngine& engine, uint32_t index) {
  DeviceSlot& slot = engine.devices[index];
  LogLine("output device %u (\"%s\") is gone: its sounds stop, and it is opened again once it returns", index,
          slot.name);
  DropDeviceSounds(engine, index);
  for (xact::Cue* cue : slot.orphans) xact::CueDestroy(cue);
  slot.orphans.clear();
  ResetSlot(slot);
  slot.lost = true;
  slot.retryInterval = kFirstRetryPasses;
  slot.retryCountdown = slot.retryInterval;
  engine.devicesLost.fetch_add(1);
}

void TryLostDevice(AudioEngine& engine, uint32_t index) {
  DeviceSlot& slot = engine.devices[index];
  if (slot.retryCountdown > 1) {
    --slot.retryCountdown;
    return;
  }
  slot.state = 0;
  if ((engine.state.load() & kEngineModuleMissing) == 0 && BringUpEngine(engine, slot, /*report=*/false)) {
    slot.lost = false;
    engine.devicesRestored.fetch_add(1);
    LogLine("output device %u (\"%s\") is back", index, slot.name);
    return;
  }
  slot.retryInterval = std::min(slot.retryInterval * 2, kLongestRetryPasses);
  slot.retryCountdown = slot.retryInterval;
}

}  // namespace

void WatchDevices(AudioEngine& engine) {
  if (!engine.Ready()) return;
  for (uint32_t index = 0; index < kMaxDevices; ++index) {
    DeviceSlot& slot = engine.devices[index];
    if (slot.engine != nullptr && (slot.state & kSlotReady) != 0 && OutputDeviceLost(slot.outputId)) {
      LoseDevice(engine, index);
    } else if (slot.lost && slot.engine == nullptr && slot.streamCount > 0) {
      TryLostDevice(engine, index);
    }
  }
}

void ServiceDevices(AudioEngine& engine) {
  for (DeviceSlot& slot : engine.devices) {
    if (slot.engine == nullptr) continue;
    auto& orphans = slot.orphans;
    orphans.erase(std::remove_if(orphans.begin(), orphans.end(),
                                 [](xact::Cue* cue) {
                                   uint32_t state = 0;
                                   if (xact::CueGetState(cue, &state) == 0 && (state & xact::kStateStopped) == 0) {
                                     return false;
                                   }
                                   xact::CueDestroy(cue);
                                   return true;
                                 }),
                  orphans.end());
    if (slot.lastResult == 0 && (slot.state & kSlotAllStages) == kSlotAllStages) xact::EngineDoWork(slot.engine);
  }
}

}  // namespace vscaudio
