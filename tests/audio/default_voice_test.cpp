// The C interface over the default voice the simulator folder ships (399 cues
// made at build time), as the module drives it: the queue's order, a list
// with a cue the voice lacks, a cutting priority insert, streams and stale
// handles, and the file-error codes of a damaged installation. The same file
// runs on Linux over FACT and under Wine over XACT3; where the two engines'
// results could differ only states and order are compared, never durations.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio_test_support.h"
#include "vscaudio/vscaudio.h"

using namespace audiotest;
using Names = std::vector<std::string>;

namespace {

struct Report {
  uint32_t code;
  uint32_t result;
};
std::vector<Report> g_reports;

int32_t Record(uint32_t code, uint32_t result) {
  g_reports.push_back({code, result});
  return 0;  // no message of the library's own
}

std::string VoiceBase() {
  const char* build = std::getenv("ORVANTE_BUILD_DIR");
  return std::string(build != nullptr ? build : ".") + "/sim/ORVANTE/SoundSets/Default";
}

class DefaultVoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_reports.clear();
    base_ = VoiceBase();
    if (!std::filesystem::exists(base_ + ".xsb")) GTEST_SKIP() << "no default voice at " << base_;
    ASSERT_EQ(Initialize(base_ + ".xgs", base_ + ".xwb", base_ + ".xsb"), 1);
    stream_ = VSC_AUDIO_CREATE_STREAM(0);
    ASSERT_NE(stream_, nullptr);
  }
  void TearDown() override {
    VSC_AUDIO_EMPTY_QUE();
    if (stream_ != nullptr) VSC_AUDIO_DESTROY_STREAM(stream_);
  }

  static int32_t Initialize(const std::string& xgs, const std::string& xwb, const std::string& xsb) {
    std::u16string a = Utf16(xgs), b = Utf16(xwb), c = Utf16(xsb);
    return VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(a.c_str(), b.c_str(), c.c_str(), Record);
  }

  void* List(const Names& cues) {
    void* list = VSC_AUDIO_CREATE_LIST();
    for (const auto& cue : cues) VSC_AUDIO_APPEND_LIST(list, stream_, cue.c_str(), 0, 0, 0, 1);
    return list;
  }

  static bool WaitUntilIdle() {
    return WaitFor([] { return VSC_AUDIO_IS_QUE_PLAYING() == 0; }, std::chrono::seconds(30));
  }

  std::string base_;
  void* stream_ = nullptr;
};

}  // namespace

TEST_F(DefaultVoiceTest, AnAnnouncementPlaysItsCuesInOrderAndSkipsOnesTheVoiceLacks) {
  TraceRecorder trace;
  VSC_AUDIO_ADD_TO_QUE(stream_, "apprwy28r", 0, 0, 0, 1);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 1);
  VSC_AUDIO_ADD_TO_QUE(stream_, "no such cue in the voice", 0, 0, 0, 1);
  void* list = List({"onrwy28l", "not a cue either", "feet", "remaining"});
  VSC_AUDIO_ADD_LIST_TO_QUE(list);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(trace.Names(VSC_AUDIO_TRACE_CUE_STARTED), (Names{"apprwy28r", "onrwy28l", "feet", "remaining"}));
  EXPECT_EQ(trace.Names(VSC_AUDIO_TRACE_CUE_STOPPED), (Names{"apprwy28r", "onrwy28l", "feet", "remaining"}));
  EXPECT_EQ(trace.Count(VSC_AUDIO_TRACE_CUE_REFUSED), 2u);
  // The list is the caller's and stays as it was: it plays again.
  trace.Clear();
  VSC_AUDIO_ADD_LIST_TO_QUE(list);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(trace.Names(VSC_AUDIO_TRACE_CUE_STARTED), (Names{"onrwy28l", "feet", "remaining"}));
  VSC_AUDIO_DESTROY_LIST(list);
  EXPECT_TRUE(g_reports.empty());
}

TEST_F(DefaultVoiceTest, ACuttingInsertStopsTheHeadAndItsSequenceAndPlaysFirst) {
  TraceRecorder trace;
  void* announcement = List({"ontaxiwayx2", "toofastx2", "feet"});
  VSC_AUDIO_ADD_LIST_TO_QUE(announcement);
  ASSERT_TRUE(WaitFor([&] { return !trace.Names(VSC_AUDIO_TRACE_CUE_STARTED).empty(); }));
  void* urgent = List({"altimeter"});
  VSC_AUDIO_PRIORITY_LIST_TO_QUE(urgent, 4);  // cuts the head and the rest of its sequence
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(trace.Names(VSC_AUDIO_TRACE_CUE_STARTED), (Names{"ontaxiwayx2", "altimeter"}));
  Names stopped = trace.Names(VSC_AUDIO_TRACE_CUE_STOPPED);
  ASSERT_FALSE(stopped.empty());
  EXPECT_EQ(stopped.back(), "altimeter");
  VSC_AUDIO_DESTROY_LIST(announcement);
  VSC_AUDIO_DESTROY_LIST(urgent);
}

