// The module started and stopped by the stand-in simulator through dll.xml:
// the log's start-up lines in order, the rewritten main settings, a prompt
// shut-down, and a quiet stop when the simulator is not Prepar3D.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "sim_run.h"
#include "temp_folder.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Each needle appears after the previous one.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& needles) {
  size_t at = 0;
  for (const std::string& needle : needles) {
    size_t found = text.find(needle, at);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << needle << "\nin:\n" << text;
    at = found + needle.size();
  }
}

}  // namespace

TEST(ModuleStartup, StartsThroughDllXmlLogsInOrderAndWritesTheSettings) {
  TempFolder appData;
  SimRun run = RunSim("start --sim-dir " + BuildDir() + "/sim --appdata " + appData.Path() + " --seconds 2");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::string log = ReadFile(appData.Path("ORVANTE/ORVANTE.LOG"));
  EXPECT_EQ(log.rfind("Searching for Flight Simulator's Main Window...\n", 0), 0u) << log;
  ExpectInOrder(log, {"Searching for Flight Simulator's Main Window...\n",
                      "Retrieving Flight Simulator's Path and Version...\n", "It's a supported Flight Simulator...\n",
                      "Retrieving Orvante Pro version...\n", "Orvante Pro version: Version: ",
                      "Reading the INITIALIZATION file...\n", "Connecting to the Flight Simulator...\n",
                      "Initializating ORVA system...\n", "Registering Custom Event Handler...\n",
                      "Creating profile font...\n", "LOG EVENT -> Initialize COM....\n"});
  // The worker is suspended (no simulation has started): the stop waits for
  // at most its one-second pause.
  size_t stop = run.output.find("module_deinit returned after ");
  ASSERT_NE(stop, std::string::npos) << run.output;
  int stopMs = std::atoi(run.output.c_str() + stop + std::strlen("module_deinit returned after "));
  EXPECT_LE(stopMs, 1300) << run.output;
  std::string settings = ReadFile(appData.Path("ORVANTE/ORVANTE.INI"));
  for (const char* key :
       {"P3DSceneryID=0", "DEFAULTProfile=", "EnableKeyEventAPI=0", "AudioOutputDevice=0", "MasterVolume=5"})
    EXPECT_NE(settings.find(key), std::string::npos) << key << " missing from\n" << settings;
}

TEST(ModuleStartup, AnotherStartTruncatesTheLogAndKeepsTheSceneryIdentifier) {
  TempFolder appData;
  appData.Write("ORVANTE/ORVANTE.LOG", "an old log line that must go\n");
  appData.Write("ORVANTE/ORVANTE.INI", "[ORVANTE]\nP3DSceneryID=4711\n");
  SimRun run = RunSim("start --sim-dir " + BuildDir() + "/sim --appdata " + appData.Path() + " --seconds 1");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(ReadFile(appData.Path("ORVANTE/ORVANTE.LOG")).find("an old log line"), std::string::npos);
  EXPECT_NE(ReadFile(appData.Path("ORVANTE/ORVANTE.INI")).find("P3DSceneryID=4711"), std::string::npos);
}

TEST(ModuleStartup, StoodAsFsxTheModuleStopsAfterTheVersionCheck) {
  TempFolder appData;
  SimRun run = RunSim("start --as fsx --sim-dir " + BuildDir() + "/sim --appdata " + appData.Path() + " --seconds 1");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(ReadFile(appData.Path("ORVANTE/ORVANTE.LOG")),
            "Searching for Flight Simulator's Main Window...\n"
            "Retrieving Flight Simulator's Path and Version...\n");
  EXPECT_FALSE(std::filesystem::exists(appData.Path("ORVANTE/ORVANTE.INI")));
}
