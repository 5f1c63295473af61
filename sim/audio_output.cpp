// Choosing the SDL audio driver before any add-on starts its audio.
#include "audio_output.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

// Sound libraries under SDL (ALSA) print their complaints about a machine
// without sound to stderr; while probing, those go nowhere, and the probe's
// own answer says what matters.
class QuietStderr {
 public:
  QuietStderr() {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    int null = open("/dev/null", O_WRONLY);
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace

int ProbeSdlAudioDevices(std::string& reason) {
  QuietStderr quiet;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    reason = SDL_GetError();
    return -1;
  }
  int devices = SDL_GetNumAudioDevices(0);
  const char* driver = SDL_GetCurrentAudioDriver();
  reason = std::string("driver ") + (driver ? driver : "none") + ", " + std::to_string(devices) + " device(s)";
  if (devices <= 0) {
    // Some drivers list nothing (or cannot list) yet have a default device
    // that plays: what counts is whether that one opens.
    SDL_AudioSpec wanted{};
    wanted.freq = 48000;
    wanted.format = AUDIO_F32;
    wanted.channels = 2;
    wanted.samples = 1024;
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (device != 0) {
      SDL_CloseAudioDevice(device);
      reason += ", the default device opens";
      devices = 1;
    } else {
      reason += std::string(", the default device does not open: ") + SDL_GetError();
      devices = 0;
    }
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  SDL_Quit();
  return devices;
}

std::string ChooseAudioDriver(const AudioDeviceProbe& probe, const std::function<void(const std::string&)>& say) {
  if (const char* chosen = std::getenv("SDL_AUDIODRIVER"); chosen && *chosen) {
    say(std::string("audio output through SDL's \"") + chosen + "\" driver (SDL_AUDIODRIVER)");
    return chosen;
  }
  std::string reason;
  int devices = probe(reason);
  if (devices > 0) {
    say("audio output through SDL's default driver (" + reason + ")");
    return {};
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  say("no audio output device (" + reason + "); using SDL's \"dummy\" driver: add-ons play in silence");
  return "dummy";
}

}  // namespace sim
