// Announcements through the real audio library and the default voice, heard
// on SDL's dummy driver: the library's queue trace shows what was queued,
// started and stopped, in order. Also checks at compile time that the
// module's function types are the library's own.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <type_traits>

#include "profiles/profile_part.h"
#include "voice/announcement_playback.h"
#include "voice/audio_function_table.h"
#include "voice/sound_sets.h"
#include "vscaudio/vscaudio.h"
#include "voice_test_fixture.h"

using namespace orvante;

#define SAME_TYPE(NAME) static_assert(std::is_same_v<decltype(&::NAME), NAME##_FN>, #NAME)
SAME_TYPE(VSC_AUDIO_INITIALIZE_AUDIO_ENGINE);
SAME_TYPE(VSC_AUDIO_GET_DEVICE_COUNT);
SAME_TYPE(VSC_AUDIO_GET_DEVICE_NAME_A);
SAME_TYPE(VSC_AUDIO_PAUSE_ENGINE);
SAME_TYPE(VSC_AUDIO_GET_VOLUME);
SAME_TYPE(VSC_AUDIO_SET_VOLUME);
SAME_TYPE(VSC_AUDIO_CREATE_STREAM);
SAME_TYPE(VSC_AUDIO_DESTROY_STREAM);
SAME_TYPE(VSC_AUDIO_PAUSE_STREAM);
SAME_TYPE(VSC_AUDIO_GET_STREAM_VOLUME);
SAME_TYPE(VSC_AUDIO_SET_STREAM_VOLUME);
SAME_TYPE(VSC_AUDIO_SET_STREAM_POSITION);
SAME_TYPE(VSC_AUDIO_PLAY_SOUND);
SAME_TYPE(VSC_AUDIO_IS_SOUND_PLAYING);
SAME_TYPE(VSC_AUDIO_STOP_SOUND);
SAME_TYPE(VSC_AUDIO_PAUSE_SOUND);
SAME_TYPE(VSC_AUDIO_GET_SOUND_VOLUME);
SAME_TYPE(VSC_AUDIO_SET_SOUND_VOLUME);
SAME_TYPE(VSC_AUDIO_GET_CUE_VARIABLE);
SAME_TYPE(VSC_AUDIO_SET_CUE_VARIABLE);
SAME_TYPE(VSC_AUDIO_ADD_TO_QUE);
SAME_TYPE(VSC_AUDIO_ADD_LIST_TO_QUE);
SAME_TYPE(VSC_AUDIO_PRIORITY_ADD_TO_QUE);
SAME_TYPE(VSC_AUDIO_PRIORITY_LIST_TO_QUE);
SAME_TYPE(VSC_AUDIO_EMPTY_QUE);
SAME_TYPE(VSC_AUDIO_IS_QUE_PLAYING);
SAME_TYPE(VSC_AUDIO_CREATE_LIST);
SAME_TYPE(VSC_AUDIO_DESTROY_LIST);
SAME_TYPE(VSC_AUDIO_APPEND_LIST);
SAME_TYPE(VSC_AUDIO_CLEAR_LIST);
#undef SAME_TYPE
static_assert(std::is_same_v<VSC_AUDIO_ERROR_CALLBACK, ErrorCallback>);

