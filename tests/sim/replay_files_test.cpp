// The flight and events files of a replay: what they accept, where they point
// when they refuse, and how the flight is flown between its rows.
#include <gtest/gtest.h>

#include <cmath>

#include "events_file.h"
#include "flight_file.h"

namespace sim {
namespace {

TEST(FlightFile, RefusesMalformedFilesWithTheLineAndColumnAtFault) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"", "f.csv:1:1: no header row"},
      {"# only a comment\n", "f.csv:1:1: no header row"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground,speed\n", "f.csv:1:47: unknown column \"speed\""},
      {"t,lat,lat\n", "f.csv:1:7: column \"lat\" appears twice"},
      {"t,lat,lon,alt_ft,heading_true,on_ground\n", "f.csv:1:1: the required column \"gs_kt\" is missing"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n", "f.csv:1:1: the flight has a header but no rows"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n# c\n0,1,2,3,4,5\n", "f.csv:3:11: expected 7 fields"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n0,1,2,3,4,5,1,9\n", "f.csv:2:15: expected 7 fields"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n0, 1x ,2,3,4,5,1\n", "f.csv:2:4: lat: \"1x\" is not a number"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n0,1,,3,4,5,1\n", "f.csv:2:5: lon: \"\" is not a number"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n0,91,2,3,4,5,1\n", "f.csv:2:3: lat must lie between"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n0,1,2,3,4,5,2\n", "f.csv:2:13: on_ground must be 0 or 1"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n0,1,2,3,4,nan,1\n", "f.csv:2:11: gs_kt: \"nan\" is not"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n1,1,2,3,4,5,1\n1,1,2,3,4,5,1\n", "f.csv:3:1: t must increase"},
      {"t,lat,lon,alt_ft,heading_true,gs_kt,on_ground,flaps_index\n0,1,2,3,4,5,1,1.5\n", "f.csv:2:15: flaps_index"},
  };
  for (const Case& c : cases) {
    common::Result<FlightFile> flight = ParseFlightFile(c.text, "f.csv");
    EXPECT_FALSE(flight) << c.text;
    EXPECT_EQ(flight.error().rfind(c.error, 0), 0u) << "got: " << flight.error() << "\nfor: " << c.text;
  }
  EXPECT_FALSE(ReadFlightFile("/nonexistent/flight.csv"));
}

TEST(FlightFile, FillsAbsentColumnsAndInterpolatesBetweenRows) {
  common::Result<FlightFile> parsed = ParseFlightFile(
      "# a taxi and a turn through north\r\n"
      "gs_kt,t,lat,lon,alt_ft,heading_true,on_ground,flaps_index,gear\r\n"
      "10,0,37.0,-122.0,100,350,1,1,1\r\n"
      "\r\n"
      "20,10,37.1,-121.0,200,30,0,2,0\r\n",
      "f.csv");
  ASSERT_TRUE(parsed) << parsed.error();
  const FlightFile& flight = *parsed;
  ASSERT_EQ(flight.rows.size(), 2u);
  const AircraftValues& first = flight.rows[0].values;
  EXPECT_EQ(first.indicatedAltitudeFt, 100);  // indicated_alt_ft absent: alt_ft
  EXPECT_EQ(first.indicatedAirspeedKt, 10);   // ias_kt absent: gs_kt
  EXPECT_EQ(first.verticalSpeedFpm, 0);
  EXPECT_EQ(first.seaLevelPressureInHg, 29.92);
  EXPECT_EQ(first.kohlsmanInHg, 29.92);
  EXPECT_EQ(flight.Duration(), 10);

  AircraftValues middle = FlightValuesAt(flight, 2.5);
  EXPECT_NEAR(middle.latitudeDeg, 37.025, 1e-12);
  EXPECT_NEAR(middle.longitudeDeg, -121.75, 1e-12);
  EXPECT_NEAR(middle.altitudeFt, 125, 1e-9);
  EXPECT_NEAR(middle.groundSpeedKt, 12.5, 1e-9);
  EXPECT_NEAR(middle.headingTrueDeg, 0.0, 1e-9) << "350 to 30 turns the short way, through north";
  EXPECT_TRUE(middle.onGround) << "on_ground, gear and flaps keep the earlier row's value";
  EXPECT_EQ(middle.gearHandle, 1);
  EXPECT_EQ(middle.flapsHandleIndex, 1);
  EXPECT_EQ(FlightValuesAt(flight, 10).onGround, false) << "at a row's own time, that row";
  EXPECT_EQ(FlightValuesAt(flight, -1).latitudeDeg, 37.0);
  EXPECT_EQ(FlightValuesAt(flight, 99).latitudeDeg, 37.1);
  EXPECT_EQ(FlightValuesAt(flight, 99).altitudeAboveGroundFt, 200);
}

