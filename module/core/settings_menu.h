// The settings dialog as the add-on menu opens it.
#pragma once

namespace orvante {

// Runs the settings dialog modally on the simulator's thread, on the unit's
// profile part, with the simulator's main window as owner; does nothing
// while there is no unit.
void ShowSettingsDialog();

}  // namespace orvante
