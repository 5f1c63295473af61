// FlightGear's records: reading them, refusing what is damaged, and the
// aircraft values the unit samples from them.
#include "flightgear_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace sim {
namespace {

// A record as fgfs wrote it at PHNL 26R (the c172p lined up, flaps 10).
const char* kLinedUp =
    "ORV1\t61.283\t21.32524490\t-157.90713501\t15.26\t-32.74\t4.05\t270.017\t2.24\t0.31\t-0.010\t1\t1\t1\t1.000\t"
    "0.3333\t29.973\t29.920\t1.00\tc172p\n";

std::vector<std::string> Split(const std::string& record) {
  std::vector<std::string> fields;
  size_t at = 0;
  for (size_t tab; (tab = record.find('\t', at)) != std::string::npos; at = tab + 1)
    fields.push_back(record.substr(at, tab - at));
  fields.push_back(record.substr(at));
  return fields;
}

std::string Join(const std::vector<std::string>& fields) {
  std::string record;
  for (const std::string& field : fields) record += (record.empty() ? "" : "\t") + field;
  return record;
}

// The record with one field replaced.
std::string With(int index, const std::string& value) {
  std::vector<std::string> fields = Split(std::string(kLinedUp, std::strlen(kLinedUp) - 1));
  fields[index] = value;
  return Join(fields);
}

TEST(FlightGearRecord, ReadsEveryField) {
  FlightGearRecord r;
  ASSERT_TRUE(ParseFlightGearRecord(kLinedUp, r));
  EXPECT_DOUBLE_EQ(r.elapsedSeconds, 61.283);
  EXPECT_DOUBLE_EQ(r.latitudeDeg, 21.3252449);
  EXPECT_DOUBLE_EQ(r.longitudeDeg, -157.90713501);
  EXPECT_DOUBLE_EQ(r.altitudeFt, 15.26);
  EXPECT_DOUBLE_EQ(r.indicatedAltitudeFt, -32.74);
  EXPECT_DOUBLE_EQ(r.aboveGroundFt, 4.05);
  EXPECT_DOUBLE_EQ(r.headingDeg, 270.017);
  EXPECT_DOUBLE_EQ(r.indicatedAirspeedKt, 2.24);
  EXPECT_DOUBLE_EQ(r.groundSpeedKt, 0.31);
  EXPECT_DOUBLE_EQ(r.verticalSpeedFps, -0.01);
  EXPECT_TRUE(r.weightOnWheels[0] && r.weightOnWheels[1] && r.weightOnWheels[2]);
  EXPECT_DOUBLE_EQ(r.gearPosition, 1.0);
  EXPECT_DOUBLE_EQ(r.flapsHandle, 0.3333);
  EXPECT_DOUBLE_EQ(r.seaLevelPressureInHg, 29.973);
  EXPECT_DOUBLE_EQ(r.altimeterSettingInHg, 29.92);
  EXPECT_DOUBLE_EQ(r.speedUp, 1.0);
  EXPECT_EQ(r.aircraft, "c172p");
  EXPECT_TRUE(Placed(r));

  // Without the line end, and with a carriage return before it.
  FlightGearRecord again;
  EXPECT_TRUE(ParseFlightGearRecord(std::string(kLinedUp, std::strlen(kLinedUp) - 1), again));
  EXPECT_EQ(again.aircraft, "c172p");
  EXPECT_TRUE(ParseFlightGearRecord(std::string(kLinedUp, std::strlen(kLinedUp) - 1) + "\r\n", again));

  // While FlightGear places the aircraft it writes -9999 ft: read, not placed.
  FlightGearRecord starting;
  ASSERT_TRUE(ParseFlightGearRecord(With(4, "-9999.00"), starting));
  EXPECT_FALSE(Placed(starting));
}

TEST(FlightGearRecord, DamagedRecordsAreRefusedWithTheReason) {
  struct Case {
    std::string text;
    std::string reason;
  } cases[] = {
      {"", "an empty record"},
      {"\n", "an empty record"},
      {"GARBAGE\x01\x02 from somewhere",
       "not a record of the orvante protocol (it begins \"GARBAGE?? from somewhere\")"},
      {"ORV2" + With(0, "").substr(0), "not a record of the orvante protocol"},
      {"ORV1\t61.283\t21.3", "3 fields where the protocol has 20"},
      {With(19, "c172p\textra"), "21 fields where the protocol has 20"},
      {With(2, "north"), "latitude \"north\" is no number"},
      {With(3, "nan"), "longitude \"nan\" is no number"},
      {With(8, "inf"), "indicated airspeed \"inf\" is no number"},
      {With(9, "0x10"), "ground speed \"0x10\" is no number"},
      {With(4, "1e5"), "altitude \"1e5\" is no number"},
      {With(1, "1.2.3"), "elapsed seconds \"1.2.3\" is no number"},
      {With(2, ""), "latitude \"\" is no number"},
      {With(2, "91.0"), "latitude 91.0 is out of range"},
      {With(3, "-180.5"), "longitude -180.5 is out of range"},
      {With(1, "-1"), "elapsed seconds -1 is out of range"},
      {With(11, "2"), "weight on wheels 0 \"2\" is neither 0 nor 1"},
      {With(13, "true"), "weight on wheels 2 \"true\" is neither 0 nor 1"},
      {With(14, "1.5"), "gear position 1.5 is out of range"},
      {With(15, "-0.5"), "flaps handle -0.5 is out of range"},
      {With(16, "-29.92"), "sea-level pressure -29.92 is out of range"},
      {With(19, "../../etc"), "aircraft name \"../../etc\" is not usable"},
      {With(19, ".hidden"), "aircraft name \".hidden\" is not usable"},
      {With(19, ""), "aircraft name \"\" is not usable"},
      {With(19, "c172p extra"), "aircraft name \"c172p extra\" is not usable"},
      {With(19, std::string(65, 'a')), "is not usable"},
  };
  for (const Case& c : cases) {
    FlightGearRecord record;
    record.aircraft = "untouched";
    common::Result<> parsed = ParseFlightGearRecord(c.text, record);
    ASSERT_FALSE(parsed) << c.text;
    EXPECT_NE(parsed.error().find(c.reason), std::string::npos) << parsed.error();
    EXPECT_EQ(record.aircraft, "untouched") << "a refused record leaves the last one alone";
  }
  // The longest usable name and the characters FlightGear's names use.
  FlightGearRecord record;
  EXPECT_TRUE(ParseFlightGearRecord(With(19, std::string(64, 'a')), record));
  EXPECT_TRUE(ParseFlightGearRecord(With(19, "737-300_v2.1"), record));
}

TEST(FlightGearRecord, BecomesTheSampledAircraft) {
  FlightGearRecord r;
  ASSERT_TRUE(ParseFlightGearRecord(kLinedUp, r));
  AircraftValues v = ToAircraftValues(r, 4);
  EXPECT_DOUBLE_EQ(v.latitudeDeg, r.latitudeDeg);
  EXPECT_DOUBLE_EQ(v.longitudeDeg, r.longitudeDeg);
  EXPECT_DOUBLE_EQ(v.altitudeFt, 15.26);
  EXPECT_DOUBLE_EQ(v.indicatedAltitudeFt, -32.74);
  EXPECT_DOUBLE_EQ(v.altitudeAboveGroundFt, 4.05);
  EXPECT_DOUBLE_EQ(v.headingTrueDeg, 270.017);
  EXPECT_DOUBLE_EQ(v.indicatedAirspeedKt, 2.24);
  EXPECT_DOUBLE_EQ(v.groundSpeedKt, 0.31);
  EXPECT_NEAR(v.verticalSpeedFpm, -0.6, 1e-9);
  EXPECT_TRUE(v.onGround);
  EXPECT_EQ(v.gearHandle, 1.0);
  EXPECT_EQ(v.flapsHandleIndex, 1.0);
  EXPECT_DOUBLE_EQ(v.seaLevelPressureInHg, 29.973);
  EXPECT_DOUBLE_EQ(v.kohlsmanInHg, 29.92);

  // One wheel on the ground is on the ground; none is flying.
  r.weightOnWheels[0] = r.weightOnWheels[2] = false;
  EXPECT_TRUE(ToAircraftValues(r, 4).onGround);
  r.weightOnWheels[1] = false;
  EXPECT_FALSE(ToAircraftValues(r, 4).onGround);
  // Headings come as FlightGear gives them, in [0, 360).
  r.headingDeg = 360.0;
  EXPECT_EQ(ToAircraftValues(r, 4).headingTrueDeg, 0.0);
  r.headingDeg = -90.0;
  EXPECT_EQ(ToAircraftValues(r, 4).headingTrueDeg, 270.0);
  r.gearPosition = 0.5;
  EXPECT_EQ(ToAircraftValues(r, 4).gearHandle, 0.5);
  r.verticalSpeedFps = 12.5;
  EXPECT_DOUBLE_EQ(ToAircraftValues(r, 4).verticalSpeedFpm, 750);
}

// The c172p's handle at 0, 1/3, 2/3 and 1 of its travel is detent 0 to 3;
// in between, the nearer detent.
TEST(FlightGearRecord, FlapsHandleToDetent) {
  struct Case {
    double handle;
    int detent;
  } fourDetents[] = {{0, 0},      {0.1, 0},  {0.1666, 0}, {0.1667, 1}, {0.3333, 1}, {0.5001, 2},
                     {0.6667, 2}, {0.84, 3}, {1.0, 3},    {1.01, 3},   {-0.01, 0}};
  for (const Case& c : fourDetents) EXPECT_EQ(FlapsDetent(c.handle, 4), c.detent) << c.handle;
  // An airliner with nine detents, FlightGear's handle in eighths.
  EXPECT_EQ(FlapsDetent(0.125, 9), 1);
  EXPECT_EQ(FlapsDetent(0.625, 9), 5);
  // Without a list of detents (no aircraft.cfg) the handle reads as up.
  EXPECT_EQ(FlapsDetent(1.0, 0), 0);
  EXPECT_EQ(FlapsDetent(1.0, 1), 0);
  EXPECT_EQ(FlapsDetent(std::nan(""), 4), 0);
}

TEST(FlightGearRecord, ScreenTextIsOneSafeLine) {
  EXPECT_EQ(FlightGearScreenText("ALTIMETER SETTING"), "ALTIMETER SETTING");
  EXPECT_EQ(FlightGearScreenText("two\tfields\nand lines\r\x01"), "two fields and lines");
  EXPECT_EQ(FlightGearScreenText(std::string(500, 'x')).size(), 200u);
  // A character the cap would cut in two is left out whole.
  std::string accented = std::string(199, 'x') + "\xC3\xA9" + "tail";
  EXPECT_EQ(FlightGearScreenText(accented), std::string(199, 'x'));
  EXPECT_EQ(FlightGearScreenText("\n\t"), "");
}

}  // namespace
}  // namespace sim
