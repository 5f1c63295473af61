// Engine start and cue playback through FACT, following FAudio's lifetime
// rules: no Release after a failed Initialize, ShutDown before Release.
#include "fact_session.h"

#include <FACT3D.h>

#include <chrono>
#include <thread>

namespace orvante::test {

FactSession::~FactSession() {
  if (soundBank_) FACTSoundBank_Destroy(soundBank_);
  if (waveBank_) FACTWaveBank_Destroy(waveBank_);
  if (engine_ && initialised_) {
    FACTAudioEngine_ShutDown(engine_);
    FACTAudioEngine_Release(engine_);
  }
  // An engine whose Initialize failed is left alone: releasing it is a
  // use-after-free inside FAudio.
}

std::string FactSession::Open(const xact::SoundSetFiles& files) {
  if (FACTCreateEngine(0, &engine_) != 0 || !engine_) return "FACTCreateEngine failed";
  uint16_t renderers = 0;
  FACTAudioEngine_GetRendererCount(engine_, &renderers);
  if (renderers == 0) return "no audio renderer";
  FACTRuntimeParameters params = {};
  params.pGlobalSettingsBuffer = const_cast<uint8_t*>(files.xgs.data());
  params.globalSettingsBufferSize = static_cast<uint32_t>(files.xgs.size());
  if (uint32_t hr = FACTAudioEngine_Initialize(engine_, &params); hr != 0)
    return "Initialize returned " + std::to_string(hr);
  initialised_ = true;
  F3DAUDIO_HANDLE f3d;
  if (uint32_t hr = FACT3DInitialize(engine_, f3d); hr != 0) return "FACT3DInitialize returned " + std::to_string(hr);
  if (uint32_t hr = FACTAudioEngine_CreateInMemoryWaveBank(engine_, files.xwb.data(),
                                                           static_cast<uint32_t>(files.xwb.size()), 0, 0, &waveBank_);
      hr != 0)
    return "CreateInMemoryWaveBank returned " + std::to_string(hr);
  if (uint32_t hr = FACTAudioEngine_CreateSoundBank(engine_, files.xsb.data(), static_cast<uint32_t>(files.xsb.size()),
                                                    0, 0, &soundBank_);
      hr != 0)
    return "CreateSoundBank returned " + std::to_string(hr);
  return {};
}

std::string FactSession::PlayToEnd(const std::string& cueName, double timeoutSeconds) {
  uint16_t index = FACTSoundBank_GetCueIndex(soundBank_, cueName.c_str());
  if (index == FACTINDEX_INVALID) return "cue \"" + cueName + "\" not found";
  FACTCue* cue = nullptr;
  if (FACTSoundBank_Play(soundBank_, index, 0, 0, &cue) != 0 || !cue) return "cue \"" + cueName + "\" did not play";
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
  uint32_t state = 0;
  while (FACTCue_GetState(cue, &state) == 0 && !(state & FACT_STATE_STOPPED)) {
    if (std::chrono::steady_clock::now() > deadline) {
      FACTCue_Destroy(cue);
      return "cue \"" + cueName + "\" did not stop in time";
    }
    FACTAudioEngine_DoWork(engine_);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  FACTCue_Destroy(cue);
  return {};
}

}  // namespace orvante::test
