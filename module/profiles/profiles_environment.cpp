// The profiles part's start-up environment.
#include "profiles/profiles_environment.h"

namespace orvante {

ProfilesEnvironment g_profilesEnvironment;

}  // namespace orvante
