// The sound output the simulator offers its add-ons. The audio library of an
// add-on plays through SDL; on a machine without an audio device SDL's default
// driver finds no output at all and the add-on would stay silent for good, so
// the simulator then chooses SDL's "dummy" driver, which plays in silence but
// plays, and says so.
#pragma once
#include <functional>
#include <string>

namespace sim {

// The number of audio output devices, or a negative number when none can be
// found; why in reason.
using AudioDeviceProbe = std::function<int(std::string& reason)>;

// SDL's own probe of the output devices of its default driver.
int ProbeSdlAudioDevices(std::string& reason);

// Leaves a driver chosen through SDL_AUDIODRIVER alone; otherwise probes and,
// when there is no device, sets SDL_AUDIODRIVER to "dummy" for this process.
// Reports the choice. Returns the driver set, or empty for SDL's default.
std::string ChooseAudioDriver(const AudioDeviceProbe& probe, const std::function<void(const std::string&)>& say);

}  // namespace sim
