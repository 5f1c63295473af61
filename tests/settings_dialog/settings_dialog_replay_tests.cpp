// The settings dialog end to end: a replay whose events file opens the
// add-on's menu entry and works the dialog. A profile named after the
// aircraft's model is created, linked, changed and saved; the files and the
// transcript show it. Skipped while the stand-in simulator does not play
// dialog actions.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "sim_run.h"
#include "temp_folder.h"
#include "created_profile_text.h"

namespace {

TEST(SettingsDialogReplay, TheMenuOpensTheDialogAndTheScriptCreatesLinksAndSavesAProfile) {
  const std::string simDir = BuildDir() + "/sim";
  ASSERT_TRUE(std::filesystem::exists(simDir + "/ORVANTE/SoundSets/Default.xgs")) << "the default voice is installed";
  TempFolder folder;
  folder.Write("app/ORVANTE/Profiles/KSFO.INI", "[ORVANTE]\nMasterSwitch=1\nModel.0=OTHER\n");
  folder.Write("app/ORVANTE/ORVANTE.INI", "[ORVANTE]\nDEFAULTProfile=KSFO\nP3DSceneryID=77\n");
  folder.Write("aircraft/B738/aircraft.cfg", "[fltsim.0]\ntitle=Test 737\nsim=B738\n");
  const std::string flight = folder.Write("flight.csv",
                                          "t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n"
                                          "0,37.611816,-122.362218,13,28,0,1\n"
                                          "20,37.611816,-122.362218,13,28,0,1\n");
  const std::string events = folder.Write("events.csv", "0,aircraft_loaded," + folder.Path("aircraft/B738") +
                                                            "\n0,sim_start\n"
                                                            "10,menu\n"
                                                            "10,dialog,press,Profiles/Create\n"
                                                            "10,dialog,press,Create Profile\n"
                                                            "10,dialog,answer,Yes\n"
                                                            "10,dialog,check,Master Switch (On/Off),1\n"
                                                            "10,dialog,type,Minimum Take-off Length:,2500\n"
                                                            "10,dialog,press,Close and Save Settings\n");
  SimRun run =
      RunSim("replay " + flight + " --events " + events + " --sim-dir " + simDir + " --appdata " + folder.Path("app") +
             " --aircraft " + folder.Path("aircraft/B738") + " --transcript " + folder.Path("out.jsonl"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  if (run.output.find("dialog actions are not played") != std::string::npos)
    GTEST_SKIP() << "this stand-in simulator does not play dialog actions yet";

  EXPECT_EQ(folder.Read("app/ORVANTE/Profiles/B738.INI"), CreatedProfileText("B738"));
  const std::string mainSettings = folder.Read("app/ORVANTE/ORVANTE.INI");
  for (const char* line :
       {"P3DSceneryID=77", "DEFAULTProfile=KSFO", "EnableKeyEventAPI=0", "AudioOutputDevice=0", "MasterVolume=5"})
    EXPECT_NE(mainSettings.find(line), std::string::npos) << line << " in\n" << mainSettings;
  // The other profile is untouched.
  EXPECT_EQ(folder.Read("app/ORVANTE/Profiles/KSFO.INI"), "[ORVANTE]\nMasterSwitch=1\nModel.0=OTHER\n");

  const std::string transcript = folder.Read("out.jsonl");
  EXPECT_NE(
      transcript.find("{\"t\":10.000,\"type\":\"box\",\"caption\":\"Orvante\",\"text\":\"Do you want to link this "
                      "profile with your current aircraft model?\",\"answer\":\"Yes\"}"),
      std::string::npos)
      << transcript;
  for (const char* action : {"press,Profiles/Create", "press,Create Profile", "check,Master Switch (On/Off),1",
                             "type,Minimum Take-off Length:,2500", "press,Close and Save Settings"})
    EXPECT_NE(transcript.find(action), std::string::npos) << action;
  // The save question came once: the profile was linked when it was created.
  EXPECT_EQ(transcript.find("Do you want to save changes"), std::string::npos);
}

}  // namespace
