// Placeholder definitions of the advisory checks, the altimeter monitor and
// the announcement pass, which are not written yet. Each raises nothing and
// changes nothing, so the runway situation runs complete around them: the
// situation bits (taxiing towards, approaching, on runway) are raised and
// published, but no other advisory and no speech.
//
// This file goes away as the real checks arrive; each one replaces its
// definition here and nothing else changes.
#include "advisories/advisory_checks.h"

namespace orvante {

void CheckRunwayLength(SituationContext&, const RunwayRecord&) {}
void CheckDistanceRemaining(SituationContext&, const RunwayRecord&) {}
void CheckRunwayEnd(SituationContext&, const RunwayRecord&) {}
void CheckTakeOffFlaps(SituationContext&, const RunwayRecord&) {}
void CheckLongLanding(SituationContext&, const RunwayRecord&) {}

void CheckShortRunwayInAir(SituationContext&, const RunwayRecord&) {}
void CheckApproachAngle(SituationContext&, const RunwayRecord&) {}

void CheckExtendedHolding(SituationContext&) {}
void CheckTaxiwayTakeOff(SituationContext&) {}
void CheckTaxiwayLanding(SituationContext&) {}
void CheckLandingFlaps(SituationContext&) {}
void CheckApproachSpeed(SituationContext&) {}

void CheckAltimeter(SituationContext&) {}

void AnnouncementPass(SituationContext&) {}

}  // namespace orvante
