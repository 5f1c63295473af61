// Toggling the unit from a simulator key event.
#include "core/key_event_handler.h"

#include "core/advisory_unit.h"
#include "core/main_settings.h"
#include "core/module_state.h"
#include "core/panel_variables.h"

extern "C" PANELS* Panels;

namespace orvante {

void keyEventHandler(uint32_t eventId, uint32_t, void*) {
  AdvisoryUnit* unit = g_module.unit.load();
  if (unit == nullptr) return;
  if (g_mainSettings.enableKeyEventApi.load() != 1 || eventId != kToggleKeyEvent) return;
  ToggleMasterSwitch(*unit);
  // Each frame sets the switch from "ORVA_Enable" while the panel variables
  // are registered; the toggle lasts only once the variable shows it too.
  ShowMasterSwitch(*unit, Panels);
}

}  // namespace orvante
