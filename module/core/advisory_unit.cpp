// Construction and destruction of the top-level object.
#include "core/advisory_unit.h"

#include <new>

#include "core/module_state.h"
#include "profiles/profile_startup.h"

namespace orvante {

AdvisoryUnit* CreateAdvisoryUnit() {
  AdvisoryUnit* unit = new (std::nothrow) AdvisoryUnit();
  if (unit == nullptr) return nullptr;
  StartRunwayDatabase(unit->runways, g_module.simulatorDir);
  InitProfiles(unit->profile);
  // The sample, the flap list, the timers and the advisory state start at
  // zero, but for the two distances whose "none" is -1.
  unit->state.alignedRunwayDistance = -1;
  unit->state.nearestThresholdDistance = -1;
  return unit;
}

void DestroyAdvisoryUnit(AdvisoryUnit* unit) {
  if (unit == nullptr) return;
  unit->flapPositions.clear();
  unit->flapPositions.shrink_to_fit();
  ReleaseProfilePart(unit->profile);
  {
    std::lock_guard<std::mutex> lock(unit->runwayListLock);
    CloseDatabase(unit->runways);
  }
  delete unit;
}

void ToggleMasterSwitch(AdvisoryUnit& unit) {
  std::atomic<uint32_t>& masterSwitch = unit.profile.settings.MasterSwitch;
  masterSwitch = masterSwitch.load() == 0 ? 1 : 0;
}

}  // namespace orvante
