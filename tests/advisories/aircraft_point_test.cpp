// The predicted aircraft point and the flap position.
#include "advisories/aircraft_point.h"

#include <gtest/gtest.h>

#include <cmath>

#include "situation_harness.h"

namespace orvante {
namespace {

using testing::SituationHarness;

constexpr double kLat = 37.6, kLon = -122.4;

double MovedMetres(const AircraftState& s) { return FlatDistance(kLat, kLon, s.latitudeDeg, s.longitudeDeg, true); }
double MovedBearing(const AircraftState& s) { return FlatBearing(kLat, kLon, s.latitudeDeg, s.longitudeDeg); }

class AircraftPoint : public ::testing::Test {
 protected:
  SituationHarness h;
  void SetUp() override { h.PlaceAt({kLat, kLon}, 100, 90); }
  void Update() {
    SituationContext ctx = h.Context();
    UpdateAircraftPoint(ctx);
  }
};

TEST_F(AircraftPoint, FlapPositionFromTheAircraftTableOrTheDetent) {
  h.flapPositions = {0, 5, 15, 30};
  h.sample.flapsHandleIndex = 2;
  Update();
  EXPECT_EQ(h.sample.flapPosition, 15u);
  h.sample.flapsHandleIndex = 4;  // beyond the table
  Update();
  EXPECT_EQ(h.sample.flapPosition, 0u);
  h.sample.flapsHandleIndex = -1;
  Update();
  EXPECT_EQ(h.sample.flapPosition, 0u);
  h.profile.AirbusSupprZone = 1;  // lever positions
  h.sample.flapsHandleIndex = 3;
  Update();
  EXPECT_EQ(h.sample.flapPosition, 3u);
  h.profile.AirbusSupprZone = 0;
  h.flapPositions.clear();
  Update();
  EXPECT_EQ(h.sample.flapPosition, 0u);
}

TEST_F(AircraftPoint, NoSampleYetIsNotMovedButGetsItsFlaps) {
  h.sample = AircraftState{};
  h.sample.visualModelRadiusM = 30;
  h.sample.groundSpeedKt = 100;
  h.sample.flapsHandleIndex = 1;
  h.flapPositions = {0, 10};
  Update();
  EXPECT_EQ(h.sample.latitudeDeg, 0);
  EXPECT_EQ(h.sample.longitudeDeg, 0);
  EXPECT_EQ(h.sample.altitudeFt, 0);
  EXPECT_EQ(h.sample.flapPosition, 10u);
}

TEST_F(AircraftPoint, StandingStillMovesToTheModelRadiusAheadOnly) {
  h.sample.visualModelRadiusM = 30;
  Update();
  EXPECT_NEAR(MovedMetres(h.sample), 30, 0.01);
  EXPECT_NEAR(MovedBearing(h.sample), 90, 0.01);
  EXPECT_EQ(h.sample.altitudeFt, 100);
}

TEST_F(AircraftPoint, EyePointOffsetTurnsWithTheHeading) {
  h.sample.visualModelRadiusM = 30;  // ignored once the eye point is known
  h.eyepointX_m = 1;                 // right of the reference point
  h.eyepointZ_m = 10;                // ahead of it
  h.sample.headingTrueDeg = 350;
  Update();
  EXPECT_NEAR(MovedMetres(h.sample), std::sqrt(101.0), 0.01);
  double expected = std::fmod(350 + std::atan2(1.0, 10.0) * RADIANS_TO_DEGREES, 360);
  EXPECT_NEAR(MovedBearing(h.sample), expected, 0.05);

  // An eye point behind and to the left.
  h.PlaceAt({kLat, kLon}, 100, 90);
  h.eyepointX_m = -3;
  h.eyepointZ_m = -4;
  Update();
  EXPECT_NEAR(MovedMetres(h.sample), 5, 0.01);
  EXPECT_NEAR(MovedBearing(h.sample), 90 + 180 + std::atan2(3.0, 4.0) * RADIANS_TO_DEGREES, 0.05);
}

TEST_F(AircraftPoint, LookAheadHalfASecondAlongTheHeading) {
  h.sample.groundSpeedKt = 20;
  Update();
  EXPECT_NEAR(MovedMetres(h.sample), 0.5 * 20 * 0.514444444, 0.001);
  EXPECT_NEAR(MovedBearing(h.sample), 90, 0.01);

  // Eye point and look-ahead add up along the heading.
  h.PlaceAt({kLat, kLon}, 100, 90);
  h.sample.visualModelRadiusM = 25;
  h.sample.groundSpeedKt = 140;
  Update();
  EXPECT_NEAR(MovedMetres(h.sample), 25 + 0.5 * 140 * 0.514444444, 0.01);
}

TEST_F(AircraftPoint, VerticalSpeedInWholeFeetPerSecond) {
  // -659 ft/min is -10 ft/s once truncated: 5 ft lower half a second on.
  h.sample.indicatedAltitudeFt = 120;
  h.sample.verticalSpeedFpm = -659;
  Update();
  EXPECT_DOUBLE_EQ(h.sample.altitudeFt, 95);
  EXPECT_DOUBLE_EQ(h.sample.indicatedAltitudeFt, 115);
  EXPECT_NEAR(MovedMetres(h.sample), 0, 1e-9);  // no ground speed, no move

  h.PlaceAt({kLat, kLon}, 100, 90);
  h.sample.verticalSpeedFpm = 59;  // below one foot per second: no climb
  Update();
  EXPECT_DOUBLE_EQ(h.sample.altitudeFt, 100);

  h.PlaceAt({kLat, kLon}, 100, 90);
  h.sample.verticalSpeedFpm = 1500;
  h.sample.groundSpeedKt = 150;
  Update();
  EXPECT_DOUBLE_EQ(h.sample.altitudeFt, 112.5);
}

}  // namespace
}  // namespace orvante
