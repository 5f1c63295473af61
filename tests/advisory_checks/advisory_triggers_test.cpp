// The advisory triggers at their thresholds, run through the real runway
// situation at exact positions: runway length and caution, runway end, take-
// off flaps, long landing, the flap gates with their latch, too fast, too
// high, taxiway take-off and landing, and the short runway in the air.
#include <gtest/gtest.h>

#include "advisories/advisory_triggers.h"
#include "advisories/alert_word.h"
#include "check_harness.h"

namespace orvante {
namespace {

using testing::CheckHarness;
using testing::EndPoint;
using testing::NorthOf;
using testing::OppositePoint;

bool Raised(const CheckHarness& h, uint32_t alert) { return (h.state.alertWord & alert) != 0; }

// A runway running due north along a meridian, so that distances along it
// are exact great-circle feet.
class LinedUp : public ::testing::Test {
 protected:
  CheckHarness h;
  const RunwayRecord* r = nullptr;
  void SetUp() override {
    r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 10000);
    h.frame.flapsHandleIndex = 2;
  }
  // On the centreline, `aheadFt` before the opposite end, heading down the runway.
  void Ahead(double aheadFt, int32_t groundSpeedKt) {
    h.PlaceAt(NorthOf(OppositePoint(*r), -aheadFt), 0, 0);
    h.OnGround(groundSpeedKt);
    h.Assess();
    ASSERT_TRUE(Raised(h, AlertOnRunway));
  }
};

TEST_F(LinedUp, RunwayLengthAtTheMinimumAndTheLeastSpokenLength) {
  h.profile.MinTakeOffLength = 3000;
  Ahead(2999.5, 5);
  EXPECT_TRUE(Raised(h, AlertInsufficientLength));
  EXPECT_EQ(h.state.storedDistance, 2999u);
  Ahead(3000.5, 5);
  EXPECT_FALSE(Raised(h, AlertInsufficientLength));
  Ahead(100.5, 5);
  EXPECT_TRUE(Raised(h, AlertInsufficientLength));
  Ahead(99.5, 5);
  EXPECT_FALSE(Raised(h, AlertInsufficientLength));

  // Switched off by a minimum of 0 and after a rejected take-off.
  Ahead(2000.5, 5);
  EXPECT_TRUE(Raised(h, AlertInsufficientLength));
  h.profile.MinTakeOffLength = 0;
  Ahead(2000.5, 5);
  EXPECT_FALSE(Raised(h, AlertInsufficientLength));
  h.profile.MinTakeOffLength = 3000;
  h.state.rejectedTakeOff = 1;
  Ahead(2000.5, 5);
  EXPECT_FALSE(Raised(h, AlertInsufficientLength));
}

TEST_F(LinedUp, RunwayLengthFromThe40KnotPointWithTheCautionFrom41) {
  h.profile.MinTakeOffLength = 3000;
  // The distance-remaining check also stores the runway ahead at 40 kt; off,
  // it shows which length the length check itself uses.
  h.profile.RTODistRemain = 0;
  h.profile.LandingDistRemain = 0;
  Ahead(2500.5, 39);
  EXPECT_TRUE(Raised(h, AlertInsufficientLength));
  EXPECT_FALSE(Raised(h, AlertCaution));
  EXPECT_EQ(h.state.storedDistance, 2500u);

  // From 40 kt the stored length stands wherever the aircraft is.
  Ahead(5000.5, 40);
  EXPECT_TRUE(Raised(h, AlertInsufficientLength));
  EXPECT_FALSE(Raised(h, AlertCaution));
  EXPECT_EQ(h.state.storedDistance, 2500u);
  Ahead(5000.5, 41);
  EXPECT_TRUE(Raised(h, AlertInsufficientLength));
  EXPECT_TRUE(Raised(h, AlertCaution));

  h.profile.CautionEnabled = 0;
  Ahead(5000.5, 41);
  EXPECT_TRUE(Raised(h, AlertInsufficientLength));
  EXPECT_FALSE(Raised(h, AlertCaution));
}

TEST_F(LinedUp, RunwayEndBelow100FeetOr30Metres) {
  Ahead(99.5, 5);
  EXPECT_TRUE(Raised(h, AlertRunwayEnd));
  Ahead(100.5, 5);
  EXPECT_FALSE(Raised(h, AlertRunwayEnd));

  h.profile.UnitsOfMeasure = 1;
  Ahead(29.5 / FEET_TO_METRES, 5);
  EXPECT_TRUE(Raised(h, AlertRunwayEnd));
  Ahead(30.5 / FEET_TO_METRES, 5);
  EXPECT_FALSE(Raised(h, AlertRunwayEnd));

  // Only slow, and only in feet or metres.
  Ahead(10 / FEET_TO_METRES, 40);
  EXPECT_FALSE(Raised(h, AlertRunwayEnd));
  h.profile.UnitsOfMeasure = 2;
  Ahead(10, 5);
  EXPECT_FALSE(Raised(h, AlertRunwayEnd));
}

TEST_F(LinedUp, TakeOffFlapsBelowTheMinimumWhileSlow) {
  h.frame.flapsHandleIndex = 0;
  Ahead(8000, 10);
  EXPECT_TRUE(Raised(h, AlertTakeOffFlaps));
  Ahead(8000, 40);
  EXPECT_FALSE(Raised(h, AlertTakeOffFlaps));
  h.frame.flapsHandleIndex = 1;
  Ahead(8000, 10);
  EXPECT_FALSE(Raised(h, AlertTakeOffFlaps));
  // An empty flap table gives flap position 0.
  h.flapPositions.clear();
  Ahead(8000, 10);
  EXPECT_TRUE(Raised(h, AlertTakeOffFlaps));
  h.state.rejectedTakeOff = 1;
  Ahead(8000, 10);
  EXPECT_FALSE(Raised(h, AlertTakeOffFlaps));
}

TEST_F(LinedUp, GroundChecksSilentWhileArmed) {
  h.frame.flapsHandleIndex = 0;
  h.profile.MinTakeOffLength = 3000;
  h.state.approachArmed = 1;
  Ahead(50, 10);
  EXPECT_EQ(h.state.alertWord & (AlertRunwayEnd | AlertTakeOffFlaps | AlertInsufficientLength), 0u);
}

// Landing on an 8000 ft runway, 50 ft above it.
class LongLanding : public ::testing::Test {
 protected:
  CheckHarness h;
  RunwayRecord* r = nullptr;
  void SetUp() override {
    h.AddRunway("360", "180", {47.0, 8.0}, 0, 8000);
    r = h.runways[0].get();
    h.state.approachArmed = 1;
  }
  void PastThreshold(double feet, double heightFt = 50) {
    h.PlaceAt(NorthOf(EndPoint(*r), feet), heightFt, 0);
    h.InAir(130, -600);
    h.Assess();
  }
};

TEST_F(LongLanding, PastAQuarterOfTheRunway) {
  PastThreshold(1950);
  EXPECT_FALSE(Raised(h, AlertLongLanding));
  PastThreshold(2050);
  EXPECT_TRUE(Raised(h, AlertLongLanding));
  // Past the reference point the runway's middle lies behind: silent.
  PastThreshold(4100);
  EXPECT_TRUE(Raised(h, AlertOnRunway));
  EXPECT_FALSE(Raised(h, AlertLongLanding));
}

TEST_F(LongLanding, OnlyBetween5And100FeetArmedAndSwitchedOn) {
  PastThreshold(2500, 100);
  EXPECT_TRUE(Raised(h, AlertLongLanding));
  PastThreshold(2500, 100.5);
  EXPECT_FALSE(Raised(h, AlertLongLanding));
  PastThreshold(2500, 5);
  EXPECT_FALSE(Raised(h, AlertLongLanding));
  h.profile.TouchdownZoneLen = 0;
  PastThreshold(2500);
  EXPECT_FALSE(Raised(h, AlertLongLanding));
  h.profile.TouchdownZoneLen = 25;
  h.state.approachArmed = 0;
  PastThreshold(2500);
  EXPECT_FALSE(Raised(h, AlertLongLanding));
}

TEST_F(LongLanding, DisplacedThresholdMovesTheZone) {
  r->displacedThreshold = 1000;  // usable 7000 ft, zone 1750 ft from the displaced threshold
  PastThreshold(1000 + 1700);
  EXPECT_FALSE(Raised(h, AlertLongLanding));
  PastThreshold(1000 + 1800);
  EXPECT_TRUE(Raised(h, AlertLongLanding));
}

TEST_F(LongLanding, ImpossibleZonesRaiseNothing) {
  // A displaced threshold beyond the runway's length leaves no zone.
  r->displacedThreshold = 9000;
  PastThreshold(2500);
  EXPECT_FALSE(Raised(h, AlertLongLanding));
  // A percentage so large that 32-bit arithmetic would wrap the limit round
  // to a small number.
  r->displacedThreshold = 0;
  uint64_t usable = static_cast<uint64_t>(r->length);
  h.profile.TouchdownZoneLen = static_cast<uint32_t>(((uint64_t{1} << 32) + usable - 1) / usable);
  PastThreshold(3000);
  EXPECT_FALSE(Raised(h, AlertLongLanding));
}

// On final to runway 36 (8000 ft, elevation 0) from the south: the flap
// gates 950 and 600 ft by default.
class OnFinal : public ::testing::Test {
 protected:
  CheckHarness h;
  const RunwayRecord* r = nullptr;
  void SetUp() override {
    r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 8000);
    h.state.approachArmed = 1;
    h.frame.flapsHandleIndex = 3;
  }
  // `nm` before the threshold on the extended centreline at `heightFt`.
  void At(double nm, double heightFt, int32_t airspeedKt = 150) {
    h.PlaceAt(NorthOf(EndPoint(*r), -nm * NAUTICAL_MILES_TO_FEET), heightFt, 0);
    h.InAir(airspeedKt, -700);
    h.Assess();
  }
};

