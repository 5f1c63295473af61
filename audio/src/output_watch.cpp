// Output devices through SDL, bound at run time from the copy FAudio loaded.
#include "output_watch.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

#include <algorithm>
#include <mutex>

namespace vscaudio {

namespace {

// SDL's audio status values and its open-device limit (SDL 2).
constexpr int kSdlAudioStopped = 0;
constexpr uint32_t kSdlMaxOpenDevices = 16;

using DeviceStatusFunction = int (*)(uint32_t);

DeviceStatusFunction DeviceStatus() {
  static DeviceStatusFunction function = [] {
#ifdef _WIN32
    // XACT3 plays through Windows' own audio, not SDL: nothing is watched.
    return DeviceStatusFunction{nullptr};
#else
    // Only a copy already loaded (FAudio's) is used: the library does not
    // bring SDL into a process that plays through something else.
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (sdl == nullptr) return DeviceStatusFunction{nullptr};
    return reinterpret_cast<DeviceStatusFunction>(dlsym(sdl, "SDL_GetAudioDeviceStatus"));
#endif
  }();
  return function;
}

}  // namespace

std::vector<uint32_t> OpenOutputDevices() {
  std::vector<uint32_t> open;
  DeviceStatusFunction status = DeviceStatus();
  if (status == nullptr) return open;
  for (uint32_t id = 1; id <= kSdlMaxOpenDevices; ++id)
    if (status(id) != kSdlAudioStopped) open.push_back(id);
  return open;
}

uint32_t OutputDeviceOpenedSince(const std::vector<uint32_t>& before) {
  for (uint32_t id : OpenOutputDevices())
    if (std::find(before.begin(), before.end(), id) == before.end()) return id;
  return 0;
}

bool OutputDeviceLost(uint32_t id) {
  DeviceStatusFunction status = DeviceStatus();
  return id != 0 && status != nullptr && status(id) == kSdlAudioStopped;
}

}  // namespace vscaudio
