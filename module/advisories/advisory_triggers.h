// Advisory triggers: the checks that raise the alert bits beyond the three
// situation bits (taxiing towards, approaching, on runway), with their
// thresholds, the flap gates and their latch, the runway ahead kept in
// storedDistance, and the extended-holding phases and timer.
//
// The checks themselves are declared in advisory_checks.h, where the runway
// situation finds them; this header holds what they share with the
// announcement pass and with tests: the limits and the derived conditions.
#pragma once
#include <cstdint>

#include "advisories/situation_context.h"

namespace orvante {

// Ground speeds, whole knots.
inline constexpr int32_t kSlowOnRunwayKt = 40;         // below: the runway ahead is measured, callouts speak
inline constexpr int32_t kCautionSpeedKt = 41;         // from here the short-runway caution joins the length alert
inline constexpr int32_t kTaxiwayTakeOffSpeedKt = 40;  // above this off the runways: taking off on a taxiway

// Lengths, whole feet or metres as the profile counts them.
inline constexpr uint32_t kLeastSpokenLength = 100;  // shorter lengths never raise a length alert
inline constexpr int64_t kRunwayEndMetres = 30;
inline constexpr int64_t kRunwayEndFeet = 100;

// Heights above the nearest runway, feet.
inline constexpr uint32_t kGateAlertFloorFt = 450;  // gate alerts are raised above this
inline constexpr uint32_t kUnstableFloorFt = 300;   // unstable between this (excluded) and 450
inline constexpr double kCautionFloorFt = 300;      // short-runway caution in the air, both excluded
inline constexpr double kCautionCeilingFt = 450;
inline constexpr double kTaxiwayLandingFloorFt = 150;
inline constexpr double kTaxiwayLandingCeilingFt = 250;
inline constexpr int32_t kTaxiwayLandingSinkFpm = 450;
inline constexpr double kLongLandingFloorFt = 5;  // excluded
inline constexpr double kLongLandingCeilingFt = 100;
inline constexpr double kLongLandingHeadingWindow = 22.5;

// The gate ranges. Outside them the angle, speed and landing-flap checks are
// silent rather than corrected.
inline constexpr uint32_t kUpperGateLeast = 500, kUpperGateMost = 1400;
inline constexpr uint32_t kLowerGateLeast = 500, kLowerGateMost = 1000;

// The holding times' ranges, seconds.
inline constexpr uint32_t kHoldInitialLeast = 60, kHoldInitialMost = 300;
inline constexpr uint32_t kHoldRepeatLeast = 30, kHoldRepeatMost = 300;

// Gear handle value from which the gear counts as down.
inline constexpr uint8_t kGearDownLeast = 95;

// Steepest approach angle before "too high", degrees: the single-precision
// 3.9 the limit has always been stored as.
inline constexpr double kSteepApproachDeg = static_cast<double>(3.9f);

// Whole NM: near a threshold below this, close on the aligned runway at or below that.
inline constexpr int32_t kNearThresholdNm = 6;
inline constexpr int32_t kCloseOnRunwayNm = 3;

// Whether both flap gates lie in their ranges.
bool GatesInRange(const ProfileSettings& profile);

// The height the gates compare: heightAboveRunway truncated and taken as an
// unsigned whole number, so a height below the runway counts as above every
// gate.
uint32_t GateHeight(const AircraftState& sample);

// nearestThresholdDistance is known and below 6 NM.
bool IsNearThreshold(const AdvisoryState& state);

// An aligned runway is known and at most 3 NM away.
bool IsCloseOnAlignedRunway(const AdvisoryState& state);

}  // namespace orvante
