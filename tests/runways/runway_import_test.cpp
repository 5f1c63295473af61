// The OurAirports import: which runways become which rows, and what the
// module makes of them.
#include "runway_import.h"

#include <gtest/gtest.h>

#include "runway_table_fixture.h"
#include "runways/runway_geometry.h"
#include "runways/runway_query.h"

namespace orvante::testing {
namespace {

const char* kHeader =
    "\"id\",\"airport_ref\",\"airport_ident\",\"length_ft\",\"width_ft\",\"surface\",\"lighted\",\"closed\","
    "\"le_ident\",\"le_latitude_deg\",\"le_longitude_deg\",\"le_elevation_ft\",\"le_heading_degT\","
    "\"le_displaced_threshold_ft\",\"he_ident\",\"he_latitude_deg\",\"he_longitude_deg\",\"he_elevation_ft\","
    "\"he_heading_degT\",\"he_displaced_threshold_ft\"\n";

TEST(RunwayCodes, FromEndIdentifiers) {
  EXPECT_EQ(RunwayCodeOfIdent("27L"), 271);
  EXPECT_EQ(RunwayCodeOfIdent("09"), 90);
  EXPECT_EQ(RunwayCodeOfIdent("9"), 90);
  EXPECT_EQ(RunwayCodeOfIdent("1R"), 12);
  EXPECT_EQ(RunwayCodeOfIdent("36C"), 363);
  EXPECT_EQ(RunwayCodeOfIdent("18W"), 184);
  for (const char* bad : {"", "00", "37", "27T", "H1", "N", "27LL", "009", "-12", "lower"}) {
    EXPECT_EQ(RunwayCodeOfIdent(bad), -1) << bad;
  }
}

TEST(RunwayImport, KeepsLocatedOpenRunwaysAndCountsTheRest) {
  std::string input = std::string(kHeader) +
                      "1,1,\"BOTH\",8000,150,\"ASP\",1,0,\"09\",10.0,20.0,100,90,300,\"27\",10.0,20.02,110,270,\n"
                      "2,1,\"SHUT\",8000,150,\"ASP\",1,1,\"09\",11.0,20.0,100,90,,\"27\",11.0,20.02,110,270,\n"
                      "3,1,\"HELI\",80,80,\"ASP\",1,0,\"H1\",12.0,20.0,100,,,,,,,,\n"
                      "4,1,\"NOWH\",8000,150,\"TURF\",0,0,\"18\",,,,,,\"36\",,,,,\n"
                      "5,1,\"ONE\",6000,100,\"GRASS\",0,0,\"18R\",13.0,20.0,50,180,400,\"36L\",,,,,\n"
                      "6,1,\"NOEL\",6000,100,\"ASP\",1,0,\"04\",14.0,20.0,,40,,\"22\",14.01,20.01,,220,\n"
                      "7,1,\"SEA\",6000,100,\"WATER\",0,0,\"N\",15.0,20.0,0,0,,\"S\",15.01,20.0,0,180,\n"
                      "8,1,\"A,B\",5000,100,\"CONC\",1,0,\"13\",16.0,20.0,10,,,\"31\",15.99,20.01,12,,\n"
                      "9,1,\"NOWD\",5000,,\"ASP\",1,0,\"13\",17.0,20.0,10,130,,\"31\",16.99,20.01,12,310,\n";
  std::string table;
  RunwayImportReport report;
  ASSERT_TRUE(ImportOurAirportsRunways(input, table, report));
  EXPECT_EQ(report.runways, 9u);
  EXPECT_EQ(report.imported, 3u);
  EXPECT_EQ(report.rows, 5u);
  EXPECT_EQ(report.closed, 1u);
  EXPECT_EQ(report.helipads, 1u);
  EXPECT_EQ(report.withoutPosition, 1u);
  EXPECT_EQ(report.notConverted["no elevation"], 1u);
  EXPECT_EQ(report.notConverted["end identifier is no runway designator"], 1u);
  EXPECT_EQ(report.notConverted["no width"], 1u);
  EXPECT_EQ(report.examples["no width"], std::vector<std::string>{"NOWD"});

  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = table.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(table.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), 5u);
  // Both ends, sharing the midpoint; guidance for a lighted paved runway.
  EXPECT_EQ(lines[0], "BOTH,90,10.00000000,20.00000000,100,90,8000,3,150,0,10.00000000,20.01000000,300");
  EXPECT_EQ(lines[1], "BOTH,270,10.00000000,20.02000000,110,270,8000,3,150,0,10.00000000,20.01000000,0");
  // One end: the length less its displaced threshold, the midpoint down its heading, no guidance on grass.
  EXPECT_EQ(lines[2].substr(0, 54), "ONE,182,13.00000000,20.00000000,50,180,5600,0,100,0,12");
  // A missing heading is the bearing to the other end; the identifier is quoted.
  EXPECT_EQ(lines[3].substr(0, 37), "\"A,B\",130,16.00000000,20.00000000,10,");
  EXPECT_EQ(lines[4].substr(0, 37), "\"A,B\",310,15.99000000,20.01000000,12,");
  EXPECT_NEAR(atof(lines[3].c_str() + 37), FlatBearing(16.0, 20.0, 15.99, 20.01), 1e-9);

  std::string text = DescribeImport(report);
  EXPECT_NE(text.find("3 of 9 runways imported as 5 runway ends"), std::string::npos);
  EXPECT_NE(text.find("no width: 1 (for example NOWD)"), std::string::npos);
}

TEST(RunwayImport, AListWithoutTheNeededColumnsIsRefused) {
  std::string table;
  RunwayImportReport report;
  EXPECT_FALSE(ImportOurAirportsRunways("id,airport_ident\n1,X\n", table, report));
  EXPECT_FALSE(report.error.empty());
  EXPECT_FALSE(ImportOurAirportsRunways("", table, report));
}

using ImportedTable = RunwayTableTest;

// The module puts the far end of a runway located at one end only where the
// runway really ends: the row's length plus its displaced threshold.
TEST_F(ImportedTable, OneLocatedEndIsCompletedToTheRunwaysLength) {
  std::string input =
      std::string(kHeader) + "5,1,\"ONE\",6000,100,\"ASP\",1,0,\"18R\",13.0,20.0,50,180,400,\"36L\",,,,,\n";
  std::string table;
  RunwayImportReport report;
  ASSERT_TRUE(ImportOurAirportsRunways(input, table, report));
  Start(table, RunwayTableSchema());
  ASSERT_EQ(db_.connected, 1u);
  QueryRunways(db_, 13.0, 20.0);
  ASSERT_EQ(db_.runwayList.size(), 2u);
  const RunwayRecord& listed = *db_.runwayList[0];
  const RunwayRecord& added = *db_.runwayList[1];
  EXPECT_STREQ(listed.designator, "18R");
  EXPECT_STREQ(added.designator, "36L");
  EXPECT_NEAR(FlatDistance(listed.endLatitude, listed.endLongitude, added.endLatitude, added.endLongitude, false), 6000,
              1e-6);
  // The shared reference point is the runway's midpoint.
  EXPECT_NEAR(FlatDistance(listed.endLatitude, listed.endLongitude, listed.refLatitude, listed.refLongitude, false),
              3000, 0.01);
  EXPECT_NE(listed.aimPoint.latitude, 0);
}

}  // namespace
}  // namespace orvante::testing
