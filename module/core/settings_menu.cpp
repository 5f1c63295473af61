// The settings dialog as the add-on menu opens it: on the unit's profile part
// and flap positions, owned by the simulator's main window.
#include "core/settings_menu.h"

#include "core/advisory_unit.h"
#include "core/module_state.h"
#include "profiles/settings_dialog.h"

namespace orvante {

void ShowSettingsDialog() {
  AdvisoryUnit* unit = g_module.unit.load();
  if (unit == nullptr) return;
  RunSettingsDialog(unit->profile, unit->flapPositions, g_module.mainWindow);
}

}  // namespace orvante
