// The live test's pilot without FlightGear: where it sees the aircraft on
// the runway, which way it steers, and the phases of the rejected take-off,
// down a toy roll along PHNL 26R.
#include "runway_pilot.h"

#include <gtest/gtest.h>

#include <cmath>

namespace flightgear_live {
namespace {

constexpr RunwayLine k26R = {21.32524400, -157.90709400, 21.32524700, -157.94323300};
constexpr double kDegreesPerMetreNorth = 1 / 111132.95;

TEST(RunwayPilot, SeesTheAircraftOnTheRunwaysLine) {
  RunwayPilot pilot(k26R, PilotPlan{});
  pilot.Step(21.325244, -157.907094, 270, 0, 0);
  EXPECT_NEAR(pilot.AheadFt(), 12295, 10);  // the whole runway ahead
  EXPECT_NEAR(pilot.RightOfLineM(), 0, 0.1);
  // 10 m north of the line, heading west, is 10 m to the right of it.
  pilot.Step(21.325245 + 10 * kDegreesPerMetreNorth, -157.925, 270, 0, 0.1);
  EXPECT_NEAR(pilot.RightOfLineM(), 10, 0.2);
  EXPECT_NEAR(pilot.AheadFt(), 12295 / 2.0, 60);
}

TEST(RunwayPilot, SteersBackToTheLine) {
  RunwayPilot pilot(k26R, PilotPlan{});
  // Right of the line and pointing along it: rudder to the left.
  EXPECT_LT(pilot.Step(21.325245 + 5 * kDegreesPerMetreNorth, -157.91, 270, 20, 0).rudder, 0);
  // On the line, pointing left of it: rudder to the right.
  EXPECT_GT(pilot.Step(21.325245, -157.911, 265, 20, 0.1).rudder, 0);
  // Turning right fast, the damping takes rudder off to the left.
  PilotControls turning = pilot.Step(21.325245, -157.912, 268, 20, 0.2);
  EXPECT_LT(turning.rudder, pilot.Step(21.325245, -157.913, 268, 20, 0.3).rudder + 0.5);
  EXPECT_LE(std::fabs(turning.rudder), 0.5);
}

// A toy roll: the aircraft answers throttle and brakes with a plain
// acceleration; the phases come in order and the speed falls after the
// rejection to the slow speed and stays inside the unit's window for the
// distance marks to the stop point.
TEST(RunwayPilot, RejectsTheTakeOffAtTheGivenDistanceLeft) {
  RunwayPilot pilot(k26R, PilotPlan{});
  double longitude = k26R.startLongitude, speed = 0, t = 0;
  double metresPerDegreeEast = 111319.49 * std::cos(21.325 * 3.14159265358979 / 180);
  std::vector<PilotPhase> phases = {pilot.Phase()};
  double slowestAfterRejecting = 1e9, fastestAfterRejecting = 0, aheadWhenRejecting = 0, fastest = 0;
  for (int step = 0; step < 20000 && pilot.Phase() != PilotPhase::Stopped; ++step) {
    PilotControls c = pilot.Step(k26R.startLatitude, longitude, 270, speed, t);
    double acceleration = 3.0 * c.throttle - 1.0 - 8.0 * c.brake;  // knots per second
    speed = std::max(0.0, speed + acceleration * 0.05);
    fastest = std::max(fastest, speed);
    longitude -= speed * 0.514444 * 0.05 / metresPerDegreeEast;
    t += 0.05;
    if (pilot.Phase() != phases.back()) {
      phases.push_back(pilot.Phase());
      if (pilot.Phase() == PilotPhase::Rejecting) aheadWhenRejecting = pilot.AheadFt();
    }
    if (pilot.Phase() == PilotPhase::Rejecting && pilot.AheadFt() < 4000) {
      slowestAfterRejecting = std::min(slowestAfterRejecting, speed);
      fastestAfterRejecting = std::max(fastestAfterRejecting, speed);
    }
  }
  EXPECT_EQ(phases, (std::vector<PilotPhase>{PilotPhase::Accelerating, PilotPhase::Taxiing, PilotPhase::Sprinting,
                                             PilotPhase::Rejecting, PilotPhase::Stopping, PilotPhase::Stopped}));
  // Rejected at 50 kt in the runway's second half, before 4,400 ft were left.
  EXPECT_GT(aheadWhenRejecting, 4400);
  EXPECT_LT(aheadWhenRejecting, 6147);
  EXPECT_NEAR(fastest, 50, 1);
  // From 4000 ft left to the stop: above 40 kt and 7 kt below the highest speed.
  EXPECT_GT(slowestAfterRejecting, 40.5);
  EXPECT_LT(fastestAfterRejecting, fastest - 7);
  EXPECT_GT(pilot.AheadFt(), 1000);  // stopped well before the end
}

}  // namespace
}  // namespace flightgear_live
