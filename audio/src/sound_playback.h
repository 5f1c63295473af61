// Starting an entry with its 3D mix, and updating the mix of a playing sound.
// Used by the worker for the queue head and by the single-sound export.
#pragma once
#include "sound_entry.h"

namespace vscaudio {

struct AudioEngine;
struct AudioStream;
struct DeviceSlot;

// Prepares, mixes and plays the entry's cue on its stream and puts a copy that
// owns the cue at the front of the stream's playing sounds. The copy (the
// sound), or null when the entry cannot be started. Under the sound lock.
SoundEntry* StartEntry(AudioEngine& engine, const SoundEntry& entry);

// Recomputes and applies the mix of a sound that already has a cue.
// Under the sound lock.
void UpdateMix(AudioEngine& engine, AudioStream& stream, SoundEntry& sound);

// Computes the sound's mix matrix for the stream's device: X3DAudio's matrix
// (or a straight one when the device has no 3D setup), each destination row
// scaled by the sound's, the stream's and the master volume. False when the
// device's mix has more channels than the entry's storage holds.
bool CalculateMix(AudioEngine& engine, const AudioStream& stream, const DeviceSlot& slot, SoundEntry& sound);

// The whole resolution of a cue name for a stream: its index in the sound
// bank of the stream's device, or kNoCue. Under the sound lock.
uint16_t FindCue(AudioEngine& engine, const AudioStream& stream, const char* cueName);

}  // namespace vscaudio
