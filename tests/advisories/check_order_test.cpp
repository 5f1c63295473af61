// The order in which one assessment calls the advisory checks, the altimeter
// monitor and the announcement pass. Linked with recording checks.
#include <gtest/gtest.h>

#include "advisories/alert_word.h"
#include "advisories/situation.h"
#include "advisories/situation_geometry.h"
#include "recording_checks.h"
#include "situation_harness.h"

namespace orvante {
namespace {

using testing::CheckCallNames;
using testing::CheckCalls;
using testing::RunwayPoint;
using testing::SituationHarness;
using Names = std::vector<std::string>;

const Names kUnitWide = {"ExtendedHolding", "TaxiwayTakeOff", "TaxiwayLanding", "LandingFlaps", "ApproachSpeed"};

Names Concat(std::initializer_list<Names> parts) {
  Names all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

class CheckOrder : public ::testing::Test {
 protected:
  SituationHarness h;
  void SetUp() override { testing::ClearCheckCalls(); }
  void Assess() {
    testing::ClearCheckCalls();
    SituationContext ctx = h.Context();
    AssessSituation(ctx);
  }
};

TEST_F(CheckOrder, LinedUpChecksForTheFirstLinedUpEndOnlyThenUnitWideThenAltimeterThenPass) {
  const RunwayRecord* r = h.AddRunway("270", "090", 47.0, 8.0, 270, 8000, 150);
  GeoPoint offset = OffsetPoint(47.0, 8.0, 60, 0, false);
  h.AddRunway("272", "091", offset.latitude, offset.longitude, 270, 8000, 150);
  h.PlaceAt(RunwayPoint(*r, 0, 30), 0, 270);
  h.sample.onGround = 1;
  h.sample.groundSpeedKt = 5;
  Assess();
  EXPECT_EQ(CheckCallNames(), Concat({{"RunwayLength", "DistanceRemaining", "RunwayEnd", "TakeOffFlaps", "LongLanding"},
                                      kUnitWide,
                                      {"Altimeter", "AnnouncementPass"}}));
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(CheckCalls()[i].designator, "27");
    EXPECT_EQ(CheckCalls()[i].alertWord, AlertOnRunway);  // raised before the checks run
  }
  // The pass compares with the last cycle's word, which is taken after it.
  EXPECT_EQ(CheckCalls().back().previousAlertWord, 0u);
  Assess();
  EXPECT_EQ(CheckCalls().back().name, "AnnouncementPass");
  EXPECT_EQ(CheckCalls().back().previousAlertWord, AlertOnRunway);
}

TEST_F(CheckOrder, NoPassWhenMutedOrNothingRaised) {
  const RunwayRecord* r = h.AddRunway("270", "090", 47.0, 8.0, 270, 8000, 150);
  h.PlaceAt(RunwayPoint(*r, 0, 0), 0, 270);
  h.sample.onGround = 1;
  h.state.muted = 1;
  Assess();
  EXPECT_EQ(CheckCallNames().back(), "Altimeter");
  EXPECT_EQ(h.state.previousAlertWord.load(), AlertOnRunway);  // still taken while muted

  h.state.muted = 0;
  h.PlaceAt(RunwayPoint(*r, 0, 2000), 0, 0);  // off the runway, heading away
  Assess();
  EXPECT_EQ(CheckCallNames(), Concat({kUnitWide, {"Altimeter"}}));
}

TEST_F(CheckOrder, ApproachChecksForLinedUpEndsInTheAir) {
  const RunwayRecord* r09 = h.AddRunway("090", "270", 47.0, 8.0, 90, 8000, 150);
  GeoPoint p = OffsetPoint(r09->endLatitude, r09->endLongitude, 2.5 * NAUTICAL_MILES_TO_FEET, 270, false);
  h.PlaceAt(p, 600, 90);
  h.state.approachArmed = 1;
  Assess();
  EXPECT_EQ(CheckCallNames(),
            Concat({{"ShortRunwayInAir", "ApproachAngle"}, kUnitWide, {"Altimeter", "AnnouncementPass"}}));
  EXPECT_EQ(CheckCalls()[0].designator, "09");
  EXPECT_EQ(CheckCalls()[0].alertWord, AlertAppRwyInAir);
  EXPECT_EQ(CheckCalls()[1].designator, "09");

  // Lined up above the callout band: the angle check only.
  h.PlaceAt(p, 900, 90);
  Assess();
  EXPECT_EQ(CheckCallNames(), Concat({{"ApproachAngle"}, kUnitWide, {"Altimeter"}}));
}

TEST_F(CheckOrder, AboveThreeThousandFeetOnlyTheAltimeterMonitor) {
  const RunwayRecord* r = h.AddRunway("270", "090", 47.0, 8.0, 270, 8000, 150, 400);
  h.PlaceAt(RunwayPoint(*r, 0, 0), 3400, 270);
  Assess();
  EXPECT_EQ(CheckCallNames(), Names{"Altimeter"});
  h.sample.altitudeFt = 3399;
  Assess();
  EXPECT_EQ(CheckCallNames().front(), "RunwayLength");
}

}  // namespace
}  // namespace orvante
