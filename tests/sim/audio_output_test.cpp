// The choice of SDL audio driver: the user's choice stands, a machine without
// an output device gets the dummy driver.
#include "audio_output.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace sim {
namespace {

class AudioOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* value = std::getenv("SDL_AUDIODRIVER")) saved_ = value;
    unsetenv("SDL_AUDIODRIVER");
  }
  void TearDown() override {
    if (saved_) setenv("SDL_AUDIODRIVER", saved_->c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");
  }
  std::string Choose(int devices, const char* reason) {
    probed_ = false;
    return ChooseAudioDriver(
        [&](std::string& why) {
          probed_ = true;
          why = reason;
          return devices;
        },
        [&](const std::string& line) { said_.push_back(line); });
  }
  static std::string Driver() {
    const char* value = std::getenv("SDL_AUDIODRIVER");
    return value ? value : "";
  }
  std::optional<std::string> saved_;
  std::vector<std::string> said_;
  bool probed_ = false;
};

TEST_F(AudioOutputTest, NoDeviceMeansTheDummyDriver) {
  EXPECT_EQ(Choose(0, "driver alsa, 0 device(s)"), "dummy");
  EXPECT_EQ(Driver(), "dummy");
  EXPECT_EQ(said_.back(),
            "no audio output device (driver alsa, 0 device(s)); using SDL's \"dummy\" driver: add-ons play in silence");
  unsetenv("SDL_AUDIODRIVER");
  EXPECT_EQ(Choose(-1, "No available audio device"), "dummy");
  EXPECT_EQ(Driver(), "dummy");
}

TEST_F(AudioOutputTest, ADeviceKeepsSdlsDefault) {
  EXPECT_EQ(Choose(2, "driver pulseaudio, 2 device(s)"), "");
  EXPECT_EQ(Driver(), "");
  EXPECT_EQ(said_.back(), "audio output through SDL's default driver (driver pulseaudio, 2 device(s))");
}

TEST_F(AudioOutputTest, TheUsersChoiceStandsWithoutAProbe) {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  EXPECT_EQ(Choose(0, "unused"), "disk");
  EXPECT_FALSE(probed_);
  EXPECT_EQ(Driver(), "disk");
  EXPECT_EQ(said_.back(), "audio output through SDL's \"disk\" driver (SDL_AUDIODRIVER)");
}

}  // namespace
}  // namespace sim
