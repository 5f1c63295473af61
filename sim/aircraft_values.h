// The user aircraft as the simulator knows it: the values that gauges and
// add-ons read through calculator code and SimConnect. Parked, gear down and
// at standard pressure until a recorded flight sets them frame by frame.
#pragma once

namespace sim {

struct AircraftValues {
  double latitudeDeg = 0.0;
  double longitudeDeg = 0.0;
  double altitudeFt = 0.0;  // above mean sea level
  double indicatedAltitudeFt = 0.0;
  double headingTrueDeg = 0.0;
  double visualModelRadiusM = 0.0;
  double indicatedAirspeedKt = 0.0;
  double groundSpeedKt = 0.0;
  double verticalSpeedFpm = 0.0;
  bool onGround = true;
  double gearHandle = 1.0;        // 0 up to 1 down
  double flapsHandleIndex = 0.0;  // detent
  double seaLevelPressureInHg = 29.92;
  double kohlsmanInHg = 29.92;  // altimeter setting
  double altitudeAboveGroundFt = 0.0;
  // The cockpit eye point relative to the aircraft's reference point, feet
  // (SimConnect's "EYEPOINT POSITION": x right, y up, z forward).
  double eyepointXFt = 0.0;
  double eyepointYFt = 0.0;
  double eyepointZFt = 0.0;
};

}  // namespace sim
