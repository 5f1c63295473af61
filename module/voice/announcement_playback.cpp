// Announcements on the module stream. The volume of every queued cue is the
// master volume; the profile's MasterVolume and the main setting are kept
// equal (loading and creating a profile copy it, every change sets both), and
// the main setting is the one read here because it is module-wide and atomic,
// so the worker reads it without a profile at hand.
#include "module/voice/announcement_playback.h"

#include "module/core/main_settings.h"
#include "module/core/module_state.h"
#include "module/voice/audio_function_table.h"
#include "module/voice/sound_sets.h"

namespace orvante {

void QueueAnnouncement(const std::vector<std::string>& cueNames, bool cutCurrent) {
  if (cutCurrent && g_audio.VSC_AUDIO_IS_QUE_PLAYING() == 1) g_audio.VSC_AUDIO_EMPTY_QUE();
  const float volume = static_cast<float>(static_cast<int32_t>(g_mainSettings.masterVolume.load()));
  AudioStreamHandle stream = g_moduleStream.load();
  for (const std::string& name : cueNames) g_audio.VSC_AUDIO_ADD_TO_QUE(stream, name.c_str(), 0.0f, 0.0f, 0.0f, volume);
}

void PlayAudioTest() {
  if (g_module.soundSetReady != 1) return;
  QueueAnnouncement({"audiotestpassed"}, false);
}

void ChangeMasterVolume(ProfileSettings& settings, int32_t volume) {
  settings.MasterVolume = volume;
  g_mainSettings.masterVolume = volume;
  g_audio.VSC_AUDIO_SET_VOLUME(static_cast<float>(volume));
}

}  // namespace orvante
