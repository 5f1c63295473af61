// Listing the library's output devices.
#include "voice/audio_devices.h"

#include "voice/audio_function_table.h"

namespace orvante {

std::vector<std::string> ListAudioDevices() {
  std::vector<std::string> names;
  const int32_t count = g_audio.VSC_AUDIO_GET_DEVICE_COUNT();
  for (int32_t index = 0; index < count; ++index) {
    const char* name = g_audio.VSC_AUDIO_GET_DEVICE_NAME_A(static_cast<uint32_t>(index));
    names.emplace_back(name ? name : "Could not be determined");
  }
  return names;
}

}  // namespace orvante
