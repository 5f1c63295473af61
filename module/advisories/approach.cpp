// Approach tests on the ground and in the air.
#include "advisories/approach.h"

#include <algorithm>
#include <cmath>

#include "advisories/advisory_checks.h"
#include "advisories/alert_word.h"
#include "advisories/situation_geometry.h"
#include "advisories/whole_numbers.h"
#include "runways/runway_geometry.h"

namespace orvante {

// Raises an approaching alert for a runway end; a second end raising the same
// alert in the cycle makes it a multiple-runway callout.
static void RaiseApproaching(AdvisoryState& state, uint32_t alert, const RunwayRecord& runwayEnd) {
  if (state.alertWord & alert) state.multipleRunways = 1;
  state.alertWord |= alert;
  CopyDesignator(state.currentDesignator, runwayEnd.designator);
}

void CheckApproachOnGround(SituationContext& ctx, const RunwayRecord& runwayEnd) {
  const AircraftState& s = ctx.sample;
  AdvisoryState& state = ctx.state;
  if (state.approachArmed != 0 || s.onGround != 1 || ctx.profile.AppRwyOnGnd.load() != 1) return;
  // Not while on a runway: neither once an end has raised AlertOnRunway nor when
  // the end the aircraft is lined up on comes later in the list.
  if ((state.alertWord & AlertOnRunway) != 0 || state.linedUpOnRunway != 0) return;
  if (s.groundSpeedKt >= kTaxiingSpeedLimitKt) return;

  double probe = std::max(kProbeWidths * runwayEnd.width * FEET_TO_METRES,
                          s.groundSpeedKt * KNOTS_TO_METRES_PER_SECOND * kProbeSeconds);
  double heading = s.headingTrueDeg * DEGREES_TO_RADIANS;
  GeoPoint from{s.latitudeDeg, s.longitudeDeg};
  GeoPoint to =
      OffsetByComponents(from.latitude, from.longitude, std::sin(heading) * probe, std::cos(heading) * probe, true);

  bool hit = false;
  for (int i = 0; i < 4 && !hit; ++i) {
    hit = SegmentsIntersect(from, to, runwayEnd.outline[i], runwayEnd.outline[(i + 1) % 4]);
  }
  if (!hit) return;

  // The end taxied towards is the nearer one; the runway's other end fails
  // this test unless both are exactly as near.
  DistanceUnit unit = ProfileDistanceUnit(ctx.profile.UnitsOfMeasure.load());
  double toOpposite =
      GreatCircleDistance(from.latitude, from.longitude, runwayEnd.oppositeLatitude, runwayEnd.oppositeLongitude, unit);
  double toEnd =
      GreatCircleDistance(from.latitude, from.longitude, runwayEnd.endLatitude, runwayEnd.endLongitude, unit);
  if (toOpposite >= toEnd) RaiseApproaching(state, AlertAppRwyOnGnd, runwayEnd);
}

void CheckApproachInAir(SituationContext& ctx, const RunwayRecord& runwayEnd) {
  const AircraftState& s = ctx.sample;
  AdvisoryState& state = ctx.state;
  if (state.approachArmed != 1 || s.onGround != 0) return;

  double lat = s.latitudeDeg, lon = s.longitudeDeg;
  double distance =
      GreatCircleDistance(lat, lon, runwayEnd.endLatitude, runwayEnd.endLongitude, DistanceUnit::kNauticalMiles);
  int32_t wholeDistance = TruncateToInt32(distance);
  bool firstOfList = !ctx.runways.empty() && ctx.runways.front().get() == &runwayEnd;
  if (state.nearestThresholdDistance == -1 || state.nearestThresholdDistance > wholeDistance || firstOfList) {
    state.nearestThresholdDistance = wholeDistance;
  }

  double axis = InitialBearing(runwayEnd.oppositeLatitude, runwayEnd.oppositeLongitude, runwayEnd.endLatitude,
                               runwayEnd.endLongitude);
  double fromEnd = InitialBearing(runwayEnd.endLatitude, runwayEnd.endLongitude, lat, lon);
  double offset = std::fabs(HeadingDifference(axis, fromEnd));
  double toEnd = InitialBearing(lat, lon, runwayEnd.endLatitude, runwayEnd.endLongitude);
  if (std::fabs(HeadingDifference(s.headingTrueDeg, toEnd)) > kApproachHeadingWindow) return;
  if (offset > kApproachCentrelineWindow) return;

  state.alignedRunway = &runwayEnd;
  state.alignedRunwayDistance = wholeDistance;

  double height = s.heightAboveRunway;
  if (ctx.profile.AppRwyInAir.load() == 1 && height >= kApproachCalloutFloorFt && height <= kApproachCalloutCeilingFt &&
      distance <= kApproachCalloutRangeNm) {
    // A funnel about the extended centreline: the allowed offset to the side
    // grows with the distance out, up to half a runway width and a bit.
    double offsetRadians = offset * DEGREES_TO_RADIANS;
    double lateral = std::sin(offsetRadians) * distance * NAUTICAL_MILES_TO_FEET;
    double allowed = std::min(std::cos(offsetRadians) * distance * (runwayEnd.width + 100), runwayEnd.width + 200);
    if (allowed >= lateral) {
      RaiseApproaching(state, AlertAppRwyInAir, runwayEnd);
      CheckShortRunwayInAir(ctx, runwayEnd);
    }
  }
  CheckApproachAngle(ctx, runwayEnd);
}

}  // namespace orvante