TEST(FlightFile, ValuesBetweenRowsStayBetweenTheRowsEvenAtTheEndsOfTheRange) {
  // Every value the reader accepts must fly: between rows of the largest
  // values of opposite sign the aircraft is somewhere between them, never at
  // an infinity.
  common::Result<FlightFile> parsed = ParseFlightFile(
      "t,lat,lon,alt_ft,heading_true,gs_kt,on_ground,vs_fpm,indicated_alt_ft\n"
      "0,-90,-180,1.7e308,0,0,0,-1.7e308,-1e308\n"
      "10,90,180,-1.7e308,0,1e308,0,1.7e308,1e308\n",
      "f.csv");
  ASSERT_TRUE(parsed) << parsed.error();
  const FlightFile& flight = *parsed;
  for (double t : {0.001, 2.5, 5.0, 9.999}) {
    AircraftValues v = FlightValuesAt(flight, t);
    EXPECT_TRUE(std::isfinite(v.altitudeFt)) << t;
    EXPECT_TRUE(std::isfinite(v.verticalSpeedFpm)) << t;
    EXPECT_TRUE(std::isfinite(v.indicatedAltitudeFt)) << t;
    EXPECT_GE(v.groundSpeedKt, 0) << t;
    EXPECT_LE(v.groundSpeedKt, 1e308) << t;
    EXPECT_GE(v.latitudeDeg, -90) << t;
    EXPECT_LE(v.latitudeDeg, 90) << t;
  }
  EXPECT_NEAR(FlightValuesAt(flight, 5.0).altitudeFt, 0, 1e293);
  EXPECT_EQ(FlightValuesAt(flight, 10).altitudeFt, -1.7e308);
}

TEST(EventsFile, ReadsEveryEventKindInTimeOrder) {
  common::Result<EventsFile> parsed = ParseEventsFile(
      "t,event,args\n"
      "5,sim_stop\n"
      "0,aircraft_loaded,SimObjects\\Airplanes\\Model, A\\model.air\n"
      "0,sim_start\n"
      "7.5,lvar,ORVA_Mute,1\n"
      "8,key,66482\n"
      "9,eyepoint,1.5,-2,30\n"
      "10,menu\n"
      "11,crash\n"
      "12,dialog,click,OK\n",
      "e.csv");
  ASSERT_TRUE(parsed) << parsed.error();
  const EventsFile& file = *parsed;
  ASSERT_EQ(file.events.size(), 9u);
  EXPECT_EQ(file.events[0].kind, EventKind::AircraftLoaded);
  EXPECT_EQ(file.events[0].text, "SimObjects\\Airplanes\\Model,A\\model.air");
  EXPECT_EQ(file.events[1].kind, EventKind::SimStart) << "equal times keep the file's order";
  EXPECT_EQ(file.events[2].kind, EventKind::SimStop);
  EXPECT_EQ(file.events[3].text, "ORVA_Mute");
  EXPECT_EQ(file.events[3].value, 1);
  EXPECT_EQ(file.events[4].keyId, 66482u);
  EXPECT_EQ(file.events[5].x, 1.5);
  EXPECT_EQ(file.events[5].y, -2);
  EXPECT_EQ(file.events[5].z, 30);
  EXPECT_EQ(file.events[6].kind, EventKind::Menu);
  EXPECT_EQ(file.events[7].kind, EventKind::Crash);
  EXPECT_EQ(file.events[8].text, "click,OK");

  // Files changed while the simulator runs: a path with commas for remove,
  // the source and the target for copy.
  parsed = ParseEventsFile("3,remove,ORVANTE, old\n2,copy,/k/r4.csv,r4.csv\n", "f.csv");
  ASSERT_TRUE(parsed) << parsed.error();
  const EventsFile& files = *parsed;
  ASSERT_EQ(files.events.size(), 2u);
  EXPECT_EQ(files.events[0].kind, EventKind::Copy);
  EXPECT_EQ(files.events[0].text, "/k/r4.csv");
  EXPECT_EQ(files.events[0].target, "r4.csv");
  EXPECT_EQ(files.events[1].kind, EventKind::Remove);
  EXPECT_EQ(files.events[1].text, "ORVANTE,old");

  std::vector<ReplayEvent> defaults = DefaultEvents("/a/B738");
  ASSERT_EQ(defaults.size(), 2u);
  EXPECT_EQ(defaults[0].kind, EventKind::AircraftLoaded);
  EXPECT_EQ(defaults[1].kind, EventKind::SimStart);
  EXPECT_EQ(DefaultEvents("").size(), 1u);
}

