// Reading and writing ORVANTE\ORVANTE.INI. The file is rewritten in full at
// every start and after every change; a value another tool placed under the
// scenery identifier is carried through unchanged.
#include "core/main_settings.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "core/module_log.h"
#include "core/module_state.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/process.h"
#include "platform/threads.h"

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
  const int32_t volume = platform::GetPrivateProfileIntU8(kSection, "MasterVolume", 5, file);
  g_mainSettings.masterVolume = ClampMasterVolume(volume);
  if (volume != g_mainSettings.masterVolume.load())
    LogWrite("MasterVolume %d is outside 0 to %d; using %d\n", volume, kMaxMasterVolume,
             static_cast<int32_t>(g_mainSettings.masterVolume.load()));
  g_mainSettings.enableKeyEventApi = platform::GetPrivateProfileIntU8(kSection, "EnableKeyEventAPI", 0, file);
  platform::GetPrivateProfileStringU8(kSection, "DEFAULTProfile", "", g_mainSettings.defaultProfile,
                                      sizeof g_mainSettings.defaultProfile, file);
  g_mainSettings.audioOutputDevice =
      static_cast<uint32_t>(platform::GetPrivateProfileIntU8(kSection, "AudioOutputDevice", 0, file));
  g_mainSettings.sceneryId = platform::GetPrivateProfileIntU8(kSection, SceneryIdKey(), 0, file);
}

namespace {

// The five keys go to a copy of the file, which then replaces the file in
// one rename: a crash or a full disk leaves the file as it was or as it is
// now, never with some keys written and others not.
bool WriteAllKeys(const char* file) {
  char number[32];
  bool written = true;
  std::snprintf(number, sizeof number, "%d", g_mainSettings.sceneryId);
  written = platform::WritePrivateProfileStringU8(kSection, SceneryIdKey(), number, file) && written;
  // Quoted where the reader would otherwise change the name (blanks at
  // either end, quotes around it), so the same profile is found next time.
  written = platform::WritePrivateProfileStringU8(
                kSection, "DEFAULTProfile", platform::QuoteProfileValue(g_mainSettings.defaultProfile).c_str(), file) &&
            written;
  std::snprintf(number, sizeof number, "%d", g_mainSettings.enableKeyEventApi.load());
  written = platform::WritePrivateProfileStringU8(kSection, "EnableKeyEventAPI", number, file) && written;
  std::snprintf(number, sizeof number, "%u", g_mainSettings.audioOutputDevice);
  written = platform::WritePrivateProfileStringU8(kSection, "AudioOutputDevice", number, file) && written;
  std::snprintf(number, sizeof number, "%d", static_cast<int32_t>(g_mainSettings.masterVolume.load()));
  written = platform::WritePrivateProfileStringU8(kSection, "MasterVolume", number, file) && written;
  return written;
}

}  // namespace

void WriteMainSettings() {
  const std::string path = MainSettingsPath();
  const std::string copy = path + ".new-" + std::to_string(platform::GetCurrentProcessId()) + "-" +
                           std::to_string(platform::GetCurrentThreadId());
  // The copy keeps the file's lines and its permissions.
  bool written = !platform::FileExists(path) || platform::CopyFileU8(path, copy, false);
  written = written && WriteAllKeys(copy.c_str()) && platform::MoveFileU8(copy, path);
  if (!written) {
    uint32_t error = platform::GetLastError();
    if (platform::FileExists(copy)) {
      platform::SetFileAttributesU8(copy, platform::kFileAttributeNormal);  // a copy of a read-only file
      platform::DeleteFileU8(copy);
    }
    LogWrite("Couldn't write the INITIALIZATION file %s (error %u); it is left as it was\n", path.c_str(), error);
  }
}

}  // namespace orvante
