// Streams, single sounds and cue variables through the C interface.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "audio_test_support.h"
#include "vscaudio/vscaudio.h"

using namespace audiotest;
using Names = std::vector<std::string>;

namespace {

class AudioStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(set_.Initialize(), 1);
    stream_ = NewStream();
    ASSERT_NE(stream_, nullptr);
  }
  // Destroying every stream shuts the device engine down, so no sound is
  // left playing when the process ends.
  void TearDown() override {
    VSC_AUDIO_EMPTY_QUE();
    for (void* stream : streams_) VSC_AUDIO_DESTROY_STREAM(stream);
  }
  void* NewStream() {
    void* stream = VSC_AUDIO_CREATE_STREAM(0);
    streams_.push_back(stream);
    return stream;
  }
  void* Play(void* stream, const char* cue) {
    void* sound = VSC_AUDIO_PLAY_SOUND(stream, cue, 0, 0, 0, 1);
    EXPECT_NE(sound, nullptr);
    EXPECT_NE(sound, VSC_AUDIO_NO_SUCH_CUE);
    return sound;
  }

  TestSoundSet set_{StandardCues()};
  std::vector<void*> streams_;
  void* stream_ = nullptr;
};

}  // namespace

TEST_F(AudioStreamTest, StreamsExistOnlyOnListedDevices) {
  int32_t count = VSC_AUDIO_GET_DEVICE_COUNT();
  EXPECT_EQ(VSC_AUDIO_CREATE_STREAM(static_cast<uint32_t>(count)), nullptr);
  EXPECT_EQ(VSC_AUDIO_CREATE_STREAM(16), nullptr);
  // Every listed device takes a stream and plays on it. (SDL's dummy driver
  // opens one device at a time, so each gets its turn alone.)
  VSC_AUDIO_DESTROY_STREAM(stream_);
  for (int32_t device = 0; device < count; ++device) {
    void* stream = VSC_AUDIO_CREATE_STREAM(static_cast<uint32_t>(device));
    ASSERT_NE(stream, nullptr) << "device " << device;
    void* sound = Play(stream, "a");
    EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(sound), 1) << "device " << device;
    VSC_AUDIO_DESTROY_STREAM(stream);
  }
  stream_ = NewStream();
  ASSERT_NE(stream_, nullptr);
  // A second stream shares the device's engine; both play.
  void* second = NewStream();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, stream_);
  void* one = Play(stream_, "long");
  void* two = Play(second, "long");
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(one), 1);
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(two), 1);
  // Destroying one stream leaves the other's sound playing on the shared device.
  VSC_AUDIO_DESTROY_STREAM(second);
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(two), 0) << "its handle went with its stream";
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(one), 1);
}

TEST_F(AudioStreamTest, TheDeviceComesUpAgainAfterItsLastStreamWent) {
  VSC_AUDIO_DESTROY_STREAM(stream_);
  EXPECT_EQ(VSC_AUDIO_SET_STREAM_VOLUME(stream_, 0.5f), 0.0f) << "destroyed";
  void* fresh = NewStream();
  ASSERT_NE(fresh, nullptr);
  EXPECT_NE(fresh, stream_) << "handles are never reused";
  void* sound = Play(fresh, "a");
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(sound), 1);
  EXPECT_TRUE(WaitFor([&] { return VSC_AUDIO_IS_SOUND_PLAYING(sound) == 0; }));
}

