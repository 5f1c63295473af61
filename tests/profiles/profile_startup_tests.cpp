// Start-up of the profile part: which profile is opened, what is created and
// recorded, and the log lines in their order. No audio library is installed
// here, so the sound set's load ends in the library's code-0 report.
#include "profiles/profile_startup.h"

#include "core/main_settings.h"
#include "profiles/profile_files.h"
#include "profile_test_fixture.h"

using namespace orvante;

namespace {

struct StartupTest : ProfileTest {
  std::vector<std::string> LinesAfter(const std::string& first) {
    const auto& lines = CollectedLogLines();
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == first) return {lines.begin() + i, lines.end()};
    return {};
  }
};

}  // namespace

TEST_F(StartupTest, AnEmptyProfileFolderCreatesSavesAndRecordsAirbus) {
  InstallSoundSets({"Default"});
  std::filesystem::remove_all(appData.Path("ORVANTE/Profiles"));
  SetAircraftModel("left over");
  InitProfiles(part);
  EXPECT_TRUE(ProfileExists("AIRBUS"));
  EXPECT_EQ(part.profileNames, std::vector<std::string>{"AIRBUS"});
  EXPECT_STREQ(part.settings.profileName, "AIRBUS");
  EXPECT_STREQ(part.currentAircraftModel, "");
  EXPECT_EQ(part.settings.MasterSwitch, 0u);
  EXPECT_STREQ(g_mainSettings.defaultProfile, "AIRBUS");
  EXPECT_NE(appData.Read("ORVANTE/ORVANTE.INI").find("DEFAULTProfile=AIRBUS\r\n"), std::string::npos);
  EXPECT_EQ(
      LinesAfter("Building sound sets list...\n"),
      (std::vector<std::string>{
          "Building sound sets list...\n", "Sound set(s) FOUND!...\n", "Building profiles list...\n",
          "Creating NEW profile...\n", "Saving profile in disk...\n", "Creating profiles folder...\n",
          "Building profiles list (AGAIN)...\n", "Updating DEFAULT profile...\n", "Updating INITIALIZATION file...\n",
          "Unloading PREVIOUS sounds set...\n", "Loading CURRENT sounds set...\n",
          "The VSCAUDIO.DLL Failed to load with Error Code 0x7e\nBe sure the VSCAUDIO.DLL is in the "
          "\\Windows\\System32 folder.\n then restart the application....\n"}));
  EXPECT_EQ(g_voice.soundSetReady, 0);
}

TEST_F(StartupTest, TheDefaultProfileIsOpenedAndTheUnitStaysOff) {
  InstallSoundSets({"Default"});
  WriteProfile("Alpha", "MasterSwitch=1\r\n");
  WriteProfile("Mine", "MasterSwitch=1\r\nMinTakeOffLength=4000\r\n");
  CopyName(g_mainSettings.defaultProfile, "mine");
  InitProfiles(part);
  EXPECT_STREQ(part.settings.profileName, "mine");
  EXPECT_EQ(part.settings.MinTakeOffLength, 4000u);
  EXPECT_EQ(part.settings.MasterSwitch, 0u);
  EXPECT_TRUE(Logged("Openning DEFAULT profile...\n"));
  EXPECT_FALSE(Logged("Updating INITIALIZATION file...\n"));
}

TEST_F(StartupTest, AMissingDefaultOpensTheFirstProfileAndRecordsIt) {
  InstallSoundSets({"Default"});
  WriteProfile("Beta", "MinTakeOffLength=2000\r\n");
  WriteProfile("Alpha", "MinTakeOffLength=3000\r\n");
  CopyName(g_mainSettings.defaultProfile, "Deleted");
  InitProfiles(part);
  EXPECT_STREQ(part.settings.profileName, "Alpha");
  EXPECT_EQ(part.settings.MinTakeOffLength, 3000u);
  EXPECT_STREQ(g_mainSettings.defaultProfile, "Alpha");
  EXPECT_TRUE(Logged("Openning FIRST profile in list...\n"));
  EXPECT_TRUE(Logged("Updating DEFAULT profile...\n"));
}

TEST_F(StartupTest, WithoutSoundSetsNoProfileIsLoaded) {
  WriteProfile("Alpha", "MasterSwitch=1\r\n");
  InitProfiles(part);
  EXPECT_TRUE(part.soundSetNames.empty());
  EXPECT_TRUE(part.profileNames.empty());
  EXPECT_STREQ(part.settings.profileName, "");
  EXPECT_EQ(part.settings.MasterSwitch, 0u);
  EXPECT_EQ(CollectedLogLines(), std::vector<std::string>{"Building sound sets list...\n"});
  EXPECT_TRUE(platform::BuiltInHeadlessUserInterface().Boxes().empty());
}

TEST_F(StartupTest, WithoutAnApplicationDataFolderNothingHappens) {
  InstallSoundSets({"Default"});
  g_profilesEnvironment.appDataDir[0] = '\0';
  InitProfiles(part);
  EXPECT_TRUE(part.soundSetNames.empty());
  EXPECT_TRUE(CollectedLogLines().empty());
}

TEST_F(StartupTest, AProfileThatCannotBeSavedIsStillRecordedAsTheDefault) {
  InstallSoundSets({"Default"});
  std::filesystem::remove_all(appData.Path("ORVANTE/Profiles"));
  appData.Write("ORVANTE/Profiles", "not a folder");  // unwritable for root as well
  InitProfiles(part);
  EXPECT_TRUE(part.profileNames.empty());
  EXPECT_STREQ(part.settings.profileName, "AIRBUS");
  EXPECT_STREQ(g_mainSettings.defaultProfile, "AIRBUS");
}
