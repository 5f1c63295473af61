// AssessSituation and CheckRunway: the order of one assessment.
#include "advisories/situation.h"

#include <cmath>
#include <cstring>

#include "advisories/advisory_checks.h"
#include "advisories/alert_word.h"
#include "advisories/approach.h"
#include "advisories/nearest_runway.h"
#include "advisories/runway_position.h"
#include "advisories/situation_geometry.h"
#include "advisories/whole_numbers.h"

namespace orvante {

static void ClearCycleState(AdvisoryState& state) {
  std::memset(state.currentDesignator, 0, sizeof state.currentDesignator);
  state.multipleRunways = 0;
  state.linedUpOnRunway = 0;
  state.flapsBelowLowerGate = 0;
  state.alignedRunwayDistance = -1;
  state.nearestThresholdDistance = -1;
  state.alignedRunway = nullptr;
  state.alertWord = 0;
  state.remainingMarks = 0;
}

// Arms the approach when descending towards the nearest runway and getting
// nearer to it; disarms when climbing away from it. Heading differences are
// against the bearing to the runway's reference point.
static void UpdateApproachArming(SituationContext& ctx, double bearingToNearest) {
  const AircraftState& s = ctx.sample;
  if (s.onGround != 0) return;
  double off = std::fabs(HeadingDifference(s.headingTrueDeg, bearingToNearest));
  if (s.verticalSpeedFpm < kArmingDescentFpm && off <= kApproachHeadingWindow &&
      s.nearestRunwayDistance < ctx.previousSample.nearestRunwayDistance) {
    ctx.state.approachArmed = 1;
  }
  if (s.verticalSpeedFpm > kDisarmingClimbFpm && off > kApproachHeadingWindow) ctx.state.approachArmed = 0;
}

static bool IsExcludedShortRunway(const SituationContext& ctx, const RunwayRecord& runwayEnd) {
  return ctx.profile.ExcludeShortRwys.load() == 1 && runwayEnd.width < kShortRunwayWidthFt &&
         runwayEnd.length < kShortRunwayLengthFt;
}

// Whether the aircraft is lined up on any runway end the loop examines. Decided
// before the loop so that the taxiing-towards test of an end listed before the
// runway the aircraft is on already knows it is on a runway: the list's order
// must not decide whether a pilot rolling down a runway hears "approaching".
static bool IsLinedUpOnAnyRunway(const SituationContext& ctx) {
  const AircraftState& s = ctx.sample;
  for (const auto& runwayEnd : ctx.runways) {
    if (IsExcludedShortRunway(ctx, *runwayEnd)) continue;
    if (IsInsideRunway({s.latitudeDeg, s.longitudeDeg}, *runwayEnd) &&
        IsAlignedWithRunway(s.headingTrueDeg, *runwayEnd)) {
      return true;
    }
  }
  return false;
}

// Back on the ground, slow and off the runways: the approach or take-off is
// over and its memory goes.
static void GroundReset(SituationContext& ctx) {
  const AircraftState& s = ctx.sample;
  AdvisoryState& state = ctx.state;
  if (s.onGround == 0 || s.groundSpeedKt >= kTaxiingSpeedLimitKt || (state.alertWord & AlertOnRunway) != 0) return;
  state.gateAlertLatched = 0;
  state.storedDistance = 0;
  state.maxGroundSpeed = 0;
  state.approachArmed = 0;
  state.rejectedTakeOff = 0;
}

void AssessSituation(SituationContext& ctx) {
  AircraftState& s = ctx.sample;
  AdvisoryState& state = ctx.state;
  if (HasNoPosition(s)) return;
  const RunwayRecord* nearest =
      NearestRunway(ctx.runways, s.latitudeDeg, s.longitudeDeg, NearestRunwayMode::kReferencePoint);
  if (nearest == nullptr) return;

  ClearCycleState(state);

  s.heightAboveRunway = s.altitudeFt - nearest->elevation;
  s.nearestRunwayDistance = TruncateToUint32(GreatCircleDistance(s.latitudeDeg, s.longitudeDeg, nearest->refLatitude,
                                                                 nearest->refLongitude, DistanceUnit::kNauticalMiles));
  double bearingToNearest = InitialBearing(s.latitudeDeg, s.longitudeDeg, nearest->refLatitude, nearest->refLongitude);

  // Arming compares with the last cycle, so it needs one.
  if (!HasNoPosition(ctx.previousSample)) {
    UpdateApproachArming(ctx, bearingToNearest);
    if (s.heightAboveRunway > kGateLatchResetFt) {
      state.gateAlertLatched = 0;
      state.storedDistance = 0;
    }
  }

  if (s.heightAboveRunway < kRunwayCheckCeilingFt) {
    bool airbus = ctx.profile.AirbusSupprZone.load() == 1;
    state.suppressionCeiling = airbus ? 450 : 550;
    state.suppressionFloor = airbus ? 350 : 450;
    state.linedUpOnRunway = IsLinedUpOnAnyRunway(ctx) ? 1 : 0;
    for (const auto& runwayEnd : ctx.runways) {
      if (IsExcludedShortRunway(ctx, *runwayEnd)) continue;
      CheckRunway(ctx, *runwayEnd);
    }
    CheckExtendedHolding(ctx);
    CheckTaxiwayTakeOff(ctx);
    CheckTaxiwayLanding(ctx);
    CheckLandingFlaps(ctx);
    CheckApproachSpeed(ctx);
  }

  CheckAltimeter(ctx);

  if (state.alertWord != 0 && state.muted.load() == 0) AnnouncementPass(ctx);

  CopyDesignator(state.previousDesignator, state.currentDesignator);
  state.previousAlertWord = state.alertWord;
  state.previousRemainingMarks = state.remainingMarks;
  CopySampleBlock(s, ctx.previousSample);

  GroundReset(ctx);
}

void CheckRunway(SituationContext& ctx, const RunwayRecord& runwayEnd) {
  AircraftState& s = ctx.sample;
  AdvisoryState& state = ctx.state;
  if (!IsInsideRunway({s.latitudeDeg, s.longitudeDeg}, runwayEnd)) {
    CheckApproachOnGround(ctx, runwayEnd);
    CheckApproachInAir(ctx, runwayEnd);
    return;
  }
  // On the runway but across it, or on a second runway after the first one
  // lined up on: nothing, not even an approaching alert.
  if ((state.alertWord & AlertOnRunway) != 0 || !IsAlignedWithRunway(s.headingTrueDeg, runwayEnd)) return;

  state.alertWord |= AlertOnRunway;
  CopyDesignator(state.currentDesignator, runwayEnd.designator);
  CheckRunwayLength(ctx, runwayEnd);
  CheckDistanceRemaining(ctx, runwayEnd);
  CheckRunwayEnd(ctx, runwayEnd);
  CheckTakeOffFlaps(ctx, runwayEnd);
  CheckLongLanding(ctx, runwayEnd);
}

}  // namespace orvante
