// The start-up choice of profile: the sound sets and profiles are listed, the
// default profile opened (or the first one, or a new "AIRBUS"), and its sound
// set loaded.
#pragma once

#include "profiles/profile_part.h"

namespace orvante {

// Runs during AdvisoryUnit construction. Leaves the unit switched off until an
// aircraft with a linked profile loads.
void InitProfiles(ProfilePart& part);

}  // namespace orvante
