// The profile and sound-set part of the AdvisoryUnit: the loaded aircraft's
// model, the loaded profile and the three name lists (installed sound sets,
// profiles in the profile folder, models linked to the loaded profile).
// Every profile and sound-set operation takes this part by reference.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "profiles/profile_settings.h"

namespace orvante {

struct ProfilePart {
  // Name of the folder that holds the loaded aircraft; empty before the first
  // aircraft loads.
  char currentAircraftModel[260] = {};
  ProfileSettings settings;
  std::vector<std::string> soundSetNames;  // base names of the installed ".XGS" files
  std::vector<std::string> profileNames;   // profile files without ".INI"
  std::vector<std::string> linkedModels;   // Model.0, Model.1, ... of the loaded profile

  // Keeps a cycle from seeing half of a profile: SelectProfileForAircraft
  // holds it while it replaces the loaded profile, and the update cycle holds
  // it while it runs. Each switch and limit is atomic on its own; this lock
  // makes a profile change whole.
  std::mutex changeLock;
};

// Shut-down of the part: frees the profile, sound-set and model lists, clears
// the settings and unloads the sound set.
void ReleaseProfilePart(ProfilePart& part);

// Loads the sound set the loaded profile names, at its master volume.
void LoadProfileSoundSet(const ProfilePart& part);

// Stores a new master volume (kept within 0 to 10) in the profile and the main settings
// and passes it to the library as a float. The main settings file is not
// rewritten here.
void ChangeMasterVolume(ProfileSettings& settings, int32_t volume);

}  // namespace orvante
