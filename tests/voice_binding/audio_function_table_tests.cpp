// The function table: every slot answers its stub value with last-error 127
// until bound, and binding puts each export into the slot of its own name.
#include "voice/audio_function_table.h"

#include "voice_test_fixture.h"

using namespace orvante;

namespace {

// Calls a slot after clearing last-error and checks that the stub set 127.
template <typename Call>
auto CallStub(Call call) {
  platform::SetLastError(0);
  auto value = call();
  EXPECT_EQ(platform::GetLastError(), 127u);
  return value;
}
template <typename Call>
void CallVoidStub(Call call) {
  platform::SetLastError(0);
  call();
  EXPECT_EQ(platform::GetLastError(), 127u);
}

}  // namespace

TEST_F(VoiceTest, WithoutTheLibraryEverySlotAnswersItsStubValueAndLastError127) {
  EXPECT_EQ(BindAudioLibrary(nullptr), 0);  // no file in the simulator folder
  AudioFunctionTable& a = g_audio;
  int tag = 0;
  void* h = &tag;
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(u"a", u"b", u"c", nullptr); }), 0);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_INITIALIZE_ENGINE_W_IMAGES(u"a", u"b", u"c", nullptr); }), 0);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_GET_DEVICE_COUNT(); }), 0);
  EXPECT_STREQ(CallStub([&] { return a.VSC_AUDIO_GET_DEVICE_NAME_A(0); }), "Could not be determined");
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_PAUSE_ENGINE(1); }), 0);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_GET_VOLUME(); }), 0.0f);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_SET_VOLUME(5.0f); }), 0);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_CREATE_STREAM(0); }), nullptr);
  CallVoidStub([&] { a.VSC_AUDIO_DESTROY_STREAM(h); });
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_PAUSE_STREAM(h, 1); }), 0);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_GET_STREAM_VOLUME(h); }), 0.0f);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_SET_STREAM_VOLUME(h, 1.0f); }), 0.0f);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_SET_STREAM_POSITION(h, 1, 2, 3); }), 0);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_PLAY_SOUND(h, "cue", 0, 0, 0, 1); }), nullptr);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_IS_SOUND_PLAYING(h); }), 0);
  CallVoidStub([&] { a.VSC_AUDIO_STOP_SOUND(h, 0); });
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_PAUSE_SOUND(h, 1); }), 0);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_GET_SOUND_VOLUME(h); }), 0.0f);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_SET_SOUND_VOLUME(h, 1.0f); }), 0);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_GET_CUE_VARIABLE(h, "v"); }), 0.0f);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_SET_CUE_VARIABLE(h, "v", 1.0f); }), 0);
  CallVoidStub([&] { a.VSC_AUDIO_ADD_TO_QUE(h, "cue", 0, 0, 0, 5); });
  CallVoidStub([&] { a.VSC_AUDIO_ADD_LIST_TO_QUE(h); });
  CallVoidStub([&] { a.VSC_AUDIO_PRIORITY_ADD_TO_QUE(h, "cue", 0, 0, 0, 5, 1); });
  CallVoidStub([&] { a.VSC_AUDIO_PRIORITY_LIST_TO_QUE(h, 1); });
  CallVoidStub([&] { a.VSC_AUDIO_EMPTY_QUE(); });
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_IS_QUE_PLAYING(); }), 0);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_CREATE_LIST(); }), nullptr);
  CallVoidStub([&] { a.VSC_AUDIO_DESTROY_LIST(h); });
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_APPEND_LIST(h, h, "cue", 0, 0, 0, 1); }), 0);
  EXPECT_EQ(CallStub([&] { return a.VSC_AUDIO_CLEAR_LIST(h); }), 0);
  for (size_t slot = 0; slot < kAudioSlotCount; ++slot) EXPECT_TRUE(AudioSlotIsStub(g_audio, slot)) << slot;
}

