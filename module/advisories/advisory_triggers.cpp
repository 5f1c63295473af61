// The advisory triggers: runway length, runway end, take-off flaps and long
// landing while lined up; short runway and approach angle on final; extended
// holding, taxiway take-off and landing, landing flaps and approach speed for
// the whole unit. Each check raises its bit in every cycle its condition holds;
// the announcement pass decides what is spoken.
#include "advisories/advisory_triggers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "advisories/advisory_checks.h"
#include "advisories/alert_word.h"
#include "advisories/situation_geometry.h"
#include "advisories/whole_numbers.h"
#include "runways/runway_geometry.h"

namespace orvante {

bool GatesInRange(const ProfileSettings& profile) {
  uint32_t upper = profile.UpperFlapGateAlert.load(), lower = profile.LowerFlapGateAlert.load();
  return upper >= kUpperGateLeast && upper <= kUpperGateMost && lower >= kLowerGateLeast && lower <= kLowerGateMost;
}

uint32_t GateHeight(const AircraftState& sample) { return TruncateToUint32(sample.heightAboveRunway); }

bool IsNearThreshold(const AdvisoryState& state) {
  return state.nearestThresholdDistance != -1 && state.nearestThresholdDistance < kNearThresholdNm;
}

bool IsCloseOnAlignedRunway(const AdvisoryState& state) {
  return state.alignedRunway != nullptr && state.alignedRunwayDistance != -1 &&
         state.alignedRunwayDistance <= kCloseOnRunwayNm;
}

namespace {

// On the ground and not landing: the take-off and taxi checks apply.
bool GroundCondition(const SituationContext& ctx) { return ctx.state.approachArmed == 0 && ctx.sample.onGround == 1; }

// In the air on an armed approach.
bool ApproachCondition(const SituationContext& ctx) { return ctx.state.approachArmed == 1 && ctx.sample.onGround == 0; }

bool On(const std::atomic<uint32_t>& profileSwitch) { return profileSwitch.load() == 1; }

void Raise(SituationContext& ctx, uint32_t alert) { ctx.state.alertWord |= alert; }

// A gate alert: the bit, and the latch that turns later deviations of this
// approach into "unstable".
void RaiseGateAlert(SituationContext& ctx, uint32_t alert) {
  Raise(ctx, alert);
  ctx.state.gateAlertLatched = 1;
}

// Below 450 ft on a latched approach, any gate check whose own preconditions
// hold calls the approach unstable. The profile's UnstableApproach switch,
// which the settings dialog offers as "unstable approach", decides whether
// that alert is raised at all.
void RaiseUnstableWhenLatched(SituationContext& ctx, uint32_t h) {
  if (h > kUnstableFloorFt && h <= kGateAlertFloorFt && ctx.state.gateAlertLatched == 1 &&
      On(ctx.profile.UnstableApproach)) {
    Raise(ctx, AlertUnstable);
  }
}

// Whole feet or metres from the aircraft point to a point, truncated.
uint32_t WholeDistanceTo(const SituationContext& ctx, double lat, double lon) {
  DistanceUnit unit = ProfileDistanceUnit(ctx.profile.UnitsOfMeasure.load());
  return TruncateToUint32(GreatCircleDistance(ctx.sample.latitudeDeg, ctx.sample.longitudeDeg, lat, lon, unit));
}

// The runway's length less a displaced threshold, whole feet; negative when
// the record's threshold lies beyond its length.
int64_t UsableLengthFt(const RunwayRecord& runwayEnd) {
  double usable = runwayEnd.length;
  if (runwayEnd.displacedThreshold > 0) usable -= runwayEnd.displacedThreshold;
  return TruncateToWhole(usable);
}

}  // namespace

void CheckRunwayLength(SituationContext& ctx, const RunwayRecord& runwayEnd) {
  const ProfileSettings& p = ctx.profile;
  AdvisoryState& state = ctx.state;
  if (!GroundCondition(ctx) || !On(p.InsufficientRwyLenOnGnd) || state.rejectedTakeOff != 0) return;
  uint32_t minimum = p.MinTakeOffLength.load();
  if (minimum == 0) return;

  // The runway ahead is measured while slow; once rolling, the length at the
  // 40 kt point stands, so the alert does not fade as the runway is used up.
  int32_t speed = ctx.sample.groundSpeedKt;
  uint32_t ahead;
  if (speed < kSlowOnRunwayKt) {
    ahead = WholeDistanceTo(ctx, runwayEnd.oppositeLatitude, runwayEnd.oppositeLongitude);
    state.storedDistance = ahead;
  } else {
    ahead = state.storedDistance;
  }
  if (ahead < kLeastSpokenLength || ahead >= minimum) return;
  Raise(ctx, AlertInsufficientLength);
  if (On(p.CautionEnabled) && speed >= kCautionSpeedKt) Raise(ctx, AlertCaution);
}

void CheckRunwayEnd(SituationContext& ctx, const RunwayRecord& runwayEnd) {
  if (!GroundCondition(ctx) || !On(ctx.profile.RunwayEnd) || ctx.sample.groundSpeedKt >= kSlowOnRunwayKt) return;
  int64_t left = WholeDistanceTo(ctx, runwayEnd.oppositeLatitude, runwayEnd.oppositeLongitude);
  switch (ctx.profile.UnitsOfMeasure.load()) {
    case 0:
      if (left < kRunwayEndFeet) Raise(ctx, AlertRunwayEnd);
      break;
    case 1:
      if (left < kRunwayEndMetres) Raise(ctx, AlertRunwayEnd);
      break;
    default: break;
  }
}

void CheckTakeOffFlaps(SituationContext& ctx, const RunwayRecord&) {
  const ProfileSettings& p = ctx.profile;
  if (!GroundCondition(ctx) || !On(p.TakeOffFlapMonitor) || ctx.state.rejectedTakeOff != 0) return;
  if (ctx.sample.groundSpeedKt >= kSlowOnRunwayKt) return;
  if (ctx.sample.flapPosition < p.MinTakeOffFlaps.load()) Raise(ctx, AlertTakeOffFlaps);
}

void CheckLongLanding(SituationContext& ctx, const RunwayRecord& runwayEnd) {
  const ProfileSettings& p = ctx.profile;
  const AircraftState& s = ctx.sample;
  if (!ApproachCondition(ctx) || !On(p.LongLanding)) return;
  uint64_t zonePercent = p.TouchdownZoneLen.load();
  if (zonePercent == 0) return;

  // Still heading for the runway's middle: past it the bearing swings round
  // and the check falls silent.
  double toMiddle = InitialBearing(s.latitudeDeg, s.longitudeDeg, runwayEnd.refLatitude, runwayEnd.refLongitude);
  if (std::fabs(HeadingDifference(s.headingTrueDeg, toMiddle)) > kLongLandingHeadingWindow) return;
  if (!(s.heightAboveRunway > kLongLandingFloorFt && s.heightAboveRunway <= kLongLandingCeilingFt)) return;

  GeoPoint threshold{runwayEnd.endLatitude, runwayEnd.endLongitude};
  if (runwayEnd.displacedThreshold > 0) {
    threshold = OffsetPoint(runwayEnd.endLatitude, runwayEnd.endLongitude, runwayEnd.displacedThreshold,
                            runwayEnd.trueHeading, false);
  }
  // A record whose displaced threshold is not shorter than the runway has no
  // touchdown zone to be past.
  int64_t usable = UsableLengthFt(runwayEnd);
  if (usable <= 0) return;
  uint64_t usableUnits = static_cast<uint64_t>(FeetToUnits(usable, p.UnitsOfMeasure.load()));
  // 64-bit, so a large zone percentage cannot wrap the limit round to a small one.
  uint64_t limit = usableUnits * zonePercent / 100;
  uint64_t past = WholeDistanceTo(ctx, threshold.latitude, threshold.longitude);
  if (past > limit) Raise(ctx, AlertLongLanding);
}

void CheckShortRunwayInAir(SituationContext& ctx, const RunwayRecord& runwayEnd) {
  const ProfileSettings& p = ctx.profile;
  if (!ApproachCondition(ctx) || !On(p.AppShortRwyInAir)) return;
  uint32_t minimum = p.MinLandingLength.load();
  if (minimum == 0) return;

  // The landing length available is what DistanceCues will speak.
  int64_t available = FeetToUnits(UsableLengthFt(runwayEnd), p.UnitsOfMeasure.load());
  ctx.state.storedDistance = available <= 0 ? 0 : static_cast<uint32_t>(std::min<int64_t>(available, UINT32_MAX));
  uint32_t stored = ctx.state.storedDistance;
  if (stored < kLeastSpokenLength || stored >= minimum) return;
  Raise(ctx, AlertShortRunwayInAir);
  double h = ctx.sample.heightAboveRunway;
  if (On(p.CautionEnabled) && h > kCautionFloorFt && h < kCautionCeilingFt) Raise(ctx, AlertCaution);
}

void CheckApproachAngle(SituationContext& ctx, const RunwayRecord& runwayEnd) {
  const ProfileSettings& p = ctx.profile;
  if (!ApproachCondition(ctx) || !On(p.ExcessiveApprAngle) || !GatesInRange(p)) return;
  if (!IsCloseOnAlignedRunway(ctx.state)) return;
  if (std::fabs(ApproachAngle(ctx, runwayEnd)) <= kSteepApproachDeg) return;

  uint32_t h = GateHeight(ctx.sample);
  if (h <= p.LowerFlapGateAlert.load()) {
    if (h > kGateAlertFloorFt) {
      RaiseGateAlert(ctx, AlertTooHigh);
      return;
    }
  } else if (h <= p.UpperFlapGateAlert.load()) {
    // Between the gates steep is only "too high" once configured for landing;
    // before that the crew may still be slowing down and descending.
    if (ctx.sample.flapPosition >= p.MinLandingFlaps.load() && ctx.sample.gearHandle >= kGearDownLeast) {
      RaiseGateAlert(ctx, AlertTooHigh);
      return;
    }
  }
  RaiseUnstableWhenLatched(ctx, h);
}

void CheckApproachSpeed(SituationContext& ctx) {
  const ProfileSettings& p = ctx.profile;
  const AircraftState& s = ctx.sample;
  if (!ApproachCondition(ctx) || !On(p.ExcessiveApprSpeed) || !GatesInRange(p)) return;
  // Compared as signed knots; 64 bits keep every profile value in range.
  if (static_cast<int64_t>(s.indicatedAirspeedKt) <= static_cast<int64_t>(p.MaxApproachSpeed.load())) return;

  uint32_t h = GateHeight(s);
  uint32_t lower = p.LowerFlapGateAlert.load(), upper = p.UpperFlapGateAlert.load();
  if (h > lower && h <= upper && s.flapPosition >= p.MinLandingFlaps.load() && s.gearHandle >= kGearDownLeast &&
      IsNearThreshold(ctx.state)) {
    RaiseGateAlert(ctx, AlertTooFast);
    return;
  }
  if (!IsCloseOnAlignedRunway(ctx.state)) return;
  if (h <= lower && h > kGateAlertFloorFt) {
    RaiseGateAlert(ctx, AlertTooFast);
    return;
  }
  RaiseUnstableWhenLatched(ctx, h);
}

void CheckLandingFlaps(SituationContext& ctx) {
  const ProfileSettings& p = ctx.profile;
  if (!ApproachCondition(ctx) || !On(p.LandingFlapMonitor) || !GatesInRange(p)) return;
  if (ctx.sample.flapPosition >= p.MinLandingFlaps.load()) return;

  uint32_t h = GateHeight(ctx.sample);
  uint32_t lower = p.LowerFlapGateAlert.load(), upper = p.UpperFlapGateAlert.load();
  if (h > lower && h <= upper && IsNearThreshold(ctx.state)) {
    RaiseGateAlert(ctx, AlertLandingFlaps);
    return;
  }
  if (!IsCloseOnAlignedRunway(ctx.state)) return;
  if (h <= lower && h > kGateAlertFloorFt) {
    // Below the lower gate the callout changes from a reminder to "flaps, flaps".
    RaiseGateAlert(ctx, AlertLandingFlaps);
    ctx.state.flapsBelowLowerGate = 1;
    return;
  }
  RaiseUnstableWhenLatched(ctx, h);
}

void CheckTaxiwayLanding(SituationContext& ctx) {
  const AircraftState& s = ctx.sample;
  if (!ApproachCondition(ctx) || !On(ctx.profile.TaxiwayLanding)) return;
  if (!(s.heightAboveRunway >= kTaxiwayLandingFloorFt && s.heightAboveRunway <= kTaxiwayLandingCeilingFt)) return;
  if (s.verticalSpeedFpm >= kTaxiwayLandingSinkFpm) return;
  // Low and close to the runways yet lined up with none of them.
  if (ctx.state.alignedRunway == nullptr && IsNearThreshold(ctx.state)) Raise(ctx, AlertTaxiwayLanding);
}

void CheckTaxiwayTakeOff(SituationContext& ctx) {
  if (!GroundCondition(ctx) || !On(ctx.profile.TaxiwayTakeOff)) return;
  if ((ctx.state.alertWord & AlertOnRunway) != 0) return;
  if (ctx.sample.groundSpeedKt > kTaxiwayTakeOffSpeedKt) Raise(ctx, AlertTaxiwayTakeOff);
}

void CheckExtendedHolding(SituationContext& ctx) {
  const ProfileSettings& p = ctx.profile;
  AdvisoryState& state = ctx.state;
  uint32_t initial = p.ExtHoldInitialTime.load(), repeat = p.ExtHoldRepeatTime.load();
  bool holding = GroundCondition(ctx) && On(p.ExtendedHoldingOnRwy) && initial >= kHoldInitialLeast &&
                 initial <= kHoldInitialMost && repeat >= kHoldRepeatLeast && repeat <= kHoldRepeatMost &&
                 (state.alertWord & AlertOnRunway) != 0 && state.rejectedTakeOff == 0 && ctx.sample.groundSpeedKt < 1;
  if (!holding) {
    state.holdPhase = 0;
    state.holdTimer = 0;
    return;
  }

  // The reminder is raised once the timer's whole seconds pass the phase's
  // time; the announcement restarts the timer in phase 1.
  uint32_t limit;
  switch (state.holdPhase) {
    case 0: limit = initial; break;
    case 1: limit = repeat; break;
    default: state.holdTimer += ctx.cycleStep; return;
  }
  if (TruncateToWhole(state.holdTimer) <= static_cast<int64_t>(limit)) {
    state.holdTimer += ctx.cycleStep;
  } else {
    Raise(ctx, AlertExtendedHolding);
  }
}

}  // namespace orvante
