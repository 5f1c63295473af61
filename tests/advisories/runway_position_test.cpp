// On-runway tests and the nearest runway end.
#include "advisories/runway_position.h"

#include <gtest/gtest.h>

#include <limits>

#include "advisories/nearest_runway.h"
#include "situation_harness.h"

namespace orvante {
namespace {

using testing::RunwayPoint;
using testing::SituationHarness;

TEST(IsInsideRunway, RectangleOfLengthByWidthTurnedToTheHeading) {
  SituationHarness h;
  const RunwayRecord& r = *h.AddRunway("060", "240", 45.5, -73.6, 60, 3000, 150);
  EXPECT_TRUE(IsInsideRunway(RunwayPoint(r, 0, 0), r));
  EXPECT_TRUE(IsInsideRunway(RunwayPoint(r, 1495, 0), r));
  EXPECT_FALSE(IsInsideRunway(RunwayPoint(r, 1505, 0), r));
  EXPECT_TRUE(IsInsideRunway(RunwayPoint(r, -1495, 0), r));
  EXPECT_FALSE(IsInsideRunway(RunwayPoint(r, -1505, 0), r));
  EXPECT_TRUE(IsInsideRunway(RunwayPoint(r, 700, 73), r));
  EXPECT_FALSE(IsInsideRunway(RunwayPoint(r, 700, 77), r));
  EXPECT_TRUE(IsInsideRunway(RunwayPoint(r, -700, -73), r));
  EXPECT_FALSE(IsInsideRunway(RunwayPoint(r, -700, -77), r));
  // A point beside the runway but within its length measured along north
  // (the rectangle is turned, not an envelope of the outline).
  EXPECT_FALSE(IsInsideRunway(RunwayPoint(r, 0, 400), r));
  // Both ends of a runway share the rectangle.
  const RunwayRecord& other = *h.runways[1];
  EXPECT_TRUE(IsInsideRunway(RunwayPoint(r, 1200, -60), other));
  EXPECT_FALSE(IsInsideRunway(RunwayPoint(r, 1200, -80), other));
}

TEST(IsAlignedWithRunway, TwentyDegreesEitherSideAcrossNorth) {
  SituationHarness h;
  const RunwayRecord& r = *h.AddRunway("360", "180", 45.5, -73.6, 355, 3000, 150);
  ASSERT_NEAR(r.trueHeading, 355, 0.01);
  EXPECT_TRUE(IsAlignedWithRunway(355, r));
  EXPECT_TRUE(IsAlignedWithRunway(14.9, r));
  EXPECT_FALSE(IsAlignedWithRunway(15.1, r));
  EXPECT_TRUE(IsAlignedWithRunway(335.1, r));
  EXPECT_FALSE(IsAlignedWithRunway(334.9, r));
  EXPECT_FALSE(IsAlignedWithRunway(175, r));  // the other end's heading
}

TEST(NearestRunway, ReferenceOrEndPointFirstOfEqualWins) {
  SituationHarness h;
  EXPECT_EQ(NearestRunway(h.runways, 45.5, -73.6, NearestRunwayMode::kReferencePoint), nullptr);

  // Runway A (ends 09/27) and runway B (ends 18/36); the aircraft is near
  // B's north end but nearer A's reference point.
  h.AddRunway("090", "270", 45.50, -73.60, 90, 10000, 150);
  h.AddRunway("180", "360", 45.53, -73.60, 180, 10000, 150);
  GeoPoint p = OffsetPoint(45.50, -73.60, 4000, 0, false);  // 4000 ft north of A's centre
  const RunwayRecord* byRef = NearestRunway(h.runways, p.latitude, p.longitude, NearestRunwayMode::kReferencePoint);
  const RunwayRecord* byEnd = NearestRunway(h.runways, p.latitude, p.longitude, NearestRunwayMode::kEndPoint);
  ASSERT_NE(byRef, nullptr);
  ASSERT_NE(byEnd, nullptr);
  // Both ends of A share the reference point: the first in the list wins.
  EXPECT_STREQ(byRef->designator, "09");
  // B's end 36 (south end, heading north) lies 5000 ft south of B's centre.
  EXPECT_STREQ(byEnd->designator, "36");
}

TEST(NearestRunway, EndWithoutPositionIsPassedOver) {
  SituationHarness h;
  h.AddRunway("090", "270", 45.50, -73.60, 90, 10000, 150);
  h.runways[0]->refLatitude = std::numeric_limits<double>::quiet_NaN();
  const RunwayRecord* best = NearestRunway(h.runways, 45.6, -73.6, NearestRunwayMode::kReferencePoint);
  ASSERT_NE(best, nullptr);
  EXPECT_STREQ(best->designator, "27");
}

}  // namespace
}  // namespace orvante
