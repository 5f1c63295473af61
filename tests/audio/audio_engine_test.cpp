// The engine through the C interface: initialisation and its file errors,
// devices, master volume, engine pause, re-initialisation. Each test runs in a
// process of its own (CTest), so "no engine" really means none.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio_test_support.h"
#include "platform/process.h"
#include "platform/user_interface.h"
#include "vscaudio/vscaudio.h"

using namespace audiotest;

namespace {

struct Report {
  uint32_t code;
  uint32_t result;
};
std::vector<Report> g_reports;
int32_t g_callbackAnswer = 0;

int32_t RecordingCallback(uint32_t code, uint32_t result) {
  g_reports.push_back({code, result});
  return g_callbackAnswer;
}

class AudioEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_reports.clear();
    g_callbackAnswer = 0;
    platform::BuiltInHeadlessUserInterface().Clear();
  }
  std::vector<platform::MessageBoxRecord> Boxes() { return platform::BuiltInHeadlessUserInterface().Boxes(); }
};

constexpr const char* kFileErrorText = "One or more Xact Project Files Could not Be located at specified location!";

}  // namespace

TEST_F(AudioEngineTest, EveryExportReturnsItsFailureValueWithoutAnEngine) {
  EXPECT_EQ(VSC_AUDIO_GET_DEVICE_COUNT(), 0);
  EXPECT_EQ(VSC_AUDIO_GET_DEVICE_NAME_A(0), nullptr);
  EXPECT_EQ(VSC_AUDIO_GET_VOLUME(), 0.0f);
  EXPECT_EQ(VSC_AUDIO_SET_VOLUME(2.0f), 0);
  EXPECT_EQ(VSC_AUDIO_PAUSE_ENGINE(1), 0);
  EXPECT_EQ(VSC_AUDIO_CREATE_STREAM(0), nullptr);
  EXPECT_EQ(VSC_AUDIO_PLAY_SOUND(nullptr, "a", 0, 0, 0, 1), VSC_AUDIO_NO_SUCH_CUE);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0);
  EXPECT_EQ(VSC_AUDIO_MONITOR_LOG_A_F(), 1);
  // Lists work without an engine; appending needs a stream, which does not exist.
  void* list = VSC_AUDIO_CREATE_LIST();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, nullptr, "a", 0, 0, 0, 1), 0);
  EXPECT_EQ(VSC_AUDIO_CLEAR_LIST(list), 1);
  VSC_AUDIO_DESTROY_LIST(list);
  EXPECT_EQ(VSC_AUDIO_CLEAR_LIST(list), 0);
}

TEST_F(AudioEngineTest, AMissingPathIsRefusedWithLastError87AndKeepsTheEngine) {
  TestSoundSet set(StandardCues());
  ASSERT_EQ(set.Initialize(), 1);
  int32_t devices = VSC_AUDIO_GET_DEVICE_COUNT();
  platform::SetLastError(0);
  EXPECT_EQ(VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(set.xgs().c_str(), nullptr, set.xsb().c_str(), RecordingCallback), 0);
  EXPECT_EQ(platform::GetLastError(), 87u);
  EXPECT_TRUE(g_reports.empty());
  EXPECT_EQ(VSC_AUDIO_GET_DEVICE_COUNT(), devices);
  EXPECT_NE(VSC_AUDIO_CREATE_STREAM(0), nullptr);
}

TEST_F(AudioEngineTest, EachMissingFileReportsItsOwnCodeAndStopsReading) {
  TestSoundSet set(StandardCues());
  std::u16string missing = Utf16(set.folder() + "/nothing-here.xwb");
  struct Case {
    std::u16string xgs, xwb, xsb;
    uint32_t code;
  } cases[] = {
      {missing, missing, missing, AUDIO_ERR_XGSFILE},
      {set.xgs(), missing, missing, AUDIO_ERR_XWBFILE},
      {set.xgs(), set.xwb(), missing, AUDIO_ERR_XSBFILE},
  };
  for (const Case& c : cases) {
    g_reports.clear();
    EXPECT_EQ(VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(c.xgs.c_str(), c.xwb.c_str(), c.xsb.c_str(), RecordingCallback), 0);
    ASSERT_EQ(g_reports.size(), 1u) << "only the first unreadable file is reported";
    EXPECT_EQ(g_reports[0].code, c.code);
    EXPECT_EQ(g_reports[0].result, 0x80070057u);
    // The failed engine is current but not ready: nothing can be created on it.
    EXPECT_EQ(VSC_AUDIO_CREATE_STREAM(0), nullptr);
  }
  EXPECT_TRUE(Boxes().empty()) << "a callback answering 0 suppresses the library's message";
}

