// Listing sound sets and loading one into the (fake) library: the log lines,
// the engine start on the set's three files, the module stream on the chosen
// device, the volume, the unload, and the device list.
#include "voice/sound_sets.h"

#include "profiles/profile_part.h"
#include "voice/audio_devices.h"
#include "voice_test_fixture.h"

using namespace orvante;

namespace {

struct SoundSetTest : VoiceTest {
  ProfilePart part;
  void InstallSet(const std::string& base, const char* xgs = ".xgs", const char* xwb = ".xwb",
                  const char* xsb = ".xsb") {
    for (const char* ext : {xgs, xwb, xsb}) simulator.Write("ORVANTE/SoundSets/" + base + ext, "x");
  }
  std::string SetPath(const std::string& file) { return simulator.NativePath("ORVANTE/SoundSets/" + file); }
};

}  // namespace

TEST_F(SoundSetTest, TheListNamesEachSetByItsGlobalSettingsFileAndSkipsFolders) {
  InstallSet("Default");
  InstallSet("lower", ".XGS", ".XWB", ".XSB");
  std::filesystem::create_directories(SetPath("Folder.XGS"));
  simulator.Write("ORVANTE/SoundSets/readme.txt", "");
  simulator.Write("ORVANTE/SoundSets/" + std::string(70, 'v') + ".xgs", "");  // too long for a set name
  part.soundSetNames = {"stale"};
  BuildSoundSetList(part.soundSetNames);
  EXPECT_EQ(part.soundSetNames, (std::vector<std::string>{"Default", "lower"}));
}

TEST_F(SoundSetTest, NoSoundSetFolderGivesAnEmptyList) {
  BuildSoundSetList(part.soundSetNames);
  EXPECT_TRUE(part.soundSetNames.empty());
}

TEST_F(SoundSetTest, LoadingStartsTheEngineCreatesTheStreamAndSetsTheVolume) {
  InstallSet("Default");
  BindFake();
  CopyName(part.settings.SoundSet, "Default");
  part.settings.MasterVolume = 5;
  g_mainSettings.audioOutputDevice = 3;
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
  EXPECT_EQ(VoiceLogLines(),
            (std::vector<std::string>{"Unloading PREVIOUS sounds set...\n", "Loading CURRENT sounds set...\n",
                                      "Sounds set LOADED SUCCESSFULLY!...\n"}));
  EXPECT_EQ(g_voice.soundSetReady, 1);
  EXPECT_NE(g_moduleStream.load(), nullptr);
  EXPECT_EQ(Journal(), "EMPTY_QUE\nDESTROY_STREAM null\nINITIALIZE " + SetPath("Default.xgs") + " | " +
                           SetPath("Default.xwb") + " | " + SetPath("Default.xsb") +
                           " cb\nCREATE_STREAM 3\nSET_VOLUME 5.0\n");
}

// A device chosen earlier that is gone (a headset unplugged) gives no stream:
// the default device speaks instead; with no device at all the user is told
// and no sound set counts as loaded.
TEST_F(SoundSetTest, AStreamThatCannotBeCreatedIsNotReportedAsLoaded) {
  InstallSet("Default");
  CopyName(part.settings.SoundSet, "Default");
  part.settings.MasterVolume = 5;
  auto streamDevices = [&](uint32_t count) {
    reinterpret_cast<void (*)(uint32_t)>(platform::GetProcAddress(AudioLibraryHandle(), "FAKE_AUDIO_STREAM_DEVICES"))(
        count);
  };

  BindFake();
  streamDevices(2);
  g_mainSettings.audioOutputDevice = 11;
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
  EXPECT_EQ(g_voice.soundSetReady, 1);
  EXPECT_NE(g_moduleStream.load(), nullptr);
  EXPECT_NE(Journal().find("CREATE_STREAM 11\nCREATE_STREAM 0\nSET_VOLUME 5.0\n"), std::string::npos) << Journal();
  EXPECT_EQ(VoiceLogLines(),
            (std::vector<std::string>{"Unloading PREVIOUS sounds set...\n", "Loading CURRENT sounds set...\n",
                                      "Couldn't open audio output device 11, using the default device...\n",
                                      "Sounds set LOADED SUCCESSFULLY!...\n"}));
  EXPECT_EQ(g_mainSettings.audioOutputDevice, 11u) << "the choice stays for when the device is back";
  EXPECT_TRUE(Boxes().empty());

  VoiceLogLines().clear();
  BindFake();
  streamDevices(0);
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
  EXPECT_EQ(g_voice.soundSetReady, 0);
  EXPECT_EQ(g_moduleStream.load(), nullptr);
  EXPECT_EQ(Journal().find("SET_VOLUME"), std::string::npos);
  ASSERT_FALSE(VoiceLogLines().empty());
  EXPECT_EQ(VoiceLogLines().back(), "Couldn't open any audio output device, no sound set loaded...\n");
  for (const std::string& line : VoiceLogLines()) EXPECT_EQ(line.find("SUCCESSFULLY"), std::string::npos);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "Orvante");
  EXPECT_NE(Boxes()[0].text.find("No audio output device could be opened"), std::string::npos);
  g_mainSettings.audioOutputDevice = 0;
}

