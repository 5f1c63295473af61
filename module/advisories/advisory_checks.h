// The advisory checks that the runway situation calls, in the order it calls
// them. Each reads the sample, the profile and the advisory state (and the
// runway end under examination where it takes one), and only raises bits in
// the alert word and sets fields of the advisory state; none returns a result.
//
// Called from CheckRunway, for the first runway end the aircraft is lined up on:
//   CheckRunwayLength, CheckDistanceRemaining, CheckRunwayEnd,
//   CheckTakeOffFlaps, CheckLongLanding.
// Called from CheckApproachInAir: CheckShortRunwayInAir right after
// AlertAppRwyInAir is raised, CheckApproachAngle for every lined-up end.
// Called from AssessSituation below 3000 ft, after the runway loop:
//   CheckExtendedHolding, CheckTaxiwayTakeOff, CheckTaxiwayLanding,
//   CheckLandingFlaps, CheckApproachSpeed;
// then CheckAltimeter whatever the height, then AnnouncementPass when the
// alert word is not empty and the unit is not muted.
#pragma once
#include "advisories/situation_context.h"

namespace orvante {

// Lined-up checks.
void CheckRunwayLength(SituationContext& ctx, const RunwayRecord& runwayEnd);
void CheckDistanceRemaining(SituationContext& ctx, const RunwayRecord& runwayEnd);
void CheckRunwayEnd(SituationContext& ctx, const RunwayRecord& runwayEnd);
void CheckTakeOffFlaps(SituationContext& ctx, const RunwayRecord& runwayEnd);
void CheckLongLanding(SituationContext& ctx, const RunwayRecord& runwayEnd);

// Approach checks.
void CheckShortRunwayInAir(SituationContext& ctx, const RunwayRecord& runwayEnd);
void CheckApproachAngle(SituationContext& ctx, const RunwayRecord& runwayEnd);

// Unit-wide checks.
void CheckExtendedHolding(SituationContext& ctx);
void CheckTaxiwayTakeOff(SituationContext& ctx);
void CheckTaxiwayLanding(SituationContext& ctx);
void CheckLandingFlaps(SituationContext& ctx);
void CheckApproachSpeed(SituationContext& ctx);

// The altimeter setting monitor.
void CheckAltimeter(SituationContext& ctx);

// Turns the newly raised alerts of the cycle into cue sequences.
void AnnouncementPass(SituationContext& ctx);

}  // namespace orvante
