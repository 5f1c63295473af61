// The runway situation on real airports, with runway lists built from the
// OurAirports table the way the runway query builds them.
#include <gtest/gtest.h>

#include <cmath>

#include "advisories/alert_word.h"
#include "advisories/situation_geometry.h"
#include "ourairports_runways.h"
#include "situation_harness.h"

namespace orvante {
namespace {

using testing::RunwayPoint;
using testing::SituationHarness;

class RealRunways : public ::testing::Test {
 protected:
  SituationHarness h;

  void Load(double lat, double lon) {
    std::string path = testing::FindOurAirportsRunways();
    ASSERT_FALSE(path.empty()) << "OurAirports runways.csv not found";
    h.runways = testing::LoadRunwaysAround(path, lat, lon);
    ASSERT_FALSE(h.runways.empty());
  }
  const RunwayRecord& End(const char* airport, const char* designator) {
    const RunwayRecord* r = testing::FindRunwayEnd(h.runways, airport, designator);
    EXPECT_NE(r, nullptr) << airport << " " << designator;
    return r ? *r : *h.runways.front();
  }
  // A sample as the simulator gives it: a 30 m model radius, no eye point.
  void Sample(GeoPoint p, double altitudeFt, double headingDeg, int32_t knots, int32_t onGround, int32_t fpm = 0) {
    h.PlaceAt(p, altitudeFt, headingDeg);
    h.sample.visualModelRadiusM = 30;
    h.sample.groundSpeedKt = knots;
    h.sample.onGround = onGround;
    h.sample.verticalSpeedFpm = fpm;
  }
};

TEST_F(RealRunways, LinedUpOnKsfo28L) {
  Load(37.619, -122.375);
  const RunwayRecord& r = End("KSFO", "28L");
  EXPECT_NEAR(r.length, 11381, 60);
  // Holding 300 ft past the threshold on the centreline, then rolling.
  GeoPoint p = OffsetPoint(r.endLatitude, r.endLongitude, 300, r.trueHeading, false);
  Sample(p, r.elevation, r.trueHeading, 0, 1);
  h.Cycle();
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_STREQ(h.state.currentDesignator, "28L");
  EXPECT_EQ(h.sample.nearestRunwayDistance, 0u);
  EXPECT_STREQ(h.state.previousDesignator, "28L");

  Sample(OffsetPoint(p.latitude, p.longitude, 3000, r.trueHeading, false), r.elevation, r.trueHeading, 90, 1);
  h.Cycle();
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_STREQ(h.state.currentDesignator, "28L");

  // Lined up on the parallel runway instead.
  const RunwayRecord& right = End("KSFO", "28R");
  Sample(OffsetPoint(right.endLatitude, right.endLongitude, 500, right.trueHeading, false), right.elevation,
         right.trueHeading, 5, 1);
  h.Cycle();
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_STREQ(h.state.currentDesignator, "28R");
}

TEST_F(RealRunways, TaxiingTowardsKsfo28LAt15Knots) {
  Load(37.619, -122.375);
  const RunwayRecord& r = End("KSFO", "28L");
  const RunwayRecord& r10R = End("KSFO", "10R");
  double across = WrapPositive(r.trueHeading + 90, 360);  // from the south-west side towards the runway

  // 350 ft off the centreline, 5000 ft from the middle towards the 28L end.
  Sample(RunwayPoint(r, -5000, -350), r.elevation, across, 15, 1);
  h.Cycle();
  EXPECT_EQ(h.state.alertWord, AlertAppRwyOnGnd);
  EXPECT_STREQ(h.state.currentDesignator, "28L");
  EXPECT_EQ(h.state.multipleRunways, 0u);

  // The same towards the other end of the runway.
  Sample(RunwayPoint(r, 5000, -350), r.elevation, across, 15, 1);
  h.Cycle();
  EXPECT_EQ(h.state.alertWord, AlertAppRwyOnGnd);
  EXPECT_STREQ(h.state.currentDesignator, r10R.designator);

  // Too far off for the probe at 15 kt: 316 ft, while the edge lies 100 ft
  // short of the centreline and the eye point and look-ahead take 111 ft off.
  Sample(RunwayPoint(r, -5000, -560), r.elevation, across, 15, 1);
  h.Cycle();
  EXPECT_EQ(h.state.alertWord, 0u);

  // Taxiing along the runway beside it.
  Sample(RunwayPoint(r, -5000, -350), r.elevation, r.trueHeading, 15, 1);
  h.Cycle();
  EXPECT_EQ(h.state.alertWord, 0u);
}

class Egll27L : public RealRunways {
 protected:
  const RunwayRecord* r = nullptr;
  double elevation = 0;  // of the nearest runway end by reference point
  void SetUp() override {
    Load(51.4706, -0.461941);
    r = &End("EGLL", "27L");
    elevation = End("EGLL", "09R").elevation;  // listed first of the pair
  }
  // On final to 27L, `nm` out, `rightFt` right of the extended centreline.
  GeoPoint Final(double nm, double rightFt) {
    GeoPoint p = OffsetPoint(r->endLatitude, r->endLongitude, nm * NAUTICAL_MILES_TO_FEET, r->trueHeading + 180, false);
    return OffsetPoint(p.latitude, p.longitude, rightFt, r->trueHeading + 90, false);
  }
  void ArmedAt(GeoPoint p, double heightFt) {
    h.state.approachArmed = 1;
    h.previousSample.latitudeDeg = p.latitude;  // a previous cycle exists
    h.previousSample.longitudeDeg = p.longitude;
    // -660 ft/min: 5.5 ft lower after the look-ahead.
    Sample(p, elevation + heightFt + 5.5, r->trueHeading, 140, 0, -660);
  }
};

TEST_F(Egll27L, ArmedTwoMilesOutOnTheCentrelineAt600Feet) {
  ArmedAt(Final(2, 0), 600);
  h.Cycle();
  EXPECT_DOUBLE_EQ(h.sample.heightAboveRunway, 600);
  EXPECT_EQ(h.state.alertWord, AlertAppRwyInAir);
  EXPECT_STREQ(h.state.currentDesignator, "27L");
  EXPECT_EQ(h.state.multipleRunways, 0u);
  EXPECT_EQ(h.state.approachArmed, 1u);
}

TEST_F(Egll27L, TwoHundredMetresRightOfTheCentrelineRaisesNothing) {
  ArmedAt(Final(2, 200 / 0.3048), 600);
  h.Cycle();
  EXPECT_EQ(h.state.alertWord, 0u);
  EXPECT_STREQ(h.state.currentDesignator, "");
  // Lined up all the same (3 degrees off the centreline), only outside the funnel.
  EXPECT_EQ(h.state.alignedRunway, r);
  // 2 NM less the 66 m of the eye point and look-ahead: 1 whole NM.
  EXPECT_EQ(h.state.alignedRunwayDistance, 1);
}

TEST_F(Egll27L, FlownApproachArmsAndCallsOutInTheBand) {
  // A 3 degree glide path to 50 ft over the threshold at 140 kt, 4 cycles a second.
  double firstRaisedNm = -1, lastRaisedNm = -1;
  bool armedBeforeBand = false;
  for (double nm = 6.0; nm > 0.3; nm -= 140.0 / 3600 / 4) {
    double height = nm * NAUTICAL_MILES_TO_FEET * std::tan(3 * DEGREES_TO_RADIANS) + 50;
    Sample(Final(nm, 0), elevation + height, r->trueHeading, 140, 0, -740);
    h.Cycle();
    if (h.state.approachArmed == 1 && firstRaisedNm < 0) armedBeforeBand = true;
    if (h.state.alertWord & AlertAppRwyInAir) {
      EXPECT_STREQ(h.state.currentDesignator, "27L");
      EXPECT_LE(h.sample.heightAboveRunway, 750);
      EXPECT_GE(h.sample.heightAboveRunway, 300);
      if (firstRaisedNm < 0) firstRaisedNm = nm;
      lastRaisedNm = nm;
    }
  }
  EXPECT_TRUE(armedBeforeBand);
  // 750 ft on this path is 2.2 NM out, 300 ft 0.8 NM.
  EXPECT_NEAR(firstRaisedNm, 2.2, 0.05);
  EXPECT_NEAR(lastRaisedNm, 0.8, 0.05);
}

}  // namespace
}  // namespace orvante
