// DeviceSlot: one output device, as enumerated, and its own XACT engine while
// at least one stream plays on it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "xact_engine.h"

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

  xact::Engine* engine = nullptr;
  std::vector<uint8_t> settings;  // this device's own copy of the global settings
  xact::MixFormat mixFormat = {};
  xact::X3dHandle x3d = {};
  xact::WaveBank* waveBank = nullptr;
  xact::SoundBank* soundBank = nullptr;
  uint16_t cueCount = 0;
  // Cues no sound refers to any more (stopped through a handle, or left
  // playing by a destroyed stream); destroyed once they have stopped.
  std::vector<xact::Cue*> orphans;

  // The output device under the engine (SDL's identifier, 0 when unknown).
  uint32_t outputId = 0;
  // The device went away while streams played on it: the engine is down, the
  // streams stay, and the worker tries to bring the engine up again every
  // retryInterval passes until the device is back.
  bool lost = false;
  uint32_t retryCountdown = 0;
  uint32_t retryInterval = 0;
};

// Passes of the worker (34 ms each) between attempts to open a lost device
// again: about one second at first, then up to about five.
inline constexpr uint32_t kFirstRetryPasses = 30;
inline constexpr uint32_t kLongestRetryPasses = 150;

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

// The worker's watch over the output devices, under the queue lock and then
// the sound lock: a device found gone loses its sounds and its engine (the
// queue moves on without them); a lost device is tried again now and then,
// without reporting, and plays again once it opens.
void WatchDevices(AudioEngine& engine);

// The output device index of a renderer identifier: its leading decimal
// digits ("0" to "15" as FAudio lists its devices); 0 when there are none.
uint32_t RendererDeviceIndex(const int16_t* rendererId, size_t length);

// The display name narrowed to bytes: the low 8 bits of each character, up to
// the terminator or the buffer's end.
void NarrowDeviceName(const int16_t* wide, size_t wideLength, char* narrow, size_t narrowSize);

}  // namespace vscaudio