TEST_F(VoiceTest, BindingPutsEachExportIntoTheSlotOfItsNameAndMissingOnesKeepTheirStub) {
  InstallFakeLibrary();
  ASSERT_EQ(BindAudioLibrary(nullptr), 1);
  platform::ModuleHandle library = AudioLibraryHandle();
  auto bound = [&](void* slot, const char* name) { return slot == platform::GetProcAddress(library, name); };
#define EXPECT_BOUND(NAME) EXPECT_TRUE(bound(reinterpret_cast<void*>(g_audio.NAME), #NAME))
  EXPECT_BOUND(VSC_AUDIO_INITIALIZE_AUDIO_ENGINE);
  EXPECT_BOUND(VSC_AUDIO_GET_DEVICE_COUNT);
  EXPECT_BOUND(VSC_AUDIO_GET_DEVICE_NAME_A);
  EXPECT_BOUND(VSC_AUDIO_PAUSE_ENGINE);
  EXPECT_BOUND(VSC_AUDIO_GET_VOLUME);
  EXPECT_BOUND(VSC_AUDIO_SET_VOLUME);
  EXPECT_BOUND(VSC_AUDIO_CREATE_STREAM);
  EXPECT_BOUND(VSC_AUDIO_DESTROY_STREAM);
  EXPECT_BOUND(VSC_AUDIO_PAUSE_STREAM);
  EXPECT_BOUND(VSC_AUDIO_GET_STREAM_VOLUME);
  EXPECT_BOUND(VSC_AUDIO_SET_STREAM_VOLUME);
  EXPECT_BOUND(VSC_AUDIO_SET_STREAM_POSITION);
  EXPECT_BOUND(VSC_AUDIO_PLAY_SOUND);
  EXPECT_BOUND(VSC_AUDIO_IS_SOUND_PLAYING);
  EXPECT_BOUND(VSC_AUDIO_STOP_SOUND);
  EXPECT_BOUND(VSC_AUDIO_GET_SOUND_VOLUME);
  EXPECT_BOUND(VSC_AUDIO_SET_SOUND_VOLUME);
  EXPECT_BOUND(VSC_AUDIO_SET_CUE_VARIABLE);
  EXPECT_BOUND(VSC_AUDIO_ADD_TO_QUE);
  EXPECT_BOUND(VSC_AUDIO_ADD_LIST_TO_QUE);
  EXPECT_BOUND(VSC_AUDIO_PRIORITY_ADD_TO_QUE);
  EXPECT_BOUND(VSC_AUDIO_PRIORITY_LIST_TO_QUE);
  EXPECT_BOUND(VSC_AUDIO_EMPTY_QUE);
  EXPECT_BOUND(VSC_AUDIO_IS_QUE_PLAYING);
  EXPECT_BOUND(VSC_AUDIO_CREATE_LIST);
  EXPECT_BOUND(VSC_AUDIO_DESTROY_LIST);
  EXPECT_BOUND(VSC_AUDIO_APPEND_LIST);
  EXPECT_BOUND(VSC_AUDIO_CLEAR_LIST);
#undef EXPECT_BOUND
  // The fake lacks these three.
  size_t stubs = 0;
  for (size_t slot = 0; slot < kAudioSlotCount; ++slot) stubs += AudioSlotIsStub(g_audio, slot);
  EXPECT_EQ(stubs, 3u);
  EXPECT_EQ(CallStub([] { return g_audio.VSC_AUDIO_PAUSE_SOUND(nullptr, 1); }), 0);
  EXPECT_EQ(CallStub([] { return g_audio.VSC_AUDIO_GET_CUE_VARIABLE(nullptr, "v"); }), 0.0f);
  EXPECT_EQ(CallStub([] { return g_audio.VSC_AUDIO_INITIALIZE_ENGINE_W_IMAGES(u"", u"", u"", nullptr); }), 0);
  EXPECT_STREQ(g_audio.VSC_AUDIO_GET_DEVICE_NAME_A(0), "Fake Device");
}
