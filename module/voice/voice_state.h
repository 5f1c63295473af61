// What the voice keeps for the whole module: the simulator folder it works in
// (the audio library, the sound sets and the error descriptions are found
// under it) and whether a sound set is loaded. The module's start-up gives the
// folder; only the voice's own operations change the flag, which the worker
// and the settings dialog read.
#pragma once
#include <atomic>
#include <cstdint>

namespace orvante {

struct VoiceState {
  char simulatorDir[260] = {};
  std::atomic<int32_t> soundSetReady{0};
};

// The one instance, zero at load.
extern VoiceState g_voice;

}  // namespace orvante