TEST_F(AudioEngineTest, TheLibrarysMessageFollowsOnlyWhenTheCallbackAsksForIt) {
  TestSoundSet set(StandardCues());
  std::u16string missing = Utf16(set.folder() + "/missing.xgs");
  g_callbackAnswer = 1;
  EXPECT_EQ(VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(missing.c_str(), set.xwb().c_str(), set.xsb().c_str(), RecordingCallback),
            0);
  ASSERT_EQ(g_reports.size(), 1u);
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "File Error!");
  EXPECT_EQ(boxes[0].text, kFileErrorText);
  EXPECT_EQ(boxes[0].flags, platform::kMbOk);

  // With no callback the default handler shows the message exactly once.
  platform::BuiltInHeadlessUserInterface().Clear();
  EXPECT_EQ(VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(missing.c_str(), set.xwb().c_str(), set.xsb().c_str(), nullptr), 0);
  boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kFileErrorText);
}

TEST_F(AudioEngineTest, DamagedProjectFilesAreFileErrorsNotCrashes) {
  TestSoundSet set(StandardCues());
  auto damage = [&](const char* extension, size_t keep, bool flipMagic) {
    std::string path = set.path(extension);
    std::string copy = set.folder() + "/damaged." + extension;
    // (Removed first: mingw's copy_file refuses to overwrite even when told to.)
    std::filesystem::remove(copy);
    std::filesystem::copy_file(path, copy);
    if (flipMagic) {
      std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
      file.seekp(0);
      file.put('Q');
    } else {
      std::filesystem::resize_file(copy, keep);
    }
    return Utf16(copy);
  };
  struct Case {
    const char* extension;
    size_t keep;
    bool flipMagic;
    uint32_t code;
  } cases[] = {
      {"xgs", 40, false, AUDIO_ERR_XGSFILE},  {"xgs", 0, true, AUDIO_ERR_XGSFILE},
      {"xwb", 200, false, AUDIO_ERR_XWBFILE}, {"xwb", 0, true, AUDIO_ERR_XWBFILE},
      {"xsb", 100, false, AUDIO_ERR_XSBFILE}, {"xsb", 0, false, AUDIO_ERR_XSBFILE},
  };
  for (const Case& c : cases) {
    g_reports.clear();
    std::u16string bad = damage(c.extension, c.keep, c.flipMagic);
    std::u16string xgs = std::string(c.extension) == "xgs" ? bad : set.xgs();
    std::u16string xwb = std::string(c.extension) == "xwb" ? bad : set.xwb();
    std::u16string xsb = std::string(c.extension) == "xsb" ? bad : set.xsb();
    EXPECT_EQ(VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(xgs.c_str(), xwb.c_str(), xsb.c_str(), RecordingCallback), 0)
        << c.extension << " cut to " << c.keep;
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_EQ(g_reports[0].code, c.code) << c.extension;
    EXPECT_EQ(g_reports[0].result, 0x80070057u);
  }
  // A good set still works afterwards.
  EXPECT_EQ(set.Initialize(), 1);
}

TEST_F(AudioEngineTest, DevicesAreNamedAndAnIndexPastTheCountHasNoDevice) {
  TestSoundSet set(StandardCues());
  ASSERT_EQ(set.Initialize(RecordingCallback), 1);
  int32_t count = VSC_AUDIO_GET_DEVICE_COUNT();
  ASSERT_GE(count, 1) << "SDL's dummy driver lists its devices";
  ASSERT_LE(count, 16);
  for (int32_t i = 0; i < count; ++i) {
    const char* name = VSC_AUDIO_GET_DEVICE_NAME_A(static_cast<uint32_t>(i));
    ASSERT_NE(name, nullptr);
    EXPECT_GT(std::string(name).size(), 0u);
  }
  EXPECT_STREQ(VSC_AUDIO_GET_DEVICE_NAME_A(static_cast<uint32_t>(count)), "No Such Device");
  EXPECT_STREQ(VSC_AUDIO_GET_DEVICE_NAME_A(0xFFFFFFFFu), "No Such Device");
  EXPECT_TRUE(g_reports.empty());
}

TEST_F(AudioEngineTest, MasterVolumeStartsAtOneAndIsNotLimited) {
  TestSoundSet set(StandardCues());
  ASSERT_EQ(set.Initialize(), 1);
  EXPECT_EQ(VSC_AUDIO_GET_VOLUME(), 1.0f);
  EXPECT_EQ(VSC_AUDIO_SET_VOLUME(2.5f), 1);
  EXPECT_EQ(VSC_AUDIO_GET_VOLUME(), 2.5f);
  // A new engine starts again at 1.
  ASSERT_EQ(set.Initialize(), 1);
  EXPECT_EQ(VSC_AUDIO_GET_VOLUME(), 1.0f);
}

