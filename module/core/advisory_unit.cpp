// Construction and destruction of the top-level object.
#include "core/advisory_unit.h"

#include <new>

#include "module/profiles/profile_startup.h"

namespace orvante {

AdvisoryUnit* CreateAdvisoryUnit() {
  AdvisoryUnit* unit = new (std::nothrow) AdvisoryUnit();
  if (unit == nullptr) return nullptr;
  InitProfiles(unit->profile);
  return unit;
}

void DestroyAdvisoryUnit(AdvisoryUnit* unit) {
  if (unit == nullptr) return;
  unit->flapPositions.clear();
  unit->flapPositions.shrink_to_fit();
  ReleaseProfilePart(unit->profile);
  delete unit;
}

}  // namespace orvante

namespace orvante {

void ToggleMasterSwitch(AdvisoryUnit& unit) {
  std::atomic<uint32_t>& masterSwitch = unit.profile.settings.MasterSwitch;
  masterSwitch = masterSwitch.load() == 0 ? 1 : 0;
}

}  // namespace orvante
