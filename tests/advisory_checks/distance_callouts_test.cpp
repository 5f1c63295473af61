// Distance callouts: the phrase of each mark, spelled distances, the ranges
// and limits of the marks, and the rejected take-off detection and landing
// roll of CheckDistanceRemaining at exact positions.
#include "advisories/distance_callouts.h"

#include <gtest/gtest.h>

#include "advisories/alert_word.h"
#include "check_harness.h"

namespace orvante {
namespace {

using Cues = std::vector<std::string>;
using testing::CheckHarness;
using testing::NorthOf;
using testing::OppositePoint;

// The landing and rejected take-off sequences hear the other marks; these are
// the ones they do not reach.
TEST(MarkCues, TwelveHundredMetresUnitWordAndUnknownUnits) {
  ProfileSettings p;
  p.AnnunciateUnits = 1;
  p.UnitsOfMeasure = 1;
  EXPECT_EQ(MarkCues(p, kMark4000Ft), (Cues{"1", "1000", "2", "100", "meters", "remaining"}));
  p.AnnunciateUnits = 0;
  EXPECT_EQ(MarkCues(p, kMark4000Ft), (Cues{"1", "1000", "2", "100", "remaining"}));
  p.UnitsOfMeasure = 0;
  EXPECT_EQ(MarkCues(p, kMark500Ft), (Cues{"5", "100", "remaining"}));
  p.UnitsOfMeasure = 2;
  EXPECT_TRUE(MarkCues(p, kMark500Ft).empty());
  p.UnitsOfMeasure = 0;
  EXPECT_TRUE(MarkCues(p, 0x20).empty());
}

TEST(DistanceCues, TruncatedToHundredsWithThousandsUnitAndKind) {
  ProfileSettings p;
  p.AnnunciateUnits = 1;
  p.UnitsOfMeasure = 0;
  auto r = DistanceKind::kRemaining;
  auto a = DistanceKind::kAvailable;
  EXPECT_EQ(DistanceCues(p, 2750, r), (Cues{"2", "1000", "7", "100", "feet", "remaining"}));
  EXPECT_EQ(DistanceCues(p, 3050, a), (Cues{"3", "1000", "feet", "available"}));
  EXPECT_EQ(DistanceCues(p, 800, r), (Cues{"8", "100", "feet", "remaining"}));
  EXPECT_EQ(DistanceCues(p, 12340, a), (Cues{"12", "1000", "3", "100", "feet", "available"}));
  EXPECT_EQ(DistanceCues(p, 1000, r), (Cues{"1", "1000", "feet", "remaining"}));
  EXPECT_EQ(DistanceCues(p, 999, r), (Cues{"9", "100", "feet", "remaining"}));
  // Below a hundred only the unit and kind words remain.
  EXPECT_EQ(DistanceCues(p, 99, r), (Cues{"feet", "remaining"}));
  p.UnitsOfMeasure = 1;
  EXPECT_EQ(DistanceCues(p, 1447, a), (Cues{"1", "1000", "4", "100", "meters", "available"}));
  p.UnitsOfMeasure = 2;
  EXPECT_EQ(DistanceCues(p, 1447, a), (Cues{"1", "1000", "4", "100", "available"}));
  p.UnitsOfMeasure = 0;
  p.AnnunciateUnits = 0;
  EXPECT_EQ(DistanceCues(p, 4294967295u, r), (Cues{"4294967", "1000", "2", "100", "remaining"}));
}

TEST(MarkFor, RangesAndLimits) {
  // Feet: each range runs from just above the next mark up to the mark.
  EXPECT_EQ(MarkFor(4001, 9000, 0), 0u);
  EXPECT_EQ(MarkFor(4000, 9000, 0), kMark4000Ft);
  EXPECT_EQ(MarkFor(3001, 9000, 0), kMark4000Ft);
  EXPECT_EQ(MarkFor(3000, 9000, 0), kMark3000Ft);
  EXPECT_EQ(MarkFor(1001, 9000, 0), kMark2000Ft);
  EXPECT_EQ(MarkFor(501, 9000, 0), kMark1000Ft);
  EXPECT_EQ(MarkFor(500, 9000, 0), kMark500Ft);
  EXPECT_EQ(MarkFor(1, 9000, 0), kMark500Ft);
  EXPECT_EQ(MarkFor(0, 9000, 0), 0u);
  // A mark needs a limit of at least its own distance.
  EXPECT_EQ(MarkFor(3500, 3999, 0), 0u);
  EXPECT_EQ(MarkFor(2500, 3000, 0), kMark3000Ft);
  EXPECT_EQ(MarkFor(400, 499, 0), 0u);
  // Metres.
  EXPECT_EQ(MarkFor(1200, 2000, 1), kMark4000Ft);
  EXPECT_EQ(MarkFor(901, 2000, 1), kMark4000Ft);
  EXPECT_EQ(MarkFor(900, 914, 1), kMark3000Ft);
  EXPECT_EQ(MarkFor(1000, 914, 1), 0u);
  EXPECT_EQ(MarkFor(101, 914, 1), kMark1000Ft);
  EXPECT_EQ(MarkFor(100, 914, 1), kMark500Ft);
  // Neither feet nor metres.
  EXPECT_EQ(MarkFor(500, 9000, 2), 0u);
}

// A 9000 ft runway running due north.
class DistanceRemaining : public ::testing::Test {
 protected:
  CheckHarness h;
  const RunwayRecord* r = nullptr;
  void SetUp() override {
    r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 9000);
    h.frame.flapsHandleIndex = 2;
  }
  void Ahead(double aheadFt, int32_t groundSpeedKt) {
    h.PlaceAt(NorthOf(OppositePoint(*r), -aheadFt), 0, 0);
    h.OnGround(groundSpeedKt);
    h.Assess();
    ASSERT_TRUE(h.state.alertWord & AlertOnRunway);
  }
  bool Raised() const { return (h.state.alertWord & AlertDistanceRemaining) != 0; }
};

TEST_F(DistanceRemaining, RejectedTakeOffAfterADropOf7KnotsInTheSecondHalf) {
  Ahead(8500.5, 40);
  EXPECT_EQ(h.state.storedDistance, 8500u);
  // Decelerating in the first half: nothing, not even the speed is tracked.
  Ahead(6000, 120);
  Ahead(5000, 100);
  EXPECT_FALSE(Raised());
  EXPECT_EQ(h.state.maxGroundSpeed, 0);

  Ahead(4400, 140);
  EXPECT_EQ(h.state.maxGroundSpeed, 140);
  Ahead(4300, 134);
  EXPECT_FALSE(Raised());
  EXPECT_EQ(h.state.rejectedTakeOff, 0u);
  Ahead(3900, 133);
  EXPECT_TRUE(Raised());
  EXPECT_EQ(h.state.rejectedTakeOff, 1u);
  EXPECT_EQ(h.state.remainingMarks, kMark4000Ft);
  Ahead(450, 50);
  EXPECT_EQ(h.state.remainingMarks, kMark500Ft);
  // At 40 kt the callouts end and the runway ahead is stored again.
  Ahead(300.5, 40);
  EXPECT_FALSE(Raised());
  EXPECT_EQ(h.state.storedDistance, 300u);
  EXPECT_EQ(h.state.rejectedTakeOff, 1u);
}

TEST_F(DistanceRemaining, RejectedTakeOffMarksLimitedByTheRunwayAheadAt40Knots) {
  Ahead(3500.5, 30);  // lined up from an intersection
  Ahead(3200, 100);   // past the middle
  Ahead(3100, 90);
  EXPECT_TRUE(Raised());
  EXPECT_EQ(h.state.remainingMarks, 0u);  // the 4000 range, beyond the 3500 ft there were
  Ahead(2500, 80);
  EXPECT_EQ(h.state.remainingMarks, kMark3000Ft);
}

TEST_F(DistanceRemaining, SwitchesAndTheLandingRoll) {
  h.profile.RTODistRemain = 0;
  Ahead(8500, 30);
  Ahead(4400, 140);
  Ahead(3900, 120);
  EXPECT_FALSE(Raised());
  EXPECT_EQ(h.state.maxGroundSpeed, 0);

  // Landing: armed, at most 100 ft above the runway; the limit is half the runway.
  h.state.approachArmed = 1;
  Ahead(4400, 120);
  EXPECT_TRUE(Raised());
  EXPECT_EQ(h.state.remainingMarks, 0u);
  Ahead(2500, 110);
  EXPECT_EQ(h.state.remainingMarks, kMark3000Ft);
  h.PlaceAt(NorthOf(OppositePoint(*r), -2500), 150, 0);
  h.InAir(120, -500);
  h.Assess();
  EXPECT_FALSE(Raised());
  h.profile.LandingDistRemain = 0;
  h.profile.RTODistRemain = 1;
  Ahead(2500, 110);
  EXPECT_FALSE(Raised());
}

}  // namespace
}  // namespace orvante
