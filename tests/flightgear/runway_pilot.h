// The live test's pilot: a small controller that flies FlightGear's c172p
// down a runway from what FlightGear's records say. It keeps the aircraft on
// the centre line with the rudder (the nose wheel steers with it), rolls at
// a fast taxi speed into the runway's second half, runs up to about 50 kt
// there, and rejects the take-off: throttle to idle and the brakes down to a
// speed a little above 40 kt, held for a stretch (so that the roll passes
// more than one distance mark while the unit still counts it a rejected
// take-off), then stops.
#pragma once
#include <string>

namespace flightgear_live {

struct RunwayLine {
  double startLatitude = 0, startLongitude = 0;  // the runway end the roll starts from
  double endLatitude = 0, endLongitude = 0;      // the end it rolls towards
};

struct PilotControls {
  double throttle = 0;  // 0 idle to 1 full
  double brake = 0;     // 0 to 1, both wheels
  double rudder = 0;    // -1 left to 1 right
  double elevator = 0;  // -1 pull to 1 push
};

// The c172p held on the ground above about 50 kt gets light on its main
// wheels and swerves, so it is there only briefly. The unit counts a
// take-off rejected once the speed is 7 kt below the highest it had in the
// runway's second half, and gives marks only above 40 kt: the slow speed
// sits in the window that leaves.
struct PilotPlan {
  double taxiSpeedKt = 44;      // the roll into the second half
  double sprintAheadFt = 5200;  // from here full power ...
  double takeOffSpeedKt = 50;   // ... up to this speed ...
  double rejectAheadFt = 4400;  // ... or this much runway left, then the rejection
  double slowSpeedKt = 42.5;    // held after the rejection ...
  double slowingFt = 300;       // ... once this much further on ...
  double stopAheadFt = 2800;    // ... to here, then full brakes
};

enum class PilotPhase { Accelerating, Taxiing, Sprinting, Rejecting, Stopping, Stopped };

class RunwayPilot {
 public:
  RunwayPilot(RunwayLine runway, PilotPlan plan) : runway_(runway), plan_(plan) {}

  // One step: the aircraft's position, true heading, ground speed and the
  // simulated time (seconds); returns the controls to set.
  PilotControls Step(double latitude, double longitude, double headingDeg, double groundSpeedKt, double seconds);

  PilotPhase Phase() const { return phase_; }
  double AheadFt() const { return aheadFt_; }
  double RightOfLineM() const { return rightM_; }
  static const char* PhaseName(PilotPhase phase);

 private:
  RunwayLine runway_;
  PilotPlan plan_;
  PilotPhase phase_ = PilotPhase::Accelerating;
  double aheadFt_ = 0, rightM_ = 0;
  double lastHeading_ = 0, lastSeconds_ = -1, speedIntegral_ = 0, steeringIntegral_ = 0;
  double rejectedAtFt_ = 0, rejectedAtKt_ = 0;
};

}  // namespace flightgear_live
