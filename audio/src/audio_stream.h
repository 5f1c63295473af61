// AudioStream: the unit of output. A stream binds sounds to one device, gives
// them a common position, volume and pause state, and owns its playing sounds.
#pragma once
#include <cstdint>
#include <list>
#include <memory>

#include "sound_entry.h"

namespace vscaudio {

struct AudioEngine;

struct AudioStream {
  static constexpr HandleKind kKind = HandleKind::kStream;

  uint32_t tag = static_cast<uint32_t>(kKind);
  uint32_t device = 0;
  float x = 0.0f, y = 0.0f, z = 0.0f;
  float volume = 1.0f;
  int32_t pausePending = 0;
  int32_t pauseValue = 0;
  xact::Listener listener = {};
  bool mixUpdate = false;
  // Newest first. Each owns its cue until the sweep destroys it.
  std::list<std::unique_ptr<SoundEntry>> playing;
  void* handle = nullptr;
};

// The exports' logic; each takes the locks it needs.
void* CreateStream(AudioEngine& engine, uint32_t deviceIndex);
void DestroyStream(AudioEngine& engine, void* stream);
int32_t SetStreamPosition(AudioEngine& engine, void* stream, float x, float y, float z);
float SetStreamVolume(AudioEngine& engine, void* stream, float volume);
float GetStreamVolume(AudioEngine& engine, void* stream);
int32_t PauseStream(AudioEngine& engine, void* stream, int32_t pause);

// Every sound playing on a device lets go of its cue and leaves its stream
// (the device has gone). Under the sound lock.
void DropDeviceSounds(AudioEngine& engine, uint32_t device);

// The worker's pass over one stream, under the sound lock: sweep finished
// sounds, apply a marked mix update, apply a pending pause.
void ServiceStream(AudioEngine& engine, AudioStream& stream);

}  // namespace vscaudio
