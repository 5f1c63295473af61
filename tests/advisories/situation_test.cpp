// AssessSituation: early ends, derived fields, approach arming, the runway
// loop with its edge cases, the end-of-cycle copies and the ground reset.
#include "advisories/situation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "advisories/alert_word.h"
#include "advisories/situation_geometry.h"
#include "situation_harness.h"

namespace orvante {
namespace {

using testing::RunwayPoint;
using testing::SituationHarness;

void Assess(SituationHarness& h) {
  SituationContext ctx = h.Context();
  AssessSituation(ctx);
}

TEST(AssessSituation, NoPositionOrNoRunwaysChangesNothing) {
  SituationHarness h;
  h.state.alertWord = AlertTooFast;
  h.state.previousAlertWord = AlertOnRunway;
  std::strcpy(h.state.previousDesignator, "27");
  h.state.approachArmed = 1;
  h.previousSample.latitudeDeg = 12;

  // A sample without a position, runways or not.
  h.AddRunway("090", "270", 47.0, 8.0, 90, 8000, 150);
  h.sample.onGround = 1;
  Assess(h);
  EXPECT_EQ(h.state.alertWord, AlertTooFast);
  EXPECT_EQ(h.state.previousAlertWord.load(), AlertOnRunway);
  EXPECT_STREQ(h.state.previousDesignator, "27");
  EXPECT_EQ(h.state.approachArmed, 1u);
  EXPECT_EQ(h.previousSample.latitudeDeg, 12);

  // A position, on the ground and slow (a ground reset would disarm), but no runways.
  h.runways.clear();
  h.PlaceAt({47.0, 8.0}, 1500, 90);
  Assess(h);
  EXPECT_EQ(h.state.alertWord, AlertTooFast);
  EXPECT_EQ(h.state.previousAlertWord.load(), AlertOnRunway);
  EXPECT_EQ(h.state.approachArmed, 1u);
  EXPECT_EQ(h.previousSample.latitudeDeg, 12);
  EXPECT_EQ(h.sample.heightAboveRunway, 0);
}

TEST(AssessSituation, HeightAndDistanceFromTheNearestReferencePoint) {
  SituationHarness h;
  h.AddRunway("090", "270", 47.0, 8.0, 90, 8000, 150, 430);
  h.AddRunway("180", "360", 47.5, 8.0, 180, 8000, 150, 1200);
  GeoPoint p = OffsetPoint(47.0, 8.0, 5.5 * NAUTICAL_MILES_TO_FEET, 0, false);
  h.PlaceAt(p, 2430, 0);
  Assess(h);
  EXPECT_DOUBLE_EQ(h.sample.heightAboveRunway, 2000);
  EXPECT_EQ(h.sample.nearestRunwayDistance, 5u);
}

class Arming : public ::testing::Test {
 protected:
  SituationHarness h;
  void SetUp() override { h.AddRunway("180", "360", 47.0, 8.0, 180, 8000, 150); }
  // Airborne `nm` north of the runway's centre.
  void At(double nm, double headingDeg, int32_t fpm) {
    GeoPoint p = OffsetPoint(47.0, 8.0, nm * NAUTICAL_MILES_TO_FEET, 0, false);
    h.PlaceAt(p, 3000, headingDeg);
    h.sample.onGround = 0;
    h.sample.verticalSpeedFpm = fpm;
    h.sample.groundSpeedKt = 150;
  }
};

TEST_F(Arming, DescendingTowardsTheRunwayAsTheWholeMilesDrop) {
  At(5.2, 180, -700);
  Assess(h);  // no previous sample: nothing to compare with
  EXPECT_EQ(h.state.approachArmed, 0u);
  At(5.1, 180, -700);
  Assess(h);  // still 5 NM
  EXPECT_EQ(h.state.approachArmed, 0u);
  At(4.9, 180, -700);
  Assess(h);
  EXPECT_EQ(h.state.approachArmed, 1u);
}

TEST_F(Arming, NeedsDescentAndHeading) {
  At(5.2, 180, -700);
  Assess(h);
  At(4.9, 180, -250);  // not faster than 250 ft/min
  Assess(h);
  EXPECT_EQ(h.state.approachArmed, 0u);

  At(5.2, 180, -700);
  Assess(h);
  At(4.9, 180 + 23, -700);  // heading more than 22.5 degrees off
  Assess(h);
  EXPECT_EQ(h.state.approachArmed, 0u);

  At(5.2, 180, -700);
  Assess(h);
  At(4.9, 180 - 22, -700);
  Assess(h);
  EXPECT_EQ(h.state.approachArmed, 1u);
}

TEST_F(Arming, ClimbingAwayDisarms) {
  h.state.approachArmed = 1;
  At(2.0, 180, 0);
  Assess(h);
  At(2.1, 180, 1500);  // climbing, but still towards the runway
  Assess(h);
  EXPECT_EQ(h.state.approachArmed, 1u);
  At(2.2, 0, 200);  // turned away, barely climbing
  Assess(h);
  EXPECT_EQ(h.state.approachArmed, 1u);
  At(2.3, 0, 1500);
  Assess(h);
  EXPECT_EQ(h.state.approachArmed, 0u);
}

TEST(AssessSituation, GateLatchAndStoredDistanceClearedAbove950Feet) {
  SituationHarness h;
  h.AddRunway("090", "270", 47.0, 8.0, 90, 8000, 150);
  GeoPoint p = OffsetPoint(47.0, 8.0, 3 * NAUTICAL_MILES_TO_FEET, 270, false);
  h.PlaceAt(p, 951, 90);
  h.state.gateAlertLatched = 1;
  h.state.storedDistance = 4700;
  Assess(h);  // no previous sample yet
  EXPECT_EQ(h.state.gateAlertLatched, 1u);
  EXPECT_EQ(h.state.storedDistance, 4700u);
  h.sample.altitudeFt = 950;
  Assess(h);
  EXPECT_EQ(h.state.gateAlertLatched, 1u);
  h.sample.altitudeFt = 951;
  Assess(h);
  EXPECT_EQ(h.state.gateAlertLatched, 0u);
  EXPECT_EQ(h.state.storedDistance, 0u);
}

// Lined up on runway 27 of a 09/27 runway at 47N 8E, on the ground.
class OnRunway : public ::testing::Test {
 protected:
  SituationHarness h;
  void LineUp(const RunwayRecord& r, double alongFt, double rightFt, double headingDeg) {
    h.PlaceAt(RunwayPoint(r, alongFt, rightFt), 0, headingDeg);
    h.sample.onGround = 1;
    h.sample.groundSpeedKt = 10;
  }
};

TEST_F(OnRunway, FirstOfTwoContainingRectanglesWins) {
  const RunwayRecord* a = h.AddRunway("270", "090", 47.0, 8.0, 270, 8000, 150);
  GeoPoint offset = OffsetPoint(47.0, 8.0, 60, 0, false);
  h.AddRunway("272", "091", offset.latitude, offset.longitude, 270, 8000, 150);
  LineUp(*a, 0, 30, 270);  // 30 ft right (north) of 27: inside both
  Assess(h);
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_STREQ(h.state.currentDesignator, "27");

  // The same runways listed the other way round.
  SituationHarness g;
  g.AddRunway("272", "091", offset.latitude, offset.longitude, 270, 8000, 150);
  g.AddRunway("270", "090", 47.0, 8.0, 270, 8000, 150);
  g.PlaceAt(RunwayPoint(*a, 0, 30), 0, 270);
  g.sample.onGround = 1;
  g.sample.groundSpeedKt = 10;
  SituationContext ctx = g.Context();
  AssessSituation(ctx);
  EXPECT_EQ(g.state.alertWord, AlertOnRunway);
  EXPECT_STREQ(g.state.currentDesignator, "27R");
}

TEST_F(OnRunway, CrossingAtAnAngleRaisesNothing) {
  const RunwayRecord* r = h.AddRunway("270", "090", 47.0, 8.0, 270, 8000, 150);
  for (double heading : {0.0, 180.0, 249.0, 291.0, 111.0}) {
    LineUp(*r, 1000, 0, heading);
    Assess(h);
    EXPECT_EQ(h.state.alertWord, 0u) << "heading " << heading;
  }
  for (double heading : {251.0, 270.0, 289.0}) {
    LineUp(*r, 1000, 0, heading);
    Assess(h);
    EXPECT_EQ(h.state.alertWord, AlertOnRunway) << "heading " << heading;
    EXPECT_STREQ(h.state.currentDesignator, "27");
  }
  // Heading 90 on the same runway is lined up on its other end.
  LineUp(*r, 1000, 0, 89);
  Assess(h);
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_STREQ(h.state.currentDesignator, "09");
}

TEST_F(OnRunway, ExcludedShortRunwaysAreSkippedButStillNearest) {
  const RunwayRecord* longNarrow = h.AddRunway("180", "360", 47.0, 8.0, 180, 3000, 40, 500);
  const RunwayRecord* shortNarrow = h.AddRunway("090", "270", 47.1, 8.0, 90, 900, 40, 800);
  h.AddRunway("100", "280", 47.2, 8.0, 100, 900, 60, 820);
  h.profile.ExcludeShortRwys = 1;

  LineUp(*longNarrow, 0, 0, 180);
  Assess(h);
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_STREQ(h.state.currentDesignator, "18");

  LineUp(*shortNarrow, 0, 0, 90);
  h.sample.altitudeFt = 810;
  Assess(h);
  EXPECT_EQ(h.state.alertWord, 0u);
  EXPECT_DOUBLE_EQ(h.sample.heightAboveRunway, 10);  // still the nearest runway

  // 60 ft wide is not short, however short it is.
  LineUp(*h.runways[4], 0, 0, 100);
  Assess(h);
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_STREQ(h.state.currentDesignator, "10");

  h.profile.ExcludeShortRwys = 0;
  LineUp(*shortNarrow, 0, 0, 90);
  Assess(h);
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_STREQ(h.state.currentDesignator, "09");
}

TEST_F(OnRunway, RunwayChecksOnlyBelow3000Feet) {
  const RunwayRecord* r = h.AddRunway("270", "090", 47.0, 8.0, 270, 8000, 150, 100);
  LineUp(*r, 0, 0, 270);
  h.sample.onGround = 0;
  h.sample.altitudeFt = 3100;
  Assess(h);
  EXPECT_EQ(h.state.alertWord, 0u);
  h.sample.altitudeFt = 3099;
  Assess(h);
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
}

TEST_F(OnRunway, CycleEndsWithPreviousValuesAndSampleCopy) {
  const RunwayRecord* r = h.AddRunway("270", "090", 47.0, 8.0, 270, 8000, 150);
  h.state.multipleRunways = 1;
  h.state.flapsBelowLowerGate = 1;
  h.state.remainingMarks = 0x3;
  h.state.alignedRunway = r;
  h.state.alignedRunwayDistance = 2;
  h.state.nearestThresholdDistance = 2;
  h.previousSample.flapsHandleIndex = 7;
  LineUp(*r, 0, 0, 270);
  h.sample.flapsHandleIndex = 2;
  h.sample.visualModelRadiusM = 20;
  h.Cycle();
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_EQ(h.state.previousAlertWord.load(), AlertOnRunway);
  EXPECT_STREQ(h.state.previousDesignator, "27");
  EXPECT_EQ(h.state.multipleRunways, 0u);
  EXPECT_EQ(h.state.flapsBelowLowerGate, 0u);
  EXPECT_EQ(h.state.remainingMarks, 0u);
  EXPECT_EQ(h.state.previousRemainingMarks, 0u);
  EXPECT_EQ(h.state.alignedRunway, nullptr);
  EXPECT_EQ(h.state.alignedRunwayDistance, -1);
  EXPECT_EQ(h.state.nearestThresholdDistance, -1);
  // The previous sample holds the moved point and the derived fields.
  EXPECT_EQ(h.previousSample.latitudeDeg, h.sample.latitudeDeg);
  EXPECT_EQ(h.previousSample.longitudeDeg, h.sample.longitudeDeg);
  EXPECT_EQ(h.previousSample.heightAboveRunway, h.sample.heightAboveRunway);
  EXPECT_EQ(h.previousSample.onGround, 1);
  EXPECT_EQ(h.previousSample.groundSpeedKt, 10);
  // Outside the sample block.
  EXPECT_EQ(h.previousSample.flapsHandleIndex, 7);

  // Taxiing off the runway: the next cycle's word and designator are empty,
  // and the copies follow.
  h.PlaceAt(RunwayPoint(*r, 0, 1000), 0, 0);
  h.Cycle();
  EXPECT_EQ(h.state.previousAlertWord.load(), 0u);
  EXPECT_STREQ(h.state.previousDesignator, "");
}

TEST_F(OnRunway, GroundResetOnlyWhenSlowAndOffTheRunways) {
  const RunwayRecord* r = h.AddRunway("270", "090", 47.0, 8.0, 270, 8000, 150);
  auto arm = [&] {
    h.state.approachArmed = 1;
    h.state.gateAlertLatched = 1;
    h.state.storedDistance = 6000;
    h.state.maxGroundSpeed = 130;
    h.state.rejectedTakeOff = 1;
  };
  auto kept = [&] {
    return h.state.approachArmed == 1 && h.state.gateAlertLatched == 1 && h.state.storedDistance == 6000 &&
           h.state.maxGroundSpeed == 130 && h.state.rejectedTakeOff == 1;
  };
  // Landing roll, slowing on the runway: kept.
  arm();
  LineUp(*r, 0, 0, 270);
  Assess(h);
  EXPECT_TRUE(kept());
  // Fast off the runway: kept.
  LineUp(*r, 0, 1000, 0);
  h.sample.groundSpeedKt = 40;
  Assess(h);
  EXPECT_TRUE(kept());
  // Airborne and slow off the runway: kept.
  h.sample.groundSpeedKt = 10;
  h.sample.onGround = 0;
  Assess(h);
  EXPECT_TRUE(kept());
  // Slow on the ground off the runway: cleared.
  h.sample.onGround = 1;
  Assess(h);
  EXPECT_EQ(h.state.approachArmed, 0u);
  EXPECT_EQ(h.state.gateAlertLatched, 0u);
  EXPECT_EQ(h.state.storedDistance, 0u);
  EXPECT_EQ(h.state.maxGroundSpeed, 0);
  EXPECT_EQ(h.state.rejectedTakeOff, 0u);
}

// Runway 09/27 (8000 by 150 ft) with runway 18/36 (6000 by 150 ft) crossing
// it 2000 ft east of its middle. The crossing runway's middle lies 1000 ft
// north of 09/27's centreline, so from the south its end 36 is the nearer one.
// The parameter lists the crossing runway first (as a table may) or last.
class CrossingAhead : public ::testing::TestWithParam<bool> {
 protected:
  SituationHarness h;
  const RunwayRecord* r09 = nullptr;
  std::vector<std::string> calls;