TEST_F(AudioEngineTest, EnginePauseReachesExistingStreamsOnly) {
  TestSoundSet set(StandardCues());
  ASSERT_EQ(set.Initialize(), 1);
  void* before = VSC_AUDIO_CREATE_STREAM(0);
  ASSERT_NE(before, nullptr);
  void* early = VSC_AUDIO_PLAY_SOUND(before, "long", 0, 0, 0, 1);
  ASSERT_NE(early, nullptr);
  ASSERT_NE(early, VSC_AUDIO_NO_SUCH_CUE);
  EXPECT_EQ(VSC_AUDIO_PAUSE_ENGINE(1), 1);
  void* after = VSC_AUDIO_CREATE_STREAM(0);
  ASSERT_NE(after, nullptr);

  // The queued cue on the new stream plays to its end; the sound of the old
  // stream stays paused past its length.
  VSC_AUDIO_ADD_TO_QUE(after, "a", 0, 0, 0, 1);
  EXPECT_TRUE(WaitFor([] { return VSC_AUDIO_IS_QUE_PLAYING() == 0; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(early), 1) << "paused, so still not finished";
  EXPECT_EQ(VSC_AUDIO_PAUSE_ENGINE(0), 0);
  EXPECT_TRUE(WaitFor([&] { return VSC_AUDIO_IS_SOUND_PLAYING(early) == 0; }));
  VSC_AUDIO_DESTROY_STREAM(before);
  VSC_AUDIO_DESTROY_STREAM(after);
}

TEST_F(AudioEngineTest, ASecondInitialisationStopsTheFirstEnginesWorkAndHandles) {
  TestSoundSet set(StandardCues());
  TraceRecorder trace;
  ASSERT_EQ(set.Initialize(), 1);
  void* stream = VSC_AUDIO_CREATE_STREAM(0);
  ASSERT_NE(stream, nullptr);
  for (int i = 0; i < 5; ++i) VSC_AUDIO_ADD_TO_QUE(stream, "a", 0, 0, 0, 1);
  ASSERT_EQ(set.Initialize(), 1);
  size_t startsAtSwitch = trace.Count(VSC_AUDIO_TRACE_CUE_STARTED);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0) << "the new engine's queue is empty";
  LetPassesRun(8);
  EXPECT_EQ(trace.Count(VSC_AUDIO_TRACE_CUE_STARTED), startsAtSwitch) << "the old worker has stopped";
  // The old engine's stream is gone with it.
  EXPECT_EQ(VSC_AUDIO_SET_STREAM_VOLUME(stream, 0.5f), 0.0f);
  EXPECT_EQ(VSC_AUDIO_SET_STREAM_POSITION(stream, 1, 2, 3), 0);
}

TEST_F(AudioEngineTest, TheDefaultVoicePlaysThroughTheQueue) {
  const char* build = std::getenv("ORVANTE_BUILD_DIR");
  std::string base = std::string(build != nullptr ? build : ".") + "/sim/ORVANTE/SoundSets/Default";
  if (!std::filesystem::exists(base + ".xsb")) GTEST_SKIP() << "no default voice at " << base;
  std::u16string xgs = Utf16(base + ".xgs"), xwb = Utf16(base + ".xwb"), xsb = Utf16(base + ".xsb");
  ASSERT_EQ(VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(xgs.c_str(), xwb.c_str(), xsb.c_str(), RecordingCallback), 1);
  void* stream = VSC_AUDIO_CREATE_STREAM(0);
  ASSERT_NE(stream, nullptr);
  TraceRecorder trace;
  VSC_AUDIO_ADD_TO_QUE(stream, "feet", 0, 0, 0, 1);
  VSC_AUDIO_ADD_TO_QUE(stream, "no such cue in any voice", 0, 0, 0, 1);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 1);
  EXPECT_TRUE(WaitFor([] { return VSC_AUDIO_IS_QUE_PLAYING() == 0; }, std::chrono::seconds(10)));
  EXPECT_EQ(trace.Names(VSC_AUDIO_TRACE_CUE_STOPPED), std::vector<std::string>{"feet"});
  EXPECT_TRUE(g_reports.empty());
  VSC_AUDIO_DESTROY_STREAM(stream);
}

TEST_F(AudioEngineTest, AFailedDeviceBringUpIsReportedAndLeavesNoStreamOrEngineBehind) {
#ifdef _WIN32
  GTEST_SKIP() << "needs two devices of which only one opens at a time, as SDL's dummy driver has them; "
                  "the null device that Wine's tests play on is one device";
#endif
  TestSoundSet set(StandardCues());
  ASSERT_EQ(set.Initialize(RecordingCallback), 1);
  ASSERT_GE(VSC_AUDIO_GET_DEVICE_COUNT(), 2);
  void* first = VSC_AUDIO_CREATE_STREAM(0);
  ASSERT_NE(first, nullptr);
  // SDL's dummy driver opens one device at a time: the second cannot start.
  EXPECT_EQ(VSC_AUDIO_CREATE_STREAM(1), nullptr);
  ASSERT_EQ(g_reports.size(), 1u);
  EXPECT_EQ(g_reports[0].code, AUDIO_ERR_INIT);
  EXPECT_NE(g_reports[0].result, 0u);
  EXPECT_TRUE(Boxes().empty()) << "the library has no message of its own for this code";

  // Once the first device is free the second comes up; when its only stream
  // goes, its engine goes too (the failed attempt left no count behind), so
  // the first device can be opened again.
  VSC_AUDIO_DESTROY_STREAM(first);
  void* second = VSC_AUDIO_CREATE_STREAM(1);
  ASSERT_NE(second, nullptr);
  VSC_AUDIO_DESTROY_STREAM(second);
  void* again = VSC_AUDIO_CREATE_STREAM(0);
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(g_reports.size(), 1u);
  VSC_AUDIO_DESTROY_STREAM(again);
}
