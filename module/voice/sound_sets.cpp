// Listing and loading sound sets. A set is loaded once per module start, at
// the end of start-up; the library's engine then lives until the process
// ends, and only the module's stream is destroyed at unload.
#include "module/voice/sound_sets.h"

#include "module/core/main_settings.h"
#include "module/core/module_log.h"
#include "module/core/module_state.h"
#include "module/voice/audio_error_reporting.h"
#include "module/voice/audio_function_table.h"
#include "module/voice/audio_library_binding.h"
#include "platform/files.h"

namespace orvante {

std::atomic<AudioStreamHandle> g_moduleStream{nullptr};

namespace {

constexpr size_t kMaxSoundSetName = 69;
constexpr size_t kExtensionLength = 4;  // ".XGS"

}  // namespace

std::string SoundSetFolder() { return platform::JoinPath({g_module.simulatorDir, "ORVANTE\\SoundSets"}); }

void BuildSoundSetList(ProfilePart& part) {
  part.soundSetNames.clear();
  for (const platform::FoundFile& file : platform::FindFiles(platform::JoinPath({SoundSetFolder(), "*.XGS"}))) {
    if (file.isDirectory || file.name.size() <= kExtensionLength) continue;
    std::string name = file.name.substr(0, file.name.size() - kExtensionLength);
    if (name.size() > kMaxSoundSetName) {
      LogWrite("Sound set name too long, skipped: %s\n", file.name.c_str());
      continue;
    }
    part.soundSetNames.push_back(name);
  }
}

std::string SoundSetFilePath(const std::string& soundSet, const char* extension) {
  std::string path = platform::JoinPath({SoundSetFolder(), soundSet + extension});
  for (const platform::FoundFile& file : platform::FindFiles(path))
    if (!file.isDirectory) return platform::JoinPath({SoundSetFolder(), file.name});
  return path;
}

void LoadSoundSet(const ProfilePart& part) {
  const std::string name = part.settings.SoundSet;
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
  LogWrite("Sounds set LOADED SUCCESSFULLY!...\n");
  g_module.soundSetReady = 1;
  g_moduleStream = g_audio.VSC_AUDIO_CREATE_STREAM(g_mainSettings.audioOutputDevice);
  g_audio.VSC_AUDIO_SET_VOLUME(static_cast<float>(part.settings.MasterVolume.load()));
}

void UnloadSoundSet() {
  if (AudioLibraryHandle() == nullptr) return;
  g_module.soundSetReady = 0;
  g_audio.VSC_AUDIO_EMPTY_QUE();
  g_audio.VSC_AUDIO_DESTROY_STREAM(g_moduleStream.exchange(nullptr));
}

}  // namespace orvante
