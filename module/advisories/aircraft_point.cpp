// The predicted aircraft point and the flap position of the cycle.
#include "advisories/aircraft_point.h"

#include <cmath>
#include <numbers>

#include "advisories/situation_geometry.h"
#include "runways/runway_geometry.h"

namespace orvante {

// The flap value the flap checks compare: the handle detent itself on
// aircraft flown by lever position (the Airbus setting), else the flap angle
// that aircraft.cfg gives for the detent; 0 when the table has no such entry.
static uint32_t FlapPositionFor(const SituationContext& ctx) {
  int32_t handle = ctx.sample.flapsHandleIndex;
  if (ctx.profile.AirbusSupprZone.load() == 1) return static_cast<uint32_t>(handle);
  if (handle < 0 || static_cast<size_t>(handle) >= ctx.flapPositions.size()) return 0;
  return ctx.flapPositions[static_cast<size_t>(handle)];
}

static void MoveTo(AircraftState& s, GeoPoint p) {
  s.latitudeDeg = p.latitude;
  s.longitudeDeg = p.longitude;
}

void UpdateAircraftPoint(SituationContext& ctx) {
  AircraftState& s = ctx.sample;
  s.flapPosition = FlapPositionFor(ctx);
  if (HasNoPosition(s)) return;

  // Eye point. Until the simulator has told where the cockpit sits, the
  // visual model's radius ahead along the heading stands in for it.
  double distance, bearing;
  if (ctx.eyepointX_m == 0 && ctx.eyepointZ_m == 0) {
    distance = s.visualModelRadiusM;
    bearing = s.headingTrueDeg;
  } else {
    distance = std::sqrt(ctx.eyepointX_m * ctx.eyepointX_m + ctx.eyepointZ_m * ctx.eyepointZ_m);
    double radians = std::atan2(ctx.eyepointX_m, ctx.eyepointZ_m) + s.headingTrueDeg * DEGREES_TO_RADIANS;
    bearing = WrapPositive(radians, 2 * std::numbers::pi) * RADIANS_TO_DEGREES;
  }
  MoveTo(s, OffsetPoint(s.latitudeDeg, s.longitudeDeg, distance, bearing, true));

  // Look-ahead of two cycles. Standing still with no vertical speed there is
  // nothing to predict.
  double speed = 0;
  if (s.groundSpeedKt > 0) {
    speed = s.groundSpeedKt * KNOTS_TO_METRES_PER_SECOND;
  } else if (s.verticalSpeedFpm == 0) {
    return;
  }
  int32_t climbFeetPerSecond = s.verticalSpeedFpm / 60;  // whole feet, truncated toward zero
  double t = 2 * static_cast<double>(ctx.cycleStep);
  MoveTo(s, OffsetPoint(s.latitudeDeg, s.longitudeDeg, t * speed, s.headingTrueDeg, true));
  s.altitudeFt += t * climbFeetPerSecond;
  s.indicatedAltitudeFt += t * climbFeetPerSecond;
}

}  // namespace orvante
