// Single sounds: cues started outside the queue, with a handle the caller can
// stop, pause, re-level or query; and the cue variables of such a sound.
#pragma once
#include <cstdint>

namespace vscaudio {

struct AudioEngine;

void* PlaySound(AudioEngine& engine, void* stream, const char* cueName, float x, float y, float z, float volume);
int32_t IsSoundPlaying(AudioEngine& engine, void* sound);
void StopSound(AudioEngine& engine, void* sound, uint32_t stopFlags);
int32_t PauseSound(AudioEngine& engine, void* sound, int32_t pause);
float GetSoundVolume(AudioEngine& engine, void* sound);
int32_t SetSoundVolume(AudioEngine& engine, void* sound, float volume);
float GetCueVariable(AudioEngine& engine, void* sound, const char* variableName);
int32_t SetCueVariable(AudioEngine& engine, void* sound, const char* variableName, float value);

}  // namespace vscaudio
