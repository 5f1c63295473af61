// Taxiing towards a runway, and lined up with one in the air.
#include "advisories/approach.h"

#include <gtest/gtest.h>

#include "advisories/alert_word.h"
#include "advisories/situation_geometry.h"
#include "situation_harness.h"

namespace orvante {
namespace {

using testing::RunwayPoint;
using testing::SituationHarness;

// Runway 09/27, 8000 by 150 ft; end 09 is the west end.
class ApproachOnGround : public ::testing::Test {
 protected:
  SituationHarness h;
  const RunwayRecord* r09 = nullptr;
  const RunwayRecord* r27 = nullptr;

  void SetUp() override {
    r09 = h.AddRunway("090", "270", 47.0, 8.0, 90, 8000, 150);
    r27 = h.runways[1].get();
    h.sample.onGround = 1;
  }
  // The aircraft point: along the runway from its centre towards 27, and to
  // the right (south) of the centreline.
  void At(double alongFt, double rightFt, double headingDeg, int32_t knots) {
    GeoPoint p = RunwayPoint(*r09, alongFt, rightFt);
    h.PlaceAt(p, 1000, headingDeg);
    h.sample.groundSpeedKt = knots;
  }
  uint32_t Examine() {
    SituationContext ctx = h.Context();
    h.state.alertWord = 0;
    h.state.multipleRunways = 0;
    h.state.currentDesignator[0] = 0;
    for (const auto& r : h.runways) CheckApproachOnGround(ctx, *r);
    return h.state.alertWord;
  }
};

TEST_F(ApproachOnGround, ProbeCrossingTheOutlineNamesTheNearerEnd) {
  // Probe 1.5 widths (225 ft) at 10 kt; the runway's edge is 125 ft ahead.
  At(2000, 200, 0, 10);
  EXPECT_EQ(Examine(), AlertAppRwyOnGnd);
  EXPECT_STREQ(h.state.currentDesignator, "27");
  EXPECT_EQ(h.state.multipleRunways, 0u);

  At(-2000, 200, 0, 10);
  EXPECT_EQ(Examine(), AlertAppRwyOnGnd);
  EXPECT_STREQ(h.state.currentDesignator, "09");

  // From the north side, heading south.
  At(-2000, -200, 180, 10);
  EXPECT_EQ(Examine(), AlertAppRwyOnGnd);
  EXPECT_STREQ(h.state.currentDesignator, "09");
}

TEST_F(ApproachOnGround, ProbeLengthIsWidthsOrTwelveAndAHalfSeconds) {
  At(2000, 320, 0, 10);  // edge 245 ft ahead, probe 225 ft
  EXPECT_EQ(Examine(), 0u);
  At(2000, 320, 0, 20);  // probe 12.5 s at 20 kt: 422 ft
  EXPECT_EQ(Examine(), AlertAppRwyOnGnd);
  At(2000, 200, 90, 10);  // parallel to the runway
  EXPECT_EQ(Examine(), 0u);
  At(2000, 200, 180, 10);  // heading away
  EXPECT_EQ(Examine(), 0u);
  // A probe from beyond the runway's end, along the centreline, crosses the
  // end's side: the end ahead is the nearer one.
  At(-4100, 0, 90, 10);
  EXPECT_EQ(Examine(), AlertAppRwyOnGnd);
  EXPECT_STREQ(h.state.currentDesignator, "09");
}

TEST_F(ApproachOnGround, OnlyTaxiingSlowlyUnarmedWithTheSwitchOn) {
  At(2000, 200, 0, 39);
  EXPECT_EQ(Examine(), AlertAppRwyOnGnd);
  At(2000, 200, 0, 40);
  EXPECT_EQ(Examine(), 0u);

  At(2000, 200, 0, 10);
  h.state.approachArmed = 1;
  EXPECT_EQ(Examine(), 0u);
  h.state.approachArmed = 0;

  h.profile.AppRwyOnGnd = 0;
  EXPECT_EQ(Examine(), 0u);
  h.profile.AppRwyOnGnd = 1;

  h.sample.onGround = 0;
  EXPECT_EQ(Examine(), 0u);
  h.sample.onGround = 1;

  // Once lined up on a runway in this cycle, no taxiing-towards alert.
  SituationContext ctx = h.Context();
  h.state.alertWord = AlertOnRunway;
  CheckApproachOnGround(ctx, *r27);
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
}

TEST(ApproachOnGroundEqualDistance, BothEndsQualifyAndMakeItMultiple) {
  // Ends placed so that the aircraft, due south of the runway's middle, is
  // exactly as far from one as from the other.
  SituationHarness h;
  h.AddRunwayBetween("090", "270", {47.0, 8.0 - 0.015625}, {47.0, 8.0 + 0.015625}, 150);
  h.PlaceAt({47.0 - 0.0004, 8.0}, 1000, 0);
  h.sample.onGround = 1;
  h.sample.groundSpeedKt = 10;
  SituationContext ctx = h.Context();
  CheckApproachOnGround(ctx, *h.runways[0]);
  EXPECT_EQ(h.state.alertWord, AlertAppRwyOnGnd);
  EXPECT_EQ(h.state.multipleRunways, 0u);
  EXPECT_STREQ(h.state.currentDesignator, "09");
  CheckApproachOnGround(ctx, *h.runways[1]);
  EXPECT_EQ(h.state.multipleRunways, 1u);
  EXPECT_STREQ(h.state.currentDesignator, "27");
}

// The same runway seen from the air, approaching 09 from the west.
class ApproachInAir : public ::testing::Test {
 protected:
  SituationHarness h;
  const RunwayRecord* r09 = nullptr;

