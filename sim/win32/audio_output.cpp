// The sound output on Windows: the add-ons' audio library opens the system's
// own device through XACT3, so the simulator has no driver to choose.
#include "audio_output.h"

namespace sim {

int ProbeSdlAudioDevices(std::string& reason) {
  reason = "the Windows build plays through the system's audio, not SDL";
  return -1;
}

std::string ChooseAudioDriver(const AudioDeviceProbe& /*probe*/, const std::function<void(const std::string&)>& say) {
  say("audio output through the system's default device: the add-ons' audio library opens it");
  return {};
}

}  // namespace sim
