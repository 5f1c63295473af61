// The aircraft point: where the runway tests look from. Each cycle the sampled
// position is moved to the cockpit's eye point and then half a second ahead
// along the track, and the altitude half a second along the vertical speed,
// so that callouts come as the pilot reaches a place rather than after it.
#pragma once
#include "advisories/situation_context.h"

namespace orvante {

// Derives flapPosition from the flaps handle, then moves latitudeDeg,
// longitudeDeg, altitudeFt (and indicatedAltitudeFt with it) of the sample to
// the predicted aircraft point. A sample at position 0, 0, 0 is not moved.
void UpdateAircraftPoint(SituationContext& ctx);

}  // namespace orvante
