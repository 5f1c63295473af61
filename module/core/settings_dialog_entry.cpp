// Where the add-on menu opens the settings dialog. The dialog itself is built
// in the profiles part; until it is wired here the menu holds the unit
// suspended without showing anything.
#include "core/simulator_link.h"

namespace orvante {

void ShowSettingsDialog() {}

}  // namespace orvante
