// The profile part and the voice binding at module start-up, in the stand-in
// simulator: a first start on an empty application-data folder, and a start
// with the audio library missing from the simulator folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "sim_run.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string SimFolder() { return BuildDir() + "/sim"; }

// A simulator folder that links to every entry of the built one, except the
// entries named in leftOut (paths relative to the folder).
void LinkSimFolder(const fs::path& from, const fs::path& to, const std::vector<fs::path>& leftOut,
                   const fs::path& relative = {}) {
  fs::create_directories(to);
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    fs::path name = relative / entry.path().filename();
    bool isLeftOut = false, holdsLeftOut = false;
    for (const fs::path& out : leftOut) {
      isLeftOut = isLeftOut || out == name;
      holdsLeftOut = holdsLeftOut || out.string().rfind(name.string() + "/", 0) == 0;
    }
    if (isLeftOut) continue;
    if (holdsLeftOut) LinkSimFolder(entry.path(), to / entry.path().filename(), leftOut, name);
    else fs::create_symlink(entry.path(), to / entry.path().filename());
  }
}

}  // namespace

TEST(ProfilesStartup, AFirstStartCreatesAirbusRecordsItAndLoadsTheDefaultVoice) {
  if (!fs::exists(SimFolder() + "/ORVANTE/SoundSets/Default.xgs")) GTEST_SKIP() << "the default voice is not built";
  TempFolder appData;
  SimRun run = RunSim("start --sim-dir " + SimFolder() + " --appdata " + appData.Path() + " --seconds 1");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::string log = appData.Read("ORVANTE/ORVANTE.LOG");
  EXPECT_NE(log.find("Creating NEW profile...\nSaving profile in disk...\nCreating profiles folder...\n"
                     "Building profiles list (AGAIN)...\nUpdating DEFAULT profile...\n"
                     "Updating INITIALIZATION file...\nUnloading PREVIOUS sounds set...\n"
                     "Loading CURRENT sounds set...\nSounds set LOADED SUCCESSFULLY!...\n"),
            std::string::npos)
      << log;
  EXPECT_NE(appData.Read("ORVANTE/ORVANTE.INI").find("DEFAULTProfile=AIRBUS\r\n"), std::string::npos);
  std::string profile = appData.Read("ORVANTE/Profiles/AIRBUS.INI");
  EXPECT_EQ(profile.rfind("[ORVANTE]\r\nMasterSwitch=0\r\n", 0), 0u) << profile;
  EXPECT_NE(profile.find("\r\nSoundSet=Default\r\nMasterVolume=5\r\n"), std::string::npos) << profile;
  // No audio failure was shown (the runway table has boxes of its own).
  for (const char* caption :
       {"VSCAUDIO.DLL Failed to Load.", "Vescor Audio Engine HR Code", "File Error!", "Error Occured"})
    EXPECT_EQ(run.output.find(std::string("message box \"") + caption), std::string::npos) << run.output;

  // The second start opens the recorded default profile.
  run = RunSim("start --sim-dir " + SimFolder() + " --appdata " + appData.Path() + " --seconds 1");
  log = appData.Read("ORVANTE/ORVANTE.LOG");
  EXPECT_NE(log.find("Building profiles list...\nOpenning DEFAULT profile...\nUnloading PREVIOUS sounds set...\n"),
            std::string::npos)
      << log;
}

TEST(ProfilesStartup, WithoutTheAudioLibraryTheLoadFailureIsShownAndLogged) {
  if (!fs::exists(SimFolder() + "/ORVANTE/SoundSets/Default.xgs")) GTEST_SKIP() << "the default voice is not built";
  TempFolder appData, simulator;
  LinkSimFolder(SimFolder(), simulator.Path("sim"), {"ORVANTE/DLLs"});
  SimRun run = RunSim("start --sim-dir " + simulator.Path("sim") + " --appdata " + appData.Path() + " --seconds 1");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string text =
      "The VSCAUDIO.DLL Failed to load with Error Code 0x7e\\nBe sure the VSCAUDIO.DLL is in the "
      "\\Windows\\System32 folder.\\n then restart the application.";
  EXPECT_NE(run.output.find("message box \"VSCAUDIO.DLL Failed to Load.\": \"" + text + "\" -> OK"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("message box \"Vescor Audio Engine HR Code\": \"HRESULT_CODE = 126\\nError name: "
                            "ERROR_MOD_NOT_FOUND"),
            std::string::npos)
      << run.output;
  std::string log = appData.Read("ORVANTE/ORVANTE.LOG");
  EXPECT_NE(log.find("Loading CURRENT sounds set...\nThe VSCAUDIO.DLL Failed to load with Error Code 0x7e\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("Sounds set LOADED SUCCESSFULLY!"), std::string::npos);
}
