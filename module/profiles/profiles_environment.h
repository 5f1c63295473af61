// What the module gives the profiles part at start-up: the user's
// application-data folder (profiles under ORVANTE\Profiles, the log beside
// them), the version text the About box shows and the font of the settings
// dialog's profile name.
#pragma once

#include "platform/fonts.h"

namespace orvante {

struct ProfilesEnvironment {
  char appDataDir[260] = {};
  char versionText[100] = {};
  const platform::FontDescription* profileFont = nullptr;
};

// The one instance, zero at load.
extern ProfilesEnvironment g_profilesEnvironment;

}  // namespace orvante
