// Reading and writing ORVANTE\ORVANTE.INI. The file is rewritten in full at
// every start and after every change; a value another tool placed under the
// scenery identifier is carried through unchanged.
#include "core/main_settings.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "core/module_state.h"
#include "platform/files.h"
#include "platform/ini_file.h"

namespace orvante {

MainSettings g_mainSettings;

namespace {

constexpr char kSection[] = "ORVANTE";

// Only Prepar3D passes start-up, so its key is the one in use.
const char* SceneryIdKey() { return "P3DSceneryID"; }

}  // namespace

std::string MainSettingsPath() { return platform::JoinPath({g_module.appDataDir, "ORVANTE\\ORVANTE.INI"}); }

void ReadMainSettings() {
  std::memset(g_mainSettings.defaultProfile, 0, sizeof g_mainSettings.defaultProfile);
  std::string path = MainSettingsPath();
  const char* file = path.c_str();
  g_mainSettings.masterVolume = platform::GetPrivateProfileInt(kSection, "MasterVolume", 5, file);
  g_mainSettings.enableKeyEventApi = platform::GetPrivateProfileInt(kSection, "EnableKeyEventAPI", 0, file);
  platform::GetPrivateProfileString(kSection, "DEFAULTProfile", "", g_mainSettings.defaultProfile,
                                    sizeof g_mainSettings.defaultProfile, file);
  g_mainSettings.audioOutputDevice =
      static_cast<uint32_t>(platform::GetPrivateProfileInt(kSection, "AudioOutputDevice", 0, file));
  g_mainSettings.sceneryId = platform::GetPrivateProfileInt(kSection, SceneryIdKey(), 0, file);
}

void WriteMainSettings() {
  std::string path = MainSettingsPath();
  const char* file = path.c_str();
  char number[32];
  std::snprintf(number, sizeof number, "%d", g_mainSettings.sceneryId);
  platform::WritePrivateProfileString(kSection, SceneryIdKey(), number, file);
  // Quoted where the reader would otherwise change the name (blanks at
  // either end, quotes around it), so the same profile is found next time.
  platform::WritePrivateProfileString(kSection, "DEFAULTProfile",
                                      platform::QuoteProfileValue(g_mainSettings.defaultProfile).c_str(), file);
  std::snprintf(number, sizeof number, "%d", g_mainSettings.enableKeyEventApi.load());
  platform::WritePrivateProfileString(kSection, "EnableKeyEventAPI", number, file);
  std::snprintf(number, sizeof number, "%u", g_mainSettings.audioOutputDevice);
  platform::WritePrivateProfileString(kSection, "AudioOutputDevice", number, file);
  std::snprintf(number, sizeof number, "%d", static_cast<int32_t>(g_mainSettings.masterVolume.load()));
  platform::WritePrivateProfileString(kSection, "MasterVolume", number, file);
}

}  // namespace orvante