TEST_F(AudioStreamTest, ASingleSoundPlaysAndItsHandleIsRefusedOnceReleased) {
  EXPECT_EQ(VSC_AUDIO_PLAY_SOUND(stream_, "nosuchcue", 0, 0, 0, 1), VSC_AUDIO_NO_SUCH_CUE);
  EXPECT_EQ(VSC_AUDIO_PLAY_SOUND(nullptr, "a", 0, 0, 0, 1), VSC_AUDIO_NO_SUCH_CUE);
  EXPECT_EQ(VSC_AUDIO_PLAY_SOUND(stream_, nullptr, 0, 0, 0, 1), VSC_AUDIO_NO_SUCH_CUE);
  void* sound = Play(stream_, "a");
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(sound), 1);
  EXPECT_EQ(VSC_AUDIO_GET_SOUND_VOLUME(sound), 1.0f);
  // It ends, and the next pass releases it.
  ASSERT_TRUE(WaitFor([&] { return VSC_AUDIO_GET_SOUND_VOLUME(sound) == 0.0f; }));
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(sound), 0);
  EXPECT_EQ(VSC_AUDIO_SET_SOUND_VOLUME(sound, 0.5f), 0);
  EXPECT_EQ(VSC_AUDIO_PAUSE_SOUND(sound, 1), 0);
  EXPECT_EQ(VSC_AUDIO_SET_CUE_VARIABLE(sound, "Distance", 3.0f), 0);
  EXPECT_EQ(VSC_AUDIO_GET_CUE_VARIABLE(sound, "Distance"), 0.0f);
  VSC_AUDIO_STOP_SOUND(sound, 1);
  // A stream handle is not a sound handle, nor the reverse.
  EXPECT_EQ(VSC_AUDIO_SET_SOUND_VOLUME(stream_, 0.5f), 0);
  void* live = Play(stream_, "long");
  EXPECT_EQ(VSC_AUDIO_SET_STREAM_VOLUME(live, 0.5f), 0.0f);
}

TEST_F(AudioStreamTest, ThePlaysNameIsLookedUpAsGiven) {
  void* sound = Play(stream_, LongName(254).c_str());
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(sound), 1);
  void* longer = VSC_AUDIO_PLAY_SOUND(stream_, LongName(255).c_str(), 0, 0, 0, 1);
  EXPECT_NE(longer, VSC_AUDIO_NO_SUCH_CUE) << "the bank holds it, only the stored copy of the name is empty";
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(longer), 1);
}

TEST_F(AudioStreamTest, StoppingASoundEndsItAndReleasesItsHandle) {
  void* sound = Play(stream_, "long");
  VSC_AUDIO_STOP_SOUND(sound, 1);
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(sound), 0) << "the cue has left the handle";
  EXPECT_EQ(VSC_AUDIO_PAUSE_SOUND(sound, 1), 0);
  ASSERT_TRUE(WaitFor([&] { return VSC_AUDIO_GET_SOUND_VOLUME(sound) == 0.0f; }));
  EXPECT_EQ(VSC_AUDIO_SET_SOUND_VOLUME(sound, 0.3f), 0) << "released by the next pass";
}

TEST_F(AudioStreamTest, SoundVolumeIsStoredAndMarksTheStream) {
  void* sound = Play(stream_, "long");
  EXPECT_EQ(VSC_AUDIO_SET_SOUND_VOLUME(sound, 0.25f), 2);
  EXPECT_EQ(VSC_AUDIO_GET_SOUND_VOLUME(sound), 0.25f);
  EXPECT_EQ(VSC_AUDIO_SET_STREAM_VOLUME(stream_, 0.5f), 0.5f);
  EXPECT_EQ(VSC_AUDIO_GET_STREAM_VOLUME(stream_), 0.5f);
  EXPECT_EQ(VSC_AUDIO_GET_STREAM_VOLUME(nullptr), 0.0f);
  LetPassesRun(2);
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(sound), 1);
}

TEST_F(AudioStreamTest, TheStreamPositionMovesItsSoundsOnTheNextPass) {
  void* sound = VSC_AUDIO_PLAY_SOUND(stream_, "long", 0, 0, 3, 1);
  ASSERT_NE(sound, VSC_AUDIO_NO_SUCH_CUE);
  EXPECT_NEAR(VSC_AUDIO_GET_CUE_VARIABLE(sound, "Distance"), 3.0f, 1e-4) << "the start places the sound";
  EXPECT_EQ(VSC_AUDIO_SET_STREAM_POSITION(stream_, 4, 0, 0), 1);
  // Offset (0, 0, 3) plus stream (4, 0, 0): 5 m from the listener.
  ASSERT_TRUE(WaitFor([&] { return std::fabs(VSC_AUDIO_GET_CUE_VARIABLE(sound, "Distance") - 5.0f) < 1e-3; }));
  EXPECT_EQ(VSC_AUDIO_SET_STREAM_POSITION(reinterpret_cast<void*>(16), 1, 1, 1), 0);
}

