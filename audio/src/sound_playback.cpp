// Starting and mixing sounds. The mix is X3DAudio's matrix for a two-channel
// emitter at (sound offset + stream position) heard by the stream's listener,
// each destination row scaled by the sound's, the stream's and the master
// volume; it is applied the way the SDK's XACT3DApply applies it.
#include "sound_playback.h"

#include <memory>

#include "audio_engine.h"
#include "handle_registry.h"

namespace vscaudio {

namespace {

constexpr float kRadiansToDegrees = 57.295776f;

void PrepareEmitter(SoundEntry& sound, const AudioStream& stream) {
  xact::Emitter& emitter = sound.emitter;
  emitter.pCone = nullptr;
  emitter.OrientFront = {0.0f, 0.0f, 1.0f};
  emitter.OrientTop = {0.0f, 1.0f, 0.0f};
  emitter.Position = {sound.x + stream.x, sound.y + stream.y, sound.z + stream.z};
  emitter.Velocity = {0.0f, 0.0f, 0.0f};
  emitter.InnerRadius = 1.0f;
  emitter.InnerRadiusAngle = 0.7853982f;
  emitter.ChannelCount = kSourceChannels;
  emitter.ChannelRadius = 0.5f;
  emitter.pChannelAzimuths = nullptr;  // the calculation fills its defaults
  emitter.pVolumeCurve = nullptr;
  emitter.pLFECurve = nullptr;
  emitter.pLPFDirectCurve = nullptr;
  emitter.pLPFReverbCurve = nullptr;
  emitter.pReverbCurve = nullptr;
  xact::SetEmitterScalers(emitter, 1.0f, 1.0f);
}

void SetCueVariable(xact::Cue* cue, const char* name, float value, bool& ok) {
  if (!ok) return;
  uint16_t index = xact::CueGetVariableIndex(cue, name);
  ok = index != xact::kInvalidVariable && xact::CueSetVariable(cue, index, value) == 0;
}

// As XACT3DApply: the matrix, then the three 3D cue variables; stops at the
// first call that fails.
void ApplyMix(SoundEntry& sound, xact::Cue* cue) {
  xact::DspSettings& dsp = sound.dsp;
  bool ok = xact::CueSetMatrixCoefficients(cue, dsp.SrcChannelCount, dsp.DstChannelCount, sound.matrix) == 0;
  SetCueVariable(cue, "Distance", dsp.EmitterToListenerDistance, ok);
  SetCueVariable(cue, "DopplerPitchScalar", dsp.DopplerFactor, ok);
  SetCueVariable(cue, "OrientationAngle", dsp.EmitterToListenerAngle * kRadiansToDegrees, ok);
}

}  // namespace

bool CalculateMix(AudioEngine& engine, const AudioStream& stream, const DeviceSlot& slot, SoundEntry& sound) {
  uint32_t destinations = slot.mixFormat.Format.nChannels;
  if (destinations == 0 || destinations > kMaxDestinationChannels) return false;
  PrepareEmitter(sound, stream);
  xact::DspSettings& dsp = sound.dsp;
  dsp = {};
  dsp.pMatrixCoefficients = sound.matrix;
  dsp.pDelayTimes = sound.delays;
  dsp.SrcChannelCount = kSourceChannels;
  dsp.DstChannelCount = destinations;
  if ((slot.state & kSlotX3dReady) != 0) {
    xact::Calculate3D(slot.x3d, stream.listener, sound.emitter, dsp);
  } else {
    // Without 3D: each source channel straight to the matching output.
    for (uint32_t i = 0; i < kSourceChannels * destinations; ++i) sound.matrix[i] = 0.0f;
    for (uint32_t i = 0; i < kSourceChannels && i < destinations; ++i) sound.matrix[i * kSourceChannels + i] = 1.0f;
    dsp.DopplerFactor = 1.0f;
  }
  float scale = sound.volume * stream.volume * engine.masterVolume.load();
  for (uint32_t row = 0; row < destinations; ++row) {
    sound.matrix[row * kSourceChannels] *= scale;
    sound.matrix[row * kSourceChannels + 1] *= scale;
  }
  return true;
}

uint16_t FindCue(AudioEngine& engine, const AudioStream& stream, const char* cueName) {
  if (cueName == nullptr || stream.device >= kMaxDevices) return kNoCue;
  const DeviceSlot& slot = engine.devices[stream.device];
  if ((slot.state & kSlotReady) == 0 || slot.soundBank == nullptr) return kNoCue;
  uint16_t index = xact::SoundBankGetCueIndex(slot.soundBank, cueName);
  // FAudio 23.02 prepares whatever index it is given: only a checked one leaves here.
  return index < slot.cueCount ? index : kNoCue;
}

SoundEntry* StartEntry(AudioEngine& engine, const SoundEntry& entry) {
  if (!engine.Ready() || entry.cueIndex == kNoCue || (entry.flags & kEntryCueResolved) == 0) return nullptr;
  AudioStream* stream = LookUp<AudioStream>(entry.stream);
  if (stream == nullptr || stream->device >= kMaxDevices) return nullptr;
  DeviceSlot& slot = engine.devices[stream->device];
  if ((slot.state & kSlotReady) == 0 || slot.soundBank == nullptr || entry.cueIndex >= slot.cueCount) return nullptr;

  auto sound = std::make_unique<SoundEntry>(entry);
  sound->cue = nullptr;
  sound->started = false;
  sound->playing = nullptr;
  if (!CalculateMix(engine, *stream, slot, *sound)) return nullptr;

  xact::Cue* cue = nullptr;
  if (xact::SoundBankPrepare(slot.soundBank, entry.cueIndex, &cue) != 0 || cue == nullptr) return nullptr;
  ApplyMix(*sound, cue);
  if (xact::CuePlay(cue) != 0) {
    xact::CueDestroy(cue);
    return nullptr;
  }
  sound->cue = cue;
  sound->handle = RegisterHandle(HandleKind::kSound, sound.get());
  stream->playing.push_front(std::move(sound));
  return stream->playing.front().get();
}

void UpdateMix(AudioEngine& engine, AudioStream& stream, SoundEntry& sound) {
  if (sound.cue == nullptr || stream.device >= kMaxDevices) return;
  const DeviceSlot& slot = engine.devices[stream.device];
  if (CalculateMix(engine, stream, slot, sound)) ApplyMix(sound, sound.cue);
}

}  // namespace vscaudio
