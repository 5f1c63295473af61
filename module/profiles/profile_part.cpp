// Shut-down of the profile and sound-set part, and what the part asks of the
// voice: its sound set and its master volume.
#include "profiles/profile_part.h"

#include "core/main_settings.h"
#include "voice/announcement_playback.h"
#include "voice/sound_sets.h"

namespace orvante {

void ReleaseProfilePart(ProfilePart& part) {
  part.profileNames.clear();
  part.soundSetNames.clear();
  part.linkedModels.clear();
  ClearProfileSettings(part.settings);
  UnloadSoundSet();
  part.profileNames.shrink_to_fit();
  part.soundSetNames.shrink_to_fit();
  part.linkedModels.shrink_to_fit();
}

void LoadProfileSoundSet(const ProfilePart& part) {
  LoadSoundSet(part.settings.SoundSet, part.settings.MasterVolume.load());
}

void ChangeMasterVolume(ProfileSettings& settings, int32_t volume) {
  volume = ClampMasterVolume(volume);
  settings.MasterVolume = volume;
  ApplyMasterVolume(volume);
}

}  // namespace orvante
