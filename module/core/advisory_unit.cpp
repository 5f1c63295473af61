// Construction and destruction of the top-level object.
#include "core/advisory_unit.h"

#include <new>

namespace orvante {

AdvisoryUnit* CreateAdvisoryUnit() {
  AdvisoryUnit* unit = new (std::nothrow) AdvisoryUnit();
  if (unit == nullptr) return nullptr;
  return unit;
}

void DestroyAdvisoryUnit(AdvisoryUnit* unit) {
  if (unit == nullptr) return;
  unit->flapPositions.clear();
  unit->flapPositions.shrink_to_fit();
  delete unit;
}

}  // namespace orvante

namespace orvante {

void ToggleMasterSwitch(AdvisoryUnit&) {}

}  // namespace orvante