  void SetUp() override {
    r09 = h.AddRunway("090", "270", 47.0, 8.0, 90, 8000, 150);
    h.state.approachArmed = 1;
  }
  // Short of end 09 by `nm` on the extended centreline, `rightFt` to its right.
  void Out(double nm, double rightFt, double heightFt, double headingDeg = 90) {
    GeoPoint p = OffsetPoint(r09->endLatitude, r09->endLongitude, nm * NAUTICAL_MILES_TO_FEET, 270, false);
    p = OffsetPoint(p.latitude, p.longitude, rightFt, 180, false);
    h.PlaceAt(p, heightFt, headingDeg);
    h.sample.heightAboveRunway = heightFt;
  }
  uint32_t Examine() {
    SituationContext ctx = h.Context();
    h.state.alertWord = 0;
    h.state.multipleRunways = 0;
    h.state.alignedRunway = nullptr;
    h.state.alignedRunwayDistance = -1;
    h.state.nearestThresholdDistance = -1;
    h.state.currentDesignator[0] = 0;
    for (const auto& r : h.runways) CheckApproachInAir(ctx, *r);
    return h.state.alertWord;
  }
};

TEST_F(ApproachInAir, LinedUpInTheCalloutBandRaisesForTheEndAhead) {
  Out(2.5, 0, 600);
  EXPECT_EQ(Examine(), AlertAppRwyInAir);
  EXPECT_STREQ(h.state.currentDesignator, "09");
  EXPECT_EQ(h.state.alignedRunway, r09);
  EXPECT_EQ(h.state.alignedRunwayDistance, 2);
  // The other end (3.8 NM away, behind the runway) is examined but not aligned.
  EXPECT_EQ(h.state.nearestThresholdDistance, 2);
  EXPECT_EQ(h.state.multipleRunways, 0u);
}

TEST_F(ApproachInAir, HeightAndDistanceBounds) {
  Out(2.5, 0, 299);
  EXPECT_EQ(Examine(), 0u);
  EXPECT_EQ(h.state.alignedRunway, r09);  // lined up all the same
  Out(2.5, 0, 300);
  EXPECT_EQ(Examine(), AlertAppRwyInAir);
  Out(2.5, 0, 750);
  EXPECT_EQ(Examine(), AlertAppRwyInAir);
  Out(2.5, 0, 751);
  EXPECT_EQ(Examine(), 0u);
  Out(2.95, 0, 600);
  EXPECT_EQ(Examine(), AlertAppRwyInAir);
  Out(3.05, 0, 600);
  EXPECT_EQ(Examine(), 0u);
  EXPECT_EQ(h.state.alignedRunwayDistance, 3);
}

TEST_F(ApproachInAir, LateralFunnelAboutTheCentreline) {
  // At 2.5 NM the funnel is capped at width + 200 = 350 ft.
  Out(2.5, 330, 600);
  EXPECT_EQ(Examine(), AlertAppRwyInAir);
  Out(2.5, -330, 600);
  EXPECT_EQ(Examine(), AlertAppRwyInAir);
  Out(2.5, 370, 600);
  EXPECT_EQ(Examine(), 0u);
  EXPECT_EQ(h.state.alignedRunway, r09);
  // Closer in the funnel narrows: 0.5 NM allows 0.5 x 250 = 125 ft.
  Out(0.5, 110, 600);
  EXPECT_EQ(Examine(), AlertAppRwyInAir);
  Out(0.5, 140, 600);
  EXPECT_EQ(Examine(), 0u);
}

TEST_F(ApproachInAir, NotLinedUpNotArmedOrSwitchedOff) {
  Out(2.5, 0, 600, 120);  // heading 30 degrees off the end
  EXPECT_EQ(Examine(), 0u);
  EXPECT_EQ(h.state.alignedRunway, nullptr);
  EXPECT_EQ(h.state.nearestThresholdDistance, 2);  // still measured

  // Well off the extended centreline but heading at the end.
  GeoPoint p = OffsetPoint(r09->endLatitude, r09->endLongitude, 2 * NAUTICAL_MILES_TO_FEET, 270 - 30, false);
  h.PlaceAt(p, 600, InitialBearing(p.latitude, p.longitude, r09->endLatitude, r09->endLongitude));
  EXPECT_EQ(Examine(), 0u);
  EXPECT_EQ(h.state.alignedRunway, nullptr);

  Out(2.5, 0, 600);
  h.profile.AppRwyInAir = 0;
  EXPECT_EQ(Examine(), 0u);
  EXPECT_EQ(h.state.alignedRunway, r09);
  h.profile.AppRwyInAir = 1;

  h.state.approachArmed = 0;
  EXPECT_EQ(Examine(), 0u);
  EXPECT_EQ(h.state.nearestThresholdDistance, -1);
  h.state.approachArmed = 1;
  h.sample.onGround = 1;
  EXPECT_EQ(Examine(), 0u);
  EXPECT_EQ(h.state.alignedRunway, nullptr);
}

TEST(ApproachInAirParallel, TwoEndsInTheFunnelMakeItMultiple) {
  // Two parallel runways 300 ft apart, the aircraft between their centrelines.
  SituationHarness h;
  h.AddRunway("091", "272", 47.0, 8.0, 90, 8000, 150);
  GeoPoint south = OffsetPoint(47.0, 8.0, 300, 180, false);
  h.AddRunway("092", "271", south.latitude, south.longitude, 90, 8000, 150);
  const RunwayRecord& left = *h.runways[0];
  GeoPoint p = OffsetPoint(left.endLatitude, left.endLongitude, 2.5 * NAUTICAL_MILES_TO_FEET, 270, false);
  p = OffsetPoint(p.latitude, p.longitude, 150, 180, false);
  h.PlaceAt(p, 600, 90);
  h.sample.heightAboveRunway = 600;
  h.state.approachArmed = 1;
  SituationContext ctx = h.Context();
  for (const auto& r : h.runways) CheckApproachInAir(ctx, *r);
  EXPECT_EQ(h.state.alertWord, AlertAppRwyInAir);
  EXPECT_EQ(h.state.multipleRunways, 1u);
  EXPECT_STREQ(h.state.currentDesignator, "09R");
  EXPECT_STREQ(h.state.alignedRunway->designator, "09R");
}

}  // namespace
}  // namespace orvante
