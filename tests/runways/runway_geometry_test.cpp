// Flat-earth geometry, designators and the completion of runway ends.
#include "runways/runway_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "runways/runway_designator.h"
#include "runways/runway_query.h"

namespace orvante {
namespace {

TEST(FlatEarth, WrapPositiveFoldsIntoTheRange) {
  EXPECT_DOUBLE_EQ(WrapPositive(-90, 360), 270);
  EXPECT_DOUBLE_EQ(WrapPositive(450, 360), 90);
  EXPECT_DOUBLE_EQ(WrapPositive(360, 360), 0);
  EXPECT_DOUBLE_EQ(WrapPositive(-720.5, 360), 359.5);
}

TEST(FlatEarth, BearingsOfTheCardinalDirections) {
  const double lat = 51.47, lon = -0.45;
  EXPECT_NEAR(FlatBearing(lat, lon, lat + 0.01, lon), 0, 1e-9);
  EXPECT_NEAR(FlatBearing(lat, lon, lat, lon + 0.01), 90, 1e-9);
  EXPECT_NEAR(FlatBearing(lat, lon, lat - 0.01, lon), 180, 1e-9);
  EXPECT_NEAR(FlatBearing(lat, lon, lat, lon - 0.01), 270, 1e-9);
  // Just west of north stays below 360 and never reaches it.
  double nearlyNorth = FlatBearing(lat, lon, lat + 0.01, lon - 1e-15);
  EXPECT_LT(nearlyNorth, 360.0);
  EXPECT_GE(nearlyNorth, 0.0);
}

TEST(FlatEarth, VectorsUseTheModelsConstantsAndUnits) {
  LocalOffset metres = LocalVector(0, 0, 1, 1, true);
  EXPECT_DOUBLE_EQ(metres.north, METRES_PER_DEGREE_LATITUDE);
  EXPECT_DOUBLE_EQ(metres.east, METRES_PER_DEGREE_LONGITUDE);
  LocalOffset feet = LocalVector(60, 0, 60, 1, false);
  // A degree of longitude at 60 degrees is half the equator's.
  EXPECT_NEAR(feet.east, METRES_PER_DEGREE_LONGITUDE * 0.5 / FEET_TO_METRES, 1e-6);
  EXPECT_NEAR(FlatDistance(0, 0, 1, 0, false), METRES_PER_DEGREE_LATITUDE / FEET_TO_METRES, 1e-6);
}

TEST(FlatEarth, OffsetsAndMeasuresAgree) {
  for (double bearing : {0.0, 37.0, 90.0, 179.0, 268.5, 359.0}) {
    GeoPoint p = OffsetPoint(37.6, -122.4, 10000, bearing, false);
    EXPECT_NEAR(FlatDistance(37.6, -122.4, p.latitude, p.longitude, false), 10000, 1e-6) << bearing;
    EXPECT_NEAR(FlatBearing(37.6, -122.4, p.latitude, p.longitude), bearing, 1e-9) << bearing;
  }
  GeoPoint a = OffsetByComponents(-33.9, 151.2, 300, -400, true);
  EXPECT_NEAR(FlatDistance(-33.9, 151.2, a.latitude, a.longitude, true), 500, 1e-6);
  GeoPoint metres = OffsetPoint(10, 10, 1000, 90, true);
  GeoPoint feet = OffsetPoint(10, 10, 1000 / FEET_TO_METRES, 90, false);
  EXPECT_NEAR(metres.longitude, feet.longitude, 1e-12);
}

TEST(FlatEarth, OutlineIsAClosedRectangleOfTheRunwaysWidth) {
  GeoPoint end{51.4775, -0.4894};
  GeoPoint opposite{51.4777, -0.4332};
  auto outline = BuildOutline(end, opposite, 164);
  EXPECT_EQ(outline[4].latitude, outline[0].latitude);
  EXPECT_EQ(outline[4].longitude, outline[0].longitude);
  // Corners 1 and 2 straddle this end, 0 and 3 the opposite one.
  EXPECT_NEAR(FlatDistance(outline[1].latitude, outline[1].longitude, outline[2].latitude, outline[2].longitude, false),
              164, 1e-3);
  EXPECT_NEAR(FlatDistance(outline[0].latitude, outline[0].longitude, outline[3].latitude, outline[3].longitude, false),
              164, 1e-3);
  // Seen from the end looking at the opposite end (east), corner 1 is right (south).
  EXPECT_LT(outline[1].latitude, end.latitude);
  EXPECT_GT(outline[2].latitude, end.latitude);

  auto line = BuildOutline(end, opposite, 0);
  EXPECT_DOUBLE_EQ(line[1].latitude, end.latitude);
  EXPECT_DOUBLE_EQ(line[2].longitude, end.longitude);
  EXPECT_DOUBLE_EQ(line[0].latitude, opposite.latitude);
}

TEST(Designators, CodeDigitsBecomeLetters) {
  struct Case {
    const char* coded;
    const char* written;
    int code;
  } cases[] = {{"270", "27", 0},
               {"092", "09R", 2},
               {"363", "36C", 3},
               {"271", "27L", 1},
               {"184", "18W", 4},
               {"095", "095", kDesignatorCodeUnknown},
               {"", "", kDesignatorCodeUnknown}};
  for (const Case& c : cases) {
    char designator[5] = {};
    strncpy(designator, c.coded, 4);
    EXPECT_EQ(WriteDesignatorLetter(designator), c.code) << c.coded;
    EXPECT_STREQ(designator, c.written) << c.coded;
  }
}

TEST(Designators, ReciprocalNumbers) {
  EXPECT_EQ(DesignatorRunwayNumber("09"), 9);
  EXPECT_EQ(DesignatorRunwayNumber("27L"), 27);
  EXPECT_EQ(DesignatorRunwayNumber("0"), 0);
  EXPECT_EQ(ReciprocalRunwayNumber(9), 27);
  EXPECT_EQ(ReciprocalRunwayNumber(27), 9);
  EXPECT_EQ(ReciprocalRunwayNumber(18), 36);
  EXPECT_EQ(ReciprocalRunwayNumber(36), 18);
  char opposite[5];
  WriteOppositeDesignator(opposite, 9, kDesignatorCodeRight);
  EXPECT_STREQ(opposite, "091");
  WriteOppositeDesignator(opposite, 27, kDesignatorCodeUnknown);
  EXPECT_STREQ(opposite, "");
}

// A record as the query decodes it.
std::unique_ptr<RunwayRecord> Row(const char* designator, double endLat, double endLon, double heading, double length,
                                  double refLat, double refLon) {
  auto record = std::make_unique<RunwayRecord>();
  strcpy(record->airportIdent, "TEST");
  strcpy(record->designator, designator);
  record->endLatitude = endLat;
  record->endLongitude = endLon;
  record->heading = heading;
  record->length = length;
  record->width = 150;
  record->elevation = 80;
  record->refLatitude = refLat;
  record->refLongitude = refLon;
  return record;
}

TEST(RunwayEndCompletion, BothEndsListedArePairedWithoutAddingRecords) {
  RunwayList list;
  list.push_back(Row("090", 51.0, -1.0, 88, 9999, 51.0, -0.99));
  list.push_back(Row("270", 51.0, -0.98, 268, 9999, 51.0, -0.99));
  CompleteRunwayList(list);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_STREQ(list[0]->designator, "09");
  EXPECT_STREQ(list[1]->designator, "27");
  EXPECT_EQ(list[0]->oppositeLongitude, -0.98);
  EXPECT_EQ(list[1]->oppositeLongitude, -1.0);
  double distance = FlatDistance(51.0, -1.0, 51.0, -0.98, false);
  EXPECT_DOUBLE_EQ(list[0]->length, distance);  // the table's 9999 is replaced
  EXPECT_NEAR(list[0]->trueHeading, 90, 1e-9);
  EXPECT_NEAR(list[1]->trueHeading, 270, 1e-9);
}

TEST(RunwayEndCompletion, OneEndListedGetsItsOppositeAdded) {
  RunwayList list;
  auto only = Row("271", 40.0, -75.0, 268, 8000, 40.0, -75.01);
  only->magneticVariation = 2;
  only->displacedThreshold = 500;
  only->guidanceValue = 3;
  list.push_back(std::move(only));
  CompleteRunwayList(list);
  ASSERT_EQ(list.size(), 2u);
  const RunwayRecord& end = *list[0];
  const RunwayRecord& added = *list[1];
  EXPECT_STREQ(end.designator, "27L");
  EXPECT_STREQ(added.designator, "09R");
  EXPECT_DOUBLE_EQ(end.trueHeading, 270);
  EXPECT_DOUBLE_EQ(end.length, 8500);
  EXPECT_NEAR(FlatDistance(end.endLatitude, end.endLongitude, added.endLatitude, added.endLongitude, false), 8500,
              1e-6);
  EXPECT_NEAR(FlatBearing(end.endLatitude, end.endLongitude, added.endLatitude, added.endLongitude), 270, 1e-9);
  EXPECT_DOUBLE_EQ(added.heading, 88);
  EXPECT_EQ(added.refLatitude, end.refLatitude);
  EXPECT_STREQ(added.airportIdent, "TEST");
  EXPECT_EQ(added.width, 150);
  EXPECT_EQ(added.elevation, 80);
  EXPECT_EQ(added.magneticVariation, 2);
  // The added end finds the listed one as its partner.
  EXPECT_EQ(added.oppositeLatitude, end.endLatitude);
  EXPECT_EQ(added.oppositeLongitude, end.endLongitude);
  EXPECT_NEAR(added.trueHeading, 90, 1e-9);
  // Aim point: an eighth of the length beyond the displaced threshold, from the end.
  EXPECT_NEAR(FlatDistance(end.endLatitude, end.endLongitude, end.aimPoint.latitude, end.aimPoint.longitude, false),
              (8500 - 500) * 0.125, 1e-6);
  EXPECT_EQ(added.aimPoint.latitude, 0);
  EXPECT_EQ(added.guidanceValue, 0);
  EXPECT_EQ(added.displacedThreshold, 0);
}

TEST(RunwayEndCompletion, AddedDesignatorsFollowTheCode) {
  struct Case {
    const char* coded;
    const char* listed;
    const char* added;
  } cases[] = {{"180", "18", "36"},   {"360", "36", "18"}, {"093", "09C", "27C"}, {"044", "04W", "22W"},
               {"012", "01R", "19L"}, {"097", "097", ""},  {"", "", ""}};
  for (const Case& c : cases) {
    RunwayList list;
    list.push_back(Row(c.coded, 10, 10, 90, 5000, 10, 10.01));
    CompleteRunwayList(list);
    ASSERT_EQ(list.size(), 2u) << c.coded;
    EXPECT_STREQ(list[0]->designator, c.listed) << c.coded;
    EXPECT_STREQ(list[1]->designator, c.added) << c.coded;
  }
}

TEST(RunwayEndCompletion, PairingUsesOnlyTheReferencePoint) {
  RunwayList list;
  list.push_back(Row("090", 1.0, 1.0, 90, 5000, 1.0, 1.01));
  list.push_back(Row("360", 5.0, 5.0, 0, 5000, 1.0, 1.01));           // another designator, same reference
  list.push_back(Row("270", 1.0, 1.02, 270, 5000, 1.0, 1.01));        // last match wins for the first record
  list.push_back(Row("090", 1.0, 1.0, 90, 5000, 1.0, 1.0100000001));  // differs in the last digits
  CompleteRunwayList(list);
  EXPECT_EQ(list[0]->oppositeLatitude, 1.0);
  EXPECT_EQ(list[0]->oppositeLongitude, 1.02);
  EXPECT_EQ(list[1]->oppositeLongitude, 1.02);
  EXPECT_EQ(list[2]->oppositeLatitude, 5.0);  // the last other match is the 360 row
  ASSERT_EQ(list.size(), 5u);                 // the lone fourth row gets its opposite
  EXPECT_STREQ(list[4]->designator, "27");
}

TEST(RunwayEndCompletion, ACompleteRecordIsLeftAlone) {
  RunwayList list;
  list.push_back(Row("271", 40.0, -75.0, 270, 8000, 40.0, -75.01));
  CompleteRunwayList(list);
  RunwayRecord before = *list[0];
  EXPECT_EQ(PairRunwayEnd(*list[0], list), nullptr);
  EXPECT_EQ(memcmp(&before, list[0].get(), sizeof before), 0);
  // An opposite coordinate that is not a number counts as complete too.
  auto odd = Row("090", 1, 1, 90, 100, 1, 1);
  odd->oppositeLatitude = NAN;
  EXPECT_EQ(PairRunwayEnd(*odd, list), nullptr);
  EXPECT_STREQ(odd->designator, "090");
}

// An end at 0,0 (empty coordinates) with no length puts its projected
// opposite at 0,0 too, where the pairing cannot see it: the pass must still
// end, with one added record.
TEST(RunwayEndCompletion, EndsAtTheOriginDoNotMultiply) {
  RunwayList list;
  list.push_back(Row("011", 0, 0, 0, 0, 0, 0));
  list.push_back(Row("090", 1, 1, 90, 500, 1, 1));
  list[1]->displacedThreshold = -500;  // projects onto itself
  list[1]->endLatitude = 0;
  list[1]->endLongitude = 0;
  CompleteRunwayList(list);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_STREQ(list[2]->designator, "19R");
  EXPECT_STREQ(list[3]->designator, "27");
}

TEST(RunwayEndCompletion, NoGuidanceNoAimPoint) {
  RunwayList list;
  list.push_back(Row("090", 1.0, 1.0, 90, 5000, 1.0, 1.01));
  list[0]->guidanceValue = -1;
  CompleteRunwayList(list);
  EXPECT_EQ(list[0]->aimPoint.latitude, 0);
  EXPECT_EQ(list[0]->aimPoint.longitude, 0);
}

}  // namespace
}  // namespace orvante
