// Announcements on the module stream. The volume of every queued cue is the
// master volume; the profile's MasterVolume and the main setting are kept
// equal (loading and creating a profile copy it, every change sets both), and
// the main setting is the one read here because it is module-wide and atomic,
// so the worker reads it without a profile at hand.
#include "voice/announcement_playback.h"

#include "core/main_settings.h"
#include "voice/audio_function_table.h"
#include "voice/sound_sets.h"
#include "voice/voice_state.h"

namespace orvante {

void QueueAnnouncement(const std::vector<std::string>& cueNames, bool cutCurrent) {
  if (cutCurrent && g_audio.VSC_AUDIO_IS_QUE_PLAYING() == 1) g_audio.VSC_AUDIO_EMPTY_QUE();
  const float volume = static_cast<float>(static_cast<int32_t>(g_mainSettings.masterVolume.load()));
  AudioStreamHandle stream = g_moduleStream.load();
  for (const std::string& name : cueNames) g_audio.VSC_AUDIO_ADD_TO_QUE(stream, name.c_str(), 0.0f, 0.0f, 0.0f, volume);
}

void PlayAudioTest() {
  if (g_voice.soundSetReady != 1) return;
  QueueAnnouncement({"audiotestpassed"}, false);
}

void ApplyMasterVolume(int32_t volume) {
  volume = ClampMasterVolume(volume);
  g_mainSettings.masterVolume = volume;
  g_audio.VSC_AUDIO_SET_VOLUME(static_cast<float>(volume));
}

}  // namespace orvante
