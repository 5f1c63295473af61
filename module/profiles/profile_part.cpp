// Shut-down of the profile and sound-set part.
#include "module/profiles/profile_part.h"

#include "module/voice/sound_sets.h"

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

}  // namespace orvante
