// Profile files: the reading rules and corrections of every key, the exact
// file format, the profile list, and the names that must never reach the
// file system.
#include "profiles/profile_files.h"

#include "profiles/aircraft_association.h"
#include "profile_test_fixture.h"

using namespace orvante;

namespace {

struct ProfileFilesTest : ProfileTest {
  void SetUp() override {
    ProfileTest::SetUp();
    InstallSoundSets({"Default", "Second"});
    part.soundSetNames = {"Default", "Second"};
  }
};

}  // namespace

TEST_F(ProfileFilesTest, SwitchesAboveOneAreClampedUnlessTheirValueIsKept) {
  WriteProfile("P", "LongLanding=5\r\nOnRunway=5\r\nMasterSwitch=-3\r\nUnstableApproach=7\r\nExcludeShortRwys=2\r\n");
  LoadProfile(part, "P");
  EXPECT_EQ(part.settings.LongLanding, 5u);
  EXPECT_EQ(part.settings.UnstableApproach, 7u);
  EXPECT_EQ(part.settings.OnRunway, 1u);
  EXPECT_EQ(part.settings.MasterSwitch, 1u);  // negative compares as a large unsigned value
  EXPECT_EQ(part.settings.ExcludeShortRwys, 1u);
  SaveProfile(part, nullptr);
  std::string text = ReadProfile("P");
  EXPECT_NE(text.find("\r\nLongLanding=5\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nOnRunway=1\r\n"), std::string::npos);
}

TEST_F(ProfileFilesTest, UnitsOfMeasureKeepTheirLowEightBitsAndTwoOrMoreBecomesMeters) {
  for (const char* value : {"257", "2", "-1"}) {
    WriteProfile("P", std::string("UnitsOfMeasure=") + value + "\r\n");
    LoadProfile(part, "P");
    EXPECT_EQ(part.settings.UnitsOfMeasure, 1) << value;
  }
  WriteProfile("P", "UnitsOfMeasure=256\r\n");  // low 8 bits 0: feet
  LoadProfile(part, "P");
  EXPECT_EQ(part.settings.UnitsOfMeasure, 0);
}

TEST_F(ProfileFilesTest, NegativeLimitsTakeTheirDefaultAndTextReadsAsZero) {
  WriteProfile("P", "MinTakeOffLength=-5\r\nTransitionLevel=-1\r\nMinLandingLength=abc\r\nMaxApproachSpeed=180kt\r\n");
  LoadProfile(part, "P");
  EXPECT_EQ(part.settings.MinTakeOffLength, 1000u);
  EXPECT_EQ(part.settings.TransitionLevel, 18000u);
  EXPECT_EQ(part.settings.MinLandingLength, 0u);
  EXPECT_EQ(part.settings.MaxApproachSpeed, 180u);
}

TEST_F(ProfileFilesTest, AltSetToleranceFromEmptyTextOrNumbersAndSavedWithTwoDecimals) {
  struct Case {
    const char* text;
    float expected;
  } cases[] = {{"", 0.05f},     {"abc", 0.0f},  {"0.07inHg", 0.07f},      {"  -0.5", -0.5f},
               {"1e2", 100.0f}, {".25", 0.25f}, {"1e999", 3.4028235e38f}, {"1e-999", 0.0f}};
  for (const Case& c : cases) {
    WriteProfile("P", std::string("AltSetTolerance=") + c.text + "\r\n");
    LoadProfile(part, "P");
    EXPECT_FLOAT_EQ(part.settings.AltSetTolerance, c.expected) << c.text;
  }
  WriteProfile("P", "");  // key missing
  LoadProfile(part, "P");
  EXPECT_FLOAT_EQ(part.settings.AltSetTolerance, 0.05f);
  SaveProfile(part, nullptr);
  EXPECT_NE(ReadProfile("P").find("\r\nAltSetTolerance=0.05\r\n"), std::string::npos);
}

