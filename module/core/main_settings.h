// The main settings file, ORVANTE\ORVANTE.INI under the user's application-data
// folder, section "ORVANTE": default profile, output device, master volume,
// key-event switch and the scenery identifier that is carried unchanged.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

namespace orvante {

struct MainSettings {
  int32_t sceneryId = 0;                      // "P3DSceneryID"
  std::atomic<int64_t> masterVolume{0};       // "MasterVolume", 0 to 10
  std::atomic<int32_t> enableKeyEventApi{0};  // "EnableKeyEventAPI"
  char defaultProfile[70] = {};               // "DEFAULTProfile"
  uint32_t audioOutputDevice = 0;             // "AudioOutputDevice"
};

// The master volume is a step from 0 to 10: the audio library takes its square
// as the gain, so a larger value distorts the speech and a negative one is no
// volume at all. Values from files and panels are brought into the range.
inline constexpr int32_t kMaxMasterVolume = 10;
inline int32_t ClampMasterVolume(int64_t volume) {
  return volume < 0 ? 0 : volume > kMaxMasterVolume ? kMaxMasterVolume : static_cast<int32_t>(volume);
}

// The module-wide instance, zero at load.
extern MainSettings g_mainSettings;

// Path of the main settings file for the current application-data folder.
std::string MainSettingsPath();
void ReadMainSettings();
void WriteMainSettings();

}  // namespace orvante
