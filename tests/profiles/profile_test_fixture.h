// A module set up for profile tests: an application-data folder, a simulator
// folder with installed sound sets, main settings at their defaults, the log
// lines collected, and the headless front end's boxes cleared.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/main_settings.h"
#include "core/module_log.h"
#include "core/module_state.h"
#include "profiles/profile_part.h"
#include "profiles/profiles_environment.h"
#include "voice/voice_state.h"
#include "platform/user_interface.h"
#include "temp_folder.h"

inline std::vector<std::string>& CollectedLogLines() {
  static std::vector<std::string> lines;
  return lines;
}

struct ProfileTest : ::testing::Test {
  TempFolder appData;
  TempFolder simulator;
  orvante::ProfilePart part;

  void SetUp() override {
    std::strcpy(orvante::g_module.appDataDir, appData.Path().c_str());  // the main settings file's folder
    std::strcpy(orvante::g_profilesEnvironment.appDataDir, appData.Path().c_str());
    std::strcpy(orvante::g_voice.simulatorDir, simulator.Path().c_str());
    std::filesystem::create_directories(appData.Path("ORVANTE/Profiles"));
    orvante::ReadMainSettings();  // no file: the defaults, master volume 5
    CollectedLogLines().clear();
    orvante::SetLogObserver([](const char* line) { CollectedLogLines().push_back(line); });
    platform::BuiltInHeadlessUserInterface().Clear();
  }
  void TearDown() override { orvante::SetLogObserver(nullptr); }

  void InstallSoundSets(std::initializer_list<const char*> names) {
    for (const char* name : names)
      for (const char* ext : {".xgs", ".xwb", ".xsb"})
        simulator.Write(std::string("ORVANTE/SoundSets/") + name + ext, "x");
  }
  std::string WriteProfile(const std::string& name, const std::string& body) {
    return appData.Write("ORVANTE/Profiles/" + name + ".INI", "[ORVANTE]\r\n" + body);
  }
  std::string ReadProfile(const std::string& name) { return appData.Read("ORVANTE/Profiles/" + name + ".INI"); }
  void SetAircraftModel(const std::string& model) { orvante::CopyName(part.currentAircraftModel, model); }
  bool Logged(const std::string& line) const {
    for (const std::string& l : CollectedLogLines())
      if (l == line) return true;
    return false;
  }
};
