// Geometry of the advisory checks: distances, bearings, heading differences,
// segment crossings, units and the approach angle.
#include "advisories/situation_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "situation_harness.h"

namespace orvante {
namespace {

TEST(GreatCircleDistance, UnitsAgreeAndMatchKnownDistances) {
  // One degree of arc on a sphere of 6372.797 km.
  double nm = GreatCircleDistance(0, 0, 1, 0, DistanceUnit::kNauticalMiles);
  double metres = GreatCircleDistance(0, 0, 1, 0, DistanceUnit::kMetres);
  double feet = GreatCircleDistance(0, 0, 1, 0, DistanceUnit::kFeet);
  EXPECT_NEAR(metres, 111226.3, 0.1);
  EXPECT_NEAR(nm, metres / 1000 * 0.539956803, 1e-9);
  EXPECT_NEAR(feet, metres / 0.3048, 1e-6);

  // KSFO 10R to 28L threshold, listed as an 11381 ft runway.
  double runway = GreatCircleDistance(37.626298, -122.393124, 37.61172, -122.358367, DistanceUnit::kFeet);
  EXPECT_NEAR(runway, 11381, 60);
  EXPECT_DOUBLE_EQ(runway, GreatCircleDistance(37.61172, -122.358367, 37.626298, -122.393124, DistanceUnit::kFeet));
  EXPECT_EQ(GreatCircleDistance(51.47, -0.45, 51.47, -0.45, DistanceUnit::kNauticalMiles), 0);
}

TEST(InitialBearing, CompassPointsAndNeverThreeSixty) {
  EXPECT_NEAR(InitialBearing(0, 0, 1, 0), 0, 1e-9);
  EXPECT_NEAR(InitialBearing(0, 0, 0, 1), 90, 1e-9);
  EXPECT_NEAR(InitialBearing(1, 0, 0, 0), 180, 1e-9);
  EXPECT_NEAR(InitialBearing(0, 1, 0, 0), 270, 1e-9);
  // On a great circle the bearing east is not constant: leaving 51N due
  // east-ish towards a point on the same parallel heads a little north.
  EXPECT_LT(InitialBearing(51, 0, 51, 1), 90);
  // A target a hair west of north gives an angle so close below 360 that
  // the wrap rounds it to 360 itself; that is north.
  double b = InitialBearing(10, 0, 11, -1e-300);
  EXPECT_GE(b, 0);
  EXPECT_LT(b, 360);
}

TEST(HeadingDifference, SignedShortWayRound) {
  EXPECT_NEAR(HeadingDifference(350, 10), 20, 1e-9);
  EXPECT_NEAR(HeadingDifference(10, 350), -20, 1e-9);
  EXPECT_NEAR(HeadingDifference(90, 270), 180, 1e-9);
  EXPECT_NEAR(HeadingDifference(-30, 30), 60, 1e-9);
  EXPECT_NEAR(HeadingDifference(720, 45), 45, 1e-9);
}

TEST(SegmentsIntersect, CrossingsTouchesAndMisses) {
  GeoPoint a1{0, 0}, a2{2, 2}, b1{0, 2}, b2{2, 0};
  EXPECT_TRUE(SegmentsIntersect(a1, a2, b1, b2));
  EXPECT_TRUE(SegmentsIntersect(b1, b2, a1, a2));
  // Touching at an end counts.
  EXPECT_TRUE(SegmentsIntersect({0, 0}, {1, 1}, {1, 1}, {2, 0}));
  // The lines cross, but beyond the end of one segment.
  EXPECT_FALSE(SegmentsIntersect({0, 0}, {0.9, 0.9}, {0, 2}, {2, 0}));
  // Parallel, collinear and zero-length segments never cross (no division by zero).
  EXPECT_FALSE(SegmentsIntersect({0, 0}, {1, 1}, {0, 1}, {1, 2}));
  EXPECT_FALSE(SegmentsIntersect({0, 0}, {2, 2}, {1, 1}, {3, 3}));
  EXPECT_FALSE(SegmentsIntersect({0, 0}, {2, 2}, {1, 1}, {1, 1}));
}

TEST(SegmentsIntersect, SideOfConstantLatitudeAtRealCoordinates) {
  // A runway side running due east has one latitude for both corners, so its
  // latitude range is a single value: probes crossing it must still be found.
  int missed = 0;
  for (int i = 0; i < 1000; ++i) {
    double lat = 41.98389816 + i * 1.37e-5;
    GeoPoint side1{lat, -87.91835022}, side2{lat, -87.88905334};
    GeoPoint probe1{lat - 0.00031 - i * 1e-7, -87.9001 + i * 1.1e-6};
    GeoPoint probe2{lat + 0.00047, -87.9003 + i * 2.3e-6};
    if (!SegmentsIntersect(probe1, probe2, side1, side2)) ++missed;
  }
  EXPECT_EQ(missed, 0);
}

TEST(FeetToUnits, FeetUnchangedMetresTruncated) {
  EXPECT_EQ(FeetToUnits(1000, 0), 1000);
  EXPECT_EQ(FeetToUnits(1000, 1), 304);
  EXPECT_EQ(FeetToUnits(-100, 1), -30);
  EXPECT_EQ(FeetToUnits(1000, 2), 1000);  // only 1 means metres
  EXPECT_EQ(ProfileDistanceUnit(1), DistanceUnit::kMetres);
  EXPECT_EQ(ProfileDistanceUnit(0), DistanceUnit::kFeet);
  EXPECT_EQ(ProfileDistanceUnit(2), DistanceUnit::kFeet);
}

TEST(RoundTo, HalfUp) {
  EXPECT_DOUBLE_EQ(RoundTo(29.917, 2), 29.92);
  EXPECT_DOUBLE_EQ(RoundTo(29.925, 2), 29.93);
  EXPECT_DOUBLE_EQ(RoundTo(29.9249, 2), 29.92);
  EXPECT_DOUBLE_EQ(RoundTo(-1.5, 0), -1);
  EXPECT_DOUBLE_EQ(RoundTo(2.5, 0), 3);
}

TEST(ApproachAngle, HeightOverDistanceToAimPointInProfileUnits) {
  testing::SituationHarness h;
  const RunwayRecord* r = h.AddRunway("090", "270", 47.0, 8.0, 90, 10000, 150);
  ASSERT_NE(r->aimPoint.latitude, 0);
  // One nautical mile short of the aim point on the extended centreline.
  GeoPoint p = OffsetPoint(r->aimPoint.latitude, r->aimPoint.longitude, NAUTICAL_MILES_TO_FEET, 270, false);
  h.sample.latitudeDeg = p.latitude;
  h.sample.longitudeDeg = p.longitude;
  h.sample.heightAboveRunway = 318.9;  // whole feet: 318
  SituationContext ctx = h.Context();
  double expected = std::atan2(318, NAUTICAL_MILES_TO_FEET) * RADIANS_TO_DEGREES;
  EXPECT_NEAR(ApproachAngle(ctx, *r), expected, 0.01);
  EXPECT_NEAR(ApproachAngle(ctx, *r), 3.0, 0.01);
  // In metres the height is truncated to whole metres first: 96 m.
  h.profile.UnitsOfMeasure = 1;
  EXPECT_NEAR(ApproachAngle(ctx, *r), std::atan2(96, NAUTICAL_MILES_TO_FEET * 0.3048) * RADIANS_TO_DEGREES, 0.01);
  // Below the runway the angle is negative.
  h.sample.heightAboveRunway = -50;
  EXPECT_LT(ApproachAngle(ctx, *r), 0);
}

}  // namespace
}  // namespace orvante