TEST_F(ProfileFilesTest, MissingKeysAndNewProfilesHaveTheirOwnDefaults) {
  WriteProfile("Old", "");
  LoadProfile(part, "Old");
  EXPECT_EQ(part.settings.AppShortRwyInAir, 0u);
  EXPECT_EQ(part.settings.UnitsOfMeasure, 0);
  EXPECT_EQ(part.settings.OnRunway, 1u);
  EXPECT_EQ(part.settings.MasterSwitch, 0u);
  CreateProfile(part, "New");
  EXPECT_EQ(part.settings.AppShortRwyInAir, 1u);
  EXPECT_EQ(part.settings.UnitsOfMeasure, 1);
  EXPECT_STREQ(part.settings.profileName, "New");
  EXPECT_STREQ(part.settings.SoundSet, "Default");
  EXPECT_TRUE(part.linkedModels.empty());
  EXPECT_FALSE(ProfileExists("New"));  // created, not written
}

TEST_F(ProfileFilesTest, ModelsAreReadUpToTheFirstGap) {
  WriteProfile("P", "Model.0=B738\r\nModel.2=A320\r\n");
  LoadProfile(part, "P");
  EXPECT_EQ(part.linkedModels, std::vector<std::string>{"B738"});
  WriteProfile("P", "Model.0=B738\r\nModel.1=\r\nModel.2=A320\r\n");
  LoadProfile(part, "P");
  EXPECT_EQ(part.linkedModels, std::vector<std::string>{"B738"});
}

TEST_F(ProfileFilesTest, SoundSetNotInstalledOrEmptyBecomesTheFirstFound) {
  for (const char* value : {"Gone", ""}) {
    WriteProfile("P", std::string("SoundSet=") + value + "\r\n");
    LoadProfile(part, "P");
    EXPECT_STREQ(part.settings.SoundSet, "Default") << value;
  }
  WriteProfile("P", "SoundSet=SECOND\r\n");  // names compare without letter case
  LoadProfile(part, "P");
  EXPECT_STREQ(part.settings.SoundSet, "SECOND");
}

TEST_F(ProfileFilesTest, MasterVolumeComesFromTheMainSettingsNotTheFile) {
  g_mainSettings.masterVolume = 7;
  WriteProfile("P", "MasterVolume=2\r\n");
  LoadProfile(part, "P");
  EXPECT_EQ(part.settings.MasterVolume, 7);
  SaveProfile(part, nullptr);
  EXPECT_NE(ReadProfile("P").find("\r\nMasterVolume=7\r\n"), std::string::npos);
}

TEST_F(ProfileFilesTest, AMissingFileLoadsAllDefaultsUnderItsName) {
  part.linkedModels = {"stale"};
  LoadProfile(part, "Nowhere");
  EXPECT_STREQ(part.settings.profileName, "Nowhere");
  EXPECT_EQ(part.settings.MinLandingLength, 800u);
  EXPECT_EQ(part.settings.TouchdownZoneLen, 25u);
  EXPECT_STREQ(part.settings.SoundSet, "Default");
  EXPECT_TRUE(part.linkedModels.empty());
  LoadProfile(part, "");  // an empty name changes nothing
  EXPECT_STREQ(part.settings.profileName, "Nowhere");
}

