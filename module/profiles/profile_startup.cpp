// Start-up of the profile part: sound sets listed first (a profile's default
// sound set is the first one found), then the default profile, the first
// profile, or a new "AIRBUS" saved and recorded as the default; the unit
// stays off until an aircraft with a linked profile loads.
#include "profiles/profile_startup.h"

#include "core/main_settings.h"
#include "core/module_log.h"
#include "profiles/profile_files.h"
#include "profiles/profiles_environment.h"
#include "voice/sound_sets.h"

namespace orvante {

void InitProfiles(ProfilePart& part) {
  part.soundSetNames.clear();
  part.profileNames.clear();
  part.linkedModels.clear();
  ClearProfileSettings(part.settings);
  CopyName(part.currentAircraftModel, "");

  if (g_profilesEnvironment.appDataDir[0] == '\0') return;

  LogWrite("Building sound sets list...\n");
  BuildSoundSetList(part.soundSetNames);
  if (part.soundSetNames.empty()) return;

  LogWrite("Sound set(s) FOUND!...\n");
  LogWrite("Building profiles list...\n");
  BuildProfileList(part);

  const std::string defaultProfile = g_mainSettings.defaultProfile;
  if (ProfileExists(defaultProfile)) {
    LogWrite("Openning DEFAULT profile...\n");
    LoadProfile(part, defaultProfile);
  } else {
    if (!part.profileNames.empty()) {
      LogWrite("Openning FIRST profile in list...\n");
      LoadProfile(part, part.profileNames.front());
    } else {
      LogWrite("Creating NEW profile...\n");
      CreateProfile(part, "AIRBUS");
      LogWrite("Saving profile in disk...\n");
      SaveProfile(part, nullptr);
      LogWrite("Building profiles list (AGAIN)...\n");
      BuildProfileList(part);
    }
    LogWrite("Updating DEFAULT profile...\n");
    // When even the new profile could not be written the list stays empty;
    // the loaded profile is then the one to name.
    CopyName(g_mainSettings.defaultProfile,
             part.profileNames.empty() ? std::string(part.settings.profileName) : part.profileNames.front());
    LogWrite("Updating INITIALIZATION file...\n");
    WriteMainSettings();
  }

  part.settings.MasterSwitch = 0;
  LoadProfileSoundSet(part);
}

}  // namespace orvante
