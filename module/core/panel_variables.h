// The named panel variables shared with the aircraft's panels: panels switch
// the unit on or off, mute it and set its volume; the unit shows them its last
// alert word and the nearest runway's identifier.
#pragma once
#include <cstdint>

#include "gauges.h"
#include "runways/runway_record.h"

namespace orvante {

struct AdvisoryUnit;

// Right after each frame's sample, on the simulator's thread: registers and
// writes the variables after a simulation start, otherwise reads the panels'
// switches and writes the alert word; every 5 s of cycle time writes the
// nearest runway's identifier.
void ExchangePanelVariables(AdvisoryUnit& unit, const PANELS* panels);

// After a change of the master switch by other means than the panels (the
// key event): writes "ORVA_Enable" while the variables are registered and no
// registration is pending, so the next frame reads the switch as it now is.
// A pending registration writes it anyway.
void ShowMasterSwitch(AdvisoryUnit& unit, const PANELS* panels);

// After an aircraft load: writes the volume and the master switch again while
// the variables are registered and no registration is pending.
void RefreshPanelVariables(AdvisoryUnit& unit, const PANELS* panels);

// The identifier digits and suffix code ("ORVA_Rwy_Var1" to 3) of a runway
// end: 09L gives 0, 9, 1; 27 gives 2, 7, 4; 18W gives 1, 8, 5; none gives 0s.
struct RunwayIdentifierDigits {
  int32_t digit1 = 0;
  int32_t digit2 = 0;
  int32_t suffix = 0;  // 1 L, 2 C, 3 R, 4 no letter, 5 W
};
RunwayIdentifierDigits RunwayIdentifier(const RunwayRecord* runwayEnd);

}  // namespace orvante