TEST_F(ProfileFilesTest, ANewProfileIsWrittenInTheFileFormatLineByLine) {
  CreateProfile(part, "AIRBUS");
  part.linkedModels = {"A320", "A321 neo"};
  SaveProfile(part, nullptr);
  EXPECT_EQ(ReadProfile("AIRBUS"),
            "[ORVANTE]\r\nMasterSwitch=0\r\nAppRwyOnGnd=1\r\nAppRwyInAir=1\r\nOnRunway=1\r\nRunwayEnd=1\r\n"
            "TaxiwayTakeOff=1\r\nInsufficientRwyLenOnGnd=1\r\nExtendedHoldingOnRwy=1\r\nAppShortRwyInAir=1\r\n"
            "TaxiwayLanding=1\r\nTakeOffFlapMonitor=1\r\nLandingDistRemain=1\r\nRTODistRemain=1\r\n"
            "LandingFlapMonitor=1\r\nExcessiveApprSpeed=1\r\nExcessiveApprAngle=1\r\nUnstableApproach=1\r\n"
            "AltSettingAbove=1\r\nAltSettingBelow=1\r\nLongLanding=1\r\nCautionEnabled=1\r\nExcludeShortRwys=0\r\n"
            "AirbusSupprZone=1\r\nAnnunciateUnits=1\r\nShowAltSetMsg=0\r\nRepAltSetCallOut=1\r\nUnitsOfMeasure=1\r\n"
            "MinTakeOffLength=1000\r\nMinLandingLength=800\r\nTouchdownZoneLen=25\r\nExtHoldInitialTime=60\r\n"
            "ExtHoldRepeatTime=30\r\nMinTakeOffFlaps=1\r\nMinLandingFlaps=3\r\nMaxApproachSpeed=200\r\n"
            "UpperFlapGateAlert=950\r\nLowerFlapGateAlert=600\r\nTransitionAltitude=18000\r\nTransitionLevel=18000\r\n"
            "AltSetTolerance=0.05\r\nSoundSet=Default\r\nMasterVolume=5\r\nModel.0=A320\r\nModel.1=A321 neo\r\n");
}

TEST_F(ProfileFilesTest, ASavedProfileLoadsBackTheSame) {
  CreateProfile(part, "RoundTrip");
  part.settings.MinTakeOffLength = 2500;
  part.settings.AltSetTolerance = 0.12f;
  part.settings.LongLanding = 9;
  CopyName(part.settings.SoundSet, "Second");
  part.linkedModels = {"Model A", "Model B"};
  const std::string written = FormatProfileFile(part);
  SaveProfile(part, nullptr);
  LoadProfile(part, "RoundTrip");
  EXPECT_EQ(FormatProfileFile(part), written);
}

TEST_F(ProfileFilesTest, ModelNamesWithBlanksOrQuotesAroundThemKeepTheirLinkAcrossSaves) {
  // Aircraft folders may be named so; the saved line must read back as the
  // same name, or the profile no longer follows that aircraft.
  WriteProfile("P", "Model.0=\" B738\"\r\nModel.1=\"'A320'\"\r\nModel.2=\"\"Q400\"\"\r\nModel.3=E190\r\n");
  LoadProfile(part, "P");
  const std::vector<std::string> models{" B738", "'A320'", "\"Q400\"", "E190"};
  ASSERT_EQ(part.linkedModels, models);
  for (int save = 0; save < 2; ++save) {
    SaveProfile(part, nullptr);
    LoadProfile(part, "P");
    EXPECT_EQ(part.linkedModels, models);
  }
  SetAircraftModel("'A320'");
  EXPECT_TRUE(IsProfileLinked(part, "P"));
  EXPECT_NE(ReadProfile("P").find("\r\nModel.3=E190\r\n"), std::string::npos) << "plain names stay unquoted";
}

TEST_F(ProfileFilesTest, SaveNeedsANameAndASoundSet) {
  CreateProfile(part, "NoSet");
  CopyName(part.settings.SoundSet, "");
  SaveProfile(part, nullptr);
  EXPECT_FALSE(ProfileExists("NoSet"));
}

TEST_F(ProfileFilesTest, SaveWithAnOwnerOffersToLinkTheCurrentModelOnce) {
  SetAircraftModel("B737-800");
  CreateProfile(part, "Boeing");
  int owner = 0;
  SaveProfile(part, &owner);
  auto boxes = platform::BuiltInHeadlessUserInterface().Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Orvante");
  EXPECT_EQ(boxes[0].text, "Do you want to link this profile with your current aircraft model?");
  EXPECT_EQ(boxes[0].flags, platform::kMbYesNo | platform::kMbIconQuestion);
  EXPECT_EQ(part.linkedModels, std::vector<std::string>{"B737-800"});  // the default answer is Yes
  EXPECT_NE(ReadProfile("Boeing").find("\r\nModel.0=B737-800\r\n"), std::string::npos);
  SaveProfile(part, &owner);   // linked now: no second question
  SaveProfile(part, nullptr);  // no owner: never asks
  EXPECT_EQ(platform::BuiltInHeadlessUserInterface().Boxes().size(), 1u);
}

