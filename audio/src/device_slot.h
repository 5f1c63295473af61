// DeviceSlot: one output device, as enumerated, and its own XACT engine while
// at least one stream plays on it.
#pragma once
#include <F3DAudio.h>
#include <FACT.h>

#include <cstdint>
#include <vector>

namespace vscaudio {

struct AudioEngine;

inline constexpr uint32_t kMaxDevices = 16;
inline constexpr uint32_t kDeviceNameSize = 260;

// Bring-up stages: success bits, and failure bits equal to the codes reported.
inline constexpr uint32_t kSlotCreateFailed = 0x1;
inline constexpr uint32_t kSlotInitFailed = 0x2;
inline constexpr uint32_t kSlotFormatFailed = 0x4;
inline constexpr uint32_t kSlotX3dFailed = 0x8;
inline constexpr uint32_t kSlotWaveBankFailed = 0x10;
inline constexpr uint32_t kSlotSoundBankFailed = 0x20;
inline constexpr uint32_t kSlotCreated = 0x100;
inline constexpr uint32_t kSlotInitialized = 0x200;
inline constexpr uint32_t kSlotFormatRead = 0x400;
inline constexpr uint32_t kSlotX3dReady = 0x800;
inline constexpr uint32_t kSlotWaveBankCreated = 0x1000;
inline constexpr uint32_t kSlotSoundBankCreated = 0x2000;
inline constexpr uint32_t kSlotAllStages = 0x3F00;
inline constexpr uint32_t kSlotReady = 0x8000;

struct DeviceSlot {
  uint32_t lastResult = 0;
  uint32_t state = 0;
  uint32_t streamCount = 0;
  int16_t rendererId[0xFF] = {};
  int16_t displayName[0xFF] = {};
  int32_t defaultDevice = 0;
  char name[kDeviceNameSize] = {};

  FACTAudioEngine* engine = nullptr;
  std::vector<uint8_t> settings;  // this device's own copy of the global settings
  FAudioWaveFormatExtensible mixFormat = {};
  F3DAUDIO_HANDLE x3d = {};
  FACTWaveBank* waveBank = nullptr;
  FACTSoundBank* soundBank = nullptr;
  uint16_t cueCount = 0;
  // Cues no sound refers to any more (stopped through a handle, or left
  // playing by a destroyed stream); destroyed once they have stopped.
  std::vector<FACTCue*> orphans;
};

// Creates an XACT engine the way the SDK's creation routine does; 0 or a
// failure result.
uint32_t CreateXactEngine(FACTAudioEngine** engine);

// Counts a stream on device d and brings its engine up when it is the first.
// Reports each failing stage through the error callback. Under the sound lock.
bool BringUpDevice(AudioEngine& engine, uint32_t deviceIndex);

// Uncounts a stream; shuts the device engine down when none is left.
// Under the sound lock.
void ReleaseDevice(AudioEngine& engine, uint32_t deviceIndex);

// Fills the slots from the renderer list; the device count. Initialisation only.
uint32_t EnumerateDevices(AudioEngine& engine);

// The worker's pass over the devices, under the sound lock: destroys orphaned
// cues that have stopped and pumps every fully brought-up device engine.
void ServiceDevices(AudioEngine& engine);

// The display name narrowed to bytes: the low 8 bits of each character, up to
// the terminator or the buffer's end.
void NarrowDeviceName(const int16_t* wide, size_t wideLength, char* narrow, size_t narrowSize);

}  // namespace vscaudio
