// The audio library on a Windows system without any audio output device:
// under Wine on a machine without a sound card, with ALSA's own configuration
// (the environment CTest gives this program; the other tests add a null
// device). Wine's XACT3 crashes inside the engine when asked
// for its renderers or initialised without a device; the library asks for
// the default audio endpoint first and reports the missing one through its
// failure codes: AUDIO_ERR_INIT with E_NOTFOUND.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio_engine.h"
#include "audio_test_support.h"
#include "device_slot.h"
#include "platform/user_interface.h"
#include "vscaudio/vscaudio.h"

using audiotest::StandardCues;
using audiotest::TestSoundSet;

namespace {

constexpr uint32_t kNotFound = 0x80070490;  // E_NOTFOUND: no default endpoint

struct Report {
  uint32_t code;
  uint32_t result;
};
std::vector<Report> g_reports;
int32_t g_answer = 0;

int32_t Record(uint32_t code, uint32_t result) {
  g_reports.push_back({code, result});
  return g_answer;
}

// Why Wine could find an audio device on the Linux side after all: a sound
// card ALSA lists, or a PulseAudio server; empty when there is neither.
std::string HostAudio() {
  std::ifstream cards("Z:\\proc\\asound\\cards");
  std::string text((std::istreambuf_iterator<char>(cards)), {});
  if (!text.empty() && text.find("no soundcards") == std::string::npos) return "this machine has a sound card";
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  if (runtime != nullptr && std::filesystem::exists(std::string("Z:") + runtime + "/pulse/native", error)) {
    return "a PulseAudio server runs on this machine";
  }
  return {};
}

class NoAudioDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string why = HostAudio(); !why.empty()) GTEST_SKIP() << why << ", so Wine finds a device";
    g_reports.clear();
    g_answer = 0;
    // The library's own boxes are recorded, not shown.
    platform::SetUserInterface(&platform::BuiltInHeadlessUserInterface());
    platform::BuiltInHeadlessUserInterface().Clear();
  }
  void TearDown() override { platform::SetUserInterface(nullptr); }

  TestSoundSet set_{StandardCues()};
};

}  // namespace

TEST_F(NoAudioDeviceTest, InitialisationReportsTheMissingEndpointAndOpensNothing) {
  g_answer = 1;  // the library may show its own message too: it has none for this code
  EXPECT_EQ(set_.Initialize(Record), 0);
  ASSERT_EQ(g_reports.size(), 1u);
  EXPECT_EQ(g_reports[0].code, AUDIO_ERR_INIT);
  EXPECT_EQ(g_reports[0].result, kNotFound);
  EXPECT_TRUE(platform::BuiltInHeadlessUserInterface().Boxes().empty());
  EXPECT_EQ(VSC_AUDIO_GET_DEVICE_COUNT(), 0);
  EXPECT_STREQ(VSC_AUDIO_GET_DEVICE_NAME_A(0), "No Such Device");
  EXPECT_EQ(VSC_AUDIO_CREATE_STREAM(0), nullptr);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0);

  // Without a callback the default handler takes the report, silently; and
  // a later attempt fails the same way.
  EXPECT_EQ(set_.Initialize(nullptr), 0);
  EXPECT_EQ(g_reports.size(), 1u);
  EXPECT_TRUE(platform::BuiltInHeadlessUserInterface().Boxes().empty());
}

TEST_F(NoAudioDeviceTest, ADeviceThatIsGoneWhenItsEngineStartsIsAnInitFailure) {
  // A device listed earlier (a headset unplugged since): the device's engine
  // is created, but Initialize is not called without an endpoint.
  using namespace vscaudio;
  AudioEngine engine;
  ConstructEngine(engine);
  engine.callback = Record;
  const std::u16string paths[3] = {set_.xgs(), set_.xwb(), set_.xsb()};
  for (int file = 0; file < 3; ++file) ASSERT_TRUE(ReadProjectFile(engine.files[file], paths[file].c_str()));
  engine.deviceCount = 1;
  engine.devices[0].rendererId[0] = u'0';

  EXPECT_FALSE(BringUpDevice(engine, 0));
  ASSERT_EQ(g_reports.size(), 1u);
  EXPECT_EQ(g_reports[0].code, AUDIO_ERR_INIT);
  EXPECT_EQ(g_reports[0].result, kNotFound);
  const DeviceSlot& slot = engine.devices[0];
  EXPECT_EQ(slot.state, kSlotCreated | kSlotInitFailed);
  EXPECT_EQ(slot.lastResult, kNotFound);
  EXPECT_EQ(slot.engine, nullptr) << "the failed engine was shut down and released";
  EXPECT_EQ(slot.streamCount, 0u);
}
