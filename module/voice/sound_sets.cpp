// Listing and loading sound sets. A set is loaded once per module start, at
// the end of start-up; the library's engine then lives until the process
// ends, and only the module's stream is destroyed at unload.
#include "voice/sound_sets.h"

#include "core/main_settings.h"
#include "core/module_log.h"
#include "voice/audio_error_reporting.h"
#include "voice/audio_function_table.h"
#include "voice/audio_library_binding.h"
#include "voice/voice_state.h"
#include "platform/files.h"
#include "platform/user_interface.h"

namespace orvante {

std::atomic<AudioStreamHandle> g_moduleStream{nullptr};

namespace {

constexpr size_t kMaxSoundSetName = 69;
constexpr size_t kExtensionLength = 4;  // ".XGS"

}  // namespace

std::string SoundSetFolder() { return platform::JoinPath({g_voice.simulatorDir, "ORVANTE\\SoundSets"}); }

void BuildSoundSetList(std::vector<std::string>& names) {
  names.clear();
  for (const platform::FoundFile& file : platform::FindFiles(platform::JoinPath({SoundSetFolder(), "*.XGS"}))) {
    if (file.isDirectory || file.name.size() <= kExtensionLength) continue;
    std::string name = file.name.substr(0, file.name.size() - kExtensionLength);
    if (name.size() > kMaxSoundSetName) {
      LogWrite("Sound set name too long, skipped: %s\n", file.name.c_str());
      continue;
    }
    names.push_back(name);
  }
}

std::string SoundSetFilePath(const std::string& soundSet, const char* extension) {
  std::string path = platform::JoinPath({SoundSetFolder(), soundSet + extension});
  for (const platform::FoundFile& file : platform::FindFiles(path))
    if (!file.isDirectory) return platform::JoinPath({SoundSetFolder(), file.name});
  return path;
}

void LoadSoundSet(const std::string& name, int32_t masterVolume) {
  if (name.empty()) return;
  LogWrite("Unloading PREVIOUS sounds set...\n");
  UnloadSoundSet();
  LogWrite("Loading CURRENT sounds set...\n");
  // Set names come from the folder listing; one that reaches outside the
  // folder names no set of ours.
  if (name.find_first_of("\\/") != std::string::npos || name == "." || name == "..") {
    LogWrite("Sound set name is not a file name: %s\n", name.c_str());
    return;
  }
  const std::string xgs = SoundSetFilePath(name, ".xgs");
  const std::string xwb = SoundSetFilePath(name, ".xwb");
  const std::string xsb = SoundSetFilePath(name, ".xsb");
  if (StartAudioEngine(xgs.c_str(), xwb.c_str(), xsb.c_str(), AudioErrorCallback) == 0) return;
  // Without a stream nothing can be heard: a device chosen earlier may be gone
  // (a headset unplugged), and then the default device speaks instead.
  const uint32_t device = g_mainSettings.audioOutputDevice;
  AudioStreamHandle stream = g_audio.VSC_AUDIO_CREATE_STREAM(device);
  if (stream == nullptr && device != 0) {
    LogWrite("Couldn't open audio output device %u, using the default device...\n", device);
    stream = g_audio.VSC_AUDIO_CREATE_STREAM(0);
  }
  if (stream == nullptr) {
    LogWrite("Couldn't open any audio output device, no sound set loaded...\n");
    platform::MessageBoxU8(nullptr,
                           "No audio output device could be opened, so Orvante cannot speak. "
                           "Connect an audio device and start the simulator again.",
                           "Orvante", platform::kMbOk | platform::kMbIconError);
    return;
  }
  LogWrite("Sounds set LOADED SUCCESSFULLY!...\n");
  g_moduleStream = stream;
  g_voice.soundSetReady = 1;
  g_audio.VSC_AUDIO_SET_VOLUME(static_cast<float>(masterVolume));
}

void UnloadSoundSet() {
  if (AudioLibraryHandle() == nullptr) return;
  g_voice.soundSetReady = 0;
  g_audio.VSC_AUDIO_EMPTY_QUE();
  g_audio.VSC_AUDIO_DESTROY_STREAM(g_moduleStream.exchange(nullptr));
}

}  // namespace orvante
