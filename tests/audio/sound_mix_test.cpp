// The mix of a sound: X3DAudio's matrix for the emitter's place, each
// destination row scaled by the sound's, the stream's and the master volume.
#include <gtest/gtest.h>

#include <cmath>

#include "audio_engine.h"
#include "sound_playback.h"

using namespace vscaudio;

namespace {

class SoundMixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    slot_.mixFormat.Format.nChannels = 2;
    slot_.state = kSlotX3dReady;
    ASSERT_EQ(xact::X3DInitialize(SPEAKER_STEREO, 343.5f, slot_.x3d), 0u);
    stream_.listener.OrientFront = {0, 0, 1};
    stream_.listener.OrientTop = {0, 1, 0};
    sound_ = MakeEntry(nullptr, "a", 0, 0, 2, 1.0f);
  }
  std::vector<float> Mix() {
    EXPECT_TRUE(CalculateMix(engine_, stream_, slot_, sound_));
    return std::vector<float>(sound_.matrix, sound_.matrix + 4);
  }

  AudioEngine engine_;
  AudioStream stream_;
  DeviceSlot slot_;
  SoundEntry sound_;
};

}  // namespace

TEST_F(SoundMixTest, EveryVolumeScalesEveryCoefficient) {
  std::vector<float> full = Mix();
  float sum = 0;
  for (float c : full) sum += c;
  ASSERT_GT(sum, 0.0f);

  stream_.volume = 0.5f;
  std::vector<float> half = Mix();
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(half[i], full[i] * 0.5f) << i;

  sound_.volume = 0.5f;
  engine_.masterVolume = 3.0f;
  std::vector<float> scaled = Mix();
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(scaled[i], full[i] * 0.5f * 0.5f * 3.0f) << i;
}

TEST_F(SoundMixTest, TheEmitterSitsAtTheSoundsOffsetPlusTheStreamsPosition) {
  stream_.x = 10.0f;
  sound_.z = 0.0f;
  Mix();
  EXPECT_FLOAT_EQ(sound_.emitter.Position.x, 10.0f);
  EXPECT_NEAR(sound_.dsp.EmitterToListenerDistance, 10.0f, 1e-4);
  // Far to the right: the right output (row 1) carries more than the left.
  float left = sound_.matrix[0] + sound_.matrix[1];
  float right = sound_.matrix[2] + sound_.matrix[3];
  EXPECT_GT(right, left);
}

TEST_F(SoundMixTest, WithoutThreeDSetupEachChannelGoesStraightThrough) {
  slot_.state = 0;
  sound_.volume = 0.5f;
  EXPECT_EQ(Mix(), (std::vector<float>{0.5f, 0.0f, 0.0f, 0.5f}));
}

TEST_F(SoundMixTest, MixesWiderThanTheEntrysStorageAreRefused) {
  slot_.mixFormat.Format.nChannels = kMaxDestinationChannels + 1;
  EXPECT_FALSE(CalculateMix(engine_, stream_, slot_, sound_));
  slot_.mixFormat.Format.nChannels = 0;
  EXPECT_FALSE(CalculateMix(engine_, stream_, slot_, sound_));
}