TEST_F(AudioStreamTest, CueVariablesAreReadAndWrittenByName) {
  void* sound = Play(stream_, "long");
  EXPECT_EQ(VSC_AUDIO_SET_CUE_VARIABLE(sound, "Distance", 42.0f), 1);
  EXPECT_EQ(VSC_AUDIO_GET_CUE_VARIABLE(sound, "Distance"), 42.0f);
  EXPECT_EQ(VSC_AUDIO_GET_CUE_VARIABLE(sound, "NoSuchVariable"), 0.0f);
  EXPECT_EQ(VSC_AUDIO_SET_CUE_VARIABLE(sound, "NoSuchVariable", 1.0f), 0);
  EXPECT_EQ(VSC_AUDIO_GET_CUE_VARIABLE(sound, nullptr), 0.0f);
  EXPECT_EQ(VSC_AUDIO_SET_CUE_VARIABLE(sound, nullptr, 1.0f), 0);
  // A global variable is not a cue variable.
  EXPECT_EQ(VSC_AUDIO_SET_CUE_VARIABLE(sound, "SpeedOfSound", 1.0f), 0);
}

// The worker applies a pause on its next pass, so the sounds here last long
// enough (800 ms) for a pass to come even on a loaded machine.
TEST_F(AudioStreamTest, PausingAStreamHoldsItsSoundsUntilItResumes) {
  void* sound = Play(stream_, "long");
  EXPECT_EQ(VSC_AUDIO_PAUSE_STREAM(stream_, 1), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(sound), 1) << "still held, well past its 800 ms";
  EXPECT_EQ(VSC_AUDIO_PAUSE_STREAM(stream_, 0), 0);
  EXPECT_TRUE(WaitFor([&] { return VSC_AUDIO_IS_SOUND_PLAYING(sound) == 0; }));
  EXPECT_EQ(VSC_AUDIO_PAUSE_STREAM(nullptr, 1), 0);
}

TEST_F(AudioStreamTest, PausingASoundDirectlyHoldsIt) {
  void* sound = Play(stream_, "long");
  EXPECT_EQ(VSC_AUDIO_PAUSE_SOUND(sound, 1), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(sound), 1);
  EXPECT_EQ(VSC_AUDIO_PAUSE_SOUND(sound, 0), 1);
  EXPECT_TRUE(WaitFor([&] { return VSC_AUDIO_IS_SOUND_PLAYING(sound) == 0; }));
}

TEST_F(AudioStreamTest, DestroyingAStreamPurgesItsQueuedCuesAndKeepsTheOthersInOrder) {
  void* other = NewStream();
  ASSERT_NE(other, nullptr);
  TraceRecorder trace;
  VSC_AUDIO_ADD_TO_QUE(other, "long", 0, 0, 0, 1);
  VSC_AUDIO_ADD_TO_QUE(stream_, "a", 0, 0, 0, 1);
  VSC_AUDIO_ADD_TO_QUE(other, "x", 0, 0, 0, 1);
  VSC_AUDIO_ADD_TO_QUE(stream_, "b", 0, 0, 0, 1);
  VSC_AUDIO_ADD_TO_QUE(other, "y", 0, 0, 0, 1);
  VSC_AUDIO_DESTROY_STREAM(stream_);
  ASSERT_TRUE(WaitFor([] { return VSC_AUDIO_IS_QUE_PLAYING() == 0; }));
  EXPECT_EQ(trace.Names(VSC_AUDIO_TRACE_CUE_STARTED), (Names{"long", "x", "y"}));
}

TEST_F(AudioStreamTest, DestroyingTheStreamOfThePlayingHeadLetsTheQueueGoOn) {
  void* other = NewStream();
  ASSERT_NE(other, nullptr);
  TraceRecorder trace;
  VSC_AUDIO_ADD_TO_QUE(stream_, "long", 0, 0, 0, 1);
  VSC_AUDIO_ADD_TO_QUE(other, "b", 0, 0, 0, 1);
  ASSERT_TRUE(WaitFor([&] { return trace.Count(VSC_AUDIO_TRACE_CUE_STARTED) == 1; }));
  VSC_AUDIO_DESTROY_STREAM(stream_);
  ASSERT_TRUE(WaitFor([] { return VSC_AUDIO_IS_QUE_PLAYING() == 0; }));
  EXPECT_EQ(trace.Names(VSC_AUDIO_TRACE_CUE_STARTED), (Names{"long", "b"}));
}
