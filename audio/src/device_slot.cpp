// Devices: enumeration through the renderer list, and each device's own XACT
// engine, brought up in stages by the first stream on the device and shut down
// with the last.
//
// FAudio pitfalls handled here: FACT's Initialize, when it cannot open the
// device itself, frees its FAudio object but keeps the pointer, and a later
// Release then touches freed memory. So the library creates the FAudio object
// and its mastering voice itself and hands both to Initialize; FACT owns them
// from a successful Initialize on, and the library releases them otherwise.
#include "device_slot.h"

#include <FACT3D.h>

#include <algorithm>
#include <cstring>

#include "audio_engine.h"
#include "error_reporting.h"

namespace vscaudio {

namespace {

constexpr uint32_t kLookAheadMs = 250;

void ShutDownXactEngine(FACTAudioEngine*& engine) {
  if (engine == nullptr) return;
  FACTAudioEngine_ShutDown(engine);
  FACTAudioEngine_Release(engine);
  engine = nullptr;
}

// The device index FAudio opens for a renderer identifier, as FACT computes it.
uint32_t RendererDeviceIndex(const int16_t* rendererId) {
  if (rendererId[0] <= '0' || rendererId[0] > '9') return 0;
  return static_cast<uint32_t>(rendererId[0] - '0');
}

// Initialize with the runtime parameters, on an FAudio object and mastering
// voice of the library's own making.
uint32_t InitializeDeviceEngine(DeviceSlot& slot) {
  FAudio* audio = nullptr;
  uint32_t result = FAudioCreate(&audio, 0, FAUDIO_DEFAULT_PROCESSOR);
  if (result != 0) return result;
  FAudioMasteringVoice* master = nullptr;
  result = FAudio_CreateMasteringVoice(audio, &master, FAUDIO_DEFAULT_CHANNELS, FAUDIO_DEFAULT_SAMPLERATE, 0,
                                       RendererDeviceIndex(slot.rendererId), nullptr);
  if (result != 0) {
    FAudio_Release(audio);
    return result;
  }
  FACTRuntimeParameters parameters = {};
  parameters.lookAheadTime = kLookAheadMs;
  parameters.pGlobalSettingsBuffer = slot.settings.data();
  parameters.globalSettingsBufferSize = static_cast<uint32_t>(slot.settings.size());
  parameters.globalSettingsFlags = 0;
  parameters.fnNotificationCallback = nullptr;
  parameters.pRendererID = slot.rendererId;
  parameters.pXAudio2 = audio;
  parameters.pMasteringVoice = master;
  result = FACTAudioEngine_Initialize(slot.engine, &parameters);
  if (result != 0) {
    FAudioVoice_DestroyVoice(master);
    FAudio_Release(audio);
  }
  return result;
}

// 3D setup as the SDK's XACT3DInitialize does it, with the look-up of
// "SpeedOfSound" checked (FACT's own routine reads index 0xFFFF unchecked).
uint32_t SetUp3D(DeviceSlot& slot) {
  uint16_t index = FACTAudioEngine_GetGlobalVariableIndex(slot.engine, "SpeedOfSound");
  if (index == FACTVARIABLEINDEX_INVALID) return kResultFail;
  float speedOfSound = 0.0f;
  uint32_t result = FACTAudioEngine_GetGlobalVariable(slot.engine, index, &speedOfSound);
  if (result != 0) return result;
  FAudioWaveFormatExtensible format = {};
  result = FACTAudioEngine_GetFinalMixFormat(slot.engine, &format);
  if (result != 0) return result;
  return F3DAudioInitialize8(format.dwChannelMask, speedOfSound, slot.x3d);
}

// Back to the state after enumeration: no engine, no banks, no bring-up bits.
void ResetSlot(DeviceSlot& slot) {
  slot.orphans.clear();  // the engine's shut-down has destroyed them
  ShutDownXactEngine(slot.engine);
  slot.waveBank = nullptr;
  slot.soundBank = nullptr;
  slot.cueCount = 0;
  slot.settings.clear();
  slot.settings.shrink_to_fit();
  slot.mixFormat = {};
  std::memset(slot.x3d, 0, sizeof slot.x3d);
  slot.state = 0;
  slot.lastResult = 0;
}

// Bring-up of a slot's engine, stage by stage; false after a failing stage,
// with the engine shut down again.
bool BringUpEngine(AudioEngine& engine, DeviceSlot& slot) {
  uint32_t result = CreateXactEngine(&slot.engine);
  slot.lastResult = result;
  if (result != 0) {
    slot.engine = nullptr;
    slot.state |= kSlotCreateFailed;
    ReportDeviceFailure(engine, AUDIO_ERR_CREATE, result);
    if (result == kResultModuleNotFound) engine.SetState(kEngineModuleMissing);
    return false;
  }
  slot.state |= kSlotCreated;

  auto fail = [&](uint32_t bit, uint32_t code, uint32_t failure) {
    slot.lastResult = failure;
    slot.state |= bit;
    ReportDeviceFailure(engine, code, failure);
    slot.waveBank = nullptr;
    slot.soundBank = nullptr;
    ShutDownXactEngine(slot.engine);
    return false;
  };

  slot.settings = engine.files[kGlobalSettings].data;
  result = InitializeDeviceEngine(slot);
  if (result != 0) return fail(kSlotInitFailed, AUDIO_ERR_INIT, result);
  slot.state |= kSlotInitialized;

  result = FACTAudioEngine_GetFinalMixFormat(slot.engine, &slot.mixFormat);
  if (result != 0) return fail(kSlotFormatFailed, AUDIO_ERR_FORMAT, result);
  slot.state |= kSlotFormatRead;

  result = SetUp3D(slot);
  if (result != 0) {
    slot.state |= kSlotX3dFailed;
    ReportDeviceFailure(engine, AUDIO_ERR_X3D, result);
  } else {
    slot.state |= kSlotX3dReady;
  }

  // The wave bank data is shared by every device and read during playback;
  // it stays untouched in the engine's record while any device plays.
  std::vector<uint8_t>& waves = engine.files[kWaveBank].data;
  result = FACTAudioEngine_CreateInMemoryWaveBank(slot.engine, waves.data(), static_cast<uint32_t>(waves.size()), 0,
                                                  0, &slot.waveBank);
  if (result != 0) return fail(kSlotWaveBankFailed, AUDIO_ERR_WAVEBANK, result);
  slot.state |= kSlotWaveBankCreated;

  std::vector<uint8_t>& sounds = engine.files[kSoundBank].data;
  result = FACTAudioEngine_CreateSoundBank(slot.engine, sounds.data(), static_cast<uint32_t>(sounds.size()), 0, 0,
                                           &slot.soundBank);
  if (result != 0) return fail(kSlotSoundBankFailed, AUDIO_ERR_SOUNDBANK, result);
  uint16_t cues = 0;
  FACTSoundBank_GetNumCues(slot.soundBank, &cues);
  slot.cueCount = cues;
  slot.lastResult = 0;
  slot.state |= kSlotSoundBankCreated | kSlotReady;
  return true;
}

}  // namespace

uint32_t CreateXactEngine(FACTAudioEngine** engine) {
  // The SDK asks COM for the debug engine when the registry says so and falls
  // back to the release engine; FACT has only the one engine.
  *engine = nullptr;
  uint32_t result = FACTCreateEngine(0, engine);
  if (result == 0 && *engine == nullptr) result = kResultFail;
  return result;
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
  return up;
}

void ReleaseDevice(AudioEngine& engine, uint32_t deviceIndex) {
  if (deviceIndex >= kMaxDevices) return;
  DeviceSlot& slot = engine.devices[deviceIndex];
  if (slot.streamCount > 0) --slot.streamCount;
  if (slot.streamCount == 0 && (slot.state & kSlotReady) != 0) ResetSlot(slot);
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

  FACTAudioEngine* probe = nullptr;
  uint32_t result = CreateXactEngine(&probe);
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

  uint32_t count = kMaxDevices;
  uint16_t renderers = 0;
  result = FACTAudioEngine_GetRendererCount(probe, &renderers);
  if (result != 0) {
    ReportFailure(engine, AUDIO_ERR_INIT, result);
  } else {
    count = std::min<uint32_t>(renderers, kMaxDevices);
    for (uint32_t i = 0; i < count; ++i) {
      DeviceSlot& slot = engine.devices[i];
      slot = DeviceSlot{};
      FACTRendererDetails details = {};
      result = FACTAudioEngine_GetRendererDetails(probe, static_cast<uint16_t>(i), &details);
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
  ShutDownXactEngine(probe);
  engine.lastResult = result;
  engine.deviceCount = count;
  return count;
}

void ServiceDevices(AudioEngine& engine) {
  for (DeviceSlot& slot : engine.devices) {
    if (slot.engine == nullptr) continue;
    auto& orphans = slot.orphans;
    orphans.erase(std::remove_if(orphans.begin(), orphans.end(),
                                 [](FACTCue* cue) {
                                   uint32_t state = 0;
                                   if (FACTCue_GetState(cue, &state) == 0 && (state & FACT_STATE_STOPPED) == 0) {
                                     return false;
                                   }
                                   FACTCue_Destroy(cue);
                                   return true;
                                 }),
                  orphans.end());
    if (slot.lastResult == 0 && (slot.state & kSlotAllStages) == kSlotAllStages) FACTAudioEngine_DoWork(slot.engine);
  }
}

}  // namespace vscaudio