TEST_F(OnFinal, LandingFlapsBetweenTheGatesThenBelowThenUnstable) {
  h.frame.flapsHandleIndex = 1;
  At(4.2, 700);
  EXPECT_EQ(h.state.nearestThresholdDistance, 4);
  EXPECT_TRUE(Raised(h, AlertLandingFlaps));
  EXPECT_EQ(h.state.flapsBelowLowerGate, 0u);
  EXPECT_EQ(h.state.gateAlertLatched, 1u);

  At(2.5, 500);
  EXPECT_TRUE(Raised(h, AlertLandingFlaps));
  EXPECT_EQ(h.state.flapsBelowLowerGate, 1u);

  At(2.0, 400);
  EXPECT_FALSE(Raised(h, AlertLandingFlaps));
  EXPECT_TRUE(Raised(h, AlertUnstable));

  // The band ends at 300 ft.
  At(1.5, 300);
  EXPECT_FALSE(Raised(h, AlertUnstable));
}

TEST_F(OnFinal, UnstableOnlyOnALatchedApproachAndWithItsSwitch) {
  h.frame.flapsHandleIndex = 1;
  At(2.0, 400);
  EXPECT_EQ(h.state.gateAlertLatched, 0u);
  EXPECT_EQ(h.state.alertWord & (AlertUnstable | AlertLandingFlaps), 0u);

  h.state.gateAlertLatched = 1;
  At(2.0, 400);
  EXPECT_TRUE(Raised(h, AlertUnstable));

  // The profile's unstable-approach switch silences it; the latch stays.
  h.profile.UnstableApproach = 0;
  At(2.0, 400);
  EXPECT_FALSE(Raised(h, AlertUnstable));
  EXPECT_EQ(h.state.gateAlertLatched, 1u);

  // Climbing above 950 ft releases the latch.
  h.profile.UnstableApproach = 1;
  At(3.0, 960);
  EXPECT_EQ(h.state.gateAlertLatched, 0u);
  At(2.0, 400);
  EXPECT_FALSE(Raised(h, AlertUnstable));
}

