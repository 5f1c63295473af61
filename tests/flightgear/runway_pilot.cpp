// The live test's pilot.
#include "runway_pilot.h"

#include <algorithm>
#include <cmath>

namespace flightgear_live {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegreeLatitude = 111132.95;
constexpr double kMetresPerDegreeLongitude = 111319.49;  // at the equator
constexpr double kFeetPerMetre = 1 / 0.3048;

// Degrees in (-180, 180].
double Turn(double degrees) {
  degrees = std::fmod(degrees, 360.0);
  if (degrees > 180) degrees -= 360;
  if (degrees <= -180) degrees += 360;
  return degrees;
}

}  // namespace

const char* RunwayPilot::PhaseName(PilotPhase phase) {
  switch (phase) {
    case PilotPhase::Accelerating: return "accelerating";
    case PilotPhase::Taxiing: return "taxiing";
    case PilotPhase::Sprinting: return "sprinting";
    case PilotPhase::Rejecting: return "rejecting";
    case PilotPhase::Stopping: return "stopping";
    case PilotPhase::Stopped: return "stopped";
  }
  return "?";
}

PilotControls RunwayPilot::Step(double latitude, double longitude, double headingDeg, double groundSpeedKt,
                                double seconds) {
  // The runway's line on a flat map around its start.
  double cosine = std::cos(runway_.startLatitude * kPi / 180);
  double lineEast = (runway_.endLongitude - runway_.startLongitude) * kMetresPerDegreeLongitude * cosine;
  double lineNorth = (runway_.endLatitude - runway_.startLatitude) * kMetresPerDegreeLatitude;
  double length = std::hypot(lineEast, lineNorth);
  double east = (longitude - runway_.startLongitude) * kMetresPerDegreeLongitude * cosine;
  double north = (latitude - runway_.startLatitude) * kMetresPerDegreeLatitude;
  double along = (east * lineEast + north * lineNorth) / length;
  rightM_ = (east * lineNorth - north * lineEast) / length;
  aheadFt_ = (length - along) * kFeetPerMetre;
  double track = std::atan2(lineEast, lineNorth) * 180 / kPi;

  double headingError = Turn(headingDeg - track);
  double rate = 0;
  double dt = lastSeconds_ < 0 ? 0 : seconds - lastSeconds_;
  if (dt > 0) rate = Turn(headingDeg - lastHeading_) / dt;
  lastHeading_ = headingDeg;
  lastSeconds_ = seconds;

  PilotControls c;
  // Steering: back to the line and along it, damped by the rate of turn,
  // with a share that learns the steady push the propeller gives (the c172p
  // pulls left at full power); gentler as the speed (and the rudder's own
  // bite) grows.
  double gentler = 1.0 / (1.0 + groundSpeedKt / 60.0);
  double aimError = headingError + std::clamp(rightM_ * 1.5, -8.0, 8.0);  // aim back at the line
  if (dt > 0 && groundSpeedKt > 5) steeringIntegral_ = std::clamp(steeringIntegral_ + 0.01 * aimError * dt, -0.3, 0.3);
  c.rudder = std::clamp(-(0.04 * aimError + 0.03 * rate + steeringIntegral_) * gentler, -0.5, 0.5);
  // Light back pressure keeps the main wheels down while the speed builds
  // (pressed forward the c172p runs on its nose wheel and swerves); none from
  // the rejection on, where more would lift the c172p off at the top speed.
  c.elevator = -0.15;

  if (phase_ == PilotPhase::Accelerating && groundSpeedKt >= plan_.taxiSpeedKt - 1) phase_ = PilotPhase::Taxiing;
  if ((phase_ == PilotPhase::Accelerating || phase_ == PilotPhase::Taxiing) && aheadFt_ <= plan_.sprintAheadFt)
    phase_ = PilotPhase::Sprinting;
  if (phase_ == PilotPhase::Sprinting && (groundSpeedKt >= plan_.takeOffSpeedKt || aheadFt_ <= plan_.rejectAheadFt)) {
    phase_ = PilotPhase::Rejecting;
    rejectedAtFt_ = aheadFt_;
    rejectedAtKt_ = groundSpeedKt;
  }
  if (phase_ == PilotPhase::Rejecting && aheadFt_ <= plan_.stopAheadFt) phase_ = PilotPhase::Stopping;
  if (phase_ == PilotPhase::Stopping && groundSpeedKt < 0.5) phase_ = PilotPhase::Stopped;

  switch (phase_) {
    case PilotPhase::Accelerating:
    case PilotPhase::Sprinting: c.throttle = 1.0; break;
    case PilotPhase::Taxiing: {
      double error = plan_.taxiSpeedKt - groundSpeedKt;
      if (dt > 0) speedIntegral_ = std::clamp(speedIntegral_ + error * dt, -20.0, 20.0);
      c.throttle = std::clamp(0.5 + 0.08 * error + 0.01 * speedIntegral_, 0.1, 1.0);
      c.brake = error < -3 ? 0.2 : 0.0;
      break;
    }
    case PilotPhase::Rejecting: {
      // The speed to be at: down from the speed of the rejection to the slow
      // speed over the first stretch, then the slow speed.
      double share = std::clamp((aheadFt_ - (rejectedAtFt_ - plan_.slowingFt)) / plan_.slowingFt, 0.0, 1.0);
      double target = plan_.slowSpeedKt + (rejectedAtKt_ - plan_.slowSpeedKt) * share;
      // Brakes when more than a knot too fast; below that the throttle
      // blends in, enough to hold the slow speed against the drag.
      double over = groundSpeedKt - target;
      c.brake = over > 1 ? std::clamp(0.12 * (over - 1), 0.0, 1.0) : 0.0;
      c.throttle = over < 0 ? std::clamp(0.35 - 0.1 * over, 0.0, 0.8) : over < 1 ? 0.35 * (1 - over) : 0.0;
      c.elevator = 0;
      break;
    }
    case PilotPhase::Stopping:
    case PilotPhase::Stopped:
      c.throttle = 0;
      c.brake = 1.0;
      c.elevator = 0;
      break;
  }
  return c;
}

}  // namespace flightgear_live
