// Streams: creation brings the device up, destruction purges the stream's
// queue entries and releases the device with its last stream; position,
// volume and pause are stored and marked for the worker's next pass.
#include "audio_stream.h"

#include <new>

#include "audio_engine.h"
#include "sound_playback.h"

namespace vscaudio {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

// A playing sound leaves its stream: its handle is refused from now on, and a
// cue it still holds goes to the device, which destroys it once it has stopped.
void ReleaseSound(AudioEngine& engine, uint32_t device, std::unique_ptr<SoundEntry>& sound, bool keepCue) {
  UnregisterHandle(sound->handle);
  sound->tag = 0;
  if (sound->cue != nullptr) {
    if (keepCue && device < kMaxDevices) {
      engine.devices[device].orphans.push_back(sound->cue);
    } else {
      xact::CueDestroy(sound->cue);
    }
    sound->cue = nullptr;
  }
}

}  // namespace

void* CreateStream(AudioEngine& engine, uint32_t deviceIndex) {
  Lock sound(engine.soundLock);
  if (deviceIndex >= engine.deviceCount.load() || !engine.Ready()) return nullptr;
  auto stream = std::unique_ptr<AudioStream>(new (std::nothrow) AudioStream);
  if (!stream) return nullptr;
  stream->device = deviceIndex;
  stream->listener.OrientFront = {0.0f, 0.0f, 1.0f};
  stream->listener.OrientTop = {0.0f, 1.0f, 0.0f};
  stream->listener.Position = {0.0f, 0.0f, 0.0f};
  stream->listener.Velocity = {0.0f, 0.0f, 0.0f};
  stream->listener.pCone = nullptr;
  if (!BringUpDevice(engine, deviceIndex)) return nullptr;
  stream->handle = RegisterHandle(HandleKind::kStream, stream.get());
  engine.streams.push_front(std::move(stream));
  return engine.streams.front()->handle;
}

void DestroyStream(AudioEngine& engine, void* handle) {
  Lock queue(engine.queueLock);
  Lock sound(engine.soundLock);
  AudioStream* stream = LookUp<AudioStream>(handle);
  if (stream == nullptr) return;
  PurgeStreamEntries(engine, handle);
  UnregisterHandle(handle);

  // Sounds left playing keep playing to their end while other streams hold
  // the device; the device destroys their cues once they have stopped. When
  // this was the device's last stream, its engine's shut-down ends them.
  uint32_t device = stream->device;
  for (auto& playing : stream->playing) ReleaseSound(engine, device, playing, /*keepCue=*/true);
  ReleaseDevice(engine, device);

  stream->tag = 0;
  engine.streams.remove_if([stream](const std::unique_ptr<AudioStream>& s) { return s.get() == stream; });
}

void DropDeviceSounds(AudioEngine& engine, uint32_t device) {
  for (auto& stream : engine.streams) {
    if (stream->device != device) continue;
    for (auto& playing : stream->playing) ReleaseSound(engine, device, playing, /*keepCue=*/false);
    stream->playing.clear();
  }
}

int32_t SetStreamPosition(AudioEngine& engine, void* handle, float x, float y, float z) {
  Lock sound(engine.soundLock);
  AudioStream* stream = LookUp<AudioStream>(handle);
  if (stream == nullptr) return 0;
  stream->x = x;
  stream->y = y;
  stream->z = z;
  stream->mixUpdate = true;
  return 1;
}

float SetStreamVolume(AudioEngine& engine, void* handle, float volume) {
  Lock sound(engine.soundLock);
  AudioStream* stream = LookUp<AudioStream>(handle);
  if (stream == nullptr) return 0.0f;
  stream->volume = volume;
  stream->mixUpdate = true;
  return volume;
}

float GetStreamVolume(AudioEngine& engine, void* handle) {
  // Held although a read, so that a stream destroyed by another thread is
  // never read after its release.
  Lock sound(engine.soundLock);
  AudioStream* stream = LookUp<AudioStream>(handle);
  return stream != nullptr ? stream->volume : 0.0f;
}

int32_t PauseStream(AudioEngine& engine, void* handle, int32_t pause) {
  Lock sound(engine.soundLock);
  AudioStream* stream = LookUp<AudioStream>(handle);
  if (stream == nullptr) return 0;
  stream->pauseValue = pause;
  stream->pausePending = 1;
  return pause;
}

void ServiceStream(AudioEngine& engine, AudioStream& stream) {
  for (auto it = stream.playing.begin(); it != stream.playing.end();) {
    SoundEntry& sound = **it;
    bool finished = sound.cue == nullptr;
    if (!finished) {
      uint32_t state = 0;
      finished = xact::CueGetState(sound.cue, &state) != 0 || (state & xact::kStateStopped) != 0;
    }
    if (finished) {
      ReleaseSound(engine, stream.device, *it, /*keepCue=*/false);
      it = stream.playing.erase(it);
    } else {
      ++it;
    }
  }
  if (stream.mixUpdate) {
    for (auto& sound : stream.playing) {
      uint32_t state = 0;
      if (xact::CueGetState(sound->cue, &state) == 0 && (state & (xact::kStatePrepared | xact::kStatePlaying)) != 0) {
        UpdateMix(engine, stream, *sound);
      }
    }
    stream.mixUpdate = false;
  }
  if (stream.pausePending != 0) {
    for (auto& sound : stream.playing) xact::CuePause(sound->cue, stream.pauseValue);
    stream.pausePending = 0;
  }
}

}  // namespace vscaudio