  void SetUp() override {
    GeoPoint crossing = OffsetPoint(47.0, 8.0, 2000, 90, false);
    crossing = OffsetPoint(crossing.latitude, crossing.longitude, 1000, 0, false);
    auto addCrossing = [&] { h.AddRunway("180", "360", crossing.latitude, crossing.longitude, 180, 6000, 150); };
    if (GetParam()) addCrossing();
    r09 = h.AddRunway("090", "270", 47.0, 8.0, 90, 8000, 150);
    if (!GetParam()) addCrossing();
    h.output.queueAnnouncement = [this](const std::vector<std::string>& cues, bool) {
      std::string call;
      for (const std::string& cue : cues) call += (call.empty() ? "" : " ") + cue;
      calls.push_back(call);
    };
  }
  // One cycle with the aircraft on the ground `alongFt` east of 09/27's
  // middle and `rightFt` south of its centreline, heading east.
  void RollAt(double alongFt, double rightFt, int32_t knots) {
    h.PlaceAt(RunwayPoint(*r09, alongFt, rightFt), 0, 90);
    h.sample.onGround = 1;
    h.sample.groundSpeedKt = knots;
    h.Cycle();
  }
};

TEST_P(CrossingAhead, RollingOnTheRunwayTowardsItIsOnRunwayWithoutApproaching) {
  // The crossing's edge is 425 ft ahead; 12.5 s at 30 kt is 633 ft.
  RollAt(1500, 0, 30);
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_STREQ(h.state.currentDesignator, "09");
  RollAt(1550, 0, 34);
  RollAt(1600, 0, 38);
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  EXPECT_EQ(calls, std::vector<std::string>{"onrwy09"});
}

TEST_P(CrossingAhead, TaxiingTowardsItBesideTheRunwayNamesTheCrossing) {
  // On a taxiway 400 ft south of 09/27, parallel to it.
  RollAt(1500, 400, 30);
  EXPECT_EQ(h.state.alertWord, AlertAppRwyOnGnd);
  EXPECT_STREQ(h.state.currentDesignator, "36");
  EXPECT_EQ(h.state.multipleRunways, 0u);
  EXPECT_EQ(calls, std::vector<std::string>{"apprwy36"});

  // Turning onto 09/27 and lining up ends the approach without a call, and
  // rolling off it again towards the crossing names the crossing again.
  RollAt(1500, 0, 30);
  EXPECT_EQ(h.state.alertWord, AlertOnRunway);
  RollAt(1550, 400, 30);
  EXPECT_EQ(h.state.alertWord, AlertAppRwyOnGnd);
  EXPECT_EQ(calls, (std::vector<std::string>{"apprwy36", "onrwy09", "apprwy36"}));
}

INSTANTIATE_TEST_SUITE_P(ListOrder, CrossingAhead, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& info) {
  return info.param ? std::string("CrossingListedFirst") : std::string("CrossingListedLast");
});

}  // namespace
}  // namespace orvante