TEST_F(SoundSetTest, FilesAreFoundWhateverTheLetterCaseOfTheirNames) {
  InstallSet("Voice", ".XGS", ".Xwb", ".xsb");
  BindFake();
  CopyName(part.settings.SoundSet, "VOICE");
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
  EXPECT_NE(Journal().find("INITIALIZE " + SetPath("Voice.XGS") + " | " + SetPath("Voice.Xwb") + " | " +
                           SetPath("Voice.xsb")),
            std::string::npos);
}

TEST_F(SoundSetTest, AnEngineThatFailsLeavesNoSound) {
  InstallSet("Default");
  BindFake(/*initializeResult=*/0);
  CopyName(part.settings.SoundSet, "Default");
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
  EXPECT_EQ(g_voice.soundSetReady, 0);
  EXPECT_EQ(g_moduleStream.load(), nullptr);
  EXPECT_EQ(VoiceLogLines().size(), 2u);  // nothing after "Loading CURRENT sounds set..."
  EXPECT_EQ(Journal().find("CREATE_STREAM"), std::string::npos);
}

TEST_F(SoundSetTest, AnEmptySetNameLogsNothingAndLoadsNothing) {
  BindFake();
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
  EXPECT_TRUE(VoiceLogLines().empty());
  EXPECT_EQ(Journal(), "");
}

TEST_F(SoundSetTest, ASetNameOutsideTheFolderIsRefused) {
  BindFake();
  CopyName(part.settings.SoundSet, "../../elsewhere");
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
  EXPECT_EQ(Journal().find("INITIALIZE"), std::string::npos);
  EXPECT_EQ(g_voice.soundSetReady, 0);
}

TEST_F(SoundSetTest, WithoutTheLibraryTheLoadReportsCodeZeroAndStaysSilent) {
  InstallSet("Default");
  CopyName(part.settings.SoundSet, "Default");
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
  EXPECT_EQ(g_voice.soundSetReady, 0);
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);  // no description file installed here
  EXPECT_EQ(boxes[0].caption, "VSCAUDIO.DLL Failed to Load.");
  EXPECT_EQ(VoiceLogLines().back().rfind("The VSCAUDIO.DLL Failed to load with Error Code 0x7e\n", 0), 0u);
}

TEST_F(SoundSetTest, UnloadDoesNothingBeforeTheLibraryLoadedAndReleasesTheStreamAfter) {
  if (AudioLibraryHandle() != nullptr) GTEST_SKIP() << "needs a process that never loaded the library";
  g_voice.soundSetReady = 1;
  UnloadSoundSet();  // never loaded: nothing to release
  EXPECT_EQ(g_voice.soundSetReady, 1);
  InstallSet("Default");
  BindFake();
  CopyName(part.settings.SoundSet, "Default");
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
  BindFake();  // clears the journal
  UnloadSoundSet();
  EXPECT_EQ(Journal(), "EMPTY_QUE\nDESTROY_STREAM stream\n");
  EXPECT_EQ(g_voice.soundSetReady, 0);
  EXPECT_EQ(g_moduleStream.load(), nullptr);
}

TEST_F(SoundSetTest, DevicesAreListedByIndexOnlyFromABoundLibrary) {
  EXPECT_TRUE(ListAudioDevices().empty());  // stubs: no devices
  BindFake();
  EXPECT_EQ(ListAudioDevices(), (std::vector<std::string>{"Fake Device", "Fake Device"}));
}
