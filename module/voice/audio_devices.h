// The audio output devices the library knows, by index, for the settings
// dialog's device choice (the index is the main setting "AudioOutputDevice").
#pragma once
#include <string>
#include <vector>

namespace orvante {

// The display name of each device below VSC_AUDIO_GET_DEVICE_COUNT, in index
// order; empty while the library has no engine. A device whose name the
// library cannot give is listed as "Could not be determined", so indexes stay
// aligned with the library's.
std::vector<std::string> ListAudioDevices();

}  // namespace orvante