TEST_F(OnFinal, TooFastWithGearUpOnlyBelowTheLowerGate) {
  h.frame.gearHandle = 0;
  At(3.5, 800, 220);
  EXPECT_FALSE(Raised(h, AlertTooFast));
  At(2.5, 550, 220);
  EXPECT_TRUE(Raised(h, AlertTooFast));
  EXPECT_EQ(h.state.gateAlertLatched, 1u);

  // Gear down: between the gates too. At the limit itself it is not too fast.
  h.state.gateAlertLatched = 0;
  h.frame.gearHandle = 100;
  At(3.5, 800, 220);
  EXPECT_TRUE(Raised(h, AlertTooFast));
  At(3.5, 800, 200);
  EXPECT_FALSE(Raised(h, AlertTooFast));
  At(2.0, 400, 220);  // latched by the alert above
  EXPECT_TRUE(Raised(h, AlertUnstable));
  EXPECT_FALSE(Raised(h, AlertTooFast));
}

TEST_F(OnFinal, TooHighWhenSteep) {
  // 550 ft at 0.4 NM: about 9 degrees.
  At(0.4, 550);
  EXPECT_TRUE(Raised(h, AlertTooHigh));
  EXPECT_EQ(h.state.gateAlertLatched, 1u);
  // Between the gates only configured for landing.
  h.state.gateAlertLatched = 0;
  h.frame.gearHandle = 0;
  At(0.8, 800);
  EXPECT_FALSE(Raised(h, AlertTooHigh));
  h.frame.gearHandle = 100;
  At(0.8, 800);
  EXPECT_TRUE(Raised(h, AlertTooHigh));
  // A normal glide path is not too high.
  At(2.5, 800);
  EXPECT_FALSE(Raised(h, AlertTooHigh));
}