namespace {

struct TraceEvent {
  int32_t operation;
  std::string cue;
  int32_t value;
  bool operator==(const TraceEvent&) const = default;
};

struct Trace {
  std::mutex mutex;
  std::vector<TraceEvent> events;
  static void Record(void* context, int32_t operation, const char* cue, int32_t value) {
    auto* trace = static_cast<Trace*>(context);
    std::lock_guard<std::mutex> lock(trace->mutex);
    trace->events.push_back({operation, cue ? cue : "", value});
  }
  std::vector<TraceEvent> Events() {
    std::lock_guard<std::mutex> lock(mutex);
    return events;
  }
  // Index of the first event of operation on cue, or -1.
  long Find(int32_t operation, const std::string& cue) {
    auto all = Events();
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].operation == operation && all[i].cue == cue) return static_cast<long>(i);
    return -1;
  }
  bool WaitFor(int32_t operation, const std::string& cue) {
    for (int waited = 0; waited < 30000; waited += 10) {
      if (Find(operation, cue) >= 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
};

struct RealLibraryTest : VoiceTest {
  ProfilePart part;
  Trace trace;

  void SetUp() override {
    VoiceTest::SetUp();
#ifndef _WIN32  // (the library plays through SDL on Linux only)
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
#endif
    std::strcpy(g_voice.simulatorDir, ORVANTE_SIM_FOLDER);
    if (!std::filesystem::exists(std::string(ORVANTE_SIM_FOLDER) + "/ORVANTE/DLLs/64bit/ORVAAUDIO64.DLL") ||
        !std::filesystem::exists(std::string(ORVANTE_SIM_FOLDER) + "/ORVANTE/SoundSets/Default.xgs"))
      GTEST_SKIP() << "the audio library or the default voice is not built";
    CopyName(part.settings.SoundSet, "Default");
    part.settings.MasterVolume = 5;
    LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
    ASSERT_EQ(g_voice.soundSetReady, 1);
    auto setTrace = reinterpret_cast<void (*)(VSC_AUDIO_TRACE_CALLBACK, void*)>(
        platform::GetProcAddress(AudioLibraryHandle(), "VSC_AUDIO_SET_TRACE"));
    ASSERT_NE(setTrace, nullptr);
    setTrace(&Trace::Record, &trace);
  }
  void TearDown() override {
    if (auto setTrace = reinterpret_cast<void (*)(VSC_AUDIO_TRACE_CALLBACK, void*)>(
            platform::GetProcAddress(AudioLibraryHandle(), "VSC_AUDIO_SET_TRACE")))
      setTrace(nullptr, nullptr);
    UnloadSoundSet();
    VoiceTest::TearDown();
  }
};

}  // namespace

TEST_F(RealLibraryTest, TheDefaultVoiceLoadsWithAStreamAndTheMasterVolume) {
  EXPECT_NE(g_moduleStream.load(), nullptr);
  EXPECT_EQ(g_audio.VSC_AUDIO_GET_VOLUME(), 5.0f);
  EXPECT_GE(g_audio.VSC_AUDIO_GET_DEVICE_COUNT(), 1);
  EXPECT_EQ(VoiceLogLines().back(), "Sounds set LOADED SUCCESSFULLY!...\n");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(RealLibraryTest, AnnouncementsQueuedBackToBackPlayInOrderWithoutOverlap) {
  QueueAnnouncement({"altimeter"}, false);
  QueueAnnouncement({"audiotestpassed"}, false);
  ASSERT_TRUE(trace.WaitFor(VSC_AUDIO_TRACE_CUE_STOPPED, "audiotestpassed"));
  std::vector<TraceEvent> expected = {
      {VSC_AUDIO_TRACE_CUE_ADDED, "altimeter", 0},         {VSC_AUDIO_TRACE_CUE_ADDED, "audiotestpassed", 0},
      {VSC_AUDIO_TRACE_CUE_STARTED, "altimeter", 1},       {VSC_AUDIO_TRACE_CUE_STOPPED, "altimeter", 0},
      {VSC_AUDIO_TRACE_CUE_STARTED, "audiotestpassed", 1}, {VSC_AUDIO_TRACE_CUE_STOPPED, "audiotestpassed", 0}};
  std::vector<TraceEvent> events = trace.Events();
  // The worker may start the first cue before the second is added.
  if (events.size() > 2 && events[1].operation == VSC_AUDIO_TRACE_CUE_STARTED) std::swap(expected[1], expected[2]);
  EXPECT_EQ(events, expected);
}

TEST_F(RealLibraryTest, ACutAnnouncementStopsWhatPlaysAndDropsWhatWaits) {
  QueueAnnouncement({"longlanding", "toohighx2"}, false);
  ASSERT_TRUE(trace.WaitFor(VSC_AUDIO_TRACE_CUE_STARTED, "longlanding"));
  QueueAnnouncement({"1000", "remaining"}, true);
  ASSERT_TRUE(trace.WaitFor(VSC_AUDIO_TRACE_CUE_STOPPED, "remaining"));
  long asked = trace.Find(VSC_AUDIO_TRACE_IS_PLAYING, "");
  ASSERT_GE(asked, 0);
  EXPECT_EQ(trace.Events()[asked].value, 1);
  long emptied = trace.Find(VSC_AUDIO_TRACE_QUE_EMPTIED, "");
  EXPECT_GT(emptied, asked);
  EXPECT_GT(trace.Find(VSC_AUDIO_TRACE_CUE_ADDED, "1000"), emptied);
  EXPECT_LT(trace.Find(VSC_AUDIO_TRACE_CUE_STOPPED, "longlanding"), trace.Find(VSC_AUDIO_TRACE_CUE_STARTED, "1000"));
  EXPECT_EQ(trace.Find(VSC_AUDIO_TRACE_CUE_STARTED, "toohighx2"), -1);
  EXPECT_LT(trace.Find(VSC_AUDIO_TRACE_CUE_STARTED, "1000"), trace.Find(VSC_AUDIO_TRACE_CUE_STARTED, "remaining"));
}

TEST_F(RealLibraryTest, CuttingAnIdleQueueOnlyAsksAndTheAudioTestPlays) {
  QueueAnnouncement({"500"}, true);  // not a cue of the voice: the library skips it
  PlayAudioTest();
  ASSERT_TRUE(trace.WaitFor(VSC_AUDIO_TRACE_CUE_STOPPED, "audiotestpassed"));
  EXPECT_EQ(trace.Events().front(), (TraceEvent{VSC_AUDIO_TRACE_IS_PLAYING, "", 0}));
  EXPECT_EQ(trace.Find(VSC_AUDIO_TRACE_QUE_EMPTIED, ""), -1);
}

TEST_F(RealLibraryTest, ASimulatorFolderWithAccentedLettersLoadsTheVoice) {
  UnloadSoundSet();
  TempFolder parent;
  const std::string folder = parent.Path("Simulateur \xC3\xA9t\xC3\xA9");  // "Simulateur été"
  // The unit's paths are UTF-8; a narrow std::filesystem path is not on
  // Windows (it takes the ANSI code page there).
  auto utf8 = [](const std::string& path) {
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
  };
  std::filesystem::create_directories(utf8(folder + "/ORVANTE"));
  // Copies, not links: Wine has no symbolic links.
  for (const char* entry : {"ORVANTE/DLLs", "ORVANTE/SoundSets"})
    std::filesystem::copy(std::string(ORVANTE_SIM_FOLDER) + "/" + entry, utf8(folder + "/" + entry),
                          std::filesystem::copy_options::recursive);
  std::strcpy(g_voice.simulatorDir, folder.c_str());
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
  EXPECT_EQ(g_voice.soundSetReady, 1);
  EXPECT_TRUE(Boxes().empty());
}
