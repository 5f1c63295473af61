// Announcements, the audio test and volume changes as the library sees them,
// and announcements queued on a worker while another thread changes the
// volume and loads profiles (run under ThreadSanitizer in CI).
#include "voice/announcement_playback.h"

#include <thread>

#include "profiles/profile_part.h"
#include "profiles/profile_settings.h"
#include "voice/sound_sets.h"
#include "voice_test_fixture.h"

using namespace orvante;

namespace {

struct PlaybackTest : VoiceTest {
  ProfilePart part;
  void LoadDefaultSet(int32_t quePlaying = 0) {
    for (const char* ext : {".xgs", ".xwb", ".xsb"})
      simulator.Write(std::string("ORVANTE/SoundSets/Default") + ext, "x");
    BindFake(1, quePlaying);
    CopyName(part.settings.SoundSet, "Default");
    part.settings.MasterVolume = 5;
    LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
    BindFake(1, quePlaying);  // a fresh journal
  }
};

}  // namespace

TEST_F(PlaybackTest, CuesAreQueuedInOrderOnTheModuleStreamAtTheMasterVolume) {
  LoadDefaultSet();
  QueueAnnouncement({"apprwy", "2", "7", "l"}, false);
  EXPECT_EQ(Journal(),
            "ADD_TO_QUE stream apprwy 0.0 0.0 0.0 5.0\nADD_TO_QUE stream 2 0.0 0.0 0.0 5.0\n"
            "ADD_TO_QUE stream 7 0.0 0.0 0.0 5.0\nADD_TO_QUE stream l 0.0 0.0 0.0 5.0\n");
}

TEST_F(PlaybackTest, CuttingEmptiesTheQueueOnlyWhileItPlays) {
  LoadDefaultSet(/*quePlaying=*/1);
  QueueAnnouncement({"1000", "remaining"}, true);
  EXPECT_EQ(Journal(),
            "IS_QUE_PLAYING\nEMPTY_QUE\nADD_TO_QUE stream 1000 0.0 0.0 0.0 5.0\n"
            "ADD_TO_QUE stream remaining 0.0 0.0 0.0 5.0\n");
  BindFake(1, /*quePlaying=*/0);
  QueueAnnouncement({"500"}, true);
  EXPECT_EQ(Journal(), "IS_QUE_PLAYING\nADD_TO_QUE stream 500 0.0 0.0 0.0 5.0\n");
  BindFake(1, /*quePlaying=*/2);  // only exactly 1 means playing
  QueueAnnouncement({"500"}, true);
  EXPECT_EQ(Journal(), "IS_QUE_PLAYING\nADD_TO_QUE stream 500 0.0 0.0 0.0 5.0\n");
}

TEST_F(PlaybackTest, TheAudioTestPlaysOnlyWithASoundSetLoaded) {
  BindFake();
  PlayAudioTest();
  EXPECT_EQ(Journal(), "");
  LoadDefaultSet();
  g_mainSettings.masterVolume = 8;
  PlayAudioTest();
  EXPECT_EQ(Journal(), "ADD_TO_QUE stream audiotestpassed 0.0 0.0 0.0 8.0\n");
}

TEST_F(PlaybackTest, AVolumeChangeSetsProfileMainSettingAndLibrary) {
  LoadDefaultSet();
  ChangeMasterVolume(part.settings, 7);
  EXPECT_EQ(part.settings.MasterVolume, 7);
  EXPECT_EQ(g_mainSettings.masterVolume, 7);
  QueueAnnouncement({"altimeter"}, false);
  EXPECT_EQ(Journal(), "SET_VOLUME 7.0\nADD_TO_QUE stream altimeter 0.0 0.0 0.0 7.0\n");
}

TEST_F(PlaybackTest, AWorkerQueuesAndReadsSwitchesWhileTheVolumeAndProfileChange) {
  LoadDefaultSet();
  ApplyNewProfileDefaults(part.settings);
  std::thread worker([&] {
    for (int i = 0; i < 300; ++i) {
      uint32_t onRunway = part.settings.OnRunway;
      uint32_t length = part.settings.MinTakeOffLength;
      EXPECT_TRUE(onRunway == 0 || onRunway == 1) << onRunway;
      EXPECT_TRUE(length == 0 || length == 1000) << length;
      QueueAnnouncement({"onrwy"}, true);
    }
  });
  for (int i = 0; i < 300; ++i) {
    ChangeMasterVolume(part.settings, i % 11);
    ClearProfileSettings(part.settings);
    ApplyNewProfileDefaults(part.settings);
  }
  worker.join();
  std::string journal = Journal();
  size_t queued = 0;
  for (size_t at = journal.find("ADD_TO_QUE stream onrwy"); at != std::string::npos;
       at = journal.find("ADD_TO_QUE stream onrwy", at + 1))
    ++queued;
  EXPECT_EQ(queued, 300u);
}
