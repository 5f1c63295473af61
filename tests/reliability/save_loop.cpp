// A helper of the kill-mid-save test: saves a profile and the main settings
// with the module's own code, alternating two versions of each, over and
// over until it is killed.
//   save_loop APPDATA a|b    saves version a (or b) of both once, prints how long
//                            that took ("saved in N us") and ends
//   save_loop APPDATA loop   prints "saving", then saves b, a, b, a, ... (or
//                            a, b, ... when the files hold b) until it is killed,
//                            so its first save always changes the files
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "core/main_settings.h"
#include "core/module_state.h"
#include "profiles/profile_files.h"
#include "profiles/profiles_environment.h"

namespace {

void SaveVersion(orvante::ProfilePart& part, bool second) {
  using orvante::g_mainSettings;
  part.settings.MinTakeOffLength = second ? 2500 : 1000;
  part.settings.MasterSwitch = second ? 1 : 0;
  part.linkedModels = second ? std::vector<std::string>{"B738", "A320"} : std::vector<std::string>{"B738"};
  g_mainSettings.masterVolume = second ? 7 : 3;
  g_mainSettings.sceneryId = second ? 1234 : 77;
  g_mainSettings.enableKeyEventApi = second ? 1 : 0;
  g_mainSettings.audioOutputDevice = second ? 2 : 0;
  std::snprintf(g_mainSettings.defaultProfile, sizeof g_mainSettings.defaultProfile, "%s", second ? "LOOP" : "");
  orvante::SaveProfile(part, nullptr);
  orvante::WriteMainSettings();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: save_loop APPDATA a|b|loop\n");
    return 2;
  }
  // The folders the module's start-up gives the main settings and the profiles.
  std::snprintf(orvante::g_module.appDataDir, sizeof orvante::g_module.appDataDir, "%s", argv[1]);
  std::snprintf(orvante::g_profilesEnvironment.appDataDir, sizeof orvante::g_profilesEnvironment.appDataDir, "%s",
                argv[1]);
  orvante::ProfilePart part;
  part.soundSetNames = {"Default"};
  orvante::CreateProfile(part, "LOOP");
  const std::string mode = argv[2];
  if (mode == "a" || mode == "b") {
    auto start = std::chrono::steady_clock::now();
    SaveVersion(part, mode == "b");
    auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::printf("saved in %lld us\n", static_cast<long long>(took.count()));
    return 0;
  }
  std::ifstream settings(orvante::MainSettingsPath(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(settings)), {});
  const bool holdsSecond = text.find("MasterVolume=7") != std::string::npos;
  std::puts("saving");
  std::fflush(stdout);
  for (unsigned long long round = 0;; ++round) SaveVersion(part, (round % 2 == 0) != holdsSecond);
}
