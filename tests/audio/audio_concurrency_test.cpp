// Several caller threads against the worker: queuing with every priority
// mode, single sounds with their handles, and streams created and destroyed
// underneath both. Run under ThreadSanitizer and AddressSanitizer, this shows
// the locks keep every cue and handle safe; the checks here are that nothing
// is left behind and the queue still works afterwards.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "audio_test_support.h"
#include "vscaudio/vscaudio.h"

using namespace audiotest;

TEST(AudioConcurrencyTest, CallersQueuePlayAndDestroyStreamsAtOnceWithoutHarm) {
  TestSoundSet set({{"a", 30}, {"b", 30}, {"c", 120}});
  ASSERT_EQ(set.Initialize(), 1);
  void* keeper = VSC_AUDIO_CREATE_STREAM(0);  // keeps the device up throughout
  ASSERT_NE(keeper, nullptr);

  std::atomic<void*> shared{VSC_AUDIO_CREATE_STREAM(0)};
  std::atomic<bool> stop{false};
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);

  std::thread queuer([&] {
    void* list = VSC_AUDIO_CREATE_LIST();
    for (int i = 0; !stop; ++i) {
      void* stream = (i % 3 == 0) ? keeper : shared.load();
      VSC_AUDIO_ADD_TO_QUE(stream, (i % 2) ? "a" : "b", 0, 0, 0, 1);
      if (i % 5 == 0) {
        VSC_AUDIO_CLEAR_LIST(list);
        VSC_AUDIO_APPEND_LIST(list, stream, "c", 0, 0, 0, 1);
        VSC_AUDIO_APPEND_LIST(list, keeper, "a", 0, 0, 0, 1);
        VSC_AUDIO_PRIORITY_LIST_TO_QUE(list, 1 + i % 5);
      }
      if (i % 17 == 0) VSC_AUDIO_EMPTY_QUE();
      VSC_AUDIO_IS_QUE_PLAYING();
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    VSC_AUDIO_DESTROY_LIST(list);
  });
  std::thread player([&] {
    for (int i = 0; !stop; ++i) {
      void* sound = VSC_AUDIO_PLAY_SOUND(shared.load(), "c", 1, 0, 0, 1);
      VSC_AUDIO_SET_SOUND_VOLUME(sound, 0.5f);
      VSC_AUDIO_SET_CUE_VARIABLE(sound, "Distance", 2.0f);
      VSC_AUDIO_SET_STREAM_POSITION(shared.load(), static_cast<float>(i % 7), 0, 0);
      if (i % 2) VSC_AUDIO_STOP_SOUND(sound, i % 4 == 1 ? 1u : 0u);
      VSC_AUDIO_SET_VOLUME(0.5f + static_cast<float>(i % 3));
      if (i % 11 == 0) VSC_AUDIO_PAUSE_ENGINE(i % 22 == 0 ? 1 : 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
  });
  while (std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    void* fresh = VSC_AUDIO_CREATE_STREAM(0);
    void* old = shared.exchange(fresh);
    VSC_AUDIO_DESTROY_STREAM(old);
  }
  stop = true;
  queuer.join();
  player.join();

  VSC_AUDIO_PAUSE_ENGINE(0);
  VSC_AUDIO_EMPTY_QUE();
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0);
  TraceRecorder trace;
  VSC_AUDIO_ADD_TO_QUE(keeper, "a", 0, 0, 0, 1);
  EXPECT_TRUE(WaitFor([] { return VSC_AUDIO_IS_QUE_PLAYING() == 0; }));
  EXPECT_EQ(trace.Names(VSC_AUDIO_TRACE_CUE_STOPPED), std::vector<std::string>{"a"});
  VSC_AUDIO_DESTROY_STREAM(shared.load());
  VSC_AUDIO_DESTROY_STREAM(keeper);
}
