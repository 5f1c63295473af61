// Single sounds. Every call that reaches a cue holds the sound lock, which the
// worker holds while it sweeps, so no call reaches a cue after its release.
#include "single_sound.h"

#include "audio_engine.h"
#include "sound_playback.h"

namespace vscaudio {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

void* const kNoSuchCue = reinterpret_cast<void*>(~uintptr_t{0});

// The stream a sound plays on, when that stream still passes its check.
AudioStream* StreamOf(const SoundEntry& sound) { return LookUp<AudioStream>(sound.stream); }

}  // namespace

void* PlaySound(AudioEngine& engine, void* streamHandle, const char* cueName, float x, float y, float z, float volume) {
  Lock hold(engine.soundLock);
  AudioStream* stream = LookUp<AudioStream>(streamHandle);
  if (stream == nullptr) return kNoSuchCue;
  SoundEntry entry = MakeEntry(streamHandle, cueName, x, y, z, volume);
  // The name as given is looked up; only a name that fits is stored.
  entry.cueIndex = FindCue(engine, *stream, cueName);
  entry.flags |= kEntryCueResolved;
  if (entry.cueIndex == kNoCue) return kNoSuchCue;
  SoundEntry* sound = StartEntry(engine, entry);
  return sound != nullptr ? sound->handle : nullptr;
}

int32_t IsSoundPlaying(AudioEngine& engine, void* handle) {
  Lock hold(engine.soundLock);
  SoundEntry* sound = LookUp<SoundEntry>(handle);
  if (sound == nullptr || sound->cue == nullptr) return 0;
  uint32_t state = 0;
  if (xact::CueGetState(sound->cue, &state) != 0) return 0;
  return (state & xact::kStatePlaying) != 0 ? 1 : 0;
}

void StopSound(AudioEngine& engine, void* handle, uint32_t stopFlags) {
  Lock hold(engine.soundLock);
  SoundEntry* sound = LookUp<SoundEntry>(handle);
  if (sound == nullptr || sound->cue == nullptr) return;
  xact::CueStop(sound->cue, stopFlags);
  // The cue leaves the handle, which the next pass releases; the device
  // destroys the cue once its release phase has ended.
  AudioStream* stream = StreamOf(*sound);
  if (stream != nullptr && stream->device < kMaxDevices) {
    engine.devices[stream->device].orphans.push_back(sound->cue);
  } else {
    xact::CueDestroy(sound->cue);
  }
  sound->cue = nullptr;
}

int32_t PauseSound(AudioEngine& engine, void* handle, int32_t pause) {
  Lock hold(engine.soundLock);
  SoundEntry* sound = LookUp<SoundEntry>(handle);
  if (sound == nullptr || sound->cue == nullptr) return 0;
  xact::CuePause(sound->cue, pause);
  return 1;
}

float GetSoundVolume(AudioEngine& engine, void* handle) {
  Lock hold(engine.soundLock);
  SoundEntry* sound = LookUp<SoundEntry>(handle);
  return sound != nullptr ? sound->volume : 0.0f;
}

int32_t SetSoundVolume(AudioEngine& engine, void* handle, float volume) {
  Lock hold(engine.soundLock);
  SoundEntry* sound = LookUp<SoundEntry>(handle);
  if (sound == nullptr) return 0;
  sound->volume = volume;
  AudioStream* stream = StreamOf(*sound);
  if (stream == nullptr) return 1;
  stream->mixUpdate = true;
  return 2;
}

float GetCueVariable(AudioEngine& engine, void* handle, const char* variableName) {
  Lock hold(engine.soundLock);
  SoundEntry* sound = LookUp<SoundEntry>(handle);
  if (sound == nullptr || sound->cue == nullptr || variableName == nullptr) return 0.0f;
  uint16_t index = xact::CueGetVariableIndex(sound->cue, variableName);
  if (index == xact::kInvalidVariable) return 0.0f;
  float value = 0.0f;
  return xact::CueGetVariable(sound->cue, index, &value) == 0 ? value : 0.0f;
}

int32_t SetCueVariable(AudioEngine& engine, void* handle, const char* variableName, float value) {
  Lock hold(engine.soundLock);
  SoundEntry* sound = LookUp<SoundEntry>(handle);
  if (sound == nullptr || sound->cue == nullptr || variableName == nullptr) return 0;
  uint16_t index = xact::CueGetVariableIndex(sound->cue, variableName);
  if (index == xact::kInvalidVariable) return 0;
  return xact::CueSetVariable(sound->cue, index, value) == 0 ? 1 : 0;
}

}  // namespace vscaudio
