// The engine's own operations over FAudio's FACT and F3DAudio.
//
// FAudio pitfalls handled here: FACT's Initialize, when it cannot open the
// device itself, frees its FAudio object but keeps the pointer, and a later
// Release then touches freed memory. So the library creates the FAudio object
// and its mastering voice itself and hands both to Initialize; FACT owns them
// from a successful Initialize on, and the library releases them otherwise.
// FACT has no COM and only one engine class.
#include <FACT3D.h>

#include "device_slot.h"
#include "error_reporting.h"
#include "xact_engine.h"

namespace vscaudio::xact {

namespace {
constexpr uint32_t kLookAheadMs = 250;
constexpr size_t kRendererIdLength = 0xFF;
}  // namespace

uint32_t CreateEngine(Engine** engine) {
  // The SDK asks COM for the debug engine when the registry says so and falls
  // back to the release engine; FACT has only the one engine.
  *engine = nullptr;
  uint32_t result = FACTCreateEngine(0, engine);
  if (result == 0 && *engine == nullptr) result = kResultFail;
  return result;
}

uint32_t InitializeEngine(Engine* engine, void* settings, uint32_t settingsSize, const RendererChar* rendererId) {
  FAudio* audio = nullptr;
  uint32_t result = FAudioCreate(&audio, 0, FAUDIO_DEFAULT_PROCESSOR);
  if (result != 0) return result;
  FAudioMasteringVoice* master = nullptr;
  const uint32_t device = RendererDeviceIndex(rendererId, kRendererIdLength);
  result = FAudio_CreateMasteringVoice(audio, &master, FAUDIO_DEFAULT_CHANNELS, FAUDIO_DEFAULT_SAMPLERATE, 0, device,
                                       nullptr);
  if (result != 0) {
    FAudio_Release(audio);
    return result;
  }
  FACTRuntimeParameters parameters = {};
  parameters.lookAheadTime = kLookAheadMs;
  parameters.pGlobalSettingsBuffer = settings;
  parameters.globalSettingsBufferSize = settingsSize;
  parameters.globalSettingsFlags = 0;
  parameters.fnNotificationCallback = nullptr;
  parameters.pRendererID = const_cast<int16_t*>(rendererId);
  parameters.pXAudio2 = audio;
  parameters.pMasteringVoice = master;
  result = FACTAudioEngine_Initialize(engine, &parameters);
  if (result != 0) {
    FAudioVoice_DestroyVoice(master);
    FAudio_Release(audio);
  }
  return result;
}

void ShutDownEngine(Engine*& engine) {
  if (engine == nullptr) return;
  FACTAudioEngine_ShutDown(engine);
  FACTAudioEngine_Release(engine);
  engine = nullptr;
}

uint32_t Initialize3D(Engine* engine, X3dHandle handle) {
  // FACT's own FACT3DInitialize reads index 0xFFFF unchecked.
  uint16_t index = FACTAudioEngine_GetGlobalVariableIndex(engine, "SpeedOfSound");
  if (index == FACTVARIABLEINDEX_INVALID) return kResultFail;
  float speedOfSound = 0.0f;
  uint32_t result = FACTAudioEngine_GetGlobalVariable(engine, index, &speedOfSound);
  if (result != 0) return result;
  FAudioWaveFormatExtensible format = {};
  result = FACTAudioEngine_GetFinalMixFormat(engine, &format);
  if (result != 0) return result;
  return X3DInitialize(format.dwChannelMask, speedOfSound, handle);
}

uint32_t X3DInitialize(uint32_t channelMask, float speedOfSound, X3dHandle handle) {
  return F3DAudioInitialize8(channelMask, speedOfSound, handle);
}

void Calculate3D(const X3dHandle handle, const Listener& listener, Emitter& emitter, DspSettings& dsp) {
  // FACT3DCalculate is the SDK's routine itself.
  FACT3DCalculate(const_cast<uint8_t*>(handle), &listener, &emitter, &dsp);
}

uint32_t InitializeComMultithreaded() { return 0; }
void UninitializeCom() {}

}  // namespace vscaudio::xact