TEST_F(DefaultVoiceTest, ASoundsHandleLivesWhileItPlaysAndIsRefusedOnceItWent) {
  void* sound = VSC_AUDIO_PLAY_SOUND(stream_, "audiotestpassed", 0, 0, 0, 1);
  ASSERT_NE(sound, nullptr);
  ASSERT_NE(sound, VSC_AUDIO_NO_SUCH_CUE);
  EXPECT_EQ(VSC_AUDIO_IS_SOUND_PLAYING(sound), 1);
  // The voice's 3D variables are cue variables (read before a volume change
  // marks the stream: the next mix update writes them again).
  EXPECT_EQ(VSC_AUDIO_SET_CUE_VARIABLE(sound, "Distance", 3.0f), 1);
  EXPECT_EQ(VSC_AUDIO_GET_CUE_VARIABLE(sound, "Distance"), 3.0f);
  EXPECT_EQ(VSC_AUDIO_GET_CUE_VARIABLE(sound, "NoSuchVariable"), 0.0f);
  EXPECT_EQ(VSC_AUDIO_SET_SOUND_VOLUME(sound, 0.5f), 2);
  EXPECT_EQ(VSC_AUDIO_GET_SOUND_VOLUME(sound), 0.5f);
  ASSERT_TRUE(WaitFor([&] { return VSC_AUDIO_IS_SOUND_PLAYING(sound) == 0; }, std::chrono::seconds(30)));
  LetPassesRun(3);
  EXPECT_EQ(VSC_AUDIO_SET_SOUND_VOLUME(sound, 1.0f), 0) << "released: the handle is refused";
  EXPECT_EQ(VSC_AUDIO_PAUSE_SOUND(sound, 1), 0);
  EXPECT_EQ(VSC_AUDIO_PLAY_SOUND(stream_, "no such cue", 0, 0, 0, 1), VSC_AUDIO_NO_SUCH_CUE);

  // A destroyed stream's handle is refused too, and so are its queued cues.
  void* other = VSC_AUDIO_CREATE_STREAM(0);
  ASSERT_NE(other, nullptr);
  VSC_AUDIO_DESTROY_STREAM(other);
  EXPECT_EQ(VSC_AUDIO_SET_STREAM_VOLUME(other, 0.5f), 0.0f);
  EXPECT_EQ(VSC_AUDIO_PLAY_SOUND(other, "feet", 0, 0, 0, 1), VSC_AUDIO_NO_SUCH_CUE);
  TraceRecorder trace;
  VSC_AUDIO_ADD_TO_QUE(other, "feet", 0, 0, 0, 1);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0);
  EXPECT_EQ(trace.Count(VSC_AUDIO_TRACE_CUE_REFUSED), 1u);
}

TEST_F(DefaultVoiceTest, AMissingFileOfTheVoiceIsItsOwnFileError) {
  VSC_AUDIO_DESTROY_STREAM(stream_);
  stream_ = nullptr;
  const std::string missing = base_ + "-missing";
  struct Case {
    std::string xgs, xwb, xsb;
    uint32_t code;
  };
  const Case cases[] = {
      {missing + ".xgs", base_ + ".xwb", base_ + ".xsb", AUDIO_ERR_XGSFILE},
      {base_ + ".xgs", missing + ".xwb", base_ + ".xsb", AUDIO_ERR_XWBFILE},
      {base_ + ".xgs", base_ + ".xwb", missing + ".xsb", AUDIO_ERR_XSBFILE},
      // The sound bank where the wave bank belongs fails its check as a wave bank.
      {base_ + ".xgs", base_ + ".xsb", base_ + ".xsb", AUDIO_ERR_XWBFILE},
  };
  for (const Case& c : cases) {
    g_reports.clear();
    EXPECT_EQ(Initialize(c.xgs, c.xwb, c.xsb), 0);
    ASSERT_EQ(g_reports.size(), 1u) << c.xgs << " " << c.xwb << " " << c.xsb;
    EXPECT_EQ(g_reports[0].code, c.code);
    EXPECT_EQ(g_reports[0].result, 0x80070057u);
    EXPECT_EQ(VSC_AUDIO_CREATE_STREAM(0), nullptr) << "an engine that is not ready opens no stream";
  }
  // The whole voice starts again afterwards.
  g_reports.clear();
  EXPECT_EQ(Initialize(base_ + ".xgs", base_ + ".xwb", base_ + ".xsb"), 1);
  EXPECT_TRUE(g_reports.empty());
}
