// Loading and binding the library, and starting its engine: the failure
// report of a missing file, paths refused before anything is loaded, and the
// wide paths the library receives.
#include "voice/audio_library_binding.h"

#include "voice_test_fixture.h"

using namespace orvante;

namespace {

std::vector<std::pair<uint32_t, uint32_t>>& Reports() {
  static std::vector<std::pair<uint32_t, uint32_t>> reports;
  return reports;
}
int32_t RecordingCallback(uint32_t code, uint32_t result) {
  Reports().emplace_back(code, result);
  return 0;
}

}  // namespace

TEST_F(VoiceTest, AMissingLibraryIsReportedWithCodeZeroAndTheLoadersError) {
  Reports().clear();
  EXPECT_EQ(BindAudioLibrary(RecordingCallback), 0);
  EXPECT_EQ(Reports(), (std::vector<std::pair<uint32_t, uint32_t>>{{0u, 126u}}));
  for (size_t slot = 0; slot < kAudioSlotCount; ++slot) EXPECT_TRUE(AudioSlotIsStub(g_audio, slot)) << slot;
  EXPECT_EQ(BindAudioLibrary(nullptr), 0);  // no callback: nothing to report to
  EXPECT_EQ(Reports().size(), 1u);
}

TEST_F(VoiceTest, AFailedRebindKeepsWhatTheSlotsHeld) {
  InstallFakeLibrary();
  ASSERT_EQ(BindAudioLibrary(nullptr), 1);
  platform::ModuleHandle first = AudioLibraryHandle();
  EXPECT_EQ(BindAudioLibrary(nullptr), 1);  // the same library again: the same handle
  EXPECT_EQ(AudioLibraryHandle(), first);
  // A simulator folder without the library (a loaded library's file cannot
  // be deleted on Windows, nor be told apart by its path).
  TempFolder withoutLibrary;
  std::strcpy(g_voice.simulatorDir, withoutLibrary.Path().c_str());
  EXPECT_EQ(BindAudioLibrary(nullptr), 0);
  EXPECT_EQ(g_audio.VSC_AUDIO_GET_DEVICE_COUNT(), 2);
}

TEST_F(VoiceTest, MissingOrOverlongPathsFailWithBadParameterBeforeAnyLoad) {
  InstallFakeLibrary();
  Reports().clear();
  platform::SetLastError(0);
  EXPECT_EQ(StartAudioEngine(nullptr, "b", "c", RecordingCallback), 0);
  EXPECT_EQ(platform::GetLastError(), 87u);
  platform::SetLastError(0);
  EXPECT_EQ(StartAudioEngine("a", "b", std::string(261, 'p').c_str(), RecordingCallback), 0);
  EXPECT_EQ(platform::GetLastError(), 87u);
  for (size_t slot = 0; slot < kAudioSlotCount; ++slot) EXPECT_TRUE(AudioSlotIsStub(g_audio, slot)) << slot;
  EXPECT_TRUE(Reports().empty());
}

TEST_F(VoiceTest, StartHandsTheWidenedPathsAndCallbackToTheLibraryAndReturnsItsAnswer) {
  BindFake(/*initializeResult=*/0);
  std::string longest(260, 'x');
  EXPECT_EQ(StartAudioEngine("/s/Default.xgs", "/s/Default.xwb", longest.c_str(), RecordingCallback), 0);
  EXPECT_EQ(Journal(), "INITIALIZE /s/Default.xgs | /s/Default.xwb | " + longest + " cb\n");
  BindFake(/*initializeResult=*/1);
  EXPECT_EQ(StartAudioEngine("a", "b", "c", nullptr), 1);
  EXPECT_EQ(Journal(), "INITIALIZE a | b | c nocb\n");
}

TEST_F(VoiceTest, WideningKeepsAsciiDecodesUtf8AndCopiesStrayBytes) {
  std::u16string wide;
  ASSERT_TRUE(WidenAudioPath("C:\\Sets\\Default.xgs", wide));
  EXPECT_EQ(wide, u"C:\\Sets\\Default.xgs");
  ASSERT_TRUE(WidenAudioPath("/home/J\xC3\xBCrgen/\xF0\x9F\x94\x8A", wide));  // ü and a 4-byte character
  EXPECT_EQ(wide, u"/home/J\u00FCrgen/\U0001F50A");
  ASSERT_TRUE(WidenAudioPath("caf\xE9 \xC3", wide));  // Latin-1 é and a cut sequence stay bytes
  EXPECT_EQ(wide, u"caf\u00E9 \u00C3");
  ASSERT_TRUE(WidenAudioPath("\xED\xA0\x80", wide));  // an encoded surrogate is not UTF-8
  EXPECT_EQ(wide, u"\u00ED\u00A0\u0080");
  EXPECT_TRUE(WidenAudioPath(std::string(260, 'a').c_str(), wide));
  EXPECT_FALSE(WidenAudioPath(std::string(261, 'a').c_str(), wide));
  // The limit is in characters: 260 two-byte characters fit, 261 do not.
  std::string accents;
  for (int i = 0; i < 260; ++i) accents += "\xC3\xA9";
  EXPECT_TRUE(WidenAudioPath(accents.c_str(), wide));
  EXPECT_EQ(wide.size(), 260u);
  EXPECT_FALSE(WidenAudioPath((accents + "\xC3\xA9").c_str(), wide));
}