TEST(EventsFile, RefusesMalformedLinesWithTheLineAndColumnAtFault) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"x,sim_start\n", "e.csv:1:1: the time \"x\" is not a number"},
      {"-1,sim_start\n", "e.csv:1:1: the time must not be negative"},
      {"1\n", "e.csv:1:2: an event name must follow"},
      {"1,take_off\n", "e.csv:1:3: unknown event \"take_off\""},
      {"1,sim_start,now\n", "e.csv:1:13: sim_start takes 0 argument(s), found 1"},
      {"1,lvar,ORVA_Mute\n", "e.csv:1:7: lvar takes 2 argument(s), found 1"},
      {"1,lvar,ORVA_Mute,on\n", "e.csv:1:18: \"on\" is not a number"},
      {"1,lvar,,1\n", "e.csv:1:8: lvar needs a variable name"},
      {"1,key,-3\n", "e.csv:1:7: a key event identifier"},
      {"1,key,1.5\n", "e.csv:1:7: a key event identifier"},
      // Beyond an unsigned 32-bit value, and far beyond it: refused, never
      // converted (the conversion itself has no defined result).
      {"1,key,4294967296\n", "e.csv:1:7: a key event identifier"},
      {"8,key,633333333333\n", "e.csv:1:7: a key event identifier"},
      {"1,key,-1e300\n", "e.csv:1:7: a key event identifier"},
      {"1,eyepoint,1,2\n", "e.csv:1:11: eyepoint takes 3 argument(s), found 2"},
      {"1,aircraft_loaded\n", "e.csv:1:18: aircraft_loaded takes 1 argument(s), found 0"},
      {"1,aircraft_loaded,\n", "e.csv:1:19: aircraft_loaded needs a value"},
      {"0,sim_start\n\n  # fine\n2,crash,x\n", "e.csv:4:9: crash takes 0"},
      {"1,remove\n", "e.csv:1:9: remove takes 1 argument(s), found 0"},
      {"1,remove,\n", "e.csv:1:10: remove needs a value"},
      {"1,copy,a\n", "e.csv:1:7: copy takes 2 argument(s), found 1"},
      {"1,copy,a,b,c\n", "e.csv:1:12: copy takes 2 argument(s), found 3"},
      {"1,copy,,b\n", "e.csv:1:8: copy needs a file to copy and where to"},
  };
  for (const Case& c : cases) {
    common::Result<EventsFile> file = ParseEventsFile(c.text, "e.csv");
    EXPECT_FALSE(file) << c.text;
    EXPECT_EQ(file.error().rfind(c.error, 0), 0u) << "got: " << file.error() << "\nfor: " << c.text;
  }
}

}  // namespace
}  // namespace sim
