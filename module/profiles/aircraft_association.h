// Links between profiles and aircraft models, and the choice of profile when
// the simulator loads an aircraft.
#pragma once
#include <string>

#include "profiles/profile_part.h"

namespace orvante {

// Adds the current aircraft model to the loaded profile's models unless it is
// there already. Reaches the file at the next SaveProfile. True when the model
// is linked now (added, or there already); false when it was refused: no
// aircraft loaded, or a model name a profile file cannot hold.
bool LinkCurrentModel(ProfilePart& part);

// Removes every linked model equal to model from the loaded profile.
void UnlinkModel(ProfilePart& part, const std::string& model);

// True when the named profile is linked to the current aircraft model: for the
// loaded profile from its list, for another from its file.
bool IsProfileLinked(const ProfilePart& part, const std::string& name);

// Loads the profile linked to the current aircraft model (the last one in the
// profile list when several are), or switches the unit off when none is.
void SelectProfileForAircraft(ProfilePart& part);

}  // namespace orvante