TEST_F(ProfileFilesTest, SaveCreatesAMissingProfileFolder) {
  std::filesystem::remove_all(appData.Path("ORVANTE"));
  CreateProfile(part, "Fresh");
  SaveProfile(part, nullptr);
  EXPECT_TRUE(ProfileExists("Fresh"));
  EXPECT_TRUE(Logged("Creating profiles folder...\n"));
}

TEST_F(ProfileFilesTest, AnUnwritableFolderIsLoggedAndNothingIsWritten) {
  // A file where the folder should be: nobody, root included, can write there.
  std::filesystem::remove_all(appData.Path("ORVANTE/Profiles"));
  appData.Write("ORVANTE/Profiles", "not a folder");
  CreateProfile(part, "Locked");
  SaveProfile(part, nullptr);
  EXPECT_FALSE(ProfileExists("Locked"));
  ASSERT_FALSE(CollectedLogLines().empty());
  EXPECT_EQ(CollectedLogLines().back().rfind("Couldn't write profile file", 0), 0u);
}

TEST_F(ProfileFilesTest, TheListHoldsIniFilesWithoutTheirExtensionButNoFolders) {
  WriteProfile("Alpha", "");
  appData.Write("ORVANTE/Profiles/beta.ini", "[ORVANTE]\r\n");
  appData.Write("ORVANTE/Profiles/notes.txt", "");
  std::filesystem::create_directories(appData.Path("ORVANTE/Profiles/Folder.INI"));
  appData.Write("ORVANTE/Profiles/" + std::string(70, 'L') + ".INI", "");  // too long for a profile name
  BuildProfileList(part);
  EXPECT_EQ(part.profileNames, (std::vector<std::string>{"Alpha", "beta"}));
  EXPECT_FALSE(ProfileExists("Folder"));
  EXPECT_TRUE(ProfileExists("BETA"));  // found whatever the letter case
  LoadProfile(part, "BETA");
  SaveProfile(part, nullptr);  // rewrites beta.ini, not a second file
  BuildProfileList(part);
  EXPECT_EQ(part.profileNames.size(), 2u);
}

TEST_F(ProfileFilesTest, DeleteRemovesFileAndListEntriesButNeverTheLoadedProfile) {
  WriteProfile("Keep", "");
  WriteProfile("Drop", "");
  BuildProfileList(part);
  LoadProfile(part, "Keep");
  DeleteProfile(part, "KEEP");
  EXPECT_TRUE(ProfileExists("Keep"));
  DeleteProfile(part, "drop");
  EXPECT_FALSE(ProfileExists("Drop"));
  EXPECT_EQ(part.profileNames, std::vector<std::string>{"Keep"});
}

TEST_F(ProfileFilesTest, NamesThatAreNoFileNamesNeverTouchTheFileSystem) {
  appData.Write("ORVANTE/outside.INI", "[ORVANTE]\r\nMinTakeOffLength=1234\r\n");
  for (const char* name : {"../outside", "a/b", "a\\b", "*", "x?", "..", "con:"}) {
    EXPECT_FALSE(IsValidProfileName(name)) << name;
    EXPECT_FALSE(ProfileExists(name)) << name;
  }
  WriteProfile("Any", "");
  EXPECT_FALSE(ProfileExists("*"));  // a wildcard would find any profile
  LoadProfile(part, "../outside");
  EXPECT_EQ(part.settings.MinTakeOffLength, 1000u);  // read as a missing file
  SaveProfile(part, nullptr);
  EXPECT_EQ(appData.Read("ORVANTE/outside.INI"), "[ORVANTE]\r\nMinTakeOffLength=1234\r\n");
  DeleteProfile(part, "../Profiles/Any");
  EXPECT_TRUE(ProfileExists("Any"));
  EXPECT_TRUE(IsValidProfileName(std::string(69, 'n')));
  EXPECT_FALSE(IsValidProfileName(std::string(70, 'n')));
}