TEST_F(OnFinal, GatesOutsideTheirRangesSilenceTheGateChecks) {
  auto gateAlerts = [&] {
    h.frame.flapsHandleIndex = 1;
    At(4.2, 700);  // flaps short of landing between the gates
    uint32_t word = h.state.alertWord;
    h.frame.flapsHandleIndex = 3;
    At(3.5, 800, 220);  // too fast between the gates
    word |= h.state.alertWord;
    At(0.4, 550);  // too high below the lower gate
    word |= h.state.alertWord;
    h.state.gateAlertLatched = 1;
    At(2.0, 400, 220);  // unstable
    word |= h.state.alertWord;
    return word & (AlertLandingFlaps | AlertTooFast | AlertTooHigh | AlertUnstable);
  };
  EXPECT_EQ(gateAlerts(), AlertLandingFlaps | AlertTooFast | AlertTooHigh | AlertUnstable);
  h.profile.UpperFlapGateAlert = 1500;
  EXPECT_EQ(gateAlerts(), 0u);
  h.profile.UpperFlapGateAlert = 1400;
  h.profile.LowerFlapGateAlert = 499;
  EXPECT_EQ(gateAlerts(), 0u);
  h.profile.LowerFlapGateAlert = 1000;
  EXPECT_NE(gateAlerts(), 0u);
}

TEST_F(OnFinal, BelowTheRunwayCountsAsAboveEveryGate) {
  h.frame.flapsHandleIndex = 1;
  At(2.0, -20);
  EXPECT_EQ(h.state.alertWord & (AlertLandingFlaps | AlertUnstable), 0u);
}

TEST_F(OnFinal, ShortRunwayWithTheCautionBelow450Feet) {
  h.profile.AppShortRwyInAir = 1;
  h.profile.MinLandingLength = 9000;
  At(1.8, 600);
  EXPECT_TRUE(Raised(h, AlertShortRunwayInAir));
  EXPECT_FALSE(Raised(h, AlertCaution));
  EXPECT_NEAR(h.state.storedDistance, 8000u, 1u);
  At(1.3, 440);
  EXPECT_TRUE(Raised(h, AlertCaution));

  // In metres: 8000 ft is 2438 m, short of a 2500 m minimum.
  h.profile.UnitsOfMeasure = 1;
  h.profile.MinLandingLength = 2500;
  At(1.8, 600);
  EXPECT_TRUE(Raised(h, AlertShortRunwayInAir));
  EXPECT_NEAR(h.state.storedDistance, 2438u, 1u);
  h.profile.MinLandingLength = 2400;
  At(1.8, 600);
  EXPECT_FALSE(Raised(h, AlertShortRunwayInAir));
}

TEST_F(OnFinal, TaxiwayLandingLowNearTheRunwaysButAlignedWithNone) {
  // 1 NM out and 0.5 NM to the side of the centreline, heading north: not
  // lined up with runway 36 (about 27 degrees off its centreline).
  auto at = [&](double heightFt) {
    GeoPoint p = NorthOf(EndPoint(*r), -1.0 * NAUTICAL_MILES_TO_FEET);
    p = OffsetPoint(p.latitude, p.longitude, 0.5 * NAUTICAL_MILES_TO_FEET, 90, false);
    h.PlaceAt(p, heightFt, 0);
    h.InAir(130, -600);
    h.Assess();
  };
  at(200);
  EXPECT_EQ(h.state.alignedRunway, nullptr);
  EXPECT_TRUE(Raised(h, AlertTaxiwayLanding));
  at(260);
  EXPECT_FALSE(Raised(h, AlertTaxiwayLanding));
  // Lined up with the runway instead: nothing.
  At(0.6, 200);
  EXPECT_FALSE(Raised(h, AlertTaxiwayLanding));
}

TEST(TaxiwayTakeOff, FastOnTheGroundOffTheRunways) {
  CheckHarness h;
  const RunwayRecord* r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 8000);
  h.PlaceAt(testing::RunwayPoint(*r, 0, 1000), 0, 0);  // on a parallel taxiway
  h.OnGround(41);
  h.Assess();
  EXPECT_TRUE(Raised(h, AlertTaxiwayTakeOff));
  h.OnGround(40);
  h.Assess();
  EXPECT_FALSE(Raised(h, AlertTaxiwayTakeOff));
  // On the runway it is a take-off.
  h.PlaceAt(testing::RunwayPoint(*r, 0, 0), 0, 0);
  h.OnGround(80);
  h.Assess();
  EXPECT_TRUE(Raised(h, AlertOnRunway));
  EXPECT_FALSE(Raised(h, AlertTaxiwayTakeOff));
}

}  // namespace
}  // namespace orvante
